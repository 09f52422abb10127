// The IDispatch face of simulated .NET objects: members by name, strings, references, the member-lookup
// interface and injected faults. (The call counters are pinned by the wrappers' host-call test.)
#include "SimCall.h"

#include "ovHostIntf.h"

using namespace simtest;

namespace {

class DispatchTest : public SimTest {};

TEST_F(DispatchTest, MembersAnswerTheirFlagsAndArgumentCountsOnly) {
    constexpr WORD get = DISPATCH_PROPERTYGET, put = DISPATCH_PROPERTYPUT, method = DISPATCH_METHOD;
    const std::tuple<const wchar_t*, WORD, int, HRESULT> cases[] = {
        {L"IsEnabled", get | method, 0, S_OK},
        {L"IsEnabled", method, 0, DISP_E_MEMBERNOTFOUND},
        {L"IsEnabled", get, 1, DISP_E_BADPARAMCOUNT},
        {L"IsEnabled", put, 2, DISP_E_BADPARAMCOUNT},
        {L"IsVisible", put, 1, DISP_E_MEMBERNOTFOUND},
        {L"get_Parent", get, 0, S_OK}, // internal getters are properties
        {L"get_Parent", method, 0, DISP_E_MEMBERNOTFOUND},
        {L"Focus", get, 0, DISP_E_MEMBERNOTFOUND},
        {L"ReferenceEquals", method, 1, DISP_E_BADPARAMCOUNT}};
    for (auto [member, flags, args, expected] : cases) {
        std::vector<ov::Variant> values(args, ov::Variant::Bool(true));
        EXPECT_EQ(InvokeName(okDisp.Get(), member, flags, values).hr, expected)
            << member << ", flags " << flags;
    }

    // Arguments in call order, dereferenced also through VT_BYREF|VT_VARIANT to VT_BYREF|VT_BSTR.
    ok->AddMethod(L"Concat", 2, [](const wpfsim::Args& a) {
        return ov::Variant::String(wpfsim::TextOf(a[0]) + L"|" + wpfsim::TextOf(a[1]));
    });
    ov::Variant deep = ov::Variant::String(L"deep");
    VARIANT bstrRef{}, variantRef{};
    bstrRef.vt = VT_BYREF | VT_BSTR;
    bstrRef.pbstrVal = &deep.bstrVal;
    variantRef.vt = VT_BYREF | VT_VARIANT;
    variantRef.pvarVal = &bstrRef;
    EXPECT_EQ(Text(Call(okDisp.Get(), L"Concat", {ov::Variant::String(L"first"), variantRef}).value),
              L"first|deep");
    // A put takes its value with or without the named argument, and of the member's type only.
    DISPID id = DISPID_UNKNOWN;
    ASSERT_EQ(Lookup(okDisp.Get(), L"Name", &id), S_OK);
    EXPECT_EQ(InvokeId(okDisp.Get(), id, DISPATCH_PROPERTYPUT, {ov::Variant::String(L"named")}, true).hr,
              S_OK);
    EXPECT_EQ(ok->Name(), L"named");
    EXPECT_EQ(InvokeId(okDisp.Get(), id, DISPATCH_PROPERTYPUT, {ov::Variant::String(L"plain")}).hr, S_OK);
    EXPECT_EQ(ok->Name(), L"plain");
    EXPECT_EQ(Put(okDisp.Get(), L"IsEnabled", ov::Variant::String(L"maybe")).hr, DISP_E_TYPEMISMATCH);
    EXPECT_TRUE(ok->IsEnabled());
}

TEST_F(DispatchTest, NamesAreCaseSensitiveOnBothLookupPathsAndDispIdsBelongToOneObject) {
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
        if (!found) {
            EXPECT_EQ(viaDispatch, DISPID_UNKNOWN);
        }
    }
    // A DISPID of one object means nothing to another, even for a member both have.
    DISPID windowId = DISPID_UNKNOWN;
    auto windowDisp = window->NewDispatch();
    ASSERT_EQ(Lookup(windowDisp.Get(), L"IsEnabled", &windowId), S_OK);
    EXPECT_EQ(InvokeId(okDisp.Get(), windowId, DISPATCH_PROPERTYGET).hr, DISP_E_MEMBERNOTFOUND);

    // The member-lookup interface is answered by choice, per object or by the application's default.
    ok->SetAnswersMemberLookup(false);
    EXPECT_FALSE(ov::QueryAs<IovMemberLookup>(okDisp.Get()));
    app->SetMemberLookupDefault(false);
    EXPECT_FALSE(ov::QueryAs<IovMemberLookup>(
        app->Add(window, L"System.Windows.Controls.Label", L"l").NewDispatch().Get()));
    EXPECT_TRUE(ov::QueryAs<IovMemberLookup>(windowDisp.Get()));
}

TEST_F(DispatchTest, StringsComeAsObjectsWithOleValueOrAsPlainBstrs) {
    Result name = Get(okDisp.Get(), L"ClrFullClassName");
    ASSERT_EQ(name.value.vt, VT_DISPATCH);
    Result ole = Get(name.value.pdispVal, L"OleValue");
    ASSERT_EQ(ole.value.vt, VT_BSTR);
    EXPECT_EQ(Text(ole.value), L"System.Windows.Controls.Button");
    EXPECT_EQ(Text(Get(name.value.pdispVal, L"ClrFullClassName").value), L"System.String");
    EXPECT_EQ(Get(name.value.pdispVal, L"Length").value.lVal, 30);
    // Boxing makes a new object on every read; a string object serves wherever a string is expected.
    Result again = Get(okDisp.Get(), L"ClrFullClassName");
    EXPECT_EQ(Call(okDisp.Get(), L"ReferenceEquals", {name.value, again.value}).value.boolVal, VARIANT_FALSE);
    EXPECT_EQ(Put(okDisp.Get(), L"Name", name.value).hr, S_OK);
    EXPECT_EQ(ok->Name(), L"System.Windows.Controls.Button");

    app->SetStringsAsObjects(false);
    Result plain = Get(okDisp.Get(), L"Name");
    ASSERT_EQ(plain.value.vt, VT_BSTR);
    EXPECT_EQ(Text(plain.value), L"System.Windows.Controls.Button");
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
    EXPECT_EQ(Call(okDisp.Get(), L"ReferenceEquals", {Get(okDisp.Get(), L"Parent").value, w}).value.boolVal,
              VARIANT_TRUE);
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

    // Objects that outlive the application fail cleanly and are released.
    app.reset();
    EXPECT_EQ(Get(okDisp.Get(), L"Name").hr, wpfsim::ExitedResult);
    EXPECT_EQ(Get(name.pdispVal, L"OleValue").hr, wpfsim::ExitedResult);
}

} // namespace
