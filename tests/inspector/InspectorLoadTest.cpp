// Inspecting a clip on a connected disk: it opens paused at its segment's
// start in the preview, and what was measured is written back.
#include "tests/app/ProgramRun.h"

#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "player/cMpvCore.h"
#include "player/clsRWPlayer.h"
#include "tests/support/TestVideo.h"

#include <QDate>
#include <QDir>
#include <QTest>

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
    Db().Execute(QStringLiteral("INSERT INTO FileLocations VALUES ('AB12', 'Films', ':\\\\', '%1', 'Fixed Disk', "
                                "NULL, 1)")
                     .arg(folder_));
  }
  static SqlConnection& Db() { return gLibrary->Connection(); }

  QString folder_;
};

TEST_F(InspectorLoadTest, AClipOpensPausedAtItsSegmentsStartAndItsFactsAreStored) {
  TestVideoSpec spec;
  spec.seconds = 2;
  spec.frameIndex = true;
  ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("Clip «été».mkv"), spec));
  Db().Execute(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, "
                              "CurrentPath) VALUES (1, 'AB12', '', 'Clip «été».mkv', 0, '%1')")
                   .arg(folder_));
  Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionEnd, Online, Rating) "
                              "VALUES (1, 1, 'Y', 99, 1, 4), (2, 1, NULL, 1.2, 1, 0)"));
  Db().Execute(QStringLiteral("UPDATE VideoSegments SET SelectionStart = 0.8 WHERE SegmentID = 2"));
  ResultItem item;
  item.SegmentID = 2;
  item.FileID = 1;
  gResultKind = ResultScope::Segment;
  bool loaded = false;
  gMainForm->Inspector().LoadInspector(item, loaded);
  ASSERT_TRUE(loaded) << gMainForm->Inspector().lblOpenFileStatus->Caption().toStdString();
  EXPECT_TRUE(gPlayer->FileLoaded());
  EXPECT_TRUE(gPlayer->Visible());
  EXPECT_NEAR(gPlayer->Position(), 0.8, 0.05) << "paused at the segment's start";
  EXPECT_EQ(gMainForm->Inspector().m_DurationHundredths, 200);
  auto whole = Db().OpenRecordset(QStringLiteral("SELECT SelectionEnd FROM VideoSegments WHERE SegmentID = 1"));
  EXPECT_NEAR(whole->Value(0).toDouble(), 2.0, 0.05) << "the whole-file end rewritten whichever row is inspected";
  auto file = Db().OpenRecordset(QStringLiteral("SELECT FileSize, Dimensions, FrameRate, FileFormat FROM VideoFiles"));
  EXPECT_GT(file->Value(0).toInt64(), 0);
  EXPECT_EQ(file->Value(1).toString(), QStringLiteral(" 320x240"));
  EXPECT_EQ(file->Value(2).toDouble(), 25.0);
  EXPECT_EQ(file->Value(3).toString(), QStringLiteral("Matroska"));
  EXPECT_EQ(gMainForm->Inspector().lblFileData[9]->Caption(), QStringLiteral("ONLINE"));
  EXPECT_EQ(gMainForm->Inspector().lblFileData[2]->Caption(), QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")))
      << "the file's date as measured";
  EXPECT_EQ(gMainForm->Inspector().flexSegments->Row(), 2) << "the segment's row selected";
  if (!qEnvironmentVariableIsEmpty("RW_SCREENSHOT")) {
    gMainForm->resize(1280, 800);
    QTest::qWait(200);
    gMainForm->grab().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG");
  }
}

}  // namespace
}  // namespace rwtest
