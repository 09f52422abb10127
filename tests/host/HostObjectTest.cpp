// Host objects as the module reads them and the object service's lookups. The tree's shape, the walk up to
// the window to activate and the extensions by kind of object are shown through the module by the tests of
// its control base (activation, clicks, searches below a parent and among popups).
#include "HostFixture.h"

#include "../wpfsim/XamlApp.h"

using namespace hosttest;

namespace {

class HostObjectTest : public HostTest {
protected:
    ov::ComPtr<IUnknown> FindById(const GUID& id, IUnknown* parent = nullptr) {
        ov::ComPtr<IUnknown> found;
        EXPECT_EQ(Service()->FindHostObject(parent, &id, found.Put()), S_OK);
        return found;
    }
};

TEST_F(HostObjectTest, ObjectServiceFindsAndCreatesTheOneObjectOfAnElement) {
    for (auto* e : {window, panel, ok, cancel, label, tool})
        EXPECT_EQ(Identity(FindById(e->Id()).Get()), Identity(ObjectOf(e).Get()));
    EXPECT_FALSE(FindById(NewGuid()));
    // With a parent, only that parent's subtree is searched.
    EXPECT_TRUE(FindById(ok->Id(), ObjectOf(window).Get()));
    EXPECT_TRUE(FindById(ok->Id(), ObjectOf(ok).Get()));
    EXPECT_FALSE(FindById(ok->Id(), ObjectOf(tool).Get()));
    EXPECT_EQ(Calls("IovObjectService::FindHostObject"), 10);

    ov::ComPtr<IUnknown> made;
    ASSERT_EQ(Service()->CreateObject(&ok->Id(), nullptr, made.Put()), S_OK);
    EXPECT_EQ(Identity(made.Get()), Identity(ObjectOf(ok).Get()));
    // An element the host has not seen yet gets its object now, and is found from then on.
    auto* late = Add(panel, L"System.Windows.Controls.CheckBox", L"late", {20, 90, 120, 110});
    EXPECT_FALSE(FindById(late->Id()));
    ASSERT_EQ(Service()->CreateObject(&late->Id(), nullptr, made.Put()), S_OK);
    EXPECT_EQ(Identity(made.Get()), Identity(FindById(late->Id()).Get()));

    const GUID unknown = NewGuid();
    EXPECT_EQ(Service()->CreateObject(&unknown, nullptr, made.Put()), ovhost::errors::NoElementResult);
    EXPECT_FALSE(made);
    EXPECT_EQ(TakeErrorInfo().description,
              L"There is no object with the identifier " + ovhost::GuidText(unknown) + L".");
}

} // namespace

namespace {

// A tree view's nodes are internal parts of its object: none of their own, a helper for their rectangles.
TEST(HostTreeNodes, NodesHaveNoObjectsAndOnlyTheTreeViewsObjectPlacesThem) {
    std::unique_ptr<wpfsim::Application> app = ovhost::ParseXaml(simtest::WindowXaml(R"(
  <StackPanel>
    <TreeView x:Name="tree"><TreeViewItem x:Name="root" Header="Root" IsExpanded="True">
      <TreeViewItem x:Name="leaf" Header="Leaf"/></TreeViewItem><TreeViewItem x:Name="shut" Header="Shut">
      <TreeViewItem x:Name="hidden" Header="Hidden"/></TreeViewItem></TreeView>
    <Button x:Name="ok" Content="OK"/>
  </StackPanel>)"));
    ovhost::Host host(ovtest::BinFolder());
    host.Attach(*app);
    app->UpdateLayout();
    auto object = [&](const wchar_t* name) {
        ov::ComPtr<IUnknown> made;
        host.ObjectService()->CreateObject(&app->Find(name)->Id(), nullptr, made.Put());
        return made;
    };
    for (const wchar_t* node : {L"root", L"leaf"})
        EXPECT_FALSE(object(node)) << testing::PrintToString(std::wstring(node));
    auto tree = object(L"tree"), ok = object(L"ok");
    ASSERT_TRUE(tree && ok);
    EXPECT_FALSE(ov::QueryAs<IovInternalObjects>(ok.Get()));
    auto internal = ov::QueryAs<IovInternalObjects>(tree.Get());
    ASSERT_TRUE(internal);
    ov::ComPtr<IDispatch> helper;
    ASSERT_EQ(internal->GetHelper(helper.Put()), S_OK);
    auto rect = [&](const wchar_t* name, RECT& r) {
        LONG left = 0, top = 0, width = 0, height = 0;
        HRESULT hr = ov::QueryAs<IovInternalObjectHelper>(helper.Get())
                         ->GetScreenRectOfInternalObject(app->Find(name)->NewDispatch().Get(), &left, &top,
                                                         &width, &height);
        r = {left, top, left + width, top + height};
        return hr;
    };
    RECT r{};
    ASSERT_EQ(rect(L"leaf", r), S_OK);
    EXPECT_TRUE(EqualRect(&r, &app->Find(L"leaf")->Bounds()));
    EXPECT_EQ(rect(L"hidden", r), ovhost::errors::InvisibleResult)
        << "under a collapsed node nothing is shown";
    host.Detach();
}

} // namespace
