// Layout that runs again after changes (a popup opening, scrolling), and scroll viewers: offsets clamped to
// the scrollable room, extents and viewports in pixels, or in items for a list that scrolls by items.
#include "XamlApp.h"

using namespace simtest;

namespace {

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

wpfsim::Element* PopupRootWindow(wpfsim::Application& app) {
    for (wpfsim::Element* root : app.Roots())
        if (root->ClassName() == L"System.Windows.Controls.Primitives.PopupRoot") return root;
    return nullptr;
}

TEST_F(XamlTest, OpenedDropDownIsPlacedBelowTheComboBoxWithItsItemsLaidOut) {
    Load(R"(
  <StackPanel Margin="20">
    <ComboBox x:Name="combo" Width="160">
      <ComboBoxItem x:Name="apple" Content="Apple"/>
      <sys:String>Pear</sys:String>
      <sys:String>A plum of a rather longer name</sys:String>
    </ComboBox>
  </StackPanel>)");
    ASSERT_EQ(PopupRootWindow(*app), nullptr);
    auto combo = D(L"combo");
    Put(combo.Get(), L"IsDropDownOpen", ov::Variant::Bool(true));
    wpfsim::Element* root = PopupRootWindow(*app);
    ASSERT_TRUE(root) << "an open drop-down is a window of its own";
    app->UpdateLayout();
    const RECT comboRect = E(L"combo").Bounds(), rootRect = root->Bounds();
    EXPECT_EQ(rootRect.top, comboRect.bottom) << "below the combo box";
    EXPECT_EQ(rootRect.left, comboRect.left);
    EXPECT_GE(rootRect.right - rootRect.left, comboRect.right - comboRect.left) << "at least as wide";

    double previousBottom = rootRect.top;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        auto item = ContainerAt(combo.Get(), i);
        ASSERT_TRUE(item);
        EXPECT_GT(GetNumber(item.Get(), L"ActualWidth"), 0);
        EXPECT_GT(GetNumber(item.Get(), L"ActualHeight"), 0);
        auto* element = dynamic_cast<wpfsim::Element*>(wpfsim::ObjectOf(item.Get()).Get());
        ASSERT_TRUE(element);
        EXPECT_TRUE(Inside(element->Bounds(), rootRect));
        EXPECT_GE(element->Bounds().top, previousBottom) << "items stack downwards";
        previousBottom = element->Bounds().bottom;
    }
    // The longest text widens the items (and the window), all items alike.
    EXPECT_EQ(GetNumber(ContainerAt(combo.Get(), 0).Get(), L"ActualWidth"),
              GetNumber(ContainerAt(combo.Get(), 2).Get(), L"ActualWidth"));

    Put(combo.Get(), L"IsDropDownOpen", ov::Variant::Bool(false));
    EXPECT_EQ(PopupRootWindow(*app), nullptr);
}

TEST_F(XamlTest, ScrollingMovesTheChildrensRectangles) {
    Load(R"(
  <ScrollViewer x:Name="viewer" Height="100" Width="200" HorizontalScrollBarVisibility="Auto">
    <StackPanel>
      <Border x:Name="top" Height="60" Width="400"/>
      <Border x:Name="middle" Height="60"/>
      <Border x:Name="bottom" Height="60"/>
    </StackPanel>
  </ScrollViewer>)");
    auto viewer = D(L"viewer");
    const RECT before = E(L"middle").Bounds(), viewerBefore = E(L"viewer").Bounds();
    Call(viewer.Get(), L"ScrollToVerticalOffset", {ov::Variant::Double(50)});
    Call(viewer.Get(), L"ScrollToHorizontalOffset", {ov::Variant::Double(30)});
    app->UpdateLayout();
    const RECT after = E(L"middle").Bounds();
    EXPECT_EQ(after.top, before.top - 50);
    EXPECT_EQ(after.left, before.left - 30);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    const RECT viewerAfter = E(L"viewer").Bounds();
    EXPECT_EQ(viewerAfter.top, viewerBefore.top) << "the viewer stays, its content moves";

    // What scrolled out of the viewport is no longer hit: the point of the top border shows the middle one.
    POINT p{viewerAfter.left + 5, viewerAfter.top + 20};
    wpfsim::Element* hit = app->ElementAt(p);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->Name(), L"middle");
}

