// The story-board window: its geometry and interval, boards built from
// clips whose frames show their index, the double click, Reconfigure, and
// the files it refuses or cannot write.
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "platform/JpegCodec.h"
#include "platform/QuitRequest.h"
#include "platform/TerminationSignals.h"
#include "player/frmFilePosterArt.h"
#include "player/frmFilePreview.h"
#include "tests/player/PlayerFixture.h"
#include "tests/support/EventLoopWaits.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TwoScreens.h"
#include "ui/PictureFit.h"
#include "ui/WorkArea.h"

#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <csignal>

namespace rwtest {
namespace {

void SetPoster(const char* name, const QVariant& value) {
  modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegFilePosters, QString::fromLatin1(name), value);
}

// ---- Geometry, interval, tag lines and the tile under a point ----

// The reckoning behind every board, without a clip: the classic board's
// header and width, the interval for clips of each length, the tag lines of
// the compact tag text, the tile under a point, and boards too large.
TEST(StoryBoardLayoutTest, TheClassicBoardsGeometryTimesTagLinesAndTilesAreReckonedWithoutOverflow) {
  StoryBoardSettings s;
  const StoryBoardLayout l = MakeStoryBoardLayout(s, false, 0);
  // The defaults give the header and width of the classic board.
  EXPECT_EQ(l.LineHeight, 13);
  EXPECT_EQ(l.ValueColumn, 104);
  EXPECT_EQ(l.HeaderHeight, 117);
  EXPECT_EQ(l.BoardWidth, 1060);
  EXPECT_EQ(l.BoardHeight, 117 + 5 * 160 - 10 + 10);
  EXPECT_EQ(MakeStoryBoardLayout(s, false, 2).HeaderHeight, 147) << "15 px for each extra tag line";
  EXPECT_EQ(MakeStoryBoardLayout(s, true, 3).HeaderHeight, 10) << "TV-Out has no header";
  EXPECT_EQ(l.TileX(7, s), 10 + 210);
  EXPECT_EQ(l.TileY(7, s), 117 + 160);

  // Intervals and tile times.
  const struct {
    double duration;
    int64_t tiles;
    double interval;
  } intervals[] = {{6.0, 25, 6.0 / 26}, {5.9, 25, 5.9 / 26}, {0.8, 25, 0.8 / 25}, {1.9, 25, 1.9 / 25},
                   {2.9, 25, 2.9 / 25},  {48.0, 12, 48.0 / 13}, {10.0, 0, 10.0 / 2}, {-1.0, 25, 0.0},
                   {2.5, 25, 2.5 / 25},  {5.0, 12, 5.0 / 12}, {6.5, 25, 6.0 / 26}, {7.9, 25, 7.0 / 26}};
  for (const auto& c : intervals) EXPECT_DOUBLE_EQ(StoryBoardInterval(c.duration, c.tiles), c.interval) << c.duration;

  // Tag lines of the compact tag text.
  EXPECT_EQ(StoryBoardTagLines(QStringLiteral("--No Tags")), QStringList{QStringLiteral("No Tags")});
  EXPECT_EQ(StoryBoardTagLines(QStringLiteral(", Beach, ***Places***, ***Holiday***")),
            QStringList{QStringLiteral("Beach (Places, Holiday)")});
  EXPECT_EQ(StoryBoardTagLines(QStringLiteral(", Beach, ***Places***, Dog")),
            (QStringList{QStringLiteral("Beach (Places)"), QStringLiteral("Dog")}));
  EXPECT_EQ(StoryBoardTagText(QStringLiteral(", Beach, ***Places***, Dog")).count(QLatin1Char(',')), 1);
  EXPECT_EQ(StoryBoardTagLines(QStringLiteral(", ***Rock***, ***Music***")), QStringList{QStringLiteral("(Rock, Music)")})
      << "implied tags alone";

  // The tile under a point truncates.
  const struct {
    int64_t x, y, k;
  } points[] = {{10, 117, 1}, {219, 276, 1}, {220, 117, 2}, {10 + 4 * 210 + 5, 117 + 4 * 160 + 5, 25},
                {15, 117 + 5 * 160 + 2, 0} /* below the last row */,
                {15, 20, 1} /* truncation toward zero reads the header as the first row */,
                {-300, 200, 0} /* k below 1 */};
  for (const auto& c : points) EXPECT_EQ(StoryBoardTileAt(c.x, c.y, l, s), c.k) << c.x << "," << c.y;

  // Boards too large are refused without overflow.
  s.RowCount = s.ColumnCount = 200;
  const StoryBoardLayout big = MakeStoryBoardLayout(s, false, 0);
  EXPECT_EQ(big.BoardWidth, 200 * 210 - 10 + 20) << "no 16-bit overflow";
  EXPECT_FALSE(StoryBoardSizeProblem(big).isEmpty());
  s.RowCount = s.ColumnCount = 1000;
  EXPECT_TRUE(StoryBoardSizeProblem(MakeStoryBoardLayout(s, false, 0)).contains(QStringLiteral("32767")));
  s.RowCount = s.ColumnCount = 30;
  s.TileWidth = s.TileHeight = 1000;  // 30,010 x 30,127: within a side, far past the memory budget
  EXPECT_TRUE(StoryBoardSizeProblem(MakeStoryBoardLayout(s, false, 0)).contains(QStringLiteral("MB")));
  EXPECT_TRUE(StoryBoardSizeProblem(MakeStoryBoardLayout(StoryBoardSettings{}, false, 0)).isEmpty());
}

// ---- Boards of real clips ----

class StoryBoardTest : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    if (IsSkipped()) return;
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("ThumbnailTimeout"), 2);
    gTVOutMode = false;
    gBrowserMode = 0;
  }
  void TearDown() override {
    gTVOutMode = false;
    gSavedItem = ResultItem{};
    SetStoryBoardHooks({});
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
    gSavedItem.SelectionEnd = seconds;
    gSavedItem.FileSize = static_cast<double>(QFileInfo(path).size());
    gSavedItem.Dimensions = QStringLiteral(" 320 x 240");
    gSavedItem.FrameRate = 25;
    gSavedItem.Bitrate = 120;
  }
  static void SetGrid(int columns, int rows) {
    SetPoster("HorizontalTiles", columns);
    SetPoster("VerticalTiles", rows);
  }
  QString BoardFile() const { return gTempFolder + QStringLiteral("Story Board.jpg"); }
  // The frame index shown in tile k (320-wide clips).
  static int TileIndex(const frmFilePreview& form, int64_t k) {
    const auto& l = form.Layout();
    const auto& s = form.Settings();
    const QImage tile = form.Board()->Image().copy(static_cast<int>(l.TileX(k, s)), static_cast<int>(l.TileY(k, s)),
                                                   s.TileWidth, s.TileHeight);
    return FrameIndexIn(tile, 320);
  }
  static int ExpectedIndex(double seconds) { return static_cast<int>(std::floor(seconds * 25 + 1e-6)); }

  ScriptedMessageBoxes boxes;
};

