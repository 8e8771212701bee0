#pragma once
// Watches the mount table for filesystems that come and go. The kernel marks
// an open /proc/self/mountinfo with a priority event (POLLPRI) whenever a
// mount or unmount changes it; the watcher then reads the table again and
// compares it with the one it had. The changes found within a quarter of a
// second of the first are reported together, in the order they were seen, so
// that one device that mounts several partitions, or an unmount and mount of
// the same medium, is one report.
//
// Only mounts that hold files count (MountTable::Drives()): the same mounts
// the storage-device table is built from, so that every report is a change
// that table can see.
#include "platform/MountTable.h"

#include <QFile>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

struct MountChange {
  MountEntry mount;
  // Judged while the mount was there: after a removal sysfs may have
  // forgotten the device.
  MountKind kind = MountKind::Unknown;
  bool added = false;
};

class MountWatcher : public QObject {
 public:
  using Listener = std::function<void(const std::vector<MountChange>& changes)>;
  static constexpr int kBurstMilliseconds = 250;

  explicit MountWatcher(Listener listener);
  ~MountWatcher() override;

  // Takes the mount table as it is now and watches it from now on; false
  // when mountinfo cannot be opened below MountTable::SystemRoot().
  bool Start();
  bool Watching() const { return notifier_ != nullptr; }
  // Reads the table again now, as a priority event would. Also for tables
  // that raise no event (a test's plain file).
  void Recheck();

 private:
  struct KnownMount {
    MountEntry mount;
    MountKind kind;
  };

  static std::vector<KnownMount> ReadDrives(const std::vector<KnownMount>& previous);
  static std::vector<MountChange> Changes(const std::vector<KnownMount>& before, const std::vector<KnownMount>& now);
  void ReportBurst();

  Listener listener_;
  QFile mountinfo_;
  std::unique_ptr<QSocketNotifier> notifier_;
  QTimer burst_;
  std::vector<KnownMount> known_;
  std::vector<MountChange> pending_;
};
