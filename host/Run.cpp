#include "Run.h"

#include "Host.h"
#include "LogFormat.h"
#include "ScriptModel.h"
#include "Xaml.h"

#include <cstdio>
#include <cwctype>
#include <fstream>
#include <functional>
#include <memory>

namespace ovhost {
namespace {

constexpr const wchar_t* kCommand = L"OVHookX64 run";

struct Options {
    std::wstring app, script, logFile, language;
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

// Options and the two paths; the engine follows the script's extension. Empty: the command line is right.
std::wstring ParseOptions(const std::vector<std::wstring>& arguments, Options& options) {
    std::vector<std::wstring> paths;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& a = arguments[i];
        if (a == L"--log") {
            if (++i == arguments.size()) return L"--log needs a file name.";
            options.logFile = arguments[i];
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
    std::wstring name = Lower(FileName(options.script));
    if (name.ends_with(L".js"))
        options.language = L"JScript";
    else if (name.ends_with(L".vbs"))
        options.language = L"VBScript";
    else
        return L"the script '" + options.script + L"' must end in .js (JScript) or .vbs (VBScript).";
    return {};
}

// A script file as text: UTF-16 with its byte order mark, otherwise UTF-8 (with or without one), otherwise
// the system's code page.
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
    return {LogScriptError, L"line " + std::to_wstring(error.line) + L": " + description, details};
}

// Prints every entry as it comes, and writes it to the JSON log when there is one.
class LogPrinter {
public:
    LogPrinter(const Console& console, std::ofstream* json) : console_(console), json_(json) {}
    void Print(const LogEntry& entry) {
        console_.out(FormatLogEntry(entry));
        if (json_) {
            *json_ << JsonLogLine(entry);
            json_->flush();
        }
        if (entry.kind == LogError) ++errors_;
    }
    size_t Errors() const noexcept { return errors_; }

private:
    const Console& console_;
    std::ofstream* json_;
    size_t errors_ = 0;
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

std::wstring LoadApplication(const std::wstring& path, std::unique_ptr<wpfsim::Application>& app) {
    try {
        app = LoadXaml(path);
    } catch (const XamlError& e) {
        return L"the application could not be loaded: " + path + L", " + e.ToString() + L".";
    }
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

int RunRun(const Invocation& invocation) {
    const Console& console = invocation.console;
    auto fail = [&](int code, const std::wstring& reason) {
        console.err(std::wstring(kCommand) + L": " + reason + L"\n");
        return code;
    };

    Options options;
    if (std::wstring wrong = ParseOptions(invocation.arguments, options); !wrong.empty())
        return fail(ExitUsage, wrong + L"\nUsage: OVHookX64 run [--log FILE] [--verbose] APP.xaml SCRIPT");
    std::wstring script, why;
    if (!ReadScript(options.script, script, why))
        return fail(ExitScriptFailed, L"the script " + options.script + L" cannot be read: " + why + L".");

    const long hostBaseline = LiveObjects();
    const long simBaseline = wpfsim::LiveObjects();
    std::unique_ptr<wpfsim::Application> app;
    if (std::wstring why = LoadApplication(options.app, app); !why.empty())
        return fail(ExitAppNotLoaded, why);

    std::ofstream json;
    if (!options.logFile.empty()) {
        json.open(options.logFile.c_str(), std::ios::binary | std::ios::trunc);
        if (!json) return fail(ExitUsage, L"the log file " + options.logFile + L" cannot be written.");
    }
    LogPrinter printer(console, json.is_open() ? &json : nullptr);

    bool scriptFailed = false;
    size_t referenced = 0;
    {
        Host host(invocation.productFolder);
        host.OnLog([&](const LogEntry& entry) { printer.Print(entry); });
        if (std::wstring why = StartHost(host, *app, options.app, invocation.productFolder); !why.empty())
            return fail(ExitModuleNotLoaded, why);

        std::unique_ptr<ScriptModel> model;
        try {
            model = std::make_unique<ScriptModel>(host, *app);
        } catch (const ov::ComError& e) {
            return fail(ExitModuleNotLoaded, L"the type library of " + host.ModulePath() +
                                                 L" cannot be read (" + HResultText(e.hr) + L").");
        }
        const auto& roots = app->Roots();
        console.out(L"-- " + std::wstring(kCommand) + L": " + options.script + L" (" + options.language +
                    L") against " + options.app + L" (" +
                    Plural(CountElements(roots), L"element", L"elements") + L")\n");

        ScriptRun run =
            RunScript(options.language, script, model->Items(), ScriptModel::Prelude(options.language));
        if (!run.Succeeded()) {
            scriptFailed = true;
            host.Core().AddLog(ScriptFailureEntry(run, options.language));
        }
        referenced = model->End();
        model.reset();
        const size_t entries = host.Log().size();
        host.Detach();
        host.UnloadModule();
        host.OnLog({});
        if (scriptFailed)
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

    if (scriptFailed) return ExitScriptFailed;
    return printer.Errors() ? ExitFailed : ExitOk;
}

} // namespace ovhost
