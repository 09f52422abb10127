// OVHookX64 inspect in the test's own process: the JSON document of a small application, whole; texts,
// states, items, node and menu paths (each path found again by the module); members; the command's exit
// codes. tests/scripts/check-inspect.sh checks the trees of the demo and the test application.
#include "AppSession.h"

#include "host/app/ByName.h"
#include "ovWPFControlsLib.h"
#include "wpfsim/Items.h"
#include "wpfsim/Menus.h"
#include "wpfsim/TextBlock.h"

#include <regex>

using namespace hosttest;

namespace {

// Named controls, an unnamed element, a user class; the buttons' templates make parts.
const char* const kApp = R"(<Window xmlns="http://schemas.microsoft.com/winfx/2006/xaml/presentation"
        xmlns:x="http://schemas.microsoft.com/winfx/2006/xaml"
        xmlns:my="clr-namespace:Inspect.Tests" xmlns:sim="urn:ovwpf-sim"
        xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" mc:Ignorable="sim"
        x:Name="main" Title="Inspect">
  <StackPanel x:Name="panel">
    <Button x:Name="ok" Content="OK"/>
    <TextBlock Text="note"/>
    <CheckBox x:Name="check" Content="Check"/>
    <my:Fancy x:Name="fancy" sim:Base="Button" Content="Fancy"/>
  </StackPanel>
</Window>
)";

Output Inspect(std::vector<std::wstring> arguments) {
    arguments.insert(arguments.begin(), L"inspect");
    return RunProgram(std::move(arguments));
}

// The document of the default tree after its first line, whole: nulls, nesting, commas and the statements'
// quotes. The layout decides the rectangles; the text shows the same ones.
const wchar_t* const kTree =
    LR"json(  {"object": "process", "name": "inspect app", "class": null, "kind": null, "rect": null, "statement": null, "automationId": null, "handlers": [], "templatePart": false, "text": null, "states": {}, "items": [], "members": null, "children": [
    {"object": "top-level window", "name": "main", "class": "System.Windows.Window", "kind": null, "rect": {"left": 100, "top": 100, "width": 91, "height": 117}, "statement": null, "automationId": null, "handlers": [], "templatePart": false, "text": null, "states": {}, "items": [], "members": null, "children": [
      {"object": "window", "name": "main", "class": "System.Windows.Window", "kind": {"value": 100, "name": "ctrlWPFBaseCtrl"}, "rect": {"left": 100, "top": 100, "width": 91, "height": 117}, "statement": "App.Find(\"main\")", "automationId": null, "handlers": [], "templatePart": false, "text": "Inspect", "states": {"enabled": true}, "items": [], "members": null, "children": [
        {"object": "element", "name": "panel", "class": "System.Windows.Controls.StackPanel", "kind": {"value": 50, "name": "ctrlWPFActTransparent"}, "rect": {"left": 108, "top": 131, "width": 75, "height": 78}, "statement": null, "automationId": null, "handlers": [], "templatePart": false, "text": null, "states": {"enabled": true}, "items": [], "members": null, "children": [
          {"object": "element", "name": "ok", "class": "System.Windows.Controls.Button", "kind": {"value": 1, "name": "ctrlWPFButton"}, "rect": {"left": 108, "top": 131, "width": 75, "height": 23}, "statement": "App.Find(\"ok\")", "automationId": null, "handlers": [], "templatePart": false, "text": "OK", "states": {"enabled": true}, "items": [], "members": null, "children": []},
          {"object": "element", "name": null, "class": "System.Windows.Controls.TextBlock", "kind": {"value": 50, "name": "ctrlWPFActTransparent"}, "rect": {"left": 108, "top": 154, "width": 75, "height": 16}, "statement": null, "automationId": null, "handlers": [], "templatePart": false, "text": "note", "states": {"enabled": true}, "items": [], "members": null, "children": []},
          {"object": "element", "name": "check", "class": "System.Windows.Controls.CheckBox", "kind": {"value": 2, "name": "ctrlWPFCheckBox"}, "rect": {"left": 108, "top": 170, "width": 75, "height": 16}, "statement": "App.Find(\"check\")", "automationId": null, "handlers": [], "templatePart": false, "text": "Check", "states": {"enabled": true, "checked": false}, "items": [], "members": null, "children": []},
          {"object": "element", "name": "fancy", "class": "Inspect.Tests.Fancy", "kind": {"value": 100, "name": "ctrlWPFBaseCtrl"}, "rect": {"left": 108, "top": 186, "width": 75, "height": 23}, "statement": "App.Find(\"fancy\")", "automationId": null, "handlers": [], "templatePart": false, "text": "Fancy", "states": {"enabled": true}, "items": [], "members": null, "children": []}
        ]}
      ]}
    ]}
  ]}
}
)json";

