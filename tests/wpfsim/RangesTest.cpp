// The range controls, the document viewers and the text boxes as WPF has them, through IDispatch by name:
// coercion that keeps the value set, snapping of what the user does only, ticks, viewers' ScrollViewers,
// text selection and limits.
#include "XamlApp.h"

#include "wpfsim/Ranges.h"

#include <limits>

using namespace simtest;

namespace {

const char* const kRanges = R"(
  <StackPanel x:Name="panel" Width="300">
    <ScrollBar x:Name="bar" Orientation="Horizontal" Maximum="50" Value="10"/>
    <Slider x:Name="slider" Maximum="10" TickFrequency="3" IsSnapToTickEnabled="True" LargeChange="2"/>
    <Slider x:Name="ticked" Ticks="0, 2 4,6,8" IsSnapToTickEnabled="True" LargeChange="1"/>
    <Slider x:Name="nulls" Ticks="{x:Null}" SelectionStart="-3" SelectionEnd="20"/>
    <FlowDocumentScrollViewer x:Name="flow" Height="50">
      <FlowDocument><Paragraph>One</Paragraph><Paragraph>Two</Paragraph><Paragraph>Three</Paragraph>
        <Paragraph>Four</Paragraph></FlowDocument>
    </FlowDocumentScrollViewer>
    <DocumentViewer x:Name="pages" Height="100">
      <FixedDocument><PageContent><FixedPage Width="200" Height="300"/></PageContent></FixedDocument>
    </DocumentViewer>
    <TextBox x:Name="text" MaxLength="4" Text="hello world"/>
    <PasswordBox x:Name="secret" PasswordChar="#"/>
  </StackPanel>)";

class RangesTest : public XamlTest {
protected:
    void SetUp() override { Load(kRanges); }
    // A click on the track's increase (or decrease) RepeatButton, as a user's.
    void Page(const wchar_t* name, bool increase) {
        auto track = FindPart(D(name).Get(), L"PART_Track");
        ASSERT_TRUE(track);
        auto buttons = VisualChildren(track.Get());
        ASSERT_EQ(buttons.size(), 3u);
        ASSERT_EQ(ClassOf(buttons[1].Get()), L"System.Windows.Controls.Primitives.Thumb");
        Click(CentreOf(buttons[increase ? 2 : 0].Get()));
    }
};

