// The result grids' rich tool tip: armed by Show, shown by the first tick and
// gone at the next, on a move onto it or on a failure; measured from the
// hovered result and its tags, placed beside the pointer within the screen,
// and drawn with the rating's stars over a tile of a small library.
#include "tests/browser/BrowserTestSupport.h"

#include "browser/cToolTipHost.h"
#include "core/modRegistry.h"
#include "platform/SqlConnection.h"
#include "platform/SqlText.h"
#include "ui/CairoContext.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QScreen>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class ToolTipTest : public rwtest::GridTest {
 protected:
  void SetUp() override {
    GridTest::SetUp();
    aliases_ = gTooltipAliases;
    gHoverItem = Item(1, QStringLiteral("Heat.mkv"));
  }
  void TearDown() override {
    host.DestroyTip();
    gMainForm->Results().m_cToolTips->DestroyTip();
    gTooltipAliases = aliases_;
    gHoverItem = ResultItem{};
    GridTest::TearDown();
  }

  static ResultItem Item(int id, const QString& name) {
    ResultItem item;
    item.FileID = id;
    item.SegmentID = id;
    item.IsFileRow = true;
    item.FileName = name;
    item.FileFormat = QStringLiteral("MPEG-4");
    item.Dimensions = QStringLiteral("720x480");
    item.Bitrate = 1500;
    item.FrameRate = 29.97f;
    item.FileSize = 3.5 * 1024 * 1024;
    item.Duration = 95;
    return item;
  }

  // A file of the running program's library with its whole-file segment and tags.
  static void AddFile(int id, const QString& name, const QStringList& tags = {}) {
    SqlConnection& db = gLibrary->Connection();
    db.Execute(QStringLiteral("INSERT INTO VideoFiles (FileID, DiskSerialNo, FilePath, FileName, CurrentPath) "
                              "VALUES (%1, '1A2B3C4D', 'films\\', %2, '/films/')")
                   .arg(id)
                   .arg(SqlQuote(name)));
    db.Execute(QStringLiteral("INSERT INTO VideoSegments (SegmentID, FileID, FileFlag, SelectionStart, SelectionEnd, "
                              "Online, Rating) VALUES (%1, %1, 'Y', 0, 95, 1, 0)")
                   .arg(id));
    for (int i = 0; i < tags.size(); ++i) {
      const int tag = id * 1000 + i;
      db.Execute(QStringLiteral("INSERT INTO Tags (TagID, Tag, Type) VALUES (%1, %2, 'T')").arg(tag).arg(SqlQuote(tags[i])));
      db.Execute(QStringLiteral("INSERT INTO SegmentTags VALUES (%1, %2)").arg(id).arg(tag));
    }
  }

  // Arms the tip at the pointer and runs its first tick.
  void ShowAt(int x, int y) {
    host.Show(gMainForm, x, y);
    host.cwTimer_Timer();
    ASSERT_TRUE(host.Shown());
  }
  QRect TipRect() const {
    int32_t left = 0, top = 0, width = 0, height = 0;
    host.Tip().GetTipRect(left, top, width, height);
    return QRect(left, top, width, height);
  }
  static QRect Screen() { return QGuiApplication::primaryScreen()->geometry(); }
  // The pointer moved onto a tile from the one before it, as a person moves
  // it there; the point it rests on.
  static QPoint PointAtTile(int index) {
    QTest::mouseMove(&Tiles(), TileCentre(index - 1));
    QTest::mouseMove(&Tiles(), TileCentre(index));
    return TileCentre(index);
  }
  static double TagLineHeight() {
    CairoContext cc(std::make_shared<ImageSurface>(10, 10));
    cc.SelectFont(QStringLiteral("Tahoma"), 8);
    return cc.MeasureText(QStringLiteral("No Tags")).Height;
  }

  cToolTipHost host;

 private:
  bool aliases_ = false;
};