TEST(InspectTest, JsonHoldsTheTreeOfTheText) {
    TempFolder folder;
    const std::wstring app = folder.Write(L"inspect app.xaml", kApp);
    std::wstring escaped; // the path's backslashes
    for (wchar_t c : app)
        escaped += c == L'\\' ? L"\\\\" : std::wstring(1, c);
    Output json = Inspect({L"--json", app});
    ASSERT_EQ(json.code, ovhost::ExitOk) << Narrow(json.err);
    EXPECT_TRUE(json.err.empty());
    EXPECT_EQ(json.out, L"{\"application\": \"" + escaped + L"\", \"visual\": false, \"tree\":\n" + kTree);
    const Output text = Inspect({app});
    for (const wchar_t* line : {L"  Window(\"main\")  (100, 100, 91, 117)\n",
                                L"        -  System.Windows.Controls.TextBlock  50 ctrlWPFActTransparent  "
                                L"(108, 154, 75, 16)  \"note\"\n"})
        EXPECT_EQ(Count(text.out, line), 1u) << Narrow(line);

    // The visual tree: one object a line, the template parts marked as the text marks them.
    json = Inspect({L"--visual", L"--json", app});
    const Output visual = Inspect({L"--visual", app});
    ASSERT_EQ(json.code, ovhost::ExitOk) << Narrow(json.err);
    EXPECT_TRUE(
        json.out.starts_with(L"{\"application\": \"" + escaped + L"\", \"visual\": true, \"tree\":\n"));
    EXPECT_EQ(Count(json.out, L"{\"object\": "), Count(visual.out, L"\n"));
    EXPECT_EQ(Count(json.out, L"\"templatePart\": true"), Count(visual.out, L"  [template part]\n"));
    EXPECT_GT(Count(visual.out, L"  [template part]\n"), 0u);
}

TEST(InspectTest, WrongCommandLinesAndApplicationsThatDoNotLoad) {
    TempFolder folder;
    const std::wstring bad = folder.Write(L"bad.xaml", "<Window xmlns=\"urn:nothing\"/>");
    // Arguments, exit code, the start of the error output.
    const std::tuple<std::vector<std::wstring>, int, std::wstring> cases[] = {
        {{}, ovhost::ExitUsage, L"OVHookX64 inspect: wrong number of arguments."},
        {{L"--colour", L"a.xaml"}, ovhost::ExitUsage, L"OVHookX64 inspect: unknown option '--colour'."},
        {{L"a.xaml", L"b.xaml"}, ovhost::ExitUsage, L"OVHookX64 inspect: give the application (APP.xaml)."},
        {{L"a.xaml", L"--picture"}, ovhost::ExitUsage, L"OVHookX64 inspect: --picture needs a file name."},
        {{folder.Path(L"none.xaml")},
         ovhost::ExitAppNotLoaded,
         L"OVHookX64 inspect: the application could not be loaded: " + folder.Path(L"none.xaml") + L", "},
        {{L"--json", bad},
         ovhost::ExitAppNotLoaded,
         L"OVHookX64 inspect: the application could not be loaded: " + bad + L", "},
    };
    for (const auto& [arguments, code, err] : cases) {
        SCOPED_TRACE(arguments.empty() ? "(none)" : Narrow(arguments.back()));
        Output r = Inspect(arguments);
        EXPECT_EQ(r.code, code);
        EXPECT_EQ(r.err.substr(0, err.size()), err);
        EXPECT_TRUE(r.out.empty()) << Narrow(r.out);
    }
}

