#pragma once
// The program's clock (ctl::GetTickCount64) held by the test for the life of
// the object: it reads `now`, which moves only as the test moves it, and by
// `stepPerRead` at every reading when the test wants time to pass with the
// work itself; `reads` counts the readings. The clock it replaced comes back
// at the end.
#include "platform/DragController.h"

#include <cstdint>

namespace rwtest {

class TestTickClock {
 public:
  TestTickClock()
      : previous_(ctl::SetTickCountFunction([this] {
          ++reads;
          return now += stepPerRead;
        })) {}
  ~TestTickClock() { ctl::SetTickCountFunction(previous_); }
  TestTickClock(const TestTickClock&) = delete;
  TestTickClock& operator=(const TestTickClock&) = delete;

  uint64_t now = 1'000'000;
  uint64_t stepPerRead = 0;
  uint64_t reads = 0;

 private:
  ctl::TickCountFunction previous_;
};

}  // namespace rwtest
