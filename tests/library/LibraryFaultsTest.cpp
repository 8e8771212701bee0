// Faults of the disk and of the library's file met while a library is open:
// each is told in the program's box under a title, in a sentence a user
// understands, and what was stored before is kept.
#include "core/ProgramMessage.h"
#include "library/clsRWLibrary.h"
#include "platform/ErrorGuard.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlText.h"
#include "platform/ThreadStart.h"
#include "platform/WholeFile.h"
#include "tests/library/TreeFixture.h"
#include "platform/HangGuard.h"
#include "platform/MountProbe.h"
#include "tests/support/DeadMount.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/FaultTrigger.h"
#include "tests/support/HangingFiles.h"
#include "tests/support/SmallDisk.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {

class LibraryFaultsTest : public rwtest::OpenLibraryTest {
 protected:
  void SetUp() override {
    rwtest::OpenLibraryTest::SetUp();
    boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  }

  // One box was shown, titled `title`, with no raw error number in it.
  void ExpectOneToldBox(const QString& title, const QString& says) {
    ASSERT_EQ(boxes.Count(), 1) << AllPrompts();
    EXPECT_EQ(boxes.Last().title, title);
    EXPECT_TRUE(boxes.Last().prompt.contains(says)) << boxes.Last().prompt.toStdString();
    EXPECT_FALSE(boxes.Last().prompt.contains(QString::number(kErrDatabase))) << boxes.Last().prompt.toStdString();
  }
  std::string AllPrompts() const {
    QStringList prompts;
    for (const MessageBoxRequest& box : boxes.Shown()) prompts << box.title + QStringLiteral(": ") + box.prompt;
    return prompts.join(QStringLiteral("\n---\n")).toStdString();
  }

