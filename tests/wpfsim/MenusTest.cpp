// Menus as WPF runs them: roles, what clicks and hovers open and close in and out of menu mode, context
// menus opened by a right click, and what the module reads of them by name.
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

TEST_F(MenusTest, RolesFollowTheParentAndTheItems) {
    const std::pair<const wchar_t*, const wchar_t*> roles[] = {
        {L"file", L"TopLevelHeader"}, {L"help", L"TopLevelItem"}, {L"recent", L"SubmenuHeader"},
        {L"open", L"SubmenuItem"},    {L"cut", L"SubmenuItem"},   {L"more", L"SubmenuHeader"}};
    for (const auto& [name, role] : roles) {
        auto boxed = GetObject(D(name).Get(), L"Role");
        EXPECT_EQ(ClassOf(boxed.Get()), L"System.Windows.Controls.MenuItemRole");
        EXPECT_EQ(GetText(boxed.Get(), L"OleValue"), role) << testing::PrintToString(std::wstring(name));
    }
}

TEST_F(MenusTest, AContextMenuOpensAtTheRightClickAndKeepsItsPopupAsLogicalParent) {
    auto menu = D(L"listMenu");
    EXPECT_FALSE(GetObject(menu.Get(), L"Parent")) << "no logical parent before the first opening";
    EXPECT_FALSE(GetObject(menu.Get(), L"PlacementTarget"));
    const POINT at = Centre(L"apple");
    Click({at.x + 5, at.y}, wpfsim::MouseButton::Right);
    EXPECT_TRUE(GetBool(D(L"apple").Get(), L"IsSelected")) << "the right press selects the item first";
    EXPECT_TRUE(GetBool(menu.Get(), L"IsMenuMode"));
    EXPECT_TRUE(Same(GetObject(menu.Get(), L"PlacementTarget").Get(), D(L"list").Get(), menu.Get()));
    const RECT& r = E(L"listMenu").Bounds();
    EXPECT_EQ((std::vector<LONG>{r.left, r.top}), (std::vector<LONG>{at.x + 5, at.y}));
    auto popup = GetObject(menu.Get(), L"Parent");
    EXPECT_EQ(ClassOf(popup.Get()), L"System.Windows.Controls.Primitives.Popup");
    EXPECT_TRUE(Same(GetObject(D(L"cut").Get(), L"get_LogicalParent").Get(), menu.Get(), menu.Get()));
    ASSERT_EQ(Put(menu.Get(), L"IsOpen", ov::Variant::Bool(false)).hr, S_OK);
    EXPECT_FALSE(GetBool(D(L"cut").Get(), L"IsVisible"));
    EXPECT_TRUE(Same(GetObject(menu.Get(), L"Parent").Get(), popup.Get(), menu.Get()));
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

// WPF's MenuItem.LogicalParent (internal, read through "get_LogicalParent"): the item's Parent, or for an
// item the menu generated from a data item (which has no Parent) ItemsControlFromItemContainer, the menu or
// menu item it is an item of. It belongs to MenuItem alone: a Menu, a ContextMenu, any other element lacks
// it.
TEST_F(MenusTest, OnlyAMenuItemHasALogicalParentItsParentOrTheControlItIsAnItemOf) {
    Load(R"(<StackPanel>
    <Menu x:Name="menu">
      <MenuItem x:Name="file" Header="_File"><MenuItem x:Name="open" Header="_Open"/><sys:String>data</sys:String></MenuItem>
    </Menu>
    <Button x:Name="button" Content="B">
      <Button.ContextMenu><ContextMenu x:Name="buttonMenu"><MenuItem x:Name="cut" Header="Cut"/></ContextMenu></Button.ContextMenu>
    </Button>
  </StackPanel>)");
    auto file = D(L"file");
    EXPECT_TRUE(Same(GetObject(D(L"open").Get(), L"get_LogicalParent").Get(), file.Get(), file.Get()));
    EXPECT_TRUE(Same(GetObject(file.Get(), L"get_LogicalParent").Get(), D(L"menu").Get(), file.Get()));
    EXPECT_TRUE(
        Same(GetObject(D(L"cut").Get(), L"get_LogicalParent").Get(), D(L"buttonMenu").Get(), file.Get()));
    // The submenu's items get their containers when it opens.
    ASSERT_EQ(Put(file.Get(), L"IsSubmenuOpen", ov::Variant::Bool(true)).hr, S_OK);
    auto generated = ContainerAt(file.Get(), 1);
    ASSERT_TRUE(generated);
    EXPECT_FALSE(GetObject(generated.Get(), L"Parent"));
    EXPECT_TRUE(Same(GetObject(generated.Get(), L"get_LogicalParent").Get(), file.Get(), file.Get()));
    for (const wchar_t* name : {L"menu", L"buttonMenu", L"button"}) {
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(Lookup(D(name).Get(), L"get_LogicalParent", &id), DISP_E_UNKNOWNNAME)
            << testing::PrintToString(std::wstring(name));
    }
}

TEST_F(MenusTest, HeadersShowWithoutTheirAccessKeyAndElementsReadFromXamlCarryPersistIds) {
    Load(R"(<Menu x:Name="menu"><MenuItem x:Name="file" Header="_Save __as">
      <MenuItem x:Name="pic"><MenuItem.Header><TextBlock x:Name="picText" Text="Picture"/></MenuItem.Header></MenuItem>
    </MenuItem></Menu>)");
    auto text = FindOfClass(D(L"file").Get(), L"System.Windows.Controls.AccessText");
    ASSERT_TRUE(text);
    EXPECT_EQ(GetText(text.Get(), L"Text"), L"_Save __as");
    EXPECT_EQ(wpfsim::AccessText::Shown(L"_Save __as"), L"Save _as");
    EXPECT_TRUE(Same(GetObject(D(L"pic").Get(), L"Header").Get(), D(L"picText").Get(), D(L"pic").Get()));
    // In document order from the Window (1); template parts are made in code (0).
    EXPECT_EQ((std::vector<double>{
                  GetNumber(D(L"menu").Get(), L"PersistId"), GetNumber(D(L"pic").Get(), L"PersistId"),
                  GetNumber(D(L"picText").Get(), L"PersistId"), GetNumber(text.Get(), L"PersistId")}),
              (std::vector<double>{2, 4, 5, 0}));
}

// MenuItem.CoerceIsSubmenuOpen and ComboBox.CoerceIsDropDownOpen: while the control is not loaded (here on a
// tab page not shown) true is coerced to false, and the control opens once it is loaded (OpenOnLoad) unless
// it was told false meanwhile.
TEST_F(XamlTest, OpeningAMenuOrADropDownThatIsNotLoadedWaitsForItsLoading) {
    const struct {
        const wchar_t* name;
        const wchar_t* member;
    } cases[] = {{L"file", L"IsSubmenuOpen"}, {L"combo", L"IsDropDownOpen"}};
    for (const auto& c : cases) {
        for (bool toldFalse : {false, true}) {
            SCOPED_TRACE(testing::PrintToString(std::wstring(c.member)) + (toldFalse ? " told false" : ""));
            Load(R"(<TabControl x:Name="tabs"><TabItem Header="Main"><Button Content="M"/></TabItem>
              <TabItem Header="Other"><StackPanel>
                <Menu><MenuItem x:Name="file" Header="File"><MenuItem Header="Open"/></MenuItem></Menu>
                <ComboBox x:Name="combo"><ComboBoxItem Content="One"/></ComboBox>
              </StackPanel></TabItem></TabControl>)");
            auto d = D(c.name);
            EXPECT_FALSE(GetBool(d.Get(), L"IsLoaded"));
            ASSERT_EQ(Put(d.Get(), c.member, ov::Variant::Bool(true)).hr, S_OK);
            EXPECT_FALSE(GetBool(d.Get(), c.member));
            if (toldFalse) Put(d.Get(), c.member, ov::Variant::Bool(false));
            Put(D(L"tabs").Get(), L"SelectedIndex", ov::Variant::Int(1));
            app->UpdateLayout();
            EXPECT_TRUE(GetBool(d.Get(), L"IsLoaded"));
            EXPECT_EQ(GetBool(d.Get(), c.member), !toldFalse);
            d = nullptr;
        }
    }
}

// Menu is focusable (only its IsTabStop is false), so a script's Focus() on it succeeds as in WPF.
TEST_F(MenusTest, TheMenuTakesFocus) {
    auto menu = D(L"menu");
    EXPECT_TRUE(GetBool(menu.Get(), L"Focusable"));
    Result r = Call(menu.Get(), L"Focus");
    EXPECT_EQ(r.value.vt, VT_BOOL);
    EXPECT_TRUE(GetBool(menu.Get(), L"IsFocused"));
}

} // namespace
} // namespace simtest
