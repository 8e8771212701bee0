#include "platform/controls/Frame.h"

#include <QFontMetrics>
#include <QPainter>

namespace ctl {

Frame::Frame(QWidget* parent) : Control(parent) {
  setFocusPolicy(Qt::NoFocus);
  setFont(QFont(QStringLiteral("Tahoma"), 8));
}

void Frame::SetCaption(const QString& caption) {
  caption_ = caption;
  update();
}

void Frame::SetBackColor(COLORREF colour) {
  backColor_ = colour;
  update();
}

void Frame::SetForeColor(COLORREF colour) {
  foreColor_ = colour;
  update();
}

void Frame::SetBorderStyle(int style) {
  borderStyle_ = style;
  update();
}

void Frame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ColorRefToQColor(backColor_));
  if (borderStyle_ != 1) return;
  const QFontMetrics metrics(font());
  const int top = metrics.height() / 2;
  const QRect box = rect().adjusted(0, top, -1, -1);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(box);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawRect(box.translated(1, 1).adjusted(0, 0, -1, -1));
  if (caption_.isEmpty()) return;
  const QRect text(8, 0, metrics.horizontalAdvance(caption_) + 4, metrics.height());
  painter.fillRect(text, ColorRefToQColor(backColor_));
  painter.setPen(ColorRefToQColor(foreColor_));
  painter.drawText(text, Qt::AlignCenter, caption_);
}

}  // namespace ctl
