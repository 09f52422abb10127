// Item controls as the module reads them: the ItemCollection of container elements and of sys: data
// items, the values those reach callers as, and the generator's round trips between items and containers.
#include "XamlApp.h"

using namespace simtest;

namespace {

constexpr SCODE ArgumentOutOfRangeScode = static_cast<SCODE>(0x80131502);

const char* const kItems = R"(
  <StackPanel>
    <ListBox x:Name="containers" Height="100">
      <ListBoxItem x:Name="apple" Content="Apple"/>
      <ListBoxItem Content="Pear"/>
    </ListBox>
    <ListBox x:Name="strings" Height="100">
      <sys:String>Apple</sys:String>
      <sys:String>Pear</sys:String>
      <sys:String>Plum</sys:String>
    </ListBox>
    <ListBox x:Name="ints" Height="100">
      <sys:Int32>7</sys:Int32>
      <sys:Int32>-3</sys:Int32>
    </ListBox>
    <ListBox x:Name="doubles" Height="100">
      <sys:Double>2.5</sys:Double>
    </ListBox>
    <TreeView x:Name="flags" Height="60">
      <sys:Boolean>True</sys:Boolean>
      <sys:Boolean>False</sys:Boolean>
    </TreeView>
    <Menu x:Name="menu">
      <sys:String>File</sys:String>
    </Menu>
    <ComboBox x:Name="combo">
      <sys:String>Red</sys:String>
      <sys:String>Green</sys:String>
    </ComboBox>
    <Button x:Name="stranger" Content="Stranger"/>
  </StackPanel>)";

class ItemsTest : public XamlTest {
protected:
    void SetUp() override { Load(kItems); }
    ov::ComPtr<IDispatch> Items(const wchar_t* control) { return GetObject(D(control).Get(), L"Items"); }
    Result Item(const wchar_t* control, int i) {
        return Call(Items(control).Get(), L"get_Item", {ov::Variant::Int(i)});
    }
    ov::ComPtr<IDispatch> Generator(const wchar_t* control) {
        return GetObject(D(control).Get(), L"ItemContainerGenerator");
    }
    ov::ComPtr<IDispatch> ContainerAt(const wchar_t* control, int i) {
        return simtest::ContainerAt(D(control).Get(), i);
    }
};

TEST_F(ItemsTest, CollectionsCountTheirItemsAndRefuseIndexesOutsideTheRange) {
    const std::pair<const wchar_t*, int> controls[] = {{L"containers", 2}, {L"strings", 3}, {L"ints", 2},
                                                       {L"doubles", 1},    {L"flags", 2},   {L"menu", 1},
                                                       {L"combo", 2}};
    for (auto [control, count] : controls) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(control)));
        auto items = Items(control);
        ASSERT_TRUE(items);
        EXPECT_EQ(ClassOf(items.Get()), L"System.Windows.Controls.ItemCollection");
        EXPECT_EQ(GetNumber(items.Get(), L"Count"), count);
        EXPECT_TRUE(GetBool(D(control).Get(), L"HasItems"));
        for (int i : {-1, count, 1000}) {
            Result r = Item(control, i);
            EXPECT_EQ(r.hr, DISP_E_EXCEPTION) << "index " << i;
            EXPECT_EQ(r.scode, ArgumentOutOfRangeScode) << "index " << i;
        }
        EXPECT_EQ(Item(control, count - 1).hr, S_OK);
    }
}

