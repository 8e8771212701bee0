// The library object: creating, opening, refusing, copying and upgrading
// libraries, and what it tells its view of each.
#include "library/InterruptedCopies.h"
#include "library/LibraryFile.h"
#include "library/clsRWLibrary.h"
#include "platform/HangGuard.h"
#include "platform/JpegCodec.h"
#include "platform/QuitRequest.h"
#include "platform/SqlRecordset.h"
#include "platform/TerminationSignals.h"
#include "tests/library/OldLibraries.h"
#include "tests/library/TreeFixture.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/PaintCounter.h"
#include "tests/support/TestTickClock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <csignal>

#include <gtest/gtest.h>

namespace {

class LibraryObjectTest : public rwtest::OpenLibraryTest {
 protected:
  // A library from the template in the Libraries folder, changed by `sql`.
  static QString MakeLibrary(const QString& name, const QString& sql = QString()) {
    const QString path = gLibrariesFolder + name;
    modReelwise::ExtractTemplateLibrary(path);
    if (!sql.isEmpty()) SqlConnection::Open(path)->Execute(sql);
    return path;
  }
  static QString MakeOldLibrary(const QString& name, const char* script) {
    const QString path = gLibrariesFolder + name;
    SqlConnection::Create(path)->Execute(QString::fromUtf8(script));
    return path;
  }

  static QString Version() {
    return One(QStringLiteral("SELECT printf('%d.%d.%d %s', Major, Minor, Revision, ReleaseStatus) FROM VersionData"))
        .toString();
  }
  // A count read from the file at `path` through a connection of its own.
  static int CountIn(const QString& path, const QString& sql) {
    return SqlConnection::Open(path)->OpenRecordset(sql)->Value(0).toInt();
  }
  static QByteArray Jpeg(int width, int height) {
    ImageSurface picture(width, height);
    picture.Fill(RGB(200, 40, 40));
    return JpegCodec().Encode(picture, 90);
  }
  // Whether the view shows an open library ("Save As" usable, no welcome page).
  static bool ShownOpen() { return View().loaded == 1; }

  rwtest::ScriptedFileDialogs dialogs;
};

// Something the program sends itself during long work: a zero-delay timer, a
// queued call and a posted event, each counted by whether it ran during the
// work or after it.
class SentDuringWork : public QObject {
 public:
  bool working = false;
  QStringList during;
  int after = 0;

  void Send() {
    QTimer::singleShot(0, [this] { Ran(QStringLiteral("timer")); });
    QMetaObject::invokeMethod(this, [this] { Ran(QStringLiteral("queued")); }, Qt::QueuedConnection);
    QCoreApplication::postEvent(this, new QEvent(QEvent::User));
  }

 protected:
  bool event(QEvent* e) override {
    if (e->type() != QEvent::User) return QObject::event(e);
    Ran(QStringLiteral("posted"));
    return true;
  }

