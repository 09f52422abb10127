// The members of every automation object, pinned row by row in the tables beside this file (*.table), and
// the simulated application's WPF behaviour in those of tests/wpfsim, and what the XAML reader makes of a
// window in those of tests/host: each row runs as a script against a
// fresh application with the module loaded into the host, and must give exactly its log, result, host
// clicks and application state afterwards.
//
// A table is a text file of rows separated by blank lines ("#" starts a comment line). A row's lines:
//   app: FILE          the application (relative to the table); stays for the rows below until another
//   xaml: TEXT         instead, the row's own application: the lines of a window's body (several allowed),
//                      in a Window named "window" with the x:, sys:, sim: and mc: namespaces declared
//   window: ATTRIBUTES more attributes of that Window
//   xaml error: TEXT   the reader refuses the row's application so (with its line and column: the body's
//                      first line is line 6; "FILE, " first when the fault is in another file of the
//                      project); the row has no call then. A row of xaml: without call: only reads its
//                      application
//   note: TEXT         one note of the reading, in order (what was left out for want of the project's
//                      other files); none given means none
//   modes: E M         Host.ErrorReportMode and MessageReportMode before the objects are found (default 1 1)
//   lang: js|vbs|both  the engines the row runs in (js unless given; both where the language matters)
//   before: STATEMENT  script run first (several allowed), e.g. User.Click("okButton")
//   call: EXPRESSION   the call under test: a member call, or a property put "... = VALUE"
//   result: VALUE      what the call answers (a get or a method): 3, true, "text", undefined, null, object
//   raises: TEXT       the script error the call raises (report mode 2), instead of a result
//   log: KIND: TEXT    one log entry (message, notice, menu notice, error), in order; none given means none
//   details: TEXT      the details of the entry above ("\n" a line break, "\l" a bare line feed, {reasons}
//                      the generic reasons)
//   click: CLICK       one host click, in order; none given means none: "[Double ]Left|Right|Middle NAME
//                      [at X,Y][ +Shift][ +Ctrl][ +Alt]", NAME the clicked element's name, X,Y as passed
//   after: EXPR = VALUE  a value read after the call, in the form of result:
// In every script line $name is the automation object of the element (App.Find, one per row) and @name its
// .NET object (App.Element); a .NET string reads as its text. In VBScript [a, b] becomes Array(a, b).
#include "TestSupport.h"

#include "com/OleTypes.h"
#include "dispatch/InvokeException.h"
#include "host/app/Xaml.h"
#include "host/cli/Run.h"
#include "host/script/ScriptModel.h"
#include "host/services/Host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct Row {
    std::string where; // folder/table:line
    fs::path folder;   // the table's
    std::wstring app, xaml, window, language = L"js", before, call;
    std::optional<std::wstring> xamlError;
    std::vector<std::wstring> notes;
    long errorMode = 1, messageMode = 1;
    std::optional<std::wstring> result, raises;
    std::string tableError; // why the table cannot be read there
    std::vector<ovhost::LogEntry> log;
    std::vector<std::wstring> clicks;
    std::vector<std::pair<std::wstring, std::wstring>> after;
};

std::wstring Wide(const std::string& s) {
    std::wstring w(static_cast<size_t>(
                       MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0)),
                   L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(),
                        static_cast<int>(w.size()));
    return w;
}

std::string Narrow(const std::wstring& w) {
    std::string s(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()),
                                                          nullptr, 0, nullptr, nullptr)),
                  '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(),
                        static_cast<int>(s.size()), nullptr, nullptr);
    return s;
}

const fs::path kTests = fs::path(OV_SOURCE_DIR L"/tests");

const std::map<std::wstring, LONG> kKinds = {
    {L"message", ovhost::LogMessage}, {L"notice", ovhost::LogNotice}, {L"menu notice", ovhost::LogMenuNotice},
    {L"error", ovhost::LogError},     {L"script", ovhost::LogScript}, {L"check", ovhost::LogCheck}};