TEST_F(ToolTipTest, ShowArmsTheFirstTickShowsAndTheNextOneDestroys) {
  host.Show(gMainForm, 400, 500);
  ASSERT_TRUE(host.Armed());
  EXPECT_FALSE(host.Shown());
  ASSERT_NE(host.cwTimer(), nullptr);
  EXPECT_EQ(host.cwTimer()->Interval(), 100);
  EXPECT_TRUE(host.cwTimer()->Enabled());
  QPointer<QWidget> window = host.TipForm()->Window();
  EXPECT_FALSE(window->isVisible()) << "nothing on screen before the first tick";

  host.Show(gMainForm, 900, 900);  // ignored while armed
  EXPECT_EQ(host.TipForm()->Window(), window.data());

  host.cwTimer_Timer();
  EXPECT_TRUE(host.Shown());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->geometry(), TipRect()) << "placed for the first pointer position, not the ignored one";
  EXPECT_EQ(TipRect().topLeft(), QPoint(405, 528 - host.Tip().BalloonHeight()));
  EXPECT_EQ(host.cwTimer()->Interval(), 10000);
  EXPECT_EQ(host.Tip().Id(), gMainForm);

  host.cwTimer_Timer();
  EXPECT_FALSE(host.Armed());
  EXPECT_EQ(host.TipForm(), nullptr);
  EXPECT_EQ(host.cwTimer(), nullptr);
  EXPECT_FALSE(window && window->isVisible());

  host.Show(gMainForm, 400, 500);
  EXPECT_TRUE(host.Armed()) << "a new tip after the old one is gone";
}

TEST_F(ToolTipTest, MovingOntoTheTipOrAFailingTickDestroysItSilently) {
  ASSERT_NO_FATAL_FAILURE(ShowAt(400, 500));
  QPointer<QWidget> window = host.TipForm()->Window();
  Move(*window, QPoint(60, 60));
  EXPECT_FALSE(host.Armed());
  EXPECT_FALSE(window && window->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // deleted once its event is over
  EXPECT_TRUE(window.isNull());

  host.Show(gMainForm, 400, 500);
  host.TipForm()->Widgets().RemoveAll();  // the tick cannot find the tip on its form
  host.cwTimer_Timer();
  EXPECT_FALSE(host.Armed());
  EXPECT_FALSE(host.Shown());
  EXPECT_EQ(boxes.Count(), 0) << "a failing tip says nothing";
}

TEST_F(ToolTipTest, AnItemWithoutTagsGetsTwoTagLinesAndTheWidestTextWidensIt) {
  ASSERT_NO_FATAL_FAILURE(ShowAt(400, 500));
  const cwToolTip& tip = host.Tip();
  EXPECT_EQ(tip.Tags(), QStringLiteral("\r\nNo Tags\r\n"));
  EXPECT_EQ(tip.ContentHeight(), static_cast<int>(std::nearbyint(2 * TagLineHeight() + 100)));
  EXPECT_GE(tip.ContentWidth(), 102);
  EXPECT_EQ(tip.BalloonWidth(), tip.ContentWidth() + 36);
  EXPECT_EQ(TipRect().size(), QSize(tip.BalloonWidth() + 56, tip.BalloonHeight() + 56));
  EXPECT_EQ(tip.Details(), QStringLiteral("MPEG-4 : 720x480 : 1,500kbps : 29.97fps : 3.500 MB"));

  const int narrow = tip.ContentWidth();
  host.DestroyTip();
  gHoverItem.FileName = QString(60, QLatin1Char('W'));
  ASSERT_NO_FATAL_FAILURE(ShowAt(400, 500));
  CairoContext cc(std::make_shared<ImageSurface>(10, 10));
  cc.SelectFont(QStringLiteral("Tahoma"), 11, 0, true);
  const int title = static_cast<int>(std::nearbyint(cc.MeasureText(gHoverItem.FileName).Width));
  EXPECT_GT(host.Tip().ContentWidth(), narrow);
  EXPECT_EQ(host.Tip().ContentWidth(), title + 2) << "the bold title sets the width";
}

TEST_F(ToolTipTest, TheShapeCoversTheBalloonItsGlowAndArrowButNotTheCorners) {
  ASSERT_NO_FATAL_FAILURE(ShowAt(400, 500));
  const cwToolTip& tip = host.Tip();
  const QRegion shape = tip.BalloonMask();
  const int w = tip.BalloonWidth();
  const int h = tip.BalloonHeight();
  EXPECT_TRUE(shape.contains(QPoint(18 + w / 2, 18 + h / 2))) << "the middle";
  EXPECT_TRUE(shape.contains(QPoint(18 + w / 2, 18 + 9))) << "the glow above the top edge";
  EXPECT_FALSE(shape.contains(QPoint(0, 0)));
  EXPECT_FALSE(shape.contains(QPoint(18 + 11, 18 + 11))) << "the rounded corner";
  // The arrow on the left, its point 16 pixels out from the left edge.
  const int pointY = 18 + h - 10 + tip.ArrowOffset() - 16;
  EXPECT_TRUE(shape.contains(QPoint(18 + 10 - 14, pointY))) << "the arrow's point";
}

// The topmost row where two pictures of one size differ; -1 where none does.
int TopDifference(const QImage& a, const QImage& b) {
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) != b.pixel(x, y)) return y;
    }
  }
  return -1;
}

