// The five button wrappers as scripts reach them: by name through the wrapper's IDispatch and through the
// system's script engines, with what lands in the host's log, the clicks the elements receive and the calls
// the host and the application see.
#include "ControlFixture.h"

#include "controls/Buttons.h"
#include "host/ScriptSite.h"
#include "wpfsim/Buttons.h"

#include <map>

namespace {

using namespace ovtest;
using ovhost::LogEntry;
using ovhost::LogError;
using ovhost::LogMessage;
using ovhost::LogNotice;
using Log = std::vector<LogEntry>;

constexpr std::optional<bool> kGrayed = std::nullopt;
const wchar_t* const kDisabled = L"The control is disabled. The action cannot be executed.";

LONG StateNumber(std::optional<bool> s) {
    return !s ? 2 : *s ? 1 : 0;
}

class ButtonsTest : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        button_ = &Add<wpfsim::Button>(L"System.Windows.Controls.Button", L"okButton");
        repeat_ = &Add<wpfsim::RepeatButton>(L"System.Windows.Controls.Primitives.RepeatButton", L"more");
        toggle_ = &Add<wpfsim::ToggleButton>(L"System.Windows.Controls.Primitives.ToggleButton", L"bold");
        check_ = &Add<wpfsim::CheckBox>(L"System.Windows.Controls.CheckBox", L"agreeBox");
        radioA_ = &Add<wpfsim::RadioButton>(L"System.Windows.Controls.RadioButton", L"smallRadio");
        radioB_ = &Add<wpfsim::RadioButton>(L"System.Windows.Controls.RadioButton", L"largeRadio");
        Attach();
    }
    template <class T> T& Add(const wchar_t* cls, const wchar_t* name) {
        T& e = App().Add<T>(&MainWindow(), cls, name);
        LONG top = 10 + 40 * static_cast<LONG>(MainWindow().Children().size());
        e.SetBounds({10, top, 90, top + 30});
        return e;
    }
    // The wrapper for the element's host identifier as the host hands it out: its IDispatch.
    template <class W> ov::ComPtr<IDispatch> Wrap(const wpfsim::Element& e) {
        return WrapElement<W>(e).template As<IDispatch>();
    }
    static void SetErrorMode(IDispatch* wrapper, LONG mode) {
        ov::QueryAs<IovCtrlBase>(wrapper)->put_ErrorReportMode(mode);
    }

    wpfsim::Button* button_ = nullptr;
    wpfsim::RepeatButton* repeat_ = nullptr;
    wpfsim::ToggleButton* toggle_ = nullptr;
    wpfsim::CheckBox* check_ = nullptr;
    wpfsim::RadioButton* radioA_ = nullptr;
    wpfsim::RadioButton* radioB_ = nullptr;
};

TEST_F(ButtonsTest, ButtonClickMakesExactlyTheCallsOfOneCheckedClick) {
    auto wrapper = Wrap<CovWPFCtrlButton>(*button_);
    Host().Calls().Reset();
    App().ResetCalls();
    EXPECT_EQ(Call(wrapper.Get(), L"ClickButton").hr, S_OK);
    EXPECT_EQ(button_->ClickCount(), 1);
    EXPECT_EQ(TakeLog(), (Log{{LogMessage, L"The button was clicked with the left mouse button.", L""}}));

    const std::map<std::string, long, std::less<>> expected = {
        // The host object of the element, then its native object for "IsEnabled".
        {"IovObjectService::FindHostObject", 1},
        {"IovHostObject::GetExtender", 1},
        {"IovObject::GetNativeObject", 1},
        // The click under the action options 2 and 0, restored afterwards.
        {"IovHostObject::GetExtension", 1},
        {"IovActionOptions::get_ActionMode", 1},
        {"IovActionOptions::get_ActionFlags", 1},
        {"IovActionOptions::put_ActionMode", 2},
        {"IovActionOptions::put_ActionFlags", 2},
        {"IovMouseActions::Click", 1},
        {"IovHostLog::AddEntry", 1},
    };
    EXPECT_EQ(Host().Calls().Snapshot(), expected);
    // The application sees the enabled check and nothing else.
    EXPECT_EQ(App().Calls(), (wpfsim::CallCount{1, 1, 1}));
    EXPECT_EQ(App().Calls(L"IsEnabled"), (wpfsim::CallCount{1, 1, 1}));
    ASSERT_EQ(Host().Actions().size(), 1u);
    const ovhost::ActionRecord& a = Host().Actions()[0];
    EXPECT_EQ((std::vector<LONG>{a.x, a.y, a.shift, a.actionMode, a.actionFlags}),
              (std::vector<LONG>{-1, -1, 0, 2, 0}));
}

