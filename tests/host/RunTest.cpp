// `OVHookX64 run` in the test's own process: exit codes, the printed log and its JSON twin, and the one-line
// reasons when something cannot be loaded.
#include "HostFixture.h"

#include "host/CommandLine.h"
#include "host/Xaml.h"

#include <fstream>
#include <sstream>

namespace {

const char* const kApp = R"(<Window xmlns="http://schemas.microsoft.com/winfx/2006/xaml/presentation"
        xmlns:x="http://schemas.microsoft.com/winfx/2006/xaml" Title="Run">
  <StackPanel>
    <Button x:Name="ok" Content="OK"/>
    <CheckBox x:Name="check" Content="Check" IsEnabled="False"/>
  </StackPanel>
</Window>
)";

// A folder of its own per test, with the files a run reads and writes.
class RunTest : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"ovhostrun" + ovhost::GuidText(hosttest::NewGuid()).substr(1, 8);
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        Write(L"app.xaml", kApp);
    }
    void TearDown() override {
        for (const auto& file : files_)
            DeleteFileW(file.c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    std::wstring Write(const std::wstring& name, const std::string& text) {
        std::wstring path = folder_ + L"\\" + name;
        std::ofstream(path.c_str(), std::ios::binary) << text;
        files_.push_back(path);
        return path;
    }
    std::wstring Path(const std::wstring& name) {
        std::wstring path = folder_ + L"\\" + name;
        files_.push_back(path);
        return path;
    }

    struct Result {
        int code;
        std::wstring out, err;
    };
    Result Run(std::vector<std::wstring> arguments, std::wstring productFolder = ovtest::BinFolder()) {
        Result r{};
        ovhost::Console console{[&](std::wstring_view t) { r.out += t; },
                                [&](std::wstring_view t) { r.err += t; }};
        arguments.insert(arguments.begin(), L"run");
        r.code = ovhost::RunCommandLine(arguments, productFolder, console);
        return r;
    }
    Result RunScript(const std::wstring& name, const std::string& text,
                     std::vector<std::wstring> options = {}) {
        options.push_back(Path(L"app.xaml"));
        options.push_back(Write(name, text));
        return Run(options);
    }

    std::wstring folder_;
    std::vector<std::wstring> files_;
};

bool Has(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

TEST_F(RunTest, ExitCodesTellHowTheRunEnded) {
    struct Case {
        const char* what;
        const wchar_t* script;
        std::string text;
        int code;
        std::wstring printed; // on the output, or the error output for 2 and 3 without a log
    } cases[] = {
        {"a clean run", L"a.js", "App.Find('ok').ClickButton();", ovhost::ExitOk,
         L"[message] The button was clicked with the left mouse button.\n"},
        {"an error logged", L"b.vbs", "App.Find(\"check\").ClickButton 1", ovhost::ExitFailed,
         L"[error] The control is disabled. The action cannot be executed.\n"},
        {"an error logged, then the log cleared", L"c.js", "App.Find('check').ClickButton(1); Log.Clear();",
         ovhost::ExitFailed, L"1 error logged"},
        {"an uncaught script error", L"d.js", "\nApp.Find('nosuch');", ovhost::ExitScriptFailed,
         L"[script error] line 2: App.Find: the application has no element named 'nosuch'.\n"},
        {"a syntax error", L"e.vbs", "Log.Message \"x\"\nIf Then", ovhost::ExitScriptFailed,
         L"[script error] line 2: "},
        {"a script of no language", L"f.py", "print(1)", ovhost::ExitUsage,
         L"must end in .js (JScript) or .vbs"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Result r = RunScript(c.script, c.text);
        EXPECT_EQ(r.code, c.code) << Narrow(r.out) << Narrow(r.err);
        EXPECT_TRUE(Has(r.out + r.err, c.printed)) << Narrow(r.out) << Narrow(r.err);
    }
}

TEST_F(RunTest, WhatCannotBeLoadedEndsWithThreeAndOneLine) {
    Write(L"s.js", "Log.Message('never');");
    Write(L"bad.xaml",
          "<Window xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\">\n<Gauge/></Window>");
    struct Case {
        const char* what;
        std::wstring app;
        std::wstring productFolder;
        std::wstring reason;
    } cases[] = {
        {"no such application", folder_ + L"\\none.xaml", ovtest::BinFolder(),
         L"OVHookX64 run: the application could not be loaded: " + folder_ +
             L"\\none.xaml, the file does not exist.\n"},
        {"an unknown element", folder_ + L"\\bad.xaml", ovtest::BinFolder(),
         L"OVHookX64 run: the application could not be loaded: " + folder_ +
             L"\\bad.xaml, line 2, column 2: unknown element 'Gauge'.\n"},
        {"no module in the product folder", folder_ + L"\\app.xaml", folder_, L"OVHookX64 run: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Result r = Run({c.app, folder_ + L"\\s.js"}, c.productFolder);
        EXPECT_EQ(r.code, ovhost::ExitAppNotLoaded);
        EXPECT_TRUE(r.err.starts_with(c.reason)) << Narrow(r.err);
        EXPECT_EQ(r.err.find(L'\n'), r.err.size() - 1) << "one line: " << Narrow(r.err);
        EXPECT_FALSE(Has(r.out, L"never"));
    }
    Result missing = Run({folder_ + L"\\app.xaml", folder_ + L"\\none.js"});
    EXPECT_EQ(missing.code, ovhost::ExitScriptFailed);
    EXPECT_TRUE(Has(missing.err, L"none.js cannot be read: the file does not exist.")) << Narrow(missing.err);
}

TEST_F(RunTest, LogFileHoldsEveryPrintedEntryAsAJsonLine) {
    std::wstring json = Path(L"log.json");
    Result r = RunScript(L"j.js",
                         "Log.Message('say \"hi\"', 'a\\\\b\\r\\nc');\n"
                         "Host.ErrorReportMode = 2;\n"
                         "App.Find('check').ClickButton(1);",
                         {L"--log", json});
    EXPECT_EQ(r.code, ovhost::ExitScriptFailed);
    EXPECT_TRUE(Has(r.out, L"[script] say \"hi\"\n    a\\b\n    c\n")) << Narrow(r.out);
    std::ifstream in(json.c_str(), std::ios::binary);
    std::stringstream lines;
    lines << in.rdbuf();
    EXPECT_EQ(lines.str(),
              "{\"kind\":\"script\",\"text\":\"say \\\"hi\\\"\",\"details\":\"a\\\\b\\r\\nc\"}\n"
              "{\"kind\":\"script error\",\"text\":\"line 3: The control is disabled. The action cannot be "
              "executed.\",\"details\":\"\"}\n");
}

TEST_F(RunTest, CommandLineMistakesAreUsageErrors) {
    for (const auto& arguments : std::vector<std::vector<std::wstring>>{
             {L"app.xaml"}, {L"--log"}, {L"--colour", L"app.xaml", L"s.js"}, {L"a.xaml", L"b.js", L"c.js"}}) {
        Result r = Run(arguments);
        EXPECT_EQ(r.code, ovhost::ExitUsage);
        EXPECT_TRUE(r.err.starts_with(L"OVHookX64 run")) << Narrow(r.err);
    }
}

} // namespace
