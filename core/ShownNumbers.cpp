#include "core/ShownNumbers.h"

#include "core/modReelwise.h"

#include <QLocale>

#include <charconv>
#include <cmath>

namespace ShownNumbers {

namespace {

constexpr QChar kNoBreakSpace(0x00A0);
constexpr QChar kWordJoiner(0x2060);

// The user's locale, grouping digits or not.
QLocale ShownLocale(Grouping grouping) {
  QLocale locale;
  const QLocale::NumberOptions options = locale.numberOptions();
  locale.setNumberOptions(grouping == Grouping::Thousands ? options & ~QLocale::OmitGroupSeparator
                                                          : options | QLocale::OmitGroupSeparator);
  return locale;
}

// A number the locale wrote, in the digits 0 to 9 (durations and the
// list's sort know no others), and with a no-break space where the locale
// groups with a blank, so that it never breaks across lines.
QString Plain(QString number, const QLocale& locale) {
  const QString zero = locale.zeroDigit();
  const char16_t z = zero.size() == 1 ? zero.front().unicode() : u'0';
  for (QChar& c : number) {
    if (z != u'0' && c.unicode() >= z && c.unicode() <= z + 9) c = QChar(u'0' + (c.unicode() - z));
    if (c == QLatin1Char(' ')) c = kNoBreakSpace;
  }
  return number;
}

}  // namespace

QString Count(int64_t count) {
  const QLocale locale = ShownLocale(Grouping::Thousands);
  return Plain(locale.toString(static_cast<qlonglong>(count)), locale);
}

QString Megabytes(double bytes, Grouping grouping) {
  const QLocale locale = ShownLocale(grouping);
  const double megabytes = std::round(bytes / 1024 / 1024 * 1000) / 1000;
  return Plain(locale.toString(megabytes, 'f', 3), locale) + QStringLiteral(" MB");
}

QString FrameRate(float rate) {
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, rate);
  return QString::fromLatin1(text, static_cast<int>(written.ptr - text)).replace(QLatin1Char('.'), DecimalPoint());
}

QString Duration(double seconds, bool colonStyle, bool hundredths) {
  QString text = modReelwise::FormatDuration(seconds, colonStyle, hundredths);
  if (hundredths) text.replace(QLatin1Char('.'), DecimalPoint());
  return text;
}

QChar DecimalPoint() {
  const QString point = QLocale().decimalPoint();
  return point.size() == 1 ? point.front() : QLatin1Char('.');
}

QString OnOneLine(const QString& text) {
  QString kept;
  kept.reserve(text.size() + 4);
  for (const QChar c : text) {
    kept += c == QLatin1Char(' ') ? kNoBreakSpace : c;
    if (c == QLatin1Char(':')) kept += kWordJoiner;
  }
  return kept;
}

}  // namespace ShownNumbers
