// The toolbar. Its items are any elements; each is clicked through the host on the item's own host
// object, found under the toolbar or, for an item of the overflow panel, in the panel's popup window
// (the panel is opened first when the item is not visible). Check buttons are set by at most two clicks.
// No state of its own beyond the item separator.
#pragma once

#include "../recognition/KindInfo.h"
#include "Items.h"

class CovWPFCtrlToolBar : public CovWPFCtrlWithItems, public ov::IDispatchMultiImpl<IovWPFToolBar> {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, IovWPFToolBar>;
    class CovWPFCtrlToolBarInfo;

    // The click family: no test of the item's own enabled state; the message names no mouse button.
    HRESULT STDMETHODCALLTYPE ClickItem(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE ClickItemR(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClickItem(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClickItemR(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE ClickItemXY(VARIANT item, LONG x, LONG y, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE ClickItemRXY(VARIANT item, LONG x, LONG y, TShiftKey shift) override;
    // Only the exact classes ToggleButton and CheckBox are check buttons; subclasses are not. A state
    // already reached is a notice (kind 1), not an action.
    HRESULT STDMETHODCALLTYPE CheckItem(VARIANT item, VARIANT checked) override;
    HRESULT STDMETHODCALLTYPE get_wButtonCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_wButtonPos(VARIANT item, LONG* pos) override;
    HRESULT STDMETHODCALLTYPE get_wButtonText(VARIANT item, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE get_wIsCheckButton(VARIANT item, VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_wIsDropDownButton(VARIANT item, VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_wIsSeparatorButton(VARIANT item, VARIANT_BOOL* value) override;
    // "IsChecked"'s boxed "m_Value" as it is, without a boolean conversion first: a plain boolean value
    // fails with the generic error; an empty one (indeterminate) and a missing member read as false.
    HRESULT STDMETHODCALLTYPE get_wChecked(VARIANT item, VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_wEnabled(VARIANT item, VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_wVisible(VARIANT item, VARIANT_BOOL* value) override;
    // True only for an item that has "IsChecked" and holds no value there.
    HRESULT STDMETHODCALLTYPE get_wGrayed(VARIANT item, VARIANT_BOOL* value) override;

    // The index of `element` among the items ("ReferenceEquals" on the element), -1 if it is none of them.
    LONG IndexOfItem(const CovDispDriver& element);

private:
    CovDispDriver ItemObject(LONG index);
    // The host object to click for item `index`, the overflow panel opened first for an invisible item.
    ov::ComPtr<IovHostObject> ItemHostObject(LONG index);
    void ClickToolBarItem(const VARIANT& item, LONG x, LONG y, LONG shift, LONG dbl, LONG button);
    // The item of the argument, for the property members.
    CovDispDriver ResolvedItem(const VARIANT& item);
    // 0 unchecked, 1 checked, 2 grayed; 0 for an item without "IsChecked".
    static LONG ReadState(const CovDispDriver& item);
    void SetCheckState(const VARIANT& item, const VARIANT& checked);
    HRESULT ItemFlag(const VARIANT& item, VARIANT_BOOL* value, bool (*read)(const CovDispDriver&));
};

class CovWPFCtrlToolBar::CovWPFCtrlToolBarInfo : public CovWPFCtrlInfoOf<CovWPFCtrlToolBar> {
public:
    CovWPFCtrlToolBarInfo();
};
