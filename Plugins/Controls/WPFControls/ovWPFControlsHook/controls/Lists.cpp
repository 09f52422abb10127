#include "Lists.h"

#include <exception>
#include <string>

namespace {

const wchar_t* const kCannotOpen = L"The combo box drop down list cannot be opened.";
const wchar_t* const kCannotClose = L"The combo box drop down list cannot be closed.";
const wchar_t* const kComboItemNotVisible = L"The combo box item '%s' is not visible on screen.";
const wchar_t* const kItemNotVisible = L"The control item '%s' is not visible on screen.";
const wchar_t* const kClicked = L"The listbox item '%s' was clicked with the %s mouse button.";
const wchar_t* const kDoubleClicked = L"The listbox item '%s' was double-clicked with the %s mouse button.";
const wchar_t* const kClickRemark = L"A click with %s key pressed.";
const wchar_t* const kNoMultipleSelection = L"The listbox does not support multiple selection.";
const wchar_t* const kNoMultipleSelectionDetails =
    L"The listbox's SelectionMode property is not set to Multiple or Extended.";

// The combo box's one pause between two reads of the list state.
constexpr DWORD kListStatePause = 40;

constexpr LONG kLeft = 0;
constexpr LONG kRight = 1;
constexpr LONG kSingle = 0;
constexpr LONG kDouble = 1;

[[noreturn]] void Fail(const std::wstring& message, const wchar_t* details = L"") {
    throw CovInvokeException(message.c_str(), details, CovInvokeException::Error);
}

CovDispDriver DriverOf(const VARIANT& object) {
    CovDispDriver driver;
    driver.AttachVariant(object);
    return driver;
}

std::wstring Decimal(LONG value) {
    return ov::Format(L"%d", static_cast<int>(value));
}

// Member bodies that the combo box and the lists share under the same names.
HRESULT ListSeparatorOf(CovWPFCtrlWithItems& w, BSTR* separator) {
    return w.Member([&] {
        ov::RequireOut(separator);
        *separator = nullptr;
        w.EnterCall();
        ov::ThrowIfFailed(w.ListSeparator().CopyTo(separator));
    });
}

HRESULT SetListSeparatorOf(CovWPFCtrlWithItems& w, BSTR separator) {
    return w.Member([&] {
        w.EnterCall();
        w.SetListSeparator(ov::Bstr::CopyOf(separator));
    });
}

HRESULT ItemListOf(CovWPFCtrlWithItems& w, BSTR* list) {
    return w.Member([&] {
        ov::RequireOut(list);
        *list = nullptr;
        w.EnterCall();
        *list = ov::BuildItemList(w).Detach();
    });
}

} // namespace

// --- combo box ---------------------------------------------------------------------------------------

bool CovWPFCtrlComboBox::IsListOpen() {
    CovDispDriver clr = GetClrObject();
    // The template's popup, under the name of the field in the framework's build at hand.
    DISPID id = DISPID_UNKNOWN;
    if (!clr.HasMember(L"zdropDownPopup", &id)) id = clr.GetIDOfName(L"field__dropDownPopup");
    ov::Variant popup = clr.GetProperty(id);
    if (IsVariantEmpty(popup)) return ov::GetBool(clr, L"IsDropDownOpen");
    return ov::GetBool(DriverOf(popup), L"IsOpen");
}

void CovWPFCtrlComboBox::WaitForListState(bool open) {
    // No allowance beyond the first read: a list that follows "IsDropDownOpen" at once passes there.
    const DWORD deadline = GetTickCount();
    if (IsListOpen() == open) return;
    for (;;) {
        if (GetTickCount() > deadline) Fail(open ? kCannotOpen : kCannotClose);
        Sleep(kListStatePause);
        if (IsListOpen() == open) return;
    }
}

void CovWPFCtrlComboBox::SetListState(bool open) {
    if (open) FocusElement();
    ov::SetBool(GetClrObject(), L"IsDropDownOpen", open);
    WaitForListState(open);
}

void CovWPFCtrlComboBox::SelectItem(LONG index, const ov::Bstr& name) {
    FocusElement();
    FocusElement();
    ov::SetBool(GetClrObject(), L"IsDropDownOpen", true);
    WaitForListState(true);
    try {
        ClickItemContainer(index, name);
    } catch (...) {
        // The list is not left open; a failure to close it is the one the caller sees.
        SetListState(false);
        throw;
    }
}

