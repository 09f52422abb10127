#include "HostObjects.h"

#include "MouseActions.h"
#include "Services.h"

#include "wpfsim/TreeView.h"

#include <algorithm>
#include <mutex>

namespace ovhost {
namespace {

template <class T> HRESULT Out(T* out, T value) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

HRESULT OutText(BSTR* out, std::wstring_view text) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// The short class name of a .NET full class name ("Button" of "System.Windows.Controls.Button").
std::wstring ShortClassName(const std::wstring& full) {
    auto dot = full.find_last_of(L'.');
    return dot == std::wstring::npos ? full : full.substr(dot + 1);
}

// "Name"("x") for a named element, "Name"("Class", n) for the n-th unnamed one of its class among siblings.
std::wstring StepName(const wchar_t* method, const wpfsim::Element& element) {
    std::wstring step = std::wstring(L".") + method + L"(\"";
    if (!element.Name().empty()) return step + element.Name() + L"\")";
    std::wstring cls = ShortClassName(element.ClassName());
    int index = 1;
    if (const wpfsim::Element* parent = element.Parent())
        for (const wpfsim::Element* sibling : parent->Children()) {
            if (sibling == &element) break;
            if (sibling->Name().empty() && sibling->ClassName() == element.ClassName()) ++index;
        }
    return step + cls + L"\", " + std::to_wstring(index) + L")";
}

const wchar_t* const kWindowClass = L"OVHookX64.HostWindow";

HWND CreateHostWindow(const std::wstring& title) {
    static std::once_flag registered;
    std::call_once(registered, [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kWindowClass;
        RegisterClassExW(&wc);
    });
    // Message-only: a real handle that needs no display.
    return CreateWindowExW(0, kWindowClass, title.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

} // namespace

// --- HostNode -------------------------------------------------------------------------------------------

HostNode::HostNode(std::shared_ptr<HostCore> core, const GUID& id, const GUID& type, HostNode* parent)
    : CoreUser(std::move(core)), id_(id), type_(type), parent_(parent), owner_(Core().Owner()) {}

HostNode::~HostNode() = default;

HRESULT HostNode::GetElementId(GUID* id) {
    OVHOST_COUNTED(Count("IovHostObject::GetElementId"));
    return Out(id, id_);
}

HRESULT HostNode::GetParent(IovHostObject** parent) {
    OVHOST_COUNTED(Count("IovHostObject::GetParent"));
    if (!parent) return E_POINTER;
    *parent = parent_ ? parent_->AsHostObject() : nullptr;
    if (*parent) (*parent)->AddRef();
    return S_OK;
}

HRESULT HostNode::GetObjectType(GUID* type) {
    OVHOST_COUNTED(Count("IovHostObject::GetObjectType"));
    return Out(type, type_);
}

HRESULT HostNode::GetChildCount(LONG* count) {
    OVHOST_COUNTED(Count("IovHostObject::GetChildCount"));
    return Barrier([&] { return Out(count, static_cast<LONG>(Children().size())); });
}

HRESULT HostNode::GetChild(LONG index, IovHostObject** child) {
    OVHOST_COUNTED(Count("IovHostObject::GetChild"));
    if (!child) return E_POINTER;
    *child = nullptr;
    return Barrier([&] {
        const auto& children = Children();
        if (index < 0 || static_cast<size_t>(index) >= children.size())
            return Raise(
                errors::BadArgument(L"The child index " + std::to_wstring(index) + L" is out of range."),
                __uuidof(IovHostObject));
        *child = children[static_cast<size_t>(index)]->AsHostObject();
        (*child)->AddRef();
        return S_OK;
    });
}

HRESULT HostNode::GetOptionStore(IovOptionStore** store, VARIANT_BOOL* found) {
    OVHOST_COUNTED(Count("IovHostObject::GetOptionStore"));
    if (!store || !found) return E_POINTER;
    *store = nullptr;
    *found = VARIANT_FALSE;
    return Barrier([&] {
        *store = ov::Create<OptionStore>(SharedCore()).Detach();
        *found = VARIANT_TRUE;
        return S_OK;
    });
}

HRESULT HostNode::GetExtender(const GUID* iid, IUnknown** extender, VARIANT_BOOL* found) {
    OVHOST_COUNTED(Count("IovHostObject::GetExtender"));
    if (!iid || !extender || !found) return E_POINTER;
    *extender = nullptr;
    *found = VARIANT_FALSE;
    return Barrier([&] {
        *extender = Extender(*iid).Detach();
        *found = *extender ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
}

HRESULT HostNode::RefreshChildren() {
    OVHOST_COUNTED(Count("IovHostObject::RefreshChildren"));
    return Barrier([&] {
        if (dropped_ || Core().refreshIgnored) return S_OK;
        // The refresh gives the application time: what it deferred (the layout with the containers it
        // generates, the first layout of a popup) is done before the host reads its tree.
        if (wpfsim::Application* app = Core().App()) app->DoEvents();
        Sync(true);
        return S_OK;
    });
}

HRESULT HostNode::GetExtension(const GUID* iid, IUnknown** extension) {
    OVHOST_COUNTED(Count("IovHostObject::GetExtension"));
    if (!iid || !extension) return E_POINTER;
    *extension = nullptr;
    return Barrier([&] {
        *extension = Extension(*iid).Detach();
        return S_OK;
    });
}

HRESULT HostNode::GetOwner(IUnknown** owner) {
    OVHOST_COUNTED(Count("IovObjectInternal::GetOwner"));
    return owner_.CopyTo(owner);
}

const std::vector<ov::ComPtr<HostNode>>& HostNode::Children() {
    if (ChildrenFollowTree() && !dropped_) Sync(false);
    return children_;
}

void HostNode::ReplaceChildren(std::vector<ov::ComPtr<HostNode>> next) {
    auto old = std::exchange(children_, std::move(next));
    for (auto& node : old)
        if (std::find(children_.begin(), children_.end(), node) == children_.end()) node->Drop();
}

void HostNode::Drop() noexcept {
    if (dropped_) return;
    ov::ComPtr<HostNode> keep(this);
    dropped_ = true;
    for (auto& child : children_)
        child->Drop();
    children_.clear();
    Core().UnregisterNode(id_);
}

// --- ProcessNode ----------------------------------------------------------------------------------------

namespace {
GUID NewId() {
    GUID id{};
    if (FAILED(CoCreateGuid(&id))) throw ov::ComError(E_FAIL);
    return id;
}
} // namespace

ProcessNode::ProcessNode(std::shared_ptr<HostCore> core)
    : HostNode(std::move(core), NewId(), ov::HostIds::ProcessContainer, nullptr) {}

void ProcessNode::Sync(bool deep) {
    wpfsim::Application* app = Core().App();
    if (!app) return;
    std::vector<ov::ComPtr<HostNode>> next;
    std::vector<HostNode*> made;
    for (wpfsim::Element* root : app->Roots()) {
        auto it =
            std::find_if(children_.begin(), children_.end(), [&](auto& c) { return c->Element() == root; });
        if (it != children_.end()) {
            next.push_back(*it);
            continue;
        }
        auto top = ov::Create<TopLevelNode>(SharedCore(), *root, this);
        Core().RegisterNode(*top);
        made.push_back(top.Get());
        next.emplace_back(top.Get());
    }
    ReplaceChildren(std::move(next));
    for (auto& child : children_)
        if (deep || std::find(made.begin(), made.end(), child.Get()) != made.end()) child->Sync(true);
}

std::wstring ProcessNode::FullName() const {
    return L"Process(\"" + Core().ProcessName() + L"\")";
}

ov::ComPtr<TopLevelNode> ProcessNode::TopLevelOf(const wpfsim::Element& root) {
    for (auto& child : Children())
        if (child->Element() == &root)
            return ov::ComPtr<TopLevelNode>(static_cast<TopLevelNode*>(child.Get()));
    return nullptr;
}

// --- TopLevelNode ---------------------------------------------------------------------------------------

TopLevelNode::TopLevelNode(std::shared_ptr<HostCore> core, wpfsim::Element& root, HostNode* parent)
    : HostNode(std::move(core), NewId(), ov::HostIds::TopLevelWindow, parent), root_(&root),
      window_(CreateHostWindow(root.Name())) {}

TopLevelNode::~TopLevelNode() {
    if (window_) DestroyWindow(window_);
}

void TopLevelNode::Sync(bool deep) {
    if (Dropped()) return;
    if (children_.empty()) {
        auto window = MakeElementNode(SharedCore(), *root_, this);
        children_.push_back(window);
        window->Sync(true);
    } else if (deep) {
        children_.front()->Sync(true);
    }
}

void TopLevelNode::Drop() noexcept {
    HostNode::Drop();
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
}

std::wstring TopLevelNode::FullName() const {
    const HostNode* parent = Parent();
    return (parent ? parent->FullName() : std::wstring()) + StepName(L"Window", *root_);
}

ov::ComPtr<IUnknown> TopLevelNode::Extension(const GUID& iid) {
    if (IsEqualGUID(iid, __uuidof(IovHostWindow)))
        return ov::ComPtr<IUnknown>(static_cast<IovHostWindow*>(this));
    return nullptr;
}

HRESULT TopLevelNode::Activate() {
    OVHOST_COUNTED(Count("IovHostWindow::Activate"));
    ClearErrorInfo();
    return Barrier([&] {
        ActionRecord record;
        record.kind = ActionKind::Activate;
        record.target = root_->Id();
        record.targetName = root_->Name();
        record.actionMode = actionMode_;
        record.actionFlags = actionFlags_;
        if (auto blocker = Core().ActionBlocker(Dropped() ? nullptr : root_.Get(), true)) {
            record.result = Raise(*blocker, __uuidof(IovHostWindow));
            return Core().Record(std::move(record));
        }
        Core().SetActiveWindow(root_->Id());
        return Core().Record(std::move(record));
    });
}

HRESULT TopLevelNode::get_ActionMode(LONG* mode) {
    OVHOST_COUNTED(Count("IovActionOptions::get_ActionMode"));
    return Out(mode, actionMode_);
}

HRESULT TopLevelNode::put_ActionMode(LONG mode) {
    OVHOST_COUNTED(Count("IovActionOptions::put_ActionMode"));
    actionMode_ = mode;
    return S_OK;
}

HRESULT TopLevelNode::get_ActionFlags(LONG* flags) {
    OVHOST_COUNTED(Count("IovActionOptions::get_ActionFlags"));
    return Out(flags, actionFlags_);
}

HRESULT TopLevelNode::put_ActionFlags(LONG flags) {
    OVHOST_COUNTED(Count("IovActionOptions::put_ActionFlags"));
    actionFlags_ = flags;
    return S_OK;
}

HRESULT TopLevelNode::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, __uuidof(IovHostWindow)) ? S_OK : S_FALSE;
}

// --- ElementNode ----------------------------------------------------------------------------------------

ElementNode::ElementNode(std::shared_ptr<HostCore> core, wpfsim::Element& element, HostNode* parent,
                         const GUID& type)
    : HostNode(std::move(core), element.Id(), type, parent), element_(&element), serial_(Core().NextSerial()),
      mouseExtensions_(IsEqualGUID(type, ov::HostIds::Window) ? MouseExtensions::Window
                                                              : MouseExtensions::OnScreen) {}

WindowNode::WindowNode(std::shared_ptr<HostCore> core, wpfsim::Element& element, HostNode* parent)
    : ElementNode(std::move(core), element, parent, ov::HostIds::Window) {}

ov::ComPtr<HostNode> MakeElementNode(const std::shared_ptr<HostCore>& core, wpfsim::Element& element,
                                     HostNode* parent) {
    ov::ComPtr<HostNode> node;
    if (element.Parent())
        node = ov::Create<ElementNode>(core, element, parent, ElementType);
    else
        node = ov::Create<WindowNode>(core, element, parent);
    core->RegisterNode(*node);
    return node;
}

HRESULT ElementNode::GetSourceObject(IDispatch** source) {
    OVHOST_COUNTED(Count("IovObject::GetSourceObject"));
    return Out<IDispatch*>(source, nullptr);
}

HRESULT ElementNode::GetNativeObject(IDispatch** native) {
    OVHOST_COUNTED(Count("IovObject::GetNativeObject"));
    if (!native) return E_POINTER;
    *native = nullptr;
    // A new proxy on every call, as the host's bridge hands them out.
    return Barrier([&] {
        *native = element_->NewDispatch().Detach();
        return S_OK;
    });
}

HRESULT ElementNode::GetObjectAtPoint(LONG x, LONG y, IDispatch** native) {
    OVHOST_COUNTED(Count("IovPointHitTest::GetObjectAtPoint"));
    if (!native) return E_POINTER;
    *native = nullptr;
    return Barrier([&] {
        if (wpfsim::Application* app = element_->App())
            if (wpfsim::Element* hit = app->ElementAt(POINT{x, y})) *native = hit->NewDispatch().Detach();
        return S_OK;
    });
}

HRESULT ElementNode::GetNativeKind(BSTR* kind) {
    OVHOST_COUNTED(Count("IovObject::GetNativeKind"));
    return OutText(kind, L"NativeClrObject");
}

HRESULT ElementNode::IsValid(VARIANT_BOOL* valid) {
    OVHOST_COUNTED(Count("IovObject::IsValid"));
    return Out(valid, Valid() ? VARIANT_TRUE : VARIANT_FALSE);
}

HRESULT ElementNode::GetFullName(BSTR* fullName) {
    OVHOST_COUNTED(Count("IovObject::GetFullName"));
    return Barrier([&] { return OutText(fullName, FullName()); });
}

HRESULT ElementNode::GetSerialNumber(LONG* serial) {
    OVHOST_COUNTED(Count("IovObject::GetSerialNumber"));
    return Out(serial, serial_);
}

HRESULT ElementNode::ScreenValue(const char* operation, LONG* value, LONG (*pick)(const RECT&)) {
    OVHOST_COUNTED(Count(operation));
    return Out(value, pick(element_->Bounds()));
}

HRESULT ElementNode::get_ScreenLeft(LONG* value) {
    return ScreenValue("IovScreenObject::get_ScreenLeft", value, [](const RECT& r) { return r.left; });
}
HRESULT ElementNode::get_ScreenTop(LONG* value) {
    return ScreenValue("IovScreenObject::get_ScreenTop", value, [](const RECT& r) { return r.top; });
}
HRESULT ElementNode::get_Width(LONG* value) {
    return ScreenValue("IovScreenObject::get_Width", value, [](const RECT& r) { return r.right - r.left; });
}
HRESULT ElementNode::get_Height(LONG* value) {
    return ScreenValue("IovScreenObject::get_Height", value, [](const RECT& r) { return r.bottom - r.top; });
}

HRESULT ElementNode::GetTechnology(BSTR* technology) {
    OVHOST_COUNTED(Count("IovNativeObjectInfo::GetTechnology"));
    return OutText(technology, L"WPFObject");
}

HRESULT ElementNode::GetWindowHandle(HWND* window) {
    OVHOST_COUNTED(Count("IovNativeWindow::GetWindowHandle"));
    return Out(window, WindowHandle());
}

HRESULT ElementNode::GetCount(LONG* count) {
    OVHOST_COUNTED(Count("IovExtensionList::GetCount"));
    return Barrier([&] { return Out(count, static_cast<LONG>(Extensions().size())); });
}

HRESULT ElementNode::GetExtensionObject(LONG index, IUnknown** extensionObject) {
    OVHOST_COUNTED(Count("IovExtensionList::GetExtensionObject"));
    if (!extensionObject) return E_POINTER;
    *extensionObject = nullptr;
    return Barrier([&] {
        const auto& list = Extensions();
        if (index < 0 || static_cast<size_t>(index) >= list.size())
            return Raise(
                errors::BadArgument(L"The extension index " + std::to_wstring(index) + L" is out of range."),
                __uuidof(IovExtensionList));
        return list[static_cast<size_t>(index)].CopyTo(extensionObject);
    });
}

HRESULT ElementNode::QueryInterfaceExtra(REFIID riid, void** ppv) {
    if (!IsEqualIID(riid, __uuidof(IovInternalObjects)) || !dynamic_cast<wpfsim::TreeView*>(element_.Get()))
        return E_NOINTERFACE;
    auto* internal = static_cast<IovInternalObjects*>(this);
    internal->AddRef();
    *ppv = internal;
    return S_OK;
}

HRESULT ElementNode::GetHelper(IDispatch** helper) {
    OVHOST_COUNTED(Count("IovInternalObjects::GetHelper"));
    if (!helper) return E_POINTER;
    *helper = nullptr;
    return Barrier([&] {
        auto made = ov::Create<InternalObjectHelper>(SharedCore());
        *helper = static_cast<IovInternalObjectHelper*>(made.Detach());
        return S_OK;
    });
}

void ElementNode::Sync(bool deep) {
    if (Dropped()) return;
    // The host asks the application for the element's children (with the dispatcher's rules for a call).
    if (wpfsim::Application* app = element_->App()) app->Settle();
    std::vector<ov::ComPtr<HostNode>> next;
    std::vector<HostNode*> made;
    for (wpfsim::Element* child : element_->Children()) {
        // What is not on screen has no object (see HostCore::IsOnScreen).
        if (child->GetVisibility() != wpfsim::Visibility::Visible || HostCore::IsInternalPart(*child) ||
            HostCore::OutsideItsWindow(*child))
            continue;
        auto it =
            std::find_if(children_.begin(), children_.end(), [&](auto& c) { return c->Element() == child; });
        if (it != children_.end()) {
            next.push_back(*it);
            continue;
        }
        auto node = MakeElementNode(SharedCore(), *child, this);
        made.push_back(node.Get());
        next.push_back(std::move(node));
    }
    ReplaceChildren(std::move(next));
    for (auto& child : children_)
        if (deep || std::find(made.begin(), made.end(), child.Get()) != made.end()) child->Sync(true);
}

void ElementNode::Drop() noexcept {
    ov::ComPtr<HostNode> keep(this);
    HostNode::Drop();
    extensions_.clear();
}

std::wstring ElementNode::FullName() const {
    const HostNode* parent = Parent();
    return (parent ? parent->FullName() : std::wstring()) + StepName(L"WPFObject", *element_);
}

bool ElementNode::Valid() const noexcept {
    return !Dropped() && Core().IsOnScreen(*element_);
}

HWND ElementNode::WindowHandle() const noexcept {
    for (const HostNode* node = this; node; node = node->Parent())
        if (auto* top = dynamic_cast<const TopLevelNode*>(node)) return top->WindowHandle();
    return nullptr;
}

const std::vector<ov::ComPtr<IUnknown>>& ElementNode::Extensions() {
    bool stale = !extensionsBuilt_ || extensionsGeneration_ != Core().ModulesGeneration();
    for (size_t i = 0; !stale && i < extensions_.size(); ++i) {
        VARIANT_BOOL valid = VARIANT_TRUE;
        if (auto object = extensions_[i].As<IovObject>();
            object && SUCCEEDED(object->IsValid(&valid)) && !valid)
            stale = true;
    }
    if (!stale) return extensions_;
    extensions_.clear();
    extensionsBuilt_ = true;
    extensionsGeneration_ = Core().ModulesGeneration();
    if (Dropped()) return extensions_;
    // The extenders answer in registration order; an extender may call back into this object.
    auto modules = Core().Modules();
    for (const auto& module : modules) {
        auto extender = module.object.As<IovModuleExtendedObjects>();
        if (!extender) continue;
        ov::ComPtr<IDispatch> extension;
        VARIANT_BOOL handled = VARIANT_FALSE;
        // The module's own work, also when a host call asks it.
        const ov::StandInScope moduleWork(ov::StandIn::Caller);
        if (SUCCEEDED(extender->GetExtendedObject(Identity(), extension.Put(), &handled)) && handled &&
            extension)
            extensions_.emplace_back(extension.Get());
    }
    return extensions_;
}

ov::ComPtr<IUnknown> ElementNode::Extender(const GUID& iid) {
    if (IsEqualGUID(iid, __uuidof(IovObject))) return ov::ComPtr<IUnknown>(static_cast<IovObject*>(this));
    if (IsEqualGUID(iid, __uuidof(IovScreenObject)))
        return ov::ComPtr<IUnknown>(static_cast<IovScreenObject*>(this));
    return nullptr;
}

ov::ComPtr<IUnknown> ElementNode::Extension(const GUID& iid) {
    auto has = [&](MouseExtensions which) {
        return (static_cast<int>(mouseExtensions_) & static_cast<int>(which)) != 0;
    };
    if ((IsEqualGUID(iid, ov::HostIds::OnScreenActions) && has(MouseExtensions::OnScreen)) ||
        (IsEqualGUID(iid, ov::HostIds::WindowActions) && has(MouseExtensions::Window))) {
        auto actions = ov::Create<ElementActions>(SharedCore(), ov::ComPtr<ElementNode>(this));
        return ov::ComPtr<IUnknown>(static_cast<IovMouseActions*>(actions.Get()));
    }
    return nullptr;
}

} // namespace ovhost
