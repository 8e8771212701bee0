#pragma once
// The library file's calls on a mount that may stop answering (a network or
// FUSE mount whose server went away) never hold the window longer than the
// mount probe's limit. The library's own reads and writes run on the
// window's thread, inside SQLite, through the window's connection: they
// cannot be handed to a worker whole, since the window reads the same
// connection between them. So the file calls themselves are guarded: SQLite
// opens library files through a file layer of the program's own (an SQLite
// VFS over the default one) which, on the window's thread and for a file on
// such a mount, runs each call on a helper thread and waits for it within
// MountProbe::kTimeLimitMs, painting with the pulse past long work's grace
// (LongWork::Wait). A call that does not come back is given up: SQLite gets
// an I/O error, so the statement fails and its transaction is left for
// SQLite to roll back from its journal; the mount is remembered as dead, and
// every later call on that file fails at once until the call given up has
// come back (so nothing the program does meets a write still under way).
// The statement's failure is then told as the disk not answering
// (FaultKind::NotAnswering).
//
// Files on local disks, and calls off the window's thread (a job's
// connection, whose wait has a quiet limit of its own), go straight to the
// default layer.
namespace HangGuard {

// The name of the file layer, registered on first use, for sqlite3_open_v2.
const char* VfsName();

// Whether a call of this thread's was given up (or refused because its mount
// is known dead) since the last TakeGiveUp; forgets it.
bool TakeGiveUp();

// Whether this thread waits inside a guarded call now: nothing may begin a
// statement then (the window's painting runs meanwhile).
bool Waiting();

// Long work on this thread that ticks from inside SQLite (SqlConnection::
// Ticking) ticks from inside the file layer too: every few dozen writes and
// reads, and while a sync runs (on a helper, for a file on a local disk), so
// that the commit of a large transaction paints as its statements do.
// Returns the tick installed before.
struct FileTick {
  int (*call)(void*) = nullptr;
  void* argument = nullptr;
};
FileTick SetTick(FileTick tick);

// Calls given up that have not come back yet.
int CallsStillOut();

// Tests: every file opened from now on is guarded, whatever its mount (the
// tests' folders lie on local disks).
void GuardEveryFile(bool on);

}  // namespace HangGuard
