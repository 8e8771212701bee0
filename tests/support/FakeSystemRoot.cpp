#include "tests/support/FakeSystemRoot.h"

#include "platform/MountTable.h"

#include <QDir>
#include <QFile>

namespace rwtest {

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
}

// udev's escape of a link name: what is no plain character as "\xHH".
QString UdevEscaped(const QString& name) {
  QString out;
  for (const char c : name.toUtf8()) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '_' || c == '.';
    out += plain ? QString(QLatin1Char(c)) : QStringLiteral("\\x%1").arg(uint(uchar(c)), 2, 16, QLatin1Char('0'));
  }
  return out;
}

}  // namespace

QByteArray MountinfoEscaped(const QString& path) {
  QByteArray out;
  for (const char c : path.toUtf8()) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\\') {
      out += '\\' + QByteArray::number(uchar(c), 8).rightJustified(3, '0');
    } else {
      out += c;
    }
  }
  return out;
}

FakeSystemRoot::FakeSystemRoot() {
  QDir(dir_.path()).mkpath(QStringLiteral("root/proc/self"));
  MountTable::SetSystemRoot(dir_.filePath(QStringLiteral("root")));
  Write();
}

FakeSystemRoot::~FakeSystemRoot() { MountTable::SetSystemRoot(QString()); }

QString FakeSystemRoot::MountPoint(const QString& name) {
  const QString path = dir_.filePath(QStringLiteral("mnt/") + name);
  QDir().mkpath(path);
  return path;
}

void FakeSystemRoot::Mount(const QString& mountPoint, const QString& fsType, const QString& source,
                           const QString& root, unsigned major, unsigned minor) {
  QByteArray line = QByteArray::number(nextId_++) + " 1 " + QByteArray::number(major) + ':' +
                    QByteArray::number(minor) + ' ' + MountinfoEscaped(root) + ' ' + MountinfoEscaped(mountPoint) +
                    " rw,relatime shared:1 - " + fsType.toUtf8() + ' ' + MountinfoEscaped(source) + " rw";
  lines_.append(line);
}

void FakeSystemRoot::MountDisk(const QString& mountPoint, const QString& fsType, const FakeDisk& disk,
                               const QString& root) {
  AddDisk(disk);
  Mount(mountPoint, fsType, disk.device, root, disk.major, disk.minor);
}

void FakeSystemRoot::Unmount(const QString& mountPoint) {
  const QByteArray field = ' ' + MountinfoEscaped(mountPoint) + ' ';
  lines_.removeIf([&](const QByteArray& line) { return line.contains(field); });
}

void FakeSystemRoot::RawLine(const QByteArray& line) { lines_.append(line); }

void FakeSystemRoot::Write() {
  WriteFile(dir_.filePath(QStringLiteral("root/proc/self/mountinfo")), lines_.join('\n') + '\n');
}

void FakeSystemRoot::AddDisk(const FakeDisk& disk) {
  const QString root = dir_.filePath(QStringLiteral("root"));
  const QString name = QFileInfo(disk.device).fileName();
  WriteFile(root + disk.device, QByteArray());
  const auto link = [&](const char* folder, const QString& linkName) {
    const QString dir = root + QStringLiteral("/dev/disk/") + QLatin1String(folder);
    QDir().mkpath(dir);
    QFile::link(QStringLiteral("../../") + name, dir + QLatin1Char('/') + UdevEscaped(linkName));
  };
  if (!disk.uuid.isEmpty()) link("by-uuid", disk.uuid);
  if (!disk.label.isEmpty()) link("by-label", disk.label);
  // sysfs: the disk's folder holds the partition's; /sys/dev/block/M:m leads there.
  const QString diskFolder = root + QStringLiteral("/sys/devices/virtual/block/disk%1").arg(disk.minor);
  const QString partition = diskFolder + QLatin1Char('/') + name;
  WriteFile(partition + QStringLiteral("/partition"), "1\n");
  WriteFile(diskFolder + QStringLiteral("/removable"), disk.removable ? "1\n" : "0\n");
  if (disk.optical) WriteFile(diskFolder + QStringLiteral("/device/type"), "5\n");
  QDir().mkpath(root + QStringLiteral("/sys/dev/block"));
  QFile::link(partition, root + QStringLiteral("/sys/dev/block/%1:%2").arg(disk.major).arg(disk.minor));
}

}  // namespace rwtest
