// What only a native test sees of the button wrappers: the host's and the application's calls of a click, the
// one- and two-click paths, the refused states, disabled elements (every
// member's log lines and the report modes as scripts see them: tests/scripts).
#include "ControlFixture.h"

#include "controls/Buttons.h"
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

class ButtonsTest : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        button_ = &Add<wpfsim::Button>(L"System.Windows.Controls.Button", L"okButton");
        repeat_ = &Add<wpfsim::RepeatButton>(L"System.Windows.Controls.Primitives.RepeatButton", L"more");
        toggle_ = &Add<wpfsim::ToggleButton>(L"System.Windows.Controls.Primitives.ToggleButton", L"bold");
        check_ = &Add<wpfsim::CheckBox>(L"System.Windows.Controls.CheckBox", L"agreeBox");
        radioA_ = &Add<wpfsim::RadioButton>(L"System.Windows.Controls.RadioButton", L"smallRadio");
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
};

TEST_F(ButtonsTest, ButtonClickMakesExactlyTheCallsOfOneCheckedClick) {
    auto wrapper = Wrap<CovWPFCtrlButton>(*button_);
    Host().Calls().Reset();
    App().ResetCalls();
    EXPECT_EQ(Call(wrapper.Get(), L"ClickButton").hr, S_OK);
    EXPECT_EQ(button_->ClickCount(), 1);
    EXPECT_EQ(TakeLog(), (Log{{LogMessage, L"The button was clicked with the left mouse button.", L""}}));

    const auto expected = ovtest::AndOneClick({
        // The host object of the element, then its native object for "IsEnabled".
        {"IovObjectService::FindHostObject", 1},
        {"IovHostObject::GetExtender", 1},
        {"IovObject::GetNativeObject", 1},
    });
    EXPECT_EQ(Host().Calls().Snapshot(), expected);
    // The application sees the enabled check and nothing else.
    EXPECT_EQ(App().Calls(), (wpfsim::CallCount{1, 1, 1}));
    EXPECT_EQ(App().Calls(L"IsEnabled"), (wpfsim::CallCount{1, 1, 1}));
}

// --- check box and toggle button: the same cases with their own texts ---------------------------------

struct StateTexts {
    const wchar_t *invalid, *notAccepted, *already, *clicked;
};
const StateTexts kCheckBox = {
    L"Invalid state of the check-box.",
    L"Only the following values can be used as the check-box state: 0, 1, 2, True and False.",
    L"The check box is already ",
    L"The check box was clicked with the left mouse button.",
};
const StateTexts kToggle = {
    L"Invalid state of the toggle button.",
    L"Only the following values can be used as the toggle button state: 0, 1, 2, True, False.",
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
};

TEST_P(StateButtonTest, ClickButtonReachesTheStateWithOneOrTwoClicks) {
    auto wrapper = Wrapper();
    // Three-state, start, argument, clicks, end, log entry.
    const std::tuple<bool, std::optional<bool>, ov::Variant, long, std::optional<bool>, LogEntry> cases[] = {
        // Two states (one click to either state, 1 and -1 mean checked), unchecked to grayed, a state
        // reached already and the refused ones: buttons.js. Three states: unchecked -> checked -> grayed.
        {true, false, ov::Variant::Int(1), 1, true, Clicked(L"checked")},
        {true, true, ov::Variant::Int(0), 2, false, Clicked(L"unchecked")},
        {true, true, ov::Variant::Int(2), 1, kGrayed, Clicked(L"grayed")},
        {true, kGrayed, ov::Variant::Int(1), 2, true, Clicked(L"checked")},
        {true, kGrayed, ov::Variant::Int(0), 1, false, Clicked(L"unchecked")},
        // Already there: a notice of kind 1, nothing clicked; refused before any click.
        {true, kGrayed, ov::Variant::Int(2), 0, kGrayed, Already(L"grayed")},
        {false, false, ov::Variant::Int(3), 0, false, NotAccepted()},
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

// Hosts hand a bool? over in one of three forms; the state reads the same from each.
const std::pair<wpfsim::CheckedForm, const char*> kForms[] = {
    {wpfsim::CheckedForm::BoolOrNull, "bool or null"},
    {wpfsim::CheckedForm::BoolOrEmpty, "bool or empty"},
    {wpfsim::CheckedForm::Boxed, "boxed"}};

TEST_P(StateButtonTest, EveryFormOfIsCheckedReadsAsItsState) {
    auto wrapper = Wrapper();
    for (const auto& [form, name] : kForms) {
        SCOPED_TRACE(name);
        Element().SetCheckedForm(form);
        const std::pair<std::optional<bool>, LONG> states[] = {{false, 0}, {true, 1}, {kGrayed, 2}};
        for (const auto& [state, expected] : states) {
            Arrange(true, state);
            Result got = Get(wrapper.Get(), L"wState");
            ASSERT_EQ(got.hr, S_OK);
            EXPECT_EQ(got.value.vt, VT_I4);
            EXPECT_EQ(got.value.lVal, expected) << "IsChecked " << expected;
        }
        // The clicks stop at the state read back.
        Arrange(false, false);
        EXPECT_EQ(Call(wrapper.Get(), L"ClickButton", {ov::Variant::Int(1)}).hr, S_OK);
        EXPECT_EQ(Element().IsChecked(), true);
        EXPECT_EQ(TakeLog(), Log{Clicked(L"checked")});
        EXPECT_EQ(Call(wrapper.Get(), L"ClickButton", {ov::Variant::Int(1)}).hr, S_OK);
        EXPECT_EQ(TakeLog(), Log{Already(L"checked")});
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, StateButtonTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "CheckBox" : "ToggleButton";
                         });

TEST_F(ButtonsTest, RadioButtonReadsEveryFormOfIsCheckedAndSaysWhenTheClickDidNotCheckIt) {
    auto wrapper = Wrap<CovWPFCtrlRadioButton>(*radioA_);
    const LogEntry clicked{LogMessage, L"The radio button was clicked with the left mouse button.",
                           L"The control state has been changed to 'checked'."};
    const LogEntry stayed{LogError, L"The radio button was clicked, but it stayed in the unchecked state.",
                          L""};
    for (const auto& [form, name] : kForms) {
        SCOPED_TRACE(name);
        radioA_->SetCheckedForm(form);
        // wChecked: a state without a value is not checked.
        const std::pair<std::optional<bool>, bool> states[] = {
            {false, false}, {true, true}, {kGrayed, false}};
        for (const auto& [state, expected] : states) {
            radioA_->SetChecked(state);
            Result got = Get(wrapper.Get(), L"wChecked");
            ASSERT_EQ(got.hr, S_OK);
            EXPECT_EQ(got.value.vt, VT_BOOL);
            EXPECT_EQ(got.value.boolVal != VARIANT_FALSE, expected);
        }
        // Already checked, a click all the same; unchecked, checked by the click; or the application
        // puts it back.
        for (auto [start, resets, entry] :
             {std::tuple{true, false, clicked}, std::tuple{false, false, clicked},
              std::tuple{false, true, stayed}}) {
            radioA_->SetChecked(start);
            radioA_->SetClickHandler({});
            if (resets) radioA_->ResetStateAfterClicks();
            const long before = radioA_->ClickCount();
            EXPECT_EQ(Call(wrapper.Get(), L"ClickButton").hr, S_OK);
            EXPECT_EQ(radioA_->ClickCount() - before, 1);
            EXPECT_EQ(TakeLog(), Log{entry});
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

} // namespace
