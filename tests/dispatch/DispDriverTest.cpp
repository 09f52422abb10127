// The driver over the simulated application's .NET objects: lookups by both paths, typed reads and
// writes, method calls, the location number of every failure site and the empty driver.
#include "dispatch/DispDriver.h"
#include "dispatch/InvokeException.h"
#include "wpfsim/Application.h"
#include "wpfsim/ClrValue.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using wpfsim::Args;

const std::wstring kReasons = ov::texts::Reasons;

// The details of the invocation error that f raises ("<nothing raised>" when it raises none).
template <class F> std::wstring DetailsOf(F&& f) {
    try {
        f();
    } catch (const CovInvokeException& e) {
        EXPECT_EQ(e.Message().View(), L"An error occurred.");
        EXPECT_EQ(e.Kind(), 3);
        return std::wstring(e.Details().View());
    }
    return L"<nothing raised>";
}

// The last part of detailed error texts: the line of the failure site and what follows it.
std::wstring SiteLine(int location, const wchar_t* hex, HRESULT hr, const wchar_t* member = L"") {
    return L"\n" + std::to_wstring(location) + L" 0x" + hex + L" (" + ov::SystemText(hr) + L") " + member;
}

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Narrow(std::wstring_view s) {
    return std::string(s.begin(), s.end());
}

// Every operation that reaches the object through Invoke, with its failure site.
struct Operation {
    const char* name;
    int location;
    std::function<void(const CovDispDriver&, DISPID)> run;
};

const std::vector<Operation>& InvokeOperations() {
    using D = const CovDispDriver&;
    static const std::vector<Operation> operations = {
        {"GetPropertyInt", 176, [](D d, DISPID id) { d.GetPropertyInt(id); }},
        {"GetPropertyBool", 208, [](D d, DISPID id) { d.GetPropertyBool(id); }},
        {"GetPropertyDouble", 240, [](D d, DISPID id) { d.GetPropertyDouble(id); }},
        {"GetPropertyString", 123, [](D d, DISPID id) { d.GetPropertyString(id); }},
        {"GetPropertyObject", 287, [](D d, DISPID id) { d.GetPropertyObject(id); }},
        {"GetProperty", 313, [](D d, DISPID id) { d.GetProperty(id); }},
        {"SetProperty", 271, [](D d, DISPID id) { d.SetProperty(id, ov::Variant::Int(1)); }},
        {"SetPropertyString", 271, [](D d, DISPID id) { d.SetPropertyString(id, L"x"); }},
        {"SetPropertyInt", 271, [](D d, DISPID id) { d.SetPropertyInt(id, 1); }},
        {"SetPropertyBool", 271, [](D d, DISPID id) { d.SetPropertyBool(id, 1); }},
        {"SetPropertyDouble", 271, [](D d, DISPID id) { d.SetPropertyDouble(id, 1.0); }},
        {"CallMethod/0", 329, [](D d, DISPID id) { d.CallMethod(id); }},
        {"CallMethod/1", 346, [](D d, DISPID id) { d.CallMethod(id, ov::Variant::Int(1)); }},
        {"CallMethod/2", 363,
         [](D d, DISPID id) { d.CallMethod(id, ov::Variant::Int(1), ov::Variant::Int(2)); }},
        {"CallMethod/5", 414,
         [](D d, DISPID id) {
             ov::Variant a = ov::Variant::Int(1);
             d.CallMethod(id, a, a, a, a, a);
         }},
    };
    return operations;
}