// Texts, states and items of every kind, and names a path cannot take as they stand: texts that repeat
// (ignoring case), hold "|", read as an index ("[0]") or as a pattern that finds another item first.
const char* const kFacts = R"(<Window xmlns="http://schemas.microsoft.com/winfx/2006/xaml/presentation"
        xmlns:x="http://schemas.microsoft.com/winfx/2006/xaml"
        xmlns:sys="clr-namespace:System;assembly=mscorlib"
        x:Name="main" Title="Facts &amp; &lt;texts&gt;">
  <StackPanel>
    <ListBox x:Name="list" SelectionMode="Multiple" Height="60">
      <sys:String>Alpha</sys:String>
      <sys:String>alpha</sys:String>
      <ListBoxItem Content="Beta" IsSelected="True"/>
      <sys:Int32>42</sys:Int32>
    </ListBox>
    <ComboBox x:Name="combo" SelectedIndex="1"><ComboBoxItem Content="x"/><ComboBoxItem Content="y"/></ComboBox>
    <TabControl x:Name="tabs">
      <TabItem Header="_One"/>
      <TabItem><TabItem.Header><TextBlock Text="Two"/></TabItem.Header></TabItem>
    </TabControl>
    <ToolBarTray>
      <ToolBar x:Name="bar">
        <Button Content="Cut"/>
        <Separator/>
        <Button Content="Off" IsEnabled="False"/>
      </ToolBar>
    </ToolBarTray>
    <TreeView x:Name="tree">
      <TreeViewItem Header="Docs" IsExpanded="True">
        <TreeViewItem Header="a|b"/>
        <TreeViewItem Header="Notes*" IsSelected="True"/>
        <TreeViewItem Header="Notes"/>
      </TreeViewItem>
      <TreeViewItem Header="docs"/>
      <TreeViewItem Header="[0]"/>
      <TreeViewItem Header="Later"/>
      <TreeViewItem Header="L*"/>
    </TreeView>
    <Menu x:Name="menu">
      <MenuItem Header="_File">
        <MenuItem Header="_Open"/>
        <MenuItem Header="Op*"/>
        <Separator/>
        <MenuItem Header="Save" IsEnabled="False"/>
        <MenuItem Header="Wrap" IsCheckable="True" IsChecked="True"/>
        <MenuItem Header="In|Out"/>
        <MenuItem Header="[Draft]"/>
      </MenuItem>
      <MenuItem>
        <MenuItem.Header><TextBlock Text="Help"/></MenuItem.Header>
        <MenuItem Header="About"/>
      </MenuItem>
    </Menu>
    <Button x:Name="withMenu" Content="Menu">
      <Button.ContextMenu><ContextMenu><MenuItem Header="Copy"/></ContextMenu></Button.ContextMenu>
    </Button>
    <CheckBox x:Name="three" IsThreeState="True" IsChecked="{x:Null}" Content="Three"/>
    <Slider x:Name="slider" Minimum="1" Maximum="9" Value="2.5"/>
    <TextBox x:Name="edit" Text="a &quot;quoted&quot; text" IsEnabled="False"/>
    <Expander x:Name="more" Header="More" IsExpanded="True"><TextBlock Text="inside"/></Expander>
  </StackPanel>
</Window>
)";

// The output's lines without their indentation and with the rectangles written "()".
std::vector<std::wstring> Lines(const std::wstring& out) {
    static const std::wregex rect(LR"(\(-?\d+, -?\d+, -?\d+, -?\d+\))");
    std::vector<std::wstring> lines;
    std::wistringstream in(out);
    for (std::wstring line; std::getline(in, line);)
        lines.push_back(std::regex_replace(line.substr(line.find_first_not_of(L' ')), rect, L"()"));
    return lines;
}

