#pragma once
// An advisory lock on a file, held while the object lives: the kernel's own
// whole-file lock (flock), which goes with the process, so a crash never
// leaves a file locked. It is independent of SQLite's locks on the same file
// and changes nothing in the file. Its calls on the file are guarded as the
// library's own (HangGuard::OnFile): a disk that does not answer holds the
// window at most the mount probe's limit.
#include <QString>

#include <memory>
#include <sys/types.h>

class FileLock {
 public:
  enum class Outcome { Locked, HeldElsewhere, Failed, NotAnswering, NoFileHandles };

  // The lock of the file at `path`; none when another holder has it (another
  // process, or another open of the file in this one), the file cannot be
  // opened (NoFileHandles: the process may open no more files) or its disk
  // did not answer. `outcome` tells which.
  static std::unique_ptr<FileLock> TryLock(const QString& path, Outcome& outcome);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // True when `path` names the locked file (the same file, by any path);
  // false when its disk does not answer.
  bool Covers(const QString& path) const;

  // Lets go of every lock the process holds, for a process that ends at once
  // by a signal: a thread of it that waits in the kernel on a dead mount
  // would keep its files, and their locks, until the mount answers. The
  // lock's descriptor is left pointing at /dev/null, so the object's own end
  // closes nothing else. Only async-signal-safe calls.
  static void ReleaseAllNow();

 private:
  FileLock(int fd, dev_t device, ino_t inode);

  int fd_;
  dev_t device_;
  ino_t inode_;
};
