// The host's mouse and window actions: which click reaches which element where, the action options in
// effect, and the error information of failed actions.
#include "HostFixture.h"

#include "com/HostIdentifiers.h"

#include <functional>

using namespace hosttest;
using wpfsim::MouseButton;
namespace shift = wpfsim::shift;

namespace {

class MouseActionTest : public HostTest {
protected:
    ov::ComPtr<IovMouseActions> ActionsOf(const wpfsim::Element* e,
                                          const GUID& extension = ov::HostIds::OnScreenActions) {
        ov::ComPtr<IUnknown> object;
        EXPECT_EQ(ObjectOf(e)->GetExtension(&extension, object.Put()), S_OK);
        return object.As<IovMouseActions>();
    }
    const ovhost::ActionRecord& LastAction() { return host->Actions().back(); }
};

TEST_F(MouseActionTest, EachOperationClicksWithItsButtonCountShiftAndPointUnderTheObjectsOptions) {
    using Operation = HRESULT (STDMETHODCALLTYPE IovMouseActions::*)(LONG, LONG, LONG);
    const ULONG both = shift::Shift | shift::Ctrl;
    // (-1, -1) is the centre of okButton (20,20)-(120,50); any other point counts from its top left, and the
    // click lands on what lies there: (-1, 3) is left of the button, on the panel.
    const struct {
        Operation operation;
        const char* name;
        MouseButton button;
        bool doubleClick;
        LONG x, y;
        ULONG shift;
        POINT screen;
        LONG mode, flags; // the action options set before
    } cases[] = {
        {&IovMouseActions::Click, "Click", MouseButton::Left, false, -1, -1, shift::Ctrl, {70, 35}, 1, 1},
        {&IovMouseActions::ClickM, "ClickM", MouseButton::Middle, false, 0, 0, 0, {20, 20}, 2, 0},
        {&IovMouseActions::ClickR, "ClickR", MouseButton::Right, false, 5, 7, shift::Shift, {25, 27}, 3, 1},
        {&IovMouseActions::DblClick, "DblClick", MouseButton::Left, true, -1, 3, shift::Alt, {19, 23}, 0, 2},
        {&IovMouseActions::DblClickM, "DblClickM", MouseButton::Middle, true, -1, -1, 0, {70, 35}, 2, 0},
        {&IovMouseActions::DblClickR, "DblClickR", MouseButton::Right, true, 99, 29, both, {119, 49}, 1, 1},
    };
    auto actions = ActionsOf(ok);
    auto options = actions.As<IovActionOptions>();
    LONG mode = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        options->put_ActionMode(c.mode);
        options->put_ActionFlags(c.flags);
        ASSERT_EQ((actions.Get()->*c.operation)(c.x, c.y, static_cast<LONG>(c.shift)), S_OK);
        wpfsim::Element* hit = c.x == -1 && c.y != -1 ? panel : ok;
        ASSERT_FALSE(hit->Clicks().empty());
        EXPECT_EQ(hit->Clicks().back(), (wpfsim::MouseClick{c.button, c.doubleClick, c.shift}));
        const ovhost::ActionRecord& a = LastAction();
        EXPECT_TRUE(IsEqualGUID(a.target, ok->Id()));
        EXPECT_EQ(
            (std::vector<LONG>{a.screen.x, a.screen.y, host->MousePosition().x, a.actionMode, a.actionFlags}),
            (std::vector<LONG>{c.screen.x, c.screen.y, c.screen.x, c.mode, c.flags}));
        EXPECT_EQ(Calls(std::string("IovMouseActions::") + c.name), 1);
        // The options belong to the object: a new extension object of it sees them.
        ActionsOf(ok).As<IovActionOptions>()->get_ActionMode(&mode);
        EXPECT_EQ(mode, c.mode);
    }
    EXPECT_EQ(ok->Clicks().size(), 5u);
    EXPECT_EQ(panel->Clicks().size(), 6u); // the button's clicks bubble through it
    EXPECT_TRUE(cancel->Clicks().empty());
}

TEST_F(MouseActionTest, FailedActionsLeaveTheHostsErrorAndSuccessClearsIt) {
    const struct {
        const char* what;
        std::function<void()> arrange;
        HRESULT expected;
        DWORD helpContext; // 0: no error information
    } cases[] = {
        {"removed", [&] { app->Remove(*ok); }, ovhost::errors::ObjectGoneResult, 70201},
        {"not responding", [&] { app->StopResponding(); }, ovhost::errors::NotRespondingResult, 70202},
        {"hidden", [&] { panel->SetVisible(false); }, ovhost::errors::InvisibleResult, 70203},
        {"injected",
         [&] {
             host->FailActions({E_ACCESSDENIED, L"The desktop is locked.", 4711});
         },
         E_ACCESSDENIED, 4711},
        {"disabled: the element ignores the click", [&] { ok->SetEnabled(false); }, S_OK, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        auto actions = ActionsOf(ok);
        host->FailActions({E_FAIL, L"stale", 1});
        ASSERT_EQ(actions->Click(-1, -1, 0), E_FAIL);
        host->ClearActionFailure();
        c.arrange();
        EXPECT_EQ(actions->ClickR(-1, -1, 0), c.expected);
        auto error = TakeErrorInfo();
        EXPECT_EQ(error.helpContext, c.helpContext);
        EXPECT_EQ(error.description.empty(), c.helpContext == 0);
        EXPECT_TRUE(ok->Clicks().empty());
        EXPECT_EQ(LastAction().result, c.expected);
        app->Resume();
    }
}

} // namespace
