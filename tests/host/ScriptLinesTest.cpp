// The script's line at each call into the host (script/ScriptLines.h), read in the system's engines: a probe
// object records the line the host reads at every call of its At(), and each case states those lines.
#include "HostFixture.h"

#include "host/script/ScriptLines.h"
#include "host/script/ScriptSite.h"

using namespace hosttest;

namespace {

// "Probe.At()": records the running line and answers true (so that conditions can call it).
class Probe : public ovhost::HostObjectBase, public IDispatch {
public:
    using Interfaces = ov::Interfaces<IDispatch>;
    explicit Probe(const ovhost::ScriptLineSource& lines) : lines_(lines) {}
    std::vector<ULONG> lines;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        *ids = _wcsicmp(names[0], L"At") == 0 ? 1 : DISPID_UNKNOWN;
        return *ids == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        if (id != 1) return DISP_E_MEMBERNOTFOUND;
        lines.push_back(lines_.Current());
        if (result) *result = ov::Variant::Bool(true).Detach();
        return S_OK;
    }

private:
    const ovhost::ScriptLineSource& lines_;
};

struct Case {
    const char* what;
    const wchar_t* language;
    const wchar_t* script;
    std::vector<ULONG> lines; // at each Probe.At(), in order
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.what;
}

class ScriptLinesTest : public testing::TestWithParam<Case> {};

TEST_P(ScriptLinesTest, EveryCallReadsTheLineOfItsStatement) {
    const Case& c = GetParam();
    ovhost::ScriptLineSource lines;
    auto probe = ov::Create<Probe>(lines);
    ASSERT_TRUE(ovhost::InstrumentLines(c.language, c.script)) << "the instrumenter follows the script";
    ovhost::ScriptRun run = ovhost::RunScript(
        c.language, c.script, {{L"Probe", ov::ComPtr<IDispatch>(probe.Get())}}, {}, {}, &lines);
    ASSERT_TRUE(run.Succeeded()) << (run.error ? Narrow(run.error->ToString()) : std::to_string(run.hr));
    EXPECT_EQ(probe->lines, c.lines);
    EXPECT_EQ(lines.Current(), 0u) << "no line once the script has ended";
}

const Case kCases[] = {
    {"a function's lines, and its caller's again after the call",
     L"JScript",
     L"Probe.At();\n"
     L"function f(x) {\n"
     L"    Probe.At();\n"
     L"    return x;\n"
     L"}\n"
     L"Probe.At(f(1)); f(2); Probe.At();\n",
     {1, 3, 6, 3, 6}},
    {"bodies without braces, else if, and a statement over three lines",
     L"JScript",
     L"if (false) Probe.At();\n"
     L"else if (Probe.At())\n"
     L"    Probe.At();\n"
     L"else\n"
     L"    Probe.At();\n"
     L"Probe.At(\n"
     L"    1,\n"
     L"    2)\n",
     {2, 3, 6}},
    {"loop conditions and updates run again on their own lines",
     L"JScript",
     L"function g() {\n"
     L"    Probe.At();\n"
     L"}\n"
     L"for (var i = 0;\n"
     L"     i < 2 && Probe.At();\n"
     L"     i++, Probe.At())\n"
     L"    g();\n"
     L"var n = 0;\n"
     L"while (Probe.At() && n++ < 1) g();\n"
     L"do g(); while (Probe.At() && n++ < 2)\n",
     {5, 2, 6, 5, 2, 6, 9, 2, 9, 2, 10}},
    {"case tests, a label's continue, try, catch and finally",
     L"JScript",
     L"switch (2) {\n"
     L"case Probe.At() && 1: break;\n"
     L"case 2:\n"
     L"    Probe.At();\n"
     L"}\n"
     L"outer: for (var k = 0; k < 2; k++) {\n"
     L"    for (;;) continue outer;\n"
     L"}\n"
     L"function thrower() { Probe.At(); throw new Error('x'); }\n"
     L"try { thrower(); } catch (e) {\n"
     L"    Probe.At();\n"
     L"} finally { Probe.At(); }\n",
     {2, 4, 9, 11, 12}},
    {"inserted semicolons, regular expressions and division, strings and comments",
     L"JScript",
     L"var a = 4\n"
     L"var b = a\n"
     L"/2/1\n"
     L"if (b == 2) /x/.test('x') && Probe.At()\n"
     L"var s = \"// not a comment\", t = '/* nor this */' // function () {\n"
     L"/* Probe.At();\n"
     L"   } */ var o = { run: function () { return Probe.At(); }, 'if': 1 }\n"
     L"o.run()\n"
     L"var r = /[/]/.test('/') ? (function () {\n"
     L"    return Probe.At();\n"
     L"})() : 0\n",
     {4, 7, 10}},
    {"a procedure's lines, Exit Sub, and the caller's line after the call",
     L"VBScript",
     L"Sub S(quit)\n"
     L"    If quit Then Exit Sub\n"
     L"    Probe.At\n"
     L"End Sub\n"
     L"Function F(): F = Probe.At(): End Function\n"
     L"S True: Probe.At\n"
     L"S False: Probe.At: x = F()\n"
     L"Probe.At F()\n",
     {6, 3, 7, 5, 5, 8}},
    {"loops, ElseIf and Case tests take their own lines",
     L"VBScript",
     L"Dim n: n = 0\n"
     L"Do While Probe.At() And n < 2\n"
     L"    n = n + 1\n"
     L"Loop\n"
     L"Do\n"
     L"    n = n - 1\n"
     L"Loop Until Probe.At() And n = 0\n"
     L"While n < 1 And Probe.At()\n"
     L"    n = n + 1\n"
     L"Wend\n"
     L"If n = 5 Then\n"
     L"ElseIf Probe.At() Then\n"
     L"    Probe.At\n"
     L"End If\n"
     L"Select Case 2\n"
     L"Case Probe.At(), 1\n"
     L"Case 2: Probe.At\n"
     L"Case Else\n"
     L"End Select\n",
     {2, 2, 2, 7, 7, 8, 8, 12, 13, 16, 17}},
    {"classes, With, continued lines, and the line after an error that Resume Next passes",
     L"VBScript",
     L"Class C\n"
     L"    Public Property Get P\n"
     L"        P = Probe.At()\n"
     L"    End Property\n"
     L"End Class\n"
     L"Dim obj: Set obj = New C\n"
     L"With obj\n"
     L"    x = .P\n"
     L"End With\n"
     L"x = Probe.At(1, _\n"
     L"    2)\n"
     L"Sub Fails\n"
     L"    Probe.At\n"
     L"    Err.Raise 5\n"
     L"End Sub\n"
     L"On Error Resume Next\n"
     L"Fails: Probe.At\n",
     {3, 10, 13, 17}},
};

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptLinesTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                             return std::to_string(info.index) +
                                    (info.param.language[0] == L'J' ? "JScript" : "VBScript");
                         });