// The windows of the grids a user meets: the default board beside the
// poster, a TV-Out board, and a board taller than the work area (the test
// screen's work area has no panels and its windows no frame).
TEST_F(StoryBoardTest, TheDefaultBoardIsSavedAndQuitByItsButtonAndATVOutOrATallBoardFitsTheScreen) {
  Choose(IndexClip(QStringLiteral("ten.mkv"), 10), 10);
  {
    frmFilePreview board;
    {
      SCOPED_TRACE("the default board shows each tile at its time and is saved");
      ASSERT_TRUE(board.Built());
      EXPECT_EQ(boxes.Count(), 0);
      EXPECT_DOUBLE_EQ(board.Interval(), 10.0 / 26);
      EXPECT_EQ(board.width(), 1060);
      EXPECT_EQ(board.height(), 917 + kQuitStripHeight) << "the board over the strip with Quit";
      EXPECT_EQ(board.picPreview->geometry(), QRect(0, 0, 1060, 917));
      EXPECT_FALSE(board.VScroll1->isVisibleTo(&board));
      EXPECT_EQ(board.GrabbedCount(), 25);
      // The time stamp, black then white one pixel up and left, on tile 1.
      const QRect stamp(13, 117, 60, 16);
      int white = 0, black = 0;
      for (int y = stamp.top(); y <= stamp.bottom(); ++y) {
        for (int x = stamp.left(); x <= stamp.right(); ++x) {
          const QRgb pixel = board.Board()->Image().pixel(x, y);
          white += qGray(pixel) > 240;
          black += qGray(pixel) < 15;
        }
      }
      EXPECT_GT(white, 20);
      EXPECT_GT(black, 20);
      if (qEnvironmentVariableIsSet("RW_SCREENSHOT")) board.grab().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG");
      QFile file(BoardFile());
      ASSERT_TRUE(file.open(QIODevice::ReadOnly));
      int width = 0, height = 0;
      ASSERT_TRUE(JpegCodec().ReadSize(file.readAll(), &width, &height));
      EXPECT_EQ(width, 1060);
      EXPECT_EQ(height, 917);
    }
    SCOPED_TRACE("the story board and the poster show their Quit button below the picture");
    frmFilePosterArt poster;
    ASSERT_TRUE(poster.Built());
    EXPECT_EQ(poster.size(), QSize(1250, 800 + kQuitStripHeight)) << "the poster keeps its own size above the strip";
    struct Window {
      QDialog& dialog;
      QPushButton& quit;
      int pictureHeight;
    };
    for (const Window& w : {Window{board, *board.cmdClose, 917}, Window{poster, *poster.cmdClose, 800}}) {
      w.dialog.show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.dialog));
      EXPECT_TRUE(w.quit.isVisible()) << w.dialog.objectName().toStdString();
      EXPECT_EQ(w.quit.text(), QStringLiteral("Quit"));
      const QRect onWindow(w.quit.mapTo(&w.dialog, QPoint()), w.quit.size());
      EXPECT_TRUE(w.dialog.rect().contains(onWindow)) << w.dialog.objectName().toStdString();
      EXPECT_GE(onWindow.top(), w.pictureHeight) << "below the picture";
      QTest::mouseClick(&w.quit, Qt::LeftButton);
      EXPECT_FALSE(w.dialog.isVisible()) << w.dialog.objectName().toStdString();
    }
  }
  {
    SCOPED_TRACE("TV-Out mode fills the screen without a header");
    gTVOutMode = true;
    frmFilePreview form;
    EXPECT_EQ(form.Settings().ColumnCount, 5);
    EXPECT_EQ(form.Settings().RowCount, 4);
    EXPECT_EQ(form.Settings().TileWidth, 364);
    EXPECT_EQ(form.Settings().TileHeight, 245);
    EXPECT_EQ(form.Layout().HeaderHeight, 10);
    EXPECT_EQ(form.GrabbedCount(), 20);
  }
  gTVOutMode = false;
  {
    SCOPED_TRACE("a tall board scrolls");
    SetGrid(1, 8);
    frmFilePreview form;
    EXPECT_EQ(form.height(), 1080);
    EXPECT_EQ(form.width(), 200 + 20 + 20) << "20 px more for the scroll bar";
    ASSERT_TRUE(form.VScroll1->isVisibleTo(&form));
    EXPECT_FALSE(form.HScroll1->isVisibleTo(&form));
    EXPECT_EQ(form.VScroll1->maximum(), 117 + 8 * 160 - 10 + 10 - (1080 - kQuitStripHeight));
    EXPECT_EQ(form.VScroll1->height(), 1080 - kQuitStripHeight);
    form.VScroll1->setValue(100);
    EXPECT_EQ(form.picPreview->y(), -100);
    EXPECT_EQ(form.childAt(20, form.height() - 5), form.quitStrip) << "the strip lies over the scrolled board";
  }
}

