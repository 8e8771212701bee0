#include "platform/controls/TextInk.h"

#include <QFontMetricsF>

#include <cmath>

namespace ctl {

int InkAboveAscent(const QFont& font, const QString& text) { return InkBeyondLines(font, text).above; }

int InkBelowDescent(const QFont& font, const QString& text) { return InkBeyondLines(font, text).below; }

Ink InkBeyondLines(const QFont& font, const QString& text) {
  if (text.isEmpty()) return {};
  const QFontMetricsF metrics(font);
  const QRectF ink = metrics.tightBoundingRect(text);
  const auto whole = [](double beyond) { return beyond > 0 ? static_cast<int>(std::ceil(beyond)) : 0; };
  return {whole(-ink.top() - metrics.ascent()), whole(ink.bottom() - metrics.descent())};
}

}  // namespace ctl
