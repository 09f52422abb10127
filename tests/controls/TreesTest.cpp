// The tree view's nodes as the host meets them: the on-screen object a click is made on, the rectangle the
// node reports for it, the objects' interfaces and their script syntax. What a script sees of the tree view
// is in tests/members/trees.table.
#include "ControlFixture.h"

#include "controls/Trees.h"
#include "host/services/Services.h"
#include "wpfsim/TreeView.h"

#include <string>

namespace {

using namespace ovtest;
using ovhost::LogEntry;
using Log = std::vector<LogEntry>;

const wchar_t* const kTreeViewClass = L"System.Windows.Controls.TreeView";
const wchar_t* const kTreeViewItemClass = L"System.Windows.Controls.TreeViewItem";

ov::ComPtr<IDispatch> ObjectOf(const Result& r) {
    return ov::ComPtr<IDispatch>(r.value.vt == VT_DISPATCH ? r.value.pdispVal : nullptr);
}

// The child named so in an element's visual tree, depth first.
wpfsim::Element* PartOf(wpfsim::Element& element, std::wstring_view name) {
    for (wpfsim::Element* child : element.Children()) {
        if (child->Name() == name) return child;
        if (wpfsim::Element* found = PartOf(*child, name)) return found;
    }
    return nullptr;
}

// Root (expanded) holds Child; Colours (collapsed) holds two strings that have no containers yet.
class TreesTest : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        tree_ = &App().Add<wpfsim::TreeView>(&MainWindow(), kTreeViewClass, L"tree");
        tree_->SetBounds({20, 30, 220, 230});
        root_ = &App().Add<wpfsim::TreeViewItem>(tree_, kTreeViewItemClass, L"root");
        root_->SetHeader(L"Root");
        child_ = &App().Add<wpfsim::TreeViewItem>(root_, kTreeViewItemClass, L"child");
        child_->SetHeader(L"Child");
        root_->SetExpanded(true);
        auto& colours = App().Add<wpfsim::TreeViewItem>(tree_, kTreeViewItemClass, L"colours");
        colours.SetHeader(L"Colours");
        colours.AddDataItem(ov::Variant::String(L"Red"), L"System.String");
        Attach();
        App().UpdateLayout();
    }
    ov::ComPtr<IDispatch> Node(const ov::ComPtr<IDispatch>& wrapper, const wchar_t* path) {
        auto items = ObjectOf(Get(wrapper.Get(), L"wItems"));
        EXPECT_TRUE(items);
        Result node = simtest::InvokeName(items.Get(), L"Item", DISPATCH_PROPERTYGET, {Str(path)});
        EXPECT_EQ(node.hr, S_OK) << testing::PrintToString(std::wstring(path));
        return ObjectOf(node);
    }

    wpfsim::TreeView* tree_ = nullptr;
    wpfsim::TreeViewItem* root_ = nullptr;
    wpfsim::TreeViewItem* child_ = nullptr;
};

TEST_F(TreesTest, AClickOnANodeIsMadeOnTheHostsObjectForItsHeaderRectangle) {
    auto wrapper = WrapElement<CovWPFCtrlTreeView>(*tree_).As<IDispatch>();
    auto node = Node(wrapper, L"Root|Child");
    ASSERT_TRUE(node);
    wpfsim::Element* header = PartOf(*child_, L"PART_Header");
    ASSERT_NE(header, nullptr);
    const RECT h = header->Bounds(), t = tree_->Bounds();

    // The rectangle the host receives: the header's, relative to the tree view's object (the first object
    // up from the tree view that answers the window interface), in the window of the tree view's object.
    auto part = ov::QueryAs<IovWin32CtrlStdActionsWindow>(node.Get());
    ASSERT_TRUE(part);
    RECT rect{};
    VARIANT_BOOL placed = VARIANT_FALSE;
    ASSERT_EQ(part->GetRectangle(&rect, &placed), S_OK);
    EXPECT_EQ(placed, VARIANT_TRUE);
    EXPECT_EQ(rect.left, h.left - t.left);
    EXPECT_EQ(rect.top, h.top - t.top);
    EXPECT_EQ(rect.right - rect.left, h.right - h.left);
    EXPECT_EQ(rect.bottom - rect.top, h.bottom - h.top);
    HWND window = nullptr, expected = nullptr;
    ASSERT_EQ(part->GetOwnerWindow(&window), S_OK);
    ov::ComPtr<IUnknown> treeObject;
    Host().ObjectService()->FindHostObject(nullptr, &tree_->Id(), treeObject.Put());
    ov::QueryAs<IovNativeWindow>(treeObject.Get())->GetWindowHandle(&expected);
    EXPECT_TRUE(window && window == expected);
    VARIANT_BOOL available = VARIANT_FALSE;
    EXPECT_EQ(part->IsAvailable(&available), S_OK);
    EXPECT_EQ(available, VARIANT_TRUE);

    Reset();
    ASSERT_EQ(Call(node.Get(), L"Click", {ov::Variant::Int(skwShift)}).hr, S_OK);
    // The click lands at the header's centre, on the header, with the options the node's object got.
    const std::vector<ovhost::ActionRecord> clicks = Clicks();
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].screen.x, (h.left + h.right) / 2);
    EXPECT_EQ(clicks[0].screen.y, (h.top + h.bottom) / 2);
    wpfsim::Element* hit = App().FindById(clicks[0].target);
    ASSERT_NE(hit, nullptr);
    EXPECT_TRUE(header->IsAncestorOf(*hit)) << "clicked " << testing::PrintToString(hit->ClassName());
    EXPECT_EQ(clicks[0].shift, skwShift);
    EXPECT_EQ(clicks[0].actionMode, 3);
    EXPECT_EQ(clicks[0].actionFlags, 0);
}

