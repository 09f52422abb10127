// The host's log (kinds, entries, the JSON lines of --log) and its call counters, which the wrapper tests
// read to see what the module asked of the host.
#include "HostFixture.h"

#include "com/HostIdentifiers.h"
#include "host/log/LogFormat.h"

#include <functional>

using namespace hosttest;

namespace {

using Counts = std::map<std::string, long, std::less<>>;
using LogAndCountsTest = HostTest;

TEST_F(LogAndCountsTest, LogTakesTheModulesFourKindsInOrderAndRefusesOthers) {
    auto log = host->LogService();
    std::vector<ovhost::LogEntry> heard;
    host->OnLog([&](const ovhost::LogEntry& e) { heard.push_back(e); });
    const std::vector<ovhost::LogEntry> expected = {
        {ovhost::LogMessage, L"The button was clicked with the left mouse button.",
         L"A click with no key pressed."},
        {ovhost::LogError, L"The control is disabled. The action cannot be executed.", L""},
        {ovhost::LogNotice, L"The check box is already checked.", L""},
        {ovhost::LogMenuNotice, L"", L""},
    };
    for (const auto& e : expected)
        ASSERT_EQ(log->AddEntry(e.kind, e.text.empty() ? nullptr : ov::Bstr(e.text).Get(),
                                e.details.empty() ? nullptr : ov::Bstr(e.details).Get()),
                  S_OK);
    // The host's own kinds (script, script error) are not the module's to write.
    for (LONG bad : {-1, 4, 5, 0x7FFFFFFF}) {
        EXPECT_EQ(log->AddEntry(bad, ov::Bstr(L"lost").Get(), nullptr), E_INVALIDARG) << bad;
        ErrorInfo info = TakeErrorInfo();
        EXPECT_EQ(info.description, L"The log entry kind " + std::to_wstring(bad) + L" is unknown.");
        EXPECT_EQ(info.helpContext, 70206u);
    }
    EXPECT_EQ(host->Log(), expected);
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(Calls("IovHostLog::AddEntry"), 8);
}

TEST(LogFormatTest, JsonLinesEscapeWhatJsonMustAndStayValidUtf8) {
    // Kind, text, details, the line up to its context (which an entry without one gives as nulls).
    const std::tuple<LONG, std::wstring, std::wstring, std::string> cases[] = {
        {ovhost::LogMessage, L"plain", L"", R"({"kind":"message","text":"plain","details":"")"},
        {ovhost::LogMenuNotice, L"say \"hi\"", L"C:\\dir\\file",
         R"({"kind":"menu notice","text":"say \"hi\"","details":"C:\\dir\\file")"},
        {ovhost::LogError, L"a\r\nb\tc", std::wstring(L"\x01\x1f", 2),
         R"({"kind":"error","text":"a\r\nb\tc","details":"\u0001\u001f")"},
        // UTF-8 of two and three bytes, and of a surrogate pair (U+1F600).
        {ovhost::LogNotice, L"\u00e9\u20ac", L"\xD83D\xDE00",
         "{\"kind\":\"notice\",\"text\":\"\xC3\xA9\xE2\x82\xAC\",\"details\":\"\xF0\x9F\x98\x80\""},
        // Lone surrogates have no UTF-8: escaped, in either order and at either end.
        {ovhost::LogScript, L"\xD83D", L"x\xDE00\xD83Dy",
         R"({"kind":"script","text":"\ud83d","details":"x\ude00\ud83dy")"},
        {ovhost::LogScriptError, std::wstring(L"\0", 1), L"",
         R"({"kind":"script error","text":"\u0000","details":"")"},
    };
    const std::string noContext =
        R"(,"element":null,"elementKind":null,"line":null,"time":0.000,"check":false})";
    for (const auto& [kind, text, details, line] : cases) {
        SCOPED_TRACE(line);
        const ovhost::LogEntry entry{kind, text, details};
        EXPECT_EQ(ovhost::JsonLogLine(entry), line + noContext + "\n");
        // What test reads back of a script's run is what was written.
        auto read = ovhost::ParseJsonLogLine(ovhost::JsonLogLine(entry));
        ASSERT_TRUE(read);
        EXPECT_EQ(*read, entry);
    }
}

// An entry's context: the element that acted and its kind, the time, the script's line; on the screen after
// the text (a script failure's text names its line already), in JSON as members.
TEST(LogFormatTest, TheContextFollowsTheTextAndIsReadBackFromJson) {
    ovhost::LogEntry clicked{ovhost::LogMessage, L"The button was clicked with the left mouse button.",
                             L"remark"};
    clicked.context = {L"okButton", L"ctrlWPFButton", 12};
    clicked.seconds = 0.4124;
    ovhost::LogEntry failed{ovhost::LogError, std::wstring(ovhost::kCheckFailed) + L"the total is 12"};
    failed.context.line = 7;
    failed.check = true;
    ovhost::LogEntry script{ovhost::LogScriptError, L"line 3, column 1: Type mismatch"};
    script.context.line = 3;
    script.seconds = 1.5;
    const std::tuple<const ovhost::LogEntry&, std::wstring, std::string> cases[] = {
        {clicked,
         L"[message] The button was clicked with the left mouse button.  (okButton, ctrlWPFButton, 0.412 s, "
         L"line "
         L"12)\n    remark\n",
         R"({"kind":"message","text":"The button was clicked with the left mouse button.","details":"remark",)"
         R"("element":"okButton","elementKind":"ctrlWPFButton","line":12,"time":0.412,"check":false})"},
        {failed, L"[error] Check failed: the total is 12  (0.000 s, line 7)\n",
         R"({"kind":"error","text":"Check failed: the total is 12","details":"","element":null,)"
         R"("elementKind":null,"line":7,"time":0.000,"check":true})"},
        {script, L"[script error] line 3, column 1: Type mismatch  (1.500 s)\n",
         R"({"kind":"script error","text":"line 3, column 1: Type mismatch","details":"","element":null,)"
         R"("elementKind":null,"line":3,"time":1.500,"check":false})"},
    };
    for (const auto& [entry, screen, json] : cases) {
        EXPECT_EQ(ovhost::FormatLogEntry(entry), screen);
        EXPECT_EQ(ovhost::JsonLogLine(entry), json + "\n");
        auto read = ovhost::ParseJsonLogLine(json);
        ASSERT_TRUE(read) << json;
        EXPECT_EQ(read->context.element, entry.context.element);
        EXPECT_EQ(read->context.elementKind, entry.context.elementKind);
        EXPECT_EQ(read->context.line, entry.context.line);
        EXPECT_EQ(read->check, entry.check);
        EXPECT_NEAR(read->seconds, entry.seconds, 0.001);
    }
    // Lines that are no entry.
    for (const char* bad : {"", "{}", R"({"kind":"nonsense","text":""})", R"({"kind":"error","text":"a")",
                            R"({"kind":"error"} trailing)", R"({"kind":"error","text":"\q"})", "[1,2]"})
        EXPECT_FALSE(ovhost::ParseJsonLogLine(bad)) << bad;
}

TEST_F(LogAndCountsTest, EveryOperationCountsUnderItsInterfaceAndOnlyCallsThroughCOMCount) {
    ov::ComPtr<IUnknown> syntax;
    auto objectOf = [&](const wpfsim::Element* e) { return ObjectOf(e); };
    // What a call does, and the counts it leaves (nothing else may count).
    const std::tuple<const char*, std::function<void()>, Counts> cases[] = {
        {"host accessors",
         [&] {
             host->HostObjectOf(*ok);
             host->ProcessObject();
             host->Log();
         },
         {}},
        {"an operation",
         [&] {
             GUID id{};
             objectOf(ok)->GetElementId(&id);
             objectOf(ok)->GetElementId(&id);
         },
         {{"IovHostObject::GetElementId", 2}}},
        {"reserved slots answer E_NOTIMPL",
         [&] {
             EXPECT_EQ(Service()->Reserved3(), E_NOTIMPL);
             EXPECT_EQ(Service()->Reserved84(), E_NOTIMPL);
             EXPECT_EQ(objectOf(ok)->Reserved31(), E_NOTIMPL);
             EXPECT_EQ(objectOf(ok).As<IovScreenObject>()->Reserved7(), E_NOTIMPL);
             EXPECT_EQ(host->ModuleManager()->Reserved6(), E_NOTIMPL);
         },
         {{"IovObjectService::Reserved3", 1},
          {"IovObjectService::Reserved84", 1},
          {"IovHostObject::Reserved31", 1},
          {"IovScreenObject::Reserved7", 1},
          {"IovModuleManager::Reserved6", 1}}},
        {"IDispatch of a dual interface: the member counts under its own name too",
         [&] {
             auto dispatch = objectOf(ok).As<IDispatch>();
             UINT infos = 0;
             EXPECT_EQ(dispatch->GetTypeInfoCount(&infos), S_OK);
             LPOLESTR names[] = {const_cast<LPOLESTR>(L"Width")};
             DISPID id = DISPID_UNKNOWN;
             ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
             DISPPARAMS none{};
             ov::Variant width;
             ASSERT_EQ(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                        &width, nullptr, nullptr),
                       S_OK);
             EXPECT_EQ(width.lVal, ok->Bounds().right - ok->Bounds().left);
         },
         {{"IDispatch::GetTypeInfoCount", 1},
          {"IDispatch::GetIDsOfNames", 1},
          {"IDispatch::Invoke", 1},
          {"IovScreenObject::get_Width", 1}}},
        {"syntax objects: what the module sets counts, the host's reading does not",
         [&] {
             Service()->CreateObject(&__uuidof(IovSyntaxMember), nullptr, syntax.Put());
             auto member = syntax.As<IovSyntaxMember>();
             ov::ComPtr<IUnknown> made;
             Service()->CreateObject(&__uuidof(IovSyntaxArguments), nullptr, made.Put());
             auto arguments = made.As<IovSyntaxArguments>();
             Service()->CreateObject(&__uuidof(IovSyntaxArgument), nullptr, made.Put());
             auto argument = made.As<IovSyntaxArgument>();
             member->put_Name(ov::Bstr(L"ClickButton").Get());
             argument->put_Value(ov::Variant::Int(1));
             arguments->Add(argument.Get());
             member->put_Arguments(arguments.Get());
             member->put_MemberFlag(VARIANT_TRUE);
             ov::Bstr name, text;
             ov::ComPtr<IovSyntaxArguments> gotArguments;
             ov::ComPtr<IovSyntaxArgument> gotArgument;
             ov::ComPtr<IovSyntaxNode> owner;
             LONG count = 0;
             VARIANT_BOOL flag = VARIANT_FALSE;
             ov::Variant value;
             member->get_Name(name.Put());
             member->get_Arguments(gotArguments.Put());
             member->get_Owner(owner.Put());
             member->get_MemberFlag(&flag);
             arguments->get_Count(&count);
             arguments->get_Item(0, gotArgument.Put());
             argument->get_Value(&value);
             member->GetText(text.Put());
             EXPECT_EQ(text.View(), L"ClickButton(1)");
             EXPECT_EQ(count, 1);
         },
         {{"IovObjectService::CreateObject", 3},
          {"IovSyntaxMember::put_Name", 1},
          {"IovSyntaxArgument::put_Value", 1},
          {"IovSyntaxArguments::Add", 1},
          {"IovSyntaxMember::put_Arguments", 1},
          {"IovSyntaxMember::put_MemberFlag", 1}}},
    };
    for (const auto& [what, call, expected] : cases) {
        SCOPED_TRACE(what);
        host->Calls().Reset();
        call();
        EXPECT_EQ(host->Calls().Snapshot(), expected);
        long total = 0;
        for (const auto& [operation, n] : expected)
            total += n;
        EXPECT_EQ(host->Calls().Total(), total);
    }
    syntax.Reset();
}

} // namespace
