// The module information object against the host stand-in's module manager: the entry, the unload
// listeners, Initialize and Finalize, and the unload sequence of the DLL run in-process.
#include "frame/ModuleInf.h"

#include "dispatch/TypeLibCache.h"
#include "host/Services.h"
#include "recognition/HookExtender.h"
#include "scripting/EventRecorder.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using ov::ComPtr;
using TestLiveCount = ov::LiveCount<struct TestTag>;

// What happened, in order, across listeners and the checks they make.
using EventLog = std::vector<std::wstring>;

class Listener : public IbxModuleUnloadListener {
public:
    using Interfaces = ov::Interfaces<IbxModuleUnloadListener>;
    using LiveCounter = TestLiveCount;

    Listener(std::wstring name, EventLog& log) : name_(std::move(name)), log_(log) {}

    HRESULT STDMETHODCALLTYPE OnModuleUnload(BSTR moduleFileName, IbxModuleIntf* moduleInfo) override {
        log_.push_back(name_ + L" " + (moduleFileName ? moduleFileName : L"(null)"));
        receivedModule = ov::QueryAs<IUnknown>(moduleInfo).Get();
        if (onUnload) onUnload(moduleInfo);
        return S_OK;
    }

    std::function<void(IbxModuleIntf*)> onUnload;
    IUnknown* receivedModule = nullptr; // identity only, no reference: the module holds the listener

private:
    std::wstring name_;
    EventLog& log_;
};

// A hook object without a module manager (the host stand-in always has one).
class HookWithoutManager : public IovOpenAppHook {
public:
    using Interfaces = ov::Interfaces<IovOpenAppHook>;
    using LiveCounter = TestLiveCount;
    HRESULT STDMETHODCALLTYPE GetModuleManager(IUnknown** manager) override {
        *manager = nullptr;
        return E_NOINTERFACE;
    }
};

IUnknown* IdentityOf(IUnknown* p) {
    return ov::QueryAs<IUnknown>(p).Get();
}

bool IsZero(const GUID& g) {
    return IsEqualGUID(g, GUID_NULL) != 0;
}

class ModuleInfTest : public testing::Test {
protected:
    void SetUp() override {
        core_ = std::make_shared<ovhost::HostCore>(ovtest::BinFolder());
        hook_ = ov::Create<ovhost::HookObject>(core_);
    }
    void TearDown() override {
        ov::ModuleEntry::Detach();
        hook_.Reset();
        core_->ReleaseModules();
        core_.reset();
        EXPECT_EQ(ovhost::LiveObjects(), 0) << "host objects left alive";
        EXPECT_EQ(TestLiveCount::Get(), 0) << "test objects left alive";
    }

    static ComPtr<CovWPFControlsHookModuleInf> Module() {
        ComPtr<IUnknown> unknown;
        EXPECT_EQ(ov::ModuleEntry::GetModuleIntf(unknown.Put()), S_OK);
        return ov::ModuleEntry::Singleton();
    }
    static ComPtr<IovOpenAppHookExtension> Extension(const ComPtr<CovWPFControlsHookModuleInf>& module) {
        return module.As<IovOpenAppHookExtension>();
    }
    IovOpenAppHook* Hook() const { return static_cast<IovOpenAppHook*>(hook_.Get()); }
    long Calls(const char* operation) const { return core_->Calls().Of(operation); }
    ComPtr<Listener> MakeListener(const wchar_t* name) { return ov::Create<Listener>(name, log_); }

    // The registered module object that answers `Probe` (the recorder or the extender).
    template <class Probe> ComPtr<IUnknown> Registered() const {
        for (const auto& m : core_->Modules())
            if (ov::QueryAs<Probe>(m.object.Get())) return m.object;
        return nullptr;
    }

    std::shared_ptr<ovhost::HostCore> core_;
    ComPtr<ovhost::HookObject> hook_;
    EventLog log_;
};

