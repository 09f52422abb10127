// The IDispatch face of simulated objects: lookup, flags, arguments, values, proxies.
#include "SimCall.h"

#include "ovHostIntf.h"

using namespace simtest;
using wpfsim::Args;

namespace {

class DispatchTest : public SimTest {
protected:
    void SetUp() override {
        window = &app->Add(nullptr, L"System.Windows.Window", L"mainWindow");
        ok = &app->Add(window, L"System.Windows.Controls.Button", L"okButton");
        ok->AddProperty(
            L"Count", [this] { return ov::Variant::Int(count); },
            [this](const VARIANT& v) { count = wpfsim::IntOf(v); });
        ok->AddMethod(L"Concat", 2, [](const Args& a) {
            return ov::Variant::String(wpfsim::TextOf(a[0]) + L"|" + wpfsim::TextOf(a[1]));
        });
        ok->AddMethod(L"Sum", wpfsim::AnyArgCount, [](const Args& a) {
            LONG sum = 0;
            for (const auto& v : a)
                sum += wpfsim::IntOf(v);
            return ov::Variant::Int(sum);
        });
        okDisp = ok->NewDispatch();
    }
    void TearDown() override {
        okDisp.Reset();
        SimTest::TearDown();
    }

    wpfsim::Element* window = nullptr;
    wpfsim::Element* ok = nullptr;
    ov::ComPtr<IDispatch> okDisp;
    LONG count = 0;
};

TEST_F(DispatchTest, FlagsAndArgumentCountsDecideWhatAnswers) {
    constexpr WORD get = DISPATCH_PROPERTYGET, put = DISPATCH_PROPERTYPUT, method = DISPATCH_METHOD;
    struct Case {
        const wchar_t* member;
        WORD flags;
        int args;
        HRESULT expected;
    } cases[] = {
        {L"Count", get, 0, S_OK},
        {L"Count", get | method, 0, S_OK},
        {L"Count", method, 0, DISP_E_MEMBERNOTFOUND},
        {L"Count", get, 1, DISP_E_BADPARAMCOUNT},
        {L"Count", put, 1, S_OK},
        {L"Count", put, 2, DISP_E_BADPARAMCOUNT},
        {L"IsVisible", put, 1, DISP_E_MEMBERNOTFOUND},
        {L"get_Parent", get, 0, S_OK},
        {L"get_Parent", method, 0, DISP_E_MEMBERNOTFOUND},
        {L"Focus", method, 0, S_OK},
        {L"Focus", get, 0, DISP_E_MEMBERNOTFOUND},
        {L"Focus", method, 1, DISP_E_BADPARAMCOUNT},
        {L"Concat", method, 1, DISP_E_BADPARAMCOUNT},
        {L"Concat", method, 2, S_OK},
        {L"Sum", method, 0, S_OK},
        {L"Sum", method, 5, S_OK},
        {L"ReferenceEquals", method, 1, DISP_E_BADPARAMCOUNT},
    };
    for (const auto& c : cases) {
        std::vector<ov::Variant> args(c.args, ov::Variant::Int(1));
        EXPECT_EQ(InvokeName(okDisp.Get(), c.member, c.flags, args).hr, c.expected)
            << "member " << std::string(c.member, c.member + wcslen(c.member)) << ", flags " << c.flags
            << ", args " << c.args;
    }
    EXPECT_EQ(Call(okDisp.Get(), L"Sum", {ov::Variant::Int(2), ov::Variant::Int(3)}).value.lVal, 5);
}

TEST_F(DispatchTest, ArgumentsArriveInCallOrderAndByReferenceIsFollowed) {
    Result r = Call(okDisp.Get(), L"Concat", {ov::Variant::String(L"first"), ov::Variant::String(L"second")});
    ASSERT_EQ(r.hr, S_OK);
    EXPECT_EQ(Text(r.value), L"first|second");

    // VT_BYREF|VT_BSTR, and VT_BYREF|VT_VARIANT pointing at another by-reference value (as VBScript passes).
    ov::Variant inner = ov::Variant::String(L"deep");
    BSTR direct = inner.bstrVal;
    ov::Variant innerRef;
    innerRef.vt = VT_BYREF | VT_BSTR;
    innerRef.pbstrVal = &direct;
    ov::Variant outer;
    outer.vt = VT_BYREF | VT_VARIANT;
    outer.pvarVal = &innerRef;
    ov::Variant plainRef;
    plainRef.vt = VT_BYREF | VT_BSTR;
    plainRef.pbstrVal = &direct;
    r = Call(okDisp.Get(), L"Concat", {std::move(outer), std::move(plainRef)});
    ASSERT_EQ(r.hr, S_OK);
    EXPECT_EQ(Text(r.value), L"deep|deep");
}

TEST_F(DispatchTest, PutTakesOnePositionalValueWithOrWithoutItsNamedArgument) {
    DISPID id = DISPID_UNKNOWN;
    ASSERT_EQ(Lookup(okDisp.Get(), L"Count", &id), S_OK);
    EXPECT_EQ(InvokeId(okDisp.Get(), id, DISPATCH_PROPERTYPUT, {ov::Variant::Int(7)}, true).hr, S_OK);
    EXPECT_EQ(count, 7);
    EXPECT_EQ(InvokeId(okDisp.Get(), id, DISPATCH_PROPERTYPUT, {ov::Variant::Int(8)}).hr, S_OK);
    EXPECT_EQ(count, 8);
    // A named argument on a method is never accepted.
    ASSERT_EQ(Lookup(okDisp.Get(), L"Sum", &id), S_OK);
    EXPECT_EQ(InvokeId(okDisp.Get(), id, DISPATCH_METHOD, {ov::Variant::Int(1)}, true).hr,
              DISP_E_NONAMEDARGS);
    // A value that does not convert to the member's type.
    EXPECT_EQ(Put(okDisp.Get(), L"IsEnabled", ov::Variant::String(L"maybe")).hr, DISP_E_TYPEMISMATCH);
    EXPECT_TRUE(ok->IsEnabled());
}

TEST_F(DispatchTest, NamesAreCaseSensitiveOnBothLookupPaths) {
    auto lookup = ov::QueryAs<IovMemberLookup>(okDisp.Get());
    ASSERT_TRUE(lookup);
    struct Case {
        const wchar_t* name;
        bool found;
    } cases[] = {{L"IsEnabled", true},   {L"isEnabled", false},  {L"ISENABLED", false},
                 {L"IsEnabled ", false}, {L"get_parent", false}, {L"", false}};
    for (const auto& c : cases) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(c.name)};
        DISPID viaDispatch = 1, viaLookup = 1;
        HRESULT hr1 = okDisp->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &viaDispatch);
        HRESULT hr2 = lookup->LookupIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &viaLookup);
        EXPECT_EQ(hr1, c.found ? S_OK : DISP_E_UNKNOWNNAME);
        EXPECT_EQ(hr2, hr1);
        EXPECT_EQ(viaLookup, viaDispatch);
        if (!c.found) {
            EXPECT_EQ(viaDispatch, DISPID_UNKNOWN);
        }
    }
}

