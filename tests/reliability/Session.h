// One run of the main job without a script engine: the application of every kind from its XAML, the host
// with the module loaded from the bin folder, and the object model a script would get. The members are
// called as the engines call them, through IDispatch.
#pragma once

#include "host/services/Host.h"
#include "ovHostIntf.h"
#include "host/cli/Run.h"
#include "host/script/ScriptModel.h"
#include "wpfsim/Application.h"
#include "wpfsim/Element.h"

#include "TestSupport.h"

#include <memory>
#include <set>
#include <string_view>
#include <stdexcept>
#include <string>
#include <vector>

namespace reltest {

inline std::wstring KindsApp() {
    return std::wstring(OV_SOURCE_DIR) + L"\\tests\\scripts\\controls.xaml";
}

inline DISPID IdOf(IDispatch* object, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    return SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) ? id
                                                                                          : DISPID_UNKNOWN;
}

// A late-bound call with the arguments in call order; the HRESULT, the result in `result` when given.
inline HRESULT Invoke(IDispatch* object, DISPID id, WORD flags, std::vector<ov::Variant> args = {},
                      ov::Variant* result = nullptr) {
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &put;
        params.cNamedArgs = 1;
    }
    ov::Variant ignored;
    EXCEPINFO excep{};
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                      result ? result : &ignored, &excep, nullptr);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
    return hr;
}

inline HRESULT Invoke(IDispatch* object, const wchar_t* name, WORD flags, std::vector<ov::Variant> args = {},
                      ov::Variant* result = nullptr) {
    return Invoke(object, IdOf(object, name), flags, std::move(args), result);
}

// A plain, valid value of a parameter's type, for the arguments not under test.
inline VARIANT Plain(VARTYPE vt) {
    VARIANT v;
    VariantInit(&v);
    switch (vt & VT_TYPEMASK) {
    case VT_BSTR:
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(L"Apple");
        break;
    case VT_BOOL:
        v.vt = VT_BOOL;
        v.boolVal = VARIANT_FALSE;
        break;
    default:
        v.vt = VT_I4;
        v.lVal = 0;
    }
    return v;
}

struct MemberInfo {
    std::wstring name;
    INVOKEKIND kind;
    std::vector<VARTYPE> params;
    std::vector<std::wstring> paramNames;
};

// The members of one dispatch interface, IDispatch's own left out; a name and kind that `seen` holds
// already is left out too.
inline void AddMembers(ITypeInfo* info, std::set<std::pair<std::wstring, int>>& seen,
                       std::vector<MemberInfo>& members) {
    static const std::set<std::wstring> skipped = {
        L"QueryInterface", L"AddRef",        L"Release", L"GetTypeInfoCount",
        L"GetTypeInfo",    L"GetIDsOfNames", L"Invoke"};
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetTypeAttr(&attr))) return;
    if (attr->typekind == TKIND_DISPATCH || (attr->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE)))
        for (UINT i = 0; i < attr->cFuncs; ++i) {
            FUNCDESC* func = nullptr;
            if (FAILED(info->GetFuncDesc(i, &func))) continue;
            BSTR names[16] = {};
            UINT count = 0;
            info->GetNames(func->memid, names, 16, &count);
            MemberInfo m{names[0] ? names[0] : L"", func->invkind, {}, {}};
            for (SHORT p = 0; p < func->cParams; ++p) {
                // What a late-bound caller passes: no return value, no locale.
                if (func->lprgelemdescParam[p].paramdesc.wParamFlags & (PARAMFLAG_FRETVAL | PARAMFLAG_FLCID))
                    continue;
                m.params.push_back(func->lprgelemdescParam[p].tdesc.vt);
                m.paramNames.push_back(static_cast<UINT>(p + 1) < count && names[p + 1] ? names[p + 1] : L"");
            }
            for (UINT n = 0; n < count; ++n)
                SysFreeString(names[n]);
            // A put's value is its last parameter.
            if (!skipped.count(m.name) && seen.insert({m.name, m.kind}).second)
                members.push_back(std::move(m));
            info->ReleaseFuncDesc(func);
        }
    info->ReleaseTypeAttr(attr);
}

// Every member of every dispatch interface of the module's type library; the same name and kind once.
inline std::vector<MemberInfo> LibraryMembers(const std::wstring& library) {
    std::vector<MemberInfo> members;
    ov::ComPtr<ITypeLib> lib;
    if (FAILED(LoadTypeLibEx(library.c_str(), REGKIND_NONE, lib.Put()))) return members;
    std::set<std::pair<std::wstring, int>> seen;
    for (UINT t = 0; t < lib->GetTypeInfoCount(); ++t) {
        ov::ComPtr<ITypeInfo> info;
        if (SUCCEEDED(lib->GetTypeInfo(t, info.Put()))) AddMembers(info.Get(), seen, members);
    }
    return members;
}

