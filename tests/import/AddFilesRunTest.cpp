// The add-files run on a mounted disk: what it records of each file, how it
// treats files it cannot play, known files, relocation, cancel, and files or
// disks that go away while it runs.
#include "tests/import/AddFilesFixture.h"

#include "core/modShellNotifs.h"
#include "platform/MountProbe.h"
#include "player/frmDSSink.h"
#include "player/modMainPlayer.h"
#include "resources/Resources.h"
#include "tests/player/PlayerFixture.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/FaultTrigger.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestTickClock.h"
#include "tests/support/TurkishCharacters.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTest>

namespace rwtest {
namespace {

// The facts are read alike under every locale: the run goes under Turkish
// case rules, whose capital of "i" is "İ".
TEST_F(AddFilesTest, NewClipsAreRecordedWithTheirFactsAndAThumbnailOfTheirMiddle) {
  RW_REQUIRE_FFMPEG();
  const TurkishCharacters turkish;
  TestVideoSpec bars;
  bars.frameIndex = true;
  MakeClip(QStringLiteral("Films/bars.mp4"), bars);
  MakeClip(QStringLiteral("Films/Old/pattern.mkv"));
  RunAddFiles(QStringLiteral("Films"));
  EXPECT_EQ(boxes.Count(), 0);
  ASSERT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 2);
  EXPECT_EQ(FileColumn(QStringLiteral("bars.mp4"), QStringLiteral("DiskSerialNo")).toString(), QLatin1String(kSerial));
  EXPECT_EQ(FileColumn(QStringLiteral("bars.mp4"), QStringLiteral("FilePath")).toString(), QStringLiteral("Films\\"));
  EXPECT_EQ(FileColumn(QStringLiteral("pattern.mkv"), QStringLiteral("FilePath")).toString(),
            QStringLiteral("Films\\Old\\"));
  EXPECT_EQ(FileColumn(QStringLiteral("bars.mp4"), QStringLiteral("CurrentPath")).toString(), disk_ + "Films/");
  EXPECT_EQ(FileColumn(QStringLiteral("bars.mp4"), QStringLiteral("FrameRate")).toDouble(), 25.0);
  EXPECT_EQ(FileColumn(QStringLiteral("bars.mp4"), QStringLiteral("Dimensions")).toString(), QStringLiteral(" 320x240"));
  EXPECT_EQ(FileColumn(QStringLiteral("bars.mp4"), QStringLiteral("FileFormat")).toString(), QStringLiteral("MPEG-4"));
  EXPECT_EQ(FileColumn(QStringLiteral("pattern.mkv"), QStringLiteral("FileFormat")).toString(),
            QStringLiteral("Matroska"));
  EXPECT_GT(FileColumn(QStringLiteral("bars.mp4"), QStringLiteral("Bitrate")).toInt(), 0);
  EXPECT_EQ(FileColumn(QStringLiteral("bars.mp4"), QStringLiteral("DateAdded")).toString(),
            QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles F JOIN VideoSegments S ON S.SegmentID = F.FileID "
                                 "AND S.FileID = F.FileID WHERE S.FileFlag = 'Y' AND abs(S.SelectionEnd - 2.0) < 0.05")),
            2)
      << "each file's whole-file segment has the FileID's number and ends at the duration";
  const QImage thumb = Thumbnail(QStringLiteral("bars.mp4"));
  ASSERT_EQ(thumb.size(), QSize(100, 75));
  EXPECT_LE(ColourDistance(thumb.pixel(50, 40), kColourBars[3]), 40) << "the middle bar, green";
  EXPECT_LE(ColourDistance(thumb.pixel(14, 40), kColourBars[1]), 40) << "the crop leaves a sliver of the first bar";
  EXPECT_LE(ColourDistance(thumb.pixel(86, 40), kColourBars[5]), 40);
  EXPECT_TRUE(gViewSpec.startsWith(QStringLiteral("|_?I:"))) << gViewSpec.toStdString();
  EXPECT_EQ(gLibrary->ResultCount, 2);
  EXPECT_TRUE(HistoryCombo().Text().contains(QStringLiteral("New Files (since "))) << HistoryCombo().Text().toStdString();
  EXPECT_NE(Tree().Nodes.Find(QStringLiteral("F-MPEG-4")), nullptr);
  EXPECT_EQ(gMainForm->windowTitle(), QStringLiteral("Reelwise II - Films"));
  EXPECT_FALSE(gAddingFiles);
  if (!turkish.Switched()) GTEST_SKIP() << kNoTurkishLocale;
}

