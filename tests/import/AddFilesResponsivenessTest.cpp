// The window stays responsive while a run makes thumbnails: the message
// loop runs between and inside the files' steps.
#include "tests/import/AddFilesFixture.h"

#include "ui/cwProgress.h"

#include <QElapsedTimer>

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

TEST_F(AddFilesResponsivenessTest, ATimerKeepsTickingThroughAThumbnailRunAndACancelIsSeenAtOnce) {
  RW_REQUIRE_FFMPEG();
  MakeTwoHundredClips(*this, disk_);
  QElapsedTimer clock;
  qint64 last = -1;
  qint64 longestGap = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    if (last >= 0) longestGap = std::max(longestGap, now - last);
    last = now;
  });
  RunAddFiles(QStringLiteral("run"), [&](frmAddToLibrary&) {
    clock.start();
    ticker.start(20);
  });
  ticker.stop();
  EXPECT_EQ(Count(QStringLiteral("SELECT count(*) FROM SegmentThumbnails WHERE SegmentID > 0")), 200);
  EXPECT_LT(longestGap, 500) << "the longest time the message loop did not run, in ms";

  // A second library, the same files: the Abort button is pressed a moment
  // into the run and answered well within half a second.
  const QString other = gLibrariesFolder + QStringLiteral("Other.rw2");
  modReelwise::ExtractTemplateLibrary(other);
  gLibrary->OpenLibrary(other, true);
  qint64 due = 0;
  qint64 answered = -1;
  last = -1;
  longestGap = 0;
  RunAddFiles(QStringLiteral("run"), [&](frmAddToLibrary&) {
    clock.restart();
    ticker.start(20);
    due = 400;
    QTimer::singleShot(400, [&] {
      const qint64 pressed = clock.elapsed();
      gMainForm->Import().cmdAbortScan->click();
      if (gMainForm->progProgress->Caption() == QLatin1String("Cancelled")) answered = pressed;
    });
  });
  ticker.stop();
  EXPECT_LT(longestGap, 500) << "the red \"Cancelled\" stays a second with the message loop running";
  ASSERT_GE(answered, 0) << "the cancel was not seen";
  EXPECT_LT(answered - due, 500);
  EXPECT_LT(Count(QStringLiteral("SELECT count(*) FROM VideoFiles")), 200);
}

}  // namespace
}  // namespace rwtest
