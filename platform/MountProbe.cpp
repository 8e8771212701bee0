#include "platform/MountProbe.h"

#include "platform/DragController.h"
#include "platform/MountTable.h"
#include "platform/LongWork.h"
#include "platform/ThreadStart.h"
#include "platform/controls/Control.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <sys/stat.h>

namespace MountProbe {

namespace {

RootProbe& InstalledProbe() {
  static RootProbe probe;
  return probe;
}

// The roots that did not answer, with the tick of their silence, and how
// often one was given up.
struct DeadMounts {
  std::mutex mutex;
  QHash<QString, uint64_t> since;
  std::atomic<uint64_t> changes{0};
};

DeadMounts& Dead() {
  static DeadMounts dead;
  return dead;
}

// "/media/nas/" and "/media/nas" are one mount.
QString MountKey(const QString& root) { return QDir::cleanPath(root); }

// The calls running on helper threads now. Of a trivial type, so that a
// helper that comes back while the process ends finds it still there.
std::atomic<int>& CallsOut() {
  static std::atomic<int> out{0};
  return out;
}

// A call given up comes back whenever its mount answers, perhaps while the
// process ends and destroys the objects the call goes on to use (those of
// the media-information library, of Qt, of the program). With a call still
// out the process then ends at once with its status instead, its objects left
// as they are; the program's shut-down has let go of the library before. The
// process does not wait for the call: the kernel ends the helper.
void EndBeforeObjectsGo(int status, void*) {
  if (CallsOut().load(std::memory_order_acquire) == 0) return;
  std::fflush(nullptr);
  std::_Exit(status);
}

// Runs at the end of the process before the destruction of the objects made
// before the first call was given up.
void GuardTheEndAfterAGiveUp() {
  static const bool guarded = ::on_exit(EndBeforeObjectsGo, nullptr) == 0;
  (void)guarded;
}

}  // namespace

void GaveUpOn() {
  CallsOut().fetch_add(1, std::memory_order_relaxed);
  GuardTheEndAfterAGiveUp();
}

void CameBack() { CallsOut().fetch_sub(1, std::memory_order_release); }

bool KnownDead(const QString& root) {
  DeadMounts& dead = Dead();
  const std::lock_guard<std::mutex> lock(dead.mutex);
  const auto found = dead.since.constFind(MountKey(root));
  if (found == dead.since.cend()) return false;
  if (ctl::GetTickCount64() - *found < static_cast<uint64_t>(kDeadMountMs)) return true;
  dead.since.remove(MountKey(root));
  return false;
}

namespace {

// KnownDead for a run of paths under a few roots: a root found alive is
// asked again only once a mount has been given up since; a dead one is asked
// every time, since its time as dead may run out. A lock and a look-up for
// every file would cost more than many a file.
class DeadRoots {
 public:
  explicit DeadRoots(const QStringList& roots) : roots_(roots), alive_(static_cast<size_t>(roots.size())) {}

  bool Known(int root) {
    const uint64_t changes = Dead().changes.load(std::memory_order_acquire);
    if (changes != changes_) {
      changes_ = changes;
      std::fill(alive_.begin(), alive_.end(), false);
    }
    if (alive_[static_cast<size_t>(root)]) return false;
    const bool dead = KnownDead(roots_[root]);
    alive_[static_cast<size_t>(root)] = !dead;
    return dead;
  }

 private:
  const QStringList& roots_;
  std::vector<bool> alive_;
  uint64_t changes_ = 0;
};

// The helper thread the calls run on, one at a time, kept for the next call:
// a thread a second for every file of a check would cost more than the files.
// A call that does not come back in time leaves its thread to end by itself,
// and the next call gets a new one.
class Worker {
 public:
  static std::shared_ptr<Worker> Current() {
    const std::lock_guard<std::mutex> lock(CurrentMutex());
    std::shared_ptr<Worker>& current = CurrentWorker();
    if (!current) {
      auto worker = std::make_shared<Worker>();
      ThreadStart::Start([worker] { worker->Serve(); }).detach();
      current = std::move(worker);
    }
    return current;
  }

  void Run(std::function<void()> call) {
    const std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(std::move(call));
    wake_.notify_one();
  }

  // Stuck on a call: no new call is given to it, and it ends after this one.
  void Abandon() {
    {
      const std::lock_guard<std::mutex> lock(CurrentMutex());
      if (CurrentWorker().get() == this) CurrentWorker().reset();
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    abandoned_ = true;
    wake_.notify_one();
  }

 private:
  static std::mutex& CurrentMutex() {
    static std::mutex mutex;
    return mutex;
  }
  static std::shared_ptr<Worker>& CurrentWorker() {
    static std::shared_ptr<Worker> worker;
    return worker;
  }

  void Serve() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return abandoned_ || !calls_.empty(); });
      // A call handed over runs, even one whose wait has given up already
      // (a close it must still make).
      if (calls_.empty()) return;
      std::function<void()> call = std::move(calls_.front());
      calls_.pop_front();
      lock.unlock();
      call();
      lock.lock();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> calls_;
  bool abandoned_ = false;
};

// One helper thread's run through the paths of AskEach, from `from` on. It
// holds its own copies: a run given up goes on to its end unseen.
struct Sweep {
  std::shared_ptr<const PathList> paths;
  std::function<bool(const char*)> test;
  // 1 found, 0 not found, -1 passed over (its mount known dead); written
  // before `done` passes the index.
  std::vector<signed char> answers;
  std::atomic<int> done{0};
  std::atomic<bool> givenUp{false};
  LongWork::Done outcome;

