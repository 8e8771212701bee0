// Inspecting a clip on a connected disk: it opens paused at its segment's
// start in the preview, and what was measured is written back.
#include "tests/app/ProgramRun.h"

#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/ErrorGuard.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/TreeView.h"
#include "player/cMpvCore.h"
#include "player/clsRWPlayer.h"
#include "tests/support/DeadMount.h"
#include "tests/support/FaultTrigger.h"
#include "tests/support/TestVideo.h"
#include "tests/support/TurkishCharacters.h"
#include "ui/SchemeColours.h"

#include <QDate>
#include <QLocale>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <clocale>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace rwtest {
namespace {

class InspectorLoadTest : public RunningProgramTest {
protected:
  void SetUp() override {
    RunningProgramTest::SetUp();
    RW_REQUIRE_FFMPEG();
    cMpvCore::SetAudioOutput(QStringLiteral("null"));
    const QString library = gLibrariesFolder + QStringLiteral("Films.rw2");
    modReelwise::ExtractTemplateLibrary(library);
    gLibrary->OpenLibrary(library, true);
    folder_ = ScratchPath(QStringLiteral("films/"));
    QDir().mkpath(folder_);
    Db().Execute(QStringLiteral("INSERT INTO FileLocations VALUES ('AB12', "
                                "'Films', ':\\\\', '%1', 'Fixed Disk', "
                                "NULL, 1)")
                     .arg(folder_));
  }
  static SqlConnection &Db() { return gLibrary->Connection(); }
  // File 1 named `name` in the test folder, its whole-file row 1 ending at
  // 99 with a stored size of 1234.
  void AddFile(const QString &name) {
    auto insert = Db().Prepare(QStringLiteral(
        "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, "
        "FileSize, CurrentPath) VALUES (1, 'AB12', '', ?, 1234, ?)"));
    insert->Bind(1, SqlValue(name));
    insert->Bind(2, SqlValue(folder_));
    insert->Execute();
    Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, "
                                "FileFlag, SelectionEnd, Online, "
                                "Rating) VALUES (1, 1, 'Y', 99, 1, 0)"));
  }
  static bool Inspect() {
    ResultItem item;
    item.SegmentID = 1;
    item.FileID = 1;
    bool loaded = false;
    gMainForm->Inspector().LoadInspector(item, loaded);
    return loaded;
  }
  static QString Status() {
    return gMainForm->Inspector().lblOpenFileStatus->Caption();
  }
  static QString Label(int i) {
    return gMainForm->Inspector().lblFileData[i]->Caption();
  }
  static bool TaggedUnplayable() {
    auto rs = Db().OpenRecordset(QStringLiteral(
        "SELECT COUNT(*) FROM SegmentTags WHERE SegmentID = 1 AND TagID = 1"));
    return rs->Value(0).toInt() > 0;
  }
  static int64_t StoredSize() {
    auto rs = Db().OpenRecordset(
        QStringLiteral("SELECT FileSize FROM VideoFiles WHERE FileID = 1"));
    return rs->Eof() ? -1 : rs->Value(0).toInt64();
  }
  static double StoredEnd() {
    auto rs = Db().OpenRecordset(
        QStringLiteral("SELECT SelectionEnd FROM VideoSegments WHERE SegmentID = 1"));
    return rs->Value(0).toDouble();
  }

  QString folder_;
};

