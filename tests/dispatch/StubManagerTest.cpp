// The stub manager with objects that register themselves as the hook objects do and that see their
// disconnection: CoDisconnectObject hands it to an object's own IMarshal.
#include "dispatch/StubManager.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace {

using ov::ComPtr;
using ov::CStubManager;
using TestLiveCount = ov::LiveCount<struct TestTag>;

class Stub : public IMarshal {
public:
    using Interfaces = ov::Interfaces<IMarshal>;
    using LiveCounter = TestLiveCount;

    explicit Stub(CStubManager* manager) : manager_(manager) {}
    ~Stub() { manager_->Remove(identity_); }
    HRESULT FinalConstruct() {
        identity_ = ov::IdentityOf(this);
        manager_->Add(identity_);
        return S_OK;
    }

    IUnknown* Identity() const noexcept { return identity_; }
    int disconnects = 0;
    std::function<void(Stub&)> onDisconnect;

    HRESULT STDMETHODCALLTYPE DisconnectObject(DWORD) override {
        ++disconnects;
        if (onDisconnect) onDisconnect(*this);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUnmarshalClass(REFIID, void*, DWORD, void*, DWORD, CLSID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetMarshalSizeMax(REFIID, void*, DWORD, void*, DWORD, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MarshalInterface(IStream*, REFIID, void*, DWORD, void*, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE UnmarshalInterface(IStream*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReleaseMarshalData(IStream*) override { return E_NOTIMPL; }

    CStubManager& Manager() const noexcept { return *manager_; }

private:
    ComPtr<CStubManager> manager_; // hook objects keep their stub manager alive
    IUnknown* identity_ = nullptr;
};

double MillisecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

class StubManagerTest : public testing::Test {
protected:
    void TearDown() override {
        manager_.Reset();
        EXPECT_EQ(TestLiveCount::Get(), 0) << "test objects left alive";
    }
    ComPtr<Stub> MakeStub() { return ov::Create<Stub>(manager_.Get()); }

    ComPtr<CStubManager> manager_ = ov::Create<CStubManager>();
};

TEST_F(StubManagerTest, KeepsOneEntryPerObject) {
    ComPtr<Stub> a = MakeStub();
    IUnknown* unknown = reinterpret_cast<IUnknown*>(0x1000); // never called: the manager keeps identities
    struct Step {
        const char* what;
        std::function<void()> action;
        size_t count;
    } steps[] = {
        {"registered at creation", [] {}, 1},
        {"added again", [&] { manager_->Add(a->Identity()); }, 1},
        {"another added", [&] { manager_->Add(unknown); }, 2},
        {"an unknown one removed", [&] { manager_->Remove(reinterpret_cast<IUnknown*>(0x2000)); }, 2},
        {"the other removed", [&] { manager_->Remove(unknown); }, 1},
        {"the stub goes", [&] { a.Reset(); }, 0},
    };
    for (const Step& s : steps) {
        s.action();
        EXPECT_EQ(manager_->Count(), s.count) << s.what;
    }
}

TEST_F(StubManagerTest, DisconnectAllReachesEveryRegisteredObjectOnce) {
    std::vector<ComPtr<Stub>> stubs;
    for (int i = 0; i < 4; ++i)
        stubs.push_back(MakeStub());
    manager_->Remove(stubs[3]->Identity()); // handed out, then taken back

    manager_->DisconnectAll();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(stubs[i]->disconnects, 1) << i;
    EXPECT_EQ(stubs[3]->disconnects, 0);
    EXPECT_EQ(manager_->Count(), 3u) << "disconnecting does not unregister";
}

TEST_F(StubManagerTest, ObjectsRemovedDuringTheWalkAreNotDisconnected) {
    ComPtr<Stub> a = MakeStub(), b = MakeStub();
    // Whichever comes first takes the other out of the manager.
    a->onDisconnect = [&](Stub& self) { self.Manager().Remove(b->Identity()); };
    b->onDisconnect = [&](Stub& self) { self.Manager().Remove(a->Identity()); };
    manager_->DisconnectAll();
    EXPECT_EQ(a->disconnects + b->disconnects, 1);
    EXPECT_EQ(manager_->Count(), 1u);
}

TEST_F(StubManagerTest, AnObjectMayRemoveItselfFromAnotherThreadWhileBeingDisconnected) {
    ComPtr<Stub> a = MakeStub(), b = MakeStub();
    std::vector<DWORD> waits;
    auto removeFromAnotherThread = [&](Stub& self) {
        // The job keeps the manager alive, so that a thread still blocked when the test ends finishes safely.
        struct Job {
            ComPtr<CStubManager> manager;
            IUnknown* object;
        };
        auto* job = new Job{ComPtr<CStubManager>(&self.Manager()), self.Identity()};
        HANDLE thread = CreateThread(
            nullptr, 0,
            [](void* p) -> DWORD {
                std::unique_ptr<Job> j(static_cast<Job*>(p));
                j->manager->Remove(j->object);
                return 0;
            },
            job, 0, nullptr);
        // The manager's lock is not held during the disconnection, so the other thread gets through.
        waits.push_back(WaitForSingleObject(thread, 2000));
        CloseHandle(thread);
    };
    a->onDisconnect = removeFromAnotherThread;
    b->onDisconnect = removeFromAnotherThread;
    manager_->DisconnectAll();
    EXPECT_EQ(waits, (std::vector<DWORD>{WAIT_OBJECT_0, WAIT_OBJECT_0}));
    EXPECT_EQ(manager_->Count(), 0u);
}

TEST_F(StubManagerTest, ShutdownReturnsAsSoonAsTheObjectsAreGone) {
    std::vector<ComPtr<Stub>> holders;
    for (int i = 0; i < 3; ++i)
        holders.push_back(MakeStub());
    // Disconnecting drops the last outside reference, as it does for objects held only by remote callers.
    for (size_t i = 0; i < holders.size(); ++i)
        holders[i]->onDisconnect = [&holders, i](Stub&) { holders[i].Reset(); };
    LARGE_INTEGER start = Now();
    manager_->Shutdown();
    double elapsed = MillisecondsSince(start);
    EXPECT_EQ(manager_->Count(), 0u);
    EXPECT_LT(elapsed, 500.0);
}

TEST_F(StubManagerTest, ShutdownGivesUpAfterAboutOneSecondWhileAnotherThreadHoldsAnObject) {
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ComPtr<Stub> held = MakeStub();
    Stub* observed = held.Get();
    std::thread holder([release, stub = std::move(held)]() mutable {
        WaitForSingleObject(release, 10000);
        stub.Reset();
    });

    LARGE_INTEGER start = Now();
    manager_->Shutdown();
    double elapsed = MillisecondsSince(start);
    EXPECT_EQ(observed->disconnects, 1);
    EXPECT_EQ(manager_->Count(), 1u) << "the held object stays registered";

    SetEvent(release);
    holder.join();
    CloseHandle(release);
    EXPECT_EQ(manager_->Count(), 0u);
    EXPECT_GE(elapsed, 990.0);
    EXPECT_LT(elapsed, 1500.0);
}

} // namespace
