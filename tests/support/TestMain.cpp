// Main of every test program: a single-threaded apartment, and a check after every test that the
// module's live objects (and the stand-ins') are all gone.
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

class LiveObjectCheck : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override {
        EXPECT_EQ(ov::ModuleLiveCount::Get(), 0) << "module objects left alive after the test";
        if (ov::ModuleLiveCount::Get() != 0) ov::ModuleLiveCount::value = 0;
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