  void Run(int from) {
    const PathList& list = *paths;
    DeadRoots dead(list.roots);
    for (int i = from; i < list.Count() && !givenUp; ++i) {
      const bool passedOver = dead.Known(list.rootOf[static_cast<size_t>(i)]);
      answers[static_cast<size_t>(i)] = passedOver ? -1 : (test(list.Path(i)) ? 1 : 0);
      done.store(i + 1, std::memory_order_release);
    }
    CallsOut().fetch_sub(1, std::memory_order_release);
    outcome.Finish();
  }
};

// How often a sweep's progress is looked at.
constexpr int kSweepTurnMs = 100;

bool StatAnswers(const QString& root) {
  const QByteArray path = QFile::encodeName(root);
  return FinishesWithin(
      [path] {
        struct stat info {};
        ::stat(path.constData(), &info);
      },
      kTimeLimitMs);
}

}  // namespace

bool FinishesWithin(std::function<void()> work, int timeoutMs, int64_t sinceMs) {
  auto outcome = std::make_shared<LongWork::Done>();
  const std::shared_ptr<Worker> worker = Worker::Current();
  CallsOut().fetch_add(1, std::memory_order_relaxed);
  worker->Run([outcome, work = std::move(work)] {
    work();
    CallsOut().fetch_sub(1, std::memory_order_release);
    outcome->Finish();
  });
  if (LongWork::Wait({}, sinceMs).For(*outcome, timeoutMs)) return true;
  GuardTheEndAfterAGiveUp();
  worker->Abandon();
  return false;
}

bool RootAnswers(const QString& root) {
  if (KnownDead(root)) return false;
  const RootProbe& probe = InstalledProbe();
  const bool answers = probe ? probe(root) : StatAnswers(root);
  if (!answers) MarkDead(root);
  return answers;
}

void MarkDead(const QString& root) {
  DeadMounts& dead = Dead();
  const std::lock_guard<std::mutex> lock(dead.mutex);
  dead.since.insert(MountKey(root), ctl::GetTickCount64());
  dead.changes.fetch_add(1, std::memory_order_release);
}

QString MountPointOf(const QString& path) {
  const QString clean = QDir::cleanPath(path);
  if (!clean.startsWith(QLatin1Char('/'))) return {};
  QString best = QStringLiteral("/");
  for (const MountEntry& mount : MountTable::Read()) {
    const QString& point = mount.mountPoint;
    const bool holds = point == QLatin1String("/") || clean == point || clean.startsWith(point + QLatin1Char('/'));
    if (holds && point.size() >= best.size()) best = point;
  }
  return best;
}

std::vector<std::optional<bool>> AskEach(PathList paths, std::function<bool(const char* path)> test,
                                         const std::function<void(int)>& progress) {
  const auto list = std::make_shared<const PathList>(std::move(paths));
  const int count = list->Count();
  std::vector<std::optional<bool>> answers(static_cast<size_t>(count));
  LongWork::Wait wait;
  int from = 0;
  while (from < count) {
    auto sweep = std::make_shared<Sweep>();
    sweep->paths = list;
    sweep->test = test;
    sweep->answers.assign(static_cast<size_t>(count), -1);
    sweep->done = from;
    CallsOut().fetch_add(1, std::memory_order_relaxed);
    try {
      ThreadStart::Start([sweep, from] { sweep->Run(from); }).detach();
    } catch (...) {
      CallsOut().fetch_sub(1, std::memory_order_release);
      throw;
    }
    int seen = from;  // the answers taken so far
    QDeadlineTimer quiet(kTimeLimitMs);
    bool finished = false;
    while (!finished) {
      finished = wait.For(sweep->outcome, kSweepTurnMs);
      const int done = sweep->done.load(std::memory_order_acquire);
      if (done > seen) {
        for (; seen < done; ++seen) {
          const signed char answer = sweep->answers[static_cast<size_t>(seen)];
          if (answer >= 0) answers[static_cast<size_t>(seen)] = answer == 1;
        }
        quiet.setRemainingTime(kTimeLimitMs);
        if (progress) progress(done);
      } else if (!finished && quiet.hasExpired()) {
        // No answer within the time limit: the path at `seen` hangs.
        GuardTheEndAfterAGiveUp();
        sweep->givenUp = true;
        MarkDead(list->Root(seen));
        break;
      }
    }
    from = finished ? count : seen + 1;
  }
  return answers;
}

void SetRootProbe(RootProbe probe) {
  InstalledProbe() = std::move(probe);
  DeadMounts& dead = Dead();
  const std::lock_guard<std::mutex> lock(dead.mutex);
  dead.since.clear();
}

}  // namespace MountProbe
