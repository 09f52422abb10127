#include "HostCore.h"

#include "HostObjects.h"

#include "wpfsim/ComboBox.h"
#include "wpfsim/Expander.h"
#include "wpfsim/Menus.h"
#include "wpfsim/Popup.h"
#include "wpfsim/TabControl.h"
#include "wpfsim/ToolBar.h"
#include "wpfsim/TreeView.h"

#include <olectl.h>

#include <algorithm>

namespace ovhost {

HostCore::HostCore(std::wstring productFolder) : productFolder_(std::move(productFolder)) {}

HostCore::~HostCore() = default;

HRESULT HostCore::TypeInfo(REFIID iid, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (typeLibResult_ == S_FALSE)
        typeLibResult_ = LoadTypeLib((productFolder_ + L"\\OVHookX64.exe\\3").c_str(), typeLib_.Put());
    if (FAILED(typeLibResult_)) return typeLibResult_;
    auto it = typeInfos_.find(iid);
    if (it == typeInfos_.end()) {
        ov::ComPtr<ITypeInfo> found;
        HRESULT hr = typeLib_->GetTypeInfoOfGuid(iid, found.Put());
        if (FAILED(hr)) return hr;
        it = typeInfos_.emplace(iid, found).first;
    }
    return it->second.CopyTo(info);
}

// --- log ------------------------------------------------------------------------------------------------

void HostCore::AddLog(LogEntry entry) {
    entry.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    if (logContext && !entry.context.line && entry.context.element.empty()) entry.context = logContext();
    log_.push_back(std::move(entry));
    if (onLog) onLog(log_.back());
}

// --- module manager -------------------------------------------------------------------------------------

HRESULT HostCore::RegisterModule(IUnknown* object) {
    if (!object) return E_POINTER;
    auto module = ov::QueryAs<IovModule>(object);
    if (!module) return E_NOINTERFACE;
    GUID key{};
    if (HRESULT hr = module->GetModuleKey(&key); FAILED(hr)) return hr;
    if (IsEqualGUID(key, GUID_NULL)) return E_INVALIDARG;
    return AddModule(key, object);
}

HRESULT HostCore::AddModule(const GUID& key, IUnknown* object) {
    if (FindModule(key)) return HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS);
    modules_.push_back({key, ov::ComPtr<IUnknown>(object)});
    ++modulesGeneration_;
    FireModuleEvent(true, object);
    return S_OK;
}

HRESULT HostCore::UnregisterModule(const GUID& key) {
    auto it = std::find_if(modules_.begin(), modules_.end(),
                           [&](const RegisteredModule& m) { return IsEqualGUID(m.key, key) != 0; });
    if (it == modules_.end()) return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    ov::ComPtr<IUnknown> object = std::move(it->object);
    modules_.erase(it);
    ++modulesGeneration_;
    FireModuleEvent(false, object.Get());
    return S_OK;
}

ov::ComPtr<IUnknown> HostCore::FindModule(const GUID& key) const {
    for (const auto& m : modules_)
        if (IsEqualGUID(m.key, key)) return m.object;
    return nullptr;
}

namespace {
bool SameObject(IUnknown* a, IUnknown* b) {
    return ov::QueryAs<IUnknown>(a) == ov::QueryAs<IUnknown>(b);
}
} // namespace

HRESULT HostCore::Advise(IovModuleManagerEvents* sink) {
    if (!sink) return E_POINTER;
    for (const auto& s : sinks_)
        if (SameObject(s.Get(), sink)) return CONNECT_E_ADVISELIMIT;
    sinks_.emplace_back(sink);
    return S_OK;
}

HRESULT HostCore::Unadvise(IovModuleManagerEvents* sink) {
    if (!sink) return E_POINTER;
    auto it =
        std::find_if(sinks_.begin(), sinks_.end(), [&](const auto& s) { return SameObject(s.Get(), sink); });
    if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
    sinks_.erase(it);
    return S_OK;
}

void HostCore::FireModuleEvent(bool added, IUnknown* object) {
    // A sink may unadvise itself (or others) from inside the event.
    auto sinks = sinks_;
    for (auto& sink : sinks) {
        if (added)
            sink->OnModuleAdded(object);
        else
            sink->OnModuleRemoved(object);
    }
}

std::pair<size_t, size_t> HostCore::ReleaseModules() noexcept {
    auto foreign = std::erase_if(modules_, [&](const RegisteredModule& m) { return m.object != owner_; });
    auto sinks = std::exchange(sinks_, {}).size();
    ++modulesGeneration_;
    return {foreign, sinks};
}

