// The combo box as a user and a script reach it: its drop-down window that comes and goes, the internal
// popup field under the bridge's names, selection by click and by the Selector's members, the editable
// box's text, and drop-downs that never open or never close.
#include "XamlApp.h"

#include "wpfsim/Framework.h"

namespace simtest {
namespace {

constexpr const wchar_t* kPopupRoot = L"System.Windows.Controls.Primitives.PopupRoot";

std::string Fruit(const std::string& attributes = "") {
    return R"(<StackPanel>
      <ComboBox x:Name="combo" )" +
           attributes + R"(>
        <ComboBoxItem x:Name="apple" Content="Apple"/>
        <ComboBoxItem x:Name="withered" Content="Withered" IsEnabled="False"/>
        <ComboBoxItem x:Name="pear" Content="Pear"/>
      </ComboBox>
      <CheckBox x:Name="beside" Content="Beside" Margin="0,100,0,0"/>
    </StackPanel>)";
}

class ComboTest : public XamlTest {
protected:
    void LoadCombo(const std::string& body) {
        Load(body);
        combo = D(L"combo");
    }
    void TearDown() override {
        combo = nullptr;
        XamlTest::TearDown();
    }
    bool Open() { return GetBool(combo.Get(), L"IsDropDownOpen"); }
    size_t PopupWindows() {
        size_t count = 0;
        for (wpfsim::Element* root : app->Roots())
            count += root->ClassName() == kPopupRoot;
        return count;
    }
    long SelectedIndex() { return static_cast<long>(GetNumber(combo.Get(), L"SelectedIndex")); }

    ov::ComPtr<IDispatch> combo;
};

TEST_F(ComboTest, ThePopupFieldIsThereUnderTheNameTheElementChoseAndHoldsTheTemplatesPopup) {
    const struct {
        const char* attributes;
        const wchar_t* present; // null: neither name
        bool null;
    } cases[] = {
        {"", L"field__dropDownPopup", false},
        {R"(xmlns:sim="urn:ovwpf-sim" xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" mc:Ignorable="sim" sim:PopupField="zdropDownPopup")",
         L"zdropDownPopup", false},
        {R"(xmlns:sim="urn:ovwpf-sim" xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" mc:Ignorable="sim" sim:PopupField="field__dropDownPopup")",
         L"field__dropDownPopup", false},
        {R"(xmlns:sim="urn:ovwpf-sim" xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" mc:Ignorable="sim" sim:PopupField="None")",
         nullptr, false},
        {R"(xmlns:sim="urn:ovwpf-sim" xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" mc:Ignorable="sim" sim:PopupField="zdropDownPopup" sim:NullPopupField="True")",
         L"zdropDownPopup", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attributes);
        LoadCombo(Fruit(c.attributes));
        for (const wchar_t* name : {L"field__dropDownPopup", L"zdropDownPopup"}) {
            DISPID id = DISPID_UNKNOWN;
            const bool wanted = c.present && std::wstring(name) == c.present;
            EXPECT_EQ(Lookup(combo.Get(), name, &id), wanted ? S_OK : DISP_E_UNKNOWNNAME)
                << testing::PrintToString(std::wstring(name));
        }
        if (c.present) {
            Put(combo.Get(), L"IsDropDownOpen", ov::Variant::Bool(true));
            Result field = Get(combo.Get(), c.present);
            ASSERT_EQ(field.hr, S_OK);
            ASSERT_EQ(field.value.vt, VT_DISPATCH);
            if (c.null) {
                EXPECT_FALSE(field.value.pdispVal) << "a null field";
                EXPECT_TRUE(Open()) << "the drop-down works without the field";
            } else {
                auto popup = AsObject(field.value);
                EXPECT_TRUE(Same(popup.Get(), FindPart(combo.Get(), L"PART_Popup").Get(), combo.Get()));
                EXPECT_TRUE(GetBool(popup.Get(), L"IsOpen"));
            }
        }
        combo = nullptr;
        app.reset();
    }
}