TEST_F(RangesTest, ValueIsCoercedIntoTheRangeAndComesBackWhenTheRangeWidens) {
    auto bar = D(L"bar");
    EXPECT_EQ(Put(bar.Get(), L"Value", ov::Variant::Double(80)).hr, S_OK);
    EXPECT_EQ(GetNumber(bar.Get(), L"Value"), 50);
    EXPECT_EQ(Put(bar.Get(), L"Maximum", ov::Variant::Double(100)).hr, S_OK);
    EXPECT_EQ(GetNumber(bar.Get(), L"Value"), 80);
    // A maximum below the minimum reads as the minimum; the value follows.
    EXPECT_EQ(Put(bar.Get(), L"Minimum", ov::Variant::Double(120)).hr, S_OK);
    EXPECT_EQ(GetNumber(bar.Get(), L"Maximum"), 120);
    EXPECT_EQ(GetNumber(bar.Get(), L"Value"), 120);
    Result nan = Put(bar.Get(), L"Value", ov::Variant::Double(std::nan("")));
    EXPECT_EQ(nan.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(nan.description, L"'NaN' is not a valid value for property 'Value'.");
    EXPECT_EQ(GetNumber(bar.Get(), L"Orientation"), 0);
}

// WPF's validation: no NaN or infinity anywhere, no negative change or viewport; the value set before stays.
TEST_F(RangesTest, ValuesThatWpfsValidationRefusesThrowItsArgumentException) {
    const double infinity = std::numeric_limits<double>::infinity();
    const std::tuple<const wchar_t*, const wchar_t*, double, const wchar_t*> cases[] = {
        {L"bar", L"Value", infinity, L"Infinity"},
        {L"bar", L"Minimum", -infinity, L"-Infinity"},
        {L"bar", L"Maximum", std::nan(""), L"NaN"},
        {L"bar", L"SmallChange", -1, L"-1"},
        {L"bar", L"LargeChange", -0.25, L"-0.25"},
        {L"bar", L"ViewportSize", -1e300, L"-1E+300"},
        {L"slider", L"LargeChange", -infinity, L"-Infinity"},
        {L"slider", L"TickFrequency", std::nan(""), L"NaN"},
        {L"nulls", L"SelectionStart", infinity, L"Infinity"},
        {L"nulls", L"SelectionEnd", -infinity, L"-Infinity"},
    };
    for (const auto& [name, property, value, text] : cases) {
        auto element = D(name);
        const double before = GetNumber(element.Get(), property);
        Result refused = Put(element.Get(), property, ov::Variant::Double(value));
        EXPECT_EQ(refused.hr, DISP_E_EXCEPTION) << property;
        EXPECT_EQ(refused.description,
                  L"'" + std::wstring(text) + L"' is not a valid value for property '" + property + L"'.");
        EXPECT_EQ(GetNumber(element.Get(), property), before) << property;
    }
    EXPECT_EQ(Put(D(L"bar").Get(), L"SmallChange", ov::Variant::Double(0)).hr, S_OK);
}

TEST_F(RangesTest, SnappingAppliesToTheUsersStepsNotToValuesSetFromCode) {
    auto slider = D(L"slider");
    EXPECT_EQ(Put(slider.Get(), L"Value", ov::Variant::Double(4)).hr, S_OK);
    EXPECT_EQ(GetNumber(slider.Get(), L"Value"), 4);
    // 4 + 2 is on the tick 6; 6 + 2 = 8 snaps to the nearest tick, 9; 9 + 2 stops at the end, 10.
    const double expected[] = {6, 9, 10, 10};
    for (double value : expected) {
        Page(L"slider", true);
        EXPECT_EQ(GetNumber(slider.Get(), L"Value"), value);
    }
    Page(L"slider", false);
    EXPECT_EQ(GetNumber(slider.Get(), L"Value"), 9);
    // Explicit ticks: a step that snaps back to where it started goes on to the next tick.
    auto ticked = D(L"ticked");
    Page(L"ticked", true);
    EXPECT_EQ(GetNumber(ticked.Get(), L"Value"), 2);
    Page(L"ticked", true);
    EXPECT_EQ(GetNumber(ticked.Get(), L"Value"), 4);
}

TEST_F(RangesTest, TicksAreADoubleCollectionOrNullAndTheSelectionIsCoerced) {
    auto ticks = GetObject(D(L"ticked").Get(), L"Ticks");
    ASSERT_TRUE(ticks);
    EXPECT_EQ(ClassOf(ticks.Get()), L"System.Windows.Media.DoubleCollection");
    EXPECT_EQ(GetNumber(ticks.Get(), L"Count"), 5);
    EXPECT_EQ(CallNumber(ticks.Get(), L"get_Item", {ov::Variant::Int(3)}), 6);
    EXPECT_EQ(Call(ticks.Get(), L"get_Item", {ov::Variant::Int(5)}).hr, DISP_E_EXCEPTION);
    // The default is an empty collection; {x:Null} a null one.
    EXPECT_EQ(GetNumber(GetObject(D(L"slider").Get(), L"Ticks").Get(), L"Count"), 0);
    auto nulls = D(L"nulls");
    EXPECT_FALSE(GetObject(nulls.Get(), L"Ticks"));
    EXPECT_EQ(GetNumber(nulls.Get(), L"SelectionStart"), 0);
    EXPECT_EQ(GetNumber(nulls.Get(), L"SelectionEnd"), 10);
    EXPECT_EQ(GetNumber(nulls.Get(), L"Maximum"), 10) << "a slider's default maximum";
}

// Their scrolling and its limits: ranges.js (flow, reader, pages).
TEST_F(RangesTest, ViewersScrollInTheirTemplatesScrollViewer) {
    for (const wchar_t* name : {L"flow", L"pages"}) {
        auto viewer = GetObject(D(name).Get(), L"ScrollViewer");
        ASSERT_TRUE(viewer) << testing::PrintToString(std::wstring(name));
        EXPECT_TRUE(Same(viewer.Get(), FindPart(D(name).Get(), L"PART_ContentHost").Get(), viewer.Get()));
    }
}

TEST_F(RangesTest, TextFromCodeIgnoresTheLimitAndSelectionStaysInsideTheText) {
    auto text = D(L"text");
    EXPECT_EQ(GetText(text.Get(), L"Text"), L"hello world");
    EXPECT_EQ(Call(text.Get(), L"Select", {ov::Variant::Int(6), ov::Variant::Int(50)}).hr, S_OK);
    EXPECT_EQ(GetNumber(text.Get(), L"SelectionStart"), 6);
    EXPECT_EQ(GetNumber(text.Get(), L"SelectionLength"), 5);
    EXPECT_EQ(GetText(text.Get(), L"SelectedText"), L"world");
    EXPECT_EQ(Put(text.Get(), L"SelectedText", ov::Variant::String(L"there")).hr, S_OK);
    EXPECT_EQ(GetText(text.Get(), L"Text"), L"hello there");
    EXPECT_EQ(Call(text.Get(), L"Select", {ov::Variant::Int(-1), ov::Variant::Int(0)}).hr, DISP_E_EXCEPTION);
    // A new text puts the caret at its start.
    EXPECT_EQ(Put(text.Get(), L"Text", ov::Variant::String(L"abc")).hr, S_OK);
    EXPECT_EQ(GetNumber(text.Get(), L"SelectionStart"), 0);
    EXPECT_EQ(GetNumber(text.Get(), L"SelectionLength"), 0);
    EXPECT_EQ(Put(text.Get(), L"MaxLength", ov::Variant::Int(-1)).hr, DISP_E_EXCEPTION);
    auto secret = D(L"secret");
    Result c = Get(secret.Get(), L"PasswordChar");
    EXPECT_EQ(c.value.vt, VT_UI2);
    EXPECT_EQ(c.value.uiVal, L'#');
    EXPECT_TRUE(GetObject(secret.Get(), L"ScrollViewer"));
}

} // namespace
