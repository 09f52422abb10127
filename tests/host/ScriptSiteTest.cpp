// Scripts in the system's engines with our objects as global names: the script reaches them by name, the
// engine lets go of them afterwards, and every error comes back with its line and description.
#include "HostFixture.h"

#include "host/ScriptSite.h"

namespace {

class ScriptSiteTest : public hosttest::HostTest {
protected:
    ov::ComPtr<IDispatch> OkButton() { return ok->NewDispatch(); }
};

struct Script {
    const wchar_t* language;
    const wchar_t* text;
};

TEST_F(ScriptSiteTest, ScriptsReachNamedItemsByNameAndReleaseThem) {
    const Script scripts[] = {
        {L"JScript", L"var n = button.Name;\nbutton.Name = n + \"-js\";"},
        {L"VBScript", L"n = button.Name\nbutton.Name = n & \"-vbs\""},
    };
    for (const auto& s : scripts) {
        ov::ComPtr<IDispatch> button = OkButton();
        ovhost::ScriptRun run = ovhost::RunScript(s.language, s.text, {{L"button", button}});
        EXPECT_TRUE(run.Succeeded()) << std::hex << run.hr;
        EXPECT_FALSE(run.error);
        button->AddRef();
        EXPECT_EQ(button->Release(), 1u) << "the engine still holds the named item";
    }
    EXPECT_EQ(ok->Name(), L"okButton-js-vbs");
}

TEST_F(ScriptSiteTest, ErrorsComeBackWithTheirLine) {
    struct Case {
        Script script;
        ULONG line;
        bool nameInText; // the description names the failing member
    } cases[] = {
        // Syntax errors: nothing runs.
        {{L"JScript", L"button.Name = 'a';\nvar = ;"}, 2, false},
        {{L"VBScript", L"button.Name = \"a\"\nIf Then"}, 2, false},
        // Run-time errors: the lines before have run.
        {{L"JScript", L"button.Name = 'b';\n\nbutton.NoSuchMember();"}, 3, false},
        {{L"VBScript", L"button.Name = \"b\"\nbutton.NoSuchMember"}, 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.script.text, c.script.text + wcslen(c.script.text)));
        ok->SetName(L"okButton");
        ovhost::ScriptRun run =
            ovhost::RunScript(c.script.language, c.script.text, {{L"button", OkButton()}});
        EXPECT_FALSE(run.Succeeded());
        EXPECT_TRUE(FAILED(run.hr));
        ASSERT_TRUE(run.error);
        EXPECT_EQ(run.error->line, c.line);
        EXPECT_FALSE(run.error->description.empty());
        EXPECT_EQ(run.error->ToString().rfind(L"line " + std::to_wstring(c.line) + L": ", 0), 0u);
    }
    EXPECT_EQ(ok->Name(), L"b") << "a run-time error stops after the lines before it";
}

TEST_F(ScriptSiteTest, AnUnknownLanguageFailsWithoutRunning) {
    ovhost::ScriptRun run = ovhost::RunScript(L"NoSuchScript", L"x = 1", {{L"button", OkButton()}});
    EXPECT_TRUE(FAILED(run.hr));
    EXPECT_FALSE(run.error);
    EXPECT_FALSE(run.Succeeded());
}

} // namespace
