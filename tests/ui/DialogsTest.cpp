// The common-dialog service, answered by scripted dialogs: what each dialog
// is asked, what the service remembers from the answers, and how cancels,
// failures and errors are recorded and reported.
#include "core/modReelwise.h"
#include "platform/RWError.h"
#include "tests/support/PaintCounter.h"
#include "tests/support/ScriptedDialogs.h"
#include "ui/clsDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const QChar kNul(0);

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedDocs_ = gDocsFolder;
    gDocsFolder = docs_.path() + QLatin1Char('/');
    dlg = std::make_unique<clsDialogs>();
  }
  void TearDown() override { gDocsFolder = savedDocs_; }

  // A path of exactly `length` characters.
  static QString PathOfLength(int length) {
    const QString folder = QStringLiteral("/films/");
    return folder + QString(length - folder.size(), QLatin1Char('x'));
  }

  rwtest::ScriptedFileDialogs dialogs;
  rwtest::ScriptedMessageBoxes boxes;
  std::unique_ptr<clsDialogs> dlg;

 private:
  QTemporaryDir docs_;
  QString savedDocs_;
};

TEST_F(DialogsTest, StartsInTheDocumentsFolderWithDefaultCaptionsAndFilter) {
  EXPECT_EQ(dlg->strInitialDir, gDocsFolder);
  EXPECT_EQ(dlg->strLastOpenFolder(), gDocsFolder);
  EXPECT_EQ(dlg->strLastSaveFolder(), gDocsFolder);
  EXPECT_EQ(dlg->strDialogError(), QStringLiteral("N/A"));
  EXPECT_EQ(dlg->lngColor, RGB(192, 192, 192));
  EXPECT_EQ(dlg->lngFontType(), clsDialogs::REGULAR_FONTTYPE);
  EXPECT_EQ(dlg->lngFontSize(), 10);

  QWidget owner;
  dlg->lngHWnd = &owner;
  dialogs.Cancel().Cancel();
  dlg->strGetOpenFileName();
  dlg->strGetSaveFileName();
  const FileDialogRequest& open = dialogs.Shown()[0];
  EXPECT_EQ(open.kind, FileDialogKind::Open);
  EXPECT_EQ(open.title, QStringLiteral("Select File(s) To Open"));
  EXPECT_EQ(open.filter, QStringLiteral("All Files (*.*)"));
  EXPECT_EQ(open.filterIndex, 1);
  EXPECT_EQ(open.initialDirectory, gDocsFolder);
  EXPECT_EQ(open.owner, &owner);
  const FileDialogRequest& save = dialogs.Shown()[1];
  EXPECT_EQ(save.kind, FileDialogKind::Save);
  EXPECT_EQ(save.title, QStringLiteral("Save File"));
  EXPECT_FALSE(save.confirmOverwrite) << "callers confirm a replace themselves";
  EXPECT_FALSE(save.createPrompt);
}

TEST_F(DialogsTest, FilterIsKeptNulSeparatedAndGivenToTheDialogInQtForm) {
  dlg->strFilter = QStringLiteral("Videos (*.avi;*.mkv)|*.avi;*.mkv;|All files (*.*)|*.*");
  EXPECT_EQ(dlg->strFilter.Text(), QStringLiteral("Videos (*.avi;*.mkv)") + kNul + QStringLiteral("*.avi;*.mkv;") +
                                       kNul + QStringLiteral("All files (*.*)") + kNul + QStringLiteral("*.*") +
                                       kNul + kNul);
  dialogs.Cancel();
  dlg->strGetOpenFileName();
  EXPECT_EQ(dialogs.Last().filter, QStringLiteral("Videos (*.avi *.mkv);;All files (*.*)"));

  // A text that already ends in two separators gets no more.
  dlg->strFilter = QStringLiteral("Libraries|*.rw2||");
  EXPECT_EQ(dlg->strFilter.Text(), QStringLiteral("Libraries") + kNul + QStringLiteral("*.rw2") + kNul + kNul);
}