 private:
  void Ran(const QString& what) {
    if (working) {
      during << what;
    } else {
      ++after;
    }
  }
};

// The scratch library has no name, and stays open through opens of files
// that are no library, which leave no file behind and nothing of its view
// changed; a new library is made over an existing file only on the
// affirmative answer, the scratch library staying open otherwise.
TEST_F(LibraryObjectTest, TheScratchLibraryStaysOpenThroughWhatIsNoLibraryAndAReplaceNotConfirmed) {
  EXPECT_TRUE(gLibrary->Unsaved());
  EXPECT_EQ(gLibrary->LibraryPath, gPlaceholderLibraryPath);
  EXPECT_TRUE(gLibrary->LibraryName.isEmpty());
  EXPECT_FALSE(ShownOpen());

  // Files that are no library: missing, text, another program's database.
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  const QString missing = gLibrariesFolder + QStringLiteral("Missing.rw2");
  gLibrary->OpenLibrary(missing, true);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Library not found!"));
  EXPECT_FALSE(QFileInfo::exists(missing)) << "opening never creates a file";
  EXPECT_TRUE(gLibrary->Unsaved());

  const QString text = gLibrariesFolder + QStringLiteral("Notes.rw2");
  QFile file(text);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("These are no films.\n");
  file.close();
  gLibrary->OpenLibrary(text, true);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Incompatible Library"));
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("is not a Reelwise II Library")));
  EXPECT_TRUE(gLibrary->Unsaved());

  const QString other = gLibrariesFolder + QStringLiteral("Other.rw2");
  SqlConnection::Create(other)->Execute(QStringLiteral("CREATE TABLE Recipes (Name text)"));
  gLibrary->OpenLibrary(other, true);
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("is not a Reelwise II Library")));
  EXPECT_TRUE(gLibrary->Unsaved());
  EXPECT_EQ(boxes.Count(), 3);
  EXPECT_EQ(View().loaded, -1) << "nothing of the scratch library's view changed";
  EXPECT_TRUE(View().browserEnabled);

  // Its own path opened.
  gLibrary->OpenLibrary(gPlaceholderLibraryPath, true);
  EXPECT_TRUE(gLibrary->Unsaved());
  EXPECT_TRUE(gAppReady) << "opening the scratch library's own path leaves the program ready";

  // A new library onto an existing file: only the affirmative answer replaces it.
  const QString existing = MakeLibrary(QStringLiteral("Kept.rw2"),
                                       QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Old', 'T')"));
  for (int answer : {vbCancel, 0}) {
    SCOPED_TRACE(answer);
    boxes.Answer(answer);
    dialogs.Choose({existing});
    gLibrary->SaveLibraryAsDialog(true);
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Confirm Library Replace"));
    EXPECT_EQ(boxes.Last().style, vbOKCancel | vbQuestion);
    EXPECT_EQ(boxes.Last().prompt, QStringLiteral("A Library with that name already exists!\r\n\r\n"
                                                  "Do you wish to replace it with this one?"));
    EXPECT_TRUE(gLibrary->Unsaved());
    EXPECT_EQ(CountIn(existing, QStringLiteral("SELECT count(*) FROM Tags")), 5);
  }
  boxes.Answer(vbOK);
  dialogs.Choose({existing});
  gLibrary->SaveLibraryAsDialog(true);
  EXPECT_EQ(gLibrary->LibraryPath, existing);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM Tags")), 4) << "the empty library replaced it";
}

