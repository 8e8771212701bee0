// The video window: where it sits, what it shows (the picture in its own
// proportions on a black ground), full screen, a new owner, events handed to
// another window, and its destruction.
#include "tests/player/PlayerFixture.h"

#include "player/cMpvCore.h"
#include "player/cVideoWindow.h"
#include "tests/support/EventLoopWaits.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <QTest>

namespace rwtest {
namespace {

using PlayerWindowTest = PlayerTest;

// Counts the mouse presses and keys a window receives, and where.
class Drain : public QWidget {
 public:
  int presses = 0;
  int keys = 0;
  QPoint lastPress;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    ++presses;
    lastPress = event->position().toPoint();
  }
  void keyPressEvent(QKeyEvent*) override { ++keys; }
};

TEST_F(PlayerWindowTest, TheVideoWindowSitsHiddenAtTheRectangleAndShowsThePausedFrame) {
  ASSERT_EQ(player_->OpenFile(BarsClip(), 30, 20, 320, 180, host_.get(), true), QString());
  cVideoWindow* window = player_->VideoWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->parentWidget(), host_.get());
  EXPECT_EQ(window->geometry(), QRect(20, 30, 320, 180));
  EXPECT_TRUE(window->isHidden());
  EXPECT_EQ(window->cursor().shape(), Qt::BlankCursor);
  player_->ForcePosition(2.0);
  player_->SetVisible(true);
  host_->show();
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return FrameIndexIn(host_->grab(QRect(20, 30, 320, 180)).toImage(), kWidth) == 50; },
                      rwtest::kWaitCeilingMs))
      << "the host shows frame 50, scaled to the rectangle";
  EXPECT_TRUE(player_->Visible());
}

TEST(VideoPictureTest, ThePictureTakesTheLargestPlaceOfItsProportionsAndFullScreenAloneItsOwnSize) {
  EXPECT_EQ(cVideoWindow::FitPicture(QSize(640, 360), QSize(320, 240), true), QRect(0, 30, 320, 180))
      << "16:9 in a 4:3 window: bars above and below";
  EXPECT_EQ(cVideoWindow::FitPicture(QSize(360, 640), QSize(310, 232), true), QRect(90, 0, 130, 232))
      << "a portrait picture in the preview: bars at the sides";
  EXPECT_EQ(cVideoWindow::FitPicture(QSize(360, 640), QSize(1920, 1080), true), QRect(656, 0, 607, 1080));
  EXPECT_EQ(cVideoWindow::FitPicture(QSize(360, 640), QSize(1920, 1080), false), QRect(780, 220, 360, 640))
      << "not enlarged";
  EXPECT_EQ(cVideoWindow::FitPicture(QSize(3840, 2160), QSize(1280, 1024), false), QRect(0, 152, 1280, 720))
      << "a picture larger than the screen is still made to fit";
  EXPECT_EQ(cVideoWindow::FitPicture(QSize(720, 405), QSize(1281, 720), true), QRect(0, 0, 1281, 720))
      << "a side that rounding leaves a pixel short fills the window";
  EXPECT_EQ(cVideoWindow::FitPicture(QSize(), QSize(320, 240), true), QRect(0, 0, 320, 240))
      << "until the frames' size is known";
}

// The engine itself keeps the picture's proportions in a frame of another
// shape (a square one for a 16:9 clip): black above and below.
TEST_F(PlayerWindowTest, TheEngineDrawsThePictureInItsProportionsInAFrameOfAnotherShape) {
  QString error;
  std::unique_ptr<cMpvCore> core = cMpvCore::Create(&error);
  ASSERT_TRUE(core) << error.toStdString();
  if (core->RenderKind() != cMpvCore::Render::Software) GTEST_SKIP() << "frames are read back in software only";
  core->SetFrameSize(QSize(320, 320));
  ASSERT_TRUE(core->CommandNow({QStringLiteral("loadfile"), BarsClip()}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !core->SoftwareFrame().isNull(); }, 5000));
  const QImage frame = core->SoftwareFrame();
  ASSERT_EQ(frame.size(), QSize(320, 320));
  EXPECT_EQ(qGray(frame.pixel(160, 20)), 0) << "black above the picture";
  EXPECT_EQ(qGray(frame.pixel(160, 300)), 0) << "black below it";
  EXPECT_GT(qGray(frame.pixel(20, 160)), 100) << "the first bar, light grey, in the middle";
}

