#include "platform/MountTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <blkid/blkid.h>
#include <sys/stat.h>

namespace MountTable {

namespace {

QString& Root() {
  static QString root = QStringLiteral("/");
  return root;
}

// A path of the system below the system root.
QString SystemPath(const QString& absolute) {
  const QString root = Root();
  if (root == QLatin1String("/")) return absolute;
  return QDir::cleanPath(root + QLatin1Char('/') + absolute);
}

// mountinfo writes a blank, tab, newline and backslash in a field as an
// octal escape ("\040").
QByteArray DecodeOctal(const QByteArray& field) {
  QByteArray out;
  out.reserve(field.size());
  for (qsizetype i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (c == '\\' && i + 3 < field.size()) {
      const QByteArray digits = field.mid(i + 1, 3);
      bool ok = digits.size() == 3;
      for (char d : digits) ok = ok && d >= '0' && d <= '7';
      if (ok) {
        out += static_cast<char>(digits.toInt(nullptr, 8));
        i += 3;
        continue;
      }
    }
    out += c;
  }
  return out;
}

std::optional<QString> Utf8(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder(bytes);
  if (decoder.hasError()) return std::nullopt;
  return text;
}

std::optional<MountEntry> ParseLine(const QByteArray& line) {
  const QList<QByteArray> fields = line.split(' ');
  qsizetype separator = -1;
  for (qsizetype i = 6; i < fields.size(); ++i) {
    if (fields[i] == "-") {
      separator = i;
      break;
    }
  }
  if (separator < 0 || separator + 2 >= fields.size()) return std::nullopt;
  const QList<QByteArray> device = fields[2].split(':');
  if (device.size() != 2) return std::nullopt;
  const auto root = Utf8(DecodeOctal(fields[3]));
  const auto mountPoint = Utf8(DecodeOctal(fields[4]));
  const auto source = Utf8(DecodeOctal(fields[separator + 2]));
  if (!root || !mountPoint || !source || !mountPoint->startsWith(QLatin1Char('/'))) return std::nullopt;
  MountEntry entry;
  entry.major = device[0].toUInt();
  entry.minor = device[1].toUInt();
  entry.root = *root;
  entry.mountPoint = *mountPoint;
  entry.fsType = QString::fromUtf8(DecodeOctal(fields[separator + 1]));
  entry.source = *source;
  return entry;
}

bool Below(const QString& path, const QString& folder) {
  return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

QString WithoutTrailingSlash(QString path) {
  while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
  return path;
}

// udev writes characters of a name it cannot use in a link's name as "\xHH".
QString DecodeUdevName(const QString& name) {
  QByteArray bytes = QFile::encodeName(name);
  QByteArray out;
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\\' && i + 3 < bytes.size() && bytes[i + 1] == 'x') {
      bool ok = false;
      const int value = bytes.mid(i + 2, 2).toInt(&ok, 16);
      if (ok) {
        out += static_cast<char>(value);
        i += 3;
        continue;
      }
    }
    out += bytes[i];
  }
  return QString::fromUtf8(out);
}

// Where a path leads once its links are followed; the cleaned path when it
// leads nowhere.
QString Resolved(const QString& path) {
  const QString canonical = QFileInfo(path).canonicalFilePath();
  return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

// The name of the link in /dev/disk/<folder> that leads to the mount's device.
QString DiskLinkName(const MountEntry& mount, const char* folder) {
  if (!mount.source.startsWith(QLatin1String("/dev/"))) return {};
  const QString device = Resolved(SystemPath(mount.source));
  QDir links(SystemPath(QStringLiteral("/dev/disk/") + QLatin1String(folder)));
  for (const QFileInfo& link : links.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
    if (!link.isSymLink()) continue;
    const QString target = link.symLinkTarget();
    if (Resolved(target) == device) return DecodeUdevName(link.fileName());
  }
  return {};
}

// One value of the filesystem's superblock, read from the device itself; only
// a block device is read.
QString ProbedValue(const MountEntry& mount, const char* name) {
  if (!mount.source.startsWith(QLatin1String("/dev/"))) return {};
  const QByteArray device = QFile::encodeName(SystemPath(mount.source));
  struct stat info {};
  if (::stat(device.constData(), &info) != 0 || !S_ISBLK(info.st_mode)) return {};
  blkid_probe probe = blkid_new_probe_from_filename(device.constData());
  if (!probe) return {};
  QString value;
  blkid_probe_enable_superblocks(probe, 1);
  blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_UUID | BLKID_SUBLKS_LABEL);
  const char* text = nullptr;
  if (blkid_do_safeprobe(probe) == 0 && blkid_probe_lookup_value(probe, name, &text, nullptr) == 0 && text) {
    value = QString::fromUtf8(text);
  }
  blkid_free_probe(probe);
  return value;
}

QString ReadSmallFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromLatin1(file.read(64)).trimmed();
}

// The sysfs folder of the disk that holds the mount's device (a partition's
// disk), or empty.
QString SysfsDisk(const MountEntry& mount) {
  QString folder;
  if (mount.major != 0) {
    folder = Resolved(SystemPath(QStringLiteral("/sys/dev/block/%1:%2").arg(mount.major).arg(mount.minor)));
  }
  if ((folder.isEmpty() || !QFileInfo(folder).isDir()) && mount.source.startsWith(QLatin1String("/dev/"))) {
    const QString name = QFileInfo(Resolved(SystemPath(mount.source))).fileName();
    folder = Resolved(SystemPath(QStringLiteral("/sys/class/block/") + name));
  }
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) return {};
  if (QFileInfo::exists(folder + QStringLiteral("/partition"))) folder = QFileInfo(folder).path();
  return folder;
}

}  // namespace

