// The library's open rebuilds its device table, after bringing an older
// library up to the current layout, on a mount table of the test's own.
#include "platform/SqlConnection.h"
#include "platform/SqlText.h"
#include "tests/library/OldLibraries.h"
#include "tests/library/TreeFixture.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

class LibraryOpenDevicesTest : public rwtest::OpenLibraryTest {
 protected:
  QString Mount(const QString& name, const char* uuid) {
    const QString point = System().MountPoint(name);
    System().MountDisk(point, QStringLiteral("vfat"),
                       {.device = QStringLiteral("/dev/sd17"), .uuid = QLatin1String(uuid), .minor = 17});
    System().Write();
    return point + QLatin1Char('/');
  }
  // "LogicalPath|PhysicalPath|Online" of each row of a device.
  static QStringList Rows(const QString& serial) {
    return Column(QStringLiteral("SELECT LogicalPath || '|' || PhysicalPath || '|' || Online FROM FileLocations "
                                 "WHERE DiskSerialNo = %1 ORDER BY PhysicalPath")
                      .arg(SqlQuote(serial)));
  }
};

TEST_F(LibraryOpenDevicesTest, AnOldLibraryFindsItsDiskAndMarksTheOtherOffline) {
  const QString disk = Mount(QStringLiteral("films disk"), "1A2B-3C4D");
  const QString path = gLibrariesFolder + QStringLiteral("Old.rw2");
  SqlConnection::Create(path)->Execute(QString::fromUtf8(kOldestLibrary) +
                                       QStringLiteral("INSERT INTO StorageDevices VALUES ('99999999', 'ARCHIVE', "
                                                      "'Removable drive');"
                                                      "INSERT INTO VideoFiles VALUES (9, '99999999', ':\\x\\', "
                                                      "'b.avi', NULL, 'AVI', 1, NULL, 1, 25, 0, NULL, NULL);"
                                                      "INSERT INTO VideoSegments VALUES (14, 9, 'Y', 0, 60);"));
  gLibrary->OpenLibrary(path, true);
  ASSERT_EQ(gLibrary->LibraryPath, path);
  EXPECT_EQ(Rows(QStringLiteral("1A2B3C4D")), QStringList{disk + QStringLiteral("|:\\|1")});
  EXPECT_EQ(Column(QStringLiteral("SELECT CurrentPath FROM VideoFiles WHERE DiskSerialNo = '1A2B3C4D' ORDER BY 1")),
            (QStringList{disk + QStringLiteral("Films/"), disk + QStringLiteral("Films/Old/")}));
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoSegments WHERE Online = 1")), 4)
      << "every segment of the disk's two files";
  EXPECT_EQ(Column(QStringLiteral("SELECT CurrentPath FROM VideoFiles WHERE DiskSerialNo = '99999999'")),
            QStringList{QStringLiteral("[Offline] ARCHIVE:\\x\\")});
  EXPECT_EQ(Rows(QStringLiteral("99999999")).join(u' ').endsWith(QStringLiteral("|0")), true);
  EXPECT_EQ(boxes.Count(), 0);
}


}  // namespace
