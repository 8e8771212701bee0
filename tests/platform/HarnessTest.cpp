// The test harness itself: the screen every window test sees, private homes,
// and the scripted roads for message boxes and dialogs.
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestVideo.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

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
