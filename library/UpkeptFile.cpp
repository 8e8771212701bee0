#include "library/UpkeptFile.h"

#include "core/modRegistry.h"
#include "library/LibraryFile.h"

#include <QFile>
#include <QStringList>

#include <sys/stat.h>

namespace {

const QString kValueName = QStringLiteral("UpkeptLibrary");

// The record: the program's version, the stamp's numbers and the path last,
// so a path holding the separator still reads back whole.
QString RecordOf(const QString& path, const LibraryFileStamp& stamp) {
  QStringList fields = {QStringLiteral("%1.%2.%3").arg(kProgramMajor).arg(kProgramMinor).arg(kProgramRevision)};
  for (int64_t n : {stamp.changeCounter, stamp.size, stamp.modifiedNs, stamp.inode, stamp.device}) {
    fields << QString::number(n);
  }
  fields << path;
  return fields.join(QLatin1Char('|'));
}

uint32_t BigEndian32(const unsigned char* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

}  // namespace

LibraryFileStamp StampOfLibraryFile(const QString& path) {
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
  stamp.changeCounter = BigEndian32(reinterpret_cast<const unsigned char*>(header.constData()) + 24);
  stamp.size = info.st_size;
  stamp.modifiedNs = int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  stamp.inode = static_cast<int64_t>(info.st_ino);
  stamp.device = static_cast<int64_t>(info.st_dev);
  stamp.valid = true;
  return stamp;
}

void RememberUpkeptFile(const QString& path, const LibraryFileStamp& stamp) {
  const QString record = stamp.valid ? RecordOf(path, stamp) : QString();
  if (modRegistry::GetSettingText(kRegOther, kValueName) == record) return;
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, kValueName, record);
}

bool RememberedUpkept(const QString& path, const LibraryFileStamp& stamp) {
  return stamp.valid && modRegistry::GetSettingText(kRegOther, kValueName) == RecordOf(path, stamp);
}
