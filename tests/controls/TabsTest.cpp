// What only a native test sees of the tab control and expander wrappers: the host's and the
// application's calls of ClickTab on each of its paths (the click, the fallback to "SelectedIndex", the
// failures before any click), and the expander's sets without read-back (the log lines of every member
// and the report modes as scripts see them: tests/scripts/tabs.*).
#include "ControlFixture.h"

#include "controls/Tabs.h"
#include "wpfsim/Expander.h"
#include "wpfsim/TabControl.h"

namespace {

using namespace ovtest;
using ovhost::LogEntry;
using ovhost::LogError;
using ovhost::LogMessage;
using Log = std::vector<LogEntry>;

const wchar_t* const kTabItemClass = L"System.Windows.Controls.TabItem";

class TabsTest : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        tabs_ = &App().Add<wpfsim::TabControl>(&MainWindow(), L"System.Windows.Controls.TabControl", L"tabs");
        tabs_->SetBounds({10, 10, 390, 200});
        for (const wchar_t* header : {L"General", L"Advanced", L"Network", L"Hidden"}) {
            auto& tab = App().Add<wpfsim::TabItem>(tabs_, kTabItemClass, std::wstring(header) + L"Tab");
            tab.SetHeader(header);
            tab.SetContent(std::wstring(header) + L" page");
            tabs_->Layout();
        }
        Tab(3).SetVisibility(wpfsim::Visibility::Collapsed);
        expander_ = &App().Add<wpfsim::Expander>(&MainWindow(), L"System.Windows.Controls.Expander", L"more");
        expander_->SetBounds({10, 210, 390, 290});
        Attach();
    }
    wpfsim::TabItem& Tab(long index) {
        return static_cast<wpfsim::TabItem&>(*tabs_->ContainerAt(index, true));
    }
    ov::ComPtr<IDispatch> TabsWrapper() { return WrapElement<CovWPFCtrlTabControl>(*tabs_).As<IDispatch>(); }
    // Puts made to the tab control's "SelectedIndex" (its reads are the fallback's read-back).
    long SelectedIndexInvokes() { return App().Calls(L"SelectedIndex").invokes; }
    static LogEntry Selected(const std::wstring& name) {
        return {LogMessage, L"The tab control page '" + name + L"' was selected.", L""};
    }

    wpfsim::TabControl* tabs_ = nullptr;
    wpfsim::Expander* expander_ = nullptr;
};

TEST_F(TabsTest, AClickableHeaderIsClickedOnceAtTheHostsPointAndSelectedIndexIsLeftAlone) {
    auto wrapper = TabsWrapper();
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickTab", {ov::Variant::String(L"Net*")}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Selected(L"Network")});
    EXPECT_EQ(tabs_->SelectedIndex(), 2);
    // One click, on the header's own object, at the host's default point, left, single, no keys.
    ASSERT_EQ(Host().Actions().size(), 1u);
    const ovhost::ActionRecord& click = Host().Actions()[0];
    EXPECT_EQ(click.targetName, L"NetworkTab");
    EXPECT_EQ(click.button, wpfsim::MouseButton::Left);
    EXPECT_FALSE(click.doubleClick);
    EXPECT_EQ(click.shift, 0);
    EXPECT_EQ(click.x, -1);
    EXPECT_EQ(click.y, -1);
    EXPECT_EQ(HostCalls("IovMouseActions::Click"), 1);
    // The tab control's own object, found once, is where the search for the header starts.
    EXPECT_EQ(HostCalls("IovObjectService::FindHostObject"), 1);
    // The container comes from the generator once; the selection is the click's alone.
    EXPECT_EQ(App().Calls(L"ContainerFromIndex").invokes, 1);
    EXPECT_EQ(App().Calls(L"SelectedIndex").invokes, 0);
    EXPECT_GT(App().Calls(L"ReferenceEquals").invokes, 0);
    // Every call of the member: the native object behind the tab control's host object for the enabled
    // check, the count, the three captions up to "Network" and the generator (6), and for each of the 11
    // objects the search looks at before the header; the click under the action options; the message.
    const std::map<std::string, long, std::less<>> expected = {
        {"IovObjectService::FindHostObject", 1}, {"IovHostObject::GetExtender", 17},
        {"IovObject::GetNativeObject", 17},      {"IovHostObject::GetChildCount", 11},
        {"IovHostObject::GetChild", 11},         {"IovHostObject::GetExtension", 1},
        {"IovActionOptions::get_ActionMode", 1}, {"IovActionOptions::get_ActionFlags", 1},
        {"IovActionOptions::put_ActionMode", 2}, {"IovActionOptions::put_ActionFlags", 2},
        {"IovMouseActions::Click", 1},           {"IovHostLog::AddEntry", 1},
    };
    EXPECT_EQ(Host().Calls().Snapshot(), expected);
    // "IsEnabled" (1 lookup, 1 call), "Items"."Count" (2, 2), per caption "Items"."get_Item", the item's
    // refused default value, "GetType"."IsPrimitive", "Header" and its string's default value (5, 7),
    // the generator's container (2, 2), its "IsEnabled" (1, 1) and one "ReferenceEquals" per object
    // looked at (11, 11).
    EXPECT_EQ(App().Calls(), (wpfsim::CallCount{32, 32, 38}));

    // The page already selected is clicked again and reported again.
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickTab", {ov::Variant::Int(2)}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Selected(L"2")});
    EXPECT_EQ(Host().Actions().size(), 1u);
    EXPECT_EQ(SelectedIndexInvokes(), 0);
}

