// The driver over the simulated application's .NET objects, and the native object behind host objects.
#include "dispatch/DispDriver.h"
#include "dispatch/InvokeException.h"
#include "dispatch/MultiDispatch.h"
#include "host/services/Host.h"
#include "wpfsim/Application.h"
#include "wpfsim/ClrValue.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <vector>

namespace {

using LiveCounter = ov::LiveCount<struct TestTag>;
using V = ov::Variant;
using D = const CovDispDriver&;

const std::wstring kReasons = ov::texts::Reasons;
const wchar_t* const kNothing = L"<nothing raised>";

template <class F> std::wstring DetailsOf(F&& f) {
    try {
        f();
    } catch (const CovInvokeException& e) {
        EXPECT_EQ(e.Message().View(), L"An error occurred.");
        EXPECT_EQ(e.Kind(), 3);
        return std::wstring(e.Details().View());
    }
    return kNothing;
}

std::wstring Site(int location, const wchar_t* hex, HRESULT hr, const wchar_t* member = L"") {
    return kReasons + L"\n\nTechnical information:\n" + std::to_wstring(location) + L" 0x" + hex + L" (" +
           ov::SystemText(hr) + L") " + member;
}

// Each operation with the location of its call and, for typed reads, of the conversion.
const std::tuple<const char*, int, int, std::function<void(D, DISPID)>> kInvokeOperations[] = {
    {"GetPropertyInt", 176, 180, [](D d, DISPID id) { d.GetPropertyInt(id); }},
    {"GetPropertyBool", 208, 212, [](D d, DISPID id) { d.GetPropertyBool(id); }},
    {"GetPropertyDouble", 240, 244, [](D d, DISPID id) { d.GetPropertyDouble(id); }},
    {"GetPropertyString", 123, 145, [](D d, DISPID id) { d.GetPropertyString(id); }},
    {"GetPropertyObject", 287, 0, [](D d, DISPID id) { d.GetPropertyObject(id); }},
    {"GetProperty", 313, 0, [](D d, DISPID id) { d.GetProperty(id); }},
    {"SetProperty", 271, 0, [](D d, DISPID id) { d.SetProperty(id, V::Int(1)); }},
    {"SetPropertyString", 271, 0, [](D d, DISPID id) { d.SetPropertyString(id, L"x"); }},
    {"SetPropertyInt", 271, 0, [](D d, DISPID id) { d.SetPropertyInt(id, 1); }},
    {"SetPropertyBool", 271, 0, [](D d, DISPID id) { d.SetPropertyBool(id, 1); }},
    {"SetPropertyDouble", 271, 0, [](D d, DISPID id) { d.SetPropertyDouble(id, 1.0); }},
    {"CallMethod/0", 329, 0, [](D d, DISPID id) { d.CallMethod(id); }},
    {"CallMethod/1", 346, 0, [](D d, DISPID id) { d.CallMethod(id, V::Int(1)); }},
    {"CallMethod/2", 363, 0, [](D d, DISPID id) { d.CallMethod(id, V::Int(1), V::Int(2)); }},
    {"CallMethod/5", 414, 0,
     [](D d, DISPID id) { d.CallMethod(id, V::Int(1), V::Int(2), V::Int(3), V::Int(4), V::Int(5)); }},
};

class DispDriverTest : public testing::Test {
protected:
    void SetUp() override {
        window = &app->Add(nullptr, L"System.Windows.Window", L"mainWindow");
        button = &app->Add(window, L"System.Windows.Controls.Button", L"okButton");
        button->AddProperty(L"Value", [this] { return current; });
        button->AddByRefProperty(
            L"Ref", [this] { return current; }, wpfsim::ByRef::Variant);
        button->AddByRefProperty(
            L"TypedRef", [this] { return current; }, wpfsim::ByRef::Typed);
        driver = CovDispDriver(button->NewDispatch().Get());
    }
    void TearDown() override {
        driver.Clear();
        current.Clear();
        host.reset();
        app.reset();
        EXPECT_EQ(wpfsim::LiveObjects(), 0) << "simulated objects left alive";
        EXPECT_EQ(ovhost::LiveObjects(), 0);
        EXPECT_EQ(LiveCounter::Get(), 0);
    }

    DISPID Id(const wchar_t* name) { return driver.GetIDOfName(name); }

