// List boxes where a row cannot reach them (selection.table has the rest): the middle button, items removed
// from code, the grid view's layout, and which objects have the visual members.
#include "XamlApp.h"

#include "wpfsim/ListBox.h"

namespace simtest {
namespace {

using wpfsim::MouseButton;
namespace shift = wpfsim::shift;

std::string FiveItems(const std::string& mode) {
    return R"(<ListBox x:Name="list" Height="200" SelectionMode=")" + mode + R"(">
      <sys:String>A</sys:String><sys:String>B</sys:String><sys:String>C</sys:String>
      <sys:String>D</sys:String><sys:String>E</sys:String>
    </ListBox>)";
}

class ListsTest : public XamlTest {
protected:
    void LoadList(const std::string& body) {
        Load(body);
        list = D(L"list");
    }
    void TearDown() override {
        list = nullptr;
        XamlTest::TearDown();
    }
    ov::ComPtr<IDispatch> Container(int i) { return ContainerAt(list.Get(), i); }
    void Press(int item, MouseButton button = MouseButton::Left, ULONG keys = 0) {
        auto container = Container(item);
        ASSERT_TRUE(container) << "item " << item << " is on screen";
        app->Click(CentreOf(container.Get()), {button, false, keys});
    }
    // The texts of "SelectedItems", in the collection's order.
    std::vector<std::wstring> Selected() {
        auto items = GetObject(list.Get(), L"SelectedItems");
        std::vector<std::wstring> texts;
        const double count = GetNumber(items.Get(), L"Count");
        for (int i = 0; i < count; ++i)
            texts.push_back(Text(Call(items.Get(), L"get_Item", {ov::Variant::Int(i)}).value));
        return texts;
    }
    long SelectedIndex() { return static_cast<long>(GetNumber(list.Get(), L"SelectedIndex")); }

