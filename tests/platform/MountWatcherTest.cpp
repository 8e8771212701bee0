// The mount watcher: what it reports when the table changes, read from a
// system root of the test's own, and, where the machine lets the test mount
// in a namespace of its own, that the kernel's own change wakes it.
#include "platform/MountWatcher.h"
#include "tests/support/ChildRun.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/FakeSystemRoot.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <sys/mount.h>

namespace {

using Reports = std::vector<std::vector<MountChange>>;

rwtest::FakeDisk Disk(const char* device, unsigned minor, bool removable = false, bool optical = false) {
  rwtest::FakeDisk disk;
  disk.device = QLatin1String(device);
  disk.minor = minor;
  disk.removable = removable;
  disk.optical = optical;
  return disk;
}

class MountWatcherTest : public ::testing::Test {
 protected:
  // Writes the table as it now stands, has the watcher read it and waits
  // until a burst begun by the change has been reported.
  void Change() {
    root.Write();
    watcher.Recheck();
    rwtest::RunTimersDueWithin(MountWatcher::kBurstMilliseconds);
  }

  // The kinds and additions of the changes reported since the last call.
  std::vector<std::pair<MountKind, bool>> Reported() {
    std::vector<std::pair<MountKind, bool>> seen;
    for (const auto& report : reports) {
      for (const MountChange& change : report) seen.emplace_back(change.kind, change.added);
    }
    reports.clear();
    return seen;
  }

  rwtest::FakeSystemRoot root;
  Reports reports;
  MountWatcher watcher{[this](const std::vector<MountChange>& changes) { reports.push_back(changes); }};
};

using Seen = std::vector<std::pair<MountKind, bool>>;

TEST_F(MountWatcherTest, AMediumRemovedKeepsTheKindItHadWhenItCame) {
  const QString disc = root.MountPoint("disc");
  root.MountDisk(disc, "iso9660", Disk("/dev/sr0", 0, false, true));
  root.Write();
  ASSERT_TRUE(watcher.Start());  // the disc is there from the start
  const QString stick = root.MountPoint("STICK");
  root.MountDisk(stick, "vfat", Disk("/dev/sdc1", 33, true));
  Change();
  EXPECT_EQ(Reported(), Seen({{MountKind::Removable, true}}));

  // The kernel forgets a pulled device's sysfs folder before the unmount.
  ASSERT_TRUE(QDir(root.Path() + "/root/sys").removeRecursively());
  root.Unmount(stick);
  Change();
  EXPECT_EQ(Reported(), Seen({{MountKind::Removable, false}}));
  root.Unmount(disc);
  Change();
  EXPECT_EQ(Reported(), Seen({{MountKind::Optical, false}}));
}

TEST_F(MountWatcherTest, ChangesWithinABurstAreReportedOnceInTheOrderSeen) {
  const QString first = root.MountPoint("first");
  root.MountDisk(first, "ext4", Disk("/dev/sda2", 2));
  root.Write();
  ASSERT_TRUE(watcher.Start());
  const QString stick = root.MountPoint("stick");
  root.MountDisk(stick, "vfat", Disk("/dev/sdc1", 33, true));
  root.Write();
  watcher.Recheck();
  EXPECT_TRUE(reports.empty()) << "reported only when the burst is over";
  root.Unmount(first);
  Change();
  ASSERT_EQ(reports.size(), 1u);
  ASSERT_EQ(reports[0].size(), 2u);
  EXPECT_EQ(reports[0][0].mount.mountPoint, stick);
  EXPECT_EQ(reports[0][1].mount.mountPoint, first);
  EXPECT_EQ(Reported(), Seen({{MountKind::Removable, true}, {MountKind::Fixed, false}}));

  // Another filesystem at the same place: the old one gone, the new one there.
  root.Unmount(stick);
  root.MountDisk(stick, "ext4", Disk("/dev/sda2", 2));
  Change();
  EXPECT_EQ(Reported(), Seen({{MountKind::Removable, false}, {MountKind::Fixed, true}}));
}

TEST_F(MountWatcherTest, AnUnchangedTableAndMountsThatHoldNoFilesReportNothing) {
  root.MountDisk(root.MountPoint("data"), "ext4", Disk("/dev/sda2", 2));
  root.Write();
  ASSERT_TRUE(watcher.Start());
  Change();  // a wake-up with nothing changed
  root.Mount("/proc/sys/fs/binfmt_misc", "binfmt_misc", "binfmt_misc");
  root.Mount("/sys/fs/cgroup", "cgroup2", "cgroup2");
  root.Mount("/dev/shm", "tmpfs", "tmpfs");
  root.Mount(root.MountPoint("gvfs"), "fuse.gvfsd-fuse", "gvfsd-fuse");
  Change();
  EXPECT_TRUE(reports.empty());
}

// Run by the test below in a user and mount namespace of its own, where it
// may mount a tmpfs without touching the machine's mounts: the kernel's own
// event must wake the watcher, with no Recheck().
void MountInANamespaceOfOurOwn() {
  QTemporaryDir folder;
  Reports reports;
  MountWatcher watcher([&](const std::vector<MountChange>& changes) { reports.push_back(changes); });
  ASSERT_TRUE(watcher.Start());
  const QByteArray path = QFile::encodeName(folder.path());
  ASSERT_EQ(::mount("rwtest", path.constData(), "tmpfs", 0, nullptr), 0) << std::strerror(errno);
  ASSERT_TRUE(QTest::qWaitFor([&] { return reports.size() == 1; }, rwtest::kWaitCeilingMs)) << "no report of the mount";
  ASSERT_EQ(reports[0].size(), 1u);
  EXPECT_TRUE(reports[0][0].added);
  EXPECT_EQ(reports[0][0].mount.mountPoint, QFileInfo(folder.path()).canonicalFilePath());
  ASSERT_EQ(::umount(path.constData()), 0) << std::strerror(errno);
  ASSERT_TRUE(QTest::qWaitFor([&] { return reports.size() == 2; }, rwtest::kWaitCeilingMs))
      << "no report of the unmount";
  EXPECT_FALSE(reports[1][0].added);
}

TEST(MountWatcherKernelTest, AMountWakesTheWatcher) {
  RW_RUN_IN_OWN_MOUNT_NAMESPACE();
  MountInANamespaceOfOurOwn();
}

}  // namespace