TEST_F(ButtonsTest, RepeatButtonClicksCountTimesOrRejectsTheCount) {
    auto wrapper = Wrap<CovWPFCtrlRepeatButton>(*repeat_);
    const LogEntry once{LogMessage, L"The repeat button was clicked with the left mouse button.", L""};
    const LogEntry thrice{LogMessage, L"The repeat button was clicked with the left mouse button 3 times.",
                          L""};
    const LogEntry invalid{LogError, L"Invalid argument.",
                           L"The argument of the ClickButton method must be a positive integer."};
    const std::tuple<std::vector<ov::Variant>, long, LogEntry> cases[] = {
        {{}, 1, once},
        {{ov::Variant::Int(1)}, 1, once},
        {{ov::Variant::Int(3)}, 3, thrice},
        {{ov::Variant::Int(0)}, 0, invalid},
        {{ov::Variant::Int(-5)}, 0, invalid}};
    for (const auto& [args, clicks, entry] : cases) {
        long before = repeat_->ClickCount();
        EXPECT_EQ(Call(wrapper.Get(), L"ClickButton", args).hr, S_OK);
        EXPECT_EQ(repeat_->ClickCount() - before, clicks);
        EXPECT_EQ(TakeLog(), Log{entry}) << clicks << " clicks expected";
    }
}

// --- check box and toggle button: the same cases with their own texts ---------------------------------

struct StateTexts {
    const wchar_t *invalid, *notAccepted, *noGrayed, *already, *clicked;
};
const StateTexts kCheckBox = {
    L"Invalid state of the check-box.",
    L"Only the following values can be used as the check-box state: 0, 1, 2, True and False.",
    L"Cannot change the state of the check-box. The cbGrayed state is valid only for those controls that "
    L"have the IsThreeState property set to True.",
    L"The check box is already ",
    L"The check box was clicked with the left mouse button.",
};
const StateTexts kToggle = {
    L"Invalid state of the toggle button.",
    L"Only the following values can be used as the toggle button state: 0, 1, 2, True, False.",
    L"Cannot change the state of the toggle button. The cbGrayed state is valid only for those controls that "
    L"have the IsThreeState property set to True.",
    L"The toggle button is already ",
    L"The toggle button was clicked with the left mouse button.",
};

class StateButtonTest : public ButtonsTest, public testing::WithParamInterface<bool> {
protected:
    bool IsCheckBox() const { return GetParam(); }
    wpfsim::ToggleButton& Element() { return IsCheckBox() ? *check_ : *toggle_; }
    const StateTexts& Texts() const { return IsCheckBox() ? kCheckBox : kToggle; }
    ov::ComPtr<IDispatch> Wrapper() {
        return IsCheckBox() ? Wrap<CovWPFCtrlCheckBox>(*check_) : Wrap<CovWPFCtrlToggleButton>(*toggle_);
    }
    // The wrapper's own ClickButton through its vtable.
    HRESULT VtableClick(IDispatch* wrapper, LONG state) {
        return IsCheckBox() ? ov::QueryAs<IovWPFCheckBox>(wrapper)->ClickButton(ov::Variant::Int(state))
                            : ov::QueryAs<IovWPFToggleButton>(wrapper)->ClickButton(ov::Variant::Int(state));
    }
    void Arrange(bool threeState, std::optional<bool> state) {
        Element().SetThreeState(threeState);
        Element().SetChecked(state);
        Host().ClearLog();
    }
    LogEntry Clicked(const wchar_t* word) const {
        return {LogMessage, Texts().clicked,
                std::wstring(L"The control state has been changed to '") + word + L"'."};
    }
    LogEntry Already(const wchar_t* word) const {
        return {LogNotice, Texts().already + std::wstring(word) + L".", L""};
    }
    LogEntry NotAccepted() const { return {LogError, Texts().invalid, Texts().notAccepted}; }
    LogEntry NoGrayed() const { return {LogError, Texts().invalid, Texts().noGrayed}; }
    std::wstring NoGrayedText() const {
        return std::wstring(Texts().invalid) + L"\r\n\r\n" + Texts().noGrayed;
    }
};