// --- the application ------------------------------------------------------------------------------------

void HostCore::Attach(wpfsim::Application& app, std::wstring processName) {
    Detach();
    app_ = &app;
    processName_ = std::move(processName);
    if (FAILED(CoCreateGuid(&ownerKey_))) throw ov::ComError(E_FAIL);
    owner_ = ov::QueryAs<IUnknown>(ov::Create<ApplicationOwner>(shared_from_this(), ownerKey_).Get());
    AddModule(ownerKey_, owner_.Get());
    process_ = ov::Create<ProcessNode>(shared_from_this());
    RegisterNode(*process_);
    // The application ran before the host attached to it: what it deferred is done.
    app.DoEvents();
    process_->Sync(true);
}

void HostCore::Detach() {
    if (!app_) return;
    if (process_) process_->Drop();
    process_.Reset();
    registry_.clear();
    UnregisterModule(ownerKey_);
    owner_.Reset();
    ownerKey_ = GUID_NULL;
    app_ = nullptr;
    activeWindow_ = GUID_NULL;
}

ov::ComPtr<ProcessNode> HostCore::Process() const {
    return process_;
}

ov::ComPtr<HostNode> HostCore::Find(const GUID& id) const {
    auto it = registry_.find(id);
    return it == registry_.end() ? nullptr : it->second;
}

ov::ComPtr<HostNode> HostCore::NodeFor(const wpfsim::Element& element) {
    // The host asks the application (with the dispatcher's rules for a call).
    if (app_) app_->Settle();
    if (!process_ || !IsOnScreen(element)) return nullptr;
    if (auto node = Find(element.Id())) return node;
    // The host learns of the element now: its parent's children are brought up to date.
    if (wpfsim::Element* parent = element.Parent()) {
        auto parentNode = NodeFor(*parent);
        if (!parentNode) return nullptr;
        parentNode->Sync(false);
    } else {
        process_->Sync(false);
    }
    return Find(element.Id());
}

ov::ComPtr<TopLevelNode> HostCore::TopLevelOf(HWND window) const {
    if (!process_ || !window) return nullptr;
    for (const auto& child : process_->Children())
        if (auto* top = dynamic_cast<TopLevelNode*>(child.Get()); top && top->WindowHandle() == window)
            return ov::ComPtr<TopLevelNode>(top);
    return nullptr;
}

void HostCore::RegisterNode(HostNode& node) {
    registry_[node.Id()] = ov::ComPtr<HostNode>(&node);
}

void HostCore::UnregisterNode(const GUID& id) noexcept {
    registry_.erase(id);
}

void HostCore::DropExtensions() noexcept {
    for (auto& [id, node] : registry_)
        if (auto* element = dynamic_cast<ElementNode*>(node.Get())) element->DropExtensions();
}

// --- actions --------------------------------------------------------------------------------------------

bool HostCore::IsInApplication(const wpfsim::Element& element) const noexcept {
    if (!app_ || element.App() != app_ || element.Removed()) return false;
    const wpfsim::Element* root = &element;
    while (root->Parent())
        root = root->Parent();
    const auto& roots = app_->Roots();
    return std::find(roots.begin(), roots.end(), root) != roots.end();
}

bool HostCore::IsOnScreen(const wpfsim::Element& element) const noexcept {
    if (!IsInApplication(element)) return false;
    for (const wpfsim::Element* e = &element; e; e = e->Parent())
        if (e->GetVisibility() != wpfsim::Visibility::Visible || IsInternalPart(*e) || OutsideItsWindow(*e))
            return false;
    return true;
}

bool HostCore::OutsideItsWindow(const wpfsim::Element& element) noexcept {
    const wpfsim::Element* window = &element;
    while (window->Parent())
        window = window->Parent();
    if (window == &element) return false;
    const RECT& r = element.Bounds();
    const RECT& w = window->Bounds();
    const bool empty = r.right <= r.left || r.bottom <= r.top;
    return !empty && (r.right <= w.left || r.left >= w.right || r.bottom <= w.top || r.top >= w.bottom);
}

bool HostCore::IsInternalPart(const wpfsim::Element& element) noexcept {
    return dynamic_cast<const wpfsim::TreeViewItem*>(&element) != nullptr;
}

