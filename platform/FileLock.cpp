#include "platform/FileLock.h"

#include "platform/Contract.h"
#include "platform/HangGuard.h"
#include "platform/MountProbe.h"

#include <QFile>

#include <utility>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The descriptors of the locks held, each plus one (0: a free slot), for
// ReleaseAllNow. A process holds a few at most.
constexpr int kMostLocks = 16;
volatile sig_atomic_t gHeld[kMostLocks] = {};

void Remember(int fd) {
  for (volatile sig_atomic_t& slot : gHeld) {
    if (slot != 0) continue;
    slot = fd + 1;
    return;
  }
}

void Forget(int fd) {
  for (volatile sig_atomic_t& slot : gHeld) {
    if (slot == fd + 1) slot = 0;
  }
}

}  // namespace

FileLock::FileLock(int fd, dev_t device, ino_t inode) : fd_(fd), device_(device), inode_(inode) { Remember(fd); }

// A lock taken after its wait was given up is let go again as its call
// ends: the object it lands in goes with the call.
std::unique_ptr<FileLock> FileLock::TryLock(const QString& path, Outcome& outcome) {
  using Tried = std::pair<std::unique_ptr<FileLock>, Outcome>;
  const QByteArray name = QFile::encodeName(path);
  std::optional<Tried> tried = HangGuard::OnFile(path, [name] {
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Tried(nullptr, errno == EMFILE || errno == ENFILE ? Outcome::NoFileHandles : Outcome::Failed);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
      ::close(fd);
      return Tried(nullptr, Outcome::Failed);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const Outcome outcome = errno == EWOULDBLOCK ? Outcome::HeldElsewhere : Outcome::Failed;
      ::close(fd);
      return Tried(nullptr, outcome);
    }
    return Tried(std::unique_ptr<FileLock>(new FileLock(fd, info.st_dev, info.st_ino)), Outcome::Locked);
  });
  outcome = tried ? tried->second : Outcome::NotAnswering;
  return tried ? std::move(tried->first) : nullptr;
}

// Closing a file on a disk that stopped answering waits for it: on the
// window's thread the close is left to end by itself after the limit.
FileLock::~FileLock() {
  Forget(fd_);
  const int fd = fd_;
  if (!contract::OnUiThread()) {
    ::close(fd);
    return;
  }
  MountProbe::FinishesWithin([fd] { ::close(fd); }, MountProbe::kTimeLimitMs);
}

// Closing the file lets go of its flock and of every POSIX lock the process
// holds on it (SQLite's among them); dup2 closes it and keeps the number.
void FileLock::ReleaseAllNow() {
  const int nothing = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  for (volatile sig_atomic_t& slot : gHeld) {
    const int fd = slot - 1;
    if (fd < 0) continue;
    slot = 0;
    if (nothing < 0 || ::dup2(nothing, fd) < 0) ::close(fd);
  }
  if (nothing >= 0) ::close(nothing);
}

bool FileLock::Covers(const QString& path) const {
  const QByteArray name = QFile::encodeName(path);
  const dev_t device = device_;
  const ino_t inode = inode_;
  return HangGuard::OnFile(path, [name, device, inode] {
           struct stat info {};
           return ::stat(name.constData(), &info) == 0 && info.st_dev == device && info.st_ino == inode;
         }).value_or(false);
}
