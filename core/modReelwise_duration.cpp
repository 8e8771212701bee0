#include "core/modReelwise.h"

#include "platform/Rounding.h"

#include <cmath>
#include <limits>

namespace {

// The time as whole milliseconds, rounded once (half to even), so that hours,
// minutes and seconds all agree (3599.9996 s is 1:00:00.00, never 0:00:00.00)
// and 0.29 s keeps its ".29".
int64_t WholeMilliseconds(double seconds, bool hundredths) {
  if (!(seconds > 0)) return 0;  // negative and NaN
  const double x = hundredths ? seconds : std::floor(seconds);
  const double ms = RoundHalfEven(x * 1000.0);
  constexpr double kLimit = 9.0e18;  // inside the 64-bit range
  return ms >= kLimit ? static_cast<int64_t>(kLimit) : static_cast<int64_t>(ms);
}

QString TwoDigits(int64_t value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

}  // namespace

namespace modReelwise {

QString FormatDuration(double seconds, bool colonStyle, bool hundredths) {
  const int64_t ms = WholeMilliseconds(seconds, hundredths);
  const int64_t hours = ms / 3600000;
  const int64_t minutes = ms % 3600000 / 60000;
  const int64_t secondsPart = ms % 60000;
  QString secondsText = TwoDigits(secondsPart / 1000);
  if (hundredths) secondsText += QLatin1Char('.') + TwoDigits(secondsPart % 1000 / 10);
  if (colonStyle) {
    return QString::number(hours) + QLatin1Char(':') + TwoDigits(minutes) + QLatin1Char(':') + secondsText;
  }
  return QString::number(hours) + QStringLiteral("h:") + TwoDigits(minutes) + QStringLiteral("m:") + secondsText +
         QLatin1Char('s');
}

}  // namespace modReelwise
