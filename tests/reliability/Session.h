// One run of the main job without a script engine: the application of every kind from its XAML, the host
// with the module loaded from the bin folder, and the object model a script would get. The members are
// called as the engines call them, through IDispatch.
#pragma once

#include "host/Host.h"
#include "host/Run.h"
#include "host/ScriptModel.h"
#include "wpfsim/Application.h"

#include "TestSupport.h"

#include <memory>
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

class Session {
public:
    explicit Session(const std::wstring& appPath = KindsApp()) {
        if (std::wstring why = ovhost::LoadApplication(appPath, app_); !why.empty()) Fail(why);
        host_ = std::make_unique<ovhost::Host>(ovtest::BinFolder());
        if (std::wstring why = ovhost::StartHost(*host_, *app_, appPath, ovtest::BinFolder()); !why.empty())
            Fail(why);
        model_ = std::make_unique<ovhost::ScriptModel>(*host_, *app_);
        for (const auto& item : model_->Items())
            if (item.name == L"App") appObject_ = item.object;
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

    // Ends the run as the main job does (the objects still held stop answering), detaches the application
    // and unloads the module. Returns how many handed-out objects were still referenced.
    size_t End() {
        if (!model_) return 0;
        const size_t referenced = model_->End();
        appObject_ = nullptr;
        model_.reset();
        host_->Detach();
        host_->UnloadModule();
        host_.reset();
        return referenced;
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
    ov::ComPtr<IDispatch> appObject_;
    DISPID find_ = DISPID_UNKNOWN;
};

} // namespace reltest
