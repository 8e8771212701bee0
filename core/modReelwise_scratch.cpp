// The scratch library of this process, locked so that two running instances
// never share one file, and the empty library template every new library
// and the scratch library are written from.
#include "core/modReelwise.h"

#include "platform/RWError.h"
#include "platform/WholeFile.h"
#include "resources/Resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>

#include <cerrno>

namespace modReelwise {

namespace {

const QString kScratchName = QStringLiteral("InitRW2");
// The files SQLite keeps beside a database.
const QStringList kCompanions = {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")};

std::unique_ptr<QLockFile>& ScratchLock() {
  static std::unique_ptr<QLockFile> lock;
  return lock;
}

QString& ScratchPath() {
  static QString path;
  return path;
}

std::unique_ptr<QLockFile> TryLock(const QString& scratchPath) {
  auto lock = std::make_unique<QLockFile>(scratchPath + QStringLiteral(".lock"));
  lock->setStaleLockTime(0);
  return lock->tryLock(0) ? std::move(lock) : nullptr;
}

void DeleteScratchFiles(const QString& scratchPath) {
  for (const QString& suffix : kCompanions) QFile::remove(scratchPath + suffix);
}

// The scratch libraries in the folder that no running instance holds.
void DeleteLeftovers(const QString& folder, const QString& own) {
  const QDir dir(folder);
  for (const QString& name : dir.entryList({kScratchName + QLatin1Char('*')}, QDir::Files)) {
    if (name.endsWith(QLatin1String(".lock")) || name.endsWith(QLatin1String("-journal")) ||
        name.endsWith(QLatin1String("-wal")) || name.endsWith(QLatin1String("-shm"))) {
      continue;
    }
    const QString path = dir.filePath(name);
    if (path == own) continue;
    if (auto lock = TryLock(path)) {
      DeleteScratchFiles(path);
      lock->unlock();
    }
  }
}

}  // namespace

QString ClaimScratchLibrary() {
  ReleaseScratchLibrary();
  QString path = gTempFolder + kScratchName;
  auto lock = TryLock(path);
  if (!lock) {
    path = gTempFolder + kScratchName + QStringLiteral("-%1").arg(QCoreApplication::applicationPid());
    lock = TryLock(path);
  }
  DeleteLeftovers(gTempFolder, path);
  ScratchLock() = std::move(lock);
  ScratchPath() = path;
  return path;
}

void ReleaseScratchLibrary() {
  if (ScratchPath().isEmpty()) return;
  DeleteScratchFiles(ScratchPath());
  if (ScratchLock()) ScratchLock()->unlock();
  ScratchLock().reset();
  ScratchPath().clear();
}

void ExtractTemplateLibrary(const QString& path, const std::function<bool()>& beforePlacing) {
  const QByteArray bytes = LoadResData(QString::fromLatin1(kEmptyLibraryResourceName),
                                       QString::fromLatin1(kEmptyLibraryResourceType));
  WholeFileWriter file(path);
  if (file.Open() && file.Write(bytes) && file.Commit(beforePlacing)) return;
  // A full disk is told by its number, as the library's own full disk is.
  const int32_t number = file.Error() == ENOSPC || file.Error() == EDQUOT ? kErrDiskFull : kErrFileAccess;
  throw RWError(number, FileNotWrittenText(path, file.ErrorString()), QStringLiteral("modReelwise"));
}

}  // namespace modReelwise
