#pragma once
// Sizes, durations and counts as the windows show them: in the user's
// locale, with its digit grouping and its decimal separator ("20,000" and
// "667.572 MB" in English, "20 000" and "667,572 MB" in French), always in
// the digits 0 to 9. A locale whose own digits are others (Arabic, Persian)
// gets the marks that go with the digits 0 to 9, "," and ".", rather than
// its own, which read wrongly among Latin digits. Dates take the locale's
// short form; under a locale of other digits in the program's own words
// ("PM") and without the marks of direction the locale sets between their
// parts, which among Latin digits turn them around. Sizes name their units
// in the program's words. Only what is shown comes through here: numbers written into
// statements, files, exports and command lines keep "." whatever the
// locale, and stored values are never touched.
#include <QChar>
#include <QString>

class QDate;
class QDateTime;

#include <cstdint>

namespace ShownNumbers {

// A count with the locale's digit grouping: "20,000".
QString Count(int64_t count);

// A bit rate in kbit/s as a count: "12,345".
QString BitRate(int64_t kbps);

// A date, or a date and time, in the locale's short form, in the digits 0
// to 9; empty when not valid.
QString Date(const QDate& date);
QString DateTime(const QDateTime& dateTime);

// A size in the largest unit it fills, two decimals: "1.21 GB".
QString DataSize(int64_t bytes);

// Whether a size groups the digits of its whole megabytes.
enum class Grouping { None, Thousands };

// Bytes as MiB with three decimals (rounded half away from zero) and " MB":
// "1,234.568 MB" grouped, "1234.568 MB" without.
QString Megabytes(double bytes, Grouping grouping);

// A frame rate in the shortest text that reads back as the same single:
// "29.97" (not the 29.9699993 of its double), "25".
QString FrameRate(float rate);

// modReelwise::FormatDuration with the locale's decimal separator before
// the hundredths: "1:02:05,45" in French.
QString Duration(double seconds, bool colonStyle, bool hundredths);

// The decimal separator of the numbers shown, for reading them back.
QChar DecimalPoint();

// The text with no place where a wrapping line may break it: blanks become
// no-break spaces and a word joiner follows each colon ("0h:00m:00s" may
// otherwise break after a colon).
QString OnOneLine(const QString& text);

}  // namespace ShownNumbers
