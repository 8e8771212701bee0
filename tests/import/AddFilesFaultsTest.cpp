// The add-files run under faults from outside the program, each made for
// real in a process of its own: a termination signal in the middle of the
// run, a library disk that fills up, a mount whose server stops answering.
#include "tests/import/AddFilesFixture.h"

#include "app/modReelwise_startup.h"
#include "tests/mainwindow/FaultRun.h"
#include "tests/support/ChildRun.h"
#include "tests/support/DeadMount.h"
#include "tests/support/FaultTrigger.h"
#include "tests/support/TestTickClock.h"
#include "ui/cwProgress.h"

#include <QFile>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <sys/mount.h>
#include <sys/statvfs.h>

namespace rwtest {
namespace {

// The process's peak resident memory in KiB, from the kernel's count.
qint64 PeakMemoryKiB() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLongLong();
  }
  return -1;
}

// Bytes free on the file system that holds `folder`.
qint64 FreeBytes(const QString& folder) {
  struct statvfs info {};
  if (::statvfs(QFile::encodeName(folder).constData(), &info) != 0) return -1;
  return static_cast<qint64>(info.f_bavail) * static_cast<qint64>(info.f_frsize);
}

// Fills the file system of `folder` with one file until `keep` bytes are free.
void FillLeaving(const QString& folder, qint64 keep) {
  QFile filler(folder + QStringLiteral("/filler"));
  ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
  const QByteArray block(4096, '\0');
  while (FreeBytes(folder) > keep && filler.write(block) == block.size()) filler.flush();
}

class AddFilesFaultsTest : public AddFilesTest {
 protected:
  // In the child: the parent's disk on this process's mount table in place
  // of the fixture's own, and the parent's library open.
  void TakeOverParentsDiskAndLibrary() {
    System().Unmount(disk_.chopped(1));
    disk_ = qEnvironmentVariable("RW_TEST_DISK");
    System().MountDisk(disk_.chopped(1), QStringLiteral("ext4"),
                       {.device = QStringLiteral("/dev/sdb1"), .uuid = QStringLiteral("4f1c2d3e-aaaa-bbbb-cccc-0123456789ab"),
                        .label = QStringLiteral("Films"), .major = 8, .minor = 17});
    System().Write();
    library_ = qEnvironmentVariable("RW_TEST_LIBRARY");
    gLibrary->OpenLibrary(library_, true);
  }

  // `count` copies of one generated clip under "Films/".
  void MakeClipCopies(int count) {
    const QString clip = MakeClip(QStringLiteral("clip.mp4"));
    ASSERT_TRUE(QDir(disk_).mkpath(QStringLiteral("Films")));
    for (int i = 1; i <= count; ++i) {
      ASSERT_TRUE(QFile::copy(clip, disk_ + QStringLiteral("Films/Clip %1.mp4").arg(i, 2, 10, QLatin1Char('0'))));
    }
    QFile::remove(clip);
  }

  // Adds the disk's files in the fast scope, each step of the progress
  // taking `holdMs` of the program's clock as on a slow medium, and expects the one message of a full
  // disk (or the one that begins with `said`) with the count the run gives;
  // returns that count.
  int AddSlowlyUntilTheDiskIsFull(int holdMs, const QString& said = QStringLiteral("The disk is full: adding files stopped.")) {
    TestTickClock clock;
    TitleWatch slow([holdMs, &clock](const QString& title) {
      if (title.startsWith(QLatin1String("Scanning:"))) clock.now += holdMs;
    });
    boxes.Answer(vbOK);
    RunAddFiles(QString(), [](frmAddToLibrary& dialog) { dialog.optImportScope[0]->click(); });
    const int added = gMainForm->Import().LastRun().added;
    EXPECT_EQ(boxes.Count(), 1);
    if (boxes.Count() == 0) return added;
    EXPECT_EQ(boxes.Last().title, QStringLiteral("Add Files"));
    EXPECT_TRUE(boxes.Last().prompt.startsWith(said)) << boxes.Last().prompt.toStdString();
    EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("%1 file(s) were added").arg(added)))
        << boxes.Last().prompt.toStdString();
    return added;
  }

  // The child's part: Add Files started from the running event loop, as a
  // click starts it, a line on the output for each file it begins, and the
  // program's own run until the signal ends it.
  void AddFilesUntilTheSignalEndsTheProgram() {
    TitleWatch watch([](const QString& title) {
      if (!title.startsWith(QLatin1String("Scanning: "))) return;
      std::printf("RW_ADDING %s\n", qPrintable(title));
      std::fflush(stdout);
    });
    QTimer::singleShot(0, [this] { RunAddFiles(QStringLiteral("Films")); });
    EXPECT_EQ(modReelwise::Run(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gMainForm.isNull()) << "the window closed through its unload";
    EXPECT_TRUE(ScratchFiles().isEmpty()) << "the shut-down ran: the scratch library is gone";
    EXPECT_EQ(boxes.Count(), 0) << (boxes.Count() ? boxes.Last().prompt.toStdString() : std::string());
    ReportToParent("RW_PEAK_KIB", PeakMemoryKiB());
  }
};

