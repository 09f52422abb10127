// The host's object tree over an application read from XAML: it follows what is on screen (popups that
// open and close, hidden and collapsed elements, unselected tabs, collapsed expanders, virtualized items).
#include "XamlApp.h"

#include "TestSupport.h"
#include "host/services/Host.h"

using namespace simtest;

namespace {

constexpr const wchar_t* kPopupRoot = L"System.Windows.Controls.Primitives.PopupRoot";

class HostTreeTest : public XamlTest {
protected:
    void Attach() {
        host = std::make_unique<ovhost::Host>(ovtest::BinFolder());
        host->Attach(*app);
    }
    void TearDown() override {
        host.reset();
        XamlTest::TearDown();
    }

    static ov::ComPtr<IDispatch> NativeOf(IovHostObject* object) {
        auto native = ov::QueryAs<IovObject>(object);
        ov::ComPtr<IDispatch> d;
        if (native) native->GetNativeObject(d.Put());
        return d;
    }
    static std::vector<ov::ComPtr<IovHostObject>> ChildrenOf(IovHostObject* object) {
        std::vector<ov::ComPtr<IovHostObject>> children;
        LONG count = 0;
        EXPECT_EQ(object->GetChildCount(&count), S_OK);
        for (LONG i = 0; i < count; ++i) {
            ov::ComPtr<IovHostObject> child;
            EXPECT_EQ(object->GetChild(i, child.Put()), S_OK);
            children.push_back(child);
        }
        return children;
    }
    // The walk a popup search makes: the process, its top-level windows, their window element objects.
    std::vector<ov::ComPtr<IovHostObject>> PopupRoots() {
        std::vector<ov::ComPtr<IovHostObject>> found;
        for (auto& top : ChildrenOf(host->ProcessObject().Get()))
            for (auto& window : ChildrenOf(top.Get()))
                if (auto native = NativeOf(window.Get()); native && ClassOf(native.Get()) == kPopupRoot)
                    found.push_back(window);
        return found;
    }
    static bool Valid(IovHostObject* object) {
        VARIANT_BOOL valid = VARIANT_TRUE;
        auto native = ov::QueryAs<IovObject>(object);
        return native && SUCCEEDED(native->IsValid(&valid)) && valid != VARIANT_FALSE;
    }
    bool HasObject(const wchar_t* name) { return host->HostObjectOf(E(name)) != nullptr; }
    ov::ComPtr<IUnknown> Found(const wpfsim::Element& e) {
        ov::ComPtr<IUnknown> object;
        EXPECT_EQ(host->ObjectService()->FindHostObject(nullptr, &e.Id(), object.Put()), S_OK);
        return object;
    }
    void Refresh(const wchar_t* name) {
        auto object = host->HostObjectOf(E(name));
        ASSERT_TRUE(object);
        ASSERT_EQ(object->RefreshChildren(), S_OK);
    }

