#pragma once
// A clock that ticks only when the test says so, in place of the Qt timers
// behind a timed window behaviour.
#include "ui/TickClock.h"

#include <functional>
#include <utility>

namespace rwtest {

class ManualTickClock : public TickClock {
 public:
  void Start(int intervalMs, std::function<void()> tick) override {
    interval = intervalMs;
    ++starts;
    tick_ = std::move(tick);
  }
  void Stop() override { tick_ = nullptr; }
  bool Running() const { return static_cast<bool>(tick_); }
  // One interval has passed.
  void Tick() {
    if (tick_) tick_();
  }

  int interval = 0;
  // How often the wait was begun again.
  int starts = 0;

 private:
  std::function<void()> tick_;
};

}  // namespace rwtest
