// The five button wrappers as scripts reach them: by name through the wrapper's IDispatch, with the
// action messages, notices and errors that land in the host's log, the clicks the simulated elements
// receive and the calls the host and the application see.
#include "ControlFixture.h"

#include "controls/Buttons.h"
#include "wpfsim/Buttons.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using ovhost::LogEntry;
using ovhost::LogError;
using ovhost::LogMessage;
using ovhost::LogNotice;
using ovtest::Raised;

constexpr std::optional<bool> kGrayed = std::nullopt;
const wchar_t* const kDisabled = L"The control is disabled. The action cannot be executed.";

// The outcome of a late-bound call: the result, the value, and what DispInvoke made of a failure.
struct Outcome {
    HRESULT hr = E_FAIL;
    ov::Variant value;
    std::wstring description;
    SCODE scode = 0;
};

// GetIDsOfNames, then Invoke, as a script engine calls; arguments in call order.
Outcome CallByName(IDispatch* d, const wchar_t* name, WORD flags, std::vector<ov::Variant> args = {}) {
    Outcome out;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    out.hr = d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(out.hr)) return out;
    std::vector<VARIANT> rg(args.rbegin(), args.rend());
    DISPID put = DISPID_PROPERTYPUT;
    const bool isPut = (flags & DISPATCH_PROPERTYPUT) != 0;
    DISPPARAMS params{rg.data(), isPut ? &put : nullptr, static_cast<UINT>(rg.size()), isPut ? 1u : 0u};
    EXCEPINFO excep{};
    out.hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, isPut ? nullptr : &out.value,
                       &excep, nullptr);
    out.description = ov::Bstr::Adopt(excep.bstrDescription).c_str();
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrHelpFile);
    out.scode = excep.scode;
    return out;
}
Outcome Method(IDispatch* d, const wchar_t* name, std::vector<ov::Variant> args = {}) {
    return CallByName(d, name, DISPATCH_METHOD, std::move(args));
}
Outcome Get(IDispatch* d, const wchar_t* name) {
    return CallByName(d, name, DISPATCH_PROPERTYGET);
}
Outcome Put(IDispatch* d, const wchar_t* name, ov::Variant value) {
    return CallByName(d, name, DISPATCH_PROPERTYPUT, {std::move(value)});
}

ov::Variant Null() {
    ov::Variant v;
    v.vt = VT_NULL;
    return v;
}

std::wstring StateText(std::optional<bool> s) {
    return !s ? L"grayed" : *s ? L"checked" : L"unchecked";
}

class ButtonsTest : public ovtest::ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        button_ = &Add<wpfsim::Button>(L"System.Windows.Controls.Button", L"okButton", {10, 10, 90, 40});
        repeat_ = &Add<wpfsim::RepeatButton>(L"System.Windows.Controls.Primitives.RepeatButton",
                                             L"moreButton", {100, 10, 180, 40});
        toggle_ = &Add<wpfsim::ToggleButton>(L"System.Windows.Controls.Primitives.ToggleButton",
                                             L"boldToggle", {10, 50, 90, 80});
        check_ = &Add<wpfsim::CheckBox>(L"System.Windows.Controls.CheckBox", L"agreeBox", {100, 50, 180, 80});
        radioA_ = &Add<wpfsim::RadioButton>(L"System.Windows.Controls.RadioButton", L"smallRadio",
                                            {10, 90, 90, 120});
        radioB_ = &Add<wpfsim::RadioButton>(L"System.Windows.Controls.RadioButton", L"largeRadio",
                                            {100, 90, 180, 120});
        Attach();
    }

    template <class T> T& Add(const wchar_t* cls, const wchar_t* name, RECT bounds) {
        T& e = App().Add<T>(&MainWindow(), cls, name);
        e.SetBounds(bounds);
        return e;
    }
    // The wrapper of class W for the element's host identifier, as the host gets it: its IDispatch.
    template <class W> ov::ComPtr<IDispatch> Wrap(const wpfsim::Element& e) {
        return WrapElement<W>(e).template As<IDispatch>();
    }
    static void SetModes(IDispatch* wrapper, LONG errorMode, LONG messageMode = 1) {
        auto base = ov::QueryAs<IovCtrlBase>(wrapper);
        ASSERT_TRUE(base);
        base->put_ErrorReportMode(errorMode);
        base->put_MessageReportMode(messageMode);
    }
    std::vector<LogEntry> TakeLog() {
        std::vector<LogEntry> log = Host().Log();
        Host().ClearLog();
        return log;
    }

    wpfsim::Button* button_ = nullptr;
    wpfsim::RepeatButton* repeat_ = nullptr;
    wpfsim::ToggleButton* toggle_ = nullptr;
    wpfsim::CheckBox* check_ = nullptr;
    wpfsim::RadioButton* radioA_ = nullptr;
    wpfsim::RadioButton* radioB_ = nullptr;
};

