#include "Services.h"

#include "HostObjects.h"
#include "MouseActions.h"

namespace ovhost {
namespace {

std::wstring TextOf(BSTR b) {
    return b ? std::wstring(b, SysStringLen(b)) : std::wstring();
}

HRESULT OutText(BSTR* out, std::wstring_view text) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

bool IsSyntaxIid(const GUID& id) {
    return IsEqualGUID(id, __uuidof(IovSyntaxMember)) || IsEqualGUID(id, __uuidof(IovSyntaxArguments)) ||
           IsEqualGUID(id, __uuidof(IovSyntaxArgument));
}

// Whether `node` is `ancestor` or lies below it.
bool IsWithin(HostNode* node, IUnknown* ancestor) {
    auto identity = ov::QueryAs<IUnknown>(ancestor);
    for (HostNode* n = node; n; n = n->Parent())
        if (n->Identity() == identity.Get()) return true;
    return false;
}

// A class-name list: a VARIANT array with bounds (count, 0) and (1, 0).
bool IsClassNameList(const VARIANT& v) {
    if (v.vt != (VT_ARRAY | VT_VARIANT) || !v.parray || SafeArrayGetDim(v.parray) != 2) return false;
    LONG lower1 = 0, upper1 = 0, lower2 = 0, upper2 = 0;
    return SUCCEEDED(SafeArrayGetLBound(v.parray, 1, &lower1)) &&
           SUCCEEDED(SafeArrayGetUBound(v.parray, 1, &upper1)) &&
           SUCCEEDED(SafeArrayGetLBound(v.parray, 2, &lower2)) &&
           SUCCEEDED(SafeArrayGetUBound(v.parray, 2, &upper2)) && lower1 == 0 && lower2 == 0 && upper2 == 0 &&
           upper1 >= -1;
}

} // namespace

// --- module manager -------------------------------------------------------------------------------------

HRESULT ModuleManager::FindModule(const GUID* key, IUnknown** moduleObject) {
    OVHOST_COUNTED(Count("IovModuleManager::FindModule"));
    if (!key || !moduleObject) return E_POINTER;
    *moduleObject = Core().FindModule(*key).Detach();
    return S_OK;
}

HRESULT ModuleManager::RegisterModule(IUnknown* moduleObject) {
    OVHOST_COUNTED(Count("IovModuleManager::RegisterModule"));
    return Barrier([&] { return Core().RegisterModule(moduleObject); });
}

HRESULT ModuleManager::UnregisterModule(const GUID* key) {
    OVHOST_COUNTED(Count("IovModuleManager::UnregisterModule"));
    if (!key) return E_POINTER;
    return Barrier([&] { return Core().UnregisterModule(*key); });
}

HRESULT ModuleManager::AdviseManagerEvents(IovModuleManagerEvents* sink) {
    OVHOST_COUNTED(Count("IovModuleManager::AdviseManagerEvents"));
    return Barrier([&] { return Core().Advise(sink); });
}

HRESULT ModuleManager::UnadviseManagerEvents(IovModuleManagerEvents* sink) {
    OVHOST_COUNTED(Count("IovModuleManager::UnadviseManagerEvents"));
    return Barrier([&] { return Core().Unadvise(sink); });
}

// --- hook object ----------------------------------------------------------------------------------------

HRESULT HookObject::GetModuleManager(IUnknown** manager) {
    OVHOST_COUNTED(Count("IovOpenAppHook::GetModuleManager"));
    if (!manager) return E_POINTER;
    *manager = nullptr;
    return Barrier([&] {
        *manager = static_cast<IovModuleManager*>(Manager().Detach());
        return S_OK;
    });
}

ov::ComPtr<ModuleManager> HookObject::Manager() {
    if (!manager_) manager_ = ov::Create<ModuleManager>(SharedCore());
    return manager_;
}

HRESULT HookObject::PlayMouseMessage(const MSG* message) {
    OVHOST_COUNTED(Count("IovObjectService::PlayMouseMessage"));
    if (!message) return E_POINTER;
    ClearErrorInfo();
    if (message->message != WM_MOUSEMOVE)
        return Raise(errors::BadArgument(L"Only mouse-move records can be played."),
                     __uuidof(IovObjectService));
    return Barrier([&] {
        ActionRecord record;
        record.kind = ActionKind::MouseMove;
        record.screen = message->pt;
        record.x = message->pt.x;
        record.y = message->pt.y;
        // The mouse moves there: the element under the point is hovered (IsMouseOver, menus opening).
        if (wpfsim::Application* app = Core().App(); app && app->IsResponding())
            if (wpfsim::Element* under = app->MoveMouse(message->pt)) {
                record.target = under->Id();
                record.targetName = under->Name();
            }
        return Core().Record(std::move(record));
    });
}

HRESULT HookObject::CreateObject(const GUID* id, IUnknown* context, IUnknown** result) {
    OVHOST_COUNTED(Count("IovObjectService::CreateObject"));
    if (!id || !result) return E_POINTER;
    *result = nullptr;
    ClearErrorInfo();
    return Barrier([&]() -> HRESULT {
        if (IsSyntaxIid(*id)) {
            if (context)
                return Raise(errors::BadArgument(L"Syntax objects are made without a context."),
                             __uuidof(IovObjectService));
            if (IsEqualGUID(*id, __uuidof(IovSyntaxMember)))
                *result = static_cast<IovSyntaxMember*>(ov::Create<SyntaxMember>(SharedCore()).Detach());
            else if (IsEqualGUID(*id, __uuidof(IovSyntaxArguments)))
                *result =
                    static_cast<IovSyntaxArguments*>(ov::Create<SyntaxArguments>(SharedCore()).Detach());
            else
                *result = static_cast<IovSyntaxArgument*>(ov::Create<SyntaxArgument>(SharedCore()).Detach());
            return S_OK;
        }
        if (context) {
            auto part = ov::QueryAs<IovWin32CtrlStdActionsWindow>(context);
            if (!part)
                return Raise(errors::BadArgument(L"The context of an on-screen part must answer "
                                                 L"IovWin32CtrlStdActionsWindow."),
                             __uuidof(IovObjectService));
            auto node = Core().Find(*id);
            auto* owner = dynamic_cast<ElementNode*>(node.Get());
            if (!owner) return Raise(errors::NoElement(*id), __uuidof(IovObjectService));
            auto actions = ov::Create<PartActions>(SharedCore(), ov::ComPtr<ElementNode>(owner), part);
            *result = static_cast<IovMouseActions*>(actions.Detach());
            return S_OK;
        }
        // The host keeps one object per element: an element it already knows gives that object.
        auto node = Core().Find(*id);
        if (!node)
            if (wpfsim::Application* app = Core().App())
                if (wpfsim::Element* element = app->FindById(*id)) node = Core().NodeFor(*element);
        if (!node) return Raise(errors::NoElement(*id), __uuidof(IovObjectService));
        *result = node->Identity();
        (*result)->AddRef();
        return S_OK;
    });
}

HRESULT HookObject::FindHostObject(IUnknown* parent, const GUID* elementId, IUnknown** hostObject) {
    OVHOST_COUNTED(Count("IovObjectService::FindHostObject"));
    if (!elementId || !hostObject) return E_POINTER;
    *hostObject = nullptr;
    auto node = Core().Find(*elementId);
    if (!node || (parent && !IsWithin(node.Get(), parent))) return S_OK;
    *hostObject = node->Identity();
    (*hostObject)->AddRef();
    return S_OK;
}

HRESULT HookObject::GetWindowAtPoint(LONG x, LONG y, HWND* window) {
    OVHOST_COUNTED(Count("IovObjectService::GetWindowAtPoint"));
    if (!window) return E_POINTER;
    *window = nullptr;
    return Barrier([&] {
        wpfsim::Application* app = Core().App();
        wpfsim::Element* under = app ? app->ElementAt({x, y}) : nullptr;
        if (!under) return S_OK;
        while (under->Parent())
            under = under->Parent();
        if (auto* node = dynamic_cast<ElementNode*>(Core().NodeFor(*under).Get()))
            *window = node->WindowHandle();
        return S_OK;
    });
}

HRESULT HookObject::AddEntry(LONG kind, BSTR text, BSTR details) {
    OVHOST_COUNTED(Count("IovHostLog::AddEntry"));
    ClearErrorInfo();
    if (kind < LogMessage || kind > LogError)
        return Raise(errors::BadArgument(L"The log entry kind " + std::to_wstring(kind) + L" is unknown."),
                     __uuidof(IovHostLog));
    return Barrier([&] {
        Core().AddLog({kind, TextOf(text), TextOf(details)});
        return S_OK;
    });
}

// --- options --------------------------------------------------------------------------------------------

HRESULT OptionStore::GetExtension(const GUID* iid, IUnknown** extension, VARIANT_BOOL* found) {
    OVHOST_COUNTED(Count("IovOptionStore::GetExtension"));
    if (!iid || !extension || !found) return E_POINTER;
    *extension = nullptr;
    *found = VARIANT_FALSE;
    if (!IsEqualGUID(*iid, __uuidof(IovOptionNotification))) return S_OK;
    return Barrier([&] {
        *extension =
            static_cast<IovOptionNotification*>(ov::Create<OptionNotification>(SharedCore()).Detach());
        *found = VARIANT_TRUE;
        return S_OK;
    });
}

HRESULT OptionNotification::NotifyOptionUpdated(BSTR key, VARIANT classNames) {
    OVHOST_COUNTED(Count("IovOptionNotification::NotifyOptionUpdated"));
    ClearErrorInfo();
    const VARIANT* list = &classNames;
    if (classNames.vt == (VT_BYREF | VT_VARIANT) && classNames.pvarVal) list = classNames.pvarVal;
    if (!IsClassNameList(*list))
        return Raise(errors::BadArgument(
                         L"A class-name list is a VARIANT array with the bounds (count, 0) and (1, 0)."),
                     __uuidof(IovOptionNotification));
    return Barrier([&] {
        Core().NotifyOptionUpdated(TextOf(key), *list);
        return S_OK;
    });
}

// --- syntax ---------------------------------------------------------------------------------------------
// The getters and GetText are the host's own reading of what the module built: they are not counted.

std::wstring SyntaxText(IUnknown* item) {
    auto syntax = ov::QueryAs<IovSyntaxItem>(item);
    ov::Bstr text;
    if (syntax) syntax->GetText(text.Put());
    return std::wstring(text.View());
}

HRESULT SyntaxNode::GetText(BSTR* text) {
    return OutText(text, text_);
}

HRESULT SyntaxMember::GetText(BSTR* text) {
    return Barrier([&] {
        std::wstring result = owner_ ? SyntaxText(owner_.Get()) + L"." : std::wstring();
        result += name_.View();
        if (arguments_) {
            LONG count = 0;
            arguments_->get_Count(&count);
            std::wstring list;
            for (LONG i = 0; i < count; ++i) {
                ov::ComPtr<IovSyntaxArgument> argument;
                arguments_->get_Item(i, argument.Put());
                list += (i ? L", " : L"") + SyntaxText(argument.Get());
            }
            result += L"(" + list + L")";
        }
        return OutText(text, result);
    });
}

HRESULT SyntaxMember::get_Name(BSTR* name) {
    return name_.CopyTo(name);
}

HRESULT SyntaxMember::put_Name(BSTR name) {
    OVHOST_COUNTED(Count("IovSyntaxMember::put_Name"));
    return Barrier([&] {
        name_ = ov::Bstr::CopyOf(name);
        return S_OK;
    });
}

HRESULT SyntaxMember::get_Arguments(IovSyntaxArguments** arguments) {
    return arguments_.CopyTo(arguments);
}

HRESULT SyntaxMember::put_Arguments(IovSyntaxArguments* arguments) {
    OVHOST_COUNTED(Count("IovSyntaxMember::put_Arguments"));
    arguments_ = arguments;
    return S_OK;
}

HRESULT SyntaxMember::get_Owner(IovSyntaxNode** owner) {
    return owner_.CopyTo(owner);
}

HRESULT SyntaxMember::put_Owner(IovSyntaxNode* owner) {
    OVHOST_COUNTED(Count("IovSyntaxMember::put_Owner"));
    owner_ = owner;
    return S_OK;
}

HRESULT SyntaxMember::get_MemberFlag(VARIANT_BOOL* flag) {
    if (!flag) return E_POINTER;
    *flag = flag_;
    return S_OK;
}

HRESULT SyntaxMember::put_MemberFlag(VARIANT_BOOL flag) {
    OVHOST_COUNTED(Count("IovSyntaxMember::put_MemberFlag"));
    flag_ = flag;
    return S_OK;
}

HRESULT SyntaxArguments::get_Count(LONG* count) {
    if (!count) return E_POINTER;
    *count = static_cast<LONG>(items_.size());
    return S_OK;
}

HRESULT SyntaxArguments::Add(IovSyntaxArgument* argument) {
    OVHOST_COUNTED(Count("IovSyntaxArguments::Add"));
    if (!argument) return E_POINTER;
    return Barrier([&] {
        items_.emplace_back(argument);
        return S_OK;
    });
}

HRESULT SyntaxArguments::get_Item(LONG index, IovSyntaxArgument** argument) {
    if (!argument) return E_POINTER;
    *argument = nullptr;
    if (index < 0 || static_cast<size_t>(index) >= items_.size()) return E_INVALIDARG;
    return items_[static_cast<size_t>(index)].CopyTo(argument);
}

HRESULT SyntaxArgument::GetText(BSTR* text) {
    return Barrier([&] {
        const VARIANT* v = &value_;
        std::wstring result;
        switch (v->vt) {
        case VT_EMPTY:
        case VT_NULL:
            break;
        case VT_BSTR: {
            result = L"\"";
            for (wchar_t c : std::wstring_view(v->bstrVal ? v->bstrVal : L"", SysStringLen(v->bstrVal)))
                result += c == L'"' ? std::wstring(L"\"\"") : std::wstring(1, c);
            result += L"\"";
            break;
        }
        case VT_BOOL:
            result = v->boolVal ? L"true" : L"false";
            break;
        default: {
            ov::Variant converted;
            if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(v), 0, VT_BSTR)))
                result.assign(converted.bstrVal, SysStringLen(converted.bstrVal));
            else
                result = L"[object]";
        }
        }
        return OutText(text, result);
    });
}

HRESULT SyntaxArgument::get_Value(VARIANT* value) {
    if (!value) return E_POINTER;
    VariantInit(value);
    return VariantCopy(value, &value_);
}

HRESULT SyntaxArgument::put_Value(VARIANT value) {
    OVHOST_COUNTED(Count("IovSyntaxArgument::put_Value"));
    ov::Variant copy;
    HRESULT hr = VariantCopyInd(&copy, &value);
    if (SUCCEEDED(hr)) value_ = std::move(copy);
    return hr;
}

// --- unload listener ------------------------------------------------------------------------------------

HRESULT UnloadListener::OnModuleUnload(BSTR moduleFileName, IbxModuleIntf*) {
    OVHOST_COUNTED(Count("IbxModuleUnloadListener::OnModuleUnload"));
    return Barrier([&] {
        names_.push_back(TextOf(moduleFileName));
        return S_OK;
    });
}

} // namespace ovhost
