#include "platform/MountProbe.h"

#include "platform/DragController.h"
#include "platform/MountTable.h"
#include "platform/controls/Control.h"
#include "platform/RunOffUiThread.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <sys/stat.h>

namespace MountProbe {

namespace {

RootProbe& InstalledProbe() {
  static RootProbe probe;
  return probe;
}

// The roots that did not answer, with the tick of their silence.
struct DeadMounts {
  std::mutex mutex;
  QHash<QString, uint64_t> since;
};

DeadMounts& Dead() {
  static DeadMounts dead;
  return dead;
}

// "/media/nas/" and "/media/nas" are one mount.
QString MountKey(const QString& root) { return QDir::cleanPath(root); }

}  // namespace

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
      current = std::make_shared<Worker>();
      std::thread([worker = current] { worker->Serve(); }).detach();
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
      if (abandoned_) return;
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

bool FinishesWithin(std::function<void()> work, int timeoutMs) {
  auto outcome = std::make_shared<OffUiOutcome>();
  const std::shared_ptr<Worker> worker = Worker::Current();
  worker->Run([outcome, work = std::move(work)] {
    work();
    outcome->Finish();
  });
  if (WaitHandlingEvents(*outcome, timeoutMs, QEventLoop::ExcludeUserInputEvents)) return true;
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

void SetRootProbe(RootProbe probe) {
  InstalledProbe() = std::move(probe);
  DeadMounts& dead = Dead();
  const std::lock_guard<std::mutex> lock(dead.mutex);
  dead.since.clear();
}

}  // namespace MountProbe