// --- kind infos ---------------------------------------------------------------------------------------

template <class Info> ov::ComPtr<IovWPFControlMappingInfo> NewInfo() {
    return ov::Create<Info>().template As<IovWPFControlMappingInfo>();
}

TEST_F(ButtonsTest, KindInfosMakeWrappersThatAnswerTheirOwnInterfacesFirst) {
    struct Case {
        ov::ComPtr<IovWPFControlMappingInfo> info;
        LONG kind;
        IID key;
        const wchar_t* displayName;
        const wchar_t* className;
        bool internal;
    } cases[] = {
        {NewInfo<CovWPFCtrlButton::CovWPFCtrlButtonInfo>(), ctrlWPFButton, __uuidof(IovWPFButton), L"Button",
         L"System.Windows.Controls.Button", false},
        {NewInfo<CovWPFCtrlRepeatButton::CovWPFCtrlRepeatButtonInfo>(), ctrlWPFRepeatButton,
         __uuidof(IovWPFRepeatButton), L"Repeat button", L"System.Windows.Controls.Primitives.RepeatButton",
         false},
        {NewInfo<CovWPFCtrlToggleButton::CovWPFCtrlToggleButtonInfo>(), ctrlWPFToggleButton,
         __uuidof(IovWPFToggleButton), L"Toggle button", L"System.Windows.Controls.Primitives.ToggleButton",
         true},
        {NewInfo<CovWPFCtrlRadioButton::CovWPFCtrlRadioButtonInfo>(), ctrlWPFRadioButton,
         __uuidof(IovWPFRadioButton), L"Radio button", L"System.Windows.Controls.RadioButton", false},
        {NewInfo<CovWPFCtrlCheckBox::CovWPFCtrlCheckBoxInfo>(), ctrlWPFCheckBox, __uuidof(IovWPFCheckBox),
         L"Check box", L"System.Windows.Controls.CheckBox", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.displayName, c.displayName + wcslen(c.displayName)));
        ASSERT_TRUE(c.info);
        LONG kind = 0;
        EXPECT_EQ(c.info->GetControlType(&kind), S_OK);
        EXPECT_EQ(kind, c.kind);
        auto mapping = c.info.As<IovWindowMappingInfo>();
        GUID key{};
        mapping->GetKey(&key);
        EXPECT_TRUE(IsEqualGUID(key, c.key));
        ov::Bstr text;
        mapping->GetDisplayName(text.Put());
        EXPECT_EQ(text.View(), c.displayName);
        LONG count = 0;
        mapping->GetClassNameCount(&count);
        ASSERT_EQ(count, 1);
        mapping->GetClassName(0, text.Put());
        EXPECT_EQ(text.View(), c.className);
        VARIANT_BOOL fixed = VARIANT_TRUE;
        mapping->GetFixedFlag(&fixed);
        EXPECT_EQ(fixed, VARIANT_FALSE);

        GUID id = check_->Id();
        ov::ComPtr<IDispatch> byKey, byObject;
        ASSERT_EQ(c.info->CreateControlWithKey(&id, byKey.Put()), S_OK);
        ASSERT_EQ(c.info->CreateControl(check_->NewDispatch().Get(), byObject.Put()), S_OK);
        for (auto& wrapper : {byKey, byObject}) {
            ASSERT_TRUE(wrapper);
            // The identity is the wrapper's own interface, the first it lists.
            auto own = ov::QueryAs<IUnknown>(wrapper.Get());
            void* ownItf = nullptr;
            ASSERT_EQ(wrapper->QueryInterface(c.key, &ownItf), S_OK);
            EXPECT_EQ(static_cast<void*>(own.Get()), ownItf);
            static_cast<IUnknown*>(ownItf)->Release();
            EXPECT_EQ(static_cast<bool>(ov::QueryAs<IovWPFToggleButtonInternal>(wrapper.Get())), c.internal);
            EXPECT_TRUE(ov::QueryAs<IovWPFControl>(wrapper.Get()));
            EXPECT_TRUE(ov::QueryAs<IovCtrlsMenuInternal>(wrapper.Get()));
            EXPECT_TRUE(ov::QueryAs<IovCtrlBase>(wrapper.Get()));
            // Every dispinterface of the wrapper answers through its one IDispatch.
            DISPID ids[2] = {};
            LPOLESTR names[] = {const_cast<LPOLESTR>(L"ClickButton"), const_cast<LPOLESTR>(L"PopupMenu")};
            EXPECT_EQ(wrapper->GetIDsOfNames(IID_NULL, &names[0], 1, 0, &ids[0]), S_OK);
            EXPECT_EQ(wrapper->GetIDsOfNames(IID_NULL, &names[1], 1, 0, &ids[1]), S_OK);
            EXPECT_EQ(ids[1], 0x3500000);
        }
    }
}

