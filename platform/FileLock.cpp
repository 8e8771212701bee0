#include "platform/FileLock.h"

#include <QFile>

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

std::unique_ptr<FileLock> FileLock::TryLock(const QString& path, Outcome& outcome) {
  outcome = Outcome::Failed;
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    ::close(fd);
    return nullptr;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) outcome = Outcome::HeldElsewhere;
    ::close(fd);
    return nullptr;
  }
  outcome = Outcome::Locked;
  return std::unique_ptr<FileLock>(new FileLock(fd, info.st_dev, info.st_ino));
}

FileLock::~FileLock() {
  Forget(fd_);
  ::close(fd_);
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
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return false;
  return info.st_dev == device_ && info.st_ino == inode_;
}
