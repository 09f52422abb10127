// List boxes and list views as a user and a script select in them: WPF's click rules of each selection
// mode, the order in which WPF keeps the selection, the members that select from code and what WPF refuses.
#include "XamlApp.h"

#include "host/app/Xaml.h"
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
    ov::Variant ItemAt(int i) {
        return Call(GetObject(list.Get(), L"Items").Get(), L"get_Item", {ov::Variant::Int(i)}).value;
    }
    void Press(int item, MouseButton button = MouseButton::Left, ULONG keys = 0, bool dbl = false) {
        auto container = Container(item);
        ASSERT_TRUE(container) << "item " << item << " is on screen";
        app->Click(CentreOf(container.Get()), {button, dbl, keys});
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
    bool ItemSelected(int i) {
        Result r = Call(list.Get(), L"ItemGetIsSelected", {ItemAt(i)});
        EXPECT_EQ(r.value.vt, VT_BOOL);
        return r.value.vt == VT_BOOL && r.value.boolVal != VARIANT_FALSE;
    }
    long SelectedIndex() { return static_cast<long>(GetNumber(list.Get(), L"SelectedIndex")); }

    ov::ComPtr<IDispatch> list;
};

using Texts = std::vector<std::wstring>;

struct Gesture {
    int item;
    MouseButton button = MouseButton::Left;
    ULONG keys = 0;
    bool dbl = false;
};

