// Menus where a row cannot see them (menus.table has the rest): what clicks and hovers open and close in and
// out of menu mode with the Click events they raise, and where context menus open on the screen.
#include "XamlApp.h"

#include "wpfsim/Menus.h"
#include "wpfsim/TextBlock.h"

namespace simtest {
namespace {

const char* const kMenus = R"(<DockPanel>
    <Menu x:Name="menu" DockPanel.Dock="Top">
      <MenuItem x:Name="file" Header="_File">
        <MenuItem x:Name="open" Header="_Open"/>
        <MenuItem x:Name="recent" Header="Recent">
          <MenuItem x:Name="first" Header="first.txt"/>
        </MenuItem>
        <Separator x:Name="line"/>
        <MenuItem x:Name="print" Header="Print" IsEnabled="False"/>
        <MenuItem x:Name="wrap" Header="Word wrap" IsCheckable="True"/>
        <MenuItem x:Name="pin" Header="Pin" IsCheckable="True" StaysOpenOnClick="True"/>
      </MenuItem>
      <MenuItem x:Name="edit" Header="_Edit"><MenuItem x:Name="copy" Header="Copy"/></MenuItem>
      <MenuItem x:Name="help" Header="Help"/>
    </Menu>
    <Button x:Name="outside" DockPanel.Dock="Right" Content="Outside"/>
    <ListBox x:Name="list" Height="60" Width="300">
      <ListBox.ContextMenu>
        <ContextMenu x:Name="listMenu">
          <MenuItem x:Name="cut" Header="Cut"/>
          <MenuItem x:Name="more" Header="More"><MenuItem x:Name="deep" Header="Deep"/></MenuItem>
        </ContextMenu>
      </ListBox.ContextMenu>
      <ListBoxItem x:Name="apple" Content="Apple"/>
    </ListBox>
  </DockPanel>)";

class MenusTest : public XamlTest {
protected:
    void SetUp() override { Load(kMenus); }
    wpfsim::MenuItem& Item(const wchar_t* name) { return dynamic_cast<wpfsim::MenuItem&>(E(name)); }

    // "L:name", "R:name" click the element's centre with that button, "H:name" moves the mouse there.
    void Play(const std::vector<std::string>& steps) {
        for (const std::string& step : steps) {
            const std::wstring name(step.begin() + 2, step.end());
            const POINT at = Centre(name.c_str());
            if (step[0] == 'H')
                app->MoveMouse(at);
            else
                Click(at, step[0] == 'R' ? wpfsim::MouseButton::Right : wpfsim::MouseButton::Left);
        }
    }
    // What is open, whether the main menu is in menu mode, which items raised Click, which are checked.
    std::string State() {
        std::string open, clicked, checked;
        for (const wchar_t* name : {L"file", L"recent", L"edit", L"more"})
            if (Item(name).IsSubmenuOpen()) open += (open.empty() ? "" : ",") + Narrow(name);
        if (GetBool(D(L"listMenu").Get(), L"IsOpen"))
            open += (open.empty() ? "" : ",") + std::string("listMenu");
        for (const wchar_t* name : {L"open", L"first", L"print", L"wrap", L"pin", L"help", L"cut", L"deep"}) {
            if (Item(name).ClickCount() > 0) clicked += " clicked:" + Narrow(name);
            if (Item(name).IsChecked()) checked += " checked:" + Narrow(name);
        }
        return "open:" + open + (GetBool(D(L"menu").Get(), L"IsMenuMode") ? " mode" : "") + clicked + checked;
    }
    static std::string Narrow(std::wstring_view s) { return std::string(s.begin(), s.end()); }
};

TEST_F(MenusTest, ClicksAndHoversOpenAndCloseAsInWpf) {
    const struct {
        std::vector<std::string> steps;
        const char* state;
    } cases[] = {
        {{"L:file"}, "open:file mode"},
        {{"L:file", "L:file"}, "open:"},
        {{"H:edit"}, "open:"}, // outside menu mode a hover changes nothing
        {{"L:file", "H:edit"}, "open:edit mode"},
        {{"L:file", "H:help"}, "open: mode"},
        {{"L:file", "H:recent"}, "open:file,recent mode"},
        {{"L:file", "H:recent", "H:open"}, "open:file mode"},
        {{"L:file", "H:print"}, "open:file mode"}, // a disabled item takes no hover
        {{"L:file", "H:recent", "L:first"}, "open: clicked:first"},
        {{"L:file", "L:print"}, "open:file mode"},
        {{"L:file", "L:line"}, "open:file mode"},
        {{"L:file", "L:outside"}, "open:"},
        {{"L:file", "L:wrap"}, "open: clicked:wrap checked:wrap"},
        {{"L:file", "L:pin"}, "open:file mode clicked:pin checked:pin"},
        // The hover opens Edit, the press on the open top-level header leaves menu mode.
        {{"L:file", "L:edit"}, "open:"},
        {{"L:help"}, "open: clicked:help"},
        {{"R:file"}, "open:"},
        {{"R:apple"}, "open:listMenu"},
        {{"R:apple", "H:more"}, "open:more,listMenu"},
        {{"R:apple", "H:more", "L:deep"}, "open: clicked:deep"},
        {{"R:apple", "R:cut"}, "open: clicked:cut"},
        {{"R:apple", "L:outside"}, "open:"},
        {{"L:file", "R:apple"}, "open:"}, // the press that closes the menu goes no further
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.steps));
        Load(kMenus);
        Play(c.steps);
        EXPECT_EQ(State(), c.state);
    }
    EXPECT_FALSE(E(L"outside").Clicks().size()) << "presses that close menus reach nothing below";
}

