#include "Trees.h"

#include "../frame/HostServices.h"

#include <cwchar>
#include <optional>
#include <string>

namespace {

const wchar_t* const kTextMember = L"Header";
const wchar_t* const kTreeViewItemClass = L"System.Windows.Controls.TreeViewItem";
const wchar_t* const kClicked = L"The tree item was clicked with the %s mouse button.";
const wchar_t* const kDoubleClicked = L"The tree item was double-clicked with the %s mouse button.";

// The settings the host places an internal part's on-screen object with; they stay as set.
constexpr LONG kPartActionMode = 3;
constexpr LONG kPartActionFlags = 0;

constexpr LONG kLeft = 0;
constexpr LONG kRight = 1;
constexpr LONG kMiddle = 2;

CovDispDriver DriverOf(const VARIANT& object) {
    CovDispDriver driver;
    driver.AttachVariant(object);
    return driver;
}

bool IsObject(const VARIANT& v) noexcept {
    return (v.vt == VT_DISPATCH && v.pdispVal) ||
           (v.vt == (VT_DISPATCH | VT_BYREF) && v.ppdispVal && *v.ppdispVal);
}

// The value behind a script's variable (VARIANTs by reference to VARIANTs).
ov::Variant ValueOf(const VARIANT& argument) {
    constexpr int kMaxHops = 8;
    const VARIANT* v = &argument;
    for (int hops = 0; v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal && hops < kMaxHops; ++hops)
        v = v->pvarVal;
    ov::Variant value;
    ov::ThrowIfFailed(VariantCopyInd(&value, const_cast<VARIANT*>(v)));
    return value;
}

std::wstring_view TextOf(const ov::Variant& value) noexcept {
    return value.bstrVal ? std::wstring_view(value.bstrVal, SysStringLen(value.bstrVal))
                         : std::wstring_view();
}

// "[n]": at least three characters between brackets.
bool IsIndexText(std::wstring_view text) noexcept {
    return text.size() >= 3 && text.front() == L'[' && text.back() == L']';
}

// The number after "[" as wcstol reads it: white space and a sign first, up to the first non-digit.
LONG IndexOfText(std::wstring_view text) {
    std::wstring digits(text.substr(1));
    return static_cast<LONG>(std::wcstol(digits.c_str(), nullptr, 10));
}

// Depth first below `element`: the child named "PART_Header"; the expander toggle and nested nodes are
// passed over without looking inside.
std::optional<CovDispDriver> FindHeader(const CovDispDriver& element) {
    for (LONG i = 0; i < ov::GetInt(element, L"get_VisualChildrenCount"); ++i) {
        CovDispDriver child = DriverOf(ov::Call(element, L"GetVisualChild", ov::Variant::Int(i)));
        const ov::Bstr className = ov::GetClrFullClassName(child);
        const ov::Bstr name = ov::GetString(child, L"Name");
        if (name.View() == L"PART_Header") return child;
        if (name.View() == L"Expander" || className.View() == kTreeViewItemClass) continue;
        if (std::optional<CovDispDriver> header = FindHeader(child)) return header;
    }
    return std::nullopt;
}

ov::ComPtr<IovHostObject> ParentOf(IovHostObject* object) {
    ov::ComPtr<IovHostObject> parent;
    if (FAILED(object->GetParent(parent.Put()))) parent.Reset();
    return parent;
}

} // namespace

// --- tree view -----------------------------------------------------------------------------------------

ov::ComPtr<CovWPFCtrlTreeViewItemCollection> CovWPFCtrlTreeView::TopLevel() {
    return ov::Create<CovWPFCtrlTreeViewItemCollection>(*this, nullptr,
                                                        ov::GetObjectByName(GetClrObject(), L"Items"));
}

ov::ComPtr<CovWPFCtrlTreeViewItem> CovWPFCtrlTreeView::FindNode(const VARIANT& item) {
    ov::ComPtr<CovWPFCtrlTreeViewItemCollection> top = TopLevel();
    ov::Variant value = ValueOf(item);
    if (value.vt == VT_BSTR) {
        std::wstring_view text = TextOf(value);
        if (!text.empty() && text[0] == L'|' && (text.size() < 2 || text[1] != L'|'))
            return top->Lookup(ov::Variant::String(text.substr(1)));
    }
    return top->Lookup(value);
}

