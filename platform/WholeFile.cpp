#include "platform/WholeFile.h"

#include "platform/MountProbe.h"
#include "platform/OwnFileWrites.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The file a write lands in: a symbolic link is written through, as an
// editor would, so a link kept elsewhere stays a link.
QString WrittenPath(const QString& path) {
  const QFileInfo info(path);
  if (!info.isSymLink()) return info.absoluteFilePath();
  const QString target = info.canonicalFilePath();
  return target.isEmpty() ? info.symLinkTarget() : target;
}

// Makes the folder's entry reach the disk after a rename; errors are of no
// consequence to the file itself.
void SyncFolder(const QString& folder) {
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

WholeFileWriter::WholeFileWriter(QString path) : target_(WrittenPath(path)) {}

WholeFileWriter::~WholeFileWriter() { Discard(); }

bool WholeFileWriter::Open() {
  Discard();
  error_ = 0;
  const QByteArray target = QFile::encodeName(target_);
  // A file without a name in the target's folder, where the file system
  // makes one: until the commit names it, a failed write, a disk that then
  // refuses to remove a name, or the program's end leaves nothing behind.
  fd_ = OwnFileWrites::Open(QFile::encodeName(QFileInfo(target_).absolutePath()).constData(),
                            O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
    Fail(errno);
    return false;
  }
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temporary_ = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".new";
    // 0666 less the umask, as any new file gets.
    fd_ = OwnFileWrites::Open(temporary_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ < 0) {
    const int error = errno;
    temporary_.clear();
    Fail(error);
    return false;
  }
  struct stat old {};
  if (::stat(target.constData(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd_, old.st_mode & 07777);
  return true;
}

bool WholeFileWriter::Write(const QByteArray& bytes) {
  if (fd_ < 0 || error_ != 0) {
    if (error_ == 0) error_ = EBADF;
    return false;
  }
  const char* data = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t written = OwnFileWrites::Write(fd_, data, static_cast<size_t>(left), temporary_.constData());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      Fail(written < 0 ? errno : ENOSPC);
      return false;
    }
    data += written;
    left -= written;
  }
  return true;
}

bool WholeFileWriter::Commit(const std::function<bool()>& beforeRename) {
  if (fd_ < 0 || error_ != 0) {
    if (error_ == 0) error_ = EBADF;
    Discard();
    return false;
  }
  if (OwnFileWrites::Sync(fd_, temporary_.constData()) != 0) Fail(errno);
  if (error_ == 0 && temporary_.isEmpty()) NameUnnamed();
  const int fd = fd_;
  fd_ = -1;
  if (OwnFileWrites::Close(fd, temporary_.constData()) != 0 && error_ == 0) Fail(errno);
  if (error_ == 0 && beforeRename && !beforeRename()) Fail(ECANCELED);
  if (error_ == 0 && OwnFileWrites::Rename(temporary_.constData(), QFile::encodeName(target_).constData()) != 0) {
    Fail(errno);
  }
  if (error_ != 0) {
    Discard();
    return false;
  }
  temporary_.clear();
  SyncFolder(QFileInfo(target_).absolutePath());
  return true;
}

// The unnamed file gets a name of its own beside the target, to be renamed
// over it: the name lives only between this link and that rename.
void WholeFileWriter::NameUnnamed() {
  const QByteArray target = QFile::encodeName(target_);
  const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QByteArray name = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".new";
    if (::linkat(fd_, "", AT_FDCWD, name.constData(), AT_EMPTY_PATH) == 0 ||
        ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0) {
      temporary_ = name;
      return;
    }
    if (errno != EEXIST) break;
  }
  Fail(errno);
}

QString WholeFileWriter::ErrorString() const { return FileErrorText(error_); }

bool WholeFileWriter::Lasting() const { return LastingFileError(error_); }

QString WholeFileWriter::TemporaryPath() const { return QFile::decodeName(temporary_); }

void WholeFileWriter::Fail(int error) {
  if (error_ == 0) error_ = error ? error : EIO;
}

void WholeFileWriter::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.isEmpty()) ::unlink(temporary_.constData());
  temporary_.clear();
}

QString FileErrorText(int error) {
  if (error == ENOSPC || error == EDQUOT) return QStringLiteral("The disk is full.");
  if (error == EROFS) return QStringLiteral("The disk is read-only.");
  if (error == EACCES || error == EPERM) return QStringLiteral("Permission to write there is denied.");
  if (error == ENOENT) return QStringLiteral("The folder does not exist.");
  if (error == ENOTDIR) return QStringLiteral("A file stands where a folder of its path should be.");
  if (error == EIO) return QStringLiteral("The disk reported an input/output error.");
  if (error == ETIMEDOUT) {
    return QStringLiteral("Its disk did not answer within %1 seconds.").arg(MountProbe::kTimeLimitMs / 1000);
  }
  if (error == EMFILE || error == ENFILE) return QStringLiteral("Too many files are open to open another one.");
  // The C library's own words go to the log, never into a message.
  qWarning("file error %d: %s", error, std::strerror(error));
  return QStringLiteral("The file system refused it.");
}

bool LastingFileError(int error) {
  return error == EROFS || error == EACCES || error == EPERM || error == ENOENT || error == ENOTDIR ||
         error == EISDIR;
}

namespace {

// Why `path` is no folder, or empty when it is one.
QString NoFolderText(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return QString();
  if (S_ISDIR(info.st_mode)) return QString();
  return QStringLiteral("A file stands where the folder\r\n%1\r\nshould be.").arg(QDir::toNativeSeparators(path));
}

}  // namespace

QString MakeFolderPath(const QString& folder) {
  const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
  // The folders from the top down, each made when it is missing.
  QStringList steps;
  for (QString at = clean; !at.isEmpty() && at != QLatin1String("/"); at = QFileInfo(at).path()) steps.prepend(at);
  for (const QString& step : steps) {
    const QByteArray name = QFile::encodeName(step);
    if (OwnFileWrites::MakeFolder(name.constData(), 0777) == 0) continue;
    const int error = errno;
    if (error != EEXIST) {
      const QString file = error == ENOTDIR ? QString() : NoFolderText(step);
      if (!file.isEmpty()) return file;
      return QStringLiteral("The folder\r\n%1\r\ncannot be made: %2")
          .arg(QDir::toNativeSeparators(step), FileErrorText(error));
    }
    const QString file = NoFolderText(step);
    if (!file.isEmpty()) return file;
  }
  return QString();
}

QString FolderWriteProblem(const QString& folder, qint64 room) {
  const QString problem = MakeFolderPath(folder);
  if (!problem.isEmpty()) return problem;
  WholeFileWriter probe(QDir(folder).filePath(QStringLiteral(".write-probe")));
  // A full disk still takes an empty file: the room is written too (and
  // never flushed, the probe being removed).
  if (probe.Open() && (room <= 0 || probe.Write(QByteArray(room, '\0')))) return QString();
  return QStringLiteral("Nothing can be written in the folder\r\n%1\r\n%2")
      .arg(QDir::toNativeSeparators(QDir::cleanPath(folder)), probe.ErrorString());
}

bool WriteFileWhole(const QString& path, const QByteArray& bytes, QString* reason) {
  WholeFileWriter file(path);
  if (file.Open() && file.Write(bytes) && file.Commit()) return true;
  if (reason) *reason = file.ErrorString();
  return false;
}

QString FileNotWrittenText(const QString& path, const QString& reason) {
  return QStringLiteral("The file\r\n%1\r\ncould not be written: %2\r\n\r\nAn earlier version of the file, if there is one, is kept unchanged.")
      .arg(QDir::toNativeSeparators(path), reason);
}
