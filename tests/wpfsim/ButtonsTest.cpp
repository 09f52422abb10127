// The click modes as WPF runs them, seen from the application's Click handler (input.table has the radio
// groups).
#include "XamlApp.h"

#include "wpfsim/Buttons.h"

namespace simtest {
namespace {

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
