// A critical section and its scoped hold: the module's locks are the kernel's critical sections.
#pragma once

#include <windows.h>

namespace ov {

class CriticalSection {
public:
    CriticalSection() noexcept { InitializeCriticalSection(&cs_); }
    ~CriticalSection() { DeleteCriticalSection(&cs_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    CRITICAL_SECTION& Native() noexcept { return cs_; }

private:
    CRITICAL_SECTION cs_;
};

class Lock {
public:
    explicit Lock(CRITICAL_SECTION& cs) noexcept : cs_(cs) { EnterCriticalSection(&cs_); }
    explicit Lock(CriticalSection& cs) noexcept : Lock(cs.Native()) {}
    ~Lock() { LeaveCriticalSection(&cs_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& cs_;
};

} // namespace ov