std::wstring KindName(LONG kind) {
    for (const auto& [name, value] : kKinds)
        if (value == kind) return name;
    return L"kind " + std::to_wstring(kind);
}

std::wstring Unescape(std::wstring text) {
    for (size_t at; (at = text.find(L"\\n")) != std::wstring::npos;)
        text.replace(at, 2, L"\r\n");
    for (size_t at; (at = text.find(L"\\l")) != std::wstring::npos;)
        text.replace(at, 2, L"\n");
    if (size_t at = text.find(L"{reasons}"); at != std::wstring::npos)
        text.replace(at, 9, ov::texts::Reasons);
    return text;
}

// Every row of every table; a table that cannot be read is one row that fails with the reason.
std::vector<Row> ReadTables() {
    std::vector<Row> rows;
    std::vector<fs::path> tables;
    for (const char* folder : {"members", "wpfsim", "host"})
        for (const auto& entry : fs::directory_iterator(kTests / folder))
            if (entry.path().extension() == ".table") tables.push_back(entry.path());
    std::sort(tables.begin(), tables.end());
    for (const fs::path& table : tables) {
        std::ifstream in(table);
        std::string line;
        int number = 0;
        std::wstring app;
        std::optional<Row> row;
        auto fail = [&](const std::string& why) {
            Row bad;
            bad.where = fs::relative(table, kTests).generic_string() + ":" + std::to_string(number);
            bad.tableError = why;
            rows.push_back(bad);
        };
        auto finish = [&] {
            if (row && row->call.empty() && row->xaml.empty() && !row->xamlError)
                fail("a row without call:");
            else if (row)
                rows.push_back(*row);
            row.reset();
        };
        while (std::getline(in, line)) {
            ++number;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) {
                finish();
                continue;
            }
            if (line[0] == '#') continue;
            const size_t colon = line.find(": ");
            if (colon == std::string::npos) {
                fail("no field in: " + line);
                continue;
            }
            const std::string field = line.substr(0, colon);
            const std::wstring value = Wide(line.substr(colon + 2));
            if (field == "app") {
                app = value;
                continue;
            }
            if (!row) {
                row.emplace();
                row->where = fs::relative(table, kTests).generic_string() + ":" + std::to_string(number);
                row->folder = table.parent_path();
                row->app = app;
            }
            if (field == "modes") {
                std::wistringstream(value) >> row->errorMode >> row->messageMode;
            } else if (field == "xaml") {
                row->xaml += value + L"\n";
            } else if (field == "window") {
                row->window = value;
            } else if (field == "xaml error") {
                row->xamlError = value;
            } else if (field == "note") {
                row->notes.push_back(value);
            } else if (field == "lang") {
                row->language = value;
            } else if (field == "before") {
                row->before += value + L"\n";
            } else if (field == "call") {
                row->call = value;
            } else if (field == "result") {
                row->result = value;
            } else if (field == "raises") {
                row->raises = Unescape(value);
            } else if (field == "log") {
                const size_t sep = value.find(L": ");
                auto kind = sep == std::wstring::npos ? kKinds.end() : kKinds.find(value.substr(0, sep));
                if (kind == kKinds.end())
                    fail("no kind in log: " + line);
                else
                    row->log.emplace_back(kind->second, Unescape(value.substr(sep + 2)));
            } else if (field == "details") {
                if (row->log.empty())
                    fail("details: without log:");
                else
                    row->log.back().details = Unescape(value);
            } else if (field == "click") {
                row->clicks.push_back(value);
            } else if (field == "after") {
                const size_t eq = value.rfind(L" = ");
                if (eq == std::wstring::npos)
                    fail("after: without \" = \": " + line);
                else
                    row->after.emplace_back(value.substr(0, eq), value.substr(eq + 3));
            } else {
                fail("unknown field " + field);
            }
        }
        finish();
    }
    return rows;
}

