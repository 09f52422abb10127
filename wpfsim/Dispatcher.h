// The application's dispatcher, as WPF's: the work that WPF defers waits in a queue, by priority, until the
// application gets time. What waits: the layout (measure and arrange, and with them the generation of item
// containers and the first layout of a popup's content), a scroll viewer's offset commands
// ("ScrollToVerticalOffset", "BringIntoView"), applied after a layout pass, and a menu item's Click event
// (WPF raises it at Render priority, after the menus closed).
//
// Two modes, chosen per application (the Window's sim:Dispatcher):
//   Immediate  (the default) nothing waits: queued work runs at once, the layout before every call.
//   Deferred   the work waits until the application gets time: at a call that comes after the caller let
//              IdleInterval pass since its previous call (a wait of the caller: the application ran in the
//              meantime), whenever the host refreshes its tree, and before input is processed (WPF runs its
//              Render-priority work before Input). A caller that calls without pause meets the application
//              as it stood after its previous call, with the layout of before.
//
//   app.GetDispatcher().SetMode(wpfsim::DispatcherMode::Deferred);
//   app.GetDispatcher().SetClock([&] { return now; }); // tests let time pass by hand
//   app.DoEvents();                                    // or run what is pending at once
#pragma once

#include <deque>
#include <functional>
#include <map>

namespace wpfsim {

enum class DispatcherMode { Immediate, Deferred };

// WPF's DispatcherPriority, the values the simulation uses.
enum class DispatcherPriority { Background = 4, Input = 5, Loaded = 6, Render = 7, Normal = 9 };

class Dispatcher {
public:
    // The pause (milliseconds) after which a caller's next call finds the deferred work done: below the
    // shortest wait a caller makes on purpose (20 ms), above the gaps between calls made in a row.
    static constexpr double IdleInterval = 15;
    // Milliseconds from any fixed start.
    using Clock = std::function<double()>;

    Dispatcher();

    DispatcherMode Mode() const noexcept { return mode_; }
    void SetMode(DispatcherMode mode) noexcept { mode_ = mode; }
    bool Deferred() const noexcept { return mode_ == DispatcherMode::Deferred; }
    // The clock from now on (tests let time pass by hand); the last call is taken as now.
    void SetClock(Clock clock);

    // Runs the operation at once (Immediate) or queues it behind those of its priority and above.
    void BeginInvoke(DispatcherPriority priority, std::function<void()> operation);
    bool HasOperations() const noexcept { return !queue_.empty(); }
    // Takes the first operation of the highest priority, or an empty one.
    std::function<void()> Next();

    // A call reaches the application: whether the caller let the idle interval pass since its last call.
    // Either way the call counts as the caller's last from now.
    bool CallAfterPause();
    // The application ran (or a call ended) now.
    void Stamp();

private:
    DispatcherMode mode_ = DispatcherMode::Immediate;
    Clock clock_;
    double lastCall_;
    std::map<DispatcherPriority, std::deque<std::function<void()>>, std::greater<>> queue_;
};

} // namespace wpfsim
