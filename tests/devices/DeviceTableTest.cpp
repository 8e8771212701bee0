// The device table rebuilt at every open, on a mount table of the test's own:
// devices found again at new mount points, absent ones offline with their
// files' offline text, folder mounts, shares of libraries made elsewhere,
// and file paths mapped with odd folder names.
#include "devices/modStorageDevices.h"
#include "platform/MountProbe.h"
#include "platform/SqlRecordset.h"
#include "tests/devices/DeviceFixture.h"
#include "tests/support/ChildRun.h"
#include "tests/support/DeadMount.h"
#include "tests/support/FaultTrigger.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <random>

namespace {

using rwtest::FakeDisk;

class DeviceTableTest : public rwtest::DeviceTest {
 protected:
  void TearDown() override {
    MountProbe::SetRootProbe(nullptr);
    rwtest::DeviceTest::TearDown();
  }

  QString Mount(const QString& name, const char* uuid, const QString& root = "/", unsigned minor = 17) {
    const QString point = System().MountPoint(name);
    System().MountDisk(point, QStringLiteral("vfat"),
                       {.device = QStringLiteral("/dev/sd%1").arg(minor), .uuid = QLatin1String(uuid), .minor = minor},
                       root);
    System().Write();
    return point + QLatin1Char('/');
  }
  QString File(int id, const char* column = "CurrentPath") {
    return One(QStringLiteral("SELECT %1 FROM VideoFiles WHERE FileID = %2").arg(QLatin1String(column)).arg(id))
        .toString();
  }
  int SegmentOnline(int id) {
    return Count(QStringLiteral("SELECT Online FROM VideoSegments WHERE SegmentID = %1").arg(id));
  }
  // "LogicalPath|PhysicalPath|Online" of each row of a device.
  QStringList Rows(const QString& serial) {
    return Column(QStringLiteral("SELECT LogicalPath || '|' || PhysicalPath || '|' || Online FROM FileLocations "
                                 "WHERE DiskSerialNo = %1 ORDER BY PhysicalPath")
                      .arg(SqlQuote(serial)));
  }
  static QString FileOn(int id, const QString& serial, const QString& folder, const QString& name = "a.mkv") {
    return QStringLiteral(
               "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName) VALUES (%1, %2, %3, %4);"
               "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, Online, Rating) VALUES (%1, %1, 'Y', "
               "0, 0, 0);")
        .arg(id)
        .arg(SqlQuote(serial), SqlQuote(folder), SqlQuote(name));
  }
};

TEST_F(DeviceTableTest, ADiskAtANewMountPointIsFollowedAndKeepsItsNames) {
  Mount(QStringLiteral("first"), "1A2B-3C4D");
  OpenWith(FileOn(1, QStringLiteral("1A2B3C4D"), QStringLiteral("Films\\2009\\")) +
           QStringLiteral("INSERT INTO FileLocations VALUES ('1A2B3C4D', 'Bob''s disk', ':\\', '/old/', "
                          "'Removable drive', 'Holiday ''09', 0)"));
  System().Unmount(System().MountPoint(QStringLiteral("first")));
  const QString moved = Mount(QStringLiteral("moved here"), "1A2B-3C4D");
  Rebuild();
  EXPECT_EQ(Rows(QStringLiteral("1A2B3C4D")), QStringList{moved + QStringLiteral("|:\\|1")});
  EXPECT_EQ(File(1), moved + QStringLiteral("Films/2009/"));
  EXPECT_EQ(Column(QStringLiteral("SELECT DiskLabel || '/' || FriendlyName || '/' || DiskType FROM FileLocations")),
            QStringList{QStringLiteral("Bob's disk/Holiday '09/Removable drive")})
      << "label, friendly name and type stay";

  System().Unmount(System().MountPoint(QStringLiteral("moved here")));
  System().Write();
  Rebuild();
  EXPECT_EQ(File(1), QStringLiteral("[Offline] Holiday '09:\\Films\\2009\\"));
  EXPECT_EQ(SegmentOnline(1), 0);
}

// A rebuild the library's full disk stops part way is undone whole: the
// rows stay as they were (not all offline), the paths are not mapped from
// half a table, and it is told once, in the program's words.
TEST_F(DeviceTableTest, ARebuildAFullDiskStopsIsUndoneWholeAndToldOnce) {
  Mount(QStringLiteral("first"), "1A2B-3C4D");
  OpenWith(FileOn(1, QStringLiteral("1A2B3C4D"), QStringLiteral("Films\\")) +
           FileOn(2, QStringLiteral("5E6F7A8B"), QStringLiteral("Films\\")) +
           QStringLiteral("INSERT INTO FileLocations VALUES ('5E6F7A8B', 'Other', ':\\Films\\', '/other/', "
                          "'Fixed Disk', NULL, 1)"));
  const QStringList before =
      Column(QStringLiteral("SELECT quote(DiskSerialNo) || PhysicalPath || LogicalPath || Online FROM FileLocations "
                            "ORDER BY 1"));
  const QStringList paths = Column(QStringLiteral("SELECT CurrentPath FROM VideoFiles ORDER BY FileID"));
  rwtest::AddFaultTrigger(Connection(), QStringLiteral("CREATE TEMP TRIGGER Full BEFORE UPDATE OF LogicalPath ON "
                                                       "FileLocations BEGIN SELECT rw_fault(13)"
                                                       "; END"));
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  Mount(QStringLiteral("second"), "5E6F-7A8B");
  EXPECT_FALSE(modStorageDevices::EnumStorageDevices(Host(), false));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Processing Storage Devices"));
  EXPECT_TRUE(boxes.Last().prompt.startsWith(QStringLiteral("The disk is full"))) << boxes.Last().prompt.toStdString();
  EXPECT_TRUE(boxes.Last().prompt.contains(Connection().Path())) << boxes.Last().prompt.toStdString();
  EXPECT_EQ(Column(QStringLiteral("SELECT quote(DiskSerialNo) || PhysicalPath || LogicalPath || Online FROM "
                                  "FileLocations ORDER BY 1")),
            before);
  EXPECT_EQ(Column(QStringLiteral("SELECT CurrentPath FROM VideoFiles ORDER BY FileID")), paths);
  EXPECT_FALSE(Connection().InTransaction());
  EXPECT_TRUE(Host().progressCaption.isEmpty());
}

TEST_F(DeviceTableTest, AFilesystemMountedTwiceKeepsItsFirstMountPoint) {
  const QString first = Mount(QStringLiteral("first"), "1A2B-3C4D");
  Mount(QStringLiteral("second"), "1A2B-3C4D");
  OpenWith(FileOn(1, QStringLiteral("1A2B3C4D"), QStringLiteral("x\\")));
  EXPECT_EQ(Rows(QStringLiteral("1A2B3C4D")), QStringList{first + QStringLiteral("|:\\|1")});
}

TEST_F(DeviceTableTest, AFolderMountMapsItsFilesAndLeavesAnOfflineRootRowWhenGone) {
  const QString videos = Mount(QStringLiteral("videos"), "1A2B-3C4D", QStringLiteral("/Videos"));
  const QString clips = Mount(QStringLiteral("clips"), "1A2B-3C4D", QStringLiteral("/Clips"));
  OpenWith(FileOn(1, QStringLiteral("1A2B3C4D"), QStringLiteral("Videos\\Summer\\")) +
           FileOn(2, QStringLiteral("1A2B3C4D"), QStringLiteral("Other\\")));
  EXPECT_EQ(Rows(QStringLiteral("1A2B3C4D")),
            (QStringList{clips + QStringLiteral("|:\\Clips\\|1"), videos + QStringLiteral("|:\\Videos\\|1")}));
  EXPECT_EQ(File(1), videos + QStringLiteral("Summer/"));
  EXPECT_EQ(File(2).left(10), QStringLiteral("[Offline] ")) << "outside the mounted folders";

  System().Unmount(System().MountPoint(QStringLiteral("videos")));
  System().Unmount(System().MountPoint(QStringLiteral("clips")));
  System().Write();
  Rebuild();
  ASSERT_EQ(Rows(QStringLiteral("1A2B3C4D")).size(), 1) << "the folder rows go; one root row stays";
  EXPECT_TRUE(Rows(QStringLiteral("1A2B3C4D"))[0].endsWith(QStringLiteral("|:\\|0")));
  EXPECT_EQ(SegmentOnline(1), 0);
  const QString whole = Mount(QStringLiteral("whole"), "1A2B-3C4D");
  Rebuild();
  EXPECT_EQ(File(1), whole + QStringLiteral("Videos/Summer/"));
  EXPECT_EQ(boxes.Count(), 0) << "the root row takes the disk again without a clash";
}

// A folder's name may hold what LIKE and Replace would take as special.
TEST_F(DeviceTableTest, FoldersWithWildcardsAndColonsMapByTheirExactStart) {
  const QString disk = Mount(QStringLiteral("disk"), "1A2B-3C4D");
  const QString season = Mount(QStringLiteral("season"), "1A2B-3C4D", QStringLiteral("/Season 1:"), 17);
  OpenWith(FileOn(1, QStringLiteral("1A2B3C4D"), QStringLiteral("Season 1:\\Ep:\\")) +
           FileOn(2, QStringLiteral("1A2B3C4D"), QStringLiteral("100%_done\\")) +
           FileOn(3, QStringLiteral("1A2B3C4D"), QStringLiteral("100x done\\")) +
           QStringLiteral("INSERT INTO FileLocations VALUES ('1A2B3C4D', 'D', ':\\100%_done\\', '/x/', 'Fixed Disk', "
                          "NULL, 0)"));
  Exec(QStringLiteral("UPDATE FileLocations SET Online = 0 WHERE PhysicalPath = ':\\'"));
  modStorageDevices::MapFilePaths(Host());
  EXPECT_EQ(File(1), season + QStringLiteral("Ep:/")) << "only the leading part is replaced";
  EXPECT_EQ(File(3).left(10), QStringLiteral("[Offline] ")) << "'%' and '_' are no wildcards";

  Exec(QStringLiteral("UPDATE FileLocations SET Online = 1"));
  modStorageDevices::MapFilePaths(Host());
  EXPECT_EQ(File(1), disk + QStringLiteral("Season 1:/Ep:/")) << "the root row before folder rows";
  EXPECT_EQ(File(2), disk + QStringLiteral("100%_done/"));
}

TEST_F(DeviceTableTest, ShareRowsOfOtherLibrariesStayOfflineSilently) {
  OpenWith(FileOn(1, QStringLiteral("5E5E5E5E"), QStringLiteral("Data\\Films\\")) +
           QStringLiteral("INSERT INTO FileLocations VALUES ('5E5E5E5E', 'Films', ':\\Data\\', '\\\\SERVER\\Data\\', "
                          "'Remote (network) drive', NULL, 1)"));
  EXPECT_EQ(Rows(QStringLiteral("5E5E5E5E")), QStringList{QStringLiteral("\\\\SERVER\\Data\\|:\\Data\\|0")})
      << "the share row stays";
  EXPECT_EQ(File(1), QStringLiteral("[Offline] Films:\\Data\\Films\\"));
  EXPECT_EQ(boxes.Count(), 0);
}

// The row of a share recorded on another platform holds the serial its
// server gave, which no mount here tells: with that share mounted here the
// row still stays as it is, and its files keep their device.
TEST_F(DeviceTableTest, AShareRowOfAnotherLibraryStaysAsItIsWhenItsShareIsMountedHere) {
  const QString point = System().MountPoint(QStringLiteral("data"));
  System().Mount(point, QStringLiteral("cifs"), QStringLiteral("//server/Data"));
  System().Write();
  OpenWith(FileOn(1, QStringLiteral("5E5E5E5E"), QStringLiteral("Data\\Films\\")) +
           QStringLiteral("INSERT INTO FileLocations VALUES ('5E5E5E5E', 'Films', ':\\Data\\', '\\\\SERVER\\Data\\', "
                          "'Remote (network) drive', NULL, 1)"));
  EXPECT_EQ(Rows(QStringLiteral("5E5E5E5E")), QStringList{QStringLiteral("\\\\SERVER\\Data\\|:\\Data\\|0")});
  EXPECT_EQ(File(1, "DiskSerialNo"), QStringLiteral("5E5E5E5E"));
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(DeviceTableTest, AMountThatDoesNotAnswerIsAbsentThisTime) {
  const QString gone = Mount(QStringLiteral("gone server"), "1A2B-3C4D");
  OpenWith(FileOn(1, QStringLiteral("1A2B3C4D"), QStringLiteral("x\\")));
  ASSERT_EQ(SegmentOnline(1), 1);
  MountProbe::SetRootProbe([&](const QString& root) { return root != gone; });
  Rebuild();
  EXPECT_EQ(SegmentOnline(1), 0);
  EXPECT_EQ(Host().progressCaption, QString()) << "the progress display is off";
}

// Run in a mount namespace of its own: a disk without a serial number, known
// by the identifier file at its root, is covered by a file server that
// answers for its root alone. The rebuild at an open finds it absent instead
// of freezing, and the next rebuild sends it nothing more.
TEST_F(DeviceTableTest, ADiskWhoseFilesStopAnsweringIsAbsentAndNotAskedAgainAtTheNextOpen) {
  RW_RUN_IN_OWN_MOUNT_NAMESPACE();
  const QString disk = Mount(QStringLiteral("nas"), "0000-0000");
  const QString identifier = QStringLiteral("RW22024010112000000");
  QFile file(disk + QLatin1String(modStorageDevices::kIdentifierFileName));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(identifier.toLatin1() + "\r\n");
  file.close();
  OpenWith(FileOn(1, identifier, QStringLiteral("x\\")));
  ASSERT_EQ(SegmentOnline(1), 1);
  rwtest::DeadMount dead(disk.chopped(1));
  if (!dead.Mounted()) GTEST_SKIP() << dead.Problem().toStdString();
  const rwtest::WaitWatch watch;
  Rebuild();
  EXPECT_FALSE(dead.Released()) << "the rebuild came back while the server still did not answer";
  EXPECT_TRUE(watch.PaintedAlone()) << "the window painted during the wait and ran nothing else";
  EXPECT_EQ(SegmentOnline(1), 0);
  const int waiting = dead.Unanswered();
  Rebuild();
  EXPECT_EQ(dead.Unanswered(), waiting) << "a dead mount is not asked again";
  EXPECT_EQ(SegmentOnline(1), 0);
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(DeviceTableTest, PseudoFilesystemsAndSystemFoldersAreNoDevices) {
  System().Mount(QStringLiteral("/proc"), QStringLiteral("proc"), QStringLiteral("proc"));
  System().Mount(QStringLiteral("/dev/shm"), QStringLiteral("tmpfs"), QStringLiteral("tmpfs"));
  System().Mount(QStringLiteral("/sys/fs/cgroup"), QStringLiteral("cgroup2"), QStringLiteral("cgroup2"));
  System().Write();
  OpenWith();
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM FileLocations")), 0);
}

// The mapping worked out once per folder gives every file and segment what
// the plainest reading, file by file, gives: random devices with root and
// folder rows, online or not, with and without friendly names; files on them,
// on a device without rows and in folders no row covers.
TEST_F(DeviceTableTest, TheMappingByFolderGivesWhatTheReadingFileByFileGives) {
  const char* const fileByFile =
      "CREATE TEMP TABLE Mapped (FileID INTEGER PRIMARY KEY, Path TEXT);"
      "INSERT INTO temp.Mapped SELECT VF.FileID, (SELECT SD.LogicalPath || replace(substr(':\\' || VF.FilePath, "
      "length(SD.PhysicalPath) + 1), '\\', '/') FROM FileLocations SD WHERE SD.DiskSerialNo = VF.DiskSerialNo AND "
      "SD.Online = 1 AND substr(':\\' || VF.FilePath, 1, length(SD.PhysicalPath)) = SD.PhysicalPath ORDER BY "
      "SD.PhysicalPath <> ':\\', length(SD.PhysicalPath) DESC LIMIT 1) FROM VideoFiles VF;"
      "UPDATE VideoFiles SET CurrentPath = COALESCE((SELECT Path FROM temp.Mapped M WHERE M.FileID = "
      "VideoFiles.FileID), (SELECT '[Offline] ' || IFNULL(FriendlyName, DiskLabel) || ':\\' || FilePath FROM "
      "FileLocations FL WHERE FL.DiskSerialNo = VideoFiles.DiskSerialNo));"
      "UPDATE VideoSegments SET Online = (FileID IN (SELECT FileID FROM temp.Mapped WHERE Path IS NOT NULL));"
      "DROP TABLE temp.Mapped";
  const QString serials[] = {QStringLiteral("S1"), QStringLiteral("S2"), QStringLiteral("S3")};
  const QString physical[] = {QStringLiteral(":\\"), QStringLiteral(":\\A\\"), QStringLiteral(":\\A\\B\\"),
                              QStringLiteral(":\\C\\")};
  const QString folders[] = {QString(), QStringLiteral("A\\"), QStringLiteral("A\\B\\"), QStringLiteral("A\\B\\x\\"),
                             QStringLiteral("C\\"), QStringLiteral("D\\")};
  std::mt19937 random(6102);
  auto pick = [&random](int high) { return std::uniform_int_distribution<int>(0, high)(random); };
  OpenWith();
  for (int round = 0; round < 40; ++round) {
    Exec(QStringLiteral("DELETE FROM FileLocations; DELETE FROM VideoFiles; DELETE FROM VideoSegments"));
    for (const QString& serial : serials) {
      for (const QString& path : physical) {
        if (pick(2) == 0) continue;
        Exec(QStringLiteral("INSERT INTO FileLocations VALUES (%1, 'Label', %2, '/m/%3/', 'Fixed Disk', %4, %5)")
                 .arg(SqlQuote(serial), SqlQuote(path))
                 .arg(pick(9))
                 .arg(pick(1) ? QStringLiteral("'Friend'") : QStringLiteral("NULL"))
                 .arg(pick(1)));
      }
    }
    for (int f = 1; f <= 30; ++f) {
      Exec(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, CurrentPath) VALUES (%1, "
                          "%2, %3, 'a.mkv', %4);"
                          "INSERT INTO VideoSegments (SegmentID, FileID, Online, Rating) VALUES (%1, %5, %6, 0)")
               .arg(f)
               .arg(SqlQuote(QStringLiteral("S%1").arg(1 + pick(3))), SqlQuote(folders[pick(5)]))
               .arg(pick(1) ? QStringLiteral("'/old/'") : QStringLiteral("NULL"))
               .arg(pick(5) ? f : 99)
               .arg(pick(2)));
    }
    const QString state = QStringLiteral("SELECT group_concat(x, ' ') FROM (SELECT FileID || ':' || "
                                         "ifnull(CurrentPath, '-') AS x FROM VideoFiles UNION ALL SELECT SegmentID || "
                                         "'/' || ifnull(Online, '-') FROM VideoSegments ORDER BY 1)");
    Connection().BeginTrans(QStringLiteral("Reading"));
    Exec(QLatin1String(fileByFile));
    const QString expected = One(state).toString();
    Connection().RollbackTrans(QStringLiteral("Reading"));
    modStorageDevices::MapFilePaths(Host());
    ASSERT_EQ(One(state).toString(), expected) << "round " << round;
  }
}

}  // namespace
