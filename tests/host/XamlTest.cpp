// The XAML reader: WPF's names become elements of the simulated application with their properties and a
// place on the screen; everything it does not know is an error with its position.
#include "host/Xaml.h"

#include "wpfsim/Buttons.h"
#include "wpfsim/Framework.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Window(const std::string& content, const std::string& extra = "") {
    return "<Window xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\"\n"
           "        xmlns:x=\"http://schemas.microsoft.com/winfx/2006/xaml\" " +
           extra + ">\n" + content + "\n</Window>\n";
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

template <class T = wpfsim::Element> T& Named(wpfsim::Application& app, const wchar_t* name) {
    wpfsim::Element* element = app.Find(name);
    if (!element) throw std::runtime_error("no element " + Narrow(name));
    auto* typed = dynamic_cast<T*>(element);
    if (!typed) throw std::runtime_error("element " + Narrow(name) + " of another class");
    return *typed;
}

TEST(XamlTest, ElementsPropertiesAndClassesAsWpfNamesThem) {
    auto app = ovhost::ParseXaml(Window(R"(
  <StackPanel x:Name="panel" Margin="4">
    <Button x:Name="ok" Content="OK" IsEnabled="false"/>
    <CheckBox Name="agree">
        I   agree
        to all</CheckBox>
    <CheckBox x:Name="maybe" IsThreeState="True" IsChecked="{x:Null}" Visibility="Collapsed">Maybe</CheckBox>
    <RadioButton x:Name="red" GroupName="colour" IsChecked="True"/>
    <ToggleButton x:Name="bold" IsChecked="true">B</ToggleButton>
    <RepeatButton x:Name="more" Content="{}{more}"/>
    <TextBlock x:Name="label" Text="Name:"/>
    <TextBlock x:Name="note">A  note</TextBlock>
    <Border x:Name="frame"><Grid x:Name="grid"/></Border>
    <my:Fancy x:Name="fancy" sim:Base="CheckBox" Content="Fancy"/>
  </StackPanel>)",
                                        "xmlns:my=\"clr-namespace:Demo.Controls;assembly=Demo\" "
                                        "xmlns:sim=\"urn:ovwpf-sim\" x:Class=\"Demo.MainWindow\" "
                                        "x:Name=\"main\" Title=\"Settings\""));
    ASSERT_EQ(app->Roots().size(), 1u);
    auto& main = Named<wpfsim::Window>(*app, L"main");
    EXPECT_EQ(main.ClassName(), L"Demo.MainWindow");
    EXPECT_EQ(main.Title(), L"Settings");
    auto& panel = Named(*app, L"panel");
    EXPECT_EQ(panel.Parent(), &main);
    EXPECT_EQ(panel.ClassName(), L"System.Windows.Controls.StackPanel");
    EXPECT_EQ(panel.Children().size(), 10u);

    auto& ok = Named<wpfsim::Button>(*app, L"ok");
    EXPECT_EQ(ok.ClassName(), L"System.Windows.Controls.Button");
    EXPECT_EQ(ok.Content(), L"OK");
    EXPECT_FALSE(ok.IsEnabled());
    EXPECT_EQ(Named<wpfsim::CheckBox>(*app, L"agree").Content(), L"I agree to all");
    EXPECT_EQ(Named<wpfsim::CheckBox>(*app, L"agree").IsChecked(), false);
    auto& maybe = Named<wpfsim::CheckBox>(*app, L"maybe");
    EXPECT_TRUE(maybe.IsThreeState());
    EXPECT_EQ(maybe.IsChecked(), std::nullopt);
    EXPECT_FALSE(maybe.IsVisible());
    auto& red = Named<wpfsim::RadioButton>(*app, L"red");
    EXPECT_EQ(red.GroupName(), L"colour");
    EXPECT_EQ(red.IsChecked(), true);
    EXPECT_EQ(Named<wpfsim::ToggleButton>(*app, L"bold").ClassName(),
              L"System.Windows.Controls.Primitives.ToggleButton");
    EXPECT_EQ(Named<wpfsim::ToggleButton>(*app, L"bold").IsChecked(), true);
    EXPECT_EQ(Named<wpfsim::RepeatButton>(*app, L"more").Content(), L"{more}");
    EXPECT_EQ(Named<wpfsim::TextBlock>(*app, L"label").Text(), L"Name:");
    EXPECT_EQ(Named<wpfsim::TextBlock>(*app, L"note").Text(), L"A note");
    EXPECT_EQ(Named(*app, L"grid").Parent(), &Named(*app, L"frame"));
    auto& fancy = Named<wpfsim::CheckBox>(*app, L"fancy");
    EXPECT_EQ(fancy.ClassName(), L"Demo.Controls.Fancy");
    EXPECT_EQ(fancy.Content(), L"Fancy");
    EXPECT_TRUE(fancy.HasMember(L"IsChecked"));
    // Every framework element has WPF's "ContextMenu", which the base kind looks for.
    EXPECT_TRUE(main.HasMember(L"ContextMenu"));
    EXPECT_TRUE(Named(*app, L"grid").HasMember(L"ContextMenu"));
}

