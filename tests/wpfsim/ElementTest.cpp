// Elements as callers see them: the tree, the host clicks an element takes, and cycles between members.
// (Clicks on disabled, hidden or unresponsive elements are the host's tests too.)
#include "SimCall.h"

using namespace simtest;
using wpfsim::MouseButton;

namespace {

class ElementTest : public SimTest {
protected:
    // The object behind a VT_DISPATCH result.
    static wpfsim::ClrObject* Behind(const Result& r) {
        return r.value.vt == VT_DISPATCH ? wpfsim::ObjectOf(r.value.pdispVal).Get() : nullptr;
    }
    wpfsim::Element* panel = &app->Add(window, L"System.Windows.Controls.StackPanel", L"panel");
    wpfsim::Element* first = &app->Add(panel, L"System.Windows.Controls.Label", L"first");
    wpfsim::Element* second = &app->Add(panel, L"System.Windows.Controls.Label", L"second");
};

TEST_F(ElementTest, TreeReadsThroughParentAndChildMembers) {
    auto d = first->NewDispatch();
    for (const wchar_t* member : {L"Parent", L"get_Parent", L"get_LogicalParent", L"get_VisualParent"})
        EXPECT_EQ(Behind(Get(d.Get(), member)), panel);
    EXPECT_EQ(Text(Get(d.Get(), L"Name").value), L"first");
    auto p = panel->NewDispatch();
    EXPECT_EQ(Get(p.Get(), L"get_VisualChildrenCount").value.lVal, 2);
    EXPECT_EQ(Behind(Call(p.Get(), L"GetVisualChild", {ov::Variant::Int(1)})), second);
    // Items hosted elsewhere keep their logical parent.
    second->SetLogicalParent(window);
    auto s = second->NewDispatch();
    EXPECT_EQ(Behind(Get(s.Get(), L"Parent")), window);
    EXPECT_EQ(Behind(Get(s.Get(), L"get_VisualParent")), panel);
}

TEST_F(ElementTest, HostClicksAreRecordedUnlessAnAncestorIsDisabledOrClicksAreIgnored) {
    const wpfsim::MouseClick click{MouseButton::Right, true, wpfsim::shift::Ctrl};
    panel->SetEnabled(false);
    EXPECT_FALSE(first->HostClick(click));
    panel->SetEnabled(true);
    first->SetIgnoresClicks(true);
    EXPECT_FALSE(first->HostClick(click));
    first->SetIgnoresClicks(false);
    EXPECT_TRUE(first->HostClick(click));
    EXPECT_EQ(first->Clicks(), std::vector<wpfsim::MouseClick>{click});
}

TEST_F(ElementTest, ReferencesBetweenMembersDoNotOutliveTheApplication) {
    // Cycles until the application drops the members; the test program checks that nothing is left.
    first->AddByRefProperty(L"Self", [this] { return wpfsim::ClrObject::Obj(first); });
    first->AddProperty(L"Partner", [held = ov::ComPtr<wpfsim::Element>(second)] {
        return wpfsim::ClrObject::Obj(held.Get());
    });
    EXPECT_EQ(Get(first->NewDispatch().Get(), L"Self").hr, S_OK);
    EXPECT_EQ(Get(first->NewDispatch().Get(), L"Partner").hr, S_OK);
}

} // namespace
