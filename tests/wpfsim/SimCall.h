// Late-bound calls as script engines make them, keeping the raw HRESULT and the EXCEPINFO (the wrapper
// tests call the module's objects with them too).
#pragma once

#include "com/OleTypes.h"
#include "wpfsim/Application.h"

#include <gtest/gtest.h>

#include <optional>

namespace simtest {

struct Result {
    HRESULT hr = E_FAIL;
    ov::Variant value;
    std::wstring source, description;
    WORD code = 0;
    SCODE scode = 0;
};

inline HRESULT Lookup(IDispatch* d, const wchar_t* name, DISPID* id) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    return d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
}

// Arguments in call order; `namedPut` adds DISPID_PROPERTYPUT as the named argument.
inline Result InvokeId(IDispatch* d, DISPID id, WORD flags, std::vector<ov::Variant> args = {},
                       bool namedPut = false) {
    std::vector<VARIANT> rg(args.rbegin(), args.rend());
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{rg.data(), namedPut ? &putId : nullptr, static_cast<UINT>(rg.size()),
                      namedPut ? 1u : 0u};
    Result r;
    EXCEPINFO ex{};
    r.hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &r.value, &ex, nullptr);
    r.source = ov::Bstr::Adopt(ex.bstrSource).c_str();
    r.description = ov::Bstr::Adopt(ex.bstrDescription).c_str();
    SysFreeString(ex.bstrHelpFile);
    r.code = ex.wCode;
    r.scode = ex.scode;
    return r;
}

inline Result InvokeName(IDispatch* d, const wchar_t* name, WORD flags, std::vector<ov::Variant> args = {}) {
    DISPID id = DISPID_UNKNOWN;
    Result failed;
    failed.hr = Lookup(d, name, &id);
    return FAILED(failed.hr) ? failed
                             : InvokeId(d, id, flags, std::move(args), (flags & DISPATCH_PROPERTYPUT) != 0);
}
inline Result Get(IDispatch* d, const wchar_t* name) {
    return InvokeName(d, name, DISPATCH_PROPERTYGET);
}
inline Result Put(IDispatch* d, const wchar_t* name, ov::Variant v) {
    return InvokeName(d, name, DISPATCH_PROPERTYPUT, {std::move(v)});
}
inline Result Call(IDispatch* d, const wchar_t* name, std::vector<ov::Variant> args = {}) {
    return InvokeName(d, name, DISPATCH_METHOD, std::move(args));
}

// The text of a value: a BSTR, or an object's "OleValue".
inline std::wstring Text(const VARIANT& v) {
    if (v.vt == VT_BSTR) return ov::Bstr::CopyOf(v.bstrVal).c_str();
    if (v.vt == VT_DISPATCH && v.pdispVal) return Text(Get(v.pdispVal, L"OleValue").value);
    return L"<not a string>";
}

// An application with a main window and a button; the test program checks that no object outlives a test.
class SimTest : public testing::Test {
protected:
    std::optional<wpfsim::Application> app{std::in_place};
    wpfsim::Element* window = &app->Add(nullptr, L"System.Windows.Window", L"mainWindow");
    wpfsim::Element* ok = Sized(app->Add(window, L"System.Windows.Controls.Button", L"okButton"));
    ov::ComPtr<IDispatch> okDisp = ok->NewDispatch();

    static wpfsim::Element* Sized(wpfsim::Element& e) {
        e.Layout().width = 80;
        e.Layout().height = 24;
        return &e;
    }
};

} // namespace simtest