TEST(XamlTest, IgnorableNamespacesAndCommentsAreSkipped) {
    auto app = ovhost::ParseXaml(Window(R"(
  <!-- a comment -->
  <StackPanel d:DesignHeight="300" x:Name="panel">
    <d:Anything Whatever="1"><Button/></d:Anything>
    <Button x:Name="ok" d:Hint="x"><![CDATA[O<K]]></Button>
  </StackPanel>)",
                                        "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/"
                                        "2006\" xmlns:d=\"urn:designer\" mc:Ignorable=\"d\""));
    EXPECT_EQ(Named(*app, L"panel").Children().size(), 1u);
    EXPECT_EQ(Named<wpfsim::Button>(*app, L"ok").Content(), L"O<K");
}

struct BadXaml {
    const char* what;
    std::string xaml;
    std::wstring message;
    unsigned line;
    unsigned column;
};

TEST(XamlTest, WhatItDoesNotKnowIsAnErrorWithItsPosition) {
    const BadXaml cases[] = {
        {"unknown element", Window("  <Sparkline/>"), L"unknown element 'Sparkline'", 3, 4},
        {"abstract class", Window("  <ButtonBase/>"),
         L"'ButtonBase' is an abstract WPF class and cannot be an element", 3, 4},
        {"unknown attribute", Window("  <Button Colour=\"red\"/>"), L"unknown attribute 'Colour' of Button",
         3, 11},
        {"attribute of another class", Window("  <Button IsChecked=\"True\"/>"),
         L"unknown attribute 'IsChecked' of Button", 3, 11},
        {"unknown attached property", Window("  <Button Grid.Colspan=\"2\"/>"),
         L"unknown attached property 'Grid.Colspan'", 3, 11},
        {"bad Boolean", Window("  <CheckBox IsChecked=\"yes\"/>"),
         L"'yes' is no valid value of IsChecked: False or True expected", 3, 13},
        {"bad enumeration", Window("  <Button Visibility=\"Gone\"/>"),
         L"'Gone' is no valid value of Visibility: Visible, Hidden or Collapsed expected", 3, 11},
        {"bad thickness", Window("  <Button Margin=\"1,2,3\"/>"),
         L"'1,2,3' is no valid value of Margin: one, two or four numbers expected", 3, 11},
        {"binding", Window("  <Button Content=\"{Binding Name}\"/>"),
         L"the markup extension '{Binding Name}' is not supported (only {x:Null} is)", 3, 11},
        {"content twice", Window("  <Button Content=\"A\">B</Button>"),
         L"Button gets its Content twice (attribute, text or element)", 3, 4},
        {"two children in a border", Window("  <Border><Button/><Button/></Border>"),
         L"Border holds one element only", 3, 21},
        {"text in a panel", Window("  <StackPanel>text</StackPanel>"), L"StackPanel cannot hold text", 3, 4},
        {"element in a text block", Window("  <TextBlock><Button/></TextBlock>"),
         L"TextBlock cannot hold the element 'Button'", 3, 15},
        {"text in the window", Window("  hello"), L"Window cannot hold text", 1, 2},
        {"name used twice", Window("  <StackPanel><Button x:Name=\"a\"/><Button Name=\"a\"/></StackPanel>"),
         L"the name 'a' is already used (line 3)", 3, 43},
        {"named twice", Window("  <Button Name=\"a\" x:Name=\"b\"/>"),
         L"the element is named twice ('Name' and 'x:Name')", 3, 20},
        {"user class without base", Window("  <my:Fancy/>", "xmlns:my=\"clr-namespace:Demo\""),
         L"the user class 'Demo.Fancy' needs the attribute sim:Base (xmlns:sim=\"urn:ovwpf-sim\") naming the "
         L"WPF "
         L"class it behaves as",
         3, 4},
        {"user class of an unknown base",
         Window("  <my:Fancy sim:Base=\"Gauge\"/>",
                "xmlns:my=\"clr-namespace:Demo\" xmlns:sim=\"urn:ovwpf-sim\""),
         L"sim:Base names 'Gauge', which is no WPF class the host knows", 3, 13},
        {"sim:Base on a WPF element",
         Window("  <Button sim:Base=\"Button\"/>", "xmlns:sim=\"urn:ovwpf-sim\""),
         L"sim:Base belongs on user classes (elements of a clr-namespace) only", 3, 11},
        {"x:Class below the root", Window("  <Button x:Class=\"A.B\"/>"),
         L"x:Class is allowed on the root element only", 3, 11},
        {"unknown x: attribute", Window("  <Button x:Key=\"k\"/>"), L"unknown attribute 'x:Key'", 3, 11},
        {"unknown namespace", Window("  <o:Thing/>", "xmlns:o=\"urn:other\""),
         L"unknown element 'o:Thing' (namespace 'urn:other')", 3, 4},
        {"undeclared prefix", Window("  <Button q:Tag=\"1\"/>"), L"the namespace prefix 'q' is not declared",
         3, 11},
        {"no namespace", "<Window/>",
         L"the element 'Window' is in no namespace (declare "
         L"xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\")",
         1, 2},
        {"root other than a window",
         "<StackPanel xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\"/>",
         L"the root element must be a Window, not 'StackPanel'", 1, 2},
        {"unsupported property element", Window("  <Button><Button.Content>A</Button.Content></Button>"),
         L"the property element 'Button.Content' is not supported here", 3, 12},
        {"wrong definition",
         Window("  <Grid><Grid.RowDefinitions><ColumnDefinition/></Grid.RowDefinitions></Grid>"),
         L"Grid.RowDefinitions holds RowDefinition elements only, not 'ColumnDefinition'", 3, 31},
        {"bad row height",
         Window("  <Grid><Grid.RowDefinitions><RowDefinition Height=\"tall\"/></Grid.RowDefinitions></Grid>"),
         L"'tall' is no valid value of Height: a number expected", 3, 45},
        {"end tag of another element", Window("  <StackPanel><Button></StackPanel>"),
         L"malformed XML: the end tag does not match the start tag (0xC00CEE3B)", 3, 0},
        {"DTD", "<!DOCTYPE Window []>" + Window(""), L"malformed XML: a DTD is not allowed (0xC00CEE4F)", 1,
         0},
        {"nothing", "", L"malformed XML: the file ends before the document does (0xC00CEE01)", 0, 0},
    };
    for (const BadXaml& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            ovhost::ParseXaml(c.xaml);
            ADD_FAILURE() << "read without error";
        } catch (const ovhost::XamlError& e) {
            EXPECT_EQ(e.message, c.message) << Narrow(e.message);
            EXPECT_EQ(e.line, c.line);
            EXPECT_EQ(e.column, c.column);
        }
    }
}

