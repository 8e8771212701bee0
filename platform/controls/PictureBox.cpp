#include "platform/controls/PictureBox.h"

#include <qdrawutil.h>
#include <QPainter>
#include <QResizeEvent>

namespace ctl {

PictureBox::PictureBox(QWidget* parent) : Control(parent) {}

PictureBox::~PictureBox() = default;

void PictureBox::SetScaleMode(int mode) {
  scaleMode_ = mode;
  SetEventUnits(mode == vbTwips ? ScaleUnits::Twips : ScaleUnits::Pixels);
}

double PictureBox::ScaleWidth() const {
  return PixelsToUnitsX(InnerRect().width(), scaleMode_ == vbTwips ? ScaleUnits::Twips : ScaleUnits::Pixels);
}

double PictureBox::ScaleHeight() const {
  return PixelsToUnitsY(InnerRect().height(), scaleMode_ == vbTwips ? ScaleUnits::Twips : ScaleUnits::Pixels);
}

void PictureBox::SetBorderStyle(int style) {
  borderStyle_ = style;
  setContentsMargins(Border(), Border(), Border(), Border());
  update();
}

void PictureBox::SetBackColor(COLORREF colour) {
  backColor_ = colour;
  update();
}

void PictureBox::SetPicture(const QPixmap& picture) {
  picture_ = picture;
  update();
}

QRect PictureBox::InnerRect() const { return rect().adjusted(Border(), Border(), -Border(), -Border()); }

ImageSurface& PictureBox::Surface() {
  const QRect inner = InnerRect();
  if (!surface_ || surface_->Width() != std::max(1, inner.width()) ||
      surface_->Height() != std::max(1, inner.height())) {
    // The drawing grows and shrinks with the box, keeping what it holds.
    auto resized = std::make_unique<ImageSurface>(inner.width(), inner.height());
    if (surface_) {
      surface_->Flush();
      QPainter painter(&resized->Image());
      painter.drawImage(0, 0, surface_->Image());
      painter.end();
      resized->MarkDirty();
    }
    surface_ = std::move(resized);
  }
  return *surface_;
}

void PictureBox::Cls() {
  surface_.reset();
  update();
}

void PictureBox::Compose(QPainter& painter, const QRect& inner) const {
  painter.fillRect(inner, ColorRefToQColor(backColor_));
  if (!picture_.isNull()) painter.drawPixmap(inner.topLeft(), picture_);
  if (surface_) {
    surface_->Flush();
    painter.drawImage(inner.topLeft(), surface_->Image());
  }
}

QPixmap PictureBox::Image() const {
  const QRect inner = InnerRect();
  QPixmap image(std::max(1, inner.width()), std::max(1, inner.height()));
  QPainter painter(&image);
  Compose(painter, QRect(QPoint(0, 0), image.size()));
  return image;
}

COLORREF PictureBox::Point(double x, double y) const {
  const ScaleUnits units = scaleMode_ == vbTwips ? ScaleUnits::Twips : ScaleUnits::Pixels;
  const QImage image = Image().toImage();
  const int px = UnitsToPixelsX(x, units);
  const int py = UnitsToPixelsY(y, units);
  if (!image.rect().contains(px, py)) return static_cast<COLORREF>(-1);
  return QColorToColorRef(image.pixelColor(px, py));
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (Border() > 0) qDrawShadePanel(&painter, rect(), palette(), true, Border());
  Compose(painter, InnerRect());
}

void PictureBox::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Raise(Resize);
}

}  // namespace ctl
