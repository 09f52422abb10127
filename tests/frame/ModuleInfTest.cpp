// The module information object against the host stand-in's module manager: the entry, the unload
// listeners, Initialize and Finalize, and the unload sequence that the DLL's detach runs.
#include "frame/ModuleInf.h"

#include "dispatch/TypeLibCache.h"
#include "host/Services.h"
#include "scripting/EventRecorder.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using ov::ComPtr;
using TestLiveCount = ov::LiveCount<struct TestTag>;
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
    IUnknown* receivedModule = nullptr; // identity only: the module holds the listener

private:
    std::wstring name_;
    EventLog& log_;
};

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
    void SetUp() override { hook_ = ov::Create<ovhost::HookObject>(core_); }
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
    static ComPtr<IovOpenAppHookExtension> Extension() {
        return ov::ModuleEntry::Singleton().As<IovOpenAppHookExtension>();
    }
    void Initialize() {
        VARIANT_BOOL succeeded = VARIANT_FALSE;
        ASSERT_EQ(Extension()->Initialize(static_cast<IovOpenAppHook*>(hook_.Get()), &succeeded), S_OK);
        EXPECT_EQ(succeeded, VARIANT_TRUE);
    }
    long Calls(const char* operation) const { return core_->Calls().Of(operation); }
    ComPtr<Listener> MakeListener(const wchar_t* name) { return ov::Create<Listener>(name, log_); }

    std::shared_ptr<ovhost::HostCore> core_ = std::make_shared<ovhost::HostCore>(ovtest::BinFolder());
    ComPtr<ovhost::HookObject> hook_;
    EventLog log_;
};

TEST_F(ModuleInfTest, EntryGivesOneObject) {
    const long before = ov::ModuleLiveCount::Get();
    ComPtr<IUnknown> first, second;
    ASSERT_EQ(ov::ModuleEntry::GetModuleIntf(first.Put()), S_OK);
    EXPECT_EQ(ov::ModuleLiveCount::Get(), before + 1);
    ASSERT_EQ(ov::ModuleEntry::GetModuleIntf(second.Put()), S_OK);
    EXPECT_EQ(ov::ModuleLiveCount::Get(), before + 1) << "the second call made another object";
    ASSERT_TRUE(first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first.Get(), IdentityOf(first.Get())) << "the entry hands out the object's identity";
    EXPECT_EQ(ov::ModuleEntry::GetModuleIntf(nullptr), E_POINTER);
}

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
        {"add null", m->AddUnloadListener(nullptr), E_POINTER},
        {"add null to the second list", m->AddLateUnloadListener(nullptr), E_POINTER},
        {"remove null", m->RemoveUnloadListener(nullptr), S_OK},
    };
    for (const Step& s : steps)
        EXPECT_EQ(s.result, s.expected) << s.what;

    // First list b, a (appended again at the end); second list a. The teardown sees every reference go.
    module.Reset();
    ov::ModuleEntry::Detach();
    EXPECT_EQ(log_,
              (EventLog{L"b ovWPFControlsHook.dll", L"a ovWPFControlsHook.dll", L"a ovWPFControlsHook.dll"}));
}

TEST_F(ModuleInfTest, InitializeRegistersAndAdvisesFinalizeUndoesItOnce) {
    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    EXPECT_EQ(Extension()->Finalize(), S_OK);
    EXPECT_EQ(core_->Calls().Total(), 0) << "Finalize before Initialize called the host";

    Initialize();
    ASSERT_EQ(core_->Modules().size(), 2u);
    const auto& recorder = core_->Modules()[0];
    const auto& extender = core_->Modules()[1];
    EXPECT_TRUE(ov::QueryAs<IovScriptEventRecorder>(recorder.object.Get())) << "the recorder registers first";
    EXPECT_TRUE(ov::QueryAs<IovModuleExtendedObjects>(extender.object.Get()));
    EXPECT_TRUE(IsEqualGUID(recorder.key, CovWPFEventRecorder::Key));
    EXPECT_TRUE(IsEqualGUID(module->RecorderKey(), recorder.key));
    EXPECT_TRUE(IsEqualGUID(module->ExtenderKey(), extender.key));
    EXPECT_FALSE(IsZero(module->ExtenderKey()) || IsEqualGUID(module->ExtenderKey(), recorder.key));
    ASSERT_EQ(core_->Sinks().size(), 1u);
    EXPECT_EQ(IdentityOf(core_->Sinks()[0].Get()), IdentityOf(extender.object.Get()));
    EXPECT_TRUE(module->HasModuleManager());
    EXPECT_EQ(Calls("IovOpenAppHook::GetModuleManager"), 1);

    EXPECT_EQ(Extension()->Finalize(), S_OK);
    EXPECT_TRUE(core_->Modules().empty());
    EXPECT_TRUE(core_->Sinks().empty()) << "the extender was found by its key and unadvised";
    EXPECT_TRUE(IsZero(module->RecorderKey()) && IsZero(module->ExtenderKey()));
    EXPECT_FALSE(module->HasModuleManager());
    EXPECT_EQ(ov::ModuleLiveCount::Get(), 1) << "only the module information object is left";

    const long calls = core_->Calls().Total();
    EXPECT_EQ(Extension()->Finalize(), S_OK);
    EXPECT_EQ(core_->Calls().Total(), calls) << "a second Finalize called the host";
}

