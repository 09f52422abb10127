// The module's error: the texts of failed late-bound calls, errors taken over from the host, and how an
// automation member reports them by the object's report modes.
#include "dispatch/InvokeException.h"
#include "frame/HostServices.h"
#include "scripting/SyntaxItem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

using LiveCounter = ov::LiveCount<struct TestTag>;

const std::wstring kReasons = ov::texts::Reasons;

template <class F> std::optional<CovInvokeException> Caught(F&& f) {
    try {
        f();
    } catch (const CovInvokeException& e) {
        return e;
    }
    return std::nullopt;
}

std::wstring Details(HRESULT hr, const EXCEPINFO* excep, int location, const wchar_t* member) {
    auto e = Caught([&] { ov::RaiseInvocationError(hr, excep, location, member); });
    if (!e) return L"<nothing raised>";
    EXPECT_EQ(e->Message().View(), L"An error occurred.");
    EXPECT_EQ(e->Kind(), 3);
    return std::wstring(e->Details().View());
}

std::string Narrow(std::wstring_view s) {
    return std::string(s.begin(), s.end());
}

TEST(InvocationErrorTest, GenericErrorCarriesTheReasonsOnly) {
    auto e = Caught([] { ov::RaiseInvocationError(); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message().View(), L"An error occurred.");
    EXPECT_EQ(
        e->Details().View(),
        L"Possible reasons:\r\n1. The application stopped responding.\r\n2. The application was compiled "
        L"incorrectly (see the Open Applications topic in the help system).\r\n3. An error occurred in "
        L"Orvane.");
    EXPECT_EQ(e->Kind(), 3);
}

TEST(InvocationErrorTest, DetailsNameLocationResultSystemTextMemberAndException) {
    const std::wstring head = kReasons + L"\n\nTechnical information:\n";
    EXCEPINFO full{};
    full.bstrSource = SysAllocString(L"PresentationFramework");
    full.bstrDescription = SysAllocString(L"Index was out of range.");
    full.wCode = 1001;
    full.scode = 0;
    EXCEPINFO blank{};
    blank.wCode = 7;
    struct Case {
        HRESULT hr;
        const EXCEPINFO* excep;
        int location;
        const wchar_t* member;
        std::wstring expected;
    } cases[] = {
        {E_FAIL, nullptr, 102, L"Visibility", L"102 0x80004005 (" + ov::SystemText(E_FAIL) + L") Visibility"},
        {E_OUTOFMEMORY, nullptr, 96, nullptr, L"96 0x8007000e (" + ov::SystemText(E_OUTOFMEMORY) + L") "},
        {S_OK, nullptr, 180, L"", L"180 0x00000000 () "},
        // Only a .NET exception (DISP_E_EXCEPTION) brings its record into the text.
        {E_FAIL, &full, 176, nullptr, L"176 0x80004005 (" + ov::SystemText(E_FAIL) + L") "},
        {DISP_E_EXCEPTION, nullptr, 329, nullptr,
         L"329 0x80020009 (" + ov::SystemText(DISP_E_EXCEPTION) + L") "},
        {DISP_E_EXCEPTION, &full, 346, nullptr,
         L"346 0x80020009 (" + ov::SystemText(DISP_E_EXCEPTION) +
             L") \nPresentationFramework 1001\nIndex was out of range."},
        {DISP_E_EXCEPTION, &blank, 414, nullptr,
         L"414 0x80020009 (" + ov::SystemText(DISP_E_EXCEPTION) + L") \n 7\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Details(c.hr, c.excep, c.location, c.member), head + c.expected)
            << "location " << c.location;
    SysFreeString(full.bstrSource);
    SysFreeString(full.bstrDescription);
}

TEST(InvocationErrorTest, SystemTextStandsOnOneLine) {
    char raw[2048] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, E_FAIL, 0,
                             raw, sizeof(raw), nullptr);
    std::string system(raw, n);
    ASSERT_NE(system.find_first_of("\r\n"), std::string::npos)
        << "the system text should end with a line break";
    std::erase_if(system, [](char c) { return c == '\r' || c == '\n'; });
    EXPECT_EQ(Narrow(ov::SystemText(E_FAIL)), system);
    EXPECT_EQ(ov::SystemText(S_OK), L"");

    std::wstring details = Details(E_OUTOFMEMORY, nullptr, 102, L"Items");
    std::wstring lastLine = details.substr(details.rfind(L'\n') + 1);
    EXPECT_EQ(lastLine, L"102 0x8007000e (" + ov::SystemText(E_OUTOFMEMORY) + L") Items");
    EXPECT_EQ(lastLine.find(L'\r'), std::wstring::npos);
}

// An error object as the host leaves it on the thread after a failed action.
ov::ComPtr<IErrorInfo> HostError(const wchar_t* description, DWORD helpContext = 0) {
    ov::ComPtr<ICreateErrorInfo> create;
    EXPECT_EQ(CreateErrorInfo(create.Put()), S_OK);
    if (description) create->SetDescription(const_cast<LPOLESTR>(description));
    create->SetHelpContext(helpContext);
    return create.As<IErrorInfo>();
}

TEST(InvocationErrorTest, HostErrorSplitsAtFirstSeparatorAndEndsMessageWithPeriod) {
    struct Case {
        const wchar_t* description;
        const wchar_t* message;
        const wchar_t* details;
    } cases[] = {
        {nullptr, L"", L""},
        {L"", L"", L""},
        {L"The item was not found", L"The item was not found.", L""},
        {L"The item was not found.", L"The item was not found.", L""},
        {L"Line one\r\nline two", L"Line one\r\nline two.", L""},
        {L"Click failed\r\n\r\nThe window is hidden", L"Click failed", L"The window is hidden"},
        {L"Click failed\r\n\r\nFirst\r\n\r\nSecond", L"Click failed", L"First\r\n\r\nSecond"},
        {L"\r\n\r\nOnly details", L"", L"Only details"},
    };
    for (const auto& c : cases) {
        CovInvokeException e(HostError(c.description).Get());
        SCOPED_TRACE(Narrow(c.description ? c.description : L"<null>"));
        EXPECT_EQ(e.Message().View(), c.message);
        EXPECT_EQ(e.Details().View(), c.details);
        EXPECT_EQ(e.Kind(), 3);
    }

    CovInvokeException none(static_cast<IErrorInfo*>(nullptr));
    EXPECT_EQ(none.Message().View(), L"");
    EXPECT_EQ(none.Details().View(), L"");
    EXPECT_EQ(none.Kind(), 3);
}

TEST(InvocationErrorTest, HostErrorKindComesFromHelpContext) {
    const std::pair<DWORD, LONG> cases[] = {{0, 3}, {1, 1}, {2, 2}, {3, 3}, {4, 3}, {0xFFFFFFFF, 3}};
    for (auto [context, kind] : cases)
        EXPECT_EQ(CovInvokeException(HostError(L"x", context).Get()).Kind(), kind)
            << "help context " << context;
}

TEST(InvocationErrorTest, RaiseHostErrorTakesTheThreadsErrorInformation) {
    SetErrorInfo(0, HostError(L"Activation failed\r\n\r\nNo window", 2).Get());
    auto e = Caught([] { ov::RaiseHostError(); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message().View(), L"Activation failed");
    EXPECT_EQ(e->Details().View(), L"No window");
    EXPECT_EQ(e->Kind(), 2);

    e = Caught([] { ov::RaiseHostError(); }); // taken: nothing left on the thread
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message().View(), L"");
    EXPECT_EQ(e->Kind(), 3);
}

TEST(FormatTest, GrowsPastTheFirstBufferUntilTheTextFits) {
    for (size_t length : {0u, 2046u, 2047u, 2048u, 5000u, 70000u}) {
        std::wstring body(length, L'x');
        if (length) body.back() = L'y';
        std::wstring text = ov::Format(L"%s|%d|%s", body.c_str(), -42, L"end");
        EXPECT_EQ(text, body + L"|-42|end") << "length " << length;
    }
    EXPECT_EQ(ov::Format(L"0x%.8x", 0xBEEFu), L"0x0000beef");
}

// The host's log as the module sees it.
class FakeLog : public IovHostLog {
public:
    using LiveCounter = ::LiveCounter;
    using Interfaces = ov::Interfaces<IovHostLog>;
    struct Entry {
        LONG kind;
        std::wstring text, details;
        friend bool operator==(const Entry&, const Entry&) = default;
    };
    HRESULT STDMETHODCALLTYPE AddEntry(LONG kind, BSTR text, BSTR details) override {
        entries.push_back({kind, ov::Bstr::CopyOf(text).c_str(), ov::Bstr::CopyOf(details).c_str()});
        return S_OK;
    }
    std::vector<Entry> entries;
};

void PrintTo(const FakeLog::Entry& e, std::ostream* os) {
    *os << "{" << e.kind << ", \"" << Narrow(e.text) << "\", \"" << Narrow(e.details) << "\"}";
}

class ReportTest : public testing::Test {
protected:
    void SetUp() override {
        ov::HostServices::Set(nullptr, log.Get());
        SetErrorInfo(0, nullptr);
    }
    void TearDown() override {
        ov::HostServices::Clear();
        SetErrorInfo(0, nullptr);
        log.Reset();
        EXPECT_EQ(LiveCounter::Get(), 0);
    }

    // The description of the thread's error information, or nullopt when none was set.
    static std::optional<std::wstring> TakeScriptError() {
        ov::ComPtr<IErrorInfo> info;
        if (GetErrorInfo(0, info.Put()) != S_OK || !info) return std::nullopt;
        ov::Bstr description, source;
        GUID guid{};
        DWORD context = 77;
        info->GetDescription(description.Put());
        info->GetSource(source.Put());
        info->GetGUID(&guid);
        info->GetHelpContext(&context);
        EXPECT_EQ(source.View(), L"");
        EXPECT_TRUE(IsEqualGUID(guid, GUID_NULL));
        EXPECT_EQ(context, 0u);
        return std::wstring(description.View());
    }

    HRESULT Fail(const CovInvokeException& error) {
        return ov::Member(*item, [&] { throw error; });
    }

    ov::ComPtr<FakeLog> log = ov::Create<FakeLog>();
    ov::ComPtr<CovSyntaxItem> item = ov::Create<CovSyntaxItem>();
};

TEST_F(ReportTest, ErrorReportModeDecidesTheResult) {
    using Entry = FakeLog::Entry;
    const CovInvokeException error(L"The control is disabled.", L"More.", 3);
    const CovInvokeException notice(L"The check box is already checked.", L"", 1);
    const CovInvokeException bare(L"Failed.", L"", 3);
    struct Case {
        LONG mode;
        const CovInvokeException& raised;
        HRESULT result;
        std::vector<Entry> logged;
        std::optional<std::wstring> scriptError;
    } cases[] = {
        {0, error, S_OK, {}, std::nullopt},
        {1, error, S_OK, {{3, L"The control is disabled.", L"More."}}, std::nullopt},
        {1, notice, S_OK, {{1, L"The check box is already checked.", L""}}, std::nullopt},
        {2, error, E_FAIL, {}, L"The control is disabled.\r\n\r\nMore."},
        {2, bare, E_FAIL, {}, L"Failed.\r\n\r\n"},
        {2, notice, S_OK, {}, std::nullopt},
        // At the COM boundary no exception may pass: mode 3 reports as mode 2 does.
        {3, error, E_FAIL, {}, L"The control is disabled.\r\n\r\nMore."},
        {3, notice, S_OK, {}, std::nullopt},
        {7, error, E_UNEXPECTED, {}, std::nullopt},
        {-1, notice, E_UNEXPECTED, {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", kind " << c.raised.Kind());
        log->entries.clear();
        item->put_ErrorReportMode(c.mode);
        EXPECT_EQ(Fail(c.raised), c.result);
        EXPECT_EQ(log->entries, c.logged);
        EXPECT_EQ(TakeScriptError(), c.scriptError);
    }
}

TEST_F(ReportTest, ModeThreeHandsTheSameErrorToACallerInsideTheModule) {
    item->put_ErrorReportMode(3);
    for (LONG kind : {1, 2, 3}) {
        const CovInvokeException error(L"Message", L"Details", kind);
        auto passed = Caught([&] {
            ov::InModuleCall inModule;
            Fail(error);
        });
        ASSERT_TRUE(passed) << "kind " << kind;
        EXPECT_EQ(passed->Message().View(), L"Message");
        EXPECT_EQ(passed->Details().View(), L"Details");
        EXPECT_EQ(passed->Kind(), kind);
        // Called directly, the reporter throws too.
        EXPECT_TRUE(Caught([&] { ov::HandleInvokeException(error, *item); }));
    }
    EXPECT_FALSE(ov::InModuleCall::Active()) << "the marker ends with its scope, also on an exception";
    EXPECT_TRUE(log->entries.empty());
    EXPECT_EQ(TakeScriptError(), std::nullopt);
}

TEST_F(ReportTest, BarrierTurnsOtherFailuresIntoResults) {
    EXPECT_EQ(ov::Member(*item, [] { throw ov::ComError(E_OUTOFMEMORY); }), E_OUTOFMEMORY);
    EXPECT_EQ(ov::Member(*item, [] { throw std::bad_alloc(); }), E_OUTOFMEMORY);
    EXPECT_EQ(ov::Member(*item, [] { throw 1; }), E_UNEXPECTED);
    EXPECT_EQ(ov::Member(*item, [] {}), S_OK);
    EXPECT_TRUE(log->entries.empty());

    // Without a host log, mode 1 still succeeds.
    ov::HostServices::Clear();
    EXPECT_EQ(Fail(CovInvokeException(L"Lost.", L"", 3)), S_OK);
}

TEST_F(ReportTest, MessagesReachTheLogInMessageModeOneOnly) {
    using Entry = FakeLog::Entry;
    for (LONG mode : {0, 1, 2, -1}) {
        log->entries.clear();
        item->put_MessageReportMode(mode);
        ov::ReportMessage(*item, L"The button was clicked with the left mouse button.",
                          L"A click with Ctrl key pressed.");
        ov::ReportMessage(*item, L"The check box was checked.");
        std::vector<Entry> expected;
        if (mode == 1)
            expected = {
                {0, L"The button was clicked with the left mouse button.", L"A click with Ctrl key pressed."},
                {0, L"The check box was checked.", L""}};
        EXPECT_EQ(log->entries, expected) << "mode " << mode;
    }
}

} // namespace
