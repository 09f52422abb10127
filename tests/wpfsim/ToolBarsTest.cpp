// The toolbar's overflow as WPF lays it out: which items the bar keeps for its width and their
// ToolBar.OverflowMode, the overflow panel in its popup window, and the button click that closes it.
#include "XamlApp.h"

namespace simtest {
namespace {

// Buttons are 75 wide at least; the overflow button keeps 11 of the bar's width.
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
    std::string OnTheBar() {
        std::string shown;
        for (const wchar_t* name : {L"a", L"b", L"c", L"d"})
            if (GetBool(D(name).Get(), L"IsVisible")) shown += static_cast<char>(name[0]);
        return shown;
    }
};

TEST_F(ToolBarsTest, TheBarKeepsTheItemsThatFitInOrderAndOverflowsTheRest) {
    const struct {
        const char* width;
        const char* thirdMode;
        const char* shown;
    } cases[] = {
        {"400", "AsNeeded", "abcd"},
        {"311", "AsNeeded", "abcd"},
        {"310", "AsNeeded", "abc"},
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
    }
}

TEST_F(ToolBarsTest, TheOverflowPanelOpensInAPopupAndAButtonsClickThereClosesIt) {
    Load(Bar("200"));
    auto bar = D(L"bar");
    auto panel = GetObject(D(L"d").Get(), L"get_InternalVisualParent");
    EXPECT_TRUE(Same(GetObject(panel.Get(), L"get_ToolBar").Get(), bar.Get(), bar.Get()));
    ASSERT_EQ(Put(bar.Get(), L"IsOverflowOpen", ov::Variant::Bool(true)).hr, S_OK);
    EXPECT_EQ(OnTheBar(), "abcd") << "the open panel shows its items";
    Click(Centre(L"d"));
    EXPECT_FALSE(GetBool(bar.Get(), L"IsOverflowOpen"));
    EXPECT_EQ(OnTheBar(), "ab");
}

} // namespace
} // namespace simtest
