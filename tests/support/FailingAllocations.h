// Allocation failures on demand: the programs that link this replace the global operator new, so that the
// n-th allocation from now throws std::bad_alloc (the nothrow forms give null). Disarmed unless asked.
#pragma once

namespace ovtest {

// The n-th allocation from now fails (1: the next one); 0 disarms.
void FailAllocation(long n) noexcept;
// True once the armed failure has happened.
bool AllocationFailed() noexcept;

// For n = 1, 2, ...: `setup()` unarmed, `body()` with the n-th allocation failing, `check(failed)` unarmed
// (failed: the body reached the n-th allocation), until a body allocates fewer times than n. Returns how
// many bodies saw the failure. Assertions belong in setup and check: gtest allocates too.
template <class Setup, class Body, class Check>
long ForEachFailingAllocation(Setup setup, Body body, Check check, long limit = 100000) {
    long runs = 0;
    for (long n = 1; n <= limit; ++n) {
        setup();
        FailAllocation(n);
        body();
        const bool failed = AllocationFailed();
        FailAllocation(0);
        check(failed);
        if (!failed) break;
        ++runs;
    }
    return runs;
}

} // namespace ovtest