void SetSystemRoot(const QString& folder) { Root() = folder.isEmpty() ? QStringLiteral("/") : folder; }

QString SystemRoot() { return Root(); }

std::vector<MountEntry> Parse(const QByteArray& mountinfo) {
  std::vector<MountEntry> mounts;
  for (const QByteArray& line : mountinfo.split('\n')) {
    if (line.trimmed().isEmpty()) continue;
    if (auto entry = ParseLine(line)) mounts.push_back(std::move(*entry));
  }
  return mounts;
}

std::vector<MountEntry> Read() {
  QFile file(SystemPath(QStringLiteral("/proc/self/mountinfo")));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return Parse(file.readAll());
}

bool IsPseudoFilesystem(const QString& fsType) {
  static const QStringList pseudo = {
      QStringLiteral("proc"),       QStringLiteral("sysfs"),          QStringLiteral("devtmpfs"),
      QStringLiteral("devpts"),     QStringLiteral("cgroup"),         QStringLiteral("cgroup2"),
      QStringLiteral("securityfs"), QStringLiteral("pstore"),         QStringLiteral("bpf"),
      QStringLiteral("debugfs"),    QStringLiteral("tracefs"),        QStringLiteral("configfs"),
      QStringLiteral("fusectl"),    QStringLiteral("mqueue"),         QStringLiteral("hugetlbfs"),
      QStringLiteral("autofs"),     QStringLiteral("binfmt_misc"),    QStringLiteral("efivarfs"),
      QStringLiteral("rpc_pipefs"), QStringLiteral("nsfs"),           QStringLiteral("selinuxfs"),
      QStringLiteral("nfsd"),       QStringLiteral("fuse.gvfsd-fuse"), QStringLiteral("fuse.portal")};
  return pseudo.contains(fsType);
}

bool IsNetworkFilesystem(const QString& fsType) {
  static const QStringList network = {QStringLiteral("cifs"), QStringLiteral("smb3"), QStringLiteral("nfs"),
                                      QStringLiteral("nfs4"), QStringLiteral("fuse.sshfs")};
  return network.contains(fsType);
}

std::vector<MountEntry> Drives() {
  std::vector<MountEntry> drives;
  for (MountEntry& mount : Read()) {
    if (IsPseudoFilesystem(mount.fsType)) continue;
    if (Below(mount.mountPoint, QStringLiteral("/proc")) || Below(mount.mountPoint, QStringLiteral("/sys")) ||
        Below(mount.mountPoint, QStringLiteral("/dev"))) {
      continue;
    }
    drives.push_back(std::move(mount));
  }
  return drives;
}

std::optional<MountEntry> MountAt(const QString& mountPoint) {
  const QString wanted = WithoutTrailingSlash(mountPoint);
  std::optional<MountEntry> found;
  for (MountEntry& mount : Read()) {
    if (mount.mountPoint == wanted) found = std::move(mount);
  }
  return found;
}

std::optional<MountEntry> MountHolding(const QString& path) {
  const QString canonical = WithoutTrailingSlash(Resolved(QFileInfo(path).absoluteFilePath()));
  std::optional<MountEntry> found;
  for (MountEntry& mount : Read()) {
    if (!Below(canonical, mount.mountPoint) && mount.mountPoint != QLatin1String("/")) continue;
    if (!found || mount.mountPoint.size() >= found->mountPoint.size()) found = std::move(mount);
  }
  return found;
}

MountKind KindOf(const MountEntry& mount) {
  if (IsNetworkFilesystem(mount.fsType)) return MountKind::Network;
  if (mount.fsType == QLatin1String("tmpfs") || mount.fsType == QLatin1String("ramfs")) return MountKind::RamDisk;
  const QString disk = SysfsDisk(mount);
  if (!disk.isEmpty()) {
    if (ReadSmallFile(disk + QStringLiteral("/device/type")) == QLatin1String("5")) return MountKind::Optical;
    if (ReadSmallFile(disk + QStringLiteral("/removable")) == QLatin1String("1")) return MountKind::Removable;
    return MountKind::Fixed;
  }
  // Filesystems on disks that the kernel lists without a device number.
  static const QStringList local = {QStringLiteral("overlay"), QStringLiteral("btrfs"), QStringLiteral("zfs"),
                                    QStringLiteral("xfs"),     QStringLiteral("ext4"),  QStringLiteral("ext3"),
                                    QStringLiteral("ext2"),    QStringLiteral("f2fs"),  QStringLiteral("vfat"),
                                    QStringLiteral("exfat"),   QStringLiteral("ntfs"),  QStringLiteral("ntfs3"),
                                    QStringLiteral("fuseblk")};
  if (mount.source.startsWith(QLatin1String("/dev/")) || local.contains(mount.fsType)) return MountKind::Fixed;
  return MountKind::Unknown;
}

QString UuidOf(const MountEntry& mount) {
  const QString linked = DiskLinkName(mount, "by-uuid");
  return linked.isEmpty() ? ProbedValue(mount, "UUID") : linked;
}

QString LabelOf(const MountEntry& mount) {
  const QString linked = DiskLinkName(mount, "by-label");
  return linked.isEmpty() ? ProbedValue(mount, "LABEL") : linked;
}

}  // namespace MountTable
