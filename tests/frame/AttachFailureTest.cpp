// The DLL's attach and detach run inside the loader: whatever fails there, nothing may leave DllMain but
// its answer.
#include "frame/ModuleInf.h"

#include "FailingAllocations.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(AttachFailureTest, AnAllocationThatFailsMakesTheLoadFailAndNothingIsThrown) {
    const HINSTANCE self = GetModuleHandleW(nullptr);
    long threw = 0, refused = 0;
    const long runs = ovtest::ForEachFailingAllocation([] {},
                                                       [&] {
                                                           try {
                                                               if (!ov::ModuleEntry::Attach(self)) ++refused;
                                                               ov::ModuleEntry::Detach();
                                                           } catch (...) {
                                                               ++threw;
                                                           }
                                                       },
                                                       [](bool) {});
    ovtest::LoadTypeLibraries(); // detach emptied the cache the other tests use
    EXPECT_GT(runs, 0) << "attach allocates";
    EXPECT_EQ(threw, 0) << "of " << runs << " failing allocations";
    EXPECT_GT(refused, 0);
}

} // namespace