TEST_P(StateButtonTest, ClickButtonReachesTheStateWithOneOrTwoClicks) {
    auto wrapper = Wrapper();
    // Three-state, start, argument, clicks, end, log entry.
    const std::tuple<bool, std::optional<bool>, ov::Variant, long, std::optional<bool>, LogEntry> cases[] = {
        // Two states: one click to either state; True, 1 and -1 all mean checked.
        {false, false, ov::Variant::Int(1), 1, true, Clicked(L"checked")},
        {false, false, ov::Variant::Bool(true), 1, true, Clicked(L"checked")},
        {false, false, ov::Variant::Int(-1), 1, true, Clicked(L"checked")},
        {false, true, ov::Variant::Bool(false), 1, false, Clicked(L"unchecked")},
        // Three states: unchecked -> checked -> grayed -> unchecked.
        {true, false, ov::Variant::Int(2), 2, kGrayed, Clicked(L"grayed")},
        {true, false, ov::Variant::Int(1), 1, true, Clicked(L"checked")},
        {true, true, ov::Variant::Int(0), 2, false, Clicked(L"unchecked")},
        {true, true, ov::Variant::Int(2), 1, kGrayed, Clicked(L"grayed")},
        {true, kGrayed, ov::Variant::Int(1), 2, true, Clicked(L"checked")},
        {true, kGrayed, ov::Variant::Int(0), 1, false, Clicked(L"unchecked")},
        // Already there: a notice of kind 1, nothing clicked.
        {false, true, ov::Variant::Int(1), 0, true, Already(L"checked")},
        {false, false, ov::Variant::Bool(false), 0, false, Already(L"unchecked")},
        {true, kGrayed, ov::Variant::Int(2), 0, kGrayed, Already(L"grayed")},
        // Refused before any click.
        {false, false, ov::Variant::Int(2), 0, false, NoGrayed()},
        {false, false, ov::Variant::Int(3), 0, false, NotAccepted()},
        {true, false, ov::Variant::Int(-2), 0, false, NotAccepted()},
        {true, false, ov::Variant::Double(1.0), 0, false, NotAccepted()},
        {true, false, ov::Variant(), 0, false, NotAccepted()},
    };
    int row = 0;
    for (const auto& [threeState, start, arg, clicks, end, entry] : cases) {
        SCOPED_TRACE("row " + std::to_string(row++));
        Arrange(threeState, start);
        long before = Element().ClickCount();
        EXPECT_EQ(Call(wrapper.Get(), L"ClickButton", {arg}).hr, S_OK);
        EXPECT_EQ(Element().ClickCount() - before, clicks);
        EXPECT_EQ(Element().IsChecked(), end);
        EXPECT_EQ(TakeLog(), Log{entry});
    }
}

TEST_P(StateButtonTest, ClickLoopFollowsWhatTheApplicationMakesOfEachClick) {
    auto wrapper = Wrapper();
    // A click that changes nothing ends the action quietly, without a second click.
    Arrange(true, false);
    Element().ResetStateAfterClicks();
    EXPECT_EQ(Call(wrapper.Get(), L"ClickButton", {ov::Variant::Int(2)}).hr, S_OK);
    EXPECT_EQ(Element().ClickCount(), 1);
    EXPECT_TRUE(TakeLog().empty());
    // The application skips the grayed state: the second click reports the target all the same.
    Element().SetClickHandler([&](wpfsim::ButtonBase&) {
        if (!Element().IsChecked()) Element().SetChecked(false);
    });
    EXPECT_EQ(Call(wrapper.Get(), L"ClickButton", {ov::Variant::Int(2)}).hr, S_OK);
    EXPECT_EQ(Element().ClickCount(), 3);
    EXPECT_EQ(Element().IsChecked(), false);
    EXPECT_EQ(TakeLog(), Log{Clicked(L"grayed")});
}

