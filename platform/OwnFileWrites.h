#pragma once
// The system calls by which the program writes files of its own: settings,
// exports, playlists, story boards, thumbnails written out, the glyph font,
// notes and the scratch library all go through WholeFileWriter (WholeFile.h),
// the settings' lock file and the folders made for them beside it, the
// copies of a library (Save As, the upgrade's) and the external program's
// files, and each of those goes through here. A test can make any of these calls fail as a
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

// One call as a test sees it, before it is made.
struct Request {
  Call call;
  // The file (a rename's target, a new unnamed file's folder, a folder).
  const char* path;
  // The open file of a write, sync or close; -1 for a call on a name.
  int fd = -1;
  // A rename's source.
  const char* from = nullptr;
  // A close, which fails as a sync would but flushes nothing; a folder's
  // sync, which makes the renames and new files in it stay (never failed:
  // the files are whole in place without it).
  bool closing = false;
  bool folder = false;
};

// A test's faults: the errno the call fails with, or 0 to let it run. Asked
// from any thread (an export writes on a worker).
using Faults = int (*)(const Request& request);
void SetFaults(Faults faults);

// Each as the system call of its name, failing with -1 and errno set.
int Open(const char* path, int flags, mode_t mode);
ssize_t Write(int fd, const void* data, size_t size, const char* path);
int Sync(int fd, const char* path);
int Close(int fd, const char* path);
// Replaces what is at `to` in one step, as rename(2) does.
int Rename(const char* from, const char* to);
int MakeFolder(const char* path, mode_t mode);
// Makes the folder's entries (a rename, a new file) reach the disk; its
// failure is of no consequence to the files, and is not reported.
void SyncFolder(const char* folder);

}  // namespace OwnFileWrites
