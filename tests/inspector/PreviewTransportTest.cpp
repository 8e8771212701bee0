// The preview's transport bar, the A-B band and segment editing on a real
// clip (4 s at 25 frames a second) opened through the inspector: the go-to
// and set buttons, single and held steps, the sliders, the thumbnail grab,
// and saving, editing and deleting segments.
#include "tests/app/ProgramRun.h"

#include "tests/app/ClipLibrary.h"

#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/DragController.h"
#include "platform/Rounding.h"
#include "platform/SqlConnection.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/TimerControl.h"
#include "platform/controls/Toolbar.h"
#include "player/cMpvCore.h"
#include "player/clsRWPlayer.h"
#include "tests/player/FakeMixer.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/TestVideo.h"

#include <QDir>
#include <QTest>

namespace rwtest {
namespace {

class PreviewTransportTest : public RunningProgramTest {
 protected:
  void SetUp() override {
    RunningProgramTest::SetUp();
    RW_REQUIRE_FFMPEG();
    cMpvCore::SetAudioOutput(QStringLiteral("null"));
    folder_ = ScratchPath(QStringLiteral("films/"));
    OpenClipLibrary(folder_);
    TestVideoSpec spec;
    spec.seconds = 4;
    spec.frameIndex = true;
    ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("Clip.mkv"), spec));
    AddClipFile(1, QStringLiteral("Clip.mkv"), folder_, 4);
    Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, "
                                "SelectionEnd, Online, Rating) VALUES (2, 1, NULL, 1, 2, 1, 0), (3, 1, NULL, 2.5, 3, 1, 0)"));
    gResultKind = ResultScope::Segment;
    InspectorPane::WaitHook = [this](int) {
      if (++waits_ >= releaseAfter_) Pane().picMediaControl_MouseUp(0, 1, 0, 0, 0);
    };
    Inspect(2);
  }
  void TearDown() override {
    InspectorPane::WaitHook = nullptr;
    ctl::SetKeyStateFunction(nullptr);
    RunningProgramTest::TearDown();
  }

  static SqlConnection& Db() { return gLibrary->Connection(); }
  static InspectorPane& Pane() { return gMainForm->Inspector(); }
  static void Inspect(int segment) {
    ResultItem item;
    item.SegmentID = segment;
    item.FileID = 1;
    bool loaded = false;
    Pane().LoadInspector(item, loaded);
    ASSERT_TRUE(loaded) << Pane().lblOpenFileStatus->Caption().toStdString();
  }
  // A press of a transport button that is let go after `waits` pauses; a
  // held button's repeat runs from the event loop until then.
  void Press(int button, int waits = 1) {
    waits_ = 0;
    releaseAfter_ = waits;
    Pane().picMediaControl_MouseDown(button, 1, 0, 0, 0);
    AwaitRepeatEnd();
  }
  static void AwaitRepeatEnd() {
    ASSERT_TRUE(QTest::qWaitFor([] { return !Pane().Repeating(); }, kWaitCeilingMs));
  }
  static void HoldCtrl() {
    ctl::SetKeyStateFunction([](int key) { return static_cast<int16_t>(key == 17 ? 0xFF80 : 0); });
  }
  static double Position() { return gPlayer->Position(); }
  static int SegmentRows() {
    auto rs = Db().OpenRecordset(QStringLiteral("SELECT COUNT(*) FROM VideoSegments WHERE FileID = 1"));
    return rs->Value(0).toInt();
  }
  static int RowOf(int segment) {
    for (int row = 1; row < Pane().flexSegments->Rows(); ++row) {
      if (Pane().flexSegments->TextMatrix(row, 4).toInt() == segment) return row;
    }
    return 0;
  }
  static void SelectRow(int row) {
    Pane().flexSegments->SetRow(row);
    Pane().flexSegments_SelChange();
  }
  static ctl::Button& EditButton() { return Pane().tbSegments->Buttons(QStringLiteral("EDIT_SEGMENT")); }

  QString folder_;
  int waits_ = 0;
  int releaseAfter_ = 1;
};