    std::optional<wpfsim::Application> app{std::in_place};
    std::unique_ptr<ovhost::Host> host;
    wpfsim::Element* window = nullptr;
    wpfsim::Element* button = nullptr;
    CovDispDriver driver;
    V current; // what "Value", "Ref" and "TypedRef" answer
};

TEST_F(DispDriverTest, LookupTakesTheMemberLookupInterfaceWhenTheObjectHasIt) {
    for (bool answers : {true, false}) {
        SCOPED_TRACE(answers ? "with member lookup" : "IDispatch only");
        const int location = answers ? 96 : 102;
        button->SetAnswersMemberLookup(answers);
        button->ResetCalls();
        DISPID id = Id(L"Value"), has = DISPID_UNKNOWN;
        EXPECT_TRUE(driver.HasMember(L"Value", &has));
        EXPECT_EQ(has, id);
        EXPECT_EQ(button->Calls(L"Value"), (wpfsim::CallCount{2, answers ? 2 : 0, 0})) << "nothing cached";

        EXPECT_FALSE(driver.HasMember(L"NoSuchMember", &has));
        EXPECT_EQ(DetailsOf([&] { Id(L"NoSuchMember"); }),
                  Site(location, L"80020006", DISP_E_UNKNOWNNAME, L"NoSuchMember"));
        app->StopResponding();
        EXPECT_FALSE(driver.HasMember(L"Value", &has));
        EXPECT_EQ(DetailsOf([&] { Id(L"Value"); }),
                  Site(location, L"8001010a", wpfsim::NotRespondingResult, L"Value"));
        app->Resume();
    }
}

TEST_F(DispDriverTest, EveryFailureSiteHasItsLocationNumber) {
    const DISPID id = Id(L"Value");
    for (bool throws : {false, true}) {
        button->ResetCalls();
        if (throws)
            button->ThrowOn(L"Value", {L"PresentationFramework", 5, L"Index was out of range."});
        else
            app->StopResponding();
        for (const auto& [name, location, conversion, run] : kInvokeOperations)
            EXPECT_EQ(DetailsOf([&] { run(driver, id); }),
                      throws ? Site(location, L"80020009", DISP_E_EXCEPTION) +
                                   L"\nPresentationFramework 5\nIndex was out of range."
                             : Site(location, L"8001010a", wpfsim::NotRespondingResult))
                << name;
        // One Invoke per operation: no retry, no lookup behind the caller's back.
        EXPECT_EQ(button->Calls(L"Value"), (wpfsim::CallCount{0, 0, long(std::size(kInvokeOperations))}));
        app->Resume();
    }
    button->ClearThrowOn(L"Value");

    current.vt = VT_ARRAY | VT_I4; // converts to nothing
    current.parray = SafeArrayCreateVector(VT_I4, 0, 2);
    for (const auto& [name, location, conversion, run] : kInvokeOperations) {
        if (!conversion) continue;
        EXPECT_EQ(DetailsOf([&] { run(driver, id); }), Site(conversion, L"80020005", DISP_E_TYPEMISMATCH))
            << name;
    }
}

TEST_F(DispDriverTest, ReadsConvertFollowReferencesAndUnwrapStrings) {
    current = V::String(L"17");
    EXPECT_EQ(driver.GetPropertyInt(Id(L"Value")), 17);
    EXPECT_DOUBLE_EQ(driver.GetPropertyDouble(Id(L"Ref")), 17.0);
    EXPECT_TRUE(driver.GetPropertyBool(Id(L"TypedRef")));
    current = V::Int(0);
    EXPECT_FALSE(driver.GetPropertyBool(Id(L"Value")));
    V raw = driver.GetProperty(Id(L"Ref"));
    ASSERT_EQ(raw.vt, VT_BYREF | VT_VARIANT);
    EXPECT_EQ(raw.pvarVal->vt, VT_I4);

    const auto runtime = app->SharedRuntime();
    const std::tuple<const char*, std::function<V()>, const wchar_t*, const wchar_t*> cases[] = {
        {"plain string", [] { return V::String(L"Hello"); }, L"Value", L"Hello"},
        {".NET string object", [&] { return button->Str(L"Hello"); }, L"Value", L"Hello"},
        {"boxed boxed string", [&] { return wpfsim::Box(runtime, L"System.Object", button->Str(L"Inner")); },
         L"Value", L"Inner"},
        {"boxed number", [&] { return wpfsim::Box(runtime, L"System.Int32", V::Int(12)); }, L"Value", L"12"},
        {"null object", [] { return V::Dispatch(nullptr); }, L"Value", L""},
        {"number", [] { return V::Int(5); }, L"Value", L"5"},
        {"by reference: string object", [&] { return button->Str(L"Deep"); }, L"Ref", L"Deep"},
        {"by reference: null object", [] { return V::Dispatch(nullptr); }, L"Ref", L""},
        {"typed reference: string object", [&] { return button->Str(L"Boxed"); }, L"TypedRef", L"Boxed"},
    };
    for (const auto& [what, answer, member, expected] : cases) {
        current = answer();
        ov::Bstr text(L"previous text");
        driver.GetPropertyString(Id(member), text);
        EXPECT_EQ(text.View(), expected) << what;
    }
    // A string object is asked for its "OleValue", by name, each time.
    current = button->Str(L"Counted");
    app->ResetCalls();
    driver.GetPropertyString(Id(L"Value"));
    EXPECT_EQ(app->Calls(L"OleValue"), (wpfsim::CallCount{1, 1, 1}));

    // A broken value object whose "OleValue" is always another object: an error, not a recursion.
    auto broken = ov::Create<wpfsim::ClrObject>(runtime, L"System.Object");
    broken->AddProperty(L"OleValue", [raw = broken.Get()] { return wpfsim::ClrObject::Obj(raw); });
    current = wpfsim::ClrObject::Obj(broken.Get());
    EXPECT_EQ(DetailsOf([&] { driver.GetPropertyString(Id(L"Value")); }), kReasons);
    EXPECT_EQ(broken->Calls(L"OleValue").invokes, 8);
    current.Clear();
}

TEST_F(DispDriverTest, ObjectsComeAsDrivers) {
    EXPECT_EQ(ov::GetClrFullClassName(ov::GetObjectByName(driver, L"get_Parent")).View(),
              L"System.Windows.Window");
    for (const wchar_t* member : {L"Value", L"TypedRef"}) {
        current = wpfsim::ClrObject::Obj(window);
        EXPECT_EQ(ov::GetClrFullClassName(driver.GetPropertyObject(Id(member))).View(),
                  L"System.Windows.Window");
        current = V::Dispatch(nullptr);
        EXPECT_TRUE(driver.GetPropertyObject(Id(member)).Empty());
    }
    // Not an object: a number, a string, an IUnknown, an object behind a VARIANT reference.
    const std::pair<V, const wchar_t*> notObjects[] = {{V::Int(3), L"Value"},
                                                       {V::String(L"x"), L"Value"},
                                                       {V::Unknown(window->NewDispatch().Get()), L"Value"},
                                                       {wpfsim::ClrObject::Obj(window), L"Ref"}};
    for (const auto& [answer, member] : notObjects) {
        current = answer;
        EXPECT_EQ(DetailsOf([&] { driver.GetPropertyObject(Id(member)); }), kReasons) << answer.vt;
    }
    ov::ComPtr<IUnknown> bare(static_cast<IUnknown*>(window)); // the simulation's object has no IDispatch
    EXPECT_EQ(DetailsOf([&] { CovDispDriver().AttachObject(bare.Get()); }), kReasons);
}

TEST_F(DispDriverTest, EmptyDriverFailsEverythingWithoutReachingAnObject) {
    const DISPID id = Id(L"Value");
    // A failed attach empties the driver, it does not keep the previous object.
    EXPECT_EQ(DetailsOf([&] { driver.AttachVariant(V::Int(1)); }), kReasons);
    ASSERT_TRUE(driver.Empty());
    app->ResetCalls();
    for (const auto& [name, location, conversion, run] : kInvokeOperations)
        EXPECT_EQ(DetailsOf([&] { run(driver, id); }), kReasons) << name;
    DISPID unused;
    EXPECT_EQ(DetailsOf([&] { driver.GetIDOfName(L"Value"); }), kReasons);
    EXPECT_EQ(DetailsOf([&] { driver.HasMember(L"Value", &unused); }), kReasons);
    EXPECT_EQ(DetailsOf([&] { ov::GetObjectByName(driver, L"get_Parent"); }), kReasons);
    EXPECT_EQ(app->Calls(), wpfsim::CallCount{});
}

// Checks what the simulation does not: locale 1024, no named arguments, the last argument first, and
// no result asked for by a put.
class RecordingObject : public IDispatch {
public:
    using LiveCounter = ::LiveCounter;
    using Interfaces = ov::Interfaces<IDispatch>;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID lcid, DISPID* ids) override {
        calls.push_back(L"lookup " + std::wstring(names[0]) + L" " + std::to_wstring(lcid));
        *ids = 42;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT*) override {
        EXPECT_TRUE(lcid == 1024 && params->cNamedArgs == 0 && excep &&
                    (result == nullptr) == (flags == DISPATCH_PROPERTYPUT))
            << "DISPID " << id;
        std::wstring call = std::to_wstring(id) + L" " + std::to_wstring(flags);
        for (const VARIANT& v : std::span(params->rgvarg, params->cArgs))
            call += v.vt == VT_BOOL   ? L" b" + std::to_wstring(v.boolVal)
                    : v.vt == VT_BSTR ? L" '" + std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) + L"'"
                                      : L" " + std::to_wstring(v.lVal);
        calls.push_back(call);
        if (result) *result = V::Int(7).Detach();
        return S_OK;
    }
    std::vector<std::wstring> calls;
};