  // Every row of the tables the commands write, "|"-joined; NULL as "NULL".
  static QStringList Everything(SqlConnection& db) {
    QStringList rows;
    for (const char* table :
         {"Tags", "TagLinks", "SegmentTags", "VideoSegments", "VideoFiles", "FileLocations", "Views"}) {
      SqlRecordset rs(db, QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2").arg(QLatin1String(table)));
      for (; !rs.Eof(); rs.MoveNext()) {
        QStringList values{QLatin1String(table)};
        for (int c = 0; c < rs.FieldCount(); ++c) {
          values << (rs.Value(c).IsNull() ? QStringLiteral("NULL") : rs.Value(c).toString());
        }
        rows << values.join(QLatin1Char('|'));
      }
    }
    return rows;
  }

  // Opens the library most roads start from, Films.rw2 (or `name`): two
  // files, with `more` rows; answers its path.
  QString OpenFilms(const QString& more = QString(), const QString& name = QStringLiteral("Films.rw2")) {
    OpenWith(FileRow(1) + FileRow(2, QStringLiteral("Second.mkv")) + more, name);
    return gLibrary->LibraryPath;
  }
};

// A full disk is told once, under a title, by a copy or a new library made
// onto it, by the open of a library on it, which cannot rebuild the device
// rows, and by each command writing that library; nothing is left half
// written, and every row is kept.
TEST_F(LibraryFaultsTest, AFullDiskIsToldOnceBySaveAsByTheOpenAndByEachCommandAndKeepsEveryRow) {
  rwtest::SmallDisk disk(1024);
  if (!disk.Here()) return;
  {
    // A copy or a new library onto it: the open library stays open.
    const QString films = OpenFilms();
    disk.Fill();
    for (const bool isNew : {false, true}) {
      SCOPED_TRACE(isNew ? "new library" : "copy");
      boxes.Clear();
      rwtest::ScriptedFileDialogs dialogs;
      dialogs.Choose({disk.Path(QStringLiteral("Copy.rw2"))});
      gLibrary->SaveLibraryAsDialog(isNew);
      ExpectOneToldBox(QStringLiteral("Disk Full"), QStringLiteral("The disk is full"));
      // The full disk is the copy's: the message names the copy, not the
      // open library, whose disk has room.
      EXPECT_TRUE(boxes.Last().prompt.contains(disk.Path(QStringLiteral("Copy.rw2")))) << AllPrompts();
      EXPECT_FALSE(boxes.Last().prompt.contains(films)) << AllPrompts();
      EXPECT_EQ(gLibrary->LibraryPath, films);
      EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 2);
      EXPECT_EQ(QDir(disk.Folder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
                QStringList{QStringLiteral(".filler")});
    }
    disk.Free();
    gLibrary->OpenLibrary(gPlaceholderLibraryPath, true);
  }

  // A library on the disk: two files, tags, a device row, its files' disk mounted.
  QTemporaryDir films;
  System().MountDisk(films.path(), QStringLiteral("vfat"),
                     {.device = QStringLiteral("/dev/sdf1"), .uuid = QStringLiteral("1A2B-3C4D"), .minor = 81});
  System().Write();
  EXPECT_TRUE(QDir().mkpath(films.path() + QStringLiteral("/films")));
  QFile second(films.path() + QStringLiteral("/films/Second.mkv"));
  EXPECT_TRUE(second.open(QIODevice::WriteOnly));
  second.close();
  const QString path = disk.Path(QStringLiteral("Films.rw2"));
  modReelwise::ExtractTemplateLibrary(path);
  SqlConnection::Open(path)->Execute(
      FileRow(1) + FileRow(2, QStringLiteral("Second.mkv")) +
      QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'People', 'C'), (11, 'Anna', 'T'), "
                     "(12, 'Ben', 'T');"
                     "INSERT INTO TagLinks VALUES (11, 10, 'P'), (12, 10, 'P');"
                     "INSERT INTO SegmentTags VALUES (1, 11);"
                     "INSERT INTO FileLocations VALUES ('1A2B3C4D', 'Films', ':\\', '/films/', 'Fixed Disk', "
                     "NULL, 1)"));

  // The open, as the menu's command runs it: its devices, its tree and its
  // first view meet the same full disk. It opens nothing: the window names no
  // library rather than one whose tree and files it does not show.
  const QStringList stored = Everything(*SqlConnection::Open(path));
  disk.Fill();
  boxes.Clear();
  ErrorGuard().Run([&] { gLibrary->OpenLibrary(path, true); });
  ASSERT_EQ(boxes.Count(), 1) << AllPrompts();
  EXPECT_TRUE(boxes.Last().prompt.startsWith(QStringLiteral("The disk is full"))) << AllPrompts();
  EXPECT_TRUE(boxes.Last().prompt.contains(path)) << AllPrompts();
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("database or disk is full"))) << AllPrompts();
  EXPECT_FALSE(boxes.Last().title.isEmpty());
  EXPECT_EQ(gLibrary->LibraryPath, gPlaceholderLibraryPath);
  EXPECT_EQ(View().caption, QStringLiteral("No Library Loaded"));
  disk.Free();
  EXPECT_EQ(Everything(*SqlConnection::Open(path)), stored);

  // Opened once the disk had room, each command, run as its event runs it,
  // is told under "Disk Full"; a file to be deleted stays on its disk.
  gLibrary->OpenLibrary(path, true);
  ASSERT_EQ(gLibrary->LibraryPath, path);
  ASSERT_EQ(Column(QStringLiteral("SELECT CurrentPath FROM VideoFiles WHERE FileID = 2")),
            QStringList{films.path() + QStringLiteral("/films/")});
  const QStringList before = Everything(gLibrary->Connection());
  disk.Fill();
  const struct {
    const char* name;
    std::function<void()> run;
  } commands[] = {
      {"rate", [] { gLibrary->RateSegment(5, 1); }},
      {"tag", [] { gLibrary->TagSegment(2, 12, false); }},
      {"untag", [] { gLibrary->TagSegment(1, 11, true); }},
      {"link", [] { gLibrary->CreateTagRelationship(11, 12, QStringLiteral("L")); }},
      {"new tag", [] { gLibrary->CreateTag(QStringLiteral("New Tag"), QStringLiteral("T"), 10); }},
      {"delete", [] { QString key = QStringLiteral("ID10"); gLibrary->DeleteTreeNode(key); }},
      {"remove and delete", [] { gLibrary->RemoveFile(2, true); }},
      {"remove", [] { gLibrary->RemoveFile(1, false); }},
  };
  for (const auto& command : commands) {
    SCOPED_TRACE(command.name);
    boxes.Clear();
    EXPECT_FALSE(ErrorGuard({.owner = ProgramMessageOwner()}).Run(command.run)) << AllPrompts();
    ASSERT_EQ(boxes.Count(), 1) << AllPrompts();
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Disk Full"));
    EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("\r\n") + path + QStringLiteral("\r\n"))) << AllPrompts();
    EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("database or disk is full"))) << AllPrompts();
    EXPECT_FALSE(gLibrary->Connection().InTransaction());
  }
  EXPECT_TRUE(second.exists()) << "the file stays on its disk with its rows";
  disk.Free();
  EXPECT_EQ(Everything(gLibrary->Connection()), before);
}