// Sampled at a few points, the thumbnail is the picture (both JPEG).
bool LooksLike(const QImage& thumb, const QImage& picture) {
  if (thumb.size() != QSize(100, 75) || picture.isNull()) return false;
  for (QPoint at : {QPoint(50, 37), QPoint(20, 10), QPoint(80, 65), QPoint(30, 50)}) {
    if (ColourDistance(thumb.pixel(at), picture.pixel(at)) > 24) return false;
  }
  return true;
}

TEST_F(AddFilesTest, FilesThatCannotBePlayedGetTheUnplayablePictureAndTheTag) {
  RW_REQUIRE_FFMPEG();
  MakeFile(QStringLiteral("empty.avi"), QByteArray());
  MakeFile(QStringLiteral("notes.mkv"), "These are notes, not a film.\n");
  TestVideoSpec spec;
  const QString whole = MakeClip(QStringLiteral("tmp/whole.mp4"), spec);
  QFile clip(whole);
  ASSERT_TRUE(clip.open(QIODevice::ReadOnly));
  MakeFile(QStringLiteral("cut short.mp4"), clip.read(clip.size() / 3));
  QFile::remove(whole);
  RunAddFiles();
  ASSERT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 3);
  const QImage unplayable = LoadResPicture(QStringLiteral("UNPLAYABLE"), kResCustom);
  for (const char* name : {"empty.avi", "notes.mkv", "cut short.mp4"}) {
    EXPECT_TRUE(LooksLike(Thumbnail(QLatin1String(name)), unplayable)) << name;
  }
  const QString tagged = QStringLiteral("SELECT count(*) FROM SegmentTags T JOIN VideoFiles F ON F.FileID = "
                                        "T.SegmentID WHERE T.TagID = 1 AND F.FileName = '%1'");
  EXPECT_EQ(Count(tagged.arg(QStringLiteral("empty.avi"))), 1) << "a file of no bytes cannot be played either";
  EXPECT_EQ(Count(tagged.arg(QStringLiteral("notes.mkv"))), 1);
  EXPECT_EQ(Count(tagged.arg(QStringLiteral("cut short.mp4"))), 1);
}

TEST_F(AddFilesTest, AGrabThatTimesOutStoresTheNoThumbnailPicture) {
  RW_REQUIRE_FFMPEG();
  MakeClip(QStringLiteral("clip.mkv"));
  SetOther("ThumbnailTimeout", 0);
  RunAddFiles();
  EXPECT_TRUE(LooksLike(Thumbnail(QStringLiteral("clip.mkv")), LoadResPicture(QStringLiteral("NO_THUMB"), kResCustom)));
  EXPECT_EQ(FileColumn(QStringLiteral("clip.mkv"), QStringLiteral("FrameRate")).toDouble(), 25.0)
      << "the facts are stored all the same";
}

TEST_F(AddFilesTest, ASecondRunAddsNothingButTheSameNameInAnotherFolderIsNew) {
  MakeFile(QStringLiteral("A/Clip.avi"));
  MakeFile(QStringLiteral("A/clip.avi"));
  auto fast = [](frmAddToLibrary& dialog) { dialog.optImportScope[0]->click(); };
  RunAddFiles(QStringLiteral("A"), fast);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 2) << "names differing in case are two files";
  RunAddFiles(QStringLiteral("A"), fast);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 2);
  EXPECT_EQ(gLibrary->ResultCount, 0) << "the run's result is empty";
  EXPECT_EQ(gMainForm->Import().LastRun().known, 2);
  MakeFile(QStringLiteral("B/Clip.avi"));
  RunAddFiles(QString(), fast);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 3);
  EXPECT_EQ(gLibrary->ResultCount, 1);
}

