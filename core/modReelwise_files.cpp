#include "core/modReelwise.h"

#include "core/modShellDefs.h"
#include "platform/MountProbe.h"

#include <QDir>
#include <QFile>

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

void CreateProgramFolders() {
  for (const QString& folder :
       {gAppDataFolder, gDocsFolder, gDocsFolder + QStringLiteral("SFX/"), gTempFolder, gLibrariesFolder}) {
    QDir().mkpath(folder);
  }
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