TEST(InspectTest, TextsStatesAndItemsAsScriptsNameThem) {
    TempFolder folder;
    const Output r = Inspect({folder.Write(L"facts.xaml", kFacts)});
    ASSERT_EQ(r.code, ovhost::ExitOk) << Narrow(r.err);
    const std::vector<std::wstring> lines = Lines(r.out);
    // Each line once, in this order.
    const wchar_t* const expected[] = {
        LR"(main  System.Windows.Window  100 ctrlWPFBaseCtrl  ()  App.Find("main")  "Facts & <texts>")",
        L"item 0  \"Alpha\"",
        L"item 1  \"alpha\"",
        L"item 2  \"Beta\"  selected",
        L"item 3  \"42\"",
        L"-  System.Windows.Controls.ListBoxItem  8 ctrlWPFListBoxItem  ()  \"Beta\"  selected",
        LR"(combo  System.Windows.Controls.ComboBox  3 ctrlWPFComboBox  ()  App.Find("combo")  "y")",
        L"item 0  \"x\"",
        L"item 1  \"y\"  selected",
        // A tab's caption as written; a header that is an element has none.
        L"item 0  \"_One\"  selected",
        L"item 1  \"\"",
        L"item 0  \"Cut\"",
        L"item 1  \"\"  separator",
        L"item 2  \"Off\"  disabled",
        L"node  \"|[0]\"  \"Docs\"  expanded",
        L"node  \"|[0]|[0]\"  \"a|b\"  collapsed",
        L"node  \"|[0]|Notes*\"  \"Notes*\"  collapsed, selected",
        L"node  \"|[0]|Notes\"  \"Notes\"  collapsed",
        L"node  \"|[1]\"  \"docs\"  collapsed",
        L"node  \"|[2]\"  \"[0]\"  collapsed",
        L"node  \"|Later\"  \"Later\"  collapsed",
        L"node  \"|[4]\"  \"L*\"  collapsed",
        L"menu  \"File\"  \"File\"",
        L"menu  \"File|[0]\"  \"Open\"",
        L"menu  \"File|[1]\"  \"Op*\"",
        L"menu  \"File|[2]\"  \"\"  separator",
        L"menu  \"File|Save\"  \"Save\"  disabled",
        L"menu  \"File|Wrap\"  \"Wrap\"  checked",
        L"menu  \"File|[5]\"  \"In||Out\"",
        L"menu  \"File|[[Draft]\"  \"[[Draft]\"",
        L"menu  \"[1]\"  \"\"",
        L"menu  \"[1]|About\"  \"About\"",
        L"-  System.Windows.Controls.MenuItem  18 ctrlWPFMenuItem  ()  \"_File\"",
        L"context menu  \"Copy\"  \"Copy\"",
        LR"(three  System.Windows.Controls.CheckBox  2 ctrlWPFCheckBox  ()  App.Find("three")  "Three"  indeterminate)",
        LR"(slider  System.Windows.Controls.Slider  13 ctrlWPFTrackBar  ()  App.Find("slider")  value 2.5 (1..9))",
        LR"(edit  System.Windows.Controls.TextBox  5 ctrlWPFEdit  ()  App.Find("edit")  "a \"quoted\" text"  disabled)",
        LR"(more  System.Windows.Controls.Expander  6 ctrlWPFExpander  ()  App.Find("more")  "More"  expanded)",
    };
    auto at = lines.begin();
    for (const wchar_t* line : expected) {
        SCOPED_TRACE(Narrow(line));
        EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1);
        auto found = std::find(at, lines.end(), line);
        EXPECT_NE(found, lines.end()) << "not after the line before";
        if (found != lines.end()) at = found;
    }

    // The same in the JSON document: items with their index, text and states; nodes with their paths.
    const Output json = Inspect({L"--json", folder.Path(L"facts.xaml")});
    ASSERT_EQ(json.code, ovhost::ExitOk);
    for (
        const wchar_t* part : {
            LR"("items": [{"kind": "item", "index": 0, "path": null, "text": "Alpha", "states": {}}, )"
            LR"({"kind": "item", "index": 1, "path": null, "text": "alpha", "states": {}}, )"
            LR"({"kind": "item", "index": 2, "path": null, "text": "Beta", "states": {"selected": true}}, )"
            LR"({"kind": "item", "index": 3, "path": null, "text": "42", "states": {}}], "members": null)",
            LR"({"kind": "node", "index": 1, "path": "|[0]|Notes*", "text": "Notes*", "states": {"expanded": false, "selected": true}})",
            LR"({"kind": "menu", "index": 5, "path": "File|[5]", "text": "In||Out", "states": {"enabled": true, "checked": false}})",
            LR"({"kind": "context menu", "index": 0, "path": "Copy", "text": "Copy", "states": {"enabled": true, "checked": false}})",
            LR"("text": "Three", "states": {"enabled": true, "checked": null})",
            LR"("text": null, "states": {"enabled": true, "value": 2.5, "minimum": 1, "maximum": 9})",
        })
        EXPECT_EQ(Count(json.out, part), 1u) << Narrow(part);
}