TEST(DispDriverCallTest, CallsFollowTheAutomationConventions) {
    auto object = ov::Create<RecordingObject>();
    {
        CovDispDriver d(object.Get());
        DISPID id = 0;
        EXPECT_EQ(d.GetIDOfName(L"Width"), 42);
        EXPECT_TRUE(d.HasMember(L"Height", &id));
        d.GetPropertyInt(1);
        d.GetPropertyBool(2);
        d.GetPropertyDouble(3);
        d.GetPropertyString(4);
        d.GetProperty(5);
        for (int value : {2, -5, 0})
            d.SetPropertyBool(6, value);
        d.SetPropertyString(6, std::wstring_view(L"a\0b", 3));
        d.CallMethod(7);
        d.CallMethod(9, V::Int(1), V::Int(2), V::Int(3), V::Int(4), V::Int(5));
        EXPECT_EQ(object->calls,
                  (std::vector<std::wstring>{L"lookup Width 1024", L"lookup Height 1024", L"1 2", L"2 2",
                                             L"3 2", L"4 2", L"5 2", L"6 4 b-1", L"6 4 b-1", L"6 4 b0",
                                             std::wstring(L"6 4 'a\0b'", 9), L"7 1", L"9 1 5 4 3 2 1"}));
    }
    object.Reset();
    EXPECT_EQ(LiveCounter::Get(), 0);
}