class DispDriverTest : public testing::Test {
protected:
    void SetUp() override {
        window = &app->Add(nullptr, L"System.Windows.Window", L"mainWindow");
        button = &app->Add(window, L"System.Windows.Controls.Button", L"okButton");
        button->AddProperty(
            L"Value", [this] { return current; }, [this](const VARIANT& v) { received = ov::Variant(v); });
        button->AddByRefProperty(
            L"Ref", [this] { return current; }, wpfsim::ByRef::Variant);
        button->AddByRefProperty(
            L"TypedRef", [this] { return current; }, wpfsim::ByRef::Typed);
        button->AddMethod(L"Join", wpfsim::AnyArgCount, [](const Args& args) {
            std::wstring joined;
            for (const auto& a : args)
                joined += (joined.empty() ? L"" : L"|") + wpfsim::TextOf(a);
            return ov::Variant::String(joined);
        });
        driver = CovDispDriver(button->NewDispatch().Get());
    }
    void TearDown() override {
        driver.Clear();
        current.Clear();
        received.Clear();
        app.reset();
        EXPECT_EQ(wpfsim::LiveObjects(), 0) << "simulated objects left alive";
    }

    DISPID Id(const wchar_t* name) { return driver.GetIDOfName(name); }

    std::optional<wpfsim::Application> app{std::in_place};
    wpfsim::Element* window = nullptr;
    wpfsim::Element* button = nullptr;
    CovDispDriver driver;
    ov::Variant current;  // what "Value", "Ref" and "TypedRef" answer
    ov::Variant received; // what "Value" was last set to
};

TEST_F(DispDriverTest, LookupTakesTheMemberLookupInterfaceWhenTheObjectHasIt) {
    for (bool answers : {true, false}) {
        SCOPED_TRACE(answers ? "with member lookup" : "IDispatch only");
        button->SetAnswersMemberLookup(answers);
        button->ResetCalls();

        DISPID id = Id(L"Value");
        EXPECT_EQ(Id(L"Value"), id) << "the same member";
        DISPID has = DISPID_UNKNOWN;
        EXPECT_TRUE(driver.HasMember(L"Value", &has));
        EXPECT_EQ(has, id);
        // Nothing is cached: three lookups, all by the same path.
        EXPECT_EQ(button->Calls(L"Value"), (wpfsim::CallCount{3, answers ? 3 : 0, 0}));

        EXPECT_FALSE(driver.HasMember(L"NoSuchMember", &has));
        EXPECT_EQ(DetailsOf([&] { Id(L"NoSuchMember"); }),
                  kReasons + L"\n\nTechnical information:" +
                      SiteLine(answers ? 96 : 102, L"80020006", DISP_E_UNKNOWNNAME, L"NoSuchMember"));
    }
}

TEST_F(DispDriverTest, EveryFailureSiteHasItsLocationNumber) {
    const DISPID id = Id(L"Value");
    button->ResetCalls();
    app->StopResponding();
    for (const auto& op : InvokeOperations()) {
        std::wstring details = DetailsOf([&] { op.run(driver, id); });
        // The first reason tells the user what most likely happened.
        const std::wstring head = kReasons + L"\n\nTechnical information:\n";
        EXPECT_EQ(details.substr(0, head.size()), head) << op.name;
        EXPECT_TRUE(EndsWith(details, SiteLine(op.location, L"8001010a", wpfsim::NotRespondingResult)))
            << op.name << ": " << Narrow(details);
    }
    // One Invoke per operation: no retry, no lookup behind the caller's back.
    const long count = static_cast<long>(InvokeOperations().size());
    EXPECT_EQ(button->Calls(L"Value"), (wpfsim::CallCount{0, 0, count}));

    for (bool answers : {true, false}) {
        button->SetAnswersMemberLookup(answers);
        EXPECT_TRUE(
            EndsWith(DetailsOf([&] { Id(L"Value"); }),
                     SiteLine(answers ? 96 : 102, L"8001010a", wpfsim::NotRespondingResult, L"Value")));
        DISPID unused;
        EXPECT_FALSE(driver.HasMember(L"Value", &unused));
    }
}

