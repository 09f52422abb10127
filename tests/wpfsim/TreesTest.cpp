// The visual tree of each control's default template, with WPF's part names and types, beside the logical
// tree that the application declared.
#include "XamlApp.h"

using namespace simtest;

namespace {

// Parts searched below the control's visual tree and inside its popups' children (a closed popup shows
// nothing, but its "Child" is there).
ov::ComPtr<IDispatch> FindTemplatePart(IDispatch* d, const std::wstring& name,
                                       const std::wstring& className) {
    for (auto& child : VisualChildren(d)) {
        if (!child) continue;
        const bool nameMatches = name.empty() || NameOf(child.Get()) == name;
        if (nameMatches && ClassOf(child.Get()) == className) return child;
        if (auto found = FindTemplatePart(child.Get(), name, className)) return found;
        if (ClassOf(child.Get()) == L"System.Windows.Controls.Primitives.Popup")
            if (auto popupChild = GetObject(child.Get(), L"Child")) {
                if (NameOf(popupChild.Get()) == name && ClassOf(popupChild.Get()) == className)
                    return popupChild;
                if (auto found = FindTemplatePart(popupChild.Get(), name, className)) return found;
            }
    }
    return nullptr;
}

struct Part {
    const wchar_t* name; // empty: any name
    const wchar_t* className;
    // The class of the templated parent when it is not the control (a part of a presenter's template).
    const wchar_t* templatedBy = nullptr;
};

struct Template {
    const char* control;
    const char* xaml;
    std::vector<Part> parts;
};

const Template kTemplates[] = {
    {"Button",
     R"(<Button x:Name="control" Content="OK"/>)",
     {{L"", L"System.Windows.Controls.Border"},
      {L"", L"System.Windows.Controls.ContentPresenter"},
      {L"", L"System.Windows.Controls.TextBlock", L"System.Windows.Controls.ContentPresenter"}}},
    {"TextBox",
     R"(<TextBox x:Name="control" Text="abc"/>)",
     {{L"PART_ContentHost", L"System.Windows.Controls.ScrollViewer"}}},
    {"ListBox",
     R"(<ListBox x:Name="control" Height="80"><ListBoxItem Content="a"/></ListBox>)",
     {{L"", L"System.Windows.Controls.Border"},
      {L"", L"System.Windows.Controls.ScrollViewer"},
      {L"", L"System.Windows.Controls.ItemsPresenter"},
      {L"", L"System.Windows.Controls.VirtualizingStackPanel"}}},
    {"TreeViewItem",
     R"(<TreeView><TreeViewItem x:Name="control" Header="Root"><TreeViewItem Header="Leaf"/></TreeViewItem></TreeView>)",
     {{L"Expander", L"System.Windows.Controls.Primitives.ToggleButton"},
      {L"PART_Header", L"System.Windows.Controls.ContentPresenter"},
      {L"ItemsHost", L"System.Windows.Controls.ItemsPresenter"}}},
    {"ComboBox",
     R"(<ComboBox x:Name="control"><ComboBoxItem Content="a"/></ComboBox>)",
     {{L"", L"System.Windows.Controls.Primitives.ToggleButton"},
      {L"", L"System.Windows.Controls.ContentPresenter"},
      {L"PART_Popup", L"System.Windows.Controls.Primitives.Popup"}}},
    {"ToolBar",
     R"(<ToolBar x:Name="control"><Button Content="Cut"/><Button Content="Copy" ToolBar.OverflowMode="Always"/></ToolBar>)",
     {{L"PART_ToolBarPanel", L"System.Windows.Controls.Primitives.ToolBarPanel"},
      {L"OverflowButton", L"System.Windows.Controls.Primitives.ToggleButton"},
      {L"OverflowPopup", L"System.Windows.Controls.Primitives.Popup"},
      {L"PART_ToolBarOverflowPanel", L"System.Windows.Controls.Primitives.ToolBarOverflowPanel"}}},
    {"MenuItem",
     R"(<Menu><MenuItem x:Name="control" Header="_File"><MenuItem Header="_Open"/></MenuItem></Menu>)",
     {{L"PART_Popup", L"System.Windows.Controls.Primitives.Popup"}}},
    {"TabControl",
     R"(<TabControl x:Name="control"><TabItem Header="One"><TextBlock Text="1"/></TabItem></TabControl>)",
     {{L"", L"System.Windows.Controls.Primitives.TabPanel"},
      {L"PART_SelectedContentHost", L"System.Windows.Controls.ContentPresenter"}}},
};

class TemplateTest : public XamlTest, public testing::WithParamInterface<Template> {};

TEST_P(TemplateTest, PartsStandInTheVisualTreeTemplatedByTheControl) {
    const Template& t = GetParam();
    Load(t.xaml);
    auto control = D(L"control");
    for (const Part& part : t.parts) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(part.name)) + " " +
                     testing::PrintToString(std::wstring(part.className)));
        auto found = FindTemplatePart(control.Get(), part.name, part.className);
        ASSERT_TRUE(found) << "part missing";
        auto templated = GetObject(found.Get(), L"TemplatedParent");
        if (part.templatedBy)
            EXPECT_EQ(ClassOf(templated.Get()), part.templatedBy);
        else
            EXPECT_TRUE(Same(templated.Get(), control.Get(), control.Get()));
        // Up the visual parents from the part, the control comes before any window (a popup's child
        // leads through its PopupRoot only once the popup is open).
        if (GetBool(found.Get(), L"IsVisible")) {
            ov::ComPtr<IDispatch> up = GetObject(found.Get(), L"get_VisualParent");
            while (up && !Same(up.Get(), control.Get(), control.Get()))
                up = GetObject(up.Get(), L"get_VisualParent");
            EXPECT_TRUE(up) << "the control is not among the part's visual ancestors";
        }
    }
    // The control's own visual children are its template's root; the template root has no logical parent.
    auto roots = VisualChildren(control.Get());
    ASSERT_EQ(roots.size(), 1u);
    EXPECT_TRUE(Same(GetObject(roots[0].Get(), L"TemplatedParent").Get(), control.Get(), control.Get()));
    EXPECT_FALSE(GetObject(roots[0].Get(), L"Parent"));
    EXPECT_TRUE(Same(GetObject(roots[0].Get(), L"get_VisualParent").Get(), control.Get(), control.Get()));
}

