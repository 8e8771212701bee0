#include "platform/LongWork.h"

#include "platform/Contract.h"
#include "platform/DragController.h"
#include "platform/MountProbe.h"
#include "platform/QueuedClose.h"
#include "platform/QuitRequest.h"
#include "platform/TerminationSignals.h"
#include "platform/ThreadStart.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>
#include <QEvent>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// How often the wait looks at its work: often enough that the end of a
// short piece of work is seen at once, the painting comes every kPaintMs.
constexpr std::chrono::milliseconds kLookMs(20);

// The worker's end, which the wait sleeps on, with what the worker and the
// wait tell each other under its lock.
struct Finish {
  LongWork::Done end;
  bool givenUp = false;
  std::exception_ptr failure;
};

}  // namespace

namespace LongWork {

namespace {

// Each widget under the area is painted itself: on an X server without a
// compositing window manager, a window's repaint did not reach the panes it
// holds, and the hidden window's pixels stayed there on the screen.
void RepaintUnder(const QRect& area) {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible()) continue;
    QList<QWidget*> widgets{window};
    widgets << window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
      if (!widget->isVisible()) continue;
      const QRect under = area & QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
      if (!under.isEmpty()) widget->repaint(QRect(widget->mapFromGlobal(under.topLeft()), under.size()));
    }
  }
}

// The area a hidden window left, still to be painted again; the window's
// thread's alone.
struct Uncovered {
  QRect area;
  int repaintsLeft = 0;
  std::chrono::steady_clock::time_point last;
};

Uncovered& LastUncovered() {
  static Uncovered uncovered;
  return uncovered;
}

// Paints the uncovered area again once kUncoveredMs have passed since it
// was last painted, until it has been painted kUncoveredRepaints times more.
void PaintUncoveredAgain() {
  Uncovered& uncovered = LastUncovered();
  if (uncovered.repaintsLeft == 0 || !contract::OnUiThread()) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - uncovered.last < std::chrono::milliseconds(kUncoveredMs)) return;
  uncovered.last = now;
  RepaintUnder(uncovered.area);
  if (--uncovered.repaintsLeft == 0) uncovered.area = QRect();
}

}  // namespace