TEST_F(DispDriverTest, DotNetExceptionReachesTheDetailsOfEveryCall) {
    const DISPID id = Id(L"Value");
    button->ThrowOn(L"Value", {L"PresentationFramework", 5, L"Index was out of range."});
    for (const auto& op : InvokeOperations()) {
        std::wstring details = DetailsOf([&] { op.run(driver, id); });
        EXPECT_TRUE(EndsWith(details, SiteLine(op.location, L"80020009", DISP_E_EXCEPTION) +
                                          L"\nPresentationFramework 5\nIndex was out of range."))
            << op.name << ": " << Narrow(details);
    }
    EXPECT_EQ(received.vt, VT_EMPTY) << "a throwing setter must not have run";
}

TEST_F(DispDriverTest, FailedConversionsHaveTheirOwnLocations) {
    current = ov::Variant::String(L"not a number");
    const DISPID id = Id(L"Value");
    const Operation conversions[] = {
        {"GetPropertyInt", 180, [](const CovDispDriver& d, DISPID i) { d.GetPropertyInt(i); }},
        {"GetPropertyBool", 212, [](const CovDispDriver& d, DISPID i) { d.GetPropertyBool(i); }},
        {"GetPropertyDouble", 244, [](const CovDispDriver& d, DISPID i) { d.GetPropertyDouble(i); }},
    };
    for (const auto& op : conversions) {
        std::wstring details = DetailsOf([&] { op.run(driver, id); });
        EXPECT_TRUE(EndsWith(details, SiteLine(op.location, L"80020005", DISP_E_TYPEMISMATCH)))
            << op.name << ": " << Narrow(details);
    }

    // An array has no text.
    SAFEARRAY* array = SafeArrayCreateVector(VT_I4, 0, 2);
    current.Clear();
    current.vt = VT_ARRAY | VT_I4;
    current.parray = array;
    EXPECT_TRUE(EndsWith(DetailsOf([&] { driver.GetPropertyString(id); }),
                         SiteLine(145, L"80020005", DISP_E_TYPEMISMATCH)));
}

TEST_F(DispDriverTest, TypedReadsConvertAndRawReadsDoNot) {
    const DISPID value = Id(L"Value"), ref = Id(L"Ref"), typedRef = Id(L"TypedRef");
    current = ov::Variant::String(L"17");
    EXPECT_EQ(driver.GetPropertyInt(value), 17);
    EXPECT_DOUBLE_EQ(driver.GetPropertyDouble(ref), 17.0);
    EXPECT_TRUE(driver.GetPropertyBool(typedRef));
    current = ov::Variant::Int(0);
    EXPECT_FALSE(driver.GetPropertyBool(value));
    ov::Variant raw = driver.GetProperty(ref);
    ASSERT_EQ(raw.vt, VT_BYREF | VT_VARIANT);
    EXPECT_EQ(raw.pvarVal->vt, VT_I4);
}

TEST_F(DispDriverTest, StringsAreUnwrappedFollowedAndConverted) {
    const auto runtime = app->SharedRuntime();
    struct Case {
        const char* what;
        std::function<ov::Variant()> answer;
        const wchar_t* member;
        const wchar_t* expected;
    } cases[] = {
        {"plain string", [] { return ov::Variant::String(L"Hello"); }, L"Value", L"Hello"},
        {".NET string object", [&] { return button->Str(L"Hello"); }, L"Value", L"Hello"},
        {"boxed boxed string", [&] { return wpfsim::Box(runtime, L"System.Object", button->Str(L"Inner")); },
         L"Value", L"Inner"},
        {"boxed number", [&] { return wpfsim::Box(runtime, L"System.Int32", ov::Variant::Int(12)); },
         L"Value", L"12"},
        {"null object", [] { return ov::Variant::Dispatch(nullptr); }, L"Value", L""},
        {"number", [] { return ov::Variant::Int(5); }, L"Value", L"5"},
        {"by reference: string object", [&] { return button->Str(L"Deep"); }, L"Ref", L"Deep"},
        {"by reference: number", [] { return ov::Variant::Int(7); }, L"Ref", L"7"},
        {"by reference: null object", [] { return ov::Variant::Dispatch(nullptr); }, L"Ref", L""},
        {"typed reference: string", [] { return ov::Variant::String(L"Typed"); }, L"TypedRef", L"Typed"},
        {"typed reference: string object", [&] { return button->Str(L"Boxed"); }, L"TypedRef", L"Boxed"},
    };
    for (const auto& c : cases) {
        current = c.answer();
        ov::Bstr text(L"previous text");
        driver.GetPropertyString(Id(c.member), text);
        EXPECT_EQ(text.View(), c.expected) << c.what;
    }
    // A string object is asked for its "OleValue", by name, each time.
    current = button->Str(L"Counted");
    app->ResetCalls();
    driver.GetPropertyString(Id(L"Value"));
    EXPECT_EQ(app->Calls(L"OleValue"), (wpfsim::CallCount{1, 1, 1}));
}