// The script of a row in one language: the objects it names first, then its statements; the values come
// back as script messages whose texts start with "=".
std::wstring ScriptOf(const Row& row, bool vbs) {
    const std::wstring all = row.before + row.call;
    std::wstring declarations;
    for (wchar_t sigil : {L'$', L'@'}) {
        std::wregex names(std::wstring(L"\\") + sigil + L"([A-Za-z_][A-Za-z0-9_]*)");
        std::map<std::wstring, bool> seen;
        for (std::wsregex_iterator it(all.begin(), all.end(), names), end; it != end; ++it)
            seen[(*it)[1]] = true;
        for (const auto& after : row.after)
            for (std::wsregex_iterator it(after.first.begin(), after.first.end(), names), end; it != end;
                 ++it)
                seen[(*it)[1]] = true;
        for (const auto& [name, unused] : seen) {
            const std::wstring var = (sigil == L'$' ? L"o_" : L"e_") + name;
            const std::wstring find =
                std::wstring(sigil == L'$' ? L"App.Find" : L"App.Element") + L"(\"" + name + L"\")";
            declarations +=
                vbs ? L"Set " + var + L" = " + find + L"\n" : L"var " + var + L" = " + find + L";\n";
        }
    }
    auto translate = [vbs](std::wstring text) {
        text = std::regex_replace(text, std::wregex(L"\\$([A-Za-z_])"), L"o_$1");
        text = std::regex_replace(text, std::wregex(L"@([A-Za-z_])"), L"e_$1");
        if (vbs) {
            text = std::regex_replace(text, std::wregex(L"\\["), L"Array(");
            text = std::regex_replace(text, std::wregex(L"\\]"), L")");
        }
        return text;
    };
    const std::wregex assignment(L"^[^(\"]*[^=<>]=[^=]");
    // A statement: in VBScript a call with its arguments in parentheses is a Call statement.
    auto statement = [&](const std::wstring& text) {
        if (!vbs) return translate(text) + L";\n";
        const bool call = !std::regex_search(text, assignment) && text.find(L'(') != std::wstring::npos;
        return (call ? L"Call " : L"") + translate(text) + L"\n";
    };
    // A value for the runner: a script message "=what" with the value as its details.
    auto report = [vbs](const std::wstring& what, const std::wstring& value) {
        return vbs ? L"Log.Message \"=" + what + L"\", " + value + L"\n"
                   : L"Log.Message(\"=" + what + L"\", " + value + L");\n";
    };
    std::wstring script;
    for (const auto& [mode, value] :
         {std::pair{L"ErrorReportMode", row.errorMode}, {L"MessageReportMode", row.messageMode}})
        script += statement(std::wstring(L"Host.") + mode + L" = " + std::to_wstring(value));
    script += declarations;
    std::wistringstream before(row.before);
    for (std::wstring line; std::getline(before, line);)
        script += statement(line);
    const bool put = row.call.empty() || std::regex_search(row.call, assignment);
    const std::wstring call =
        put ? statement(row.call) : report(L"result", L"Fmt(" + translate(row.call) + L")");
    script += vbs ? L"On Error Resume Next\n" + call + L"If Err.Number <> 0 Then " +
                        report(L"raised", L"Err.Description") + L"On Error GoTo 0\n"
                  : L"try {\n" + call + L"} catch (e) { " + report(L"raised", L"e.description") + L"}\n";
    for (const auto& [expr, unused] : row.after)
        script += report(L"after", L"Fmt(" + translate(expr) + L")");
    if (vbs) {
        script += L"Function Fmt(v)\n"
                  L"  If IsObject(v) Then\n"
                  L"    Fmt = \"null\"\n"
                  L"    If Not v Is Nothing Then Fmt = \"object\": On Error Resume Next: Fmt = \"\"\"\" & "
                  L"v.OleValue & \"\"\"\": Err.Clear\n"
                  L"  ElseIf IsEmpty(v) Then\n    Fmt = \"undefined\"\n"
                  L"  ElseIf VarType(v) = vbBoolean Then\n    Fmt = LCase(CStr(v))\n"
                  L"  ElseIf VarType(v) = vbString Then\n    Fmt = \"\"\"\" & v & \"\"\"\"\n"
                  L"  ElseIf IsArray(v) Then\n    Fmt = \"array\"\n"
                  L"  Else\n    Fmt = CStr(v)\n  End If\nEnd Function\n";
    } else {
        script += L"function Fmt(v) { if (v === null) return \"null\"; if (typeof v == \"string\") return "
                  L"'\"' + v + '\"'; if (typeof v == \"object\") { try { if (typeof v.OleValue == "
                  L"\"string\") return '\"' + v.OleValue + "
                  L"'\"'; } catch (e) {} return \"object\"; } if (typeof v == "
                  L"\"unknown\") return \"array\"; return String(v); }\n";
    }
    return script;
}

