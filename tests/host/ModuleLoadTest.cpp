// Loading and unloading the real module: where the host finds it, what the module registers and leaves
// registered, and the reasons the host gives when it cannot load it.
#include "HostFixture.h"

#include <functional>

using namespace hosttest;

namespace {

// A folder of its own under the temporary folder, removed with everything copied into it.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        std::wstring id = ovhost::GuidText(NewGuid());
        path_ = std::wstring(base) + L"ovhost" + id.substr(1, 8);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        for (auto it = files_.rbegin(); it != files_.rend(); ++it)
            DeleteFileW(it->c_str());
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it)
            RemoveDirectoryW(it->c_str());
        RemoveDirectoryW(path_.c_str());
    }
    const std::wstring& Path() const { return path_; }
    // Copies a file of the bin folder to `relative` ("Extensions\x.dll" makes the subfolder).
    void Copy(const std::wstring& binFile, const std::wstring& relative) {
        if (auto slash = relative.find(L'\\'); slash != std::wstring::npos) {
            folders_.push_back(path_ + L"\\" + relative.substr(0, slash));
            CreateDirectoryW(folders_.back().c_str(), nullptr);
        }
        files_.push_back(path_ + L"\\" + relative);
        ASSERT_TRUE(CopyFileW((ovtest::BinFolder() + L"\\" + binFile).c_str(), files_.back().c_str(), FALSE));
    }

private:
    std::wstring path_;
    std::vector<std::wstring> files_, folders_;
};

bool ModuleInProcess() {
    return GetModuleHandleW(ovhost::ModuleFileName) != nullptr;
}

class ModuleLoadTest : public HostTest {
protected:
    ModuleLoadTest() { attach = false; }
};

TEST_F(ModuleLoadTest, ModuleRegistersItsTwoObjectsAndTakesThemAlongWhenUnloaded) {
    host->LoadModule();
    ASSERT_TRUE(host->ModuleLoaded());
    EXPECT_EQ(host->ModulePath(), ovtest::BinFolder() + L"\\ovWPFControlsHook.dll");
    EXPECT_TRUE(ModuleInProcess());
    ASSERT_EQ(host->Modules().size(), 2u);
    EXPECT_EQ(host->SinkCount(), 1u);
    EXPECT_EQ(Calls("IovOpenAppHook::GetModuleManager"), 1);
    EXPECT_EQ(Calls("IovModuleManager::RegisterModule"), 2);
    EXPECT_EQ(Calls("IovModuleManager::AdviseManagerEvents"), 1);

    char folder[MAX_PATH] = {};
    GetEnvironmentVariableA("Orvane6_X64_Product_Path", folder, MAX_PATH);
    EXPECT_EQ(std::wstring(folder, folder + strlen(folder)), ovtest::BinFolder());

    host->UnloadModule();
    EXPECT_FALSE(host->ModuleLoaded());
    EXPECT_FALSE(ModuleInProcess());
    EXPECT_TRUE(host->Modules().empty());
    EXPECT_EQ(host->SinkCount(), 0u);
    EXPECT_EQ(Calls("IovModuleManager::UnregisterModule"), 2);
    EXPECT_EQ(Calls("IovModuleManager::UnadviseManagerEvents"), 1);
    EXPECT_EQ(host->UnloadNotifications(), std::vector<std::wstring>{L"ovWPFControlsHook.dll"});
    EXPECT_TRUE(host->Log().empty());

    // A second load of the same host works as the first.
    host->LoadModule();
    EXPECT_EQ(host->Modules().size(), 2u);
    host->UnloadModule();
    EXPECT_TRUE(host->Modules().empty());
}

TEST_F(ModuleLoadTest, ModuleIsFoundInTheExtensionsSubfolder) {
    TempFolder product;
    product.Copy(L"OVHookX64.exe", L"OVHookX64.exe");
    product.Copy(L"ovWPFControlsHook.dll", L"Extensions\\ovWPFControlsHook.dll");
    {
        ovhost::Host other(product.Path());
        other.LoadModule();
        EXPECT_EQ(other.ModulePath(), product.Path() + L"\\Extensions\\ovWPFControlsHook.dll");
        EXPECT_EQ(other.Modules().size(), 2u);
    }
    EXPECT_FALSE(ModuleInProcess());
}

TEST_F(ModuleLoadTest, LoadFailuresSayWhyAndLeaveNothingLoaded) {
    struct Case {
        const char* what;
        std::vector<std::pair<const wchar_t*, const wchar_t*>> files; // bin file, copied as
        const wchar_t* reason;                                        // part of the reason
    } cases[] = {
        {"no module", {{L"OVHookX64.exe", L"OVHookX64.exe"}}, L"it is neither in "},
        {"no host type library",
         {{L"ovWPFControlsHook.dll", L"ovWPFControlsHook.dll"}},
         L"its start-up failed: the host type library "},
        {"not the module",
         {{L"OVHookX64.exe", L"OVHookX64.exe"}, {L"OVHookX64.exe", L"ovWPFControlsHook.dll"}},
         L"it does not export GetModuleIntf."},
    };
    for (const auto& c : cases) {
        TempFolder product;
        for (const auto& [from, to] : c.files)
            product.Copy(from, to);
        ovhost::Host other(product.Path());
        try {
            other.LoadModule();
            ADD_FAILURE() << c.what << ": loaded";
        } catch (const ovhost::LoadError& e) {
            EXPECT_NE(e.Reason().find(c.reason), std::wstring::npos) << c.what << ": " << e.what();
            EXPECT_EQ(e.Reason().find(L'\n'), std::wstring::npos) << c.what;
        }
        EXPECT_FALSE(other.ModuleLoaded()) << c.what;
        EXPECT_TRUE(other.Modules().empty()) << c.what;
        EXPECT_FALSE(ModuleInProcess()) << c.what;
    }
}

class Leftover : public IovModule {
public:
    using Interfaces = ov::Interfaces<IovModule>;
    HRESULT STDMETHODCALLTYPE GetModuleKey(GUID* key) override { return *key = key_, S_OK; }

private:
    GUID key_ = NewGuid();
};

TEST_F(ModuleLoadTest, RegistrationsLeftAfterFinalizeAreReleasedAndLogged) {
    host->LoadModule();
    auto leftover = ov::Create<Leftover>();
    ASSERT_EQ(host->ModuleManager()->RegisterModule(ov::detail::UnknownOf(leftover.Get())), S_OK);
    host->UnloadModule();
    EXPECT_TRUE(host->Modules().empty());
    ASSERT_EQ(host->Log().size(), 1u);
    EXPECT_EQ(host->Log()[0].kind, ovhost::LogError);
    EXPECT_EQ(host->Log()[0].text, L"ovWPFControlsHook.dll left registrations behind after Finalize.");
    EXPECT_EQ(host->Log()[0].details,
              L"1 module object(s) and 0 event sink(s) were still registered with the module manager.");
}

} // namespace
