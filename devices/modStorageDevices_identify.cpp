// Storage-device identification: a mount turned into a StorageDevice.
#include "devices/DeviceSerial.h"
#include "devices/cNetShareGetInfo.h"
#include "devices/modStorageDevices.h"
#include "platform/MountProbe.h"
#include "platform/MountTable.h"

#include <QFileInfo>

namespace modStorageDevices {

namespace {

const QString kStatusOK = QStringLiteral("OK");
const QString kNoDrive = QStringLiteral("Drive does not exist");

QString WithTrailingSlash(const QString& path) {
  return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString NoSerialStatus() {
  return QStringLiteral(
      "The device you are attempting to scan has no Serial No \r\nor other means of uniquely identifying it\r\n\r\n"
      "Scan aborted.");
}

QString DriveTypeTextOf(MountKind kind) {
  switch (kind) {
    case MountKind::Removable:
      return QString::fromLatin1(DriveType::kRemovable);
    case MountKind::Fixed:
      return QString::fromLatin1(DriveType::kFixed);
    case MountKind::Network:
      return QString::fromLatin1(DriveType::kNetwork);
    case MountKind::Optical:
      return QString::fromLatin1(DriveType::kOptical);
    case MountKind::RamDisk:
      return QString::fromLatin1(DriveType::kRamDisk);
    case MountKind::Unknown:
      break;
  }
  return QStringLiteral("Unknown Drive Type");
}

// A network mount is known from the mount table alone: nothing on it is
// opened, so no identifier file is read or written.
StorageDevice NetworkDevice(const MountEntry& mount, const DeviceSerial::RemoteMount& remote) {
  StorageDevice device;
  device.DiskSerialNo = DeviceSerial::Hex(remote.serial);
  device.DiskLabel = remote.share;
  device.DiskType = DriveTypeTextOf(MountKind::Network);
  device.LogicalPath = WithTrailingSlash(mount.mountPoint);
  device.PhysicalPath = remote.folder.isEmpty() ? QStringLiteral(":\\") : QStringLiteral(":\\%1\\").arg(remote.folder);
  device.Status = kStatusOK;
  return device;
}

// Where the filesystem of `mount` is mounted at its own root, for its
// identifier file; empty when it is not.
QString FilesystemRootOf(const MountEntry& mount) {
  if (mount.root == QLatin1String("/")) return WithTrailingSlash(mount.mountPoint);
  for (const MountEntry& other : MountTable::Drives()) {
    if (other.major == mount.major && other.minor == mount.minor && other.root == QLatin1String("/")) {
      return WithTrailingSlash(other.mountPoint);
    }
  }
  return {};
}

// The serial and label of a mounted filesystem, read once.
VolumeDetails VolumeDetailsOf(const MountEntry& mount) {
  VolumeDetails details;
  details.RootPath = WithTrailingSlash(mount.mountPoint);
  if (const auto remote = DeviceSerial::RemoteOf(mount)) {
    details.SerialHex = DeviceSerial::Hex(remote->serial);
    details.Label = remote->share;
    return details;
  }
  if (const auto serial = DeviceSerial::FromUuid(mount.fsType, MountTable::UuidOf(mount))) {
    details.SerialHex = DeviceSerial::Hex(*serial);
  }
  details.Label = MountTable::LabelOf(mount).trimmed();
  if (details.Label.isEmpty()) details.Label = QStringLiteral("(no label)");
  return details;
}

}  // namespace

StorageDevice ScanStorageDevice(const QString& path, bool& allowIdentifierFile) {
  StorageDevice device;
  const auto mount = MountTable::MountAt(path);
  if (!mount) {
    device.DiskType = kNoDrive;
    device.Status = NoSerialStatus();
    return device;
  }
  if (const auto remote = DeviceSerial::RemoteOf(*mount)) return NetworkDevice(*mount, *remote);
  device.DiskType = DriveTypeTextOf(MountTable::KindOf(*mount));
  const QString subst = cNetShareGetInfo::FolderMapping(*mount);
  device.PhysicalPath = subst.isEmpty() ? QStringLiteral(":\\") : subst + QLatin1Char('\\');
  const VolumeDetails details = VolumeDetailsOf(*mount);
  device.LogicalPath = WithTrailingSlash(mount->mountPoint);
  device.DiskSerialNo = details.SerialHex;
  device.DiskLabel = details.Label;
  device.Status = kStatusOK;
  if (device.DiskSerialNo.isEmpty() || device.DiskSerialNo == QLatin1String("0")) {
    StorageDevice root;
    root.DiskLabel = device.DiskLabel;
    root.DiskType = device.DiskType;
    root.LogicalPath = FilesystemRootOf(*mount);
    root.PhysicalPath = QStringLiteral(":\\");
    // A root that does not answer (a server gone away) is not opened.
    const bool readable = !root.LogicalPath.isEmpty() && MountProbe::RootAnswers(root.LogicalPath);
    device.DiskSerialNo = readable ? ReadDeviceIdentifier(root, allowIdentifierFile) : QString();
  }
  if (device.DiskSerialNo.isEmpty()) device.Status = NoSerialStatus();
  return device;
}

StorageDevice GetShareDetails(const QString& path) {
  cNetShareGetInfo share;
  share.GetInfo(path);
  if (share.nLastError() != 0) {
    StorageDevice device;
    device.Status = QStringLiteral("%1 - %2").arg(share.nLastError()).arg(share.strLastError());
    return device;
  }
  // The share is mounted here: it is the device of its mount, as a scan of
  // the mount point finds it (nothing on a network mount is opened).
  bool allowIdentifierFile = false;
  return ScanStorageDevice(share.strPath(), allowIdentifierFile);
}

QString NormaliseShareName(QString& prefix) {
  const QString given = prefix;
  prefix = prefix.toUpper();
  for (const MountEntry& mount : MountTable::Drives()) {
    const auto remote = DeviceSerial::RemoteOf(mount);
    if (!remote || !(mount.fsType == QLatin1String("cifs") || mount.fsType == QLatin1String("smb3"))) continue;
    const QString candidate = QStringLiteral("\\\\%1\\%2\\").arg(remote->server, remote->share);
    if (candidate.toUpper() == prefix) return candidate;
  }
  return given;
}

QString GetConnectionRemoteName(const QString& path) {
  if (const auto mount = MountTable::MountAt(path)) {
    if (const auto remote = DeviceSerial::RemoteOf(*mount)) {
      return QStringLiteral("\\\\%1\\%2").arg(remote->server, remote->share);
    }
  }
  QString stripped = path;
  while (stripped.size() > 1 && stripped.endsWith(QLatin1Char('/'))) stripped.chop(1);
  return stripped;
}

QString GetDriveTypeText(const QString& root) {
  const auto mount = MountTable::MountAt(root);
  return mount ? DriveTypeTextOf(MountTable::KindOf(*mount)) : kNoDrive;
}

VolumeDetails GetVolumeDetails(const QString& root) {
  const auto mount = MountTable::MountAt(root);
  return mount ? VolumeDetailsOf(*mount) : VolumeDetails{};
}

QString MountRootOf(const QString& path) {
  const auto mount = MountTable::MountHolding(path);
  return mount ? WithTrailingSlash(mount->mountPoint) : QString();
}

}  // namespace modStorageDevices