// The accent over a capital shows in the title: "Été" differs from "Ete"
// above the capital's top, where "ete" differs from "Ete" only from that top
// down. The program's Tahoma sets the accent above the line's ascent.
TEST_F(ToolTipTest, TheTitleKeepsTheAccentOverACapital) {
  const auto tipWith = [this](const char* title) {
    host.DestroyTip();
    gHoverItem.FileName = QString::fromUtf8(title);
    host.Show(gMainForm, 400, 500);
    host.cwTimer_Timer();
    ImageSurfacePtr picture = host.TipForm()->WidgetRoot().Render();
    picture->Flush();
    return picture->Image().copy();
  };
  const QImage plain = tipWith("Ete cafe.mp4");
  const QImage accented = tipWith("Été café.mp4");
  const QImage lower = tipWith("ete cafe.mp4");
  ASSERT_EQ(plain.size(), accented.size());
  ASSERT_EQ(plain.size(), lower.size());
  const int capitalTop = TopDifference(plain, lower);
  ASSERT_GE(capitalTop, 0);
  EXPECT_LT(TopDifference(plain, accented), capitalTop - 1);
  if (const char* path = std::getenv("RW_SCREENSHOT")) accented.save(QString::fromLocal8Bit(path));
}

TEST_F(ToolTipTest, TheTitleIsTheAliasOnlyWhenAliasesAreOnAndTheAliasIsNotEmpty) {
  gTooltipAliases = true;
  ASSERT_NO_FATAL_FAILURE(ShowAt(400, 500));
  EXPECT_EQ(host.Tip().Title(), QStringLiteral("Heat.mkv")) << "an empty alias";
  host.DestroyTip();
  gHoverItem.FileAlias = QStringLiteral("Heat (1995)");
  ASSERT_NO_FATAL_FAILURE(ShowAt(400, 500));
  EXPECT_EQ(host.Tip().Title(), QStringLiteral("Heat (1995)"));
  host.DestroyTip();
  gTooltipAliases = false;
  ASSERT_NO_FATAL_FAILURE(ShowAt(400, 500));
  EXPECT_EQ(host.Tip().Title(), QStringLiteral("Heat.mkv"));
}

TEST_F(ToolTipTest, NearTheRightEdgeItOpensLeftAndNearTheTopTheArrowMovesDown) {
  const QRect screen = Screen();
  ASSERT_NO_FATAL_FAILURE(ShowAt(screen.right() - 20, 600));
  EXPECT_TRUE(host.Tip().ArrowOnRight());
  EXPECT_EQ(TipRect().right(), screen.right() - 20 - 5 - 1) << "left of the pointer";
  host.DestroyTip();

  ASSERT_NO_FATAL_FAILURE(ShowAt(400, 600));
  EXPECT_FALSE(host.Tip().ArrowOnRight());
  EXPECT_EQ(host.Tip().ArrowOffset(), -20);
  host.DestroyTip();

  ASSERT_NO_FATAL_FAILURE(ShowAt(400, 10));
  const cwToolTip& tip = host.Tip();
  EXPECT_EQ(TipRect().top(), -18);
  EXPECT_EQ(tip.ArrowOffset(), 10 - tip.BalloonHeight() + 26);
  // The arrow's point lies 18 + (h - 26 + v) below the form's top.
  EXPECT_EQ(TipRect().top() + 18 + tip.BalloonHeight() - 26 + tip.ArrowOffset(), 10)
      << "level with the pointer";
}