INSTANTIATE_TEST_SUITE_P(Controls, TemplateTest, testing::ValuesIn(kTemplates),
                         [](const testing::TestParamInfo<Template>& info) {
                             return std::string(info.param.control);
                         });

TEST_F(XamlTest, ContentElementIsALogicalChildShownByTheTemplatesPresenter) {
    Load(R"(
  <StackPanel x:Name="panel">
    <Button x:Name="button"><TextBlock x:Name="inner" Text="Hi"/></Button>
    <TabControl x:Name="tabs">
      <TabItem x:Name="tab">
        <TabItem.Header><TextBlock x:Name="header" Text="Page"/></TabItem.Header>
        <Border x:Name="page" Height="20"/>
      </TabItem>
    </TabControl>
  </StackPanel>)");
    auto button = D(L"button"), inner = D(L"inner");
    EXPECT_TRUE(Same(GetObject(button.Get(), L"Content").Get(), inner.Get(), button.Get()));
    for (const wchar_t* parent : {L"Parent", L"get_Parent"})
        EXPECT_TRUE(Same(GetObject(inner.Get(), parent).Get(), button.Get(), button.Get()))
            << testing::PrintToString(std::wstring(parent));
    auto presenter = GetObject(inner.Get(), L"get_VisualParent");
    EXPECT_EQ(ClassOf(presenter.Get()), L"System.Windows.Controls.ContentPresenter");
    EXPECT_TRUE(Same(GetObject(presenter.Get(), L"TemplatedParent").Get(), button.Get(), button.Get()));
    EXPECT_FALSE(GetObject(inner.Get(), L"TemplatedParent")) << "content is not a template part";
    EXPECT_TRUE(Same(GetObject(button.Get(), L"Parent").Get(), D(L"panel").Get(), button.Get()));

    // A tab's header element and its content: logical children of the tab item; the content is shown by
    // the tab control's selected content host.
    auto tab = D(L"tab"), header = D(L"header"), page = D(L"page");
    EXPECT_TRUE(Same(GetObject(tab.Get(), L"Header").Get(), header.Get(), tab.Get()));
    EXPECT_TRUE(Same(GetObject(header.Get(), L"Parent").Get(), tab.Get(), tab.Get()));
    EXPECT_TRUE(Same(GetObject(page.Get(), L"Parent").Get(), tab.Get(), tab.Get()));
    auto host = FindPart(D(L"tabs").Get(), L"PART_SelectedContentHost");
    ASSERT_TRUE(host);
    EXPECT_TRUE(Same(GetObject(page.Get(), L"get_VisualParent").Get(), host.Get(), tab.Get()));
    EXPECT_TRUE(Same(GetObject(tab.Get(), L"Parent").Get(), D(L"tabs").Get(), tab.Get()));
}