TEST_F(DispDriverTest, EndlessOleValueChainIsAnErrorNotARecursion) {
    // A broken value object whose "OleValue" is always another object.
    auto broken = ov::Create<wpfsim::ClrObject>(app->SharedRuntime(), L"System.Object");
    broken->AddProperty(L"OleValue", [raw = broken.Get()] { return wpfsim::ClrObject::Obj(raw); });
    current = wpfsim::ClrObject::Obj(broken.Get());
    EXPECT_EQ(DetailsOf([&] { driver.GetPropertyString(Id(L"Value")); }), kReasons);
    EXPECT_EQ(broken->Calls(L"OleValue").invokes, 8);
    current.Clear();
}

TEST_F(DispDriverTest, ObjectsComeAsDrivers) {
    EXPECT_EQ(ov::GetClrFullClassName(ov::GetObjectByName(driver, L"get_Parent")).View(),
              L"System.Windows.Window");
    EXPECT_EQ(app->Calls(L"get_Parent"), (wpfsim::CallCount{1, 1, 1}));

    current = wpfsim::ClrObject::Obj(window);
    EXPECT_EQ(ov::GetClrFullClassName(driver.GetPropertyObject(Id(L"Value"))).View(),
              L"System.Windows.Window");
    EXPECT_EQ(ov::GetClrFullClassName(driver.GetPropertyObject(Id(L"TypedRef"))).View(),
              L"System.Windows.Window");

    current = ov::Variant::Dispatch(nullptr);
    EXPECT_TRUE(driver.GetPropertyObject(Id(L"Value")).Empty());
    EXPECT_TRUE(driver.GetPropertyObject(Id(L"TypedRef")).Empty());

    // Not an object: a number, a string, an object behind a VARIANT reference.
    const std::pair<ov::Variant, const wchar_t*> notObjects[] = {{ov::Variant::Int(3), L"Value"},
                                                                 {ov::Variant::String(L"x"), L"Value"},
                                                                 {wpfsim::ClrObject::Obj(window), L"Ref"}};
    for (const auto& [answer, member] : notObjects) {
        current = answer;
        EXPECT_EQ(DetailsOf([&] { driver.GetPropertyObject(Id(member)); }), kReasons);
    }
}

TEST_F(DispDriverTest, WritesSendTheirType) {
    const DISPID id = Id(L"Value");
    struct Case {
        const char* what;
        std::function<void()> write;
        ov::Variant expected;
    } cases[] = {
        {"bool 2", [&] { driver.SetPropertyBool(id, 2); }, ov::Variant::Bool(true)},
        {"bool -5", [&] { driver.SetPropertyBool(id, -5); }, ov::Variant::Bool(true)},
        {"bool 0", [&] { driver.SetPropertyBool(id, 0); }, ov::Variant::Bool(false)},
        {"int", [&] { driver.SetPropertyInt(id, -7); }, ov::Variant::Int(-7)},
        {"double", [&] { driver.SetPropertyDouble(id, 0.25); }, ov::Variant::Double(0.25)},
        {"string", [&] { driver.SetPropertyString(id, std::wstring_view(L"a\0b", 3)); },
         ov::Variant::String(std::wstring_view(L"a\0b", 3))},
        {"variant", [&] { driver.SetProperty(id, ov::Variant::String(L"text")); },
         ov::Variant::String(L"text")},
    };
    for (const auto& c : cases) {
        received.Clear();
        c.write();
        ASSERT_EQ(received.vt, c.expected.vt) << c.what;
        if (received.vt == VT_BSTR)
            EXPECT_EQ(ov::Bstr::CopyOf(received.bstrVal).View(), ov::Bstr::CopyOf(c.expected.bstrVal).View())
                << c.what;
        else
            EXPECT_EQ(VarCmp(&received, const_cast<ov::Variant*>(&c.expected), LOCALE_USER_DEFAULT, 0),
                      VARCMP_EQ)
                << c.what;
    }
}

