// The module's error: texts, errors taken over from the host, and reporting by the report modes.
#include "dispatch/InvokeException.h"
#include "frame/HostServices.h"
#include "scripting/SyntaxItem.h"
#include "host/services/Host.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using ovtest::Raised;

TEST(InvocationErrorTest, DetailsNameLocationResultSystemTextMemberAndException) {
    const std::wstring reasons =
        L"Possible reasons:\r\n1. The application stopped responding.\r\n2. The application was compiled "
        L"incorrectly (see the Open Applications topic in the help system).\r\n3. An error occurred in "
        L"Orvane.";
    const std::wstring head = reasons + L"\n\nTechnical information:\n";
    ov::Bstr source(L"PresentationFramework"), description(L"Index was out of range.");
    EXCEPINFO full{}, blank{};
    full.wCode = 1001;
    full.bstrSource = source.Get();
    full.bstrDescription = description.Get();
    blank.wCode = 7;
    const std::wstring fail = ov::SystemText(E_FAIL), exception = ov::SystemText(DISP_E_EXCEPTION);
    const std::tuple<HRESULT, const EXCEPINFO*, int, const wchar_t*, std::wstring> cases[] = {
        {E_FAIL, nullptr, 102, L"Visibility", head + L"102 0x80004005 (" + fail + L") Visibility"},
        {E_OUTOFMEMORY, nullptr, 96, nullptr,
         head + L"96 0x8007000e (" + ov::SystemText(E_OUTOFMEMORY) + L") "},
        {S_OK, nullptr, 180, L"", head + L"180 0x00000000 () "},
        // Only a .NET exception (DISP_E_EXCEPTION) brings its record into the text.
        {E_FAIL, &full, 176, nullptr, head + L"176 0x80004005 (" + fail + L") "},
        {DISP_E_EXCEPTION, nullptr, 329, nullptr, head + L"329 0x80020009 (" + exception + L") "},
        {DISP_E_EXCEPTION, &full, 346, nullptr,
         head + L"346 0x80020009 (" + exception + L") \nPresentationFramework 1001\nIndex was out of range."},
        {DISP_E_EXCEPTION, &blank, 414, nullptr, head + L"414 0x80020009 (" + exception + L") \n 7\n"},
        {0, nullptr, -1, nullptr, reasons}, // the generic error
    };
    for (const auto& [hr, excep, location, member, expected] : cases) {
        auto e = Raised([&] {
            if (location < 0) ov::RaiseInvocationError();
            ov::RaiseInvocationError(hr, excep, location, member);
        });
        ASSERT_TRUE(e) << location;
        EXPECT_EQ(e->Message().View(), L"An error occurred.");
        EXPECT_EQ(e->Details().View(), expected) << location;
        EXPECT_EQ(e->Kind(), 3);
    }
}

TEST(InvocationErrorTest, SystemTextStandsOnOneLine) {
    wchar_t raw[2048] = {};
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, E_FAIL, 0,
                             raw, 2048, nullptr);
    std::wstring system(raw, n);
    ASSERT_NE(system.find_first_of(L"\r\n"), std::wstring::npos)
        << "the system text should end with a line break";
    std::erase_if(system, [](wchar_t c) { return c == L'\r' || c == L'\n'; });
    EXPECT_EQ(ov::SystemText(E_FAIL), system);
    EXPECT_EQ(ov::SystemText(S_OK), L"");
}

// An error object as the host leaves it on the thread after a failed action.
ov::ComPtr<IErrorInfo> HostError(const wchar_t* description, DWORD helpContext) {
    ov::ComPtr<ICreateErrorInfo> create;
    EXPECT_EQ(CreateErrorInfo(create.Put()), S_OK);
    if (description) create->SetDescription(const_cast<LPOLESTR>(description));
    create->SetHelpContext(helpContext);
    return create.As<IErrorInfo>();
}

TEST(InvocationErrorTest, HostErrorSplitsAtFirstSeparatorAndTakesItsKindFromTheHelpContext) {
    const std::tuple<const wchar_t*, DWORD, const wchar_t*, const wchar_t*, LONG> cases[] = {
        {nullptr, 0, L"", L"", 3},
        {L"The item was not found", 2, L"The item was not found.", L"", 2},
        {L"The item was not found.", 3, L"The item was not found.", L"", 3},
        {L"Line one\r\nline two", 4, L"Line one\r\nline two.", L"", 3},
        {L"Click failed\r\n\r\nThe window is hidden", 0xFFFFFFFF, L"Click failed", L"The window is hidden",
         3},
        {L"Click failed\r\n\r\nFirst\r\n\r\nSecond", 1, L"Click failed", L"First\r\n\r\nSecond", 1},
        {L"\r\n\r\nOnly details", 0, L"", L"Only details", 3},
    };
    for (const auto& [description, context, message, details, kind] : cases) {
        CovInvokeException e(HostError(description, context).Get());
        SCOPED_TRACE(testing::PrintToString(std::wstring(description ? description : L"<null>")));
        EXPECT_EQ(e.Message().View(), message);
        EXPECT_EQ(e.Details().View(), details);
        EXPECT_EQ(e.Kind(), kind);
    }

    SetErrorInfo(0, HostError(L"Activation failed\r\n\r\nNo window", 2).Get());
    auto taken = Raised([] { ov::RaiseHostError(); });
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->Message().View(), L"Activation failed");
    EXPECT_EQ(taken->Details().View(), L"No window");
    EXPECT_EQ(taken->Kind(), 2);
    taken = Raised([] { ov::RaiseHostError(); }); // taken: nothing left on the thread
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->Message().View(), L"");
    EXPECT_EQ(taken->Kind(), 3);
}

