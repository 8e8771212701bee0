#include "platform/WorkPacer.h"

#include "platform/DragController.h"
#include "platform/RunOffUiThread.h"

#include <QCoreApplication>

#include <chrono>
#include <mutex>

WorkPacer::WorkPacer(int graceMs, int intervalMs)
    : graceMs_(graceMs), intervalMs_(intervalMs), start_(ctl::GetTickCount64()) {}

bool WorkPacer::Due() {
  const uint64_t now = ctl::GetTickCount64();
  if (reported_ && now - last_ < static_cast<uint64_t>(intervalMs_)) return false;
  reported_ = true;
  last_ = now;
  if (graceMs_ != kNoEvents && now - start_ >= static_cast<uint64_t>(graceMs_)) {
    QCoreApplication::processEvents(kEventsDuringWork);
  }
  return true;
}

void WorkPacer::Wait(OffUiOutcome& outcome) {
  std::unique_lock<std::mutex> lock(outcome.mutex);
  while (!outcome.finished.wait_for(lock, std::chrono::milliseconds(20), [&outcome] { return outcome.done; })) {
    lock.unlock();
    Due();
    lock.lock();
  }
}
