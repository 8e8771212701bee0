#include "core/ShownNumbers.h"

#include "core/modReelwise.h"

#include <QDateTime>
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

// The first digit of the locale's own digits: '0' for the digits 0 to 9.
char16_t ZeroOf(const QLocale& locale) {
  const QString zero = locale.zeroDigit();
  return zero.size() == 1 ? zero.front().unicode() : u'0';
}

// A locale's mark, when it is one character.
QChar MarkOf(const QString& mark, QChar otherwise) { return mark.size() == 1 ? mark.front() : otherwise; }

// The marks that steer the direction of the text around them: a locale that
// writes from right to left sets them between its digits ("9\u200F/12\u200F/2026"),
// and among the digits 0 to 9 they turn the parts around ("2026/12/9").
bool DirectionMark(QChar c) {
  const char16_t u = c.unicode();
  return u == 0x200E || u == 0x200F || u == 0x061C || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

// A number the locale wrote, in the digits 0 to 9 (durations and the
// list's sort know no others), and with a no-break space where the locale
// groups with a blank, so that it never breaks across lines. A locale of
// other digits writes its own decimal and group marks too ("1٬234٫5"): they
// become "." and ",", the marks of the digits 0 to 9, so that a number never
// mixes two conventions; its marks of direction go too, so that the parts
// read from left to right in the order written. Dates keep their blanks:
// they stand in sentences.
QString Plain(QString number, const QLocale& locale, bool oneLine = true) {
  const char16_t z = ZeroOf(locale);
  const QChar point = MarkOf(locale.decimalPoint(), QLatin1Char('.'));
  const QChar group = MarkOf(locale.groupSeparator(), QLatin1Char(','));
  if (z != u'0') number.removeIf(DirectionMark);
  for (QChar& c : number) {
    if (z != u'0') {
      if (c.unicode() >= z && c.unicode() <= z + 9) c = QChar(u'0' + (c.unicode() - z));
      if (c == point) c = QLatin1Char('.');
      if (c == group) c = QLatin1Char(',');
    }
    if (oneLine && c == QLatin1Char(' ')) c = kNoBreakSpace;
  }
  return number;
}

}  // namespace

QString Count(int64_t count) {
  const QLocale locale = ShownLocale(Grouping::Thousands);
  return Plain(locale.toString(static_cast<qlonglong>(count)), locale);
}

QString BitRate(int64_t kbps) { return Count(kbps); }

// A locale of other digits writes dates in its short form with the digits 0
// to 9 and the program's own words ("PM", not the locale's letter, which
// among Latin digits turned the line right to left).
QString Date(const QDate& date) {
  const QLocale locale;
  if (!date.isValid()) return {};
  const QString text = ZeroOf(locale) == u'0' ? locale.toString(date, QLocale::ShortFormat)
                                              : QLocale::c().toString(date, locale.dateFormat(QLocale::ShortFormat));
  return Plain(text, locale, false);
}

QString DateTime(const QDateTime& dateTime) {
  const QLocale locale;
  if (!dateTime.isValid()) return {};
  const QString text = ZeroOf(locale) == u'0'
                           ? locale.toString(dateTime, QLocale::ShortFormat)
                           : QLocale::c().toString(dateTime, locale.dateTimeFormat(QLocale::ShortFormat));
  return Plain(text, locale, false);
}

// The number in the locale's style, the unit in the program's words (the
// locale's own unit names, "Mo" or an Arabic word, would stand beside the
// program's "bytes"): units of 1,024, two decimals from KB on.
QString DataSize(int64_t bytes) {
  static const char* const kUnits[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
  const QLocale locale;
  const uint64_t size = bytes < 0 ? 0 - static_cast<uint64_t>(bytes) : static_cast<uint64_t>(bytes);
  if (size < 1024) return Count(bytes) + QStringLiteral("\u00A0bytes");
  int unit = 0;
  while (unit + 1 < 6 && size >= (uint64_t{1} << (10 * (unit + 2)))) ++unit;
  const double value = static_cast<double>(bytes) / static_cast<double>(uint64_t{1} << (10 * (unit + 1)));
  return Plain(locale.toString(value, 'f', 2), locale) + kNoBreakSpace + QLatin1String(kUnits[unit]);
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
  const QLocale locale;
  return ZeroOf(locale) == u'0' ? MarkOf(locale.decimalPoint(), QLatin1Char('.')) : QLatin1Char('.');
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
