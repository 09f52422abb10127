// The control base: clicks and window activation through the host, the shift-key words, the searches among
// host objects.
#include "ControlFixture.h"

#include "wpfsim/Buttons.h"

namespace {

using namespace ovtest;

class ControlBaseTest : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        panel_ = &App().Add(&MainWindow(), L"System.Windows.Controls.StackPanel", L"panel");
        button_ = &App().Add<wpfsim::Button>(panel_, L"System.Windows.Controls.Button", L"okButton");
        button_->SetBounds({10, 10, 90, 40});
    }
    static void Click(CovWPFCtrl& w) { w.ClickAt(w.GetHostObject().Get(), -1, -1, 0, 0, 0); }
    CovDispDriver Driver(wpfsim::Element& e) { return CovDispDriver(e.NewDispatch().Get()); }

    wpfsim::Element* panel_ = nullptr;
    wpfsim::Element* button_ = nullptr;
};

TEST_F(ControlBaseTest, ClickAtSetsTheActionOptionsRestoresThemAndRaisesTheHostsError) {
    Attach();
    auto w = WrapElement(*button_);
    ov::ComPtr<ovhost::ElementNode> node = Host().NodeOf(*button_);
    node->actionMode = 7;
    node->actionFlags = 9;
    Click(*w);
    ASSERT_EQ(Host().Actions().size(), 1u);
    EXPECT_EQ(Host().Actions()[0].actionMode, 2);
    EXPECT_EQ(Host().Actions()[0].actionFlags, 0);
    Host().FailActions({E_FAIL, L"Click failed\r\n\r\nThe element moved.", 1});
    ExpectError(Raised([&] { Click(*w); }), L"Click failed", L"The element moved.", 1);
    EXPECT_EQ(node->actionMode, 7);
    EXPECT_EQ(node->actionFlags, 9);
    Host().ClearActionFailure();

    // The mouse actions answer under either extension, or there is no click.
    node->SetMouseExtensions(ovhost::MouseExtensions::Window);
    Click(*w);
    node->SetMouseExtensions(ovhost::MouseExtensions::None);
    ExpectGenericError(Raised([&] { Click(*w); }));
    ExpectGenericError(Raised([&] { w->ClickAt(nullptr, -1, -1, 0, 0, 0); }));
    EXPECT_EQ(button_->Clicks().size(), 2u);
}

TEST_F(ControlBaseTest, ClickAtActsWithTheButtonCountShiftAndPointItWasGiven) {
    Attach();
    auto w = WrapElement(*button_);
    ov::ComPtr<IovHostObject> target = w->GetHostObject();
    const LONG keys = skwShift | skwCtrl;
    using wpfsim::MouseButton;
    // The button argument, single or double, what the host is asked for.
    const std::tuple<LONG, LONG, MouseButton, const char*> cases[] = {
        {0, 0, MouseButton::Left, "IovMouseActions::Click"},
        {1, 0, MouseButton::Right, "IovMouseActions::ClickR"},
        {2, 0, MouseButton::Middle, "IovMouseActions::ClickM"},
        {0, 1, MouseButton::Left, "IovMouseActions::DblClick"},
        {1, 1, MouseButton::Right, "IovMouseActions::DblClickR"},
        {2, 1, MouseButton::Middle, "IovMouseActions::DblClickM"},
    };
    for (const auto& [button, dbl, used, operation] : cases) {
        SCOPED_TRACE(operation);
        Host().ClearActions();
        Host().Calls().Reset();
        // An offset that differs in x and y, inside the button either way round.
        w->ClickAt(target.Get(), 3, 11, keys, dbl, button);
        EXPECT_EQ(Host().Calls().Of(operation), 1);
        ASSERT_EQ(Host().Actions().size(), 1u);
        const ovhost::ActionRecord& a = Host().Actions()[0];
        EXPECT_EQ(a.button, used);
        EXPECT_EQ(a.doubleClick, dbl != 0);
        EXPECT_EQ(std::make_pair(a.x, a.y), std::make_pair(3L, 11L));
        const RECT& r = button_->Bounds();
        EXPECT_EQ(std::make_pair(a.screen.x, a.screen.y), std::make_pair(r.left + 3, r.top + 11));
        EXPECT_EQ(a.shift, keys);
        ASSERT_FALSE(button_->Clicks().empty());
        EXPECT_EQ(button_->Clicks().back(), (wpfsim::MouseClick{used, dbl != 0, static_cast<ULONG>(keys)}));
    }
    Host().ClearActions();
    EXPECT_THROW(w->ClickAt(target.Get(), 3, 11, 0, 0, 3), ov::ComError);
    EXPECT_TRUE(Host().Actions().empty());
}