TEST_F(AddFilesTest, FastScopeOpensNothingAndStoresNoThumbnails) {
  RW_REQUIRE_FFMPEG();
  MakeClip(QStringLiteral("clip.mkv"));
  RunAddFiles(QString(), [](frmAddToLibrary& dialog) { dialog.optImportScope[0]->click(); });
  ASSERT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 1);
  EXPECT_TRUE(FileColumn(QStringLiteral("clip.mkv"), QStringLiteral("FrameRate")).IsNull());
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM SegmentThumbnails WHERE SegmentID > 0")), 0);
  EXPECT_GT(FileColumn(QStringLiteral("clip.mkv"), QStringLiteral("FileSize")).toInt(), 1000);
}

TEST_F(AddFilesTest, RelocationPointsTheRowsOfTheNameAndSizeAtTheNewFolder) {
  MakeFile(QStringLiteral("Old/Rock 'n' Roll.avi"), "twelve bytes");
  RunAddFiles(QStringLiteral("Old"), [](frmAddToLibrary& dialog) { dialog.optImportScope[0]->click(); });
  ASSERT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 1);
  QDir(disk_).mkpath(QStringLiteral("New"));
  ASSERT_TRUE(QFile::rename(disk_ + "Old/Rock 'n' Roll.avi", disk_ + "New/Rock 'n' Roll.avi"));
  RunAddFiles(QStringLiteral("New"), [](frmAddToLibrary& dialog) { dialog.chkRelocateFiles->click(); });
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 1) << "nothing added";
  auto rs = Db().OpenRecordset(QStringLiteral("SELECT FilePath, CurrentPath FROM VideoFiles"));
  EXPECT_EQ(rs->Value(0).toString(), QStringLiteral("New\\"));
  EXPECT_EQ(rs->Value(1).toString(), disk_ + "New/");
  EXPECT_EQ(gMainForm->Import().LastRun().relocated, 1);
  EXPECT_TRUE(HistoryCombo().Text().contains(QStringLiteral("Files Re-Located to 'Films'")))
      << HistoryCombo().Text().toStdString();
  ASSERT_EQ(gLibrary->ResultCount, 1) << "the relocated file is shown";
  EXPECT_EQ(gResults[1].FileName, QStringLiteral("Rock 'n' Roll.avi"));
}

TEST_F(AddFilesTest, FilesRelocatedFromAnUnpluggedDiskShowOnlineOnTheDiskNamedByWhereItIsMounted) {
  MakeFile(QStringLiteral("Clip 1.avi"), "one");
  MakeFile(QStringLiteral("Clip 2.avi"), "two!");
  MakeFile(QStringLiteral("Other.avi"), "other");
  RunAddFiles(QString(), [](frmAddToLibrary& dialog) { dialog.optImportScope[0]->click(); });
  ASSERT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 3);
  // The two clips are copied to a disk without a label; the first disk goes.
  const QString spare = System().MountPoint(QStringLiteral("spare"));
  System().MountDisk(spare, QStringLiteral("ext4"),
                     {.device = QStringLiteral("/dev/sdc1"), .uuid = QStringLiteral("9a8b7c6d-1111-2222-3333-444455556666"),
                      .label = QString(), .major = 8, .minor = 33});
  System().Unmount(disk_.chopped(1));
  System().Write();
  for (const char* name : {"Clip 1.avi", "Clip 2.avi"}) {
    QDir().mkpath(spare + QStringLiteral("/Moved"));
    ASSERT_TRUE(QFile::copy(disk_ + QLatin1String(name), spare + QStringLiteral("/Moved/") + QLatin1String(name)));
  }
  gLibrary->OpenLibrary(library_, true);  // the first disk is offline now
  ASSERT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoSegments WHERE Online = 0")), 3);
  disk_ = spare + QLatin1Char('/');
  RunAddFiles(QStringLiteral("Moved"), [](frmAddToLibrary& dialog) { dialog.chkRelocateFiles->click(); });
  EXPECT_EQ(gMainForm->Import().LastRun().relocated, 2);
  EXPECT_TRUE(HistoryCombo().Text().contains(QStringLiteral("Files Re-Located to '") + spare + QLatin1Char('\'')))
      << "a disk without a label is named by where it is mounted: " << HistoryCombo().Text().toStdString();
  ASSERT_EQ(gLibrary->ResultCount, 2) << "the relocated files, and only they";
  for (int i = 1; i <= 2; ++i) {
    EXPECT_TRUE(gResults[static_cast<size_t>(i)].FileName.startsWith(QStringLiteral("Clip ")));
    EXPECT_EQ(gResults[static_cast<size_t>(i)].CurrentPath, spare + QStringLiteral("/Moved/"));
  }
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoSegments S JOIN VideoFiles F ON F.FileID = S.FileID "
                                 "WHERE F.FileName LIKE 'Clip%' AND S.Online = 1")),
            2)
      << "online on the disk they are on now";
}