// --- the entry

TEST_F(ModuleInfTest, SecondGetModuleIntfGivesTheSameObjectWithoutMakingAnother) {
    long before = ov::ModuleLiveCount::Get();
    ComPtr<IUnknown> first, second;
    ASSERT_EQ(ov::ModuleEntry::GetModuleIntf(first.Put()), S_OK);
    long afterFirst = ov::ModuleLiveCount::Get();
    ASSERT_EQ(ov::ModuleEntry::GetModuleIntf(second.Put()), S_OK);
    EXPECT_EQ(afterFirst, before + 1);
    EXPECT_EQ(ov::ModuleLiveCount::Get(), afterFirst);
    ASSERT_TRUE(first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first.Get(), IdentityOf(first.Get())) << "the entry hands out the object's identity";
    EXPECT_EQ(IdentityOf(ov::ModuleEntry::Singleton().As<IbxModuleIntf>().Get()), first.Get());
}

TEST_F(ModuleInfTest, GetModuleIntfWithoutAnAddressFails) {
    EXPECT_EQ(ov::ModuleEntry::GetModuleIntf(nullptr), E_POINTER);
}

TEST_F(ModuleInfTest, AnswersItsTwoInterfacesOnly) {
    struct Case {
        const char* name;
        IID iid;
        HRESULT expected;
    } cases[] = {
        {"IUnknown", IID_IUnknown, S_OK},
        {"IbxModuleIntf", __uuidof(IbxModuleIntf), S_OK},
        {"IovOpenAppHookExtension", __uuidof(IovOpenAppHookExtension), S_OK},
        {"IDispatch", IID_IDispatch, E_NOINTERFACE},
        {"IovModule", __uuidof(IovModule), E_NOINTERFACE},
        {"IbxModuleUnloadListener", __uuidof(IbxModuleUnloadListener), E_NOINTERFACE},
    };
    ComPtr<IUnknown> module;
    ASSERT_EQ(ov::ModuleEntry::GetModuleIntf(module.Put()), S_OK);
    for (const Case& c : cases) {
        ComPtr<IUnknown> answer;
        EXPECT_EQ(module->QueryInterface(c.iid, answer.PutVoid()), c.expected) << c.name;
        EXPECT_EQ(static_cast<bool>(answer), c.expected == S_OK) << c.name;
        if (answer) EXPECT_EQ(IdentityOf(answer.Get()), module.Get()) << c.name;
    }
}

// --- unload listeners

TEST_F(ModuleInfTest, ListenerOperationsAnswerByList) {
    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    ComPtr<Listener> a = MakeListener(L"a"), b = MakeListener(L"b");
    IbxModuleIntf* m = module.Get();
    struct Step {
        const char* what;
        HRESULT result;
        HRESULT expected;
    } steps[] = {
        {"add a to the first list", m->AddUnloadListener(a.Get()), S_OK},
        {"add a to the first list again", m->AddUnloadListener(a.Get()), E_FAIL},
        {"add a to the second list", m->AddLateUnloadListener(a.Get()), S_OK},
        {"add a to the second list again", m->AddLateUnloadListener(a.Get()), E_FAIL},
        {"remove b, never added, from the first list", m->RemoveUnloadListener(b.Get()), S_OK},
        {"remove b, never added, from the second list", m->RemoveLateUnloadListener(b.Get()), S_OK},
        {"add b to the first list", m->AddUnloadListener(b.Get()), S_OK},
        {"remove a from the first list", m->RemoveUnloadListener(a.Get()), S_OK},
        {"remove a from the first list again", m->RemoveUnloadListener(a.Get()), S_OK},
        {"add a to the first list after removing it", m->AddUnloadListener(a.Get()), S_OK},
        {"add null to the first list", m->AddUnloadListener(nullptr), E_POINTER},
        {"add null to the second list", m->AddLateUnloadListener(nullptr), E_POINTER},
        {"remove null", m->RemoveUnloadListener(nullptr), S_OK},
    };
    for (const Step& s : steps)
        EXPECT_EQ(s.result, s.expected) << s.what;

    // First list b, a (a appended again at the end); second list a; each once although added twice.
    module.Reset();
    ov::ModuleEntry::Detach();
    EXPECT_EQ(log_,
              (EventLog{L"b ovWPFControlsHook.dll", L"a ovWPFControlsHook.dll", L"a ovWPFControlsHook.dll"}));
}