    ov::ComPtr<IDispatch> list;
};

using Texts = std::vector<std::wstring>;

// The middle button takes no part in the selection (ListBoxItem handles the left and right buttons only).
TEST_F(ListsTest, TheMiddleButtonSelectsNothing) {
    LoadList(FiveItems("Extended"));
    Press(1);
    Press(3, MouseButton::Middle);
    EXPECT_EQ(Selected(), Texts{L"B"});
}

// Selector.OnItemsChanged: a removed item leaves the selection and the others keep their place in it; the
// anchor moves with its item, and an anchor whose item goes is none (a Shift+click then ranges from the last
// item selected). ItemsControl.FocusedItem moves with its item and goes with it.
TEST_F(ListsTest, RemovingAnItemTakesItOutOfTheSelectionTheAnchorAndTheFocus) {
    LoadList(FiveItems("Extended"));
    Press(3);
    Press(1, MouseButton::Left, shift::Ctrl);
    Press(4, MouseButton::Left, shift::Ctrl);
    auto& control = dynamic_cast<wpfsim::ListBox&>(E(L"list"));
    control.RemoveItemAt(1);
    EXPECT_EQ(Selected(), (Texts{L"D", L"E"}));
    EXPECT_EQ(SelectedIndex(), 2);
    EXPECT_EQ(Text(Get(list.Get(), L"FocusedItem").value), L"E") << "an item before it went";
    control.RemoveItemAt(2);
    EXPECT_EQ(Selected(), Texts{L"E"});
    EXPECT_EQ(SelectedIndex(), 2);
    Press(0, MouseButton::Left, shift::Shift);
    EXPECT_EQ(Selected(), (Texts{L"E", L"A", L"C"}));
    Press(1, MouseButton::Left, shift::Ctrl);
    control.RemoveItemAt(1);
    EXPECT_EQ(Get(list.Get(), L"FocusedItem").value.vt, VT_EMPTY) << "its item went";
    Press(1, MouseButton::Left, shift::Shift);
    EXPECT_EQ(Selected(), (Texts{L"E", L"A"}));
}

TEST_F(ListsTest, AGridViewPutsItsColumnHeadersAboveTheRowsAndEachRowShowsItsContentInACellPerColumn) {
    LoadList(R"(
    <ListView x:Name="list" Height="150" SelectionMode="Multiple">
      <ListView.View>
        <GridView>
          <GridViewColumn Header="Name" Width="90"/>
          <GridViewColumn Width="60">Size</GridViewColumn>
        </GridView>
      </ListView.View>
      <ListViewItem x:Name="one" Content="One"/>
      <sys:String>Two</sys:String>
    </ListView>)");
    auto headers = FindOfClass(list.Get(), L"System.Windows.Controls.GridViewHeaderRowPresenter");
    ASSERT_TRUE(headers);
    auto cells = VisualChildren(headers.Get());
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(ClassOf(cells[0].Get()), L"System.Windows.Controls.GridViewColumnHeader");
    EXPECT_EQ(GetText(cells[0].Get(), L"Content"), L"Name");
    EXPECT_EQ(GetNumber(cells[1].Get(), L"ActualWidth"), 60);
    EXPECT_LT(CentreOf(headers.Get()).y, Centre(L"one").y) << "the headers stand above the rows";

    for (int i = 0; i < 2; ++i) {
        auto row = FindOfClass(Container(i).Get(), L"System.Windows.Controls.GridViewRowPresenter");
        ASSERT_TRUE(row) << "row " << i;
        auto rowCells = VisualChildren(row.Get());
        ASSERT_EQ(rowCells.size(), 2u);
        EXPECT_EQ(GetNumber(rowCells[0].Get(), L"ActualWidth"), 90);
        for (auto& cell : rowCells)
            EXPECT_EQ(GetText(FindOfClass(cell.Get(), L"System.Windows.Controls.TextBlock").Get(), L"Text"),
                      i == 0 ? L"One" : L"Two");
    }
}

// WPF's XAML reader numbers the UIElements it makes ("PersistId", UIElement's); a GridView and its columns
// are DependencyObjects and a FlowDocument and its paragraphs FrameworkContentElements: they take no number
// and have no visual members.
TEST_F(ListsTest, OnlyUIElementsTakeAPersistIdAndHaveTheVisualMembers) {
    Load(R"(<StackPanel x:Name="panel">
      <ListView x:Name="view"><ListView.View><GridView x:Name="grid"><GridViewColumn x:Name="column" Header="N"/></GridView></ListView.View></ListView>
      <FlowDocumentScrollViewer x:Name="reader"><FlowDocument x:Name="doc"><Paragraph x:Name="para">P</Paragraph></FlowDocument></FlowDocumentScrollViewer>
      <Button x:Name="after" Content="After"/>
    </StackPanel>)");
    EXPECT_EQ((std::vector<double>{
                  GetNumber(D(L"panel").Get(), L"PersistId"), GetNumber(D(L"view").Get(), L"PersistId"),
                  GetNumber(D(L"reader").Get(), L"PersistId"), GetNumber(D(L"after").Get(), L"PersistId")}),
              (std::vector<double>{2, 3, 4, 5}));
    const struct {
        const wchar_t* name;
        std::vector<const wchar_t*> has, lacks;
    } cases[] = {
        {L"grid",
         {L"Columns"},
         {L"PersistId", L"get_VisualParent", L"Parent", L"Name", L"IsEnabled", L"Focus"}},
        {L"column",
         {L"Header", L"Width"},
         {L"PersistId", L"GetVisualChild", L"TemplatedParent", L"IsMouseOver"}},
        {L"doc",
         {L"Parent", L"Name", L"IsEnabled", L"Focus", L"BringIntoView"},
         {L"PersistId", L"get_VisualParent", L"IsVisible", L"ActualWidth"}},
        {L"para",
         {L"Parent", L"TemplatedParent", L"ContextMenu"},
         {L"PersistId", L"Visibility", L"get_VisualChildrenCount"}},
        {L"after", {L"PersistId", L"get_VisualParent", L"IsVisible", L"Parent"}, {L"get_LogicalParent"}},
    };
    auto Show = [](const wchar_t* s) { return testing::PrintToString(std::wstring(s)); };
    for (const auto& c : cases) {
        auto d = D(c.name);
        DISPID id = DISPID_UNKNOWN;
        for (const wchar_t* member : c.has)
            EXPECT_EQ(Lookup(d.Get(), member, &id), S_OK) << Show(c.name) << " has " << Show(member);
        for (const wchar_t* member : c.lacks)
            EXPECT_EQ(Lookup(d.Get(), member, &id), DISP_E_UNKNOWNNAME)
                << Show(c.name) << " lacks " << Show(member);
    }
}

} // namespace
} // namespace simtest