TEST_F(ControlBaseTest, FocusElementActivatesTheWindowUnderTheActionOptionsAndFocusesWhatCan) {
    // An element without "Focus" (a custom element that is no UIElement) is activated all the same.
    auto& plain = App().Add<wpfsim::Button>(panel_, L"System.Windows.Controls.Button", L"plain");
    plain.SetBounds({10, 50, 90, 80});
    plain.RemoveMember(L"Focus");
    Attach();
    ov::ComPtr<IovHostObject> top;
    Host().HostObjectOf(MainWindow())->GetParent(top.Put());
    auto options = top.As<IovActionOptions>();
    for (wpfsim::Element* element : {button_, static_cast<wpfsim::Element*>(&plain)}) {
        SCOPED_TRACE(std::string(element->Name().begin(), element->Name().end()));
        const bool focusable = element == button_;
        Host().ClearActions();
        options->put_ActionMode(5);
        options->put_ActionFlags(6);
        EXPECT_NO_THROW(WrapElement(*element)->FocusElement());
        EXPECT_EQ(Host().ActiveWindow(), &MainWindow());
        EXPECT_EQ(element->IsFocused(), focusable);
        ASSERT_EQ(Host().Actions().size(), 1u);
        EXPECT_EQ(Host().Actions()[0].kind, ovhost::ActionKind::Activate);
        LONG mode = 0, flags = 0;
        options->get_ActionMode(&mode);
        options->get_ActionFlags(&flags);
        EXPECT_EQ(
            (std::vector<LONG>{Host().Actions()[0].actionMode, Host().Actions()[0].actionFlags, mode, flags}),
            (std::vector<LONG>{2, 0, 5, 6}));
    }
}

TEST(ShiftKeysTextTest, WordsOfPlainAndComplementedMasks) {
    // Complement bits count only in a complemented mask (upper half all ones), which reads bits 0 to 2 only.
    const std::pair<const wchar_t*, std::vector<ULONG>> cases[] = {
        {L"no", {0, 0x1FFF, ~0x0u, ~0x6000u, 0xFFFE0000u}},
        {L"the Shift", {0x2000}},
        {L"the Alt", {0x8000, ~0x2u}},
        {L"the Control", {0x4000}},
        {L"the Shift + Control", {0x6000, ~0x5u}},
        {L"the Shift + Alt + Control", {0xE000, ~0x7u, 0xFFFF0000u}}};
    for (const auto& [text, masks] : cases)
        for (ULONG shift : masks)
            EXPECT_EQ(CovWPFCtrl::GetShiftKeysText(static_cast<LONG>(shift)).View(), text)
                << std::hex << shift;
}

TEST_F(ControlBaseTest, HostObjectsAreFoundByReferenceBelowAParentAndInPopupWindowsOnly) {
    // A popup as WPF opens it: a top-level PopupRoot whose logical parent is the owning control.
    auto& popup = App().Add(nullptr, L"System.Windows.Controls.Primitives.PopupRoot", L"popup");
    button_->AddLogicalChild(popup);
    auto& list = App().Add(&popup, L"System.Windows.Controls.StackPanel", L"list");
    auto& item = App().Add(&list, L"System.Windows.Controls.ListBoxItem", L"item");
    auto& tool = App().Add(nullptr, L"System.Windows.Window", L"toolWindow");
    auto& toolItem = App().Add(&tool, L"System.Windows.Controls.ListBoxItem", L"toolItem");
    Attach();
    ov::ComPtr<IovHostObject> window = Host().HostObjectOf(MainWindow());
    EXPECT_EQ(CovWPFCtrl::FindChildHostObject(window.Get(), Driver(*button_)), Host().HostObjectOf(*button_));
    EXPECT_FALSE(CovWPFCtrl::FindChildHostObject(window.Get(), Driver(MainWindow())));
    EXPECT_FALSE(CovWPFCtrl::FindChildHostObject(window.Get(), Driver(toolItem)));
    EXPECT_FALSE(CovWPFCtrl::FindChildHostObject(nullptr, Driver(*button_)));
    ExpectGenericError(Raised([&] { CovWPFCtrl::FindChildHostObject(window.Get(), CovDispDriver()); }));

    auto w = WrapElement(*button_);
    EXPECT_EQ(w->FindInPopupRoots(Driver(item)), Host().HostObjectOf(item));
    EXPECT_FALSE(w->FindInPopupRoots(Driver(toolItem))) << "a window of another class is no popup";
    EXPECT_FALSE(w->FindInPopupRoots(Driver(*panel_)));
    EXPECT_FALSE(WrapObject(*button_)->FindInPopupRoots(Driver(item))) << "no host object to start from";
    // An item added since the popup's object was made is reached through the window's refresh.
    auto& late = App().Add(&popup, L"System.Windows.Controls.MenuItem", L"late");
    Host().Calls().Reset();
    EXPECT_EQ(w->FindInPopupRoots(Driver(late)), Host().HostObjectOf(late));
    EXPECT_GE(Host().Calls().Of("IovHostObject::RefreshChildren"), 1);
}

TEST_F(ControlBaseTest, WindowsWhoseClassCannotBeReadAreSkippedByThePopupSearch) {
    // Windows of another technology come first in the host's enumeration; their objects have no .NET class.
    auto& foreign = App().Add(nullptr, L"System.Windows.Window", L"foreignWindow");
    foreign.RemoveMember(L"ClrFullClassName");
    auto& popup = App().Add(nullptr, L"System.Windows.Controls.Primitives.PopupRoot", L"popup");
    button_->AddLogicalChild(popup);
    auto& item = App().Add(&popup, L"System.Windows.Controls.ListBoxItem", L"item");
    Attach();

    auto w = WrapElement(*button_);
    std::optional<CovInvokeException> raised;
    ov::ComPtr<IovHostObject> found;
    raised = Raised([&] { found = w->FindInPopupRoots(Driver(item)); });
    EXPECT_FALSE(raised) << testing::PrintToString(raised->Message().View());
    EXPECT_EQ(found, Host().HostObjectOf(item));
    raised = Raised([&] { found = w->FindInPopupRoots(Driver(*panel_)); });
    EXPECT_FALSE(raised) << testing::PrintToString(raised->Message().View());
    EXPECT_FALSE(found);
}

} // namespace