// A quoted text of a line: the part after `after` up to the next unescaped quote, unescaped.
std::wstring Quoted(const std::wstring& line, size_t& at) {
    std::wstring text;
    for (at = line.find(L'"', at) + 1; at < line.size() && line[at] != L'"'; ++at)
        text += line[at] == L'\\' ? line[++at] : line[at];
    ++at;
    return text;
}

// The caption a menu object gives an item: the header without its access key, "|" and a leading "["
// doubled.
std::wstring CaptionOf(wpfsim::MenuItem& item) {
    std::wstring caption;
    for (wchar_t c :
         wpfsim::AccessText::Shown(ovhost::TextByName(item.NewDispatch().Get(), L"Header").value_or(L"")))
        caption += c == L'|' ? L"||" : std::wstring(1, c);
    return caption.starts_with(L"[") ? L"[" + caption : caption;
}

TEST(InspectTest, PathsFindTheirNodesAndMenuItems) {
    TempFolder folder;
    const Output r = Inspect({folder.Write(L"facts.xaml", kFacts)});
    ASSERT_EQ(r.code, ovhost::ExitOk) << Narrow(r.err);
    AppSession session(kFacts);
    ov::ComPtr<IDispatch> top = ovhost::ObjectByName(session.Object(L"tree").Get(), L"wItems");
    ov::ComPtr<IDispatch> menu = ovhost::ObjectByName(session.Object(L"menu").Get(), L"WPFMenu");
    ASSERT_TRUE(top && menu);
    size_t nodes = 0, items = 0;
    for (const std::wstring& line : Lines(r.out)) {
        size_t at = 0;
        const std::wstring path = Quoted(line, at), text = Quoted(line, at);
        SCOPED_TRACE(Narrow(line));
        if (line.starts_with(L"node  \"")) {
            // The tree view's members take the path as it stands, the collection without the leading "|".
            ++nodes;
            ov::ComPtr<IDispatch> node =
                ovhost::ObjectByName(top.Get(), L"Item", {ov::Variant::String(path.substr(1))});
            EXPECT_EQ(ovhost::TextByName(node.Get(), L"Text"), text);
        } else if (line.starts_with(L"menu  \"") && !line.ends_with(L"separator") &&
                   !line.ends_with(L"disabled")) {
            // Select hovers over the item the path names.
            ++items;
            ASSERT_TRUE(ovhost::ByName(menu.Get(), L"Select", {ov::Variant::String(path)}));
            wpfsim::Element* hovered = session.app->MouseOver();
            while (hovered && !dynamic_cast<wpfsim::MenuItem*>(hovered))
                hovered = hovered->RouteParent();
            ASSERT_TRUE(hovered);
            EXPECT_EQ(CaptionOf(*dynamic_cast<wpfsim::MenuItem*>(hovered)), text);
            ASSERT_TRUE(ovhost::ByName(menu.Get(), L"Close"));
        }
    }
    EXPECT_EQ(nodes, 8u);
    EXPECT_EQ(items, 8u);
}