TEST_F(TreesTest, CollectionsAndNodesAnswerTheirInterfacesAndBuildTheirSyntaxButNotTheirModesFromTheirMaker) {
    auto wrapper = WrapElement<CovWPFCtrlTreeView>(*tree_);
    wrapper->SetSyntax(Host().MakeSyntaxRoot(L"App.Tree").Get(), nullptr);
    wrapper->put_ErrorReportMode(2);
    wrapper->put_MessageReportMode(0);
    auto top = ObjectOf(Get(wrapper.As<IDispatch>().Get(), L"wItems"));
    ASSERT_TRUE(top);
    auto root = ObjectOf(simtest::InvokeName(top.Get(), L"Item", DISPATCH_PROPERTYGET, {Str(L"Ro*")}));
    ASSERT_TRUE(root);
    auto children = ObjectOf(Get(root.Get(), L"Items"));
    ASSERT_TRUE(children);
    auto child =
        ObjectOf(simtest::InvokeName(children.Get(), L"Item", DISPATCH_PROPERTYGET, {ov::Variant::Int(0)}));
    ASSERT_TRUE(child);

    // Each object's IDispatch is its own dispinterface's; the node is also the host's placing interface.
    const struct {
        IDispatch* object;
        IID own;
        const wchar_t* syntax;
    } objects[] = {
        {top.Get(), __uuidof(IovWPFTreeViewItemCollection), L"App.Tree.wItems"},
        {root.Get(), __uuidof(IovWPFTreeViewItem), L"App.Tree.wItems.Item(\"Root\")"},
        {children.Get(), __uuidof(IovWPFTreeViewItemCollection), L"App.Tree.wItems.Item(\"Root\").Items"},
        {child.Get(), __uuidof(IovWPFTreeViewItem), L"App.Tree.wItems.Item(\"Root\").Items.Item(\"0\")"}};
    for (const auto& o : objects) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(o.syntax)));
        ov::ComPtr<IUnknown> own, dispatch;
        ASSERT_EQ(o.object->QueryInterface(o.own, reinterpret_cast<void**>(own.Put())), S_OK);
        ASSERT_EQ(o.object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Put())), S_OK);
        EXPECT_EQ(own.Get(), dispatch.Get());
        EXPECT_EQ(ov::QueryAs<IovWin32CtrlStdActionsWindow>(o.object) != nullptr,
                  IsEqualIID(o.own, __uuidof(IovWPFTreeViewItem)));
        auto base = ov::QueryAs<IovCtrlBase>(o.object);
        ASSERT_TRUE(base);
        ov::ComPtr<IovSyntaxItem> syntax;
        ASSERT_EQ(base->GetSyntax(syntax.Put(), 0), S_OK);
        EXPECT_EQ(ovhost::SyntaxText(syntax.Get()), o.syntax);
        EXPECT_EQ(ReportModes(o.object), kModesAtCreation);
    }
}

// What the host learns when a node cannot be placed or acted on, and what the script is told.
TEST_F(TreesTest, ANodeWithoutHeaderOrWithoutHostObjectIsNotPlacedAndAWrapperWithoutIdentifierCannotClick) {
    const struct {
        const char* what;
        ov::ComPtr<IDispatch> wrapper;
        const wchar_t* path;
        const wchar_t* logged; // what the click leaves in the log (mode 1)
    } cases[] = {
        // A data item of a collapsed node: no container, so no header to place.
        {"ungenerated", WrapElement<CovWPFCtrlTreeView>(*tree_).As<IDispatch>(), L"Colours|Red",
         L"The tree item was clicked with the left mouse button."},
        // A tree view the host does not know: no helper, no window, no on-screen object for its nodes.
        {"bound to its object", WrapObject<CovWPFCtrlTreeView>(*tree_).As<IDispatch>(), L"Root|Child",
         L"An error occurred."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto node = Node(c.wrapper, c.path);
        ASSERT_TRUE(node);
        auto part = ov::QueryAs<IovWin32CtrlStdActionsWindow>(node.Get());
        RECT rect{1, 2, 3, 4};
        VARIANT_BOOL placed = VARIANT_TRUE;
        EXPECT_EQ(part->GetRectangle(&rect, &placed), S_OK);
        EXPECT_EQ(placed, VARIANT_FALSE);
        EXPECT_TRUE(IsRectEmpty(&rect));
        EXPECT_EQ(part->GetRectangle(nullptr, &placed), E_POINTER);
        Reset();
        EXPECT_EQ(Call(node.Get(), L"Click").hr, S_OK);
        const Log log = TakeLog();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].text, c.logged);
        // The host refused to place the ungenerated node; the result of its click is not the module's.
        for (const ovhost::ActionRecord& click : Clicks())
            EXPECT_EQ(click.result, ovhost::errors::NotPlacedResult);
    }
    // Without a host object there is no window either.
    HWND window = reinterpret_cast<HWND>(1);
    auto part = ov::QueryAs<IovWin32CtrlStdActionsWindow>(Node(cases[1].wrapper, L"Root").Get());
    EXPECT_EQ(part->GetOwnerWindow(&window), E_FAIL);
    EXPECT_EQ(window, nullptr);
}

} // namespace
