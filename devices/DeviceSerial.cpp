#include "devices/DeviceSerial.h"

#include "platform/MountTable.h"

#include <QRegularExpression>
#include <QStringList>

namespace DeviceSerial {

namespace {

std::optional<uint32_t> HexValue(const QString& digits) {
  bool ok = false;
  const uint32_t value = digits.toUInt(&ok, 16);
  if (!ok || digits.isEmpty() || digits.size() > 8) return std::nullopt;
  return value;
}

QString FolderOf(QString path) {
  path.replace(QLatin1Char('/'), QLatin1Char('\\'));
  while (path.startsWith(QLatin1Char('\\'))) path.remove(0, 1);
  while (path.endsWith(QLatin1Char('\\'))) path.chop(1);
  return path;
}

// "//server/share/folder" (backslashes too).
std::optional<RemoteMount> CifsRemote(const QString& source) {
  QString text = source;
  text.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (!text.startsWith(QLatin1String("//"))) return std::nullopt;
  const QStringList parts = text.mid(2).split(QLatin1Char('/'), Qt::SkipEmptyParts);
  if (parts.size() < 2) return std::nullopt;
  RemoteMount remote;
  remote.server = parts[0].toUpper();
  remote.share = parts[1];
  remote.folder = FolderOf(parts.mid(2).join(QLatin1Char('/')));
  remote.serial = Hash(QStringLiteral("\\\\%1\\%2").arg(remote.server, remote.share));
  return remote;
}

// "server:/export/films", "[fe80::1]:/x", "user@host:films".
std::optional<RemoteMount> HostPathRemote(const QString& source) {
  static const QRegularExpression form(QStringLiteral(R"(^(?:[^@/]+@)?(\[[^\]]+\]|[^:/]+):(.*)$)"));
  const QRegularExpressionMatch match = form.match(source);
  if (!match.hasMatch()) return std::nullopt;
  RemoteMount remote;
  remote.server = match.captured(1).toUpper();
  remote.folder = FolderOf(match.captured(2));
  remote.share = remote.folder.isEmpty() ? remote.server : remote.folder.section(QLatin1Char('\\'), -1);
  remote.serial = Hash(remote.server);
  return remote;
}

}  // namespace

uint32_t Hash(const QString& text) {
  uint32_t hash = 2166136261u;
  for (const char c : text.toUtf8()) {
    hash ^= static_cast<uint8_t>(c);
    hash *= 16777619u;
  }
  return hash == 0 ? 1 : hash;
}

QString Hex(uint32_t serial) { return QString::number(serial, 16).toUpper(); }

std::optional<uint32_t> FromUuid(const QString& fsType, const QString& uuid) {
  if (uuid.isEmpty()) return std::nullopt;
  QString digits = uuid;
  digits.remove(QLatin1Char('-'));
  static const QStringList fat = {QStringLiteral("vfat"), QStringLiteral("msdos"), QStringLiteral("exfat"),
                                  QStringLiteral("fuseblk")};
  static const QStringList ntfs = {QStringLiteral("ntfs"), QStringLiteral("ntfs3"), QStringLiteral("fuseblk")};
  static const QStringList leading = {QStringLiteral("ext2"), QStringLiteral("ext3"), QStringLiteral("ext4"),
                                      QStringLiteral("btrfs"), QStringLiteral("xfs")};
  if (fat.contains(fsType) && uuid.size() == 9 && uuid[4] == QLatin1Char('-')) return HexValue(digits);
  if (ntfs.contains(fsType) && digits.size() == 16) return HexValue(digits.right(8));
  if (leading.contains(fsType) && digits.size() == 32) return HexValue(digits.left(8));
  return Hash(uuid);
}

std::optional<RemoteMount> RemoteOf(const MountEntry& mount) {
  if (!MountTable::IsNetworkFilesystem(mount.fsType)) return std::nullopt;
  if (mount.fsType == QLatin1String("cifs") || mount.fsType == QLatin1String("smb3")) return CifsRemote(mount.source);
  return HostPathRemote(mount.source);
}

}  // namespace DeviceSerial