TEST_F(ListsTest, ClicksSelectAsWpfsRulesOfEachSelectionModeSay) {
    const auto right = MouseButton::Right;
    const struct {
        const char* mode;
        std::vector<Gesture> clicks;
        Texts selected; // in selection order
        const char* why;
    } cases[] = {
        {"Single", {{1}, {3}}, {L"D"}, "a click selects that item alone"},
        {"Single", {{2}, {2, MouseButton::Left, shift::Ctrl}}, {}, "Ctrl+click unselects the selected item"},
        {"Single", {{2}, {4, MouseButton::Left, shift::Ctrl}}, {L"E"}, "Ctrl+click on another selects it"},
        {"Single", {{1}, {3, MouseButton::Left, shift::Shift}}, {L"D"}, "no ranges"},
        {"Single", {{1}, {3, right}}, {L"D"}, "a right click selects"},
        {"Multiple", {{3}, {0}}, {L"D", L"A"}, "a click toggles, the selection keeps its order"},
        {"Multiple", {{3}, {0}, {3}}, {L"A"}, "a second click unselects"},
        {"Multiple", {{1, right}}, {L"B"}, "the right button toggles too"},
        {"Multiple", {{1}, {3, MouseButton::Left, shift::Shift}}, {L"B", L"D"}, "Shift changes nothing"},
        {"Multiple", {{1, MouseButton::Left, 0, true}}, {}, "each press of a double click toggles"},
        {"Extended",
         {{3}, {0, MouseButton::Left, shift::Ctrl}, {2, MouseButton::Left, shift::Ctrl}},
         {L"D", L"A", L"C"},
         "Ctrl+click adds"},
        {"Extended",
         {{3}, {0, MouseButton::Left, shift::Ctrl}, {3, MouseButton::Left, shift::Ctrl}},
         {L"A"},
         "Ctrl+click on a selected item unselects it"},
        {"Extended",
         {{3}, {1, MouseButton::Left, shift::Shift}},
         {L"D", L"B", L"C"},
         "a range upwards: the anchor's item stays first, the rest join in index order"},
        {"Extended",
         {{1}, {4, MouseButton::Left, shift::Ctrl}, {2, MouseButton::Left, shift::Shift}},
         {L"E", L"C", L"D"},
         "Ctrl+click moves the anchor; Shift+click drops what lies outside the range"},
        {"Extended",
         {{0}, {4, MouseButton::Left, shift::Ctrl}, {2, MouseButton::Left, shift::Ctrl | shift::Shift}},
         {L"A", L"E", L"C", L"D"},
         "Ctrl+Shift+click adds the range"},
        {"Extended",
         {{1}, {3, MouseButton::Left, shift::Ctrl}, {3, right}},
         {L"B", L"D"},
         "a right click inside the selection keeps it"},
        {"Extended",
         {{1}, {3, MouseButton::Left, shift::Ctrl}, {0, right}},
         {L"A"},
         "a right click outside selects that item alone"},
        {"Extended", {{1}, {3, MouseButton::Left, 0, true}}, {L"D"}, "a double click selects alone"},
        {"Extended", {{1}, {3, MouseButton::Middle}}, {L"B"}, "the middle button selects nothing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + ": " + c.why);
        LoadList(FiveItems(c.mode));
        for (const Gesture& click : c.clicks)
            Press(click.item, click.button, click.keys, click.dbl);
        EXPECT_EQ(Selected(), c.selected);
        const std::wstring letters = L"ABCDE";
        EXPECT_EQ(SelectedIndex(), c.selected.empty() ? -1 : static_cast<long>(letters.find(c.selected[0])))
            << "SelectedIndex is the first item of the selection";
        for (int i = 0; i < 5; ++i) {
            const bool expected = std::find(c.selected.begin(), c.selected.end(),
                                            std::wstring(1, letters[i])) != c.selected.end();
            EXPECT_EQ(ItemSelected(i), expected) << "ItemGetIsSelected of item " << i;
            EXPECT_EQ(GetBool(Container(i).Get(), L"IsSelected"), expected)
                << "IsSelected of container " << i;
        }
        list = nullptr;
        app.reset();
    }
}

TEST_F(ListsTest, TheClickedItemTakesKeyboardFocusAndBecomesTheFocusedItemAlsoWhenItIsUnselected) {
    LoadList(FiveItems("Extended"));
    EXPECT_EQ(Get(list.Get(), L"FocusedItem").value.vt, VT_EMPTY) << "nothing clicked yet";
    Press(1);
    Press(3, MouseButton::Left, shift::Ctrl);
    Press(3, MouseButton::Left, shift::Ctrl);
    EXPECT_EQ(Selected(), Texts{L"B"});
    EXPECT_EQ(Text(Get(list.Get(), L"FocusedItem").value), L"D");
    // The collection holds one object per data item: every reading of it is the same reference.
    auto focused = AsObject(Get(list.Get(), L"FocusedItem").value);
    EXPECT_TRUE(Same(focused.Get(), AsObject(ItemAt(3)).Get(), list.Get()));
    EXPECT_FALSE(Same(focused.Get(), AsObject(ItemAt(1)).Get(), list.Get()));
    auto selected = GetObject(list.Get(), L"SelectedItems");
    EXPECT_TRUE(Same(AsObject(Call(selected.Get(), L"get_Item", {ov::Variant::Int(0)}).value).Get(),
                     AsObject(ItemAt(1)).Get(), list.Get()));
    EXPECT_TRUE(Same(GetObject(Container(3).Get(), L"Content").Get(), focused.Get(), list.Get()));
    EXPECT_TRUE(GetBool(Container(3).Get(), L"IsKeyboardFocused"));
    EXPECT_FALSE(GetBool(Container(1).Get(), L"IsKeyboardFocused"));

    Result taken = Call(Container(0).Get(), L"Focus");
    EXPECT_EQ(taken.value.vt, VT_BOOL);
    EXPECT_NE(taken.value.boolVal, VARIANT_FALSE);
    EXPECT_EQ(Text(Get(list.Get(), L"FocusedItem").value), L"A") << "focused by code";
    EXPECT_EQ(Selected(), Texts{L"B"}) << "focus alone selects nothing";
    EXPECT_TRUE(GetBool(Container(0).Get(), L"IsKeyboardFocused"));
}

TEST_F(ListsTest,
       SelectAllIsRefusedInSingleModeAndAddsTheRestInItemOrderOtherwiseUnselectAllWorksInEveryMode) {
    for (const char* mode : {"Single", "Multiple", "Extended"}) {
        SCOPED_TRACE(mode);
        LoadList(FiveItems(mode));
        Press(3);
        Result all = Call(list.Get(), L"SelectAll");
        if (std::string(mode) == "Single") {
            // ListBox.SelectAll throws NotSupportedException.
            EXPECT_EQ(all.hr, DISP_E_EXCEPTION);
            EXPECT_EQ(all.description,
                      L"Can only call SelectAll when SelectionMode is Multiple or Extended.");
            EXPECT_EQ(all.scode, static_cast<SCODE>(0x80131515)) << "NotSupportedException";
            EXPECT_EQ(Selected(), Texts{L"D"}) << "a refused SelectAll changes nothing";
        } else {
            EXPECT_EQ(all.hr, S_OK);
            EXPECT_EQ(Selected(), (Texts{L"D", L"A", L"B", L"C", L"E"}));
            EXPECT_EQ(SelectedIndex(), 3);
        }
        EXPECT_EQ(Call(list.Get(), L"UnselectAll").hr, S_OK);
        EXPECT_EQ(Selected(), Texts{});
        EXPECT_EQ(SelectedIndex(), -1);
        EXPECT_FALSE(ItemSelected(3));
        list = nullptr;
        app.reset();
    }
}

TEST_F(ListsTest, SelectedIndexAndSelectedItemSelectOneItemAloneWithTheSelectorsValidation) {
    LoadList(FiveItems("Multiple"));
    Press(0);
    Press(2);
    const struct {
        long set;
        HRESULT hr;
        Texts after;
    } cases[] = {{3, S_OK, {L"D"}},
                 {5, S_OK, {L"D"}},
                 {-2, DISP_E_EXCEPTION, {L"D"}},
                 {-1, S_OK, {}},
                 {1, S_OK, {L"B"}}};
    for (const auto& c : cases) {
        Result r = Put(list.Get(), L"SelectedIndex", ov::Variant::Int(c.set));
        EXPECT_EQ(r.hr, c.hr) << c.set;
        EXPECT_EQ(Selected(), c.after) << "after setting " << c.set;
    }
    EXPECT_EQ(Text(Get(list.Get(), L"SelectedItem").value), L"B");
    ASSERT_EQ(Put(list.Get(), L"SelectedItem", ItemAt(4)).hr, S_OK);
    EXPECT_EQ(Selected(), Texts{L"E"});
    Put(list.Get(), L"SelectedItem", ov::Variant::String(L"Z"));
    EXPECT_EQ(Selected(), Texts{L"E"}) << "a value that is no item leaves the selection alone";
    Put(list.Get(), L"SelectedItem", ov::Variant::Dispatch(nullptr));
    EXPECT_EQ(Selected(), Texts{});
    Result none = Get(list.Get(), L"SelectedItem");
    EXPECT_TRUE(none.value.vt == VT_DISPATCH && !none.value.pdispVal);
}

TEST_F(ListsTest, SelectionModeReadsAsItsNameAndLeavingTheMultipleModesKeepsTheFirstSelectedItem) {
    LoadList(FiveItems("Multiple"));
    auto mode = GetObject(list.Get(), L"SelectionMode");
    ASSERT_TRUE(mode);
    EXPECT_EQ(ClassOf(mode.Get()), L"System.Windows.Controls.SelectionMode");
    EXPECT_EQ(GetText(mode.Get(), L"OleValue"), L"Multiple");
    Press(4);
    Press(1);
    ASSERT_EQ(Put(list.Get(), L"SelectionMode", ov::Variant::String(L"Single")).hr, S_OK);
    EXPECT_EQ(Selected(), Texts{L"E"});
    EXPECT_EQ(GetText(GetObject(list.Get(), L"SelectionMode").Get(), L"OleValue"), L"Single");
    ASSERT_EQ(Put(list.Get(), L"SelectionMode", ov::Variant::Int(2)).hr, S_OK);
    EXPECT_EQ(GetText(GetObject(list.Get(), L"SelectionMode").Get(), L"OleValue"), L"Extended");
    for (ov::Variant bad : {ov::Variant::Int(3), ov::Variant::String(L"Many")}) {
        Result r = Put(list.Get(), L"SelectionMode", bad);
        EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
    }
    EXPECT_EQ(GetText(GetObject(list.Get(), L"SelectionMode").Get(), L"OleValue"), L"Extended");
}

std::string FortyItems(const std::string& mode, const std::string& declared = "") {
    std::string body = R"(<ListBox x:Name="list" Height="80" SelectionMode=")" + mode + R"(">)" + declared;
    for (int i = 0; i < 40; ++i)
        body += "<sys:String>Item " + std::to_string(i) + "</sys:String>";
    return body + "</ListBox>";
}

// Selector keeps the selection per item; 4.0's private ItemGetIsSelected reads what the item's container
// shows, so a selected data item scrolled out of view reads as not selected while a container element
// (its own container) still reads as selected.
TEST_F(ListsTest, TheSelectionOutlivesTheVirtualizedContainerButItemGetIsSelectedAsksTheContainer) {
    LoadList(FortyItems("Extended", R"(<ListBoxItem x:Name="own" Content="Own"/>)"));
    Press(0, MouseButton::Left);
    Press(1, MouseButton::Left, shift::Ctrl);
    auto panel = GetObject(list.Get(), L"get_ItemsHost");
    ASSERT_EQ(Call(panel.Get(), L"BringIndexIntoView", {ov::Variant::Int(35)}).hr, S_OK);
    EXPECT_FALSE(Container(1)) << "the item scrolled out of view has no container";
    EXPECT_FALSE(Container(0));
    EXPECT_FALSE(ItemSelected(1)) << "no container: 4.0 answers false";
    EXPECT_TRUE(ItemSelected(0)) << "an element item is its own container";
    auto selectedItems = GetObject(list.Get(), L"SelectedItems");
    EXPECT_EQ(GetNumber(selectedItems.Get(), L"Count"), 2) << "the selection itself keeps both";
    EXPECT_TRUE(Same(AsObject(Call(selectedItems.Get(), L"get_Item", {ov::Variant::Int(0)}).value).Get(),
                     D(L"own").Get(), list.Get()));
    Press(35, MouseButton::Left, shift::Ctrl);
    EXPECT_TRUE(ItemSelected(35));
    EXPECT_EQ(Selected(), (Texts{L"<not a string>", L"Item 0", L"Item 34"}))
        << "the element, then two strings";
    Call(panel.Get(), L"BringIndexIntoView", {ov::Variant::Int(1)});
    auto again = Container(1);
    ASSERT_TRUE(again);
    EXPECT_TRUE(GetBool(again.Get(), L"IsSelected")) << "a new container shows the item's selection";
    EXPECT_TRUE(ItemSelected(1));
    EXPECT_FALSE(GetBool(Container(2).Get(), L"IsSelected"));
    EXPECT_FALSE(ItemSelected(2));
    EXPECT_FALSE(Call(list.Get(), L"ItemGetIsSelected", {ov::Variant::Dispatch(nullptr)}).value.boolVal);
}

// 4.0's internal ItemsControl.FocusedItem: the item of the container that took the keyboard focus, kept
// when the container is virtualized away (WPF gives the focus to the list meanwhile), moved along when an
// item before it is removed and dropped when the item itself is; focus on an element inside the list that
// is outside the focused item's container drops it too (ItemsControl's GotKeyboardFocus handler).
TEST_F(ListsTest, TheFocusedItemOutlivesItsContainerAndGoesWithItsItem) {
    LoadList(
        FortyItems("Single", R"(<ListBoxItem x:Name="row"><TextBox x:Name="edit" Text="x"/></ListBoxItem>)"));
    Press(3);
    EXPECT_EQ(Text(Get(list.Get(), L"FocusedItem").value), L"Item 2");
    auto panel = GetObject(list.Get(), L"get_ItemsHost");
    Call(panel.Get(), L"BringIndexIntoView", {ov::Variant::Int(39)});
    ASSERT_FALSE(Container(3));
    EXPECT_EQ(Text(Get(list.Get(), L"FocusedItem").value), L"Item 2") << "it outlives its container";
    ASSERT_EQ(Call(list.Get(), L"Focus").hr, S_OK);
    EXPECT_EQ(Text(Get(list.Get(), L"FocusedItem").value), L"Item 2") << "the list itself taking the focus";
    auto& control = dynamic_cast<wpfsim::ListBox&>(E(L"list"));
    control.RemoveItemAt(1);
    EXPECT_EQ(Text(Get(list.Get(), L"FocusedItem").value), L"Item 2") << "an item before it went";
    control.RemoveItemAt(2);
    EXPECT_EQ(Get(list.Get(), L"FocusedItem").value.vt, VT_EMPTY) << "its item went";

    Call(panel.Get(), L"BringIndexIntoView", {ov::Variant::Int(0)});
    ASSERT_EQ(Call(Container(1).Get(), L"Focus").hr, S_OK);
    EXPECT_EQ(Text(Get(list.Get(), L"FocusedItem").value), L"Item 1");
    // A text box inside another item's container takes the focus: neither item is the focused one.
    ASSERT_NE(Call(D(L"edit").Get(), L"Focus").value.boolVal, VARIANT_FALSE);
    EXPECT_EQ(Get(list.Get(), L"FocusedItem").value.vt, VT_EMPTY);
    ASSERT_EQ(Call(D(L"row").Get(), L"Focus").hr, S_OK);
    EXPECT_TRUE(Same(AsObject(Get(list.Get(), L"FocusedItem").value).Get(), D(L"row").Get(), list.Get()));
    ASSERT_NE(Call(D(L"edit").Get(), L"Focus").value.boolVal, VARIANT_FALSE);
    EXPECT_TRUE(Same(AsObject(Get(list.Get(), L"FocusedItem").value).Get(), D(L"row").Get(), list.Get()))
        << "inside the focused item's container";
}

// From 4.5 on Selector's ItemGetIsSelected and ItemsControl's FocusedItem are gone (replaced by
// InfoGetIsSelected and FocusedInfo over ItemInfo): late-bound callers meet unknown names.
TEST_F(ListsTest, TheLaterFrameworkHasNeitherItemGetIsSelectedNorFocusedItem) {
    for (const char* version : {"4.0", "4.8"}) {
        SCOPED_TRACE(version);
        Load(
            "<StackPanel>" + FiveItems("Extended") +
                R"(<ComboBox x:Name="combo"><sys:String>A</sys:String></ComboBox></StackPanel>)",
            std::string(
                R"(xmlns:sim="urn:ovwpf-sim" xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" mc:Ignorable="sim" sim:Framework=")") +
                version + "\"");
        const HRESULT expected = std::string(version) == "4.0" ? S_OK : DISP_E_UNKNOWNNAME;
        DISPID id = DISPID_UNKNOWN;
        for (const wchar_t* control : {L"list", L"combo"}) {
            EXPECT_EQ(Lookup(D(control).Get(), L"ItemGetIsSelected", &id), expected);
            EXPECT_EQ(Lookup(D(control).Get(), L"FocusedItem", &id), expected);
        }
        EXPECT_EQ(Lookup(D(L"list").Get(), L"SelectedItems", &id), S_OK);
        app.reset();
    }
    EXPECT_THROW(
        ovhost::ParseXaml(WindowXaml(
            "",
            R"(xmlns:sim="urn:ovwpf-sim" xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" mc:Ignorable="sim" sim:Framework="4.5")")),
        ovhost::XamlError);
}

// ListBox.MakeAnchorSelection: without an anchor (the selection came from code) a Shift+click ranges from
// the last item selected, or from the first item when nothing is.
TEST_F(ListsTest, AShiftClickAfterASelectionFromCodeRangesFromTheLastSelectedItem) {
    const struct {
        std::vector<int> fromCode; // selected through "IsSelected" of the containers, in this order
        int shiftClicked;
        Texts selected;
    } cases[] = {
        {{1}, 3, {L"B", L"C", L"D"}},
        {{3, 0}, 2, {L"A", L"B", L"C"}},
        {{}, 2, {L"A", L"B", L"C"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.fromCode));
        LoadList(FiveItems("Extended"));
        for (int i : c.fromCode)
            ASSERT_EQ(Put(Container(i).Get(), L"IsSelected", ov::Variant::Bool(true)).hr, S_OK);
        Press(c.shiftClicked, MouseButton::Left, shift::Shift);
        Texts sorted = Selected();
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, c.selected);
        list = nullptr;
        app.reset();
    }
    // A click sets the anchor; a selection from code afterwards leaves it there.
    LoadList(FiveItems("Extended"));
    Press(4);
    ASSERT_EQ(Put(list.Get(), L"SelectedIndex", ov::Variant::Int(0)).hr, S_OK);
    Press(2, MouseButton::Left, shift::Shift);
    EXPECT_EQ(Selected(), (Texts{L"C", L"D", L"E"}));
}

// ListBox's private ElementAt(i) is the generator's container of item i, null where there is none; other
// item controls have no such member.
TEST_F(ListsTest, ElementAtIsTheListBoxsOwnAndGivesNullWithoutAContainer) {
    LoadList("<StackPanel>" + FortyItems("Single") +
             R"(<ComboBox x:Name="combo"><sys:String>A</sys:String></ComboBox></StackPanel>)");
    auto at = [&](int i) { return Call(list.Get(), L"ElementAt", {ov::Variant::Int(i)}); };
    EXPECT_TRUE(Same(AsObject(at(1).value).Get(), Container(1).Get(), list.Get()));
    for (int i : {-1, 39, 40}) {
        Result r = at(i);
        EXPECT_EQ(r.hr, S_OK) << i;
        EXPECT_TRUE(r.value.vt == VT_DISPATCH && !r.value.pdispVal) << i;
    }
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(Lookup(D(L"combo").Get(), L"ElementAt", &id), DISP_E_UNKNOWNNAME);
}

TEST_F(ListsTest, RemovingAnItemTakesItOutOfTheSelectionAndTheOthersKeepTheirPlaceInIt) {
    LoadList(FiveItems("Extended"));
    Press(3);
    Press(1, MouseButton::Left, shift::Ctrl);
    Press(4, MouseButton::Left, shift::Ctrl);
    auto& control = dynamic_cast<wpfsim::ListBox&>(E(L"list"));
    control.RemoveItemAt(1);
    EXPECT_EQ(Selected(), (Texts{L"D", L"E"}));
    EXPECT_EQ(SelectedIndex(), 2);
    control.RemoveItemAt(2);
    EXPECT_EQ(Selected(), Texts{L"E"});
    EXPECT_EQ(SelectedIndex(), 2);
    // The anchor moves with its item: a Shift+click selects the range from it.
    Press(0, MouseButton::Left, shift::Shift);
    EXPECT_EQ(Selected(), (Texts{L"E", L"A", L"C"}));
    // An anchor whose item goes is no anchor: a Shift+click then ranges from the last item selected.
    Press(1, MouseButton::Left, shift::Ctrl);
    control.RemoveItemAt(1);
    Press(1, MouseButton::Left, shift::Shift);
    EXPECT_EQ(Selected(), (Texts{L"E", L"A"}));
}

TEST_F(ListsTest, AListViewSelectsItsListViewItemsAsAListBoxDoesAndTakesIsSelectedFromMarkupAndCode) {
    LoadList(R"(
    <ListView x:Name="list" Height="150">
      <ListViewItem x:Name="one" Content="One"/>
      <ListViewItem x:Name="two" Content="Two" IsSelected="True"/>
      <ListViewItem x:Name="three" Content="Three"/>
    </ListView>)");
    EXPECT_EQ(ClassOf(list.Get()), L"System.Windows.Controls.ListView");
    EXPECT_EQ(ClassOf(D(L"one").Get()), L"System.Windows.Controls.ListViewItem");
    EXPECT_EQ(SelectedIndex(), 1) << "declared selected";
    EXPECT_EQ(GetText(GetObject(list.Get(), L"SelectionMode").Get(), L"OleValue"), L"Single");
    // In Single mode an item selected from code takes the selection from the one before.
    ASSERT_EQ(Put(D(L"three").Get(), L"IsSelected", ov::Variant::Bool(true)).hr, S_OK);
    EXPECT_EQ(SelectedIndex(), 2);
    EXPECT_FALSE(GetBool(D(L"two").Get(), L"IsSelected"));
    Click(Centre(L"one"));
    EXPECT_EQ(SelectedIndex(), 0);
    EXPECT_EQ(GetNumber(GetObject(list.Get(), L"SelectedItems").Get(), L"Count"), 1);
    EXPECT_TRUE(Same(GetObject(list.Get(), L"SelectedItem").Get(), D(L"one").Get(), list.Get()));
    ASSERT_EQ(Put(D(L"one").Get(), L"IsSelected", ov::Variant::Bool(false)).hr, S_OK);
    EXPECT_EQ(SelectedIndex(), -1);
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
    auto view = GetObject(list.Get(), L"View");
    ASSERT_TRUE(view);
    EXPECT_EQ(ClassOf(view.Get()), L"System.Windows.Controls.GridView");
    auto columns = GetObject(view.Get(), L"Columns");
    ASSERT_EQ(GetNumber(columns.Get(), L"Count"), 2);
    auto size = AsObject(Call(columns.Get(), L"get_Item", {ov::Variant::Int(1)}).value);
    EXPECT_EQ(GetText(size.Get(), L"Header"), L"Size");
    EXPECT_EQ(GetNumber(size.Get(), L"Width"), 60);

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
    // The rows are clicked and selected as a list box's items are.
    Click(Centre(L"one"));
    Press(1);
    EXPECT_EQ(GetNumber(GetObject(list.Get(), L"SelectedItems").Get(), L"Count"), 2);

    for (const char* bad :
         {R"(<ListView><ListView.View><GridView><Button/></GridView></ListView.View></ListView>)",
          R"(<ListView><ListView.View><Button/></ListView.View></ListView>)",
          R"(<ListBox><ListBox.View><GridView/></ListBox.View></ListBox>)"})
        EXPECT_THROW(ovhost::ParseXaml(WindowXaml(bad)), ovhost::XamlError) << bad;
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

TEST_F(ListsTest, MarkupSelectsByIndexBeforeTheItemsExistAndRefusesWhatWpfRefuses) {
    LoadList(R"(<ListBox x:Name="list" SelectedIndex="2" SelectionMode="extended">
      <sys:String>A</sys:String><sys:String>B</sys:String><sys:String>C</sys:String></ListBox>)");
    EXPECT_EQ(Selected(), Texts{L"C"});
    EXPECT_EQ(GetText(GetObject(list.Get(), L"SelectionMode").Get(), L"OleValue"), L"Extended")
        << "enumeration names are read without case, as WPF's converter does";
    for (const char* bad : {R"(<ListBox SelectedIndex="-2"/>)", R"(<ListBox SelectedIndex="1.5"/>)"}) {
        EXPECT_THROW(ovhost::ParseXaml(WindowXaml(bad)), ovhost::XamlError) << bad;
    }
}

} // namespace
} // namespace simtest