HRESULT CovWPFCtrlTreeView::ClickNode(const VARIANT& item, LONG shift, LONG button, bool dbl) {
    return Member([&] {
        CheckEnabled();
        FindNode(item)->ClickWith(shift, button, dbl);
    });
}

HRESULT CovWPFCtrlTreeView::get_wItems(IDispatch** items) {
    return Member([&] {
        ov::RequireOut(items);
        *items = nullptr;
        EnterCall();
        *items = TopLevel().As<IDispatch>().Detach();
    });
}

HRESULT CovWPFCtrlTreeView::ClickItem(VARIANT item, TShiftKey shift) {
    return ClickNode(item, shift, kLeft, false);
}

HRESULT CovWPFCtrlTreeView::DblClickItem(VARIANT item, TShiftKey shift) {
    return ClickNode(item, shift, kLeft, true);
}

HRESULT CovWPFCtrlTreeView::ClickItemR(VARIANT item, TShiftKey shift) {
    return ClickNode(item, shift, kRight, false);
}

HRESULT CovWPFCtrlTreeView::DblClickItemR(VARIANT item, TShiftKey shift) {
    return ClickNode(item, shift, kRight, true);
}

HRESULT CovWPFCtrlTreeView::ClickItemM(VARIANT item, TShiftKey shift) {
    return ClickNode(item, shift, kMiddle, false);
}

HRESULT CovWPFCtrlTreeView::DblClickItemM(VARIANT item, TShiftKey shift) {
    return ClickNode(item, shift, kMiddle, true);
}

HRESULT CovWPFCtrlTreeView::ExpandItem(VARIANT item) {
    return Member([&] {
        CheckEnabled();
        FindNode(item)->SetExpanded(true);
    });
}

HRESULT CovWPFCtrlTreeView::CollapseItem(VARIANT item) {
    return Member([&] {
        CheckEnabled();
        FindNode(item)->SetExpanded(false);
    });
}

CovWPFCtrlTreeView::CovWPFCtrlTreeViewInfo::CovWPFCtrlTreeViewInfo()
    : CovWPFCtrlInfoOf(ctrlWPFTreeView, __uuidof(IovWPFTreeView), L"Tree view",
                       L"System.Windows.Controls.TreeView", false) {}

// --- collection ----------------------------------------------------------------------------------------

CovWPFCtrlTreeViewItemCollection::CovWPFCtrlTreeViewItemCollection(CovWPFCtrlTreeView& owner,
                                                                   CovWPFCtrlTreeViewItem* parent,
                                                                   CovDispDriver items)
    : owner_(&owner), parent_(parent), items_(std::move(items)) {}

LONG CovWPFCtrlTreeViewItemCollection::GetItemCount() {
    return items_.Empty() ? 0 : ov::GetInt(items_, L"Count");
}

ov::Bstr CovWPFCtrlTreeViewItemCollection::GetItemText(LONG index) {
    return ov::ItemText(ov::Call(items_, L"get_Item", ov::Variant::Int(index)), kTextMember);
}

HRESULT CovWPFCtrlTreeViewItemCollection::get_Count(LONG* count) {
    return Member([&] {
        ov::RequireOut(count);
        owner_->EnterCall();
        *count = GetItemCount();
    });
}

HRESULT CovWPFCtrlTreeViewItemCollection::get_Item(VARIANT item, IDispatch** node) {
    return Member([&] {
        ov::RequireOut(node);
        *node = nullptr;
        owner_->EnterCall();
        *node = Lookup(item).As<IDispatch>().Detach();
    });
}

HRESULT CovWPFCtrlTreeViewItemCollection::GetSyntax(IovSyntaxItem** syntax, LONG flag) {
    if (!syntax) return E_POINTER;
    *syntax = nullptr;
    return ov::Guard([&] {
        std::vector<ov::Variant> noArguments;
        IovCtrlBase* holder = parent_ ? static_cast<IovCtrlBase*>(parent_.Get()) : owner_.Get();
        *syntax =
            ov::CreateMemberSyntax(holder, flag, parent_ ? L"Items" : L"wItems", 0, noArguments).Detach();
    });
}

