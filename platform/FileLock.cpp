#include "platform/FileLock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

FileLock::~FileLock() { ::close(fd_); }

bool FileLock::Covers(const QString& path) const {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return false;
  return info.st_dev == device_ && info.st_ino == inode_;
}
