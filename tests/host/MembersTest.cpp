// OVHookX64 members: rows of the reference against the type libraries' declarations, the objects the
// members hand out against the objects the module really gives, and the choice of a kind.
// tests/scripts/check-members.sh keeps docs/members.md equal to the command's output.
#include "AppSession.h"

#include "host/app/ByName.h"
#include "host/cli/Members.h"

#include <functional>

using namespace hosttest;

namespace {

Output Members(std::vector<std::wstring> arguments = {}) {
    arguments.insert(arguments.begin(), L"members");
    return RunProgram(std::move(arguments));
}

// The section of a kind, or of an interface, in the reference: from its heading to the next of its level.
std::wstring Section(const std::wstring& text, const std::wstring& heading) {
    const size_t start = text.find(L"\n" + heading + L"\n");
    if (start == std::wstring::npos) return {};
    const std::wstring level = heading.substr(0, heading.find(L' ') + 1);
    const size_t end = text.find(L"\n" + level, start + 1);
    return text.substr(start + 1, end == std::wstring::npos ? std::wstring::npos : end - start);
}

// Each row of the reference stands in docs/members.md, which check-members.sh keeps equal to the output.
TEST(MembersTest, KindsListTheirInterfacesInTheOrderNamesResolve) {
    const Output all = Members();
    ASSERT_EQ(all.code, ovhost::ExitOk) << Narrow(all.err);
    // The list view's own interface only inherits the list box's members, which come first.
    const std::wstring listView = Section(all.out, L"## ctrlWPFListView (21)");
    EXPECT_NE(
        listView.find(L"`App.Find` gives an object with the members of IovWPFScrollHelper, IovWPFListBox, "
                      L"IovWPFControl, IovWPFListView, in this order."),
        std::wstring::npos)
        << Narrow(listView);
    const std::wstring own = Section(listView, L"### IovWPFListView");
    EXPECT_NE(own.find(L"Inherits the members of IovWPFListBox (listed with it).\n\nNo members of its own."),
              std::wstring::npos)
        << Narrow(own);
    for (const wchar_t* kind : {L"## ctrlWPFComboBoxItem (4)", L"## ctrlWPFActTransparent (50)"})
        EXPECT_NE(Section(all.out, kind).find(L"No automation object: `App.Find` gives null"),
                  std::wstring::npos);
    EXPECT_NE(Section(all.out, L"## ctrlWPFBaseCtrl (100)").find(L"with the members of IovWPFControl."),
              std::wstring::npos);
    // Every object a member hands out is described once, below the kinds, with who hands it out.
    const std::wstring given = Section(all.out, L"## Objects that members hand out");
    for (const wchar_t* heading :
         {L"### IovWin32Menu\n", L"### IovWin32MenuItem\n", L"### IovWPFHelperScrollBar\n",
          L"### IovWPFTreeViewItemCollection\n", L"### IovWPFTreeViewItem\n"})
        EXPECT_EQ(Count(given, heading), 1u) << Narrow(heading);
    EXPECT_NE(
        given.find(L"Handed out by IovWPFControl.PopupMenu, IovWPFMenu.WPFMenu, IovWin32MenuItem.SubMenu."),
        std::wstring::npos);
}

// What each member of the table hands out, from the objects the module gives for a small application.
TEST(MembersTest, HandedOutObjectsAreTheInterfacesTheTableNames) {
    AppSession session(R"(<Window xmlns="http://schemas.microsoft.com/winfx/2006/xaml/presentation"
        xmlns:x="http://schemas.microsoft.com/winfx/2006/xaml" x:Name="main" Title="Members">
  <StackPanel>
    <Menu x:Name="menu"><MenuItem Header="File"><MenuItem Header="Open"/></MenuItem></Menu>
    <ListBox x:Name="list" Height="40">
      <ListBox.ContextMenu><ContextMenu><MenuItem Header="Copy"/></ContextMenu></ListBox.ContextMenu>
      <ListBoxItem Content="a"/>
    </ListBox>
    <TreeView x:Name="tree"><TreeViewItem Header="Root"><TreeViewItem Header="Leaf"/></TreeViewItem></TreeView>
  </StackPanel>
</Window>)");
    using ovhost::ObjectByName;
    using Get = std::function<ov::ComPtr<IDispatch>()>;
    auto first = [](ov::ComPtr<IDispatch> object, const wchar_t* member) {
        return ObjectByName(object.Get(), member, {ov::Variant::Int(0)});
    };
    const std::map<std::pair<std::wstring, std::wstring>, Get> recipes = {
        {{L"IovWPFControl", L"PopupMenu"},
         [&] { return ObjectByName(session.Object(L"list").Get(), L"PopupMenu"); }},
        {{L"IovWPFMenu", L"WPFMenu"},
         [&] { return ObjectByName(session.Object(L"menu").Get(), L"WPFMenu"); }},
        {{L"IovWPFScrollHelper", L"HScroll"},
         [&] { return ObjectByName(session.Object(L"list").Get(), L"HScroll"); }},
        {{L"IovWPFScrollHelper", L"VScroll"},
         [&] { return ObjectByName(session.Object(L"list").Get(), L"VScroll"); }},
        {{L"IovWPFTreeView", L"wItems"},
         [&] { return ObjectByName(session.Object(L"tree").Get(), L"wItems"); }},
        {{L"IovWPFTreeViewItemCollection", L"Item"},
         [&] { return first(ObjectByName(session.Object(L"tree").Get(), L"wItems"), L"Item"); }},
        {{L"IovWPFTreeViewItem", L"Items"},
         [&] {
             return ObjectByName(first(ObjectByName(session.Object(L"tree").Get(), L"wItems"), L"Item").Get(),
                                 L"Items");
         }},
        {{L"IovWin32Menu", L"Items"},
         [&] { return first(ObjectByName(session.Object(L"menu").Get(), L"WPFMenu"), L"Items"); }},
        {{L"IovWin32MenuItem", L"SubMenu"},
         [&] {
             return ObjectByName(
                 first(ObjectByName(session.Object(L"menu").Get(), L"WPFMenu"), L"Items").Get(), L"SubMenu");
         }},
    };
    for (const ovhost::HandOut& handOut : ovhost::HandOuts()) {
        SCOPED_TRACE(Narrow(std::wstring(handOut.owner) + L"." + handOut.member));
        auto recipe = recipes.find({handOut.owner, handOut.member});
        ASSERT_NE(recipe, recipes.end()) << "the test cannot make this object";
        ov::ComPtr<IDispatch> object = recipe->second();
        ASSERT_TRUE(object);
        const auto interfaces = ovhost::InterfacesOf(*object);
        ASSERT_EQ(interfaces.size(), 1u);
        EXPECT_EQ(interfaces[0].name, handOut.gives);
    }
}

TEST(MembersTest, AKindByNameOrValueAndWrongCommandLines) {
    const Output byName = Members({L"ctrlWPFListBox"});
    ASSERT_EQ(byName.code, ovhost::ExitOk) << Narrow(byName.err);
    EXPECT_EQ(Members({L"7"}).out, byName.out);
    EXPECT_EQ(Members({L"CTRLWPFLISTBOX"}).out, byName.out);
    // One kind, and the objects its members hand out; the same section as in the whole reference.
    EXPECT_EQ(Count(byName.out, L"\n## "), 2u);
    const std::wstring section = Section(byName.out, L"## ctrlWPFListBox (7)");
    EXPECT_FALSE(section.empty());
    EXPECT_EQ(Section(Members().out, L"## ctrlWPFListBox (7)"), section);
    EXPECT_NE(byName.out.find(L"\n### IovWin32MenuItem\n"), std::wstring::npos);
    EXPECT_EQ(byName.out.find(L"\n### IovWPFTreeViewItem\n"), std::wstring::npos);

    const std::tuple<std::vector<std::wstring>, int, std::wstring> cases[] = {
        {{L"ctrlWPFNothing"},
         ovhost::ExitUsage,
         L"OVHookX64 members: unknown kind 'ctrlWPFNothing': give a WPFControlType name such as "
         L"ctrlWPFListBox, "
         L"or its value.\n"},
        {{L"42"}, ovhost::ExitUsage, L"OVHookX64 members: unknown kind '42'"},
        {{L"0"}, ovhost::ExitUsage, L"OVHookX64 members: unknown kind '0'"},
        {{L"1", L"2"}, ovhost::ExitUsage, L"OVHookX64 members: wrong number of arguments."},
    };
    for (const auto& [arguments, code, err] : cases) {
        SCOPED_TRACE(Narrow(arguments.front()));
        const Output r = Members(arguments);
        EXPECT_EQ(r.code, code);
        EXPECT_EQ(r.err.substr(0, err.size()), err);
        EXPECT_TRUE(r.out.empty());
    }
}

} // namespace