TEST_F(ItemsTest, DataItemsReachCallersAsDotNetValues) {
    struct Case {
        const wchar_t* control;
        int index;
        const wchar_t* type;
        const wchar_t* text;
        bool primitive;
    };
    const Case cases[] = {
        {L"strings", 1, L"System.String", L"Pear", false}, {L"ints", 1, L"System.Int32", L"-3", true},
        {L"doubles", 0, L"System.Double", L"2.5", true},   {L"flags", 0, L"System.Boolean", L"True", true},
        {L"flags", 1, L"System.Boolean", L"False", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.control)) + " " + std::to_string(c.index));
        Result item = Item(c.control, c.index);
        ASSERT_EQ(item.value.vt, VT_DISPATCH);
        auto type = AsObject(Call(item.value.pdispVal, L"GetType").value);
        ASSERT_TRUE(type);
        EXPECT_EQ(GetText(type.Get(), L"FullName"), c.type);
        EXPECT_EQ(GetBool(type.Get(), L"IsPrimitive"), c.primitive);
        EXPECT_EQ(Text(Call(item.value.pdispVal, L"ToString").value), c.text);
    }
    EXPECT_EQ(Text(Item(L"strings", 2).value), L"Plum") << "a string object answers OleValue";
    app->SetStringsAsObjects(false);
    Result plain = Item(L"strings", 0);
    ASSERT_EQ(plain.value.vt, VT_BSTR);
    EXPECT_EQ(Text(plain.value), L"Apple");
}

TEST_F(ItemsTest, IndexOfFindsElementsStringsAndPrimitivesAsDotNetEqualityDoes) {
    struct Case {
        const wchar_t* control;
        ov::Variant item;
        long index;
    };
    auto apple = D(L"apple");
    const Case cases[] = {
        {L"containers", ov::Variant::Dispatch(apple.Get()), 0},
        {L"containers", ov::Variant::Dispatch(D(L"stranger").Get()), -1},
        {L"strings", Item(L"strings", 2).value, 2},     // the item object handed out
        {L"strings", ov::Variant::String(L"Pear"), 1},  // a plain string equals it
        {L"strings", ov::Variant::String(L"pear"), -1}, // ordinal comparison
        {L"ints", Item(L"ints", 1).value, 1},           // a boxed Int32
        {L"ints", ov::Variant::Int(-3), 1},             // an Int32 as COM passes it
        {L"ints", ov::Variant::String(L"7"), -1},       // a string is no Int32
        {L"doubles", ov::Variant::Double(2.5), 0},
        {L"flags", ov::Variant::Bool(false), 1},
        {L"strings", ov::Variant::Dispatch(apple.Get()), -1}, // an element among data items
    };
    for (const Case& c : cases) {
        Result r = Call(Items(c.control).Get(), L"IndexOf", {c.item});
        ASSERT_EQ(r.hr, S_OK);
        ov::Variant index;
        ASSERT_EQ(VariantChangeType(&index, &r.value, 0, VT_I4), S_OK);
        EXPECT_EQ(index.lVal, c.index)
            << testing::PrintToString(std::wstring(c.control)) << " item of type " << c.item.vt;
    }
}

TEST_F(ItemsTest, GeneratedContainersShowTheirDataItemAsContentOrHeader) {
    struct Case {
        const wchar_t* control;
        int index;
        const wchar_t* containerClass;
        const wchar_t* textMember;
        const wchar_t* text;
    };
    const Case cases[] = {
        {L"strings", 0, L"System.Windows.Controls.ListBoxItem", L"Content", L"Apple"},
        {L"ints", 0, L"System.Windows.Controls.ListBoxItem", L"Content", L"7"},
        {L"flags", 1, L"System.Windows.Controls.TreeViewItem", L"Header", L"False"},
        {L"menu", 0, L"System.Windows.Controls.MenuItem", L"Header", L"File"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.control)));
        auto container = ContainerAt(c.control, c.index);
        ASSERT_TRUE(container);
        EXPECT_EQ(ClassOf(container.Get()), c.containerClass);
        Result value = Get(container.Get(), c.textMember);
        EXPECT_EQ(value.value.vt, VT_DISPATCH) << "the data item itself, as an object";
        auto shown = AsObject(value.value);
        EXPECT_EQ(shown ? Text(Call(shown.Get(), L"ToString").value) : L"", c.text);
        // A generated container is no logical child of the control (WPF links it through the generator),
        // but stands in its items panel.
        EXPECT_FALSE(GetObject(container.Get(), L"Parent"));
        EXPECT_TRUE(Same(GetObject(container.Get(), L"get_VisualParent").Get(),
                         GetObject(D(c.control).Get(), L"get_ItemsHost").Get(), container.Get()));
    }
}

