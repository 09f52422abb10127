// The expander's content moves what follows it, in screen rectangles (tabs.table has the rest of the tabs
// and expanders).
#include "XamlApp.h"

namespace simtest {
namespace {

TEST_F(XamlTest, AnExpandersContentPushesWhatFollowsDownAndBack) {
    Load(R"(<StackPanel><Expander x:Name="more" Header="More" IsExpanded="False">
      <Button Content="Details" Height="40"/></Expander><Button x:Name="below" Content="Below"/></StackPanel>)");
    const LONG closedTop = E(L"below").Bounds().top;
    ASSERT_EQ(Put(D(L"more").Get(), L"IsExpanded", ov::Variant::Bool(true)).hr, S_OK);
    app->UpdateLayout();
    EXPECT_GE(E(L"below").Bounds().top - closedTop, 40);
    ASSERT_EQ(Put(D(L"more").Get(), L"IsExpanded", ov::Variant::Bool(false)).hr, S_OK);
    app->UpdateLayout();
    EXPECT_EQ(E(L"below").Bounds().top, closedTop);
}

} // namespace
} // namespace simtest