TEST_P(StateButtonTest, WStateSetsAndReadsWithoutClicking) {
    auto wrapper = Wrapper();
    // Three-state, start, value put, end, log; no notice for a state already there: wState is no action.
    const std::tuple<bool, std::optional<bool>, LONG, std::optional<bool>, Log> cases[] = {
        {true, false, 2, kGrayed, {}},
        {true, kGrayed, 1, true, {}},
        {true, true, 0, false, {}},
        {false, false, -1, true, {}},
        {false, true, 1, true, {}},
        {false, false, 2, false, {NoGrayed()}},
        {true, false, 5, false, {NotAccepted()}}};
    for (const auto& [threeState, start, put, end, log] : cases) {
        Arrange(threeState, start);
        EXPECT_EQ(Put(wrapper.Get(), L"wState", ov::Variant::Int(put)).hr, S_OK);
        EXPECT_EQ(Element().IsChecked(), end) << "put " << put;
        EXPECT_EQ(TakeLog(), log) << "put " << put;
        Result got = Get(wrapper.Get(), L"wState");
        EXPECT_EQ(got.value.vt, VT_I4);
        EXPECT_EQ(got.value.lVal, StateNumber(end));
    }
    // No action, no enabled check.
    Element().SetEnabled(false);
    Arrange(true, false);
    EXPECT_EQ(Put(wrapper.Get(), L"wState", ov::Variant::Int(2)).hr, S_OK);
    EXPECT_EQ(Element().IsChecked(), kGrayed);
    EXPECT_TRUE(TakeLog().empty());
    EXPECT_EQ(Element().ClickCount(), 0);
}

TEST_P(StateButtonTest, ErrorReportModesDecideWhatTheCallerSees) {
    auto wrapper = Wrapper();
    // Mode; a notice (ClickButton(1) when checked) or an error (ClickButton(2) on a two-state element);
    // the member's result, which Invoke hands on as scode of DISP_E_EXCEPTION; described; logged.
    const std::tuple<LONG, bool, HRESULT, bool, bool> cases[] = {
        {0, false, S_OK, false, false},         {0, true, S_OK, false, false},
        {1, false, S_OK, false, true},          {1, true, S_OK, false, true},
        {2, false, E_FAIL, true, false},        {2, true, S_OK, false, false},
        {3, false, E_FAIL, true, false},        {3, true, S_OK, false, false}, // outside the module: as 2
        {7, false, E_UNEXPECTED, false, false}, {7, true, E_UNEXPECTED, false, false}};
    for (auto [mode, notice, member, described, logged] : cases) {
        SCOPED_TRACE("mode " + std::to_string(mode) + (notice ? " notice" : " error"));
        SetErrorMode(wrapper.Get(), mode);
        Arrange(false, notice);
        Result r = Call(wrapper.Get(), L"ClickButton", {ov::Variant::Int(notice ? 1 : 2)});
        EXPECT_EQ(r.hr, member == S_OK ? S_OK : DISP_E_EXCEPTION);
        EXPECT_EQ(r.scode, member);
        EXPECT_EQ(r.description, described ? NoGrayedText() : L"");
        EXPECT_EQ(TakeLog(), logged ? Log{notice ? Already(L"checked") : NoGrayed()} : Log{});
        EXPECT_EQ(Element().ClickCount(), 0);
    }
    // Mode 3 inside the module: the error itself, notices too.
    SetErrorMode(wrapper.Get(), 3);
    Arrange(false, false);
    ov::InModuleCall inside;
    ExpectError(Raised([&] { VtableClick(wrapper.Get(), 2); }), Texts().invalid, Texts().noGrayed, 3);
    Arrange(true, kGrayed);
    ExpectError(Raised([&] { VtableClick(wrapper.Get(), 2); }), Texts().already + std::wstring(L"grayed."),
                L"", 1);
    EXPECT_TRUE(TakeLog().empty());
}