// A new library is made from the template and opened, without the view or
// the inspected file of the library open before, and replaces the open
// library's own file when made onto it; Save As copies the open library and
// opens the copy, nothing the program sends itself running inside it.
TEST_F(LibraryObjectTest, ANewLibraryIsMadeFromTheTemplateAndSaveAsOpensACopyOfTheOpenOne) {
  dialogs.Choose({gLibrariesFolder + QStringLiteral("Films")});
  gLibrary->SaveLibraryAsDialog(true);
  ASSERT_EQ(dialogs.Count(), 1);
  EXPECT_EQ(dialogs.Last().kind, FileDialogKind::Save);
  EXPECT_EQ(dialogs.Last().title, QStringLiteral("Specify a name for this new Library..."));
  EXPECT_EQ(dialogs.Last().initialDirectory, gLibrariesFolder);
  EXPECT_EQ(dialogs.Last().filter, QStringLiteral("Reelwise Libraries (*.rw2);;All files (*.*)"));

  const QString films = gLibrariesFolder + QStringLiteral("Films.rw2");
  EXPECT_EQ(gLibrary->LibraryPath, films);
  EXPECT_EQ(gLibrary->LibraryName, QStringLiteral("Films"));
  EXPECT_EQ(View().caption, QStringLiteral("Films"));
  EXPECT_TRUE(ShownOpen());
  EXPECT_TRUE(gAppReady);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM Tags WHERE TagID = 1 AND Tag = 'Unplayable' AND Type = 'T'")), 1);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM Tags WHERE TagID IN (2, 3, 4) AND Type = 'F'")), 3);
  EXPECT_EQ(Version(), QStringLiteral("1.6.5 Final")) << "stamped by the upkeep of the first open";
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
  EXPECT_EQ(boxes.Count(), 0);

  // A new library starts without results and with nothing inspected: the
  // view on show and the inspected file belong to the library open before.
  gLibrary->OpenLibrary(MakeLibrary(QStringLiteral("Drama.rw2"),
                                    QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Drama', 'T')")),
                        true);
  gLibrary->ShowView(QStringLiteral("|_T:10"), QString());
  ASSERT_EQ(gViewSpec, QStringLiteral("|_T:10"));
  ASSERT_EQ(View().combo.ComboItems.Count(), 1);
  const int clears = View().inspectorClears;
  dialogs.Choose({gLibrariesFolder + QStringLiteral("Empty")});
  gLibrary->SaveLibraryAsDialog(true);
  ASSERT_EQ(gLibrary->LibraryPath, gLibrariesFolder + QStringLiteral("Empty.rw2"));
  EXPECT_EQ(View().inspectorClears, clears + 1);
  EXPECT_TRUE(gViewSpec.isEmpty());
  EXPECT_TRUE(gViewDescription.isEmpty());
  QStringList steps;
  for (const auto& item : View().combo.ComboItems) steps << item->Text().trimmed();
  EXPECT_TRUE(steps.isEmpty()) << steps.join(QStringLiteral(" | ")).toStdString();
  EXPECT_EQ(gLibrary->ResultCount, 0);
  EXPECT_EQ(boxes.Count(), 0);

  // A new library onto the open one's own file replaces it.
  gLibrary->OpenLibrary(films, true);
  Exec(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Old', 'T')"));
  boxes.Answer(vbOK);
  dialogs.Choose({films});
  gLibrary->SaveLibraryAsDialog(true);
  EXPECT_EQ(gLibrary->LibraryPath, films);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM Tags")), 4);
  EXPECT_EQ(gLibrary->LibraryName, QStringLiteral("Films"));

  // Save As: nothing the program sends itself during the copy and the open
  // of the copy runs inside them.
  Exec(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Zoë''s', 'T')"));
  boxes.Clear();
  SentDuringWork sent;
  sent.Send();
  sent.working = true;
  dialogs.Choose({gLibrariesFolder + QStringLiteral("Archive")});
  gLibrary->SaveLibraryAsDialog(false);
  sent.working = false;
  EXPECT_TRUE(sent.during.isEmpty()) << sent.during.join(QLatin1Char(' ')).toStdString();
  EXPECT_TRUE(QTest::qWaitFor([&] { return sent.after == 3; }, rwtest::kWaitCeilingMs));
  EXPECT_EQ(dialogs.Last().title, QStringLiteral("Save Library"));
  EXPECT_EQ(gLibrary->LibraryPath, gLibrariesFolder + QStringLiteral("Archive.rw2"));
  EXPECT_EQ(One(QStringLiteral("SELECT Tag FROM Tags WHERE TagID = 10")).toString(), QStringLiteral("Zoë's"));
  EXPECT_TRUE(gAppReady) << "a copy leaves the program ready";

  dialogs.Choose({gLibrariesFolder + QStringLiteral("Archive.RW2")});
  gLibrary->SaveLibraryAsDialog(false);
  EXPECT_EQ(gLibrary->LibraryPath, gLibrariesFolder + QStringLiteral("Archive.RW2.rw2"));

  // Onto the open file itself, with or without its extension: nothing happens.
  for (const QString& name : {gLibrary->LibraryPath, gLibrariesFolder + QStringLiteral("Archive.RW2")}) {
    dialogs.Choose({name});
    gLibrary->SaveLibraryAsDialog(false);
    EXPECT_EQ(gLibrary->LibraryPath, gLibrariesFolder + QStringLiteral("Archive.RW2.rw2"));
    EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM Tags WHERE TagID = 10")), 1);
  }
  dialogs.Cancel();
  gLibrary->SaveLibraryAsDialog(true);
  EXPECT_EQ(gLibrary->LibraryPath, gLibrariesFolder + QStringLiteral("Archive.RW2.rw2")) << "cancelled";
  EXPECT_EQ(boxes.Count(), 0);
}

// Libraries of earlier versions open, one without a version table getting
// one; those of later versions are refused, the library open before staying
// open and usable with its tree and results as they were.
TEST_F(LibraryObjectTest, EarlierVersionsOpenAndLaterOnesAreRefused) {
  const QString first = MakeLibrary(QStringLiteral("First.rw2"));
  gLibrary->OpenLibrary(first, true);
  ASSERT_EQ(gLibrary->LibraryPath, first);
  gLibrary->ResultCount = 3;

  for (const char* version : {"1,6,5", "1,6,0", "0,9,9"}) {
    const QString path = MakeLibrary(QStringLiteral("V%1.rw2").arg(QLatin1String(version)),
                                     QStringLiteral("DELETE FROM VersionData; INSERT INTO VersionData VALUES (%1, "
                                                    "'Final')").arg(QLatin1String(version)));
    gLibrary->OpenLibrary(path, false);
    EXPECT_EQ(gLibrary->LibraryPath, path) << version;
  }
  gLibrary->OpenLibrary(first, true);
  const int nodes = Tree().Nodes.Count();
  ASSERT_GT(nodes, 0);
  gLibrary->ResultCount = 3;

  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  for (const auto& [major, minor, revision] : {std::tuple{1, 6, 6}, std::tuple{1, 7, 0}, std::tuple{2, 0, 0}}) {
    const QString path = MakeLibrary(
        QStringLiteral("Later%1%2%3.rw2").arg(major).arg(minor).arg(revision),
        QStringLiteral("DELETE FROM VersionData; INSERT INTO VersionData VALUES (%1, %2, %3, 'Final')")
            .arg(major).arg(minor).arg(revision));
    gLibrary->OpenLibrary(path, true);
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Incompatible Library"));
    EXPECT_EQ(boxes.Last().style, vbExclamation);
    EXPECT_EQ(boxes.Last().prompt, QStringLiteral(" '%1'\r\n\r\nwas created by a later version (%2.%3.%4) of \r\n"
                                                  "Reelwise II and therefore cannot be opened.")
                                       .arg(path).arg(major).arg(minor).arg(revision));
    // The library that was open stays open and usable, its tree and results as they were.
    EXPECT_EQ(gLibrary->LibraryPath, first);
    EXPECT_EQ(gLibrary->LibraryName, QStringLiteral("First"));
    EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM Tags")), 4);
    EXPECT_EQ(Tree().Nodes.Count(), nodes);
    EXPECT_EQ(gLibrary->ResultCount, 3);
    EXPECT_TRUE(gAppReady);
    EXPECT_TRUE(View().browserEnabled);
  }
  EXPECT_EQ(boxes.Count(), 3);

  // A library without a version table is accepted and gets one.
  const QString path = MakeLibrary(QStringLiteral("Unversioned.rw2"), QStringLiteral("DROP TABLE VersionData"));
  gLibrary->OpenLibrary(path, true);
  EXPECT_EQ(gLibrary->LibraryPath, path);
  EXPECT_EQ(Version(), QStringLiteral("1.6.5 Final"));
}

// An open handles no event before its end: a zero-delay timer, a queued call
// and a posted event sent during it, a request to end the program and a
// termination signal among them, run only after it, so that nothing they
// start meets the library half open; the open completes and the program
// then ends with the library whole. The TV-Out open's pause runs nothing
// either.
TEST_F(LibraryObjectTest, NothingSentDuringAnOpenRunsInsideItAndAQuitOrASignalEndsTheProgramAfterIt) {
  // Each open is of a file not seen before, which shows its check's progress.
  QString path;
  SentDuringWork sent;
  int ended = 0;
  bool openOverAtTheEnd = false;
  const auto quit = [&] {
    QuitRequest::Request([&] {
      ++ended;
      openOverAtTheEnd = !sent.working && gAppReady && gLibrary->LibraryPath == path;
    });
  };
  bool sentThisOpen = false;
  View().onProgress = [&](const QString&) {
    if (sentThisOpen) return;
    sentThisOpen = true;
    sent.Send();
    QMetaObject::invokeMethod(&sent, quit, Qt::QueuedConnection);
  };
  for (const bool tvOut : {true, false}) {
    path = MakeLibrary(tvOut ? QStringLiteral("Films.rw2") : QStringLiteral("Clips.rw2"));
    gTVOutMode = tvOut;
    gAppReady = false;
    sentThisOpen = false;
    sent.working = true;
    gLibrary->OpenLibrary(path, true);
    sent.working = false;
    gTVOutMode = false;
    EXPECT_TRUE(sent.during.isEmpty()) << sent.during.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return sent.after == 3 && ended == 1; }, rwtest::kWaitCeilingMs));
    EXPECT_TRUE(openOverAtTheEnd);
    QuitRequest::Reset();
    sent.after = 0;
    ended = 0;
    openOverAtTheEnd = false;
  }

  // A termination signal taken during the open is handled after it.
  TerminationSignals termination([&](int) { quit(); });
  ASSERT_TRUE(termination.Installed());
  View().onProgress = [&](const QString&) {
    if (sent.working && !TerminationSignals::Taken()) ::raise(SIGTERM);
  };
  path = MakeLibrary(QStringLiteral("Shorts.rw2"));
  sent.working = true;
  gLibrary->OpenLibrary(path, true);
  sent.working = false;
  EXPECT_TRUE(TerminationSignals::Taken());
  EXPECT_EQ(ended, 0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ended == 1; }, rwtest::kWaitCeilingMs));
  EXPECT_TRUE(openOverAtTheEnd);
  QuitRequest::Reset();
  View().onProgress = nullptr;
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM pragma_integrity_check WHERE integrity_check <> 'ok'")), 0);
}

