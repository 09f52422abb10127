// Host objects as the module reads them and the object service's lookups. The tree's shape, the walk up to
// the window to activate and the extensions by kind of object are shown through the module by the tests of
// its control base (activation, clicks, searches below a parent and among popups).
#include "HostFixture.h"

using namespace hosttest;

namespace {

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

} // namespace
