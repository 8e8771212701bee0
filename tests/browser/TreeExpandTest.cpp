// The library tree's expand icons in the running program: a left press on a
// node's icon opens or closes it, and however a node opens or closes (the
// icon, the keyboard, code) its icon and a folder's picture follow.
#include "platform/DragController.h"
#include "platform/controls/TreeView.h"
#include "tests/app/ProgramRun.h"
#include "tests/library/TreeFixture.h"

#include <QPainter>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

using TreeExpandTest = rwtest::OpenLibraryTestOn<rwtest::RunningProgramTest>;

constexpr int kCollapsed = 1;
constexpr int kExpanded = 2;
constexpr int kNoChildren = 3;

// A folder "Places" holding the tag "Berlin", and a tag "Solo" alone.
const char* const kTags =
    "INSERT INTO Tags (TagID, Tag, Type) VALUES (10, 'Places', 'F'), (11, 'Berlin', 'T'), (12, 'Solo', 'T');"
    "INSERT INTO TagLinks VALUES (11, 10, 'P');";

QWidget* Viewport() { return gMainForm->Tree().tvwLibrary->findChild<QTreeView*>()->viewport(); }

// Where the tree hit-tests the node's state icon, in viewport pixels.
QRect StateIconArea(const ctl::Node& node) {
  QRect area;
  QWidget* viewport = Viewport();
  for (int y = 0; y < viewport->height(); ++y) {
    for (int x = 0; x < viewport->width() / 2; ++x) {
      int flags = 0;
      if (gTreeHwnd->HitTestInfo(x, y, &flags) == &node && flags == ctl::tvhtOnItemStateIcon) {
        area |= QRect(x, y, 1, 1);
      }
    }
  }
  return area;
}

// True when the icon area shows state picture `state` centred on the
// tree's background, within a small tolerance per pixel.
bool ShowsStatePicture(const ctl::Node& node, int state) {
  const QRect area = StateIconArea(node);
  const QImage shot = Viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QPixmap picture = gMainForm->ilStateIcons.Picture(state);
  QImage expected(picture.size(), QImage::Format_RGB32);
  expected.fill(ColorRefToQColor(gTreeHwnd->BackColor()));
  QPainter(&expected).drawPixmap(0, 0, picture);
  const QPoint origin(area.left() + (area.width() - picture.width()) / 2,
                      area.top() + (area.height() - picture.height()) / 2);
  int wrong = 0;
  for (int y = 0; y < expected.height(); ++y) {
    for (int x = 0; x < expected.width(); ++x) {
      const QColor want = expected.pixelColor(x, y);
      const QColor got = shot.pixelColor(origin + QPoint(x, y));
      const int diff = std::max({std::abs(want.red() - got.red()), std::abs(want.green() - got.green()),
                                 std::abs(want.blue() - got.blue())});
      if (diff > 24) ++wrong;
    }
  }
  return !area.isEmpty() && wrong <= expected.width() * expected.height() / 50;
}

void ClickIcon(const ctl::Node& node) {
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, StateIconArea(node).center());
}

TEST_F(TreeExpandTest, AClickOnAParentsIconOpensItAndASecondClosesIt) {
  OpenWith(QLatin1String(kTags));
  ctl::Node& places = Node(QStringLiteral("ID10"));
  ASSERT_EQ(places.StateImage(), kCollapsed);
  ASSERT_EQ(places.Image(), QStringLiteral("FOLDERCLOSED"));
  EXPECT_TRUE(ShowsStatePicture(places, kCollapsed));
  EXPECT_FALSE(ShowsStatePicture(places, kExpanded));

  ClickIcon(places);
  EXPECT_TRUE(places.Expanded());
  EXPECT_EQ(places.StateImage(), kExpanded);
  EXPECT_EQ(places.Image(), QStringLiteral("FOLDEROPEN"));
  EXPECT_TRUE(ShowsStatePicture(places, kExpanded)) << "the open arrow is drawn";
  EXPECT_FALSE(StateIconArea(Node(QStringLiteral("ID11"))).isEmpty()) << "the child is shown";

  ClickIcon(places);
  EXPECT_FALSE(places.Expanded());
  EXPECT_EQ(places.StateImage(), kCollapsed);
  EXPECT_EQ(places.Image(), QStringLiteral("FOLDERCLOSED"));
  EXPECT_TRUE(ShowsStatePicture(places, kCollapsed));
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(TreeExpandTest, TheKeyboardAndCodeTurnTheIconToo) {
  OpenWith(QLatin1String(kTags));
  ctl::Node& places = Node(QStringLiteral("ID10"));
  gTreeHwnd->SetSelectedItem(&places);
  gTreeHwnd->setFocus();
  QWidget* view = gTreeHwnd->focusProxy();
  QTest::keyClick(view, Qt::Key_Right);
  EXPECT_TRUE(places.Expanded());
  EXPECT_EQ(places.StateImage(), kExpanded);
  EXPECT_TRUE(ShowsStatePicture(places, kExpanded));
  QTest::keyClick(view, Qt::Key_Left);
  EXPECT_EQ(places.StateImage(), kCollapsed);
  QTest::keyClick(view, Qt::Key_Plus);
  EXPECT_EQ(places.StateImage(), kExpanded);
  QTest::keyClick(view, Qt::Key_Minus);
  EXPECT_EQ(places.StateImage(), kCollapsed);

  places.SetExpanded(true);
  EXPECT_EQ(places.StateImage(), kExpanded);
  EXPECT_EQ(places.Image(), QStringLiteral("FOLDEROPEN"));
  places.SetExpanded(false);
  EXPECT_EQ(places.StateImage(), kCollapsed);
}

TEST_F(TreeExpandTest, ANodeWithoutChildrenShowsNoArrowAndAClickThereChangesNothing) {
  OpenWith(QLatin1String(kTags));
  ctl::Node& solo = Node(QStringLiteral("ID12"));
  ASSERT_EQ(solo.StateImage(), kNoChildren);
  ClickIcon(solo);
  EXPECT_FALSE(solo.Expanded());
  EXPECT_EQ(solo.StateImage(), kNoChildren);
  EXPECT_TRUE(ShowsStatePicture(solo, kNoChildren));
}

TEST_F(TreeExpandTest, OnlyAPressOnTheIconToggles) {
  OpenWith(QLatin1String(kTags));
  ctl::Node& places = Node(QStringLiteral("ID10"));
  const QRect icon = StateIconArea(places);
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, QPoint(icon.right() + 30, icon.center().y()));
  EXPECT_FALSE(places.Expanded()) << "a press on the label";
  QTest::mouseClick(Viewport(), Qt::RightButton, {}, icon.center());
  EXPECT_FALSE(places.Expanded()) << "the right button";

  QTest::mousePress(Viewport(), Qt::LeftButton, {}, icon.center());
  QTest::mouseMove(Viewport(), icon.center() + QPoint(1, 1));
  EXPECT_FALSE(ctl::DragController::Instance().Dragging()) << "a press on the icon drags nothing";
  QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, icon.center() + QPoint(1, 1));
  EXPECT_TRUE(places.Expanded());
}

}  // namespace
