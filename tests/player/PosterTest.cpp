// The poster: its size, frame times, a missing frame, the title's floor size,
// the tag text drawn as it is, and the files it refuses.
#include "inspector/InspectorPane.h"
#include "library/ResultItem.h"
#include "options/frmProgramOptions.h"
#include "platform/JpegCodec.h"
#include "player/cFilePosterArt.h"
#include "player/frmFilePosterArt.h"
#include "player/frmFilePreview.h"
#include "tests/player/PlayerFixture.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/DeadMount.h"
#include "tests/support/ScriptedDialogs.h"
#include "ui/frmGlass.h"

#include <pango/pangocairo.h>

#include <QDir>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace rwtest {
namespace {

// The family fontconfig gives a requested face.
QString ResolvedFamily(const char* face) {
  PangoFontMap* map = pango_cairo_font_map_get_default();
  PangoContext* context = pango_font_map_create_context(map);
  PangoFontDescription* wanted = pango_font_description_from_string(face);
  PangoFont* font = pango_font_map_load_font(map, context, wanted);
  QString family;
  if (font) {
    PangoFontDescription* got = pango_font_describe(font);
    family = QString::fromUtf8(pango_font_description_get_family(got));
    pango_font_description_free(got);
    g_object_unref(font);
  }
  pango_font_description_free(wanted);
  g_object_unref(context);
  return family;
}

// What the poster is drawn with, without a clip: the step between frames,
// their places, and the faces its Arial and Verdana resolve to.
TEST(PosterLayoutTest, StepsPlacementsAndFacesAreTheOnesThePosterDrawsWith) {
  EXPECT_DOUBLE_EQ(cFilePosterArt::PosterStep(48), 2.0);
  EXPECT_DOUBLE_EQ(cFilePosterArt::PosterStep(5.9), 5.9 / 24);
  EXPECT_DOUBLE_EQ(cFilePosterArt::PosterStep(0.7), 0.7 / 23) << "a segment under a second";
  EXPECT_DOUBLE_EQ(cFilePosterArt::PosterStep(5.0), 5.0 / 23);
  EXPECT_DOUBLE_EQ(cFilePosterArt::PosterStep(7.9), 7.0 / 24);
  EXPECT_EQ(cFilePosterArt::Placements()[12].X, 1050);
  EXPECT_EQ(cFilePosterArt::Placements()[23].Angle, 5);
  // Arial and Verdana resolve to installed faces.
  EXPECT_EQ(ResolvedFamily("Arial 16"), QStringLiteral("Liberation Sans"));
  EXPECT_FALSE(ResolvedFamily("Verdana 11").isEmpty()) << "fontconfig's choice";
}

class PosterTest : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    if (IsSkipped()) return;
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("ThumbnailTimeout"), 2);
    gBrowserMode = 0;
  }
  void TearDown() override {
    gSavedItem = ResultItem{};
    PlayerTest::TearDown();
  }
  static QString IndexClip(const QString& name, double seconds) {
    TestVideoSpec spec;
    spec.seconds = seconds;
    spec.frameIndex = true;
    return Clip(name, spec);
  }
  static void Choose(const QString& path, double seconds) {
    gSavedItem = ResultItem{};
    gSavedItem.CurrentPath = QFileInfo(path).absolutePath() + QLatin1Char('/');
    gSavedItem.FileName = QFileInfo(path).fileName();
    gSavedItem.FileAlias = QStringLiteral("A Day at the Beach");
    gSavedItem.SelectionEnd = seconds;
  }
  QString BoardFile() const { return gTempFolder + QStringLiteral("Story Board.jpg"); }
  QSize SavedSize() const {
    QFile file(BoardFile());
    if (!file.open(QIODevice::ReadOnly)) return {};
    int width = 0, height = 0;
    if (!JpegCodec().ReadSize(file.readAll(), &width, &height)) return {};
    return {width, height};
  }

  ScriptedMessageBoxes boxes;
};

// Pure white pixels in a box of the poster: only text is drawn that white.
int WhiteIn(const cFilePosterArt& poster, const QRect& box) {
  int white = 0;
  for (int y = box.top(); y <= box.bottom(); ++y) {
    for (int x = box.left(); x <= box.right(); ++x) white += qGray(poster.Surface()->Image().pixel(x, y)) > 245;
  }
  return white;
}