TEST_F(AddFilesFaultsTest, ATerminationSignalStopsTheRunAfterAFileAndTheProgramEndsAsClosingItWould) {
  RW_REQUIRE_FFMPEG();
  if (InChildRun()) {
    TakeOverParentsDiskAndLibrary();
    AddFilesUntilTheSignalEndsTheProgram();
    return;
  }
  constexpr int kClips = 30;
  MakeClipCopies(kClips);
  const QString library = ScratchPath(QStringLiteral("Signalled.rw2"));
  modReelwise::ExtractTemplateLibrary(library);
  ChildRun child;
  child.Set("RW_TEST_DISK", disk_);
  child.Set("RW_TEST_LIBRARY", library);
  ASSERT_TRUE(child.Start());
  ASSERT_TRUE(child.WaitForOutput("RW_ADDING ", 3)) << child.Output().toStdString();
  ::kill(static_cast<pid_t>(child.ProcessId()), SIGTERM);
  child.Finish();
  const qint64 peak = child.Reported("RW_PEAK_KIB");
  std::printf("Peak memory of the run stopped by SIGTERM: %lld MiB\n", static_cast<long long>(peak / 1024));
  RecordProperty("PeakMemoryKiB", static_cast<int>(peak));

  auto db = SqlConnection::Open(library);
  const auto count = [&db](const QString& sql) { return db->OpenRecordset(sql)->Value(0).toInt(); };
  const int added = count(QStringLiteral("SELECT count(*) FROM VideoFiles"));
  EXPECT_GE(added, 2) << "the files added before the signal are kept";
  EXPECT_LT(added, kClips) << "the run stopped instead of going on to the end";
  EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM VideoFiles WHERE Dimensions = ' 320x240' AND FrameRate = 25")),
            added)
      << "every file recorded was examined";
  EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM SegmentTags WHERE TagID = 1")), 0) << "none marked Unplayable";
  EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM SegmentThumbnails WHERE SegmentID > 0")), added);
}

// The same stop when the disk fills while a file's rows are written: no box
// for each file, the run rolled back to its last commit.
TEST_F(AddFilesFaultsTest, ADiskFullWhileAFileIsStoredStopsTheRunAtItsLastCommit) {
  for (int i = 1; i <= 12; ++i) MakeFile(QStringLiteral("Clip %1.avi").arg(i, 2, 10, QLatin1Char('0')));
  rwtest::AddFaultTrigger(Db(), QStringLiteral("CREATE TEMP TRIGGER DiskFull BEFORE INSERT ON VideoFiles WHEN "
                                               "NEW.FileName = 'Clip 09.avi' BEGIN SELECT rw_fault(13)"
                                               "; END"));
  const int added = AddSlowlyUntilTheDiskIsFull(150);
  EXPECT_LT(added, 8) << "the files after the last commit went back";
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), added);
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoSegments")), added);
  EXPECT_FALSE(Db().InTransaction());
  EXPECT_FALSE(gAddingFiles);
}

