// The control base: the member frame, the element's .NET and host objects, clicks and window activation
// through the host, the shift-key words, the empty-value test and the searches among host objects.
#include "ControlFixture.h"

#include "frame/HostIdentifiers.h"

#include <string>
#include <vector>

namespace {

using ovtest::Raised;
using wpfsim::MouseButton;

const std::wstring kReasons = ov::texts::Reasons;
const wchar_t* const kDisabled = L"The control is disabled. The action cannot be executed.";
const wchar_t* const kPopupRoot = L"System.Windows.Controls.Primitives.PopupRoot";

// A wrapper with one action and one property, as the wrapper kinds write their members.
class ProbeCtrl : public CovWPFCtrl {
public:
    HRESULT Click() {
        return Member([&] {
            CheckEnabled();
            ClickAt(GetHostObject().Get(), -1, -1, 0, 0, 0);
            PostActionMessage(L"The probe was clicked.", L"remark");
        });
    }
    HRESULT Focus() {
        return Member([&] {
            CheckEnabled();
            FocusElement();
        });
    }
    HRESULT ReadName(BSTR* name) {
        *name = nullptr;
        return Member([&] {
            EnterCall();
            *name = ov::GetString(GetClrObject(), L"Name").Detach();
        });
    }
};

class ControlBaseTest : public ovtest::ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        panel_ = &App().Add(&MainWindow(), L"System.Windows.Controls.StackPanel", L"panel");
        button_ = &App().Add(panel_, L"System.Windows.Controls.Button", L"okButton");
        button_->SetBounds({10, 10, 90, 40});
    }

    wpfsim::Element& Button() { return *button_; }
    wpfsim::Element& Panel() { return *panel_; }
    // The object of the top-level window above the main window's object.
    ov::ComPtr<IovHostObject> TopLevelObject() {
        ov::ComPtr<IovHostObject> top;
        Host().HostObjectOf(MainWindow())->GetParent(top.Put());
        return top;
    }
    std::vector<ovhost::ActionRecord> Clicks() {
        std::vector<ovhost::ActionRecord> clicks;
        for (const auto& a : Host().Actions())
            if (a.kind == ovhost::ActionKind::Click) clicks.push_back(a);
        return clicks;
    }

private:
    wpfsim::Element* panel_ = nullptr;
    wpfsim::Element* button_ = nullptr;
};

void ExpectGenericError(const std::optional<CovInvokeException>& e) {
    ASSERT_TRUE(e) << "nothing raised";
    EXPECT_EQ(e->Message().View(), L"An error occurred.");
    EXPECT_EQ(e->Details().View(), kReasons);
    EXPECT_EQ(e->Kind(), 3);
}

// --- the member frame ----------------------------------------------------------------------------------

TEST_F(ControlBaseTest, DisabledElementFailsEveryActionBeforeAnyClickWhilePropertiesStillRead) {
    Attach();
    for (bool disableParent : {false, true}) {
        SCOPED_TRACE(disableParent ? "parent disabled" : "element disabled");
        (disableParent ? Panel() : Button()).SetEnabled(false);
        Host().ClearLog();
        auto probe = WrapElement<ProbeCtrl>(Button());
        for (HRESULT (ProbeCtrl::*action)() : {&ProbeCtrl::Click, &ProbeCtrl::Focus}) {
            EXPECT_EQ((probe.Get()->*action)(), S_OK); // error report mode 1: logged, not raised
            ASSERT_FALSE(Host().Log().empty());
            EXPECT_EQ(Host().Log().back(), (ovhost::LogEntry{ovhost::LogError, kDisabled, L""}));
        }
        EXPECT_TRUE(Host().Actions().empty()) << "nothing may be clicked or activated";
        EXPECT_TRUE(Button().Clicks().empty());
        EXPECT_FALSE(Button().IsFocused());

        ov::Bstr name;
        EXPECT_EQ(probe->ReadName(name.Put()), S_OK);
        EXPECT_EQ(name.View(), L"okButton");
        (disableParent ? Panel() : Button()).SetEnabled(true);
    }
}

