// Storage devices identified from a mount table of the test's own: serial,
// label and type of each kind of filesystem, folder mounts, network mounts,
// and the identifier file of a device without serial number.
#include "devices/DeviceSerial.h"
#include "devices/cNetShareGetInfo.h"
#include "devices/modStorageDevices.h"
#include "platform/SqlRecordset.h"
#include "tests/devices/DeviceFixture.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using rwtest::FakeDisk;

QString ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

class StorageDeviceTest : public rwtest::DeviceTest {
 protected:
  // A disk mounted at a folder of the test; its root (with "/").
  QString MountDisk(const QString& name, const QString& fsType, const FakeDisk& disk, const QString& root = "/") {
    const QString point = System().MountPoint(name);
    System().MountDisk(point, fsType, disk, root);
    System().Write();
    return point + QLatin1Char('/');
  }
  static StorageDevice Scan(const QString& root, bool allowWrite = false) {
    return modStorageDevices::ScanStorageDevice(root, allowWrite);
  }
  static FakeDisk Disk(const char* uuid, const char* label = "", unsigned minor = 17) {
    return {.device = QStringLiteral("/dev/sd%1").arg(minor), .uuid = QLatin1String(uuid),
            .label = QString::fromUtf8(label), .minor = minor};
  }
  int DeviceRows(const QString& serial) {
    return Count(QStringLiteral("SELECT count(*) FROM FileLocations WHERE DiskSerialNo = '%1'").arg(serial));
  }
};

TEST(DeviceSerialTest, EachFilesystemsUuidGivesItsSerial) {
  using DeviceSerial::FromUuid;
  EXPECT_EQ(FromUuid(QStringLiteral("vfat"), QStringLiteral("1A2B-3C4D")), 0x1A2B3C4Du);
  EXPECT_EQ(DeviceSerial::Hex(*FromUuid(QStringLiteral("exfat"), QStringLiteral("0A2B-3C4D"))), QStringLiteral("A2B3C4D"));
  EXPECT_EQ(FromUuid(QStringLiteral("ntfs3"), QStringLiteral("0123456789ABCDEF")), 0x89ABCDEFu);
  EXPECT_EQ(FromUuid(QStringLiteral("ext4"), QStringLiteral("4f1c2d3e-aaaa-bbbb-cccc-0123456789ab")), 0x4F1C2D3Eu);
  EXPECT_EQ(FromUuid(QStringLiteral("vfat"), QStringLiteral("0000-0000")), 0u);
  const QString iso = QStringLiteral("2019-05-01-12-00-00-00");
  EXPECT_EQ(FromUuid(QStringLiteral("iso9660"), iso), DeviceSerial::Hash(iso));
  EXPECT_NE(DeviceSerial::Hash(iso), 0u);
  EXPECT_FALSE(FromUuid(QStringLiteral("tmpfs"), QString()));
  EXPECT_EQ(DeviceSerial::Hex(0), QStringLiteral("0"));
}

TEST_F(StorageDeviceTest, SerialLabelAndTypeOfEachKindOfDisk) {
  const QString stick = MountDisk(QStringLiteral("USB stick"), QStringLiteral("vfat"),
                                  {.device = QStringLiteral("/dev/sdb1"), .uuid = QStringLiteral("0A2B-3C4D"),
                                   .removable = true, .major = 8, .minor = 17});
  StorageDevice device = Scan(stick);
  EXPECT_EQ(device.DiskSerialNo, QStringLiteral("A2B3C4D"));
  EXPECT_EQ(device.DiskLabel, QStringLiteral("(no label)"));
  EXPECT_EQ(device.DiskType, QStringLiteral("Removable drive"));
  EXPECT_EQ(device.LogicalPath, stick);
  EXPECT_EQ(device.PhysicalPath, QStringLiteral(":\\"));
  EXPECT_EQ(device.Status, QStringLiteral("OK"));

  device = Scan(MountDisk(QStringLiteral("win"), QStringLiteral("ntfs3"), Disk("0123456789ABCDEF", "Système", 33)));
  EXPECT_EQ(device.DiskSerialNo, QStringLiteral("89ABCDEF"));
  EXPECT_EQ(device.DiskLabel, QStringLiteral("Système"));
  EXPECT_EQ(device.DiskType, QStringLiteral("Fixed Disk"));

  device = Scan(MountDisk(QStringLiteral("data"), QStringLiteral("ext4"),
                          Disk("4f1c2d3e-aaaa-bbbb-cccc-0123456789ab", "data", 49)));
  EXPECT_EQ(device.DiskSerialNo, QStringLiteral("4F1C2D3E"));

  FakeDisk disc = Disk("2019-05-01-12-00-00-00", "HOLIDAY", 0);
  disc.device = QStringLiteral("/dev/sr0");
  disc.major = 11;
  disc.optical = true;
  device = Scan(MountDisk(QStringLiteral("dvd"), QStringLiteral("iso9660"), disc));
  EXPECT_EQ(device.DiskSerialNo, DeviceSerial::Hex(DeviceSerial::Hash(QStringLiteral("2019-05-01-12-00-00-00"))));
  EXPECT_EQ(device.DiskType, QStringLiteral("Optical drive (CD or DVD)"));

  EXPECT_EQ(modStorageDevices::GetDriveTypeText(System().MountPoint(QStringLiteral("nothing"))),
            QStringLiteral("Drive does not exist"));
  EXPECT_EQ(boxes.Count(), 0);
}

