// Files written whole or not at all: on a real full disk, or when the flush,
// the close or the rename fails, the earlier file stays as it was and the
// failure is reported.
#include "platform/ImageSurface.h"
#include "platform/JpegCodec.h"
#include "platform/RWError.h"
#include "platform/WholeFile.h"
#include "tests/support/SmallDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The next fsync, close or rename of this thread fails with an input/output
// error, as on a disk that fails under the write: the calls of the code under
// test reach the definitions below before the C library's.
enum class FailingCall { None, Fsync, Close, Rename };
thread_local FailingCall gFailing = FailingCall::None;

template <typename Function>
Function CLibrary(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

bool FailsNow(FailingCall call) {
  if (gFailing != call) return false;
  gFailing = FailingCall::None;
  errno = EIO;
  return true;
}

}  // namespace

extern "C" int fsync(int fd) {
  static const auto real = CLibrary<int (*)(int)>("fsync");
  return FailsNow(FailingCall::Fsync) ? -1 : real(fd);
}

// The descriptor is closed all the same, as a file system's close does when
// it reports a failed write-back.
extern "C" int close(int fd) {
  static const auto real = CLibrary<int (*)(int)>("close");
  const int result = real(fd);
  return FailsNow(FailingCall::Close) ? -1 : result;
}

// While set, every removal of this thread fails, as on a disk that went
// read-only under a failed write.
thread_local bool gRemovalsFail = false;

extern "C" int unlink(const char* path) {
  static const auto real = CLibrary<int (*)(const char*)>("unlink");
  if (gRemovalsFail) {
    errno = EROFS;
    return -1;
  }
  return real(path);
}

extern "C" int rename(const char* from, const char* to) {
  static const auto real = CLibrary<int (*)(const char*, const char*)>("rename");
  return FailsNow(FailingCall::Rename) ? -1 : real(from, to);
}

namespace {

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QStringList Entries(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(WholeFileTest, OnAFullDiskTheEarlierFileStaysWholeAndTheFailureIsReported) {
  rwtest::SmallDisk disk;
  if (!disk.Here()) return;
  const QString path = disk.Path(QStringLiteral("Settings.txt"));
  ASSERT_TRUE(WriteFileWhole(path, QByteArray("earlier\n")));
  disk.Fill();

  QString reason;
  EXPECT_FALSE(WriteFileWhole(path, QByteArray(100, 'n'), &reason));
  EXPECT_EQ(reason, QStringLiteral("The disk is full."));
  EXPECT_EQ(Contents(path), QByteArray("earlier\n"));

  // Written piece by piece, as an export is: the first failure holds.
  WholeFileWriter writer(path);
  ASSERT_TRUE(writer.Open());
  EXPECT_FALSE(writer.Write(QByteArray(200000, 'x')));
  EXPECT_FALSE(writer.Write(QByteArray("more")));
  EXPECT_FALSE(writer.Commit());
  EXPECT_EQ(writer.ErrorString(), QStringLiteral("The disk is full."));
  EXPECT_EQ(Contents(path), QByteArray("earlier\n"));
  EXPECT_EQ(Entries(disk.Folder()), (QStringList{QStringLiteral(".filler"), QStringLiteral("Settings.txt")}))
      << "no partial file is left behind";

  disk.Free();
  EXPECT_TRUE(WriteFileWhole(path, QByteArray("later\n")));
  EXPECT_EQ(Contents(path), QByteArray("later\n"));
  EXPECT_TRUE(FileNotWrittenText(path, reason).contains(path));
}

// A story board or poster written onto a full disk fails with the file named
// and leaves the earlier picture.
TEST(WholeFileTest, APictureOnAFullDiskFailsAndTheEarlierOneIsKept) {
  rwtest::SmallDisk disk;
  if (!disk.Here()) return;
  const QString path = disk.Path(QStringLiteral("Story Board.jpg"));
  ImageSurface small(16, 16);
  JpegCodec codec;
  codec.EncodeToFile(small, 90, path);
  const QByteArray before = Contents(path);
  disk.Fill();
  ImageSurface board(1250, 800);
  try {
    codec.EncodeToFile(board, 100, path);
    ADD_FAILURE() << "no failure on a full disk";
  } catch (const RWError& error) {
    EXPECT_TRUE(error.Description().contains(path)) << error.Description().toStdString();
    EXPECT_TRUE(error.Description().contains(QStringLiteral("The disk is full.")));
  }
  EXPECT_EQ(Contents(path), before);
}

// A commit whose flush to disk, close or rename fails is a failure: the
// earlier file stays and no new file is left beside it.
TEST(WholeFileTest, AFailedFlushCloseOrRenameIsReportedAndTheEarlierFileStays) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("Settings.txt"));
  ASSERT_TRUE(WriteFileWhole(path, "earlier\n"));
  for (const FailingCall call : {FailingCall::Fsync, FailingCall::Close, FailingCall::Rename}) {
    WholeFileWriter writer(path);
    ASSERT_TRUE(writer.Open());
    ASSERT_TRUE(writer.Write("later\n"));
    gFailing = call;
    EXPECT_FALSE(writer.Commit()) << static_cast<int>(call);
    gFailing = FailingCall::None;
    EXPECT_EQ(writer.ErrorString(), QStringLiteral("The disk reported an input/output error."));
    EXPECT_EQ(Contents(path), QByteArray("earlier\n"));
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("Settings.txt")});
  }
  EXPECT_TRUE(WriteFileWhole(path, "later\n"));
  EXPECT_EQ(Contents(path), QByteArray("later\n"));

  // The disk then refuses to remove anything: the write left no name to
  // remove, and nothing of its own stays beside the file (where the file
  // system makes files without a name).
  const int unnamed = ::open(QFile::encodeName(dir.path()).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (unnamed < 0) GTEST_SKIP() << "the file system makes no file without a name";
  ::close(unnamed);
  WholeFileWriter writer(path);
  ASSERT_TRUE(writer.Open());
  ASSERT_TRUE(writer.Write("never\n"));
  EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("Settings.txt")}) << "nothing named while written";
  gFailing = FailingCall::Fsync;
  gRemovalsFail = true;
  EXPECT_FALSE(writer.Commit());
  gRemovalsFail = false;
  gFailing = FailingCall::None;
  EXPECT_EQ(Contents(path), QByteArray("later\n"));
  EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("Settings.txt")});
}

TEST(WholeFileTest, ALinkIsWrittenThroughAndTheModeIsKept) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString real = dir.filePath(QStringLiteral("real.ini"));
  const QString link = dir.filePath(QStringLiteral("link.ini"));
  ASSERT_TRUE(WriteFileWhole(real, "a"));
  ASSERT_TRUE(QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner));
  ASSERT_TRUE(QFile::link(real, link));

  ASSERT_TRUE(WriteFileWhole(link, "b"));
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(Contents(real), QByteArray("b"));
  struct stat info {};
  ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  QString reason;
  EXPECT_FALSE(WriteFileWhole(dir.filePath(QStringLiteral("gone/file.txt")), "c", &reason));
  EXPECT_EQ(reason, QStringLiteral("The folder does not exist."));
}

}  // namespace