TEST_F(DialogsTest, OpenRemembersFileFolderAndFilterAndACancelGoesBackToThatFolder) {
  dlg->strFilter = QStringLiteral("Libraries|*.rw2|All files|*.*");
  dlg->strTitle = QStringLiteral("Choose Library");
  dlg->strInitialDir = QStringLiteral("/start/");
  dialogs.Choose({QStringLiteral("/films/drama/one.rw2")}, 2);
  EXPECT_EQ(dlg->strGetOpenFileName(), QStringLiteral("/films/drama/one.rw2"));
  EXPECT_EQ(dialogs.Last().title, QStringLiteral("Choose Library"));
  EXPECT_EQ(dialogs.Last().initialDirectory, QStringLiteral("/start/"));
  EXPECT_EQ(dlg->strLastOpenFile(), QStringLiteral("/films/drama/one.rw2"));
  EXPECT_EQ(dlg->strLastOpenFolder(), QStringLiteral("/films/drama/"));
  EXPECT_EQ(dlg->lngLastOpenFilter(), 2);
  EXPECT_EQ(dlg->strInitialDir, QStringLiteral("/films/drama/"));
  // The save dialog keeps memories of its own.
  EXPECT_EQ(dlg->lngLastSaveFilter(), 1);
  EXPECT_EQ(dlg->strLastSaveFolder(), gDocsFolder);

  // With no start folder set, the dialog opens in the last open folder with
  // the last filter; a cancel leaves the memories and resets the start folder.
  dlg->strInitialDir.clear();
  dialogs.Cancel();
  EXPECT_EQ(dlg->strGetOpenFileName(), QString());
  EXPECT_EQ(dialogs.Last().initialDirectory, QStringLiteral("/films/drama/"));
  EXPECT_EQ(dialogs.Last().filterIndex, 2);
  EXPECT_EQ(dlg->lngDialogError(), 0);
  EXPECT_EQ(dlg->strDialogError(), QStringLiteral("General Codes Failure"));
  EXPECT_EQ(dlg->strInitialDir, QStringLiteral("/films/drama/"));
  EXPECT_EQ(dlg->strLastOpenFile(), QStringLiteral("/films/drama/one.rw2"));
  EXPECT_EQ(boxes.Count(), 0) << "a cancel is no error";
}

TEST_F(DialogsTest, TwoSavesStartTheSecondInTheFirstOnesFolder) {
  dlg->blnCreatePrompt = true;
  dialogs.Choose({QStringLiteral("/films/new/lib.rw2")}, 3).Choose({QStringLiteral("/films/new/other.rw2")});
  EXPECT_EQ(dlg->strGetSaveFileName(), QStringLiteral("/films/new/lib.rw2"));
  EXPECT_TRUE(dialogs.Last().createPrompt);
  EXPECT_EQ(dlg->strGetSaveFileName(), QStringLiteral("/films/new/other.rw2"));
  EXPECT_EQ(dialogs.Last().initialDirectory, QStringLiteral("/films/new/"));
  EXPECT_EQ(dialogs.Last().filterIndex, 3);
  EXPECT_EQ(dlg->strLastSaveFile(), QStringLiteral("/films/new/other.rw2"));
  EXPECT_EQ(dlg->lngLastSaveFilter(), 3) << "the filter the user left selected";
  EXPECT_EQ(dlg->strLastOpenFolder(), gDocsFolder);
}

TEST_F(DialogsTest, PathThatDoesNotFitTheNameBufferIsRefused) {
  dlg->lngMaxFileNameBuffer = 20;
  // Save: the buffer holds 19 characters and the terminating NUL.
  dialogs.Choose({PathOfLength(19)}).Choose({PathOfLength(20)});
  EXPECT_EQ(dlg->strGetSaveFileName(), PathOfLength(19));
  boxes.Answer(vbOK);
  EXPECT_EQ(dlg->strGetSaveFileName(), QString());
  EXPECT_EQ(dlg->lngDialogError(), clsDialogs::kBufferTooSmall);
  EXPECT_EQ(dlg->strDialogError(), QStringLiteral("File Name/Title Buffer Too Small"));
  EXPECT_EQ(dlg->strLastSaveFile(), PathOfLength(19));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("File Name/Title Buffer Too Small"));

  // Open: the buffer is two characters longer.
  dialogs.Choose({PathOfLength(21)}).Choose({PathOfLength(22)});
  EXPECT_EQ(dlg->strGetOpenFileName(), PathOfLength(21));
  boxes.Answer(vbOK);
  EXPECT_EQ(dlg->strGetOpenFileName(), QString());
  EXPECT_EQ(dlg->lngDialogError(), clsDialogs::kBufferTooSmall);
}

