#include "core/modReelwise.h"

#include "core/modShellDefs.h"
#include "platform/MountProbe.h"
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString gAppDataFolder;
QString gDocsFolder;
QString gTempFolder;
QString gLibrariesFolder;

namespace modReelwise {

void ComputeProgramFolders() {
  using namespace modShellDefs;
  const QString programFolder = QStringLiteral("/Reelwise II/");
  gAppDataFolder = GetPathFromPIDL(GetSpecialFolderPIDL(0, CSIDL_APPDATA)) + programFolder;
  gDocsFolder = GetPathFromPIDL(GetSpecialFolderPIDL(0, CSIDL_PERSONAL)) + programFolder;
  gTempFolder = gDocsFolder + QStringLiteral("Temp/");
  gLibrariesFolder = gDocsFolder + QStringLiteral("Libraries/");
}

namespace {

// What a start writes in the folder for temporary files: the glyph font, the
// scratch library (96 KiB) and its journal, with room to spare.
constexpr qint64 kStartFilesRoom = 256 * 1024;

// The folder the temporary files of this run go to when the program's own
// "Temp" cannot be used; removed with its contents when the process ends.
std::unique_ptr<QTemporaryDir>& StandInTempFolder() {
  static std::unique_ptr<QTemporaryDir> folder;
  return folder;
}

void AddOnce(QStringList& list, const QString& text) {
  if (!text.isEmpty() && !list.contains(text)) list << text;
}

}  // namespace

FolderProblems CreateProgramFolders() {
  FolderProblems problems;
  // Nothing of the program's is kept in the application-data folder, nor
  // needed in "SFX" (the user's own music for the carousel): made when they
  // can be, never reported.
  MakeFolderPath(gAppDataFolder);
  MakeFolderPath(gDocsFolder + QStringLiteral("SFX/"));
  const QString docs = FolderWriteProblem(gDocsFolder);
  AddOnce(problems.reasons, docs);
  AddOnce(problems.reasons, MakeFolderPath(gLibrariesFolder));
  problems.externalAppsLost = !docs.isEmpty();
  // The folder for temporary files must take the start's own (the glyph
  // font, the scratch library and its journal): on a full disk the run's
  // own folder elsewhere takes them.
  const QString temp = FolderWriteProblem(gTempFolder, kStartFilesRoom);
  if (temp.isEmpty()) return problems;
  AddOnce(problems.reasons, temp);
  problems.tempFolderMissing = true;
  auto standIn = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/Reelwise II-XXXXXX"));
  if (!standIn->isValid()) return problems;
  problems.tempFolderMissing = false;
  problems.standInTemp = standIn->path() + QLatin1Char('/');
  gTempFolder = problems.standInTemp;
  StandInTempFolder() = std::move(standIn);
  return problems;
}

QString FolderProblemsText(const FolderProblems& problems) {
  if (problems.reasons.isEmpty()) return QString();
  QString text = QStringLiteral("Reelwise II cannot use its own folders:\r\n\r\n") +
                 problems.reasons.join(QStringLiteral("\r\n\r\n"));
  if (problems.tempFolderMissing) {
    return text + QStringLiteral("\r\n\r\nNor can it make a folder for its temporary files in\r\n%1\r\n\r\n"
                                 "It cannot start without one. Free that folder, or give yourself permission to "
                                 "write in its own folders, then start Reelwise II again.")
                      .arg(QDir::toNativeSeparators(QDir::tempPath()));
  }
  QStringList kept;
  if (!problems.standInTemp.isEmpty()) {
    kept << QStringLiteral("Its temporary files (the story board picture among them) are kept in\r\n%1\r\nfor "
                           "this run only.")
                .arg(QDir::toNativeSeparators(problems.standInTemp));
  }
  if (problems.externalAppsLost) kept << QStringLiteral("External applications set up in this run are not kept.");
  text += QStringLiteral("\r\n\r\nIt runs on without them.");
  if (!kept.isEmpty()) text += QLatin1Char(' ') + kept.join(QLatin1Char(' '));
  return text + QStringLiteral("\r\n\r\nTo use its folders again, move away any file that stands in the place of "
                               "one, or give yourself permission to write there, then start Reelwise II again.");
}

namespace {

// GetFileSizeBytes of a path as the file system names it.
int64_t SizeAt(const char* fileSystemPath) {
  // Non-blocking, so that opening a FIFO returns at once instead of waiting
  // for a writer; only regular files count.
  const int fd = ::open(fileSystemPath, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat info {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  ::close(fd);
  return regular ? static_cast<int64_t>(info.st_size) : -1;
}

}  // namespace

int64_t GetFileSizeBytes(const QString& path) {
  if (path.isEmpty()) return -1;
  return SizeAt(QFile::encodeName(path).constData());
}

bool FileExists(const QString& path) { return GetFileSizeBytes(path) >= 0; }

bool FileExistsAt(const char* fileSystemPath) { return *fileSystemPath != '\0' && SizeAt(fileSystemPath) >= 0; }

std::optional<bool> FileThere(const QString& path) {
  return MountProbe::CallOnPath(path, [path] { return FileExists(path); });
}

bool FolderExists(const QString& path) {
  struct stat info {};
  if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) return false;
  return S_ISDIR(info.st_mode);
}

QString OfflineFileText() {
  return QStringLiteral(
      "Offline file: \r\n\r\nThis file is most likely either:\r\n\r\n"
      "     - on a disk that is not connected \r\n"
      "     - on a CD/DVD that is not inserted\r\n"
      "     - on a network drive that is not connected");
}

QString CheckFileAvailable(const QString& path) {
  if (path.startsWith(QLatin1Char('['))) return OfflineFileText();
  const int64_t size = GetFileSizeBytes(path);
  if (size < 0) return QStringLiteral("File not found!\r\n\r\nThis file may have been moved, renamed or deleted...");
  if (size == 0) return QStringLiteral("Cannot open file!\r\n\r\nThis file contains no data; i.e. it is zero bytes");
  return QStringLiteral("OK");
}

}  // namespace modReelwise