void Paint() {
  if (!contract::OnUiThread()) return;
  QueuedClose::Look();
  PaintUncoveredAgain();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

void PaintUncovered(const QRect& area) {
  if (!contract::OnUiThread() || area.isEmpty()) return;
  RepaintUnder(area);
  Uncovered& uncovered = LastUncovered();
  uncovered.area |= area;
  uncovered.repaintsLeft = kUncoveredRepaints;
  uncovered.last = std::chrono::steady_clock::now();
}

namespace {

std::function<void(int64_t)>& PulseHook() {
  static std::function<void(int64_t)> hook;
  return hook;
}

}  // namespace

void SetPulse(std::function<void(int64_t elapsedMs)> pulse) { PulseHook() = std::move(pulse); }

void Pulse(int64_t elapsedMs) {
  if (contract::OnUiThread() && PulseHook()) PulseHook()(elapsedMs);
}

bool EndRequested() { return QuitRequest::Requested() || TerminationSignals::Taken(); }

bool EndGrace::Over() {
  if (!EndRequested()) return false;
  const uint64_t now = ctl::GetTickCount64();
  if (!requested_) {
    requested_ = true;
    seen_ = now;
  }
  return now - seen_ >= static_cast<uint64_t>(graceMs_);
}

namespace {

// The painting pacers alive on the window's thread; that thread's alone.
int& PacersAlive() {
  static int alive = 0;
  return alive;
}

}  // namespace

Pacer::Pacer(int graceMs, int intervalMs)
    : graceMs_(graceMs),
      intervalMs_(intervalMs),
      start_(ctl::GetTickCount64()),
      counted_(graceMs != kNoPainting && contract::OnUiThread()) {
  if (counted_) ++PacersAlive();
}

Pacer::~Pacer() {
  if (counted_) --PacersAlive();
}

bool Paced() { return contract::OnUiThread() && PacersAlive() > 0; }

bool Pacer::Due() {
  const uint64_t now = ctl::GetTickCount64();
  if (reported_ && now - last_ < static_cast<uint64_t>(intervalMs_)) return false;
  reported_ = true;
  last_ = now;
  if (graceMs_ != kNoPainting && now - start_ >= static_cast<uint64_t>(graceMs_)) Paint();
  return true;
}

void Pacer::Tick() {
  const uint64_t now = ctl::GetTickCount64();
  if (graceMs_ == kNoPainting || now - start_ < static_cast<uint64_t>(graceMs_)) return;
  if (reported_ && now - last_ < static_cast<uint64_t>(intervalMs_)) return;
  reported_ = true;
  last_ = now;
  Pulse(static_cast<int64_t>(now - start_));
  Paint();
}

int64_t Pacer::ElapsedMs() const { return static_cast<int64_t>(ctl::GetTickCount64() - start_); }

bool Run(std::function<void(Job&)> work, const Options& options) {
  auto job = std::make_shared<Job>();
  // Work started once the program was asked to end stops at its first step.
  if (EndRequested()) job->Cancel();
  auto finish = std::make_shared<Finish>();
  std::thread worker = ThreadStart::Start([job, finish, work = std::move(work)] {
    std::exception_ptr failure;
    try {
      work(*job);
    } catch (...) {
      failure = std::current_exception();
    }
    // The end and the wait's giving up are decided under one lock.
    const std::lock_guard<std::mutex> lock(finish->end.mutex);
    finish->failure = failure;
    finish->end.done = true;
    if (finish->givenUp) MountProbe::CameBack();
    finish->end.finished.notify_all();
  });
  const auto started = std::chrono::steady_clock::now() - std::chrono::milliseconds(options.sinceMs);
  Wait wait(
      [&options, &job, started] {
        if (options.report) {
          options.report(job->Steps());
        } else {
          Pulse(
              std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count());
        }
      },
      options.sinceMs);
  uint64_t lastStep = ctl::GetTickCount64();
  int steps = 0;
  while (!wait.For(finish->end, static_cast<int>(kLookMs.count()))) {
    const uint64_t now = ctl::GetTickCount64();
    if (EndRequested()) job->Cancel();
    if (const int seen = job->Steps(); seen != steps) {
      steps = seen;
      lastStep = now;
    } else if (options.quietLimitMs >= 0 && now - lastStep >= static_cast<uint64_t>(options.quietLimitMs)) {
      const std::lock_guard<std::mutex> lock(finish->end.mutex);
      if (finish->end.done) break;
      job->Cancel();
      finish->givenUp = true;
      MountProbe::GaveUpOn();  // its end is guarded as a given-up look's is
      worker.detach();
      return false;
    }
  }
  worker.join();
  QueuedClose::Look();
  if (finish->failure) std::rethrow_exception(finish->failure);
  return true;
}

void Pause(int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (auto now = std::chrono::steady_clock::now(); now < end; now = std::chrono::steady_clock::now()) {
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(end - now, std::chrono::milliseconds(kPaintMs)));
    Paint();
  }
}

void Done::Finish() {
  const std::lock_guard<std::mutex> lock(mutex);
  done = true;
  finished.notify_all();
}

Wait::Wait(std::function<void()> beforePaint, int64_t sinceMs)
    : beforePaint_(std::move(beforePaint)),
      start_(std::chrono::steady_clock::now() - std::chrono::milliseconds(sinceMs)),
      lastPaint_(start_) {}

bool Wait::For(Done& done, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const bool paints = contract::OnUiThread();
  const auto deadline = timeoutMs < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::unique_lock<std::mutex> lock(done.mutex);
  while (!done.done) {
    if (paints) {
      lock.unlock();
      QueuedClose::Look();
      PaintUncoveredAgain();
      lock.lock();
      if (done.done) break;
    }
    const auto now = Clock::now();
    if (now >= deadline) return false;
    if (paints && now - start_ >= std::chrono::milliseconds(kGraceMs) &&
        now - lastPaint_ >= std::chrono::milliseconds(kPaintMs)) {
      lastPaint_ = now;
      lock.unlock();
      if (beforePaint_) {
        beforePaint_();
      } else {
        Pulse(std::chrono::duration_cast<std::chrono::milliseconds>(now - start_).count());
      }
      Paint();
      lock.lock();
      continue;
    }
    done.finished.wait_until(lock, std::min(deadline, now + kLookMs));
  }
  lock.unlock();
  if (paints) QueuedClose::Look();
  return true;
}

}  // namespace LongWork
