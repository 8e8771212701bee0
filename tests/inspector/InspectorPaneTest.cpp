// The inspector's part of the main window: a rating shown in the segment list
// and the tabs' collapse command with its menu mark.
#include "platform/cPopupMenu.h"

#include <QFontMetrics>
#include "tests/app/ProgramRun.h"
#include "tests/support/RealInput.h"

#include <gtest/gtest.h>

namespace {

class InspectorPaneTest : public rwtest::RunningProgramTest {
 protected:
  static InspectorPane& Inspector() { return gMainForm->Inspector(); }
};

TEST_F(InspectorPaneTest, ARatingShowsOnlyInItsSegmentsRow) {
  ctl::FlexGrid& segments = *Inspector().flexSegments;
  segments.SetRows(3);
  segments.SetTextMatrix(1, 4, QStringLiteral("5"));
  segments.SetTextMatrix(2, 4, QStringLiteral("6"));
  Inspector().ShowSegmentRating(6, 4);
  EXPECT_EQ(segments.TextMatrix(2, 5), QStringLiteral("4")) << "the rated segment's row";
  EXPECT_EQ(segments.TextMatrix(1, 5), QString()) << "not the other rows";
  Inspector().ShowSegmentRating(999, 2);
  EXPECT_EQ(segments.TextMatrix(2, 5), QStringLiteral("4"));
}

TEST_F(InspectorPaneTest, CollapsingATabFlipsItsMenuMark) {
  cPopupMenu& menu = *gMainForm->m_cMenu;
  const int item = menu.IndexForKey(QStringLiteral("mnuViewExpandSpecs"));
  const bool before = menu.Checked(item);
  Inspector().lblCollapseTab_Click(1);
  EXPECT_NE(menu.Checked(item), before);
  Inspector().lblCollapseTab_Click(5);  // no such tab
  EXPECT_NE(menu.Checked(item), before);
}

}  // namespace

namespace {

class InspectorLayoutTest : public rwtest::RunningProgramTest {
 protected:
  static InspectorPane& Inspector() { return gMainForm->Inspector(); }
  static double Width(int tab) { return Inspector().picInspector[tab]->Width(); }
  static double Left(int tab) { return Inspector().picInspector[tab]->Left(); }
  static void Frame(double width) {
    Inspector().picBottomFrame->SetWidth(width);
    Inspector().ArrangeInspector(0);
  }
  static bool Marked(const char* key) {
    cPopupMenu& menu = *gMainForm->m_cMenu;
    return menu.Checked(menu.IndexForKey(QLatin1String(key)));
  }
};

TEST_F(InspectorLayoutTest, AWideFrameSharesTheRestBetweenTheDetailsAndTaggingTabs) {
  Frame(1245);
  EXPECT_EQ(Width(2), 356);
  EXPECT_EQ(Width(4), 166);
  EXPECT_EQ(Width(1), Width(3));
  EXPECT_NEAR(Width(1), (1245 - 356 - 166 - 2) / 2.0, 1);
  EXPECT_EQ(Left(2), Left(1) + Width(1) - 1) << "tabs 1, 2, 4, 3 from the left";
  EXPECT_EQ(Left(4), Left(2) + Width(2));
  EXPECT_EQ(Left(3), Left(4) + Width(4) - 1);
  EXPECT_TRUE(Marked("mnuViewExpandSpecs") && Marked("mnuViewExpandCataloguing"));
  EXPECT_EQ(Inspector().lblCollapseTab[1]->Caption(), QStringLiteral("3"));
  Inspector().imgTab[2]->Click();  // the heading toggles as the arrow does
  EXPECT_EQ(Width(2), 23);
  EXPECT_FALSE(Marked("mnuViewExpandPreview"));
}

TEST_F(InspectorLayoutTest, ANarrowerFrameCollapsesTheDetailsTabAndNeverGoesBelow700) {
  Frame(1245);
  Frame(1244);
  EXPECT_EQ(Width(1), 21) << "collapsed";
  EXPECT_EQ(Width(3), 1244 - 21 - 356 - 166 - 2);
  EXPECT_FALSE(Marked("mnuViewExpandSpecs"));
  EXPECT_EQ(Inspector().lblCollapseTab[1]->Caption(), QStringLiteral("4"));
  Inspector().lblCollapseTab_Click(3);  // the tagging tab collapsed: the details tab takes the rest
  EXPECT_EQ(Width(3), 138);
  EXPECT_EQ(Width(1), 1244 - 356 - 138 - 166 - 2) << "the details tab takes the rest";
  Frame(600);
  EXPECT_EQ(Inspector().picBottomFrame->Width(), 700);

  // 1024 wide, the details tab opened: the collapsed tagging tab keeps its boxes and headings whole.
  Frame(1018);
  if (Width(1) != 21) Inspector().lblCollapseTab_Click(1);
  rwtest::ClickAt(*Inspector().lblCollapseTab[1]);
  ASSERT_EQ(Width(1), 1018 - 356 - 138 - 166 - 2);
  ASSERT_EQ(Width(3), 138);
  InspectorPane& pane = Inspector();
  for (const QWidget* box : std::initializer_list<const QWidget*>{
           pane.picThumbnail, pane.lstFileTags, pane.lblTagListScroll[0], pane.lblTagListScroll[1],
           pane.flexFileDetails, pane.tbCataloguing}) {
    EXPECT_TRUE(pane.picInspector[3]->rect().contains(box->geometry())) << box->objectName().toStdString();
  }
  const int column = pane.flexFileDetails->ColWidth(0) / gTwipsPerPixelX;
  for (const char* heading : {" Title / Alias", " File Description"})
    EXPECT_LE(QFontMetrics(pane.flexFileDetails->font()).horizontalAdvance(QLatin1String(heading)), column) << heading;
}

TEST_F(InspectorLayoutTest, EveryTabIsBackedByTheSkinsStripAtItsSize) {
  Frame(1245);
  for (int tab = 1; tab <= 4; ++tab) {
    const QPixmap& back = Inspector().picInspector[tab]->Picture();
    ASSERT_FALSE(back.isNull()) << tab;
    EXPECT_EQ(back.size(), Inspector().picInspector[tab]->size()) << tab;
  }
  Inspector().lblCollapseTab_Click(4);
  EXPECT_EQ(Inspector().picInspector[4]->Picture().width(), 23) << "a collapsed tab is repainted at its new width";
}

TEST_F(InspectorLayoutTest, ALongFileNameEndsInDotsWithoutATrailingBlank) {
  ctl::Label& label = *Inspector().lblFileData[0];
  label.SetWidth(80);
  EXPECT_EQ(InspectorPane::FitCaption(label, QStringLiteral("Short ")), QStringLiteral("Short "));
  const QString fitted = InspectorPane::FitCaption(label, QStringLiteral("A rather long name of a film.mkv "));
  EXPECT_TRUE(fitted.endsWith(QStringLiteral("..."))) << fitted.toStdString();
  EXPECT_FALSE(fitted.contains(QStringLiteral(" ...")));
  EXPECT_LE(QFontMetrics(label.font()).horizontalAdvance(fitted), 80);
}

}  // namespace
