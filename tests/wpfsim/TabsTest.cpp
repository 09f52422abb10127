// The tab control and the expander as a user and a script reach them: clicks on headers, the selection
// members with WPF's validation, and content that comes and goes with the layout.
#include "XamlApp.h"

namespace simtest {
namespace {

const char* const kTabs = R"(
  <StackPanel>
    <TabControl x:Name="tabs">
      <TabItem x:Name="general" Header="General"><Button x:Name="generalPage" Content="G"/></TabItem>
      <TabItem x:Name="advanced" Header="Advanced"><Button x:Name="advancedPage" Content="A"/></TabItem>
      <TabItem x:Name="locked" Header="Locked" IsEnabled="False"><Button x:Name="lockedPage" Content="L"/></TabItem>
      <TabItem x:Name="hidden" Header="Hidden" Visibility="Collapsed"><Button x:Name="hiddenPage" Content="H"/></TabItem>
    </TabControl>
  </StackPanel>)";

class TabsTest : public XamlTest {
protected:
    long Selected() { return static_cast<long>(GetNumber(D(L"tabs").Get(), L"SelectedIndex")); }
    bool Shown(const wchar_t* name) { return GetBool(D(name).Get(), L"IsVisible"); }
};

// A click on a header selects its page and shows it alone: tabs.js (ClickTab), controls/TabsTest.
TEST_F(TabsTest, TheRightButtonAndADisabledTabSelectNothing) {
    Load(kTabs);
    Click(Centre(L"advanced"), wpfsim::MouseButton::Right);
    Click(Centre(L"locked"));
    EXPECT_EQ(Selected(), 0);
    EXPECT_TRUE(Shown(L"generalPage"));
    EXPECT_FALSE(Shown(L"lockedPage"));
}

TEST_F(TabsTest, ACollapsedTabHasNoHeaderOnScreenButItsPageCanBeSelectedByIndex) {
    Load(kTabs);
    EXPECT_FALSE(Shown(L"hidden"));
    EXPECT_EQ(GetNumber(D(L"hidden").Get(), L"ActualWidth"), 0.0);
    ASSERT_EQ(Put(D(L"tabs").Get(), L"SelectedIndex", ov::Variant::Int(3)).hr, S_OK);
    EXPECT_EQ(Selected(), 3);
    EXPECT_TRUE(Shown(L"hiddenPage")) << "the page of a collapsed tab is shown when it is selected";
    EXPECT_FALSE(Shown(L"generalPage"));
}

TEST_F(TabsTest, SelectedIndexTakesMinusOneAndTheTabsIgnoresIndexesBeyondAndRefusesBelowMinusOne) {
    Load(kTabs);
    auto tabs = D(L"tabs");
    const struct {
        long set;
        HRESULT hr;
        long selectedAfter;
    } cases[] = {{1, S_OK, 1},   {4, S_OK, 1}, {100, S_OK, 1},
                 {-1, S_OK, -1}, {2, S_OK, 2}, {-2, DISP_E_EXCEPTION, 2}};
    for (const auto& c : cases) {
        Result r = Put(tabs.Get(), L"SelectedIndex", ov::Variant::Int(c.set));
        EXPECT_EQ(r.hr, c.hr) << c.set;
        if (c.hr == DISP_E_EXCEPTION) {
            EXPECT_EQ(r.description, L"'" + std::to_wstring(c.set) +
                                         L"' is not a valid value for property 'SelectedIndex'.");
        }
        EXPECT_EQ(Selected(), c.selectedAfter) << "after setting " << c.set;
    }
    // Selected by code, the disabled tab's page is shown: only input is refused on a disabled tab.
    EXPECT_TRUE(Shown(L"lockedPage"));
    Put(tabs.Get(), L"SelectedIndex", ov::Variant::Int(-1));
    Result none = Get(tabs.Get(), L"SelectedItem");
    EXPECT_TRUE(none.value.vt == VT_DISPATCH && !none.value.pdispVal) << "no selection: a null item";
    for (const wchar_t* page : {L"generalPage", L"advancedPage", L"lockedPage", L"hiddenPage"})
        EXPECT_FALSE(Shown(page)) << testing::PrintToString(std::wstring(page));
}

TEST_F(TabsTest, SelectedItemIsTheTabItemAndSettingItSelectsItsIndex) {
    Load(kTabs);
    auto tabs = D(L"tabs");
    ASSERT_EQ(Put(tabs.Get(), L"SelectedItem", ov::Variant::Dispatch(D(L"advanced").Get())).hr, S_OK);
    EXPECT_EQ(Selected(), 1);
    auto selected = GetObject(tabs.Get(), L"SelectedItem");
    EXPECT_TRUE(Same(selected.Get(), D(L"advanced").Get(), tabs.Get()));
    // An object that is not one of the tabs leaves the selection alone.
    Put(tabs.Get(), L"SelectedItem", ov::Variant::Dispatch(D(L"generalPage").Get()));
    EXPECT_EQ(Selected(), 1);
}

// --- expander -------------------------------------------------------------------------------------------

TEST_F(XamlTest, AnExpanderToggledByItsHeaderOrByCodeShowsItsContentAndMovesWhatFollows) {
    Load(R"(
  <StackPanel>
    <Expander x:Name="more" Header="More" IsExpanded="False">
      <Button x:Name="details" Content="Details" Height="40"/>
    </Expander>
    <Button x:Name="below" Content="Below"/>
  </StackPanel>)");
    auto more = D(L"more");
    auto details = D(L"details");
    const double closedTop = E(L"below").Bounds().top;
    EXPECT_FALSE(GetBool(details.Get(), L"IsVisible"));

    // The toggle acts on the release over the header, as a button does.
    auto site = FindPart(more.Get(), L"HeaderSite");
    ASSERT_TRUE(site) << "the expander's template has its header site";
    Click(CentreOf(site.Get()));
    EXPECT_TRUE(GetBool(more.Get(), L"IsExpanded"));
    EXPECT_TRUE(GetBool(details.Get(), L"IsVisible"));
    app->UpdateLayout();
    EXPECT_GE(E(L"below").Bounds().top - closedTop, 40) << "the content pushes the next element down";

    // A click on the content is the content's own: it does not fold the expander.
    Click(Centre(L"details"));
    EXPECT_TRUE(GetBool(more.Get(), L"IsExpanded"));

    ASSERT_EQ(Put(more.Get(), L"IsExpanded", ov::Variant::Bool(false)).hr, S_OK);
    EXPECT_FALSE(GetBool(details.Get(), L"IsVisible"));
    app->UpdateLayout();
    EXPECT_EQ(E(L"below").Bounds().top, closedTop);
}

TEST_F(XamlTest, ADisabledExpanderIgnoresItsHeaderButTakesIsExpandedFromCode) {
    Load(R"(<Expander x:Name="frozen" Header="Frozen" IsExpanded="True" IsEnabled="False">
              <TextBlock x:Name="inside" Text="Frozen content"/></Expander>)");
    auto frozen = D(L"frozen");
    Click(CentreOf(FindPart(frozen.Get(), L"HeaderSite").Get()));
    EXPECT_TRUE(GetBool(frozen.Get(), L"IsExpanded"));
    Put(frozen.Get(), L"IsExpanded", ov::Variant::Bool(false));
    EXPECT_FALSE(GetBool(frozen.Get(), L"IsExpanded"));
    EXPECT_FALSE(GetBool(D(L"inside").Get(), L"IsVisible"));
}

} // namespace
} // namespace simtest
