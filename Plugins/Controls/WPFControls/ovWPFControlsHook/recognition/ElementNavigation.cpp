#include "ElementNavigation.h"

#include "../controls/ClrAccess.h"
#include "../controls/Lists.h"
#include "../controls/Tabs.h"
#include "../controls/ToolBar.h"
#include "../controls/Trees.h"
#include "../menus/MenuControl.h"
#include "com/HostIdentifiers.h"
#include "com/RecordIdentifiers.h"

#include <initializer_list>

namespace {

using ov::RecordKeys::ItemDesignator;
using ov::RecordKeys::ItemOwner;

void Put(const CovRecordedEventContext& context, const GUID& key, const VARIANT& value) {
    ov::ThrowIfFailed(context.record->SetEventProperty(&key, value));
}
void PutBytes(const CovRecordedEventContext& context, const GUID& key, const void* data, ULONG size) {
    ov::ThrowIfFailed(context.record->SetEventBytes(&key, static_cast<const BYTE*>(data), size));
}
// Hands the object to the event and stores its element identifier under `key`.
void HandOver(const CovRecordedEventContext& context, IovHostObject* object, const GUID& key) {
    ov::ThrowIfFailed(context.record->AddEventObject(object));
    GUID id{};
    ov::ThrowIfFailed(object->GetElementId(&id));
    PutBytes(context, key, &id, sizeof id);
}

// The owner's host object: below the window context, else in any window of the process (popups).
ov::ComPtr<IovHostObject> FindOwnerHost(const CovRecordedEventContext& context, const CovDispDriver& owner) {
    if (owner.Empty()) return nullptr;
    if (auto found = CovWPFCtrl::FindChildHostObject(context.windowContext, owner)) return found;
    IovHostObject* start = context.windowContext ? context.windowContext : context.hostObject;
    ov::ComPtr<IovHostObject> process = ov::NearestOfHostType(start, ov::HostIds::ProcessContainer);
    return CovWPFCtrl::FindChildHostObject(process.Get(), owner);
}

bool KindIn(const std::optional<LONG>& kind, std::initializer_list<LONG> wanted) {
    if (!kind) return false;
    for (LONG w : wanted)
        if (*kind == w) return true;
    return false;
}

// parent "ItemContainerGenerator" "IndexFromContainer" (element); nothing when the answer is no index.
std::optional<LONG> IndexInParent(const CovDispDriver& parent, const CovDispDriver& element) {
    CovDispDriver generator = ov::GetObjectByName(parent, L"ItemContainerGenerator");
    ov::Variant answer = ov::Call(generator, L"IndexFromContainer", ov::Variant::Dispatch(element.Get()));
    ov::Variant index;
    if (FAILED(VariantChangeType(&index, &answer, 0, VT_I4)) || index.lVal < 0) return std::nullopt;
    return index.lVal;
}

template <class W> ov::ComPtr<W> WrapperOver(const CovDispDriver& object) {
    ov::ComPtr<W> wrapper = ov::Create<W>();
    wrapper->BindToObject(object);
    return wrapper;
}

// Combo-box, list and tab items: owner by `ownerMember`, index from the owner's generator, designator
// from a wrapper of the owner's family.
template <class W>
void ItemWalk(const CovRecordedEventContext& context, const CovDispDriver& element,
              const wchar_t* ownerMember, std::initializer_list<LONG> ownerKinds) {
    CovDispDriver owner = ov::GetObjectByName(element, ownerMember);
    ov::ComPtr<IovHostObject> ownerHost = FindOwnerHost(context, owner);
    if (!ownerHost || !KindIn(ov::RecognizedKindOf(ownerHost.Get()), ownerKinds)) return;
    HandOver(context, ownerHost.Get(), ItemOwner);
    std::optional<LONG> index = IndexInParent(owner, element);
    if (!index) return;
    Put(context, ItemDesignator, ov::GetItemDesignator(*WrapperOver<W>(owner), *index));
}

void ToolBarWalk(const CovRecordedEventContext& context, const CovDispDriver& element) {
    CovDispDriver panel = ov::GetObjectByName(element, L"get_InternalVisualParent");
    if (panel.Empty() || !ov::HasMember(panel, L"get_ToolBar")) return;
    CovDispDriver toolBar = ov::GetObjectByName(panel, L"get_ToolBar");
    ov::ComPtr<IovHostObject> ownerHost = FindOwnerHost(context, toolBar);
    if (!ownerHost || !KindIn(ov::RecognizedKindOf(ownerHost.Get()), {ctrlWPFToolBar})) return;
    ov::ComPtr<CovWPFCtrlToolBar> wrapper = WrapperOver<CovWPFCtrlToolBar>(toolBar);
    const LONG index = wrapper->IndexOfItem(element);
    if (index < 0) return;
    HandOver(context, ownerHost.Get(), ov::RecordKeys::ToolBarOwner);
    Put(context, ov::RecordKeys::ToolBarDesignator, ov::GetItemDesignator(*wrapper, index));
}

void TreeItemWalk(const CovRecordedEventContext& context, const CovDispDriver& element) {
    CovDispDriver owner = ov::GetObjectByName(element, L"get_ParentTreeView");
    ov::ComPtr<IovHostObject> ownerHost = FindOwnerHost(context, owner);
    if (!ownerHost || !KindIn(ov::RecognizedKindOf(ownerHost.Get()), {ctrlWPFTreeView})) return;
    HandOver(context, ownerHost.Get(), ItemOwner);
    ov::ComPtr<CovWPFCtrlTreeView> tree = WrapperOver<CovWPFCtrlTreeView>(owner);
    std::wstring path;
    CovDispDriver current = element;
    while (ov::HasMember(current, L"get_ParentItemsControl")) {
        CovDispDriver parent = ov::GetObjectByName(current, L"get_ParentItemsControl");
        if (parent.Empty()) break;
        if (std::optional<LONG> index = IndexInParent(parent, current)) {
            auto level = ov::Create<CovWPFCtrlTreeViewItemCollection>(*tree, nullptr,
                                                                      ov::GetObjectByName(parent, L"Items"));
            path.insert(0, std::wstring(level->ListSeparator().View()) +
                               std::wstring(ov::GetItemDesignatorText(*level, *index).View()));
        }
        current = std::move(parent);
    }
    Put(context, ItemDesignator, ov::Variant::String(path));
}

// The element whose "ContextMenu" is `menu`, depth first below `parent`.
ov::ComPtr<IovHostObject> FindContextMenuOwner(IovHostObject* parent, const CovDispDriver& menu) {
    if (!parent) return nullptr;
    LONG count = 0;
    if (FAILED(parent->GetChildCount(&count))) return nullptr;
    const ov::Variant target = ov::Variant::Dispatch(menu.Get());
    for (LONG i = 0; i < count; ++i) {
        ov::ComPtr<IovHostObject> child;
        if (FAILED(parent->GetChild(i, child.Put())) || !child) continue;
        CovDispDriver native = ov::GetNativeObjectDriver(child.Get());
        DISPID id = DISPID_UNKNOWN;
        if (!native.Empty() && native.HasMember(L"ContextMenu", &id)) {
            ov::Variant contextMenu = native.GetProperty(id);
            if (!CovWPFCtrl::IsVariantEmpty(contextMenu) &&
                ov::IsTrue(ov::Call(menu, L"ReferenceEquals", contextMenu, target)))
                return child;
        }
        if (auto found = FindContextMenuOwner(child.Get(), menu)) return found;
    }
    return nullptr;
}

void MenuItemWalk(const CovWPFControlsRecognizer& recognizer, const CovRecordedEventContext& context,
                  const CovDispDriver& element) {
    if (!context.mouseEvent) return;
    CovDispDriver parent = ov::GetObjectByName(element, L"get_LogicalParent");
    std::optional<LONG> index = IndexInParent(parent, element);
    if (!index) return;
    ov::ComPtr<CovWPFCtrlMenu> maker = WrapperOver<CovWPFCtrlMenu>(parent);
    auto menu = ov::Create<CovWPFHelperMenu>(maker.Get(), nullptr, L"", parent);
    ov::ComPtr<CovMenuItemHelper> item = menu->MakeItem(*index);
    if (!item) return;
    Put(context, ov::RecordKeys::MenuPath, ov::Variant::String(item->PathText().View()));
    Put(context, ov::RecordKeys::MenuHasSubmenu, ov::Variant::Bool(item->SubMenu() != nullptr));
    if (ov::HasMember(element, L"IsCheckable") && ov::GetBool(element, L"IsCheckable"))
        Put(context, ov::RecordKeys::MenuCheckedAfter,
            ov::Variant::Bool(!ov::GetBool(element, L"IsChecked")));
    // Only a menu item has "get_LogicalParent": the walk ends at the menu or context menu on top.
    CovDispDriver top = parent;
    while (ov::HasMember(top, L"get_LogicalParent"))
        top = ov::GetObjectByName(top, L"get_LogicalParent");
    const LONG topKind = recognizer.GetElementKind(top);
    Put(context, ov::RecordKeys::MenuTopKind, ov::Variant::Int(topKind));
    ov::ComPtr<IovHostObject> topHost;
    if (topKind == ctrlWPFMenu) {
        topHost = FindOwnerHost(context, top);
    } else if (!(topHost = FindContextMenuOwner(context.windowContext, top))) {
        // A context menu opened without a placement target: its owner may be in any window.
        IovHostObject* start = context.windowContext ? context.windowContext : context.hostObject;
        topHost =
            FindContextMenuOwner(ov::NearestOfHostType(start, ov::HostIds::ProcessContainer).Get(), top);
    }
    if (topHost) HandOver(context, topHost.Get(), ov::RecordKeys::MenuOwner);
}

void PopupRootWalk(const CovWPFControlsRecognizer& recognizer, const CovRecordedEventContext& context,
                   const CovDispDriver& element) {
    CovDispDriver popup = ov::GetObjectByName(element, L"get_Parent");
    CovDispDriver owner = popup.Empty() ? CovDispDriver() : ov::GetObjectByName(popup, L"TemplatedParent");
    Put(context, ov::RecordKeys::PopupOwnerKind,
        ov::Variant::Int(owner.Empty() ? 0 : recognizer.GetElementKind(owner)));
}

// Positions 12 and 13 of the object's on-screen extender; nothing without one.
std::optional<POINT> ScreenPosition(IovHostObject* object) {
    ov::ComPtr<IUnknown> extender;
    VARIANT_BOOL found = VARIANT_FALSE;
    if (FAILED(object->GetExtender(&__uuidof(IovScreenObject), extender.Put(), &found)) || !found ||
        !extender)
        return std::nullopt;
    auto screen = extender.As<IovScreenObject>();
    POINT at{};
    if (!screen || FAILED(screen->get_ScreenLeft(&at.x)) || FAILED(screen->get_ScreenTop(&at.y)))
        return std::nullopt;
    return at;
}

void TransparentWalk(const CovWPFControlsRecognizer& recognizer, const CovRecordedEventContext& context) {
    if (!context.hostObject) return;
    const std::optional<POINT> from = ScreenPosition(context.hostObject);
    for (ov::ComPtr<IovHostObject> object = ov::HostParentOf(context.hostObject); object;
         object = ov::HostParentOf(object.Get())) {
        CovDispDriver native = ov::GetNativeObjectDriver(object.Get());
        const LONG kind = native.Empty() ? 0 : recognizer.GetElementKind(native);
        if (kind == ctrlWPFActTransparent) continue;
        std::optional<POINT> at = ScreenPosition(object.Get());
        if (!at) continue;
        HandOver(context, object.Get(), ov::RecordKeys::TransparentOwner);
        Put(context, ov::RecordKeys::TransparentClassName,
            ov::Variant::String(native.Empty() ? L"" : ov::GetClrFullClassName(native).View()));
        Put(context, ov::RecordKeys::TransparentOffsetX, ov::Variant::Int(at->x - (from ? from->x : 0)));
        Put(context, ov::RecordKeys::TransparentOffsetY, ov::Variant::Int(at->y - (from ? from->y : 0)));
        if (kind != 0) Put(context, ov::RecordKeys::TransparentKind, ov::Variant::Int(kind));
        return;
    }
}

// The position of one scroll direction; nothing when the wrapper has no scroll object there.
std::optional<double> ScrollPos(IovWPFScrollHelper& helper, HRESULT (IovWPFScrollHelper::*get)(IDispatch**)) {
    ov::ComPtr<IDispatch> scroll;
    ov::ThrowIfFailed((helper.*get)(scroll.Put()));
    auto bar = scroll.As<IovWPFHelperScrollBar>();
    if (!bar) return std::nullopt;
    double pos = 0;
    ov::ThrowIfFailed(bar->get_Pos(&pos));
    return pos;
}

} // namespace

