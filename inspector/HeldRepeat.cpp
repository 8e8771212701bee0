#include "inspector/HeldRepeat.h"

#include "platform/DragController.h"

namespace {

// How often the timer looks at the clock: the steps keep their interval to
// within this, and a test's clock is read at every look.
constexpr int kLookMs = 10;

}  // namespace

HeldRepeat::HeldRepeat() { QObject::connect(&timer_, &QTimer::timeout, [this] { Turn(); }); }

void HeldRepeat::Start(Steps steps) {
  Stop();
  steps_ = std::move(steps);
  running_ = true;
  last_ = ctl::GetTickCount64();
  if (steps_.step) steps_.step();
  // The step may have ended the repeat (a window that is to close).
  if (running_) timer_.start(steps_.pause ? 0 : kLookMs);
}

// The functions are kept until the next Start: Stop may come from inside one
// of them.
void HeldRepeat::Stop() {
  if (!running_) return;
  running_ = false;
  timer_.stop();
  const std::function<void()> ended = std::move(steps_.ended);
  steps_.ended = nullptr;
  if (ended) ended();
}

void HeldRepeat::Turn() {
  if (steps_.pause) steps_.pause(steps_.intervalMs);
  if (!running_) return;
  if (steps_.goesOn && !steps_.goesOn()) {
    Stop();
    return;
  }
  if (!steps_.pause) {
    const uint64_t now = ctl::GetTickCount64();
    if (now - last_ < static_cast<uint64_t>(steps_.intervalMs)) return;
    last_ = now;
  }
  if (steps_.step) steps_.step();
}