// A change whose library's file does not answer (held locked by another
// program, its folder deleted, its disk gone silent) waits painting and
// running nothing else, is told once, titled and naming the library in the
// program's words, and writes nothing; the next change, once the disk
// answers again, is written.
TEST_F(LibraryFaultsTest, AChangeItsLibrarysFileDoesNotAnswerWaitsPaintingAndIsToldOnceLosingNothing) {
  const QString anna = QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (11, 'Anna', 'T');");
  ASSERT_TRUE(QDir().mkpath(gLibrariesFolder + QStringLiteral("Shelf")));
  const QString shelved = OpenFilms(anna, QStringLiteral("Shelf/Films.rw2"));
  {
    // Another program holds it locked: the change waits as long as SQLite's
    // busy time; the view's fetch meeting the same lock adds no second box.
    SCOPED_TRACE("held locked by another program");
    const QString& path = shelved;
    const QStringList before = Everything(gLibrary->Connection());
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    boxes.Clear();
    QElapsedTimer took;
    took.start();
    {
      // The wait for the lock paints past the grace and runs nothing else.
      rwtest::WaitWatch watch;
      EXPECT_FALSE(ErrorGuard({.owner = ProgramMessageOwner()}).Run([] {
        gLibrary->TagSegment(2, 11, false);
        gLibrary->FetchSearchResults();
      }));
      EXPECT_TRUE(watch.PaintedAlone());
    }
    EXPECT_GE(took.elapsed(), 3000) << "the lock is waited for, as long as SQLite's busy time";
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ExpectOneToldBox(QStringLiteral("Library In Use"), QStringLiteral("nothing was written"));
    EXPECT_TRUE(boxes.Last().prompt.contains(path)) << AllPrompts();
    EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("database is locked"))) << AllPrompts();
    EXPECT_EQ(Everything(gLibrary->Connection()), before);
  }
  {
    SCOPED_TRACE("its folder deleted");
    ASSERT_TRUE(QDir(gLibrariesFolder + QStringLiteral("Shelf")).removeRecursively());
    boxes.Clear();
    EXPECT_FALSE(ErrorGuard().Run([] { gLibrary->RateSegment(3, 1); }));
    ExpectOneToldBox(QStringLiteral("Library Not Available"), QStringLiteral("folder was deleted"));
  }

  // Its disk stops answering (a network mount whose server went away), at the
  // change's first call, its journal's sync or the library's own sync: the
  // change gives up after the mount probe's limit while the disk still does
  // not answer. Files opened from here on are guarded as on such a mount.
  HangGuard::GuardEveryFile(true);
  const auto restore = qScopeGuard([] {
    HangGuard::GuardEveryFile(false);
    MountProbe::SetRootProbe(nullptr);
  });
  rwtest::HangingFiles medium(gLibrariesFolder);
  const QString path = OpenFilms(anna + QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (12, 'Ben', 'T');"));
  int tagged = 0;
  for (const int sync : {0, 1, 2}) {
    SCOPED_TRACE(sync == 0 ? "at its first call" : sync == 1 ? "at the journal's sync" : "at the library's sync");
    const QStringList before = Everything(gLibrary->Connection());
    boxes.Clear();
    sync == 0 ? medium.Hang() : medium.HangFromSync(sync);
    {
      rwtest::WaitWatch watch;
      EXPECT_FALSE(ErrorGuard({.owner = ProgramMessageOwner()}).Run([] { gLibrary->TagSegment(2, 11, false); }));
      EXPECT_TRUE(watch.PaintedAlone());
    }
    EXPECT_GT(medium.HeldNow(), 0) << "given up while the disk still does not answer";
    ExpectOneToldBox(QStringLiteral("Library Not Answering"), QStringLiteral("did not answer within 3 seconds"));
    EXPECT_TRUE(boxes.Last().prompt.contains(path)) << AllPrompts();
    medium.Release();
    ASSERT_TRUE(medium.AllBack());
    ASSERT_TRUE(QTest::qWaitFor([] { return HangGuard::CallsStillOut() == 0; }, rwtest::kWaitCeilingMs));
    MountProbe::SetRootProbe(nullptr);  // the disk answers again: forgotten as dead
    EXPECT_EQ(Everything(gLibrary->Connection()), before);
    EXPECT_EQ(One(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    boxes.Clear();
    EXPECT_TRUE(ErrorGuard({.owner = ProgramMessageOwner()}).Run([] { gLibrary->TagSegment(2, 11, false); }))
        << AllPrompts();
    ++tagged;
    EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM SegmentTags WHERE SegmentID = 2 AND TagID = 11")), 1);
    ASSERT_TRUE(ErrorGuard().Run([] { gLibrary->TagSegment(2, 11, true); }));
  }
  EXPECT_EQ(tagged, 3);

  // Switching to a library elsewhere while its reads hang: the stamp of the
  // library let go is read within the limit, the window painting.
  const QString other = Home() + QStringLiteral("/Other.rw2");
  modReelwise::ExtractTemplateLibrary(other);
  medium.Hang();
  boxes.Clear();
  {
    rwtest::WaitWatch watch;
    gLibrary->OpenLibrary(other, true);
    EXPECT_TRUE(watch.PaintedAlone());
  }
  EXPECT_GT(medium.HeldNow(), 0) << "given up while the disk still does not answer";
  EXPECT_EQ(gLibrary->LibraryPath, other);
  EXPECT_EQ(boxes.Count(), 0) << AllPrompts() << "nothing is blamed on the library opened";
  medium.Release();
  ASSERT_TRUE(QTest::qWaitFor([] { return HangGuard::CallsStillOut() == 0; }, rwtest::kWaitCeilingMs));
  MountProbe::SetRootProbe(nullptr);

  // At the journal's removal, the commit's last step, which may still land
  // once the disk answers: the change may be stored or not, told so, and the
  // library closed. While the call is out (its mount forgotten as dead, as
  // after the dead time) no connection to the file is opened.
  QStringList closed;
  ErrorGuard::SetDamageTold([&closed](const QString& file) { closed << file; });
  const auto forget = qScopeGuard([] { ErrorGuard::SetDamageTold(nullptr); });
  gLibrary->OpenLibrary(path, true);
  boxes.Clear();
  medium.HangFromDelete(1);
  EXPECT_FALSE(ErrorGuard({.owner = ProgramMessageOwner()}).Run([] { gLibrary->TagSegment(2, 12, false); }));
  ExpectOneToldBox(QStringLiteral("Library Not Answering"), QStringLiteral("can only be known once the disk answers"));
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("not saved"))) << AllPrompts();
  EXPECT_EQ(closed, QStringList{path});
  MountProbe::SetRootProbe(nullptr);
  const int held = medium.Held();
  boxes.Clear();
  gLibrary->OpenLibrary(path, true);
  ExpectOneToldBox(QStringLiteral("Library not opened"), QStringLiteral("does not answer"));
  EXPECT_EQ(medium.Held(), held) << "no call of a new connection reached the file";
  medium.Release();
  ASSERT_TRUE(QTest::qWaitFor([] { return HangGuard::CallsStillOut() == 0; }, rwtest::kWaitCeilingMs));
  gLibrary->CloseDamagedLibrary(path);  // as the event loop does once the command is over
  EXPECT_EQ(SqlRecordset(*SqlConnection::Open(path), QStringLiteral("SELECT count(*) FROM SegmentTags WHERE "
                                                                    "SegmentID = 2 AND TagID = 12"))
                .Value(0)
                .toInt(),
            1)
      << "the removal landed: the change is stored, as the message allowed";

  // The compaction, on a connection of its own, given up at its journal's sync is not
  // stored, as told; at the journal's removal it may be, as told, the library closed.
  SqlConnection::Open(path)->Execute(QStringLiteral(
      "CREATE TABLE Filler AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 64) "
      "SELECT zeroblob(4000) AS b FROM n; DROP TABLE Filler"));
  for (const bool atRemoval : {false, true}) {
    SCOPED_TRACE(atRemoval ? "compaction, at the journal's removal" : "compaction, at the journal's sync");
    gLibrary->OpenLibrary(path, true);
    closed.clear();
    boxes.Clear();
    atRemoval ? medium.HangFromDelete(1) : medium.HangFromSync(1);
    EXPECT_FALSE(ErrorGuard({.owner = ProgramMessageOwner()}).Run([] { gLibrary->CompactDatabase(); }));
    ExpectOneToldBox(QStringLiteral("Library Not Answering"),
                     atRemoval ? QStringLiteral("can only be known once the disk answers") : QStringLiteral("not saved"));
    EXPECT_EQ(closed, atRemoval ? QStringList{path} : QStringList{});
    medium.Release();
    ASSERT_TRUE(QTest::qWaitFor([] { return HangGuard::CallsStillOut() == 0; }, rwtest::kWaitCeilingMs));
    MountProbe::SetRootProbe(nullptr);
    const SqlRecordset freePages(*SqlConnection::Open(path), QStringLiteral("PRAGMA freelist_count"));
    if (!atRemoval) EXPECT_GT(freePages.Value(0).toInt(), 0) << "a compaction told not saved is not stored";
  }
  // A library another tool switched to a write-ahead log: its shared memory is guarded too.
  const QString logged = OpenFilms(anna, QStringLiteral("Logged.rw2"));
  SqlConnection::Open(logged)->Execute(QStringLiteral("PRAGMA journal_mode = WAL"));
  gLibrary->OpenLibrary(logged, true);
  boxes.Clear();
  medium.Hang();
  EXPECT_FALSE(ErrorGuard({.owner = ProgramMessageOwner()}).Run([] { gLibrary->TagSegment(2, 11, false); }));
  EXPECT_GT(medium.HeldNow(), 0) << "given up while the disk still does not answer";
  EXPECT_EQ(boxes.Count(), 1) << AllPrompts();
  medium.Release();
  ASSERT_TRUE(QTest::qWaitFor([] { return HangGuard::CallsStillOut() == 0; }, rwtest::kWaitCeilingMs));
}

