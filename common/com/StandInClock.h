// Where the time of a call goes: the host stand-in and the simulated application each open a scope
// around every call that reaches them through COM, and the clock charges the time between two scope
// boundaries to the innermost open scope (so a host call that calls the application gives the application
// its share). Whatever runs outside every scope is the caller's, the module's. Off unless a benchmark turns
// it on: then every scope costs two reads of the clock. The clock is the processor's time-stamp counter
// where it has one: under wine the performance counter is a system call (about 150 ns), and the half of
// every read that falls outside the scopes would be charged to the module.
//
//   ov::StandInClock::Enable(true);
//   ... member calls ...
//   double app = ov::StandInClock::Seconds(ov::StandIn::App);
//
// One thread drives the stand-ins while the clock runs; the clock is not locked.
#pragma once

#include <windows.h>

#if defined(_M_X64) || defined(__x86_64__)
#include <intrin.h>
#define OV_STANDIN_TSC 1
#endif

namespace ov {

// Driver: the benchmark's own work around a member call (its arguments, its result), which is the caller's
// and no one's share of the member's time.
enum class StandIn { Caller = 0, Host = 1, App = 2, Driver = 3 };

class StandInClock {
public:
    static void Enable(bool on) noexcept {
        State& s = state();
        s.enabled = on;
        s.current = StandIn::Caller;
        s.mark = Now();
    }
    static bool Enabled() noexcept { return state().enabled; }
    static void Reset() noexcept {
        State& s = state();
        for (LONGLONG& t : s.ticks)
            t = 0;
        s.mark = Now();
    }
    static LONGLONG Ticks(StandIn who) noexcept { return state().ticks[static_cast<int>(who)]; }
    static double Seconds(LONGLONG ticks) noexcept {
        return static_cast<double>(ticks) / static_cast<double>(Frequency());
    }
    static double Seconds(StandIn who) noexcept { return Seconds(Ticks(who)); }
    static LONGLONG Now() noexcept {
#ifdef OV_STANDIN_TSC
        return static_cast<LONGLONG>(__rdtsc());
#else
        return Counter();
#endif
    }
    // Ticks of Now() per second.
    static LONGLONG Frequency() noexcept {
        static const LONGLONG frequency = [] {
            LARGE_INTEGER f;
            QueryPerformanceFrequency(&f);
#ifdef OV_STANDIN_TSC
            // The time-stamp counter's rate, against the performance counter over 50 ms (once).
            const LONGLONG start = Counter(), ticks = Now();
            LONGLONG now = start;
            while (now - start < f.QuadPart / 20)
                now = Counter();
            return (Now() - ticks) * f.QuadPart / (now - start);
#else
            return f.QuadPart;
#endif
        }();
        return frequency;
    }

private:
    friend class StandInScope;
    static LONGLONG Counter() noexcept {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return now.QuadPart;
    }
    struct State {
        bool enabled = false;
        StandIn current = StandIn::Caller;
        LONGLONG mark = 0;
        LONGLONG ticks[4] = {};
    };
    static State& state() noexcept {
        static State s;
        return s;
    }
    // Charges the time since the last boundary to the scope open until now and makes `next` current.
    static StandIn Switch(StandIn next) noexcept {
        State& s = state();
        const LONGLONG now = Now();
        s.ticks[static_cast<int>(s.current)] += now - s.mark;
        s.mark = now;
        const StandIn previous = s.current;
        s.current = next;
        return previous;
    }
};

// The time from here to the end of the scope is `who`'s, apart from the scopes opened inside it.
class StandInScope {
public:
    explicit StandInScope(StandIn who) noexcept : active_(StandInClock::Enabled()) {
        if (active_) previous_ = StandInClock::Switch(who);
    }
    ~StandInScope() {
        if (active_ && StandInClock::Enabled()) StandInClock::Switch(previous_);
    }
    // Moved out of a function that opened it before it did its own work.
    StandInScope(StandInScope&& other) noexcept : active_(other.active_), previous_(other.previous_) {
        other.active_ = false;
    }
    StandInScope(const StandInScope&) = delete;
    StandInScope& operator=(const StandInScope&) = delete;
    StandInScope& operator=(StandInScope&&) = delete;

private:
    bool active_;
    StandIn previous_ = StandIn::Caller;
};

// A scope of one stand-in, default-constructed: the `CallScope` of its COM objects (ov::ComObject).
template <StandIn Who> class StandInCallScope : public StandInScope {
public:
    StandInCallScope() noexcept : StandInScope(Who) {}
};

} // namespace ov
