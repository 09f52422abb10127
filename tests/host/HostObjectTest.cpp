// Host objects as the module walks and reads them: the tree and its types, lookups by element
// identifier, the native object behind an object, extenders and extensions, windows, the refresh rule.
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

ov::ComPtr<IUnknown> Extension(IovHostObject* o, const GUID& id) {
    ov::ComPtr<IUnknown> extension;
    EXPECT_EQ(o->GetExtension(&id, extension.Put()), S_OK);
    return extension;
}

class HostObjectTest : public HostTest {
protected:
    ov::ComPtr<IUnknown> FindById(const GUID& id, IUnknown* parent = nullptr) {
        ov::ComPtr<IUnknown> found;
        EXPECT_EQ(Service()->FindHostObject(parent, &id, found.Put()), S_OK);
        return found;
    }
};

TEST_F(HostObjectTest, TreeRunsFromProcessOverTopLevelWindowsToElements) {
    auto process = host->ProcessObject();
    ASSERT_EQ(ChildCount(process.Get()), 2); // the two windows
    EXPECT_TRUE(IsEqualGUID(TypeOf(process.Get()), ov::HostIds::ProcessContainer));
    EXPECT_FALSE(ParentOf(process.Get()));

    auto button = ObjectOf(ok);
    struct Step {
        const wpfsim::Element* element; // null: no element of its own
        GUID type;
    } chain[] = {{ok, ovhost::ElementType},
                 {panel, ovhost::ElementType},
                 {window, ov::HostIds::Window},
                 {window, ov::HostIds::TopLevelWindow},
                 {nullptr, ov::HostIds::ProcessContainer}};
    ov::ComPtr<IovHostObject> current = button;
    for (const auto& step : chain) {
        ASSERT_TRUE(current);
        EXPECT_TRUE(IsEqualGUID(TypeOf(current.Get()), step.type));
        GUID id{};
        ASSERT_EQ(current->GetElementId(&id), S_OK);
        if (step.element && !IsEqualGUID(step.type, ov::HostIds::TopLevelWindow)) {
            EXPECT_TRUE(IsEqualGUID(id, step.element->Id()));
        }
        current = ParentOf(current.Get());
    }
    EXPECT_FALSE(current);

    // Children in the element's order.
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

TEST_F(HostObjectTest, FindHostObjectFindsEveryElementByItsIdentifier) {
    for (auto* e : {window, panel, ok, cancel, label, tool})
        EXPECT_EQ(Identity(FindById(e->Id()).Get()), Identity(ObjectOf(e).Get()));
    EXPECT_FALSE(FindById(NewGuid()));

    // With a parent, only that parent's subtree is searched.
    EXPECT_TRUE(FindById(ok->Id(), ObjectOf(window).Get()));
    EXPECT_TRUE(FindById(ok->Id(), ObjectOf(ok).Get()));
    EXPECT_FALSE(FindById(ok->Id(), ObjectOf(tool).Get()));
    EXPECT_EQ(Calls("IovObjectService::FindHostObject"), 10);
}

TEST_F(HostObjectTest, CreateObjectGivesTheElementsOneObject) {
    ov::ComPtr<IUnknown> made;
    ASSERT_EQ(Service()->CreateObject(&ok->Id(), nullptr, made.Put()), S_OK);
    EXPECT_EQ(Identity(made.Get()), Identity(FindById(ok->Id()).Get()));

    // An element the host has not seen yet gets its object now, and is found from then on.
    auto* late = Add(panel, L"System.Windows.Controls.CheckBox", L"late", Rect(20, 90, 120, 110));
    EXPECT_FALSE(FindById(late->Id()));
    ASSERT_EQ(Service()->CreateObject(&late->Id(), nullptr, made.Put()), S_OK);
    EXPECT_EQ(Identity(made.Get()), Identity(FindById(late->Id()).Get()));

    GUID unknown = NewGuid();
    EXPECT_EQ(Service()->CreateObject(&unknown, nullptr, made.Put()), ovhost::errors::NoElementResult);
    EXPECT_FALSE(made);
    auto error = TakeErrorInfo();
    EXPECT_EQ(error.description,
              L"There is no object with the identifier " + ovhost::GuidText(unknown) + L".");
}

TEST_F(HostObjectTest, ElementObjectsCarryTheElementsNativeObject) {
    auto button = ObjectOf(ok);
    auto object = button.As<IovObject>();
    ASSERT_TRUE(object);
    ov::ComPtr<IDispatch> first, second;
    ASSERT_EQ(object->GetNativeObject(first.Put()), S_OK);
    ASSERT_EQ(object->GetNativeObject(second.Put()), S_OK);
    EXPECT_EQ(wpfsim::ObjectOf(first.Get()).Get(), static_cast<wpfsim::ClrObject*>(ok));
    EXPECT_NE(Identity(first.Get()), Identity(second.Get())); // a proxy per call, as the bridge does

    ov::Bstr kind, technology, fullName;
    ASSERT_EQ(object->GetNativeKind(kind.Put()), S_OK);
    EXPECT_EQ(kind.View(), L"NativeClrObject");
    ASSERT_EQ(button.As<IovNativeObjectInfo>()->GetTechnology(technology.Put()), S_OK);
    EXPECT_EQ(technology.View(), L"WPFObject");
    ASSERT_EQ(ObjectOf(label).As<IovObject>()->GetFullName(fullName.Put()), S_OK);
    EXPECT_EQ(fullName.View(),
              LR"(Process("App").Window("mainWindow").WPFObject("mainWindow").WPFObject("panel"))"
              LR"(.WPFObject("TextBlock", 1))");

    LONG okSerial = 0, cancelSerial = 0;
    object->GetSerialNumber(&okSerial);
    ObjectOf(cancel).As<IovObject>()->GetSerialNumber(&cancelSerial);
    EXPECT_NE(okSerial, cancelSerial);

    // The host object's IDispatch answers by name, from the host's type library.
    auto dispatch = button.As<IDispatch>();
    ASSERT_TRUE(dispatch);
    ov::Variant width, nativeKind;
    ASSERT_EQ(CallByName(dispatch.Get(), L"Width", DISPATCH_PROPERTYGET, {}, &width), S_OK);
    EXPECT_EQ(width.vt, VT_I4);
    EXPECT_EQ(width.lVal, 100);
    ASSERT_EQ(CallByName(dispatch.Get(), L"GetNativeKind", DISPATCH_METHOD, {}, &nativeKind), S_OK);
    EXPECT_EQ(std::wstring(nativeKind.bstrVal), L"NativeClrObject");
    EXPECT_EQ(Calls("IDispatch::GetIDsOfNames"), 2);
    EXPECT_EQ(Calls("IDispatch::Invoke"), 2);
    EXPECT_EQ(Calls("IovScreenObject::get_Width"), 1);
}

TEST_F(HostObjectTest, ExtendersAndExtensionsDependOnTheKindOfObject) {
    auto process = host->ProcessObject();
    auto top = ParentOf(ObjectOf(window).Get());
    struct Case {
        const char* what;
        ov::ComPtr<IovHostObject> object;
        bool nativeExtender, onScreenActions, windowActions, hostWindow;
    } cases[] = {
        {"element", ObjectOf(ok), true, true, false, false},
        {"window", ObjectOf(window), true, false, true, false},
        {"top-level window", top, false, false, false, true},
        {"process", process, false, false, false, false},
    };
    for (const auto& c : cases) {
        for (const GUID* iid : {&__uuidof(IovObject), &__uuidof(IovScreenObject)}) {
            ov::ComPtr<IUnknown> extender;
            VARIANT_BOOL found = VARIANT_FALSE;
            ASSERT_EQ(c.object->GetExtender(iid, extender.Put(), &found), S_OK) << c.what;
            EXPECT_EQ(found != VARIANT_FALSE, c.nativeExtender) << c.what;
            EXPECT_EQ(static_cast<bool>(extender), c.nativeExtender) << c.what;
        }
        EXPECT_EQ(
            static_cast<bool>(Extension(c.object.Get(), ov::HostIds::OnScreenActions).As<IovMouseActions>()),
            c.onScreenActions)
            << c.what;
        EXPECT_EQ(
            static_cast<bool>(Extension(c.object.Get(), ov::HostIds::WindowActions).As<IovMouseActions>()),
            c.windowActions)
            << c.what;
        EXPECT_EQ(static_cast<bool>(Extension(c.object.Get(), __uuidof(IovHostWindow)).As<IovHostWindow>()),
                  c.hostWindow)
            << c.what;
        EXPECT_FALSE(Extension(c.object.Get(), GUID_NULL)) << c.what;
    }
}

TEST_F(HostObjectTest, WalkUpTheObjectsWithAWindowHandleEndsAtTheWindowToActivate) {
    // The walk of the focus step: up while the object answers IovNativeWindow and has a parent.
    ov::ComPtr<IovHostObject> current = ObjectOf(ok);
    HWND handle = nullptr;
    ASSERT_EQ(current.As<IovNativeWindow>()->GetWindowHandle(&handle), S_OK);
    while (current.As<IovNativeWindow>()) {
        auto parent = ParentOf(current.Get());
        if (!parent) break;
        current = parent;
    }
    EXPECT_TRUE(IsEqualGUID(TypeOf(current.Get()), ov::HostIds::TopLevelWindow));
    EXPECT_TRUE(current.As<IovHostWindow>());

    // Every object in a window reports that window's handle; windows differ.
    HWND windowHandle = nullptr, toolHandle = nullptr;
    ObjectOf(window).As<IovNativeWindow>()->GetWindowHandle(&windowHandle);
    ObjectOf(tool).As<IovNativeWindow>()->GetWindowHandle(&toolHandle);
    EXPECT_EQ(handle, windowHandle);
    EXPECT_NE(windowHandle, toolHandle);
    EXPECT_TRUE(IsWindow(windowHandle));

    struct Probe {
        POINT point;
        HWND expected;
    } probes[] = {{{50, 30}, windowHandle}, {{600, 100}, toolHandle}, {{450, 100}, nullptr}};
    for (const auto& p : probes) {
        HWND at = reinterpret_cast<HWND>(1);
        ASSERT_EQ(Service()->GetWindowAtPoint(p.point.x, p.point.y, &at), S_OK);
        EXPECT_EQ(at, p.expected) << p.point.x << "," << p.point.y;
    }
}

TEST_F(HostObjectTest, ChildrenChangeOnlyOnRefreshButNewWindowsAppearAtOnce) {
    auto panelObject = ObjectOf(panel);
    auto cancelObject = ObjectOf(cancel);
    auto* added = Add(panel, L"System.Windows.Controls.CheckBox", L"added", Rect(20, 90, 120, 110));
    app->Remove(*cancel);

    // Until the refresh, the host shows the tree as it saw it; the removed element's object is invalid.
    EXPECT_EQ(ChildCount(panelObject.Get()), 3);
    VARIANT_BOOL valid = VARIANT_TRUE;
    ASSERT_EQ(cancelObject.As<IovObject>()->IsValid(&valid), S_OK);
    EXPECT_FALSE(valid);
    EXPECT_FALSE(FindById(added->Id()));

    // A refresh of an ancestor brings the whole subtree up to date.
    ASSERT_EQ(ObjectOf(window)->RefreshChildren(), S_OK);
    EXPECT_EQ(ChildCount(panelObject.Get()), 3); // ok, label, added
    EXPECT_TRUE(FindById(added->Id()));
    EXPECT_FALSE(FindById(cancel->Id()));
    EXPECT_EQ(Calls("IovHostObject::RefreshChildren"), 1);

    // A new top-level window (a popup) shows under the process without a refresh.
    auto process = host->ProcessObject();
    auto* popup = Add(nullptr, L"System.Windows.Controls.Primitives.PopupRoot", L"", Rect(20, 50, 120, 150));
    Add(popup, L"System.Windows.Controls.ListBoxItem", L"item", Rect(20, 50, 120, 70));
    EXPECT_EQ(ChildCount(process.Get()), 3);
    ov::ComPtr<IovHostObject> popupTop, popupWindow;
    ASSERT_EQ(process->GetChild(2, popupTop.Put()), S_OK);
    ASSERT_EQ(popupTop->GetChild(0, popupWindow.Put()), S_OK);
    EXPECT_TRUE(IsEqualGUID(TypeOf(popupWindow.Get()), ov::HostIds::Window));
    EXPECT_EQ(ChildCount(popupWindow.Get()), 1);
    app->Remove(*popup);
    EXPECT_EQ(ChildCount(process.Get()), 2);
}

TEST_F(HostObjectTest, OptionStoreTakesTheClassNameListsByName) {
    ov::ComPtr<IovOptionStore> store;
    VARIANT_BOOL found = VARIANT_FALSE;
    ASSERT_EQ(ObjectOf(ok)->GetOptionStore(store.Put(), &found), S_OK);
    ASSERT_TRUE(found);
    ov::ComPtr<IUnknown> extension;
    ASSERT_EQ(store->GetExtension(&__uuidof(IovOptionNotification), extension.Put(), &found), S_OK);
    ASSERT_TRUE(found);
    auto notification = extension.As<IDispatch>();
    ASSERT_TRUE(notification);

    auto makeList = [](std::vector<const wchar_t*> names, ULONG columns) {
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
    ASSERT_EQ(CallByName(notification.Get(), L"NotifyOptionUpdated", DISPATCH_METHOD,
                         {ov::Variant::String(key),
                          makeList({L"System.Windows.Controls.Button", L"MyApp.*Button"}, 1)}),
              S_OK);
    ASSERT_EQ(host->OptionUpdates().size(), 1u);
    EXPECT_EQ(host->OptionUpdates()[0].key, key);
    ov::Variant stored = host->OptionValue(key);
    ASSERT_EQ(stored.vt, VT_ARRAY | VT_VARIANT);
    LONG index[2] = {1, 0};
    ov::Variant second;
    ASSERT_EQ(SafeArrayGetElement(stored.parray, index, &second), S_OK);
    EXPECT_EQ(std::wstring(second.bstrVal), L"MyApp.*Button");

    // A list of the wrong shape is refused with the host's error.
    EXPECT_EQ(
        extension.As<IovOptionNotification>()->NotifyOptionUpdated(ov::Bstr(key).Get(), makeList({L"x"}, 2)),
        E_INVALIDARG);
    EXPECT_TRUE(TakeErrorInfo().present);
    EXPECT_EQ(host->OptionUpdates().size(), 1u);
    EXPECT_EQ(Calls("IovOptionNotification::NotifyOptionUpdated"), 2);

    ASSERT_EQ(store->GetExtension(&GUID_NULL, extension.Put(), &found), S_OK);
    EXPECT_FALSE(found);
    EXPECT_FALSE(extension);
}

// An extender as the module registers it: it extends objects of native CLR objects with a hook object
// that holds the host object and can turn invalid.
class FakeHook : public IovObject {
public:
    using Interfaces = ov::Interfaces<IovObject, ov::Via<IDispatch, IovObject>>;
    explicit FakeHook(IUnknown* hostObject) : hostObject_(hostObject) {}
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetSourceObject(IDispatch** p) override { return *p = nullptr, S_OK; }
    HRESULT STDMETHODCALLTYPE GetNativeObject(IDispatch** p) override { return *p = nullptr, S_OK; }
    HRESULT STDMETHODCALLTYPE GetNativeKind(BSTR* kind) override {
        return *kind = SysAllocString(L"Hook"), S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsValid(VARIANT_BOOL* v) override {
        return *v = valid ? VARIANT_TRUE : VARIANT_FALSE, S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFullName(BSTR* name) override { return *name = nullptr, S_OK; }
    HRESULT STDMETHODCALLTYPE GetSerialNumber(LONG* serial) override { return *serial = 0, S_OK; }
    bool valid = true;

private:
    ov::ComPtr<IUnknown> hostObject_;
};

class FakeExtender : public IovModule, public IovModuleExtendedObjects {
public:
    using Interfaces = ov::Interfaces<IovModule, IovModuleExtendedObjects>;
    HRESULT STDMETHODCALLTYPE GetModuleKey(GUID* key) override { return *key = key_, S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtendedObject(IUnknown* hostObject, IDispatch** extension,
                                                VARIANT_BOOL* handled) override {
        ++asked;
        *extension = nullptr;
        *handled = VARIANT_FALSE;
        auto object = ov::QueryAs<IovObject>(hostObject);
        ov::Bstr kind;
        if (!object || FAILED(object->GetNativeKind(kind.Put())) || kind.View() != L"NativeClrObject")
            return S_OK;
        last = ov::Create<FakeHook>(hostObject);
        *extension = static_cast<IovObject*>(ov::ComPtr<FakeHook>(last).Detach());
        *handled = VARIANT_TRUE;
        return S_OK;
    }
    int asked = 0;
    ov::ComPtr<FakeHook> last;

private:
    GUID key_ = NewGuid();
};

TEST_F(HostObjectTest, ExtendersAreAskedOnceAndAgainWhenTheirObjectsTurnInvalid) {
    auto extender = ov::Create<FakeExtender>();
    GUID key{};
    extender->GetModuleKey(&key);
    ASSERT_EQ(host->ModuleManager()->RegisterModule(ov::detail::UnknownOf(extender.Get())), S_OK);

    auto list = ObjectOf(ok).As<IovExtensionList>();
    ASSERT_TRUE(list);
    LONG count = 0;
    ASSERT_EQ(list->GetCount(&count), S_OK);
    ASSERT_EQ(count, 1);
    ov::ComPtr<IUnknown> first;
    ASSERT_EQ(list->GetExtensionObject(0, first.Put()), S_OK);
    EXPECT_EQ(Identity(first.Get()), Identity(ov::detail::UnknownOf(extender->last.Get())));
    list->GetCount(&count);
    EXPECT_EQ(extender->asked, 1);

    // An extension object that reports itself invalid makes the host ask again.
    extender->last->valid = false;
    list->GetCount(&count);
    EXPECT_EQ(extender->asked, 2);
    EXPECT_EQ(host->ExtensionsOf(*ok).size(), 1u);

    // Containers have no native object and carry no extensions.
    EXPECT_FALSE(host->ProcessObject().As<IovExtensionList>());

    // Once the extender is gone, the list is empty.
    ASSERT_EQ(host->ModuleManager()->UnregisterModule(&key), S_OK);
    ASSERT_EQ(list->GetCount(&count), S_OK);
    EXPECT_EQ(count, 0);
    first.Reset();
    extender->last.Reset();
}

} // namespace
