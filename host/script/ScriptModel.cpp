#include "ScriptModel.h"

#include "VbsDeclarations.h"

#include "../services/Host.h"
#include "../log/LogFormat.h"
#include "../services/MouseActions.h"
#include "../recording/ScriptRecorder.h"

#include "ovWPFControlsLib.h"
#include "wpfsim/TreeView.h"

#include <atomic>
#include <functional>
#include <set>

namespace ovhost {

namespace {

// A wrong use of the object model, as the script sees it: DISP_E_EXCEPTION with this description.
struct ScriptFailure {
    std::wstring description;
};

// A script error of `text` and the description of the thread's error information, when there is one.
[[noreturn]] void FailWithErrorInfo(std::wstring text) {
    ov::ComPtr<IErrorInfo> info;
    ov::Bstr description;
    if (GetErrorInfo(0, info.Put()) == S_OK && info && SUCCEEDED(info->GetDescription(description.Put())) &&
        !description.View().empty())
        text += L" " + std::wstring(description.View());
    throw ScriptFailure{text};
}

constexpr const wchar_t* kSource = L"OVHookX64";

std::wstring Hex(HRESULT hr) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

using Args = std::vector<ov::Variant>;

// An argument as the script passed it, without the references the engines add.
ov::Variant Deref(const VARIANT& arg) {
    const VARIANT* p = &arg;
    while (p->vt == (VT_BYREF | VT_VARIANT) && p->pvarVal)
        p = p->pvarVal;
    ov::Variant value;
    ov::ThrowIfFailed(VariantCopyInd(&value, const_cast<VARIANT*>(p)));
    return value;
}

std::wstring TextArg(const VARIANT& arg, const std::wstring& what) {
    ov::Variant text;
    if (arg.vt == VT_DISPATCH || arg.vt == VT_UNKNOWN)
        throw ScriptFailure{what +
                            L" must be a string, not an object (a .NET string's text is its .OleValue)."};
    if (arg.vt == VT_EMPTY || arg.vt == VT_NULL ||
        FAILED(VariantChangeType(&text, const_cast<VARIANT*>(&arg), 0, VT_BSTR)))
        throw ScriptFailure{what + L" must be a string."};
    return ov::Bstr::CopyOf(text.bstrVal).c_str();
}

LONG IntArg(const VARIANT& arg, const std::wstring& what) {
    ov::Variant number;
    if (arg.vt == VT_EMPTY || arg.vt == VT_NULL ||
        FAILED(VariantChangeType(&number, const_cast<VARIANT*>(&arg), 0, VT_I4)))
        throw ScriptFailure{what + L" must be a number."};
    return number.lVal;
}

// --- the IDispatch of the model's objects ---------------------------------------------------------------

// A failure of a call as the engines take it: DISP_E_EXCEPTION with the description.
HRESULT Fail(const std::wstring& description, EXCEPINFO* excep) {
    if (!excep) return E_FAIL;
    *excep = EXCEPINFO{};
    excep->bstrSource = SysAllocString(kSource);
    excep->bstrDescription = SysAllocString(description.c_str());
    excep->scode = E_FAIL;
    return DISP_E_EXCEPTION;
}

constexpr const wchar_t* kTimeUp = L"The script was stopped at its time limit.";

// A member: a property (get, put) or a method (call; also reached as a property get, as VBScript does).
struct Member {
    std::wstring name;
    int minArgs = 0;
    int maxArgs = 0;
    std::function<ov::Variant(const Args&)> get;
    std::function<void(const VARIANT&)> put;
    std::wstring usage; // the words for a call with the wrong arguments
    bool property = false;
};

// The objects of the model answer IDispatch from a table of members. Names are found without case;
// DISPIDs are positions from 1, the default member answers DISPID_VALUE as well. Invoke is the one
// exception barrier of every member: a ScriptFailure becomes DISP_E_EXCEPTION with its description.
class ScriptObject : public HostObjectBase, public IDispatch {
public:
    using Interfaces = ov::Interfaces<IDispatch>;