TEST_F(ToolTipTest, ATitleOrTagListLargerThanTheScreenIsCutToTheScreen) {
  QStringList tags;
  for (int i = 0; i < 200; ++i) tags << QStringLiteral("Tag number %1").arg(i);
  AddFile(7, QStringLiteral("Long.mkv"), tags);
  gHoverItem = Item(7, QString(2000, QLatin1Char('W')));
  ASSERT_NO_FATAL_FAILURE(ShowAt(400, 900));
  const QRect screen = Screen();
  EXPECT_EQ(TipRect().width(), screen.width());
  EXPECT_EQ(TipRect().height(), screen.height());
  EXPECT_TRUE(host.Tip().Tags().contains(QStringLiteral("Tag number 199")));
  EXPECT_FALSE(host.TipForm()->WidgetRoot().Render()->Image().isNull()) << "and it still draws";
}

// Centre pixels of the five stars in the tip's picture.
std::vector<QRgb> Stars(cToolTipHost& host) {
  ImageSurfacePtr picture = host.TipForm()->WidgetRoot().Render();
  picture->Flush();
  std::vector<QRgb> stars;
  for (int k = 1; k <= 5; ++k) stars.push_back(picture->Image().pixel(46 + 22 * (k - 1) + 12, 46 + 20 + 12));
  return stars;
}

bool Near(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) < 30;
}

TEST_F(ToolTipTest, OverATileItShowsTheTagsAndTheRatingAsStars) {
  AddFile(1, QStringLiteral("Clip 1.avi"), {QStringLiteral("Drama"), QStringLiteral("Night")});
  ShowResults(10);
  gResults[1].IsFileRow = true;
  gResults[1].Rating = 3;
  const QPoint tile = TileCentre(1);
  Move(Tiles(), tile);
  ASSERT_EQ(gHoverItem.FileID, 1);
  QCursor::setPos(Tiles().mapToGlobal(tile));
  gMainForm->Results().m_FlexMouseTrack_MouseHover(0, 0, 0, 0);
  cToolTipHost& tips = *gMainForm->Results().m_cToolTips;
  ASSERT_TRUE(tips.Armed());
  tips.cwTimer_Timer();
  ASSERT_TRUE(tips.Shown());
  EXPECT_EQ(tips.Tip().Id(), &Tiles());
  EXPECT_TRUE(tips.Tip().Tags().contains(QStringLiteral("Drama")));
  EXPECT_TRUE(tips.Tip().Tags().contains(QStringLiteral("Night")));

  const std::vector<QRgb> three = Stars(tips);
  EXPECT_TRUE(Near(three[0], three[1]) && Near(three[0], three[2])) << "three filled stars";
  EXPECT_TRUE(Near(three[3], three[4])) << "two empty stars";
  EXPECT_FALSE(Near(three[0], three[3])) << "filled and empty stars differ";

  if (const char* path = std::getenv("RW_SCREENSHOT")) {
    QImage shot = gMainForm->grab().toImage();
    QPainter painter(&shot);
    ImageSurfacePtr tip = tips.TipForm()->WidgetRoot().Render();
    tip->Flush();
    painter.drawImage(tips.TipForm()->Window()->pos() - gMainForm->mapToGlobal(QPoint(0, 0)), tip->Image());
    painter.end();
    EXPECT_TRUE(shot.save(QString::fromLocal8Bit(path)));
  }

  tips.DestroyTip();
  gHoverItem.Rating = 0;
  tips.Show(&Tiles(), 400, 500);
  tips.cwTimer_Timer();
  for (QRgb star : Stars(tips)) EXPECT_TRUE(Near(star, three[3])) << "rating 0: five empty stars";
}

