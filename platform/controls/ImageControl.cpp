#include "platform/controls/ImageControl.h"

#include <QPainter>

namespace ctl {

Image::Image(QWidget* parent) : Control(parent) { setFocusPolicy(Qt::NoFocus); }

void Image::SetPicture(const QPixmap& picture) {
  picture_ = picture;
  if (!stretch_ && !picture_.isNull()) resize(picture_.size());
  update();
}

void Image::SetStretch(bool stretch) {
  stretch_ = stretch;
  if (!stretch_ && !picture_.isNull()) resize(picture_.size());
  update();
}

void Image::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter painter(this);
  if (stretch_) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), picture_);
  } else {
    painter.drawPixmap(0, 0, picture_);
  }
}

}  // namespace ctl