class NativeObjectTest : public DispDriverTest {
protected:
    void SetUp() override {
        DispDriverTest::SetUp();
        host = std::make_unique<ovhost::Host>(ovtest::BinFolder());
        host->Attach(*app);
    }
};

TEST_F(NativeObjectTest, HostObjectGivesADriverOverItsNativeObject) {
    CovDispDriver native = ov::GetNativeObjectDriver(host->HostObjectOf(*button).Get());
    EXPECT_EQ(ov::GetClrFullClassName(native).View(), L"System.Windows.Controls.Button");
    // The process object has no native object: the driver is empty and fails when used.
    CovDispDriver none = ov::GetNativeObjectDriver(host->ProcessObject().Get());
    EXPECT_TRUE(none.Empty());
    EXPECT_EQ(DetailsOf([&] { ov::GetClrFullClassName(none); }), kReasons);
    EXPECT_EQ(DetailsOf([] { ov::GetNativeObjectDriver(nullptr); }), kReasons);
    EXPECT_EQ(DetailsOf([&] { ov::GetNativeObjectDriver(button->NewDispatch().Get()); }), kReasons);
}

TEST_F(NativeObjectTest, TwoHostObjectsOverOneClrObjectAreTheSame) {
    ov::ComPtr<IovHostObject> first = host->HostObjectOf(*button);
    host->Detach(); // the host builds its objects afresh
    host->Attach(*app);
    ov::ComPtr<IovHostObject> second = host->HostObjectOf(*button);
    ASSERT_NE(ov::QueryAs<IUnknown>(first.Get()), ov::QueryAs<IUnknown>(second.Get()));
    V secondNative = V::Dispatch(ov::GetNativeObjectDriver(second.Get()).Get());

    app->ResetCalls();
    EXPECT_TRUE(ov::IsSameNativeObject(first.Get(), secondNative));
    EXPECT_EQ(app->Calls(L"ReferenceEquals"), (wpfsim::CallCount{1, 1, 1}));
    for (const V& other : {V::Dispatch(window->NewDispatch().Get()), V::Dispatch(nullptr), V(), V::Int(1)})
        EXPECT_FALSE(ov::IsSameNativeObject(first.Get(), other)) << "type " << other.vt;

    EXPECT_FALSE(ov::IsSameNativeObject(host->ProcessObject().Get(), secondNative)) << "no extender";
    EXPECT_EQ(DetailsOf([&] { ov::IsSameNativeObject(nullptr, secondNative); }), kReasons);
    app->StopResponding();
    EXPECT_EQ(DetailsOf([&] { ov::IsSameNativeObject(first.Get(), secondNative); }),
              Site(96, L"8001010a", wpfsim::NotRespondingResult, L"ReferenceEquals"));
    app->Resume();
}

} // namespace