    explicit ScriptObject(std::wstring name = {}) : name_(std::move(name)) {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids) return E_POINTER;
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            if (i == 0)
                for (size_t m = 0; m < members_.size(); ++m)
                    if (names[0] && _wcsicmp(names[0], members_[m].name.c_str()) == 0)
                        ids[0] = static_cast<DISPID>(m + 1);
            if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT* argErr) override {
        if (id == DISPID_VALUE) id = defaultMember_;
        if (id < 1 || static_cast<size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
        const Member& member = members_[static_cast<size_t>(id - 1)];
        DISPPARAMS none{};
        if (!params) params = &none;
        const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        if (put && !member.put)
            return Fail(FullName(member) +
                            (member.property ? L" is read-only." : L" is a method and takes no value."),
                        excep);
        if (!put && !member.get) return DISP_E_MEMBERNOTFOUND;
        if (params->cNamedArgs > (put ? 1u : 0u) ||
            (put && params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
            return Fail(FullName(member) + L" takes no named arguments.", excep);
        const int count = static_cast<int>(params->cArgs);
        if (put ? count != 1 : (count < member.minArgs || count > member.maxArgs))
            return Fail(put ? FullName(member) + L" takes one value." : member.usage, excep);
        if (argErr) *argErr = 0;
        if (result) VariantInit(result);
        try {
            if (put) {
                member.put(Deref(params->rgvarg[0]));
                return S_OK;
            }
            Args args;
            for (int i = count - 1; i >= 0; --i)
                args.push_back(Deref(params->rgvarg[i]));
            ov::Variant value = member.get(args);
            if (result) *result = value.Detach();
            return S_OK;
        } catch (const ScriptFailure& failure) {
            return Fail(failure.description, excep);
        } catch (...) {
            return ov::HResultOfCurrentException();
        }
    }

protected:
    void Add(Member member) { members_.push_back(std::move(member)); }
    void Property(std::wstring name, std::function<ov::Variant()> get,
                  std::function<void(const VARIANT&)> put = {}) {
        Member member{std::move(name), 0, 0, [get = std::move(get)](const Args&) { return get(); },
                      std::move(put),  {}};
        member.usage = FullName(member) + L" is a property and takes no arguments.";
        member.property = true;
        Add(std::move(member));
    }
    // `arguments` says what the method takes, in words: "one argument: the element's name".
    void Method(std::wstring name, int minArgs, int maxArgs, const std::wstring& arguments,
                std::function<ov::Variant(const Args&)> call) {
        Member member{std::move(name), minArgs, maxArgs, std::move(call), {}, {}};
        member.usage = FullName(member) + L" expects " + arguments + L".";
        Add(std::move(member));
    }
    std::wstring FullName(const Member& member) const {
        return name_.empty() ? member.name : name_ + L"." + member.name;
    }
    void MakeDefault() { defaultMember_ = static_cast<DISPID>(members_.size()); }

private:
    std::wstring name_;
    std::vector<Member> members_;
    DISPID defaultMember_ = DISPID_UNKNOWN;
};

ov::Variant DispatchValue(ov::ComPtr<IDispatch> object) {
    ov::Variant value;
    value.vt = VT_DISPATCH;
    value.pdispVal = object.Detach();
    return value;
}

// An automation object of the module as the script holds it: every call goes through to the module's
// object. It lives as long as the script keeps it, and the registry knows it only while it lives (it
// holds no reference), so a loop of App.Find stays flat and the end of the run still sees what a script
// kept: what is in the registry then is referenced by someone else.
// What the script holds of the module: cut off from it when the run ends.
class Revocable {
public:
    virtual void Disconnect() noexcept = 0;

protected:
    ~Revocable() = default;
};

struct HandedOutRegistry {
    std::set<Revocable*> live;
    // The elements whose objects' members are running, the innermost last: the log names the last.
    std::vector<LogContext> acting;
    // Host.ErrorReportMode and Host.MessageReportMode: what the host sets on every automation object it
    // hands a script.
    LONG errorReportMode = 1;
    LONG messageReportMode = 1;
    // Set from the watchdog's thread at the time limit: every call of the script fails from then on, so a
    // script that calls the host ends there even where the engine cannot be interrupted.
    std::atomic<bool> timeUp{false};
};

ov::ComPtr<IDispatch> HandOut(ov::ComPtr<IDispatch> object,
                              const std::shared_ptr<HandedOutRegistry>& registry, LogContext element);

class HandedOut : public HostObjectBase, public IDispatch, public ISupportErrorInfo, public Revocable {
public:
    using Interfaces = ov::Interfaces<IDispatch, ISupportErrorInfo>;

    // `element`: the element the object is for (its name and kind), which the log names for what its
    // members write.
    HandedOut(ov::ComPtr<IDispatch> inner, std::shared_ptr<HandedOutRegistry> registry,
              LogContext element = {})
        : inner_(std::move(inner)), registry_(std::move(registry)), element_(std::move(element)) {
        registry_->live.insert(this);
    }
    ~HandedOut() { registry_->live.erase(this); }
    // The run is over: later calls fail, and the module's object goes.
    void Disconnect() noexcept override { inner_ = nullptr; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!inner_) return Gone(count);
        return inner_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
        if (!inner_) return Gone(info);
        return inner_->GetTypeInfo(index, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override {
        if (!inner_) return RPC_E_DISCONNECTED;
        return inner_->GetIDsOfNames(iid, names, count, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) override {
        if (!inner_) return RPC_E_DISCONNECTED;
        if (registry_->timeUp) return Fail(kTimeUp, excep);
        // The module's object may go during the call (a script's last reference dropped inside it).
        ov::ComPtr<IDispatch> inner = inner_;
        const std::shared_ptr<HandedOutRegistry> registry = registry_;
        registry->acting.push_back(element_);
        const HRESULT hr = inner->Invoke(id, iid, lcid, flags, params, result, excep, argErr);
        registry->acting.pop_back();
        // An object a member hands out (a scroll helper, a menu, a tree node) reaches the script as the
        // element's object does: with the host's report modes, through a forwarder of its own that names
        // the same element in the log.
        if (FAILED(hr) || !result || result->vt != VT_DISPATCH || !result->pdispVal) return hr;
        ov::ComPtr<IDispatch> object = ov::ComPtr<IDispatch>::Adopt(result->pdispVal);
        VariantInit(result);
        try {
            object = HandOut(std::move(object), registry, element_);
        } catch (...) {
            return ov::HResultOfCurrentException();
        }
        result->vt = VT_DISPATCH;
        result->pdispVal = object.Detach();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        auto support = inner_ ? inner_.As<ISupportErrorInfo>() : nullptr;
        return support ? support->InterfaceSupportsErrorInfo(iid) : S_FALSE;
    }

private:
    template <class T> static HRESULT Gone(T* out) {
        if (out) *out = {};
        return RPC_E_DISCONNECTED;
    }

    ov::ComPtr<IDispatch> inner_;
    std::shared_ptr<HandedOutRegistry> registry_;
    LogContext element_;
};

// Calls fn(enumeration, name, value) for every constant of the enumerations of a type library.
void ForEachConstant(ITypeLib& library,
                     const std::function<void(std::wstring_view, std::wstring, const VARIANT&)>& fn) {
    for (UINT i = 0, n = library.GetTypeInfoCount(); i < n; ++i) {
        TYPEKIND kind{};
        ov::ComPtr<ITypeInfo> info;
        ov::Bstr enumeration;
        if (FAILED(library.GetTypeInfoType(i, &kind)) || kind != TKIND_ENUM ||
            FAILED(library.GetTypeInfo(i, info.Put())) ||
            FAILED(
                library.GetDocumentation(static_cast<INT>(i), enumeration.Put(), nullptr, nullptr, nullptr)))
            continue;
        TYPEATTR* attributes = nullptr;
        if (FAILED(info->GetTypeAttr(&attributes))) continue;
        auto releaseAttributes = [&](TYPEATTR* a) { info->ReleaseTypeAttr(a); };
        std::unique_ptr<TYPEATTR, decltype(releaseAttributes)> attributesHeld(attributes, releaseAttributes);
        for (WORD v = 0; v < attributes->cVars; ++v) {
            VARDESC* var = nullptr;
            if (FAILED(info->GetVarDesc(v, &var))) continue;
            auto releaseVar = [&](VARDESC* d) { info->ReleaseVarDesc(d); };
            std::unique_ptr<VARDESC, decltype(releaseVar)> varHeld(var, releaseVar);
            ov::Bstr name;
            UINT got = 0;
            if (var->varkind == VAR_CONST && var->lpvarValue &&
                SUCCEEDED(info->GetNames(var->memid, name.Put(), 1, &got)) && got == 1)
                fn(enumeration.View(), std::wstring(name.View()), *var->lpvarValue);
        }
    }
}

// The host's report modes on an automation object of the module.
void SetReportModes(IDispatch* object, const HandedOutRegistry& registry) {
    if (auto base = ov::QueryAs<IovCtrlBase>(object)) {
        base->put_ErrorReportMode(registry.errorReportMode);
        base->put_MessageReportMode(registry.messageReportMode);
    }
}

ov::ComPtr<IDispatch> HandOut(ov::ComPtr<IDispatch> object,
                              const std::shared_ptr<HandedOutRegistry>& registry, LogContext element) {
    SetReportModes(object.Get(), *registry);
    return ov::ComPtr<IDispatch>(
        ov::Create<HandedOut>(std::move(object), registry, std::move(element)).Get());
}

} // namespace

// --- the state the objects share ------------------------------------------------------------------------

struct ModelState {
    Host* host = nullptr; // null once the run is over
    wpfsim::Application* app = nullptr;
    ScriptLineSource lines;
    std::map<LONG, std::wstring> kindNames; // of WPFControlType
    std::shared_ptr<HandedOutRegistry> handedOut = std::make_shared<HandedOutRegistry>();
    std::unique_ptr<ScriptRecorder> recorder;

    Host& TheHost() const {
        if (!host) throw ScriptFailure{L"The run is over: the host's objects no longer answer."};
        if (handedOut->timeUp) throw ScriptFailure{kTimeUp};
        return *host;
    }

    wpfsim::Element& ElementNamed(const VARIANT& arg, const std::wstring& member) const {
        TheHost();
        std::wstring name = TextArg(arg, member + L": the element name");
        wpfsim::Element* element = app->Find(name);
        // As UI automation finds it: by AutomationProperties.AutomationId where no element has that name.
        if (!element) element = app->FindByAutomationId(name);
        if (!element)
            throw ScriptFailure{member + L": the application has no element named '" + name + L"'."};
        return *element;
    }

    // The hook object that the module's extender gave the element's host object.
    ov::ComPtr<IUnknown> HookOf(wpfsim::Element& element, const std::wstring& member) const {
        if (auto node = TheHost().NodeOf(element)) {
            for (const auto& extension : node->Extensions())
                if (extension.As<IovWPFControlRecognizerExtender>()) return extension;
        } else if (std::wstring why = TheHost().Core().WhyNotOnScreen(element); !why.empty()) {
            // No host object: the element is not shown, and the reason says why.
            throw ScriptFailure{member + L": " + why};
        }
        throw ScriptFailure{member + L": the module did not take '" + element.Name() +
                            L"' for a WPF element."};
    }

    // The name of the element's kind (a WPFControlType), as the module's hook object reports it.
    std::wstring KindName(wpfsim::Element& element, const std::wstring& member) const {
        auto hook = HookOf(element, member).As<IovWPFControlRecognizerExtender>();
        WPFControlType kind = ctrlWPFUnknown;
        if (!hook || FAILED(hook->get_WPFControlType(&kind))) return {};
        auto name = kindNames.find(kind);
        return name == kindNames.end() ? std::to_wstring(kind) : name->second;
    }

    ov::ComPtr<IovCtrlMappingInfoHolder> Holder() const {
        for (const auto& module : TheHost().Modules())
            if (auto holder = module.object.As<IovCtrlMappingInfoHolder>()) return holder;
        throw ScriptFailure{L"The module gives no access to its control kinds (no registered module object "
                            L"answers IovCtrlMappingInfoHolder)."};
    }

    // The kind info of a kind value, with its key.
    ov::ComPtr<IovWindowMappingInfo> InfoOfKind(LONG kind, const std::wstring& member) const {
        auto provider = Holder().As<IovWindowMappingProvider>();
        LONG count = 0;
        if (provider) ov::ThrowIfFailed(provider->GetInfoCount(&count));
        for (LONG i = 0; i < count; ++i) {
            ov::ComPtr<IovWindowMappingInfo> info;
            LONG value = -1;
            if (SUCCEEDED(provider->GetInfo(i, info.Put())) && info)
                if (auto mapping = info.As<IovWPFControlMappingInfo>();
                    mapping && SUCCEEDED(mapping->GetControlType(&value)) && value == kind)
                    return info;
        }
        throw ScriptFailure{member + L": the module has no control kind " + std::to_wstring(kind) + L"."};
    }

    ov::ComPtr<IDispatch> Find(const VARIANT& arg) {
        wpfsim::Element& element = ElementNamed(arg, L"App.Find");
        ov::ComPtr<IDispatch> control = MakeControl(element, L"App.Find");
        if (!control) return nullptr;
        LogContext acting{element.Name(), KindName(element, L"App.Find")};
        return HandOut(std::move(control), handedOut, std::move(acting));
    }

    // The module's automation object of an element, as the host makes it, with the host's report modes;
    // null for kinds without one.
    ov::ComPtr<IDispatch> MakeControl(wpfsim::Element& element, const std::wstring& member) {
        GUID kindKey{};
        auto hook = HookOf(element, member).As<IovOpenAppControlHookExtender>();
        if (!hook || FAILED(hook->get_ControlType(&kindKey)))
            throw ScriptFailure{member + L": the module's hook object of '" + element.Name() +
                                L"' does not tell its kind."};
        ov::ComPtr<IovWindowMappingInfo> info;
        VARIANT_BOOL found = VARIANT_FALSE;
        ov::ThrowIfFailed(Holder()->GetInfoByKey(&kindKey, info.Put(), &found));
        auto mapping = info.As<IovWPFControlMappingInfo>();
        if (!found || !mapping) return nullptr;
        ov::ComPtr<IDispatch> control;
        GUID id = element.Id();
        if (HRESULT hr = mapping->CreateControlWithKey(&id, control.Put()); FAILED(hr))
            throw ScriptFailure{member + L": the module could not make the object of '" + element.Name() +
                                L"' (" + Hex(hr) + L")."};
        if (!control) return nullptr;
        SetReportModes(control.Get(), *handedOut);
        return control;
    }

    std::wstring JoinedClassNames(const VARIANT& kindArg, bool defaults, const std::wstring& member) const {
        auto info = InfoOfKind(IntArg(kindArg, member + L": the kind"), member);
        LONG count = 0;
        ov::ThrowIfFailed(defaults ? info->GetDefaultClassNameCount(&count)
                                   : info->GetClassNameCount(&count));
        std::wstring joined;
        for (LONG i = 0; i < count; ++i) {
            ov::Bstr name;
            ov::ThrowIfFailed(defaults ? info->GetDefaultClassName(i, name.Put())
                                       : info->GetClassNameW(i, name.Put()));
            joined += (i ? L"|" : L"") + std::wstring(name.View());
        }
        return joined;
    }

    void SetClassNames(const VARIANT& kindArg, const VARIANT& namesArg) {
        const std::wstring member = L"Host.SetClassNames";
        const LONG kind = IntArg(kindArg, member + L": the kind");
        GUID key{};
        ov::ThrowIfFailed(InfoOfKind(kind, member)->GetKey(&key));
        // The options address a kind by its key; kinds that share the all-zero key cannot be told apart.
        ov::ComPtr<IovWindowMappingInfo> first;
        VARIANT_BOOL found = VARIANT_FALSE;
        LONG firstKind = -1;
        ov::ThrowIfFailed(Holder()->GetInfoByKey(&key, first.Put(), &found));
        if (auto mapping = first.As<IovWPFControlMappingInfo>()) mapping->GetControlType(&firstKind);
        if (firstKind != kind)
            throw ScriptFailure{member + L": kind " + std::to_wstring(kind) +
                                L" has no key of its own, so the options cannot address it."};
        ov::Variant list = ClassNameList(Patterns(namesArg, member));
        bool taken = false;
        for (const auto& module : TheHost().Modules())
            if (auto options = module.object.As<IovModuleOptions>()) {
                VARIANT_BOOL changed = VARIANT_FALSE;
                if (SUCCEEDED(options->OnOptionChanged(&key, &list, &changed)) && changed) taken = true;
            }
        if (!taken) throw ScriptFailure{member + L": no module object took the new class names."};
    }

    // The patterns of a script array (JScript: an object with "length"; VBScript: a SAFEARRAY) or of one
    // string with the patterns separated by "|".
    static std::vector<std::wstring> Patterns(const VARIANT& names, const std::wstring& member) {
        const std::wstring what = member + L": the class names";
        std::vector<std::wstring> patterns;
        if (names.vt == VT_BSTR) {
            const std::wstring all(names.bstrVal ? names.bstrVal : L"", SysStringLen(names.bstrVal));
            for (size_t start = 0; start <= all.size() && !all.empty();) {
                size_t end = std::min(all.find(L'|', start), all.size());
                patterns.push_back(all.substr(start, end - start));
                start = end + 1;
            }
            return patterns;
        }
        if ((names.vt & VT_ARRAY) && names.parray) {
            SAFEARRAY* array = names.parray;
            LONG lower = 0, upper = -1;
            if (SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
                FAILED(SafeArrayGetUBound(array, 1, &upper)))
                throw ScriptFailure{what + L" must be a one-dimensional array."};
            for (LONG i = lower; i <= upper; ++i) {
                ov::Variant element;
                if ((names.vt & VT_TYPEMASK) == VT_VARIANT) {
                    ov::ThrowIfFailed(SafeArrayGetElement(array, &i, static_cast<VARIANT*>(&element)));
                } else if ((names.vt & VT_TYPEMASK) == VT_BSTR) {
                    BSTR text = nullptr;
                    ov::ThrowIfFailed(SafeArrayGetElement(array, &i, &text));
                    element.vt = VT_BSTR;
                    element.bstrVal = text;
                } else {
                    throw ScriptFailure{what + L" must be strings."};
                }
                patterns.push_back(TextArg(Deref(element), what));
            }
            return patterns;
        }
        if (names.vt == VT_DISPATCH && names.pdispVal) {
            LONG length = IntArg(Get(names.pdispVal, L"length", what), what + L" (length)");
            for (LONG i = 0; i < length; ++i)
                patterns.push_back(TextArg(Get(names.pdispVal, std::to_wstring(i), what), what));
            return patterns;
        }
        throw ScriptFailure{what + L" must be an array of strings."};
    }

    // A property of a script object by name (the elements and length of a JScript array).
    static ov::Variant Get(IDispatch* object, const std::wstring& name, const std::wstring& what) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
        DISPID id = DISPID_UNKNOWN;
        DISPPARAMS none{};
        ov::Variant value;
        if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) ||
            FAILED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value,
                                  nullptr, nullptr)))
            throw ScriptFailure{what + L" must be an array of strings."};
        return value;
    }