    std::unique_ptr<ovhost::Host> host;
};

TEST_F(HostTreeTest, PopupWindowEntersTheHostsTreeWhileOpenAndLeavesItWhenClosed) {
    Load(R"(
  <StackPanel>
    <ComboBox x:Name="combo"><ComboBoxItem x:Name="item" Content="Apple"/></ComboBox>
  </StackPanel>)");
    Attach();
    EXPECT_TRUE(PopupRoots().empty());
    auto popup = FindPart(D(L"combo").Get(), L"PART_Popup");
    ASSERT_TRUE(popup);
    Put(popup.Get(), L"IsOpen", ov::Variant::Bool(true));
    auto roots = PopupRoots();
    ASSERT_EQ(roots.size(), 1u);
    ov::ComPtr<IovHostObject> root = roots[0];
    EXPECT_TRUE(Valid(root.Get()));
    EXPECT_TRUE(HasObject(L"item")) << "the open popup's items are on screen";

    Put(popup.Get(), L"IsOpen", ov::Variant::Bool(false));
    EXPECT_TRUE(PopupRoots().empty());
    EXPECT_FALSE(Valid(root.Get())) << "the closed popup's window object answers as gone";
    EXPECT_FALSE(HasObject(L"item"));
}

TEST_F(HostTreeTest, AForeignWindowIsATopLevelWindowOfTheProcessWhoseClassNameCannotBeRead) {
    Load(
        R"(<ComboBox x:Name="combo"><ComboBoxItem x:Name="item" Content="Apple"/></ComboBox>)",
        R"(xmlns:sim="urn:ovwpf-sim" xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" mc:Ignorable="sim" sim:ForeignWindow="True")");
    Attach();
    auto tops = ChildrenOf(host->ProcessObject().Get());
    ASSERT_EQ(tops.size(), 2u) << "the foreign window and the main window";
    auto windows = ChildrenOf(tops[0].Get());
    ASSERT_EQ(windows.size(), 1u);
    auto native = NativeOf(windows[0].Get());
    ASSERT_TRUE(native) << "the host reaches the foreign window's object";
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(Lookup(native.Get(), L"ClrFullClassName", &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(Lookup(native.Get(), L"GetType", &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ClassOf(NativeOf(ChildrenOf(tops[1].Get())[0].Get()).Get()), L"System.Windows.Window");

    // An open popup comes after it: the walk over the windows passes the foreign one.
    Put(D(L"combo").Get(), L"IsDropDownOpen", ov::Variant::Bool(true));
    auto after = ChildrenOf(host->ProcessObject().Get());
    ASSERT_EQ(after.size(), 3u);
    auto first = NativeOf(ChildrenOf(after[0].Get())[0].Get());
    ASSERT_TRUE(first);
    EXPECT_EQ(Lookup(first.Get(), L"ClrFullClassName", &id), DISP_E_UNKNOWNNAME) << "still the first window";
    EXPECT_EQ(PopupRoots().size(), 1u);
    EXPECT_TRUE(HasObject(L"item"));
}

TEST_F(HostTreeTest, ElementsOffScreenHaveNoHostObject) {
    Load(R"(
  <StackPanel>
    <Button x:Name="shown" Content="Shown"/>
    <Button x:Name="collapsed" Content="Collapsed" Visibility="Collapsed"/>
    <Button x:Name="hidden" Content="Hidden" Visibility="Hidden"/>
    <Border Visibility="Collapsed"><Button x:Name="insideCollapsed" Content="Inside"/></Border>
    <TabControl>
      <TabItem Header="One"><Button x:Name="selectedPage" Content="1"/></TabItem>
      <TabItem Header="Two"><Button x:Name="otherPage" Content="2"/></TabItem>
    </TabControl>
    <Expander x:Name="closedExpander" Header="More"><Button x:Name="folded" Content="F"/></Expander>
    <Expander Header="Open" IsExpanded="True"><Button x:Name="unfolded" Content="U"/></Expander>
    <ComboBox><ComboBoxItem x:Name="closedPopupItem" Content="A"/></ComboBox>
  </StackPanel>)");
    Attach();
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"shown", true},           {L"collapsed", false}, {L"hidden", false}, {L"insideCollapsed", false},
        {L"selectedPage", true},    {L"otherPage", false}, {L"folded", false}, {L"unfolded", true},
        {L"closedPopupItem", false}};
    for (auto [name, onScreen] : cases) {
        EXPECT_EQ(HasObject(name), onScreen) << testing::PrintToString(std::wstring(name));
        EXPECT_EQ(Found(E(name)) != nullptr, onScreen) << testing::PrintToString(std::wstring(name));
    }

    // Appearing and leaving: the object comes with a refresh, and an element that leaves takes it along.
    auto shownObject = host->HostObjectOf(E(L"shown"));
    Put(D(L"collapsed").Get(), L"Visibility", ov::Variant::Int(0));
    Put(D(L"shown").Get(), L"Visibility", ov::Variant::Int(2));
    Put(D(L"closedExpander").Get(), L"IsExpanded", ov::Variant::Bool(true));
    Refresh(L"mainWindow");
    EXPECT_TRUE(Found(E(L"collapsed")));
    EXPECT_TRUE(Found(E(L"folded")));
    EXPECT_FALSE(Found(E(L"shown")));
    EXPECT_FALSE(Valid(shownObject.Get()));
}

// Nothing of an element wholly beyond its window's edge is on screen (a toolbar wider than its window, in a
// panel that gives it all the width it asks): it has no object, so a click on it cannot report success.
// One that the edge cuts keeps its object.
TEST_F(HostTreeTest, AnElementBeyondItsWindowsEdgeHasNoHostObject) {
    Load(R"(<StackPanel Orientation="Horizontal">
        <Button x:Name="wide" Content="Wide" Width="250"/><Button x:Name="cut" Content="Cut" Width="100"/>
        <Button x:Name="beyond" Content="Beyond"/></StackPanel>)",
         R"(Width="300")");
    Attach();
    EXPECT_TRUE(HasObject(L"wide"));
    EXPECT_TRUE(HasObject(L"cut"));
    EXPECT_FALSE(HasObject(L"beyond"));
    EXPECT_FALSE(Found(E(L"beyond")));
    E(L"wide").Layout().width = 50;
    E(L"wide").InvalidateLayout();
    app->UpdateLayout();
    Refresh(L"mainWindow");
    EXPECT_TRUE(Found(E(L"beyond"))) << "back inside the window";
}

// --- virtualization -------------------------------------------------------------------------------------

std::string ThousandItems(const char* listAttributes) {
    std::string xaml = std::string(R"(<ListBox x:Name="list" Height="100" )") + listAttributes + ">";
    for (int i = 0; i < 1000; ++i)
        xaml += "<sys:String>Item " + std::to_string(i) + "</sys:String>";
    return xaml + "</ListBox>";
}

int GeneratedCount(IDispatch* list) {
    int count = 0;
    for (int i = 0; i < 1000; ++i)
        count += ContainerAt(list, i) != nullptr;
    return count;
}

// Virtualization on: LayoutTest (ListScrollsByItems); the host's refresh: controls/ListsTest.
TEST_F(HostTreeTest, ListWithVirtualizationOffGeneratesEveryItem) {
    Load(ThousandItems(R"(VirtualizingStackPanel.IsVirtualizing="False")"));
    EXPECT_EQ(GeneratedCount(D(L"list").Get()), 1000);
}

} // namespace
