#include "devices/cNetShareGetInfo.h"

#include "devices/DeviceSerial.h"

#include <QStringList>

namespace {

constexpr int32_t kInvalidName = 123;
constexpr int32_t kNetNameNotFound = 2310;
constexpr int32_t kSpecialShare = INT32_MIN;

}  // namespace

QString cNetShareGetInfo::strType() const {
  switch (type_) {
    case 0:
      return QStringLiteral("Disk Drive");
    case 1:
      return QStringLiteral("Print Queue");
    case 2:
      return QStringLiteral("Communication device");
    case 3:
      return QStringLiteral("Interprocess communication (IPC)");
    case kSpecialShare:
      return QStringLiteral("Special share");
    default:
      return QStringLiteral("Error: Unknown");
  }
}

void cNetShareGetInfo::Initialize() { *this = cNetShareGetInfo(); }

void cNetShareGetInfo::Fail(int32_t number, const QString& text) {
  status_ = number;
  lastErrorNumber_ = number;
  lastError_ = text;
}

void cNetShareGetInfo::GetInfo(const QString& uncPath) {
  Initialize();
  QString rest = uncPath;
  while (!rest.isEmpty() && rest[0].isSpace()) rest.remove(0, 1);
  if (rest.startsWith(QLatin1String("\\\\"))) {
    const qsizetype slash = rest.indexOf(QLatin1Char('\\'), 2);
    if (slash < 0) {
      Fail(kInvalidName, QStringLiteral("Need share name not server name."));
      return;
    }
    server_ = rest.left(slash);
    rest = rest.mid(slash);
  }
  if (rest.startsWith(QLatin1Char('\\'))) rest.remove(0, 1);
  rest = rest.section(QLatin1Char('\\'), 0, 0);
  if (rest.contains(QLatin1Char(':')) || rest.startsWith(QLatin1Char('/'))) {
    Fail(kInvalidName, QStringLiteral("Drive letter specified for share name."));
    return;
  }
  const auto mounted = MountedShare(uncPath);
  if (!mounted) {
    Fail(kNetNameNotFound, QStringLiteral("NetShareGetInfo: NERR_NetNameNotFound"));
    return;
  }
  netName_ = DeviceSerial::RemoteOf(mounted->mount)->share;
  path_ = mounted->mount.mountPoint;
  type_ = 0;
}

std::optional<cNetShareGetInfo::MountedFolder> cNetShareGetInfo::MountedShare(const QString& uncPath) {
  QString text = uncPath.trimmed();
  text.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (!text.startsWith(QLatin1String("//"))) return std::nullopt;
  const QStringList parts = text.mid(2).split(QLatin1Char('/'), Qt::SkipEmptyParts);
  if (parts.size() < 2) return std::nullopt;
  const QStringList folders = parts.mid(2);
  std::optional<MountedFolder> found;
  qsizetype deepest = -1;
  for (const MountEntry& mount : MountTable::Drives()) {
    if (mount.fsType != QLatin1String("cifs") && mount.fsType != QLatin1String("smb3")) continue;
    const auto remote = DeviceSerial::RemoteOf(mount);
    if (!remote || remote->server.compare(parts[0], Qt::CaseInsensitive) != 0 ||
        remote->share.compare(parts[1], Qt::CaseInsensitive) != 0) {
      continue;
    }
    // The folder of the share this mount starts at must lead to the one asked for.
    const QStringList from = remote->folder.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (from.size() > folders.size() || from.size() <= deepest) continue;
    bool leads = true;
    for (qsizetype i = 0; i < from.size() && leads; ++i) leads = from[i].compare(folders[i], Qt::CaseInsensitive) == 0;
    if (!leads) continue;
    deepest = from.size();
    QString local = mount.mountPoint == QLatin1String("/") ? QString() : mount.mountPoint;
    for (const QString& folder : folders.mid(from.size())) local += QLatin1Char('/') + folder;
    found = MountedFolder{mount, local.endsWith(QLatin1Char('/')) ? local : local + QLatin1Char('/')};
  }
  return found;
}

QString cNetShareGetInfo::GetNtDeviceNameForDrive(const QString& drive) {
  const auto mount = MountTable::MountAt(drive);
  return mount ? mount->source : QString();
}

QString cNetShareGetInfo::SUBST_Mapping(const QString& drive) {
  const auto mount = MountTable::MountAt(drive);
  return mount ? FolderMapping(*mount) : QString();
}

QString cNetShareGetInfo::FolderMapping(const MountEntry& mount) {
  if (mount.root == QLatin1String("/") || MountTable::IsNetworkFilesystem(mount.fsType)) return {};
  QString folder = mount.root;
  folder.replace(QLatin1Char('/'), QLatin1Char('\\'));
  while (folder.endsWith(QLatin1Char('\\'))) folder.chop(1);
  return QLatin1Char(':') + folder;
}
