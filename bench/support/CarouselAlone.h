#pragma once
// The running program with the generated large library's results in the
// carousel view, the carousel's canvas taken out into a window of its own at
// 1920 x 1080 and shown, so that every repaint reaches a screen.
#include "bench/support/ProgramInPrivateHome.h"
#include "carousel/CarouselPacer.h"

#include <chrono>

class ucCanvas;

// Adds up the time between each animation frame's start and its end on the
// screen; the animations' other pauses are not waited.
class TimingPacer : public CarouselPacer {
 public:
  void BeginFrame() override { start_ = Clock::now(); }
  void EndFrame() override {
    total += Clock::now() - start_;
    ++frames;
  }
  void Wait(std::chrono::milliseconds) override {}
  std::chrono::duration<double> total{};
  int frames = 0;

 private:
  Clock::time_point start_;
};

struct CarouselAlone : ProgramInPrivateHome {
  CarouselAlone();
  ucCanvas& Canvas() const;
};
