// The carousel canvas's mouse, key, focus and drag events. Clicks and drags
// count only on the front card (the carousel's hot spot); the left button's
// clicks belong to the carousel's own keys, so only the right (the results'
// context menu) and the middle (back to the tiles) act here.
#include "browser/ResultsPane.h"

#include "carousel/CarouselPane.h"
#include "carousel/cCarousel.h"
#include "library/ResultItem.h"
#include "platform/DragController.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/VbInput.h"
#include "ui/DragState.h"
#include "ui/SchemeColours.h"

#include <cmath>

namespace {

constexpr double kCarouselDragThreshold = 10;

bool OnFrontCard(double X, double Y) {
  bool inside = false;
  if (gCarousel) gCarousel->InsideHotSpot(X, Y, inside);
  return inside;
}

}  // namespace

void ResultsPane::WireCarouselCanvas() {
  ucCanvas* canvas = carousel_->ucCarouselCanvas;
  canvas->DblClick = [this] { ucCarouselCanvas_DblClick(); };
  canvas->KeyDown = [this](int& key, int) { ucCarouselCanvas_KeyDown(key); };
  canvas->GotFocus = [this] { ucCarouselCanvas_GotFocus(); };
  canvas->LostFocus = [this] { ucCarouselCanvas_LostFocus(); };
  canvas->MouseDown = [this](int b, int s, double x, double y) { ucCarouselCanvas_MouseDown(b, s, x, y); };
  canvas->MouseMove = [this](int b, int s, double x, double y) { ucCarouselCanvas_MouseMove(b, s, x, y); };
  canvas->DragOver = [this](ctl::Control& s, double x, double y, int st) { ucCarouselCanvas_DragOver(s, x, y, st); };
  canvas->DragDrop = [this](ctl::Control& s, double x, double y) { ucCarouselCanvas_DragDrop(s, x, y); };
}

void ResultsPane::ucCarouselCanvas_DblClick() { BrowserDblClick(gBrowserIndex); }

void ResultsPane::ucCarouselCanvas_KeyDown(int& KeyCode) {
  if (gCarousel) gCarousel->KeyPress(KeyCode);
}

void ResultsPane::ucCarouselCanvas_GotFocus() { SetFocusToBrowser(); }

void ResultsPane::ucCarouselCanvas_LostFocus() { picRightFrame->SetBackColor(gSchemeColour3); }

void ResultsPane::ucCarouselCanvas_MouseDown(int Button, int, double X, double Y) {
  if (Button == ctl::vbLeftButton || !OnFrontCard(X, Y)) return;
  if (Button == ctl::vbRightButton) {
    host_.ShowResultsPopup();
  } else if (Button == ctl::vbMiddleButton) {
    host_.MainToolbarHandler(QStringLiteral("mnuViewTile"));
  }
}

// The first move with the left button alone on the front card records the
// origin; the drag of the current result starts 10 pixels away from it.
void ResultsPane::ucCarouselCanvas_MouseMove(int Button, int, double X, double Y) {
  if (!OnFrontCard(X, Y)) return;
  ucCanvas& canvas = *carousel_->ucCarouselCanvas;
  GridPointer& pointer = m_CarouselPointer;
  if (Button != ctl::vbLeftButton) {
    pointer.DragArmed = false;
    if (ctl::DragController::Instance().Source() == &canvas) canvas.Drag(ctl::vbEndDrag);
    return;
  }
  if (!pointer.DragArmed) {
    pointer.DragArmed = true;
    pointer.DragStart = QPointF(std::round(X), std::round(Y));
  }
  if (std::abs(X - pointer.DragStart.x()) < kCarouselDragThreshold &&
      std::abs(Y - pointer.DragStart.y()) < kCarouselDragThreshold) {
    return;
  }
  drag_.Source = QStringLiteral("Browser");
  drag_.SegmentID = gCurrentItem.SegmentID;
  drag_.ItemSelected = gCurrentItem.Selected ? 1 : 0;
  canvas.Drag(ctl::vbBeginDrag);
}

void ResultsPane::ucCarouselCanvas_DragOver(ctl::Control& Source, double X, double Y, int State) {
  const QString icon = OnFrontCard(X, Y) ? QStringLiteral("OPENFILE") : QStringLiteral("FILE");
  carousel_->ucCarouselCanvas->SetDragIcon(host_.imglstDragIcons().DragCursor(icon));
  BrowserDragOver(Source.objectName(), State);
}

// The carousel's own drag counts only when dropped back on the front card.
void ResultsPane::ucCarouselCanvas_DragDrop(ctl::Control& Source, double X, double Y) {
  if (&Source == carousel_->ucCarouselCanvas && !OnFrontCard(X, Y)) return;
  BrowserDragDrop(0, 0, Source.objectName(), QString());
}
