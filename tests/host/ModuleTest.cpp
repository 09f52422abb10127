// Loading and unloading the real module, and the module manager as the module uses it.
#include "HostFixture.h"

#include <olectl.h>

#include <functional>

using namespace hosttest;

namespace {

bool ModuleInProcess() {
    return GetModuleHandleW(ovhost::ModuleFileName) != nullptr;
}

// A module object as the module makes them: a key, a manager-events sink, disposable.
class FakeModule : public IovModule, public IovModuleManagerEvents, public IbxDisposable {
public:
    using Interfaces = ov::Interfaces<IovModule, IovModuleManagerEvents, IbxDisposable>;
    explicit FakeModule(const GUID& key = NewGuid()) : key(key) {}
    HRESULT STDMETHODCALLTYPE GetModuleKey(GUID* out) override {
        *out = key;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnModuleAdded(IUnknown* object) override { return Note(L'+', object); }
    HRESULT STDMETHODCALLTYPE OnModuleRemoved(IUnknown* object) override { return Note(L'-', object); }
    HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override {
        *name = SysAllocString(L"Fake");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Dispose() override {
        ++disposed;
        return S_OK;
    }
    HRESULT Note(wchar_t what, IUnknown* object) {
        events.emplace_back(what, Identity(object).Get());
        if (onEvent) onEvent();
        return S_OK;
    }
    IUnknown* Id() { return ov::detail::UnknownOf(this); }

    const GUID key;
    std::vector<std::pair<wchar_t, IUnknown*>> events; // added or removed, and the object's identity
    std::function<void()> onEvent;
    int disposed = 0;
};

class ModuleTest : public HostTest {
protected:
    ModuleTest() { attach = false; }
    ov::ComPtr<IUnknown> Find(const GUID& key) {
        ov::ComPtr<IUnknown> found;
        EXPECT_EQ(host->ModuleManager()->FindModule(&key, found.Put()), S_OK);
        return found;
    }
};

TEST_F(ModuleTest, LoadRegistersTheModulesObjectsAndUnloadTakesThemAndLeftoversAlong) {
    host->LoadModule();
    EXPECT_EQ(host->ModulePath(), ovtest::BinFolder() + L"\\ovWPFControlsHook.dll");
    EXPECT_TRUE(ModuleInProcess());
    EXPECT_EQ(host->Modules().size(), 2u);
    EXPECT_EQ(host->SinkCount(), 1u);
    wchar_t folder[MAX_PATH] = {};
    GetEnvironmentVariableW(L"Orvane6_X64_Product_Path", folder, MAX_PATH);
    EXPECT_EQ(folder, ovtest::BinFolder());
    host->UnloadModule();
    EXPECT_FALSE(ModuleInProcess());
    EXPECT_TRUE(host->Modules().empty());
    EXPECT_EQ(host->SinkCount(), 0u);
    EXPECT_EQ(host->UnloadNotifications(), std::vector<std::wstring>{L"ovWPFControlsHook.dll"});
    EXPECT_TRUE(host->Log().empty());
    // Loaded again; what is still registered after Finalize is disposed, released and logged.
    host->LoadModule();
    auto leftover = ov::Create<FakeModule>();
    ASSERT_EQ(host->ModuleManager()->RegisterModule(leftover->Id()), S_OK);
    host->UnloadModule();
    EXPECT_EQ(leftover->disposed, 1);
    EXPECT_TRUE(host->Modules().empty());
    EXPECT_EQ(
        host->Log(),
        (std::vector<ovhost::LogEntry>{
            {ovhost::LogError, L"ovWPFControlsHook.dll left registrations behind after Finalize.",
             L"1 module object(s) and 0 event sink(s) were still registered with the module manager."}}));
}

TEST_F(ModuleTest, ModuleIsFoundInExtensionsTooAndFailuresSayWhyInOneLine) {
    const struct {
        const char* what;
        bool withHost;            // OVHookX64.exe (the host's type library) in the folder
        const wchar_t *from, *to; // a bin file copied as the module
        const wchar_t* reason;    // part of the reason; null: it loads
    } cases[] = {
        {"in Extensions", true, L"ovWPFControlsHook.dll", L"Extensions\\ovWPFControlsHook.dll", nullptr},
        {"no module", true, nullptr, nullptr, L"it is neither in "},
        {"no host type library", false, L"ovWPFControlsHook.dll", L"ovWPFControlsHook.dll",
         L"its start-up failed: the host type library "},
        {"not the module", true, L"OVHookX64.exe", L"ovWPFControlsHook.dll",
         L"it does not export GetModuleIntf."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder product;
        if (c.withHost) product.Copy(L"OVHookX64.exe", L"OVHookX64.exe");
        if (c.from) product.Copy(c.from, c.to);
        {
            ovhost::Host other(product.Path());
            try {
                other.LoadModule();
                EXPECT_FALSE(c.reason) << "loaded";
                EXPECT_EQ(other.ModulePath(), product.Path(c.to));
                EXPECT_EQ(other.Modules().size(), 2u);
            } catch (const ovhost::LoadError& e) {
                ASSERT_TRUE(c.reason) << e.what();
                EXPECT_NE(e.Reason().find(c.reason), std::wstring::npos) << e.what();
                EXPECT_EQ(e.Reason().find(L'\n'), std::wstring::npos);
                EXPECT_FALSE(other.ModuleLoaded());
                EXPECT_TRUE(other.Modules().empty());
            }
        }
        EXPECT_FALSE(ModuleInProcess());
    }
}

TEST_F(ModuleTest, EventsReachEveryAdvisedSinkAlsoWhenOneLeavesDuringTheEvent) {
    auto manager = host->ModuleManager();
    auto first = ov::Create<FakeModule>(), second = ov::Create<FakeModule>(),
         module = ov::Create<FakeModule>();
    ASSERT_EQ(manager->AdviseManagerEvents(first.Get()), S_OK);
    ASSERT_EQ(manager->AdviseManagerEvents(second.Get()), S_OK);
    EXPECT_EQ(manager->AdviseManagerEvents(first.Get()), CONNECT_E_ADVISELIMIT);
    first->onEvent = [&] { manager->UnadviseManagerEvents(first.Get()); };
    ASSERT_EQ(manager->RegisterModule(module->Id()), S_OK);
    ASSERT_EQ(manager->UnregisterModule(&module->key), S_OK);
    using Events = std::vector<std::pair<wchar_t, IUnknown*>>;
    EXPECT_EQ(first->events, (Events{{L'+', module->Id()}}));
    EXPECT_EQ(second->events, (Events{{L'+', module->Id()}, {L'-', module->Id()}}));
    EXPECT_EQ(host->SinkCount(), 1u);

    // An attached application registers its owner module, which its objects report.
    second->events.clear();
    host->Attach(*app);
    IUnknown* owner = Identity(host->Owner().Get()).Get();
    GUID ownerKey{};
    ASSERT_EQ(host->Owner().As<IovModule>()->GetModuleKey(&ownerKey), S_OK);
    EXPECT_EQ(Identity(Find(ownerKey).Get()).Get(), owner);
    ov::ComPtr<IUnknown> reported;
    ASSERT_EQ(ObjectOf(ok).As<IovObjectInternal>()->GetOwner(reported.Put()), S_OK);
    EXPECT_EQ(Identity(reported.Get()).Get(), owner);
    reported.Reset();
    host->Detach();
    EXPECT_EQ(second->events, (Events{{L'+', owner}, {L'-', owner}}));
    EXPECT_FALSE(Find(ownerKey));
    EXPECT_EQ(manager->UnadviseManagerEvents(second.Get()), S_OK);
}

} // namespace