namespace {

// Why an element is not shown: the reasons, in the words of one table.
enum class OffScreen {
    Hidden,
    Collapsed,
    InHidden,
    InCollapsed,
    InClosedExpander,
    OnUnselectedTab,
    InClosedDropDown,
    InClosedSubmenu,
    InClosedOverflow,
    InClosedContextMenu,
    InClosedPopup,
    NotGenerated,
    TreeNode,
    OutsideWindow,
    InOutsideWindow,
    NotInWindow
};

// %1 the element's name, %2 the element that says why ('name' or a class), %3 a detail (a tab's header, an
// item's index).
constexpr std::pair<OffScreen, const wchar_t*> kOffScreenTexts[] = {
    {OffScreen::Hidden, L"'%1' is not shown: its Visibility is Hidden."},
    {OffScreen::Collapsed, L"'%1' is not shown: its Visibility is Collapsed."},
    {OffScreen::InHidden, L"'%1' is not shown: it is inside %2, which is hidden."},
    {OffScreen::InCollapsed, L"'%1' is not shown: it is inside %2, which is collapsed."},
    {OffScreen::InClosedExpander, L"'%1' is not shown: it is inside the expander %2, which is not expanded."},
    {OffScreen::OnUnselectedTab,
     L"'%1' is not shown: it is on the tab page '%3' of %2, which is not selected."},
    {OffScreen::InClosedDropDown, L"'%1' is not shown: it is in the drop-down of %2, which is closed."},
    {OffScreen::InClosedSubmenu, L"'%1' is not shown: it is in the submenu of %2, which is closed."},
    {OffScreen::InClosedOverflow, L"'%1' is not shown: it is in the overflow panel of %2, which is closed."},
    {OffScreen::InClosedContextMenu,
     L"'%1' is not shown: it is in the context menu of %2, which is not open."},
    {OffScreen::InClosedPopup, L"'%1' is not shown: it is inside %2, a popup that is closed."},
    {OffScreen::NotGenerated,
     L"'%1' is not shown: it is item %3 of %2, which has generated no container for it (the item is out of "
     L"view)."},
    {OffScreen::TreeNode,
     L"'%1' is a node of the tree view %2: tree nodes have no objects of their own, the tree view's object "
     L"reaches them by their paths."},
    {OffScreen::OutsideWindow, L"'%1' is not shown: it lies outside its window."},
    {OffScreen::InOutsideWindow, L"'%1' is not shown: it is inside %2, which lies outside its window."},
    {OffScreen::NotInWindow, L"'%1' is not shown: it is in no window of the application."},
};

// 'name', or the class without its namespace for an element without a name.
std::wstring Called(const wpfsim::Element& element) {
    if (!element.Name().empty()) return L"'" + element.Name() + L"'";
    const std::wstring& name = element.ClassName();
    return L"a " + name.substr(name.find_last_of(L'.') + 1);
}

std::wstring OffScreenText(OffScreen reason, const wpfsim::Element& element, const wpfsim::Element* why,
                           const std::wstring& detail = {}) {
    std::wstring text;
    for (const auto& [r, t] : kOffScreenTexts)
        if (r == reason) text = t;
    const std::pair<const wchar_t*, std::wstring> fields[] = {
        {L"%1", element.Name()}, {L"%2", why ? Called(*why) : std::wstring()}, {L"%3", detail}};
    for (const auto& [field, value] : fields)
        if (size_t at = text.find(field); at != std::wstring::npos) text.replace(at, 2, value);
    return text;
}

// The element whose context menu this is (searched in the visual trees of the windows).
const wpfsim::Element* ContextMenuOwner(const wpfsim::Application& app, const wpfsim::ContextMenu& menu) {
    std::vector<const wpfsim::Element*> pending(app.Roots().begin(), app.Roots().end());
    while (!pending.empty()) {
        const wpfsim::Element* e = pending.back();
        pending.pop_back();
        if (e->GetContextMenu() == &menu) return e;
        pending.insert(pending.end(), e->Children().begin(), e->Children().end());
    }
    return &menu;
}

} // namespace