// An unnamed target by its class: "(ComboBoxItem)"; "(gone)" when the application no longer has it.
std::wstring ClickText(const ovhost::ActionRecord& a, const wpfsim::Application& app) {
    static const wchar_t* const buttons[] = {L"Left", L"Right", L"Middle"};
    std::wstring target = a.targetName;
    if (const wpfsim::Element* e = target.empty() ? app.FindById(a.target) : nullptr)
        target = L"(" + e->ClassName().substr(e->ClassName().rfind(L'.') + 1) + L")";
    else if (target.empty())
        target = L"(gone)"; // a container the application released since
    std::wstring text = (a.doubleClick ? L"Double " : L"") +
                        std::wstring(buttons[static_cast<int>(a.button) % 3]) + L" " + target;
    if (a.x != -1 || a.y != -1) text += L" at " + std::to_wstring(a.x) + L"," + std::to_wstring(a.y);
    for (const auto& [flag, name] :
         {std::pair{0x2000L, L" +Shift"}, {0x4000L, L" +Ctrl"}, {0x8000L, L" +Alt"}})
        if (a.shift & flag) text += name;
    if (a.shift & ~0xE000L) text += L" +" + std::to_wstring(a.shift & ~0xE000L);
    return text;
}

std::wstring EntryText(const ovhost::LogEntry& e) {
    return KindName(e.kind) + L": " + e.text + (e.details.empty() ? L"" : L"\n    details: " + e.details);
}

template <class T, class F> std::string Lines(const std::vector<T>& items, F text) {
    std::string out;
    for (const T& item : items)
        out += "\n  " + Narrow(text(item));
    return out.empty() ? "\n  (none)" : out;
}

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.where;
}

class TableTest : public testing::TestWithParam<Row> {
protected:
    static void SetUpTestSuite() { ovtest::LoadTypeLibraries(); }
    void Run(const Row& row, const std::wstring& language);
};