// --- button -------------------------------------------------------------------------------------------

TEST_F(ButtonsTest, ButtonClickMakesExactlyTheCallsOfOneCheckedClick) {
    auto wrapper = Wrap<CovWPFCtrlButton>(*button_);
    DISPID id = 0;
    LPOLESTR name[] = {const_cast<LPOLESTR>(L"ClickButton")};
    ASSERT_EQ(wrapper->GetIDsOfNames(IID_NULL, name, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 0x3506000);
    Host().Calls().Reset();
    App().ResetCalls();

    Outcome r = Method(wrapper.Get(), L"ClickButton");
    EXPECT_EQ(r.hr, S_OK);
    EXPECT_EQ(button_->ClickCount(), 1);
    EXPECT_EQ(TakeLog(), (std::vector<LogEntry>{
                             {LogMessage, L"The button was clicked with the left mouse button.", L""}}));

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
    EXPECT_EQ(Host().Actions()[0].x, -1);
    EXPECT_EQ(Host().Actions()[0].y, -1);
    EXPECT_EQ(Host().Actions()[0].shift, 0);
    EXPECT_EQ(Host().Actions()[0].actionMode, 2);
    EXPECT_EQ(Host().Actions()[0].actionFlags, 0);
}

TEST_F(ButtonsTest, ButtonWithoutHostObjectFailsWithTheGenericErrorBeforeClicking) {
    auto wrapper = WrapObject<CovWPFCtrlButton>(*button_).As<IDispatch>();
    EXPECT_EQ(Method(wrapper.Get(), L"ClickButton").hr, S_OK);
    EXPECT_EQ(TakeLog(), (std::vector<LogEntry>{{LogError, L"An error occurred.", ov::texts::Reasons}}));
    EXPECT_EQ(button_->ClickCount(), 0);
}

// --- repeat button ------------------------------------------------------------------------------------

TEST_F(ButtonsTest, RepeatButtonClicksCountTimesOrRejectsTheCount) {
    auto wrapper = Wrap<CovWPFCtrlRepeatButton>(*repeat_);
    const LogEntry invalid{LogError, L"Invalid argument.",
                           L"The argument of the ClickButton method must be a positive integer."};
    struct Case {
        std::vector<ov::Variant> args;
        bool enabled;
        long clicks;
        LogEntry entry;
    } cases[] = {
        {{}, true, 1, {LogMessage, L"The repeat button was clicked with the left mouse button.", L""}},
        {{ov::Variant::Int(1)},
         true,
         1,
         {LogMessage, L"The repeat button was clicked with the left mouse button.", L""}},
        {{ov::Variant::Int(3)},
         true,
         3,
         {LogMessage, L"The repeat button was clicked with the left mouse button 3 times.", L""}},
        {{ov::Variant::Int(0)}, true, 0, invalid},
        {{ov::Variant::Int(-5)}, true, 0, invalid},
        // The enabled check comes first.
        {{ov::Variant::Int(0)}, false, 0, {LogError, kDisabled, L""}},
    };
    for (auto& c : cases) {
        repeat_->SetEnabled(c.enabled);
        long before = repeat_->ClickCount();
        EXPECT_EQ(Method(wrapper.Get(), L"ClickButton", c.args).hr, S_OK);
        EXPECT_EQ(repeat_->ClickCount() - before, c.clicks);
        EXPECT_EQ(TakeLog(), std::vector<LogEntry>{c.entry}) << c.clicks << " clicks expected";
    }
}

// --- check box and toggle button ------------------------------------------------------------------------

struct StateTexts {
    const wchar_t* invalid;
    const wchar_t* notAccepted;
    const wchar_t* noGrayed;
    const wchar_t* already;
    const wchar_t* clicked;
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

// The check box and the toggle button run the same cases with their own texts.
class StateButtonTest : public ButtonsTest, public testing::WithParamInterface<bool> {
protected:
    bool IsCheckBox() const { return GetParam(); }
    wpfsim::ToggleButton& Element() { return IsCheckBox() ? *check_ : *toggle_; }
    const StateTexts& Texts() const { return IsCheckBox() ? kCheckBox : kToggle; }
    ov::ComPtr<IDispatch> Wrapper() {
        return IsCheckBox() ? Wrap<CovWPFCtrlCheckBox>(*check_) : Wrap<CovWPFCtrlToggleButton>(*toggle_);
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
    LogEntry Already(std::optional<bool> state) const {
        return {LogNotice, Texts().already + StateText(state) + L".", L""};
    }
    LogEntry NotAccepted() const { return {LogError, Texts().invalid, Texts().notAccepted}; }
    LogEntry NoGrayed() const { return {LogError, Texts().invalid, Texts().noGrayed}; }
};

TEST_P(StateButtonTest, ClickButtonReachesTheStateWithOneOrTwoClicks) {
    auto wrapper = Wrapper();
    ov::Variant text1 = ov::Variant::String(L"1");
    ov::Variant byRef;
    ov::Variant two = ov::Variant::Int(2);
    byRef.vt = VT_BYREF | VT_VARIANT;
    byRef.pvarVal = &two;
    ov::Variant ui8;
    ui8.vt = VT_UI8;
    ui8.ullVal = 1;
    struct Case {
        bool threeState;
        std::optional<bool> start;
        ov::Variant arg;
        long clicks;
        std::optional<bool> end;
        LogEntry entry;
    } cases[] = {
        // Two states: one click to either state; True, 1 and -1 all mean checked.
        {false, false, ov::Variant::Int(1), 1, true, Clicked(L"checked")},
        {false, false, ov::Variant::Bool(true), 1, true, Clicked(L"checked")},
        {false, false, ov::Variant::Int(-1), 1, true, Clicked(L"checked")},
        {false, false, ui8, 1, true, Clicked(L"checked")},
        {false, true, ov::Variant::Bool(false), 1, false, Clicked(L"unchecked")},
        // Three states: unchecked -> checked -> grayed -> unchecked.
        {true, false, ov::Variant::Int(2), 2, kGrayed, Clicked(L"grayed")},
        {true, false, byRef, 2, kGrayed, Clicked(L"grayed")},
        {true, false, ov::Variant::Int(1), 1, true, Clicked(L"checked")},
        {true, true, ov::Variant::Int(0), 2, false, Clicked(L"unchecked")},
        {true, true, ov::Variant::Int(2), 1, kGrayed, Clicked(L"grayed")},
        {true, kGrayed, ov::Variant::Int(1), 2, true, Clicked(L"checked")},
        {true, kGrayed, ov::Variant::Int(0), 1, false, Clicked(L"unchecked")},
        // Already there: a notice of kind 1, nothing clicked.
        {false, true, ov::Variant::Int(1), 0, true, Already(true)},
        {false, false, ov::Variant::Bool(false), 0, false, Already(false)},
        {true, kGrayed, ov::Variant::Int(2), 0, kGrayed, Already(kGrayed)},
        // Refused before any click.
        {false, false, ov::Variant::Int(2), 0, false, NoGrayed()},
        {false, false, ov::Variant::Int(3), 0, false, NotAccepted()},
        {true, false, ov::Variant::Int(-2), 0, false, NotAccepted()},
        {true, false, text1, 0, false, NotAccepted()},
        {true, false, ov::Variant::Double(1.0), 0, false, NotAccepted()},
        {true, false, ov::Variant(), 0, false, NotAccepted()},
        {true, false, Null(), 0, false, NotAccepted()},
    };
    int row = 0;
    for (auto& c : cases) {
        SCOPED_TRACE("row " + std::to_string(row++));
        Arrange(c.threeState, c.start);
        long before = Element().ClickCount();
        Outcome r = Method(wrapper.Get(), L"ClickButton", {c.arg});
        EXPECT_EQ(r.hr, S_OK);
        EXPECT_EQ(Element().ClickCount() - before, c.clicks);
        EXPECT_EQ(Element().IsChecked(), c.end);
        EXPECT_EQ(TakeLog(), std::vector<LogEntry>{c.entry});
    }
}

TEST_P(StateButtonTest, AClickThatChangesNothingEndsQuietly) {
    auto wrapper = Wrapper();
    Arrange(true, false);
    Element().ResetStateAfterClicks();
    EXPECT_EQ(Method(wrapper.Get(), L"ClickButton", {ov::Variant::Int(2)}).hr, S_OK);
    EXPECT_EQ(Element().ClickCount(), 1) << "no second click after a click without effect";
    EXPECT_EQ(Element().IsChecked(), false);
    EXPECT_TRUE(TakeLog().empty());
}

TEST_P(StateButtonTest, SecondClickPostsTheTargetEvenWhenTheApplicationLandsElsewhere) {
    auto wrapper = Wrapper();
    Arrange(true, false);
    // The application skips the grayed state on its own: checked, then straight back to unchecked.
    Element().SetClickHandler([&](wpfsim::ButtonBase&) {
        if (!Element().IsChecked()) Element().SetChecked(false);
    });
    EXPECT_EQ(Method(wrapper.Get(), L"ClickButton", {ov::Variant::Int(2)}).hr, S_OK);
    EXPECT_EQ(Element().ClickCount(), 2);
    EXPECT_EQ(Element().IsChecked(), false);
    EXPECT_EQ(TakeLog(), std::vector<LogEntry>{Clicked(L"grayed")});
}

TEST_P(StateButtonTest, WStateSetsAndReadsWithoutClicking) {
    auto wrapper = Wrapper();
    struct Case {
        bool threeState;
        std::optional<bool> start;
        LONG put;
        std::optional<bool> end;
        std::vector<LogEntry> log;
    } cases[] = {
        {true, false, 2, kGrayed, {}},
        {true, kGrayed, 1, true, {}},
        {true, true, 0, false, {}},
        {false, false, -1, true, {}},
        {false, true, 1, true, {}}, // no notice: wState is no action
        {false, false, 2, false, {NoGrayed()}},
        {true, false, 5, false, {NotAccepted()}},
    };
    for (auto& c : cases) {
        Arrange(c.threeState, c.start);
        EXPECT_EQ(Put(wrapper.Get(), L"wState", ov::Variant::Int(c.put)).hr, S_OK);
        EXPECT_EQ(Element().IsChecked(), c.end) << "put " << c.put;
        EXPECT_EQ(TakeLog(), c.log) << "put " << c.put;
        Outcome got = Get(wrapper.Get(), L"wState");
        EXPECT_EQ(got.hr, S_OK);
        EXPECT_EQ(got.value.vt, VT_I4);
        EXPECT_EQ(got.value.lVal, !c.end ? 2 : *c.end ? 1 : 0);
    }
    EXPECT_EQ(Element().ClickCount(), 0);

    // Neither reads "IsEnabled": a disabled element is set all the same.
    Element().SetEnabled(false);
    Arrange(true, false);
    EXPECT_EQ(Put(wrapper.Get(), L"wState", ov::Variant::Int(2)).hr, S_OK);
    EXPECT_EQ(Element().IsChecked(), kGrayed);
    EXPECT_EQ(Get(wrapper.Get(), L"wState").value.lVal, 2);
    EXPECT_TRUE(TakeLog().empty());
}

TEST_P(StateButtonTest, StateIsReadFromEveryFormOfIsChecked) {
    auto wrapper = Wrapper();
    for (auto form :
         {wpfsim::CheckedForm::BoolOrNull, wpfsim::CheckedForm::BoolOrEmpty, wpfsim::CheckedForm::Boxed}) {
        Element().SetCheckedForm(form);
        for (std::optional<bool> state : {std::optional<bool>(false), std::optional<bool>(true), kGrayed}) {
            Element().SetChecked(state);
            EXPECT_EQ(Get(wrapper.Get(), L"wState").value.lVal, !state   ? 2
                                                                : *state ? 1
                                                                         : 0)
                << "form " << static_cast<int>(form);
        }
    }
    // The boxed form through a whole action: two clicks, each state read back from the box.
    Arrange(true, false);
    EXPECT_EQ(Method(wrapper.Get(), L"ClickButton", {ov::Variant::Int(2)}).hr, S_OK);
    EXPECT_EQ(Element().IsChecked(), kGrayed);
    EXPECT_EQ(TakeLog(), std::vector<LogEntry>{Clicked(L"grayed")});
}

TEST_P(StateButtonTest, ErrorReportModesDecideWhatTheCallerSees) {
    auto wrapper = Wrapper();
    const std::wstring errorText = std::wstring(Texts().invalid) + L"\r\n\r\n" + Texts().noGrayed;
    // Invoke turns a failed member into DISP_E_EXCEPTION with the member's result as scode.
    struct Case {
        LONG mode;
        bool notice; // ClickButton(1) on a checked element; otherwise ClickButton(2) on a two-state one
        HRESULT member;
        std::wstring description;
        size_t logged;
    } cases[] = {
        {0, false, S_OK, L"", 0},
        {0, true, S_OK, L"", 0},
        {1, false, S_OK, L"", 1},
        {1, true, S_OK, L"", 1},
        {2, false, E_FAIL, errorText, 0},
        {2, true, S_OK, L"", 0},
        // From outside the module mode 3 reports like mode 2.
        {3, false, E_FAIL, errorText, 0},
        {3, true, S_OK, L"", 0},
        {7, false, E_UNEXPECTED, L"", 0},
        {7, true, E_UNEXPECTED, L"", 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + (c.notice ? " notice" : " error"));
        SetModes(wrapper.Get(), c.mode);
        Arrange(false, c.notice);
        Outcome r = Method(wrapper.Get(), L"ClickButton", {ov::Variant::Int(c.notice ? 1 : 2)});
        EXPECT_EQ(r.hr, c.member == S_OK ? S_OK : DISP_E_EXCEPTION);
        EXPECT_EQ(r.scode, c.member);
        EXPECT_EQ(r.description, c.description);
        std::vector<LogEntry> log = TakeLog();
        ASSERT_EQ(log.size(), c.logged);
        if (c.logged) EXPECT_EQ(log[0], c.notice ? Already(true) : NoGrayed());
        EXPECT_EQ(Element().ClickCount(), 0);
    }

    // The dispinterface's own vtable: E_FAIL and the error information.
    SetModes(wrapper.Get(), 2);
    Arrange(false, false);
    HRESULT hr = IsCheckBox() ? ov::QueryAs<IovWPFCheckBox>(wrapper.Get())->put_wState(2)
                              : ov::QueryAs<IovWPFToggleButton>(wrapper.Get())->put_wState(2);
    EXPECT_EQ(hr, E_FAIL);
    ov::ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.Put()), S_OK);
    ov::Bstr description;
    info->GetDescription(description.Put());
    EXPECT_EQ(description.View(), errorText);
}

TEST_P(StateButtonTest, ModeThreeHandsTheErrorToACallerInsideTheModule) {
    auto wrapper = Wrapper();
    SetModes(wrapper.Get(), 3);
    struct Case {
        bool threeState;
        std::optional<bool> start;
        LONG arg;
        std::wstring message, details;
        LONG kind;
    } cases[] = {
        {false, false, 2, Texts().invalid, Texts().noGrayed, 3},
        {true, kGrayed, 2, Texts().already + std::wstring(L"grayed."), L"", 1},
    };
    for (auto& c : cases) {
        Arrange(c.threeState, c.start);
        ov::InModuleCall inside;
        auto e = Raised([&] {
            if (IsCheckBox())
                ov::QueryAs<IovWPFCheckBox>(wrapper.Get())->ClickButton(ov::Variant::Int(c.arg));
            else
                ov::QueryAs<IovWPFToggleButton>(wrapper.Get())->ClickButton(ov::Variant::Int(c.arg));
        });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->Message().View(), c.message);
        EXPECT_EQ(e->Details().View(), c.details);
        EXPECT_EQ(e->Kind(), c.kind);
    }
    EXPECT_TRUE(TakeLog().empty());
}