LONG CovWPFCtrlTreeViewItemCollection::Resolve(std::wstring_view head, ov::Bstr& name) {
    if (IsIndexText(head)) return ov::FindItem(*this, ov::Variant::Int(IndexOfText(head)), &name);
    return ov::FindItem(*this, ov::Variant::String(head), &name);
}

ov::ComPtr<CovWPFCtrlTreeViewItem> CovWPFCtrlTreeViewItemCollection::MakeNode(LONG index, ov::Bstr name) {
    ov::Variant item = ov::Call(items_, L"get_Item", ov::Variant::Int(index));
    return ov::Create<CovWPFCtrlTreeViewItem>(*this, std::move(item), std::move(name));
}

ov::ComPtr<CovWPFCtrlTreeViewItem> CovWPFCtrlTreeViewItemCollection::Lookup(const VARIANT& argument) {
    ov::Variant value = ValueOf(argument);
    ov::Bstr name;
    if (value.vt == VT_BSTR) {
        const std::wstring_view text = TextOf(value);
        const wchar_t separator = ListSeparator().c_str()[0];
        if (const size_t at = text.find(separator); at != std::wstring_view::npos) {
            const LONG index = Resolve(text.substr(0, at), name);
            ov::ComPtr<CovWPFCtrlTreeViewItem> node = MakeNode(index, std::move(name));
            return node->ChildCollection()->Lookup(ov::Variant::String(text.substr(at + 1)));
        }
        if (IsIndexText(text)) {
            const LONG index = Resolve(text, name);
            return MakeNode(index, std::move(name));
        }
    }
    const LONG index = ov::FindItem(*this, value, &name);
    return MakeNode(index, std::move(name));
}

// --- node ----------------------------------------------------------------------------------------------

CovWPFCtrlTreeViewItem::CovWPFCtrlTreeViewItem(CovWPFCtrlTreeViewItemCollection& parent, ov::Variant item,
                                               ov::Bstr name)
    : owner_(&parent.Owner()), parent_(&parent), item_(std::move(item)), name_(std::move(name)) {}

ov::Variant CovWPFCtrlTreeViewItem::Container() {
    CovDispDriver parentElement =
        parent_->ParentNode() ? DriverOf(parent_->ParentNode()->Container()) : owner_->GetClrObject();
    CovDispDriver generator = ov::GetObjectByName(parentElement, L"ItemContainerGenerator");
    ov::Variant container = ov::Call(generator, L"ContainerFromItem", item_);
    if (CovWPFCtrl::IsVariantEmpty(container)) return item_;
    return container;
}

ov::ComPtr<CovWPFCtrlTreeViewItemCollection> CovWPFCtrlTreeViewItem::ChildCollection() {
    ov::Variant container = Container();
    CovDispDriver items;
    if (IsObject(container)) {
        CovDispDriver element = DriverOf(container);
        if (ov::HasMember(element, L"Items")) items = ov::GetObjectByName(element, L"Items");
    }
    return ov::Create<CovWPFCtrlTreeViewItemCollection>(*owner_, this, std::move(items));
}