void TableTest::Run(const Row& row, const std::wstring& language) {
    SCOPED_TRACE(row.where + " (" + Narrow(language) + ")");
    std::string xaml;
    if (!row.xaml.empty()) {
        xaml = "<Window xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\"\n"
               " xmlns:x=\"http://schemas.microsoft.com/winfx/2006/xaml\"\n"
               " xmlns:sys=\"clr-namespace:System;assembly=mscorlib\" xmlns:sim=\"urn:ovwpf-sim\"\n"
               " xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\"\n" +
               std::string(row.window.find(L"mc:Ignorable") == std::wstring::npos ? " mc:Ignorable=\"sim\""
                                                                                  : "") +
               " x:Name=\"window\" Title=\"Table\" " + Narrow(row.window) + ">\n" + Narrow(row.xaml) +
               "</Window>\n";
    } else {
        ASSERT_TRUE(fs::exists(row.folder / row.app)) << "no application " << Narrow(row.app);
    }
    std::unique_ptr<wpfsim::Application> app;
    std::vector<std::wstring> notes;
    try {
        // A file is read as the host reads it: beside the other files of its project.
        app = xaml.empty() ? ovhost::LoadXaml((row.folder / row.app).wstring(), &notes)
                           : ovhost::ParseXaml(xaml, &notes);
    } catch (const ovhost::XamlError& e) {
        const std::wstring file = e.file.empty() ? L"" : fs::path(e.file).filename().wstring() + L", ";
        EXPECT_EQ(file + e.ToString(), row.xamlError.value_or(L"")) << "the application was refused";
        return;
    }
    ASSERT_FALSE(row.xamlError) << "the application was read";
    EXPECT_EQ(notes, row.notes) << "the notes of the reading";
    ovhost::Host host(ovtest::BinFolder());
    ASSERT_EQ(ovhost::StartHost(host, *app, L"table.xaml", ovtest::BinFolder()), L"");
    std::vector<ovhost::LogEntry> log;
    std::vector<std::wstring> results, afters, raised;
    std::vector<std::wstring> clicks;
    {
        ovhost::ScriptModel model(host, *app);
        const std::wstring script = ScriptOf(row, language == L"VBScript");
        ovhost::ScriptRun run =
            ovhost::RunScript(language, ovhost::ScriptModel::Source(language, script), model.Items(),
                              ovhost::ScriptModel::Prelude(language), {60000, {}, {}}, &model.Lines());
        EXPECT_TRUE(run.Succeeded()) << "the script failed: "
                                     << (run.error ? Narrow(run.error->ToString()) : "") << "\n"
                                     << Narrow(script);
        EXPECT_EQ(model.End(), 0u) << "automation objects still referenced after the row";
    }
    for (const ovhost::LogEntry& e : host.Log()) {
        if (e.kind == ovhost::LogScript && e.text == L"=result")
            results.push_back(e.details);
        else if (e.kind == ovhost::LogScript && e.text == L"=after")
            afters.push_back(e.details);
        else if (e.kind == ovhost::LogScript && e.text == L"=raised")
            raised.push_back(e.details);
        else
            log.push_back(e);
    }
    for (const ovhost::ActionRecord& a : host.Actions())
        if (a.kind == ovhost::ActionKind::Click) clicks.push_back(ClickText(a, *app));
    host.Detach();
    host.UnloadModule();

    EXPECT_TRUE(log == row.log) << "log:" << Lines(log, EntryText)
                                << "\nexpected:" << Lines(row.log, EntryText);
    EXPECT_EQ(clicks, row.clicks) << "host clicks:" << Lines(clicks, [](auto& s) { return s; });
    if (row.raises) {
        EXPECT_EQ(raised, std::vector<std::wstring>{*row.raises});
    } else {
        EXPECT_EQ(raised, std::vector<std::wstring>{}) << "the call raised";
        if (row.result) {
            EXPECT_EQ(results, std::vector<std::wstring>{*row.result}) << "result";
        }
    }
    ASSERT_EQ(afters.size(), row.after.size()) << "values read after the call";
    for (size_t i = 0; i < afters.size(); ++i)
        EXPECT_EQ(afters[i], row.after[i].second) << Narrow(row.after[i].first);
}

TEST_P(TableTest, Row) {
    const Row& row = GetParam();
    if (!row.tableError.empty()) FAIL() << row.where << ": table error: " << row.tableError;
    if (row.language != L"vbs") Run(row, L"JScript");
    if (row.language != L"js") Run(row, L"VBScript");
}

INSTANTIATE_TEST_SUITE_P(Tables, TableTest, testing::ValuesIn(ReadTables()),
                         [](const testing::TestParamInfo<Row>& info) {
                             std::string name = info.param.where;
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

} // namespace
