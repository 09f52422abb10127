// The XAML reader: WPF's names become elements of the simulated application with their properties and a
// place on the screen; everything it does not know is an error with its position.
#include "HostFixture.h"

#include "host/Xaml.h"
#include "wpfsim/Buttons.h"
#include "wpfsim/Framework.h"

namespace {

using hosttest::Narrow;

std::string Window(const std::string& content, const std::string& extra = "") {
    return "<Window xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\"\n"
           "        xmlns:x=\"http://schemas.microsoft.com/winfx/2006/xaml\" " +
           extra + ">\n" + content + "\n</Window>\n";
}

template <class T = wpfsim::Element> T& Named(wpfsim::Application& app, const wchar_t* name) {
    if (auto* typed = dynamic_cast<T*>(app.Find(name))) return *typed;
    throw std::runtime_error("no element " + Narrow(name) + " of the class expected");
}

// An element's text (Content, Text or Title) and state (IsChecked).
std::wstring Shown(const wpfsim::Element& e) {
    std::wstring text;
    if (auto* b = dynamic_cast<const wpfsim::ButtonBase*>(&e)) text = b->Content();
    if (auto* t = dynamic_cast<const wpfsim::TextBlock*>(&e)) text = t->Text();
    if (auto* w = dynamic_cast<const wpfsim::Window*>(&e)) text = w->Title();
    if (auto* t = dynamic_cast<const wpfsim::ToggleButton*>(&e))
        text += !t->IsChecked() ? L" (null)" : *t->IsChecked() ? L" (true)" : L" (false)";
    return text;
}

// The names, classes and states of the button family are shown end to end by tests/scripts.
TEST(XamlTest, ClassesTextsAndValuesAsWpfReadsThem) {
    auto app =
        ovhost::ParseXaml(Window(R"(
  <!-- a comment -->
  <StackPanel x:Name="panel" d:DesignHeight="300">
    <d:Anything Whatever="1"><Button/></d:Anything>
    <Button x:Name="cdata" d:Hint="x"><![CDATA[O<K]]></Button>
    <CheckBox Name="agree">
        I   agree
        to all</CheckBox>
    <CheckBox x:Name="maybe" IsThreeState="True" IsChecked="{x:Null}" Visibility="Collapsed">Maybe</CheckBox>
    <RepeatButton x:Name="more" Content="{}{more}"/>
    <TextBlock x:Name="label" Text="Name:"/>
    <TextBlock x:Name="note">A  note</TextBlock>
    <my:Fancy x:Name="fancy" sim:Base="CheckBox" Content="Fancy"/>
  </StackPanel>)",
                                 "xmlns:my=\"clr-namespace:Demo.Controls;assembly=Demo\" "
                                 "xmlns:sim=\"urn:ovwpf-sim\" x:Class=\"Demo.MainWindow\" x:Name=\"main\" "
                                 "Title=\"Settings\" xmlns:mc=\"http://schemas.openxmlformats.org/"
                                 "markup-compatibility/2006\" xmlns:d=\"urn:designer\" mc:Ignorable=\"d\""));
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> expected[] = {
        {L"main", L"Demo.MainWindow", L"Settings"},
        {L"cdata", L"System.Windows.Controls.Button", L"O<K"},
        {L"agree", L"System.Windows.Controls.CheckBox", L"I agree to all (false)"},
        {L"maybe", L"System.Windows.Controls.CheckBox", L"Maybe (null)"},
        {L"more", L"System.Windows.Controls.Primitives.RepeatButton", L"{more}"},
        {L"label", L"System.Windows.Controls.TextBlock", L"Name:"},
        {L"note", L"System.Windows.Controls.TextBlock", L"A note"},
        {L"fancy", L"Demo.Controls.Fancy", L"Fancy (false)"},
    };
    for (const auto& [name, cls, shown] : expected) {
        EXPECT_EQ(Named(*app, name).ClassName(), cls) << Narrow(name);
        EXPECT_EQ(Shown(Named(*app, name)), shown) << Narrow(name);
    }
    EXPECT_EQ(Named(*app, L"panel").Children().size(), 7u) << "the designer's element is skipped";
    EXPECT_TRUE(Named<wpfsim::CheckBox>(*app, L"maybe").IsThreeState());
    EXPECT_FALSE(Named(*app, L"maybe").IsVisible());
    EXPECT_TRUE(Named(*app, L"panel").HasMember(L"ContextMenu")) << "WPF's, which the base kind looks for";
}

TEST(XamlTest, WhatItDoesNotKnowIsAnErrorWithItsPosition) {
    // The text, the message, its line and column.
    const std::tuple<std::string, std::wstring, unsigned, unsigned> cases[] = {
        {Window("  <Sparkline/>"), L"unknown element 'Sparkline'", 3, 4},
        {Window("  <Button IsChecked=\"True\"/>"), L"unknown attribute 'IsChecked' of Button", 3, 11},
        {Window("  <CheckBox IsChecked=\"yes\"/>"),
         L"'yes' is no valid value of IsChecked: False or True expected", 3, 13},
        {Window("  <Button Content=\"{Binding Name}\"/>"),
         L"the markup extension '{Binding Name}' is not supported (only {x:Null} is)", 3, 11},
        {Window("  <Border><Button/><Button/></Border>"), L"Border holds one element only", 3, 21},
        {Window("  <StackPanel>text</StackPanel>"), L"StackPanel cannot hold text", 3, 4},
        {Window("  <StackPanel><Button x:Name=\"a\"/><Button Name=\"a\"/></StackPanel>"),
         L"the name 'a' is already used (line 3)", 3, 43},
        {Window("  <my:Fancy/>", "xmlns:my=\"clr-namespace:Demo\""),
         L"the user class 'Demo.Fancy' needs the attribute sim:Base (xmlns:sim=\"urn:ovwpf-sim\") naming the "
         L"WPF class it behaves as",
         3, 4},
        {Window("  <Button sim:CheckedForm=\"Boxed\"/>", "xmlns:sim=\"urn:ovwpf-sim\""),
         L"unknown attribute 'sim:CheckedForm' of Button", 3, 11},
        {Window("  <Button x:Class=\"A.B\"/>"), L"x:Class is allowed on the root element only", 3, 11},
        {Window("  <Button q:Tag=\"1\"/>"), L"the namespace prefix 'q' is not declared", 3, 11},
        {"<StackPanel xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\"/>",
         L"the root element must be a Window, not 'StackPanel'", 1, 2},
        {Window("  <StackPanel><Button></StackPanel>"),
         L"malformed XML: the end tag does not match the start tag (0xC00CEE3B)", 3, 0},
        {"", L"malformed XML: the file ends before the document does (0xC00CEE01)", 0, 0},
    };
    for (const auto& [xaml, message, line, column] : cases) {
        SCOPED_TRACE(xaml);
        try {
            ovhost::ParseXaml(xaml);
            ADD_FAILURE() << "read without error";
        } catch (const ovhost::XamlError& e) {
            EXPECT_EQ(e.message, message) << Narrow(e.message);
            EXPECT_EQ((std::pair{e.line, e.column}), (std::pair{line, column}));
        }
    }
}

} // namespace
