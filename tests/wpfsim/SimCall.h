// Late-bound calls as a caller of the simulation makes them: look the name up, then Invoke, keeping the
// raw HRESULT and the EXCEPINFO for the tests to check.
#pragma once

#include "dispatch/OleTypes.h"
#include "wpfsim/Application.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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

// Arguments in call order; they are reversed into rgvarg here.
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
    if (HRESULT hr = Lookup(d, name, &id); FAILED(hr)) {
        Result failed;
        failed.hr = hr;
        return failed;
    }
    return InvokeId(d, id, flags, std::move(args));
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

inline ov::Variant Disp(wpfsim::ClrObject& o) {
    return ov::Variant::Dispatch(o.NewDispatch().Get());
}

// Every test ends with the application gone and no simulated object left alive.
class SimTest : public testing::Test {
protected:
    void TearDown() override {
        app.reset();
        EXPECT_EQ(wpfsim::LiveObjects(), 0) << "simulated objects left alive after the test";
        wpfsim::SimObject::LiveCounter::value = 0; // one leak must not fail every later test
    }
    std::optional<wpfsim::Application> app{std::in_place};
};

} // namespace simtest
