#include "carousel/CarouselPacer.h"

#include <thread>

void CarouselPacer::BeginFrame() {
  if (started_) {
    const Clock::time_point due = last_ + kFrameInterval;
    if (Now() < due) SleepUntil(due);
  }
  started_ = true;
  last_ = Now();
}

void CarouselPacer::SleepUntil(Clock::time_point when) { std::this_thread::sleep_until(when); }

void CarouselPacer::Wait(std::chrono::milliseconds duration) { SleepUntil(Now() + duration); }