void CovWPFCtrlComboBox::ClickItemContainer(LONG index, const ov::Bstr& name) {
    CovDispDriver panel = ov::GetObjectByName(GetClrObject(), L"get_ItemsHost");
    CovDispDriver children = ov::GetObjectByName(panel, L"get_InternalChildren");
    CovDispDriver container = DriverOf(ov::Call(children, L"get_Item", ov::Variant::Int(index)));
    ov::CallIfPresent(container, L"BringIntoView");
    // The open list lives in a popup window of its own, not below the combo box's host object.
    ov::ComPtr<IovHostObject> target = FindInPopupRoots(container);
    if (!target) Fail(ov::Format(kComboItemNotVisible, name.c_str()));
    ClickAt(target.Get(), -1, -1, 0, kSingle, kLeft);
    WaitForListState(false);
}

HRESULT CovWPFCtrlComboBox::ClickItem(VARIANT item) {
    return Member([&] {
        CheckEnabled();
        ov::Bstr name;
        const LONG index = ov::FindItem(*this, item, &name);
        SelectItem(index, name);
        PostActionMessage(ov::Format(L"Selected '%s' from the combo box.", name.c_str()).c_str());
    });
}

HRESULT CovWPFCtrlComboBox::DropDown() {
    return Member([&] {
        CheckEnabled();
        SetListState(true);
        PostActionMessage(L"The combo box list was displayed.");
    });
}

HRESULT CovWPFCtrlComboBox::CloseUp() {
    return Member([&] {
        CheckEnabled();
        SetListState(false);
        PostActionMessage(L"The combo box list was closed.");
    });
}

HRESULT CovWPFCtrlComboBox::get_wListSeparator(BSTR* separator) {
    return ListSeparatorOf(*this, separator);
}

HRESULT CovWPFCtrlComboBox::put_wListSeparator(BSTR separator) {
    return SetListSeparatorOf(*this, separator);
}

HRESULT CovWPFCtrlComboBox::get_wItemList(BSTR* list) {
    return ItemListOf(*this, list);
}

HRESULT CovWPFCtrlComboBox::get_wItemCount(LONG* count) {
    return ItemCountMember(count);
}

HRESULT CovWPFCtrlComboBox::get_wItem(LONG index, BSTR* item) {
    return Member([&] {
        ov::RequireOut(item);
        *item = nullptr;
        EnterCall();
        const LONG count = GetItemCount();
        if (index < 0 || index >= count)
            Fail(ov::Format(ov::texts::ItemNotFound, Decimal(index).c_str()),
                 ov::Format(ov::texts::ItemTotal, static_cast<int>(count)).c_str());
        *item = GetItemText(index).Detach();
    });
}

HRESULT CovWPFCtrlComboBox::get_wText(BSTR* text) {
    return Member([&] {
        ov::RequireOut(text);
        *text = nullptr;
        EnterCall();
        *text = ov::GetString(GetClrObject(), L"Text").Detach();
    });
}

HRESULT CovWPFCtrlComboBox::get_wIsDropDownListOpened(VARIANT_BOOL* open) {
    return Member([&] {
        ov::RequireOut(open);
        EnterCall();
        *open = IsListOpen() ? VARIANT_TRUE : VARIANT_FALSE;
    });
}

HRESULT CovWPFCtrlComboBox::get_wSelectedItem(LONG* index) {
    return SelectedIndexMember(index);
}

CovWPFCtrlComboBox::CovWPFCtrlComboBoxInfo::CovWPFCtrlComboBoxInfo()
    : CovWPFCtrlInfoOf(ctrlWPFComboBox, __uuidof(IovWPFComboBox), L"Combo box",
                       L"System.Windows.Controls.ComboBox", false) {}

// --- list box ----------------------------------------------------------------------------------------

