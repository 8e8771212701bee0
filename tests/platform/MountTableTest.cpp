// The mount table read below a system root of the test's own: mountinfo
// lines with escapes, the mounts that hold files, UUIDs and labels from the
// udev links, removable and optical devices from sysfs, the mount holding a
// path; and the real table of this machine.
#include "platform/MountTable.h"
#include "tests/support/FakeSystemRoot.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using rwtest::FakeDisk;
using rwtest::FakeSystemRoot;

QStringList MountPoints(const std::vector<MountEntry>& mounts) {
  QStringList points;
  for (const MountEntry& mount : mounts) points << mount.mountPoint;
  return points;
}

TEST(MountTableTest, LinesAreDecodedAndUnreadableOnesPassedOver) {
  const auto mounts = MountTable::Parse(
      "36 35 98:0 /films /media/my\\040disk rw,noatime master:1 - ext4 /dev/sdb1 rw\n"
      "37 35 0:40 / /home/a/caf\xc3\xa9 rw - tmpfs tmpfs rw\n"
      "38 35 0:41 / /bad\xff\xfe rw - tmpfs tmpfs rw\n"
      "garbage line\n"
      "39 35 0:42 / /net rw shared:2 master:3 - cifs //srv/Films\\134x rw\n");
  ASSERT_EQ(mounts.size(), 3u);
  EXPECT_EQ(mounts[0].mountPoint, QStringLiteral("/media/my disk"));
  EXPECT_EQ(mounts[0].root, QStringLiteral("/films"));
  EXPECT_EQ(mounts[0].fsType, QStringLiteral("ext4"));
  EXPECT_EQ(mounts[0].source, QStringLiteral("/dev/sdb1"));
  EXPECT_EQ(mounts[0].major, 98u);
  EXPECT_EQ(mounts[1].mountPoint, QStringLiteral("/home/a/café"));
  EXPECT_EQ(mounts[2].source, QStringLiteral("//srv/Films\\x")) << "optional fields before the separator";
}

TEST(MountTableTest, DrivesLeaveOutPseudoFilesystemsAndSystemFolders) {
  FakeSystemRoot system;
  system.Mount(QStringLiteral("/"), QStringLiteral("overlay"), QStringLiteral("overlay"));
  system.Mount(QStringLiteral("/proc"), QStringLiteral("proc"), QStringLiteral("proc"));
  system.Mount(QStringLiteral("/dev/shm"), QStringLiteral("tmpfs"), QStringLiteral("tmpfs"));
  system.Mount(QStringLiteral("/sys/fs/cgroup"), QStringLiteral("tmpfs"), QStringLiteral("tmpfs"));
  system.Mount(QStringLiteral("/proc2"), QStringLiteral("ext4"), QStringLiteral("/dev/sdc1"), "/", 8, 33);
  system.Mount(QStringLiteral("/run/user/1000"), QStringLiteral("tmpfs"), QStringLiteral("tmpfs"));
  system.Mount(QStringLiteral("/run/user/1000/gvfs"), QStringLiteral("fuse.gvfsd-fuse"), QStringLiteral("gvfsd"));
  system.Write();
  EXPECT_EQ(MountPoints(MountTable::Drives()),
            (QStringList{QStringLiteral("/"), QStringLiteral("/proc2"), QStringLiteral("/run/user/1000")}));
}