// Add Files on a library whose disk is full, started as the menu starts it:
// as the run starts (the results it clears), and later, when the run's files
// and its results both meet the full disk. The run ends with its one message,
// no exception leaves the command, and its progress and Abort button are off;
// the next run works.
TEST_F(AddFilesFaultsTest, AddFilesOnAFullLibraryDiskEndsWithOneMessageNoExceptionAndItsProgressOff) {
  for (int i = 1; i <= 4; ++i) MakeFile(QStringLiteral("Clip %1.avi").arg(i));
  boxes.AnswerAll([](const MessageBoxRequest&) { return vbOK; });
  const LooseExceptionWatch loose;
  const auto addFiles = [this] {
    QTimer::singleShot(0, [this] {
      frmAddToLibrary* dialog = OpenDialog();
      if (!dialog) return;
      dialog->cmbSearchPath->setEditText(disk_);
      dialog->optImportScope[0]->click();
      if (dialog->isVisible()) dialog->lblStart_Click();
      if (dialog->isVisible()) dialog->lblCancel_Click();
    });
    try {
      gMainForm->MainToolbarHandler(QStringLiteral("mnuLibraryAddFiles"));
      QCoreApplication::processEvents();
    } catch (...) {
      ADD_FAILURE() << "an exception left Add Files";
    }
  };
  const auto toldOnceAndAllOff = [this](const QString& title, const QString& said) {
    QStringList shown;
    for (const MessageBoxRequest& box : boxes.Shown()) shown << box.title + QStringLiteral(": ") + box.prompt;
    ASSERT_EQ(boxes.Count(), 1) << shown.join(QStringLiteral("\n")).toStdString();
    EXPECT_EQ(boxes.Last().title, title);
    EXPECT_TRUE(boxes.Last().prompt.startsWith(said)) << boxes.Last().prompt.toStdString();
    EXPECT_TRUE(boxes.Last().prompt.contains(QDir::toNativeSeparators(library_))) << boxes.Last().prompt.toStdString();
    EXPECT_FALSE(gMainForm->Import().cmdAbortScan->isVisible());
    EXPECT_FALSE(gMainForm->Import().cmdAbortScan->isEnabled());
    EXPECT_TRUE(gMainForm->progProgress->Caption().isEmpty()) << gMainForm->progProgress->Caption().toStdString();
    EXPECT_TRUE(gMainForm->Tree().tvwLibrary->isEnabled());
    EXPECT_FALSE(gAddingFiles);
    EXPECT_FALSE(Db().InTransaction());
    EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 0);
    EXPECT_FALSE(LooseExceptionWatch::Loose());
  };
  const QString stopped = QStringLiteral("The disk is full: adding files stopped.");
  {
    // The first write the run makes, the old results cleared, meets it: it
    // is told there, and the run's files, which meet it too, are not told
    // again.
    SCOPED_TRACE("as the run starts");
    Db().Execute(QStringLiteral("INSERT INTO SearchResults VALUES (1, 1)"));
    rwtest::AddFaultTrigger(Db(), QStringLiteral("CREATE TEMP TRIGGER FullAtStart BEFORE DELETE ON SearchResults "
                                                 "BEGIN SELECT rw_fault(13); END"));
    rwtest::AddFaultTrigger(Db(), QStringLiteral("CREATE TEMP TRIGGER FullFiles BEFORE INSERT ON VideoFiles "
                                                 "BEGIN SELECT rw_fault(13); END"));
    addFiles();
    toldOnceAndAllOff(QStringLiteral("Disk Full"), QStringLiteral("The disk is full"));
    Db().Execute(QStringLiteral("DROP TRIGGER FullAtStart; DROP TRIGGER FullFiles"));
  }
  {
    SCOPED_TRACE("while it runs");
    boxes.Clear();
    rwtest::AddFaultTrigger(Db(), QStringLiteral("CREATE TEMP TRIGGER FullFiles BEFORE INSERT ON VideoFiles "
                                                 "BEGIN SELECT rw_fault(13); END"));
    rwtest::AddFaultTrigger(Db(), QStringLiteral("CREATE TEMP TRIGGER FullResults BEFORE INSERT ON SearchResults "
                                                 "BEGIN SELECT rw_fault(13); END"));
    addFiles();
    toldOnceAndAllOff(QStringLiteral("Add Files"), stopped);
    Db().Execute(QStringLiteral("DROP TRIGGER FullFiles; DROP TRIGGER FullResults"));
  }
  boxes.Clear();
  addFiles();
  EXPECT_EQ(boxes.Count(), 0) << "the next run works";
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 4);
}

// A library file that can no longer be written (made read-only, its folder
// gone) stops the run in the same way, with one message that names it, rather
// than a box for every file.
TEST_F(AddFilesFaultsTest, ALibraryThatCannotBeWrittenStopsTheRunWithOneMessageNamingIt) {
  for (int i = 1; i <= 12; ++i) MakeFile(QStringLiteral("Clip %1.avi").arg(i, 2, 10, QLatin1Char('0')));
  rwtest::AddFaultTrigger(Db(), QStringLiteral("CREATE TEMP TRIGGER ReadOnly BEFORE INSERT ON VideoFiles WHEN "
                                               "NEW.FileName >= 'Clip 09.avi' BEGIN SELECT rw_fault(8)"
                                               "; END"));
  const int added = AddSlowlyUntilTheDiskIsFull(
      150, QStringLiteral("The Library's file\r\n%1\r\ncould not store the files, so adding files stopped.")
               .arg(QDir::toNativeSeparators(library_)));
  EXPECT_LT(added, 8) << "the files after the last commit went back";
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), added);
  EXPECT_FALSE(Db().InTransaction());
  EXPECT_FALSE(gAddingFiles);
}

