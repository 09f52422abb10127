#include "ControlBase.h"

#include "../menus/WPFMenuHelper.h"
#include "com/HostIdentifiers.h"

#include <string>

namespace {

const wchar_t* const kDisabled = L"The control is disabled. The action cannot be executed.";
const wchar_t* const kPopupRootClass = L"System.Windows.Controls.Primitives.PopupRoot";

// The settings the host acts with while the module drives it; the caller's values come back afterwards.
constexpr LONG kActionMode = 2;
constexpr LONG kActionFlags = 0;

bool IsZero(const GUID& id) noexcept {
    return IsEqualGUID(id, GUID{});
}

// Sets the action options of an acting host object for one action and restores them afterwards. A
// setting the host cannot read is left as it is: restoring a value never read would change it for good.
class ActionOptionsScope {
public:
    explicit ActionOptionsScope(IUnknown* actor) : options_(ov::QueryAs<IovActionOptions>(actor)) {
        if (!options_) return;
        modeRead_ = SUCCEEDED(options_->get_ActionMode(&mode_));
        flagsRead_ = SUCCEEDED(options_->get_ActionFlags(&flags_));
        if (modeRead_) options_->put_ActionMode(kActionMode);
        if (flagsRead_) options_->put_ActionFlags(kActionFlags);
    }
    ~ActionOptionsScope() {
        if (!options_) return;
        if (modeRead_) options_->put_ActionMode(mode_);
        if (flagsRead_) options_->put_ActionFlags(flags_);
    }
    ActionOptionsScope(const ActionOptionsScope&) = delete;
    ActionOptionsScope& operator=(const ActionOptionsScope&) = delete;

private:
    ov::ComPtr<IovActionOptions> options_;
    LONG mode_ = 0;
    LONG flags_ = 0;
    bool modeRead_ = false, flagsRead_ = false;
};

// Runs one host action under the action options; its failure becomes the host's error information
// raised as the module's error. Stale error information is cleared first so that it cannot be taken
// for this action's.
template <class Action> void Act(IUnknown* actor, Action&& action) {
    SetErrorInfo(0, nullptr);
    HRESULT hr;
    {
        ActionOptionsScope options(actor);
        hr = action();
    }
    if (FAILED(hr)) ov::RaiseHostError();
}

using ov::HasHostType;
using ov::HostParentOf;
using ov::HostWindowOf;
using ov::NearestOfHostType;

template <class I> ov::ComPtr<I> ExtensionOf(IovHostObject* object, const GUID& id) {
    ov::ComPtr<IUnknown> extension;
    if (FAILED(object->GetExtension(&id, extension.Put()))) return nullptr;
    return extension.As<I>();
}

ov::ComPtr<IovMouseActions> MouseActionsOf(IovHostObject* target) {
    if (auto actions = ExtensionOf<IovMouseActions>(target, ov::HostIds::OnScreenActions)) return actions;
    return ExtensionOf<IovMouseActions>(target, ov::HostIds::WindowActions);
}

// The children in the host's order until `visit` returns an object, which is the result. Each child is
// asked for only when its turn comes: a search that ends early leaves the later siblings alone.
template <class Visit> ov::ComPtr<IovHostObject> FirstOfChildren(IovHostObject* parent, Visit&& visit) {
    LONG count = 0;
    if (FAILED(parent->GetChildCount(&count))) return nullptr;
    for (LONG i = 0; i < count; ++i) {
        ov::ComPtr<IovHostObject> child;
        if (FAILED(parent->GetChild(i, child.Put())) || !child) continue;
        if (ov::ComPtr<IovHostObject> found = visit(child)) return found;
    }
    return nullptr;
}

// A window whose class cannot be read (one of another technology, or one that has just closed) is no
// popup of the application's; it must not end the search through the windows after it.
bool IsPopupRoot(IovHostObject* window) {
    try {
        CovDispDriver native = ov::GetNativeObjectDriver(window);
        DISPID id = DISPID_UNKNOWN;
        if (native.Empty() || !native.HasMember(L"ClrFullClassName", &id)) return false;
        return native.GetPropertyString(id).View() == kPopupRootClass;
    } catch (const CovInvokeException&) {
        return false;
    }
}

} // namespace