TEST_F(ItemsTest, GeneratorRoundTripsBetweenItemsIndexesAndContainers) {
    for (const wchar_t* control : {L"containers", L"strings", L"ints", L"flags"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(control)));
        auto generator = Generator(control);
        ASSERT_TRUE(generator);
        EXPECT_EQ(ClassOf(generator.Get()), L"System.Windows.Controls.ItemContainerGenerator");
        const double count = GetNumber(Items(control).Get(), L"Count");
        for (int i = 0; i < count; ++i) {
            auto container = ContainerAt(control, i);
            ASSERT_TRUE(container) << "item " << i << " is in view";
            ov::Variant item = Item(control, i).value;
            auto fromItem = AsObject(Call(generator.Get(), L"ContainerFromItem", {item}).value);
            EXPECT_TRUE(Same(fromItem.Get(), container.Get(), generator.Get())) << "item " << i;
            EXPECT_EQ(
                CallNumber(generator.Get(), L"IndexFromContainer", {ov::Variant::Dispatch(container.Get())}),
                i);
            // ListBox's private ElementAt; the tree view has none (ListsTest).
            if (std::wstring_view(control) != L"flags") {
                auto at = AsObject(Call(D(control).Get(), L"ElementAt", {ov::Variant::Int(i)}).value);
                EXPECT_TRUE(Same(at.Get(), container.Get(), generator.Get())) << "item " << i;
            }
            Result back =
                Call(generator.Get(), L"ItemFromContainer", {ov::Variant::Dispatch(container.Get())});
            EXPECT_EQ(CallNumber(Items(control).Get(), L"IndexOf", {back.value}), i);
        }
        // Strangers: an element of another control, the control itself, a container of a sibling list.
        for (const wchar_t* stranger : {L"stranger", control, L"apple"}) {
            if (std::wstring_view(stranger) == L"apple" && std::wstring_view(control) == L"containers")
                continue;
            EXPECT_EQ(CallNumber(generator.Get(), L"IndexFromContainer",
                                 {ov::Variant::Dispatch(D(stranger).Get())}),
                      -1)
                << testing::PrintToString(std::wstring(stranger));
        }
        EXPECT_FALSE(ContainerAt(control, static_cast<int>(count))) << "no container past the end";
    }
}

TEST_F(ItemsTest, ItemsOfAClosedDropDownHaveNoContainerUntilItOpens) {
    auto generator = Generator(L"combo");
    ov::Variant green = Item(L"combo", 1).value;
    Result before = Call(generator.Get(), L"ContainerFromItem", {green});
    ASSERT_EQ(before.hr, S_OK);
    EXPECT_FALSE(AsObject(before.value)) << "WPF generates a combo box's items when its drop-down opens";

    Put(D(L"combo").Get(), L"IsDropDownOpen", ov::Variant::Bool(true));
    auto container = AsObject(Call(generator.Get(), L"ContainerFromItem", {green}).value);
    ASSERT_TRUE(container);
    EXPECT_EQ(ClassOf(container.Get()), L"System.Windows.Controls.ComboBoxItem");
    EXPECT_EQ(Text(Call(GetObject(container.Get(), L"Content").Get(), L"ToString").value), L"Green");
    EXPECT_TRUE(GetBool(container.Get(), L"IsVisible"));
}

// A virtualized list holds containers for the items in view only: the generator finds an item's container
// among those, so of two equal items the one in view answers, and one out of view has none.
class GeneratorTest : public XamlTest {};

