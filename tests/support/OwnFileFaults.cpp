#include "tests/support/OwnFileFaults.h"

#include "tests/support/PowerCut.h"

#include <QFileInfo>

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
  QStringList renamed;
};

Counts& State() {
  static Counts counts;
  return counts;
}

// The errno the call fails with, counted as a call of its kind; 0 when it
// goes on, or stands for a power cut, made now.
int Count(const OwnFileWrites::Request& request) {
  Counts& state = State();
  const std::lock_guard lock(state.mutex);
  if (!state.counting) return 0;
  const int n = ++state.calls[static_cast<int>(request.call)];
  if (request.call == OwnFileWrites::Call::Rename) state.renamed << QString::fromLocal8Bit(request.path);
  const std::optional<FileFault>& fault = state.fault;
  if (!fault || fault->call != request.call || n < fault->nth || (!fault->lasting && n != fault->nth)) return 0;
  if (state.injected++ == 0) state.faulted = QString::fromLocal8Bit(request.path);
  return fault->error;
}

// What a power cut's disk keeps of a call that goes on.
void Held(const OwnFileWrites::Request& request) {
  using Call = OwnFileWrites::Call;
  switch (request.call) {
    case Call::Open:
      if (!QFileInfo::exists(QString::fromLocal8Bit(request.path))) PowerCut::Created(request.path);
      return;
    case Call::Write:
      PowerCut::WroteTo(request.fd);
      return;
    case Call::Sync:
      if (request.closing) {
        PowerCut::Closed(request.fd, request.path);
      } else {
        // A file SQLite wrote and the program syncs itself (a library's copy).
        PowerCut::SyncedFd(request.fd);
        PowerCut::Sync(request.path, false);
      }
      return;
    case Call::Rename:
      PowerCut::Renamed(request.from, request.path);
      return;
    case Call::MakeFolder:
      return;
  }
}

int Decide(const OwnFileWrites::Request& request) {
  if (request.folder) {
    PowerCut::FolderSynced(request.path);
    return 0;
  }
  int code = Count(request);
  if (code == kPowerCut || code == kPowerCutTorn) {
    PowerCut::Cut(code == kPowerCutTorn);
    code = 0;
  }
  if (code == 0 && PowerCut::Holding()) Held(request);
  return code;
}

}  // namespace

void OwnFileFaults::Start(std::optional<FileFault> fault) {
  Counts& state = State();
  {
    const std::lock_guard lock(state.mutex);
    state.calls.fill(0);
    state.injected = 0;
    state.faulted.clear();
    state.renamed.clear();
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

QStringList OwnFileFaults::Renamed() {
  Counts& state = State();
  const std::lock_guard lock(state.mutex);
  return state.renamed;
}

const char* OwnFileFaults::CallName(OwnFileWrites::Call call) {
  static const char* const names[OwnFileWrites::kCallKinds] = {"open", "write", "sync", "rename", "make folder"};
  return names[static_cast<int>(call)];
}

}  // namespace rwtest