ov::ComPtr<IovHostObject> CovWPFCtrlListBox::ItemHostObject(LONG index) {
    CovDispDriver clr = GetClrObject();
    CovDispDriver panel = ov::GetObjectByName(clr, L"get_ItemsHost");
    // A virtualizing panel makes the container only once the item is in view.
    DISPID bring = DISPID_UNKNOWN;
    if (panel.HasMember(L"BringIndexIntoView", &bring)) panel.CallMethod(bring, ov::Variant::Int(index));
    GetHostObject()->RefreshChildren();
    ov::Variant container = ov::Call(clr, L"ElementAt", ov::Variant::Int(index));
    if (IsVariantEmpty(container)) Fail(ov::Format(kItemNotVisible, Decimal(index).c_str()));
    ov::ComPtr<IovHostObject> target = FindChildHostObject(GetHostObject().Get(), DriverOf(container));
    if (!target) Fail(ov::Format(kItemNotVisible, Decimal(index).c_str()));
    return target;
}

void CovWPFCtrlListBox::ClickListItem(const VARIANT& item, LONG x, LONG y, LONG shift, LONG dbl,
                                      LONG button) {
    CheckEnabled();
    ov::Bstr name;
    const LONG index = ov::FindItem(*this, item, &name);
    ov::ComPtr<IovHostObject> target = ItemHostObject(index);
    ClickAt(target.Get(), x, y, shift, dbl, button);
    PostActionMessage(
        ov::Format(dbl ? kDoubleClicked : kClicked, name.c_str(), button == kRight ? L"right" : L"left")
            .c_str(),
        ov::Format(kClickRemark, GetShiftKeysText(shift).c_str()).c_str());
}

HRESULT CovWPFCtrlListBox::ClickItem(VARIANT item, TShiftKey shift) {
    return Member([&] { ClickListItem(item, -1, -1, shift, kSingle, kLeft); });
}

HRESULT CovWPFCtrlListBox::ClickItemR(VARIANT item, TShiftKey shift) {
    return Member([&] { ClickListItem(item, -1, -1, shift, kSingle, kRight); });
}

HRESULT CovWPFCtrlListBox::DblClickItem(VARIANT item, TShiftKey shift) {
    return Member([&] { ClickListItem(item, -1, -1, shift, kDouble, kLeft); });
}

HRESULT CovWPFCtrlListBox::DblClickItemR(VARIANT item, TShiftKey shift) {
    return Member([&] { ClickListItem(item, -1, -1, shift, kDouble, kRight); });
}

HRESULT CovWPFCtrlListBox::ClickItemXY(VARIANT item, LONG x, LONG y, TShiftKey shift) {
    return Member([&] { ClickListItem(item, x, y, shift, kSingle, kLeft); });
}

HRESULT CovWPFCtrlListBox::DblClickItemXY(VARIANT item, LONG x, LONG y, TShiftKey shift) {
    return Member([&] { ClickListItem(item, x, y, shift, kDouble, kLeft); });
}

HRESULT CovWPFCtrlListBox::ClickItemRXY(VARIANT item, LONG x, LONG y, TShiftKey shift) {
    return Member([&] { ClickListItem(item, x, y, shift, kSingle, kRight); });
}

HRESULT CovWPFCtrlListBox::DblClickItemRXY(VARIANT item, LONG x, LONG y, TShiftKey shift) {
    return Member([&] { ClickListItem(item, x, y, shift, kDouble, kRight); });
}

bool CovWPFCtrlListBox::IsItemSelected(const CovDispDriver& clr, LONG index) {
    ov::Variant item = ov::Call(ov::GetObjectByName(clr, L"Items"), L"get_Item", ov::Variant::Int(index));
    return ov::IsTrue(ov::Call(clr, L"ItemGetIsSelected", item));
}

void CovWPFCtrlListBox::RequireMultipleSelection(const CovDispDriver& clr) {
    const ov::Bstr mode = ov::GetString(clr, L"SelectionMode");
    if (mode.View() != L"Multiple" && mode.View() != L"Extended")
        Fail(kNoMultipleSelection, kNoMultipleSelectionDetails);
}

