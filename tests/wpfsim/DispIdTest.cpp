// DISPIDs name one member of one object for the application's life, however many objects it makes.
#include "XamlApp.h"

#include <set>

using namespace simtest;

namespace {

TEST_F(XamlTest, DispIdsStayUniqueBeyond32767Objects) {
    Load(R"(<Button x:Name="ok" Content="OK"/>)");
    auto ok = D(L"ok");
    constexpr int kObjects = 33000;
    std::set<DISPID> seen;
    ov::ComPtr<IDispatch> firstObject;
    DISPID firstId = DISPID_UNKNOWN;
    for (int i = 0; i < kObjects; ++i) {
        // Every read of a string member makes a new string object with members of its own.
        Result name = Get(ok.Get(), L"Name");
        ASSERT_EQ(name.value.vt, VT_DISPATCH);
        DISPID id = DISPID_UNKNOWN;
        ASSERT_EQ(Lookup(name.value.pdispVal, L"OleValue", &id), S_OK);
        ASSERT_TRUE(seen.insert(id).second) << "object " << i << " shares DISPID " << id;
        if (i == 0) {
            firstObject = AsObject(name.value);
            firstId = id;
        }
    }
    // The first object still answers its own DISPID, and no other object's.
    Result again = InvokeId(firstObject.Get(), firstId, DISPATCH_PROPERTYGET);
    EXPECT_EQ(again.hr, S_OK);
    EXPECT_EQ(Text(again.value), L"ok");
    EXPECT_EQ(InvokeId(firstObject.Get(), *seen.rbegin(), DISPATCH_PROPERTYGET).hr, DISP_E_MEMBERNOTFOUND);
}

} // namespace