TEST_F(InspectorLoadTest,
       AClipOpensPausedAtItsSegmentsStartAndItsFactsAreStored) {
  TestVideoSpec spec;
  spec.seconds = 2;
  spec.frameIndex = true;
  ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("Clip «été».mkv"), spec));
  Db().Execute(
      QStringLiteral(
          "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, "
          "FileSize, "
          "CurrentPath) VALUES (1, 'AB12', '', 'Clip «été».mkv', 0, '%1')")
          .arg(folder_));
  Db().Execute(
      QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, "
                     "SelectionEnd, Online, Rating) "
                     "VALUES (1, 1, 'Y', 99, 1, 4), (2, 1, NULL, 1.2, 1, 0)"));
  Db().Execute(QStringLiteral(
      "UPDATE VideoSegments SET SelectionStart = 0.8 WHERE SegmentID = 2"));
  ResultItem item;
  item.SegmentID = 2;
  item.FileID = 1;
  gResultKind = ResultScope::Segment;
  bool loaded = false;
  gMainForm->Inspector().LoadInspector(item, loaded);
  ASSERT_TRUE(loaded)
      << gMainForm->Inspector().lblOpenFileStatus->Caption().toStdString();
  EXPECT_TRUE(gPlayer->FileLoaded());
  EXPECT_TRUE(gPlayer->Visible());
  EXPECT_NEAR(gPlayer->Position(), 0.8, 0.05)
      << "paused at the segment's start";
  EXPECT_EQ(gMainForm->Inspector().m_DurationHundredths, 200);
  auto whole = Db().OpenRecordset(QStringLiteral(
      "SELECT SelectionEnd FROM VideoSegments WHERE SegmentID = 1"));
  EXPECT_NEAR(whole->Value(0).toDouble(), 2.0, 0.05)
      << "the whole-file end rewritten whichever row is inspected";
  auto file = Db().OpenRecordset(QStringLiteral(
      "SELECT FileSize, Dimensions, FrameRate, FileFormat FROM VideoFiles"));
  EXPECT_GT(file->Value(0).toInt64(), 0);
  EXPECT_EQ(file->Value(1).toString(), QStringLiteral(" 320x240"));
  EXPECT_EQ(file->Value(2).toDouble(), 25.0);
  EXPECT_EQ(file->Value(3).toString(), QStringLiteral("Matroska"));
  auto stamp =
      Db().OpenRecordset(QStringLiteral("SELECT DateTime FROM VideoFiles"));
  EXPECT_TRUE(QRegularExpression(
                  QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                  .match(stamp->Value(0).toString())
                  .hasMatch())
      << stamp->Value(0).toString().toStdString();
  EXPECT_EQ(gInspectedItem.FileDate.time().second(),
            QFileInfo(folder_ + QStringLiteral("Clip «été».mkv"))
                .lastModified()
                .time()
                .second());
  EXPECT_EQ(gMainForm->Inspector().lblFileData[9]->Caption(),
            QStringLiteral("ONLINE"));
  EXPECT_EQ(gMainForm->Inspector().lblFileData[2]->Caption(),
            QLocale().toString(QDate::currentDate(), QLocale::ShortFormat))
      << "the file's date as measured, in the locale's short form";
  EXPECT_EQ(gMainForm->Inspector().flexSegments->Row(), 2)
      << "the segment's row selected";
  if (!qEnvironmentVariableIsEmpty("RW_SCREENSHOT")) {
    gMainForm->resize(1280, 800);
    // The grab paints at once; the layout of the new size is what it waits for.
    ASSERT_TRUE(QTest::qWaitFor([] { return gMainForm->size() == QSize(1280, 800); }, 10000));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    gMainForm->grab().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG");
  }
}

TEST_F(InspectorLoadTest,
       AShortMp4WithALongNameAndSoundShowsItsFormatsAndItsNode) {
  TestVideoSpec spec;
  spec.seconds = 0.5;
  spec.audio = true;
  const QString name = QString(196, QLatin1Char('n')) + QStringLiteral(".mp4");
  ASSERT_TRUE(MakeTestVideo(folder_, name, spec));
  AddFile(name);
  ASSERT_TRUE(Inspect()) << Status().toStdString();
  EXPECT_EQ(gMainForm->Inspector().m_DurationHundredths, 10)
      << "under a second counts as 10";
  EXPECT_EQ(Label(12), QStringLiteral("MPEG-4"));
  EXPECT_FALSE(Label(13).isEmpty());
  EXPECT_FALSE(Label(14).isEmpty()) << "the audio format";
  const ctl::Node *node = Tree().Nodes.Find(QStringLiteral("F-MPEG-4"));
  ASSERT_NE(node, nullptr) << "a new format gets its node";
  EXPECT_TRUE(node->Bold());
  EXPECT_EQ(node->ForeColor(), gSchemeColour4);
}

