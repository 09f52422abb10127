// The host clicks an element takes (disabled, hidden or unresponsive ones: the host's tests), and cycles.
#include "SimCall.h"

using namespace simtest;
using wpfsim::MouseButton;

namespace {

class ElementTest : public SimTest {
protected:
    wpfsim::Element* panel = &app->Add(window, L"System.Windows.Controls.StackPanel", L"panel");
    wpfsim::Element* first = &app->Add(panel, L"System.Windows.Controls.Label", L"first");
    wpfsim::Element* second = &app->Add(panel, L"System.Windows.Controls.Label", L"second");
};

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
