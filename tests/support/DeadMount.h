#pragma once
// A file server that stops answering, for real: a FUSE file system mounted
// over a folder whose server answers the kernel's start and the attributes
// of its root, and nothing else, as a network mount does whose server went
// away while the client still holds the root. Every other call under the
// folder waits, in the kernel, until Release() answers them all with an
// input/output error; so does the end of the object, or a watchdog after
// `releaseAfterMs`, so that a test of code that would wait for ever fails
// instead of hanging.
//
// Mounting needs a mount namespace of the process's own in which it is root
// (ChildRun with ownMountNamespace) and /dev/fuse; Problem() says why the
// mount could not be made.
#include "tests/support/ChildRun.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace rwtest {

class DeadMount {
 public:
  explicit DeadMount(const QString& folder, int releaseAfterMs = 30000);
  ~DeadMount();
  DeadMount(const DeadMount&) = delete;
  DeadMount& operator=(const DeadMount&) = delete;

  bool Mounted() const { return mounted_; }
  QString Problem() const { return problem_; }
  // Answers every waiting call, and every later one, with an I/O error.
  void Release();
  bool Released() const { return released_; }
  // Releases, then waits until the threads of this process that were left
  // waiting on the mount have ended (at most kWaitCeilingMs): work given up
  // on the mount goes on once answered, and must not run into the end of the
  // process. False when one is still there.
  bool ReleaseAndOutliveWaiters();
  // Calls the server has left waiting so far.
  int Unanswered();

 private:
  void Serve();
  void Answer(const void* data, size_t size);
  template <typename Body>
  void AnswerWith(uint64_t unique, const Body& body);
  void AnswerError(uint64_t unique, int error);
  void AnswerInit(uint64_t unique);
  void AnswerRootAttributes(uint64_t unique);

  QString folder_;
  int fd_ = -1;
  bool mounted_ = false;
  QString problem_;
  std::atomic<bool> released_{false};
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::condition_variable ending_;
  std::vector<uint64_t> waiting_;
  std::vector<uint32_t> waiters_;  // the threads that asked them
  std::thread server_;
  std::thread watchdog_;
};

// Watches what the window's thread does during a wait on a dead mount. An
// object of its own keeps a paint request and another event posted to
// itself, each posted again as the paint request is delivered: the event
// loop delivers the two by turns, while long work's wait delivers the paint
// requests alone. PaintedAlone: a run of at least five paint requests with
// no other event between them, which only such a wait gives: the window
// painted and ran nothing else.
class WaitWatch {
 public:
  WaitWatch();
  ~WaitWatch();
  WaitWatch(const WaitWatch&) = delete;
  WaitWatch& operator=(const WaitWatch&) = delete;
  bool PaintedAlone() const;

 private:
  class Receiver;
  std::unique_ptr<Receiver> receiver_;
};

}  // namespace rwtest
