#include "platform/OwnFileWrites.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace OwnFileWrites {

namespace {

std::atomic<Faults> gFaults{nullptr};

// The errno the call fails with; 0: it runs.
int Fault(const Request& request) {
  const Faults faults = gFaults.load(std::memory_order_acquire);
  return faults ? faults(request) : 0;
}

int Failed(int error) {
  errno = error;
  return -1;
}

}  // namespace

void SetFaults(Faults faults) { gFaults.store(faults, std::memory_order_release); }

int Open(const char* path, int flags, mode_t mode) {
  if (const int error = Fault({Call::Open, path})) return Failed(error);
  return ::open(path, flags, mode);
}

ssize_t Write(int fd, const void* data, size_t size, const char* path) {
  if (const int error = Fault({Call::Write, path, fd})) return Failed(error);
  return ::write(fd, data, size);
}

int Sync(int fd, const char* path) {
  if (const int error = Fault({Call::Sync, path, fd})) return Failed(error);
  return ::fsync(fd);
}

// A close that fails still closes the file: the fault is told after it.
int Close(int fd, const char* path) {
  const int error = Fault({Call::Sync, path, fd, nullptr, true});
  const int closed = ::close(fd);
  return error ? Failed(error) : closed;
}

int Rename(const char* from, const char* to) {
  if (const int error = Fault({Call::Rename, to, -1, from})) return Failed(error);
  return ::rename(from, to);
}

int MakeFolder(const char* path, mode_t mode) {
  if (const int error = Fault({Call::MakeFolder, path})) return Failed(error);
  return ::mkdir(path, mode);
}

void SyncFolder(const char* folder) {
  Fault({Call::Sync, folder, -1, nullptr, false, true});
  const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace OwnFileWrites
