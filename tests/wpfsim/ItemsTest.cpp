// Item controls where a row cannot reach them (items.table has the rest): strings handed out as plain BSTRs,
// and the release of what the application no longer shows, counted in live objects.
#include "XamlApp.h"

using namespace simtest;

namespace {

class GeneratorTest : public XamlTest {};

// The bridge hands strings out as objects by default; with that off a data item reaches callers as a BSTR.
TEST_F(GeneratorTest, AStringItemIsABstrWhenStringsAreNoObjects) {
    Load(R"(<ListBox x:Name="list"><sys:String>Apple</sys:String></ListBox>)");
    app->SetStringsAsObjects(false);
    Result plain = Call(GetObject(D(L"list").Get(), L"Items").Get(), L"get_Item", {ov::Variant::Int(0)});
    ASSERT_EQ(plain.value.vt, VT_BSTR);
    EXPECT_EQ(Text(plain.value), L"Apple");
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