TEST_F(ComboTest, AClickOnAnItemOfTheOpenDropDownSelectsItAndClosesIt) {
    LoadCombo(Fruit());
    Click(Centre(L"combo"));
    ASSERT_TRUE(Open()) << "a click on the box opens the drop-down";
    // The open drop-down holds every item's container, in item order.
    auto children = GetObject(GetObject(combo.Get(), L"get_ItemsHost").Get(), L"get_InternalChildren");
    ASSERT_EQ(GetNumber(children.Get(), L"Count"), 3);
    auto third = AsObject(Call(children.Get(), L"get_Item", {ov::Variant::Int(2)}).value);
    EXPECT_TRUE(Same(third.Get(), D(L"pear").Get(), combo.Get()));
    Click(Centre(L"pear"));
    EXPECT_FALSE(Open());
    EXPECT_EQ(SelectedIndex(), 2);
    EXPECT_EQ(GetText(combo.Get(), L"Text"), L"Pear");
    EXPECT_TRUE(Same(GetObject(combo.Get(), L"SelectedItem").Get(), D(L"pear").Get(), combo.Get()));
    EXPECT_TRUE(GetBool(D(L"pear").Get(), L"IsSelected"));

    // Neither a disabled item nor the right button selects; the drop-down stays open.
    Click(Centre(L"combo"));
    ASSERT_TRUE(Open());
    Click(Centre(L"withered"));
    Click(Centre(L"apple"), wpfsim::MouseButton::Right);
    EXPECT_TRUE(Open());
    EXPECT_EQ(SelectedIndex(), 2);
    Click(Centre(L"apple"));
    EXPECT_FALSE(Open());
    EXPECT_EQ(SelectedIndex(), 0);
    EXPECT_FALSE(GetBool(D(L"pear").Get(), L"IsSelected"));
}

TEST_F(ComboTest, StringItemsAreSelectedByIndexAndShowTheirTextInTheBox) {
    LoadCombo(R"(<ComboBox x:Name="combo" SelectedIndex="1">
      <sys:String>Apple</sys:String><sys:String>Pear</sys:String><sys:String>Plum</sys:String></ComboBox>)");
    EXPECT_EQ(SelectedIndex(), 1) << "a SelectedIndex of the markup waits for its item";
    EXPECT_EQ(GetText(combo.Get(), L"Text"), L"Pear");
    EXPECT_EQ(Text(Get(combo.Get(), L"SelectedItem").value), L"Pear");
    auto box = FindPart(combo.Get(), L"contentPresenter");
    ASSERT_TRUE(box);
    EXPECT_TRUE(FindOfClass(box.Get(), L"System.Windows.Controls.TextBlock"));
    // The box's text follows the selection (the Selector's validation: ListsTest).
    const std::pair<long, const wchar_t*> cases[] = {{2, L"Plum"}, {-1, L""}, {0, L"Apple"}};
    for (const auto& [set, text] : cases) {
        EXPECT_EQ(Put(combo.Get(), L"SelectedIndex", ov::Variant::Int(set)).hr, S_OK) << set;
        EXPECT_EQ(SelectedIndex(), set);
        EXPECT_EQ(GetText(combo.Get(), L"Text"), text) << "after " << set;
    }
    // The drop-down's generated containers show the selection.
    Put(combo.Get(), L"IsDropDownOpen", ov::Variant::Bool(true));
    auto apple = ContainerAt(combo.Get(), 0);
    ASSERT_TRUE(apple);
    EXPECT_TRUE(GetBool(apple.Get(), L"IsSelected"));
    Click(CentreOf(ContainerAt(combo.Get(), 2).Get()));
    EXPECT_EQ(SelectedIndex(), 2);
    EXPECT_FALSE(Open());
}

TEST_F(ComboTest, TextSelectsTheItemOfThatTextAndOnlyAnEditableBoxKeepsATextOfNoItem) {
    for (bool editable : {false, true}) {
        SCOPED_TRACE(editable ? "editable" : "not editable");
        LoadCombo(Fruit(editable ? R"(IsEditable="True")" : ""));
        EXPECT_EQ(GetBool(combo.Get(), L"IsEditable"), editable);
        EXPECT_EQ(GetBool(FindPart(combo.Get(), L"PART_EditableTextBox").Get(), L"IsVisible"), editable);
        ASSERT_EQ(Put(combo.Get(), L"Text", ov::Variant::String(L"pear")).hr, S_OK);
        EXPECT_EQ(SelectedIndex(), 2) << "the text search ignores case";
        EXPECT_EQ(GetText(combo.Get(), L"Text"), L"Pear");
        ASSERT_EQ(Put(combo.Get(), L"Text", ov::Variant::String(L"Kiwi")).hr, S_OK);
        EXPECT_EQ(SelectedIndex(), -1);
        EXPECT_EQ(GetText(combo.Get(), L"Text"), editable ? L"Kiwi" : L"");
        combo = nullptr;
        app.reset();
    }
}

std::string Hundred(const std::string& attributes = "") {
    std::string body = R"(<ComboBox x:Name="combo" )" + attributes + ">";
    for (int i = 0; i < 100; ++i)
        body += "<sys:String>Item " + std::to_string(i) + "</sys:String>";
    return body + "</ComboBox>";
}

