// The inspector's part of the main window: a rating shown in the segment list
// and the tabs' collapse command with its menu mark.
#include "platform/cPopupMenu.h"
#include "tests/app/ProgramRun.h"

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
