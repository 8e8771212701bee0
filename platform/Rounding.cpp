#include "platform/Rounding.h"

#include "platform/RWError.h"

#include <limits>

namespace {

template <typename T>
T ConvertChecked(double value) {
  const double rounded = RoundHalfEven(value);
  if (!std::isfinite(rounded) || rounded < static_cast<double>(std::numeric_limits<T>::min()) ||
      rounded >= -static_cast<double>(std::numeric_limits<T>::min())) {
    throw RWError(kErrOverflow, QStringLiteral("Overflow"));
  }
  return static_cast<T>(rounded);
}

}  // namespace

double RoundHalfEven(double value, int digits) {
  if (digits <= 0) return RoundHalfEven(value);
  const double scale = std::pow(10.0, digits);
  const double scaled = value * scale;
  if (!std::isfinite(scaled)) return value;
  return RoundHalfEven(scaled) / scale;
}

int32_t CLng(double value) { return ConvertChecked<int32_t>(value); }
int16_t CInt(double value) { return ConvertChecked<int16_t>(value); }
int64_t CLngLng(double value) { return ConvertChecked<int64_t>(value); }
