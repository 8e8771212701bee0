#include "ui/LibraryTimer.h"

#include "platform/ErrorGuard.h"

LibraryTimer::LibraryTimer(int intervalMs, bool enabled) {
  timer_.setInterval(intervalMs);
  connect(&timer_, &QTimer::timeout, this, &LibraryTimer::Tick);
  SetEnabled(enabled);
}

void LibraryTimer::SetInterval(int intervalMs) {
  const bool running = timer_.isActive();
  timer_.setInterval(intervalMs);
  if (running) timer_.start();
}

void LibraryTimer::SetEnabled(bool enabled) {
  if (enabled && !timer_.isActive()) timer_.start();
  if (!enabled) timer_.stop();
}

void LibraryTimer::Tick() {
  if (!Timer) return;
  ErrorGuard().Run([this] { Timer(); });
}