// Without a serial number (FAT's 0000-0000, a RAM disk) the identifier file is
// the only identity; the rebuild never writes one, so it ends unasked.
TEST_F(StorageDeviceTest, NoSerialNumberGoesTheIdentifierFileWay) {
  const QString zero = MountDisk(QStringLiteral("zero"), QStringLiteral("vfat"), Disk("0000-0000"));
  const QString ram = System().MountPoint(QStringLiteral("ram"));
  System().Mount(ram, QStringLiteral("tmpfs"), QStringLiteral("tmpfs"), QStringLiteral("/"), 0, 61);
  System().Write();
  for (const QString& root : {zero, ram + QLatin1Char('/')}) {
    const StorageDevice device = Scan(root);
    EXPECT_TRUE(device.DiskSerialNo.isEmpty()) << root.toStdString();
    EXPECT_TRUE(device.Status.endsWith(QStringLiteral("Scan aborted."))) << device.Status.toStdString();
  }
  EXPECT_EQ(modStorageDevices::GetDriveTypeText(ram), QStringLiteral("RAM Disk"));
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_FALSE(QFile::exists(zero + QStringLiteral("Reelwise_II_Identifier")));
}

TEST_F(StorageDeviceTest, IdentifierWrittenOnYesIsReadUnderAnotherMountPoint) {
  const QString card = MountDisk(QStringLiteral("card"), QStringLiteral("vfat"), Disk("0000-0000", "CARD"));
  boxes.Answer(vbYes);
  const StorageDevice device = Scan(card, true);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Problem with drive ") + card);
  EXPECT_EQ(boxes.Last().style, vbYesNo | vbExclamation);
  const QString line = ReadAll(card + QStringLiteral("Reelwise_II_Identifier"));
  ASSERT_EQ(line.size(), 21);
  EXPECT_TRUE(line.startsWith(QStringLiteral("RW2")));
  EXPECT_TRUE(line.endsWith(QStringLiteral("\r\n")));
  EXPECT_EQ(device.DiskSerialNo, line.left(19));
  EXPECT_EQ(device.Status, QStringLiteral("OK"));
  EXPECT_EQ(DeviceRows(device.DiskSerialNo), 1) << "the device is entered in the table";
  EXPECT_EQ(QDir(card).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary file is left";

  // The same card in another slot: the identifier is read, nothing asked.
  System().Unmount(System().MountPoint(QStringLiteral("card")));
  const QString again = MountDisk(QStringLiteral("card again"), QStringLiteral("vfat"), Disk("0000-0000", "CARD"));
  QFile::copy(card + QStringLiteral("Reelwise_II_Identifier"), again + QStringLiteral("Reelwise_II_Identifier"));
  EXPECT_EQ(Scan(again, true).DiskSerialNo, device.DiskSerialNo);
  EXPECT_EQ(boxes.Count(), 1);
}

TEST_F(StorageDeviceTest, NoOrAFailedWriteLeavesTheDeviceUnidentified) {
  const QString card = MountDisk(QStringLiteral("card"), QStringLiteral("vfat"), Disk("0000-0000"));
  boxes.Answer(vbNo);
  EXPECT_TRUE(Scan(card, true).Status.endsWith(QStringLiteral("Scan aborted.")));
  EXPECT_FALSE(QFile::exists(card + QStringLiteral("Reelwise_II_Identifier")));

  // A folder of the file's name refuses the file whoever runs the program.
  ASSERT_TRUE(QDir(card).mkdir(QStringLiteral("Reelwise_II_Identifier")));
  boxes.Answer(vbYes).Answer(vbOK);
  const StorageDevice device = Scan(card, true);
  ASSERT_EQ(boxes.Count(), 3);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Failed"));
  EXPECT_EQ(boxes.Last().style, vbExclamation);
  EXPECT_TRUE(boxes.Last().prompt.startsWith(QStringLiteral("Failed to mark the Storage Device mapped to ") + card));
  EXPECT_TRUE(device.DiskSerialNo.isEmpty());
  EXPECT_EQ(QDir(card).entryList(QDir::Files | QDir::Hidden).size(), 0) << "no partial file";
}

// A mount of a folder of a filesystem is the filesystem's device reached at
// that folder.
TEST_F(StorageDeviceTest, AFolderMountIsItsFilesystemAtThatFolder) {
  const FakeDisk disk = Disk("1A2B-3C4D", "FILMS");
  MountDisk(QStringLiteral("whole"), QStringLiteral("vfat"), disk);
  const QString videos = MountDisk(QStringLiteral("videos"), QStringLiteral("vfat"), disk, QStringLiteral("/My Videos/2009"));
  const StorageDevice device = Scan(videos);
  EXPECT_EQ(device.DiskSerialNo, QStringLiteral("1A2B3C4D"));
  EXPECT_EQ(device.PhysicalPath, QStringLiteral(":\\My Videos\\2009\\"));
  EXPECT_EQ(device.LogicalPath, videos);
  EXPECT_EQ(cNetShareGetInfo().SUBST_Mapping(videos), QStringLiteral(":\\My Videos\\2009"));
  EXPECT_TRUE(cNetShareGetInfo().SUBST_Mapping(System().MountPoint(QStringLiteral("whole"))).isEmpty());
}

TEST_F(StorageDeviceTest, NetworkMountsAreKnownFromTheMountTableAlone) {
  const QString nas = System().MountPoint(QStringLiteral("nas"));
  const QString films = System().MountPoint(QStringLiteral("films"));
  System().Mount(nas, QStringLiteral("nfs4"), QStringLiteral("nas.local:/export/films"));
  System().Mount(films, QStringLiteral("cifs"), QStringLiteral("//server/Films/new"));
  System().Write();
  StorageDevice device = Scan(nas + QLatin1Char('/'), true);
  EXPECT_EQ(device.DiskSerialNo, DeviceSerial::Hex(DeviceSerial::Hash(QStringLiteral("NAS.LOCAL"))));
  EXPECT_EQ(device.DiskLabel, QStringLiteral("films"));
  EXPECT_EQ(device.PhysicalPath, QStringLiteral(":\\export\\films\\"));
  EXPECT_EQ(device.DiskType, QStringLiteral("Remote (network) drive"));
  device = Scan(films, true);
  EXPECT_EQ(device.DiskSerialNo, DeviceSerial::Hex(DeviceSerial::Hash(QStringLiteral("\\\\SERVER\\Films"))));
  EXPECT_EQ(device.DiskLabel, QStringLiteral("Films"));
  EXPECT_EQ(device.PhysicalPath, QStringLiteral(":\\new\\"));
  EXPECT_EQ(device.LogicalPath, films + QLatin1Char('/'));
  EXPECT_EQ(modStorageDevices::GetConnectionRemoteName(films), QStringLiteral("\\\\SERVER\\Films"));
  QString prefix = QStringLiteral("\\\\server\\FILMS\\");
  EXPECT_EQ(modStorageDevices::NormaliseShareName(prefix), QStringLiteral("\\\\SERVER\\Films\\"));
  EXPECT_EQ(prefix, QStringLiteral("\\\\SERVER\\FILMS\\"));
  EXPECT_TRUE(QDir(nas).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty())
      << "nothing on a network mount is touched";
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(StorageDeviceTest, ShareQueriesFailWithTheirOwnNumbersAndTexts) {
  cNetShareGetInfo share;
  share.GetInfo(QStringLiteral("\\\\server"));
  EXPECT_EQ(share.nLastError(), 123);
  EXPECT_EQ(share.strLastError(), QStringLiteral("Need share name not server name."));
  share.GetInfo(QStringLiteral("C:\\"));
  EXPECT_EQ(share.strLastError(), QStringLiteral("Drive letter specified for share name."));
  const StorageDevice device = modStorageDevices::GetShareDetails(QStringLiteral("\\\\srv\\films\\new"));
  EXPECT_EQ(device.Status, QStringLiteral("2310 - NetShareGetInfo: NERR_NetNameNotFound"));
  EXPECT_TRUE(device.DiskSerialNo.isEmpty());
}

// The mount table answers for a share: a CIFS/SMB mount of "//server/share"
// (or of a folder of it) is that share, its mount point the local path, and
// its device the mount's; a share mounted nowhere is not found.
TEST_F(StorageDeviceTest, AMountedShareIsFoundThroughItsMountAndAnotherIsNot) {
  const QString films = System().MountPoint(QStringLiteral("films"));
  const QString archive = System().MountPoint(QStringLiteral("archive"));
  const QString exported = System().MountPoint(QStringLiteral("nfs"));
  System().Mount(films, QStringLiteral("cifs"), QStringLiteral("//server/Films"));
  System().Mount(archive, QStringLiteral("smb3"), QStringLiteral("//server/Archive/2020"));
  System().Mount(exported, QStringLiteral("nfs4"), QStringLiteral("server:/Music"));
  System().Write();

  cNetShareGetInfo share;
  share.GetInfo(QStringLiteral("\\\\SERVER\\films\\Drama"));
  EXPECT_EQ(share.nLastError(), 0);
  EXPECT_EQ(share.strNetName(), QStringLiteral("Films"));
  EXPECT_EQ(share.strPath(), films);
  EXPECT_EQ(share.strType(), QStringLiteral("Disk Drive"));

  const auto drama = cNetShareGetInfo::MountedShare(QStringLiteral("\\\\server\\FILMS\\Drama\\2019\\"));
  ASSERT_TRUE(drama);
  EXPECT_EQ(drama->localPath, films + QStringLiteral("/Drama/2019/"));
  const auto may = cNetShareGetInfo::MountedShare(QStringLiteral("//server/archive/2020/May"));
  ASSERT_TRUE(may);
  EXPECT_EQ(may->localPath, archive + QStringLiteral("/May/"));
  EXPECT_FALSE(cNetShareGetInfo::MountedShare(QStringLiteral("\\\\server\\Archive\\2019"))) << "2020 alone is mounted";
  EXPECT_FALSE(cNetShareGetInfo::MountedShare(QStringLiteral("\\\\server\\Music"))) << "an NFS export is no share";

  const StorageDevice device = modStorageDevices::GetShareDetails(QStringLiteral("\\\\server\\films\\"));
  EXPECT_EQ(device.Status, QStringLiteral("OK"));
  EXPECT_EQ(device.DiskSerialNo, DeviceSerial::Hex(DeviceSerial::Hash(QStringLiteral("\\\\SERVER\\Films"))));
  EXPECT_EQ(device.LogicalPath, films + QLatin1Char('/'));
  EXPECT_EQ(device.PhysicalPath, QStringLiteral(":\\"));
  bool allowWrite = false;
  const StorageDevice scanned = modStorageDevices::ScanStorageDevice(films, allowWrite);
  EXPECT_EQ(device.DiskSerialNo, scanned.DiskSerialNo) << "the same device as a scan of its mount point";

  share.GetInfo(QStringLiteral("\\\\other\\Films"));
  EXPECT_EQ(share.nLastError(), 2310);
  EXPECT_EQ(modStorageDevices::GetShareDetails(QStringLiteral("\\\\other\\Films\\")).Status,
            QStringLiteral("2310 - NetShareGetInfo: NERR_NetNameNotFound"));
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(StorageDeviceTest, TheMountHoldingAPathGivesItsRoot) {
  const QString stick = MountDisk(QStringLiteral("stick"), QStringLiteral("vfat"), Disk("1A2B-3C4D"));
  QDir().mkpath(stick + QStringLiteral("Films/2009"));
  EXPECT_EQ(modStorageDevices::MountRootOf(stick + QStringLiteral("Films/2009")), stick);
}

}  // namespace