TEST_F(PreviewTransportTest, GoToAAndGoToBFollowWhereThePlayerStands) {
  ASSERT_DOUBLE_EQ(Pane().m_SegmentStart, 1.0);
  gPlayer->ForcePosition(1.5);
  Press(1);
  EXPECT_NEAR(Position(), 1.0, 0.001) << "inside the segment: to A";
  Press(1);
  EXPECT_NEAR(Position(), 0.0, 0.001) << "at A: to the start";
  Press(1);
  EXPECT_NEAR(Position(), 1.0, 0.001) << "at the start: to A";

  gPlayer->ForcePosition(0.5);
  Press(5);
  EXPECT_NEAR(Position(), 2.0, 0.001) << "before B: to B";
  Press(5);
  EXPECT_NEAR(Position(), gPlayer->Duration(), 0.05) << "at B: to the end";
}

TEST_F(PreviewTransportTest, SettingAAndBKeepsThemInOrder) {
  gPlayer->ForcePosition(3.0);
  Press(7);
  EXPECT_NEAR(Pane().m_SegmentStart, 3.0, 0.001);
  EXPECT_DOUBLE_EQ(Pane().m_SegmentEnd, 3.99) << "A at or after B moves B to the last hundredth";
  gPlayer->ForcePosition(0.52);
  Press(10);
  EXPECT_NEAR(Pane().m_SegmentEnd, 0.52, 0.001);
  EXPECT_DOUBLE_EQ(Pane().m_SegmentStart, 0.0) << "B at or before A moves A to the start";
  gPlayer->ForcePosition(0);
  Press(10);
  EXPECT_DOUBLE_EQ(Pane().m_SegmentEnd, gPlayer->Duration()) << "B set at 0 is the duration";
  EXPECT_EQ(Pane().lblEndPoint->Caption(), modReelwise::FormatDuration(gPlayer->Duration(), true, true));
}

TEST_F(PreviewTransportTest, AClickStepsOneFrameOrWithCtrlOneSecond) {
  gPlayer->ForcePosition(1.0);
  Press(4);
  EXPECT_NEAR(Position(), 1.04, 0.002);
  Press(2);
  EXPECT_NEAR(Position(), 1.0, 0.002);
  HoldCtrl();
  Press(4);
  EXPECT_NEAR(Position(), 2.0, 0.002);
}

TEST_F(PreviewTransportTest, ThePollMovesTheThumbAndShowsPlayOrPauseExceptInTVOut) {
  ctl::Image& thumb = *Pane().imgSliderThumb;
  gPlayer->ForcePosition(2.0);
  thumb.SetLeft(100);
  gTVOutMode = true;
  gMainForm->Results().Timer1_Timer();
  gTVOutMode = false;
  EXPECT_DOUBLE_EQ(thumb.Left(), 100) << "nothing in TV-Out mode";

  gWindowMode = 2;
  gMainForm->Results().Timer1_Timer();
  gWindowMode = 1;
  EXPECT_NEAR(thumb.Left(), (Pane().picSlider->Width() - 16) * 2.0 / 4.0 + 4, 1) << "compact mode polls too";
  const QObjectList& stack = Pane().picMediaControl[3]->parentWidget()->children();
  EXPECT_GT(stack.indexOf(Pane().picMediaControl[3]), stack.indexOf(Pane().picMediaControl[14]))
      << "paused: play in front";
  Press(3);
  gMainForm->Results().Timer1_Timer();
  EXPECT_LT(stack.indexOf(Pane().picMediaControl[3]), stack.indexOf(Pane().picMediaControl[14]))
      << "running: pause in front";
  Press(14);
}