namespace ov {

ComPtr<IovHostObject> HostParentOf(IovHostObject* object) {
    ComPtr<IovHostObject> parent;
    if (FAILED(object->GetParent(parent.Put()))) parent.Reset();
    return parent;
}

bool HasHostType(IovHostObject* object, const GUID& type) {
    GUID actual{};
    return SUCCEEDED(object->GetObjectType(&actual)) && IsEqualGUID(actual, type);
}

ComPtr<IovHostObject> NearestOfHostType(IovHostObject* start, const GUID& type) {
    for (ComPtr<IovHostObject> object(start); object; object = HostParentOf(object.Get()))
        if (HasHostType(object.Get(), type)) return object;
    return nullptr;
}

ComPtr<IovHostWindow> HostWindowOf(IovHostObject* object) {
    if (auto window = QueryAs<IovHostWindow>(object)) return window;
    ComPtr<IUnknown> extension;
    if (FAILED(object->GetExtension(&__uuidof(IovHostWindow), extension.Put()))) return nullptr;
    return extension.As<IovHostWindow>();
}

} // namespace ov

// --- IovWPFControl, IovCtrlsMenuInternal --------------------------------------------------------------

HRESULT CovWPFCtrl::get_PopupMenu(IDispatch** value) {
    return Member([&] {
        ov::RequireOut(value);
        *value = nullptr;
        EnterCall();
        const ov::Variant contextMenu = ov::GetRaw(GetClrObject(), L"ContextMenu");
        if (IsVariantEmpty(contextMenu)) return;
        CovDispDriver menu;
        menu.AttachVariant(contextMenu);
        *value = ov::Create<CovWPFHelperMenu>(this, nullptr, L"PopupMenu", menu).As<IDispatch>().Detach();
    });
}

HRESULT CovWPFCtrl::ActivateMenuOwner() {
    return S_OK;
}

HRESULT CovWPFCtrl::ActivateTopLevelWindow() {
    HRESULT activated = S_OK;
    HRESULT hr = ov::HostCall([&] {
        EnterCall();
        ov::ComPtr<IovHostObject> top = NearestOfHostType(GetHostObject().Get(), ov::HostIds::TopLevelWindow);
        ov::ComPtr<IovHostWindow> window = top ? HostWindowOf(top.Get()) : nullptr;
        if (!window) ov::RaiseInvocationError();
        activated = window->Activate();
    });
    return FAILED(hr) ? hr : activated;
}

// --- services -----------------------------------------------------------------------------------------

void CovWPFCtrl::EnterCall() {
    if (reentry_) return;
    reentry_ = 1;
    if (IsZero(ElementId())) {
        cachedHostObject_.Reset();
        cachedHostWindow_.Reset();
    }
    reentry_ = 0;
}

CovDispDriver CovWPFCtrl::GetClrObject() {
    if (!BoundObject().Empty()) return BoundObject();
    ov::ComPtr<IovHostObject> host = GetHostObject();
    return ov::GetNativeObjectDriver(host.Get());
}

ov::ComPtr<IovHostObject> CovWPFCtrl::TryGetHostObject() {
    // A wrapper made for a .NET object has no identifier the host could know it by.
    if (!cachedHostObject_ && !IsZero(ElementId())) cachedHostObject_ = FindHostObject().As<IovHostObject>();
    return cachedHostObject_;
}

ov::ComPtr<IovHostObject> CovWPFCtrl::GetHostObject() {
    ov::ComPtr<IovHostObject> host = TryGetHostObject();
    if (!host) ov::RaiseInvocationError();
    return host;
}

void CovWPFCtrl::CheckEnabled() {
    EnterCall();
    if (!ov::GetBool(GetClrObject(), L"IsEnabled"))
        throw CovInvokeException(kDisabled, L"", CovInvokeException::Error);
}

void CovWPFCtrl::FocusElement() {
    if (!cachedHostWindow_) {
        // Objects inside a window answer IovNativeWindow; the first one above them that does not is the
        // top-level window.
        ov::ComPtr<IovHostObject> object = GetHostObject();
        while (ov::QueryAs<IovNativeWindow>(object.Get())) {
            ov::ComPtr<IovHostObject> parent = HostParentOf(object.Get());
            if (!parent) break;
            object = std::move(parent);
        }
        cachedHostWindow_ = object;
    }
    if (ov::ComPtr<IovHostWindow> window = HostWindowOf(cachedHostWindow_.Get()))
        ActivateHostWindow(window.Get());
    ov::CallIfPresent(GetClrObject(), L"Focus");
}

void CovWPFCtrl::ActivateHostWindow(IovHostWindow* window) {
    if (!window) ov::RaiseInvocationError();
    Act(window, [&] { return window->Activate(); });
}

