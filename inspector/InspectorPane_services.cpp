// The inspector's services that other parts call. Until the inspector is
// built they place the four tabs side by side and leave the content alone.
#include "inspector/InspectorPane.h"

#include "core/modReelwise.h"
#include "library/ResultItem.h"

void InspectorPane::ArrangeInspector() {
  if (picBottom->window()->isMinimized() || gWindowMode == 2) return;
  double left = 0;
  for (int i = 1; i <= 4; ++i) {
    const double width = m_InspectorTabs[static_cast<size_t>(i - 1)].FullWidth;
    picInspector[i]->Move(left, 0, width, picBottomFrame->ScaleHeight());
    left += width;
  }
}

// Expands or collapses the tab; the View menu's mark of the tab follows.
void InspectorPane::lblCollapseTab_Click(int16_t Index) {
  static const char* const keys[] = {"", "mnuViewExpandSpecs", "mnuViewExpandPreview", "mnuViewExpandCataloguing",
                                     "mnuViewExpandSegments"};
  if (Index < 1 || Index > 4) return;
  host_.ToggleMenuCheck(QLatin1String(keys[Index]));
  ArrangeInspector();
}

void InspectorPane::ShowSegmentRating(int32_t SegmentID, int16_t Rating) {
  const QString id = QString::number(SegmentID);
  for (int row = 1; row < flexSegments->Rows(); ++row) {
    if (flexSegments->TextMatrix(row, 4) == id) flexSegments->SetTextMatrix(row, 5, QString::number(Rating));
  }
}
