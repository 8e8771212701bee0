#pragma once
// The library file's calls on a mount that may stop answering (a network or
// FUSE mount whose server went away) never hold the window longer than the
// mount probe's limit. The library's own reads and writes run on the
// window's thread, inside SQLite, through the window's connection: they
// cannot be handed to a worker whole, since the window reads the same
// connection between them. So the file calls themselves are guarded: SQLite
// opens library files through a file layer of the program's own (an SQLite
// VFS over the default one) which, on the window's thread and for a file on
// such a mount, runs each call on a helper thread and waits for it within
// MountProbe::kTimeLimitMs, painting with the pulse past long work's grace
// (LongWork::Wait). A call that does not come back is given up: SQLite gets
// an I/O error, so the statement fails and its transaction is left for
// SQLite to roll back from its journal; the mount is remembered as dead, and
// every later call on any file of that library (its journal, its log, the
// file itself) fails at once until the call given up has come back, and no
// new connection to it is opened meanwhile: a call landing late cannot
// meet a newer connection's work. The statement's failure is then told as
// the disk not answering (FaultKind::NotAnswering), or, where the call
// given up may still complete the change once the disk answers (the
// journal's removal, the commit point; a write of a write-ahead log), as
// its outcome unknown (FaultKind::Unconfirmed).
//
// The program's own calls on a library's file outside SQLite (its lock, its
// stamp, a copy's making, syncing and renaming) are guarded the same way
// (OnFile). A window's thread that has waited on slow calls (each of half a
// second or more) for the limit in all during one command gives up the next
// one at once: a disk that answers each call in just under the limit holds
// the window no longer than one that does not answer.
//
// Files on local disks, and calls off the window's thread (a job's
// connection, whose wait has a quiet limit of its own), go straight to the
// default layer.
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>

namespace HangGuard {

// The name of the file layer, registered on first use, for sqlite3_open_v2.
const char* VfsName();

// What a call of this thread's given up (or refused because its library or
// mount does not answer) leaves of the statement under way.
enum class GiveUp {
  None,
  NotDone,    // nothing the call would have done can land any more but as SQLite rolls it back
  MayBeDone,  // the call may still complete the change once the disk answers
};
// The give-up since the last TakeGiveUp (the worse of several); forgets it.
GiveUp TakeGiveUp();

// Whether this thread waits inside a guarded call now: nothing may begin a
// statement then (the window's painting runs meanwhile).
bool Waiting();

// Long work on this thread that ticks from inside SQLite (SqlConnection::
// Ticking) ticks from inside the file layer too: every few dozen writes and
// reads, and while a sync runs (on a helper, for a file on a local disk), so
// that the commit of a large transaction paints as its statements do. Work
// on a worker thread whose progress is its file calls (a copy) ticks at
// each call (`eachCall`), so that a wait with a quiet limit takes a disk
// that answers slowly for one that answers. Returns the tick installed before.
struct FileTick {
  int (*call)(void*) = nullptr;
  void* argument = nullptr;
  bool eachCall = false;
};
FileTick SetTick(FileTick tick);

// Work on a worker thread whose file calls are its progress (a copy, a
// check of every page) calls `step` at each of them, through the file layer
// or OnFile, while this lives.
class StepEachCall {
 public:
  explicit StepEachCall(std::function<void()> step);
  ~StepEachCall();
  StepEachCall(const StepEachCall&) = delete;
  StepEachCall& operator=(const StepEachCall&) = delete;

 private:
  static int Call(void* self);
  std::function<void()> step_;
  FileTick before_;
};

// Runs `call`, a system call on `path` (a library's file, a file beside it,
// its folder) made outside SQLite, as the file layer runs SQLite's: on the
// window's thread and for a path on a mount that may stop answering, on the
// mount probe's helper within the limit. False when it did not come back
// (it is then left to end by itself and must own what it uses; its library
// counts as not answering until it has), or was not made because a call
// given up on that library is still out or its mount is known dead; the
// give-up is noted as a statement's is (TakeGiveUp). Off the window's
// thread a call made ticks the thread's FileTick.
enum class FileCall {
  Other,
  Sync,     // a file's bytes made to reach the disk
  Replace,  // a rename putting a file in place: given up, it may still land
};
bool CallOnFile(const QString& path, std::function<void()> call, FileCall kind = FileCall::Other);
template <typename Call>
auto OnFile(const QString& path, Call call, FileCall kind = FileCall::Other)
    -> std::optional<std::invoke_result_t<Call>> {
  auto result = std::make_shared<std::optional<std::invoke_result_t<Call>>>();
  if (!CallOnFile(path, [result, call = std::move(call)]() mutable { result->emplace(call()); }, kind)) {
    return std::nullopt;
  }
  return std::move(*result);
}

// While it lives, the library at `path` counts as having a call out (work
// on a worker that may still put a file there once its wait was given up):
// no connection to it is opened meanwhile.
class HeldOut {
 public:
  explicit HeldOut(const QString& path);
  ~HeldOut();
  HeldOut(const HeldOut&) = delete;
  HeldOut& operator=(const HeldOut&) = delete;

 private:
  QString library_;
};

// Work on a worker with a connection of its own to the library at `path`
// (a compaction), waited for by the window within a quiet limit. The work
// holds an OnWorker while it makes its calls. Once the window gives it up
// (GivenUp), the library counts as having a call out until the work ends,
// and every later call of the work on it is refused, so that SQLite leaves
// its transaction to be rolled back: the change may still complete only if
// the work had begun a call that completes it (a journal's removal, a write
// of a write-ahead log), which GivenUp then says.
class WatchedWork {
 public:
  explicit WatchedWork(const QString& path);
  GiveUp GivenUp();

  class OnWorker {
   public:
    explicit OnWorker(std::shared_ptr<WatchedWork> work);
    ~OnWorker();
    OnWorker(const OnWorker&) = delete;
    OnWorker& operator=(const OnWorker&) = delete;

   private:
    std::shared_ptr<WatchedWork> work_;
  };

  // Whether the work may make a call of `kind` on `library` now.
  bool Allows(const QString& library, GiveUp kind);

 private:
  QString library_;
  std::mutex mutex_;
  bool givenUp_ = false;
  bool ended_ = false;
  bool mayComplete_ = false;
};

// Whether a call given up on the library at `path` (or a file beside it) is
// still out.
bool LibraryStillOut(const QString& path);
// Calls given up that have not come back yet.
int CallsStillOut();

// A command of the window's thread begins: the slow calls' time starts anew,
// and a wait's grace counts from here.
void NewCommand();

// Tests: every file opened from now on is guarded, whatever its mount (the
// tests' folders lie on local disks), each folder standing for a mount of
// its own.
void GuardEveryFile(bool on);
// Tests: called with the path and the kind of call before every call of
// OnFile, on the thread that makes it; a test's medium may hold it there.
using BeforeCall = void (*)(const char* path, FileCall kind);
BeforeCall SetBeforeCall(BeforeCall before);

}  // namespace HangGuard
