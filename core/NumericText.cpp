#include "core/NumericText.h"

#include "platform/Rounding.h"

#include <QRegularExpression>

#include <locale.h>
#include <stdlib.h>
#include <cmath>
#include <limits>

namespace {

template <typename T>
std::optional<T> RoundInto(double value) {
  const double rounded = RoundHalfEven(value);
  if (!std::isfinite(rounded)) return std::nullopt;
  if (rounded < static_cast<double>(std::numeric_limits<T>::min())) return std::nullopt;
  if (rounded > static_cast<double>(std::numeric_limits<T>::max())) return std::nullopt;
  return static_cast<T>(rounded);
}

}  // namespace

QString TrimChar(const QString& text, QChar c) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && text.at(first) == c) ++first;
  while (last > first && text.at(last - 1) == c) --last;
  return text.mid(first, last - first);
}

std::optional<double> ParseNumericText(const QString& text) {
  static const QRegularExpression kNumber(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
  const QString trimmed = TrimBlanks(text);
  if (!kNumber.match(trimmed).hasMatch()) return std::nullopt;
  // strtod_l with the "C" locale: locale-independent, and an overflow gives
  // +-HUGE_VAL (a number we cannot store) while an underflow gives about 0.
  static const locale_t kCLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
  const QByteArray latin = trimmed.toLatin1();
  char* end = nullptr;
  const double value = strtod_l(latin.constData(), &end, kCLocale);
  if (end != latin.constData() + latin.size()) return std::nullopt;
  return value;
}

std::optional<int32_t> ToInt32(double value) { return RoundInto<int32_t>(value); }
std::optional<int16_t> ToInt16(double value) { return RoundInto<int16_t>(value); }

int32_t TextToInt32(const QString& text, int32_t fallback) {
  const std::optional<double> number = ParseNumericText(text);
  if (!number) return fallback;
  return ToInt32(*number).value_or(fallback);
}

int16_t TextToInt16(const QString& text, int16_t fallback) {
  const std::optional<double> number = ParseNumericText(text);
  if (!number) return fallback;
  return ToInt16(*number).value_or(fallback);
}
