#include "CommandLine.h"

#include "../services/Host.h"
#include "Inspect.h"
#include "Members.h"
#include "../log/LogFormat.h"
#include "Run.h"
#include "Test.h"

#include <algorithm>

// Declared by the Windows SDK, missing from mingw's oleauto.h (oleaut32 exports it).
extern "C" HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path, OLECHAR* helpDir);

namespace ovhost {
namespace {

constexpr const wchar_t* kProgram = L"OVHookX64";
constexpr const wchar_t* kVersion =
    L"OVHookX64 6.0.0 (x64 host for ovWPFControlsHook.dll, host interfaces Orvane 6.0)";

std::wstring Hex(long hr) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::wstring UsageLine(const Command& command) {
    std::wstring line = std::wstring(kProgram) + L" " + command.name;
    if (*command.arguments) line += std::wstring(L" ") + command.arguments;
    return line;
}

// Words of `text` in lines of at most `width` characters, each line after `indent`.
std::wstring Wrap(std::wstring_view text, size_t width, const std::wstring& indent) {
    std::wstring out, line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L' ', start);
        if (end == std::wstring_view::npos) end = text.size();
        std::wstring_view word = text.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            out += indent + line + L"\n";
            line.clear();
        }
        line += (line.empty() ? L"" : L" ") + std::wstring(word);
        start = end + 1;
    }
    if (!line.empty()) out += indent + line + L"\n";
    return out;
}

std::wstring Help() {
    std::wstring text = std::wstring(L"Usage: ") + kProgram + L" COMMAND [ARGUMENTS]\n       " + kProgram +
                        L" --version | --help\n       " + kProgram + L" COMMAND --help\n\nCommands:\n";
    for (const Command& c : Commands())
        text += L"  " + UsageLine(c) + L"\n" + Wrap(c.summary, 74, L"      ");
    text +=
        L"\n" +
        Wrap(L"Exit codes: 0 success, 1 the command failed (test: a script failed), 2 (run) the script "
             L"failed, 3 the module (run, inspect: or the application) cannot be loaded, 4 (run) the script "
             L"was stopped at its time limit, 64 a wrong command line.",
             80, L"");
    return text;
}