void CovWPFCtrlTreeViewItem::ClickWith(LONG shift, LONG button, bool dbl) {
    owner_->CheckEnabled();
    if (ov::Variant container = Container(); IsObject(container))
        ov::CallIfPresent(DriverOf(container), L"BringIntoView");

    ov::ComPtr<IovObjectService> service = ov::HostServices::ObjectService();
    if (!service) ov::RaiseInvocationError();
    const GUID treeId = owner_->ElementId();
    ov::ComPtr<IUnknown> made;
    if (FAILED(service->CreateObject(&treeId, static_cast<IovWin32CtrlStdActionsWindow*>(this), made.Put())))
        ov::RaiseInvocationError();
    ov::ComPtr<IovMouseActions> actions = made.As<IovMouseActions>();
    if (!actions) ov::RaiseInvocationError();
    if (ov::ComPtr<IovActionOptions> options = made.As<IovActionOptions>()) {
        options->put_ActionMode(kPartActionMode);
        options->put_ActionFlags(kPartActionFlags);
    }
    switch (button) {
    case kLeft:
        dbl ? actions->DblClick(-1, -1, shift) : actions->Click(-1, -1, shift);
        break;
    case kRight:
        dbl ? actions->DblClickR(-1, -1, shift) : actions->ClickR(-1, -1, shift);
        break;
    default:
        dbl ? actions->DblClickM(-1, -1, shift) : actions->ClickM(-1, -1, shift);
        break;
    }
    // What the host left of a failed click is not this member's error.
    SetErrorInfo(0, nullptr);
    const wchar_t* word = button == kLeft ? L"left" : button == kRight ? L"right" : L"center";
    ov::ReportMessage(*this, ov::Format(dbl ? kDoubleClicked : kClicked, word).c_str());
}

void CovWPFCtrlTreeViewItem::SetExpanded(bool expand) {
    owner_->CheckEnabled();
    CovDispDriver container = DriverOf(Container());
    if (ov::GetBool(container, L"IsExpanded") == expand)
        throw CovInvokeException(expand ? L"The tree item is already expanded."
                                        : L"The tree item is already collapsed.",
                                 L"", CovInvokeException::Notice);
    ov::SetBool(container, L"IsExpanded", expand);
    ov::ReportMessage(*this, expand ? L"The tree item was expanded." : L"The tree item was collapsed.");
}

HRESULT CovWPFCtrlTreeViewItem::Click(TShiftKey shift) {
    return Member([&] { ClickWith(shift, kLeft, false); });
}

HRESULT CovWPFCtrlTreeViewItem::ClickR(TShiftKey shift) {
    return Member([&] { ClickWith(shift, kRight, false); });
}

HRESULT CovWPFCtrlTreeViewItem::ClickM(TShiftKey shift) {
    return Member([&] { ClickWith(shift, kMiddle, false); });
}

HRESULT CovWPFCtrlTreeViewItem::DblClick(TShiftKey shift) {
    return Member([&] { ClickWith(shift, kLeft, true); });
}

HRESULT CovWPFCtrlTreeViewItem::DblClickR(TShiftKey shift) {
    return Member([&] { ClickWith(shift, kRight, true); });
}

HRESULT CovWPFCtrlTreeViewItem::DblClickM(TShiftKey shift) {
    return Member([&] { ClickWith(shift, kMiddle, true); });
}

HRESULT CovWPFCtrlTreeViewItem::Expand(VARIANT_BOOL expand) {
    return Member([&] { SetExpanded(expand != VARIANT_FALSE); });
}

HRESULT CovWPFCtrlTreeViewItem::Collapse() {
    return Member([&] { SetExpanded(false); });
}

HRESULT CovWPFCtrlTreeViewItem::get_Items(IDispatch** items) {
    return Member([&] {
        ov::RequireOut(items);
        *items = nullptr;
        owner_->EnterCall();
        ov::Variant container = Container();
        if (!IsObject(container)) return;
        CovDispDriver element = DriverOf(container);
        if (!ov::HasMember(element, L"Items")) return;
        CovDispDriver children = ov::GetObjectByName(element, L"Items");
        if (ov::GetInt(children, L"Count") == 0) return;
        *items = ov::Create<CovWPFCtrlTreeViewItemCollection>(*owner_, this, std::move(children))
                     .As<IDispatch>()
                     .Detach();
    });
}

HRESULT CovWPFCtrlTreeViewItem::get_Text(BSTR* text) {
    return Member([&] {
        ov::RequireOut(text);
        *text = nullptr;
        owner_->EnterCall();
        *text = ov::ItemText(item_, kTextMember).Detach();
    });
}