TEST_P(StateButtonTest, InternalOperationLeavesErrorsToItsCallerAsErrorInformation) {
    auto internal = ov::QueryAs<IovWPFToggleButtonInternal>(Wrapper().Get());
    Arrange(false, true);
    EXPECT_EQ(internal->ClickButtonInternal(ov::Variant::Int(1)), DISP_E_EXCEPTION);
    ov::ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.Put()), S_OK);
    ov::Bstr text;
    info->GetDescription(text.Put());
    EXPECT_EQ(text.View(), Texts().already + std::wstring(L"checked.\r\n\r\n"));
    DWORD kind = 0;
    info->GetHelpContext(&kind);
    EXPECT_EQ(kind, 1u);
    EXPECT_EQ(internal->ClickButtonInternal(ov::Variant::Int(0)), S_OK);
    EXPECT_EQ(TakeLog(), Log{Clicked(L"unchecked")}) << "the action's message only, no notice";
}

INSTANTIATE_TEST_SUITE_P(Kinds, StateButtonTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "CheckBox" : "ToggleButton";
                         });

// --- radio button and every kind -----------------------------------------------------------------------

TEST_F(ButtonsTest, RadioButtonClickChecksItOrFailsWhenItStaysUnchecked) {
    auto small = Wrap<CovWPFCtrlRadioButton>(*radioA_);
    auto large = Wrap<CovWPFCtrlRadioButton>(*radioB_);
    radioB_->SetChecked(true);
    for (int i = 0; i < 2; ++i) { // a click on a checked radio button reports the same
        EXPECT_EQ(Call(small.Get(), L"ClickButton").hr, S_OK);
        EXPECT_EQ(TakeLog(), (Log{{LogMessage, L"The radio button was clicked with the left mouse button.",
                                   L"The control state has been changed to 'checked'."}}));
    }
    EXPECT_EQ(radioA_->ClickCount(), 2);
    EXPECT_EQ(Get(small.Get(), L"wChecked").value.vt, VT_BOOL);
    EXPECT_EQ(Get(small.Get(), L"wChecked").value.boolVal, VARIANT_TRUE);
    EXPECT_EQ(Get(large.Get(), L"wChecked").value.boolVal, VARIANT_FALSE);

    radioB_->ResetStateAfterClicks();
    SetErrorMode(large.Get(), 2);
    Result r = Call(large.Get(), L"ClickButton");
    EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(r.description, L"The radio button was clicked, but it stayed in the unchecked state.\r\n\r\n");
    EXPECT_EQ(radioB_->ClickCount(), 1);
    EXPECT_TRUE(TakeLog().empty());
}

TEST_F(ButtonsTest, StateIsReadFromEveryFormOfIsChecked) {
    auto box = Wrap<CovWPFCtrlCheckBox>(*check_);
    auto radio = Wrap<CovWPFCtrlRadioButton>(*radioA_);
    for (auto form :
         {wpfsim::CheckedForm::BoolOrNull, wpfsim::CheckedForm::BoolOrEmpty, wpfsim::CheckedForm::Boxed}) {
        check_->SetCheckedForm(form);
        radioA_->SetCheckedForm(form);
        for (std::optional<bool> state : {std::optional<bool>(false), std::optional<bool>(true), kGrayed}) {
            SCOPED_TRACE(testing::Message()
                         << "form " << static_cast<int>(form) << ", state " << StateNumber(state));
            check_->SetChecked(state);
            radioA_->SetChecked(state);
            EXPECT_EQ(Get(box.Get(), L"wState").value.lVal, StateNumber(state));
            EXPECT_EQ(Get(radio.Get(), L"wChecked").value.boolVal,
                      state == true ? VARIANT_TRUE : VARIANT_FALSE);
        }
    }
}