TEST_P(StateButtonTest, DisabledElementRefusesClickButtonOnly) {
    auto wrapper = Wrapper();
    Arrange(true, false);
    Element().SetEnabled(false);
    EXPECT_EQ(Method(wrapper.Get(), L"ClickButton", {ov::Variant::Int(1)}).hr, S_OK);
    EXPECT_EQ(TakeLog(), (std::vector<LogEntry>{{LogError, kDisabled, L""}}));
    EXPECT_EQ(Element().ClickCount(), 0);
    EXPECT_EQ(Get(wrapper.Get(), L"wState").value.lVal, 0);
}

TEST_P(StateButtonTest, AMissingMemberEndsTheCallWithTheDetailedError) {
    auto wrapper = Wrapper();
    Arrange(false, false);
    Element().RemoveMember(L"IsThreeState"); // a custom control without it
    EXPECT_EQ(Method(wrapper.Get(), L"ClickButton", {ov::Variant::Int(2)}).hr, S_OK);
    std::vector<LogEntry> log = TakeLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].kind, LogError);
    EXPECT_EQ(log[0].text, L"An error occurred.");
    EXPECT_NE(log[0].details.find(L"IsThreeState"), std::wstring::npos) << log[0].details;
    EXPECT_EQ(Element().ClickCount(), 0);
    // Other states need no "IsThreeState".
    EXPECT_EQ(Method(wrapper.Get(), L"ClickButton", {ov::Variant::Int(1)}).hr, S_OK);
    EXPECT_EQ(TakeLog(), std::vector<LogEntry>{Clicked(L"checked")});
}