TEST_F(DispatchTest, ParameterNamesInterfacesAndForeignDispIdsAreRefused) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Concat"), const_cast<LPOLESTR>(L"first")};
    DISPID ids[2] = {};
    EXPECT_EQ(okDisp->GetIDsOfNames(IID_NULL, names, 2, LOCALE_USER_DEFAULT, ids), DISP_E_UNKNOWNNAME);
    EXPECT_NE(ids[0], DISPID_UNKNOWN);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);
    EXPECT_EQ(okDisp->GetIDsOfNames(IID_IDispatch, names, 1, LOCALE_USER_DEFAULT, ids),
              DISP_E_UNKNOWNINTERFACE);

    // A DISPID of one object means nothing to another, even for a member both have.
    DISPID windowId = DISPID_UNKNOWN;
    auto windowDisp = window->NewDispatch();
    ASSERT_EQ(Lookup(windowDisp.Get(), L"IsEnabled", &windowId), S_OK);
    EXPECT_EQ(InvokeId(okDisp.Get(), windowId, DISPATCH_PROPERTYGET).hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(InvokeId(windowDisp.Get(), windowId, DISPATCH_PROPERTYGET).hr, S_OK);
}

TEST_F(DispatchTest, StringsComeAsObjectsWithOleValueOrAsPlainBstrs) {
    Result name = Get(okDisp.Get(), L"ClrFullClassName");
    ASSERT_EQ(name.hr, S_OK);
    ASSERT_EQ(name.value.vt, VT_DISPATCH);
    Result ole = Get(name.value.pdispVal, L"OleValue");
    ASSERT_EQ(ole.value.vt, VT_BSTR);
    EXPECT_EQ(Text(ole.value), L"System.Windows.Controls.Button");
    EXPECT_EQ(Text(Get(name.value.pdispVal, L"ClrFullClassName").value), L"System.String");
    EXPECT_EQ(Get(name.value.pdispVal, L"Length").value.lVal, 30);
    // Boxing makes a new object on every read.
    Result again = Get(okDisp.Get(), L"ClrFullClassName");
    EXPECT_EQ(Call(okDisp.Get(), L"ReferenceEquals", {name.value, again.value}).value.boolVal, VARIANT_FALSE);
    // A string object is accepted wherever a string is expected.
    EXPECT_EQ(Put(okDisp.Get(), L"Name", name.value).hr, S_OK);
    EXPECT_EQ(ok->Name(), L"System.Windows.Controls.Button");

    app->SetStringsAsObjects(false);
    Result plain = Get(okDisp.Get(), L"Name");
    ASSERT_EQ(plain.value.vt, VT_BSTR);
    EXPECT_EQ(Text(plain.value), L"System.Windows.Controls.Button");
}

