// File tests, the availability texts the user sees, and the program's folders.
#include "core/MediaInfoDLL.h"
#include "core/modReelwise.h"
#include "core/modShellDefs.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/TempHome.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

using namespace modReelwise;

namespace {

const QString kNotFound = QStringLiteral("File not found!\r\n\r\nThis file may have been moved, renamed or deleted...");
const QString kEmpty = QStringLiteral("Cannot open file!\r\n\r\nThis file contains no data; i.e. it is zero bytes");

class FileServicesTest : public rwtest::TempHomeTest {
 protected:
  QString MakeFile(const QString& name, const QByteArray& data) {
    const QString path = ScratchPath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
    return path;
  }
};

TEST_F(FileServicesTest, OnlyReadableRegularFilesExist) {
  const QString film = MakeFile(QStringLiteral("Film 'n' \"Quotes\" – ä.mkv"), QByteArray(1234, 'x'));
  EXPECT_TRUE(FileExists(film));
  EXPECT_EQ(GetFileSizeBytes(film), 1234);
  EXPECT_FALSE(FileExists(Scratch())) << "a folder is no file";
  EXPECT_EQ(GetFileSizeBytes(Scratch()), -1);
  EXPECT_FALSE(FileExists(ScratchPath(QStringLiteral("missing.avi"))));
  EXPECT_FALSE(FileExists(QString()));
  EXPECT_TRUE(FolderExists(Scratch()));
  EXPECT_FALSE(FolderExists(film));
  EXPECT_FALSE(FolderExists(QStringLiteral("/no/such/drive/")));
}

// An open of the FIFO would wait for a writer for ever: the checks run on a
// thread of their own, and should one block, writers opened after the
// ceiling let it go so that the test ends.
TEST_F(FileServicesTest, FifoIsNoFileAndNeverBlocks) {
  const QString fifo = ScratchPath(QStringLiteral("pipe.mpg"));
  const QByteArray raw = QFile::encodeName(fifo);
  ASSERT_EQ(::mkfifo(raw.constData(), 0600), 0);
  struct Answers {
    bool exists;
    int64_t size;
    QString available;
  };
  std::future<Answers> checks = std::async(std::launch::async, [fifo] {
    return Answers{FileExists(fifo), GetFileSizeBytes(fifo), CheckFileAvailable(fifo)};
  });
  const auto ready = [&checks](int ms) {
    return checks.wait_for(std::chrono::milliseconds(ms)) == std::future_status::ready;
  };
  const bool answered = ready(rwtest::kWaitCeilingMs);
  while (!ready(10)) {
    const int writer = ::open(raw.constData(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
  }
  EXPECT_TRUE(answered) << "a check blocked on the FIFO";
  const Answers answers = checks.get();
  EXPECT_FALSE(answers.exists);
  EXPECT_EQ(answers.size, -1);
  EXPECT_EQ(answers.available, kNotFound);
}

TEST_F(FileServicesTest, AvailabilityTexts) {
  EXPECT_EQ(CheckFileAvailable(MakeFile(QStringLiteral("ok.avi"), "data")), QStringLiteral("OK"));
  EXPECT_EQ(CheckFileAvailable(MakeFile(QStringLiteral("empty.avi"), QByteArray())), kEmpty);
  EXPECT_EQ(CheckFileAvailable(ScratchPath(QStringLiteral("gone.avi"))), kNotFound);
  EXPECT_EQ(CheckFileAvailable(Scratch()), kNotFound) << "a folder";
}

TEST_F(FileServicesTest, OfflinePathsAreToldWithoutTouchingTheDisk) {
  const QString offline = QStringLiteral(
      "Offline file: \r\n\r\nThis file is most likely either:\r\n\r\n"
      "     - on a disk that is not connected \r\n"
      "     - on a CD/DVD that is not inserted\r\n"
      "     - on a network drive that is not connected");
  EXPECT_EQ(CheckFileAvailable(QStringLiteral("[1A2B3C4D] Films/a.avi")), offline);
  // Even a path that would name a readable file is not opened once marked.
  const QString real = MakeFile(QStringLiteral("x.avi"), "data");
  EXPECT_EQ(CheckFileAvailable(QLatin1Char('[') + real), offline);
}

TEST_F(FileServicesTest, ProgramFoldersLieBelowDocumentsAndApplicationData) {
  ComputeProgramFolders();
  EXPECT_EQ(gDocsFolder, HomePath(QStringLiteral("Documents/Reelwise II/")));
  EXPECT_EQ(gTempFolder, gDocsFolder + QStringLiteral("Temp/"));
  EXPECT_EQ(gLibrariesFolder, gDocsFolder + QStringLiteral("Libraries/"));
  EXPECT_EQ(gAppDataFolder, HomePath(QStringLiteral(".local/share/Reelwise II/")));
  CreateProgramFolders();
  for (const QString& folder : {gAppDataFolder, gDocsFolder + QStringLiteral("SFX/"), gTempFolder, gLibrariesFolder}) {
    EXPECT_TRUE(FolderExists(folder)) << folder.toStdString();
  }
  CreateProgramFolders();  // existing folders are no error
}

TEST_F(FileServicesTest, SpecialFolderIdsAndTexts) {
  using namespace modShellDefs;
  EXPECT_EQ(GetPathFromPIDL(GetSpecialFolderPIDL(0, CSIDL_PERSONAL)), HomePath(QStringLiteral("Documents")));
  EXPECT_TRUE(GetSpecialFolderPIDL(0, CSIDL_DESKTOP));
  EXPECT_FALSE(GetSpecialFolderPIDL(0, 9999));
  EXPECT_EQ(GetPathFromPIDL(ItemIdList{}), QString());
  EXPECT_EQ(StripNulls(QStringLiteral("abc") + QChar(0) + QStringLiteral("def")), QStringLiteral("abc"));
  EXPECT_EQ(StripNulls(QStringLiteral("abc")), QStringLiteral("abc"));
  EXPECT_EQ(MediaInfoDLL::PtrToString(u"Größe"), QStringLiteral("Größe"));
  EXPECT_EQ(MediaInfoDLL::PtrToString(static_cast<const char16_t*>(nullptr)), QString());
  EXPECT_TRUE(MediaInfoDLL::IsFormatName(QStringLiteral("Windows Media")));
  EXPECT_FALSE(MediaInfoDLL::IsFormatName(QStringLiteral("General\r\nComplete name")));
  EXPECT_FALSE(MediaInfoDLL::IsFormatName(QString(65, QLatin1Char('x'))));
}

}  // namespace
