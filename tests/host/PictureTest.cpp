// The picture of what a script drives (picture/Picture.h): its size and origin, texts where elements show
// them and escaped for XML, labels of the controls a script reaches, popups; and `run --picture`, taken at
// the first error or at the end. tests/scripts/check-picture.sh renders pictures with a real renderer.
#include "AppSession.h"

#include "host/app/ByName.h"
#include "host/cli/Inspect.h"
#include "wpfsim/Framework.h"
#include "wpfsim/TextBlock.h"

#include <fstream>
#include <sstream>

using namespace hosttest;

namespace {

const char* const kApp = R"(<Window xmlns="http://schemas.microsoft.com/winfx/2006/xaml/presentation"
        xmlns:x="http://schemas.microsoft.com/winfx/2006/xaml"
        x:Name="main" Title="Picture &amp; co">
  <StackPanel x:Name="panel">
    <Button x:Name="ok" Content="OK"/>
    <Button Content="Unnamed"/>
    <TextBlock x:Name="note" Text="a &lt;b&gt; &amp; &quot;c&quot;"/>
    <TextBlock Text="hidden" Visibility="Collapsed"/>
    <ListBox x:Name="list" Height="40">
      <ListBox.ContextMenu><ContextMenu><MenuItem Header="Copy all"/></ContextMenu></ListBox.ContextMenu>
      <ListBoxItem Content="one"/>
    </ListBox>
    <ComboBox x:Name="combo"><ComboBoxItem Content="first choice"/><ComboBoxItem Content="second choice"/></ComboBox>
  </StackPanel>
</Window>
)";

std::wstring Size(const RECT& r) {
    return L"width=\"" + std::to_wstring(r.right - r.left) + L"\" height=\"" +
           std::to_wstring(r.bottom - r.top) + L"\"";
}

TEST(PictureTest, TheWindowAsLaidOutWithItsTextsAndLabels) {
    AppSession session(kApp);
    // What XML cannot hold shows as U+FFFD.
    dynamic_cast<wpfsim::TextBlock&>(session[L"note"]).SetText(L"a <b> & \"c\" \x0001 \xD800.");
    const std::wstring svg = ovhost::PictureOf(session.host, *session.app);
    const RECT window = session[L"main"].Bounds();
    EXPECT_TRUE(svg.starts_with(
        L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" " +
        Size(window) + L" viewBox=\"0 0 " + std::to_wstring(window.right - window.left) + L" " +
        std::to_wstring(window.bottom - window.top) + L"\""))
        << Narrow(svg.substr(0, 200));
    EXPECT_TRUE(svg.ends_with(L"</svg>\n"));
    for (const wchar_t* part :
         {L"<title>Picture &amp; co</title>", L">Picture &amp; co</text>", L">OK</text>", L">Unnamed</text>",
          L">a &lt;b&gt; &amp; &quot;c&quot; \xFFFD \xFFFD.</text>", L"<title>ok: ctrlWPFButton</title>",
          L">ok \x00B7 Button</text>", L">combo \x00B7 ComboBox</text>", L">list \x00B7 ListBox</text>",
          L">one</text>"})
        EXPECT_EQ(Count(svg, part), 1u) << Narrow(part);
    // No label for an unnamed control or a panel; nothing of what is collapsed or in a closed popup.
    for (const wchar_t* part :
         {L"Unnamed \x00B7", L"panel \x00B7", L">hidden<", L"first choice", L"Copy all"})
        EXPECT_EQ(Count(svg, part), 0u) << Narrow(part);
    // The list's items are cut at its viewport.
    EXPECT_EQ(Count(svg, L"<g clip-path="), 1u);
}

TEST(PictureTest, OpenPopupsShowAtTheirPlacesAndWidenThePicture) {
    AppSession session(kApp);
    ASSERT_TRUE(ovhost::ByName(session.Object(L"combo").Get(), L"DropDown"));
    ASSERT_EQ(session.app->OpenPopups().size(), 1u);
    const std::wstring svg = ovhost::PictureOf(session.host, *session.app);
    for (const wchar_t* part : {L">first choice</text>", L">second choice</text>"})
        EXPECT_EQ(Count(svg, part), 1u) << Narrow(part);
    // The drop-down's window (and its shadow) reach below the window: the picture grows, its origin stays.
    const RECT window = session[L"main"].Bounds();
    const RECT popup = session.app->Roots().back()->Bounds();
    ASSERT_GT(popup.bottom, window.bottom);
    const RECT all{window.left, window.top, std::max(window.right, popup.right + 3), popup.bottom + 3};
    EXPECT_NE(svg.find(Size(all) + L" viewBox=\"0 0 "), std::wstring::npos) << Narrow(svg.substr(0, 200));
}

std::wstring ReadUtf8(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    const std::string utf8 = bytes.str();
    std::wstring text(utf8.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), static_cast<int>(text.size()))));
    return text;
}

TEST(PictureTest, RunDrawsTheApplicationAtTheFirstErrorOrAtTheEnd) {
    TempFolder folder;
    const std::wstring app = folder.Write(L"app.xaml", kApp);
    // The context menu is open when the first error is logged, and closed at the end.
    const std::wstring failing = folder.Write(L"failing.js", "User.RightClick(\"list\");\n"
                                                             "App.Find(\"list\").ClickItem(\"nothing\");\n"
                                                             "App.Find(\"ok\").ClickButton();\n"
                                                             "App.Find(\"list\").ClickItem(\"none\");\n");
    const std::wstring passing = folder.Write(L"passing.js", "User.RightClick(\"list\");\n"
                                                             "App.Find(\"ok\").ClickButton();\n");
    const std::wstring picture = folder.Path(L"picture.svg");
    Output r = RunProgram({L"run", L"--picture", picture, app, failing});
    EXPECT_EQ(r.code, ovhost::ExitFailed) << Narrow(r.out) << Narrow(r.err);
    std::wstring svg = ReadUtf8(picture);
    EXPECT_EQ(Count(svg, L">Copy all</text>"), 1u) << Narrow(svg);

    r = RunProgram({L"run", L"--picture", picture, app, passing});
    EXPECT_EQ(r.code, ovhost::ExitOk) << Narrow(r.out) << Narrow(r.err);
    svg = ReadUtf8(picture);
    EXPECT_TRUE(svg.ends_with(L"</svg>\n"));
    EXPECT_EQ(Count(svg, L"Copy all"), 0u);

    // A script that fails is drawn as it failed.
    const std::wstring throwing =
        folder.Write(L"throwing.js", "User.RightClick(\"list\");\nthrow new Error(\"stop\");\n");
    r = RunProgram({L"run", L"--picture", picture, app, throwing});
    EXPECT_EQ(r.code, ovhost::ExitScriptFailed);
    EXPECT_EQ(Count(ReadUtf8(picture), L">Copy all</text>"), 1u);

    // A picture that cannot be written is an error of the run.
    r = RunProgram({L"run", L"--picture", folder.Path(L"none\\picture.svg"), app, passing});
    EXPECT_EQ(r.code, ovhost::ExitFailed);
    EXPECT_NE(
        r.out.find(L"[error] The picture cannot be written to " + folder.Path(L"none\\picture.svg") + L"."),
        std::wstring::npos)
        << Narrow(r.out);
    r = RunProgram({L"run", L"--picture", passing, app, passing});
    EXPECT_EQ(r.code, ovhost::ExitUsage);
    EXPECT_NE(r.err.find(L"the picture " + passing + L" is one of the run's inputs"), std::wstring::npos)
        << Narrow(r.err);
}

} // namespace