void CovWPFCtrlListBox::SelectOne(const VARIANT& item, bool select) {
    CheckEnabled();
    CovDispDriver clr = GetClrObject();
    ov::Variant number;
    if (SUCCEEDED(VariantChangeType(&number, const_cast<VARIANT*>(&item), 0, VT_I4)) && number.lVal == -1) {
        if (!select) {
            ov::Call(clr, L"UnselectAll");
            PostActionMessage(L"All listbox items were unselected.");
            return;
        }
        RequireMultipleSelection(clr);
        ov::Call(clr, L"SelectAll");
        PostActionMessage(L"All listbox items were selected.");
        return;
    }
    ov::Bstr name;
    const LONG index = ov::FindItem(*this, item, &name);
    if (IsItemSelected(clr, index) == select) return;
    // A Ctrl-click toggles one item in every selection mode without touching the others.
    ClickAt(ItemHostObject(index).Get(), -1, -1, skwCtrl, kSingle, kLeft);
    PostActionMessage(
        ov::Format(select ? L"The listbox item '%s' was selected." : L"The listbox item '%s' was unselected.",
                   name.c_str())
            .c_str());
}

HRESULT CovWPFCtrlListBox::SelectItem(VARIANT item, VARIANT_BOOL select) {
    return Member([&] { SelectOne(item, select != VARIANT_FALSE); });
}

HRESULT CovWPFCtrlListBox::MultiSelect(VARIANT items) {
    return Member([&] {
        CheckEnabled();
        CovDispDriver clr = GetClrObject();
        RequireMultipleSelection(clr);
        std::wstring clicked;
        for (LONG index : ov::ParseItemList(*this, items)) {
            if (IsItemSelected(clr, index)) continue;
            ClickAt(ItemHostObject(index).Get(), -1, -1, skwCtrl, kSingle, kLeft);
            clicked += L"\r\n";
            clicked += GetItemText(index).View();
        }
        PostActionMessage(L"The number of selected items has changed (see details).",
                          ov::Format(L"The list of selected items:%s.", clicked.c_str()).c_str());
    });
}

HRESULT CovWPFCtrlListBox::get_wListSeparator(BSTR* separator) {
    return ListSeparatorOf(*this, separator);
}

HRESULT CovWPFCtrlListBox::put_wListSeparator(BSTR separator) {
    return SetListSeparatorOf(*this, separator);
}

HRESULT CovWPFCtrlListBox::get_wItemList(BSTR* list) {
    return ItemListOf(*this, list);
}

HRESULT CovWPFCtrlListBox::get_wItemCount(LONG* count) {
    return ItemCountMember(count);
}

HRESULT CovWPFCtrlListBox::get_wItem(LONG index, BSTR* item) {
    return Member([&] {
        ov::RequireOut(item);
        *item = nullptr;
        EnterCall();
        *item = GetItemText(index).Detach();
    });
}

HRESULT CovWPFCtrlListBox::get_wSelectedItems(BSTR* items) {
    return Member([&] {
        ov::RequireOut(items);
        *items = nullptr;
        EnterCall();
        CovDispDriver selected = ov::GetObjectByName(GetClrObject(), L"SelectedItems");
        const LONG count = ov::GetInt(selected, L"Count");
        std::wstring text;
        for (LONG i = 0; i < count; ++i) {
            ov::Variant item = ov::Call(selected, L"get_Item", ov::Variant::Int(i));
            if (!text.empty()) text += ListSeparator().View();
            text += ov::ItemText(item, TextMember()).View();
        }
        *items = ov::Bstr(text).Detach();
    });
}

HRESULT CovWPFCtrlListBox::get_wSelected(VARIANT item, VARIANT_BOOL* selected) {
    return Member([&] {
        ov::RequireOut(selected);
        EnterCall();
        const LONG index = ov::FindItem(*this, item);
        *selected = IsItemSelected(GetClrObject(), index) ? VARIANT_TRUE : VARIANT_FALSE;
    });
}

HRESULT CovWPFCtrlListBox::get_wFocus(LONG* index) {
    return Member([&] {
        ov::RequireOut(index);
        *index = -1;
        EnterCall();
        CovDispDriver clr = GetClrObject();
        ov::Variant focused = ov::GetRaw(clr, L"FocusedItem");
        if (IsVariantEmpty(focused)) return;
        CovDispDriver focusedObject = DriverOf(focused);
        CovDispDriver items = ov::GetObjectByName(clr, L"Items");
        const LONG count = GetItemCount();
        for (LONG i = 0; i < count; ++i) {
            ov::Variant item = ov::Call(items, L"get_Item", ov::Variant::Int(i));
            if (ov::IsTrue(ov::Call(focusedObject, L"ReferenceEquals", focused, item))) {
                *index = i;
                return;
            }
        }
    });
}

