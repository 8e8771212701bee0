// The preview panel's layout for library and compact mode: the geometry of
// the panel, its video area and transport bar, the skin stretched from the
// skin picture (pixels sampled against the skin at two sizes), the
// smallest panel, and the player's video window.
#include "inspector/InspectorPane.h"
#include "player/cVideoWindow.h"
#include "player/clsRWPlayer.h"
#include "platform/controls/Frame.h"
#include "tests/mainwindow/CommandRun.h"
#include "ui/cWindowMgr.h"

#include <QApplication>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

using rwtest::CommandTest;

class CompactLayoutTest : public CommandTest {
 protected:
  static InspectorPane& In() { return Form().Inspector(); }
  static QRect Geometry(const QWidget* widget) { return widget->geometry(); }
  // Sets the window's inner size and lays P out for compact mode.
  static void CompactAt(int width, int height, int caption) {
    Form().setMinimumSize(0, 0);
    Form().picCaption->Move(0, 0, Form().picCaption->Width(), caption);
    Form().resize(width, height);
    Form().ResizeCompactGUI(0);
  }
  static QRgb Skin(int x, int y) { return In().picMPlayerSkin->Picture().toImage().pixel(x, y); }
  static QRgb Face(int x, int y) { return In().picMPlayerSkin->Surface().Image().pixel(x, y); }
  static QRgb Track(int x, int y) { return In().picSlider->Surface().Image().pixel(x, y); }
  // The skin pieces, sampled inside each: the face shows S's pixel there.
  static void ExpectSkinPieces(int W, int H) {
    const QImage s = In().picMPlayerSkin->Picture().toImage();
    const int SW = s.width();
    const int SH = s.height();
    SCOPED_TRACE(QStringLiteral("%1 x %2").arg(W).arg(H).toStdString());
    EXPECT_EQ(Face(10, 10), Skin(10, 10)) << "top-left corner";
    EXPECT_EQ(Face(W - 50 + 20, 30), Skin(SW - 50 + 20, 30)) << "top-right corner";
    EXPECT_EQ(Face(W / 2, 7), Skin(50 + ((W / 2 - 50) * 5) / W, 7)) << "top edge";
    EXPECT_EQ(Face(4, 60 + H / 4), Skin(4, 50 + ((10 + H / 4) * 5) / H)) << "left edge";
    EXPECT_EQ(Face(W - 4, 60 + H / 4), Skin(SW - 4, 50 + ((10 + H / 4) * 5) / H)) << "right edge";
    EXPECT_EQ(Face(100, H - 40), Skin(100, SH - 40)) << "bottom-left block";
    EXPECT_EQ(Face(W - 144 + 100, H - 20), Skin(SW - 144 + 100, SH - 20)) << "bottom-right block";
    const int bandX = 180 + (W - 324) / 2;
    EXPECT_EQ(Face(bandX, H - 60), Skin(200 + ((bandX - 180) * 2) / (W - 180), SH - 60)) << "bottom band";
    const int SLW = static_cast<int>(In().picSlider->Width());
    EXPECT_EQ(Track(3, 8), Skin(63, 251)) << "slider's left end";
    EXPECT_EQ(Track(SLW - 4, 8), Skin(260, 251)) << "slider's right end";
    EXPECT_EQ(Track(SLW / 2, 8), Skin(160 + ((SLW / 2 - 10) * 2) / (SLW - 20), 251)) << "slider's track";
  }
};

TEST_F(CompactLayoutTest, LibraryModeGeometryAndTheVideoWindow) {
  Form().ResizeCompactGUI(-1);
  EXPECT_EQ(Geometry(In().framPreview), QRect(7, 6, 310, 232));
  EXPECT_EQ(Geometry(In().picOpenFile), QRect(28, 7, 324, 316));
  EXPECT_EQ(Geometry(In().picSlider), QRect(60, 246, 204, 16));
  EXPECT_EQ(Geometry(In().picMediaControl[9]), QRect(272, 247, In().picMediaControl[9]->width(),
                                                     In().picMediaControl[9]->height()));
  if (gPlayer && gPlayer->VideoWindow()) {
    EXPECT_EQ(gPlayer->VideoWindow()->size(), QSize(310, 232));
  }
  // The speaker is a face of its own size, not a box over the volume track.
  EXPECT_EQ(Geometry(In().picMediaControl[15]), QRect(176, 291, 20, 20));
  EXPECT_FALSE(Geometry(In().picMediaControl[15]).intersects(Geometry(In().picVolume)));
  ExpectSkinPieces(324, 316);
}

