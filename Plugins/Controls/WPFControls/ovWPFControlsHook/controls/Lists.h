// The combo box, the list box and the list view. They act as a user does: the combo box opens its
// drop-down, clicks the item's container in the popup window and waits for the list to close; the lists
// click their items' containers with the keys given. The host reads the items of all three as a table of
// one column. None keeps state of its own beyond the item separator.
#pragma once

#include "../recognition/KindInfo.h"
#include "Items.h"
#include "Ranges.h"

// The host's table view of a wrapper's items: one column "Items", the rows being what the wrapper's own
// wItemCount and wItem give, their failures included (reported by the wrapper's report mode).
template <class Owner> class CovWPFItemTable : public IovCtrlTableDataSource {
public:
    HRESULT STDMETHODCALLTYPE GetRowCount(LONG* count) override { return Self().get_wItemCount(count); }
    HRESULT STDMETHODCALLTYPE GetColumnCount(LONG* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetColumnCaption(LONG column, BSTR* caption) override {
        if (!caption) return E_POINTER;
        *caption = nullptr;
        if (column != 0) return E_INVALIDARG;
        *caption = SysAllocString(L"Items");
        return *caption ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE GetCellValue(LONG row, LONG column, VARIANT* value) override {
        if (!value) return E_POINTER;
        VariantInit(value);
        if (column != 0) return E_INVALIDARG;
        BSTR text = nullptr;
        const HRESULT hr = Self().get_wItem(row, &text);
        if (FAILED(hr)) return hr;
        value->vt = VT_BSTR;
        value->bstrVal = text;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reserved7() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Reserved8() override { return S_OK; }

private:
    Owner& Self() noexcept { return static_cast<Owner&>(*this); }
};

class CovWPFCtrlComboBox : public CovWPFCtrlWithItems,
                           public ov::IDispatchMultiImpl<IovWPFComboBox>,
                           public CovWPFItemTable<CovWPFCtrlComboBox> {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, IovCtrlTableDataSource, IovWPFComboBox>;
    class CovWPFCtrlComboBoxInfo;

    // Opens the list, clicks the item's container in the popup window and waits until the list has
    // closed. Every failure after the list opened closes it again; the item already selected is
    // selected and reported like any other.
    HRESULT STDMETHODCALLTYPE ClickItem(VARIANT item) override;
    // Sets "IsDropDownOpen" whatever the state was and waits for the list to take it.
    HRESULT STDMETHODCALLTYPE DropDown() override;
    HRESULT STDMETHODCALLTYPE CloseUp() override;
    HRESULT STDMETHODCALLTYPE get_wListSeparator(BSTR* separator) override;
    HRESULT STDMETHODCALLTYPE put_wListSeparator(BSTR separator) override;
    HRESULT STDMETHODCALLTYPE get_wItemList(BSTR* list) override;
    HRESULT STDMETHODCALLTYPE get_wItemCount(LONG* count) override;
    // Checks the index against the count itself ("The control item '%s' not found.").
    HRESULT STDMETHODCALLTYPE get_wItem(LONG index, BSTR* item) override;
    HRESULT STDMETHODCALLTYPE get_wText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE get_wIsDropDownListOpened(VARIANT_BOOL* open) override;
    HRESULT STDMETHODCALLTYPE get_wSelectedItem(LONG* index) override;

private:
    // The popup's own "IsOpen" when the element holds its popup, else "IsDropDownOpen".
    bool IsListOpen();
    // Polls the open state until it is `open`: the first read, then at most one pause.
    void WaitForListState(bool open);
    void SetListState(bool open);
    void SelectItem(LONG index, const ov::Bstr& name);
    void ClickItemContainer(LONG index, const ov::Bstr& name);
};

class CovWPFCtrlListBox : public CovWPFCtrlWithItems,
                          public ov::IDispatchMultiImpl<IovWPFListBox>,
                          public CovWPFScrollHost,
                          public CovWPFItemTable<CovWPFCtrlListBox> {
public:
    // The list box dispinterface is named through its own base: a list view holds a second path to it.
    using Interfaces = ov::InterfacesBefore<CovWPFCtrl::Interfaces, IovCtrlTableDataSource,
                                            ov::Via<IovWPFListBox, ov::IDispatchMultiImpl<IovWPFListBox>>,
                                            IovWPFScrollHelper>;
    class CovWPFCtrlListBoxInfo;

    // The click family: the item's container clicked through the host with the keys given; nothing is
    // read back. The XY forms pass the point on unchanged, relative to the item.
    HRESULT STDMETHODCALLTYPE ClickItem(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE ClickItemR(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClickItem(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClickItemR(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE ClickItemXY(VARIANT item, LONG x, LONG y, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClickItemXY(VARIANT item, LONG x, LONG y, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE ClickItemRXY(VARIANT item, LONG x, LONG y, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClickItemRXY(VARIANT item, LONG x, LONG y, TShiftKey shift) override;
    // An item toggles with a Ctrl-click, and only when it is not in the wanted state already. An item
    // argument that converts to the integer -1 means all items ("SelectAll", "UnselectAll").
    HRESULT STDMETHODCALLTYPE SelectItem(VARIANT item, VARIANT_BOOL select) override;
    // Ctrl-clicks the named items that are not selected yet, in the order given; adds to the selection.
    HRESULT STDMETHODCALLTYPE MultiSelect(VARIANT items) override;
    HRESULT STDMETHODCALLTYPE get_wListSeparator(BSTR* separator) override;
    HRESULT STDMETHODCALLTYPE put_wListSeparator(BSTR separator) override;
    HRESULT STDMETHODCALLTYPE get_wItemList(BSTR* list) override;
    HRESULT STDMETHODCALLTYPE get_wItemCount(LONG* count) override;
    // No range check of its own: an index outside the items fails in the element's "get_Item".
    HRESULT STDMETHODCALLTYPE get_wItem(LONG index, BSTR* item) override;
    HRESULT STDMETHODCALLTYPE get_wSelectedItems(BSTR* items) override;
    HRESULT STDMETHODCALLTYPE get_wSelected(VARIANT item, VARIANT_BOOL* selected) override;
    // The index of the item that is "FocusedItem" by reference; -1 when there is none.
    HRESULT STDMETHODCALLTYPE get_wFocus(LONG* index) override;

protected:
    CovWPFCtrlListBox() noexcept : CovWPFScrollHost(*this, L"get_ScrollHost") {}

private:
    void ClickListItem(const VARIANT& item, LONG x, LONG y, LONG shift, LONG dbl, LONG button);
    // The host object of item `index`'s container, once the panel brought it into view and the host
    // caught up with the screen.
    ov::ComPtr<IovHostObject> ItemHostObject(LONG index);
    bool IsItemSelected(const CovDispDriver& clr, LONG index);
    // "The listbox does not support multiple selection." unless "SelectionMode" is Multiple or Extended.
    void RequireMultipleSelection(const CovDispDriver& clr);
    void SelectOne(const VARIANT& item, bool select);
};

// A list view acts as a list box; its own dispinterface comes first and forwards to the list box part.
class CovWPFCtrlListView : public ov::IDispatchMultiImpl<IovWPFListView>, public CovWPFCtrlListBox {
public:
    using Interfaces = ov::InterfacesBefore<CovWPFCtrlListBox::Interfaces, IovWPFListView>;
    class CovWPFCtrlListViewInfo;

    HRESULT STDMETHODCALLTYPE ClickItem(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE ClickItemR(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClickItem(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClickItemR(VARIANT item, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE ClickItemXY(VARIANT item, LONG x, LONG y, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClickItemXY(VARIANT item, LONG x, LONG y, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE ClickItemRXY(VARIANT item, LONG x, LONG y, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE DblClickItemRXY(VARIANT item, LONG x, LONG y, TShiftKey shift) override;
    HRESULT STDMETHODCALLTYPE SelectItem(VARIANT item, VARIANT_BOOL select) override;
    HRESULT STDMETHODCALLTYPE MultiSelect(VARIANT items) override;
    HRESULT STDMETHODCALLTYPE get_wListSeparator(BSTR* separator) override;
    HRESULT STDMETHODCALLTYPE put_wListSeparator(BSTR separator) override;
    HRESULT STDMETHODCALLTYPE get_wItemList(BSTR* list) override;
    HRESULT STDMETHODCALLTYPE get_wItemCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_wItem(LONG index, BSTR* item) override;
    HRESULT STDMETHODCALLTYPE get_wSelectedItems(BSTR* items) override;
    HRESULT STDMETHODCALLTYPE get_wSelected(VARIANT item, VARIANT_BOOL* selected) override;
    HRESULT STDMETHODCALLTYPE get_wFocus(LONG* index) override;
};

class CovWPFCtrlComboBox::CovWPFCtrlComboBoxInfo : public CovWPFCtrlInfoOf<CovWPFCtrlComboBox> {
public:
    CovWPFCtrlComboBoxInfo();
};

class CovWPFCtrlListBox::CovWPFCtrlListBoxInfo : public CovWPFCtrlInfoOf<CovWPFCtrlListBox> {
public:
    CovWPFCtrlListBoxInfo();
};

class CovWPFCtrlListView::CovWPFCtrlListViewInfo : public CovWPFCtrlInfoOf<CovWPFCtrlListView> {
public:
    CovWPFCtrlListViewInfo();
};
