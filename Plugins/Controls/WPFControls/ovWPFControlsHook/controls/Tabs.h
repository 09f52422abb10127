// The tab control and the expander. The tab control selects a page by clicking its header through the
// host and falls back to the element's "SelectedIndex" when the header cannot be clicked; the expander
// sets its element's "IsExpanded" directly. Neither keeps state of its own beyond the item separator.
#pragma once

#include "../recognition/KindInfo.h"
#include "Items.h"

class CovWPFCtrlTabControl : public CovWPFCtrlWithItems, public ov::IDispatchMultiImpl<IovWPFTabControl> {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, IovWPFTabControl>;
    class CovWPFCtrlTabControlInfo;

    // A page by caption pattern or index. A header the host cannot click (no host object, a failed click)
    // is not yet a failure: the page is selected through "SelectedIndex" instead, and only when that does
    // not take does the click's failure reach the caller. A tab without a container or a disabled tab
    // fails before anything is clicked. The page that is already selected is clicked and reported again.
    HRESULT STDMETHODCALLTYPE ClickTab(VARIANT item) override;
    HRESULT STDMETHODCALLTYPE get_wTabCount(LONG* count) override;
    // The selected page ("SelectedIndex"), which is not necessarily the one with the keyboard focus.
    HRESULT STDMETHODCALLTYPE get_wFocusedTab(LONG* index) override;
    // No range check of its own: an index outside the tabs fails in the element's "get_Item".
    HRESULT STDMETHODCALLTYPE get_wTabCaption(LONG index, BSTR* caption) override;

protected:
    CovWPFCtrlTabControl() noexcept : CovWPFCtrlWithItems(L"Header") {}

private:
    void SelectTab(const VARIANT& item);
};

class CovWPFCtrlExpander : public CovWPFCtrl, public ov::IDispatchMultiImpl<IovWPFExpander> {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, IovWPFExpander>;
    class CovWPFCtrlExpanderInfo;

    HRESULT STDMETHODCALLTYPE get_wExpanded(VARIANT_BOOL* expanded) override;
    // Sets "IsExpanded" without the enabled check and without a message.
    HRESULT STDMETHODCALLTYPE put_wExpanded(VARIANT_BOOL expanded) override;
    // Set "IsExpanded" and report, whatever the state was before: no test first, no read-back.
    HRESULT STDMETHODCALLTYPE Expand() override;
    HRESULT STDMETHODCALLTYPE Collapse() override;
};

class CovWPFCtrlTabControl::CovWPFCtrlTabControlInfo : public CovWPFCtrlInfoOf<CovWPFCtrlTabControl> {
public:
    CovWPFCtrlTabControlInfo();
};

class CovWPFCtrlExpander::CovWPFCtrlExpanderInfo : public CovWPFCtrlInfoOf<CovWPFCtrlExpander> {
public:
    CovWPFCtrlExpanderInfo();
};