// --- scroll viewers -------------------------------------------------------------------------------------

class ScrollViewerTest : public XamlTest {
protected:
    void TearDown() override {
        viewer = nullptr;
        XamlTest::TearDown();
    }
    double N(const wchar_t* member) { return GetNumber(viewer.Get(), member); }
    ov::ComPtr<IDispatch> viewer;
};

TEST_F(ScrollViewerTest, OffsetsClampToTheScrollableRoom) {
    Load(R"(
  <ScrollViewer x:Name="viewer" Height="100" Width="120" HorizontalScrollBarVisibility="Auto"
                VerticalScrollBarVisibility="Auto">
    <Border Height="300" Width="500"/>
  </ScrollViewer>)");
    viewer = D(L"viewer");
    EXPECT_EQ(N(L"ExtentHeight"), 300);
    EXPECT_EQ(N(L"ExtentWidth"), 500);
    EXPECT_GT(N(L"ViewportHeight"), 0);
    EXPECT_LE(N(L"ViewportHeight"), 100);
    EXPECT_LE(N(L"ViewportWidth"), 120);
    EXPECT_EQ(N(L"ScrollableHeight"), N(L"ExtentHeight") - N(L"ViewportHeight"));
    EXPECT_EQ(N(L"ScrollableWidth"), N(L"ExtentWidth") - N(L"ViewportWidth"));

    struct Case {
        double requested;
        double expected; // negative: the scrollable room
    };
    const Case cases[] = {{40, 40}, {-5, 0}, {1e9, -1}, {0, 0}, {12.5, 12.5}};
    for (const wchar_t* direction : {L"Vertical", L"Horizontal"}) {
        const bool vertical = std::wstring_view(direction) == L"Vertical";
        const std::wstring scrollTo = std::wstring(L"ScrollTo") + direction + L"Offset";
        const std::wstring offset = std::wstring(direction) + L"Offset";
        for (const Case& c : cases) {
            ASSERT_EQ(Call(viewer.Get(), scrollTo.c_str(), {ov::Variant::Double(c.requested)}).hr, S_OK);
            const double expected =
                c.expected < 0 ? N(vertical ? L"ScrollableHeight" : L"ScrollableWidth") : c.expected;
            EXPECT_EQ(N(offset.c_str()), expected)
                << testing::PrintToString(scrollTo) << "(" << c.requested << ")";
        }
    }
}

TEST_F(ScrollViewerTest, DisabledDirectionHasNoScrollableRoomAndIsTheDefaultHorizontally) {
    for (const char* bar : {R"(HorizontalScrollBarVisibility="Disabled")", ""}) {
        SCOPED_TRACE(bar);
        Load(std::string(R"(<ScrollViewer x:Name="viewer" Height="100" Width="120" )") + bar +
             R"(><Border Height="300" Width="500"/></ScrollViewer>)");
        viewer = D(L"viewer");
        EXPECT_EQ(N(L"ScrollableWidth"), 0);
        Call(viewer.Get(), L"ScrollToHorizontalOffset", {ov::Variant::Double(50)});
        EXPECT_EQ(N(L"HorizontalOffset"), 0);
        EXPECT_GT(N(L"ScrollableHeight"), 0) << "the vertical bar is Visible by default";
        viewer = nullptr;
        app.reset();
    }
}