TEST_F(InspectorLoadTest, AClipWithoutSoundLeavesTheAudioLabelEmpty) {
  ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("Silent.mkv")));
  AddFile(QStringLiteral("Silent.mkv"));
  ASSERT_TRUE(Inspect()) << Status().toStdString();
  EXPECT_EQ(Label(12), QStringLiteral("Matroska"));
  EXPECT_TRUE(Label(14).isEmpty());
}

TEST_F(InspectorLoadTest, MissingAndEmptyFilesSayWhyKeepTheirRowsAndTheEmptyOneIsUnplayable) {
  AddFile(QStringLiteral("Gone.mkv"));
  EXPECT_FALSE(Inspect());
  EXPECT_TRUE(Status().startsWith(QStringLiteral("File not found!")))
      << Status().toStdString();
  EXPECT_EQ(StoredSize(), 1234) << "the stored size stays";
  EXPECT_FALSE(TaggedUnplayable());

  QFile empty(folder_ + QStringLiteral("Gone.mkv"));
  ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
  empty.close();
  EXPECT_FALSE(Inspect());
  EXPECT_TRUE(Status().contains(QStringLiteral("zero bytes")))
      << Status().toStdString();
  EXPECT_TRUE(TaggedUnplayable()) << "a file of no bytes cannot be played";
  EXPECT_FALSE(gPlayer->Visible());
  EXPECT_EQ(gInspectedItem.FileID, 1) << "still shown from the library";
}

// The preview's open may be cut short by another open or an unload (the
// full-screen player taking the engine, a new file chosen): nothing was
// learnt of the file then, so it is neither tagged nor called unplayable.
TEST_F(InspectorLoadTest, AnOpenCutShortByAnotherLeavesTheFileUnmarked) {
  ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("Clip.mkv")));
  AddFile(QStringLiteral("Clip.mkv"));
  QTimer unload;  // turns with every pass of the waits inside the load
  unload.setInterval(0);
  QObject::connect(&unload, &QTimer::timeout, [] { gPlayer->CleanUp(); });
  unload.start();
  const bool opened = Inspect();
  unload.stop();
  EXPECT_FALSE(opened);
  EXPECT_TRUE(gPlayer->OpenInterrupted());
  EXPECT_FALSE(TaggedUnplayable());
  EXPECT_FALSE(Status().contains(QStringLiteral("Cannot Open File"))) << Status().toStdString();
  EXPECT_TRUE(Inspect()) << "the next open of the same file succeeds";
  EXPECT_FALSE(gPlayer->OpenInterrupted());
}

TEST_F(InspectorLoadTest, AnMp4CutBeforeItsIndexIsTaggedUnplayable) {
  TestVideoSpec spec;
  spec.seconds = 2;
  ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("Cut.mp4"), spec));
  QFile cut(folder_ + QStringLiteral("Cut.mp4"));
  ASSERT_TRUE(cut.resize(cut.size() / 2)) << "the index sits at the end";
  AddFile(QStringLiteral("Cut.mp4"));
  EXPECT_FALSE(Inspect());
  EXPECT_TRUE(Status().startsWith(QStringLiteral("Cannot open file!")))
      << Status().toStdString();
  EXPECT_TRUE(Status().contains(
      QStringLiteral("\r\n                 - your default player")));
  EXPECT_TRUE(TaggedUnplayable());
  EXPECT_FALSE(gPlayer->Visible());
  EXPECT_GE(StoredSize(), 1) << "the row is kept";
}

TEST_F(InspectorLoadTest, TheLoadingAnimationRunsWhileAFileOpensAndStopsAfter) {
  ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("Clip.mkv")));
  AddFile(QStringLiteral("Clip.mkv"));
  const ctl::AnimatedPicture &loading = *gMainForm->Inspector().RWLoadingInd;
  bool seenRunning = false;
  QTimer watch;  // looks in while the load lets the message loop run
  watch.setInterval(0);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    seenRunning = seenRunning || (loading.isVisibleTo(gMainForm) && loading.Playing());
  });
  watch.start();
  ASSERT_TRUE(Inspect()) << Status().toStdString();
  watch.stop();
  EXPECT_TRUE(seenRunning) << "shown and started while the file opens";
  EXPECT_FALSE(loading.Playing());
  EXPECT_FALSE(loading.isVisibleTo(gMainForm));
}

