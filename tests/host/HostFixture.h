// A host over a small simulated application, and the checks every host test ends with: the host's own
// objects and the simulation's are all gone once both are.
#pragma once

#include "TestSupport.h"

#include "host/Host.h"

#include <gtest/gtest.h>

#include <memory>

namespace hosttest {

inline GUID NewGuid() {
    GUID g{};
    CoCreateGuid(&g);
    return g;
}

inline RECT Rect(LONG left, LONG top, LONG right, LONG bottom) {
    return {left, top, right, bottom};
}

// mainWindow (0,0)-(400,300)
//   panel (10,10)-(390,290)
//     okButton (20,20)-(120,50), cancelButton (140,20)-(240,50), an unnamed TextBlock (20,60)-(220,80)
// toolWindow (500,0)-(700,200)
class HostTest : public testing::Test {
protected:
    void SetUp() override {
        app = std::make_unique<wpfsim::Application>();
        window = Add(nullptr, L"System.Windows.Window", L"mainWindow", Rect(0, 0, 400, 300));
        panel = Add(window, L"System.Windows.Controls.StackPanel", L"panel", Rect(10, 10, 390, 290));
        ok = Add(panel, L"System.Windows.Controls.Button", L"okButton", Rect(20, 20, 120, 50));
        cancel = Add(panel, L"System.Windows.Controls.Button", L"cancelButton", Rect(140, 20, 240, 50));
        label = Add(panel, L"System.Windows.Controls.TextBlock", L"", Rect(20, 60, 220, 80));
        tool = Add(nullptr, L"System.Windows.Window", L"toolWindow", Rect(500, 0, 700, 200));
        host = std::make_unique<ovhost::Host>(ovtest::BinFolder());
        if (attach) host->Attach(*app);
    }
    void TearDown() override {
        service_.Reset();
        host.reset();
        app.reset();
        EXPECT_EQ(ovhost::LiveObjects(), 0) << "host objects left alive";
        EXPECT_EQ(wpfsim::LiveObjects(), 0) << "simulation objects left alive";
    }

    wpfsim::Element* Add(wpfsim::Element* parent, const wchar_t* cls, const wchar_t* name, RECT bounds) {
        auto& e = app->Add(parent, cls, name);
        e.SetBounds(bounds);
        return &e;
    }
    ov::ComPtr<IovHostObject> ObjectOf(const wpfsim::Element* e) { return host->HostObjectOf(*e); }
    IovObjectService* Service() {
        return service_ ? service_.Get() : (service_ = host->ObjectService()).Get();
    }
    long Calls(const char* operation) { return host->Calls().Of(operation); }

    bool attach = true;
    std::unique_ptr<wpfsim::Application> app;
    std::unique_ptr<ovhost::Host> host;
    wpfsim::Element *window = nullptr, *panel = nullptr, *ok = nullptr, *cancel = nullptr, *label = nullptr,
                    *tool = nullptr;
    ov::ComPtr<IovObjectService> service_;
};

// The identity of any interface pointer, for comparisons.
inline ov::ComPtr<IUnknown> Identity(IUnknown* p) {
    return ov::QueryAs<IUnknown>(p);
}

// The thread's error information: description and help context (empty, 0 when none).
struct ErrorInfo {
    std::wstring description;
    DWORD helpContext = 0;
    bool present = false;
};
inline ErrorInfo TakeErrorInfo() {
    ov::ComPtr<IErrorInfo> info;
    ErrorInfo result;
    if (GetErrorInfo(0, info.Put()) != S_OK || !info) return result;
    result.present = true;
    ov::Bstr description;
    info->GetDescription(description.Put());
    result.description = description.c_str();
    info->GetHelpContext(&result.helpContext);
    return result;
}

// Late-bound call by name on an IDispatch: arguments in call order.
inline HRESULT CallByName(IDispatch* d, const wchar_t* name, WORD flags, std::vector<ov::Variant> args,
                          VARIANT* result = nullptr, EXCEPINFO* excep = nullptr) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::vector<VARIANT> rg(args.rbegin(), args.rend());
    DISPPARAMS params{rg.data(), nullptr, static_cast<UINT>(rg.size()), 0};
    return d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, excep, nullptr);
}

} // namespace hosttest
