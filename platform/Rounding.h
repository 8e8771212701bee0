#pragma once
// Rounding as the program's arithmetic expects it: half to even ("banker's"),
// for every conversion of a fractional value to a whole number.
#include <cmath>
#include <cstdint>

// Nearest whole value, ties to the even one: 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
// std::nearbyint follows the current rounding mode, which the program never changes.
inline double RoundHalfEven(double value) { return std::nearbyint(value); }

// Rounds to `digits` decimals, ties to even (Round(2.675, 2) is 2.67 or 2.68
// depending on the binary value, as with any double arithmetic).
double RoundHalfEven(double value, int digits);

// Whole-number conversions with the ranges of a 32-bit and a 16-bit integer;
// a value out of range raises error 6 (overflow).
int32_t CLng(double value);
int16_t CInt(double value);
// 64-bit conversion, same rounding; out of range raises error 6.
int64_t CLngLng(double value);