TEST_F(ControlBaseTest, EnabledActionClicksAndReportsItsMessage) {
    Attach();
    auto probe = WrapElement<ProbeCtrl>(Button());
    EXPECT_EQ(probe->Click(), S_OK);
    ASSERT_EQ(Button().Clicks().size(), 1u);
    EXPECT_EQ(Host().Log().back(),
              (ovhost::LogEntry{ovhost::LogMessage, L"The probe was clicked.", L"remark"}));
}

// --- the element's objects -------------------------------------------------------------------------------

TEST_F(ControlBaseTest, ObjectsOfAWrapperForAnIdentifierComeFromTheHostAndAreKept) {
    Attach();
    auto wrapper = WrapElement(Button());
    Host().Calls().Reset();
    ov::ComPtr<IovHostObject> first = wrapper->GetHostObject();
    wrapper->EnterCall();
    ov::ComPtr<IovHostObject> second = wrapper->GetHostObject();
    EXPECT_EQ(first, second);
    EXPECT_EQ(Host().Calls().Of("IovObjectService::FindHostObject"), 1);
    EXPECT_EQ(first, Host().HostObjectOf(Button()));

    CovDispDriver clr = wrapper->GetClrObject();
    EXPECT_EQ(wpfsim::ObjectOf(clr.Get()).Get(), static_cast<wpfsim::ClrObject*>(&Button()));
}

TEST_F(ControlBaseTest, WrapperWithoutHostObjectRaisesTheGenericErrorButReadsItsObject) {
    Attach();
    GUID unknown{};
    ASSERT_EQ(CoCreateGuid(&unknown), S_OK);
    auto forObject = WrapObject(Button());
    auto forUnknownId = ov::Create<CovWPFCtrl>();
    forUnknownId->BindToNode(unknown);

    ExpectGenericError(Raised([&] { forObject->GetHostObject(); }));
    ExpectGenericError(Raised([&] { forUnknownId->GetHostObject(); }));
    ExpectGenericError(Raised([&] { forUnknownId->GetClrObject(); }));
    EXPECT_FALSE(forObject->TryGetHostObject());

    // A wrapper made for a .NET object reads and sets members without the host.
    EXPECT_EQ(wpfsim::ObjectOf(forObject->GetClrObject().Get()).Get(),
              static_cast<wpfsim::ClrObject*>(&Button()));
    EXPECT_NO_THROW(forObject->CheckEnabled());
    // ... but cannot act.
    ExpectGenericError(Raised([&] { forObject->FocusElement(); }));

    // Without the host's object service nobody has a host object.
    auto forId = WrapElement(Button());
    ov::HostServices::Clear();
    ExpectGenericError(Raised([&] { forId->GetHostObject(); }));
}

// --- clicks -------------------------------------------------------------------------------------------

TEST_F(ControlBaseTest, ClickAtPicksTheHostOperationOfButtonAndCount) {
    Attach();
    auto wrapper = WrapElement(Button());
    struct Case {
        LONG button, dbl;
        MouseButton expected;
        bool doubleClick;
    } cases[] = {
        {0, 0, MouseButton::Left, false},   {1, 0, MouseButton::Right, false},
        {2, 0, MouseButton::Middle, false}, {0, 1, MouseButton::Left, true},
        {1, 7, MouseButton::Right, true},   {2, -1, MouseButton::Middle, true},
    };
    for (const auto& c : cases) {
        wrapper->ClickAt(wrapper->GetHostObject().Get(), 5, 6, skwShift | skwCtrl, c.dbl, c.button);
        ASSERT_FALSE(Clicks().empty());
        const ovhost::ActionRecord& record = Clicks().back();
        EXPECT_EQ(record.button, c.expected) << "button " << c.button << " dbl " << c.dbl;
        EXPECT_EQ(record.doubleClick, c.doubleClick) << "button " << c.button << " dbl " << c.dbl;
        EXPECT_EQ(record.x, 5);
        EXPECT_EQ(record.y, 6);
        EXPECT_EQ(record.shift, skwShift | skwCtrl);
        EXPECT_EQ(Button().Clicks().back(),
                  (wpfsim::MouseClick{c.expected, c.doubleClick, skwShift | skwCtrl}));
    }
    EXPECT_THROW(wrapper->ClickAt(wrapper->GetHostObject().Get(), -1, -1, 0, 0, 3), ov::ComError);
}

