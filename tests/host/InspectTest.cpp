// OVHookX64 inspect in the test's own process: the JSON document of a small application, whole, and the
// command's exit codes. tests/scripts/check-inspect.sh checks the trees of the demo and the test application.
#include "HostFixture.h"

#include "host/cli/CommandLine.h"

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

struct Output {
    int code = -1;
    std::wstring out, err;
};

Output Inspect(std::vector<std::wstring> arguments) {
    Output r;
    ovhost::Console console{[&](std::wstring_view t) { r.out += t; },
                            [&](std::wstring_view t) { r.err += t; }};
    arguments.insert(arguments.begin(), L"inspect");
    r.code = ovhost::RunCommandLine(arguments, ovtest::BinFolder(), console);
    return r;
}

size_t Count(const std::wstring& text, std::wstring_view what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// The document of the default tree after its first line, whole: nulls, nesting, commas and the statements'
// quotes. The layout decides the rectangles; the text shows the same ones.
const wchar_t* const kTree =
    LR"json(  {"object": "process", "name": "inspect app", "class": null, "kind": null, "rect": null, "statement": null, "templatePart": false, "children": [
    {"object": "top-level window", "name": "main", "class": "System.Windows.Window", "kind": null, "rect": {"left": 100, "top": 100, "width": 91, "height": 117}, "statement": null, "templatePart": false, "children": [
      {"object": "window", "name": "main", "class": "System.Windows.Window", "kind": {"value": 100, "name": "ctrlWPFBaseCtrl"}, "rect": {"left": 100, "top": 100, "width": 91, "height": 117}, "statement": "App.Find(\"main\")", "templatePart": false, "children": [
        {"object": "element", "name": "panel", "class": "System.Windows.Controls.StackPanel", "kind": {"value": 50, "name": "ctrlWPFActTransparent"}, "rect": {"left": 108, "top": 131, "width": 75, "height": 78}, "statement": null, "templatePart": false, "children": [
          {"object": "element", "name": "ok", "class": "System.Windows.Controls.Button", "kind": {"value": 1, "name": "ctrlWPFButton"}, "rect": {"left": 108, "top": 131, "width": 75, "height": 23}, "statement": "App.Find(\"ok\")", "templatePart": false, "children": []},
          {"object": "element", "name": null, "class": "System.Windows.Controls.TextBlock", "kind": {"value": 50, "name": "ctrlWPFActTransparent"}, "rect": {"left": 108, "top": 154, "width": 75, "height": 16}, "statement": null, "templatePart": false, "children": []},
          {"object": "element", "name": "check", "class": "System.Windows.Controls.CheckBox", "kind": {"value": 2, "name": "ctrlWPFCheckBox"}, "rect": {"left": 108, "top": 170, "width": 75, "height": 16}, "statement": "App.Find(\"check\")", "templatePart": false, "children": []},
          {"object": "element", "name": "fancy", "class": "Inspect.Tests.Fancy", "kind": {"value": 100, "name": "ctrlWPFBaseCtrl"}, "rect": {"left": 108, "top": 186, "width": 75, "height": 23}, "statement": "App.Find(\"fancy\")", "templatePart": false, "children": []}
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
                                L"(108, 154, 75, 16)\n"})
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

} // namespace