// The members of the host's interfaces that the menu objects implement (their names overlap the module's
// with other signatures: "Items", "Count", "Click").
inline const std::vector<MemberInfo>& HostMenuMembers() {
    static const std::vector<MemberInfo> members = [] {
        std::vector<MemberInfo> list;
        ov::ComPtr<ITypeLib> lib;
        if (FAILED(LoadTypeLibEx((ovtest::BinFolder() + L"\\OVHookX64.exe\\3").c_str(), REGKIND_NONE,
                                 lib.Put())))
            return list;
        std::set<std::pair<std::wstring, int>> seen;
        for (const GUID& iid : {__uuidof(IovWin32Menu), __uuidof(IovWin32MenuItem)}) {
            ov::ComPtr<ITypeInfo> info;
            if (SUCCEEDED(lib->GetTypeInfoOfGuid(iid, info.Put()))) AddMembers(info.Get(), seen, list);
        }
        return list;
    }();
    return members;
}

// A path of the scripts' application's menu for a menu member's item, a plain value otherwise.
inline VARIANT PlainArgument(const MemberInfo& m, size_t p) {
    if (m.paramNames[p] == L"Item" && (m.params[p] & VT_TYPEMASK) == VT_BSTR) {
        VARIANT v;
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(L"File|Open");
        return v;
    }
    return Plain(m.params[p]);
}

inline std::string Narrow(std::wstring_view w) {
    return std::string(w.begin(), w.end());
}

inline void Walk(const wpfsim::Element& element, std::set<std::wstring>& names) {
    if (!element.Name().empty() && element.Name().rfind(L"PART_", 0) != 0) names.insert(element.Name());
    for (const wpfsim::Element* child : element.Children())
        Walk(*child, names);
}

inline std::wstring TypeName(IDispatch* object);

// The members of the library that an object answers, with the object's own DISPIDs; for a menu object
// those of the host's menu interfaces.
inline std::vector<std::pair<const MemberInfo*, DISPID>> MembersOf(IDispatch* object,
                                                                   const std::vector<MemberInfo>& library) {
    std::vector<std::pair<const MemberInfo*, DISPID>> list;
    const std::wstring type = TypeName(object);
    const bool menu = type == L"IovWin32Menu" || type == L"IovWin32MenuItem";
    for (const MemberInfo& m : menu ? HostMenuMembers() : library) {
        LPOLESTR name[] = {const_cast<LPOLESTR>(m.name.c_str())};
        DISPID id = DISPID_UNKNOWN;
        if (object->GetIDsOfNames(IID_NULL, name, 1, 0, &id) == S_OK) list.push_back({&m, id});
    }
    return list;
}

// OLE Automation refused the arguments before the member ran: the table lists a name once, with the
// first signature the library gives it (a toggle button's ClickButton takes a state, a button's none).
inline bool ArgumentsRefused(HRESULT hr) {
    return hr == DISP_E_BADPARAMCOUNT || hr == DISP_E_MEMBERNOTFOUND || hr == DISP_E_TYPEMISMATCH ||
           hr == DISP_E_PARAMNOTFOUND;
}

// What a failed call must not leave in its result: a string or an object. Numbers may stay (an out value
// cleared to 0), and so may an empty string (what DispInvoke makes of a null out string).
inline bool ResultLeft(const VARIANT& result) {
    if (result.vt == VT_BSTR) return SysStringLen(result.bstrVal) > 0;
    return (result.vt == VT_DISPATCH || result.vt == VT_UNKNOWN || (result.vt & VT_ARRAY)) && result.punkVal;
}

inline WORD FlagsOf(const MemberInfo& m) {
    return m.kind == INVOKE_FUNC          ? DISPATCH_METHOD
           : m.kind == INVOKE_PROPERTYGET ? DISPATCH_PROPERTYGET
                                          : DISPATCH_PROPERTYPUT;
}

// The name of an object's most derived interface.
inline std::wstring TypeName(IDispatch* object) {
    ov::ComPtr<ITypeInfo> info;
    ov::Bstr name;
    if (SUCCEEDED(object->GetTypeInfo(0, 0, info.Put())))
        info->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr);
    return std::wstring(name.View());
}

