#include "platform/controls/TextInk.h"

#include <QFontMetricsF>

#include <cmath>

namespace ctl {

int InkAboveAscent(const QFont& font, const QString& text) {
  if (text.isEmpty()) return 0;
  const QFontMetricsF metrics(font);
  const double above = -metrics.tightBoundingRect(text).top() - metrics.ascent();
  return above > 0 ? static_cast<int>(std::ceil(above)) : 0;
}

int InkBelowDescent(const QFont& font, const QString& text) {
  if (text.isEmpty()) return 0;
  const QFontMetricsF metrics(font);
  const double below = metrics.tightBoundingRect(text).bottom() - metrics.descent();
  return below > 0 ? static_cast<int>(std::ceil(below)) : 0;
}

}  // namespace ctl