TEST_F(PreviewTransportTest, TheTextFadesInTwentyTicksAndStaysWhilePaused) {
  Press(3);  // running
  std::vector<double> levels;
  Pane().Timer2->SetTag(QString());
  Pane().Timer2->SetEnabled(true);
  for (int tick = 0; tick < 25 && Pane().Timer2->Enabled(); ++tick) {
    Pane().Timer2_Timer();
    levels.push_back(gPlayer->VideoWindow()->OverlayOpacity());
  }
  Press(14);
  ASSERT_EQ(levels.size(), 20u);
  EXPECT_DOUBLE_EQ(levels.front(), 1.0);
  EXPECT_NEAR(levels[1], 0.95, 1e-9);
  EXPECT_NEAR(levels[18], 0.10, 1e-9);
  EXPECT_DOUBLE_EQ(levels.back(), 0.0) << "the twentieth tick draws 0 and ends the fade";
  EXPECT_TRUE(Pane().Timer2->Tag().isEmpty());

  // Paused: every tick after the first draws 0.95.
  Pane().Timer2->SetEnabled(true);
  for (int tick = 0; tick < 5; ++tick) Pane().Timer2_Timer();
  EXPECT_NEAR(gPlayer->VideoWindow()->OverlayOpacity(), 0.95, 1e-9);
  EXPECT_TRUE(Pane().Timer2->Enabled());
}

TEST(PreviewStepTest, FifteenFrameStepsThenHalfAgainEveryFifthMoveUpToTenMinutes) {
  double step = 0;
  std::vector<double> steps;
  for (int count = 0; count < 200; ++count) steps.push_back(step = InspectorPane::NextStep(count, step, 25, false));
  for (int i = 0; i < 15; ++i) EXPECT_DOUBLE_EQ(steps[i], 0.04) << i;
  EXPECT_DOUBLE_EQ(steps[15], 0.06) << "the 16th move";
  EXPECT_DOUBLE_EQ(steps[19], 0.06);
  EXPECT_DOUBLE_EQ(steps[20], 0.09) << "the 21st move";
  EXPECT_DOUBLE_EQ(steps[25], 0.135) << "the 26th move";
  EXPECT_DOUBLE_EQ(steps.back(), 600) << "never above ten minutes";
  EXPECT_DOUBLE_EQ(InspectorPane::NextStep(3, 0.04, 25, true), 1.0) << "Ctrl: whole seconds";
}

TEST_F(PreviewTransportTest, HeldPointMovesStopAtTheirNeighbours) {
  HoldCtrl();  // whole seconds
  Press(6, 5);
  EXPECT_DOUBLE_EQ(Pane().m_SegmentStart, 0.0) << "A stops at the start";
  Press(8, 5);
  EXPECT_DOUBLE_EQ(Pane().m_SegmentStart, Pane().m_SegmentEnd) << "A stops at B";
  Press(9, 5);
  EXPECT_DOUBLE_EQ(Pane().m_SegmentEnd, Pane().m_SegmentStart) << "B stops at A";
  Press(11, 9);
  EXPECT_DOUBLE_EQ(Pane().m_SegmentEnd, gPlayer->Duration()) << "B stops at the end";
  EXPECT_NEAR(Position(), gPlayer->Duration(), 0.05) << "the player shows the moved point";
}

// A close of the window during the repeat (a key, the window manager) is
// held back until the repeat, which it ends, is over; the window closes then.
TEST_F(PreviewTransportTest, AHeldLoopEndsWhenThePreviewLosesItsFileOrTheWindowCloses) {
  InspectorPane::WaitHook = [](int) {
    if (gPlayer->FileLoaded()) gPlayer->CleanUp();  // what a new inspected file does mid-repeat
  };
  Pane().picMediaControl_MouseDown(4, 1, 0, 0, 0);
  AwaitRepeatEnd();
  EXPECT_FALSE(gPlayer->FileLoaded());

  Inspect(2);
  int closes = 0;
  InspectorPane::WaitHook = [&](int) {
    EXPECT_FALSE(gMainForm->close()) << "the close waits for the repeat";
    ++closes;
  };
  Pane().picMediaControl_MouseDown(4, 1, 0, 0, 0);
  ASSERT_TRUE(QTest::qWaitFor([] { return gMainForm == nullptr; }, kWaitCeilingMs));
  EXPECT_EQ(closes, 1) << "the close ended the repeat";
}

