// The IDispatch face of simulated .NET objects: members by name, strings, references, the member-lookup
// interface and injected faults (element clicks and IsChecked forms: the wrapper tests).
#include "SimCall.h"

#include "com/StandInClock.h"
#include "ovHostIntf.h"

using namespace simtest;

namespace {

using DispatchTest = SimTest;

TEST_F(DispatchTest, MembersAnswerTheirFlagsAndArgumentCountsOnly) {
    constexpr WORD get = DISPATCH_PROPERTYGET, put = DISPATCH_PROPERTYPUT, method = DISPATCH_METHOD;
    const std::tuple<const wchar_t*, WORD, int, HRESULT> cases[] = {
        {L"IsEnabled", get | method, 0, S_OK},
        {L"IsEnabled", method, 0, DISP_E_MEMBERNOTFOUND},
        {L"IsEnabled", get, 1, DISP_E_BADPARAMCOUNT},
        {L"IsVisible", put, 1, DISP_E_MEMBERNOTFOUND},
        {L"get_Parent", get, 0, S_OK}, // internal getters are properties
        {L"Focus", get, 0, DISP_E_MEMBERNOTFOUND},
        {L"ReferenceEquals", method, 1, DISP_E_BADPARAMCOUNT}};
    for (auto [member, flags, args, expected] : cases) {
        std::vector<ov::Variant> values(args, ov::Variant::Bool(true));
        EXPECT_EQ(InvokeName(okDisp.Get(), member, flags, values).hr, expected)
            << member << ", flags " << flags;
    }
}

// The benchmark's clock: an object's reference counting and its destruction are the application's time.
TEST_F(DispatchTest, TheClockChargesAnObjectsIUnknownCallsToTheApplication) {
    using ov::StandIn;
    using ov::StandInClock;
    Result name = Get(okDisp.Get(), L"ClrFullClassName");
    ASSERT_EQ(name.value.vt, VT_DISPATCH);
    StandInClock::Enable(true);
    StandInClock::Reset();
    name.value.pdispVal->AddRef();
    name.value.pdispVal->Release();
    const LONGLONG counted = StandInClock::Ticks(StandIn::App);
    EXPECT_GT(counted, 0);
    name.value.Clear(); // the last reference: the string object goes
    EXPECT_GT(StandInClock::Ticks(StandIn::App), counted);
    StandInClock::Enable(false);
}

TEST_F(DispatchTest, NamesAreCaseSensitiveOnBothLookupPaths) {
    auto lookup = ov::QueryAs<IovMemberLookup>(okDisp.Get());
    ASSERT_TRUE(lookup);
    for (const wchar_t* name : {L"IsEnabled", L"isEnabled", L"IsEnabled ", L"get_parent", L""}) {
        const bool found = std::wstring_view(name) == L"IsEnabled";
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID viaDispatch = 1, viaLookup = 1;
        EXPECT_EQ(okDisp->GetIDsOfNames(IID_NULL, names, 1, 0, &viaDispatch),
                  found ? S_OK : DISP_E_UNKNOWNNAME);
        EXPECT_EQ(lookup->LookupIDsOfNames(IID_NULL, names, 1, 0, &viaLookup),
                  found ? S_OK : DISP_E_UNKNOWNNAME);
        EXPECT_EQ(viaLookup, viaDispatch);
        EXPECT_TRUE(found || viaDispatch == DISPID_UNKNOWN);
    }
    // The member-lookup interface is answered by choice, per object or by the application's default.
    ok->SetAnswersMemberLookup(false);
    EXPECT_FALSE(ov::QueryAs<IovMemberLookup>(okDisp.Get()));
    app->SetMemberLookupDefault(false);
    EXPECT_FALSE(ov::QueryAs<IovMemberLookup>(
        app->Add(window, L"System.Windows.Controls.Label", L"l").NewDispatch().Get()));
    EXPECT_TRUE(ov::QueryAs<IovMemberLookup>(window->NewDispatch().Get()));
}

TEST_F(DispatchTest, StringsComeAsObjectsWithOleValueOrAsPlainBstrs) {
    Result name = Get(okDisp.Get(), L"ClrFullClassName");
    ASSERT_EQ(name.value.vt, VT_DISPATCH);
    Result ole = Get(name.value.pdispVal, L"OleValue");
    ASSERT_EQ(ole.value.vt, VT_BSTR);
    EXPECT_EQ(Text(ole.value), L"System.Windows.Controls.Button");
    app->SetStringsAsObjects(false);
    Result plain = Get(okDisp.Get(), L"Name");
    ASSERT_EQ(plain.value.vt, VT_BSTR);
    EXPECT_EQ(Text(plain.value), L"okButton");
}

TEST_F(DispatchTest, ReferenceEqualsComparesTheObjectsBehindTheProxies) {
    ov::Variant a1 = wpfsim::ClrObject::Obj(ok), a2 = wpfsim::ClrObject::Obj(ok),
                w = wpfsim::ClrObject::Obj(window);
    ov::Variant none = ov::Variant::Dispatch(nullptr), byRef;
    IDispatch* raw = a2.pdispVal;
    byRef.vt = VT_BYREF | VT_DISPATCH;
    byRef.ppdispVal = &raw;
    const std::tuple<ov::Variant, ov::Variant, bool> cases[] = {
        {a1, a2, true},    {a1, w, false},    {none, ov::Variant(), true},
        {none, a1, false}, {a1, byRef, true}, {ov::Variant::Int(5), ov::Variant::Int(5), false}};
    for (const auto& [a, b, same] : cases) {
        Result r = Call(window->NewDispatch().Get(), L"ReferenceEquals", {a, b}); // any object answers it
        ASSERT_EQ(r.value.vt, VT_BOOL);
        EXPECT_EQ(r.value.boolVal != VARIANT_FALSE, same) << a.vt << " " << b.vt;
    }
}

TEST_F(DispatchTest, InjectedExceptionFillsExcepInfoExactly) {
    ok->ThrowOn(L"IsEnabled",
                {L"PresentationFramework", 1234, L"The calling thread cannot access this object."});
    for (Result r :
         {Get(okDisp.Get(), L"IsEnabled"), Put(okDisp.Get(), L"IsEnabled", ov::Variant::Bool(false))}) {
        EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(r.source, L"PresentationFramework");
        EXPECT_EQ(r.code, 1234);
        EXPECT_EQ(r.description, L"The calling thread cannot access this object.");
        EXPECT_EQ(r.scode, 0);
    }
    EXPECT_TRUE(ok->IsEnabled()) << "a throwing setter must not have run";
    EXPECT_EQ(Get(window->NewDispatch().Get(), L"IsEnabled").hr, S_OK) << "only the one object throws";
    ok->ClearThrowOn(L"IsEnabled");
    EXPECT_EQ(Get(okDisp.Get(), L"IsEnabled").hr, S_OK);
}

TEST_F(DispatchTest, NotRespondingFailsEveryCallOfEveryObjectAndClick) {
    ov::Variant name = Get(okDisp.Get(), L"ClrFullClassName").value; // a string object fetched before
    auto lookup = ov::QueryAs<IovMemberLookup>(okDisp.Get());
    DISPID id = DISPID_UNKNOWN, unused;
    ASSERT_EQ(Lookup(okDisp.Get(), L"IsEnabled", &id), S_OK);
    for (HRESULT failure : {wpfsim::NotRespondingResult, E_ABORT}) {
        app->StopResponding(failure);
        LPOLESTR names[] = {const_cast<LPOLESTR>(L"IsEnabled")};
        EXPECT_EQ(Lookup(okDisp.Get(), L"IsEnabled", &unused), failure);
        EXPECT_EQ(lookup->LookupIDsOfNames(IID_NULL, names, 1, 0, &unused), failure);
        EXPECT_EQ(InvokeId(okDisp.Get(), id, DISPATCH_PROPERTYGET).hr, failure);
        EXPECT_EQ(Get(name.pdispVal, L"OleValue").hr, failure);
        EXPECT_EQ(Get(window->NewDispatch().Get(), L"Name").hr, failure);
        EXPECT_FALSE(ok->HostClick({}));
    }
    app->Resume();
    EXPECT_EQ(InvokeId(okDisp.Get(), id, DISPATCH_PROPERTYGET).hr, S_OK);
    EXPECT_TRUE(ok->HostClick({}));
}

} // namespace
