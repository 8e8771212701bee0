#include "platform/controls/TimerControl.h"

#include "platform/ErrorGuard.h"
#include "platform/RWError.h"
#include "platform/controls/Control.h"

namespace ctl {

TimerControl::TimerControl(QObject* parent) : QObject(parent) {
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
}

void TimerControl::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Restart();
}

void TimerControl::SetInterval(int milliseconds) {
  interval_ = std::max(0, milliseconds);
  Restart();
}

void TimerControl::Restart() {
  timer_.stop();
  if (enabled_ && interval_ > 0) timer_.start(interval_);
}

void TimerControl::Tick() {
  if (!Timer) return;
  // A tick is no command of the user's: a fault it meets again is not told again.
  ErrorGuard({.background = true}).Run(Timer);
}

}  // namespace ctl
