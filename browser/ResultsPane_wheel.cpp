// The mouse wheel over the main window: it scrolls the grid that holds the
// focus by one row, or turns the carousel by one entry.
#include "browser/ResultsPane.h"

#include "browser/ResultGrids.h"
#include "browser/cToolTipHost.h"
#include "carousel/CarouselPane.h"
#include "carousel/cCarousel.h"
#include "carousel/ucCanvas.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "library/clsRWLibrary.h"
#include "platform/ErrorGuard.h"

#include <QApplication>

#include <algorithm>

namespace {

// The control of the window that holds the focus, or whose inner view does.
template <typename T>
T* FocusedControl(QWidget* window) {
  for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
    if (auto* control = dynamic_cast<T*>(widget)) return control;
    if (widget == window) break;
  }
  return nullptr;
}

// Failures inside the wheel's steps are passed over: the next step runs.
void Quietly(const std::function<void()>& step) { ErrorGuard({.quiet = true}).Run(step); }

}  // namespace

void ResultsPane::OnMouseWheel(int32_t, int32_t Delta, int32_t, int32_t) {
  QWidget* window = picRight->window();
  if (ctl::FlexGrid* grid = FocusedControl<ctl::FlexGrid>(window)) {
    WheelScrollBar(*grid, Delta);
  } else if (FocusedControl<ucCanvas>(window)) {
    WheelCarousel(Delta);
  }
}

// One wheel message moves one row, whatever its size: toward the user (a
// negative delta) down, else up.
void ResultsPane::WheelScrollBar(ctl::FlexGrid& grid, int32_t Delta) {
  Quietly([this] {
    if (m_cToolTips) m_cToolTips->DestroyTip();
  });
  Quietly([&] {
    const int row = Delta < 1 ? std::min(grid.TopRow() + 1, grid.Rows() - 1)
                              : std::max(grid.TopRow() - 1, grid.FixedRows());
    grid.SetTopRow(row);
  });
  // The browser's bar follows only its own grid, never the inspector's. A
  // top row past the bar's end leaves the bar where it is (at its end):
  // the bar would otherwise pull the grid back.
  const bool browserGrid = (gBrowserMode == 1 && &grid == flexThumbsTiled) ||
                           (gBrowserMode == 2 && &grid == flexThumbsList);
  if (browserGrid && grid.TopRow() <= scrollFlex->Max()) Quietly([&] { scrollFlex->SetValue(grid.TopRow()); });
}

void ResultsPane::WheelCarousel(int32_t Delta) {
  if (!gCarousel) return;
  Quietly([Delta] { gCarousel->SetCarouselIndex(gBrowserIndex + (Delta < 1 ? 1 : -1), true, true); });
}

void ResultsPane::cmbBrowserHistory_Click() {
  if (gAutoRefresh && gLibrary) gLibrary->RefreshResults();
  cmbBrowserHistory->setFocus(Qt::OtherFocusReason);
}