TEST_F(AddFilesTest, CancellingAfterTenOfFiftyKeepsAndShowsTheTen) {
  for (int i = 1; i <= 50; ++i) MakeFile(QStringLiteral("Clip %1.avi").arg(i, 2, 10, QLatin1Char('0')));
  TitleWatch watch([](const QString& title) {
    if (title == QLatin1String("Scanning: 20%")) gMainForm->Import().cmdAbortScan->click();
  });
  RunAddFiles(QString(), [](frmAddToLibrary& dialog) { dialog.optImportScope[0]->click(); });
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 10);
  EXPECT_EQ(gLibrary->ResultCount, 10);
  EXPECT_FALSE(gMainForm->Import().cmdAbortScan->isVisible());
}

// Esc goes to whichever control of the main window has the focus, as a key
// on the keyboard does; held, it arrives again and again. No other key or
// click of the main window is taken during the run: the Library menu's
// "Open" chosen from the keyboard there would open another library inside it.
TEST_F(AddFilesTest, EscTappedOrHeldStopsTheRunWhereverTheFocusIsAndNoOtherCommandIsTaken) {
  const QString other = gLibrariesFolder + QStringLiteral("Other.rw2");
  modReelwise::ExtractTemplateLibrary(other);
  ScriptedFileDialogs dialogs;
  dialogs.Choose({other});
  for (int i = 1; i <= 50; ++i) {
    MakeFile(QStringLiteral("Tapped/Clip %1.avi").arg(i, 2, 10, QLatin1Char('0')));
    MakeFile(QStringLiteral("Held/Clip %1.avi").arg(i, 2, 10, QLatin1Char('0')));
  }
  gMainForm->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(gMainForm));
  int expected = 0;
  for (const bool held : {false, true}) {
    SCOPED_TRACE(held ? "held" : "tapped");
    int presses = 0;
    TitleWatch watch([&](const QString& title) {
      // The window system gives the main window back its activation once
      // the dialog has closed; the offscreen platform leaves that to the test.
      if (title == QLatin1String("Scanning: 10%")) gMainForm->activateWindow();
      if (title != QLatin1String("Scanning: 20%") || presses > 0) return;
      // Keys go to the focused control, or to the active window when no
      // control has the focus.
      QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
      ASSERT_NE(focus, nullptr);
      ASSERT_EQ(focus->window(), gMainForm.data());
      QTest::keyClick(focus, Qt::Key_L, Qt::AltModifier);
      EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "the menu opened during the run";
      QTest::keyClick(QApplication::activePopupWidget() ? QApplication::activePopupWidget() : focus, Qt::Key_O);
      QTest::mouseClick(gMainForm->Tree().tvwLibrary->Viewport(), Qt::LeftButton);
      EXPECT_EQ(dialogs.Count(), 0) << "a command ran inside the run";
      for (int repeat = 0; repeat < (held ? 5 : 1); ++repeat, ++presses) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"), held && repeat > 0);
        QApplication::sendEvent(focus, &press);
      }
      QTest::keyRelease(focus, Qt::Key_Escape);
    });
    RunAddFiles(QLatin1String(held ? "Held" : "Tapped"), [](frmAddToLibrary& dialog) { dialog.optImportScope[0]->click(); });
    expected += 10;
    EXPECT_GT(presses, 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), expected);
    EXPECT_EQ(gLibrary->ResultCount, 10);
    EXPECT_FALSE(gMainForm->Import().cmdAbortScan->isVisible());
    EXPECT_EQ(gLibrary->LibraryPath, library_);
  }
}

