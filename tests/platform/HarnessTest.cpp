// The test harness itself: the screen every window test sees, private homes,
// the scripted roads for message boxes and dialogs, and the time limit that
// ends a test that hangs.
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestTimeLimit.h"
#include "tests/support/TestVideo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(HarnessTest, ScreenIsFullHdAt96Dpi) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(screen->geometry(), QRect(0, 0, 1920, 1080));
  EXPECT_DOUBLE_EQ(screen->logicalDotsPerInch(), 96.0);
  EXPECT_DOUBLE_EQ(screen->devicePixelRatio(), 1.0);
}

class HarnessHomeTest : public rwtest::TempHomeTest {};

TEST_F(HarnessHomeTest, StandardFoldersLieInsideThePrivateHome) {
  for (auto location : {QStandardPaths::DocumentsLocation, QStandardPaths::GenericDataLocation,
                        QStandardPaths::GenericConfigLocation}) {
    const QString path = QStandardPaths::writableLocation(location);
    EXPECT_TRUE(path.startsWith(Home())) << path.toStdString();
  }
  EXPECT_EQ(QDir::homePath(), Home());
}

TEST(HarnessTest, ScriptedMessageBoxesAnswerInTurnAndRecord) {
  rwtest::ScriptedMessageBoxes boxes;
  boxes.Answer(vbYes).Answer(vbCancel);
  MessageBoxRequest request;
  request.prompt = QStringLiteral("Delete?");
  request.style = vbYesNo | vbQuestion;
  EXPECT_EQ(ShowMessageBox(request), vbYes);
  EXPECT_EQ(SystemMessageBox(QStringLiteral("Failed"), vbCritical, QStringLiteral("Error While Initialising")),
            vbCancel);
  ASSERT_EQ(boxes.Count(), 2);
  EXPECT_EQ(boxes.Shown()[0].style, vbYesNo | vbQuestion);
  EXPECT_TRUE(boxes.Last().systemBox);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Error While Initialising"));
}

TEST(HarnessTest, UnexpectedMessageBoxFailsTheTestInsteadOfBlocking) {
  EXPECT_NONFATAL_FAILURE(
      {
        rwtest::ScriptedMessageBoxes boxes;
        MessageBoxRequest request;
        request.prompt = QStringLiteral("Surprise");
        EXPECT_EQ(ShowMessageBox(request), 0);
      },
      "Unexpected message box");
}

// A check of the last box after a count that failed fails the test; it does
// not end the binary on an empty list.
TEST(HarnessTest, TheLastBoxOfNoneFailsTheTestInsteadOfCrashing) {
  rwtest::ScriptedMessageBoxes boxes;
  rwtest::ScriptedFileDialogs dialogs;
  EXPECT_NONFATAL_FAILURE(EXPECT_TRUE(boxes.Last().prompt.isEmpty()), "No message box was shown");
  EXPECT_NONFATAL_FAILURE(EXPECT_TRUE(dialogs.Last().title.isEmpty()), "No file dialog was shown");
}

constexpr const char* kHang = "RW_TEST_HANG";

TEST(HarnessTest, AHangingTestIsNamedAndItsBinaryEndsWithAFailure) {
  if (qEnvironmentVariableIsSet(kHang)) {
    for (;;) ::pause();  // the child's part: a test that waits for nothing that comes
  }
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QLatin1String(kHang), QStringLiteral("1"));
  environment.insert(QStringLiteral("RW_TEST_TIME_LIMIT"), QStringLiteral("1"));
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_filter=HarnessTest.AHangingTestIsNamedAndItsBinaryEndsWithAFailure")});
  ASSERT_TRUE(child.waitForFinished(60000)) << "the hanging test was not ended";
  const QByteArray output = child.readAll();
  EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(child.exitCode(), rwtest::TestTimeLimit::kExitCode) << output.toStdString();
  EXPECT_TRUE(output.contains("HarnessTest.AHangingTestIsNamedAndItsBinaryEndsWithAFailure did not end within its "
                              "limit of 1 s"))
      << output.toStdString();
}

TEST(HarnessTest, ProgramHandlerIsUsedUnlessATestResponds) {
  MessageBoxRequest seen;
  const MessageBoxHandler previous = SetMessageBoxHandler([&seen](const MessageBoxRequest& r) {
    seen = r;
    return vbRetry;
  });
  MessageBoxRequest request;
  request.prompt = QStringLiteral("Try again?");
  EXPECT_EQ(ShowMessageBox(request), vbRetry);
  EXPECT_EQ(seen.prompt, QStringLiteral("Try again?"));
  {
    rwtest::ScriptedMessageBoxes boxes;
    boxes.Answer(vbIgnore);
    EXPECT_EQ(ShowMessageBox(request), vbIgnore);
  }
  SetMessageBoxHandler(previous);
}

TEST(HarnessTest, ScriptedFileDialogsChooseOrCancel) {
  rwtest::ScriptedFileDialogs dialogs;
  dialogs.Choose({QStringLiteral("/tmp/a.rw2")}).Cancel().ChooseColour(RGB(1, 2, 3));
  FileDialogRequest open;
  open.kind = FileDialogKind::Open;
  open.title = QStringLiteral("Open Library");
  const FileDialogResult chosen = ShowFileDialog(open);
  EXPECT_TRUE(chosen.accepted);
  EXPECT_EQ(chosen.files, QStringList{QStringLiteral("/tmp/a.rw2")});
  EXPECT_FALSE(ShowFileDialog(open).accepted);
  FileDialogRequest colour;
  colour.kind = FileDialogKind::Colour;
  EXPECT_EQ(ShowFileDialog(colour).colour, RGB(1, 2, 3));
  EXPECT_EQ(dialogs.Count(), 3);
  EXPECT_EQ(dialogs.Shown()[0].title, QStringLiteral("Open Library"));
}

TEST_F(HarnessHomeTest, TestVideosAreGenerated) {
  RW_REQUIRE_FFMPEG();
  rwtest::TestVideoSpec spec;
  spec.seconds = 1;
  spec.width = 160;
  spec.height = 120;
  QString error;
  const auto path = rwtest::MakeTestVideo(Scratch(), QStringLiteral("clip «été».mkv"), spec, &error);
  ASSERT_TRUE(path.has_value()) << error.toStdString();
  EXPECT_GT(QFileInfo(*path).size(), 1000);
}

}  // namespace