TEST_P(StateButtonTest, InternalOperationPassesItsErrorAsErrorInformation) {
    auto wrapper = Wrapper();
    auto internal = ov::QueryAs<IovWPFToggleButtonInternal>(wrapper.Get());
    ASSERT_TRUE(internal);
    struct Case {
        bool threeState;
        std::optional<bool> start;
        LONG arg;
        HRESULT hr;
        std::wstring description;
        DWORD helpContext;
    } cases[] = {
        {false, true, 1, DISP_E_EXCEPTION, Texts().already + std::wstring(L"checked.\r\n\r\n"), 1},
        {false, false, 2, DISP_E_EXCEPTION, std::wstring(Texts().invalid) + L"\r\n\r\n" + Texts().noGrayed,
         3},
        {false, false, 1, S_OK, L"", 0},
    };
    for (auto& c : cases) {
        Arrange(c.threeState, c.start);
        EXPECT_EQ(internal->ClickButtonInternal(ov::Variant::Int(c.arg)), c.hr);
        ov::ComPtr<IErrorInfo> info;
        bool present = GetErrorInfo(0, info.Put()) == S_OK && info;
        EXPECT_EQ(present, c.hr != S_OK);
        if (!present) continue;
        ov::Bstr description;
        info->GetDescription(description.Put());
        EXPECT_EQ(description.View(), c.description);
        DWORD context = 0;
        info->GetHelpContext(&context);
        EXPECT_EQ(context, c.helpContext);
    }
    // The internal operation leaves reporting to its caller.
    EXPECT_EQ(TakeLog(), std::vector<LogEntry>{Clicked(L"checked")});
}