TEST_F(ButtonsTest, DisabledElementsFailEveryClickButtonBeforeAnyClickWhilePropertiesStillRead) {
    // The wrapper, its element, the arguments of a ClickButton that clicks, a property.
    const std::tuple<ov::ComPtr<IDispatch>, wpfsim::ButtonBase*, std::vector<ov::Variant>, const wchar_t*>
        kinds[] = {{Wrap<CovWPFCtrlButton>(*button_), button_, {}, nullptr},
                   {Wrap<CovWPFCtrlRepeatButton>(*repeat_), repeat_, {ov::Variant::Int(2)}, nullptr},
                   {Wrap<CovWPFCtrlToggleButton>(*toggle_), toggle_, {ov::Variant::Int(1)}, L"wState"},
                   {Wrap<CovWPFCtrlCheckBox>(*check_), check_, {ov::Variant::Int(1)}, L"wState"},
                   {Wrap<CovWPFCtrlRadioButton>(*radioA_), radioA_, {}, L"wChecked"}};
    for (bool byWindow : {false, true}) {
        for (const auto& [wrapper, element, args, property] : kinds) {
            wpfsim::Element& disabled = byWindow ? MainWindow() : *element;
            disabled.SetEnabled(false);
            EXPECT_EQ(Call(wrapper.Get(), L"ClickButton", args).hr, S_OK);
            EXPECT_EQ(TakeLog(), (Log{{LogError, kDisabled, L""}}));
            if (property) {
                EXPECT_EQ(Get(wrapper.Get(), property).hr, S_OK);
            }
            disabled.SetEnabled(true);
        }
    }
    EXPECT_TRUE(Host().Actions().empty());
}

// --- through the script engines ----------------------------------------------------------------------

// Both scripts: check, gray (one click each), gray again (a notice), uncheck without a click, then pass a
// string, which the check box refuses. What they write goes to "journal" (VBScript's Log function owns
// "log").
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

class ButtonsScriptTest : public ButtonsTest, public testing::WithParamInterface<const wchar_t*> {};

TEST_P(ButtonsScriptTest, ScriptSetsTheStatesAndCatchesTheRefusal) {
    check_->SetThreeState(true);
    auto wrapper = WrapElement<CovWPFCtrlCheckBox>(*check_);
    wrapper->put_ErrorReportMode(2);
    std::vector<std::wstring> lines;
    auto journal = ov::Create<wpfsim::ClrObject>(App().SharedRuntime(), L"Journal");
    journal->AddMethod(L"Write", 1, [&lines](const wpfsim::Args& a) {
        lines.push_back(wpfsim::TextOf(a[0]));
        return ov::Variant();
    });
    const bool jscript = std::wstring(GetParam()) == L"JScript";
    ovhost::ScriptRun run =
        ovhost::RunScript(GetParam(), jscript ? kJScript : kVBScript,
                          {{L"cb", wrapper.As<IDispatch>()}, {L"journal", journal->NewDispatch()}});
    std::wstring error = run.error ? run.error->ToString() : L"";
    ASSERT_TRUE(run.Succeeded()) << std::hex << run.hr << " " << std::string(error.begin(), error.end());
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"start 0", L"after 1: 1", L"after 2: 2", L"after put: 0",
                                                L"error -2147467259: " + std::wstring(kCheckBox.invalid) +
                                                    L"\r\n\r\n" + kCheckBox.notAccepted}));
    EXPECT_EQ(check_->IsChecked(), false);
    EXPECT_EQ(check_->ClickCount(), 2);
    // Mode 2 raises errors to the script and drops notices: the second ClickButton(2) leaves no entry.
    EXPECT_EQ(TakeLog(),
              (Log{{LogMessage, kCheckBox.clicked, L"The control state has been changed to 'checked'."},
                   {LogMessage, kCheckBox.clicked, L"The control state has been changed to 'grayed'."}}));
}

INSTANTIATE_TEST_SUITE_P(Engines, ButtonsScriptTest, testing::Values(L"JScript", L"VBScript"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                             return std::wstring(info.param) == L"JScript" ? "JScript" : "VBScript";
                         });

} // namespace
