// The button family as callers see it: the forms of "IsChecked", radio groups, the Click event and
// "IsPressed". (WPF's state cycle is pinned by the check box and toggle button wrapper tests.)
#include "SimCall.h"

#include "wpfsim/Buttons.h"

using namespace simtest;
using wpfsim::CheckedForm;
using wpfsim::MouseButton;

namespace {

constexpr std::optional<bool> kGrayed = std::nullopt;

class ButtonsTest : public SimTest {};

TEST_F(ButtonsTest, IsCheckedReadsInTheElementsFormAndTakesEveryFormOnPut) {
    auto& box = app->Add<wpfsim::CheckBox>(window, L"System.Windows.Controls.CheckBox", L"box");
    box.SetThreeState(true);
    auto d = box.NewDispatch();
    auto read = [&](std::optional<bool> state) {
        box.SetChecked(state);
        return Get(d.Get(), L"IsChecked").value;
    };
    EXPECT_EQ(read(true).boolVal, VARIANT_TRUE);
    EXPECT_EQ(read(false).vt, VT_BOOL);
    EXPECT_EQ(read(kGrayed).vt, VT_NULL);
    box.SetCheckedForm(CheckedForm::BoolOrEmpty);
    EXPECT_EQ(read(kGrayed).vt, VT_EMPTY);
    box.SetCheckedForm(CheckedForm::Boxed);
    ov::Variant boxed = read(true), converted;
    ASSERT_EQ(boxed.vt, VT_DISPATCH);
    EXPECT_EQ(Get(boxed.pdispVal, L"m_Value").value.boolVal, VARIANT_TRUE);
    EXPECT_TRUE(FAILED(VariantChangeType(&converted, &boxed, 0, VT_BOOL))) << "no Boolean of its own";
    ov::Variant none = read(kGrayed);
    EXPECT_TRUE(none.vt == VT_DISPATCH && !none.pdispVal) << "a bool? without a value boxes to null";

    for (auto [value, expected] : {std::pair{ov::Variant::Int(0), std::optional<bool>(false)},
                                   {ov::Variant(), kGrayed},
                                   {boxed, true},
                                   {none, kGrayed}}) {
        EXPECT_EQ(Put(d.Get(), L"IsChecked", value).hr, S_OK) << value.vt;
        EXPECT_EQ(box.IsChecked(), expected) << value.vt;
    }
}

TEST_F(ButtonsTest, RadioButtonsUncheckTheirGroup) {
    auto* otherPanel = &app->Add(window, L"System.Windows.Controls.StackPanel", L"otherPanel");
    auto radio = [&](wpfsim::Element* parent, const wchar_t* name,
                     const wchar_t* group = L"") -> wpfsim::RadioButton& {
        auto& r = app->Add<wpfsim::RadioButton>(parent, L"System.Windows.Controls.RadioButton", name, group);
        r.SetChecked(true);
        return r;
    };
    auto &a = radio(window, L"a"), &b = radio(window, L"b"), &elsewhere = radio(otherPanel, L"elsewhere");
    auto &named1 = radio(window, L"named1", L"colour"), &named2 = radio(otherPanel, L"named2", L"colour");
    auto& foreign =
        radio(&app->Add(nullptr, L"System.Windows.Window", L"otherWindow"), L"foreign", L"colour");
    EXPECT_EQ(a.IsChecked(), false) << "checking b unchecked its sibling";
    ASSERT_TRUE(a.HostClick({}));
    EXPECT_EQ(b.IsChecked(), false);
    EXPECT_EQ(elsewhere.IsChecked(), true) << "another parent";
    EXPECT_EQ(named2.IsChecked(), true) << "a named group is apart from the unnamed one";
    ASSERT_TRUE(named1.HostClick({}));
    EXPECT_EQ(named2.IsChecked(), false) << "a named group spans the window's panels";
    EXPECT_EQ(foreign.IsChecked(), true) << "and ends at its window";
    EXPECT_EQ(a.IsChecked(), true);
    a.SetThreeState(true);
    ASSERT_TRUE(a.HostClick({}));
    EXPECT_EQ(a.IsChecked(), true) << "a click never unchecks, also on a three-state radio button";
}

TEST_F(ButtonsTest, ClickEventsComeFromTheLeftButtonAndRepeatButtonsArePressedMeanwhile) {
    auto& repeat =
        app->Add<wpfsim::RepeatButton>(window, L"System.Windows.Controls.Primitives.RepeatButton", L"r");
    auto d = repeat.NewDispatch();
    std::vector<bool> pressed;
    repeat.SetClickHandler(
        [&](wpfsim::ButtonBase&) { pressed.push_back(Get(d.Get(), L"IsPressed").value.boolVal); });
    const std::pair<wpfsim::MouseClick, long> cases[] = {{{MouseButton::Left, false, 0}, 1},
                                                         {{MouseButton::Left, false, wpfsim::shift::Ctrl}, 1},
                                                         {{MouseButton::Left, true, 0}, 2},
                                                         {{MouseButton::Right, false, 0}, 0},
                                                         {{MouseButton::Middle, true, 0}, 0}};
    for (const auto& [click, events] : cases) {
        long before = repeat.ClickCount();
        ASSERT_TRUE(repeat.HostClick(click));
        EXPECT_EQ(repeat.ClickCount() - before, events);
    }
    EXPECT_EQ(pressed, std::vector<bool>(4, true));
    EXPECT_EQ(Get(d.Get(), L"IsPressed").value.boolVal, VARIANT_FALSE);
}

} // namespace