// A copy or a new library that cannot be written (into a missing folder,
// onto a disk that stops answering) names the copy and the reason, not the
// open library, which stays open; what stood under the chosen name is kept,
// and the copy given up leaves nothing behind.
TEST_F(LibraryFaultsTest, ASaveAsThatCannotBeWrittenNamesTheCopyAndWhyAndLeavesNothing) {
  const QString films = OpenFilms();
  const QString gone = gLibrariesFolder + QStringLiteral("Gone/Copy.rw2");
  for (const bool isNew : {false, true}) {
    // Not taken for the open library's file going away.
    SCOPED_TRACE(isNew ? "new library into a missing folder" : "copy into a missing folder");
    boxes.Clear();
    rwtest::ScriptedFileDialogs dialogs;
    dialogs.Choose({gone});
    gLibrary->SaveLibraryAsDialog(isNew);
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_NE(boxes.Last().title, QStringLiteral("Library Not Available"));
    EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("The folder does not exist"))) << boxes.Last().prompt.toStdString();
    EXPECT_TRUE(boxes.Last().prompt.contains(gone));
    EXPECT_EQ(gLibrary->LibraryPath, films);
    EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 2);
  }

  // Onto a disk that stops answering: given up after the mount probe's limit,
  // the window painting meanwhile. Once the disk answers, a file the user
  // keeps as "<name>.partial" is touched by neither that copy nor the next,
  // which is made and opened.
  SCOPED_TRACE("onto a disk that stops answering");
  const QString shelf = gLibrariesFolder + QStringLiteral("Shelf");
  ASSERT_TRUE(QDir().mkpath(shelf));
  const QString target = shelf + QStringLiteral("/Copy.rw2");
  ASSERT_TRUE(WriteFileWhole(target, "earlier"));
  ASSERT_TRUE(WriteFileWhole(target + QStringLiteral(".partial"), "mine"));
  const auto contents = [](const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  rwtest::HangingFiles medium(shelf);
  medium.Hang();
  boxes.Clear();
  {
    rwtest::ScriptedFileDialogs dialogs;
    dialogs.Choose({target});
    rwtest::WaitWatch watch;
    gLibrary->SaveLibraryAsDialog(false);
    EXPECT_TRUE(watch.PaintedAlone());
  }
  EXPECT_GT(medium.HeldNow(), 0) << "given up while the disk still does not answer";
  ASSERT_EQ(boxes.Count(), 2) << AllPrompts();  // the replace confirmed, then the failure
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Library Not Saved"));
  EXPECT_TRUE(boxes.Last().prompt.contains(target)) << AllPrompts();
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("did not answer within 3 seconds"))) << AllPrompts();
  EXPECT_FALSE(boxes.Last().prompt.contains(films)) << AllPrompts();
  EXPECT_EQ(gLibrary->LibraryPath, films);
  EXPECT_EQ(contents(target), QByteArray("earlier"));

  medium.Release();
  ASSERT_TRUE(medium.AllBack());
  const QStringList kept{QStringLiteral("Copy.rw2"), QStringLiteral("Copy.rw2.partial")};
  const auto entries = [&shelf] { return QDir(shelf).entryList(QDir::Files | QDir::Hidden, QDir::Name); };
  EXPECT_TRUE(QTest::qWaitFor([&] { return entries() == kept; }, rwtest::kWaitCeilingMs))
      << entries().join(QLatin1Char(' ')).toStdString();
  EXPECT_TRUE(QTest::qWaitFor([] { return QDir(gTempFolder).entryList({QStringLiteral("Copying-*")}).isEmpty(); },
                              rwtest::kWaitCeilingMs))
      << "nor is its note kept";
  EXPECT_EQ(contents(target + QStringLiteral(".partial")), QByteArray("mine"));

  boxes.Clear();
  {
    rwtest::ScriptedFileDialogs dialogs;
    dialogs.Choose({target});
    gLibrary->SaveLibraryAsDialog(false);
  }
  EXPECT_EQ(boxes.Count(), 1) << AllPrompts();  // the replace confirmed
  EXPECT_EQ(gLibrary->LibraryPath, target);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 2);
  EXPECT_EQ(entries(), kept);
  EXPECT_EQ(contents(target + QStringLiteral(".partial")), QByteArray("mine"));

  // On a disk taken for a network mount the lock of the file under the
  // chosen name is guarded too: given up, told before anything is asked.
  // Then a copy given up at its sync, before it is put in place: nothing
  // under the name changes after the box; and one given up once it was
  // put in place: told as unknown, the name holding the copy.
  gLibrary->OpenLibrary(films, true);
  HangGuard::GuardEveryFile(true);
  const auto unguard = qScopeGuard([] {
    HangGuard::GuardEveryFile(false);
    MountProbe::SetRootProbe(nullptr);
  });
  const auto saveAs = [&](const std::function<void()>& hang) {
    ASSERT_TRUE(WriteFileWhole(target, "earlier"));
    boxes.Clear();
    hang();
    rwtest::ScriptedFileDialogs dialogs;
    dialogs.Choose({target});
    gLibrary->SaveLibraryAsDialog(false);
    medium.Release();
    ASSERT_TRUE(QTest::qWaitFor([] { return HangGuard::CallsStillOut() == 0; }, rwtest::kWaitCeilingMs));
    MountProbe::SetRootProbe(nullptr);
  };
  saveAs([&] { medium.Hang(); });
  ASSERT_EQ(boxes.Count(), 1) << AllPrompts();
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Library Not Saved"));
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("did not answer within 3 seconds"))) << AllPrompts();
  saveAs([&] { medium.HangFromSync(1); });
  ASSERT_EQ(boxes.Count(), 2) << AllPrompts();
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Library Not Saved"));
  EXPECT_EQ(contents(target), QByteArray("earlier")) << "kept unchanged, as told";
  saveAs([&] { medium.HangFromSync(3); });
  ASSERT_EQ(boxes.Count(), 2) << AllPrompts();
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Save Not Confirmed"));
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("can only be known once the disk answers"))) << AllPrompts();
  EXPECT_TRUE(contents(target).startsWith("SQLite format 3")) << "the copy landed, as the message allowed";
  EXPECT_EQ(gLibrary->LibraryPath, films);
}

