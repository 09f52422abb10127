// The toolbar's overflow as WPF lays it out: which items the bar keeps for the length it is given (its
// Width, or its tray's share of the window) and their ToolBar.OverflowMode, the overflow panel in its popup
// window, the overflow button, and the presses that close the panel.
#include "XamlApp.h"

namespace simtest {
namespace {

// Buttons are 75 wide at least; Aero2's template takes 24 of the bar's length around its panel (the
// grid's margin 4, the main border's 11 left for the overflow button, the thumb's 7, the panel's margin 2).
std::string Bar(const std::string& width, const std::string& thirdMode = "AsNeeded") {
    return R"(<ToolBarTray><ToolBar x:Name="bar" Width=")" + width + R"(">
        <Button x:Name="a" Content="A"/>
        <Button x:Name="b" Content="B"/>
        <Button x:Name="c" Content="C" ToolBar.OverflowMode=")" +
           thirdMode + R"("/>
        <Button x:Name="d" Content="D"/>
      </ToolBar></ToolBarTray>)";
}

class ToolBarsTest : public XamlTest {
protected:
    std::string OnTheBar(const std::vector<const wchar_t*>& names = {L"a", L"b", L"c", L"d"}) {
        std::string shown;
        for (const wchar_t* name : names)
            if (GetBool(D(name).Get(), L"IsVisible")) shown += static_cast<char>(name[0]);
        return shown;
    }
    ov::ComPtr<IDispatch> Part(const wchar_t* bar, const wchar_t* part) {
        return FindPart(D(bar).Get(), part);
    }
};

TEST_F(ToolBarsTest, TheBarKeepsTheItemsThatFitInOrderAndOverflowsTheRest) {
    const struct {
        const char* width;
        const char* thirdMode;
        const char* shown;
    } cases[] = {
        {"400", "AsNeeded", "abcd"},
        {"324", "AsNeeded", "abcd"},
        {"323", "AsNeeded", "abc"},
        {"200", "AsNeeded", "ab"},
        // Never keeps its item and its room; once one item does not fit, those after it overflow too.
        {"200", "Never", "ac"},
        {"250", "Never", "abc"},
        {"400", "Always", "abd"},
        {"80", "AsNeeded", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.width) + " " + c.thirdMode);
        Load(Bar(c.width, c.thirdMode));
        EXPECT_EQ(OnTheBar(), c.shown);
        // WPF's template binds the overflow button's IsEnabled to HasOverflowItems.
        const bool overflows = std::string(c.shown) != "abcd";
        EXPECT_EQ(GetBool(D(L"bar").Get(), L"HasOverflowItems"), overflows);
        EXPECT_EQ(GetBool(Part(L"bar", L"OverflowButton").Get(), L"IsEnabled"), overflows);
    }
}

// WPF's ToolBarTray.MeasureOverride measures each toolbar of a band with the tray's length less the
// MinLength of the toolbars after it: a window narrower than its bars makes them overflow, without any
// Width on the toolbars. Toolbars of another Band stand in a row of their own.
TEST_F(ToolBarsTest, TheTrayGivesItsBandsTheWindowsWidth) {
    Load(R"(<DockPanel><ToolBarTray DockPanel.Dock="Top">
        <ToolBar x:Name="bar">
          <Button x:Name="a" Content="A"/><Button x:Name="b" Content="B"/>
          <Button x:Name="c" Content="C"/><Button x:Name="d" Content="D"/>
        </ToolBar>
        <ToolBar x:Name="second" Band="1">
          <Button x:Name="e" Content="E"/><Button x:Name="f" Content="F"/>
        </ToolBar>
      </ToolBarTray><TextBlock Text="body"/></DockPanel>)",
         R"(Width="300")");
    // The window's 300 less its frame (16) for the tray, less the template's 24 for the panel: 3 buttons.
    EXPECT_EQ(OnTheBar(), "abc");
    EXPECT_TRUE(GetBool(D(L"bar").Get(), L"HasOverflowItems"));
    EXPECT_EQ(OnTheBar({L"e", L"f"}), "ef");
    EXPECT_EQ(GetNumber(D(L"second").Get(), L"Band"), 1.0);
    EXPECT_GE(E(L"e").Bounds().top, E(L"a").Bounds().bottom) << "band 1 is a row below band 0";
    // The item beyond the bar is reached through the overflow panel, as a user reaches it.
    ASSERT_EQ(Put(D(L"bar").Get(), L"IsOverflowOpen", ov::Variant::Bool(true)).hr, S_OK);
    EXPECT_TRUE(GetBool(D(L"d").Get(), L"IsVisible"));
    EXPECT_TRUE(GetBool(Part(L"bar", L"OverflowButton").Get(), L"IsChecked")) << "bound to IsOverflowOpen";
}