// WPF's ScrollViewer template: the bars "PART_VerticalScrollBar" and "PART_HorizontalScrollBar", shown
// by their computed visibility (Auto: only while the content overflows), whose line buttons scroll by 16
// pixels (ScrollBar.LineDownCommand, ScrollViewer.LineDown) and page buttons by a viewport. An offset of NaN
// is refused (ScrollViewer.ScrollToVerticalOffset: ArgumentOutOfRangeException).
TEST_F(ScrollViewerTest, TheTemplatesScrollBarsShowWhenTheContentOverflowsAndTheirButtonsScroll) {
    Load(R"(
  <ScrollViewer x:Name="viewer" Height="100" Width="120" HorizontalScrollBarVisibility="Auto"
                VerticalScrollBarVisibility="Auto">
    <Border x:Name="content" Height="300" Width="100"/>
  </ScrollViewer>)");
    viewer = D(L"viewer");
    auto vertical = FindPart(viewer.Get(), L"PART_VerticalScrollBar");
    auto horizontal = FindPart(viewer.Get(), L"PART_HorizontalScrollBar");
    ASSERT_TRUE(vertical && horizontal);
    EXPECT_TRUE(GetBool(vertical.Get(), L"IsVisible"));
    EXPECT_FALSE(GetBool(horizontal.Get(), L"IsVisible")) << "100 wide content fits beside the bar";
    EXPECT_EQ(N(L"ComputedHorizontalScrollBarVisibility"), 2);
    EXPECT_EQ(N(L"ViewportWidth"), 120 - 17);
    EXPECT_EQ(GetNumber(vertical.Get(), L"Maximum"), N(L"ScrollableHeight"));
    EXPECT_EQ(GetNumber(vertical.Get(), L"ViewportSize"), N(L"ViewportHeight"));

    Click(CentreOf(FindPart(vertical.Get(), L"PART_LineDownButton").Get()));
    EXPECT_EQ(N(L"VerticalOffset"), 16);
    EXPECT_EQ(GetNumber(vertical.Get(), L"Value"), 16);
    Click(CentreOf(FindPart(vertical.Get(), L"PART_LineUpButton").Get()));
    EXPECT_EQ(N(L"VerticalOffset"), 0);

    Result nan = Call(viewer.Get(), L"ScrollToVerticalOffset", {ov::Variant::Double(std::nan(""))});
    EXPECT_EQ(nan.hr, DISP_E_EXCEPTION);
    EXPECT_NE(nan.description.find(L"'offset' parameter value cannot be NaN."), std::wstring::npos);
    EXPECT_EQ(N(L"VerticalOffset"), 0);

    // Content that fits hides the Auto bar: nothing to scroll.
    Put(viewer.Get(), L"VerticalScrollBarVisibility", ov::Variant::Int(3));
    app->UpdateLayout();
    EXPECT_TRUE(GetBool(vertical.Get(), L"IsVisible"));
    Put(viewer.Get(), L"VerticalScrollBarVisibility", ov::Variant::Int(1));
    E(L"content").Layout().height = 50;
    E(L"content").InvalidateLayout();
    app->UpdateLayout();
    EXPECT_FALSE(GetBool(vertical.Get(), L"IsVisible"));
    EXPECT_EQ(N(L"ViewportWidth"), 120);
}

// A standalone ScrollViewer is a focusable control (Control's default; IsTabStop false in its style);
// the controls whose templates hold one (ListBox, TreeView, TextBox, Menu's) set it not focusable.
TEST_F(ScrollViewerTest, AStandaloneViewerTakesFocusAndATemplatesViewerDoesNot) {
    Load(R"(<StackPanel><ScrollViewer x:Name="viewer" Height="50"><Border Height="10"/></ScrollViewer>
        <ListBox x:Name="list"><ListBoxItem Content="One"/></ListBox></StackPanel>)");
    viewer = D(L"viewer");
    EXPECT_TRUE(GetBool(viewer.Get(), L"Focusable"));
    Call(viewer.Get(), L"Focus");
    EXPECT_TRUE(GetBool(viewer.Get(), L"IsFocused"));
    auto inner = FindOfClass(D(L"list").Get(), L"System.Windows.Controls.ScrollViewer");
    ASSERT_TRUE(inner);
    EXPECT_FALSE(GetBool(inner.Get(), L"Focusable"));
}