// The posters of a 48-second clip: the whole clip, a segment of it, its
// descriptions, and the clip cut short under an alias far too long.
TEST_F(PosterTest, AFortyEightSecondClipsPostersShowTheirFramesTagsDescriptionAndTitle) {
  const QString clip = IndexClip(QStringLiteral("long.mkv"), 48);
  Choose(clip, 48);
  {
    SCOPED_TRACE("forty-eight seconds give frames two seconds apart on a poster of its own size");
    frmFilePosterArt form;
    form.resize(600, 400);
    ASSERT_TRUE(form.Built());
    EXPECT_EQ(boxes.Count(), 0);
    const cFilePosterArt& poster = *form.Poster();
    EXPECT_DOUBLE_EQ(poster.Step(), 2.0);
    EXPECT_DOUBLE_EQ(poster.FrameTime(12), 24.0) << "the background";
    for (int i = 1; i <= 23; ++i) EXPECT_TRUE(poster.FrameGrabbed(i)) << i;
    EXPECT_EQ(poster.Surface()->Width(), 1250);
    EXPECT_EQ(poster.Surface()->Height(), 800);
    EXPECT_EQ(SavedSize(), QSize(1250, 800));
    EXPECT_DOUBLE_EQ(poster.TitleSize(), 23.5) << "a short alias";
    // The footer in white at (20, 780).
    int white = 0;
    for (int x = 20; x < 200; ++x) {
      for (int y = 780; y < 795; ++y) white += qGray(poster.Surface()->Image().pixel(x, y)) > 200;
    }
    EXPECT_GT(white, 30);
    if (qEnvironmentVariableIsSet("RW_SCREENSHOT")) form.grab().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG");
    // No tags are drawn as they are: "--No Tags" in white at (240, 490).
    white = 0;
    for (int x = 240; x < 320; ++x) {
      for (int y = 490; y < 506; ++y) white += qGray(form.Poster()->Surface()->Image().pixel(x, y)) > 200;
    }
    EXPECT_GT(white, 20);
  }
  {
    // 0.8 s in the middle: 23 frames each at its time, not 23 times the first.
    SCOPED_TRACE("a segment under a second shows its frames in order");
    Choose(clip, 20.8);
    gSavedItem.SelectionStart = 20.0;
    frmFilePosterArt form;
    ASSERT_TRUE(form.Built());
    const cFilePosterArt& poster = *form.Poster();
    EXPECT_DOUBLE_EQ(poster.FrameTime(23), 20.0 + 0.8);
    QSet<double> shown;
    for (int i = 1; i <= 23; ++i) {
      ASSERT_TRUE(poster.FrameGrabbed(i)) << i;
      EXPECT_NEAR(poster.FrameShownAt(i), std::floor(poster.FrameTime(i) * 25 + 1e-6) / 25, 0.002) << i;
      shown.insert(poster.FrameShownAt(i));
    }
    EXPECT_GE(shown.size(), 18);
  }
  {
    SCOPED_TRACE("full lines of the description run to 780 pixels and the last does not");
    Choose(clip, 48);
    QStringList words;
    for (int i = 0; i < 60; ++i) words << QStringLiteral("word%1").arg(i);
    gSavedItem.Description = words.join(QLatin1Char(' '));
    frmFilePosterArt form;
    ASSERT_TRUE(form.Built());
    const cFilePosterArt& poster = *form.Poster();
    EXPECT_GT(WhiteIn(poster, QRect(990, 492, 30, 12)), 5) << "the first line ends at 240 + 780";
    EXPECT_EQ(WhiteIn(poster, QRect(1022, 492, 20, 12)), 0);
    gSavedItem.Description = QStringLiteral("One short line");
    frmFilePosterArt shortOne;
    EXPECT_GT(WhiteIn(*shortOne.Poster(), QRect(240, 492, 60, 12)), 5);
    EXPECT_EQ(WhiteIn(*shortOne.Poster(), QRect(600, 492, 400, 12)), 0) << "single spaces, left-aligned";
  }
  SCOPED_TRACE("frames past a cut show the last frame and a huge alias stops at the floor size");
  const QString cut = ScratchPath(QStringLiteral("cut.mkv"));
  ASSERT_TRUE(QFile::copy(clip, cut));
  QFile(cut).resize(QFileInfo(cut).size() * 3 / 4);
  Choose(cut, 48);
  gSavedItem.FileAlias = QString(20000, QLatin1Char('W'));
  QFile::remove(BoardFile());  // the size read below is this poster's
  frmFilePosterArt form;
  ASSERT_TRUE(form.Built());
  for (int i = 1; i <= 23; ++i) EXPECT_TRUE(form.Poster()->FrameGrabbed(i)) << i;
  EXPECT_DOUBLE_EQ(form.Poster()->FrameShownAt(23), form.Poster()->FrameShownAt(20));
  EXPECT_DOUBLE_EQ(form.Poster()->TitleSize(), cFilePosterArt::kTitleFloorSize);
  EXPECT_EQ(SavedSize(), QSize(1250, 800));
}