TEST_F(PreviewTransportTest, NothingButOpenActsWithoutAFile) {
  Pane().ClearInspector();
  const QPixmap before = Pane().picMediaControl[7]->Picture().copy();
  Press(7);
  EXPECT_EQ(Pane().picMediaControl[7]->Picture().toImage(), before.toImage()) << "not even the Down face";
  gCurrentItem.SegmentID = 3;
  gCurrentItem.FileID = 1;
  Press(12);
  EXPECT_EQ(gInspectedItem.SegmentID, 3) << "open inspects the current result";
}

TEST_F(PreviewTransportTest, TheSlidersEndsSeekToStartAndEndAndVolumeFollowsThePointer) {
  bool pollStopped = false;
  InspectorPane::WaitHook = [&](int) { pollStopped = !gMainForm->Results().Timer1->Enabled(); };
  Pane().picSlider_MouseDown(1, 0, 0, 0);
  ASSERT_TRUE(QTest::qWaitFor([] { return !Pane().SliderSettling(); }, kWaitCeilingMs));
  EXPECT_DOUBLE_EQ(Pane().imgSliderThumb->Left(), 4);
  EXPECT_NEAR(Position(), 0, 0.001);
  EXPECT_TRUE(pollStopped) << "no poll during the seek";
  EXPECT_TRUE(gMainForm->Results().Timer1->Enabled());
  Pane().picSlider_MouseDown(1, 0, Pane().picSlider->Width() + 30, 0);
  ASSERT_TRUE(QTest::qWaitFor([] { return !Pane().SliderSettling(); }, kWaitCeilingMs));
  EXPECT_DOUBLE_EQ(Pane().imgSliderThumb->Left(), Pane().picSlider->Width() - 12);
  EXPECT_NEAR(Position(), gPlayer->Duration(), 0.05);

  auto mixer = std::make_unique<FakeMixer>();
  mixer->devices = 0;
  ModMixers::SetBackendForTests(std::move(mixer));
  Pane().picVolume_MouseDown(1, 0, 28, 0);
  EXPECT_EQ(gPlayer->Volume(), 50);
  EXPECT_DOUBLE_EQ(Pane().picVolumeThumb->Left(), 20);
  Pane().picVolume_MouseDown(2, 0, 3, 0);
  EXPECT_EQ(gPlayer->Volume(), 0);
  Pane().picVolume_MouseDown(1, 0, 60, 0);
  EXPECT_EQ(gPlayer->Volume(), 100);
  ModMixers::SetBackendForTests(nullptr);
}

TEST_F(PreviewTransportTest, TheBandRunsFromAToBInTilesAndSpansTheTrackWithoutAFile) {
  const double track = Pane().picSlider->Width() - 16;
  EXPECT_EQ(Pane().imgSelection->Width(), CInt(1.0 / (4.0 / track)));
  EXPECT_EQ(Pane().imgSelection->Left(), CInt(8 + 1.0 / (4.0 / track)));
  EXPECT_EQ(Pane().lblStartPoint->Caption(), QStringLiteral("0:00:01.00"));
  EXPECT_EQ(Pane().lblEndPoint->Caption(), QStringLiteral("0:00:02.00"));

  gPlayer->CleanUp();
  Pane().m_SegmentStart = 0;
  Pane().m_SegmentEnd = 1;
  Pane().DrawSelectionMarkers(false);
  EXPECT_EQ(Pane().imgSelection->Width(), CInt(track)) << "duration 0: the whole track";
  const QImage band = Pane().imgSelection->Picture().toImage();
  const QImage tile = Pane().picSelection->Picture().toImage();
  ASSERT_FALSE(tile.isNull());
  ASSERT_GT(band.width(), 182);
  EXPECT_EQ(band.pixel(185, 5), tile.pixel(3, 5)) << "the tile again from 182";
}

