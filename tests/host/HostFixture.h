// A host over a small simulated application, and the helpers the host tests share.
#pragma once

#include "TestSupport.h"

#include "host/services/Host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace hosttest {

inline GUID NewGuid() {
    GUID g{};
    CoCreateGuid(&g);
    return g;
}

inline ov::ComPtr<IUnknown> Identity(IUnknown* p) {
    return ov::QueryAs<IUnknown>(p);
}

// A folder of its own under the temporary folder, removed with its contents.
class TempFolder {
public:
    TempFolder()
        : path_(std::filesystem::temp_directory_path() /
                (L"ovhost" + ovhost::GuidText(NewGuid()).substr(1, 8))) {
        std::filesystem::create_directory(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::wstring Path(const std::wstring& name = L"") const {
        return name.empty() ? path_.wstring() : (path_ / name).wstring();
    }
    std::wstring Write(const std::wstring& name, const std::string& text) const {
        std::ofstream(path_ / name, std::ios::binary) << text;
        return Path(name);
    }
    // Copies a file of the bin folder to `relative` ("Extensions\x.dll" makes the subfolder).
    void Copy(const std::wstring& binFile, const std::wstring& relative) const {
        std::filesystem::create_directories((path_ / relative).parent_path());
        ASSERT_TRUE(
            CopyFileW((ovtest::BinFolder() + L"\\" + binFile).c_str(), Path(relative).c_str(), FALSE));
    }

private:
    std::filesystem::path path_;
};

// mainWindow (0,0)-(400,300) > panel (10,10)-(390,290) > okButton (20,20)-(120,50), cancelButton
// (140,20)-(240,50), an unnamed TextBlock (20,60)-(220,80); toolWindow (500,0)-(700,200).
class HostTest : public testing::Test {
protected:
    void SetUp() override {
        app = std::make_unique<wpfsim::Application>();
        window = Add(nullptr, L"System.Windows.Window", L"mainWindow", {0, 0, 400, 300});
        panel = Add(window, L"System.Windows.Controls.StackPanel", L"panel", {10, 10, 390, 290});
        ok = Add(panel, L"System.Windows.Controls.Button", L"okButton", {20, 20, 120, 50});
        cancel = Add(panel, L"System.Windows.Controls.Button", L"cancelButton", {140, 20, 240, 50});
        label = Add(panel, L"System.Windows.Controls.TextBlock", L"", {20, 60, 220, 80});
        tool = Add(nullptr, L"System.Windows.Window", L"toolWindow", {500, 0, 700, 200});
        host = std::make_unique<ovhost::Host>(ovtest::BinFolder());
        if (attach) host->Attach(*app);
    }
    void TearDown() override {
        host.reset();
        app.reset();
    }

    wpfsim::Element* Add(wpfsim::Element* parent, const wchar_t* cls, const wchar_t* name, RECT bounds) {
        auto& e = app->Add(parent, cls, name);
        e.SetBounds(bounds);
        return &e;
    }
    ov::ComPtr<IovHostObject> ObjectOf(const wpfsim::Element* e) { return host->HostObjectOf(*e); }
    ov::ComPtr<IovObjectService> Service() { return host->ObjectService(); }
    long Calls(std::string_view operation) { return host->Calls().Of(operation); }

    bool attach = true;
    std::unique_ptr<wpfsim::Application> app;
    std::unique_ptr<ovhost::Host> host;
    wpfsim::Element *window = nullptr, *panel = nullptr, *ok = nullptr, *cancel = nullptr, *label = nullptr,
                    *tool = nullptr;
};

// The thread's error information (an empty description when there is none).
struct ErrorInfo {
    std::wstring description;
    DWORD helpContext = 0;
};
inline ErrorInfo TakeErrorInfo() {
    ov::ComPtr<IErrorInfo> info;
    ov::Bstr description;
    ErrorInfo result;
    if (GetErrorInfo(0, info.Put()) == S_OK && info) {
        info->GetDescription(description.Put());
        info->GetHelpContext(&result.helpContext);
    }
    result.description = description.c_str();
    return result;
}

inline std::string Narrow(std::wstring_view text) {
    return std::string(text.begin(), text.end());
}

} // namespace hosttest