// A right click before the pointer has rested opens the results' menu. The
// window system may still tell of the rest that began before the click (the
// menu's grab hides the pointer's leaving): no tip comes over the open menu,
// nor does one asked for before the menu opened.
TEST_F(ToolTipTest, NoTipComesOverAnOpenMenu) {
  ShowResults(10);
  const QPoint tile = PointAtTile(2);
  ASSERT_EQ(gHoverItem.FileID, 2);
  Click(Tiles(), tile, {}, Qt::RightButton);
  QMenu& menu = *gMainForm->mnuResultsPopUp;
  ASSERT_TRUE(menu.isVisible());
  gHoverItem.FileID = 2;
  gMainForm->Results().m_FlexMouseTrack_MouseHover(0, 0, 0, 0);
  cToolTipHost& tips = *gMainForm->Results().m_cToolTips;
  EXPECT_FALSE(tips.Armed()) << "a tip over the open menu";

  menu.hide();
  tips.Show(&Tiles(), 400, 300);
  menu.popup(QPoint(400, 300));
  tips.cwTimer_Timer();
  EXPECT_FALSE(tips.Shown()) << "the tip asked for before the menu opened";
  EXPECT_FALSE(tips.Armed());
}

// A tile pressed before the pointer has rested and dragged off towards the
// tree: the rest the window system tells of comes while the button is held
// or during the drag (the drag takes the moves that would have restarted
// it). The drag takes away the tip asked for while the button was held, and
// no tip comes while the drag lasts, however the rest or the tick fall.
TEST_F(ToolTipTest, NoTipShowsWhileATileIsDragged) {
  ShowResults(10);
  const QPoint tile = PointAtTile(2);
  ASSERT_EQ(gHoverItem.FileID, 2);
  QCursor::setPos(Tiles().mapToGlobal(tile));
  cToolTipHost& tips = *gMainForm->Results().m_cToolTips;
  QTest::mousePress(&Tiles(), Qt::LeftButton, {}, tile);
  QTest::mouseMove(&Tiles(), tile + QPoint(1, 0));  // arms the drag
  gHoverItem.FileID = 2;
  gMainForm->Results().m_FlexMouseTrack_MouseHover(1, 0, 0, 0);
  ASSERT_TRUE(tips.Armed()) << "a rest before the drag starts still asks for a tip";

  QTest::mouseMove(&Tiles(), tile + QPoint(1, 12));
  ASSERT_TRUE(ctl::DragController::Instance().Dragging());
  EXPECT_FALSE(tips.Armed()) << "the drag takes the tip away";
  gMainForm->Results().m_FlexMouseTrack_MouseHover(1, 0, 0, 0);
  EXPECT_FALSE(tips.Armed()) << "a rest during the drag";
  tips.Show(&Tiles(), 400, 300);
  EXPECT_FALSE(tips.Armed()) << "asked for during the drag";

  Tiles().Drag(ctl::vbCancel);
  QTest::mouseRelease(&Tiles(), Qt::LeftButton, {}, tile + QPoint(1, 12));
  ASSERT_FALSE(ctl::DragController::Instance().Dragging());
  tips.Show(&Tiles(), 400, 300);
  ctl::DragController::Instance().Begin(Tiles());
  tips.cwTimer_Timer();
  EXPECT_FALSE(tips.Shown()) << "the tip asked for before a drag began";
  EXPECT_FALSE(tips.Armed());
  ctl::DragController::Instance().End(false);
}

// New results under a pointer resting on a tile: the tip tells of the result
// shown there now, not of the one shown there before.
TEST_F(ToolTipTest, AfterNewResultsTheTipIsOfTheResultUnderThePointerNow) {
  ShowResults(10);
  const QPoint tile = PointAtTile(2);
  ASSERT_EQ(gHoverItem.FileID, 2);
  ShowResults(10);
  for (int i = 1; i <= 10; ++i) {
    gResults[static_cast<size_t>(i)].FileID = 100 + i;
    gResults[static_cast<size_t>(i)].FileName = QStringLiteral("New %1.avi").arg(i);
  }
  QTest::mouseMove(&Tiles(), tile + QPoint(3, 2));
  EXPECT_EQ(gHoverItem.FileID, 102);
  gMainForm->Results().m_FlexMouseTrack_MouseHover(0, 0, 0, 0);
  cToolTipHost& tips = *gMainForm->Results().m_cToolTips;
  ASSERT_TRUE(tips.Armed());
  tips.cwTimer_Timer();
  EXPECT_EQ(tips.Tip().Title(), QStringLiteral("New 2.avi"));
}

}  // namespace