    // The host's form of a class-name list: a VARIANT array of (count, 1) elements, pattern i at (i, 0).
    static ov::Variant ClassNameList(const std::vector<std::wstring>& patterns) {
        SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(patterns.size()), 0}, {1, 0}};
        ov::SafeArray array(SafeArrayCreate(VT_VARIANT, 2, bounds));
        if (!array.Get()) throw ov::ComError(E_OUTOFMEMORY);
        for (size_t i = 0; i < patterns.size(); ++i) {
            LONG index[2] = {static_cast<LONG>(i), 0};
            ov::Variant pattern = ov::Variant::String(patterns[i]);
            ov::ThrowIfFailed(SafeArrayPutElement(array.Get(), index, &pattern));
        }
        ov::Variant list;
        list.vt = VT_ARRAY | VT_VARIANT;
        list.parray = array.Detach();
        return list;
    }
};

namespace {

// --- the objects ----------------------------------------------------------------------------------------

class LogEntryObject : public ScriptObject {
public:
    explicit LogEntryObject(LogEntry entry) : ScriptObject(L"Log.Item(i)"), entry_(std::move(entry)) {
        Property(L"Kind", [this] { return ov::Variant::String(LogKindName(entry_.kind)); });
        Property(L"Text", [this] { return ov::Variant::String(entry_.text); });
        Property(L"Details", [this] { return ov::Variant::String(entry_.details); });
        Property(L"Element", [this] { return ov::Variant::String(entry_.context.element); });
        Property(L"ElementKind", [this] { return ov::Variant::String(entry_.context.elementKind); });
        Property(L"Line", [this] { return ov::Variant::Int(static_cast<LONG>(entry_.context.line)); });
        Property(L"Time", [this] { return ov::Variant::Double(entry_.seconds); });
    }

private:
    LogEntry entry_;
};

class LogObject : public ScriptObject {
public:
    explicit LogObject(std::shared_ptr<ModelState> state) : ScriptObject(L"Log"), state_(std::move(state)) {
        Property(L"Count", [this] { return ov::Variant::Int(static_cast<LONG>(Entries().size())); });
        Method(L"Item", 1, 1, L"one argument: the index of the entry, from 0", [this](const Args& a) {
            const auto& entries = Entries();
            LONG index = IntArg(a[0], L"Log.Item: the index");
            if (index < 0 || static_cast<size_t>(index) >= entries.size())
                throw ScriptFailure{L"Log.Item: the index " + std::to_wstring(index) +
                                    L" is outside the log (" + std::to_wstring(entries.size()) +
                                    L" entries)."};
            auto entry = ov::Create<LogEntryObject>(entries[static_cast<size_t>(index)]);
            return DispatchValue(ov::ComPtr<IDispatch>(entry.Get()));
        });
        MakeDefault();
        const std::wstring textAndDetails = L"one or two arguments: the text and, if wanted, the details";
        for (const auto& written : {std::pair{L"Message", LogScript}, std::pair{L"Error", LogError}}) {
            const std::wstring member = std::wstring(L"Log.") + written.first;
            const LONG kind = written.second;
            Method(written.first, 1, 2, textAndDetails, [this, member, kind](const Args& a) {
                Write(kind, member, a, 0);
                return ov::Variant();
            });
        }
        Method(L"Check", 2, 3,
               L"two or three arguments: the condition (true or false), the text that says what must hold "
               L"and, if wanted, the details",
               [this](const Args& a) {
                   const bool held = Condition(a[0]);
                   Write(held ? LogCheck : LogError, L"Log.Check", a, 1, held ? L"" : kCheckFailed, true);
                   return ov::Variant::Bool(held);
               });
        Method(L"Clear", 0, 0, L"no arguments", [this](const Args&) {
            state_->TheHost().ClearLog();
            return ov::Variant();
        });
    }

private:
    const std::vector<LogEntry>& Entries() const { return state_->TheHost().Log(); }

