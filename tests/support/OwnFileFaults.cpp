#include "tests/support/OwnFileFaults.h"

#include <array>
#include <mutex>

namespace rwtest {

namespace {

struct Counts {
  std::mutex mutex;
  bool counting = false;
  std::optional<FileFault> fault;
  std::array<int, OwnFileWrites::kCallKinds> calls{};
  int injected = 0;
  QString faulted;
};

Counts& State() {
  static Counts counts;
  return counts;
}

int Decide(OwnFileWrites::Call call, const char* path) {
  Counts& state = State();
  const std::lock_guard lock(state.mutex);
  if (!state.counting) return 0;
  const int n = ++state.calls[static_cast<int>(call)];
  const std::optional<FileFault>& fault = state.fault;
  if (!fault || fault->call != call || n < fault->nth || (!fault->lasting && n != fault->nth)) return 0;
  if (state.injected++ == 0) state.faulted = QString::fromLocal8Bit(path);
  return fault->error;
}

}  // namespace

void OwnFileFaults::Start(std::optional<FileFault> fault) {
  Counts& state = State();
  {
    const std::lock_guard lock(state.mutex);
    state.calls.fill(0);
    state.injected = 0;
    state.faulted.clear();
    state.fault = fault;
    state.counting = true;
  }
  OwnFileWrites::SetFaults(&Decide);
}

void OwnFileFaults::Stop() {
  OwnFileWrites::SetFaults(nullptr);
  Counts& state = State();
  const std::lock_guard lock(state.mutex);
  state.counting = false;
  state.fault.reset();
}

int OwnFileFaults::Calls(OwnFileWrites::Call call) {
  Counts& state = State();
  const std::lock_guard lock(state.mutex);
  return state.calls[static_cast<int>(call)];
}

int OwnFileFaults::Injected() {
  Counts& state = State();
  const std::lock_guard lock(state.mutex);
  return state.injected;
}

QString OwnFileFaults::FaultedFile() {
  Counts& state = State();
  const std::lock_guard lock(state.mutex);
  return state.faulted;
}

const char* OwnFileFaults::CallName(OwnFileWrites::Call call) {
  static const char* const names[OwnFileWrites::kCallKinds] = {"open", "write", "sync", "rename", "make folder"};
  return names[static_cast<int>(call)];
}

}  // namespace rwtest
