#include "Run.h"

#include "../services/Host.h"
#include "../log/JUnit.h"
#include "../log/LogFormat.h"
#include "../script/ScriptModel.h"
#include "../recording/ScriptRecorder.h"
#include "../app/Xaml.h"
#include "../picture/Picture.h"
#include "Inspect.h"

#include <chrono>
#include <cstdio>
#include <cwctype>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace ovhost {
namespace {

constexpr const wchar_t* kRunCommand = L"OVHookX64 run";
constexpr const wchar_t* kRecordCommand = L"OVHookX64 record";

// A script that never ends is stopped after this long, unless --timeout says otherwise.
constexpr unsigned long kDefaultTimeoutSeconds = 300;
constexpr const wchar_t* kRunUsage = L"Usage: OVHookX64 run [--log FILE] [--junit FILE] [--timeout SECONDS] "
                                     L"[--verbose] [--dump FILE] [--picture FILE.svg] APP.xaml SCRIPT";
constexpr const wchar_t* kRecordUsage =
    L"Usage: OVHookX64 record [--log FILE] [--junit FILE] [--timeout SECONDS] [--verbose] "
    L"[--dump FILE] [--picture FILE.svg] APP.xaml ACTIONS --out RECORDED";

struct Options {
    std::wstring app, script, logFile, junitFile, language;
    std::wstring out, outLanguage, dumpFile; // record: the recorded script and its language
    std::wstring picture;
    unsigned long timeoutSeconds = kDefaultTimeoutSeconds;
    bool verbose = false;
};

std::wstring Lower(std::wstring text) {
    for (auto& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring FileName(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring Stem(const std::wstring& path) {
    std::wstring name = FileName(path);
    return name.substr(0, name.find_last_of(L'.'));
}

// Whether two paths name one file: the same full path (without case, as the file system compares), or
// when both exist, the same file of the same volume (links, 8.3 names).
bool SameFile(const std::wstring& a, const std::wstring& b) {
    auto full = [](const std::wstring& path) {
        DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
        std::wstring out(n, L'\0');
        n = GetFullPathNameW(path.c_str(), n, out.data(), nullptr);
        out.resize(n);
        return Lower(out);
    };
    if (full(a) == full(b)) return true;
    auto identity = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
        HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        const bool got = GetFileInformationByHandle(file, &info) != FALSE;
        CloseHandle(file);
        return got;
    };
    BY_HANDLE_FILE_INFORMATION ia{}, ib{};
    return identity(a, ia) && identity(b, ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

// Options and the two paths; the engine follows the script's extension. Empty: the command line is right.
std::wstring LanguageOf(const std::wstring& path) {
    const std::wstring name = Lower(FileName(path));
    if (name.ends_with(L".js")) return L"JScript";
    if (name.ends_with(L".vbs")) return L"VBScript";
    return {};
}

std::wstring ParseOptions(const std::vector<std::wstring>& arguments, Options& options, bool record) {
    std::vector<std::wstring> paths;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& a = arguments[i];
        if (a == L"--log") {
            if (++i == arguments.size()) return L"--log needs a file name.";
            options.logFile = arguments[i];
        } else if (a == L"--timeout") {
            if (++i == arguments.size()) return L"--timeout needs a number of seconds.";
            const std::wstring& value = arguments[i];
            wchar_t* end = nullptr;
            const unsigned long long seconds =
                value.empty() || !iswdigit(value[0]) ? 0 : wcstoull(value.c_str(), &end, 10);
            if (!end || *end || seconds > 86400)
                return L"--timeout takes a whole number of seconds from 0 (no limit) to 86400, not '" +
                       value + L"'.";
            options.timeoutSeconds = static_cast<unsigned long>(seconds);
        } else if (a == L"--out" && record) {
            if (++i == arguments.size()) return L"--out needs a file name.";
            options.out = arguments[i];
        } else if (a == L"--junit") {
            if (++i == arguments.size()) return L"--junit needs a file name.";
            options.junitFile = arguments[i];
        } else if (a == L"--dump") {
            if (++i == arguments.size()) return L"--dump needs a file name.";
            options.dumpFile = arguments[i];
        } else if (a == L"--picture") {
            if (++i == arguments.size()) return L"--picture needs a file name.";
            options.picture = arguments[i];
        } else if (a == L"--verbose") {
            options.verbose = true;
        } else if (a.starts_with(L"--")) {
            return L"unknown option '" + a + L"'.";
        } else {
            paths.push_back(a);
        }
    }
    if (paths.size() != 2)
        return L"give the application (APP.xaml) and the script (SCRIPT.js or SCRIPT.vbs).";
    options.app = paths[0];
    options.script = paths[1];
    const std::pair<const std::wstring*, const wchar_t*> outputs[] = {
        {&options.logFile, L"the log file "},
        {&options.junitFile, L"the JUnit report "},
        {&options.out, L"the recorded script "},
        {&options.dumpFile, L"the state file "},
        {&options.picture, L"the picture "}};
    for (const std::wstring* input : {&options.app, &options.script})
        for (const auto& [output, what] : outputs)
            if (!output->empty() && SameFile(*output, *input))
                return what + *output + L" is one of the run's inputs; it would be overwritten.";
    if (record) {
        if (options.out.empty()) return L"give the file of the recorded script (--out RECORDED.js or .vbs).";
        options.outLanguage = LanguageOf(options.out);
        if (options.outLanguage.empty())
            return L"the recorded script '" + options.out +
                   L"' must end in .js (JScript) or .vbs (VBScript).";
    }
    std::wstring name = Lower(FileName(options.script));
    if (name.ends_with(L".js"))
        options.language = L"JScript";
    else if (name.ends_with(L".vbs"))
        options.language = L"VBScript";
    else
        return L"the script '" + options.script + L"' must end in .js (JScript) or .vbs (VBScript).";
    return {};
}

} // namespace

bool ReadScript(const std::wstring& path, std::wstring& text, std::wstring& why) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        why = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                  ? L"the file does not exist"
                  : L"the file cannot be opened (error " + std::to_wstring(error) + L")";
        return false;
    }
    std::unique_ptr<void, decltype(&CloseHandle)> held(file, &CloseHandle);
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);

    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        text.assign(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
        return true;
    }
    std::string_view utf8 = bytes;
    if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
    for (UINT codePage : {static_cast<UINT>(CP_UTF8), static_cast<UINT>(CP_ACP)}) {
        DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        int n = MultiByteToWideChar(codePage, flags, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
        if (n == 0 && !utf8.empty()) continue;
        text.assign(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(codePage, flags, utf8.data(), static_cast<int>(utf8.size()), text.data(), n);
        return true;
    }
    why = L"the file is not text";
    return false;
}

namespace {

size_t CountElements(const std::vector<wpfsim::Element*>& level) {
    size_t n = 0;
    for (const wpfsim::Element* e : level)
        n += 1 + CountElements(e->Children());
    return n;
}

// The script's failure as a log entry: its line, the first part of its description, the rest (the
// module's details, after its separator) below.
LogEntry ScriptFailureEntry(const ScriptRun& run, const std::wstring& language) {
    if (!run.error)
        return {LogScriptError,
                L"the " + language + L" engine could not run the script (" + HResultText(run.hr) + L")",
                {}};
    const ScriptError& error = *run.error;
    std::wstring description = error.description;
    std::wstring details;
    if (size_t at = description.find(L"\r\n\r\n"); at != std::wstring::npos) {
        details = description.substr(at + 4);
        description.resize(at);
    }
    if (description.empty()) description = L"error " + HResultText(error.code);
    // Where: the line and column (from 1), and the line's text as the engine saw it.
    std::wstring where = L"line " + std::to_wstring(error.line);
    if (error.line) where += L", column " + std::to_wstring(error.column + 1);
    std::wstring source = error.lineText;
    while (!source.empty() && (source.back() == L'\r' || source.back() == L'\n'))
        source.pop_back();
    if (!source.empty()) details = L"> " + source + (details.empty() ? L"" : L"\r\n" + details);
    LogEntry entry{LogScriptError, where + L": " + description, details};
    entry.context.line = error.line;
    return entry;
}

// What a run printed and logged, for its JUnit report. The watchdog of the time limit writes from a thread of
// its own.
class Transcript {
public:
    explicit Transcript(const Console& console) : console_(console) {}
    // The run's console: what it prints is kept as well.
    Console Capture() {
        return {[this](std::wstring_view text) {
                    std::lock_guard lock(mutex_);
                    printed_ += text;
                    console_.out(text);
                },
                console_.err};
    }
    void Logged(const LogEntry& entry) {
        std::lock_guard lock(mutex_);
        entries_.push_back(entry);
    }
    void Fill(ScriptOutcome& outcome) {
        std::lock_guard lock(mutex_);
        outcome.output = printed_;
        outcome.entries = entries_;
    }

private:
    const Console& console_;
    std::wstring printed_;
    std::vector<LogEntry> entries_;
    std::mutex mutex_;
};

// Prints every entry as it comes, and writes it to the JSON log when there is one.
class LogPrinter {
public:
    LogPrinter(const Console& console, std::ofstream* json, Transcript& transcript)
        : console_(console), json_(json), transcript_(transcript) {}
    // The watchdog of the time limit prints its last entry from a thread of its own.
    void Print(const LogEntry& entry) {
        std::lock_guard lock(mutex_);
        console_.out(FormatLogEntry(entry));
        if (json_) {
            *json_ << JsonLogLine(entry);
            json_->flush();
        }
        transcript_.Logged(entry);
        if (entry.kind == LogError) ++errors_;
    }
    size_t Errors() const noexcept { return errors_; }

private:
    const Console& console_;
    std::ofstream* json_;
    Transcript& transcript_;
    size_t errors_ = 0;
    std::mutex mutex_;
};

std::wstring Plural(size_t n, const wchar_t* one, const wchar_t* many) {
    return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

} // namespace

std::wstring HResultText(long hr) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

std::wstring LoadApplication(const std::wstring& path, std::unique_ptr<wpfsim::Application>& app,
                             std::vector<std::wstring>* notes) {
    try {
        app = LoadXaml(path, notes);
    } catch (const XamlError& e) {
        return L"the application could not be loaded: " + (e.file.empty() ? path : e.file) + L", " +
               e.ToString() + L".";
    }
    if (notes)
        for (std::wstring& note : *notes)
            note = path + L", " + note;
    return {};
}

std::wstring StartHost(Host& host, wpfsim::Application& app, const std::wstring& appPath,
                       const std::wstring& productFolder) {
    const std::wstring program = productFolder + L"\\OVHookX64.exe";
    if (long hr = RegisterHostTypeLibrary(program); FAILED(hr))
        return L"the host type library " + program + L"\\3 cannot be registered (" + HResultText(hr) + L").";
    try {
        host.LoadModule();
    } catch (const LoadError& e) {
        return e.Reason();
    }
    host.Attach(app, Stem(appPath));
    return {};
}

bool WriteUtf8(const std::wstring& path, const std::wstring& text) {
    const std::string bytes = "\xEF\xBB\xBF"; // UTF-8 with its byte order mark, as ReadScript takes it
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string body(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), body.data(), n, nullptr,
                        nullptr);
    std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
    file << bytes << body;
    return static_cast<bool>(file);
}

int RunMain(const Invocation& invocation, bool record) {
    const wchar_t* kCommand = record ? kRecordCommand : kRunCommand;
    const wchar_t* kUsage = record ? kRecordUsage : kRunUsage;
    Options options;
    if (std::wstring wrong = ParseOptions(invocation.arguments, options, record); !wrong.empty()) {
        invocation.console.err(std::wstring(kCommand) + L": " + wrong + L"\n" + kUsage + L"\n");
        return ExitUsage;
    }

    const auto started = std::chrono::steady_clock::now();
    SYSTEMTIME startedAt{};
    GetLocalTime(&startedAt);
    Transcript transcript(invocation.console);
    const Console console = transcript.Capture();
    ScriptOutcome outcome;
    outcome.script = options.script;
    // The run's end, and its JUnit report when one is asked for.
    auto finish = [&](int code) {
        if (options.junitFile.empty()) return code;
        outcome.exitCode = code;
        outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        transcript.Fill(outcome);
        if (!WriteJUnit(options.junitFile, std::wstring(kCommand), {outcome}, startedAt)) {
            console.err(std::wstring(kCommand) + L": the JUnit report " + options.junitFile +
                        L" cannot be written.\n");
            return code ? code : static_cast<int>(ExitFailed);
        }
        return code;
    };
    auto fail = [&](int code, const std::wstring& reason) {
        console.err(std::wstring(kCommand) + L": " + reason + L"\n");
        outcome.reason = reason;
        return finish(code);
    };
    if (!options.junitFile.empty() &&
        !std::ofstream(options.junitFile.c_str(), std::ios::binary | std::ios::trunc))
        return fail(ExitUsage, L"the JUnit report " + options.junitFile + L" cannot be written.");

    std::wstring script, why;
    if (!ReadScript(options.script, script, why))
        return fail(ExitScriptFailed, L"the script " + options.script + L" cannot be read: " + why + L".");

    const long hostBaseline = LiveObjects();
    const long simBaseline = wpfsim::LiveObjects();
    std::unique_ptr<wpfsim::Application> app;
    std::vector<std::wstring> notes;
    if (std::wstring why = LoadApplication(options.app, app, &notes); !why.empty())
        return fail(ExitAppNotLoaded, why);
    for (const std::wstring& note : notes)
        console.err(std::wstring(kCommand) + L": note: " + note + L".\n");

    std::ofstream json;
    if (!options.logFile.empty()) {
        json.open(options.logFile.c_str(), std::ios::binary | std::ios::trunc);
        if (!json) return fail(ExitUsage, L"the log file " + options.logFile + L" cannot be written.");
    }
    LogPrinter printer(console, json.is_open() ? &json : nullptr, transcript);

    bool scriptFailed = false, timedOut = false;
    size_t referenced = 0;
    {
        Host host(invocation.productFolder);
        // --picture: the application as it stands at the first error, or at the end.
        std::optional<std::wstring> picture;
        auto takePicture = [&] {
            if (options.picture.empty() || picture) return;
            try {
                picture = PictureOf(host, *app);
            } catch (const ov::ComError&) {
                picture = std::wstring();
            }
        };
        host.OnLog([&](const LogEntry& entry) {
            printer.Print(entry);
            if (entry.kind == LogError || entry.kind == LogScriptError) takePicture();
        });
        if (std::wstring why = StartHost(host, *app, options.app, invocation.productFolder); !why.empty())
            return fail(ExitModuleNotLoaded, why);

        std::unique_ptr<ScriptModel> model;
        try {
            model = std::make_unique<ScriptModel>(host, *app);
        } catch (const ov::ComError& e) {
            return fail(ExitModuleNotLoaded, L"the type library of " + host.ModulePath() +
                                                 L" cannot be read (" + HResultText(e.hr) + L").");
        }
        model->SetRecordingLanguage(record ? options.outLanguage : options.language);
        if (record) model->StartRecording();
        const auto& roots = app->Roots();
        console.out(L"-- " + std::wstring(kCommand) + L": " + options.script + L" (" + options.language +
                    L") against " + options.app + L" (" +
                    Plural(CountElements(roots), L"element", L"elements") + L")\n");

        const std::wstring limit = Plural(options.timeoutSeconds, L"second", L"seconds");
        // An engine that cannot be interrupted keeps the script's thread: the run ends here, with its
        // last lines, and the process with it (the system takes back what it held).
        auto stuck = [&] {
            printer.Print({LogScriptError,
                           L"the script was stopped at its time limit of " + limit +
                               L" (the engine did not stop: the process ends here)",
                           {}});
            console.out(L"-- the script was stopped at its time limit (" + limit + L")\n");
            finish(ExitTimeout);
            TerminateProcess(GetCurrentProcess(), ExitTimeout);
        };
        ScriptRun run = RunScript(options.language, ScriptModel::Source(options.language, script),
                                  model->Items(), ScriptModel::Prelude(options.language),
                                  {options.timeoutSeconds * 1000, [&model] { model->StopCalls(); }, stuck},
                                  &model->Lines());
        if (run.timedOut) {
            timedOut = true;
            LogEntry stopped{LogScriptError, L"the script was stopped at its time limit of " + limit +
                                                 (run.error && run.error->line
                                                      ? L", in line " + std::to_wstring(run.error->line)
                                                      : std::wstring())};
            if (run.error) stopped.context.line = run.error->line;
            host.Core().AddLog(std::move(stopped));
        } else if (!run.Succeeded()) {
            scriptFailed = true;
            host.Core().AddLog(ScriptFailureEntry(run, options.language));
        }
        if (record && !WriteUtf8(options.out, model->RecordedScript()))
            host.Core().AddLog(
                {LogError, L"The recorded script cannot be written to " + options.out + L".", {}});
        if (!options.dumpFile.empty() && !WriteUtf8(options.dumpFile, DumpState(*app)))
            host.Core().AddLog({LogError, L"The state cannot be written to " + options.dumpFile + L".", {}});
        takePicture();
        if (picture && (picture->empty() || !WritePicture(options.picture, *picture)))
            host.Core().AddLog({LogError, L"The picture cannot be written to " + options.picture + L".", {}});
        referenced = model->End();
        model.reset();
        const size_t entries = host.Log().size();
        host.Detach();
        host.UnloadModule();
        host.OnLog({});
        if (timedOut)
            console.out(L"-- the script was stopped at its time limit (" + limit + L")\n");
        else if (scriptFailed)
            console.out(L"-- the script failed\n");
        else
            console.out(L"-- the script ran to its end: " + Plural(entries, L"log entry", L"log entries") +
                        L", " +
                        (printer.Errors() ? Plural(printer.Errors(), L"error", L"errors") + L" logged"
                                          : std::wstring(L"no error logged")) +
                        L"\n");
    }
    app.reset();

    // Nothing of the run may outlive it. The module's own count is its secret, but what it keeps shows:
    // automation objects that someone still references, and the host's and the application's objects
    // that the module's leftovers hold.
    const long hostLeft = LiveObjects() - hostBaseline;
    const long simLeft = wpfsim::LiveObjects() - simBaseline;
    if (options.verbose)
        console.out(L"-- alive after the run: " +
                    Plural(referenced, L"automation object", L"automation objects") + L" still referenced, " +
                    std::to_wstring(hostLeft) + L" host and " + std::to_wstring(simLeft) +
                    L" application objects\n");
    if (referenced || hostLeft || simLeft)
        printer.Print({LogError, L"Objects of the run outlived it.",
                       std::to_wstring(referenced) +
                           L" automation object(s) of the module still referenced, " +
                           std::to_wstring(hostLeft) + L" host object(s) and " + std::to_wstring(simLeft) +
                           L" application object(s) still alive."});

    if (timedOut) return finish(ExitTimeout);
    if (scriptFailed) return finish(ExitScriptFailed);
    return finish(printer.Errors() ? ExitFailed : ExitOk);
}

int RunRun(const Invocation& invocation) {
    return RunMain(invocation, false);
}

int RunRecord(const Invocation& invocation) {
    return RunMain(invocation, true);
}

} // namespace ovhost
