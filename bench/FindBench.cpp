// Memory of a script that asks for automation objects in a loop: `OVHookX64 run` (in this process) runs a
// JScript and a VBScript that call App.Find N times, first with a small N, then with ten times as many,
// while a thread samples the process's commit charge. The objects live as long as the script holds them,
// so the long run grows no more than the short one: a growth ratio near 1 and about 0 bytes per further
// call (a script that keeps every object shows some 500 bytes per call). Figures from one run; --quick
// runs small counts for CI (it checks that the benchmark works, not its figures).
#include "BenchFiles.h"
#include "host/cli/CommandLine.h"
#include "host/services/Host.h"

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    // The commit charge: the same as PrivateUsage, which not every system fills in.
    return counters.PagefileUsage;
}

struct Sample {
    int code;
    double megabytes; // the highest private bytes during the run above those before it
    double seconds;
};

// Runs the script and samples the private bytes every 5 ms.
Sample Measure(const std::wstring& folder, const std::wstring& app, const std::wstring& script) {
    std::atomic<bool> done{false};
    const size_t before = PrivateBytes();
    size_t peak = before;
    std::thread sampler([&] {
        while (!done) {
            peak = std::max(peak, PrivateBytes());
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    ovhost::Console quiet{[](std::wstring_view) {}, [](std::wstring_view) {}};
    const auto start = std::chrono::steady_clock::now();
    int code = ovhost::RunCommandLine({L"run", L"--timeout", L"0", app, script}, folder, quiet);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    done = true;
    sampler.join();
    peak = std::max(peak, PrivateBytes());
    return {code, static_cast<double>(peak - before) / (1024.0 * 1024.0), seconds};
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const bool quick = argc > 1 && std::wstring(argv[1]) == L"--quick";
    const long small = quick ? 1000 : 10000, large = small * 10;
    const std::wstring folder = ovhost::ExecutableFolder();
    const std::wstring base = ovbench::TempBase(L"ovbench_find");
    const std::wstring app = ovbench::Write(
        base + L".xaml",
        "<Window xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\" "
        "Name=\"main\"><StackPanel><Button Name=\"ok\" Content=\"OK\"/></StackPanel></Window>");
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool ok = true;
    for (const char* language : {"js", "vbs"}) {
        Sample samples[2];
        for (int i = 0; i < 2; ++i) {
            const std::string n = std::to_string(i == 0 ? small : large);
            const std::string text =
                language == std::string("js")
                    ? "for (var i = 0; i < " + n + "; ++i) { var found = App.Find(\"ok\"); }\n"
                    : "Dim i, found\r\nFor i = 1 To " + n + "\r\nSet found = App.Find(\"ok\")\r\nNext\r\n";
            const std::wstring script = base + (language == std::string("js") ? L".js" : L".vbs");
            samples[i] = Measure(folder, app, ovbench::Write(script, text));
            DeleteFileW(script.c_str());
        }
        // What the calls of the long run added beyond those of the short one, per call: near 0 when flat.
        const double perCall = std::max(0.0, samples[1].megabytes - samples[0].megabytes) * 1024.0 * 1024.0 /
                               static_cast<double>(large - small);
        std::printf("%-3s App.Find x %ld: +%.2f MB in %.2f s; x %ld: +%.2f MB in %.2f s; growth ratio %.2f "
                    "(flat near 1); %.1f bytes per further call; %.2f us per call\n",
                    language, small, samples[0].megabytes, samples[0].seconds, large, samples[1].megabytes,
                    samples[1].seconds, samples[1].megabytes / std::max(samples[0].megabytes, 0.01), perCall,
                    1e6 * samples[1].seconds / static_cast<double>(large));
        if (samples[0].code != 0 || samples[1].code != 0) {
            std::printf("FAILED: the run ended with %d and %d\n", samples[0].code, samples[1].code);
            ok = false;
        }
    }
    DeleteFileW(app.c_str());
    CoUninitialize();
    return ok ? 0 : 1;
}