    // An entry of the script's own from the text and the details at a[first], a[first + 1].
    void Write(LONG kind, const std::wstring& member, const Args& a, size_t first,
               const wchar_t* prefix = L"", bool check = false) {
        LogEntry entry{kind, prefix + TextArg(a[first], member + L": the text"),
                       a.size() > first + 1 ? TextArg(a[first + 1], member + L": the details")
                                            : std::wstring()};
        entry.check = check;
        state_->TheHost().Core().AddLog(std::move(entry));
    }

    // A check's condition is true or false: anything else (a misspelt name's undefined, an object, a number)
    // is a wrong use, so that a typo cannot pass a check.
    static bool Condition(const VARIANT& condition) {
        const std::wstring what = L"Log.Check: the condition is ";
        const std::wstring want = L"; give true or false (a comparison).";
        switch (condition.vt) {
        case VT_BOOL:
            return condition.boolVal != VARIANT_FALSE;
        case VT_EMPTY:
            throw ScriptFailure{what + L"undefined (a misspelt name, or a property that does not exist?)" +
                                want};
        case VT_NULL:
            throw ScriptFailure{what + L"null" + want};
        case VT_DISPATCH:
        case VT_UNKNOWN:
            throw ScriptFailure{what + L"an object (a .NET value is read with .OleValue)" + want};
        case VT_BSTR:
            throw ScriptFailure{what + L"a string" + want};
        default:
            throw ScriptFailure{what + L"a number or another value that is not true or false" + want};
        }
    }