// Clips of odd shapes: a featured panel is drawn at 640 x 360 and squeezed
// into 530 x 280, so its frame is drawn narrower and lower beforehand; frames
// wider than Cairo makes a surface are scaled down before they are drawn.
TEST_F(PosterTest, AHalfWideOrAFarTooWideClipKeepsItsShapeOnThePosterAndTheStoryBoard) {
  {
    SCOPED_TRACE("a featured frame keeps its shape on the poster");
    TestVideoSpec spec;
    spec.seconds = 12;
    spec.width = 160;
    spec.height = 320;
    spec.frameIndex = true;
    Choose(Clip(QStringLiteral("half.mkv"), spec), 12);
    frmFilePosterArt form;
    ASSERT_TRUE(form.Built());
    const QImage poster = form.Poster()->Surface()->Image();
    // A 1:2 clip fills the panel's height (280), half as wide. The second
    // panel lies at (275, 200), its middle at x 540; a row a sixth of the way
    // down lies between its slanted edges, below the index squares.
    const int y = 200 + 60 * 280 / 360;
    const auto lit = [&](int x) {
      const QRgb pixel = poster.pixel(x, y);
      return std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) > 60;
    };
    ASSERT_TRUE(lit(540));
    int left = 540;
    int right = 540;
    while (left > 275 && lit(left - 1)) --left;
    while (right < 805 && lit(right + 1)) ++right;
    EXPECT_NEAR(right - left + 1, 280 / 2, 3) << "from " << left << " to " << right;
  }
  SCOPED_TRACE("frames wider than a surface are scaled onto the poster and the story board");
  boxes.Clear();
  QFile::remove(BoardFile());
  TestVideoSpec spec;
  spec.seconds = 2;
  spec.width = 65534;
  spec.height = 16;
  spec.framesPerSecond = 5;
  spec.codec = QStringLiteral("ffv1");
  Choose(Clip(QStringLiteral("wide.mkv"), spec), 2);
  {
    frmFilePosterArt poster;
    ASSERT_TRUE(poster.Built());
    EXPECT_TRUE(poster.Poster()->FrameGrabbed(1));
    EXPECT_EQ(SavedSize(), QSize(1250, 800));
  }
  QFile::remove(BoardFile());
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegFilePosters, QStringLiteral("HorizontalTiles"), 2);
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegFilePosters, QStringLiteral("VerticalTiles"), 1);
  frmFilePreview board;
  EXPECT_EQ(board.GrabbedCount(), 2);
  EXPECT_TRUE(QFileInfo::exists(BoardFile()));
  EXPECT_EQ(boxes.Count(), 0) << (boxes.Count() ? boxes.Last().prompt.toStdString() : std::string());
}

// Files the poster cannot be made of: one without frames, an offline one.
TEST_F(PosterTest, AFileWithoutFramesOrAnOfflineItemIsRefusedWithItsMessageAndNothingMade) {
  {
    SCOPED_TRACE("a file without frames is refused without a file");
    Choose(AudioClip(), 3);
    boxes.Answer(1);
    frmFilePosterArt form;
    EXPECT_FALSE(form.Built());
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_EQ(boxes.Last().prompt, kStoryBoardRefusal);
    EXPECT_FALSE(QFileInfo::exists(BoardFile()));
  }
  SCOPED_TRACE("an offline item gets the offline message and nothing is opened");
  boxes.Clear();
  gSavedItem = ResultItem{};
  gSavedItem.CurrentPath = QStringLiteral("[Offline] Films:\\\\");
  gSavedItem.FileName = QStringLiteral("Holiday.mkv");
  boxes.Answer(1);
  frmFilePosterArt form;
  EXPECT_FALSE(form.Built());
  EXPECT_EQ(form.Poster(), nullptr);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_TRUE(boxes.Last().title.startsWith(QStringLiteral("Offline Volume")));
}

// Run in a mount namespace of its own: the clip's folder is covered by a file
// server that answers for its root alone, as a share whose server went away.
// Both kinds of board give the offline message instead of freezing the window.
TEST_F(PosterTest, AFileOnAMountThatStopsAnsweringGetsTheOfflineMessageWhileTheWindowGoesOn) {
  RW_RUN_IN_OWN_MOUNT_NAMESPACE();
  const QString folder = ScratchPath(QStringLiteral("share"));
  ASSERT_TRUE(QDir().mkpath(folder));
  gSavedItem = ResultItem{};
  gSavedItem.CurrentPath = folder + QLatin1Char('/');
  gSavedItem.FileName = QStringLiteral("Holiday.mkv");
  gSavedItem.SelectionEnd = 10;
  System().Mount(folder, QStringLiteral("fuse.sshfs"), QStringLiteral("nas:/films"));
  System().Write();
  DeadMount dead(folder);
  if (!dead.Mounted()) GTEST_SKIP() << dead.Problem().toStdString();
  const WaitWatch watch;
  boxes.Answer(1);
  boxes.Answer(1);
  {
    frmFilePosterArt poster;
    EXPECT_FALSE(poster.Built());
    frmFilePreview grid;
    EXPECT_FALSE(grid.Built());
  }
  EXPECT_FALSE(dead.Released()) << "the boards came back while the server still did not answer";
  EXPECT_TRUE(watch.PaintedAlone()) << "the window painted during the wait and ran nothing else";
  ASSERT_EQ(boxes.Count(), 2);
  for (const MessageBoxRequest& box : boxes.Shown()) {
    EXPECT_TRUE(box.title.startsWith(QStringLiteral("Offline Volume"))) << box.title.toStdString();
  }
}

