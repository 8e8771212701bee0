#include "platform/RunOffUiThread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <chrono>

namespace {

// The longest the main thread goes without handling its events while it waits.
constexpr std::chrono::milliseconds kEventInterval(20);

bool OnMainThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

}  // namespace

void OffUiOutcome::Finish() {
  const std::lock_guard<std::mutex> lock(mutex);
  done = true;
  finished.notify_all();
}

bool WaitHandlingEvents(OffUiOutcome& outcome, int timeoutMs, QEventLoop::ProcessEventsFlags flags) {
  const QDeadlineTimer deadline = timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(timeoutMs);
  const bool handleEvents = OnMainThread();
  std::unique_lock<std::mutex> lock(outcome.mutex);
  while (!outcome.done) {
    if (deadline.hasExpired()) return false;
    std::chrono::milliseconds slice(deadline.remainingTime());
    if (deadline.isForever() || (handleEvents && slice > kEventInterval)) slice = kEventInterval;
    if (outcome.finished.wait_for(lock, slice, [&] { return outcome.done; })) break;
    if (!handleEvents) continue;
    lock.unlock();
    QCoreApplication::processEvents(flags);
    lock.lock();
  }
  return true;
}