// Run in a mount namespace of its own: the library lies on a small tmpfs that
// fills up part way through the run.
TEST_F(AddFilesFaultsTest, AFullLibraryDiskEndsTheRunWithOneMessageAndKeepsWhatWasCommitted) {
  RW_RUN_IN_OWN_MOUNT_NAMESPACE();
  const QString folder = ScratchPath(QStringLiteral("small disk"));
  ASSERT_TRUE(QDir().mkpath(folder));
  ASSERT_EQ(::mount("rwtest", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=1m"), 0) << std::strerror(errno);
  library_ = folder + QStringLiteral("/Films.rw2");
  modReelwise::ExtractTemplateLibrary(library_);
  gLibrary->OpenLibrary(library_, true);
  constexpr int kFiles = 400;
  const QString longer(120, QLatin1Char('x'));
  for (int i = 1; i <= kFiles; ++i) MakeFile(QStringLiteral("Clip %1 %2.avi").arg(i, 3, 10, QLatin1Char('0')).arg(longer));
  FillLeaving(folder, 96 * 1024);
  // A slow medium: the run commits several times before the disk is full.
  const int added = AddSlowlyUntilTheDiskIsFull(40);
  EXPECT_GT(added, 0) << "files were committed before the disk filled";
  EXPECT_LT(added, kFiles);
  EXPECT_FALSE(Db().InTransaction());
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), added);
  {
    auto reader = SqlConnection::Open(library_);
    EXPECT_EQ(reader->OpenRecordset(QStringLiteral("SELECT count(*) FROM VideoFiles"))->Value(0).toInt(), added)
        << "the count is in the file itself";
  }
  EXPECT_FALSE(gAddingFiles);
  EXPECT_FALSE(gMainForm->Import().cmdAbortScan->isVisible());
  EXPECT_TRUE(gMainForm->Tree().tvwLibrary->isEnabled());
  EXPECT_TRUE(gMainForm->Results().cmbBrowserHistory->isEnabled());
  EXPECT_EQ(gMainForm->windowTitle(), QStringLiteral("Reelwise II - Films"));
  EXPECT_EQ(gLibrary->ResultCount, added) << "the run's files are shown";
  ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
}

// Run in a mount namespace of its own: the disk's folder is covered by a
// file server that answers for its root alone, as a share whose server went
// away. START says the drive does not answer instead of freezing the window,
// for a folder below the root and for the root itself.
TEST_F(AddFilesFaultsTest, StartOnAMountWhoseFilesStopAnsweringSaysSoWhileTheWindowGoesOn) {
  RW_RUN_IN_OWN_MOUNT_NAMESPACE();
  MakeFile(QStringLiteral("Films/Clip.avi"));
  DeadMount dead(disk_.chopped(1));
  if (!dead.Mounted()) GTEST_SKIP() << dead.Problem().toStdString();
  const WaitWatch watch;
  boxes.Answer(vbOK);
  RunAddFiles(QStringLiteral("Films"));
  EXPECT_FALSE(dead.Released()) << "START came back while the server still did not answer";
  EXPECT_TRUE(watch.PaintedAlone()) << "the window painted during the wait and ran nothing else";
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Invalid Search Location"));
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("The drive does not answer: ")))
      << boxes.Last().prompt.toStdString();
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 0);
  EXPECT_FALSE(gAddingFiles);

  // At the mount's root, which answers, the walk itself stops answering.
  boxes.Answer(vbOK);
  RunAddFiles();
  EXPECT_FALSE(dead.Released()) << "the walk was given up while the server still did not answer";
  ASSERT_EQ(boxes.Count(), 2);
  EXPECT_TRUE(boxes.Last().prompt.endsWith(QStringLiteral("The drive does not answer: ") + disk_))
      << boxes.Last().prompt.toStdString();
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 0);
  EXPECT_FALSE(gAddingFiles);
  EXPECT_FALSE(gMainForm->Import().cmdAbortScan->isVisible());
}

}  // namespace
}  // namespace rwtest
