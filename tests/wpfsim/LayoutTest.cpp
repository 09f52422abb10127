// Layout in screen rectangles and layout counters, where a row cannot see it (layout.table has the scroll
// viewers' values): a drop-down placed below its box, scrolled rectangles, text wrapping, grids, alignments,
// and how often nested elements are measured.
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

    double previousBottom = rootRect.top;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        auto item = ContainerAt(combo.Get(), i);
        ASSERT_TRUE(item);
        auto* element = dynamic_cast<wpfsim::Element*>(wpfsim::ObjectOf(item.Get()).Get());
        ASSERT_TRUE(element);
        EXPECT_TRUE(Inside(element->Bounds(), rootRect));
        EXPECT_GE(element->Bounds().top, previousBottom) << "items stack downwards";
        previousBottom = element->Bounds().bottom;
    }
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

// Content that shrinks to fit hides the Auto bar (layout.table has the bars' parts, buttons and values).
TEST_F(ScrollViewerTest, ContentThatComesToFitHidesTheAutoBar) {
    Load(R"(<ScrollViewer x:Name="viewer" Height="100" Width="120" VerticalScrollBarVisibility="Auto">
      <Border x:Name="content" Height="300" Width="100"/></ScrollViewer>)");
    viewer = D(L"viewer");
    auto vertical = FindPart(viewer.Get(), L"PART_VerticalScrollBar");
    ASSERT_TRUE(vertical);
    EXPECT_TRUE(GetBool(vertical.Get(), L"IsVisible"));
    E(L"content").Layout().height = 50;
    E(L"content").InvalidateLayout();
    app->UpdateLayout();
    EXPECT_FALSE(GetBool(vertical.Get(), L"IsVisible"));
    EXPECT_EQ(N(L"ViewportWidth"), 120);
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
    // Through IDispatch by name: a new value places the element again.
    ASSERT_EQ(Put(D(L"left").Get(), L"HorizontalAlignment", ov::Variant::Int(2)).hr, S_OK);
    EXPECT_EQ(E(L"left").Bounds().right, E(L"panel").Bounds().right);
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
