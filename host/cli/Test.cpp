#include "Test.h"

#include "Run.h"

#include "../log/JUnit.h"
#include "../log/LogFormat.h"

#include <shlwapi.h>

#include <algorithm>
#include <chrono>
#include <cwctype>
#include <memory>
#include <sstream>

namespace ovhost {

namespace {

constexpr const wchar_t* kCommand = L"OVHookX64 test";
constexpr const wchar_t* kUsage =
    L"Usage: OVHookX64 test [--junit FILE] [--timeout SECONDS] [--verbose] SCRIPT|FOLDER...";
// A run that outlives its own time limit by this much is ended from outside.
constexpr DWORD kGraceMs = 60000;

struct TestOptions {
    std::vector<std::wstring> paths;
    std::wstring junitFile, timeout;
    bool verbose = false;
};

std::wstring Lower(std::wstring text) {
    for (auto& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

bool IsScript(const std::wstring& name) {
    const std::wstring lower = Lower(name);
    return lower.ends_with(L".js") || lower.ends_with(L".vbs");
}

std::wstring Folder(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(n, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), n, full.data(), nullptr));
    return full;
}

std::wstring ParseTestOptions(const std::vector<std::wstring>& arguments, TestOptions& options) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& a = arguments[i];
        if (a == L"--junit" || a == L"--timeout") {
            if (++i == arguments.size()) return a + L" needs a value.";
            (a == L"--junit" ? options.junitFile : options.timeout) = arguments[i];
        } else if (a == L"--verbose") {
            options.verbose = true;
        } else if (a.starts_with(L"--")) {
            return L"unknown option '" + a + L"'.";
        } else {
            options.paths.push_back(a);
        }
    }
    if (options.paths.empty())
        return L"give the scripts (SCRIPT.js, SCRIPT.vbs) or folders of scripts to run.";
    return {};
}

// The scripts of the command line, each folder as its scripts in the order of their names.
std::wstring CollectScripts(const std::vector<std::wstring>& paths, std::vector<std::wstring>& scripts) {
    for (const std::wstring& path : paths) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return L"'" + path + L"' is neither a script nor a folder.";
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (!IsScript(path)) return L"'" + path + L"' is no script (.js or .vbs).";
            scripts.push_back(path);
            continue;
        }
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsScript(found.cFileName))
                    names.push_back(found.cFileName);
            while (FindNextFileW(search, &found));
            FindClose(search);
        }
        if (names.empty()) return L"the folder '" + path + L"' holds no scripts (.js or .vbs).";
        std::sort(names.begin(), names.end(),
                  [](const std::wstring& a, const std::wstring& b) { return Lower(a) < Lower(b); });
        const wchar_t separator = path.find(L'/') != std::wstring::npos ? L'/' : L'\\';
        const bool ends = path.ends_with(L'/') || path.ends_with(L'\\');
        for (const std::wstring& name : names)
            scripts.push_back(path + (ends ? L"" : std::wstring(1, separator)) + name);
    }
    return {};
}

std::wstring Utf8ToWide(const std::string& bytes) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    text.erase(std::remove(text.begin(), text.end(), L'\r'), text.end());
    return text;
}