void CovWPFCtrl::ClickAt(IovHostObject* target, LONG x, LONG y, LONG shift, LONG dbl, LONG button) {
    if (button < 0 || button > 2) throw ov::ComError(E_INVALIDARG);
    if (!target) ov::RaiseInvocationError();
    ov::ComPtr<IovMouseActions> actions = MouseActionsOf(target);
    if (!actions) ov::RaiseInvocationError();
    IovMouseActions* a = actions.Get();
    Act(a, [&] {
        switch (button) {
        case 0:
            return dbl ? a->DblClick(x, y, shift) : a->Click(x, y, shift);
        case 1:
            return dbl ? a->DblClickR(x, y, shift) : a->ClickR(x, y, shift);
        default:
            return dbl ? a->DblClickM(x, y, shift) : a->ClickM(x, y, shift);
        }
    });
}

ov::Bstr CovWPFCtrl::GetShiftKeysText(LONG shift) {
    ULONG flags = static_cast<ULONG>(shift);
    if ((flags & 0xFFFF0000u) == 0xFFFF0000u) {
        // A complemented key mask: bit 0 Shift, bit 1 Alt, bit 2 Control.
        ULONG keys = ~flags;
        flags = ((keys & 1) ? skwShift : 0) | ((keys & 2) ? skwAlt : 0) | ((keys & 4) ? skwCtrl : 0);
    }
    std::wstring words;
    const struct {
        ULONG flag;
        const wchar_t* word;
    } keys[] = {{skwShift, L"Shift"}, {skwAlt, L"Alt"}, {skwCtrl, L"Control"}};
    for (const auto& key : keys) {
        if (!(flags & key.flag)) continue;
        if (!words.empty()) words += L" + ";
        words += key.word;
    }
    return ov::Bstr(words.empty() ? std::wstring(L"no") : L"the " + words);
}

bool CovWPFCtrl::IsVariantEmpty(const VARIANT& value) {
    // A reference to a VARIANT is judged by its target; a reference to nothing holds no value either.
    constexpr int kMaxHops = 8;
    const VARIANT* v = &value;
    for (int hops = 0; v->vt == (VT_VARIANT | VT_BYREF); ++hops) {
        if (!v->pvarVal || hops == kMaxHops) return true;
        v = v->pvarVal;
    }
    switch (v->vt) {
    case VT_EMPTY:
    case VT_NULL:
        return true;
    case VT_DISPATCH:
        return !v->pdispVal;
    case VT_DISPATCH | VT_BYREF:
        return !v->ppdispVal || !*v->ppdispVal;
    default:
        return false;
    }
}

ov::ComPtr<IovHostObject> CovWPFCtrl::FindChildHostObject(IovHostObject* parent,
                                                          const CovDispDriver& object) {
    if (!parent) return nullptr;
    const ov::Variant target = ov::Variant::Dispatch(object.Get());
    return FirstOfChildren(parent, [&](ov::ComPtr<IovHostObject>& child) {
        CovDispDriver native = ov::GetNativeObjectDriver(child.Get());
        if (ov::IsTrue(ov::Call(object, L"ReferenceEquals", ov::Variant::Dispatch(native.Get()), target)))
            return child;
        return FindChildHostObject(child.Get(), object);
    });
}

ov::ComPtr<IovHostObject> CovWPFCtrl::FindInPopupRoots(const CovDispDriver& object) {
    ov::ComPtr<IovHostObject> host = TryGetHostObject();
    if (!host) return nullptr;
    for (const GUID* containerType : {&ov::HostIds::ProcessContainer, &ov::HostIds::TopLevelWindow}) {
        ov::ComPtr<IovHostObject> container = NearestOfHostType(host.Get(), *containerType);
        if (!container) continue;
        ov::ComPtr<IovHostObject> found =
            FirstOfChildren(container.Get(), [&](ov::ComPtr<IovHostObject>& child) {
                return FirstOfChildren(
                    child.Get(), [&](ov::ComPtr<IovHostObject>& window) -> ov::ComPtr<IovHostObject> {
                        if (!HasHostType(window.Get(), ov::HostIds::Window) || !IsPopupRoot(window.Get()))
                            return nullptr;
                        // A popup's content changes while it is open: the host brings the window's children
                        // up to date first.
                        window->RefreshChildren();
                        return FindChildHostObject(window.Get(), object);
                    });
            });
        if (found) return found;
    }
    return nullptr;
}

void CovWPFCtrl::PostActionMessage(const wchar_t* message, const wchar_t* remark) {
    ov::ReportMessage(*this, message, remark);
}