// Ctrl+Q in the full-screen window ends the run at once and then closes the
// program, as a termination signal does (the main window, under the run's
// window, takes no keys until the run is over).
TEST_F(AddFilesTest, CtrlQDuringAFullScreenRunEndsTheRunAndThenTheProgram) {
  TestVideoSpec minute;
  minute.seconds = 60;
  MakeClip(QStringLiteral("Long clip.mp4"), minute);
  RunAddFiles();
  ASSERT_EQ(gLibrary->ResultCount, 1);
  bool pressed = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (pressed || !gDSSinkForm || !gFullScreenFileOpen) return;
    pressed = true;
    QTest::keyClick(gDSSinkForm.data(), Qt::Key_Q, Qt::ControlModifier);
  });
  poll.start(20);
  // A run that goes on fails the test instead of hanging it.
  QTimer ceiling;
  ceiling.setSingleShot(true);
  QObject::connect(&ceiling, &QTimer::timeout, [] {
    if (gDSSinkForm) gDSSinkForm->close();
  });
  ceiling.start(rwtest::kWaitCeilingMs);
  QElapsedTimer run;
  run.start();
  gMainForm->MainToolbarHandler(QStringLiteral("mnuToolsRunPlaylist"));
  EXPECT_TRUE(pressed);
  EXPECT_LT(run.elapsed(), 50000) << "the run ended before its minute-long clip";
  EXPECT_TRUE(gDSSinkForm.isNull());
  EXPECT_TRUE(QTest::qWaitFor([] { return gMainForm.isNull(); }, rwtest::kWaitCeilingMs)) << "the program closed";
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(AddFilesTest, FilesGoneAndADiskUnpluggedDuringTheRunAreTakenInAtItsEnd) {
  for (int i = 1; i <= 6; ++i) MakeFile(QStringLiteral("Clip %1.avi").arg(i));
  const QString doomed = disk_ + QStringLiteral("Clip 4.avi");
  bool unplugged = false;
  TitleWatch watch([&](const QString& title) {
    if (title != QLatin1String("Scanning: 33%") || unplugged) return;
    unplugged = true;
    QFile::remove(doomed);
    System().Unmount(disk_.chopped(1));
    System().Write();
    modShellNotifs::ShellNotify_OnMessage(0, SHCNE_MEDIAREMOVED);
    EXPECT_TRUE(gDeviceChangePending) << "noted, not acted on, while the run adds files";
  });
  boxes.Answer(1);
  RunAddFiles(QString(), [](frmAddToLibrary& dialog) { dialog.optImportScope[0]->click(); });
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 5);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles WHERE FileName = 'Clip 4.avi'")), 0);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoSegments WHERE Online = 0")), 5)
      << "the device table was rebuilt once at the end: the disk is gone";
  EXPECT_FALSE(gDeviceChangePending);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.contains(doomed)) << boxes.Last().prompt.toStdString();
}

TEST_F(AddFilesTest, EntriesTheWalkPassedOverAreReportedOnceAfterTheRunButHiddenOnesAreNot) {
  MakeFile(QStringLiteral("Clip.avi"));
  ASSERT_TRUE(QFile::link(disk_ + "Clip.avi", disk_ + "Link.avi"));
  MakeFile(QStringLiteral(".Secret.avi"));
  MakeFile(QStringLiteral(".trash/Old.avi"));
  boxes.Answer(1);
  RunAddFiles(QString(), [](frmAddToLibrary& dialog) { dialog.optImportScope[0]->click(); });
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 1);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("1 symbolic link"))) << boxes.Last().prompt.toStdString();
  EXPECT_TRUE(boxes.Last().prompt.contains(disk_ + "Link.avi"));
  for (const char* hidden : {"Secret", "trash"}) {
    EXPECT_FALSE(boxes.Last().prompt.contains(QLatin1String(hidden))) << "hidden entries go without a word";
  }
}

TEST_F(AddFilesTest, ADiskThatDoesNotAnswerIsNotWalked) {
  MakeFile(QStringLiteral("Clip.avi"));
  MountProbe::SetRootProbe([](const QString&) { return false; });
  boxes.Answer(1);
  RunAddFiles();
  MountProbe::SetRootProbe(nullptr);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Invalid Search Location"));
  EXPECT_TRUE(boxes.Last().prompt.endsWith(QStringLiteral("The drive does not answer: ") + disk_))
      << boxes.Last().prompt.toStdString();
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 0);
}

