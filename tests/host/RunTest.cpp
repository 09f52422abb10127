// OVHookX64's command line and its main job `run`, in the test's own process: exit codes, the printed log
// and its JSON twin, one-line reasons, and the end of a run that notices what someone still references.
// The end-to-end scripts of tests/scripts run the program itself.
#include "HostFixture.h"

#include "host/cli/CommandLine.h"

#include <regex>
#include <sstream>

using namespace hosttest;

namespace {

const char* const kApp = R"(<Window xmlns="http://schemas.microsoft.com/winfx/2006/xaml/presentation"
        xmlns:x="http://schemas.microsoft.com/winfx/2006/xaml" Title="Run">
  <StackPanel>
    <Button x:Name="ok" Content="OK"/>
    <CheckBox x:Name="check" Content="Check" IsEnabled="False"/>
  </StackPanel>
</Window>
)";

struct Result {
    int code = -1;
    std::wstring out, err;
};

Result RunLine(std::vector<std::wstring> arguments, const std::wstring& productFolder = ovtest::BinFolder()) {
    Result r;
    ovhost::Console console{[&](std::wstring_view t) { r.out += t; },
                            [&](std::wstring_view t) { r.err += t; }};
    r.code = ovhost::RunCommandLine(arguments, productFolder, console);
    return r;
}