// A request to end the program, or a termination signal, stops the board at
// its next tile; the unfinished board does not replace the last one.
TEST_F(StoryBoardTest, ARequestToEndTheProgramStopsTheBoardAndKeepsTheLastBoardFile) {
  Choose(IndexClip(QStringLiteral("ten.mkv"), 10), 10);
  {
    QFile earlier(BoardFile());
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("the last board");
  }
  int ended = 0;
  QTimer::singleShot(0, [&] { QuitRequest::Request([&] { ++ended; }); });
  int grabbed = -1;
  {
    frmFilePreview form;
    grabbed = form.GrabbedCount();
  }
  QuitRequest::Reset();
  EXPECT_LT(grabbed, 25);
  EXPECT_EQ(ended, 1);
  QFile file(BoardFile());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("the last board"));
  file.close();

  // A termination signal taken while the board is built, when no event is
  // handled, stops the board and the poster as well; the signal is handled
  // after them.
  int signalled = 0;
  TerminationSignals termination([&](int) { ++signalled; });
  ASSERT_TRUE(termination.Installed());
  gBrowserMode = 3;  // the carousel's busy hook marks each tile
  StoryBoardHooks hooks;
  hooks.CarouselBusy = [](int percent) {
    if (percent > 10 && !TerminationSignals::Taken()) ::raise(SIGTERM);
  };
  SetStoryBoardHooks(hooks);
  {
    frmFilePreview form;
    EXPECT_GT(form.GrabbedCount(), 0);
    EXPECT_LT(form.GrabbedCount(), 25);
  }
  EXPECT_EQ(signalled, 0);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("the last board"));
  file.close();
  {
    frmFilePosterArt poster;
    EXPECT_FALSE(poster.Built());
  }
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray("the last board"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return signalled == 1; }, rwtest::kWaitCeilingMs));
}