TEST_F(ModuleInfTest, ListsHoldTheirListenersUntilRemovedOrDestroyed) {
    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    {
        ComPtr<Listener> removed = MakeListener(L"removed");
        ASSERT_EQ(module->AddUnloadListener(removed.Get()), S_OK);
        ASSERT_EQ(module->RemoveUnloadListener(removed.Get()), S_OK);
    }
    EXPECT_EQ(TestLiveCount::Get(), 0) << "removing releases the list's reference";
    {
        ComPtr<Listener> kept = MakeListener(L"kept");
        ASSERT_EQ(module->AddUnloadListener(kept.Get()), S_OK);
        ASSERT_EQ(module->AddLateUnloadListener(kept.Get()), S_OK);
    }
    EXPECT_EQ(TestLiveCount::Get(), 1) << "the lists hold what was added";
    module.Reset();
    ov::ModuleEntry::Detach();
    EXPECT_EQ(TestLiveCount::Get(), 0) << "the object's end releases its listeners";
}

// --- Initialize and Finalize

TEST_F(ModuleInfTest, InitializeRegistersTheRecorderAndTheExtenderAndAdvisesTheExtender) {
    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    VARIANT_BOOL succeeded = VARIANT_FALSE;
    ASSERT_EQ(Extension(module)->Initialize(Hook(), &succeeded), S_OK);
    EXPECT_EQ(succeeded, VARIANT_TRUE);

    ASSERT_EQ(core_->Modules().size(), 2u);
    ComPtr<IUnknown> recorder = core_->Modules()[0].object;
    ComPtr<IUnknown> extender = core_->Modules()[1].object;
    EXPECT_TRUE(ov::QueryAs<IovScriptEventRecorder>(recorder.Get())) << "the recorder registers first";
    EXPECT_TRUE(ov::QueryAs<IovModuleExtendedObjects>(extender.Get())) << "the extender registers second";
    EXPECT_TRUE(IsEqualGUID(core_->Modules()[0].key, CovWPFEventRecorder::Key));
    EXPECT_TRUE(IsEqualGUID(module->RecorderKey(), CovWPFEventRecorder::Key));
    EXPECT_TRUE(IsEqualGUID(module->ExtenderKey(), core_->Modules()[1].key));
    EXPECT_FALSE(IsZero(module->ExtenderKey()));
    EXPECT_FALSE(IsEqualGUID(module->ExtenderKey(), module->RecorderKey()));

    ASSERT_EQ(core_->Sinks().size(), 1u);
    EXPECT_EQ(IdentityOf(core_->Sinks()[0].Get()), IdentityOf(extender.Get()));
    EXPECT_TRUE(module->HasModuleManager());
    EXPECT_EQ(Calls("IovOpenAppHook::GetModuleManager"), 1);
}