INSTANTIATE_TEST_SUITE_P(Kinds, StateButtonTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "CheckBox" : "ToggleButton";
                         });

// --- radio button -------------------------------------------------------------------------------------

TEST_F(ButtonsTest, RadioButtonClickChecksItAndUnchecksItsSibling) {
    auto small = Wrap<CovWPFCtrlRadioButton>(*radioA_);
    auto large = Wrap<CovWPFCtrlRadioButton>(*radioB_);
    radioB_->SetChecked(true);
    EXPECT_EQ(Get(small.Get(), L"wChecked").value.boolVal, VARIANT_FALSE);
    EXPECT_EQ(Get(large.Get(), L"wChecked").value.boolVal, VARIANT_TRUE);

    for (int i = 0; i < 2; ++i) { // a click on a checked radio button reports the same
        EXPECT_EQ(Method(small.Get(), L"ClickButton").hr, S_OK);
        EXPECT_EQ(TakeLog(), (std::vector<LogEntry>{
                                 {LogMessage, L"The radio button was clicked with the left mouse button.",
                                  L"The control state has been changed to 'checked'."}}));
    }
    EXPECT_EQ(radioA_->ClickCount(), 2);
    Outcome small1 = Get(small.Get(), L"wChecked");
    EXPECT_EQ(small1.value.vt, VT_BOOL);
    EXPECT_EQ(small1.value.boolVal, VARIANT_TRUE);
    EXPECT_EQ(Get(large.Get(), L"wChecked").value.boolVal, VARIANT_FALSE);
}

