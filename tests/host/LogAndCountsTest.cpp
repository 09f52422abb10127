// The host's log, its call counters and its count of live objects.
#include "HostFixture.h"

#include "frame/HostIdentifiers.h"

using namespace hosttest;

namespace {

using LogAndCountsTest = HostTest;

TEST_F(LogAndCountsTest, LogKeepsEntriesInOrderAndRefusesUnknownKinds) {
    auto log = host->LogService();
    std::vector<ovhost::LogEntry> heard;
    host->OnLog([&](const ovhost::LogEntry& e) { heard.push_back(e); });
    const std::vector<ovhost::LogEntry> expected = {
        {0, L"The button was clicked with the left mouse button.", L"A click with no key pressed."},
        {3, L"The control is disabled. The action cannot be executed.", L""},
        {1, L"The check box is already checked.", L""},
        {2, L"", L""},
    };
    for (const auto& e : expected)
        ASSERT_EQ(log->AddEntry(e.kind, e.text.empty() ? nullptr : ov::Bstr(e.text).Get(),
                                e.details.empty() ? nullptr : ov::Bstr(e.details).Get()),
                  S_OK);
    for (LONG bad : {-1, 4}) {
        EXPECT_EQ(log->AddEntry(bad, ov::Bstr(L"lost").Get(), nullptr), E_INVALIDARG) << bad;
        EXPECT_FALSE(TakeErrorInfo().description.empty());
    }
    EXPECT_EQ(host->Log(), expected);
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(Calls("IovHostLog::AddEntry"), 6);
}

TEST_F(LogAndCountsTest, CountersNameTheOperationAndCountOnlyCallsThroughTheInterfaces) {
    auto object = ObjectOf(ok); // the host's own accessors count nothing
    EXPECT_EQ(host->Calls().Total(), 0);
    GUID id{};
    object->GetElementId(&id);
    object->GetElementId(&id);
    // A call into a reserved slot is refused and counts under its position.
    EXPECT_EQ(Service()->Reserved12(), E_NOTIMPL);
    EXPECT_EQ(object->Reserved31(), E_NOTIMPL);
    EXPECT_EQ(host->Calls().Snapshot(),
              (std::map<std::string, long, std::less<>>{{"IovHostObject::GetElementId", 2},
                                                        {"IovHostObject::Reserved31", 1},
                                                        {"IovObjectService::Reserved12", 1}}));
    EXPECT_EQ(host->Calls().Total(), 4);
    host->Calls().Reset();
    EXPECT_EQ(host->Calls().Total(), 0);
    EXPECT_EQ(Calls("IovHostObject::GetElementId"), 0);
}

TEST_F(LogAndCountsTest, HostObjectsCountThemselvesAndOutliveTheHostWhileReferenced) {
    const long base = ovhost::LiveObjects();
    ov::ComPtr<IUnknown> actions, member;
    ObjectOf(ok)->GetExtension(&ov::HostIds::OnScreenActions, actions.Put());
    Service()->CreateObject(&__uuidof(IovSyntaxMember), nullptr, member.Put());
    EXPECT_EQ(ovhost::LiveObjects(), base + 2);
    actions.Reset();
    member.Reset();
    EXPECT_EQ(ovhost::LiveObjects(), base);

    auto kept = ObjectOf(ok);
    host->Detach();
    VARIANT_BOOL valid = VARIANT_TRUE;
    ASSERT_EQ(kept.As<IovObject>()->IsValid(&valid), S_OK);
    EXPECT_FALSE(valid);
    host.reset();
    EXPECT_GT(ovhost::LiveObjects(), 0);
    kept.Reset();
    EXPECT_EQ(ovhost::LiveObjects(), 0);
}

} // namespace