TEST_F(DialogsTest, FailedDialogsAreRecordedAndShownOnlyWhenErrorsAreShown) {
  dialogs.Fail();
  boxes.Answer(vbOK);
  EXPECT_EQ(dlg->strGetOpenFileName(), QString());
  EXPECT_EQ(dlg->lngDialogError(), clsDialogs::kDialogFailure);
  EXPECT_EQ(dlg->strDialogError(), QStringLiteral("Dialog Failure"));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("DIALOG ERROR"));
  EXPECT_EQ(boxes.Last().style, vbCritical);
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("Dialog Failure"));
  EXPECT_EQ(boxes.Last().fontName, QStringLiteral("Tahoma"));
  EXPECT_EQ(boxes.Last().owner, nullptr);

  // Silenced: every failing dialog gives its failure result and its text.
  dlg->blnShowErrorMessages = false;
  dialogs.Fail(2).Fail(0x1234).Fail(12);
  EXPECT_EQ(dlg->strGetSaveFileName(), QString());
  EXPECT_EQ(dlg->strDialogError(), QStringLiteral("Initialization Failure"));
  EXPECT_EQ(dlg->lngChooseColor(RGB(1, 2, 3)), -1);
  EXPECT_EQ(dlg->strDialogError(), QStringLiteral("Unknown Error"));
  EXPECT_FALSE(dlg->blnChooseFont(QFont(QStringLiteral("Tahoma"), 9), 0));
  EXPECT_EQ(dlg->strDialogError(), QStringLiteral("Register Message Failure"));
  EXPECT_EQ(boxes.Count(), 1);
  EXPECT_EQ(dlg->strLastSaveFolder(), gDocsFolder);
  EXPECT_EQ(dlg->lngColor, RGB(192, 192, 192));
}

TEST_F(DialogsTest, RunTimeFailuresChainTheirTextUnderEachOperationsTitle) {
  FileDialogHandler scripted = SetFileDialogResponder([](const FileDialogRequest&) -> FileDialogResult {
    throw RWError(kErrFileNotFound, QStringLiteral("File not found"));
  });
  struct Operation {
    const char* title;
    std::function<bool()> failedAsExpected;
  };
  const Operation operations[] = {
      {"GET_OPEN_FILE_NAME_ERROR", [&] { return dlg->strGetOpenFileName().isEmpty(); }},
      {"GET_SAVE_FILE_NAME_ERROR", [&] { return dlg->strGetSaveFileName().isEmpty(); }},
      {"CHOOSE COLOR ERROR", [&] { return dlg->lngChooseColor(0) == -1; }},
      {"CHOOSE_FONT_ERROR", [&] { return !dlg->blnChooseFont(QFont(), 0); }},
  };
  QString expected = QStringLiteral("N/A");
  for (const Operation& operation : operations) {
    SCOPED_TRACE(operation.title);
    boxes.Answer(vbOK);
    EXPECT_TRUE(operation.failedAsExpected());
    expected = QStringLiteral("Error #:53\r\nFile not found\r\n") + expected;
    EXPECT_EQ(dlg->strDialogError(), expected);
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().title, QLatin1String(operation.title));
    EXPECT_EQ(boxes.Last().prompt, expected);
    boxes.Clear();
  }
  dlg->blnShowErrorMessages = false;
  EXPECT_TRUE(operations[0].failedAsExpected());
  EXPECT_EQ(boxes.Count(), 0);
  SetFileDialogResponder(std::move(scripted));
}