TEST_F(ButtonsTest, RadioButtonReadsEveryFormOfIsChecked) {
    auto wrapper = Wrap<CovWPFCtrlRadioButton>(*radioA_);
    for (auto form :
         {wpfsim::CheckedForm::BoolOrNull, wpfsim::CheckedForm::BoolOrEmpty, wpfsim::CheckedForm::Boxed}) {
        radioA_->SetCheckedForm(form);
        for (std::optional<bool> state : {std::optional<bool>(true), std::optional<bool>(false), kGrayed}) {
            radioA_->SetChecked(state);
            Outcome r = Get(wrapper.Get(), L"wChecked");
            EXPECT_EQ(r.hr, S_OK);
            EXPECT_EQ(r.value.boolVal, state == true ? VARIANT_TRUE : VARIANT_FALSE)
                << "form " << static_cast<int>(form) << ", state "
                << (!state   ? 2
                    : *state ? 1
                             : 0);
        }
    }
    EXPECT_TRUE(TakeLog().empty());
}

TEST_F(ButtonsTest, RadioButtonThatStaysUncheckedFails) {
    auto wrapper = Wrap<CovWPFCtrlRadioButton>(*radioA_);
    radioA_->ResetStateAfterClicks();
    SetModes(wrapper.Get(), 2);
    Outcome r = Method(wrapper.Get(), L"ClickButton");
    EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(r.description, L"The radio button was clicked, but it stayed in the unchecked state.\r\n\r\n");
    EXPECT_EQ(radioA_->ClickCount(), 1);
    EXPECT_TRUE(TakeLog().empty());
}