TEST_F(InspectorLoadTest, AnUnexpectedErrorIsShownAndTheLoadGoesOnWithItsNextSteps) {
  ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("Jammed.mkv")));
  AddFile(QStringLiteral("Jammed.mkv"));
  // The measured length cannot be written back.
  rwtest::AddFaultTrigger(Db(), QStringLiteral("CREATE TRIGGER jam BEFORE UPDATE OF SelectionEnd ON VideoSegments "
                                               "BEGIN SELECT RAISE(ABORT, 'stuck'); END"));
  EXPECT_FALSE(Inspect());
  EXPECT_TRUE(Status().startsWith(QStringLiteral("Cannot Open File: \r\n\r\n"))) << Status().toStdString();
  EXPECT_TRUE(Status().contains(QStringLiteral("refused this change"))) << Status().toStdString();
  EXPECT_FALSE(Status().contains(QStringLiteral("stuck"))) << "another program's words are for the log";
  EXPECT_TRUE(TaggedUnplayable());
  EXPECT_EQ(Label(1), folder_) << "the location is shown";
  EXPECT_EQ(Label(9), QStringLiteral("ONLINE"));
  EXPECT_EQ(gMainForm->Inspector().flexSegments->TextMatrix(1, 4), QStringLiteral("1")) << "the segments are listed";
  EXPECT_EQ(gMainForm->Inspector().mnuRecent[1]->text(), QStringLiteral("Jammed.mkv")) << "and kept in the history";
  EXPECT_FALSE(gMainForm->Inspector().RWLoadingInd->Playing());
}

// A full disk, or a library file that can no longer be written, says
// nothing of the file: the command that asked for the load tells it once, in
// the program's words naming the library; the file shows in the preview
// without a problem text, is not tagged "Unplayable", and nothing the load
// wrote before the failure stays.
TEST_F(InspectorLoadTest, AFullLibraryDiskIsToldOnceAndLeavesTheFileUnmarkedAndItsRowsAsTheyWere) {
  ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("Clip.mkv")));
  AddFile(QStringLiteral("Clip.mkv"));
  rwtest::AddFaultTrigger(Db(), QStringLiteral("CREATE TEMP TRIGGER Full BEFORE UPDATE OF FileSize ON VideoFiles BEGIN "
                              "SELECT rw_fault(13); END"));
  boxes.AnswerAll([](const MessageBoxRequest &) { return vbOK; });
  EXPECT_FALSE(ErrorGuard().Run([] { Inspect(); }));
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Disk Full"));
  EXPECT_TRUE(boxes.Last().prompt.contains(gLibrary->LibraryPath)) << boxes.Last().prompt.toStdString();
  EXPECT_TRUE(Status().isEmpty()) << Status().toStdString();
  EXPECT_TRUE(gPlayer->Visible());
  EXPECT_FALSE(TaggedUnplayable());
  EXPECT_EQ(StoredEnd(), 99) << "the whole-file end, written before the failure, is rolled back";
  EXPECT_EQ(StoredSize(), 1234);
  EXPECT_EQ(gMainForm->Inspector().flexSegments->TextMatrix(1, 4), QStringLiteral("1")) << "the panels are shown";
}