TEST(MountTableTest, IdentityAndKindComeFromTheLinksAndSysfs) {
  FakeSystemRoot system;
  const FakeDisk stick{.device = QStringLiteral("/dev/sdb1"), .uuid = QStringLiteral("0A2B-3C4D"),
                       .label = QStringLiteral("MY FILMS"), .removable = true, .major = 8, .minor = 17};
  const FakeDisk disc{.device = QStringLiteral("/dev/sr0"), .uuid = QStringLiteral("2019-05-01-12-00-00-00"),
                      .label = QStringLiteral("Holiday"), .optical = true, .major = 11, .minor = 0};
  const FakeDisk fixed{.device = QStringLiteral("/dev/sda2"), .uuid = QStringLiteral("4f1c2d3e-aaaa-bbbb-cccc-0123456789ab"),
                       .major = 8, .minor = 2};
  system.MountDisk(system.MountPoint(QStringLiteral("stick")), QStringLiteral("vfat"), stick);
  system.MountDisk(system.MountPoint(QStringLiteral("disc")), QStringLiteral("iso9660"), disc);
  system.MountDisk(system.MountPoint(QStringLiteral("data")), QStringLiteral("ext4"), fixed);
  system.Mount(system.MountPoint(QStringLiteral("nas")), QStringLiteral("nfs4"), QStringLiteral("nas:/export"));
  system.Mount(system.MountPoint(QStringLiteral("ram")), QStringLiteral("tmpfs"), QStringLiteral("tmpfs"));
  system.Write();
  const auto drives = MountTable::Drives();
  ASSERT_EQ(drives.size(), 5u);
  EXPECT_EQ(MountTable::UuidOf(drives[0]), QStringLiteral("0A2B-3C4D"));
  EXPECT_EQ(MountTable::LabelOf(drives[0]), QStringLiteral("MY FILMS")) << "udev's \\x20 decoded";
  EXPECT_EQ(MountTable::KindOf(drives[0]), MountKind::Removable);
  EXPECT_EQ(MountTable::KindOf(drives[1]), MountKind::Optical);
  EXPECT_EQ(MountTable::LabelOf(drives[1]), QStringLiteral("Holiday"));
  EXPECT_EQ(MountTable::KindOf(drives[2]), MountKind::Fixed);
  EXPECT_TRUE(MountTable::LabelOf(drives[2]).isEmpty());
  EXPECT_EQ(MountTable::KindOf(drives[3]), MountKind::Network);
  EXPECT_TRUE(MountTable::UuidOf(drives[3]).isEmpty());
  EXPECT_EQ(MountTable::KindOf(drives[4]), MountKind::RamDisk);
}

TEST(MountTableTest, TheMountHoldingAPathIsItsLongestMountPoint) {
  FakeSystemRoot system;
  const QString outer = system.MountPoint(QStringLiteral("outer"));
  const QString inner = system.MountPoint(QStringLiteral("outer/inner dir"));
  const QString twin = system.MountPoint(QStringLiteral("outer/inner"));
  system.Mount(QStringLiteral("/"), QStringLiteral("ext4"), QStringLiteral("/dev/vda"), "/", 254, 0);
  system.Mount(outer, QStringLiteral("ext4"), QStringLiteral("/dev/sdb1"), "/", 8, 17);
  system.Mount(inner, QStringLiteral("vfat"), QStringLiteral("/dev/sdc1"), "/", 8, 33);
  system.Write();
  QDir().mkpath(inner + QStringLiteral("/Films/2009"));
  EXPECT_EQ(MountTable::MountHolding(inner + QStringLiteral("/Films/2009"))->mountPoint, inner);
  EXPECT_EQ(MountTable::MountHolding(twin)->mountPoint, outer) << "a folder whose name only begins alike";
  EXPECT_EQ(MountTable::MountHolding(outer + QStringLiteral("/missing/file.mkv"))->mountPoint, outer);
  EXPECT_EQ(MountTable::MountHolding(QStringLiteral("/elsewhere"))->mountPoint, QStringLiteral("/"));
  EXPECT_EQ(MountTable::MountAt(inner + QLatin1Char('/'))->fsType, QStringLiteral("vfat"));
  EXPECT_FALSE(MountTable::MountAt(inner + QStringLiteral("/Films")));
}

// In a plain chroot (as package builders use) the process's root is a folder
// of some mount, not a mount point: the kernel then lists no mount at "/".
// Read here apart from the code under test.
bool RootIsAMountPoint() {
  QFile mountinfo(QStringLiteral("/proc/self/mountinfo"));
  if (!mountinfo.open(QIODevice::ReadOnly)) return false;
  for (const QByteArray& line : mountinfo.readAll().split('\n')) {
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() > 4 && fields[4] == "/") return true;
  }
  return false;
}

TEST(MountTableTest, TheRealTableHoldsThisMachinesRoot) {
  if (!RootIsAMountPoint()) GTEST_SKIP() << "the root of this process is no mount point (a chroot?)";
  EXPECT_TRUE(MountPoints(MountTable::Drives()).contains(QStringLiteral("/")));
  EXPECT_EQ(MountTable::MountHolding(QDir::currentPath())->mountPoint.isEmpty(), false);
}

}  // namespace
