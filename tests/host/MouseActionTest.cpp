// The host's mouse and window actions as the module drives them: which operation makes which click, where
// it lands, the action options a caller sets and restores, and the error information of failed actions.
#include "HostFixture.h"

#include "frame/HostIdentifiers.h"

#include <functional>

using namespace hosttest;
using wpfsim::MouseButton;

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

TEST_F(MouseActionTest, EachOperationClicksWithItsButtonAndCount) {
    using Operation = HRESULT (STDMETHODCALLTYPE IovMouseActions::*)(LONG, LONG, LONG);
    struct Case {
        Operation operation;
        const char* name;
        MouseButton button;
        bool doubleClick;
    } cases[] = {
        {&IovMouseActions::Click, "Click", MouseButton::Left, false},
        {&IovMouseActions::ClickM, "ClickM", MouseButton::Middle, false},
        {&IovMouseActions::ClickR, "ClickR", MouseButton::Right, false},
        {&IovMouseActions::DblClick, "DblClick", MouseButton::Left, true},
        {&IovMouseActions::DblClickM, "DblClickM", MouseButton::Middle, true},
        {&IovMouseActions::DblClickR, "DblClickR", MouseButton::Right, true},
    };
    auto actions = ActionsOf(ok);
    ASSERT_TRUE(actions);
    for (const auto& c : cases) {
        ASSERT_EQ((actions.Get()->*c.operation)(-1, -1, wpfsim::shift::Ctrl), S_OK) << c.name;
        ASSERT_FALSE(ok->Clicks().empty());
        EXPECT_EQ(ok->Clicks().back(), (wpfsim::MouseClick{c.button, c.doubleClick, wpfsim::shift::Ctrl}))
            << c.name;
        EXPECT_EQ(LastAction().button, c.button) << c.name;
        EXPECT_EQ(LastAction().doubleClick, c.doubleClick) << c.name;
        EXPECT_EQ(Calls((std::string("IovMouseActions::") + c.name).c_str()), 1) << c.name;
    }
    EXPECT_EQ(ok->Clicks().size(), 6u);
    EXPECT_TRUE(cancel->Clicks().empty());

    // The same through IDispatch by name.
    auto dispatch = actions.As<IDispatch>();
    ASSERT_EQ(
        CallByName(dispatch.Get(), L"DblClickR", DISPATCH_METHOD,
                   {ov::Variant::Int(-1), ov::Variant::Int(-1), ov::Variant::Int(wpfsim::shift::Shift)}),
        S_OK);
    EXPECT_EQ(ok->Clicks().back(), (wpfsim::MouseClick{MouseButton::Right, true, wpfsim::shift::Shift}));
}

TEST_F(MouseActionTest, ClickLandsAtTheCentreOrAtTheGivenPointOfTheObject) {
    struct Case {
        LONG x, y;
        POINT expected;
    } cases[] = {{-1, -1, {70, 35}}, {0, 0, {20, 20}}, {5, 7, {25, 27}}, {-1, 3, {19, 23}}};
    auto actions = ActionsOf(ok);
    for (const auto& c : cases) {
        ASSERT_EQ(actions->Click(c.x, c.y, 0), S_OK);
        EXPECT_EQ(LastAction().screen.x, c.expected.x) << c.x << "," << c.y;
        EXPECT_EQ(LastAction().screen.y, c.expected.y) << c.x << "," << c.y;
        EXPECT_EQ(host->MousePosition().x, c.expected.x);
        EXPECT_TRUE(IsEqualGUID(LastAction().target, ok->Id()));
    }
}

TEST_F(MouseActionTest, ActionOptionsSetByACallerHoldDuringTheClickAndAfterItsRestore) {
    auto actions = ActionsOf(ok);
    auto options = actions.As<IovActionOptions>();
    ASSERT_TRUE(options);
    LONG mode = 0, flags = 0;
    ASSERT_EQ(options->get_ActionMode(&mode), S_OK);
    ASSERT_EQ(options->get_ActionFlags(&flags), S_OK);
    EXPECT_EQ(mode, ovhost::InitialActionMode);
    EXPECT_EQ(flags, ovhost::InitialActionFlags);

    options->put_ActionMode(2);
    options->put_ActionFlags(0);
    ASSERT_EQ(actions->Click(-1, -1, 0), S_OK);
    EXPECT_EQ(LastAction().actionMode, 2);
    EXPECT_EQ(LastAction().actionFlags, 0);

    // The settings belong to the object, not to one extension object: a new one sees them.
    auto again = ActionsOf(ok).As<IovActionOptions>();
    again->get_ActionMode(&mode);
    EXPECT_EQ(mode, 2);
    again->put_ActionMode(ovhost::InitialActionMode);
    again->put_ActionFlags(ovhost::InitialActionFlags);
    ASSERT_EQ(actions->Click(-1, -1, 0), S_OK);
    EXPECT_EQ(LastAction().actionMode, ovhost::InitialActionMode);
    EXPECT_EQ(LastAction().actionFlags, ovhost::InitialActionFlags);
    EXPECT_EQ(Calls("IovActionOptions::put_ActionMode"), 2);
    EXPECT_EQ(Calls("IovActionOptions::get_ActionFlags"), 1);
}