// A load waits while the file's mount is asked and while the player opens
// the file; another load, or another library, may come meanwhile. The load
// overtaken stops there: it neither shows nor writes anything of its file.
TEST_F(InspectorLoadTest, ALoadOvertakenByAnotherLoadOrLibraryShowsAndWritesNothingOfItsFile) {
  ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("First.mkv")));
  ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("Second.mkv")));
  AddFile(QStringLiteral("First.mkv"));
  Db().Execute(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, "
                              "CurrentPath) VALUES (2, 'AB12', '', 'Second.mkv', 5678, '%1'); "
                              "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionEnd, Online, "
                              "Rating) VALUES (2, 2, 'Y', 99, 1, 0)")
                   .arg(folder_));
  const QString other = gLibrariesFolder + QStringLiteral("Other.rw2");
  Db().CopyTo(other);
  std::function<void()> overtake;  // run once, at the first turn of the events inside the load
  QTimer turns;
  turns.setInterval(0);
  QObject::connect(&turns, &QTimer::timeout, [&] {
    if (const std::function<void()> run = std::exchange(overtake, nullptr)) run();
  });
  turns.start();
  overtake = [] {
    ResultItem second;
    second.SegmentID = 2;
    second.FileID = 2;
    bool loaded = false;
    gMainForm->Inspector().LoadInspector(second, loaded);
  };
  EXPECT_FALSE(Inspect());
  EXPECT_EQ(gInspectedItem.FileID, 2);
  EXPECT_EQ(gInspectedItem.FileSize, QFileInfo(folder_ + QStringLiteral("Second.mkv")).size());
  EXPECT_TRUE(Label(0).startsWith(QStringLiteral("Second"))) << Label(0).toStdString();
  EXPECT_EQ(StoredSize(), 1234) << "the first file's row is left as it was";

  overtake = [&] { gLibrary->OpenLibrary(other, true); };
  EXPECT_FALSE(Inspect());
  ASSERT_EQ(gLibrary->LibraryPath, other);
  EXPECT_EQ(StoredSize(), 1234) << "nothing of the first file is written into the other library";
  EXPECT_EQ(boxes.Count(), 0);
}

// The format library reads the file by its name after the player has opened
// it: a file gone in between (a disk unplugged, a name changed) has no format
// names. It goes under the red "Undetermined" node, each time without a
// box, and the load goes on.
TEST_F(InspectorLoadTest, AFileTheFormatLibraryCannotOpenIsUndeterminedWithoutABox) {
  TestVideoSpec spec;
  spec.seconds = 1;
  AddFile(QStringLiteral("Gone soon.mkv"));
  Db().Execute(QStringLiteral("UPDATE VideoFiles SET FileFormat = 'Matroska'"));
  // A segment from 0.4 s: the player seeks to its start after the open.
  Db().Execute(QStringLiteral("UPDATE VideoSegments SET FileFlag = 'N', SelectionStart = 0.4 WHERE SegmentID = 1"));
  ASSERT_EQ(Tree().Nodes.Find(QStringLiteral("F-Undetermined")), nullptr);
  for (int round = 1; round <= 2; ++round) {
    ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("Gone soon.mkv"), spec));
    // The first turn of the message loop once the player holds the file (its
    // wait for the segment's start) takes the name away; the player reads on.
    QTimer remove;
    remove.setInterval(0);
    QObject::connect(&remove, &QTimer::timeout, [&] {
      if (gPlayer->FileLoaded()) QFile::remove(folder_ + QStringLiteral("Gone soon.mkv"));
    });
    remove.start();
    const bool loaded = Inspect();
    remove.stop();
    ASSERT_TRUE(loaded) << Status().toStdString();
    EXPECT_EQ(boxes.Count(), 0) << round;
    EXPECT_TRUE(Label(12).isEmpty());
    EXPECT_TRUE(Label(13).isEmpty());
    EXPECT_TRUE(Label(14).isEmpty());
    EXPECT_TRUE(gInspectedItem.FileFormat.isEmpty());
    const ctl::Node* node = Tree().Nodes.Find(QStringLiteral("F-Undetermined"));
    ASSERT_NE(node, nullptr) << round;
    EXPECT_EQ(node->Text(), QStringLiteral("Undetermined"));
    EXPECT_EQ(node->ForeColor(), RGB(255, 0, 0));
    EXPECT_TRUE(node->Bold());
    EXPECT_EQ(Db().OpenRecordset(QStringLiteral("SELECT FileFormat FROM VideoFiles"))->Value(0).toString(), QString());
    EXPECT_EQ(gMainForm->Inspector().flexSegments->TextMatrix(1, 4), QStringLiteral("1")) << "the load goes on";
  }
}

