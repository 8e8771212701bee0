// The library tree shows the scheme colour behind its items from the next
// paint on, and a selected item keeps its highlight; item handles and state
// images of its nodes.
#include "platform/controls/TreeView.h"
#include "ui/SchemeColours.h"
#include "ui/modCustomTreeIcons.h"
#include "ui/modTvwBackColor.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kSchemeA = RGB(30, 90, 40);
constexpr COLORREF kSchemeB = RGB(200, 180, 60);

class TreeColourTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = gSchemeColour2;
    gSchemeColour2 = kSchemeA;
    // Two top-level items; the second holds three.
    tree_.Nodes.Add(QString(), ctl::tvwLast, QStringLiteral("A"), QStringLiteral("Actors"));
    tree_.Nodes.Add(QString(), ctl::tvwLast, QStringLiteral("B"), QStringLiteral("Berlin"));
    for (const char* key : {"B1", "B2", "B3"}) tree_.Nodes.Add("B", ctl::tvwChild, key, key);
    tree_.SetStyle(ctl::tvwTextOnly);
    tree_.resize(240, 200);
    SetTreeViewBackColour(&tree_);
  }
  void TearDown() override { gSchemeColour2 = saved_; }
  QRgb PixelAt(int x, int y) { return tree_.Viewport()->grab().toImage().pixel(x, y); }

  ctl::TreeView tree_;
  COLORREF saved_ = 0;
};

QRgb Rgb(COLORREF colour) { return ColorRefToQColor(colour).rgb(); }

TEST_F(TreeColourTest, ANewSchemeColourShowsAtTheNextPaint) {
  EXPECT_EQ(PixelAt(200, 180), Rgb(kSchemeA));
  gSchemeColour2 = kSchemeB;
  EXPECT_EQ(PixelAt(200, 180), Rgb(kSchemeB));
  EXPECT_EQ(tree_.Viewport()->palette().color(QPalette::Base).rgb(), Rgb(kSchemeB));
  EXPECT_EQ(tree_.BackColor(), kSchemeB);
}

TEST_F(TreeColourTest, ASelectedItemAtTheTopLeftCornerKeepsItsHighlight) {
  tree_.show();
  tree_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&tree_));
  tree_.SetSelectedItem(&tree_.Nodes(QStringLiteral("A")));
  tree_.SetFocus();
  const QRgb highlight = tree_.Viewport()->palette().color(QPalette::Active, QPalette::Highlight).rgb();
  EXPECT_EQ(PixelAt(0, 0), highlight);
  EXPECT_EQ(PixelAt(1, 1), highlight);
  EXPECT_EQ(PixelAt(200, 5), Rgb(kSchemeA));
  EXPECT_EQ(PixelAt(200, 180), Rgb(kSchemeA));
}

TEST_F(TreeColourTest, ItemHandlesAndStateImages) {
  // The third child of the second item is reached as root, next, child, next, next.
  ctl::Node* walked = tree_.Nodes(QStringLiteral("A")).Root()->Next()->Child()->Next()->Next();
  ctl::Node* item = GetTreeItemHandle(&tree_, &tree_.Nodes(QStringLiteral("B3")));
  EXPECT_EQ(item, walked);
  ctl::TreeView empty;
  EXPECT_EQ(GetTreeItemHandle(&empty, walked), nullptr);
  // Index 2 sets the state image, 0 clears it.
  EXPECT_TRUE(SetNodeStateImage(&tree_, item, 2));
  EXPECT_EQ(item->StateImage(), 2);
  EXPECT_TRUE(SetNodeStateImage(&tree_, item, 0));
  EXPECT_EQ(item->StateImage(), 0);
}

}  // namespace