TEST_F(XamlTest, TextBoxAndListBoxNameTheirHostsAsWpfDoes) {
    Load(R"(
  <StackPanel>
    <TextBox x:Name="input" Text="abc"/>
    <ListBox x:Name="list" Height="100">
      <ListBoxItem x:Name="a" Content="A"/>
      <sys:String>B</sys:String>
    </ListBox>
  </StackPanel>)");
    auto input = D(L"input");
    EXPECT_TRUE(Same(GetObject(input.Get(), L"ScrollViewer").Get(),
                     FindPart(input.Get(), L"PART_ContentHost").Get(), input.Get()));

    auto list = D(L"list");
    auto viewer = GetObject(list.Get(), L"get_ScrollHost");
    EXPECT_EQ(ClassOf(viewer.Get()), L"System.Windows.Controls.ScrollViewer");
    EXPECT_TRUE(Same(viewer.Get(), FindOfClass(list.Get(), L"System.Windows.Controls.ScrollViewer").Get(),
                     list.Get()));
    auto panel = GetObject(list.Get(), L"get_ItemsHost");
    EXPECT_EQ(ClassOf(panel.Get()), L"System.Windows.Controls.VirtualizingStackPanel");
    // The panel's children are the containers (ItemsTest: their parents); past the end, WPF's exception.
    auto children = GetObject(panel.Get(), L"get_InternalChildren");
    ASSERT_EQ(GetNumber(children.Get(), L"Count"), 2);
    EXPECT_TRUE(Same(AsObject(Call(children.Get(), L"get_Item", {ov::Variant::Int(0)}).value).Get(),
                     D(L"a").Get(), list.Get()));
    EXPECT_TRUE(Same(GetObject(D(L"a").Get(), L"Parent").Get(), list.Get(), list.Get()))
        << "a declared container's logical parent is the list";
    EXPECT_EQ(Call(children.Get(), L"get_Item", {ov::Variant::Int(2)}).scode, static_cast<SCODE>(0x80131502));
}

TEST_F(XamlTest, OpenPopupsChildLivesInAPopupRootWhoseChainLeadsBackToTheControl) {
    Load(R"(<ComboBox x:Name="combo"><ComboBoxItem x:Name="item" Content="a"/></ComboBox>)");
    auto combo = D(L"combo");
    auto popup = FindPart(combo.Get(), L"PART_Popup");
    ASSERT_TRUE(popup);
    EXPECT_FALSE(GetBool(popup.Get(), L"IsOpen"));
    EXPECT_FALSE(GetBool(D(L"item").Get(), L"IsVisible"));
    EXPECT_EQ(GetNumber(popup.Get(), L"get_VisualChildrenCount"), 0) << "a popup shows its child elsewhere";
    ASSERT_EQ(Put(popup.Get(), L"IsOpen", ov::Variant::Bool(true)).hr, S_OK);
    EXPECT_TRUE(GetBool(combo.Get(), L"IsDropDownOpen"));
    EXPECT_TRUE(GetBool(D(L"item").Get(), L"IsVisible"));
    auto child = GetObject(popup.Get(), L"Child");
    // Up the visual tree from the child: a window of its own, whose root is a PopupRoot.
    ov::ComPtr<IDispatch> root = child;
    while (auto up = GetObject(root.Get(), L"get_VisualParent"))
        root = up;
    EXPECT_EQ(ClassOf(root.Get()), L"System.Windows.Controls.Primitives.PopupRoot");
    EXPECT_TRUE(Same(GetObject(child.Get(), L"Parent").Get(), popup.Get(), popup.Get()));
    // The logical chain from the item leads back to the combo box.
    auto up = D(L"item");
    int steps = 0;
    while (up && !Same(up.Get(), combo.Get(), combo.Get()) && steps++ < 20)
        up = GetObject(up.Get(), L"Parent");
    EXPECT_TRUE(up) << "the item's logical parents miss the combo box";
}

} // namespace

