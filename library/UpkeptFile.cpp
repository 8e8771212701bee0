#include "library/UpkeptFile.h"

#include "core/modRegistry.h"
#include "library/LibraryFile.h"
#include "library/LibraryUpgrade.h"
#include "platform/HangGuard.h"

#include <QFile>
#include <QStringList>

#include <sys/stat.h>

namespace {

const QString kValueName = QStringLiteral("UpkeptLibrary");

// The record: the program's version, the stamp's numbers, the steps left and
// the path last, so a path holding the separator still reads back whole.
QString StampFields(const LibraryFileStamp& stamp) {
  QStringList fields = {QStringLiteral("%1.%2.%3").arg(kProgramMajor).arg(kProgramMinor).arg(kProgramRevision)};
  for (int64_t n : {stamp.changeCounter, stamp.schemaCookie, stamp.size, stamp.modifiedNs, stamp.inode, stamp.device}) {
    fields << QString::number(n);
  }
  return fields.join(QLatin1Char('|')) + QLatin1Char('|');
}

uint32_t BigEndian32(const unsigned char* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

// Read as SQLite reads the file: on a disk that may stop answering, within
// the mount probe's limit (HangGuard::OnFile).
LibraryFileStamp ReadStamp(const QString& path) {
  LibraryFileStamp stamp;
  for (const char* beside : {"-journal", "-wal"}) {
    if (QFile::exists(path + QLatin1String(beside))) return stamp;
  }
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) return stamp;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return stamp;
  const QByteArray header = file.read(100);
  if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0"))) return stamp;
  const auto* bytes = reinterpret_cast<const unsigned char*>(header.constData());
  stamp.changeCounter = BigEndian32(bytes + 24);
  stamp.schemaCookie = BigEndian32(bytes + 40);
  stamp.size = info.st_size;
  stamp.modifiedNs = int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  stamp.inode = static_cast<int64_t>(info.st_ino);
  stamp.device = static_cast<int64_t>(info.st_dev);
  stamp.valid = true;
  return stamp;
}

}  // namespace

LibraryFileStamp StampOfLibraryFile(const QString& path) {
  return HangGuard::OnFile(path, [path] { return ReadStamp(path); }).value_or(LibraryFileStamp());
}

void RememberUpkeptFile(const QString& path, const LibraryFileStamp& stamp, unsigned work) {
  const bool known = stamp.valid && (work & kEveryUpkeepStep) != kEveryUpkeepStep;
  const QString record = known ? StampFields(stamp) + QString::number(work) + QLatin1Char('|') + path : QString();
  if (modRegistry::GetSettingText(kRegOther, kValueName) == record) return;
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, kValueName, record);
}

unsigned RememberedWork(const QString& path, const LibraryFileStamp& stamp) {
  const QString record = modRegistry::GetSettingText(kRegOther, kValueName);
  const QString prefix = StampFields(stamp);
  const QString suffix = QLatin1Char('|') + path;
  if (!stamp.valid || !record.startsWith(prefix) || !record.endsWith(suffix)) return kEveryUpkeepStep;
  bool number = false;
  const unsigned work = record.mid(prefix.size(), record.size() - prefix.size() - suffix.size()).toUInt(&number);
  return number ? work : kEveryUpkeepStep;
}
