#include "import/devices/cNetShareGetInfo.h"

#include "platform/MountTable.h"

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
  // No server answers share queries here.
  Fail(kNetNameNotFound, QStringLiteral("NetShareGetInfo: NERR_NetNameNotFound"));
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