namespace {

// Tree nodes as WPF has them: containers of data items only once their node is expanded, one selected node
// per tree, and the reactions of a node to presses on its header and on its expander.
class TreeViewTest : public XamlTest {
protected:
    void SetUp() override {
        Load(R"(
  <TreeView x:Name="tree" Height="200">
    <TreeViewItem x:Name="root" Header="Root">
      <TreeViewItem x:Name="child" Header="Child" IsSelected="True"/>
      <sys:String>Data</sys:String>
    </TreeViewItem>
    <TreeViewItem x:Name="other" Header="Other"/>
  </TreeView>)");
    }
    ov::ComPtr<IDispatch> Container(const wchar_t* parent, ov::Variant item) {
        auto generator = GetObject(D(parent).Get(), L"ItemContainerGenerator");
        return AsObject(Call(generator.Get(), L"ContainerFromItem", {std::move(item)}).value);
    }
    POINT PartCentre(const wchar_t* node, const wchar_t* part) {
        return CentreOf(FindPart(D(node).Get(), part).Get());
    }
};

TEST_F(TreeViewTest, ContainersOfANodesItemsExistOnlyOnceItWasExpanded) {
    EXPECT_FALSE(Container(L"root", ov::Variant::String(L"Data"))) << "collapsed: nothing generated";
    EXPECT_FALSE(Container(L"root", ov::Variant::Dispatch(D(L"child").Get()))) << "nor realized";
    EXPECT_FALSE(GetBool(D(L"child").Get(), L"IsVisible"));
    ASSERT_EQ(Put(D(L"root").Get(), L"IsExpanded", ov::Variant::Bool(true)).hr, S_OK);
    app->UpdateLayout();
    auto data = Container(L"root", ov::Variant::String(L"Data"));
    ASSERT_TRUE(data);
    EXPECT_EQ(ClassOf(data.Get()), L"System.Windows.Controls.TreeViewItem");
    EXPECT_EQ(GetText(data.Get(), L"Header"), L"Data");
    EXPECT_TRUE(Same(Container(L"root", ov::Variant::Dispatch(D(L"child").Get())).Get(), D(L"child").Get(),
                     data.Get()));
    // Collapsing keeps what was generated.
    ASSERT_EQ(Put(D(L"root").Get(), L"IsExpanded", ov::Variant::Bool(false)).hr, S_OK);
    app->UpdateLayout();
    EXPECT_TRUE(Same(Container(L"root", ov::Variant::String(L"Data")).Get(), data.Get(), data.Get()));
}

TEST_F(TreeViewTest, OneNodePerTreeIsSelectedAndPressesActOnTheHeaderOrTheExpander) {
    ASSERT_EQ(Put(D(L"root").Get(), L"IsExpanded", ov::Variant::Bool(true)).hr, S_OK);
    app->UpdateLayout();
    auto selected = [&] {
        std::wstring names;
        for (const wchar_t* n : {L"root", L"child", L"other"})
            if (GetBool(D(n).Get(), L"IsSelected")) names += n;
        return names;
    };
    EXPECT_EQ(selected(), L"child");
    ASSERT_EQ(Put(D(L"other").Get(), L"IsSelected", ov::Variant::Bool(true)).hr, S_OK);
    EXPECT_EQ(selected(), L"other");

    const struct {
        const char* what;
        const wchar_t* node;
        const wchar_t* part;
        wpfsim::MouseClick click;
        const wchar_t* selectedAfter;
        bool rootExpandedAfter;
    } presses[] = {
        // Presses on a header (left selects, right and middle do not, a double click toggles): trees.js.
        // The expander toggles its node without selecting it.
        {"press on the expander", L"root", L"Expander", {}, L"other", false},
        {"press on the expander again", L"root", L"Expander", {}, L"other", true},
        {"left press on a child's header", L"child", L"PART_Header", {}, L"child", true},
        {"double click on the expander",
         L"root",
         L"Expander",
         {wpfsim::MouseButton::Left, true},
         L"child",
         true},
    };
    for (const auto& p : presses) {
        SCOPED_TRACE(p.what);
        app->Click(PartCentre(p.node, p.part), p.click);
        EXPECT_EQ(selected(), p.selectedAfter);
        EXPECT_EQ(GetBool(D(L"root").Get(), L"IsExpanded"), p.rootExpandedAfter);
        app->UpdateLayout();
    }
}

} // namespace