bool Has(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

std::string FileText(const std::wstring& path) {
    std::stringstream text;
    text << std::ifstream(std::filesystem::path(path), std::ios::binary).rdbuf();
    return text.str();
}

// JSON lines with every "time" as T.
std::string WithoutTimes(const std::string& json) {
    return std::regex_replace(json, std::regex("\"time\":[0-9.]+"), "\"time\":T");
}

TEST(CommandLineTest, OptionsCommandsAndUsageErrors) {
    // Arguments, exit code, part of the output (exit code 0) or of the error output.
    const std::tuple<std::vector<std::wstring>, int, const wchar_t*> cases[] = {
        {{L"--version"}, ovhost::ExitOk, L"OVHookX64 6.0.0"},
        {{L"--help"}, ovhost::ExitOk, L"  OVHookX64 check\n"},
        {{L"--help"},
         ovhost::ExitOk,
         L"  OVHookX64 inspect [--visual] [--json] [--members] [--picture FILE.svg] APP.xaml\n"},
        {{L"inspect", L"--help"},
         ovhost::ExitOk,
         L"Usage: OVHookX64 inspect [--visual] [--json] [--members] [--picture FILE.svg] APP.xaml\n"},
        {{L"members", L"--help"}, ovhost::ExitOk, L"Usage: OVHookX64 members [KIND]\n"},
        {{L"check"}, ovhost::ExitOk, L"registered module objects: 2"},
        {{}, ovhost::ExitUsage, L"Usage: OVHookX64 COMMAND"},
        {{L"frob"}, ovhost::ExitUsage, L"OVHookX64: unknown command 'frob'."},
        {{L"--frob"}, ovhost::ExitUsage, L"OVHookX64: unknown option '--frob'."},
        {{L"check", L"extra"}, ovhost::ExitUsage, L"OVHookX64 check: wrong number of arguments."},
        {{L"run", L"--colour", L"app.xaml", L"s.js"}, ovhost::ExitUsage, L"OVHookX64 run"},
        {{L"run", L"a.xaml", L"f.py"}, ovhost::ExitUsage, L"must end in .js (JScript) or .vbs"},
    };
    for (const auto& [arguments, code, part] : cases) {
        SCOPED_TRACE(arguments.empty() ? "(none)" : Narrow(arguments.back()));
        Result r = RunLine(arguments);
        EXPECT_EQ(r.code, code) << Narrow(r.err);
        EXPECT_TRUE(Has(code == ovhost::ExitOk ? r.out : r.err, part)) << Narrow(r.out) << Narrow(r.err);
        EXPECT_TRUE((code == ovhost::ExitOk ? r.err : r.out).empty()) << Narrow(r.out) << Narrow(r.err);
    }
}

// The end-to-end scripts show the other exit codes.
TEST(RunTest, ExitCodesAndOneLineReasons) {
    TempFolder folder;
    const std::wstring app = folder.Write(L"app.xaml", kApp), bin = ovtest::BinFolder();
    const std::wstring run = L"OVHookX64 run: ";
    const struct {
        const char* what;
        std::wstring app, script;
        std::string text;
        std::wstring productFolder;
        int code;
        std::wstring printed; // on the output or the error output
    } cases[] = {
        {"an error logged, then the log cleared", app, L"b.js",
         "App.Find('check').ClickButton(1); Log.Clear();", bin, ovhost::ExitFailed, L"1 error logged"},
        {"no such script", app, L"", "", bin, ovhost::ExitScriptFailed,
         run + L"the script " + folder.Path(L"none.js") + L" cannot be read: the file does not exist.\n"},
        {"no such application", folder.Path(L"none.xaml"), L"d.js", "", bin, ovhost::ExitAppNotLoaded,
         run + L"the application could not be loaded: " + folder.Path(L"none.xaml") +
             L", the file does not exist.\n"},
        {"no host in the product folder", app, L"e.js", "", folder.Path(), ovhost::ExitModuleNotLoaded,
         run + L"the host type library " + folder.Path(L"OVHookX64.exe") + L"\\3 cannot be registered ("},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring script =
            c.script.empty() ? folder.Path(L"none.js") : folder.Write(c.script, c.text);
        Result r = RunLine({L"run", c.app, script}, c.productFolder);
        EXPECT_EQ(r.code, c.code) << Narrow(r.out) << Narrow(r.err);
        EXPECT_TRUE(Has(r.out + r.err, c.printed)) << Narrow(r.out) << Narrow(r.err);
        if (c.code == ovhost::ExitAppNotLoaded || c.script.empty()) {
            EXPECT_EQ(r.err.find(L'\n'), r.err.size() - 1) << "one line";
        }
    }
}

TEST(RunTest, LogFileHoldsEveryPrintedEntryAsAJsonLine) {
    TempFolder folder;
    const std::wstring json = folder.Path(L"log.json");
    Result r = RunLine({L"run", L"--log", json, folder.Write(L"app.xaml", kApp),
                        folder.Write(L"j.js", "Log.Message('say \"hi\"', 'a\\\\b\\r\\nc');\n"
                                              "Host.ErrorReportMode = 2;\n"
                                              "App.Find('check').ClickButton(1);")});
    EXPECT_EQ(r.code, ovhost::ExitScriptFailed);
    EXPECT_TRUE(Has(r.out, L"[script] say \"hi\"  (")) << Narrow(r.out);
    EXPECT_TRUE(Has(r.out, L" s, line 1)\n    a\\b\n    c\n")) << Narrow(r.out);
    EXPECT_EQ(
        WithoutTimes(FileText(json)),
        "{\"kind\":\"script\",\"text\":\"say \\\"hi\\\"\",\"details\":\"a\\\\b\\r\\nc\",\"element\":null,"
        "\"elementKind\":null,\"line\":1,\"time\":T,\"check\":false}\n"
        "{\"kind\":\"script error\",\"text\":\"line 3, column 1: The control is disabled. The "
        "action cannot be executed.\",\"details\":\"> App.Find('check').ClickButton(1);\",\"element\":null,"
        "\"elementKind\":null,\"line\":3,\"time\":T,\"check\":false}\n");
}

// A character beyond U+FFFF from the application reaches the log file as its four bytes of UTF-8; a lone
// surrogate that a script makes has no UTF-8 and is escaped, so the file stays valid UTF-8.
TEST(RunTest, LogFileHoldsCharactersBeyondU0000FFFFAsUtf8) {
    TempFolder folder;
    const std::wstring json = folder.Path(L"log.json");
    Result r = RunLine(
        {L"run", L"--log", json,
         folder.Write(L"app.xaml",
                      "<Window xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\"\n"
                      "        xmlns:x=\"http://schemas.microsoft.com/winfx/2006/xaml\">\n"
                      "  <Button x:Name=\"smile\" Content=\"&#x1F600;\"/>\n</Window>\n"),
         folder.Write(L"j.js", "Log.Message(String(App.Element('smile').Content), 'lone \\uD800');")});
    EXPECT_EQ(r.code, ovhost::ExitOk) << Narrow(r.err);
    EXPECT_EQ(WithoutTimes(FileText(json)),
              "{\"kind\":\"script\",\"text\":\"\xF0\x9F\x98\x80\",\"details\":\"lone "
              "\\ud800\",\"element\":null,\"elementKind\":null,\"line\":1,"
              "\"time\":T,\"check\":false}\n");
}

} // namespace