TEST_F(ScrollViewerTest, ListScrollsByItems) {
    std::string items;
    for (int i = 0; i < 50; ++i)
        items += "<sys:Int32>" + std::to_string(i) + "</sys:Int32>";
    Load(R"(<ListBox x:Name="list" Height="100" Width="150">)" + items + "</ListBox>");
    auto list = D(L"list");
    viewer = GetObject(list.Get(), L"get_ScrollHost");
    ASSERT_TRUE(viewer);
    EXPECT_EQ(N(L"ExtentHeight"), 50) << "an extent in items";
    const double inView = N(L"ViewportHeight");
    EXPECT_GE(inView, 3);
    EXPECT_LE(inView, 6) << "a 100-pixel list shows a handful of items";
    EXPECT_EQ(inView, std::floor(inView)) << "whole items";
    EXPECT_EQ(N(L"ScrollableHeight"), 50 - inView);

    auto generated = [&](int i) { return ContainerAt(list.Get(), i) != nullptr; };
    Call(viewer.Get(), L"ScrollToVerticalOffset", {ov::Variant::Double(10)});
    EXPECT_EQ(N(L"VerticalOffset"), 10);
    EXPECT_TRUE(generated(10)) << "the first item in view";
    EXPECT_FALSE(generated(0)) << "scrolled out of view";
    EXPECT_FALSE(generated(30));
    Call(viewer.Get(), L"ScrollToVerticalOffset", {ov::Variant::Double(1000)});
    EXPECT_EQ(N(L"VerticalOffset"), 50 - inView);
    EXPECT_TRUE(generated(49)) << "the last item in view at the end";
    Call(viewer.Get(), L"ScrollToVerticalOffset", {ov::Variant::Double(-3)});
    EXPECT_EQ(N(L"VerticalOffset"), 0);
    EXPECT_TRUE(generated(0));
}

// Whether a panel scrolls by items or pixels is the ScrollViewer's CanContentScroll alone (the panel is its
// IScrollInfo only then); VirtualizingStackPanel.IsVirtualizing decides only which containers exist.
TEST_F(ScrollViewerTest, ItemOrPixelScrollingFollowsCanContentScrollAloneNotVirtualization) {
    const struct {
        const char* attributes;
        bool byItems, allGenerated;
    } cases[] = {
        {"", true, false},
        {R"(VirtualizingStackPanel.IsVirtualizing="False")", true, true},
        {R"(ScrollViewer.CanContentScroll="False")", false, true},
        {R"(ScrollViewer.CanContentScroll="False" VirtualizingStackPanel.IsVirtualizing="False")", false,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attributes);
        std::string items;
        for (int i = 0; i < 50; ++i)
            items += "<sys:Int32>" + std::to_string(i) + "</sys:Int32>";
        Load(R"(<ListBox x:Name="list" Height="100" Width="150" )" + std::string(c.attributes) + ">" + items +
             "</ListBox>");
        auto list = D(L"list");
        viewer = GetObject(list.Get(), L"get_ScrollHost");
        EXPECT_EQ(GetBool(viewer.Get(), L"CanContentScroll"), c.byItems);
        EXPECT_EQ(N(L"ExtentHeight") == 50, c.byItems) << "the extent counts items or pixels";
        EXPECT_EQ(ContainerAt(list.Get(), 49) != nullptr, c.allGenerated);
        Call(viewer.Get(), L"ScrollToVerticalOffset", {ov::Variant::Double(10)});
        EXPECT_EQ(N(L"VerticalOffset"), 10);
        // Item 10 at the top of the view by items, the item at pixel 10 by pixels.
        auto tenth = ContainerAt(list.Get(), 10);
        ASSERT_TRUE(tenth);
        const double viewTop = CentreOf(viewer.Get()).y - N(L"ActualHeight") / 2;
        EXPECT_EQ(std::abs(CentreOf(tenth.Get()).y - viewTop) < 20, c.byItems);
        // BringIntoView of the last item scrolls it in, in either unit.
        auto last = ContainerAt(list.Get(), 49);
        if (!last) {
            Call(GetObject(list.Get(), L"get_ItemsHost").Get(), L"BringIndexIntoView",
                 {ov::Variant::Int(49)});
            last = ContainerAt(list.Get(), 49);
        } else {
            Call(last.Get(), L"BringIntoView");
        }
        ASSERT_TRUE(last);
        EXPECT_EQ(N(L"VerticalOffset"), N(L"ScrollableHeight"));
        auto* shown = dynamic_cast<wpfsim::Element*>(wpfsim::ObjectOf(last.Get()).Get());
        wpfsim::Element* hit = app->ElementAt(CentreOf(last.Get()));
        EXPECT_TRUE(shown && hit && shown->IsAncestorOf(*hit)) << "a press there reaches it";
        list = nullptr;
        viewer = nullptr;
        app.reset();
    }
}

} // namespace

