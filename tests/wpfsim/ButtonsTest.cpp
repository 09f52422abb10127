// The button family as WPF runs it, through IDispatch by name: radio groups and the click modes.
#include "XamlApp.h"

#include "wpfsim/Buttons.h"

namespace simtest {
namespace {

// RadioButton.UpdateRadioButtonGroup: a GroupName groups the radio buttons of that name under the same
// visual root (the window, wherever they stand in it; a popup's window is another root); without one, the
// group is the logical parent's radio buttons that have none either.
TEST_F(XamlTest, ARadioGroupIsItsNameInTheVisualRootOrElseItsLogicalParent) {
    Load(R"(<StackPanel>
        <StackPanel><RadioButton x:Name="a" GroupName="g" IsChecked="True"/><RadioButton x:Name="p"/></StackPanel>
        <StackPanel><RadioButton x:Name="b" GroupName="g"/><RadioButton x:Name="q" IsChecked="True"/></StackPanel>
        <ComboBox x:Name="combo"><ComboBoxItem>
          <RadioButton x:Name="c" GroupName="g" IsChecked="True"/></ComboBoxItem></ComboBox>
      </StackPanel>)");
    auto checkedOnes = [&] {
        std::string names;
        for (const wchar_t* n : {L"a", L"b", L"c", L"p", L"q"})
            if (GetBool(D(n).Get(), L"IsChecked")) names += static_cast<char>(n[0]);
        return names;
    };
    EXPECT_EQ(checkedOnes(), "acq");
    Click(Centre(L"b"));
    EXPECT_EQ(checkedOnes(), "bcq") << "b and a share the window's group; c stands in the drop-down's";
    Click(Centre(L"p"));
    EXPECT_EQ(checkedOnes(), "bcpq") << "p and q have different logical parents";
    Click(Centre(L"p"));
    EXPECT_EQ(checkedOnes(), "bcpq") << "a click never unchecks a radio button";
}

// ButtonBase: Release (the default) raises Click on the release, after IsPressed went false again; Press on
// the press, while IsPressed is true; Hover when the mouse enters, and takes no presses.
TEST_F(XamlTest, ClickModeSaysWhichMouseEventClicksTheButton) {
    const struct {
        const char* mode;
        int clicksOnEntering;
        const char* pressedAtEachClick;
    } cases[] = {{"Release", 0, "0"}, {"Press", 0, "1"}, {"Hover", 1, "0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        Load(std::string(R"(<StackPanel><Button x:Name="away" Content="Away"/>)") +
             R"(<Button x:Name="b" Content="B" ClickMode=")" + c.mode + R"("/></StackPanel>)");
        auto& button = dynamic_cast<wpfsim::ButtonBase&>(E(L"b"));
        auto d = D(L"b");
        std::string pressed;
        button.SetClickHandler(
            [&](wpfsim::ButtonBase&) { pressed += GetBool(d.Get(), L"IsPressed") ? "1" : "0"; });
        app->MoveMouse(Centre(L"away"));
        app->MoveMouse(Centre(L"b"));
        EXPECT_EQ(button.ClickCount(), c.clicksOnEntering);
        Click(Centre(L"b"));
        EXPECT_EQ(pressed, c.pressedAtEachClick) << "one Click in all, IsPressed as the handler saw it";
        EXPECT_FALSE(GetBool(d.Get(), L"IsPressed"));
    }
}

} // namespace
} // namespace simtest
