// A check box driven by scripts in the system's script engines, as the host runs test scripts: the
// wrapper is the global "cb", a small "journal" object collects what the script writes. (Not "log":
// VBScript's built-in Log function would take that name.)
#include "ControlFixture.h"

#include "controls/Buttons.h"
#include "host/ScriptSite.h"
#include "wpfsim/Buttons.h"

#include <string>
#include <vector>

namespace {

using ovhost::LogEntry;

// What the script writes with journal.Write(text).
class ScriptLog : public IDispatch {
public:
    using Interfaces = ov::Interfaces<IDispatch>;
    using LiveCounter = ov::LiveCount<struct ScriptLogTag>;

    const std::vector<std::wstring>& Lines() const noexcept { return lines_; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count != 1 || _wcsicmp(names[0], L"Write") != 0) return DISP_E_UNKNOWNNAME;
        ids[0] = kWrite;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (id != kWrite || !(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        ov::Variant text;
        if (FAILED(VariantChangeType(&text, &params->rgvarg[0], 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
        lines_.emplace_back(ov::Bstr::CopyOf(text.bstrVal).c_str());
        if (result) VariantInit(result);
        return S_OK;
    }

private:
    static constexpr DISPID kWrite = 1;
    std::vector<std::wstring> lines_;
};

const std::wstring kInvalid =
    L"Invalid state of the check-box.\r\n\r\nOnly the following values can be used as the "
    L"check-box state: 0, 1, 2, True and False.";

class ButtonsScriptTest : public ovtest::ControlFixture, public testing::WithParamInterface<const wchar_t*> {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        box_ = &App().Add<wpfsim::CheckBox>(&MainWindow(), L"System.Windows.Controls.CheckBox", L"agreeBox");
        box_->SetBounds({10, 10, 110, 30});
        box_->SetThreeState(true);
        Attach();
    }

    // Runs the script with "cb" (the check box's wrapper, errors raised to the script) and "journal".
    ovhost::ScriptRun Run(const wchar_t* language, const std::wstring& script) {
        auto wrapper = WrapElement<CovWPFCtrlCheckBox>(*box_);
        wrapper->put_ErrorReportMode(2);
        log_ = ov::Create<ScriptLog>();
        return ovhost::RunScript(language, script,
                                 {{L"cb", wrapper.As<IDispatch>()}, {L"journal", log_.As<IDispatch>()}});
    }
    std::vector<std::wstring> Lines() const { return log_->Lines(); }

    wpfsim::CheckBox* box_ = nullptr;
    ov::ComPtr<ScriptLog> log_;
};

// Both scripts do the same: check, gray (one click each), gray again (a notice), uncheck without a
// click, then pass a string, which the check box refuses.
const wchar_t* const kJScript = LR"(
journal.Write("start " + cb.wState);
cb.ClickButton(1);
journal.Write("after 1: " + cb.wState);
cb.ClickButton(2);
journal.Write("after 2: " + cb.wState);
cb.ClickButton(2);
cb.wState = 0;
journal.Write("after put: " + cb.wState);
try {
    cb.ClickButton("1");
    journal.Write("no error");
} catch (e) {
    journal.Write("error " + e.number + ": " + e.description);
}
)";

const wchar_t* const kVBScript = LR"(
journal.Write "start " & cb.wState
cb.ClickButton 1
journal.Write "after 1: " & cb.wState
s = 2
cb.ClickButton s
journal.Write "after 2: " & cb.wState
cb.ClickButton 2
cb.wState = 0
journal.Write "after put: " & cb.wState
On Error Resume Next
cb.ClickButton "1"
journal.Write "error " & Err.Number & ": " & Err.Description
)";

TEST_P(ButtonsScriptTest, ScriptSetsTheStatesAndCatchesTheRefusal) {
    const bool jscript = std::wstring(GetParam()) == L"JScript";
    ovhost::ScriptRun run = Run(GetParam(), jscript ? kJScript : kVBScript);
    std::wstring error = run.error ? run.error->ToString() : L"";
    ASSERT_TRUE(run.Succeeded()) << std::hex << run.hr << " " << std::string(error.begin(), error.end());
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{L"start 0", L"after 1: 1", L"after 2: 2", L"after put: 0",
                                                  L"error -2147467259: " + kInvalid}));
    EXPECT_EQ(box_->IsChecked(), false);
    EXPECT_EQ(box_->ClickCount(), 2);
    // The notice of the second ClickButton(2) is not logged: errors go to the script (mode 2), which
    // does not see notices.
    const std::wstring changed = L"The control state has been changed to '";
    EXPECT_EQ(Host().Log(), (std::vector<LogEntry>{
                                {ovhost::LogMessage, L"The check box was clicked with the left mouse button.",
                                 changed + L"checked'."},
                                {ovhost::LogMessage, L"The check box was clicked with the left mouse button.",
                                 changed + L"grayed'."},
                            }));
}

TEST_P(ButtonsScriptTest, UncaughtRefusalStopsTheScriptAtItsLine) {
    const bool jscript = std::wstring(GetParam()) == L"JScript";
    ovhost::ScriptRun run =
        Run(GetParam(), jscript ? L"cb.ClickButton(1);\ncb.ClickButton(7);\njournal.Write('end');"
                                : L"cb.ClickButton 1\ncb.ClickButton 7\njournal.Write \"end\"");
    EXPECT_FALSE(run.Succeeded());
    ASSERT_TRUE(run.error);
    EXPECT_EQ(run.error->line, 2u);
    EXPECT_EQ(run.error->description, kInvalid);
    EXPECT_EQ(run.error->code, E_FAIL);
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(box_->IsChecked(), true);
}

INSTANTIATE_TEST_SUITE_P(Engines, ButtonsScriptTest, testing::Values(L"JScript", L"VBScript"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                             return std::wstring(info.param) == L"JScript" ? "JScript" : "VBScript";
                         });

} // namespace