HRESULT CovWPFCtrlTreeViewItem::ContainerFlag(const wchar_t* member, VARIANT_BOOL* value) {
    return Member([&] {
        ov::RequireOut(value);
        *value = VARIANT_FALSE;
        owner_->EnterCall();
        ov::Variant container = Container();
        if (!IsObject(container)) return;
        CovDispDriver element = DriverOf(container);
        DISPID id = DISPID_UNKNOWN;
        if (element.HasMember(member, &id) && element.GetPropertyBool(id)) *value = VARIANT_TRUE;
    });
}

HRESULT CovWPFCtrlTreeViewItem::get_Expanded(VARIANT_BOOL* expanded) {
    return ContainerFlag(L"IsExpanded", expanded);
}

HRESULT CovWPFCtrlTreeViewItem::get_Selected(VARIANT_BOOL* selected) {
    return ContainerFlag(L"IsSelected", selected);
}

ov::ComPtr<IovHostObject> CovWPFCtrlTreeViewItem::WindowObject() {
    for (ov::ComPtr<IovHostObject> object = owner_->TryGetHostObject(); object;
         object = ParentOf(object.Get()))
        if (ov::QueryAs<IovNativeWindow>(object.Get())) return object;
    return nullptr;
}

HRESULT CovWPFCtrlTreeViewItem::GetOwnerWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = nullptr;
    return ov::Guard([&] {
        ov::ComPtr<IovHostObject> object = WindowObject();
        ov::ComPtr<IovNativeWindow> native = object ? ov::QueryAs<IovNativeWindow>(object.Get()) : nullptr;
        if (!native) throw ov::ComError(E_FAIL);
        ov::ThrowIfFailed(native->GetWindowHandle(window));
    });
}

HRESULT CovWPFCtrlTreeViewItem::GetRectangle(RECT* rect, VARIANT_BOOL* placed) {
    if (!rect || !placed) return E_POINTER;
    *rect = RECT{};
    *placed = VARIANT_FALSE;
    return ov::Guard([&] {
        try {
            ov::Variant container = Container();
            if (!IsObject(container)) return;
            std::optional<CovDispDriver> header = FindHeader(DriverOf(container));
            ov::ComPtr<IovHostObject> tree = owner_->TryGetHostObject();
            ov::ComPtr<IovInternalObjects> internal =
                tree ? ov::QueryAs<IovInternalObjects>(tree.Get()) : nullptr;
            if (!header || !internal) return;
            ov::ComPtr<IDispatch> helperObject;
            if (FAILED(internal->GetHelper(helperObject.Put())) || !helperObject) return;
            ov::ComPtr<IovHostObject> window = WindowObject();
            if (!window) return;

            LONG left = 0, top = 0, width = 0, height = 0;
            auto out = [](LONG& value) {
                ov::Variant v;
                v.vt = VT_I4 | VT_BYREF;
                v.plVal = &value;
                return v;
            };
            CovDispDriver helper(helperObject.Get());
            ov::Call(helper, L"GetScreenRectOfInternalObject", ov::Variant::Dispatch(header->Get()),
                     out(left), out(top), out(width), out(height));
            CovDispDriver windowObject;
            windowObject.AttachObject(window.Get());
            left -= ov::GetInt(windowObject, L"ScreenLeft");
            top -= ov::GetInt(windowObject, L"ScreenTop");
            *rect = RECT{left, top, left + width, top + height};
            *placed = VARIANT_TRUE;
        } catch (const CovInvokeException&) {
            // Whatever keeps the header from being found or measured: the node is not placed.
            *rect = RECT{};
            *placed = VARIANT_FALSE;
        }
    });
}

HRESULT CovWPFCtrlTreeViewItem::IsAvailable(VARIANT_BOOL* available) {
    if (!available) return E_POINTER;
    *available = VARIANT_TRUE;
    return S_OK;
}

HRESULT CovWPFCtrlTreeViewItem::GetSyntax(IovSyntaxItem** syntax, LONG flag) {
    if (!syntax) return E_POINTER;
    *syntax = nullptr;
    return ov::Guard([&] {
        std::vector<ov::Variant> arguments;
        arguments.push_back(ov::Variant::String(name_.View()));
        *syntax = ov::CreateMemberSyntax(parent_.Get(), flag, L"Item", 0, arguments).Detach();
    });
}