    std::shared_ptr<ModelState> state_;
};

// The host's table view of a control (IovCtrlTableDataSource), read as the host reads it. A failed
// operation is a script error naming its HRESULT (and the error information, when the module left one).
class TableObject : public ScriptObject, public Revocable {
public:
    TableObject(std::shared_ptr<ModelState> state, ov::ComPtr<IovCtrlTableDataSource> table)
        : ScriptObject(L"Table"), state_(std::move(state)), table_(std::move(table)) {
        state_->handedOut->live.insert(this);
        Property(L"RowCount", [this] {
            LONG rows = 0;
            Check(L"RowCount", Source().GetRowCount(&rows));
            return ov::Variant::Int(rows);
        });
        Property(L"ColumnCount", [this] {
            LONG columns = 0;
            Check(L"ColumnCount", Source().GetColumnCount(&columns));
            return ov::Variant::Int(columns);
        });
        Method(L"Caption", 1, 1, L"one argument: the column, from 0", [this](const Args& a) {
            const LONG column = IntArg(a[0], L"Table.Caption: the column");
            ov::Bstr caption;
            Check(L"Caption", Source().GetColumnCaption(column, caption.Put()));
            return ov::Variant::String(caption.View());
        });
        Method(L"Cell", 2, 2, L"two arguments: the row and the column, from 0", [this](const Args& a) {
            const LONG row = IntArg(a[0], L"Table.Cell: the row");
            const LONG column = IntArg(a[1], L"Table.Cell: the column");
            ov::Variant cell;
            Check(L"Cell", Source().GetCellValue(row, column, cell.Put()));
            return cell;
        });
    }
    ~TableObject() { state_->handedOut->live.erase(this); }
    void Disconnect() noexcept override { table_ = nullptr; }

private:
    IovCtrlTableDataSource& Source() {
        state_->TheHost();
        if (!table_) throw ScriptFailure{L"The run is over: the host's objects no longer answer."};
        // Only what this call leaves counts as its error information.
        SetErrorInfo(0, nullptr);
        return *table_;
    }
    static void Check(const wchar_t* operation, HRESULT hr) {
        if (SUCCEEDED(hr)) return;
        FailWithErrorInfo(std::wstring(L"Table.") + operation + L": the module answered " + Hex(hr) + L".");
    }