// Every tile shows the frame at its time whatever the clip's length, the
// grid or the clip's keyframes (1-point captions, so that the stamps do not
// hide the index squares).
TEST_F(StoryBoardTest, EachTileShowsTheFrameAtItsTimeWhateverTheClipsLengthGridOrKeyframes) {
  SetPoster("CaptionSize", 1);
  {
    SCOPED_TRACE("tile samples match their times");
    Choose(IndexClip(QStringLiteral("ten.mkv"), 10), 10);
    frmFilePreview form;
    for (int64_t k : {1, 7, 13, 25}) {
      EXPECT_NEAR(TileIndex(form, k), ExpectedIndex(form.TileTime(k)), 1) << "tile " << k;
    }
  }
  {
    // Non-reference B-frames: the 25 tiles come from one forward pass.
    SCOPED_TRACE("the tiles of a clip with one keyframe come from one pass, each its exact frame");
    TestVideoSpec spec;
    spec.seconds = 10;
    spec.frameIndex = true;
    spec.keyframeInterval = 1000;
    spec.bFrames = 2;
    Choose(Clip(QStringLiteral("one-key.mkv"), spec), 10);
    frmFilePreview form;
    ASSERT_TRUE(form.Built());
    EXPECT_EQ(form.GrabbedCount(), 25);
    EXPECT_EQ(form.FrameSeeks(), 0);
    for (int64_t k = 1; k <= 25; ++k) EXPECT_EQ(TileIndex(form, k), ExpectedIndex(form.TileTime(k))) << "tile " << k;
  }
  {
    SCOPED_TRACE("an interlaced MPEG-2 program stream, whose own seek lands late, gives each tile its exact frame");
    Choose(InterlacedMpeg2Clip(QStringLiteral("interlaced.mpg")), 10);
    frmFilePreview form;
    for (int64_t k = 1; k <= 25; ++k) EXPECT_EQ(TileIndex(form, k), ExpectedIndex(form.TileTime(k))) << "tile " << k;
  }
  {
    // Two or three tiles fall on each frame and the last tile's time lies
    // past the last frame. The time-out, an hour here, is never waited for.
    SCOPED_TRACE("a second of ten frames gives each tile its nearest frame at once");
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("ThumbnailTimeout"), 3600);
    TestVideoSpec spec;
    spec.seconds = 1;
    spec.framesPerSecond = 10;
    spec.frameIndex = true;
    Choose(Clip(QStringLiteral("second.mkv"), spec), 1);
    frmFilePreview form;
    modRegistry::SetRegValue(HKEY_CURRENT_USER, kRegOther, QStringLiteral("ThumbnailTimeout"), 2);
    ASSERT_TRUE(form.Built());
    EXPECT_DOUBLE_EQ(form.Interval(), 1.0 / 25);
    EXPECT_EQ(form.GrabbedCount(), 25);
    for (int64_t k = 1; k <= 25; ++k) {
      const int nearest = std::min(9, static_cast<int>(std::floor(k * 0.4 + 1e-6)));
      EXPECT_EQ(TileIndex(form, k), nearest) << "tile " << k;
    }
  }
  {
    SCOPED_TRACE("columns and rows follow the options page and the last tile takes the last frame");
    SetGrid(2, 6);
    Choose(IndexClip(QStringLiteral("five.mkv"), 5), 5);
    frmFilePreview form;
    ASSERT_TRUE(form.Built());
    EXPECT_EQ(form.Settings().ColumnCount, 2);
    EXPECT_EQ(form.Settings().RowCount, 6);
    EXPECT_EQ(form.width(), 2 * 210 - 10 + 20);
    EXPECT_DOUBLE_EQ(form.Interval(), 5.0 / 12) << "5 s is not above 5: the tiles share it";
    EXPECT_EQ(form.GrabbedCount(), 12) << "the tile at the very end takes the last frame";
    EXPECT_NEAR(TileIndex(form, 12), 124, 1);
  }
  SetGrid(5, 1);
  {
    // 0.4 s (10 frames): each tile shows the frame at its time, the last the last frame.
    SCOPED_TRACE("a clip under two seconds spreads its tiles over the whole clip");
    Choose(IndexClip(QStringLiteral("short.mkv"), 0.4), 0.4);
    frmFilePreview form;
    EXPECT_DOUBLE_EQ(form.Interval(), 0.4 / 5);
    EXPECT_EQ(form.GrabbedCount(), 5);
    for (int64_t k = 1; k <= 5; ++k) EXPECT_EQ(TileIndex(form, k), std::min(9, ExpectedIndex(form.TileTime(k)))) << k;
  }
  {
    // 2.5 s: the last tile shows the last frame, not the frame at 2 s.
    SCOPED_TRACE("a clip under six seconds spreads its tiles over its exact length");
    Choose(IndexClip(QStringLiteral("two-and-a-half.mkv"), 2.5), 2.5);
    frmFilePreview form;
    EXPECT_DOUBLE_EQ(form.Interval(), 0.5);
    EXPECT_EQ(form.GrabbedCount(), 5);
    for (int64_t k = 1; k <= 4; ++k) EXPECT_EQ(TileIndex(form, k), ExpectedIndex(form.TileTime(k))) << k;
    EXPECT_GE(TileIndex(form, 5), 61) << "within the last half second";
  }
}

