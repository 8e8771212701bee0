#pragma once
// The system calls by which the program writes files of its own: settings,
// exports, playlists, story boards, thumbnails written out, the glyph font,
// notes and the scratch library all go through WholeFileWriter (WholeFile.h),
// the settings' lock file and the folders made for them beside it, and each
// of those goes through here. A test can make any of these calls fail as a
// full disk, a failing disk or a refused permission would (SetFaults); the
// program never sets faults itself, and without them each call is the
// system's own.
#include <sys/types.h>

namespace OwnFileWrites {

enum class Call {
  Open,        // a new file made (or an existing one opened for writing)
  Write,
  Sync,        // a file's bytes flushed to disk (its close counts as one)
  Rename,      // a new file put in place of the old one
  MakeFolder,
};
inline constexpr int kCallKinds = 5;

// A test's faults: the errno the call fails with, or 0 to let it run. Asked
// from any thread (an export writes on a worker).
using Faults = int (*)(Call call, const char* path);
void SetFaults(Faults faults);

// Each as the system call of its name, failing with -1 and errno set.
int Open(const char* path, int flags, mode_t mode);
ssize_t Write(int fd, const void* data, size_t size, const char* path);
int Sync(int fd, const char* path);
int Close(int fd, const char* path);
int Rename(const char* from, const char* to);
int MakeFolder(const char* path, mode_t mode);

}  // namespace OwnFileWrites