namespace simtest {
namespace {

int Height(const RECT& r) {
    return r.bottom - r.top;
}
int Width(const RECT& r) {
    return r.right - r.left;
}

// 20 words of 4 letters: 99 characters on one line, 693 pixels at 7 pixels a character.
const char* const kWords = "aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk llll mmmm nnnn oooo pppp "
                           "qqqq rrrr ssss tttt";

TEST_F(XamlTest, WrappedTextBreaksBetweenWordsToTheWidthItIsGivenAndScrollsInAViewer) {
    const struct {
        const char* wrapping;
        int width, lines;
    } cases[] = {
        {"NoWrap", 280, 1},
        {"Wrap", 280, 3},             // 40 characters a line: 8 words (39), 8 words, 4 words
        {"Wrap", 35, 20},             // one word a line
        {"Wrap", 21, 40},             // 3 characters a line: each word is broken inside
        {"WrapWithOverflow", 21, 20}, // a word wider than the line overflows instead
        {"Wrap", 800, 1},
    };
    for (const auto& c : cases) {
        Load("<StackPanel Width=\"" + std::to_string(c.width) + "\" HorizontalAlignment=\"Left\">" +
             "<TextBlock x:Name=\"text\" TextWrapping=\"" + c.wrapping + "\" Text=\"" + kWords +
             "\"/></StackPanel>");
        EXPECT_EQ(Height(E(L"text").Bounds()), 16 * c.lines) << c.wrapping << " in " << c.width;
    }

    // In a viewer that scrolls vertically only, the lines make the extent that the viewer scrolls through.
    Load(std::string(R"(<ScrollViewer x:Name="viewer" Width="287" Height="20" HorizontalAlignment="Left">)") +
         "<TextBlock TextWrapping=\"Wrap\" Text=\"" + kWords + "\"/></ScrollViewer>");
    auto viewer = D(L"viewer");
    EXPECT_EQ(GetNumber(viewer.Get(), L"ExtentHeight"), 48.0);
    EXPECT_EQ(GetNumber(viewer.Get(), L"ScrollableHeight"), 28.0);
    EXPECT_LE(GetNumber(viewer.Get(), L"ExtentWidth"), 287.0);
}

TEST_F(XamlTest, GridChildrenAreMeasuredWithTheRoomOfTheirTracks) {
    // Two star columns share what a fixed column of 70 pixels and an Auto one leave of 350: 108.5 pixels,
    // 15 characters, 3 words a line. The Auto column is measured without limit: one line.
    Load(std::string(R"(
  <Grid x:Name="grid" Width="350" HorizontalAlignment="Left">
    <Grid.ColumnDefinitions>
      <ColumnDefinition Width="*"/><ColumnDefinition Width="*"/><ColumnDefinition Width="70"/>
      <ColumnDefinition Width="Auto"/>
    </Grid.ColumnDefinitions>
    <Grid.RowDefinitions><RowDefinition Height="Auto"/></Grid.RowDefinitions>
    <TextBlock x:Name="star" Grid.Column="0" TextWrapping="Wrap" Text=")") +
         kWords + R"("/>
    <TextBlock x:Name="fixed" Grid.Column="2" TextWrapping="Wrap" Text="aaaa bbbb cccc"/>
    <TextBlock x:Name="auto" Grid.Column="3" TextWrapping="Wrap" Text="aaaa bbbb"/>
  </Grid>)");
    // Their own sizes: the row stretches all three to its height, that of the tallest.
    EXPECT_EQ(E(L"fixed").DesiredSize().height, 32) << "70 pixels: ten characters a line";
    EXPECT_EQ(E(L"star").DesiredSize().height, 16 * 7);
    EXPECT_EQ(E(L"auto").DesiredSize().height, 16);
    EXPECT_EQ(Width(E(L"auto").Bounds()), 63);
    EXPECT_EQ(Height(E(L"grid").Bounds()), 16 * 7);
}

// A child that spans tracks gives what its own tracks lack to a star track of its span (WPF's grid grows the
// flexible tracks of a span): a tree node's child items span its header column and the star column.
TEST_F(XamlTest, ASpanningChildWidensTheStarTrackOfItsSpan) {
    Load(R"(
  <Grid x:Name="grid" HorizontalAlignment="Left">
    <Grid.ColumnDefinitions>
      <ColumnDefinition Width="19"/><ColumnDefinition Width="Auto"/><ColumnDefinition Width="*"/>
    </Grid.ColumnDefinitions>
    <TextBlock x:Name="head" Grid.Column="1" Text="ab"/>
    <TextBlock x:Name="wide" Grid.Column="1" Grid.ColumnSpan="2" Text="abcdefghij"/>
  </Grid>)");
    EXPECT_EQ(Width(E(L"grid").Bounds()), 19 + 70);
    EXPECT_EQ(Width(E(L"wide").Bounds()), 70);
    EXPECT_EQ(Width(E(L"head").Bounds()), 14) << "the Auto column keeps its own content's width";
}

// FrameworkElement.ArrangeCore: an element smaller than its slot is placed by its alignments (Stretch
// fills the slot unless the element has a size of its own).
TEST_F(XamlTest, AlignmentsPlaceAnElementInItsSlot) {
    const struct {
        const char* horizontal;
        const char* vertical;
        RECT expected; // relative to the grid
    } cases[] = {
        {"Left", "Top", {0, 0, 40, 20}},
        {"Center", "Center", {80, 40, 120, 60}},
        {"Right", "Bottom", {160, 80, 200, 100}},
        {"Stretch", "Stretch", {80, 40, 120, 60}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.horizontal) + " " + c.vertical);
        Load(std::string(R"(<Grid x:Name="grid" Width="200" Height="100" HorizontalAlignment="Left"
            VerticalAlignment="Top"><Border x:Name="box" Width="40" Height="20" HorizontalAlignment=")") +
             c.horizontal + R"(" VerticalAlignment=")" + c.vertical + R"("/></Grid>)");
        const RECT& grid = E(L"grid").Bounds();
        const RECT& box = E(L"box").Bounds();
        EXPECT_EQ(box.left - grid.left, c.expected.left);
        EXPECT_EQ(box.top - grid.top, c.expected.top);
        EXPECT_EQ(box.right - grid.left, c.expected.right);
        EXPECT_EQ(box.bottom - grid.top, c.expected.bottom);
    }
    // Without a size of its own, a Left element is as wide as its content, a Stretch one fills the slot.
    Load(R"(<StackPanel x:Name="panel" Width="200" HorizontalAlignment="Left">
        <Button x:Name="left" Content="OK" HorizontalAlignment="Left"/><Button x:Name="full" Content="OK"/>
      </StackPanel>)");
    EXPECT_EQ(Width(E(L"full").Bounds()), 200);
    EXPECT_LT(Width(E(L"left").Bounds()), 200);
    EXPECT_EQ(E(L"left").Bounds().left, E(L"panel").Bounds().left);
    // Through IDispatch by name: a new value places the element again; WPF refuses one outside the
    // enumeration.
    ASSERT_EQ(Put(D(L"left").Get(), L"HorizontalAlignment", ov::Variant::Int(2)).hr, S_OK);
    EXPECT_EQ(E(L"left").Bounds().right, E(L"panel").Bounds().right);
    for (const wchar_t* name : {L"HorizontalAlignment", L"VerticalAlignment"})
        EXPECT_EQ(Put(D(L"left").Get(), name, ov::Variant::Int(4)).hr, DISP_E_EXCEPTION);
}

// `depth` scroll viewers, one inside the other, around a text.
std::string NestedViewers(int depth) {
    std::string xaml;
    for (int i = 0; i < depth; ++i)
        xaml += "<ScrollViewer HorizontalScrollBarVisibility=\"Auto\">";
    xaml += R"(<TextBlock x:Name="text" Text="deep"/>)";
    for (int i = 0; i < depth; ++i)
        xaml += "</ScrollViewer>";
    return xaml;
}

TEST_F(XamlTest, NestedScrollViewersAreLaidOutOnceALevel) {
    // WPF measures an element again only when the constraint changed or the element asked for a new
    // measure (UIElement.Measure returns at once while IsMeasureValid and the available size is the previous
    // one), and a ScrollContentPresenter arranges its content once: layout grows with the depth, linearly.
    const int depths[] = {4, 8, 12};
    size_t measures[3], arranges[3], elements[3];
    for (int k = 0; k < 3; ++k) {
        Load(NestedViewers(depths[k]));
        measures[k] = app->MeasuresRun();
        arranges[k] = app->ArrangesRun();
        elements[k] = app->ElementCount();
    }
    const size_t perLevel = (measures[1] - measures[0]) / 4;
    EXPECT_EQ(measures[2] - measures[1], measures[1] - measures[0]) << "every level costs the same";
    EXPECT_EQ(arranges[2] - arranges[1], arranges[1] - arranges[0]);
    EXPECT_LE(perLevel, (elements[1] - elements[0]) / 4) << "a viewer and its template parts, once each";

    // A change deep inside measures the path up to the window again, and its result reaches the top.
    const size_t before = app->MeasuresRun();
    auto outer = D(L"mainWindow");
    Put(D(L"text").Get(), L"Text", ov::Variant::String(L"deep down, and a lot wider than before"));
    const double width = GetNumber(outer.Get(), L"ActualWidth");
    EXPECT_LE(app->MeasuresRun() - before, perLevel * 12 + 8);
    EXPECT_GT(width, GetNumber(D(L"text").Get(), L"ActualWidth") - 1);
    EXPECT_GT(GetNumber(D(L"text").Get(), L"ActualWidth"), 7.0 * 30);
}

TEST_F(XamlTest, AChangeMeasuresItsElementAndTheElementsAboveItNotTheirSiblings) {
    // UIElement.InvalidateMeasure puts the element in the layout's queue; the ancestors measure again and
    // call Measure on every child, but a sibling whose constraint is the same returns at once
    // (IsMeasureValid). A new text in one of 50 rows costs the path up, not the rows.
    std::string rows;
    for (int i = 0; i < 50; ++i)
        rows += R"(<Button Content="row )" + std::to_string(i) + R"("/>)";
    Load(R"(<StackPanel><TextBlock x:Name="text" Text="short"/>)" + rows + "</StackPanel>");
    const size_t all = app->MeasuresRun();
    EXPECT_GT(all, 100u) << "rows and their template parts";
    const size_t before = app->MeasuresRun();
    Put(D(L"text").Get(), L"Text", ov::Variant::String(L"a longer text than before"));
    EXPECT_GT(GetNumber(D(L"text").Get(), L"ActualWidth"), 7.0 * 20);
    EXPECT_LE(app->MeasuresRun() - before, 6u) << "the text, the panel and the window's parts";
}

TEST_F(XamlTest, AFileOf253LevelsOfScrollViewersLoadsAndLaysOut) {
    // The reader takes 256 levels: the Window, 251 scroll viewers and the text are 253.
    Load(NestedViewers(251));
    EXPECT_LE(app->MeasuresRun(), app->ElementCount()) << "every element measured once";
    EXPECT_GT(GetNumber(D(L"text").Get(), L"ActualWidth"), 0);
}

} // namespace
} // namespace simtest