// A turned and an anamorphic clip: the tile shows the frame as the player
// shows it, upright and in the video's display proportions. A portrait
// clip's tiles show it upright in the middle of each 200 x 150 tile between
// black bars, not stretched over the tile.
TEST_F(StoryBoardTest, ATurnedAnAnamorphicOrAPortraitClipKeepsThePlayersShapeInEachTile) {
  SetPoster("CaptionSize", 1);
  SetGrid(1, 1);
  struct Shape {
    const char* name;
    int width;
    int height;
    const char* sampleAspect;
    int rotation;
  };
  for (const Shape& shape : {Shape{"turned.mp4", 320, 180, "", 90}, Shape{"anamorphic.mkv", 360, 288, "64/45", 0}}) {
    SCOPED_TRACE(shape.name);
    TestVideoSpec spec;
    spec.seconds = 2;
    spec.width = shape.width;
    spec.height = shape.height;
    spec.sampleAspect = QString::fromLatin1(shape.sampleAspect);
    spec.rotation = shape.rotation;
    const QString clip = Clip(QString::fromLatin1(shape.name), spec);
    Choose(clip, 2);
    frmFilePreview form;
    ASSERT_EQ(form.GrabbedCount(), 1);
    ASSERT_EQ(Open(clip), QString());
    player_->SetPosition(std::min(form.TileTime(1), player_->Duration() - 1 / player_->FrameRate()));
    const QImage grabbed = player_->GrabFrame();
    const auto& l = form.Layout();
    const auto& st = form.Settings();
    const QRect tile(static_cast<int>(l.TileX(1, st)), static_cast<int>(l.TileY(1, st)), st.TileWidth, st.TileHeight);
    const QRect fitted = FitPictureInBox(grabbed.size(), tile).toRect();
    const QImage expected = grabbed.scaled(fitted.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int near = 0, points = 0;
    for (int y = 3; y < fitted.height() - 3; y += 4) {
      for (int x = 3; x < fitted.width() - 3; x += 4) {
        ++points;
        near += ColourDistance(form.Board()->Image().pixel(fitted.x() + x, fitted.y() + y), expected.pixel(x, y)) < 48;
      }
    }
    EXPECT_GT(near, points * 9 / 10) << near << " of " << points;
    const QPoint inTheBar = fitted.width() < tile.width() ? QPoint(tile.x() + 2, tile.center().y())
                                                          : QPoint(tile.center().x(), tile.y() + 2);
    EXPECT_LT(qGray(form.Board()->Image().pixel(inTheBar)), 30) << "the black bar beside or above the picture";
  }
  SCOPED_TRACE("a portrait clip keeps its shape in each tile");
  SetGrid(2, 1);
  TestVideoSpec spec;
  spec.seconds = 2;
  spec.width = 180;
  spec.height = 320;
  spec.frameIndex = true;
  Choose(Clip(QStringLiteral("portrait.mkv"), spec), 2);
  frmFilePreview form;
  ASSERT_TRUE(form.Built());
  EXPECT_EQ(form.GrabbedCount(), 2);
  const auto& l = form.Layout();
  const auto& s = form.Settings();
  for (int64_t k = 1; k <= 2; ++k) {
    const int x = static_cast<int>(l.TileX(k, s));
    const int y = static_cast<int>(l.TileY(k, s));
    const auto grey = [&](int dx, int dy) { return qGray(form.Board()->Image().pixel(x + dx, y + dy)); };
    // 180 x 320 in 200 x 150: 84 wide from 58; its top two thirds are colour bars.
    EXPECT_LT(grey(20, 50), 40) << "tile " << k << ": the bar on the left";
    EXPECT_LT(grey(180, 50), 40) << "tile " << k << ": the bar on the right";
    EXPECT_GT(grey(100, 50), 60) << "tile " << k << ": the picture";
  }
  if (qEnvironmentVariableIsSet("RW_SCREENSHOT")) form.grab().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG");
}

// On each screen the program is tried on, the story board and the poster lie
// whole on the work area with their Quit buttons in sight; the board's bars
// reach every corner of it and the poster is shown whole, made smaller in
// its own shape. Each screen in a child process of its own.
TEST_F(StoryBoardTest, TheStoryBoardAndThePosterFitEveryScreen) {
  const struct {
    QSize pixels;
    QString scale;
  } screens[] = {{{1024, 768}, QString()},
                 {{1280, 720}, QString()},
                 {{1920, 1080}, QStringLiteral("1.5")},
                 {{1920, 1080}, QStringLiteral("2")}};
  const bool inChild = qEnvironmentVariableIsSet("RW_TEST_SCREEN_SIZE");
  for (const auto& c : screens) {
    SCOPED_TRACE(ScreenSizeName(c.pixels).toStdString() + " at " + c.scale.toStdString());
    if (inChild ? !IsPrimaryScreenOf(c.pixels, c.scale) : !OnPrimaryScreenOf(c.pixels, c.scale)) continue;
    WorkArea::KeepEveryWindowInside();
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    Choose(IndexClip(QStringLiteral("ten.mkv"), 10), 10);
    frmFilePreview board;
    frmFilePosterArt poster;
    ASSERT_TRUE(board.Built());
    ASSERT_TRUE(poster.Built());
    for (QDialog* window : {static_cast<QDialog*>(&board), static_cast<QDialog*>(&poster)}) {
      SCOPED_TRACE(window->objectName().toStdString());
      window->show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
      EXPECT_TRUE(work.contains(window->frameGeometry()))
          << window->frameGeometry().width() << "x" << window->frameGeometry().height() << " on " << work.width()
          << "x" << work.height();
      const auto* quit = window->findChild<QPushButton*>(QStringLiteral("cmdClose"));
      ASSERT_NE(quit, nullptr);
      EXPECT_TRUE(window->rect().contains(QRect(quit->mapTo(window, QPoint()), quit->size())));
    }
    // The 1,060 x 917 board under its bars, scrolled to its far corner.
    const bool down = board.VScroll1->isVisibleTo(&board);
    const bool across = board.HScroll1->isVisibleTo(&board);
    EXPECT_TRUE(down) << "taller than every one of these screens";
    EXPECT_EQ(across, work.width() < 1060 + kScrollBarSize);
    const QSize view(board.width() - (down ? kScrollBarSize : 0),
                     board.height() - kQuitStripHeight - (across ? kScrollBarSize : 0));
    EXPECT_EQ(board.VScroll1->maximum(), 917 - view.height());
    EXPECT_EQ(board.HScroll1->maximum(), 1060 - view.width());
    board.VScroll1->setValue(board.VScroll1->maximum());
    board.HScroll1->setValue(board.HScroll1->maximum());
    EXPECT_EQ(board.picPreview->geometry().bottomRight(), QPoint(view.width() - 1, view.height() - 1));
    EXPECT_EQ(board.childAt(view.width() + kScrollBarSize / 2, 5), board.VScroll1);
    if (across) {
      EXPECT_EQ(board.childAt(5, view.height() + kScrollBarSize / 2), board.HScroll1);
      const QPoint corner(view.width() + kScrollBarSize / 2, view.height() + kScrollBarSize / 2);
      EXPECT_FALSE(board.picPreview->isAncestorOf(board.childAt(corner)) || board.childAt(corner) == board.picPreview)
          << "the board does not show where the bars meet";
    }
    // The poster whole, in its own shape, above the strip.
    const QSize shown(poster.width(), poster.height() - kQuitStripHeight);
    EXPECT_LT(shown.width(), 1250);
    EXPECT_NEAR(shown.height() * 1250.0 / 800, shown.width(), 2.0);
  }
}

// What the board's mouse and menu do: a double click plays a tile in place,
// Reconfigure shows the options and the board again.
TEST_F(StoryBoardTest, ADoubleClickPlaysATileInPlaceAndReconfigureShowsTheBoardAgainWithTheNewGrid) {
  Choose(IndexClip(QStringLiteral("ten.mkv"), 10), 10);
  {
    SCOPED_TRACE("a double click plays the tile in place until the next tile");
    SetGrid(3, 2);
    frmFilePreview form;
    form.show();
    const auto& l = form.Layout();
    form.picPreview_MouseDown(1, 0, 10 + 210 + 20, l.HeaderHeight + 160 + 20);  // tile 5
    form.picPreview_DblClick();
    EXPECT_DOUBLE_EQ(form.Player()->StopTime(), form.TileTime(6));
    EXPECT_TRUE(form.framePlayer->isVisible());
    EXPECT_EQ(form.framePlayer->pos(), QPoint(10 + 210, l.HeaderHeight + 160));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.framePlayer->isVisible(); }, rwtest::kWaitCeilingMs));
    EXPECT_FALSE(form.Timer1->isActive());
    form.picPreview_MouseDown(1, 0, 10 + 3 * 210 + 5, l.HeaderHeight + 160 + 20);  // right of the grid: k 7
    form.picPreview_DblClick();
    EXPECT_FALSE(form.framePlayer->isVisible()) << "past the last tile";
    form.hide();
  }
  SCOPED_TRACE("Reconfigure asks to be shown again with the new grid");
  SetGrid(1, 1);
  QString mainTag = QStringLiteral("X");
  int optionsShown = 0;
  StoryBoardHooks hooks;
  hooks.SetMainTag = [&](const QString& tag) { mainTag = tag; };
  hooks.ShowOptions = [&] {
    ++optionsShown;
    SetPoster("HorizontalTiles", 2);
  };
  SetStoryBoardHooks(hooks);
  frmFilePreview first;
  EXPECT_EQ(mainTag, QString()) << "loading ends an earlier request";
  first.show();
  first.mnuSettings_Click();
  EXPECT_EQ(mainTag, QStringLiteral("REDO"));
  EXPECT_EQ(optionsShown, 1);
  EXPECT_FALSE(first.isVisible());
  frmFilePreview second;
  EXPECT_EQ(second.Settings().ColumnCount, 2);
  EXPECT_EQ(second.width(), 2 * 210 - 10 + 20);
}

