// What no member row can set up: an application that refuses a change of page (its handlers are C++ only),
// so that ClickTab's fallback to "SelectedIndex" does not take (the rows: tests/members/tabs.table).
#include "ControlFixture.h"

#include "controls/Tabs.h"
#include "wpfsim/TabControl.h"

namespace {

using namespace ovtest;

class TabsTest : public ControlFixture {};

TEST_F(TabsTest, AFallbackThatDoesNotTakePassesTheClicksOwnFailureOn) {
    auto& tabs = App().Add<wpfsim::TabControl>(&MainWindow(), L"System.Windows.Controls.TabControl", L"tabs");
    tabs.SetBounds({10, 10, 390, 200});
    for (const wchar_t* header : {L"General", L"Advanced", L"Hidden"}) {
        auto& tab = App().Add<wpfsim::TabItem>(&tabs, L"System.Windows.Controls.TabItem", header);
        tab.SetHeader(header);
        tabs.Layout();
    }
    static_cast<wpfsim::TabItem&>(*tabs.ContainerAt(2, true)).SetVisibility(wpfsim::Visibility::Collapsed);
    tabs.SetSelectionChangedHandler([](wpfsim::TabControl& t, long previous) { t.Select(previous); });
    Attach();
    auto wrapper = WrapElement<CovWPFCtrlTabControl>(tabs).As<IDispatch>();

    // No header to click: the click's failure.
    ASSERT_EQ(Call(wrapper.Get(), L"ClickTab", {ov::Variant::String(L"Hidden")}).hr, S_OK);
    EXPECT_EQ(TakeLog(),
              (std::vector<ovhost::LogEntry>{
                  {ovhost::LogError, L"The control item 'Hidden' is not visible on screen.", L""}}));
    // The host's own failure of the click.
    Host().FailActions({E_FAIL, L"The mouse is stuck", 0});
    ASSERT_EQ(Call(wrapper.Get(), L"ClickTab", {ov::Variant::String(L"Advanced")}).hr, S_OK);
    EXPECT_EQ(TakeLog(), (std::vector<ovhost::LogEntry>{{ovhost::LogError, L"The mouse is stuck.", L""}}));
    EXPECT_EQ(tabs.SelectedIndex(), 0);
}

} // namespace
