// The host's log, its call counters and its count of live objects.
#include "HostFixture.h"

using namespace hosttest;

namespace {

using ovhost::LogEntry;

class LogAndCountsTest : public HostTest {
protected:
    HRESULT Add(LONG kind, const wchar_t* text, const wchar_t* details) {
        return log->AddEntry(kind, text ? ov::Bstr(text).Get() : nullptr,
                             details ? ov::Bstr(details).Get() : nullptr);
    }
    void SetUp() override {
        HostTest::SetUp();
        log = host->LogService();
    }
    void TearDown() override {
        log.Reset();
        HostTest::TearDown();
    }
    ov::ComPtr<IovHostLog> log;
};

TEST_F(LogAndCountsTest, LogKeepsEntriesInOrderAndRefusesUnknownKinds) {
    std::vector<LogEntry> heard;
    host->OnLog([&](const LogEntry& e) { heard.push_back(e); });
    ASSERT_EQ(Add(0, L"The button was clicked with the left mouse button.", L"A click with no key pressed."),
              S_OK);
    ASSERT_EQ(Add(3, L"The control is disabled. The action cannot be executed.", nullptr), S_OK);
    ASSERT_EQ(Add(1, L"The check box is already checked.", L""), S_OK);
    ASSERT_EQ(Add(2, nullptr, nullptr), S_OK);
    for (LONG bad : {-1, 4}) {
        EXPECT_EQ(Add(bad, L"lost", L""), E_INVALIDARG) << bad;
        EXPECT_TRUE(TakeErrorInfo().present);
    }
    std::vector<LogEntry> expected = {
        {0, L"The button was clicked with the left mouse button.", L"A click with no key pressed."},
        {3, L"The control is disabled. The action cannot be executed.", L""},
        {1, L"The check box is already checked.", L""},
        {2, L"", L""},
    };
    EXPECT_EQ(host->Log(), expected);
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(Calls("IovHostLog::AddEntry"), 6);
}

TEST_F(LogAndCountsTest, CountersNameTheOperationAndCountOnlyCallsThroughTheInterfaces) {
    host->HostObjectOf(*ok); // the host's own accessors count nothing
    host->Actions();
    EXPECT_EQ(host->Calls().Total(), 0);

    auto object = ObjectOf(ok);
    GUID id{};
    object->GetElementId(&id);
    object->GetElementId(&id);
    ov::ComPtr<IovHostObject> parent;
    object->GetParent(parent.Put());
    EXPECT_EQ(Calls("IovHostObject::GetElementId"), 2);
    EXPECT_EQ(Calls("IovHostObject::GetParent"), 1);
    EXPECT_EQ(host->Calls().Total(), 3);

    // A call into a reserved slot is refused and shows under its position.
    EXPECT_EQ(Service()->Reserved12(), E_NOTIMPL);
    EXPECT_EQ(object->Reserved31(), E_NOTIMPL);
    EXPECT_EQ(Calls("IovObjectService::Reserved12"), 1);
    EXPECT_EQ(Calls("IovHostObject::Reserved31"), 1);
    auto snapshot = host->Calls().Snapshot();
    EXPECT_EQ(snapshot.size(), 4u);

    host->Calls().Reset();
    EXPECT_EQ(host->Calls().Total(), 0);
    EXPECT_EQ(Calls("IovHostObject::GetElementId"), 0);
}

TEST_F(LogAndCountsTest, HostObjectsCountThemselvesWhileAlive) {
    long base = ovhost::LiveObjects();
    auto actions = [&] {
        ov::ComPtr<IUnknown> extension;
        GUID id = ov::HostIds::OnScreenActions;
        ObjectOf(ok)->GetExtension(&id, extension.Put());
        return extension;
    }();
    ov::ComPtr<IUnknown> member;
    Service()->CreateObject(&__uuidof(IovSyntaxMember), nullptr, member.Put());
    EXPECT_EQ(ovhost::LiveObjects(), base + 2);
    actions.Reset();
    member.Reset();
    EXPECT_EQ(ovhost::LiveObjects(), base);

    // Objects kept past the host still answer; they go when released.
    auto kept = ObjectOf(ok);
    host->Detach();
    VARIANT_BOOL valid = VARIANT_TRUE;
    ASSERT_EQ(kept.As<IovObject>()->IsValid(&valid), S_OK);
    EXPECT_FALSE(valid);
    host.reset();
    EXPECT_GT(ovhost::LiveObjects(), 0);
    kept.Reset();
    service_.Reset();
    log.Reset();
    EXPECT_EQ(ovhost::LiveObjects(), 0);
}

} // namespace
