// The main window's inspector services that other parts call. So far they
// place the four tabs side by side and leave the content alone; the
// inspector itself comes with its own work.
#include "mainwindow/frmReelwise.h"

#include "mainwindow/cPopupMenu.h"

void frmReelwise::ArrangeInspector() {
  if (isMinimized() || gWindowMode == 2) return;
  double left = 0;
  for (int i = 1; i <= 4; ++i) {
    const double width = m_InspectorTabs[static_cast<size_t>(i - 1)].FullWidth;
    picInspector[i]->Move(left, 0, width, picBottomFrame->ScaleHeight());
    left += width;
  }
}

void frmReelwise::ClearInspector() {}

void frmReelwise::ResetInspectorHistory() {}

// Loads the item's file into the inspector and the preview player.
void frmReelwise::LoadInspector(ResultItem&, bool& Loaded) { Loaded = false; }

// Expands or collapses the tab; the View menu's mark of the tab follows.
void frmReelwise::lblCollapseTab_Click(int16_t Index) {
  static const char* const keys[] = {"", "mnuViewExpandSpecs", "mnuViewExpandPreview", "mnuViewExpandCataloguing",
                                     "mnuViewExpandSegments"};
  if (Index < 1 || Index > 4 || !m_cMenu) return;
  const int item = m_cMenu->IndexForKey(QLatin1String(keys[Index]));
  m_cMenu->SetChecked(item, !m_cMenu->Checked(item));
  ArrangeInspector();
}
