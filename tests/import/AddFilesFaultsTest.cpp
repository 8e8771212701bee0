// The add-files run under faults from outside the program, each made for
// real in a process of its own: a termination signal in the middle of the
// run, a library disk that fills up, a mount whose server stops answering.
#include "tests/import/AddFilesFixture.h"

#include "app/modReelwise_startup.h"
#include "tests/support/ChildRun.h"

#include <QFile>
#include <QTimer>

#include <csignal>
#include <cstdio>

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

}  // namespace
}  // namespace rwtest
