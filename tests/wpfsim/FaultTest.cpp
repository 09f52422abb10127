// Injected faults, the application's life and the call counters.
#include "SimCall.h"

#include "ovHostIntf.h"

using namespace simtest;

namespace {

class FaultTest : public SimTest {
protected:
    void SetUp() override {
        window = &app->Add(nullptr, L"System.Windows.Window", L"mainWindow");
        ok = &app->Add(window, L"System.Windows.Controls.Button", L"okButton");
    }
    wpfsim::Element* window = nullptr;
    wpfsim::Element* ok = nullptr;
};

TEST_F(FaultTest, InjectedExceptionFillsExcepInfoExactly) {
    ok->ThrowOn(L"IsEnabled",
                {L"PresentationFramework", 1234, L"The calling thread cannot access this object."});
    auto d = ok->NewDispatch();
    for (Result r : {Get(d.Get(), L"IsEnabled"), Put(d.Get(), L"IsEnabled", ov::Variant::Bool(false))}) {
        EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(r.source, L"PresentationFramework");
        EXPECT_EQ(r.code, 1234);
        EXPECT_EQ(r.description, L"The calling thread cannot access this object.");
        EXPECT_EQ(r.scode, 0);
    }
    EXPECT_TRUE(ok->IsEnabled()) << "a throwing setter must not have run";
    EXPECT_EQ(Get(d.Get(), L"Name").hr, S_OK);
    EXPECT_EQ(Get(window->NewDispatch().Get(), L"IsEnabled").hr, S_OK) << "only the one object throws";
    ok->ClearThrowOn(L"IsEnabled");
    EXPECT_EQ(Get(d.Get(), L"IsEnabled").hr, S_OK);
}

TEST_F(FaultTest, ExceptionOfAMemberBodyReachesTheCaller) {
    Result r = Call(window->NewDispatch().Get(), L"GetVisualChild", {ov::Variant::Int(1)});
    EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(r.source, L"mscorlib");
    EXPECT_EQ(r.scode, static_cast<SCODE>(0x80131502));
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.description.find(L"Parameter name: index"), std::wstring::npos);
}

TEST_F(FaultTest, NotRespondingFailsEveryCallOfEveryObject) {
    auto d = ok->NewDispatch();
    ov::Variant name = Get(d.Get(), L"ClrFullClassName").value; // a string object fetched before
    auto lookup = ov::QueryAs<IovMemberLookup>(d.Get());
    DISPID id = DISPID_UNKNOWN;
    ASSERT_EQ(Lookup(d.Get(), L"IsEnabled", &id), S_OK);

    for (HRESULT failure : {wpfsim::NotRespondingResult, E_ABORT}) {
        if (failure == wpfsim::NotRespondingResult)
            app->StopResponding();
        else
            app->StopResponding(failure);
        EXPECT_FALSE(app->IsResponding());
        DISPID unused;
        LPOLESTR names[] = {const_cast<LPOLESTR>(L"IsEnabled")};
        EXPECT_EQ(Lookup(d.Get(), L"IsEnabled", &unused), failure);
        EXPECT_EQ(lookup->LookupIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &unused), failure);
        EXPECT_EQ(InvokeId(d.Get(), id, DISPATCH_PROPERTYGET).hr, failure);
        EXPECT_EQ(Get(name.pdispVal, L"OleValue").hr, failure);
        EXPECT_EQ(Get(window->NewDispatch().Get(), L"Name").hr, failure);
        EXPECT_FALSE(ok->HostClick({}));
    }
    app->Resume();
    EXPECT_EQ(InvokeId(d.Get(), id, DISPATCH_PROPERTYGET).hr, S_OK);
    EXPECT_TRUE(ok->HostClick({}));
}

TEST_F(FaultTest, ObjectsOutlivingTheApplicationFailCleanly) {
    auto d = ok->NewDispatch();
    ov::Variant name = Get(d.Get(), L"ClrFullClassName").value;
    app.reset();
    EXPECT_EQ(Get(d.Get(), L"Name").hr, wpfsim::ExitedResult);
    EXPECT_EQ(Get(name.pdispVal, L"OleValue").hr, wpfsim::ExitedResult);
    EXPECT_GT(wpfsim::LiveObjects(), 0);
    d.Reset();
    name.Clear();
    EXPECT_EQ(wpfsim::LiveObjects(), 0);
}

TEST_F(FaultTest, CountersTellLookupsAndInvokesPerMemberObjectAndApplication) {
    auto d = ok->NewDispatch();
    auto w = window->NewDispatch();
    Get(d.Get(), L"IsEnabled");
    Get(d.Get(), L"IsEnabled");
    Get(w.Get(), L"IsEnabled");
    DISPID unused;
    Lookup(d.Get(), L"NoSuchMember", &unused);
    auto lookup = ov::QueryAs<IovMemberLookup>(d.Get());
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Name")};
    lookup->LookupIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &unused);
    InvokeId(d.Get(), 0x7fffffff, DISPATCH_METHOD); // no such DISPID

    using C = wpfsim::CallCount;
    EXPECT_EQ(ok->Calls(L"IsEnabled"), (C{2, 0, 2}));
    EXPECT_EQ(window->Calls(L"IsEnabled"), (C{1, 0, 1}));
    EXPECT_EQ(ok->Calls(L"NoSuchMember"), (C{1, 0, 0}));
    EXPECT_EQ(ok->Calls(L"Name"), (C{1, 1, 0}));
    EXPECT_EQ(ok->Calls(), (C{4, 1, 3}));
    EXPECT_EQ(app->Calls(L"IsEnabled"), (C{3, 0, 3}));
    EXPECT_EQ(app->Calls(), (C{5, 1, 4}));

    // Refused calls count too; a string's "OleValue" counts for the application.
    app->StopResponding();
    Get(d.Get(), L"Name");
    app->Resume();
    EXPECT_EQ(ok->Calls(L"Name"), (C{2, 1, 0}));
    app->ResetCalls();
    EXPECT_EQ(app->Calls(), C{});
    EXPECT_EQ(ok->Calls(), C{});
    Text(Get(d.Get(), L"Name").value);
    EXPECT_EQ(app->Calls(L"OleValue"), (C{1, 0, 1}));
    EXPECT_EQ(app->Calls().Total(), 4);
}

} // namespace