// Only what the file lacks, and damage, are blamed on the file: told once,
// naming the file and what it lacks, in the program's words, and the program
// stops using it. A mistake in the program's own SQL (here one the test
// makes), or a conflict between two of its own statements, is the program's
// own error: the library stays open, and no other program is blamed.
TEST_F(LibraryFaultsTest, DamageIsToldOnceByNameAndNothingElseIsBlamedOnTheFile) {
  QString path = OpenFilms();
  SqlConnection& db = gLibrary->Connection();
  QStringList closed;
  ErrorGuard::SetDamageTold([&closed](const QString& file) { closed << file; });
  const auto forget = qScopeGuard([] { ErrorGuard::SetDamageTold(nullptr); });

  boxes.Clear();
  EXPECT_FALSE(ErrorGuard().Run([&db] { db.Execute(QStringLiteral("UPDATE VideoSegments SET Ratng = 2")); }));
  ExpectOneToldBox(QStringLiteral("Program Error"), QStringLiteral("an error of its own"));
  EXPECT_TRUE(boxes.Last().prompt.contains(path)) << AllPrompts();
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("another program"), Qt::CaseInsensitive)) << AllPrompts();
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("Ratng"))) << "SQLite's words are for the log";

  // Two statements of the connection's own: a table dropped while it is read.
  db.Execute(QStringLiteral("CREATE TEMP TABLE Scratch (n); INSERT INTO Scratch VALUES (1), (2)"));
  boxes.Clear();
  EXPECT_FALSE(ErrorGuard().Run([&db] {
    SqlCommand reading(db, QStringLiteral("SELECT n FROM temp.Scratch"));
    reading.Step();
    db.Execute(QStringLiteral("DROP TABLE temp.Scratch"));
  }));
  ExpectOneToldBox(QStringLiteral("Program Error"), QStringLiteral("Two steps of Reelwise II's own"));
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("Another program"))) << AllPrompts();
  EXPECT_TRUE(closed.isEmpty()) << "the library stays open";
  gLibrary->RateSegment(3, 2);
  EXPECT_EQ(Count(QStringLiteral("SELECT Rating FROM VideoSegments WHERE SegmentID = 2")), 3);

  // A column another program renamed while the library is open: the
  // sentence does not say the file is unchanged (steps before may not have
  // left it so).
  SqlConnection::Open(path)->Execute(QStringLiteral("ALTER TABLE VideoSegments RENAME COLUMN Rating TO Stars"));
  boxes.Clear();
  EXPECT_FALSE(ErrorGuard().Run([] { gLibrary->RateSegment(5, 1); }));
  ExpectOneToldBox(QStringLiteral("Damaged Library"),
                   QStringLiteral("lacks a table or column Reelwise II expects: the column \"Rating\" of its table "
                                  "\"VideoSegments\""));
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("nothing in it was changed"))) << AllPrompts();
  EXPECT_EQ(closed, QStringList{path});

  // Damage met while the thumbnails load (an index another program left
  // disagreeing with its table, unseen by SQLite's quick check at the open):
  // told once, not once per step; nothing more is written to the file.
  SCOPED_TRACE("damage met while the thumbnails load");
  path = OpenFilms(QString(), QStringLiteral("Thumbnails.rw2"));
  closed.clear();
  const QStringList before = Everything(gLibrary->Connection());
  // Every read of the thumbnails fails as a damaged index does.
  rwtest::AddFaultTrigger(gLibrary->Connection(),
                          QStringLiteral("CREATE TEMP VIEW SegmentThumbnails AS SELECT 0 AS SegmentID, 0 AS FileID, "
                                         "NULL AS Thumbnail WHERE rw_fault(%1)")
                              .arg(SQLITE_CORRUPT_INDEX));
  boxes.Clear();
  ErrorGuard().Run([] { gLibrary->LoadThumbnails(); });
  ExpectOneToldBox(QStringLiteral("Error Loading Thumbnails"), QStringLiteral("is damaged"));
  EXPECT_TRUE(boxes.Last().prompt.contains(path)) << AllPrompts();
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("malformed"))) << AllPrompts();
  EXPECT_EQ(closed, QStringList{path});
  EXPECT_THROW(gLibrary->Connection().Execute(QStringLiteral("DELETE FROM VideoFiles")), StorageFault)
      << "nothing more is written to a damaged file";
  EXPECT_EQ(Everything(gLibrary->Connection()), before);
}

