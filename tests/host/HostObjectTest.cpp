// Host objects as the module reads them and the object service's lookups. The tree's shape, the walk up to
// the window to activate and the extensions by kind of object are shown through the module by the tests of
// its control base (activation, clicks, searches below a parent and among popups).
#include "HostFixture.h"

using namespace hosttest;

namespace {

LONG ChildCount(IovHostObject* o) {
    LONG n = -1;
    EXPECT_EQ(o->GetChildCount(&n), S_OK);
    return n;
}

ov::ComPtr<IovHostObject> ChildAt(IovHostObject* o, LONG index) {
    ov::ComPtr<IovHostObject> child;
    EXPECT_EQ(o->GetChild(index, child.Put()), S_OK);
    return child;
}

class HostObjectTest : public HostTest {
protected:
    ov::ComPtr<IUnknown> FindById(const GUID& id, IUnknown* parent = nullptr) {
        ov::ComPtr<IUnknown> found;
        EXPECT_EQ(Service()->FindHostObject(parent, &id, found.Put()), S_OK);
        return found;
    }
};

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
    EXPECT_EQ(fullName.View(),
              LR"(Process("App").Window("mainWindow").WPFObject("mainWindow").WPFObject("panel"))"
              LR"(.WPFObject("TextBlock", 1))");

    ov::Variant width;
    ASSERT_EQ(CallByName(button.As<IDispatch>().Get(), L"Width", DISPATCH_PROPERTYGET, {}, &width), S_OK);
    EXPECT_EQ(width.vt, VT_I4);
    EXPECT_EQ(width.lVal, 100);
    EXPECT_EQ(Calls("IDispatch::Invoke"), 1);
    EXPECT_EQ(Calls("IovScreenObject::get_Width"), 1);
}

TEST_F(HostObjectTest, ChildrenChangeOnlyOnRefreshButNewWindowsAppearAtOnce) {
    auto panelObject = ObjectOf(panel), cancelObject = ObjectOf(cancel);
    auto* added = Add(panel, L"System.Windows.Controls.CheckBox", L"added", {20, 90, 120, 110});
    app->Remove(*cancel);
    VARIANT_BOOL valid = VARIANT_TRUE;
    ASSERT_EQ(cancelObject.As<IovObject>()->IsValid(&valid), S_OK);
    EXPECT_FALSE(valid) << "a removed element's object is invalid at once";
    EXPECT_EQ(ChildCount(panelObject.Get()), 3);
    EXPECT_FALSE(FindById(added->Id()));
    // A refresh of an ancestor brings the whole subtree up to date: ok, label, added.
    ASSERT_EQ(ObjectOf(window)->RefreshChildren(), S_OK);
    EXPECT_EQ(Identity(ChildAt(panelObject.Get(), 2).Get()), Identity(FindById(added->Id()).Get()));
    EXPECT_FALSE(FindById(cancel->Id()));

    auto process = host->ProcessObject();
    auto* popup = Add(nullptr, L"System.Windows.Controls.Primitives.PopupRoot", L"", {20, 50, 120, 150});
    Add(popup, L"System.Windows.Controls.ListBoxItem", L"item", {20, 50, 120, 70});
    ASSERT_EQ(ChildCount(process.Get()), 3);
    EXPECT_EQ(ChildCount(ChildAt(ChildAt(process.Get(), 2).Get(), 0).Get()), 1);
    app->Remove(*popup);
    EXPECT_EQ(ChildCount(process.Get()), 2);
}

} // namespace