// The story-board command in the running program with the poster style.
class PosterCommandTest : public RunningProgramTest {
 protected:
  void SetUp() override {
    RunningProgramTest::SetUp();
    RW_REQUIRE_FFMPEG();
    gPosterStyle = 1;
  }
  void TearDown() override {
    gPosterStyle = 0;
    gSavedItem = ResultItem{};
    RunningProgramTest::TearDown();
  }
};

// The command in the running program, for an offline item, then a clip, then
// the grid board's Reconfigure with "Modern" chosen in the options.
TEST_F(PosterCommandTest, ThePosterIsShownOverTheGlassAndSavedAndReconfiguringTheGridToModernShowsIt) {
  {
    SCOPED_TRACE("an offline item opens nothing");
    gSavedItem = ResultItem{};
    gSavedItem.CurrentPath = QStringLiteral("[Offline] Films:\\\\");
    gSavedItem.FileName = QStringLiteral("Holiday.mkv");
    boxes.Answer(1);
    gMainForm->mnuFilePoster_Click();
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_TRUE(boxes.Last().title.startsWith(QStringLiteral("Offline Volume")));
    EXPECT_TRUE(gGlassForm.isNull());
    EXPECT_FALSE(QFileInfo::exists(gTempFolder + QStringLiteral("Story Board.jpg")));
  }
  TestVideoSpec spec;
  spec.seconds = 12;
  QString error;
  ASSERT_TRUE(MakeTestVideo(Scratch(), QStringLiteral("poster.mkv"), spec, &error)) << error.toStdString();
  gSavedItem = ResultItem{};
  gSavedItem.CurrentPath = Scratch() + QLatin1Char('/');
  gSavedItem.FileName = QStringLiteral("poster.mkv");
  gSavedItem.SelectionEnd = 12;
  {
    SCOPED_TRACE("the poster is shown over the glass and saved");
    bool glassSeen = false;
    bool posterSeen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (gFilePosterArtForm && gFilePosterArtForm->isVisible()) {
        posterSeen = true;
        glassSeen = gGlassForm && gGlassForm->isVisible();
        gFilePosterArtForm->cmdClose_Click();
      }
    });
    watch.start(20);
    gMainForm->mnuFilePoster_Click();
    watch.stop();
    EXPECT_TRUE(posterSeen);
    EXPECT_TRUE(glassSeen);
    EXPECT_TRUE(gGlassForm.isNull()) << "the glass is unloaded afterwards";
    EXPECT_TRUE(QFileInfo::exists(gTempFolder + QStringLiteral("Story Board.jpg")));
  }
  SCOPED_TRACE("reconfiguring the grid to Modern shows the poster next, never the grid again");
  gPosterStyle = 0;
  int grids = 0;
  bool reconfigured = false;
  bool posterSeen = false;
  QPointer<frmFilePreview> lastGrid;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (!window->isVisible()) continue;
      if (auto* grid = dynamic_cast<frmFilePreview*>(window); grid && grid != lastGrid) {
        lastGrid = grid;
        if (++grids == 1) {
          QTimer::singleShot(0, grid, [grid] { grid->mnuSettings->trigger(); });
        } else {
          grid->cmdClose_Click();
        }
      } else if (auto* options = dynamic_cast<frmProgramOptions*>(window); options && !reconfigured) {
        reconfigured = true;
        options->optPosterStyle[1]->click();
        options->lblDone_Click();
      } else if (auto* poster = dynamic_cast<frmFilePosterArt*>(window)) {
        posterSeen = true;
        poster->cmdClose_Click();
      }
    }
  });
  watch.start(20);
  gMainForm->mnuFilePoster_Click();
  gMainForm->Inspector().timerFilePreview_Timer();
  watch.stop();
  EXPECT_TRUE(reconfigured);
  EXPECT_EQ(grids, 1) << "the grid is not shown again";
  EXPECT_TRUE(posterSeen);
  EXPECT_TRUE(gGlassForm.isNull());
}

}  // namespace
}  // namespace rwtest