    std::shared_ptr<ModelState> state_;
    ov::ComPtr<IovCtrlTableDataSource> table_;
};

class AppObject : public ScriptObject {
public:
    explicit AppObject(std::shared_ptr<ModelState> state) : ScriptObject(L"App"), state_(std::move(state)) {
        const std::wstring name = L"one argument: the element's name";
        Method(L"Find", 1, 1, name, [this](const Args& a) { return DispatchValue(state_->Find(a[0])); });
        Method(L"Kind", 1, 1, name, [this](const Args& a) {
            wpfsim::Element& element = state_->ElementNamed(a[0], L"App.Kind");
            auto hook = state_->HookOf(element, L"App.Kind").As<IovWPFControlRecognizerExtender>();
            WPFControlType kind = ctrlWPFUnknown;
            ov::ThrowIfFailed(hook->get_WPFControlType(&kind));
            return ov::Variant::Int(kind);
        });
        Method(L"ClassName", 1, 1, name, [this](const Args& a) {
            wpfsim::Element& element = state_->ElementNamed(a[0], L"App.ClassName");
            auto hook = state_->HookOf(element, L"App.ClassName").As<IovOpenAppControlHookExtender>();
            ov::Bstr name;
            if (hook) ov::ThrowIfFailed(hook->get_NativeClassName(name.Put()));
            return ov::Variant::String(name.View());
        });
        Method(L"Element", 1, 1, name, [this](const Args& a) {
            return DispatchValue(state_->ElementNamed(a[0], L"App.Element").NewDispatch());
        });
        Method(L"Table", 1, 1, name, [this](const Args& a) {
            wpfsim::Element& element = state_->ElementNamed(a[0], L"App.Table");
            auto table = state_->MakeControl(element, L"App.Table").As<IovCtrlTableDataSource>();
            if (!table)
                throw ScriptFailure{L"App.Table: the object of '" + element.Name() +
                                    L"' shows the host no table (IovCtrlTableDataSource)."};
            return DispatchValue(
                ov::ComPtr<IDispatch>(ov::Create<TableObject>(state_, std::move(table)).Get()));
        });
    }

private:
    std::shared_ptr<ModelState> state_;
};

// A person at the mouse: clicks through the host's mouse simulation at a point of an element, where the
// innermost element under the point takes them, as on screen. Nothing is logged, and the host's object
// tree is not refreshed: the click goes through the object of the element, or of the nearest element above
// it that the host has one for (tree nodes have none), at the same screen point.
class UserObject : public ScriptObject {
public:
    explicit UserObject(std::shared_ptr<ModelState> state) : ScriptObject(L"User"), state_(std::move(state)) {
        const std::wstring at =
            L"one or three arguments: the element's name and, if wanted, the point (x, y) from its top-left "
            L"corner";
        const std::wstring item = L"two or three arguments: the items control's name, the index of the item, "
                                  L"from 0, and, if wanted, the keys held (skwCtrl, skwShift, skwAlt)";
        const ovhost::ClickKind kinds[] = {{wpfsim::MouseButton::Left, false, "Click"},
                                           {wpfsim::MouseButton::Right, false, "RightClick"},
                                           {wpfsim::MouseButton::Left, true, "DoubleClick"}};
        for (const ovhost::ClickKind& kind : kinds) {
            const std::wstring name(kind.operation, kind.operation + strlen(kind.operation));
            Method(name, 1, 3, at, [this, kind, name](const Args& a) {
                ClickElement(a, kind, L"User." + name);
                return ov::Variant();
            });
        }
        for (const ovhost::ClickKind& kind : kinds) {
            const std::wstring name =
                std::wstring(kind.operation, kind.operation + strlen(kind.operation)) + L"Item";
            Method(name, 2, 3, item, [this, kind, name](const Args& a) {
                ClickItem(a, kind, L"User." + name);
                return ov::Variant();
            });
        }
        Method(L"Type", 2, 2, L"two arguments: the name of an edit or password box and the text",
               [this](const Args& a) {
                   Type(a);
                   return ov::Variant();
               });
    }

private:
    void ClickElement(const Args& a, const ovhost::ClickKind& kind, const std::wstring& member) {
        if (a.size() == 2)
            throw ScriptFailure{member + L" expects the point as two numbers, x and y, or no point at all."};
        wpfsim::Element& element = state_->ElementNamed(a[0], member);
        // A person acts on what the screen shows: the application had time since the last action.
        state_->app->DoEvents();
        if (!element.IsVisible())
            throw ScriptFailure{member + L": '" + element.Name() + L"' is not on screen."};
        const RECT& r = element.Bounds();
        POINT point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        if (a.size() == 3)
            point = {r.left + IntArg(a[1], member + L": x"), r.top + IntArg(a[2], member + L": y")};
        Press(element, point, kind, 0, member, L"'" + element.Name() + L"'");
    }

    // Typing replaces the text as a user's select-all and typing would: only what the length limit
    // ("MaxLength", 0 for none) lets in, nothing on a disabled box.
    void Type(const Args& a) {
        const std::wstring member = L"User.Type";
        wpfsim::Element& element = state_->ElementNamed(a[0], member);
        state_->app->DoEvents();
        const std::wstring text = TextArg(a[1], member + L": the text");
        const wchar_t* property = element.HasMember(L"Password") ? L"Password" : L"Text";
        if (!element.HasMember(property) || !element.HasMember(L"MaxLength"))
            throw ScriptFailure{member + L": '" + element.Name() + L"' is no edit or password box."};
        if (!element.IsVisible())
            throw ScriptFailure{member + L": '" + element.Name() + L"' is not on screen."};
        auto perform = [&] {
            ov::ComPtr<IDispatch> object = element.NewDispatch();
            auto id = [&](const wchar_t* name) {
                DISPID dispid = DISPID_UNKNOWN;
                LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
                ov::ThrowIfFailed(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid));
                return dispid;
            };
            DISPPARAMS none{};
            ov::Variant enabled, limit;
            ov::ThrowIfFailed(object->Invoke(id(L"IsEnabled"), IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                             &enabled, nullptr, nullptr));
            ov::ThrowIfFailed(object->Invoke(id(L"MaxLength"), IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                             &limit, nullptr, nullptr));
            if (enabled.vt == VT_BOOL && !enabled.boolVal) return;
            ov::Variant value = ov::Variant::String(
                limit.vt == VT_I4 && limit.lVal > 0 ? text.substr(0, static_cast<size_t>(limit.lVal)) : text);
            DISPID put = DISPID_PROPERTYPUT;
            DISPPARAMS params{&value, &put, 1, 1};
            ov::ThrowIfFailed(object->Invoke(id(property), IID_NULL, 0, DISPATCH_PROPERTYPUT, &params,
                                             nullptr, nullptr, nullptr));
        };
        if (state_->recorder->On())
            state_->recorder->Record({UserAction::Kind::Type, &element}, perform);
        else
            perform();
    }

