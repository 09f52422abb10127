// Load and unload: the main job's whole life, from loading the module to freeing it, a hundred times in one
// process, each time with objects that the "script" still holds when the module goes. Those must fail
// cleanly afterwards (the run's end disconnects them), nothing may stay alive, and the process's memory
// and handles must not grow with the cycles.
#include "Session.h"

#include "host/services/HostCom.h"
#include "wpfsim/ClrObject.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdio>

namespace {

struct Usage {
    size_t privateBytes = 0;
    DWORD handles = 0;
};

Usage Now() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    Usage usage;
    // The commit charge: the same as PrivateUsage, which not every system fills in.
    usage.privateBytes = counters.PagefileUsage;
    // Counted one by one: wine answers GetProcessHandleCount with 0.
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++usage.handles;
    }
    return usage;
}

constexpr int kCycles = 100;
constexpr int kSettled = 10; // the first cycles fill caches of the system (type libraries, engines)

// One cycle's use of the module: a click, a state change, a text, an item pick, and two objects kept.
std::vector<ov::ComPtr<IDispatch>> UseAndKeep(reltest::Session& session, int cycle) {
    using reltest::Invoke;
    auto ok = session.Find(L"ok");
    auto check = session.Find(L"check");
    auto edit = session.Find(L"edit");
    auto list = session.Find(L"list");
    if (!ok || !check || !edit || !list) throw std::runtime_error("an object of the application is missing");
    auto expect = [&](HRESULT hr, const char* what) {
        if (FAILED(hr)) ADD_FAILURE() << "cycle " << cycle << ": " << what << " failed: " << std::hex << hr;
    };
    expect(Invoke(ok.Get(), L"ClickButton", DISPATCH_METHOD), "ClickButton");
    expect(Invoke(check.Get(), L"wState", DISPATCH_PROPERTYPUT, {ov::Variant::Int(cycle % 2)}), "wState");
    expect(Invoke(edit.Get(), L"wText", DISPATCH_PROPERTYPUT, {ov::Variant::String(L"cycle")}), "wText");
    expect(Invoke(list.Get(), L"ClickItem", DISPATCH_METHOD, {ov::Variant::Int(cycle % 3)}), "ClickItem");
    for (const auto& entry : session.Host().Log())
        if (entry.kind == ovhost::LogError)
            ADD_FAILURE() << "cycle " << cycle << ": " << std::string(entry.text.begin(), entry.text.end());
    return {ok, list};
}

TEST(CyclesTest, HundredLoadUnloadCyclesWithHeldObjectsLeaveNothingAndStayFlat) {
    const long hostBaseline = ovhost::LiveObjects(), simBaseline = wpfsim::LiveObjects();
    Usage settled, last;
    size_t stillReferenced = 0, disconnected = 0;
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        std::vector<ov::ComPtr<IDispatch>> kept;
        {
            reltest::Session session;
            kept = UseAndKeep(session, cycle);
            stillReferenced += session.End();
        }
        // The module is gone: what the script kept answers, and answers that it is disconnected.
        for (auto& object : kept) {
            ov::Variant count;
            if (reltest::Invoke(object.Get(), 0x350d013 /* wItemCount */, DISPATCH_PROPERTYGET, {}, &count) ==
                RPC_E_DISCONNECTED)
                ++disconnected;
        }
        kept.clear();
        ASSERT_EQ(ovhost::LiveObjects(), hostBaseline) << "cycle " << cycle;
        ASSERT_EQ(wpfsim::LiveObjects(), simBaseline) << "cycle " << cycle;
        if (cycle == kSettled) settled = Now();
        if (cycle == kCycles) last = Now();
    }
    const double bytesPerCycle =
        (static_cast<double>(last.privateBytes) - static_cast<double>(settled.privateBytes)) /
        (kCycles - kSettled);
    std::printf("[ cycles ] %d load/unload cycles: %zu objects held at unload, %zu disconnected afterwards; "
                "private bytes %zu at cycle %d, %zu at cycle %d (%.0f per cycle); handles %lu, %lu\n",
                kCycles, stillReferenced, disconnected, settled.privateBytes, kSettled, last.privateBytes,
                kCycles, bytesPerCycle, static_cast<unsigned long>(settled.handles),
                static_cast<unsigned long>(last.handles));
    EXPECT_EQ(stillReferenced, 2u * kCycles);
    EXPECT_EQ(disconnected, 2u * kCycles);
    EXPECT_LE(last.handles, settled.handles + 4) << "handles grow with the cycles";
    // Under wine a bare LoadLibrary and FreeLibrary of the module keeps about 37 KB per cycle (the
    // statically linked runtime's part is 4 KB; the rest is not found yet); a leaked application or module
    // instance per cycle costs more than the margin above that.
    // Under the heap checks (the run without the string cache) freed blocks are held back: figures only.
    if (!GetEnvironmentVariableW(L"OANOCACHE", nullptr, 0)) {
        EXPECT_LT(bytesPerCycle, 64 * 1024.0) << "memory grows with the cycles";
    }
}

} // namespace