TEST_F(DispDriverTest, MethodArgumentsArriveInCallOrder) {
    const DISPID join = Id(L"Join");
    auto a = ov::Variant::String(L"a"), b = ov::Variant::String(L"b"), c = ov::Variant::String(L"c");
    auto d = ov::Variant::Int(4), e = ov::Variant::Double(5.0);
    auto text = [](const ov::Variant& v) {
        return v.vt == VT_BSTR ? std::wstring(v.bstrVal) : L"<not a string>";
    };
    EXPECT_EQ(text(driver.CallMethod(join)), L"");
    EXPECT_EQ(text(driver.CallMethod(join, a)), L"a");
    EXPECT_EQ(text(driver.CallMethod(join, a, b)), L"a|b");
    EXPECT_EQ(text(driver.CallMethod(join, a, b, c, d, e)), L"a|b|c|4|5");
    // By-reference arguments stay references to the caller's values.
    LONG target = 9;
    ov::Variant byRef;
    byRef.vt = VT_BYREF | VT_I4;
    byRef.plVal = &target;
    EXPECT_EQ(text(driver.CallMethod(join, byRef, a)), L"9|a");
    EXPECT_EQ(a.vt, VT_BSTR) << "arguments are the caller's and stay untouched";
}

TEST_F(DispDriverTest, EmptyDriverFailsEverythingWithoutReachingAnObject) {
    const DISPID id = Id(L"Value");
    // A failed attach empties the driver, it does not keep the previous object.
    EXPECT_EQ(DetailsOf([&] { driver.AttachVariant(ov::Variant::Int(1)); }), kReasons);
    ASSERT_TRUE(driver.Empty());
    app->ResetCalls();

    for (const auto& op : InvokeOperations())
        EXPECT_EQ(DetailsOf([&] { op.run(driver, id); }), kReasons) << op.name;
    DISPID unused;
    EXPECT_EQ(DetailsOf([&] { driver.GetIDOfName(L"Value"); }), kReasons);
    EXPECT_EQ(DetailsOf([&] { driver.HasMember(L"Value", &unused); }), kReasons);
    EXPECT_EQ(DetailsOf([&] { ov::GetObjectByName(driver, L"get_Parent"); }), kReasons);
    EXPECT_EQ(DetailsOf([&] { ov::GetClrFullClassName(driver); }), kReasons);
    EXPECT_EQ(app->Calls(), wpfsim::CallCount{});
    EXPECT_EQ(button->Calls(), wpfsim::CallCount{});
}

