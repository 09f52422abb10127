// Input at a screen point: hit testing, bubbling to the control that handles it, hover, light dismiss of
// popups, and the focus that clicks and Focus give.
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
    bool Checked(const wchar_t* name) { return GetBool(D(name).Get(), L"IsChecked"); }
    std::vector<std::wstring> clicked; // the application's Click handlers, in order
};

TEST_F(InputTest, ClickActsOnTheElementUnderThePointAndBubblesToItsControl) {
    auto first = D(L"first");
    auto text = FindOfClass(first.Get(), L"System.Windows.Controls.TextBlock");
    ASSERT_TRUE(text) << "a check box with text content shows it in a TextBlock";
    ASSERT_EQ(GetText(text.Get(), L"Text"), L"First");
    const RECT firstRect = E(L"first").Bounds();
    const RECT window = E(L"mainWindow").Bounds();

    struct Case {
        const char* what;
        POINT point;
        bool first, second;
    };
    const Case cases[] = {
        {"on the TextBlock of a template part", CentreOf(text.Get()), true, false},
        {"below the first box's rectangle: over its sibling",
         {firstRect.left + 5, firstRect.bottom + 10},
         false,
         true},
        {"outside every window", {window.right + 50, window.bottom + 50}, false, false},
        {"on the disabled check box", Centre(L"off"), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Put(D(L"first").Get(), L"IsChecked", ov::Variant::Bool(false));
        Put(D(L"second").Get(), L"IsChecked", ov::Variant::Bool(false));
        Click(c.point);
        EXPECT_EQ(Checked(L"first"), c.first);
        EXPECT_EQ(Checked(L"second"), c.second);
        EXPECT_FALSE(Checked(L"off"));
    }
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

class LightDismissTest : public XamlTest {
protected:
    void SetUp() override {
        Load(R"(
  <StackPanel>
    <ComboBox x:Name="fruit" Width="150">
      <ComboBoxItem x:Name="apple" Content="Apple"/>
      <ComboBoxItem x:Name="withered" Content="Withered" IsEnabled="False"/>
      <ComboBoxItem x:Name="pear" Content="Pear"/>
    </ComboBox>
    <CheckBox x:Name="beside" Content="Beside" Margin="0,100,0,0"/>
  </StackPanel>)");
        combo = D(L"fruit");
        ASSERT_EQ(Put(combo.Get(), L"IsDropDownOpen", ov::Variant::Bool(true)).hr, S_OK);
        ASSERT_TRUE(GetBool(combo.Get(), L"IsDropDownOpen"));
    }
    void TearDown() override {
        combo = nullptr;
        XamlTest::TearDown();
    }
    ov::ComPtr<IDispatch> combo;
};

TEST_F(LightDismissTest, ClickOutsideClosesTheDropDownAndGoesNoFurther) {
    auto beside = D(L"beside");
    Click(Centre(L"beside"));
    EXPECT_FALSE(GetBool(combo.Get(), L"IsDropDownOpen"));
    EXPECT_FALSE(GetBool(beside.Get(), L"IsChecked")) << "the dismissing click must not reach the check box";
    Click(Centre(L"beside"));
    EXPECT_TRUE(GetBool(beside.Get(), L"IsChecked")) << "with the drop-down closed the next click arrives";
}

// --- focus ----------------------------------------------------------------------------------------------

// The focused item of a list: ListsTest.
TEST_F(XamlTest, OnlyElementsThatWpfMakesFocusableTakeFocus) {
    Load(R"(
  <StackPanel x:Name="panel">
    <TextBlock x:Name="text" Text="Label"/>
    <Border x:Name="frame" Height="10"/>
    <Grid x:Name="grid" Height="10"/>
    <Button x:Name="ok" Content="OK"/>
    <TextBox x:Name="input" Text="abc"/>
    <CheckBox x:Name="box" Content="Box"/>
    <Button x:Name="hidden" Content="Hidden" Visibility="Collapsed"/>
    <Button x:Name="disabled" Content="Disabled" IsEnabled="False"/>
  </StackPanel>)");
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"text", false}, {L"frame", false}, {L"grid", false},   {L"panel", false},   {L"ok", true},
        {L"input", true}, {L"box", true},    {L"hidden", false}, {L"disabled", false}};
    for (auto [name, takes] : cases) {
        auto d = D(name);
        Result r = Call(d.Get(), L"Focus");
        ASSERT_EQ(r.value.vt, VT_BOOL) << testing::PrintToString(std::wstring(name));
        EXPECT_EQ(r.value.boolVal != VARIANT_FALSE, takes) << testing::PrintToString(std::wstring(name));
        EXPECT_EQ(GetBool(d.Get(), L"IsFocused"), takes) << testing::PrintToString(std::wstring(name));
    }
    // The last element that took focus keeps it; a refusal takes it from nobody.
    EXPECT_TRUE(GetBool(D(L"box").Get(), L"IsKeyboardFocused"));
    EXPECT_FALSE(GetBool(D(L"ok").Get(), L"IsFocused"));
}

// TabItem.OnPreviewGotKeyboardFocus: a tab that takes the focus is selected; TreeViewItem.OnGotFocus: so is a
// tree node.
TEST_F(XamlTest, ATabOrATreeNodeThatTakesTheFocusIsSelected) {
    Load(R"(<StackPanel><TabControl x:Name="tabs"><TabItem x:Name="one" Header="One"/>
        <TabItem x:Name="two" Header="Two"/></TabControl>
        <TreeView><TreeViewItem x:Name="node" Header="Node"/></TreeView></StackPanel>)");
    for (const wchar_t* name : {L"two", L"node"}) {
        auto d = D(name);
        EXPECT_FALSE(GetBool(d.Get(), L"IsSelected"));
        Result r = Call(d.Get(), L"Focus");
        EXPECT_EQ(r.value.vt, VT_BOOL);
        EXPECT_TRUE(GetBool(d.Get(), L"IsFocused"));
        EXPECT_TRUE(GetBool(d.Get(), L"IsSelected")) << testing::PrintToString(std::wstring(name));
    }
    EXPECT_EQ(GetNumber(D(L"tabs").Get(), L"SelectedIndex"), 1);
}

// Expander's template: the header is the ToggleButton "HeaderSite", checked while the expander is expanded;
// its Click (on the release) toggles the expander.
TEST_F(XamlTest, TheExpandersHeaderToggleOpensAndClosesIt) {
    Load(
        R"(<StackPanel><Expander x:Name="more" Header="More"><Button x:Name="inside" Content="In"/></Expander>
        </StackPanel>)");
    auto toggle = FindPart(D(L"more").Get(), L"HeaderSite");
    ASSERT_TRUE(toggle);
    EXPECT_EQ(ClassOf(toggle.Get()), L"System.Windows.Controls.Primitives.ToggleButton");
    for (bool expanded : {true, false}) {
        Click(CentreOf(toggle.Get()));
        EXPECT_EQ(GetBool(D(L"more").Get(), L"IsExpanded"), expanded);
        EXPECT_EQ(GetBool(toggle.Get(), L"IsChecked"), expanded);
        EXPECT_EQ(GetBool(D(L"inside").Get(), L"IsVisible"), expanded);
    }
    Put(D(L"more").Get(), L"IsExpanded", ov::Variant::Bool(true));
    EXPECT_TRUE(GetBool(toggle.Get(), L"IsChecked")) << "IsChecked is bound to IsExpanded";
}

} // namespace
