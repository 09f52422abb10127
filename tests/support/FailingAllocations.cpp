#include "FailingAllocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> g_countdown{0};
std::atomic<bool> g_failed{false};

// Whether this allocation is the one to fail.
bool FailNow() noexcept {
    if (g_countdown.load(std::memory_order_relaxed) <= 0) return false;
    if (g_countdown.fetch_sub(1) != 1) return false;
    g_failed = true;
    return true;
}

void* Allocate(std::size_t size) {
    if (FailNow()) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void* AllocateNoThrow(std::size_t size) noexcept {
    if (FailNow()) return nullptr;
    return std::malloc(size ? size : 1);
}

} // namespace

namespace ovtest {

void FailAllocation(long n) noexcept {
    g_failed = false;
    g_countdown = n;
}

bool AllocationFailed() noexcept {
    return g_failed;
}

} // namespace ovtest

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateNoThrow(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateNoThrow(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