TEST_F(DispDriverTest, AttachTakesOnlyObjects) {
    ov::ComPtr<IDispatch> native = window->NewDispatch();
    // What the driver holds after the attach; nullopt when it raised.
    auto attached = [&](auto attach) -> std::optional<IDispatch*> {
        CovDispDriver d(button->NewDispatch().Get());
        if (DetailsOf([&] { attach(d); }) != L"<nothing raised>") return std::nullopt;
        return d.Get();
    };
    EXPECT_EQ(attached([&](CovDispDriver& d) { d.Attach(native.Get()); }), native.Get());
    EXPECT_EQ(attached([&](CovDispDriver& d) { d.AttachObject(native.Get()); }), native.Get());
    EXPECT_EQ(attached([&](CovDispDriver& d) { d.AttachVariant(ov::Variant::Dispatch(native.Get())); }),
              native.Get());
    IDispatch* slot = native.Get();
    VARIANT byRef{};
    byRef.vt = VT_BYREF | VT_DISPATCH;
    byRef.ppdispVal = &slot;
    EXPECT_EQ(attached([&](CovDispDriver& d) { d.AttachVariant(byRef); }), native.Get());

    // Raised: no IDispatch (the simulation's object itself is a bare IUnknown), null, not an object.
    ov::ComPtr<IUnknown> bare(static_cast<IUnknown*>(window));
    for (auto attach : std::initializer_list<std::function<void(CovDispDriver&)>>{
             [&](CovDispDriver& d) { d.AttachObject(bare.Get()); },
             [](CovDispDriver& d) { d.AttachObject(nullptr); },
             [&](CovDispDriver& d) { d.AttachVariant(ov::Variant::Unknown(native.Get())); },
             [](CovDispDriver& d) { d.AttachVariant(ov::Variant::String(L"okButton")); },
         }) {
        CovDispDriver d(button->NewDispatch().Get());
        EXPECT_EQ(DetailsOf([&] { attach(d); }), kReasons);
        EXPECT_TRUE(d.Empty());
    }
    EXPECT_EQ(attached([](CovDispDriver& d) { d.AttachVariant(ov::Variant::Dispatch(nullptr)); }),
              std::optional<IDispatch*>(nullptr));
}

TEST_F(DispDriverTest, CopiesShareTheObjectByReference) {
    ov::ComPtr<IDispatch> native = window->NewDispatch();
    auto refs = [&] {
        native->AddRef();
        return native->Release();
    };
    const ULONG alone = refs();
    {
        CovDispDriver first(native.Get());
        EXPECT_EQ(refs(), alone + 1);
        CovDispDriver second = first;
        EXPECT_EQ(refs(), alone + 2);
        CovDispDriver third;
        third = second;
        EXPECT_EQ(refs(), alone + 3);
        third = driver; // releases the old object first
        EXPECT_EQ(refs(), alone + 2);
        second.Attach(driver.Get());
        EXPECT_EQ(refs(), alone + 1);
    }
    EXPECT_EQ(refs(), alone);
}

// An object that records how it is called, for what the simulation does not check: the locale, the
// interface identifier, named arguments and the record pointers of every call.
using LiveCounter = ov::LiveCount<struct TestTag>;

class RecordingObject : public IDispatch {
public:
    using LiveCounter = ::LiveCounter;
    using Interfaces = ov::Interfaces<IDispatch>;

    struct Lookup {
        IID riid;
        LCID lcid;
        UINT count;
        std::wstring name;
    };
    struct Call {
        DISPID id;
        IID riid;
        LCID lcid;
        WORD flags;
        UINT namedCount;
        bool namedIds;
        std::vector<ov::Variant> rgvarg; // as they lie in the array
        bool resultGiven;
        VARTYPE resultOnEntry;
        bool excepGiven;
        bool argErrGiven;
    };

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override {
        lookups.push_back({riid, lcid, count, names[0]});
        ids[0] = 42;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) override {
        Call call{id,
                  riid,
                  lcid,
                  flags,
                  params->cNamedArgs,
                  params->rgdispidNamedArgs != nullptr,
                  {},
                  result != nullptr,
                  result ? result->vt : VARTYPE(VT_ILLEGAL),
                  excep != nullptr,
                  argErr != nullptr};
        for (UINT i = 0; i < params->cArgs; ++i)
            call.rgvarg.emplace_back(params->rgvarg[i]);
        calls.push_back(std::move(call));
        if (result) *result = ov::Variant::Int(7).Detach();
        if (failWith == DISP_E_EXCEPTION && excep) excep->pfnDeferredFillIn = &FillLater;
        return failWith;
    }

    static HRESULT STDMETHODCALLTYPE FillLater(EXCEPINFO* excep) {
        excep->bstrSource = SysAllocString(L"Deferred");
        excep->wCode = 3;
        excep->bstrDescription = SysAllocString(L"Filled late");
        return S_OK;
    }