// The tree an item template makes for each item is the application's content, shown in every container;
// the chrome of the container and of the controls inside stays a template part.
TEST(InspectTest, ItemTemplatesShowAsContent) {
    TempFolder folder;
    const Output r = Inspect({folder.Write(L"rows.xaml", R"(<Window
        xmlns="http://schemas.microsoft.com/winfx/2006/xaml/presentation"
        xmlns:x="http://schemas.microsoft.com/winfx/2006/xaml" xmlns:sys="clr-namespace:System;assembly=mscorlib">
  <ListBox x:Name="list">
    <ListBox.ItemTemplate><DataTemplate><CheckBox x:Name="pick" Content="{Binding}"/></DataTemplate></ListBox.ItemTemplate>
    <sys:String>One</sys:String><sys:String>Two</sys:String>
  </ListBox>
</Window>
)")});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::wregex pick(
        LR"re( pick  System\.Windows\.Controls\.CheckBox  2 ctrlWPFCheckBox  \(\d+, \d+, \d+, \d+\)  "(\w+)"  unchecked)re");
    std::vector<std::wstring> shown;
    for (std::wsregex_iterator it(r.out.begin(), r.out.end(), pick), end; it != end; ++it)
        shown.push_back((*it)[1]);
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"One", L"Two"})) << r.out;
    EXPECT_EQ(r.out.find(L"Border"), std::wstring::npos) << r.out;
}

// What a popup's opening and a script's changes show: the states are read anew from the element.
TEST(InspectTest, StatesFollowTheApplication) {
    AppSession session(kFacts);
    auto words = [&](const wchar_t* name) {
        std::wstring all;
        for (const ovhost::State& state : ovhost::FactsOf(session[name]).states)
            all += state.key + L"=" + state.json + L" ";
        return all;
    };
    EXPECT_EQ(words(L"combo"), L"enabled=true ");
    ASSERT_TRUE(ovhost::ByName(session.Object(L"more").Get(), L"Collapse"));
    ASSERT_TRUE(
        ovhost::ByName(session.Object(L"three").Get(), L"ClickButton", {ov::Variant::Int(cbChecked)}));
    // Last: a click elsewhere would close the drop-down.
    ASSERT_TRUE(ovhost::ByName(session.Object(L"combo").Get(), L"DropDown"));
    EXPECT_EQ(words(L"combo"), L"enabled=true open=true ");
    EXPECT_EQ(words(L"more"), L"enabled=true expanded=false ");
    EXPECT_EQ(words(L"three"), L"enabled=true checked=true ");
}

TEST(InspectTest, MembersListWhatAScriptCallsOnEachControl) {
    TempFolder folder;
    const std::wstring app = folder.Write(L"inspect app.xaml", kApp);
    const Output text = Inspect({L"--members", app});
    ASSERT_EQ(text.code, ovhost::ExitOk) << Narrow(text.err);
    const std::vector<std::wstring> lines = Lines(text.out);
    auto below = [&](std::wstring_view name) {
        auto line = std::find_if(lines.begin(), lines.end(),
                                 [&](const std::wstring& l) { return l.starts_with(name); });
        return line == lines.end() || line + 1 == lines.end() ? std::wstring() : *(line + 1);
    };
    EXPECT_EQ(below(L"ok  "), L"members  ClickButton(), PopupMenu");
    EXPECT_EQ(below(L"check  "), L"members  ClickButton(State), wState, PopupMenu");
    EXPECT_EQ(below(L"fancy  "), L"members  PopupMenu");
    EXPECT_EQ(Count(text.out, L"members  "), 4u);
    const Output json = Inspect({L"--json", L"--members", app});
    EXPECT_EQ(Count(json.out, LR"j("members": ["ClickButton(State)", "wState", "PopupMenu"])j"), 1u);
    EXPECT_EQ(Count(json.out, LR"j("members": null)j"), 4u);
}

} // namespace
