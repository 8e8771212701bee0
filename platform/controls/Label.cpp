#include "platform/controls/Label.h"

#include "platform/controls/TextInk.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace ctl {

Label::Label(QWidget *parent) : Control(parent) {
  setFocusPolicy(Qt::NoFocus);
  setFont(QFont(QStringLiteral("Tahoma"), 8));
}

void Label::SetCaption(const QString &caption) {
  caption_ = caption;
  ink_.reset();
  FitToCaption();
  update();
}

void Label::SetAlignment(int alignment) {
  alignment_ = alignment;
  update();
}

void Label::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  FitToCaption();
}

void Label::SetWordWrap(bool wordWrap) {
  wordWrap_ = wordWrap;
  FitToCaption();
  update();
}

void Label::SetBackStyle(int style) {
  backStyle_ = style;
  update();
}

void Label::SetBackColor(COLORREF colour) {
  backColor_ = colour;
  update();
}

void Label::SetForeColor(COLORREF colour) {
  foreColor_ = colour;
  update();
}

void Label::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    ink_.reset();
    FitToCaption();
  }
}

int Label::TextFlags() const {
  const int horizontal = alignment_ == vbRightJustify ? Qt::AlignRight
                         : alignment_ == vbCenter     ? Qt::AlignHCenter
                                                      : Qt::AlignLeft;
  return horizontal | Qt::AlignTop | (wordWrap_ ? Qt::TextWordWrap : 0);
}

int Label::CaptionInkAbove() const { return CaptionInk().above; }

const Ink &Label::CaptionInk() const {
  if (!ink_)
    ink_ = InkBeyondLines(font(), caption_);
  return *ink_;
}

// An auto-sized label is as high as its lines and the ink over the first
// and under the last.
void Label::FitToCaption() {
  if (!autoSize_)
    return;
  const QFontMetricsF metrics(font());
  const int ink = CaptionInk().above + CaptionInk().below;
  if (wordWrap_) {
    const QRectF bounds = metrics.boundingRect(
        QRectF(0, 0, std::max(1, width()), 1e6), TextFlags(), caption_);
    resize(width(), static_cast<int>(std::ceil(bounds.height())) + ink);
  } else {
    const QRectF bounds =
        metrics.boundingRect(QRectF(0, 0, 1e6, 1e6), TextFlags(), caption_);
    resize(static_cast<int>(std::ceil(bounds.width())),
           static_cast<int>(std::ceil(metrics.height())) + ink);
  }
}

// The arrow symbols of the desktop's symbol fonts, which this machine does
// not have: the digits 3 to 6 draw as triangles in an ordinary font.
QString Label::SymbolText(const QString &fontName, const QString &caption) {
  if (fontName.compare(QLatin1String("Webdings"), Qt::CaseInsensitive) != 0 &&
      fontName.compare(QLatin1String("Marlett"), Qt::CaseInsensitive) != 0)
    return caption;
  QString text = caption;
  for (QChar &c : text) {
    switch (c.unicode()) {
    case '3':
      c = QChar(0x25C0);
      break; // left
    case '4':
      c = QChar(0x25B6);
      break; // right
    case '5':
      c = QChar(0x25B2);
      break; // up
    case '6':
      c = QChar(0x25BC);
      break; // down
    default:
      break;
    }
  }
  return text;
}

void Label::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  if (backStyle_ == 1)
    painter.fillRect(rect(), ColorRefToQColor(backColor_));
  painter.setPen(ColorRefToQColor(foreColor_));
  const QString shown = SymbolText(font().family(), caption_);
  if (shown != caption_) {
    QFont symbols = font();
    symbols.setFamily(QStringLiteral("DejaVu Sans"));
    painter.setFont(symbols);
  }
  // Text set from the top goes down by the ink above its ascent, as far as
  // the label has room below its lines.
  const QFontMetricsF metrics(painter.font());
  const QRectF lines = metrics.boundingRect(QRectF(rect()), TextFlags(), shown);
  const int room = height() - static_cast<int>(std::ceil(lines.height()));
  const int down = std::clamp(CaptionInkAbove(), 0, std::max(room, 0));
  painter.drawText(rect().adjusted(0, down, 0, down), TextFlags(), shown);
}

} // namespace ctl