CovWPFCtrlListBox::CovWPFCtrlListBoxInfo::CovWPFCtrlListBoxInfo()
    : CovWPFCtrlInfoOf(ctrlWPFListBox, __uuidof(IovWPFListBox), L"List box",
                       L"System.Windows.Controls.ListBox", false) {}

// --- list view ---------------------------------------------------------------------------------------

HRESULT CovWPFCtrlListView::ClickItem(VARIANT item, TShiftKey shift) {
    return CovWPFCtrlListBox::ClickItem(item, shift);
}

HRESULT CovWPFCtrlListView::ClickItemR(VARIANT item, TShiftKey shift) {
    return CovWPFCtrlListBox::ClickItemR(item, shift);
}

HRESULT CovWPFCtrlListView::DblClickItem(VARIANT item, TShiftKey shift) {
    return CovWPFCtrlListBox::DblClickItem(item, shift);
}

HRESULT CovWPFCtrlListView::DblClickItemR(VARIANT item, TShiftKey shift) {
    return CovWPFCtrlListBox::DblClickItemR(item, shift);
}

HRESULT CovWPFCtrlListView::ClickItemXY(VARIANT item, LONG x, LONG y, TShiftKey shift) {
    return CovWPFCtrlListBox::ClickItemXY(item, x, y, shift);
}

HRESULT CovWPFCtrlListView::DblClickItemXY(VARIANT item, LONG x, LONG y, TShiftKey shift) {
    return CovWPFCtrlListBox::DblClickItemXY(item, x, y, shift);
}

HRESULT CovWPFCtrlListView::ClickItemRXY(VARIANT item, LONG x, LONG y, TShiftKey shift) {
    return CovWPFCtrlListBox::ClickItemRXY(item, x, y, shift);
}

HRESULT CovWPFCtrlListView::DblClickItemRXY(VARIANT item, LONG x, LONG y, TShiftKey shift) {
    return CovWPFCtrlListBox::DblClickItemRXY(item, x, y, shift);
}

HRESULT CovWPFCtrlListView::SelectItem(VARIANT item, VARIANT_BOOL select) {
    return CovWPFCtrlListBox::SelectItem(item, select);
}

HRESULT CovWPFCtrlListView::MultiSelect(VARIANT items) {
    return CovWPFCtrlListBox::MultiSelect(items);
}

HRESULT CovWPFCtrlListView::get_wListSeparator(BSTR* separator) {
    return CovWPFCtrlListBox::get_wListSeparator(separator);
}

HRESULT CovWPFCtrlListView::put_wListSeparator(BSTR separator) {
    return CovWPFCtrlListBox::put_wListSeparator(separator);
}

HRESULT CovWPFCtrlListView::get_wItemList(BSTR* list) {
    return CovWPFCtrlListBox::get_wItemList(list);
}

HRESULT CovWPFCtrlListView::get_wItemCount(LONG* count) {
    return CovWPFCtrlListBox::get_wItemCount(count);
}

HRESULT CovWPFCtrlListView::get_wItem(LONG index, BSTR* item) {
    return CovWPFCtrlListBox::get_wItem(index, item);
}

HRESULT CovWPFCtrlListView::get_wSelectedItems(BSTR* items) {
    return CovWPFCtrlListBox::get_wSelectedItems(items);
}

HRESULT CovWPFCtrlListView::get_wSelected(VARIANT item, VARIANT_BOOL* selected) {
    return CovWPFCtrlListBox::get_wSelected(item, selected);
}

HRESULT CovWPFCtrlListView::get_wFocus(LONG* index) {
    return CovWPFCtrlListBox::get_wFocus(index);
}

CovWPFCtrlListView::CovWPFCtrlListViewInfo::CovWPFCtrlListViewInfo()
    : CovWPFCtrlInfoOf(ctrlWPFListView, __uuidof(IovWPFListView), L"List view",
                       L"System.Windows.Controls.ListView", false) {}
