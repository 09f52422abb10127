// What no member row observes of the control base: the host's action options around a click and a window's
// activation, a click the host fails, and the searches among host objects that scripts never pass an empty
// or foreign object to (the rows: tests/members/base.table).
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

TEST_F(ControlBaseTest, HostObjectsAreFoundByReferenceBelowAParentAndInPopupWindowsOnly) {
    // A popup as WPF opens it: a top-level PopupRoot whose logical parent is the owning control.
    auto& popup = App().Add(nullptr, L"System.Windows.Controls.Primitives.PopupRoot", L"popup");
    button_->AddLogicalChild(popup);
    auto& tool = App().Add(nullptr, L"System.Windows.Window", L"toolWindow");
    auto& toolItem = App().Add(&tool, L"System.Windows.Controls.ListBoxItem", L"toolItem");
    Attach();
    ov::ComPtr<IovHostObject> window = Host().HostObjectOf(MainWindow());
    EXPECT_FALSE(CovWPFCtrl::FindChildHostObject(window.Get(), Driver(MainWindow())));
    EXPECT_FALSE(CovWPFCtrl::FindChildHostObject(nullptr, Driver(*button_)));
    ExpectGenericError(Raised([&] { CovWPFCtrl::FindChildHostObject(window.Get(), CovDispDriver()); }));

    auto w = WrapElement(*button_);
    EXPECT_FALSE(w->FindInPopupRoots(Driver(toolItem))) << "a window of another class is no popup";
    // An item added since the popup's object was made is reached through the window's refresh.
    auto& late = App().Add(&popup, L"System.Windows.Controls.MenuItem", L"late");
    EXPECT_EQ(w->FindInPopupRoots(Driver(late)), Host().HostObjectOf(late));
    EXPECT_FALSE(WrapObject(*button_)->FindInPopupRoots(Driver(late))) << "no host object to start from";
}

} // namespace
