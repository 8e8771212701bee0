#pragma once
// Paces long work on the user-interface thread. Due() tells a loop when a
// progress report is worth drawing (at most once an interval), and once the
// work has run longer than its grace it handles the window's pending events
// at those moments too: a long piece of work keeps the window painting, a
// short one pays nothing for it. The user's input (keys, clicks, closing the
// window), timers and socket notifiers wait until the work is over, so that
// nothing they would start meets the work half done. The times are read from
// ctl::GetTickCount64, which tests drive.
#include <QEventLoop>

#include <cstdint>

struct OffUiOutcome;

// The events long work handles meanwhile: painting, exposure and the window
// system's other news, and what was posted.
inline constexpr QEventLoop::ProcessEventsFlags kEventsDuringWork =
    QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers;

class WorkPacer {
 public:
  // A grace of kNoEvents handles no events at all: the pacer then only
  // spaces the progress reports.
  static constexpr int kNoEvents = -1;
  WorkPacer(int graceMs, int intervalMs);

  // True at most once an interval (and on the first call); past the grace,
  // the pending events are handled first.
  bool Due();
  // Waits until `outcome` (RunOffUiThread.h) is done, calling Due() meanwhile.
  void Wait(OffUiOutcome& outcome);

 private:
  int graceMs_;
  int intervalMs_;
  uint64_t start_;
  uint64_t last_ = 0;
  bool reported_ = false;
};