TEST_F(DispatchTest, NullObjectsAndByReferenceResults) {
    Result parent = Get(window->NewDispatch().Get(), L"Parent");
    ASSERT_EQ(parent.hr, S_OK);
    EXPECT_EQ(parent.value.vt, VT_DISPATCH);
    EXPECT_EQ(parent.value.pdispVal, nullptr);

    LONG next = 41;
    ok->AddByRefProperty(L"Tag", [&] { return ov::Variant::Int(++next); });
    ok->AddByRefProperty(
        L"TemplatedParent", [] { return ov::Variant::Dispatch(nullptr); }, wpfsim::ByRef::Typed);
    ok->AddByRefProperty(
        L"Empty", [] { return ov::Variant(); }, wpfsim::ByRef::Typed);

    Result tag = Get(okDisp.Get(), L"Tag");
    ASSERT_EQ(tag.value.vt, VT_BYREF | VT_VARIANT);
    VARIANT* kept = tag.value.pvarVal;
    tag.value.Clear(); // releasing the reference leaves the object's VARIANT alone
    EXPECT_EQ(kept->vt, VT_I4);
    EXPECT_EQ(kept->lVal, 42);
    Result tag2 = Get(okDisp.Get(), L"Tag");
    EXPECT_EQ(tag2.value.pvarVal, kept);
    EXPECT_EQ(kept->lVal, 43);

    Result templated = Get(okDisp.Get(), L"TemplatedParent");
    ASSERT_EQ(templated.value.vt, VT_BYREF | VT_DISPATCH);
    ASSERT_NE(templated.value.ppdispVal, nullptr);
    EXPECT_EQ(*templated.value.ppdispVal, nullptr);
    // An empty value has no type of its own to refer to.
    EXPECT_EQ(Get(okDisp.Get(), L"Empty").value.vt, VT_BYREF | VT_VARIANT);
}

TEST_F(DispatchTest, ProxiesOfOneObjectDifferButAreTheSameReference) {
    auto other = ok->NewDispatch();
    EXPECT_NE(ov::QueryAs<IUnknown>(other.Get()), ov::QueryAs<IUnknown>(okDisp.Get()));
    EXPECT_EQ(wpfsim::ObjectOf(other.Get()).Get(), ok);

    ov::Variant a1 = Disp(*ok), a2 = Disp(*ok), w = Disp(*window), none = ov::Variant::Dispatch(nullptr);
    ov::Variant byRef;
    IDispatch* raw = a2.pdispVal;
    byRef.vt = VT_BYREF | VT_DISPATCH;
    byRef.ppdispVal = &raw;
    struct Case {
        const char* what;
        ov::Variant a, b;
        bool same;
    } cases[] = {
        {"two proxies of one object", a1, a2, true},
        {"two objects", a1, w, false},
        {"null and null", none, ov::Variant(), true},
        {"null and an object", none, a1, false},
        {"by reference", a1, byRef, true},
        {"boxed numbers", ov::Variant::Int(5), ov::Variant::Int(5), false},
    };
    for (auto& c : cases) {
        // Any object answers it, also one that is neither argument.
        Result r = Call(window->NewDispatch().Get(), L"ReferenceEquals", {c.a, c.b});
        ASSERT_EQ(r.hr, S_OK) << c.what;
        ASSERT_EQ(r.value.vt, VT_BOOL) << c.what;
        EXPECT_EQ(r.value.boolVal != VARIANT_FALSE, c.same) << c.what;
    }
    // The parent read from the child is the parent.
    EXPECT_EQ(Call(okDisp.Get(), L"ReferenceEquals", {Get(okDisp.Get(), L"Parent").value, w}).value.boolVal,
              VARIANT_TRUE);
    EXPECT_EQ(Call(okDisp.Get(), L"Equals", {a2}).value.boolVal, VARIANT_TRUE);
}

TEST_F(DispatchTest, MemberLookupInterfaceIsAnsweredByChoice) {
    EXPECT_TRUE(ov::QueryAs<IovMemberLookup>(okDisp.Get()));
    ok->SetAnswersMemberLookup(false);
    EXPECT_FALSE(ov::QueryAs<IovMemberLookup>(okDisp.Get()));
    app->SetMemberLookupDefault(false);
    auto& later = app->Add(window, L"System.Windows.Controls.Label", L"label");
    EXPECT_FALSE(ov::QueryAs<IovMemberLookup>(later.NewDispatch().Get()));
    EXPECT_TRUE(ov::QueryAs<IovMemberLookup>(window->NewDispatch().Get()));
}

} // namespace