TEST(FormatTest, GrowsPastTheFirstBufferUntilTheTextFits) {
    for (size_t length : {0u, 2046u, 2047u, 2048u, 70000u}) {
        std::wstring body(length, L'x');
        if (length) body.back() = L'y';
        EXPECT_EQ(ov::Format(L"%s|%d|%s", body.c_str(), -42, L"end"), body + L"|-42|end") << length;
    }
    EXPECT_EQ(ov::Format(L"0x%.8x", 0xBEEFu), L"0x0000beef");
}

class ReportTest : public testing::Test {
protected:
    void SetUp() override {
        ov::HostServices::Set(nullptr, host->LogService().Get());
        SetErrorInfo(0, nullptr);
    }
    void TearDown() override {
        ov::HostServices::Clear();
        SetErrorInfo(0, nullptr);
        item.Reset();
        host.reset();
        EXPECT_EQ(ovhost::LiveObjects(), 0);
    }

    static std::optional<std::wstring> TakeScriptError() {
        ov::ComPtr<IErrorInfo> info;
        if (GetErrorInfo(0, info.Put()) != S_OK || !info) return std::nullopt;
        ov::Bstr description, source;
        info->GetDescription(description.Put());
        info->GetSource(source.Put());
        EXPECT_EQ(source.View(), L"");
        return std::wstring(description.View());
    }

    HRESULT Fail(const CovInvokeException& error) {
        return ov::Member(*item, [&] { throw error; });
    }

    std::unique_ptr<ovhost::Host> host = std::make_unique<ovhost::Host>(ovtest::BinFolder());
    ov::ComPtr<CovSyntaxItem> item = ov::Create<CovSyntaxItem>();
};

TEST_F(ReportTest, ErrorReportModeDecidesTheResult) {
    const CovInvokeException error(L"The control is disabled.", L"More.", 3);
    const CovInvokeException notice(L"The check box is already checked.", L"", 1);
    const std::tuple<LONG, const CovInvokeException&, HRESULT, std::vector<ovhost::LogEntry>,
                     std::optional<std::wstring>>
        cases[] = {
            // Modes 0 to 3 as scripts see them: tests/scripts/modes.*; here the error object and the modes
            // that are none.
            {2, error, E_FAIL, {}, L"The control is disabled.\r\n\r\nMore."},
            {7, error, E_UNEXPECTED, {}, std::nullopt},
            {-1, notice, E_UNEXPECTED, {}, std::nullopt},
        };
    for (const auto& [mode, raised, result, logged, scriptError] : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << mode << ", kind " << raised.Kind());
        host->ClearLog();
        item->put_ErrorReportMode(mode);
        EXPECT_EQ(Fail(raised), result);
        EXPECT_EQ(host->Log(), logged);
        EXPECT_EQ(TakeScriptError(), scriptError);
    }
    // Without a host log, mode 1 still succeeds.
    ov::HostServices::Clear();
    item->put_ErrorReportMode(1);
    EXPECT_EQ(Fail(error), S_OK);
    // Other failures become results in every mode.
    EXPECT_EQ(ov::Member(*item, [] { throw ov::ComError(E_OUTOFMEMORY); }), E_OUTOFMEMORY);
    EXPECT_EQ(ov::Member(*item, [] { throw std::bad_alloc(); }), E_OUTOFMEMORY);
    EXPECT_EQ(ov::Member(*item, [] { throw 1; }), E_UNEXPECTED);
    EXPECT_EQ(ov::Member(*item, [] {}), S_OK);
}

// Mode 3: the reporter hands a C++ caller the same error; the member barrier, where COM begins, reports it
// as mode 2 (no caller of a member is inside the module).
TEST_F(ReportTest, ModeThreeReporterPassesTheSameErrorOnWhileMembersReportItAsModeTwo) {
    item->put_ErrorReportMode(3);
    for (LONG kind : {1, 2, 3}) {
        const CovInvokeException error(L"Message", L"Details", kind);
        auto passed = Raised([&] { ov::HandleInvokeException(error, *item); });
        ASSERT_TRUE(passed) << "kind " << kind;
        EXPECT_EQ(passed->Message().View(), L"Message");
        EXPECT_EQ(passed->Details().View(), L"Details");
        EXPECT_EQ(passed->Kind(), kind);
        EXPECT_FALSE(Raised([&] { EXPECT_EQ(Fail(error), kind == 3 ? E_FAIL : S_OK); })) << "kind " << kind;
        EXPECT_EQ(TakeScriptError(),
                  kind == 3 ? std::optional<std::wstring>(L"Message\r\n\r\nDetails") : std::nullopt);
    }
    EXPECT_TRUE(host->Log().empty());
    EXPECT_EQ(TakeScriptError(), std::nullopt);
}

TEST_F(ReportTest, MessagesReachTheLogInMessageModeOneOnly) {
    for (LONG mode : {0, 1, 2, -1}) {
        host->ClearLog();
        item->put_MessageReportMode(mode);
        ov::ReportMessage(*item, L"The button was clicked.", L"A click with Ctrl key pressed.");
        ov::ReportMessage(*item, L"The check box was checked.");
        std::vector<ovhost::LogEntry> expected;
        if (mode == 1)
            expected = {{0, L"The button was clicked.", L"A click with Ctrl key pressed."},
                        {0, L"The check box was checked.", L""}};
        EXPECT_EQ(host->Log(), expected) << "mode " << mode;
    }
}

} // namespace
