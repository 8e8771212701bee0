#pragma once
// The pace of a carousel move: each frame starts at least 1/60 s after the
// one before, so that a move of a few frames is seen turning and not as a
// jump. Tests and benchmarks put their own pacer in place to count or time
// frames without waiting.
#include <chrono>

class CarouselPacer {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::nanoseconds kFrameInterval{1'000'000'000 / 60};

  virtual ~CarouselPacer() = default;
  // Before a frame is drawn: waits until the interval since the last frame's
  // start has passed.
  virtual void BeginFrame();
  // After the frame has been shown.
  virtual void EndFrame() {}
  // Every other pause of the carousel's animations (splash frames, the
  // pauses between them, the end of a slide).
  virtual void Wait(std::chrono::milliseconds duration);

 protected:
  virtual Clock::time_point Now() const { return Clock::now(); }
  virtual void SleepUntil(Clock::time_point when);

 private:
  Clock::time_point last_{};
  bool started_ = false;
};
