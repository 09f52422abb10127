// Main of every test program: a single-threaded apartment, and a check after every test that the
// module's live objects (and the stand-ins') are all gone.
#include "TestSupport.h"

#include "host/services/HostCom.h"
#include "wpfsim/ClrObject.h"

#include <gtest/gtest.h>

namespace {

class LiveObjectCheck : public testing::EmptyTestEventListener {
    long simBaseline_ = 0;
    long hostBaseline_ = 0;
    void OnTestStart(const testing::TestInfo&) override {
        simBaseline_ = wpfsim::LiveObjects();
        hostBaseline_ = ovhost::LiveObjects();
    }
    void OnTestEnd(const testing::TestInfo&) override {
        EXPECT_EQ(ov::ModuleLiveCount::Get(), 0) << "module objects left alive after the test";
        EXPECT_EQ(wpfsim::LiveObjects(), simBaseline_) << "simulated .NET objects left alive after the test";
        EXPECT_EQ(ovhost::LiveObjects(), hostBaseline_) << "host objects left alive after the test";
        // Start the next test from zero so that one leak is reported once.
        ov::ModuleLiveCount::value = 0;
    }
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    testing::UnitTest::GetInstance()->listeners().Append(new LiveObjectCheck);
    int result = RUN_ALL_TESTS();
    ovtest::ReleaseTypeLibraries();
    CoUninitialize();
    return result;
}
