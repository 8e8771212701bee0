#pragma once
// The clock behind a timed window behaviour (the message box's countdown):
// it calls back every interval until stopped. The program uses Qt timers;
// tests put a clock in its place that they advance by hand.
#include <functional>
#include <memory>

class TickClock {
 public:
  virtual ~TickClock() = default;
  // Calls tick every intervalMs until Stop; a new Start replaces the last one.
  virtual void Start(int intervalMs, std::function<void()> tick) = 0;
  virtual void Stop() = 0;
};

using TickClockFactory = std::function<std::unique_ptr<TickClock>()>;

// A clock on a QTimer of the user-interface thread.
std::unique_ptr<TickClock> NewQtTickClock();