// --- every kind ----------------------------------------------------------------------------------------

struct AnyKind {
    ov::ComPtr<IDispatch> wrapper;
    wpfsim::ButtonBase* element;
    std::vector<ov::Variant> args; // of a ClickButton that clicks
};

TEST_F(ButtonsTest, DisabledElementsFailEveryClickButtonWithoutClicking) {
    AnyKind kinds[] = {
        {Wrap<CovWPFCtrlButton>(*button_), button_, {}},
        {Wrap<CovWPFCtrlRepeatButton>(*repeat_), repeat_, {ov::Variant::Int(2)}},
        {Wrap<CovWPFCtrlToggleButton>(*toggle_), toggle_, {ov::Variant::Int(1)}},
        {Wrap<CovWPFCtrlCheckBox>(*check_), check_, {ov::Variant::Int(1)}},
        {Wrap<CovWPFCtrlRadioButton>(*radioA_), radioA_, {}},
    };
    for (bool modeTwo : {false, true}) {
        for (auto& k : kinds) {
            SetModes(k.wrapper.Get(), modeTwo ? 2 : 1);
            k.element->SetEnabled(false);
            Outcome r = Method(k.wrapper.Get(), L"ClickButton", k.args);
            if (modeTwo) {
                EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
                EXPECT_EQ(r.description, std::wstring(kDisabled) + L"\r\n\r\n");
                EXPECT_TRUE(TakeLog().empty());
            } else {
                EXPECT_EQ(r.hr, S_OK);
                EXPECT_EQ(TakeLog(), (std::vector<LogEntry>{{LogError, kDisabled, L""}}));
            }
            EXPECT_EQ(k.element->ClickCount(), 0);
        }
    }
    EXPECT_TRUE(Host().Actions().empty());

    // Enabled again, with MessageReportMode 0: the clicks happen, the log stays empty.
    for (auto& k : kinds) {
        k.element->SetEnabled(true);
        SetModes(k.wrapper.Get(), 1, 0);
        EXPECT_EQ(Method(k.wrapper.Get(), L"ClickButton", k.args).hr, S_OK);
        EXPECT_GT(k.element->ClickCount(), 0);
    }
    EXPECT_TRUE(TakeLog().empty());
}

} // namespace