// A file of the temporary folder, removed with this object.
class TempFile {
public:
    TempFile() {
        wchar_t folder[MAX_PATH + 1] = {}, name[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, folder);
        if (GetTempFileNameW(folder, L"ovt", 0, name)) path_ = name;
    }
    ~TempFile() {
        if (!path_.empty()) DeleteFileW(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::wstring& Path() const noexcept { return path_; }
    std::string Read() const {
        std::string bytes;
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return bytes;
        char buffer[65536];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
            bytes.append(buffer, got);
        CloseHandle(file);
        return bytes;
    }
    // A handle the child process inherits, writing the file from its start.
    HANDLE Inheritable() const {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        return CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

private:
    std::wstring path_;
};

// Runs `OVHookX64 run` on the script in a process of its own.
ScriptOutcome RunChild(const std::wstring& program, const std::wstring& app, const std::wstring& script,
                       const TestOptions& options) {
    ScriptOutcome outcome{script};
    TempFile out, err, log;
    std::wstring line = L"\"" + program + L"\" run --log \"" + log.Path() + L"\"";
    if (!options.timeout.empty()) line += L" --timeout " + options.timeout;
    line += L" \"" + app + L"\" \"" + script + L"\"";

    const auto started = std::chrono::steady_clock::now();
    std::unique_ptr<void, decltype(&CloseHandle)> outHandle(out.Inheritable(), &CloseHandle),
        errHandle(err.Inheritable(), &CloseHandle);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outHandle.get();
    startup.hStdError = errHandle.get();
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
        outcome.exitCode = ExitModuleNotLoaded;
        outcome.reason = L"the program " + program + L" cannot be started (error " +
                         std::to_wstring(GetLastError()) + L").";
        return outcome;
    }
    CloseHandle(process.hThread);
    // The run keeps its own time limit; a run that does not end long after it is ended here.
    const unsigned long seconds =
        options.timeout.empty() ? 300 : wcstoul(options.timeout.c_str(), nullptr, 10);
    const DWORD wait = seconds ? seconds * 1000 + kGraceMs : INFINITE;
    DWORD code = ExitTimeout;
    if (WaitForSingleObject(process.hProcess, wait) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, ExitTimeout);
    else
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    outHandle.reset();
    errHandle.reset();
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    outcome.exitCode = static_cast<int>(code);
    outcome.output = Utf8ToWide(out.Read());
    std::istringstream lines(log.Read());
    for (std::string json; std::getline(lines, json);)
        if (auto entry = ParseJsonLogLine(json)) outcome.entries.push_back(std::move(*entry));
    // A run that did not start says why on its error output.
    if (code == ExitModuleNotLoaded || code == ExitUsage) {
        outcome.reason = Utf8ToWide(err.Read());
        while (!outcome.reason.empty() && outcome.reason.back() == L'\n')
            outcome.reason.pop_back();
    }
    return outcome;
}

std::wstring Indented(const std::wstring& text) {
    std::wstring out;
    std::wistringstream lines(text);
    for (std::wstring line; std::getline(lines, line);)
        out += L"    " + line + L"\n";
    return out;
}

// A script's line, and below a failed one what failed.
std::wstring Report(const ScriptOutcome& run, bool verbose) {
    const bool passed = run.exitCode == 0;
    std::wstring text = std::wstring(passed ? L"passed  " : L"FAILED  ") + run.script;
    if (!passed) text += L": exit " + std::to_wstring(run.exitCode) + L", " + OutcomeText(run.exitCode);
    text += L"  (" + Seconds(run.seconds) + L" s)\n";
    if (verbose) return text + Indented(run.output);
    if (!run.reason.empty()) return text + Indented(run.reason);
    for (const LogEntry& entry : run.entries)
        if (entry.kind == LogError || entry.kind == LogScriptError) text += Indented(FormatLogEntry(entry));
    return text;
}

} // namespace

std::wstring ApplicationOfScript(const std::wstring& script, const std::wstring& firstLine) {
    std::wstring_view rest = firstLine;
    auto trim = [&] {
        while (!rest.empty() && std::iswspace(rest.front()))
            rest.remove_prefix(1);
        while (!rest.empty() && std::iswspace(rest.back()))
            rest.remove_suffix(1);
    };
    trim();
    if (rest.starts_with(L"//"))
        rest.remove_prefix(2);
    else if (rest.starts_with(L"'"))
        rest.remove_prefix(1);
    else
        rest = {};
    if (rest.starts_with(L"!")) rest.remove_prefix(1);
    trim();
    if (rest.size() > 4 && _wcsnicmp(rest.data(), L"app:", 4) == 0) {
        rest.remove_prefix(4);
        trim();
        const std::wstring app(rest);
        return PathIsRelativeW(app.c_str()) ? FullPath(Folder(script) + L"\\" + app) : app;
    }
    std::wstring name = script.substr(script.find_last_of(L"\\/") + 1);
    const std::wstring beside = Folder(script) + L"\\" + name.substr(0, name.find_last_of(L'.')) + L".xaml";
    const DWORD attributes = GetFileAttributesW(beside.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return beside;
    return {};
}

int RunTest(const Invocation& invocation) {
    const Console& console = invocation.console;
    auto wrong = [&](const std::wstring& reason) {
        console.err(std::wstring(kCommand) + L": " + reason + L"\n" + kUsage + L"\n");
        return ExitUsage;
    };
    TestOptions options;
    if (std::wstring why = ParseTestOptions(invocation.arguments, options); !why.empty()) return wrong(why);
    if (!options.timeout.empty() && (!std::iswdigit(options.timeout[0]) ||
                                     options.timeout.find_first_not_of(L"0123456789") != std::wstring::npos ||
                                     wcstoul(options.timeout.c_str(), nullptr, 10) > 86400))
        return wrong(L"--timeout takes a whole number of seconds from 0 (no limit) to 86400, not '" +
                     options.timeout + L"'.");
    std::vector<std::wstring> scripts;
    if (std::wstring why = CollectScripts(options.paths, scripts); !why.empty()) return wrong(why);

    SYSTEMTIME startedAt{};
    GetLocalTime(&startedAt);
    const std::wstring program = invocation.productFolder + L"\\OVHookX64.exe";
    console.out(L"-- " + std::wstring(kCommand) + L": " + std::to_wstring(scripts.size()) +
                (scripts.size() == 1 ? L" script\n" : L" scripts\n"));
    std::vector<ScriptOutcome> runs;
    size_t passed = 0;
    for (const std::wstring& script : scripts) {
        std::wstring text, why, app;
        if (ReadScript(script, text, why))
            app = ApplicationOfScript(FullPath(script), text.substr(0, text.find(L'\n')));
        ScriptOutcome run{script};
        if (!why.empty()) {
            run.exitCode = ExitScriptFailed;
            run.reason = L"the script cannot be read: " + why + L".";
        } else if (app.empty()) {
            run.exitCode = ExitAppNotLoaded;
            run.reason =
                L"no application: name it on the script's first line (// app: FILE.xaml) or put a .xaml "
                L"file of the script's name beside it.";
        } else {
            run = RunChild(program, app, script, options);
        }
        if (run.exitCode == 0) ++passed;
        console.out(Report(run, options.verbose));
        runs.push_back(std::move(run));
    }
    console.out(std::to_wstring(passed) + L" passed, " + std::to_wstring(runs.size() - passed) +
                L" failed\n");
    if (!options.junitFile.empty() && !WriteJUnit(options.junitFile, kCommand, runs, startedAt)) {
        console.err(std::wstring(kCommand) + L": the JUnit report " + options.junitFile +
                    L" cannot be written.\n");
        return ExitFailed;
    }
    return passed == runs.size() ? ExitOk : ExitFailed;
}

} // namespace ovhost