namespace ov {

std::optional<LONG> RecognizedKindOf(IUnknown* hostObject) {
    auto extensions = QueryAs<IovExtensionList>(hostObject);
    LONG count = 0;
    if (!extensions || FAILED(extensions->GetCount(&count))) return std::nullopt;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IUnknown> carried;
        if (FAILED(extensions->GetExtensionObject(i, carried.Put())) || !carried) continue;
        if (auto recognized = carried.As<IovWPFControlRecognizerExtender>()) {
            WPFControlType kind = ctrlWPFUnknown;
            if (FAILED(recognized->get_WPFControlType(&kind))) return std::nullopt;
            return kind;
        }
    }
    return std::nullopt;
}

} // namespace ov

void CollectScrollContext(const CovWPFControlsRecognizer& recognizer,
                          const CovRecordedEventContext& context) {
    std::vector<ov::ScrollEntry> entries;
    for (ov::ComPtr<IovHostObject> object(context.hostObject); object;
         object = ov::HostParentOf(object.Get())) {
        CovDispDriver native = ov::GetNativeObjectDriver(object.Get());
        if (native.Empty()) continue;
        auto helper = ov::QueryAs<IovWPFScrollHelper>(recognizer.CreateElementWrapper(native).Get());
        if (!helper) continue;
        ov::ScrollEntry entry{};
        ov::ThrowIfFailed(object->GetElementId(&entry.object));
        if (auto h = ScrollPos(*helper, &IovWPFScrollHelper::get_HScroll)) {
            entry.hasHorizontal = 1;
            entry.horizontal = *h;
        }
        if (auto v = ScrollPos(*helper, &IovWPFScrollHelper::get_VScroll)) {
            entry.hasVertical = 1;
            entry.vertical = *v;
        }
        ov::ThrowIfFailed(context.record->AddEventObject(object.Get()));
        entries.push_back(entry);
    }
    if (entries.empty()) return;
    PutBytes(context, ov::RecordKeys::ScrollState, entries.data(),
             static_cast<ULONG>(entries.size() * sizeof(ov::ScrollEntry)));
    ov::Variant count;
    count.vt = VT_UI8;
    count.ullVal = entries.size();
    Put(context, ov::RecordKeys::ScrollCount, count);
}

