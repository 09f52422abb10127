// Memory of a long scroll loop: `OVHookX64 run` (in this process) runs a JScript that scrolls a virtualized
// list of 200 items through the module's scroll object (`VScroll.Pos`) and one that clicks its items by
// index (`ClickItem`, which brings each into view), 10,000 steps each, and one that only logs the click's
// message (what the log's growth alone is). The script logs a line after 1,000
// steps and after the last; at each line the process's resident size (working set) and commit charge are
// read. Containers scrolled out of view are released as WPF's VirtualizingStackPanel releases them, so the
// size after 10,000 steps stays within a few MB of the size after 1,000. Figures from one run; --quick runs
// 50 and 500 steps for CI (it checks that the benchmark works, not its figures).
#include "BenchFiles.h"
#include "host/cli/CommandLine.h"
#include "host/services/Host.h"

#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

struct Memory {
    double resident = 0, committed = 0; // MB
};

Memory Now() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    constexpr double MB = 1024.0 * 1024.0;
    return {static_cast<double>(counters.WorkingSetSize) / MB,
            static_cast<double>(counters.PagefileUsage) / MB};
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const bool quick = argc > 1 && std::wstring(argv[1]) == L"--quick";
    const long early = quick ? 50 : 1000, steps = early * 10;
    const std::wstring folder = ovhost::ExecutableFolder();
    const std::wstring base = ovbench::TempBase(L"ovbench_scroll");
    std::string xaml = "<Window xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\" "
                       "xmlns:sys=\"clr-namespace:System;assembly=mscorlib\" Name=\"main\">"
                       "<ListBox Name=\"list\" Height=\"120\" Width=\"200\">";
    for (int i = 0; i < 200; ++i)
        xaml += "<sys:String>document-" + std::to_string(i) + ".txt</sys:String>";
    const std::wstring app = ovbench::Write(base + L".xaml", xaml + "</ListBox></Window>");

    const struct {
        const char* name;
        const char* step; // the body of the loop, with i from 1
    } loops[] = {
        {"VScroll.Pos", "scroll.Pos = (i * 37) % 190;"},
        {"ClickItem(i)", "list.ClickItem((i * 37) % 200);"},
        // What the click's log message alone costs: the log keeps every message for the run's report.
        {"Log.Message", "Log.Message(\"The listbox item 'document-\" + (i * 37) % 200 + \".txt' was clicked "
                        "with the left mouse button.\");"},
    };
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool ok = true;
    for (const auto& loop : loops) {
        const std::string script = "var list = App.Find(\"list\"), scroll = list.VScroll;\n"
                                   "for (var i = 1; i <= " +
                                   std::to_string(steps) + "; ++i) {\n  " + loop.step +
                                   "\n  if (i == " + std::to_string(early) +
                                   " || i == " + std::to_string(steps) + ") Log.Message(\"step \" + i);\n}\n";
        const std::wstring path = ovbench::Write(base + L".js", script);
        Memory before = Now(), atEarly, atEnd;
        int marks = 0;
        ovhost::Console console{[&](std::wstring_view line) {
                                    if (line.find(L"step ") == std::wstring_view::npos) return;
                                    (marks++ == 0 ? atEarly : atEnd) = Now();
                                },
                                [](std::wstring_view) {}};
        const int code = ovhost::RunCommandLine({L"run", L"--timeout", L"0", app, path}, folder, console);
        DeleteFileW(path.c_str());
        std::printf(
            "%-12s resident +%.1f MB after %ld steps, +%.1f MB after %ld: %+.1f MB more (committed %+.1f "
            "MB)\n",
            loop.name, atEarly.resident - before.resident, early, atEnd.resident - before.resident, steps,
            atEnd.resident - atEarly.resident, atEnd.committed - atEarly.committed);
        if (code != 0 || marks != 2) {
            std::printf("FAILED: the run ended with %d after %d of 2 marks\n", code, marks);
            ok = false;
        }
    }
    DeleteFileW(app.c_str());
    CoUninitialize();
    return ok ? 0 : 1;
}