// The format library turns a name into the C library's multibyte encoding to
// open it; a name that is not ASCII is read under the "C" locale too. Under
// Turkish case rules the formats are read as under any other, and a format
// stored as a text that is none (the library's whole report) is read again.
TEST_F(InspectorLoadTest, ANameThatIsNotAsciiIsReadUnderTheCAndTheTurkishLocale) {
  TestVideoSpec spec;
  spec.seconds = 1;
  ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("Café 映画.mkv"), spec));
  AddFile(QStringLiteral("Café 映画.mkv"));
  const std::string characterType = std::setlocale(LC_CTYPE, nullptr);
  std::setlocale(LC_CTYPE, "C");
  const bool loaded = Inspect();
  std::setlocale(LC_CTYPE, characterType.c_str());
  ASSERT_TRUE(loaded) << Status().toStdString();
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_EQ(Label(12), QStringLiteral("Matroska"));
  const QString junk = QStringLiteral("General\nComplete name : Café 映画.mkv");
  auto store = Db().Prepare(QStringLiteral("UPDATE VideoFiles SET FileFormat = ?"));
  store->Bind(1, SqlValue(junk));
  store->Execute();
  gLibrary->PopulateTree();
  ASSERT_NE(Tree().Nodes.Find(QStringLiteral("F-") + junk), nullptr);
  const TurkishCharacters turkish;
  if (!turkish.Switched()) GTEST_SKIP() << kNoTurkishLocale;
  ASSERT_TRUE(Inspect()) << Status().toStdString();
  EXPECT_EQ(QStringList({Label(12), Label(13)}), QStringList({QStringLiteral("Matroska"), QStringLiteral("MPEG-4 Visual")}));
  EXPECT_EQ(Db().OpenRecordset(QStringLiteral("SELECT FileFormat FROM VideoFiles"))->Value(0).toString(),
            QStringLiteral("Matroska"));
  EXPECT_EQ(Tree().Nodes.Find(QStringLiteral("F-") + junk), nullptr) << "no file has it any more";
}

TEST_F(InspectorLoadTest, TheTextOfAnUnplayableFileWrapsInsideThePreviewAndNamesToolsOfThisSystem) {
  QFile broken(folder_ + QStringLiteral("Broken.avi"));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write(QByteArray(20000, 'x'));
  broken.close();
  AddFile(QStringLiteral("Broken.avi"));
  Db().Execute(QStringLiteral("UPDATE VideoFiles SET FileFormat = 'AVI'"));
  ASSERT_EQ(Tree().Nodes.Find(QStringLiteral("F-Undetermined")), nullptr);
  EXPECT_FALSE(Inspect());
  // Neither the player nor the format library reads it: it is Undetermined
  // at once, in the tree and in the library.
  EXPECT_TRUE(Label(12).isEmpty()) << Label(12).toStdString();
  const ctl::Node* undetermined = Tree().Nodes.Find(QStringLiteral("F-Undetermined"));
  ASSERT_NE(undetermined, nullptr);
  EXPECT_EQ(undetermined->ForeColor(), RGB(255, 0, 0));
  EXPECT_EQ(Db().OpenRecordset(QStringLiteral("SELECT FileFormat FROM VideoFiles"))->Value(0).toString(), QString());
  for (const char *gone : {"Gspot", "Graphedit"}) EXPECT_FALSE(Status().contains(QLatin1String(gone))) << gone;
  EXPECT_TRUE(Status().contains(QStringLiteral("                 - MediaInfo")));
  EXPECT_TRUE(Status().contains(QStringLiteral("                 - ffprobe")));
  const ctl::Label &text = *gMainForm->Inspector().lblOpenFileStatus;
  const QWidget &preview = *gMainForm->Inspector().framPreview;
  EXPECT_TRUE(text.WordWrap());
  EXPECT_TRUE(preview.rect().contains(text.geometry())) << "the text's box lies inside the preview";
  const QFontMetrics metrics(text.font());
  const QRect needed = metrics.boundingRect(QRect(0, 0, text.width(), 100000),
                                            Qt::AlignHCenter | Qt::TextWordWrap, text.Caption());
  EXPECT_LE(needed.height(), text.height()) << "every line fits";
  EXPECT_LE(needed.width(), text.width());
}