TEST_F(MouseActionTest, FailedActionsLeaveTheHostsErrorOnTheThread) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        HRESULT expected;
        DWORD helpContext;
    } cases[] = {
        {"removed", [&] { app->Remove(*ok); }, ovhost::errors::ObjectGoneResult, 70201},
        {"not responding", [&] { app->StopResponding(); }, ovhost::errors::NotRespondingResult, 70202},
        {"hidden", [&] { panel->SetVisible(false); }, ovhost::errors::InvisibleResult, 70203},
        {"injected",
         [&] {
             host->FailActions({E_ACCESSDENIED, L"The desktop is locked.", 4711});
         },
         E_ACCESSDENIED, 4711},
    };
    for (const auto& c : cases) {
        TearDown();
        SetUp();
        auto actions = ActionsOf(ok);
        auto support = actions.As<ISupportErrorInfo>();
        ASSERT_TRUE(support);
        EXPECT_EQ(support->InterfaceSupportsErrorInfo(__uuidof(IovMouseActions)), S_OK);
        c.arrange();
        EXPECT_EQ(actions->ClickR(-1, -1, 0), c.expected) << c.what;
        auto error = TakeErrorInfo();
        EXPECT_TRUE(error.present) << c.what;
        EXPECT_FALSE(error.description.empty()) << c.what;
        EXPECT_EQ(error.helpContext, c.helpContext) << c.what;
        EXPECT_TRUE(ok->Clicks().empty()) << c.what;
        EXPECT_EQ(LastAction().result, c.expected) << c.what;
        app->Resume();
        actions.Reset();
        support.Reset();
    }
}

TEST_F(MouseActionTest, SuccessClearsAnEarlierErrorAndADisabledElementIgnoresTheClick) {
    auto actions = ActionsOf(ok);
    host->FailActions({E_FAIL, L"stale", 1});
    ASSERT_EQ(actions->Click(-1, -1, 0), E_FAIL);
    host->ClearActionFailure();
    ok->SetEnabled(false);
    // The host's click succeeds; the element decides what it does with it.
    EXPECT_EQ(actions->Click(-1, -1, 0), S_OK);
    EXPECT_FALSE(TakeErrorInfo().present);
    EXPECT_TRUE(ok->Clicks().empty());
    EXPECT_EQ(host->Actions().size(), 2u);
}

TEST_F(MouseActionTest, WindowObjectsActThroughTheSecondExtensionAndTopLevelWindowsActivate) {
    auto actions = ActionsOf(window, ov::HostIds::WindowActions);
    ASSERT_TRUE(actions);
    ASSERT_EQ(actions->Click(-1, -1, 0), S_OK);
    EXPECT_EQ(window->Clicks().size(), 1u);

    ov::ComPtr<IovHostObject> top;
    ASSERT_EQ(ObjectOf(tool)->GetParent(top.Put()), S_OK);
    auto activate = top.As<IovHostWindow>();
    ASSERT_TRUE(activate);
    EXPECT_EQ(host->ActiveWindow(), nullptr);
    ASSERT_EQ(activate->Activate(), S_OK);
    EXPECT_EQ(host->ActiveWindow(), tool);
    EXPECT_EQ(LastAction().kind, ovhost::ActionKind::Activate);
    ASSERT_TRUE(top.As<IovActionOptions>());

    app->Remove(*tool);
    EXPECT_EQ(activate->Activate(), ovhost::errors::ObjectGoneResult);
    EXPECT_TRUE(TakeErrorInfo().present);
    EXPECT_EQ(Calls("IovHostWindow::Activate"), 2);
}