TEST_F(ModuleInfTest, FinalizeUnregistersUnadvisesAndReleasesOnceOnly) {
    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    VARIANT_BOOL succeeded = VARIANT_FALSE;
    ASSERT_EQ(Extension(module)->Initialize(Hook(), &succeeded), S_OK);
    ASSERT_EQ(core_->Modules().size(), 2u);

    EXPECT_EQ(Extension(module)->Finalize(), S_OK);
    EXPECT_TRUE(core_->Modules().empty());
    // The extender is found by its key before it goes, so its events are unadvised.
    EXPECT_TRUE(core_->Sinks().empty());
    EXPECT_TRUE(IsZero(module->RecorderKey()));
    EXPECT_TRUE(IsZero(module->ExtenderKey()));
    EXPECT_FALSE(module->HasModuleManager());
    EXPECT_EQ(ov::ModuleLiveCount::Get(), 1) << "only the module information object is left";

    long callsAfterFirst = core_->Calls().Total();
    EXPECT_EQ(Extension(module)->Finalize(), S_OK);
    EXPECT_EQ(core_->Calls().Total(), callsAfterFirst) << "a second Finalize calls the host";
}

TEST_F(ModuleInfTest, FinalizeOfAnExtenderTheManagerNoLongerKnows) {
    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    VARIANT_BOOL succeeded = VARIANT_FALSE;
    ASSERT_EQ(Extension(module)->Initialize(Hook(), &succeeded), S_OK);
    ASSERT_EQ(core_->UnregisterModule(module->ExtenderKey()), S_OK);

    EXPECT_EQ(Extension(module)->Finalize(), S_OK);
    EXPECT_EQ(Calls("IovModuleManager::FindModule"), 1);
    EXPECT_EQ(Calls("IovModuleManager::UnadviseManagerEvents"), 0) << "nothing found, nothing to unadvise";
    EXPECT_EQ(Calls("IovModuleManager::UnregisterModule"), 2) << "the key is unregistered all the same";
    EXPECT_TRUE(IsZero(module->ExtenderKey()));
    EXPECT_FALSE(module->HasModuleManager());
}

TEST_F(ModuleInfTest, FinalizeOfANeverInitialisedObjectDoesNothing) {
    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    EXPECT_EQ(Extension(module)->Finalize(), S_OK);
    EXPECT_EQ(core_->Calls().Total(), 0);
    EXPECT_FALSE(module->HasModuleManager());
}

TEST_F(ModuleInfTest, InitializeWithoutAModuleManagerRegistersNothing) {
    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    ComPtr<HookWithoutManager> noManager = ov::Create<HookWithoutManager>();
    struct Case {
        const char* what;
        IovOpenAppHook* hook;
    } cases[] = {{"hook without manager", noManager.Get()}, {"no hook", nullptr}};
    for (const Case& c : cases) {
        VARIANT_BOOL succeeded = VARIANT_FALSE;
        EXPECT_EQ(Extension(module)->Initialize(c.hook, &succeeded), S_OK) << c.what;
        EXPECT_EQ(succeeded, VARIANT_TRUE) << c.what;
        EXPECT_FALSE(module->HasModuleManager()) << c.what;
        EXPECT_TRUE(IsZero(module->RecorderKey()) && IsZero(module->ExtenderKey())) << c.what;
        EXPECT_EQ(Extension(module)->Finalize(), S_OK) << c.what;
    }
}

TEST_F(ModuleInfTest, InitializeWithoutAResultPointerDoesNothing) {
    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    EXPECT_EQ(Extension(module)->Initialize(Hook(), nullptr), E_POINTER);
    EXPECT_TRUE(core_->Modules().empty());
    EXPECT_FALSE(module->HasModuleManager());
}

// --- the unload sequence