// Frames nobody sees (those of a hidden video window) are drawn at a token
// size; the frame on show is drawn whole the moment the window shows, and
// for a picture of the hidden window.
TEST_F(PlayerWindowTest, AHiddenWindowsFramesAreDrawnSmallAndWholeOnceItShows) {
  QString error;
  std::unique_ptr<cMpvCore> core = cMpvCore::Create(&error);
  ASSERT_TRUE(core) << error.toStdString();
  if (core->RenderKind() != cMpvCore::Render::Software) GTEST_SKIP() << "frames are read back in software only";
  core->SetFrameSize(QSize(kWidth, kHeight));
  auto window = std::make_unique<cVideoWindow>(*core, host_.get());
  window->setGeometry(0, 0, kWidth, kHeight);
  window->hide();
  host_->show();
  ASSERT_TRUE(core->CommandNow({QStringLiteral("loadfile"), BarsClip()}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !core->SoftwareFrame().isNull(); }, rwtest::kWaitCeilingMs));
  EXPECT_LT(core->SoftwareFrame().width(), 64) << "drawn small while hidden";
  const QImage picture = window->Picture();
  ASSERT_EQ(picture.size(), QSize(kWidth, kHeight));
  EXPECT_GT(qGray(picture.pixel(20, kHeight / 2)), 100) << "the hidden window's picture holds the first bar";
  EXPECT_FALSE(core->FramesSeen()) << "unseen again after the picture";
  window->show();
  EXPECT_EQ(core->SoftwareFrame().size(), QSize(kWidth, kHeight)) << "whole at once, before any new frame";
  EXPECT_GT(qGray(core->SoftwareFrame().pixel(20, kHeight / 2)), 100);
  window.reset();  // before its core
}

