#pragma once
// A power cut, as SQLite's own crash tests make one, for the fault layer
// (FaultVfs) and the own-file seam (OwnFileFaults), which report each call
// here while it holds. A write stays unsynced until its file's sync; a new
// file's name, and a rename, until its folder's sync (a library's journal:
// its first sync, which SQLite makes with its folder's). At the cut the disk
// as the power would leave it is taken: the unsynced writes lost, or (torn)
// those to the file written last landed but the last of them, which landed
// half, and those to other files lost; the unsynced renames and new names
// undone. The program's files go on as they are; what a test opens
// again is the image taken.
//
//   rwtest::PowerCut::Start();
//   rwtest::FaultVfs::Start({{rwtest::DiskCall::Sync, 3, rwtest::kPowerCut}});   // the cut at the 3rd sync
//   ... the command ...
//   rwtest::PowerCut::Image();                          // each file touched, as the cut left it
#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <string>

namespace rwtest {

// What the calls report, as a fault of FaultVfs or OwnFileFaults: the cut
// is made before the call, which then goes on.
inline constexpr int kPowerCut = -2;
inline constexpr int kPowerCutTorn = -3;

class PowerCut {
 public:
  // Forgets what was held and holds from now on.
  static void Start();
  static void Stop();
  static bool Holding();

  // Reported before each call is made: a write with the bytes it replaces
  // and the file's size before it, a truncation with the bytes it takes off.
  static void Write(const std::string& path, long long offset, long long amount, const QByteArray& old,
                    long long oldSize);
  static void Truncate(const std::string& path, const QByteArray& tail, long long oldSize);
  // A file's bytes reach the disk; `withName`: so does its name (SQLite's
  // journal).
  static void Sync(const std::string& path, bool withName);
  // A new file made by its name.
  static void Created(const std::string& path);
  static void Deleted(const std::string& path);
  static void Renamed(const std::string& from, const std::string& to);
  static void FolderSynced(const std::string& folder);
  // Writes and syncs of an own file by its descriptor (its name known at
  // its close).
  static void WroteTo(int fd);
  static void SyncedFd(int fd);
  static void Closed(int fd, const std::string& path);

  // The cut: the disk as the power leaves it is taken now.
  static void Cut(bool torn);
  static bool Made();
  // The files touched since Start, as the cut left them: the bytes, or
  // nothing where the file is not there.
  static std::map<QString, std::optional<QByteArray>> Image();
};

}  // namespace rwtest
