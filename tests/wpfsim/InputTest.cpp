// Input at a screen point where a row cannot see it (input.table has the rest): the element a press hits,
// the Click handlers a press reaches, and hover without a press.
#include "XamlApp.h"

#include "wpfsim/Buttons.h"

using namespace simtest;

namespace {

const char* const kBoxes = R"(
  <StackPanel x:Name="panel" Width="300">
    <CheckBox x:Name="first" Content="First" Height="30"/>
    <CheckBox x:Name="second" Content="Second" Height="30"/>
    <CheckBox x:Name="off" Content="Off" Height="30" IsEnabled="False"/>
    <Button x:Name="dead" Content="Dead" Height="30" IsEnabled="False"/>
    <Button x:Name="alive" Content="Alive" Height="30"/>
  </StackPanel>)";

class InputTest : public XamlTest {
protected:
    void SetUp() override {
        Load(kBoxes);
        for (const wchar_t* name : {L"dead", L"alive"})
            dynamic_cast<wpfsim::ButtonBase&>(E(name)).SetClickHandler(
                [this, name](wpfsim::ButtonBase&) { clicked.push_back(name); });
    }
    std::vector<std::wstring> clicked; // the application's Click handlers, in order
};

TEST_F(InputTest, ClickActsOnTheElementUnderThePointAndBubblesToItsControl) {
    auto first = D(L"first");
    auto text = FindOfClass(first.Get(), L"System.Windows.Controls.TextBlock");
    ASSERT_TRUE(text) << "a check box with text content shows it in a TextBlock";
    ASSERT_EQ(GetText(text.Get(), L"Text"), L"First");
    const RECT window = E(L"mainWindow").Bounds();

    // What the click hit is the innermost element, not the control that handled it.
    wpfsim::Element* hit = Click(CentreOf(text.Get()));
    ASSERT_TRUE(hit);
    EXPECT_TRUE(Same(hit->NewDispatch().Get(), text.Get(), first.Get()));
    EXPECT_EQ(Click({window.right + 50, window.bottom + 50}), nullptr);
}

TEST_F(InputTest, DisabledButtonRaisesNoClickAndTheRightButtonNone) {
    Click(Centre(L"dead"));
    Click(Centre(L"alive"), wpfsim::MouseButton::Right);
    Click(Centre(L"alive"), wpfsim::MouseButton::Middle);
    EXPECT_TRUE(clicked.empty());
    // The text of a button: its Click still comes.
    Click(CentreOf(FindOfClass(D(L"alive").Get(), L"System.Windows.Controls.TextBlock").Get()));
    EXPECT_EQ(clicked, std::vector<std::wstring>{L"alive"});
    EXPECT_FALSE(GetBool(D(L"alive").Get(), L"IsPressed")) << "the release ends the press";
}

TEST_F(InputTest, IsMouseOverFollowsTheMouseForTheElementAndItsAncestors) {
    auto first = D(L"first"), second = D(L"second"), panel = D(L"panel"), window = D(L"mainWindow");
    auto text = FindOfClass(first.Get(), L"System.Windows.Controls.TextBlock");
    const RECT bounds = E(L"mainWindow").Bounds();
    struct Step {
        const char* what;
        POINT point;
        bool text, first, second, panel, window;
    };
    const Step steps[] = {
        {"onto the first box's text", CentreOf(text.Get()), true, true, false, true, true},
        {"onto the second box", Centre(L"second"), false, false, true, true, true},
        {"outside every window", {bounds.right + 40, bounds.top}, false, false, false, false, false},
        {"back onto the first box's text", CentreOf(text.Get()), true, true, false, true, true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        app->MoveMouse(s.point);
        EXPECT_EQ(GetBool(text.Get(), L"IsMouseOver"), s.text);
        EXPECT_EQ(GetBool(first.Get(), L"IsMouseOver"), s.first);
        EXPECT_EQ(GetBool(second.Get(), L"IsMouseOver"), s.second);
        EXPECT_EQ(GetBool(panel.Get(), L"IsMouseOver"), s.panel);
        EXPECT_EQ(GetBool(window.Get(), L"IsMouseOver"), s.window);
    }
}

} // namespace