// What cannot give a whole board, or cannot keep it: a grid too large, a
// file with no video or half of one, and a board file that cannot be written.
TEST_F(StoryBoardTest, AGridTooLargeAFileWithoutAWholeVideoOrAnUnwritableBoardFileIsRefusedOrToldOnce) {
  Choose(IndexClip(QStringLiteral("ten.mkv"), 10), 10);
  {
    SCOPED_TRACE("a thousand by a thousand tiles are refused before the player opens");
    boxes.Answer(1);
    SetGrid(1000, 1000);
    frmFilePreview form;
    EXPECT_FALSE(form.Built());
    EXPECT_EQ(form.Player(), nullptr);
    ASSERT_EQ(boxes.Count(), 1);
    EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("32767")));
    EXPECT_FALSE(QFileInfo::exists(BoardFile()));
  }
  SetGrid(5, 5);
  {
    SCOPED_TRACE("an audio-only file is refused without a file");
    Choose(AudioClip(), 3);
    frmFilePreview form;
    EXPECT_EQ(form.GrabbedCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(BoardFile()));
    // The refusal in red under the header.
    bool red = false;
    const int y0 = form.Layout().HeaderHeight + 10;
    for (int y = y0; y < y0 + 14 && !red; ++y) {
      for (int x = 10; x < 300 && !red; ++x) red = form.Board()->PixelColorRef(x, y) == 255;
    }
    EXPECT_TRUE(red);
  }
  {
    SCOPED_TRACE("a truncated MKV's tiles past the cut show its last frame and a truncated MP4 is refused");
    const QString whole = IndexClip(QStringLiteral("cut.mkv"), 10);
    const QString cut = ScratchPath(QStringLiteral("cut.mkv"));
    ASSERT_TRUE(QFile::copy(whole, cut));
    QFile(cut).resize(QFileInfo(cut).size() / 2);
    Choose(cut, 10);
    SetPoster("CaptionSize", 1);  // the stamps do not hide the index squares
    {
      frmFilePreview form;
      EXPECT_EQ(form.GrabbedCount(), 25);
      int64_t k = 1;
      while (k < 25 && TileIndex(form, k) == ExpectedIndex(form.TileTime(k))) ++k;
      EXPECT_GT(k, 5);
      for (int64_t later = k; later <= 25; ++later) EXPECT_EQ(TileIndex(form, later), TileIndex(form, k)) << later;
    }
    const QString mp4 = IndexClip(QStringLiteral("cut.mp4"), 10);
    const QString cutMp4 = ScratchPath(QStringLiteral("cut.mp4"));
    ASSERT_TRUE(QFile::copy(mp4, cutMp4));
    QFile(cutMp4).resize(QFileInfo(cutMp4).size() / 2);
    Choose(cutMp4, 10);
    QFile::remove(BoardFile());
    frmFilePreview refused;
    EXPECT_EQ(refused.GrabbedCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(BoardFile()));
  }
  SCOPED_TRACE("an unwritable file is reported once and the board still shows");
  boxes.Clear();
  boxes.Answer(1);
  SetGrid(1, 1);
  SetPoster("Compression", 0);
  QDir().mkpath(BoardFile());
  QFile inside(BoardFile() + QStringLiteral("/keep"));
  ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
  inside.close();
  Choose(IndexClip(QStringLiteral("ten.mkv"), 10), 10);
  frmFilePreview form;
  EXPECT_EQ(form.Settings().Compression, 1);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.Last().title, QStringLiteral("Story Board"));
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("could not be saved")));
  EXPECT_EQ(boxes.Last().prompt.count(BoardFile()), 1) << "the file, named once: " << boxes.Last().prompt.toStdString();
  EXPECT_FALSE(boxes.Last().prompt.contains(QStringLiteral("75:"))) << "no error number";
  EXPECT_TRUE(boxes.Last().prompt.contains(QStringLiteral("make the Story Board again")));
  EXPECT_EQ(form.GrabbedCount(), 1);
  EXPECT_TRUE(QFileInfo(BoardFile() + QStringLiteral("/keep")).exists());
}

}  // namespace
}  // namespace rwtest