// Where the picture lies in what a video window shows: the box of the pixels
// that are not the black ground.
QRect LitBox(const QImage& shown) {
  QRect box;
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      if (ColourDistance(shown.pixel(x, y), qRgb(0, 0, 0)) > 24) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

// The first frame as ffmpeg decodes it, turned as the file asks.
QImage FfmpegFirstFrame(const QString& clip, const QString& png) {
  QProcess ffmpeg;
  ffmpeg.start(QStringLiteral("ffmpeg"), {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
                                          QStringLiteral("-i"), clip, QStringLiteral("-frames:v"), QStringLiteral("1"),
                                          png});
  return ffmpeg.waitForFinished(60000) ? QImage(png) : QImage();
}

// Clips of every shape, each in the window of a player: the picture at the
// video's display size (its pixels' shape and its rotation applied), as
// large as the window allows and centred, on the black ground; a frame
// grabbed at that size, turned as the file asks.
TEST_F(PlayerWindowTest, EveryShapeOfPictureKeepsItsDisplayProportionsCentredInItsWindow) {
  auto clip = [](const char* name, int width, int height, bool frameIndex, const char* sampleAspect = "",
                 int rotation = 0) {
    TestVideoSpec spec;
    spec.seconds = 2;
    spec.width = width;
    spec.height = height;
    spec.frameIndex = frameIndex;
    spec.sampleAspect = QString::fromLatin1(sampleAspect);
    spec.rotation = rotation;
    return Clip(QString::fromLatin1(name), spec);
  };
  const QString turned = clip("turned.mp4", 320, 180, false, "", 90);
  struct Case {
    QString clip;
    QSize window;
    QRect picture;
    QSize displaySize;
    int indexWidth = 0;  // of a clip whose frames show their index along the top
  };
  const QSize preview(310, 232);
  for (const Case& c : {
           Case{BarsClip(), QSize(320, 240), QRect(0, 30, 320, 180), QSize(kWidth, kHeight), kWidth},
           Case{clip("portrait.mkv", 180, 320, true), QSize(640, 360), QRect(219, 0, 202, 360), QSize(180, 320), 180},
           Case{clip("4x3.mkv", 320, 240, false), preview, QRect(0, 0, 310, 232), QSize(320, 240)},
           Case{clip("21x9.mkv", 336, 144, false), preview, QRect(0, 50, 310, 132), QSize(336, 144)},
           Case{clip("anamorphic.mkv", 360, 288, false, "64/45"), preview, QRect(0, 29, 310, 174), QSize(512, 288)},
           Case{turned, preview, QRect(90, 0, 130, 232), QSize(180, 320)},
       }) {
    SCOPED_TRACE(c.clip.toStdString());
    host_->resize(c.window);
    ASSERT_EQ(player_->OpenFile(c.clip, 0, 0, c.window.width(), c.window.height(), host_.get(), true), QString());
    player_->ForcePosition(1.0);
    player_->SetVisible(true);
    host_->show();
    cVideoWindow* window = player_->VideoWindow();
    EXPECT_EQ(window->PictureRect(), c.picture);
    auto index = [&] { return c.indexWidth ? FrameIndexIn(window->Picture().copy(c.picture), c.indexWidth) : 25; };
    (void)QTest::qWaitFor([&] { return LitBox(window->Picture()) == c.picture && index() == 25; }, kWaitCeilingMs);
    EXPECT_EQ(LitBox(window->Picture()), c.picture) << "the picture's edges where its box lies";
    EXPECT_EQ(index(), 25) << "frame 25 at the picture's place, the index squares unstretched";
    EXPECT_EQ(player_->GrabFrame().size(), c.displaySize);
  }
  // The phone's turn: as ffmpeg turns the first frame.
  player_->ForcePosition(0);
  const QImage grabbed = player_->GrabFrame();
  const QImage expected = FfmpegFirstFrame(turned, ScratchPath(QStringLiteral("turned.png")));
  ASSERT_EQ(expected.size(), grabbed.size());
  // The middles of the six bars, turned across the picture.
  for (int y = 27; y < expected.height(); y += 53) {
    for (int x = 60; x < expected.width(); x += 70) {
      EXPECT_LT(ColourDistance(grabbed.pixel(x, y), expected.pixel(x, y)), 40) << x << "," << y;
    }
  }
}

TEST_F(PlayerWindowTest, FullScreenShowsTheVideoAloneAndResizingBringsItBack) {
  ASSERT_EQ(Open(BarsClip()), QString());
  player_->SetVisible(true);
  EXPECT_EQ(player_->VideoWindow()->PictureRect(), QRect(0, 0, kWidth, kHeight));
  player_->SetFullScreen(true);
  EXPECT_TRUE(player_->FullScreen());
  EXPECT_TRUE(player_->VideoWindow()->isWindow());
  ASSERT_TRUE(QTest::qWaitFor([&] { return player_->VideoWindow()->size() == QSize(1920, 1080); }, 3000));
  EXPECT_EQ(player_->VideoWindow()->PictureRect(), QRect(640, 360, kWidth, kHeight))
      << "alone on the screen the picture keeps its own size";
  player_->ResizeWindow(320, 180);
  EXPECT_FALSE(player_->FullScreen());
  EXPECT_EQ(player_->VideoWindow()->parentWidget(), host_.get());
  EXPECT_EQ(player_->VideoWindow()->size(), QSize(320, 180));
  EXPECT_TRUE(player_->Visible());
}

TEST_F(PlayerWindowTest, ANewOwnerTakesTheWindowWhereItWas) {
  ASSERT_EQ(player_->OpenFile(BarsClip(), 10, 10, 320, 180, host_.get(), true), QString());
  QWidget other;
  player_->SetOwner(&other);
  EXPECT_EQ(player_->Owner(), &other);
  EXPECT_EQ(player_->VideoWindow()->parentWidget(), &other);
  EXPECT_EQ(player_->VideoWindow()->geometry(), QRect(10, 10, 320, 180));
  player_->CleanUp();
  EXPECT_EQ(player_->Owner(), &other) << "the owner stays after the file goes";
}

TEST_F(PlayerWindowTest, TheMessageDrainGetsTheVideoWindowsMouseAndKeys) {
  ASSERT_EQ(player_->OpenFile(BarsClip(), 40, 50, 320, 180, host_.get(), true), QString());
  Drain drain;
  drain.setParent(host_.get());
  drain.setGeometry(0, 0, kWidth, kHeight);
  host_->show();
  player_->SetVisible(true);
  player_->VideoWindow()->raise();
  player_->SetMessageDrain(&drain);
  QTest::mouseClick(player_->VideoWindow(), Qt::LeftButton, {}, QPoint(5, 6));
  QTest::keyClick(player_->VideoWindow(), Qt::Key_Space);
  EXPECT_EQ(drain.presses, 1);
  EXPECT_EQ(drain.lastPress, QPoint(55, 46)) << "in the drain's own coordinates";
  EXPECT_EQ(drain.keys, 1);
}

TEST_F(PlayerWindowTest, DestroyingTheWindowDropsControlButKeepsTheFile) {
  ASSERT_EQ(Open(BarsClip()), QString());
  player_->SetVisible(true);
  player_->DestroyWindow();
  EXPECT_EQ(player_->VideoWindow(), nullptr);
  EXPECT_FALSE(player_->Visible());
  EXPECT_TRUE(player_->FileLoaded());
  player_->Play();
  EXPECT_EQ(player_->PlayState(), 0) << "no control of the transport";
  EXPECT_NEAR(player_->Duration(), 4.0, 0.05);
}

}  // namespace
}  // namespace rwtest