class Session {
public:
    explicit Session(const std::wstring& appPath = KindsApp()) {
        if (std::wstring why = ovhost::LoadApplication(appPath, app_); !why.empty()) Fail(why);
        host_ = std::make_unique<ovhost::Host>(ovtest::BinFolder());
        if (std::wstring why = ovhost::StartHost(*host_, *app_, appPath, ovtest::BinFolder()); !why.empty())
            Fail(why);
        model_ = std::make_unique<ovhost::ScriptModel>(*host_, *app_);
        for (const auto& item : model_->Items()) {
            if (item.name == L"App") appObject_ = item.object;
            if (item.name == L"Host") hostObject_ = item.object;
        }
        if (!appObject_) Fail(L"the object model has no App");
        find_ = IdOf(appObject_.Get(), L"Find");
    }
    ~Session() { End(); }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // App.Find(name): the automation object, null for an element without one.
    ov::ComPtr<IDispatch> Find(const std::wstring& name) {
        ov::Variant result;
        if (FAILED(Invoke(appObject_.Get(), find_, DISPATCH_METHOD, {ov::Variant::String(name)}, &result)) ||
            result.vt != VT_DISPATCH || !result.pdispVal)
            return nullptr;
        return ov::ComPtr<IDispatch>(result.pdispVal);
    }

    // Host.ErrorReportMode: what the objects found from now on start with.
    void SetErrorReportMode(LONG mode) {
        if (FAILED(Invoke(hostObject_.Get(), L"ErrorReportMode", DISPATCH_PROPERTYPUT,
                          {ov::Variant::Int(mode)})))
            Fail(L"Host.ErrorReportMode cannot be set");
    }

    // Ends the run as the main job does (the objects still held stop answering), detaches the application
    // and unloads the module. Returns how many handed-out objects were still referenced.
    size_t End() {
        if (!model_) return 0;
        const size_t referenced = model_->End();
        appObject_ = nullptr;
        hostObject_ = nullptr;
        model_.reset();
        host_->Detach();
        host_->UnloadModule();
        host_.reset();
        return referenced;
    }

    // One automation object per interface: the first enabled element of each kind in document order, then
    // the objects that the properties without arguments hand out ("HScroll", "Items", ...), named
    // "element.Property".
    std::vector<std::pair<std::string, ov::ComPtr<IDispatch>>>
    Representatives(const std::vector<MemberInfo>& library) {
        std::vector<const wpfsim::Element*> elements;
        std::vector<const wpfsim::Element*> open(app_->Roots().rbegin(), app_->Roots().rend());
        while (!open.empty()) {
            const wpfsim::Element* e = open.back();
            open.pop_back();
            if (!e->Name().empty() && e->Name().rfind(L"PART_", 0) != 0 && e->IsEnabled())
                elements.push_back(e);
            open.insert(open.end(), e->Children().rbegin(), e->Children().rend());
        }
        std::set<std::wstring> kinds;
        std::vector<std::pair<std::string, ov::ComPtr<IDispatch>>> objects;
        for (const wpfsim::Element* element : elements)
            if (ov::ComPtr<IDispatch> object = Find(element->Name());
                object && kinds.insert(TypeName(object.Get())).second)
                objects.push_back({Narrow(element->Name()), object});
        for (size_t i = 0; i < objects.size(); ++i)
            for (const auto& [m, id] : MembersOf(objects[i].second.Get(), library)) {
                // Without arguments, or one index (a menu's "Items"): 0.
                const bool indexed = m->params.size() == 1 && m->params[0] == VT_I4;
                if (m->kind != INVOKE_PROPERTYGET || (!m->params.empty() && !indexed)) continue;
                std::vector<ov::Variant> args;
                if (indexed) args.push_back(ov::Variant::Int(0));
                ov::Variant result;
                if (SUCCEEDED(Invoke(objects[i].second.Get(), id, DISPATCH_PROPERTYGET, std::move(args),
                                     &result)) &&
                    result.vt == VT_DISPATCH && result.pdispVal &&
                    kinds.insert(TypeName(result.pdispVal)).second)
                    objects.push_back({objects[i].first + "." + Narrow(m->name) + (indexed ? "(0)" : ""),
                                       ov::ComPtr<IDispatch>(result.pdispVal)});
            }
        return objects;
    }

    // A named item of the object model ("Log", "User", ...).
    ov::ComPtr<IDispatch> Item(const std::wstring& name) {
        for (const auto& item : model_->Items())
            if (item.name == name) return item.object;
        return nullptr;
    }

    wpfsim::Application& App() { return *app_; }
    ovhost::Host& Host() { return *host_; }

private:
    [[noreturn]] static void Fail(const std::wstring& why) {
        throw std::runtime_error(std::string(why.begin(), why.end()));
    }

    std::unique_ptr<wpfsim::Application> app_;
    std::unique_ptr<ovhost::Host> host_;
    std::unique_ptr<ovhost::ScriptModel> model_;
    ov::ComPtr<IDispatch> appObject_, hostObject_;
    DISPID find_ = DISPID_UNKNOWN;
};

} // namespace reltest