TEST_F(ToolBarsTest, TheOverflowPanelOpensInAPopupAndAButtonsClickThereClosesIt) {
    Load(Bar("200"));
    auto bar = D(L"bar");
    auto panel = GetObject(D(L"d").Get(), L"get_InternalVisualParent");
    EXPECT_EQ(NameOf(panel.Get()), L"PART_ToolBarOverflowPanel");
    EXPECT_TRUE(Same(GetObject(panel.Get(), L"get_ToolBar").Get(), bar.Get(), bar.Get()));
    ASSERT_EQ(Put(bar.Get(), L"IsOverflowOpen", ov::Variant::Bool(true)).hr, S_OK);
    EXPECT_EQ(OnTheBar(), "abcd") << "the open panel shows its items";
    // WPF's ToolBar focuses the overflow panel when it opens.
    EXPECT_TRUE(GetBool(panel.Get(), L"IsKeyboardFocusWithin") || GetBool(panel.Get(), L"IsFocused"));
    Click(Centre(L"d"));
    EXPECT_FALSE(GetBool(bar.Get(), L"IsOverflowOpen"));
    EXPECT_EQ(OnTheBar(), "ab");
}

// While the overflow is open the toolbar has the mouse (Mouse.Capture with CaptureMode.SubTree): a press on
// one of its own buttons on the bar reaches the button (whose Click closes the panel), a press outside it
// closes the panel and goes no further, and the overflow button (ClickMode Press) toggles it.
TEST_F(ToolBarsTest, PressesInsideTheToolBarReachItsItemsAndPressesOutsideCloseTheOverflow) {
    Load("<StackPanel>" + Bar("200") + R"(<Button x:Name="outside" Content="Outside"/></StackPanel>)");
    auto bar = D(L"bar");
    auto button = Part(L"bar", L"OverflowButton");
    Click(CentreOf(button.Get()));
    EXPECT_TRUE(GetBool(bar.Get(), L"IsOverflowOpen")) << "the overflow button opens the panel on its press";
    Click(Centre(L"a"));
    EXPECT_EQ(E(L"a").Clicks().size(), 1u) << "the bar's own button took the press";
    EXPECT_FALSE(GetBool(bar.Get(), L"IsOverflowOpen"));

    Click(CentreOf(button.Get()));
    Click(CentreOf(button.Get()));
    EXPECT_FALSE(GetBool(bar.Get(), L"IsOverflowOpen")) << "a second press on the overflow button closes it";

    Click(CentreOf(button.Get()));
    Click(Centre(L"outside"));
    EXPECT_FALSE(GetBool(bar.Get(), L"IsOverflowOpen"));
    EXPECT_TRUE(E(L"outside").Clicks().empty()) << "the press that closed the panel went no further";
}

TEST_F(ToolBarsTest, WithNothingToOverflowTheOverflowButtonIsDisabledAndOpensNothing) {
    Load(Bar("400"));
    auto button = Part(L"bar", L"OverflowButton");
    EXPECT_FALSE(GetBool(button.Get(), L"IsEnabled"));
    Click(CentreOf(button.Get()));
    EXPECT_FALSE(GetBool(D(L"bar").Get(), L"IsOverflowOpen"));
}

// An overflowing Separator stays out of the overflow panel (ToolBarOverflowPanel leaves separators out).
TEST_F(ToolBarsTest, AnOverflowingSeparatorIsShownNowhere) {
    Load(R"(<ToolBarTray><ToolBar x:Name="bar" Width="120">
        <Button x:Name="a" Content="A"/><Button x:Name="b" Content="B"/><Separator x:Name="line"/>
      </ToolBar></ToolBarTray>)");
    Put(D(L"bar").Get(), L"IsOverflowOpen", ov::Variant::Bool(true));
    EXPECT_EQ(OnTheBar({L"a", L"b"}), "ab");
    EXPECT_FALSE(GetBool(D(L"line").Get(), L"IsVisible"));
    EXPECT_FALSE(GetObject(D(L"line").Get(), L"get_VisualParent"));
}

// ToolBar.CoerceIsOverflowOpen: a toolbar that is not loaded (here on a tab page not shown) keeps
// IsOverflowOpen false and opens once it is loaded, unless it was told false meanwhile.
TEST_F(ToolBarsTest, OpeningTheOverflowOfAToolBarThatIsNotLoadedWaitsForItsLoading) {
    Load(R"(<TabControl x:Name="tabs"><TabItem Header="Main"><Button Content="M"/></TabItem>
        <TabItem Header="Tools">)" +
         Bar("200") + R"(</TabItem></TabControl>)");
    auto bar = D(L"bar");
    EXPECT_FALSE(GetBool(bar.Get(), L"IsLoaded"));
    ASSERT_EQ(Put(bar.Get(), L"IsOverflowOpen", ov::Variant::Bool(true)).hr, S_OK);
    EXPECT_FALSE(GetBool(bar.Get(), L"IsOverflowOpen"));
    Put(D(L"tabs").Get(), L"SelectedIndex", ov::Variant::Int(1));
    EXPECT_TRUE(GetBool(bar.Get(), L"IsLoaded"));
    EXPECT_TRUE(GetBool(bar.Get(), L"IsOverflowOpen"));

    Put(bar.Get(), L"IsOverflowOpen", ov::Variant::Bool(false));
    Put(D(L"tabs").Get(), L"SelectedIndex", ov::Variant::Int(0));
    Put(bar.Get(), L"IsOverflowOpen", ov::Variant::Bool(true));
    Put(bar.Get(), L"IsOverflowOpen", ov::Variant::Bool(false));
    Put(D(L"tabs").Get(), L"SelectedIndex", ov::Variant::Int(1));
    EXPECT_FALSE(GetBool(bar.Get(), L"IsOverflowOpen")) << "the last value set was false";
}

} // namespace
} // namespace simtest
