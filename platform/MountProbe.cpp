#include "platform/MountProbe.h"

#include <QFile>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include <sys/stat.h>

namespace MountProbe {

namespace {

RootProbe& InstalledProbe() {
  static RootProbe probe;
  return probe;
}

// What the helper thread and the waiting caller share; the thread keeps it
// alive when the caller has stopped waiting.
struct Outcome {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
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
  auto outcome = std::make_shared<Outcome>();
  std::thread([outcome, work = std::move(work)] {
    work();
    const std::lock_guard<std::mutex> lock(outcome->mutex);
    outcome->done = true;
    outcome->finished.notify_all();
  }).detach();
  std::unique_lock<std::mutex> lock(outcome->mutex);
  return outcome->finished.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return outcome->done; });
}

bool RootAnswers(const QString& root) {
  const RootProbe& probe = InstalledProbe();
  return probe ? probe(root) : StatAnswers(root);
}

void SetRootProbe(RootProbe probe) { InstalledProbe() = std::move(probe); }

}  // namespace MountProbe