TEST_F(ModuleInfTest, FinalizeUnregistersAnExtenderTheManagerNoLongerKnows) {
    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    Initialize();
    ASSERT_EQ(core_->UnregisterModule(module->ExtenderKey()), S_OK);
    EXPECT_EQ(Extension()->Finalize(), S_OK);
    EXPECT_EQ(Calls("IovModuleManager::FindModule"), 1);
    EXPECT_EQ(Calls("IovModuleManager::UnadviseManagerEvents"), 0) << "nothing found, nothing to unadvise";
    EXPECT_EQ(Calls("IovModuleManager::UnregisterModule"), 2) << "the key is unregistered all the same";
    EXPECT_TRUE(IsZero(module->ExtenderKey()));
    EXPECT_FALSE(module->HasModuleManager());
}

TEST_F(ModuleInfTest, InitializeWithoutAModuleManagerRegistersNothing) {
    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    ComPtr<HookWithoutManager> noManager = ov::Create<HookWithoutManager>();
    for (IovOpenAppHook* hook :
         {static_cast<IovOpenAppHook*>(noManager.Get()), static_cast<IovOpenAppHook*>(nullptr)}) {
        VARIANT_BOOL succeeded = VARIANT_FALSE;
        EXPECT_EQ(Extension()->Initialize(hook, &succeeded), S_OK);
        EXPECT_EQ(succeeded, VARIANT_TRUE);
        EXPECT_FALSE(module->HasModuleManager());
        EXPECT_TRUE(IsZero(module->RecorderKey()) && IsZero(module->ExtenderKey()));
        EXPECT_EQ(Extension()->Finalize(), S_OK);
    }
    EXPECT_EQ(Extension()->Initialize(static_cast<IovOpenAppHook*>(hook_.Get()), nullptr), E_POINTER);
    EXPECT_TRUE(core_->Modules().empty());
    EXPECT_FALSE(module->HasModuleManager());
}

TEST_F(ModuleInfTest, UnloadTellsEveryListenerThenFinalizesThenDropsTheObjectAndTheTypeLibraries) {
    ASSERT_EQ(ov::TypeLibCache::Load(L"stdole2.tlb"), S_OK);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(ov::TypeLibCache::GetTypeInfoOfGuid(IID_IDispatch, info.Put()), S_OK);
    info.Reset();

    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    Initialize();
    ComPtr<Listener> a = MakeListener(L"a"), b = MakeListener(L"b"), lateA = MakeListener(L"lateA"),
                     lateB = MakeListener(L"lateB");
    ASSERT_EQ(module->AddLateUnloadListener(lateA.Get()), S_OK); // added first, told after the first list
    ASSERT_EQ(module->AddLateUnloadListener(lateB.Get()), S_OK);
    ASSERT_EQ(module->AddUnloadListener(a.Get()), S_OK);
    ASSERT_EQ(module->AddUnloadListener(b.Get()), S_OK);
    // Every listener is told while the module objects are still registered. a takes itself and b out of
    // the first list, lateA itself out of the second: the walks go over copies, so b is still told.
    auto registered = [this] { log_.push_back(std::to_wstring(core_->Modules().size())); };
    b->onUnload = lateB->onUnload = [&](IbxModuleIntf*) { registered(); };
    a->onUnload = [&](IbxModuleIntf* m) {
        registered();
        m->RemoveUnloadListener(a.Get());
        m->RemoveUnloadListener(b.Get());
    };
    lateA->onUnload = [&](IbxModuleIntf* m) {
        registered();
        m->RemoveLateUnloadListener(lateA.Get());
    };
    IUnknown* identity = IdentityOf(static_cast<IbxModuleIntf*>(module.Get()));
    IbxModuleIntf* raw = module.Get();
    raw->AddRef(); // keeps the object observable: the singleton's reference must go
    module.Reset();

    ov::ModuleEntry::Detach();
    EXPECT_EQ(log_, (EventLog{L"a ovWPFControlsHook.dll", L"2", L"b ovWPFControlsHook.dll", L"2",
                              L"lateA ovWPFControlsHook.dll", L"2", L"lateB ovWPFControlsHook.dll", L"2"}));
    for (Listener* l : {a.Get(), b.Get(), lateA.Get(), lateB.Get()})
        EXPECT_EQ(l->receivedModule, identity);
    EXPECT_TRUE(core_->Modules().empty()) << "Finalize ran";
    EXPECT_TRUE(core_->Sinks().empty());
    EXPECT_FALSE(ov::ModuleEntry::Singleton());
    EXPECT_EQ(ov::TypeLibCache::LibraryCount(), 0u);
    EXPECT_EQ(ov::TypeLibCache::CachedTypeInfoCount(), 0u);
    EXPECT_EQ(raw->Release(), 0u) << "someone else still holds the module object";

    // Without a module object the detach still empties the type library cache.
    ASSERT_EQ(ov::TypeLibCache::Load(L"stdole2.tlb"), S_OK);
    ov::ModuleEntry::Detach();
    EXPECT_EQ(ov::TypeLibCache::LibraryCount(), 0u);
    EXPECT_EQ(log_.size(), 8u);
}

} // namespace
