// The main window's inspector services that other parts call. So far they
// place the four tabs side by side and leave the content alone; the
// inspector itself comes with its own work.
#include "mainwindow/frmReelwise.h"

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