// A context menu opens with its top-left at the right press (Popup's MousePoint placement).
TEST_F(MenusTest, AContextMenuOpensAtTheRightClick) {
    const POINT at = Centre(L"apple");
    Click({at.x + 5, at.y}, wpfsim::MouseButton::Right);
    ASSERT_TRUE(GetBool(D(L"listMenu").Get(), L"IsOpen"));
    const RECT& r = E(L"listMenu").Bounds();
    EXPECT_EQ((std::vector<LONG>{r.left, r.top}), (std::vector<LONG>{at.x + 5, at.y}));
}

// Popup's MousePoint placement, a context menu's default: the menu's top-left at the point, or else its
// top-right, bottom-left or bottom-right, whichever first keeps it on the screen (1920 x 1080).
TEST_F(MenusTest, AContextMenuNearTheScreensEdgeOpensToTheLeftOrAboveThePoint) {
    Load(R"(<Border x:Name="pad" Width="1900" Height="1000" Background="White">
      <Border.ContextMenu>
        <ContextMenu x:Name="padMenu"><MenuItem Header="Cut"/><MenuItem Header="Copy"/></ContextMenu>
      </Border.ContextMenu>
    </Border>)");
    const struct {
        POINT at;
        bool left, above;
    } cases[] = {{{1000, 500}, false, false},
                 {{1900, 500}, true, false},
                 {{1000, 1070}, false, true},
                 {{1900, 1070}, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::vector<LONG>{c.at.x, c.at.y}));
        Click(c.at, wpfsim::MouseButton::Right);
        ASSERT_TRUE(GetBool(D(L"padMenu").Get(), L"IsOpen"));
        const RECT& r = E(L"padMenu").Bounds();
        EXPECT_EQ(c.left ? r.right : r.left, c.at.x);
        EXPECT_EQ(c.above ? r.bottom : r.top, c.at.y);
        ASSERT_EQ(Put(D(L"padMenu").Get(), L"IsOpen", ov::Variant::Bool(false)).hr, S_OK);
    }
}

// AccessText shows its text without the access key's underscore ("__" shows one).
TEST(AccessTextTest, TheShownTextDropsTheAccessKeysUnderscore) {
    EXPECT_EQ(wpfsim::AccessText::Shown(L"_Save __as"), L"Save _as");
}

} // namespace
} // namespace simtest
