// Host objects as the module walks and reads them, the object service's lookups, the option store and the
// syntax objects.
#include "HostFixture.h"

#include "frame/HostIdentifiers.h"

using namespace hosttest;

namespace {

GUID TypeOf(IovHostObject* o) {
    GUID type{};
    EXPECT_EQ(o->GetObjectType(&type), S_OK);
    return type;
}

ov::ComPtr<IovHostObject> ParentOf(IovHostObject* o) {
    ov::ComPtr<IovHostObject> parent;
    EXPECT_EQ(o->GetParent(parent.Put()), S_OK);
    return parent;
}

LONG ChildCount(IovHostObject* o) {
    LONG n = -1;
    EXPECT_EQ(o->GetChildCount(&n), S_OK);
    return n;
}

HWND HandleOf(IovHostObject* o) {
    HWND handle = nullptr;
    if (auto window = ov::QueryAs<IovNativeWindow>(o)) EXPECT_EQ(window->GetWindowHandle(&handle), S_OK);
    return handle;
}

class HostObjectTest : public HostTest {
protected:
    ov::ComPtr<IUnknown> FindById(const GUID& id, IUnknown* parent = nullptr) {
        ov::ComPtr<IUnknown> found;
        EXPECT_EQ(Service()->FindHostObject(parent, &id, found.Put()), S_OK);
        return found;
    }
};

TEST_F(HostObjectTest, TreeRunsFromElementsOverTheirWindowToTheProcess) {
    const HWND main = HandleOf(ObjectOf(window).Get());
    EXPECT_TRUE(IsWindow(main));
    EXPECT_NE(HandleOf(ObjectOf(tool).Get()), main);
    // Up from the button; the walk "while the object has a window handle" ends at the top-level window.
    const struct {
        GUID type;
        const wpfsim::Element* element; // its identifier, when the object has one of its own
        HWND handle;
    } chain[] = {{ovhost::ElementType, ok, main},
                 {ovhost::ElementType, panel, main},
                 {ov::HostIds::Window, window, main},
                 {ov::HostIds::TopLevelWindow, nullptr, nullptr},
                 {ov::HostIds::ProcessContainer, nullptr, nullptr}};
    ov::ComPtr<IovHostObject> current = ObjectOf(ok);
    for (const auto& step : chain) {
        ASSERT_TRUE(current);
        EXPECT_TRUE(IsEqualGUID(TypeOf(current.Get()), step.type));
        EXPECT_EQ(HandleOf(current.Get()), step.handle);
        GUID id{};
        ASSERT_EQ(current->GetElementId(&id), S_OK);
        if (step.element) EXPECT_TRUE(IsEqualGUID(id, step.element->Id()));
        current = ParentOf(current.Get());
    }
    EXPECT_FALSE(current);
    EXPECT_TRUE(ParentOf(ObjectOf(window).Get()).As<IovHostWindow>());
    EXPECT_EQ(ChildCount(host->ProcessObject().Get()), 2);

    auto panelObject = ObjectOf(panel);
    ASSERT_EQ(ChildCount(panelObject.Get()), 3);
    for (LONG i = 0; i < 3; ++i) {
        ov::ComPtr<IovHostObject> child;
        ASSERT_EQ(panelObject->GetChild(i, child.Put()), S_OK);
        EXPECT_EQ(Identity(child.Get()), Identity(ObjectOf(panel->Children()[i]).Get()));
    }
    ov::ComPtr<IovHostObject> none;
    EXPECT_EQ(panelObject->GetChild(3, none.Put()), E_INVALIDARG);
    EXPECT_FALSE(none);
}

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

TEST_F(HostObjectTest, ElementObjectsCarryTheElementsNativeObjectAndAnswerByName) {
    auto button = ObjectOf(ok);
    auto object = button.As<IovObject>();
    ov::ComPtr<IDispatch> first, second;
    ASSERT_EQ(object->GetNativeObject(first.Put()), S_OK);
    ASSERT_EQ(object->GetNativeObject(second.Put()), S_OK);
    EXPECT_EQ(wpfsim::ObjectOf(first.Get()).Get(), static_cast<wpfsim::ClrObject*>(ok));
    EXPECT_NE(Identity(first.Get()), Identity(second.Get())) << "a proxy per call, as the bridge does";
    ov::Bstr kind, technology, fullName;
    ASSERT_EQ(object->GetNativeKind(kind.Put()), S_OK);
    EXPECT_EQ(kind.View(), L"NativeClrObject");
    ASSERT_EQ(button.As<IovNativeObjectInfo>()->GetTechnology(technology.Put()), S_OK);
    EXPECT_EQ(technology.View(), L"WPFObject");
    ASSERT_EQ(ObjectOf(label).As<IovObject>()->GetFullName(fullName.Put()), S_OK);
    EXPECT_EQ(fullName.View(), LR"(Process("App").Window("mainWindow").WPFObject("mainWindow").WPFObject("panel"))"
                               LR"(.WPFObject("TextBlock", 1))");

    ov::Variant width;
    ASSERT_EQ(CallByName(button.As<IDispatch>().Get(), L"Width", DISPATCH_PROPERTYGET, {}, &width), S_OK);
    EXPECT_EQ(width.vt, VT_I4);
    EXPECT_EQ(width.lVal, 100);
    EXPECT_EQ(Calls("IDispatch::Invoke"), 1);
    EXPECT_EQ(Calls("IovScreenObject::get_Width"), 1);
}

TEST_F(HostObjectTest, ExtendersAndExtensionsDependOnTheKindOfObject) {
    const struct {
        const char* what;
        ov::ComPtr<IovHostObject> object;
        bool nativeExtender, onScreenActions, windowActions, hostWindow;
    } cases[] = {
        {"element", ObjectOf(ok), true, true, false, false},
        {"window", ObjectOf(window), true, false, true, false},
        {"top-level window", ParentOf(ObjectOf(window).Get()), false, false, false, true},
        {"process", host->ProcessObject(), false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const GUID* iid : {&__uuidof(IovObject), &__uuidof(IovScreenObject)}) {
            ov::ComPtr<IUnknown> extender;
            VARIANT_BOOL found = VARIANT_FALSE;
            ASSERT_EQ(c.object->GetExtender(iid, extender.Put(), &found), S_OK);
            EXPECT_EQ(found != VARIANT_FALSE, c.nativeExtender);
            EXPECT_EQ(static_cast<bool>(extender), c.nativeExtender);
        }
        auto extension = [&](const GUID& id) {
            ov::ComPtr<IUnknown> found;
            EXPECT_EQ(c.object->GetExtension(&id, found.Put()), S_OK);
            return found;
        };
        EXPECT_EQ(static_cast<bool>(extension(ov::HostIds::OnScreenActions).As<IovMouseActions>()),
                  c.onScreenActions);
        EXPECT_EQ(static_cast<bool>(extension(ov::HostIds::WindowActions).As<IovMouseActions>()), c.windowActions);
        EXPECT_EQ(static_cast<bool>(extension(__uuidof(IovHostWindow)).As<IovHostWindow>()), c.hostWindow);
        EXPECT_FALSE(extension(GUID_NULL));
        EXPECT_EQ(static_cast<bool>(c.object.As<IovExtensionList>()), c.nativeExtender);
    }
}

TEST_F(HostObjectTest, ChildrenChangeOnlyOnRefreshButNewWindowsAppearAtOnce) {
    auto panelObject = ObjectOf(panel), cancelObject = ObjectOf(cancel);
    auto* added = Add(panel, L"System.Windows.Controls.CheckBox", L"added", {20, 90, 120, 110});
    app->Remove(*cancel);
    EXPECT_EQ(ChildCount(panelObject.Get()), 3);
    VARIANT_BOOL valid = VARIANT_TRUE;
    ASSERT_EQ(cancelObject.As<IovObject>()->IsValid(&valid), S_OK);
    EXPECT_FALSE(valid) << "a removed element's object is invalid at once";
    EXPECT_FALSE(FindById(added->Id()));

    // A refresh of an ancestor brings the whole subtree up to date.
    ASSERT_EQ(ObjectOf(window)->RefreshChildren(), S_OK);
    EXPECT_EQ(ChildCount(panelObject.Get()), 3); // ok, label, added
    EXPECT_TRUE(FindById(added->Id()));
    EXPECT_FALSE(FindById(cancel->Id()));

    auto process = host->ProcessObject();
    auto* popup = Add(nullptr, L"System.Windows.Controls.Primitives.PopupRoot", L"", {20, 50, 120, 150});
    Add(popup, L"System.Windows.Controls.ListBoxItem", L"item", {20, 50, 120, 70});
    EXPECT_EQ(ChildCount(process.Get()), 3);
    ov::ComPtr<IovHostObject> popupTop, popupWindow;
    ASSERT_EQ(process->GetChild(2, popupTop.Put()), S_OK);
    ASSERT_EQ(popupTop->GetChild(0, popupWindow.Put()), S_OK);
    EXPECT_EQ(ChildCount(popupWindow.Get()), 1);
    app->Remove(*popup);
    EXPECT_EQ(ChildCount(process.Get()), 2);
}

TEST_F(HostObjectTest, OptionStoreRecordsClassNameListsOfTheRightShapeOnly) {
    ov::ComPtr<IovOptionStore> store;
    ov::ComPtr<IUnknown> extension;
    VARIANT_BOOL found = VARIANT_FALSE;
    ASSERT_EQ(ObjectOf(ok)->GetOptionStore(store.Put(), &found), S_OK);
    ASSERT_EQ(store->GetExtension(&__uuidof(IovOptionNotification), extension.Put(), &found), S_OK);
    ASSERT_TRUE(found);
    auto notification = extension.As<IovOptionNotification>();
    auto list = [](std::vector<const wchar_t*> names, ULONG columns) {
        SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(names.size()), 0}, {columns, 0}};
        ov::Variant v;
        v.vt = VT_ARRAY | VT_VARIANT;
        v.parray = SafeArrayCreate(VT_VARIANT, 2, bounds);
        for (LONG i = 0; i < static_cast<LONG>(names.size()); ++i) {
            LONG index[2] = {i, 0};
            ov::Variant name = ov::Variant::String(names[static_cast<size_t>(i)]);
            SafeArrayPutElement(v.parray, index, &name);
        }
        return v;
    };
    const wchar_t* key = L"{11111111-2222-3333-4444-555555555555}";
    ASSERT_EQ(CallByName(extension.As<IDispatch>().Get(), L"NotifyOptionUpdated", DISPATCH_METHOD,
                         {ov::Variant::String(key), list({L"System.Windows.Controls.Button", L"MyApp.*"}, 1)}),
              S_OK);
    ASSERT_EQ(host->OptionUpdates().size(), 1u);
    EXPECT_EQ(host->OptionUpdates()[0].key, key);
    ov::Variant stored = host->OptionValue(key), second;
    LONG index[2] = {1, 0};
    ASSERT_EQ(SafeArrayGetElement(stored.parray, index, &second), S_OK);
    EXPECT_EQ(std::wstring(second.bstrVal), L"MyApp.*");

    EXPECT_EQ(notification->NotifyOptionUpdated(ov::Bstr(key).Get(), list({L"x"}, 2)), E_INVALIDARG);
    EXPECT_TRUE(TakeErrorInfo().present);
    EXPECT_EQ(host->OptionUpdates().size(), 1u);
    EXPECT_EQ(Calls("IovOptionNotification::NotifyOptionUpdated"), 2);
}

