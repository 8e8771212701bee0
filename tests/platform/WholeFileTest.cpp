// Files written whole or not at all: on a real full disk the earlier file
// stays as it was and the failure is reported.
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

#include <sys/stat.h>

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