TEST(XamlTest, ErrorTextsNameTheirPosition) {
    EXPECT_EQ((ovhost::XamlError{L"unknown element 'A'", 3, 4}).ToString(),
              L"line 3, column 4: unknown element 'A'");
    EXPECT_EQ((ovhost::XamlError{L"malformed XML", 7, 0}).ToString(), L"line 7: malformed XML");
    EXPECT_EQ((ovhost::XamlError{L"the file does not exist"}).ToString(), L"the file does not exist");
    try {
        ovhost::LoadXaml(L"Z:\\no\\such\\folder\\app.xaml");
        ADD_FAILURE() << "a missing file was read";
    } catch (const ovhost::XamlError& e) {
        EXPECT_EQ(e.message, L"the file does not exist");
    }
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Overlap(const RECT& a, const RECT& b) {
    RECT both{};
    return IntersectRect(&both, &a, &b) != FALSE;
}

LONG Width(const RECT& r) {
    return r.right - r.left;
}

TEST(XamlTest, LayoutGivesEveryElementItsOwnPlace) {
    auto app = ovhost::ParseXaml(Window(R"(
  <DockPanel x:Name="dock">
    <TextBlock x:Name="title" DockPanel.Dock="Top" Text="Title"/>
    <StackPanel x:Name="bar" DockPanel.Dock="Bottom" Orientation="Horizontal">
      <Button x:Name="ok" Content="OK"/>
      <Button x:Name="cancel" Content="Cancel" Width="120" Margin="5"/>
    </StackPanel>
    <Grid x:Name="grid">
      <Grid.ColumnDefinitions><ColumnDefinition Width="100"/><ColumnDefinition Width="*"/></Grid.ColumnDefinitions>
      <Grid.RowDefinitions><RowDefinition/><RowDefinition/></Grid.RowDefinitions>
      <CheckBox x:Name="a" Content="A"/>
      <CheckBox x:Name="b" Grid.Column="1" Content="B"/>
      <WrapPanel x:Name="wrap" Grid.Row="1" Grid.ColumnSpan="2">
        <RadioButton x:Name="r1" Content="One"/>
        <RadioButton x:Name="r2" Content="Two"/>
      </WrapPanel>
    </Grid>
  </DockPanel>)",
                                        "x:Name=\"main\""));
    const wchar_t* all[] = {L"dock", L"title", L"bar",  L"ok", L"cancel", L"grid",
                            L"a",    L"b",     L"wrap", L"r1", L"r2"};
    for (const wchar_t* name : all) {
        const auto& e = Named(*app, name);
        SCOPED_TRACE(Narrow(name));
        EXPECT_GT(Width(e.Bounds()), 0);
        EXPECT_GT(e.Bounds().bottom - e.Bounds().top, 0);
        EXPECT_TRUE(Inside(e.Bounds(), e.Parent()->Bounds()));
        // The host clicks the centre: that point finds the element (or one of its children).
        POINT centre{(e.Bounds().left + e.Bounds().right) / 2, (e.Bounds().top + e.Bounds().bottom) / 2};
        wpfsim::Element* hit = app->ElementAt(centre);
        while (hit && hit != &e)
            hit = hit->Parent();
        EXPECT_EQ(hit, &e);
    }
    const std::pair<const wchar_t*, const wchar_t*> siblings[] = {
        {L"title", L"bar"}, {L"title", L"grid"}, {L"bar", L"grid"}, {L"ok", L"cancel"},
        {L"a", L"b"},       {L"a", L"wrap"},     {L"r1", L"r2"}};
    for (const auto& [first, second] : siblings)
        EXPECT_FALSE(Overlap(Named(*app, first).Bounds(), Named(*app, second).Bounds()))
            << Narrow(first) << " and " << Narrow(second);
    EXPECT_EQ(Width(Named(*app, L"cancel").Bounds()), 120);
    EXPECT_EQ(Width(Named(*app, L"a").Bounds()), 100); // the fixed first column
    EXPECT_EQ(Named(*app, L"b").Bounds().left, Named(*app, L"a").Bounds().right);
    EXPECT_LT(Named(*app, L"title").Bounds().bottom, Named(*app, L"grid").Bounds().top + 1);
    EXPECT_GT(Named(*app, L"bar").Bounds().top, Named(*app, L"grid").Bounds().top);
}

TEST(XamlTest, CanvasPlacesAtItsOffsets) {
    auto app = ovhost::ParseXaml(Window(R"(
  <Canvas x:Name="canvas" Margin="0">
    <Button x:Name="b" Canvas.Left="30" Canvas.Top="12" Content="B" Width="50" Height="20"/>
  </Canvas>)"));
    const RECT& canvas = Named(*app, L"canvas").Bounds();
    const RECT& b = Named(*app, L"b").Bounds();
    EXPECT_EQ(b.left - canvas.left, 30);
    EXPECT_EQ(b.top - canvas.top, 12);
    EXPECT_EQ(Width(b), 50);
    EXPECT_EQ(b.bottom - b.top, 20);
}

} // namespace