// What a registered module object is, from the interfaces it answers.
std::wstring Describe(IUnknown* object, bool advised) {
    std::wstring kinds;
    auto add = [&](const wchar_t* kind) { kinds += (kinds.empty() ? L"" : L", ") + std::wstring(kind); };
    if (ov::QueryAs<IovScriptEventRecorder>(object)) add(L"event recorder");
    if (ov::QueryAs<IovModuleExtendedObjects>(object)) add(L"extender");
    if (kinds.empty()) add(L"module object");
    if (auto disposable = ov::QueryAs<IbxDisposable>(object)) {
        ov::Bstr name;
        if (SUCCEEDED(disposable->GetName(name.Put())) && !name.Empty())
            kinds += L" \"" + std::wstring(name.View()) + L"\"";
    }
    if (advised) kinds += L", receives the module manager's events";
    return kinds;
}

} // namespace

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {L"check", L"",
         L"Loads ovWPFControlsHook.dll from this program's folder (or its Extensions subfolder), shows the "
         L"module objects it registers, unloads it and prints the log.",
         0, 0, &RunCheck},
        {L"run",
         L"[--log FILE] [--junit FILE] [--timeout SECONDS] [--verbose] [--dump FILE] [--picture FILE.svg] "
         L"APP.xaml SCRIPT",
         L"Reads the application from APP.xaml (WPF XAML), loads ovWPFControlsHook.dll, runs SCRIPT (JScript "
         L"for .js, VBScript for .vbs) against it and prints the log as it grows. --log FILE also writes the "
         L"log as JSON lines (never over the application or the script); --junit FILE writes the run as a "
         L"JUnit report (a testcase for the script and for each Log.Check); --timeout stops the script after "
         L"SECONDS (default 300, 0 for none); --verbose tells what is alive after the run. Exit codes: 0 no "
         L"error logged, 1 an error logged, 2 the script failed, 3 the application or the module could not "
         L"be loaded, 4 the script was stopped at its time limit, 64 a wrong command line. --dump FILE "
         L"writes "
         L"the state of every element at the end; --picture FILE.svg draws the application's windows as "
         L"they stand at the first error, or at the end.",
         2, 13, &RunRun},
        {L"record",
         L"[--log FILE] [--junit FILE] [--timeout SECONDS] [--verbose] [--dump FILE] [--picture FILE.svg] "
         L"APP.xaml ACTIONS --out RECORDED",
         L"Runs ACTIONS (a script of User actions) as run does, with the recorder on from the start, and "
         L"writes "
         L"the recorded statements to RECORDED in its language (JScript for .js, VBScript for .vbs); "
         L"OVHookX64 run APP.xaml RECORDED replays them. Exit codes as run.",
         4, 15, &RunRecord},
        {L"inspect", L"[--visual] [--json] [--members] [--picture FILE.svg] APP.xaml",
         L"Loads ovWPFControlsHook.dll and the application as run does and prints the host's object tree, "
         L"one line per object, indented: the element's name (or -), its .NET class, the kind the module "
         L"gives it (WPFControlType value and name), its screen rectangle (left, top, width, height), for "
         L"named controls the script statement that reaches it (App.Find(\"name\")), its text and its "
         L"states; below a control its items, tree nodes and menu items with the indexes, texts and paths "
         L"its members take. Template parts are left out unless --visual is given; --members lists what a "
         L"script calls on each control; --json writes the same tree as one JSON document; --picture "
         L"FILE.svg draws the windows. Exit codes: 0 the tree was printed, 3 the application or the module "
         L"could not be loaded, 64 a wrong command line.",
         1, 6, &RunInspect},
        {L"members", L"[KIND]",
         L"Prints the members a script can call on the automation object of every kind (or of KIND, a "
         L"WPFControlType name such as ctrlWPFListBox, or its value) and on the objects they hand out, read "
         L"from the type libraries: kind, arguments with defaults, result, DISPID and help string, as "
         L"Markdown (docs/members.md is this output). Exit codes: 0 printed, 3 the module could not be "
         L"loaded, 64 a wrong command line or an unknown kind.",
         0, 1, &RunMembers},
        {L"test", L"[--junit FILE] [--timeout SECONDS] [--verbose] SCRIPT|FOLDER...",
         L"Runs each script (a folder: its .js and .vbs files) against its application, named on the "
         L"script's "
         L"first line (// app: FILE.xaml, ' app: FILE.xaml in VBScript; relative to the script) or the .xaml "
         L"file of the script's name beside it, as run does and in a process of its own. Prints a line per "
         L"script (passed, or the exit code's meaning and the errors logged) and closes with \"N passed, M "
         L"failed\". --junit FILE writes one testsuite with a testcase per script and per Log.Check; "
         L"--timeout is each script's; --verbose prints each script's output. Exit codes: 0 every script "
         L"passed, 1 one or more failed, 64 a wrong command line.",
         1, 100000, &RunTest},
    };
    return commands;
}

int RunCommandLine(const std::vector<std::wstring>& arguments, const std::wstring& productFolder,
                   const Console& console) {
    auto usageError = [&](const std::wstring& message) {
        console.err(std::wstring(kProgram) + L": " + message + L"\nRun " + kProgram +
                    L" --help for the commands.\n");
        return ExitUsage;
    };
    if (arguments.empty()) {
        console.err(Help());
        return ExitUsage;
    }
    const std::wstring& first = arguments.front();
    if (first == L"--version") {
        if (arguments.size() > 1) return usageError(L"--version takes no arguments.");
        console.out(std::wstring(kVersion) + L"\n");
        return ExitOk;
    }
    if (first == L"--help" || first == L"-h" || first == L"/?") {
        console.out(Help());
        return ExitOk;
    }
    if (first.starts_with(L"-")) return usageError(L"unknown option '" + first + L"'.");

    const auto& commands = Commands();
    auto command =
        std::find_if(commands.begin(), commands.end(), [&](const Command& c) { return first == c.name; });
    if (command == commands.end()) return usageError(L"unknown command '" + first + L"'.");

    Invocation invocation{{arguments.begin() + 1, arguments.end()}, productFolder, console};
    if (invocation.arguments.size() == 1 &&
        (invocation.arguments[0] == L"--help" || invocation.arguments[0] == L"-h")) {
        console.out(L"Usage: " + UsageLine(*command) + L"\n" + Wrap(command->summary, 80, L""));
        return ExitOk;
    }
    size_t n = invocation.arguments.size();
    if (n < command->minArguments || n > command->maxArguments) {
        console.err(std::wstring(kProgram) + L" " + command->name + L": wrong number of arguments.\nUsage: " +
                    UsageLine(*command) + L"\n");
        return ExitUsage;
    }
    return command->run(invocation);
}