// A tree node as the module describes it: its rectangle relative to the owner's object.
class FakePart : public IovWin32CtrlStdActionsWindow {
public:
    using Interfaces = ov::Interfaces<IovWin32CtrlStdActionsWindow>;
    HRESULT STDMETHODCALLTYPE GetOwnerWindow(HWND* w) override { return *w = window, S_OK; }
    HRESULT STDMETHODCALLTYPE GetRectangle(RECT* r, VARIANT_BOOL* placed) override {
        *r = rect;
        *placed = isPlaced ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsAvailable(VARIANT_BOOL* available) override {
        return *available = VARIANT_TRUE, S_OK;
    }
    HWND window = nullptr;
    RECT rect{};
    bool isPlaced = true;
};

TEST_F(MouseActionTest, InternalPartsAreClickedWhereTheyReportToBe) {
    auto part = ov::Create<FakePart>();
    ObjectOf(panel).As<IovNativeWindow>()->GetWindowHandle(&part->window);
    part->rect = Rect(130, 10, 230, 40); // inside the panel: over cancelButton
    ov::ComPtr<IUnknown> made;
    ASSERT_EQ(Service()->CreateObject(&panel->Id(), ov::detail::UnknownOf(part.Get()), made.Put()), S_OK);
    auto actions = made.As<IovMouseActions>();
    ASSERT_TRUE(actions);
    auto options = made.As<IovActionOptions>();
    ASSERT_TRUE(options);
    options->put_ActionMode(3);
    options->put_ActionFlags(0);

    ASSERT_EQ(actions->DblClick(-1, -1, 0), S_OK);
    ASSERT_EQ(cancel->Clicks().size(), 1u);
    EXPECT_TRUE(cancel->Clicks()[0].doubleClick);
    EXPECT_EQ(LastAction().screen.x, 190);
    EXPECT_EQ(LastAction().screen.y, 35);
    EXPECT_EQ(LastAction().actionMode, 3);

    struct Case {
        const char* what;
        std::function<void()> arrange;
    } failures[] = {
        {"not placed", [&] { part->isPlaced = false; }},
        {"another window", [&] { ObjectOf(tool).As<IovNativeWindow>()->GetWindowHandle(&part->window); }},
    };
    for (const auto& c : failures) {
        c.arrange();
        EXPECT_EQ(actions->Click(-1, -1, 0), ovhost::errors::NotPlacedResult) << c.what;
        EXPECT_EQ(TakeErrorInfo().helpContext, 70204u) << c.what;
    }
    EXPECT_EQ(cancel->Clicks().size(), 1u);

    // The context must describe a part.
    EXPECT_EQ(Service()->CreateObject(&panel->Id(), host->Hook().Get(), made.Put()), E_INVALIDARG);
}

TEST_F(MouseActionTest, MouseMovesAndRectanglesOfInternalObjects) {
    MSG move{};
    move.message = WM_MOUSEMOVE;
    move.pt = {150, 30};
    ASSERT_EQ(Service()->PlayMouseMessage(&move), S_OK);
    EXPECT_EQ(LastAction().kind, ovhost::ActionKind::MouseMove);
    EXPECT_TRUE(IsEqualGUID(LastAction().target, cancel->Id()));
    EXPECT_EQ(host->MousePosition().x, 150);
    move.message = WM_LBUTTONDOWN;
    EXPECT_EQ(Service()->PlayMouseMessage(&move), E_INVALIDARG);
    EXPECT_EQ(host->Actions().size(), 1u);

    // "GetScreenRectOfInternalObject" by name, with its four by-reference values.
    ov::ComPtr<IDispatch> helper;
    ASSERT_EQ(ObjectOf(panel).As<IovInternalObjects>()->GetHelper(helper.Put()), S_OK);
    LONG l = 0, t = 0, w = 0, h = 0;
    auto byRef = [](LONG* p) {
        ov::Variant v;
        v.vt = VT_BYREF | VT_I4;
        v.plVal = p;
        return v;
    };
    ASSERT_EQ(CallByName(helper.Get(), L"GetScreenRectOfInternalObject", DISPATCH_METHOD,
                         {ov::Variant::Dispatch(cancel->NewDispatch().Get()), byRef(&l), byRef(&t), byRef(&w),
                          byRef(&h)}),
              S_OK);
    EXPECT_EQ((std::vector<LONG>{l, t, w, h}), (std::vector<LONG>{140, 20, 100, 30}));
}

} // namespace