void CollectElementContext(const CovWPFControlsRecognizer& recognizer, LONG kind,
                           const CovDispDriver& element, const CovRecordedEventContext& context) {
    switch (kind) {
    case ctrlWPFButton:
    case ctrlWPFCheckBox:
    case ctrlWPFRadioButton:
    case ctrlWPFToggleButton:
        return ToolBarWalk(context, element);
    case ctrlWPFComboBoxItem:
        return ItemWalk<CovWPFCtrlComboBox>(context, element, L"get_ParentComboBox", {ctrlWPFComboBox});
    case ctrlWPFEdit:
    case ctrlWPFFlowDocumentScrollViewer:
    case ctrlWPFDocumentViewer:
    case ctrlWPFReaderScrollViewer:
        return CollectScrollContext(recognizer, context);
    case ctrlWPFListBoxItem:
    case ctrlWPFListViewItem:
        return ItemWalk<CovWPFCtrlListBox>(context, element, L"get_ParentListBox",
                                           {ctrlWPFListBox, ctrlWPFListView});
    case ctrlWPFTabControlItem:
        return ItemWalk<CovWPFCtrlTabControl>(context, element, L"get_TabControlParent", {ctrlWPFTabControl});
    case ctrlWPFRepeatButton:
        return Put(context, ov::RecordKeys::Pressed, ov::GetRaw(element, L"IsPressed"));
    case ctrlWPFMenuItem:
        return MenuItemWalk(recognizer, context, element);
    case ctrlWPFTreeViewItem:
        return TreeItemWalk(context, element);
    case ctrlWPFPopupRoot:
        return PopupRootWalk(recognizer, context, element);
    case ctrlWPFActTransparent:
        return TransparentWalk(recognizer, context);
    default:
        return;
    }
}