// ComboBox.MaxDropDownHeight defaults to a third of SystemParameters.PrimaryScreenHeight, and the template
// binds it to the drop-down's MaxHeight: a long list scrolls inside the drop-down. Its panel is
// ItemsControl's default StackPanel (every container exists), which the drop-down's ScrollViewer
// (CanContentScroll True in the combo box's style) scrolls by items; BringIntoView on a container below
// the visible rows scrolls it into view (StackPanel's IScrollInfo.MakeVisible).
TEST_F(ComboTest, ALongListScrollsInsideADropDownNoHigherThanMaxDropDownHeight) {
    LoadCombo(Hundred());
    EXPECT_EQ(GetNumber(combo.Get(), L"MaxDropDownHeight"),
              wpfsim::SystemParameters::PrimaryScreenHeight / 3);
    ASSERT_EQ(Put(combo.Get(), L"IsDropDownOpen", ov::Variant::Bool(true)).hr, S_OK);
    auto border = GetObject(FindPart(combo.Get(), L"PART_Popup").Get(), L"Child");
    ASSERT_TRUE(border);
    auto popupRoot = GetObject(border.Get(), L"get_VisualParent");
    ASSERT_TRUE(popupRoot);
    EXPECT_LE(GetNumber(popupRoot.Get(), L"ActualHeight"), 360);
    auto panel = GetObject(combo.Get(), L"get_ItemsHost");
    EXPECT_EQ(ClassOf(panel.Get()), L"System.Windows.Controls.StackPanel");
    auto children = GetObject(panel.Get(), L"get_InternalChildren");
    ASSERT_EQ(GetNumber(children.Get(), L"Count"), 100) << "a StackPanel does not virtualize";
    auto viewer = GetObject(combo.Get(), L"get_ScrollHost");
    EXPECT_TRUE(GetBool(viewer.Get(), L"CanContentScroll"));
    EXPECT_EQ(GetNumber(viewer.Get(), L"ExtentHeight"), 100) << "counted in items";
    const double rows = GetNumber(viewer.Get(), L"ViewportHeight");
    EXPECT_GT(rows, 5);
    EXPECT_LT(rows, 30);

    auto item80 = AsObject(Call(children.Get(), L"get_Item", {ov::Variant::Int(80)}).value);
    Click(CentreOf(item80.Get()));
    EXPECT_EQ(SelectedIndex(), -1) << "a press where item 80 lies, below the drop-down, selects nothing";
    EXPECT_FALSE(Open()) << "it is a press outside the drop-down";
    ASSERT_EQ(Put(combo.Get(), L"IsDropDownOpen", ov::Variant::Bool(true)).hr, S_OK);
    ASSERT_EQ(Call(item80.Get(), L"BringIntoView").hr, S_OK);
    EXPECT_EQ(GetNumber(viewer.Get(), L"VerticalOffset"), 81 - rows) << "the item is the last row in view";
    Click(CentreOf(item80.Get()));
    EXPECT_EQ(SelectedIndex(), 80);
    EXPECT_FALSE(Open());

    // The property: set in XAML, read and set from code; WPF's MaxHeight takes no NaN and nothing below 0.
    combo = nullptr;
    app.reset();
    LoadCombo(Hundred(R"(MaxDropDownHeight="100")"));
    EXPECT_EQ(GetNumber(combo.Get(), L"MaxDropDownHeight"), 100);
    Put(combo.Get(), L"IsDropDownOpen", ov::Variant::Bool(true));
    const double small = GetNumber(GetObject(combo.Get(), L"get_ScrollHost").Get(), L"ViewportHeight");
    EXPECT_LT(small, rows);
    ASSERT_EQ(Put(combo.Get(), L"MaxDropDownHeight", ov::Variant::Double(200)).hr, S_OK);
    EXPECT_GT(GetNumber(GetObject(combo.Get(), L"get_ScrollHost").Get(), L"ViewportHeight"), small);
    for (double bad : {-1.0, std::nan("")})
        EXPECT_EQ(Put(combo.Get(), L"MaxDropDownHeight", ov::Variant::Double(bad)).hr, DISP_E_EXCEPTION);
    EXPECT_THROW(ovhost::ParseXaml(WindowXaml(Hundred(R"(MaxDropDownHeight="-5")"))), ovhost::XamlError);
}

// Drop-downs that never open or close, to code and to item clicks: combo.js (stuck, sticky).
TEST_F(ComboTest, APressOutsideADropDownThatNeverClosesGoesOnToWhatItHit) {
    LoadCombo(Fruit(
        R"(xmlns:sim="urn:ovwpf-sim" xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" mc:Ignorable="sim" sim:NeverCloses="True")"));
    ASSERT_EQ(Put(combo.Get(), L"IsDropDownOpen", ov::Variant::Bool(true)).hr, S_OK);
    Click(Centre(L"beside"));
    EXPECT_TRUE(Open());
    EXPECT_TRUE(GetBool(D(L"beside").Get(), L"IsChecked"));
    EXPECT_EQ(PopupWindows(), 1u);
}

} // namespace
} // namespace simtest