TEST_F(AddFilesTest, OddNamesAndSizesAreStoredExactly) {
  const QString nfc = QString::fromUtf8("Caf\xc3\xa9.avi");
  const QString nfd = QString::fromUtf8("Cafe\xcc\x81.avi");
  const QString question = QStringLiteral("Who???What.avi");
  const QString quote = QStringLiteral("Rock 'n' Roll.avi");
  const QString longName = QString(246, QLatin1Char('x')) + QStringLiteral(".avi");
  for (const QString& name : {nfc, nfd, question, quote, longName}) MakeFile(QStringLiteral("Odd/") + name);
  const QString sparse = MakeFile(QStringLiteral("Odd/Big.mkv"), QByteArray());
  ASSERT_TRUE(QFile(sparse).resize(6442450944LL));
  MakeFile(QStringLiteral("Locked/Inside.avi"));
  ASSERT_TRUE(QFile::setPermissions(disk_ + "Locked", QFile::ReadOwner | QFile::ExeOwner));
  RunAddFiles(QString(), [](frmAddToLibrary& dialog) { dialog.optImportScope[0]->click(); });
  QFile::setPermissions(disk_ + "Locked", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QStringList stored;
  auto rs = Db().OpenRecordset(QStringLiteral("SELECT FileName FROM VideoFiles ORDER BY FileName"));
  for (; !rs->Eof(); rs->MoveNext()) stored << rs->Value(0).toString();
  QStringList expected{nfc, nfd, question, quote, longName, QStringLiteral("Big.mkv"), QStringLiteral("Inside.avi")};
  expected.sort();
  EXPECT_EQ(stored, expected) << "NFC and NFD are two names, each kept as it is";
  auto big = Db().OpenRecordset(QStringLiteral("SELECT FileSize FROM VideoFiles WHERE FileName = 'Big.mkv'"));
  EXPECT_EQ(big->Value(0).toInt64(), 6442450944LL);
  EXPECT_EQ(FileColumn(QStringLiteral("Inside.avi"), QStringLiteral("FilePath")).toString(), QStringLiteral("Locked\\"));
}

TEST_F(AddFilesTest, AFileThatFailsLeavesNoHalfRecordAndTheRunGoesOn) {
  for (const char* name : {"A.avi", "Bad.avi", "C.avi"}) MakeFile(QLatin1String(name));
  rwtest::AddFaultTrigger(Db(), QStringLiteral("CREATE TEMP TRIGGER NoRoom BEFORE INSERT ON VideoFiles WHEN "
                                               "NEW.FileName = 'Bad.avi' BEGIN SELECT RAISE(ABORT, 'no room for this "
                                               "one'); END"));
  boxes.Answer(1);
  RunAddFiles(QString(), [](frmAddToLibrary& dialog) { dialog.optImportScope[0]->click(); });
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Error While Adding Files"));
  // Another program's rule refused the file: told in the program's words.
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("refused this change"))) << boxes.Last().prompt.toStdString();
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("no room for this one")));
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 2);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoSegments")), 2) << "the failed file's segment went too";
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoSegments S LEFT JOIN VideoFiles F ON F.FileID = "
                                 "S.FileID WHERE F.FileID IS NULL")),
            0);
}

// The run's commits go by the program's clock, held here by the test: each
// file takes 60 ms of it, as on a slow medium.
TEST_F(AddFilesTest, FilesAddedAreCommittedAtLeastEverySecondWhileTheRunGoesOn) {
  for (int i = 1; i <= 30; ++i) MakeFile(QStringLiteral("Clip %1.avi").arg(i, 2, 10, QLatin1Char('0')));
  int seenByAnotherReader = -1;
  TestTickClock clock;
  TitleWatch watch([&](const QString& title) {
    if (!title.startsWith(QLatin1String("Scanning:"))) return;
    clock.now += 60;
    if (title == QLatin1String("Scanning: 90%")) {
      auto reader = SqlConnection::Open(library_);
      auto rs = reader->OpenRecordset(QStringLiteral("SELECT count(*) FROM VideoFiles"));
      seenByAnotherReader = rs->Value(0).toInt();
    }
  });
  RunAddFiles(QString(), [](frmAddToLibrary& dialog) { dialog.optImportScope[0]->click(); });
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 30);
  EXPECT_EQ(seenByAnotherReader, 17) << "after 1.6 s of the run, the files of its first second are in the file";
}

}  // namespace
}  // namespace rwtest
