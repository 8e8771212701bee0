#include "carousel/ucCanvas.h"

#include "ui/CairoObject.h"
#include "ui/modCairo.h"

#include <QPainter>
#include <QResizeEvent>

ucCanvas::ucCanvas(QWidget* parent)
    : Control(parent), surface_(modCairo::GetCairo()->CreateSurface(kSurfaceWidth, kSurfaceHeight)) {
  context_ = surface_->Context();
  // Whatever the container's units, the carousel's hot spots are in pixels.
  SetEventUnits(ctl::ScaleUnits::Pixels);
  setFocusPolicy(Qt::StrongFocus);
  // The copy covers every pixel: nothing need be erased first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

// The copy replaces what was there (no blending with what lies below), and
// is smoothed so that a shrunk or grown drawing keeps its thin lines.
void ucCanvas::Copy(QPainter& painter) const {
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  if (!surface_) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  surface_->Surface().Flush();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(rect(), surface_->Surface().Image());
}

QImage ucCanvas::Shown() const {
  QImage image(std::max(1, width()), std::max(1, height()), QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  Copy(painter);
  return image;
}

void ucCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Copy(painter);
}

void ucCanvas::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (context_) Raise(RefreshContents, *context_);
}

void ucCanvas::keyPressEvent(QKeyEvent* event) {
  if (!repeats_.Acts(*event)) return;
  Control::keyPressEvent(event);
  repeats_.Done();
}