TEST_F(ModuleInfTest, UnloadTellsListenersThenFinalizesThenDropsTheObjectAndTheTypeLibraries) {
    ASSERT_EQ(ov::TypeLibCache::Load(L"stdole2.tlb"), S_OK);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(ov::TypeLibCache::GetTypeInfoOfGuid(IID_IDispatch, info.Put()), S_OK);
    info.Reset();

    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    VARIANT_BOOL succeeded = VARIANT_FALSE;
    ASSERT_EQ(Extension(module)->Initialize(Hook(), &succeeded), S_OK);
    ComPtr<Listener> early1 = MakeListener(L"early1"), early2 = MakeListener(L"early2"),
                     late = MakeListener(L"late");
    ASSERT_EQ(module->AddLateUnloadListener(late.Get()), S_OK); // added first, told last
    ASSERT_EQ(module->AddUnloadListener(early1.Get()), S_OK);
    ASSERT_EQ(module->AddUnloadListener(early2.Get()), S_OK);
    // Every listener is told while the module objects are still registered.
    for (Listener* l : {early1.Get(), early2.Get(), late.Get()})
        l->onUnload = [this](IbxModuleIntf*) {
            log_.push_back(L"registered " + std::to_wstring(core_->Modules().size()));
        };
    IUnknown* identity = IdentityOf(static_cast<IbxModuleIntf*>(module.Get()));
    CovWPFControlsHookModuleInf* raw = module.Get();
    module.Reset();

    static_cast<IbxModuleIntf*>(raw)
        ->AddRef(); // keeps the object observable: the singleton's reference must go
    ov::ModuleEntry::Detach();

    EXPECT_EQ(log_,
              (EventLog{L"early1 ovWPFControlsHook.dll", L"registered 2", L"early2 ovWPFControlsHook.dll",
                        L"registered 2", L"late ovWPFControlsHook.dll", L"registered 2"}));
    for (Listener* l : {early1.Get(), early2.Get(), late.Get()})
        EXPECT_EQ(l->receivedModule, identity);
    EXPECT_TRUE(core_->Modules().empty()) << "Finalize ran";
    EXPECT_TRUE(core_->Sinks().empty());
    EXPECT_FALSE(ov::ModuleEntry::Singleton());
    EXPECT_EQ(ov::TypeLibCache::LibraryCount(), 0u);
    EXPECT_EQ(ov::TypeLibCache::CachedTypeInfoCount(), 0u);
    EXPECT_EQ(static_cast<IbxModuleIntf*>(raw)->Release(), 0u)
        << "someone else still holds the module object";
}

TEST_F(ModuleInfTest, ListenersMayRemoveThemselvesAndOthersDuringTheWalk) {
    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    ComPtr<Listener> a = MakeListener(L"a"), b = MakeListener(L"b"), c = MakeListener(L"c"),
                     lateA = MakeListener(L"lateA"), lateB = MakeListener(L"lateB");
    for (Listener* l : {a.Get(), b.Get(), c.Get()})
        ASSERT_EQ(module->AddUnloadListener(l), S_OK);
    for (Listener* l : {lateA.Get(), lateB.Get()})
        ASSERT_EQ(module->AddLateUnloadListener(l), S_OK);
    // a takes itself and b out of the first list; lateA takes itself out of the second. The walk goes
    // over copies, so b is still told.
    a->onUnload = [&](IbxModuleIntf* m) {
        m->RemoveUnloadListener(a.Get());
        m->RemoveUnloadListener(b.Get());
    };
    lateA->onUnload = [&](IbxModuleIntf* m) { m->RemoveLateUnloadListener(lateA.Get()); };
    module.Reset();

    ov::ModuleEntry::Detach();
    EXPECT_EQ(log_,
              (EventLog{L"a ovWPFControlsHook.dll", L"b ovWPFControlsHook.dll", L"c ovWPFControlsHook.dll",
                        L"lateA ovWPFControlsHook.dll", L"lateB ovWPFControlsHook.dll"}));
    // The lambdas hold no references; the listeners go with the test's pointers.
}

TEST_F(ModuleInfTest, UnloadWithoutAModuleObjectEmptiesTheTypeLibraries) {
    ASSERT_FALSE(ov::ModuleEntry::Singleton());
    ASSERT_EQ(ov::TypeLibCache::Load(L"stdole2.tlb"), S_OK);
    ov::ModuleEntry::Detach();
    EXPECT_EQ(ov::TypeLibCache::LibraryCount(), 0u);
    EXPECT_FALSE(ov::ModuleEntry::Singleton());
}

} // namespace
