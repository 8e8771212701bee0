// The main window's left pane splitter: an outline drag resizes the tree
// pane and lays the window out again.
#include "tests/app/ProgramRun.h"

#include "browser/LibraryTreePane.h"
#include "browser/ResultsPane.h"
#include "library/clsRWLibrary.h"
#include "platform/controls/ImageCombo.h"
#include "ui/cMDISplit.h"

#include <cstdlib>

#include <QComboBox>
#include <QTest>

namespace rwtest {
namespace {

class PaneSplitterTest : public RunningProgramTest {};

TEST_F(PaneSplitterTest, DraggingTheTreePanesEdgeWidensItAndTheBrowserFollows) {
  const QString library = gLibrariesFolder + QStringLiteral("Films.rw2");
  modReelwise::ExtractTemplateLibrary(library);
  gLibrary->OpenLibrary(library, true);  // the tree instead of the welcome page
  QWidget* pane = gMainForm->Tree().picLeft;
  QWidget* right = gMainForm->Results().picRight;
  const int width = pane->width();
  const int rightLeft = right->x();
  const QPoint strip(width - 2, pane->height() / 2);  // where the grip is drawn
  QCursor::setPos(pane->mapToGlobal(strip));
  QTest::mouseMove(pane, strip);
  EXPECT_EQ(pane->cursor().shape(), Qt::SizeHorCursor);
  QTest::mousePress(pane, Qt::LeftButton, {}, strip);
  ASSERT_TRUE(gMainForm->m_cSplitLeft->Dragging());
  const QPoint to(width + 58, strip.y());
  QCursor::setPos(pane->mapToGlobal(to));
  QMouseEvent move(QEvent::MouseMove, to, pane->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(pane, &move);
  if (!qEnvironmentVariableIsEmpty("RW_SCREENSHOT")) {
    // The history combo with the focus shows its lit frame in the picture.
    gMainForm->activateWindow();
    gMainForm->Results().cmbBrowserHistory->Box()->setFocus();
    QApplication::processEvents();
    gMainForm->grab().save(qEnvironmentVariable("RW_SCREENSHOT"), "PNG");
  }
  QTest::mouseRelease(pane, Qt::LeftButton, {}, to);
  // The layout then snaps the browser to whole tile columns.
  EXPECT_NEAR(pane->width(), width + 60, 104);
  EXPECT_GT(pane->width(), width);
  EXPECT_EQ(right->x(), pane->width()) << "the panes were laid out again";
  EXPECT_GT(right->x(), rightLeft);
}

// Released anywhere, the edge lands at the place the whole tile columns allow
// that is nearest the bar: never more than half a tile from it, dragged right
// or left, and the browser keeps whole columns.
TEST_F(PaneSplitterTest, TheEdgeLandsWithinHalfATileOfWhereTheBarIsReleased) {
  const QString library = gLibrariesFolder + QStringLiteral("Films.rw2");
  modReelwise::ExtractTemplateLibrary(library);
  gLibrary->OpenLibrary(library, true);
  QWidget* pane = gMainForm->Tree().picLeft;
  const int tile = static_cast<int>(gTileWidthTwips / gTwipsPerPixelX);
  const int start = pane->width();
  const int browser = gMainForm->width() - start;
  // Drags the edge by `offset` pixels with the mouse; the width it asked for.
  const auto drag = [&](int offset) {
    const QPoint strip(pane->width() - 2, pane->height() / 2);
    QCursor::setPos(pane->mapToGlobal(strip));
    QTest::mouseMove(pane, strip);
    QTest::mousePress(pane, Qt::LeftButton, {}, strip);
    const QPoint to(strip.x() + offset, strip.y());
    QCursor::setPos(pane->mapToGlobal(to));
    QMouseEvent move(QEvent::MouseMove, to, pane->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pane, &move);
    const int released = pane->width() + offset;
    QTest::mouseRelease(pane, Qt::LeftButton, {}, to);
    return released;
  };
  for (int offset : {40, 70, 150, -40, -70, -150}) {
    const int released = drag(offset);
    EXPECT_LE(std::abs(pane->width() - released), tile / 2) << "dragged by " << offset;
    EXPECT_EQ((gMainForm->width() - pane->width() - browser) % tile, 0) << "whole tile columns after " << offset;
  }
  drag(start - pane->width());
  EXPECT_EQ(pane->width(), start) << "back where it began";
}

}  // namespace
}  // namespace rwtest
