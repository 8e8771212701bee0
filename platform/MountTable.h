#pragma once
// The mounted filesystems, as the kernel lists them in /proc/self/mountinfo,
// with what identifies a filesystem: its UUID and label (from the udev links
// under /dev/disk, or read from the device by libblkid where those links are
// missing) and whether its device is removable or optical (sysfs). Every
// system file is read below one system-root folder, "/" in the program; tests
// give a folder of their own holding a mountinfo text, links and sysfs files.
// Mount points themselves are real paths.
#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

struct MountEntry {
  QString mountPoint;  // absolute, without a trailing "/" (but "/" itself)
  QString root;        // the folder of the filesystem mounted there; "/" for its root
  QString fsType;      // "ext4", "vfat", "nfs4", "fuse.sshfs"
  QString source;      // "/dev/sdb1", "//server/share", "server:/export"
  unsigned major = 0;
  unsigned minor = 0;

  // Mounts are the same when these agree (a watcher's diff).
  bool operator==(const MountEntry& other) const {
    return mountPoint == other.mountPoint && source == other.source && fsType == other.fsType &&
           root == other.root;
  }
};

// What kind of storage a mount is.
enum class MountKind { Fixed, Removable, Optical, Network, RamDisk, Unknown };

namespace MountTable {

// The folder below which /proc, /dev and /sys are read; "/" unless a test
// sets another ("" puts "/" back).
void SetSystemRoot(const QString& folder);
QString SystemRoot();

// The entries of a mountinfo text, in order. Escaped characters (\040 and
// the like) are decoded; a line whose mount point or root is not UTF-8 is
// passed over, as is a line that does not parse.
std::vector<MountEntry> Parse(const QByteArray& mountinfo);
// The system's mount table now; empty when it cannot be read.
std::vector<MountEntry> Read();
// The mounts that hold files: every mount in order but kernel pseudo
// filesystems and mounts below /proc, /sys and /dev.
std::vector<MountEntry> Drives();
bool IsPseudoFilesystem(const QString& fsType);
bool IsNetworkFilesystem(const QString& fsType);

// The mount whose mount point is `mountPoint` (with or without a trailing
// "/"); the last one mounted there wins, as it hides the others.
std::optional<MountEntry> MountAt(const QString& mountPoint);
// The mount that holds `path`: the longest mount point that is a folder of
// the path's canonical form (or of the path as given when it does not exist).
std::optional<MountEntry> MountHolding(const QString& path);

MountKind KindOf(const MountEntry& mount);
// The filesystem's UUID as the system writes it ("1A2B-3C4D",
// "0123456789ABCDEF", "4f1c…-…"); empty when it has none or it cannot be read.
QString UuidOf(const MountEntry& mount);
// The filesystem's label; empty when it has none.
QString LabelOf(const MountEntry& mount);

}  // namespace MountTable