TEST_F(CompactLayoutTest, CompactModeFollowsTheWindowAndKeepsTheSkinPieces) {
  CompactAt(600, 500, 30);
  EXPECT_EQ(Geometry(In().picOpenFile), QRect(2, 30, 596, 468));
  EXPECT_EQ(Geometry(In().framPreview), QRect(7, 6, 582, 384));
  EXPECT_EQ(Geometry(In().picSlider), QRect(60, 398, 476, 16));
  EXPECT_EQ(In().lblEndPoint->Left(), 596 - 57);
  EXPECT_EQ(In().lblEndPoint->Top(), 468 - 53);
  EXPECT_EQ(In().picVolume->Left(), 596 - 126);
  EXPECT_EQ(In().picMediaControl[3]->Top(), 468 - 35);
  EXPECT_EQ(In().picMediaControl[15]->Left(), 596 - 148);
  EXPECT_EQ(In().picMediaControl[13]->Top(), 468 - 25);
  ExpectSkinPieces(596, 468);

  // -99 keeps P and the video area and places the bar again.
  In().picMediaControl[9]->Move(0, 0);
  Form().ResizeCompactGUI(-99);
  EXPECT_EQ(Geometry(In().picOpenFile), QRect(2, 30, 596, 468));
  EXPECT_EQ(Geometry(In().framPreview), QRect(7, 6, 582, 384));
  EXPECT_EQ(In().picMediaControl[9]->Left(), 596 - 52);
}

// The compact window at twice the video's size, the size Ctrl+2 gives a
// 310 x 232 video (with no video loaded the window manager takes factor 1);
// with RW_SCREENSHOT set, its picture is saved there.
TEST_F(CompactLayoutTest, CompactWindowAtFactorTwo) {
  Form().SetWindowMode(QStringLiteral("COMPACT"));
  gWindowMgr->InitialiseCompactWindow(2);
  Form().resize(2 * 310 + 18, static_cast<int>(Form().picCaption->Height()) + 2 * 232 + 84 + 2);
  QApplication::processEvents();
  EXPECT_EQ(In().framPreview->Width(), 2 * 310 + 18 - 4 - 14);
  EXPECT_EQ(In().picOpenFile->width(), Form().width() - 4);
  EXPECT_EQ(In().framPreview->Width(), In().picOpenFile->width() - 14);
  ExpectSkinPieces(In().picOpenFile->width(), In().picOpenFile->height());
  if (!qEnvironmentVariableIsEmpty("RW_SCREENSHOT")) Form().grab().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG");
  Form().SetWindowMode(QStringLiteral("LIBRARY"));
}

TEST_F(CompactLayoutTest, TheBTimeStaysInsideThePanelInBothModes) {
  In().lblEndPoint->SetCaption(QStringLiteral("0:00:12.48"));
  auto expectInside = [](const char* mode) {
    const ctl::Label& b = *In().lblEndPoint;
    const double panel = In().picMPlayerSkin->Width();
    EXPECT_LE(b.Left() + b.Width(), panel - 4) << mode << ": the label ends inside the panel's frame";
    EXPECT_GE(b.Width(), QFontMetrics(b.font()).horizontalAdvance(QStringLiteral("0:00:00.00")))
        << mode << ": the time fits its label";
    EXPECT_EQ(b.Alignment(), ctl::vbRightJustify) << mode;
  };
  Form().ResizeCompactGUI(-1);
  expectInside("library");
  CompactAt(600, 500, 30);
  expectInside("compact");
}

TEST_F(CompactLayoutTest, APanelIsNeverSmallerThanTheSkinsFixedPieces) {
  Form().setMinimumSize(0, 0);
  CompactAt(200, 100, 30);
  EXPECT_EQ(In().picOpenFile->width(), 324);
  EXPECT_EQ(In().picOpenFile->height(), 140);
  EXPECT_GT(In().picSlider->Width(), 0);
  EXPECT_GT(In().framPreview->Height(), 0);
}

}  // namespace
