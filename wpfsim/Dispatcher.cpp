#include "Dispatcher.h"

#include <chrono>

namespace wpfsim {

Dispatcher::Dispatcher()
    : clock_([] {
          return std::chrono::duration<double, std::milli>(
                     std::chrono::steady_clock::now().time_since_epoch())
              .count();
      }),
      lastCall_(clock_()) {}

void Dispatcher::SetClock(Clock clock) {
    clock_ = std::move(clock);
    lastCall_ = clock_();
}

void Dispatcher::BeginInvoke(DispatcherPriority priority, std::function<void()> operation) {
    if (!Deferred()) return operation();
    queue_[priority].push_back(std::move(operation));
}

std::function<void()> Dispatcher::Next() {
    if (queue_.empty()) return {};
    auto first = queue_.begin();
    std::function<void()> operation = std::move(first->second.front());
    first->second.pop_front();
    if (first->second.empty()) queue_.erase(first);
    return operation;
}

bool Dispatcher::CallAfterPause() {
    const double now = clock_();
    const bool paused = now - lastCall_ >= IdleInterval;
    lastCall_ = now;
    return paused;
}

void Dispatcher::Stamp() {
    lastCall_ = clock_();
}

} // namespace wpfsim
