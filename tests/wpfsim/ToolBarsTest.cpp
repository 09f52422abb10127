// The toolbar where a row cannot see it (toolbars.table has the rest): the rows of its bands on the screen
// and the presses that reach its buttons (their Click) while the overflow is open.
#include "XamlApp.h"

namespace simtest {
namespace {

// A bar of 200 keeps two of its four buttons (toolbars.table).
std::string Bar(const std::string& width) {
    return R"(<ToolBarTray><ToolBar x:Name="bar" Width=")" + width + R"(">
        <Button x:Name="a" Content="A"/><Button x:Name="b" Content="B"/>
        <Button x:Name="c" Content="C"/><Button x:Name="d" Content="D"/>
      </ToolBar></ToolBarTray>)";
}

class ToolBarsTest : public XamlTest {
protected:
    ov::ComPtr<IDispatch> Part(const wchar_t* bar, const wchar_t* part) {
        return FindPart(D(bar).Get(), part);
    }
};

// Toolbars of another Band stand in a row of their own (toolbars.table has what the bands keep).
TEST_F(ToolBarsTest, AnotherBandIsARowBelow) {
    Load(R"(<ToolBarTray><ToolBar><Button x:Name="a" Content="A"/></ToolBar>
      <ToolBar Band="1"><Button x:Name="e" Content="E"/></ToolBar></ToolBarTray>)");
    EXPECT_GE(E(L"e").Bounds().top, E(L"a").Bounds().bottom) << "band 1 is a row below band 0";
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

} // namespace
} // namespace simtest
