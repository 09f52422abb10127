// The module information object against the host stand-in's module manager: Initialize, Finalize, and
// the unload sequence that the DLL's detach runs.
#include "frame/ModuleInf.h"

#include "dispatch/TypeLibCache.h"
#include "host/services/Services.h"
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

    std::shared_ptr<ovhost::HostCore> core_ = std::make_shared<ovhost::HostCore>(ovtest::BinFolder());
    ComPtr<ovhost::HookObject> hook_;
    EventLog log_;
};

TEST_F(ModuleInfTest, ListenersAreKeptOncePerListAndRemovedQuietly) {
    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    ComPtr<IbxModuleIntf> lists = module.As<IbxModuleIntf>();
    ComPtr<Listener> a = ov::Create<Listener>(L"a", log_);
    IbxModuleUnloadListener* listener = a.Get();
    EXPECT_EQ(lists->RemoveUnloadListener(listener), S_OK) << "never added";
    EXPECT_EQ(lists->AddUnloadListener(listener), S_OK);
    EXPECT_EQ(lists->AddUnloadListener(listener), E_FAIL) << "already in the first list";
    EXPECT_EQ(lists->AddLateUnloadListener(listener), S_OK) << "the second list is separate";
    EXPECT_EQ(lists->AddLateUnloadListener(listener), E_FAIL);
    EXPECT_EQ(lists->AddUnloadListener(nullptr), E_POINTER);
    EXPECT_EQ(lists->RemoveUnloadListener(listener), S_OK);
    EXPECT_EQ(lists->AddUnloadListener(listener), S_OK) << "removed, so it may come again";
    EXPECT_EQ(lists->RemoveUnloadListener(listener), S_OK);
    EXPECT_EQ(lists->RemoveLateUnloadListener(listener), S_OK);
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
    EXPECT_TRUE(IsEqualGUID(recorder.key, CovWPFEventRecorder::Key));
    EXPECT_TRUE(IsEqualGUID(module->RecorderKey(), recorder.key));
    EXPECT_TRUE(IsEqualGUID(module->ExtenderKey(), extender.key));
    ASSERT_EQ(core_->Sinks().size(), 1u);
    EXPECT_EQ(IdentityOf(core_->Sinks()[0].Get()), IdentityOf(extender.object.Get()));

    EXPECT_EQ(Extension()->Finalize(), S_OK);
    EXPECT_TRUE(core_->Modules().empty());
    EXPECT_TRUE(core_->Sinks().empty()) << "the extender was found by its key and unadvised";
    EXPECT_TRUE(IsZero(module->RecorderKey()) && IsZero(module->ExtenderKey()));
    EXPECT_EQ(ov::ModuleLiveCount::Get(), 1) << "only the module information object is left";

    const long calls = core_->Calls().Total();
    EXPECT_EQ(Extension()->Finalize(), S_OK);
    EXPECT_EQ(core_->Calls().Total(), calls) << "a second Finalize called the host";
}

TEST_F(ModuleInfTest, UnloadTellsEveryListenerThenFinalizesThenDropsTheObjectAndTheTypeLibraries) {
    ASSERT_EQ(ov::TypeLibCache::Load(L"stdole2.tlb"), S_OK);

    ComPtr<CovWPFControlsHookModuleInf> module = Module();
    Initialize();
    auto make = [this](const wchar_t* name) { return ov::Create<Listener>(name, log_); };
    ComPtr<Listener> a = make(L"a"), b = make(L"b"), lateA = make(L"lateA"), lateB = make(L"lateB");
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
    EXPECT_EQ(raw->Release(), 0u) << "someone else still holds the module object";
}

} // namespace