    std::vector<Lookup> lookups;
    std::vector<Call> calls;
    HRESULT failWith = S_OK;
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
        d.SetPropertyInt(6, 3);
        d.CallMethod(7);
        d.CallMethod(8, ov::Variant::Int(1), ov::Variant::Int(2));
        auto arg = [](LONG n) { return ov::Variant::Int(n); };
        d.CallMethod(9, arg(1), arg(2), arg(3), arg(4), arg(5));
    }
    ASSERT_EQ(object->lookups.size(), 2u);
    for (const auto& l : object->lookups) {
        EXPECT_TRUE(IsEqualIID(l.riid, IID_NULL));
        EXPECT_EQ(l.lcid, 1024u);
        EXPECT_EQ(l.count, 1u);
    }
    EXPECT_EQ(object->lookups[0].name, L"Width");
    EXPECT_EQ(object->lookups[1].name, L"Height");

    const WORD get = DISPATCH_PROPERTYGET, put = DISPATCH_PROPERTYPUT, method = DISPATCH_METHOD;
    const struct {
        DISPID id;
        WORD flags;
        std::vector<LONG> rgvarg;
    } expected[] = {{1, get, {}},    {2, get, {}},        {3, get, {}},
                    {4, get, {}},    {5, get, {}},        {6, put, {3}},
                    {7, method, {}}, {8, method, {2, 1}}, {9, method, {5, 4, 3, 2, 1}}};
    ASSERT_EQ(object->calls.size(), std::size(expected));
    for (size_t i = 0; i < object->calls.size(); ++i) {
        const auto& c = object->calls[i];
        SCOPED_TRACE(testing::Message() << "DISPID " << c.id);
        EXPECT_EQ(c.id, expected[i].id);
        EXPECT_EQ(c.flags, expected[i].flags);
        EXPECT_TRUE(IsEqualIID(c.riid, IID_NULL));
        EXPECT_EQ(c.lcid, 1024u);
        EXPECT_EQ(c.namedCount, 0u);
        EXPECT_FALSE(c.namedIds);
        EXPECT_TRUE(c.excepGiven);
        EXPECT_FALSE(c.argErrGiven);
        // A put asks for no result; everything else gets a fresh VARIANT.
        EXPECT_EQ(c.resultGiven, c.flags != put);
        if (c.resultGiven) EXPECT_EQ(c.resultOnEntry, VT_EMPTY);
        std::vector<LONG> args;
        for (const auto& v : c.rgvarg)
            args.push_back(v.vt == VT_I4 ? v.lVal : -1);
        EXPECT_EQ(args, expected[i].rgvarg) << "the last argument comes first";
    }
    object.Reset();
    EXPECT_EQ(LiveCounter::Get(), 0);
}

TEST(DispDriverCallTest, DeferredExceptionTextsAreFilledIn) {
    auto object = ov::Create<RecordingObject>();
    object->failWith = DISP_E_EXCEPTION;
    CovDispDriver d(object.Get());
    std::wstring details = DetailsOf([&] { d.CallMethod(1); });
    EXPECT_TRUE(
        EndsWith(details, SiteLine(329, L"80020009", DISP_E_EXCEPTION) + L"\nDeferred 3\nFilled late"))
        << Narrow(details);
    d.Clear();
    object.Reset();
    EXPECT_EQ(LiveCounter::Get(), 0);
}

TEST_F(DispDriverTest, ClassNameIsReadWhicheverWayStringsCome) {
    for (bool asObjects : {true, false}) {
        app->SetStringsAsObjects(asObjects);
        EXPECT_EQ(ov::GetClrFullClassName(driver).View(), L"System.Windows.Controls.Button");
        CovDispDriver parent = ov::GetObjectByName(driver, L"get_VisualParent");
        EXPECT_EQ(ov::GetClrFullClassName(parent).View(), L"System.Windows.Window");
    }
}

} // namespace