std::wstring HostCore::WhyNotOnScreen(const wpfsim::Element& element) const {
    if (IsOnScreen(element)) return {};
    for (const wpfsim::Element* e = &element; e;) {
        if (IsInternalPart(*e)) {
            const wpfsim::Element* tree = e;
            while (tree && !dynamic_cast<const wpfsim::TreeView*>(tree))
                tree = tree->Parent() ? tree->Parent() : tree->LogicalParent();
            return OffScreenText(OffScreen::TreeNode, element, tree ? tree : e);
        }
        if (const auto visibility = e->GetVisibility(); visibility != wpfsim::Visibility::Visible) {
            const bool hidden = visibility == wpfsim::Visibility::Hidden;
            if (e == &element)
                return OffScreenText(hidden ? OffScreen::Hidden : OffScreen::Collapsed, element, e);
            if (auto* expander = dynamic_cast<const wpfsim::Expander*>(e->TemplatedParent()))
                return OffScreenText(OffScreen::InClosedExpander, element, expander);
            return OffScreenText(hidden ? OffScreen::InHidden : OffScreen::InCollapsed, element, e);
        }
        if (OutsideItsWindow(*e))
            return OffScreenText(e == &element ? OffScreen::OutsideWindow : OffScreen::InOutsideWindow,
                                 element, e);
        if (e->Parent()) {
            e = e->Parent();
            continue;
        }
        if (app_ && std::find(app_->Roots().begin(), app_->Roots().end(), e) != app_->Roots().end()) break;
        // Out of the visual tree: what holds it says why.
        const wpfsim::Element* holder = e->LogicalParent();
        if (auto* menu = dynamic_cast<const wpfsim::ContextMenu*>(e))
            return OffScreenText(OffScreen::InClosedContextMenu, element,
                                 app_ ? ContextMenuOwner(*app_, *menu) : e);
        if (auto* popup = dynamic_cast<const wpfsim::Popup*>(holder)) {
            const wpfsim::Element* owner = popup->TemplatedParent();
            if (dynamic_cast<const wpfsim::ComboBox*>(owner))
                return OffScreenText(OffScreen::InClosedDropDown, element, owner);
            if (dynamic_cast<const wpfsim::MenuItem*>(owner))
                return OffScreenText(OffScreen::InClosedSubmenu, element, owner);
            if (dynamic_cast<const wpfsim::ToolBar*>(owner))
                return OffScreenText(OffScreen::InClosedOverflow, element, owner);
            return OffScreenText(OffScreen::InClosedPopup, element, owner ? owner : popup);
        }
        if (auto* tab = dynamic_cast<const wpfsim::TabItem*>(holder))
            return OffScreenText(OffScreen::OnUnselectedTab, element,
                                 tab->LogicalParent() ? tab->LogicalParent() : tab, tab->Header().Text());
        if (auto* items = dynamic_cast<const wpfsim::ItemsControl*>(holder))
            if (const long index = items->IndexOfItemElement(*e); index >= 0) {
                // An item without a container: its panel is not shown (a closed drop-down or submenu), or
                // the panel has not generated it.
                const wpfsim::Element* panel = items->ItemsHost();
                if (!panel || IsOnScreen(*panel))
                    return OffScreenText(OffScreen::NotGenerated, element, items, std::to_wstring(index));
                e = panel;
                continue;
            }
        e = holder;
    }
    return OffScreenText(OffScreen::NotInWindow, element, nullptr);
}

std::optional<HostError> HostCore::ActionBlocker(const wpfsim::Element* element, bool needVisible) const {
    if (actionFailure) return actionFailure;
    if (!element || !IsInApplication(*element)) return errors::ObjectGone();
    if (!app_->IsResponding()) return errors::NotResponding();
    if (needVisible && (!element->IsVisible() || OutsideItsWindow(*element))) return errors::Invisible();
    return std::nullopt;
}

HRESULT HostCore::Record(ActionRecord record) {
    if (SUCCEEDED(record.result) && record.kind != ActionKind::Activate) mouse_ = record.screen;
    actions_.push_back(std::move(record));
    return actions_.back().result;
}

// --- options --------------------------------------------------------------------------------------------

void HostCore::NotifyOptionUpdated(std::wstring key, const VARIANT& classNames) {
    optionUpdates_.push_back({std::move(key), ov::Variant(classNames)});
}

ov::Variant HostCore::OptionValue(std::wstring_view key) const {
    for (auto it = optionUpdates_.rbegin(); it != optionUpdates_.rend(); ++it)
        if (it->key == key) return it->classNames;
    return ov::Variant();
}

HRESULT ApplicationOwner::GetModuleKey(GUID* key) {
    OVHOST_COUNTED(Count("IovModule::GetModuleKey"));
    if (!key) return E_POINTER;
    *key = key_;
    return S_OK;
}

} // namespace ovhost