long RegisterHostTypeLibrary(const std::wstring& programPath) {
    std::wstring resource = programPath + L"\\3";
    // Registered already for this program: done (registering again costs wine's RegisterTypeLib eight
    // registry handles a call, never closed).
    ov::Bstr path;
    if (SUCCEEDED(QueryPathOfRegTypeLib(LIBID_Orvane, 6, 0, LOCALE_NEUTRAL, path.Put())) &&
        _wcsicmp(std::wstring(path.View()).c_str(), resource.c_str()) == 0) {
        ov::ComPtr<ITypeLib> registered;
        if (SUCCEEDED(LoadRegTypeLib(LIBID_Orvane, 6, 0, LOCALE_NEUTRAL, registered.Put()))) return S_OK;
    }
    ov::ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLib(resource.c_str(), library.Put());
    if (FAILED(hr)) return hr;
    hr = RegisterTypeLib(library.Get(), resource.data(), nullptr);
    // Without the rights for the machine-wide registration, the user's own does.
    if (FAILED(hr)) hr = RegisterTypeLibForUser(library.Get(), resource.data(), nullptr);
    if (FAILED(hr)) return hr;
    ov::ComPtr<ITypeLib> registered;
    return LoadRegTypeLib(LIBID_Orvane, 6, 0, LOCALE_NEUTRAL, registered.Put());
}

int RunCheck(const Invocation& invocation) {
    const Console& console = invocation.console;
    auto say = [&](const std::wstring& line) { console.out(line + L"\n"); };
    std::vector<std::wstring> failures;

    std::wstring program = invocation.productFolder + L"\\OVHookX64.exe";
    if (long hr = RegisterHostTypeLibrary(program); FAILED(hr))
        failures.push_back(L"the host type library " + program + L"\\3 cannot be registered (" + Hex(hr) +
                           L")");
    else
        say(L"host type library Orvane 6.0 registered from " + program + L"\\3");

    Host host(invocation.productFolder);
    try {
        host.LoadModule();
    } catch (const LoadError& e) {
        console.err(std::wstring(kProgram) + L" check: " + e.Reason() + L"\n");
        return ExitModuleNotLoaded;
    }
    say(L"loaded " + host.ModulePath());

    size_t recorders = 0, extenders = 0;
    say(L"registered module objects: " + std::to_wstring(host.Modules().size()));
    for (const auto& module : host.Modules()) {
        bool advised =
            std::any_of(host.Core().Sinks().begin(), host.Core().Sinks().end(), [&](const auto& sink) {
                return ov::QueryAs<IUnknown>(sink.Get()) == ov::QueryAs<IUnknown>(module.object.Get());
            });
        if (ov::QueryAs<IovScriptEventRecorder>(module.object.Get())) ++recorders;
        if (ov::QueryAs<IovModuleExtendedObjects>(module.object.Get())) ++extenders;
        say(L"  " + GuidText(module.key) + L"  " + Describe(module.object.Get(), advised));
    }
    if (recorders != 1 || extenders != 1)
        failures.push_back(L"expected one event recorder and one extender, found " +
                           std::to_wstring(recorders) + L" and " + std::to_wstring(extenders));
    if (host.SinkCount() == 0) failures.push_back(L"no module object receives the module manager's events");

    host.UnloadModule();
    auto notified = host.UnloadNotifications();
    say(L"finalised and unloaded; unload listener called " + std::to_wstring(notified.size()) + L" time(s)" +
        (notified.empty() ? L"" : L" for " + notified.front()));
    if (!host.Modules().empty() || host.SinkCount() != 0)
        failures.push_back(L"registrations remain after unloading");
    if (notified.size() != 1 || notified.front() != ModuleFileName)
        failures.push_back(std::wstring(L"the unload listener was not called once for ") + ModuleFileName);

    say(L"log: " + std::to_wstring(host.Log().size()) + L" entr" + (host.Log().size() == 1 ? L"y" : L"ies"));
    for (const LogEntry& entry : host.Log()) {
        console.out(FormatLogEntry(entry));
        if (entry.kind == LogError) failures.push_back(L"the log holds an error");
    }

    if (failures.empty()) {
        say(L"check passed");
        return ExitOk;
    }
    std::wstring reasons;
    for (const auto& f : failures)
        reasons += (reasons.empty() ? L"" : L"; ") + f;
    console.err(std::wstring(kProgram) + L" check failed: " + reasons + L".\n");
    return ExitFailed;
}

} // namespace ovhost