TEST_F(ControlBaseTest, ClickAtSetsTheActionOptionsForTheClickAndRestoresThem) {
    Attach();
    auto wrapper = WrapElement(Button());
    ov::ComPtr<ovhost::ElementNode> node = Host().NodeOf(Button());
    node->actionMode = 7;
    node->actionFlags = 9;
    wrapper->ClickAt(wrapper->GetHostObject().Get(), -1, -1, 0, 0, 0);
    ASSERT_EQ(Clicks().size(), 1u);
    EXPECT_EQ(Clicks()[0].actionMode, 2);
    EXPECT_EQ(Clicks()[0].actionFlags, 0);
    EXPECT_EQ(node->actionMode, 7);
    EXPECT_EQ(node->actionFlags, 9);

    // A failed click raises the host's error information, after the options are back.
    Host().FailActions({E_FAIL, L"Click failed\r\n\r\nThe element moved.", 1});
    auto e = Raised([&] { wrapper->ClickAt(wrapper->GetHostObject().Get(), -1, -1, 0, 0, 0); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message().View(), L"Click failed");
    EXPECT_EQ(e->Details().View(), L"The element moved.");
    EXPECT_EQ(e->Kind(), 1);
    EXPECT_EQ(node->actionMode, 7);
    EXPECT_EQ(node->actionFlags, 9);
    EXPECT_EQ(Button().Clicks().size(), 1u);
}

TEST_F(ControlBaseTest, ClickAtFindsTheMouseActionsUnderEitherExtension) {
    Attach();
    auto wrapper = WrapElement(Button());
    ov::ComPtr<ovhost::ElementNode> node = Host().NodeOf(Button());
    node->SetMouseExtensions(ovhost::MouseExtensions::Window);
    wrapper->ClickAt(wrapper->GetHostObject().Get(), -1, -1, 0, 0, 0);
    EXPECT_EQ(Button().Clicks().size(), 1u);

    node->SetMouseExtensions(ovhost::MouseExtensions::None);
    ExpectGenericError(Raised([&] { wrapper->ClickAt(wrapper->GetHostObject().Get(), -1, -1, 0, 0, 0); }));
    ExpectGenericError(Raised([&] { wrapper->ClickAt(nullptr, -1, -1, 0, 0, 0); }));
    EXPECT_EQ(Button().Clicks().size(), 1u);
}

// --- focus and window activation -----------------------------------------------------------------------

TEST_F(ControlBaseTest, FocusElementActivatesTheWindowAndFocusesTheElement) {
    Attach();
    auto wrapper = WrapElement(Button());
    auto options = TopLevelObject().As<IovActionOptions>();
    ASSERT_TRUE(options);
    options->put_ActionMode(5);
    options->put_ActionFlags(6);

    wrapper->FocusElement();
    EXPECT_EQ(Host().ActiveWindow(), &MainWindow());
    EXPECT_TRUE(Button().IsFocused());
    ASSERT_EQ(Host().Actions().size(), 1u);
    EXPECT_EQ(Host().Actions()[0].kind, ovhost::ActionKind::Activate);
    EXPECT_EQ(Host().Actions()[0].actionMode, 2);
    EXPECT_EQ(Host().Actions()[0].actionFlags, 0);
    LONG mode = 0, flags = 0;
    options->get_ActionMode(&mode);
    options->get_ActionFlags(&flags);
    EXPECT_EQ(mode, 5);
    EXPECT_EQ(flags, 6);
}

TEST_F(ControlBaseTest, FocusElementWithoutFocusMemberStillActivatesAndRaisesTheHostsError) {
    Button().RemoveMember(L"Focus");
    Attach();
    auto wrapper = WrapElement(Button());
    EXPECT_NO_THROW(wrapper->FocusElement());
    EXPECT_EQ(Host().ActiveWindow(), &MainWindow());
    EXPECT_FALSE(Button().IsFocused());

    Host().FailActions({E_FAIL, L"The window cannot be activated", 0});
    auto e = Raised([&] { wrapper->FocusElement(); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message().View(), L"The window cannot be activated.");
}

TEST_F(ControlBaseTest, MenuInternalActivatesTheTopLevelWindowOrFails) {
    Attach();
    auto wrapper = WrapElement(Button());
    auto menu = wrapper.As<IovCtrlsMenuInternal>();
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->ActivateMenuOwner(), S_OK);
    EXPECT_TRUE(Host().Actions().empty());

    EXPECT_EQ(menu->ActivateTopLevelWindow(), S_OK);
    EXPECT_EQ(Host().ActiveWindow(), &MainWindow());

    Host().FailActions({E_ACCESSDENIED, L"Denied", 0});
    EXPECT_EQ(menu->ActivateTopLevelWindow(), E_ACCESSDENIED);
    Host().ClearActionFailure();

    // No host object: the generic error, reported by the wrapper's error report mode.
    auto detached = WrapObject(Button()).As<IovCtrlsMenuInternal>();
    Host().ClearLog();
    EXPECT_EQ(detached->ActivateTopLevelWindow(), S_OK);
    ASSERT_EQ(Host().Log().size(), 1u);
    EXPECT_EQ(Host().Log()[0], (ovhost::LogEntry{ovhost::LogError, L"An error occurred.", kReasons}));
    detached.As<IovCtrlBase>()->put_ErrorReportMode(2);
    EXPECT_EQ(detached->ActivateTopLevelWindow(), E_FAIL);
}

// --- shift words, empty values -----------------------------------------------------------------------

TEST(ShiftKeysTextTest, WordsOfPlainAndComplementedMasks) {
    struct Case {
        ULONG shift;
        const wchar_t* text;
    } cases[] = {
        {0, L"no"},
        {0x2000, L"the Shift"},
        {0x8000, L"the Alt"},
        {0x4000, L"the Control"},
        {0x6000, L"the Shift + Control"},
        {0xE000, L"the Shift + Alt + Control"},
        {0x0007, L"no"}, // complement bits only count in a complemented mask
        {0x1FFF, L"no"},
        {~0x5u, L"the Shift + Control"},
        {~0x2u, L"the Alt"},
        {~0x7u, L"the Shift + Alt + Control"},
        {~0x0u, L"no"},
        {~0x6000u, L"no"}, // a complemented mask reads bits 0 to 2 only
        {0xFFFF0000u, L"the Shift + Alt + Control"},
        {0xFFFE0000u, L"no"}, // upper half not all ones: plain flags
    };
    for (const auto& c : cases)
        EXPECT_EQ(CovWPFCtrl::GetShiftKeysText(static_cast<LONG>(c.shift)).View(), c.text)
            << std::hex << c.shift;
}

TEST(IsVariantEmptyTest, EmptyNullAndNullObjectsAlsoByReference) {
    wpfsim::Application app;
    ov::ComPtr<IDispatch> object = app.Add(nullptr, L"System.Windows.Window", L"w").NewDispatch();
    IDispatch* nullObject = nullptr;
    IDispatch* someObject = object.Get();
    ov::Variant empty, null, i4 = ov::Variant::Int(0), str = ov::Variant::String(L"");
    null.vt = VT_NULL;
    auto byRefDispatch = [](IDispatch** p) {
        VARIANT v;
        v.vt = VT_DISPATCH | VT_BYREF;
        v.ppdispVal = p;
        return v;
    };
    auto byRefVariant = [](VARIANT* p) {
        VARIANT v;
        v.vt = VT_VARIANT | VT_BYREF;
        v.pvarVal = p;
        return v;
    };
    VARIANT nullUnknown;
    nullUnknown.vt = VT_UNKNOWN;
    nullUnknown.punkVal = nullptr;
    VARIANT nullDispatch = byRefDispatch(&nullObject);
    VARIANT innerRef = byRefVariant(&nullDispatch);

    struct Case {
        const char* name;
        VARIANT value;
        bool empty;
    } cases[] = {
        {"VT_EMPTY", empty, true},
        {"VT_NULL", null, true},
        {"null VT_DISPATCH", ov::Variant::Dispatch(nullptr), true},
        {"VT_DISPATCH", ov::Variant::Dispatch(someObject), false},
        {"by reference to a null object", byRefDispatch(&nullObject), true},
        {"by reference to nothing", byRefDispatch(nullptr), true},
        {"by reference to an object", byRefDispatch(&someObject), false},
        {"variant by reference to VT_EMPTY", byRefVariant(&empty), true},
        {"variant by reference to VT_I4", byRefVariant(&i4), false},
        {"variant by reference to a null object by reference", byRefVariant(&innerRef), true},
        {"variant by reference to nothing", byRefVariant(nullptr), true},
        {"VT_I4 0", i4, false},
        {"empty VT_BSTR", str, false},
        {"null VT_UNKNOWN", nullUnknown, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CovWPFCtrl::IsVariantEmpty(c.value), c.empty) << c.name;
}

// --- host object searches ------------------------------------------------------------------------------

TEST_F(ControlBaseTest, FindChildHostObjectSearchesAllDescendantsByReference) {
    auto& nested = App().Add(&Button(), L"System.Windows.Controls.TextBlock", L"caption");
    auto& other = App().Add(nullptr, L"System.Windows.Window", L"otherWindow");
    Attach();
    ov::ComPtr<IovHostObject> windowObject = Host().HostObjectOf(MainWindow());
    struct Case {
        wpfsim::Element* element;
        bool found;
    } cases[] = {
        {&Panel(), true}, {&Button(), true}, {&nested, true}, {&MainWindow(), false}, {&other, false}};
    for (const auto& c : cases) {
        CovDispDriver clr(c.element->NewDispatch().Get());
        ov::ComPtr<IovHostObject> found = CovWPFCtrl::FindChildHostObject(windowObject.Get(), clr);
        EXPECT_EQ(found, c.found ? Host().HostObjectOf(*c.element) : nullptr) << c.element->Name();
    }
    CovDispDriver clr(Button().NewDispatch().Get());
    EXPECT_FALSE(CovWPFCtrl::FindChildHostObject(nullptr, clr));
    ExpectGenericError(Raised([&] { CovWPFCtrl::FindChildHostObject(windowObject.Get(), CovDispDriver()); }));
}

class PopupRootTest : public ControlBaseTest {
protected:
    // A popup window as WPF opens it: a top-level PopupRoot whose logical parent is the owning control.
    wpfsim::Element& OpenPopup(const wchar_t* name) {
        auto& popup = App().Add(nullptr, kPopupRoot, name);
        popup.SetLogicalParent(&Button());
        return popup;
    }
};

TEST_F(PopupRootTest, FindsElementsInPopupWindowsOnly) {
    auto& popup = OpenPopup(L"popup");
    auto& list = App().Add(&popup, L"System.Windows.Controls.StackPanel", L"list");
    auto& item = App().Add(&list, L"System.Windows.Controls.ListBoxItem", L"item");
    // A window of another class is no popup, even when it holds the element.
    auto& tool = App().Add(nullptr, L"System.Windows.Window", L"toolWindow");
    auto& toolItem = App().Add(&tool, L"System.Windows.Controls.ListBoxItem", L"toolItem");
    Attach();
    auto wrapper = WrapElement(Button());

    EXPECT_EQ(wrapper->FindInPopupRoots(CovDispDriver(item.NewDispatch().Get())), Host().HostObjectOf(item));
    EXPECT_EQ(wrapper->FindInPopupRoots(CovDispDriver(list.NewDispatch().Get())), Host().HostObjectOf(list));
    EXPECT_FALSE(wrapper->FindInPopupRoots(CovDispDriver(toolItem.NewDispatch().Get())));
    EXPECT_FALSE(wrapper->FindInPopupRoots(CovDispDriver(Panel().NewDispatch().Get())));
    // Without a host object there is nothing to search from.
    EXPECT_FALSE(WrapObject(Button())->FindInPopupRoots(CovDispDriver(item.NewDispatch().Get())));
}

TEST_F(PopupRootTest, SeesPopupsAndItemsThatAppearedAfterAttaching) {
    Attach();
    auto wrapper = WrapElement(Button());
    auto& popup = OpenPopup(L"late");
    auto& first = App().Add(&popup, L"System.Windows.Controls.MenuItem", L"first");
    CovDispDriver firstClr(first.NewDispatch().Get());
    ov::ComPtr<IovHostObject> found = wrapper->FindInPopupRoots(firstClr);
    ASSERT_TRUE(found);
    EXPECT_EQ(found, Host().HostObjectOf(first));

    // The popup's object exists now; an item added to it since is reached through the window's refresh.
    auto& second = App().Add(&popup, L"System.Windows.Controls.MenuItem", L"second");
    Host().Calls().Reset();
    found = wrapper->FindInPopupRoots(CovDispDriver(second.NewDispatch().Get()));
    ASSERT_TRUE(found);
    EXPECT_EQ(found, Host().HostObjectOf(second));
    EXPECT_GE(Host().Calls().Of("IovHostObject::RefreshChildren"), 1);
}

// --- the wrapper as COM object -----------------------------------------------------------------------

TEST_F(ControlBaseTest, PlainWrapperAnswersItsInterfacesAndIsReachedByName) {
    Attach();
    GUID id = Button().Id();
    ov::ComPtr<IDispatch> control = ov::MakeControl<CovWPFCtrl>(nullptr, &id);
    ASSERT_TRUE(control);
    ov::ComPtr<IUnknown> identity = control.As<IUnknown>();
    for (const IID* iid :
         {&__uuidof(IovWPFControl), &__uuidof(IovCtrlsMenuInternal), &__uuidof(IovCtrlBase)}) {
        ov::ComPtr<IUnknown> p;
        ASSERT_EQ(identity->QueryInterface(*iid, p.PutVoid()), S_OK);
        EXPECT_EQ(p.As<IUnknown>(), identity);
    }
    ov::ComPtr<IUnknown> absent;
    EXPECT_EQ(identity->QueryInterface(__uuidof(IovWPFButton), absent.PutVoid()), E_NOINTERFACE);

    LPOLESTR names[] = {const_cast<LPOLESTR>(L"PopupMenu")};
    DISPID dispid = 0;
    ASSERT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid), S_OK);
    EXPECT_EQ(dispid, 0x3500000);
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"ClickButton")};
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &dispid), DISP_E_UNKNOWNNAME);

    // No menu objects yet: the property fails plainly and hands out nothing.
    DISPPARAMS none{};
    ov::Variant result;
    HRESULT hr = control->Invoke(0x3500000, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                 &result, nullptr, nullptr);
    EXPECT_TRUE(hr == E_NOTIMPL || hr == DISP_E_EXCEPTION) << std::hex << hr;
    EXPECT_TRUE(result.vt == VT_EMPTY || (result.vt == VT_DISPATCH && !result.pdispVal));

    auto wrapper = control.As<IovWPFControl>();
    IDispatch* menu = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(wrapper->get_PopupMenu(&menu), E_NOTIMPL);
    EXPECT_EQ(menu, nullptr);
    EXPECT_EQ(wrapper->get_PopupMenu(nullptr), E_POINTER);
}

} // namespace