    void ClickItem(const Args& a, const ovhost::ClickKind& kind, const std::wstring& member) {
        wpfsim::Element& element = state_->ElementNamed(a[0], member);
        // What the user sees is the layout after the last action (a popup that just opened is placed): a
        // person is slower than the application.
        state_->app->DoEvents();
        auto* owner = dynamic_cast<wpfsim::ItemsControl*>(&element);
        if (!owner) throw ScriptFailure{member + L": '" + element.Name() + L"' is not an items control."};
        const LONG index = IntArg(a[1], member + L": the index");
        const LONG shift = a.size() == 3 ? IntArg(a[2], member + L": the keys") : 0;
        if (index < 0 || static_cast<size_t>(index) >= owner->Count())
            throw ScriptFailure{member + L": '" + element.Name() + L"' has no item " +
                                std::to_wstring(index) + L" (" + std::to_wstring(owner->Count()) +
                                L" items)."};
        const std::wstring what = L"item " + std::to_wstring(index) + L" of '" + element.Name() + L"'";
        // A user sees only containers that exist and are not scrolled away, hidden or covered.
        wpfsim::Element* container = owner->ContainerAt(static_cast<size_t>(index), false);
        wpfsim::Element* target = container;
        // A tree node is clicked on its header, not in the middle of its children.
        if (dynamic_cast<wpfsim::TreeViewItem*>(container))
            if (wpfsim::Element* header = PartOf(*container, *container, L"PART_Header")) target = header;
        if (!container || !target->IsVisible())
            throw ScriptFailure{member + L": the container of " + what + L" is not on screen."};
        const RECT& r = target->Bounds();
        const POINT point{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        wpfsim::Element* hit = state_->app->ElementAt(point);
        if (!hit || !container->IsAncestorOf(*hit))
            throw ScriptFailure{member + L": the container of " + what + L" is not on screen."};
        Press(*container, point, kind, shift, member, what);
    }

    // The part of that name of the control's own template, below `at` in the visual tree (null when none).
    static wpfsim::Element* PartOf(const wpfsim::Element& control, wpfsim::Element& at,
                                   std::wstring_view name) {
        for (wpfsim::Element* child : at.Children()) {
            if (child->Name() == name && child->TemplatedParent() == &control) return child;
            if (wpfsim::Element* found = PartOf(control, *child, name)) return found;
        }
        return nullptr;
    }

    void Press(wpfsim::Element& element, POINT point, const ovhost::ClickKind& kind, LONG shift,
               const std::wstring& member, const std::wstring& what) {
        if (!state_->recorder->On()) return Click(element, point, kind, shift, member, what);
        state_->recorder->Record(
            {UserAction::Kind::Press, &element, point, kind.button, kind.doubleClick, shift},
            [&] { Click(element, point, kind, shift, member, what); });
    }

    void Click(wpfsim::Element& element, POINT point, const ovhost::ClickKind& kind, LONG shift,
               const std::wstring& member, const std::wstring& what) {
        ovhost::HostCore& core = state_->TheHost().Core();
        ov::ComPtr<ovhost::ElementNode> node;
        for (wpfsim::Element* e = &element; e && !node; e = e->Parent())
            if (auto found = core.Find(e->Id()); found && !found->Dropped())
                node = ov::ComPtr<ovhost::ElementNode>(dynamic_cast<ovhost::ElementNode*>(found.Get()));
        if (!node) {
            wpfsim::Element* root = &element;
            while (root->Parent())
                root = root->Parent();
            auto found = core.NodeFor(*root);
            node = ov::ComPtr<ovhost::ElementNode>(dynamic_cast<ovhost::ElementNode*>(found.Get()));
        }
        if (!node) throw ScriptFailure{member + L": the host has no object for " + what + L"."};
        const RECT& origin = node->Element()->Bounds();
        SetErrorInfo(0, nullptr);
        const HRESULT hr =
            ovhost::ClickElement(core, node->Element(), kind, point.x - origin.left, point.y - origin.top,
                                 shift, point, {node->actionMode, node->actionFlags});
        if (SUCCEEDED(hr)) return;
        FailWithErrorInfo(member + L": the host could not click " + what + L" (" + Hex(hr) + L").");
    }

    std::shared_ptr<ModelState> state_;
};

// One recorded event as a script reads it.
class RecordedEventObject : public ScriptObject {
public:
    explicit RecordedEventObject(RecordedFacts facts) : ScriptObject(L"Event"), facts_(std::move(facts)) {
        Property(L"Kind", [this] { return ov::Variant::Int(facts_.kind); });
        Property(L"ClassName", [this] { return ov::Variant::String(facts_.className); });
        Property(L"Enabled", [this] { return facts_.enabled; });
        Property(L"Designator", [this] { return facts_.designator; });
        Property(L"Owner", [this] { return ov::Variant::String(facts_.owner); });
        Property(L"VisualPath", [this] { return facts_.visualPath; });
        Property(L"Statement", [this] { return ov::Variant::String(facts_.statement); });
    }

private:
    RecordedFacts facts_;
};

class RecorderObject : public ScriptObject {
public:
    explicit RecorderObject(std::shared_ptr<ModelState> state)
        : ScriptObject(L"Recorder"), state_(std::move(state)) {
        Method(L"Start", 0, 0, L"no arguments", [this](const Args&) {
            state_->TheHost();
            state_->recorder->Start();
            return ov::Variant();
        });
        Method(L"Stop", 0, 0, L"no arguments", [this](const Args&) {
            state_->TheHost();
            state_->recorder->Stop();
            return ov::Variant();
        });
        Property(L"Count", [this] {
            state_->TheHost();
            return ov::Variant::Int(static_cast<LONG>(state_->recorder->Events().size()));
        });
        Method(L"Event", 1, 1, L"one argument: the index of the event, from 0", [this](const Args& a) {
            state_->TheHost();
            const auto& events = state_->recorder->Events();
            const LONG i = IntArg(a[0], L"Recorder.Event: the index");
            if (i < 0 || static_cast<size_t>(i) >= events.size())
                throw ScriptFailure{L"Recorder.Event: there is no event " + std::to_wstring(i) + L" (" +
                                    std::to_wstring(events.size()) + L" recorded)."};
            return DispatchValue(
                ov::ComPtr<IDispatch>(ov::Create<RecordedEventObject>(events[static_cast<size_t>(i)]).Get()));
        });
        Property(L"Script", [this] {
            state_->TheHost();
            return ov::Variant::String(state_->recorder->Script());
        });
    }

private:
    std::shared_ptr<ModelState> state_;
};

class HostSettingsObject : public ScriptObject {
public:
    HostSettingsObject(std::shared_ptr<ModelState> state, ov::ComPtr<IDispatch> log)
        : ScriptObject(L"Host"), state_(std::move(state)), log_(std::move(log)) {
        Property(
            L"ErrorReportMode", [this] { return ov::Variant::Int(state_->handedOut->errorReportMode); },
            [this](const VARIANT& v) {
                state_->handedOut->errorReportMode = IntArg(v, L"Host.ErrorReportMode");
            });
        Property(
            L"MessageReportMode", [this] { return ov::Variant::Int(state_->handedOut->messageReportMode); },
            [this](const VARIANT& v) {
                state_->handedOut->messageReportMode = IntArg(v, L"Host.MessageReportMode");
            });
        Method(L"SetClassNames", 2, 2,
               L"two arguments: the kind (a WPFControlType) and the class names (an array, or one string "
               L"with \"|\" between the names)",
               [this](const Args& a) {
                   state_->SetClassNames(a[0], a[1]);
                   return ov::Variant();
               });
        const std::wstring kind = L"one argument: the kind (a WPFControlType)";
        Method(L"DefaultClassNames", 1, 1, kind, [this](const Args& a) {
            return ov::Variant::String(state_->JoinedClassNames(a[0], true, L"Host.DefaultClassNames"));
        });
        Method(L"ClassNames", 1, 1, kind, [this](const Args& a) {
            return ov::Variant::String(state_->JoinedClassNames(a[0], false, L"Host.ClassNames"));
        });
        Property(L"Log", [this] { return ov::Variant::Dispatch(log_.Get()); });
    }

private:
    std::shared_ptr<ModelState> state_;
    ov::ComPtr<IDispatch> log_;
};

// Every constant of the enumerations of a type library, by name.
class ConstantsObject : public ScriptObject {
public:
    explicit ConstantsObject(ITypeLib& library) {
        ForEachConstant(library, [this](std::wstring_view, std::wstring name, const VARIANT& value) {
            AddConstant(std::move(name), ov::Variant(value));
        });
    }

private:
    void AddConstant(std::wstring name, ov::Variant value) {
        Property(
            name, [value] { return value; },
            [name](const VARIANT&) {
                throw ScriptFailure{L"'" + name +
                                    L"' is a constant of the module's type library and cannot be changed."};
            });
    }
};

constexpr const wchar_t* kConstantsItem = L"ovWPFControlsLib";

} // namespace