TEST_F(PreviewTransportTest, AGrabbedFrameBecomesTheSegmentsThumbnail) {
  gPlayer->ForcePosition(1.0);
  Press(13);
  EXPECT_EQ(boxes.Count(), 0);
  auto rs = Db().OpenRecordset(QStringLiteral("SELECT COUNT(*) FROM SegmentThumbnails WHERE SegmentID = 2"));
  EXPECT_EQ(rs->Value(0).toInt(), 1);
  // The crop keeps the middle of the colour bars: the leftmost pixel is the
  // second bar's yellow, not the first bar's grey.
  const QImage thumb = Pane().picThumbnail->Picture().toImage();
  const QColor left = thumb.pixelColor(10, 40);  // inside the bevel
  EXPECT_GT(left.red(), 150);
  EXPECT_GT(left.green(), 150);
  EXPECT_LT(left.blue(), 80);
}

// A portrait clip, one stored 4:3 and shown 16:9, and one turned a quarter:
// each thumbnail shows the picture in its shown shape, between black bars,
// where it used to be stretched over the whole 100 x 75.
TEST_F(PreviewTransportTest, AThumbnailKeepsThePicturesShownShapeBetweenBlackBars) {
  struct Shape {
    const char* name;
    int width;
    int height;
    const char* sampleAspect;
    int rotation;
    bool barsAtTheSides;
  };
  const Shape shapes[] = {{"Anamorphic.mkv", 320, 240, "4/3", 0, false},
                          {"Turned.mp4", 320, 240, "", 90, true},
                          {"Portrait.mkv", 180, 320, "", 0, true}};
  int id = 10;
  for (const Shape& shape : shapes) {
    SCOPED_TRACE(shape.name);
    TestVideoSpec spec;
    spec.seconds = 2;
    spec.width = shape.width;
    spec.height = shape.height;
    spec.frameIndex = true;
    spec.sampleAspect = QString::fromLatin1(shape.sampleAspect);
    spec.rotation = shape.rotation;
    ASSERT_TRUE(MakeTestVideo(folder_, QString::fromLatin1(shape.name), spec));
    AddClipFile(++id, QString::fromLatin1(shape.name), folder_, 2);
    Inspect(id);
    gPlayer->ForcePosition(1.0);
    Press(13);
    EXPECT_EQ(boxes.Count(), 0);
    const QImage thumb = Pane().picThumbnail->Picture().toImage();
    ASSERT_EQ(thumb.size(), QSize(100, 75));
    const auto dark = [&thumb](int x, int y) { return qGray(thumb.pixel(x, y)) < 40; };
    EXPECT_FALSE(dark(50, 37)) << "the middle bar";
    // Samples clear of the bevel's three pixels.
    EXPECT_EQ(dark(12, 37) && dark(87, 37), shape.barsAtTheSides);
    EXPECT_EQ(dark(50, 5) && dark(50, 70), !shape.barsAtTheSides);
  }
  if (!qEnvironmentVariableIsEmpty("RW_SCREENSHOT")) {
    gMainForm->resize(1280, 800);
    // The grab paints at once; the layout of the new size is what it waits for.
    ASSERT_TRUE(QTest::qWaitFor([] { return gMainForm->size() == QSize(1280, 800); }, 10000));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    gMainForm->grab().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG");
  }
}

