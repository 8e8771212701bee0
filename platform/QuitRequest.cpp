#include "platform/QuitRequest.h"

#include <algorithm>
#include <vector>

namespace QuitRequest {

namespace {

struct State {
  bool requested = false;
  std::function<void()> endLoop;
  std::vector<LongWork*> works;
};

State& Current() {
  static State state;
  return state;
}

// Runs the pending end of the loop once.
void EndLoop() {
  std::function<void()> endLoop = std::move(Current().endLoop);
  Current().endLoop = nullptr;
  if (endLoop) endLoop();
}

}  // namespace

void Request(std::function<void()> endLoop) {
  State& state = Current();
  if (state.requested) return;
  state.requested = true;
  state.endLoop = std::move(endLoop);
  // A stop action may end its own work; the list is copied first.
  const std::vector<LongWork*> works = state.works;
  for (LongWork* work : works) {
    if (std::find(state.works.begin(), state.works.end(), work) == state.works.end()) continue;
    work->Stop();
  }
  if (state.works.empty()) EndLoop();
}

bool Requested() { return Current().requested; }

bool WorkUnderWay() { return !Current().works.empty(); }

void Reset() { Current() = State{}; }

LongWork::LongWork(std::function<void()> stop) : stop_(std::move(stop)) {
  Current().works.push_back(this);
  if (Current().requested) Stop();
}

LongWork::~LongWork() {
  State& state = Current();
  state.works.erase(std::remove(state.works.begin(), state.works.end(), this), state.works.end());
  if (state.requested && state.works.empty()) EndLoop();
}

void LongWork::Stop() {
  if (stop_) stop_();
}

}  // namespace QuitRequest
