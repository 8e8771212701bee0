#pragma once
// A step repeated while a mouse button is held on an arrow or a transport
// button: one step at once on the press, then one every interval of the
// program's clock (ctl::GetTickCount64, which tests drive) until Stop (the
// release) or until the repeat's own condition fails. The later steps come
// from a timer of the event loop, so the press handler returns at once and
// the release, like any other event, is handled between two steps.
#include <QTimer>

#include <cstdint>
#include <functional>

class HeldRepeat {
 public:
  struct Steps {
    int intervalMs = 200;
    std::function<void()> step;
    // Asked before each later step: false ends the repeat.
    std::function<bool()> goesOn;
    // When given (tests), runs at every turn of the timer in place of the
    // interval, and every turn that goes on steps.
    std::function<void(int ms)> pause;
    // Runs once when the repeat ends, however it ends, but not when the
    // repeat is destroyed while it runs.
    std::function<void()> ended;
  };

  HeldRepeat();
  HeldRepeat(const HeldRepeat&) = delete;
  HeldRepeat& operator=(const HeldRepeat&) = delete;

  // Ends a repeat that runs, then steps at once and starts the timer.
  void Start(Steps steps);
  void Stop();
  bool Running() const { return running_; }

 private:
  void Turn();

  QTimer timer_;
  Steps steps_;
  uint64_t last_ = 0;
  bool running_ = false;
};