TEST_F(DialogsTest, ColourDialogKeepsTheChosenColourAndTheCustomColours) {
  CustomColours custom{};
  custom.fill(RGB(10, 20, 30));
  dialogs.ChooseColour(RGB(1, 2, 3), custom).Cancel();
  EXPECT_EQ(dlg->lngChooseColor(RGB(9, 9, 9)), static_cast<int32_t>(RGB(1, 2, 3)));
  EXPECT_EQ(dialogs.Last().colour, RGB(9, 9, 9));
  const CustomColours initial{0,        0xFFFFFF, 0xFF,     0xFF00,   0xFFFF,   0xFF0000, 0xFF00FF, 0xFFFF00,
                              0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
  EXPECT_EQ(dialogs.Last().customColours, initial);
  EXPECT_EQ(dlg->lngColor, RGB(1, 2, 3));

  // A cancel gives -1 and keeps the colour; the custom colours the user made
  // last time are offered again.
  EXPECT_EQ(dlg->lngChooseColor(RGB(4, 4, 4)), -1);
  EXPECT_EQ(dialogs.Last().customColours, custom);
  EXPECT_EQ(dlg->lngColor, RGB(1, 2, 3));
  EXPECT_EQ(dlg->lngDialogError(), 0);
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(DialogsTest, FontDialogGivesSizeFaceStyleAndTypeOfTheChosenFont) {
  QFont given(QStringLiteral("DejaVu Sans"), 12);
  given.setUnderline(true);
  given.setStrikeOut(true);
  QFont boldItalic(QStringLiteral("Liberation Serif"));
  boldItalic.setPointSizeF(14.5);
  boldItalic.setBold(true);
  boldItalic.setItalic(true);
  dialogs.ChooseFont(boldItalic);
  EXPECT_TRUE(dlg->blnChooseFont(given, RGB(5, 6, 7)));
  EXPECT_TRUE(dialogs.Last().font.underline());
  EXPECT_TRUE(dialogs.Last().font.strikeOut());
  EXPECT_EQ(dialogs.Last().font.pointSize(), 12);
  EXPECT_EQ(dlg->lngFontSize(), 14) << "half a point rounds to even";
  EXPECT_EQ(dlg->strFontFaceName(), QStringLiteral("Liberation Serif"));
  EXPECT_EQ(dlg->lngFontColor(), RGB(5, 6, 7)) << "the font dialog has no colour of its own";
  EXPECT_TRUE(dlg->blnIsFontBold());
  EXPECT_TRUE(dlg->blnIsFontItalic());
  EXPECT_EQ(dlg->strFontStyle(), QStringLiteral("Italic"));
  EXPECT_EQ(dlg->lngFontType(), clsDialogs::BOLD_FONTTYPE | clsDialogs::ITALIC_FONTTYPE | clsDialogs::SCREEN_FONTTYPE);

  // A plain font sized in pixels (no point size) counts as 10 points.
  QFont plain(QStringLiteral("DejaVu Sans"));
  plain.setPixelSize(30);
  QFont bold(QStringLiteral("DejaVu Sans"), 8);
  bold.setBold(true);
  dialogs.ChooseFont(plain).ChooseFont(bold).Cancel();
  EXPECT_TRUE(dlg->blnChooseFont(given, 0));
  EXPECT_EQ(dlg->lngFontSize(), 10);
  EXPECT_EQ(dlg->strFontStyle(), QString());
  EXPECT_FALSE(dlg->blnIsFontBold());
  EXPECT_EQ(dlg->lngFontType(), clsDialogs::REGULAR_FONTTYPE | clsDialogs::SCREEN_FONTTYPE);
  EXPECT_TRUE(dlg->blnChooseFont(given, 0));
  EXPECT_EQ(dlg->strFontStyle(), QStringLiteral("Bold"));
  EXPECT_EQ(dlg->lngFontSize(), 8);
  // A cancel keeps the last font.
  EXPECT_FALSE(dlg->blnChooseFont(given, RGB(1, 1, 1)));
  EXPECT_EQ(dlg->lngFontSize(), 8);
  EXPECT_EQ(dlg->lngFontColor(), 0u);
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(DialogsTest, BrowseForFolderGivesOnlyLocalExistingFoldersEndingInSlash) {
  QTemporaryDir folder;
  QWidget owner;
  dialogs.Choose({folder.path()})
      .Choose({QDir::rootPath()})
      .Choose({folder.filePath(QStringLiteral("missing"))})
      .Choose({QStringLiteral("smb://server/share")})
      .Cancel();
  EXPECT_EQ(dlg->fstrBrowseForFolder(&owner), folder.path() + QLatin1Char('/'));
  EXPECT_EQ(dialogs.Last().kind, FileDialogKind::Folder);
  EXPECT_EQ(dialogs.Last().title, QStringLiteral("Select Folder"));
  EXPECT_EQ(dialogs.Last().owner, &owner);
  EXPECT_EQ(dlg->fstrBrowseForFolder(nullptr), QStringLiteral("/"));
  EXPECT_EQ(dlg->fstrBrowseForFolder(nullptr), QString());
  EXPECT_EQ(dlg->fstrBrowseForFolder(nullptr), QString());
  EXPECT_EQ(dlg->fstrBrowseForFolder(nullptr), QString());
  EXPECT_EQ(dlg->strDialogError(), QStringLiteral("N/A")) << "the folder browser records no dialog error";
  EXPECT_EQ(dlg->strInitialDir, gDocsFolder);
}

// Qt's own dialogs behind the road, acted on from inside their modal loop.
class DialogsSeamTest : public ::testing::Test {
 protected:
  void SetUp() override { scripted_ = SetFileDialogResponder(nullptr); }
  void TearDown() override { SetFileDialogResponder(std::move(scripted_)); }

  // Once the dialog is open, `act` is given it.
  template <typename Dialog>
  static void WhenShown(std::function<void(Dialog*)> act) {
    QTimer::singleShot(0, [act] {
      auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      act(dialog);
    });
  }

 private:
  FileDialogHandler scripted_;
};

TEST_F(DialogsSeamTest, ColourDialogLoadsAndReturnsTheCustomColours) {
  FileDialogRequest request;
  request.kind = FileDialogKind::Colour;
  request.colour = RGB(1, 2, 3);
  request.customColours.fill(RGB(40, 50, 60));
  WhenShown<QColorDialog>([](QColorDialog* dialog) {
    EXPECT_EQ(QColorDialog::customColor(15), QColor(40, 50, 60));
    QColorDialog::setCustomColor(0, QColor(7, 8, 9));  // as the user would
    dialog->accept();
  });
  const FileDialogResult result = ShowFileDialog(request);
  EXPECT_TRUE(result.accepted);
  EXPECT_EQ(result.colour, RGB(1, 2, 3));
  EXPECT_EQ(result.customColours[0], RGB(7, 8, 9));
  EXPECT_EQ(result.customColours[15], RGB(40, 50, 60));
}

TEST_F(DialogsSeamTest, FileDialogOpensOnTheAskedFilterAndReportsTheOneLeft) {
  QTemporaryDir folder;
  const QString film = folder.filePath(QStringLiteral("film.avi"));
  QFile(film).open(QIODevice::WriteOnly);
  FileDialogRequest request;
  request.filter = QStringLiteral("Libraries (*.rw2);;Videos (*.avi);;All files (*)");
  request.filterIndex = 2;
  request.initialDirectory = folder.path();
  // The window under the dialog shows without it as soon as a name is
  // chosen, before anything the name starts (long work paints nothing else).
  rwtest::CountedWidget under;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&under));
  WhenShown<QFileDialog>([film, &under](QFileDialog* dialog) {
    EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("Videos (*.avi)"));
    dialog->selectNameFilter(QStringLiteral("All files (*)"));
    dialog->selectFile(film);
    under.paints = 0;
    static_cast<QDialog*>(dialog)->accept();
  });
  const FileDialogResult result = ShowFileDialog(request);
  EXPECT_EQ(under.paints, 1);
  EXPECT_TRUE(result.accepted);
  EXPECT_EQ(result.files, QStringList{film});
  EXPECT_EQ(result.filterIndex, 3);
  EXPECT_EQ(result.extendedError, 0);
}

}  // namespace