// Once an open has run longer than half a second the window paints every
// tenth of a second, so that the open's steps show in the progress strip; a
// short open paints nothing before its end.
TEST_F(LibraryObjectTest, ALongOpenPaintsItsProgress) {
  const QString path = MakeLibrary(QStringLiteral("Films.rw2"));
  rwtest::TestTickClock clock;
  rwtest::CountedWidget strip(QRect(0, 0, 200, 20));  // stands for the progress strip
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&strip));
  rwtest::RunEventLoopPasses();
  bool opening = false;
  int paintsDuring = 0;
  View().onProgress = [&](const QString&) { strip.update(); };
  const auto open = [&] {
    View().progressCaptions.clear();
    const int before = strip.paints;
    opening = true;
    gLibrary->OpenLibrary(path, true);
    opening = false;
    paintsDuring = strip.paints - before;
    ASSERT_EQ(gLibrary->LibraryPath, path);
    rwtest::RunEventLoopPasses();
  };
  open();
  EXPECT_EQ(paintsDuring, 0) << "a short open";
  EXPECT_TRUE(View().progressCaptions.contains(QStringLiteral("Checking Library..."))) << "a file not seen before";

  clock.stepPerRead = 150;
  gLibrary->Connection().Execute(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'New', 'T')"));
  open();
  EXPECT_GT(paintsDuring, 0);
  EXPECT_TRUE(View().progressCaptions.contains(QStringLiteral("Performing Housekeeping...")));
  View().onProgress = nullptr;
}