TEST_F(TabsTest, AHeaderThatCannotBeClickedFallsBackToSelectedIndex) {
    auto wrapper = TabsWrapper();
    // No host object for a collapsed header: nothing is clicked, "SelectedIndex" is set and read back.
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickTab", {ov::Variant::String(L"Hidden")}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Selected(L"Hidden")});
    EXPECT_TRUE(Host().Actions().empty());
    EXPECT_EQ(HostCalls("IovMouseActions::Click"), 0);
    EXPECT_EQ(SelectedIndexInvokes(), 2);
    EXPECT_EQ(tabs_->SelectedIndex(), 3);

    // A click the host fails counts as no click either.
    Host().FailActions({E_FAIL, L"The mouse is stuck.", 0});
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickTab", {ov::Variant::Int(1)}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Selected(L"1")});
    EXPECT_EQ(HostCalls("IovMouseActions::Click"), 1);
    EXPECT_EQ(SelectedIndexInvokes(), 2);
    EXPECT_EQ(tabs_->SelectedIndex(), 1);
}

TEST_F(TabsTest, AFallbackThatDoesNotTakePassesTheClicksOwnFailureOn) {
    auto wrapper = TabsWrapper();
    // The application refuses every change of page, as a SelectionChanged handler that puts it back.
    tabs_->SetSelectionChangedHandler([](wpfsim::TabControl& tabs, long previous) { tabs.Select(previous); });
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickTab", {ov::Variant::String(L"Hidden")}).hr, S_OK);
    EXPECT_EQ(TakeLog(), (Log{{LogError, L"The control item 'Hidden' is not visible on screen.", L""}}));
    EXPECT_EQ(tabs_->SelectedIndex(), 0);

    Host().FailActions({E_FAIL, L"The mouse is stuck.", 0});
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickTab", {ov::Variant::String(L"Advanced")}).hr, S_OK);
    Log log = TakeLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].kind, LogError);
    EXPECT_NE(log[0].text.find(L"The mouse is stuck."), std::wstring::npos)
        << testing::PrintToString(log[0].text);
    EXPECT_EQ(tabs_->SelectedIndex(), 0);
}

// A disabled tab: tabs.js (Locked).
TEST_F(TabsTest, TabsWithoutAContainerFailBeforeAnyClickOrSelection) {
    Reset();
    // Data items whose containers the generator never makes: the index names the tab, also by caption.
    auto& strings =
        App().Add<wpfsim::TabControl>(&MainWindow(), L"System.Windows.Controls.TabControl", L"data");
    strings.SetNeverGenerates(true);
    strings.AddDataItem(ov::Variant::String(L"A"), L"System.String");
    strings.AddDataItem(ov::Variant::String(L"B"), L"System.String");
    auto dataWrapper = WrapObject<CovWPFCtrlTabControl>(strings).As<IDispatch>();
    ASSERT_EQ(Call(dataWrapper.Get(), L"ClickTab", {ov::Variant::String(L"B")}).hr, S_OK);
    EXPECT_EQ(TakeLog(), (Log{{LogError, L"The control item '1' is not visible on screen.", L""}}));

    EXPECT_TRUE(Host().Actions().empty());
    EXPECT_EQ(SelectedIndexInvokes(), 0);
}

TEST_F(TabsTest, ExpanderSetsIsExpandedWithoutLookingAtItBeforeOrAfter) {
    auto wrapper = WrapElement<CovWPFCtrlExpander>(*expander_).As<IDispatch>();
    // The application puts the state back at once: Expand reports all the same, since it reads nothing.
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"Expand").hr, S_OK);
    EXPECT_EQ(TakeLog(), (Log{{LogMessage, L"The control was expanded.", L""}}));
    EXPECT_TRUE(expander_->IsExpanded());
    EXPECT_EQ(App().Calls(L"IsExpanded"), (wpfsim::CallCount{1, 1, 1}));
    EXPECT_TRUE(Host().Actions().empty());
    // wExpanded without an enabled check or a message: tabs.js (frozen).
}

} // namespace