ScriptModel::ScriptModel(Host& host, wpfsim::Application& app) : state_(std::make_shared<ModelState>()) {
    state_->host = &host;
    state_->app = &app;
    state_->recorder = std::make_unique<ScriptRecorder>(host);
    ov::ComPtr<ITypeLib> library;
    ov::ThrowIfFailed(LoadTypeLib(host.ModulePath().c_str(), library.Put()));
    ForEachConstant(*library, [this](std::wstring_view enumeration, std::wstring name, const VARIANT& value) {
        ov::Variant number;
        if (enumeration == L"WPFControlType" &&
            SUCCEEDED(VariantChangeType(&number, const_cast<VARIANT*>(&value), 0, VT_I4)))
            state_->kindNames[number.lVal] = std::move(name);
    });
    // Entries name the element whose member wrote them and the script's line.
    host.Core().logContext = [state = std::weak_ptr<ModelState>(state_)] {
        auto held = state.lock();
        if (!held) return LogContext{};
        LogContext context = held->handedOut->acting.empty() ? LogContext{} : held->handedOut->acting.back();
        context.line = held->lines.Current();
        return context;
    };

    auto log = ov::Create<LogObject>(state_);
    ov::ComPtr<IDispatch> logDispatch(log.Get());
    items_.push_back({L"App", ov::ComPtr<IDispatch>(ov::Create<AppObject>(state_).Get())});
    items_.push_back({L"Log", logDispatch});
    items_.push_back({L"User", ov::ComPtr<IDispatch>(ov::Create<UserObject>(state_).Get())});
    items_.push_back({L"Recorder", ov::ComPtr<IDispatch>(ov::Create<RecorderObject>(state_).Get())});
    items_.push_back(
        {L"Host", ov::ComPtr<IDispatch>(ov::Create<HostSettingsObject>(state_, logDispatch).Get())});
    items_.push_back(
        {kConstantsItem, ov::ComPtr<IDispatch>(ov::Create<ConstantsObject>(*library).Get()), true});
}

ScriptModel::~ScriptModel() {
    End();
}

std::vector<NamedItem> ScriptModel::Items() const {
    return items_;
}

namespace {
bool IsVBScript(std::wstring_view language) {
    return language.size() == 8 && _wcsnicmp(language.data(), L"VBScript", language.size()) == 0;
}
} // namespace

std::wstring_view ScriptModel::Prelude(std::wstring_view language) {
    // VBScript finds its built-in Log function before a named item of that name, but a global variable
    // before the function.
    if (IsVBScript(language)) return L"Dim Log\r\nSet Log = Host.Log\r\n";
    return {};
}

std::wstring ScriptModel::Source(std::wstring_view language, std::wstring script) {
    return IsVBScript(language) ? WithoutTopLevelDeclaration(script, L"Log") : script;
}

void ScriptModel::SetRecordingLanguage(std::wstring language) {
    state_->recorder->SetLanguage(std::move(language));
}

void ScriptModel::StartRecording() {
    state_->recorder->Start();
}

std::wstring ScriptModel::RecordedScript() const {
    return state_->recorder->Script();
}

void ScriptModel::StopCalls() noexcept {
    state_->handedOut->timeUp = true;
}

ScriptLineSource& ScriptModel::Lines() noexcept {
    return state_->lines;
}

size_t ScriptModel::End() {
    if (state_->host) state_->host->Core().logContext = nullptr;
    state_->host = nullptr;
    // Whatever is still registered is held by someone: counted, and cut off from the module's object.
    const std::set<Revocable*> left = state_->handedOut->live;
    for (Revocable* object : left)
        object->Disconnect();
    const size_t referenced = left.size();
    items_.clear();
    return referenced;
}

} // namespace ovhost
