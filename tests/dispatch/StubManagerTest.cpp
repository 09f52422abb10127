// Stubs register as the hook objects do; CoDisconnectObject hands the disconnection to their own IMarshal.
#include "dispatch/StubManager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>
#include <vector>

namespace {

using ov::ComPtr;
using ov::CStubManager;
using TestLiveCount = ov::LiveCount<struct TestTag>;

#define OV_NOTIMPL(name, ...)                                                                                \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override {                                                   \
        return E_NOTIMPL;                                                                                    \
    }

class Stub : public IMarshal, public ov::WeakTarget {
public:
    using Interfaces = ov::Interfaces<IMarshal>;
    using LiveCounter = TestLiveCount;
    explicit Stub(CStubManager* manager) : manager(manager) {}
    void FinalRelease() noexcept {
        if (onFinalRelease) onFinalRelease(*this);
        manager->Remove(identity);
    }
    HRESULT FinalConstruct() {
        identity = ov::IdentityOf(this);
        manager->Add(identity, *this);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DisconnectObject(DWORD) override {
        ++disconnects;
        if (onDisconnect) onDisconnect(*this);
        return S_OK;
    }
    OV_NOTIMPL(GetUnmarshalClass, REFIID, void*, DWORD, void*, DWORD, CLSID*)
    OV_NOTIMPL(GetMarshalSizeMax, REFIID, void*, DWORD, void*, DWORD, DWORD*)
    OV_NOTIMPL(MarshalInterface, IStream*, REFIID, void*, DWORD, void*, DWORD)
    OV_NOTIMPL(UnmarshalInterface, IStream*, REFIID, void**)
    OV_NOTIMPL(ReleaseMarshalData, IStream*)

    ComPtr<CStubManager> manager; // hook objects keep their stub manager alive
    IUnknown* identity = nullptr;
    int disconnects = 0;
    std::function<void(Stub&)> onDisconnect;
    std::function<void(Stub&)> onFinalRelease; // runs while the stub is still registered, its count at 0
};

class StubManagerTest : public testing::Test {
protected:
    void TearDown() override {
        manager.Reset();
        EXPECT_EQ(TestLiveCount::Get(), 0) << "test objects left alive";
    }
    ComPtr<Stub> MakeStub() { return ov::Create<Stub>(manager.Get()); }
    double TimedShutdown() {
        const auto start = std::chrono::steady_clock::now();
        manager->Shutdown();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    ComPtr<CStubManager> manager = ov::Create<CStubManager>();
};

TEST_F(StubManagerTest, DisconnectAllReachesEveryRegisteredObjectOnce) {
    std::vector<ComPtr<Stub>> stubs(4);
    for (auto& stub : stubs)
        stub = MakeStub();
    manager->Add(stubs[0]->identity, *stubs[0]);          // added again: still one entry
    manager->Remove(reinterpret_cast<IUnknown*>(0x2000)); // never registered
    manager->Remove(stubs[3]->identity);
    // Whichever of two comes first takes the other out: that one is not disconnected.
    stubs[1]->onDisconnect = [&](Stub&) { manager->Remove(stubs[2]->identity); };
    stubs[2]->onDisconnect = [&](Stub&) { manager->Remove(stubs[1]->identity); };
    manager->DisconnectAll();
    EXPECT_EQ(stubs[0]->disconnects, 1);
    EXPECT_EQ(stubs[1]->disconnects + stubs[2]->disconnects, 1);
    EXPECT_EQ(stubs[3]->disconnects, 0);
    EXPECT_EQ(manager->Count(), 2u) << "disconnecting does not unregister";
    stubs.clear();
    EXPECT_EQ(manager->Count(), 0u);
}

TEST_F(StubManagerTest, DisconnectAllHoldsEachObjectThroughItsDisconnectionAndRevivesNoDyingOne) {
    // The last outside reference goes during the disconnection (another thread's release, or the stub's
    // own remote callers): the manager's reference keeps the object alive until the call is over.
    ComPtr<Stub> stub = MakeStub();
    long aliveAfterRelease = -1;
    stub->onDisconnect = [&](Stub&) {
        stub.Reset();
        aliveAfterRelease = TestLiveCount::Get();
    };
    manager->DisconnectAll();
    EXPECT_EQ(aliveAfterRelease, 1);
    EXPECT_EQ(TestLiveCount::Get(), 0) << "gone once the manager let go";

    // An object whose last release is under way is still registered until it has left: it is neither
    // disconnected nor brought back.
    ComPtr<Stub> dying = MakeStub();
    int disconnectsWhileDying = -1;
    dying->onFinalRelease = [&](Stub& self) {
        manager->DisconnectAll();
        disconnectsWhileDying = self.disconnects;
    };
    dying.Reset();
    EXPECT_EQ(disconnectsWhileDying, 0);
    EXPECT_EQ(TestLiveCount::Get(), 0);
}

TEST_F(StubManagerTest, ShutdownWaitsForTheObjectsAtMostAboutOneSecond) {
    // Disconnecting drops the last outside reference, as it does for objects held only by remote callers.
    std::vector<ComPtr<Stub>> gone(3);
    for (auto& stub : gone) {
        stub = MakeStub();
        stub->onDisconnect = [&stub](Stub&) { stub.Reset(); };
    }
    EXPECT_LT(TimedShutdown(), 500.0);
    EXPECT_EQ(manager->Count(), 0u);

    std::promise<void> release;
    ComPtr<Stub> held = MakeStub();
    Stub* observed = held.Get();
    std::thread holder([done = release.get_future(), stub = std::move(held)]() mutable {
        done.wait();
        stub.Reset();
    });
    const double elapsed = TimedShutdown();
    EXPECT_EQ(observed->disconnects, 1);
    EXPECT_EQ(manager->Count(), 1u) << "the held object stays registered";
    release.set_value();
    holder.join();
    EXPECT_EQ(manager->Count(), 0u);
    EXPECT_GE(elapsed, 990.0);
    EXPECT_LT(elapsed, 1500.0);
}

} // namespace