// Run in a mount namespace of its own: the file's folder is covered by a
// file server that answers for its root alone, as a share whose server went
// away. The inspection ends with the file offline instead of never ending.
TEST_F(InspectorLoadTest, AFileOnAMountThatStopsAnsweringCountsAsOfflineWhileTheWindowGoesOn) {
  RW_RUN_IN_OWN_MOUNT_NAMESPACE();
  AddFile(QStringLiteral("clip.mkv"));
  System().Mount(folder_.chopped(1), QStringLiteral("fuse.sshfs"), QStringLiteral("nas:/films"));
  System().Write();
  DeadMount dead(folder_.chopped(1));
  if (!dead.Mounted()) GTEST_SKIP() << dead.Problem().toStdString();
  const WaitWatch watch;
  EXPECT_FALSE(Inspect());
  EXPECT_FALSE(dead.Released()) << "the inspection came back while the server still did not answer";
  EXPECT_TRUE(watch.PaintedAlone()) << "the window painted during the wait and ran nothing else";
  EXPECT_TRUE(Status().startsWith(QStringLiteral("Offline file:"))) << Status().toStdString();
  EXPECT_FALSE(TaggedUnplayable()) << "a file that could not be reached is not marked";
  EXPECT_EQ(StoredSize(), 1234) << "the stored size is kept";
  EXPECT_EQ(boxes.Count(), 0);
}

// The mount stops answering after the file opened, while the format library
// reads it: the read gives up within the probe's time limit and the file
// counts as offline. A close of the window asked for meanwhile waits for the
// load and is carried out after it, rather than taking the library, the
// player and the window from under it.
TEST_F(InspectorLoadTest, AMountThatDiesBeforeTheFormatsAreReadHoldsNeitherTheLoadNorTheCloseForLong) {
  RW_RUN_IN_OWN_MOUNT_NAMESPACE();
  ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("clip.mkv")));
  AddFile(QStringLiteral("clip.mkv"));
  // A segment from 0.4 s: the message loop turns while the player seeks to it.
  Db().Execute(QStringLiteral("UPDATE VideoSegments SET FileFlag = 'N', SelectionStart = 0.4 WHERE SegmentID = 1"));
  System().Mount(folder_.chopped(1), QStringLiteral("fuse.sshfs"), QStringLiteral("nas:/films"));
  System().Write();
  std::optional<DeadMount> dead;
  std::optional<bool> closed;
  QTimer turns;
  turns.setInterval(0);
  QObject::connect(&turns, &QTimer::timeout, [&] {
    // The player holds the file (and reads on through it) before the server goes.
    if (!dead && gPlayer->FileLoaded()) dead.emplace(folder_.chopped(1), 15000);
    if (dead && dead->Unanswered() > 0 && !closed) closed = gMainForm->close();
  });
  turns.start();
  const bool loaded = Inspect();
  turns.stop();
  if (!dead || !dead->Mounted()) GTEST_SKIP() << (dead ? dead->Problem().toStdString() : "the file never opened");
  EXPECT_FALSE(loaded);
  EXPECT_FALSE(dead->Released()) << "the load came back while the server still did not answer";
  ASSERT_TRUE(closed.has_value()) << "the window was closed during the read";
  EXPECT_FALSE(*closed) << "the close waited for the load";
  EXPECT_TRUE(Status().startsWith(QStringLiteral("Offline file:"))) << Status().toStdString();
  EXPECT_FALSE(TaggedUnplayable());
  EXPECT_EQ(boxes.Count(), 0);
  QTRY_VERIFY(gMainForm == nullptr);
  EXPECT_TRUE(dead->ReleaseAndOutliveWaiters()) << "the read given up ends once answered";
}

} // namespace
} // namespace rwtest
