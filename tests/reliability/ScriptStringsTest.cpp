// The object model's members that take and give strings, with strings that the caller frees at once, as a
// script engine does. The strings must come back whole; a member that keeps a view into a string it freed
// reads garbage only where freed strings are really freed and overwritten: reliability.heap runs this without
// the system's string cache and with wine's heap checks, which fill freed blocks.
#include "Session.h"

#include <gtest/gtest.h>

namespace {

using reltest::Invoke;

constexpr LONG kButtonKind = 1; // ctrlWPFButton

// A call whose string arguments are freed before the next call, as an engine frees its temporaries.
ov::Variant Call(IDispatch* object, const wchar_t* member, WORD flags, std::vector<ov::Variant> args = {}) {
    ov::Variant result;
    const HRESULT hr = Invoke(object, member, flags, std::move(args), &result);
    EXPECT_EQ(hr, S_OK) << reltest::Narrow(member);
    return result;
}

std::wstring Text(const ov::Variant& value) {
    return value.vt == VT_BSTR ? std::wstring(value.bstrVal, SysStringLen(value.bstrVal)) : L"(not a string)";
}

SAFEARRAY* Strings(const std::vector<std::wstring>& texts) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(texts.size()));
    for (LONG i = 0; i < static_cast<LONG>(texts.size()); ++i) {
        ov::Bstr text(texts[static_cast<size_t>(i)]);
        SafeArrayPutElement(array, &i, text.Get());
    }
    return array;
}

TEST(ScriptStringsTest, StringsTakenAndGivenByTheObjectModelComeBackWhole) {
    reltest::Session session;
    auto host = session.Item(L"Host");
    auto app = session.Item(L"App");
    auto log = session.Item(L"Log");
    ASSERT_TRUE(host && app && log);

    const std::wstring defaults =
        Text(Call(host.Get(), L"DefaultClassNames", DISPATCH_METHOD, {ov::Variant::Int(kButtonKind)}));
    ASSERT_FALSE(defaults.empty());
    // One string with the patterns separated by "|", twice, so that the second call reuses freed blocks.
    for (const std::wstring names :
         {defaults + L"|SettingsDemo.*", std::wstring(L"A.Button|B.*|C.?Button")}) {
        Call(host.Get(), L"SetClassNames", DISPATCH_METHOD,
             {ov::Variant::Int(kButtonKind), ov::Variant::String(names)});
        EXPECT_EQ(Text(Call(host.Get(), L"ClassNames", DISPATCH_METHOD, {ov::Variant::Int(kButtonKind)})),
                  names);
    }
    ov::Variant array;
    array.vt = VT_ARRAY | VT_BSTR;
    array.parray = Strings({L"D.Button", L"E.*"});
    Call(host.Get(), L"SetClassNames", DISPATCH_METHOD, {ov::Variant::Int(kButtonKind), std::move(array)});
    EXPECT_EQ(Text(Call(host.Get(), L"ClassNames", DISPATCH_METHOD, {ov::Variant::Int(kButtonKind)})),
              L"D.Button|E.*");

    Call(host.Get(), L"SetClassNames", DISPATCH_METHOD,
         {ov::Variant::Int(kButtonKind), ov::Variant::String(defaults)});
    EXPECT_EQ(Text(Call(app.Get(), L"ClassName", DISPATCH_METHOD, {ov::Variant::String(L"ok")})),
              L"System.Windows.Controls.Button");
    Call(log.Get(), L"Message", DISPATCH_METHOD,
         {ov::Variant::String(L"a message"), ov::Variant::String(L"its details")});
    ov::Variant entry = Call(log.Get(), L"Item", DISPATCH_METHOD, {ov::Variant::Int(0)});
    ASSERT_EQ(entry.vt, VT_DISPATCH);
    EXPECT_EQ(Text(Call(entry.pdispVal, L"Text", DISPATCH_PROPERTYGET)), L"a message");
    EXPECT_EQ(Text(Call(entry.pdispVal, L"Details", DISPATCH_PROPERTYGET)), L"its details");
}

} // namespace
