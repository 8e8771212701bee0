#pragma once
// Numbers written as text by the program or the user (settings, INI values).
// They are read with "." as the decimal separator whatever the locale, so a
// settings file or an INI file means the same on every machine.
#include <QString>

#include <cstdint>
#include <optional>

// The value of text such as "12", " -3.5 ", "1e3" or ".5" (blanks around it are
// allowed); nothing for any other text, including "2,5", "&HFF" and "".
std::optional<double> ParseNumericText(const QString& text);

// A number rounded half to even into the 32-bit (16-bit) range; nothing when it
// is not finite or lies outside that range.
std::optional<int32_t> ToInt32(double value);
std::optional<int16_t> ToInt16(double value);

// Numeric text as a whole number of that range, else `fallback`.
int32_t TextToInt32(const QString& text, int32_t fallback);
int16_t TextToInt16(const QString& text, int16_t fallback);

// The text without `c` at its start and end: trimming "\" from "\A\B\" gives "A\B".
QString TrimChar(const QString& text, QChar c);
// The text with leading and trailing blanks (spaces only) removed.
inline QString TrimBlanks(const QString& text) { return TrimChar(text, QLatin1Char(' ')); }
