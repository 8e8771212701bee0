#pragma once
// The one way the program runs long work: the library's open and upkeep,
// copies and exports, and any other work that reads or writes the library
// file or a file on a medium that may stop answering.
//
// The rule: no handler of the program's own runs inside long work. While it
// runs, the window's thread handles no event at all: timers, queued calls,
// posted events, keys, clicks, socket and window-system news stay queued
// and are handled, in their order, once the work is over. So nothing the
// user or the program starts meets the work half done, and no command runs
// inside another.
//
// The window still shows the work: once the work has run past its grace
// (half a second), every tenth of a second the window's pending painting,
// and only that, is done (Paint), so that the progress strip the work
// drew shows. An animation of its own thread (the busy indicator) keeps
// turning meanwhile.
//
// Three forms:
// - LongWork::Pacer, for work that must run on the window's thread (it
//   builds widgets): its loop asks Due() when to report its progress.
// - LongWork::Run, for work that needs no widget (a file written, a file
//   read): it runs on a worker thread with a Job, the window's thread waits
//   without handling events, reports the job's steps and paints. Given a
//   quiet limit, the wait gives up on work that makes no step for that long
//   (a mount that stopped answering) and leaves it to end by itself.
// - LongWork::Wait, for a call on a helper thread of one's own (a file call
//   under a mount that may not answer): the window's thread waits for its
//   Done within a time limit of real time, handling no event and painting.
//
// A quit request or termination signal that comes meanwhile cancels the
// job (Job::Cancelled), which stops at its next step leaving what it
// changed as it was (a job of SQLite statements stops the one under way
// with SqlConnection::StopWhen); a job started after one is cancelled from
// its start. The request itself is handled after the work, by the event
// loop. Long work takes no input, so it has no stop of the user's: Esc
// stops the add-files run, which is not long work (InputGate.h). A pacer's times and a job's quiet limit are read from
// ctl::GetTickCount64, which tests drive; a wait paints by real time.
#include <QRect>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace LongWork {

inline constexpr int kGraceMs = 500;
inline constexpr int kPaintMs = 100;

// Does the window's pending painting and nothing else: the paint requests
// that widgets queued are delivered, no other event is.
void Paint();

// Paints at once the part of every shown window under `area` (screen
// coordinates), where a window just hidden was, before long work: without a
// compositing window manager that part waits for the window system's
// expose, which only the event loop takes. Nothing else is handled. The
// window manager may take the hidden window's frame away a moment later,
// over what was just painted: the waits of long work paint the part again
// (kUncoveredRepaints times, kUncoveredMs apart).
void PaintUncovered(const QRect& area);
inline constexpr int kUncoveredRepaints = 2;
inline constexpr int kUncoveredMs = 100;

// What the window draws to show that work goes on when the work itself
// reports no step (a copy, a compaction, a call that does not come back): a
// hook installed above the platform (the main window's progress strip) is
// given the time the wait has lasted, before each painting past the grace.
// Pulse calls it, on the window's thread only; without a hook it does nothing.
void SetPulse(std::function<void(int64_t elapsedMs)> pulse);
void Pulse(int64_t elapsedMs);

// Whether the program has been asked to end (a quit request, a request to
// close it found waiting in the window system's queue as the work paints,
// QueuedClose.h, or a termination signal its handler took but the event
// loop has not yet).
bool EndRequested();

// For work that would rather finish than be undone when it can finish soon
// (the open's upkeep): Over() is true once the program has been asked to
// end `graceMs` ago or more, by the tick clock, counted from the first call
// that saw the request.
class EndGrace {
 public:
  explicit EndGrace(int graceMs) : graceMs_(graceMs) {}
  bool Over();

 private:
  int graceMs_;
  uint64_t seen_ = 0;
  bool requested_ = false;
};

class Pacer {
 public:
  // A grace of kNoPainting never paints: the pacer then only spaces the
  // progress reports.
  static constexpr int kNoPainting = -1;
  Pacer(int graceMs = kGraceMs, int intervalMs = kPaintMs);
  ~Pacer();
  Pacer(const Pacer&) = delete;
  Pacer& operator=(const Pacer&) = delete;

  // True at most once an interval (and on the first call): time to report
  // progress. Past the grace, what the last report drew is painted first.
  bool Due();
  // For work that reports no position: past the grace, at most once an
  // interval, the pulse is drawn (Pulse) and painted.
  void Tick();
  // How long the pacer has run, by the tick clock.
  int64_t ElapsedMs() const;

 private:
  int graceMs_;
  int intervalMs_;
  uint64_t start_;
  uint64_t last_ = 0;
  bool reported_ = false;
  bool counted_ = false;  // among the pacers Paced() counts
};

// Whether work paced by a painting pacer runs on the window's thread. What
// it draws is then painted by the pacer, past the grace, with the rest of the
// window's pending painting: a drawing painted at once would paint every
// part of the window waiting to be painted, within the grace too.
bool Paced();

// What the work on a worker thread and the window's thread share; the
// worker keeps it alive when the window stopped waiting.
class Job {
 public:
  // One more step done: what the wait reports, and what tells it that the
  // work still answers.
  void Step() { steps_.fetch_add(1, std::memory_order_release); }
  int Steps() const { return steps_.load(std::memory_order_acquire); }
  // The work stops at its next step and leaves what it changed as it was:
  // the wait gave up on it, or the program is to end.
  bool Cancelled() const { return cancelled_.load(std::memory_order_acquire); }
  void Cancel() { cancelled_.store(true, std::memory_order_release); }

 private:
  std::atomic<int> steps_{0};
  std::atomic<bool> cancelled_{false};
};

struct Options {
  // Without a step for this long the wait gives up (-1: it never does).
  int quietLimitMs = -1;
  // Called on the window's thread past the grace, before each painting,
  // with the steps done so far, to draw the progress. Without it the pulse
  // is drawn (SetPulse).
  std::function<void(int steps)> report{};
  // How long the work this is a part of has held the window already (an
  // open's look at its file): the grace counts from that work's start.
  int64_t sinceMs = 0;
};

// Runs `work` on a worker thread and waits for it on this one, handling no
// event, as the header says. True when the work finished (an exception it
// threw is thrown here); false when the wait gave up on it: the job is then
// cancelled and left to end by itself, so `work` must then hold nothing of
// the caller's but what it owns.
bool Run(std::function<void(Job&)> work, const Options& options = {});

// Waits `milliseconds` handling no event, painting every interval.
void Pause(int milliseconds);

// The end of a call on a helper thread, which a Wait sleeps on; the helper
// keeps it alive when the wait has given up on it.
struct Done {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;

  // Called by the helper thread as its last step.
  void Finish();
};

// A wait of the window's thread for helper threads, under the rule: no event
// is handled; once the first For of a Wait has run past the grace, the
// window's painting is done every interval (so a wait made of several For
// calls paints as one). Its times are real time, not the tick clock's: a
// mount's time limit is. Off the window's thread it only waits.
class Wait {
 public:
  // `beforePaint`, when given, runs before each painting (to draw progress);
  // without it the pulse is drawn. `sinceMs`: as Options::sinceMs.
  explicit Wait(std::function<void()> beforePaint = {}, int64_t sinceMs = 0);
  // Until `done` is finished, at most `timeoutMs` (-1: without a limit);
  // true when it is.
  bool For(Done& done, int timeoutMs);

 private:
  std::function<void()> beforePaint_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastPaint_;
};

}  // namespace LongWork
