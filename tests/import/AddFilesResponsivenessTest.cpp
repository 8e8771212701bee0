// The window stays responsive while a run makes thumbnails: the message
// loop runs between and inside the files' steps.
#include "tests/import/AddFilesFixture.h"

#include "ui/cwProgress.h"

#include <QTimer>

#include <unistd.h>

namespace rwtest {
namespace {

using AddFilesResponsivenessTest = AddFilesTest;

// Two short clips, each linked into 100 folders: 200 files to open and grab.
void MakeTwoHundredClips(AddFilesTest& test, const QString& disk) {
  TestVideoSpec spec;
  spec.seconds = 0.5;
  spec.width = 160;
  spec.height = 120;
  const QString a = test.MakeClip(QStringLiteral("src/a.mkv"), spec);
  const QString b = test.MakeClip(QStringLiteral("src/b.mp4"), spec);
  for (int i = 0; i < 100; ++i) {
    const QString folder = disk + QStringLiteral("run/%1/").arg(i, 3, 10, QLatin1Char('0'));
    QDir().mkpath(folder);
    for (const QString& clip : {a, b}) {
      ASSERT_EQ(::link(QFile::encodeName(clip).constData(),
                       QFile::encodeName(folder + QFileInfo(clip).fileName()).constData()),
                0);
    }
  }
}

// A timer of a millisecond fires at each turn of the message loop that comes
// a millisecond or more after its last tick: a run that lets the loop go
// round for every file it adds gives at least a tick a file. How long the
// loop goes without a turn, and how soon a cancel is answered, are measured
// by bench_addfiles.
TEST_F(AddFilesResponsivenessTest, ATimerKeepsTickingThroughAThumbnailRunAndACancelIsSeenAtOnce) {
  RW_REQUIRE_FFMPEG();
  MakeTwoHundredClips(*this, disk_);
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  RunAddFiles(QStringLiteral("run"), [&](frmAddToLibrary&) { ticker.start(1); });
  ticker.stop();
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM SegmentThumbnails WHERE SegmentID > 0")), 200);
  EXPECT_GE(ticks, 200) << "the message loop went round for every file";

  // A second library, the same files: the Abort button is pressed from the
  // message loop once the run is under way, and answered at once.
  const QString other = gLibrariesFolder + QStringLiteral("Other.rw2");
  modReelwise::ExtractTemplateLibrary(other);
  gLibrary->OpenLibrary(other, true);
  bool pressed = false;
  bool answered = false;
  int ticksAtCancel = -1;
  TitleWatch watch([&](const QString& title) {
    if (pressed || !title.startsWith(QLatin1String("Scanning:"))) return;
    pressed = true;
    QTimer::singleShot(0, [&] {
      gMainForm->Import().cmdAbortScan->click();
      answered = gMainForm->progProgress->Caption() == QLatin1String("Cancelled");
      ticksAtCancel = ticks;
    });
  });
  ticks = 0;
  RunAddFiles(QStringLiteral("run"), [&](frmAddToLibrary&) { ticker.start(1); });
  ticker.stop();
  ASSERT_TRUE(pressed) << "the run never got under way";
  EXPECT_TRUE(answered) << "the cancel was not seen at once";
  ASSERT_GE(ticksAtCancel, 0);
  EXPECT_GE(ticks - ticksAtCancel, 2) << "the red \"Cancelled\" stays a second, painted, and the run then ends";
  EXPECT_LT(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 200);
}

}  // namespace
}  // namespace rwtest