// An old library is upgraded at its open after a copy of it is kept: a
// second open changes nothing but the version row; a copy that cannot be
// written is told, naming it, and the upgrade goes on; a renumbering that
// cannot complete, or is stopped by a request to end the program, leaves the
// file as it was and the scratch library open.
TEST_F(LibraryObjectTest, AnOldLibraryIsUpgradedAfterACopyIsKeptOrLeftAsItWas) {
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  {
    // The renumbering blocked: one message; the file is not used in its old
    // layout: the scratch library and the welcome page come back.
    SCOPED_TRACE("renumbering that cannot complete");
    const QString path = MakeOldLibrary(QStringLiteral("Blocked.rw2"), kOldestLibrary);
    SqlConnection::Open(path)->Execute(QStringLiteral("CREATE TABLE VideoFiles01 (x)"));
    gLibrary->OpenLibrary(path, true);
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().style, vbExclamation);
    EXPECT_TRUE(boxes.Last().prompt.contains(UpgradeBackupPath(path)));
    EXPECT_TRUE(gLibrary->Unsaved());
    EXPECT_EQ(View().loaded, 0) << "the welcome page is back";
    EXPECT_EQ(View().caption, QStringLiteral("No Library Loaded"));
    EXPECT_TRUE(gAppReady);
    EXPECT_EQ(CountIn(path, QStringLiteral("SELECT count(*) FROM VideoFiles WHERE FileID IN (7, 8)")), 2);
    EXPECT_EQ(CountIn(path, QStringLiteral("SELECT count(*) FROM VideoSegments")), 5) << "no orphan clean-up";
    EXPECT_EQ(CountIn(path, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'VersionData'")), 0)
        << "not even the version table was added";
    EXPECT_FALSE(gLibrary->Connection().InTransaction());
  }

  boxes.Clear();
  const QString path = MakeOldLibrary(QStringLiteral("Old.rw2"), kOldestLibrary);
  gLibrary->OpenLibrary(path, true);
  ASSERT_EQ(gLibrary->LibraryPath, path);
  EXPECT_TRUE(QFileInfo::exists(UpgradeBackupPath(path)));
  EXPECT_EQ(CountIn(UpgradeBackupPath(path), QStringLiteral("SELECT count(*) FROM VideoFiles WHERE FileID = 7")), 1)
      << "the copy is the file as it was";
  EXPECT_EQ(Count(QStringLiteral("SELECT FileID FROM VideoFiles WHERE FileName = 'Summer.avi'")), 12);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoSegments WHERE FileID = 12")), 3);
  EXPECT_EQ(Count(QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = 12")), 4);
  EXPECT_EQ(One(QStringLiteral("SELECT FileAlias FROM VideoSegments WHERE SegmentID = 12")).toString(),
            QStringLiteral("Our summer"));
  EXPECT_EQ(Version(), QStringLiteral("1.6.5 Final"));
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_TRUE(gAppReady);

  // A second open changes nothing but the version row.
  gLibrary->Connection().Execute(QStringLiteral("UPDATE VersionData SET ReleaseStatus = 'Before'"));
  const int rows = Count(QStringLiteral("SELECT (SELECT count(*) FROM VideoFiles) + (SELECT count(*) FROM "
                                        "VideoSegments) + (SELECT count(*) FROM SegmentTags)"));
  gLibrary->OpenLibrary(path, true);
  EXPECT_EQ(Version(), QStringLiteral("1.6.5 Final"));
  EXPECT_EQ(Count(QStringLiteral("SELECT (SELECT count(*) FROM VideoFiles) + (SELECT count(*) FROM "
                                 "VideoSegments) + (SELECT count(*) FROM SegmentTags)")),
            rows);

  // The copy cannot be written, a folder standing in its way.
  const QString blocked = MakeOldLibrary(QStringLiteral("Older.rw2"), kOldestLibrary);
  ASSERT_TRUE(QDir().mkpath(UpgradeBackupPath(blocked) + QStringLiteral("/inside")));
  gLibrary->OpenLibrary(blocked, true);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Library Upgrade"));
  EXPECT_TRUE(boxes.Last().prompt.contains(UpgradeBackupPath(blocked))) << boxes.Last().prompt.toStdString();
  EXPECT_EQ(gLibrary->LibraryPath, blocked);
  EXPECT_EQ(Version(), QStringLiteral("1.6.5 Final"));
  EXPECT_TRUE(QFileInfo(UpgradeBackupPath(blocked)).isDir()) << "what stood there is left alone";

  // An upgrade that a request to end the program outlasts by a second stops
  // at its next statement: undone whole, told nothing, the file left as it
  // was and the scratch library back.
  const QString large = MakeOldLibrary(QStringLiteral("Large.rw2"), kOldestLibrary);
  SqlConnection::Open(large)->Execute(QStringLiteral(
      "WITH RECURSIVE n(i) AS (SELECT 100 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName) SELECT i, 'S', 'x\\', i || '.avi' FROM n"));
  boxes.Clear();
  rwtest::TestTickClock clock;
  View().onProgress = [&clock](const QString& caption) {
    if (caption != QLatin1String("Performing Housekeeping...")) return;
    QuitRequest::Request([] {});
    clock.stepPerRead = 100;
  };
  gLibrary->OpenLibrary(large, true);
  View().onProgress = nullptr;
  const bool ended = QuitRequest::Requested();
  QuitRequest::Reset();
  EXPECT_TRUE(ended);
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_TRUE(gLibrary->Unsaved());
  EXPECT_EQ(CountIn(large, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'VersionData'")), 0);
  EXPECT_EQ(CountIn(large, QStringLiteral("SELECT count(*) FROM VideoFiles")), 2903);
  EXPECT_FALSE(gLibrary->Connection().InTransaction());

  // Killed during the copy: it leaves the copy and its note (kept aside as the copy is synced,
  // the note as a gone program's); the next start removes the copy.
  static QString left;
  HangGuard::GuardEveryFile(true);
  const HangGuard::BeforeCall before = HangGuard::SetBeforeCall([](const char* path, HangGuard::FileCall kind) {
    const QString copy = QFile::decodeName(path);
    if (kind != HangGuard::FileCall::Sync || !copy.endsWith(QStringLiteral(".partial")) || !left.isEmpty()) return;
    left = copy;
    QFile::copy(copy, copy + QStringLiteral(".kept"));
    const QString pid = QString::number(QCoreApplication::applicationPid());
    for (const QString& note : QDir(gTempFolder).entryList({QStringLiteral("Copying-") + pid + QLatin1Char('*')})) {
      QFile::copy(gTempFolder + note, gTempFolder + QString(note).replace(pid, QStringLiteral("2147483647")));
    }
  });
  gLibrary->OpenLibrary(MakeOldLibrary(QStringLiteral("Killed.rw2"), kOldestLibrary), true);
  HangGuard::SetBeforeCall(before);
  HangGuard::GuardEveryFile(false);
  ASSERT_TRUE(QFile::rename(left + QStringLiteral(".kept"), left));
  RemoveInterruptedCopies();
  EXPECT_FALSE(QFileInfo::exists(left)) << "the copy noted is removed at the next start";
}

// An open tidies what it finds: of two synonym tags on a segment one stays
// and the implied parent goes; thumbnails of other sizes are stored again at
// 100 by 75. A thumbnail saved replaces its row and empties the picture.
TEST_F(LibraryObjectTest, AnOpenTidiesSynonymsAndThumbnailSizesAndASavedThumbnailReplacesItsRow) {
  gLibrary->OpenLibrary(MakeLibrary(QStringLiteral("Tags.rw2"), QStringLiteral(
      "INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Film', 'T'), (11, 'Movie', 'T'), (12, 'Parent', 'T');"
      "INSERT INTO TagLinks VALUES (10, 11, 'L'), (11, 10, 'L'), (10, 12, 'P');"
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName) VALUES (5, 'A', 'x\\', 'a.avi');"
      "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, Online, Rating) VALUES (5, 5, 'Y', 0, 0);"
      "INSERT INTO SegmentTags VALUES (5, 10), (5, 11), (5, 12)")), true);
  EXPECT_EQ(Count(QStringLiteral("SELECT group_concat(TagID) FROM SegmentTags")), 10)
      << "one of the synonyms stays; the implied parent goes";

  // Thumbnails of other sizes.
  const QString path = MakeLibrary(QStringLiteral("Thumbs.rw2"), QStringLiteral(
      "ALTER TABLE VideoFiles RENAME COLUMN DateAdded TO Added;"
      "INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName) VALUES (5, 'A', 'x\\', 'a.avi'), "
      "(6, 'A', 'x\\', 'b.avi');"
      "INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, Online, Rating) VALUES (5, 5, 'Y', 0, 0), (6, 6, 'Y', 0, 0)"));
  const QByteArray large = Jpeg(120, 90);
  const QByteArray fitting = Jpeg(100, 75);
  {
    auto db = SqlConnection::Open(path);
    auto insert = db->Prepare(QStringLiteral("INSERT INTO SegmentThumbnails (SegmentID, FileID, Thumbnail) VALUES (?, ?, ?)"));
    for (const auto& [segment, bytes] : {std::pair{5, large}, std::pair{6, fitting}}) {
      insert->Bind(1, segment);
      insert->Bind(2, segment);
      insert->Bind(3, SqlValue::Blob(bytes));
      insert->Execute();
    }
  }
  gLibrary->OpenLibrary(path, true);
  const QByteArray resized = One(QStringLiteral("SELECT Thumbnail FROM SegmentThumbnails WHERE SegmentID = 5")).toBytes();
  int width = 0;
  int height = 0;
  ASSERT_TRUE(JpegCodec().ReadSize(resized, &width, &height));
  EXPECT_EQ(width, 100);
  EXPECT_EQ(height, 75);
  // The whole picture is scaled, not cut: its last corner keeps its colour.
  const ImageSurfacePtr picture = JpegCodec().Decode(resized);
  const QColor corner = picture->Image().pixelColor(98, 73);
  EXPECT_NEAR(corner.red(), 200, 12);
  EXPECT_EQ(One(QStringLiteral("SELECT Thumbnail FROM SegmentThumbnails WHERE SegmentID = 6")).toBytes(), fitting);
  EXPECT_EQ(Count(QStringLiteral("SELECT FileID FROM SegmentThumbnails WHERE SegmentID = 5")), 5);

  // A thumbnail saved twice over the same segment.
  for (int pass = 0; pass < 2; ++pass) {
    QImage saved(100, 75, QImage::Format_RGB32);
    saved.fill(pass == 0 ? Qt::red : Qt::blue);
    gLibrary->SaveThumbnail(7, 3, saved);
    EXPECT_TRUE(saved.isNull());
  }
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM SegmentThumbnails WHERE SegmentID = 7")), 1);
  EXPECT_EQ(Count(QStringLiteral("SELECT FileID FROM SegmentThumbnails WHERE SegmentID = 7")), 3);
  const QByteArray stored = One(QStringLiteral("SELECT Thumbnail FROM SegmentThumbnails WHERE SegmentID = 7")).toBytes();
  EXPECT_EQ(gLibrary->ThumbnailCache.Item(7), stored) << "the cache holds the new picture at once";
  EXPECT_GT(JpegCodec().Decode(stored)->Image().pixelColor(50, 37).blue(), 200);
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
}

TEST(LibraryNameTest, IsTheFileNameWithoutFolderAndLastExtension) {
  EXPECT_EQ(LibraryNameOf(QStringLiteral("/home/a/Films.rw2")), QStringLiteral("Films"));
  EXPECT_EQ(LibraryNameOf(QStringLiteral("Films.rw2")), QStringLiteral("Films"));
  EXPECT_EQ(LibraryNameOf(QStringLiteral("/a/b.rw2s/Our.Holiday.rw2")), QStringLiteral("Our.Holiday"));
  EXPECT_EQ(LibraryNameOf(QStringLiteral("/tmp/InitRW2")), QStringLiteral("InitRW2"));
}

TEST_F(LibraryObjectTest, FailedOperationIsReportedAndLeavesNoTransactionOpen) {
  gLibrary->OpenLibrary(MakeLibrary(QStringLiteral("Broken.rw2")), true);
  gLibrary->Connection().Execute(QStringLiteral("DROP VIEW temp.vw_SearchResults; DROP TABLE temp.SearchResults; "
                                                "DROP VIEW main.vw_SearchResults; DROP TABLE main.SearchResults"));
  boxes.Answer(vbOK);
  gLibrary->DeleteSearchResults();
  ASSERT_EQ(boxes.Count(), 1);
  // A table that is not there is said in a sentence naming the file, in the
  // program's words.
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Damaged Library"));
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("lacks a table or column")))
      << boxes.Last().prompt.toStdString();
  EXPECT_TRUE(boxes.Last().prompt.contains(gLibrary->LibraryPath));
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("no such table")));
  EXPECT_FALSE(boxes.Last().prompt.contains(QString::number(kErrDatabase)));
  EXPECT_EQ(boxes.Last().style, vbExclamation);
  EXPECT_FALSE(gLibrary->Connection().InTransaction());
  EXPECT_NO_THROW(gLibrary->CompactDatabase()) << "nothing stands in the way of compaction";
}

}  // namespace