TEST_F(HostObjectTest, SyntaxObjectsAreMadeWithoutContextAndKeepTheirOwnValues) {
    auto make = [&](const GUID& iid, IUnknown* context = nullptr) {
        ov::ComPtr<IUnknown> made;
        EXPECT_EQ(Service()->CreateObject(&iid, context, made.Put()), context ? E_INVALIDARG : S_OK);
        return made;
    };
    EXPECT_FALSE(make(__uuidof(IovSyntaxMember), host->Hook().Get()));
    auto member = make(__uuidof(IovSyntaxMember)).As<IovSyntaxMember>();
    auto arguments = make(__uuidof(IovSyntaxArguments)).As<IovSyntaxArguments>();
    ASSERT_EQ(member->put_Name(ov::Bstr(L"Items").Get()), S_OK);
    ASSERT_EQ(member->put_Owner(host->MakeSyntaxRoot(L"App.list").Get()), S_OK);
    ASSERT_EQ(member->put_Arguments(arguments.Get()), S_OK);

    // A by-reference value is copied: what it pointed at may change afterwards.
    ov::Variant target = ov::Variant::String(L"say \"hi\""), byRef, number = ov::Variant::Double(2.5);
    byRef.vt = VT_BYREF | VT_VARIANT;
    byRef.pvarVal = &target;
    for (VARIANT* value : {static_cast<VARIANT*>(&byRef), static_cast<VARIANT*>(&number)}) {
        auto argument = make(__uuidof(IovSyntaxArgument)).As<IovSyntaxArgument>();
        ASSERT_EQ(argument->put_Value(*value), S_OK);
        ASSERT_EQ(arguments->Add(argument.Get()), S_OK);
    }
    byRef.vt = VT_EMPTY; // not the owner of target
    target = ov::Variant::String(L"changed");
    EXPECT_EQ(ovhost::SyntaxText(member.Get()), LR"(App.list.Items("say ""hi""", 2.5))");
}

} // namespace
