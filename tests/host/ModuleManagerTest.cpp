// The module manager as the module uses it: registration by the key the object reports, lookups, events
// to advised sinks, and the hook object that hands the manager out.
#include "HostFixture.h"

#include <olectl.h>

#include <functional>

using namespace hosttest;

namespace {

// A module object as the module makes them: a key, a manager-events sink, disposable.
class FakeModule : public IovModule, public IovModuleManagerEvents, public IbxDisposable {
public:
    using Interfaces = ov::Interfaces<IovModule, IovModuleManagerEvents, IbxDisposable>;
    explicit FakeModule(const GUID& key) : key_(key) {}

    HRESULT STDMETHODCALLTYPE GetModuleKey(GUID* key) override {
        *key = key_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnModuleAdded(IUnknown* object) override { return Note(true, object); }
    HRESULT STDMETHODCALLTYPE OnModuleRemoved(IUnknown* object) override { return Note(false, object); }
    HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override {
        *name = SysAllocString(L"FakeModule");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Dispose() override {
        ++disposed;
        return S_OK;
    }

    struct Event {
        bool added;
        IUnknown* object; // identity, compared only
        friend bool operator==(const Event&, const Event&) = default;
    };
    std::vector<Event> events;
    std::function<void()> onEvent;
    int disposed = 0;

private:
    HRESULT Note(bool added, IUnknown* object) {
        events.push_back({added, Identity(object).Get()});
        if (onEvent) onEvent();
        return S_OK;
    }
    GUID key_;
};

// An object that is no module: it has no IovModule.
class NotAModule : public IovModuleHidden {
public:
    using Interfaces = ov::Interfaces<IovModuleHidden>;
};

IUnknown* Id(const ov::ComPtr<FakeModule>& m) {
    return ov::detail::UnknownOf(m.Get());
}

class ModuleManagerTest : public HostTest {
protected:
    ModuleManagerTest() { attach = false; }
    void SetUp() override {
        HostTest::SetUp();
        ov::ComPtr<IUnknown> unknown;
        ASSERT_EQ(host->Hook()->GetModuleManager(unknown.Put()), S_OK);
        manager = unknown.As<IovModuleManager>();
        ASSERT_TRUE(manager);
    }
    void TearDown() override {
        manager.Reset();
        HostTest::TearDown();
    }
    ov::ComPtr<IUnknown> Find(const GUID& key) {
        ov::ComPtr<IUnknown> found;
        EXPECT_EQ(manager->FindModule(&key, found.Put()), S_OK);
        return found;
    }
    ov::ComPtr<IovModuleManager> manager;
};

TEST_F(ModuleManagerTest, FindsRegisteredModulesByTheirOwnKeyUntilUnregistered) {
    GUID keyA = NewGuid(), keyB = NewGuid();
    auto a = ov::Create<FakeModule>(keyA);
    auto b = ov::Create<FakeModule>(keyB);
    ASSERT_EQ(manager->RegisterModule(Id(a)), S_OK);
    ASSERT_EQ(manager->RegisterModule(Id(b)), S_OK);

    EXPECT_EQ(Identity(Find(keyA).Get()).Get(), Id(a));
    EXPECT_EQ(Identity(Find(keyB).Get()).Get(), Id(b));
    EXPECT_FALSE(Find(NewGuid()));
    ASSERT_EQ(host->Modules().size(), 2u);
    EXPECT_TRUE(IsEqualGUID(host->Modules()[0].key, keyA)); // registration order

    EXPECT_EQ(manager->UnregisterModule(&keyA), S_OK);
    EXPECT_FALSE(Find(keyA));
    EXPECT_TRUE(Find(keyB));
    EXPECT_EQ(manager->UnregisterModule(&keyB), S_OK);
    EXPECT_TRUE(host->Modules().empty());
    EXPECT_EQ(Calls("IovModuleManager::RegisterModule"), 2);
    EXPECT_EQ(Calls("IovModuleManager::FindModule"), 5);
    EXPECT_EQ(Calls("IovModuleManager::UnregisterModule"), 2);
}

TEST_F(ModuleManagerTest, RefusesWhatCannotBeRegisteredAndLeavesTheRegistrationsAlone) {
    GUID key = NewGuid();
    auto registered = ov::Create<FakeModule>(key);
    ASSERT_EQ(manager->RegisterModule(Id(registered)), S_OK);
    auto sameKey = ov::Create<FakeModule>(key);
    auto zeroKey = ov::Create<FakeModule>(GUID_NULL);
    auto notAModule = ov::Create<NotAModule>();
    GUID unknown = NewGuid();

    struct Case {
        const char* what;
        std::function<HRESULT()> call;
        HRESULT expected;
    } cases[] = {
        {"null object", [&] { return manager->RegisterModule(nullptr); }, E_POINTER},
        {"no IovModule", [&] { return manager->RegisterModule(ov::detail::UnknownOf(notAModule.Get())); },
         E_NOINTERFACE},
        {"all-zero key", [&] { return manager->RegisterModule(Id(zeroKey)); }, E_INVALIDARG},
        {"key taken", [&] { return manager->RegisterModule(Id(sameKey)); },
         HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS)},
        {"unknown key", [&] { return manager->UnregisterModule(&unknown); },
         HRESULT_FROM_WIN32(ERROR_NOT_FOUND)},
        {"null key", [&] { return manager->UnregisterModule(nullptr); }, E_POINTER},
        {"advise null", [&] { return manager->AdviseManagerEvents(nullptr); }, E_POINTER},
        {"unadvise unknown", [&] { return manager->UnadviseManagerEvents(sameKey.Get()); },
         CONNECT_E_NOCONNECTION},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.call(), c.expected) << c.what;
        ASSERT_EQ(host->Modules().size(), 1u) << c.what;
        EXPECT_EQ(host->Modules()[0].object.Get(), Id(registered)) << c.what;
    }
    EXPECT_EQ(manager->UnregisterModule(&key), S_OK);
}

TEST_F(ModuleManagerTest, EventsReachEveryAdvisedSinkInOrder) {
    auto first = ov::Create<FakeModule>(NewGuid());
    auto second = ov::Create<FakeModule>(NewGuid());
    auto module = ov::Create<FakeModule>(NewGuid());
    GUID moduleKey{};
    module->GetModuleKey(&moduleKey);
    ASSERT_EQ(manager->AdviseManagerEvents(first.Get()), S_OK);
    ASSERT_EQ(manager->AdviseManagerEvents(second.Get()), S_OK);
    EXPECT_EQ(manager->AdviseManagerEvents(first.Get()), CONNECT_E_ADVISELIMIT);
    EXPECT_EQ(host->SinkCount(), 2u);

    // The first sink leaves from inside the event; the second still gets it.
    first->onEvent = [&] { manager->UnadviseManagerEvents(first.Get()); };
    ASSERT_EQ(manager->RegisterModule(Id(module)), S_OK);
    ASSERT_EQ(manager->UnregisterModule(&moduleKey), S_OK);

    using Event = FakeModule::Event;
    EXPECT_EQ(first->events, (std::vector<Event>{{true, Id(module)}}));
    EXPECT_EQ(second->events, (std::vector<Event>{{true, Id(module)}, {false, Id(module)}}));
    EXPECT_EQ(host->SinkCount(), 1u);
    EXPECT_EQ(manager->UnadviseManagerEvents(second.Get()), S_OK);
    EXPECT_EQ(host->SinkCount(), 0u);
}

TEST_F(ModuleManagerTest, AttachedApplicationRegistersItsOwnerAndTheObjectsNameIt) {
    auto sink = ov::Create<FakeModule>(NewGuid());
    ASSERT_EQ(manager->AdviseManagerEvents(sink.Get()), S_OK);
    host->Attach(*app);
    auto owner = host->Owner();
    ASSERT_TRUE(owner);
    GUID ownerKey{};
    ASSERT_EQ(owner.As<IovModule>()->GetModuleKey(&ownerKey), S_OK);
    EXPECT_EQ(Identity(Find(ownerKey).Get()), Identity(owner.Get()));

    // Every object of the application reports that owner.
    for (auto* e : {window, ok}) {
        ov::ComPtr<IUnknown> reported;
        ASSERT_EQ(ObjectOf(e).As<IovObjectInternal>()->GetOwner(reported.Put()), S_OK);
        EXPECT_EQ(Identity(reported.Get()), Identity(owner.Get()));
    }
    IUnknown* ownerId = Identity(owner.Get()).Get();
    owner.Reset();
    host->Detach();
    using Event = FakeModule::Event;
    EXPECT_EQ(sink->events, (std::vector<Event>{{true, ownerId}, {false, ownerId}}));
    EXPECT_FALSE(Find(ownerKey));
    manager->UnadviseManagerEvents(sink.Get());
}

TEST_F(ModuleManagerTest, HookObjectIsAlsoTheObjectServiceAndTheLog) {
    auto hook = host->Hook();
    auto service = hook.As<IovObjectService>();
    auto log = hook.As<IovHostLog>();
    ASSERT_TRUE(service);
    ASSERT_TRUE(log);
    EXPECT_EQ(Identity(service.Get()), Identity(hook.Get()));
    EXPECT_TRUE(service.As<IovOpenAppHook>());
    // One manager for every request.
    ov::ComPtr<IUnknown> again;
    ASSERT_EQ(hook->GetModuleManager(again.Put()), S_OK);
    EXPECT_EQ(Identity(again.Get()), Identity(manager.Get()));
    EXPECT_EQ(Calls("IovOpenAppHook::GetModuleManager"), 2);
}

} // namespace