TEST_F(GeneratorTest, ContainerFromItemGivesTheContainerOfAnEqualItemInView) {
    std::string body = "<ListBox x:Name=\"list\" Height=\"100\">";
    for (int i = 0; i < 40; ++i)
        body += i % 20 == 0 ? "<sys:String>Twin</sys:String>"
                            : "<sys:String>Item " + std::to_string(i) + "</sys:String>";
    Load(body + "</ListBox>");
    auto list = D(L"list");
    auto generator = GetObject(list.Get(), L"ItemContainerGenerator");
    auto items = GetObject(list.Get(), L"Items");
    auto fromItem = [&](int index) {
        ov::Variant item = Call(items.Get(), L"get_Item", {ov::Variant::Int(index)}).value;
        auto container = AsObject(Call(generator.Get(), L"ContainerFromItem", {item}).value);
        return container ? CallNumber(generator.Get(), L"IndexFromContainer",
                                      {ov::Variant::Dispatch(container.Get())})
                         : -1;
    };
    ASSERT_EQ(
        Call(GetObject(list.Get(), L"get_ItemsHost").Get(), L"BringIndexIntoView", {ov::Variant::Int(20)}).hr,
        S_OK);
    // Item 0 is out of view; the equal item 20 is in it.
    EXPECT_EQ(fromItem(0), 20);
    EXPECT_EQ(fromItem(20), 20);
    EXPECT_EQ(fromItem(39), -1) << "out of view: no container";
}

// VirtualizingStackPanel's default VirtualizationMode.Standard: a container scrolled out of view is taken
// from the generator and released, and a new one is made when its item comes back; so is what the
// application no longer shows (a popup's closed window, a text a presenter replaced). A long run keeps as
// many elements as a short one; a container a caller still holds lives on, out of the application.
TEST_F(GeneratorTest, WhatTheApplicationNoLongerShowsIsReleasedSoALongRunStaysFlat) {
    std::string body = R"(<StackPanel><ListBox x:Name="list" Height="100">)";
    for (int i = 0; i < 200; ++i)
        body += "<sys:String>Item " + std::to_string(i) + "</sys:String>";
    body +=
        R"(</ListBox><ComboBox x:Name="combo"><sys:String>A</sys:String><sys:String>B</sys:String></ComboBox>)";
    Load(body + "</StackPanel>");
    auto list = D(L"list"), combo = D(L"combo");
    auto viewer = GetObject(list.Get(), L"get_ScrollHost");
    auto held = ContainerAt(list.Get(), 2);
    ASSERT_TRUE(held);
    auto steps = [&](int from, int count) {
        for (int i = from; i < from + count; ++i) {
            Call(viewer.Get(), L"ScrollToVerticalOffset", {ov::Variant::Double(i * 7 % 200)});
            Put(combo.Get(), L"SelectedIndex", ov::Variant::Int(i % 2));
            Put(combo.Get(), L"IsDropDownOpen", ov::Variant::Bool(i % 2 == 0));
            app->UpdateLayout();
        }
        Call(viewer.Get(), L"ScrollToVerticalOffset", {ov::Variant::Double(100)});
        Put(combo.Get(), L"IsDropDownOpen", ov::Variant::Bool(false));
        app->UpdateLayout();
    };
    steps(0, 50);
    const size_t elements = app->ElementCount();
    const long objects = wpfsim::LiveObjects();
    const size_t made = app->ElementsMade();
    steps(50, 500);
    EXPECT_GT(app->ElementsMade(), made + 1000) << "containers and windows were made all along";
    EXPECT_EQ(app->ElementCount(), elements);
    EXPECT_EQ(wpfsim::LiveObjects(), objects);

    // The held container: out of the application, it still answers as the object it is.
    EXPECT_FALSE(ContainerAt(list.Get(), 2));
    EXPECT_EQ(Text(Get(held.Get(), L"Content").value), L"Item 2");
    EXPECT_FALSE(GetBool(held.Get(), L"IsVisible"));
    EXPECT_FALSE(GetObject(held.Get(), L"get_VisualParent"));
    auto* heldElement = dynamic_cast<wpfsim::Element*>(wpfsim::ObjectOf(held.Get()).Get());
    ASSERT_TRUE(heldElement);
    EXPECT_FALSE(app->FindById(heldElement->Id())) << "the host's object of it answers as gone";
    auto text = FindOfClass(held.Get(), L"System.Windows.Controls.TextBlock");
    ASSERT_TRUE(text) << "its parts live as long as it does";
    held = nullptr;
    EXPECT_EQ(app->ElementCount(), elements - 4) << "the container, its border, presenter and text";
    EXPECT_EQ(Get(text.Get(), L"Text").hr, DISP_E_UNKNOWNNAME)
        << "a part outliving its control answers no more";
}

} // namespace
