#pragma once
// A SQLite VFS for tests: it wraps the default one and, registered as the
// default, carries every call of every connection the program opens (the
// window's, and the jobs' own on worker threads; the program names no VFS of
// its own). It counts the calls of each kind, and fails the Nth call of a
// chosen kind with a chosen result code, once or from then on, as a disk
// that fills, fails, is unmounted or is locked by another program would.
// The counts and the fault are shared by every thread. Syncs are counted but
// never made: a test's files need not reach the disk. A fault's code may be
// a power cut (PowerCut.h): the disk as it would come back is taken before
// the call, which then goes on.
//
//   rwtest::FaultVfs::Install();                       // once, before the program opens anything
//   rwtest::FaultVfs::Start({{rwtest::DiskCall::Write, 3, SQLITE_FULL}});
//   ... the command ...
//   rwtest::FaultVfs::Stop();
//   rwtest::FaultVfs::Injected();                      // how often the fault answered
#include <QString>

#include <optional>

namespace rwtest {

// The calls a fault can be put on.
enum class DiskCall {
  Open,      // a file: the library, its journal, a temporary file
  Read,
  Write,
  Sync,
  Truncate,
  Lock,      // a lock taken or raised (never one given up)
  Delete,    // a journal deleted at a commit, a temporary file
  Access,    // whether a file (a hot journal) is there
  FileSize,
};
inline constexpr int kDiskCallKinds = 9;
const char* DiskCallName(DiskCall call);

// Not a result code of SQLite's: the read answers with bytes of another
// program's, as when another program wrote over the file while it was open;
// SQLite then finds the file damaged. From then on, only that file's reads.
inline constexpr int kForeignBytes = -1;
// The name of a code (SQLITE_FULL, SQLITE_IOERR_READ, ...) for messages.
QString DiskCodeName(int code);

struct DiskFault {
  DiskCall call = DiskCall::Read;
  // The call of that kind, counted from Start, that fails first (from 1).
  int nth = 1;
  // The result code the call answers (kForeignBytes for a read: the bytes).
  // SQLITE_READONLY on the open of a library opens it read-only, as a file
  // made read-only does; on the open of a journal, SQLITE_READONLY_DIRECTORY.
  int code = 0;
  // Every later call of that kind fails too: of every file, or, with a
  // disk named, of the files in that folder (the failing disk's), as when
  // the libraries' disk fails while the program's own folders stay.
  bool lasting = false;
  QString disk;
  // When set, the calls are counted for the fault from the open of a file
  // whose path holds this text (a copy the command makes), not from Start: a
  // fault pinned to a step of the command that earlier steps' calls do not
  // move.
  QString after;
};

class FaultVfs {
 public:
  // Registers the VFS as SQLite's default, once for the process. Connections
  // opened before keep the VFS they had.
  static void Install();

  // Counts every kind afresh from now on; with a fault, arms it.
  static void Start(std::optional<DiskFault> fault = std::nullopt);
  // Stops counting and disarms the fault; what was counted stays readable.
  static void Stop();

  // The calls of that kind since Start.
  static int Calls(DiskCall call);
  // How many calls the fault failed.
  static int Injected();
  // Whether a call the fault failed was made again, with the same arguments
  // on the same file, and then succeeded (SQLite's busy handler retrying a
  // lock, a reader reading the page again).
  static bool Retried();
  // The file the fault first hit ("" for a temporary file).
  static QString FaultedFile();
};

}  // namespace rwtest