TEST_F(PreviewTransportTest, AnAudioOnlyFileCannotGiveAThumbnail) {
  TestVideoSpec spec;
  spec.audio = true;
  spec.video = false;
  ASSERT_TRUE(MakeTestVideo(folder_, QStringLiteral("Tone.mka"), spec));
  Db().Execute(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, FileSize, "
                              "CurrentPath) VALUES (2, 'AB12', '', 'Tone.mka', 0, '%1')")
                   .arg(folder_));
  Db().Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionEnd, Online, "
                              "Rating) VALUES (9, 2, 'Y', 2, 1, 0)"));
  ResultItem item;
  item.SegmentID = 9;
  item.FileID = 2;
  bool loaded = false;
  Pane().LoadInspector(item, loaded);
  ASSERT_TRUE(loaded);
  boxes.Answer(1);
  Press(13);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().prompt, QStringLiteral("It was not possible to initialise frame-grabbing for this movie"));
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Can't create thumbnail"));
}

TEST_F(PreviewTransportTest, SaveAddsTheABSegmentOnceAndDeleteSelectsTheNext) {
  const int before = SegmentRows();
  Pane().m_SegmentStart = 0.5;
  Pane().m_SegmentEnd = 1.5;
  Pane().tbSegments_ButtonClick(QStringLiteral("SAVE_SEGMENT"));
  EXPECT_EQ(SegmentRows(), before + 1);
  auto newest = Db().OpenRecordset(QStringLiteral("SELECT MAX(SegmentID) FROM VideoSegments"));
  const int created = newest->Value(0).toInt();
  EXPECT_EQ(RowOf(created), 2) << "the new segment in its sorted place";
  EXPECT_EQ(Pane().picThumbnail->Tag().toInt(), 2) << "the inspected segment stays selected";
  Pane().m_SegmentStart = 0.5;
  Pane().m_SegmentEnd = 1.5;
  Pane().tbSegments_ButtonClick(QStringLiteral("SAVE_SEGMENT"));
  EXPECT_EQ(SegmentRows(), before + 1) << "a duplicate is ignored";

  SelectRow(RowOf(created));
  const int following = Pane().flexSegments->TextMatrix(RowOf(created) + 1, 4).toInt();
  Pane().tbSegments_ButtonClick(QStringLiteral("DELETE_SEGMENT"));
  EXPECT_EQ(SegmentRows(), before);
  EXPECT_EQ(RowOf(created), 0);
  EXPECT_EQ(Pane().picThumbnail->Tag().toInt(), following) << "the next segment selected";

  SelectRow(1);
  Pane().tbSegments_ButtonClick(QStringLiteral("DELETE_SEGMENT"));
  EXPECT_EQ(SegmentRows(), before) << "the whole-file row is never deleted";
}

TEST_F(PreviewTransportTest, EditingASegmentStoresEveryPointChange) {
  SelectRow(1);
  EditButton().SetValue(ctl::tbrPressed);
  Pane().tbSegments_ButtonClick(QStringLiteral("EDIT_SEGMENT"));
  EXPECT_EQ(EditButton().Value(), ctl::tbrUnpressed) << "springs back on the whole-file row";

  SelectRow(RowOf(2));
  EditButton().SetValue(ctl::tbrPressed);
  Pane().tbSegments_ButtonClick(QStringLiteral("EDIT_SEGMENT"));
  gPlayer->ForcePosition(1.52);
  Press(10);
  auto rs = Db().OpenRecordset(QStringLiteral("SELECT SelectionEnd FROM VideoSegments WHERE SegmentID = 2"));
  EXPECT_NEAR(rs->Value(0).toDouble(), 1.52, 0.001);
  EXPECT_EQ(Pane().flexSegments->TextMatrix(RowOf(2), 2), InspectorPane::SecondsText(Pane().m_SegmentEnd));

  SelectRow(RowOf(3));
  EXPECT_EQ(EditButton().Value(), ctl::tbrUnpressed) << "a new selection ends the editing";
  gPlayer->ForcePosition(2.8);
  Press(7);
  auto three = Db().OpenRecordset(QStringLiteral("SELECT SelectionStart FROM VideoSegments WHERE SegmentID = 3"));
  EXPECT_DOUBLE_EQ(three->Value(0).toDouble(), 2.5) << "not stored without editing";
}

}  // namespace
}  // namespace rwtest
