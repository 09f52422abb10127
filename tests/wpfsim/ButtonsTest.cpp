// The button family as callers see it: WPF's state cycle, the forms of "IsChecked", radio groups, the
// Click event and the application's handlers.
#include "SimCall.h"

#include "wpfsim/Buttons.h"

using namespace simtest;
using wpfsim::ButtonBase;
using wpfsim::CheckedForm;
using wpfsim::MouseButton;
using wpfsim::MouseClick;

namespace {

constexpr std::optional<bool> kGrayed = std::nullopt;

class ButtonsTest : public SimTest {
protected:
    void SetUp() override {
        window = &app->Add(nullptr, L"System.Windows.Window", L"mainWindow");
        panel = &app->Add(window, L"System.Windows.Controls.StackPanel", L"panel");
    }
    template <class T, class... A>
    T& Add(wpfsim::Element* parent, const wchar_t* cls, const wchar_t* name, A&&... a) {
        return app->Add<T>(parent, cls, name, std::forward<A>(a)...);
    }
    wpfsim::CheckBox& NewCheckBox(bool threeState) {
        auto& box = Add<wpfsim::CheckBox>(panel, L"System.Windows.Controls.CheckBox", L"box");
        box.SetThreeState(threeState);
        return box;
    }

    wpfsim::Element* window = nullptr;
    wpfsim::Element* panel = nullptr;
};

TEST_F(ButtonsTest, ToggleClicksFollowTheWpfCycle) {
    struct Case {
        bool threeState;
        std::optional<bool> start;
        std::vector<std::optional<bool>> afterEachClick;
    } cases[] = {
        {false, false, {true, false, true}},         {false, true, {false, true}},
        {false, kGrayed, {false, true, false}}, // set by code, left by the first click
        {true, false, {true, kGrayed, false, true}}, {true, true, {kGrayed, false}},
        {true, kGrayed, {false, true, kGrayed}},
    };
    for (const auto& c : cases) {
        auto& box = NewCheckBox(c.threeState);
        box.SetChecked(c.start);
        for (size_t i = 0; i < c.afterEachClick.size(); ++i) {
            ASSERT_TRUE(box.HostClick({}));
            EXPECT_EQ(box.IsChecked(), c.afterEachClick[i])
                << "three-state " << c.threeState << ", click " << i + 1;
        }
        EXPECT_EQ(box.ClickCount(), static_cast<long>(c.afterEachClick.size()));
    }
}

TEST_F(ButtonsTest, IsCheckedReadsInTheElementsForm) {
    auto& box = NewCheckBox(true);
    auto d = box.NewDispatch();
    auto read = [&](std::optional<bool> state) {
        box.SetChecked(state);
        Result r = Get(d.Get(), L"IsChecked");
        EXPECT_EQ(r.hr, S_OK);
        return std::move(r.value);
    };

    EXPECT_EQ(read(true).vt, VT_BOOL);
    EXPECT_EQ(read(true).boolVal, VARIANT_TRUE);
    EXPECT_EQ(read(false).boolVal, VARIANT_FALSE);
    EXPECT_EQ(read(kGrayed).vt, VT_NULL);

    box.SetCheckedForm(CheckedForm::BoolOrEmpty);
    EXPECT_EQ(read(kGrayed).vt, VT_EMPTY);
    EXPECT_EQ(read(false).vt, VT_BOOL);

    box.SetCheckedForm(CheckedForm::Boxed);
    for (bool value : {true, false}) {
        ov::Variant boxed = read(value);
        ASSERT_EQ(boxed.vt, VT_DISPATCH);
        ASSERT_NE(boxed.pdispVal, nullptr);
        EXPECT_EQ(Get(boxed.pdispVal, L"m_Value").value.boolVal, value ? VARIANT_TRUE : VARIANT_FALSE);
        // Not a Boolean of its own: the standard conversion fails, as for the host's boxed structs.
        ov::Variant converted;
        EXPECT_TRUE(FAILED(VariantChangeType(&converted, &boxed, 0, VT_BOOL)));
    }
    ov::Variant none = read(kGrayed);
    EXPECT_EQ(none.vt, VT_DISPATCH);
    EXPECT_EQ(none.pdispVal, nullptr) << "a bool? without a value boxes to null";
}

TEST_F(ButtonsTest, IsCheckedAcceptsEveryFormOnPut) {
    auto& box = NewCheckBox(false);
    auto& boxedSource = NewCheckBox(false);
    boxedSource.SetCheckedForm(CheckedForm::Boxed);
    boxedSource.SetChecked(true);
    ov::Variant boxedTrue = Get(boxedSource.NewDispatch().Get(), L"IsChecked").value;
    ov::Variant null;
    null.vt = VT_NULL;

    struct Case {
        const char* what;
        ov::Variant value;
        std::optional<bool> start, expected;
    } cases[] = {
        {"true", ov::Variant::Bool(true), false, true},
        {"false", ov::Variant::Bool(false), true, false},
        {"integer", ov::Variant::Int(1), false, true},
        {"VT_NULL", null, true, kGrayed},
        {"VT_EMPTY", ov::Variant(), false, kGrayed},
        {"null object", ov::Variant::Dispatch(nullptr), true, kGrayed},
        {"boxed bool?", boxedTrue, false, true},
    };
    auto d = box.NewDispatch();
    for (const auto& c : cases) {
        box.SetChecked(c.start);
        EXPECT_EQ(Put(d.Get(), L"IsChecked", c.value).hr, S_OK) << c.what;
        EXPECT_EQ(box.IsChecked(), c.expected) << c.what;
    }
    EXPECT_EQ(Put(d.Get(), L"IsChecked", ov::Variant::String(L"maybe")).hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Put(d.Get(), L"IsThreeState", ov::Variant::Bool(true)).hr, S_OK);
    EXPECT_TRUE(box.IsThreeState());
    EXPECT_EQ(Get(d.Get(), L"IsThreeState").value.boolVal, VARIANT_TRUE);
}

TEST_F(ButtonsTest, RadioButtonsUncheckTheirGroup) {
    auto* otherPanel = &app->Add(window, L"System.Windows.Controls.StackPanel", L"otherPanel");
    const wchar_t* cls = L"System.Windows.Controls.RadioButton";
    auto& a = Add<wpfsim::RadioButton>(panel, cls, L"a");
    auto& b = Add<wpfsim::RadioButton>(panel, cls, L"b");
    auto& elsewhere = Add<wpfsim::RadioButton>(otherPanel, cls, L"elsewhere");
    auto& named1 = Add<wpfsim::RadioButton>(panel, cls, L"named1", L"colour");
    auto& named2 = Add<wpfsim::RadioButton>(otherPanel, cls, L"named2", L"colour");
    auto* otherWindow = &app->Add(nullptr, L"System.Windows.Window", L"otherWindow");
    auto& foreign = Add<wpfsim::RadioButton>(otherWindow, cls, L"foreign", L"colour");
    for (auto* r : {&b, &elsewhere, &named2, &foreign})
        r->SetChecked(true);

    ASSERT_TRUE(a.HostClick({}));
    EXPECT_EQ(a.IsChecked(), true);
    EXPECT_EQ(b.IsChecked(), false) << "same parent, no group name";
    EXPECT_EQ(elsewhere.IsChecked(), true) << "another parent";
    EXPECT_EQ(named2.IsChecked(), true) << "a named group is apart from the unnamed one";

    // Named groups span panels of one window, not windows; a set by code unchecks as a click does.
    EXPECT_EQ(Put(named1.NewDispatch().Get(), L"IsChecked", ov::Variant::Bool(true)).hr, S_OK);
    EXPECT_EQ(named2.IsChecked(), false);
    EXPECT_EQ(foreign.IsChecked(), true);
    EXPECT_EQ(a.IsChecked(), true);

    // A click never unchecks, also on a three-state radio button.
    a.SetThreeState(true);
    ASSERT_TRUE(a.HostClick({}));
    EXPECT_EQ(a.IsChecked(), true);

    EXPECT_EQ(Put(named1.NewDispatch().Get(), L"GroupName", ov::Variant::String(L"size")).hr, S_OK);
    EXPECT_EQ(named1.GroupName(), L"size");
    EXPECT_EQ(Text(Get(named1.NewDispatch().Get(), L"GroupName").value), L"size");
}

TEST_F(ButtonsTest, ClickEventsComeFromTheLeftButtonOnly) {
    auto& button = Add<wpfsim::Button>(panel, L"System.Windows.Controls.Button", L"ok");
    struct Case {
        MouseClick click;
        long events;
    } cases[] = {
        {{MouseButton::Left, false, 0}, 1},  {{MouseButton::Left, false, wpfsim::shift::Ctrl}, 1},
        {{MouseButton::Left, true, 0}, 2},   {{MouseButton::Right, false, 0}, 0},
        {{MouseButton::Middle, true, 0}, 0},
    };
    for (const auto& c : cases) {
        long before = button.ClickCount();
        ASSERT_TRUE(button.HostClick(c.click));
        EXPECT_EQ(button.ClickCount() - before, c.events);
    }
    button.SetEnabled(false);
    EXPECT_FALSE(button.HostClick({}));
    EXPECT_EQ(button.ClickCount(), 4);
}

TEST_F(ButtonsTest, RepeatButtonIsPressedOnlyWhileTheClickRuns) {
    auto& repeat =
        Add<wpfsim::RepeatButton>(panel, L"System.Windows.Controls.Primitives.RepeatButton", L"more");
    auto d = repeat.NewDispatch();
    std::vector<bool> pressedInHandler;
    repeat.SetClickHandler([&](ButtonBase&) {
        pressedInHandler.push_back(Get(d.Get(), L"IsPressed").value.boolVal == VARIANT_TRUE);
    });
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(repeat.HostClick({}));
    EXPECT_EQ(pressedInHandler, std::vector<bool>(3, true));
    EXPECT_EQ(Get(d.Get(), L"IsPressed").value.boolVal, VARIANT_FALSE);
    EXPECT_EQ(repeat.ClickCount(), 3);
}

TEST_F(ButtonsTest, AResettingHandlerLeavesTheStateAsItWas) {
    for (std::optional<bool> start : {std::optional<bool>(false), std::optional<bool>(true), kGrayed}) {
        auto& box = NewCheckBox(true);
        box.SetChecked(start);
        box.ResetStateAfterClicks();
        ASSERT_TRUE(box.HostClick({}));
        EXPECT_EQ(box.IsChecked(), start);
        ASSERT_TRUE(box.HostClick({MouseButton::Left, true, 0}));
        EXPECT_EQ(box.IsChecked(), start);
        EXPECT_EQ(box.ClickCount(), 3) << "the events still happen";
    }
}

TEST_F(ButtonsTest, EveryButtonHasContentContextMenuAndFocus) {
    std::vector<ov::ComPtr<IDispatch>> all = {
        Add<wpfsim::Button>(panel, L"System.Windows.Controls.Button", L"b").NewDispatch(),
        Add<wpfsim::RepeatButton>(panel, L"System.Windows.Controls.Primitives.RepeatButton", L"r")
            .NewDispatch(),
        Add<wpfsim::ToggleButton>(panel, L"System.Windows.Controls.Primitives.ToggleButton", L"t")
            .NewDispatch(),
        Add<wpfsim::CheckBox>(panel, L"System.Windows.Controls.CheckBox", L"c").NewDispatch(),
        Add<wpfsim::RadioButton>(panel, L"System.Windows.Controls.RadioButton", L"o").NewDispatch(),
    };
    for (auto& d : all) {
        EXPECT_EQ(Put(d.Get(), L"Content", ov::Variant::String(L"_OK")).hr, S_OK);
        EXPECT_EQ(Text(Get(d.Get(), L"Content").value), L"_OK");
        Result menu = Get(d.Get(), L"ContextMenu");
        EXPECT_EQ(menu.hr, S_OK);
        EXPECT_EQ(menu.value.vt, VT_DISPATCH);
        EXPECT_EQ(menu.value.pdispVal, nullptr);
        EXPECT_EQ(Call(d.Get(), L"Focus").value.boolVal, VARIANT_TRUE);
        EXPECT_EQ(Get(d.Get(), L"IsEnabled").value.boolVal, VARIANT_TRUE);
    }
}

} // namespace