// What the engine reports of a script error is the script's own: its line's text and its column, whether the
// error is in an instrumented line or the engine refused the instrumented text.
TEST(ScriptLinesErrorTest, ErrorsNameThePositionInTheScriptAsWritten) {
    // Language, script, line, column (from 0), the line's text.
    const std::tuple<const wchar_t*, const wchar_t*, ULONG, LONG, const wchar_t*> cases[] = {
        {L"JScript", L"var ok = 1;\nvar x = ;\n", 2, 8, L"var x = ;"},
        {L"VBScript", L"Option Explicit\nDim a: a = 1: b = 2\n", 2, 14, L"Dim a: a = 1: b = 2"},
        {L"VBScript", L"x = 1\nIf x Then\nElse: y = 2\nEnd If\n", 3, 4, L"Else: y = 2"},
    };
    for (const auto& [language, script, line, column, text] : cases) {
        SCOPED_TRACE(Narrow(script));
        ovhost::ScriptLineSource lines;
        ovhost::ScriptRun run = ovhost::RunScript(language, script, {}, {}, {}, &lines);
        ASSERT_TRUE(run.error);
        EXPECT_EQ(run.error->line, line);
        EXPECT_EQ(run.error->column, column);
        EXPECT_EQ(run.error->lineText, text);
    }
}

TEST(ScriptLinesErrorTest, ColumnsOfTheInstrumentedTextMapBackAroundEveryInsertion) {
    ovhost::InstrumentedScript script;
    script.insertions = {{0, 0, 10}, {1, 4, 5}, {1, 8, 3}};
    // Line, column in the instrumented text, column in the script.
    const std::tuple<ULONG, LONG, LONG> cases[] = {{0, 0, 0},  {0, 9, 0},  {0, 10, 0}, {0, 12, 2}, {1, 3, 3},
                                                   {1, 4, 4},  {1, 8, 4},  {1, 9, 4},  {1, 12, 7}, {1, 13, 8},
                                                   {1, 15, 8}, {1, 16, 8}, {1, 17, 9}, {2, 5, 5}};
    for (const auto& [line, column, expected] : cases)
        EXPECT_EQ(script.ScriptColumn(line, column), expected) << line << ":" << column;
}

TEST(ScriptLinesErrorTest, ScriptsTheInstrumenterDoesNotFollowRunAsWritten) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"JScript", L"var a = (1;\n"}, {L"JScript", L"var s = 'open\n"}, {L"JScript", L"}\n"},
        {L"VBScript", L"x = \"open\n"}, {L"VBScript", L"Loop\n"},
    };
    for (const auto& [language, script] : cases)
        EXPECT_FALSE(ovhost::InstrumentLines(language, script)) << Narrow(script);
}

} // namespace