// An open the system or the file refuses is told in one titled box in the
// program's words, and the program runs on with the library it had open; the
// next open succeeds, and the triggers another program stored in its file
// run nothing.
TEST_F(LibraryFaultsTest, AnOpenTheSystemOrTheFileRefusesIsToldAndTheOpenLibraryStaysOpen) {
  const QString other = gLibrariesFolder + QStringLiteral("Other.rw2");
  modReelwise::ExtractTemplateLibrary(other);
  SqlConnection::Open(other)->Execute(FileRow(1) + FileRow(2, QStringLiteral("Second.mkv")) + QStringLiteral(
      "INSERT INTO SegmentTags VALUES (77, 1);"
      "CREATE TABLE Log (what text);"
      "CREATE TRIGGER FileChanged AFTER UPDATE ON VideoFiles BEGIN INSERT INTO Log VALUES ('file'); END;"
      "CREATE TRIGGER TagGone AFTER DELETE ON SegmentTags BEGIN INSERT INTO Log VALUES ('tag'); END;"
      "CREATE TRIGGER TagMade AFTER INSERT ON Tags BEGIN INSERT INTO Log VALUES ('made'); END;"));
  const QString altered = gLibrariesFolder + QStringLiteral("Altered.rw2");
  modReelwise::ExtractTemplateLibrary(altered);
  SqlConnection::Open(altered)->Execute(FileRow(1) + QStringLiteral(
      "ALTER TABLE VideoFiles RENAME TO OldFiles;"
      "CREATE VIEW VideoFiles AS SELECT FileID, FileName FROM OldFiles;"));
  const QString films = OpenFilms();

  // No thread from the system for the open's look at a file (as with the
  // address space limited): not an unnamed error 51 in the C++ library's words.
  boxes.Clear();
  ThreadStart::RefuseNext(1);
  gLibrary->OpenLibrary(other, true);
  ThreadStart::RefuseNext(0);
  ExpectOneToldBox(QStringLiteral("Out of Memory"), QStringLiteral("not enough memory"));
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("51"))) << AllPrompts();
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("temporarily"))) << AllPrompts();
  EXPECT_EQ(gLibrary->LibraryPath, films);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 2);

  // No file handle to spare, the process at its limit of open files: told as
  // that, the file blamed for nothing.
  rlimit limit{};
  ::getrlimit(RLIMIT_NOFILE, &limit);
  const rlimit lower{std::min<rlim_t>(limit.rlim_cur, 512), limit.rlim_max};
  ::setrlimit(RLIMIT_NOFILE, &lower);
  for (const int spare : {0, 1, 2}) {
    boxes.Clear();
    std::vector<int> filling;
    for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) filling.push_back(fd);
    for (int i = 0; i < spare; ++i, filling.pop_back()) ::close(filling.back());
    gLibrary->OpenLibrary(other, true);
    for (const int fd : filling) ::close(fd);
    ExpectOneToldBox(QStringLiteral("Too Many Open Files"), QStringLiteral("as many files open as the system allows"));
    EXPECT_EQ(gLibrary->LibraryPath, films);
  }
  ::setrlimit(RLIMIT_NOFILE, &limit);

  // A table another program replaced by a view lacking some of its columns:
  // refused before anything is done, not with a "Mapping Failed" box.
  boxes.Clear();
  gLibrary->OpenLibrary(altered, true);
  ExpectOneToldBox(QStringLiteral("Damaged Library"), QStringLiteral("\"VideoFiles\" was replaced"));
  EXPECT_TRUE(boxes.Last().prompt.contains(altered));
  EXPECT_EQ(gLibrary->LibraryPath, films) << "the open library stays open";
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 2);

  // The next open: the triggers run neither at its clean-up and path mapping
  // nor at an edit.
  gLibrary->OpenLibrary(other, true);
  EXPECT_EQ(gLibrary->LibraryPath, other);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM SegmentTags")), 0) << "the clean-up ran";
  EXPECT_NE(One(QStringLiteral("SELECT CurrentPath FROM VideoFiles")).toString(), QStringLiteral("/films/"))
      << "the mapping rewrote the paths";
  gLibrary->CreateTag(QStringLiteral("New"), QStringLiteral("T"), QVariant());
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM Log")), 0);
}

}  // namespace
