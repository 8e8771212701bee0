#pragma once
// One value of a database row or statement parameter: NULL, a 64-bit integer,
// a real, UTF-8 text or a blob. Booleans are stored as 1/0, dates as ISO text.
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <variant>

class SqlValue {
 public:
  enum class Type { Null, Integer, Real, Text, Blob };

  SqlValue() = default;
  SqlValue(std::nullptr_t) {}
  SqlValue(bool value) : value_(int64_t{value ? 1 : 0}) {}
  template <typename T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, int> = 0>
  SqlValue(T value) : value_(static_cast<int64_t>(value)) {}
  SqlValue(double value) : value_(value) {}
  SqlValue(float value) : value_(static_cast<double>(value)) {}
  SqlValue(const QString& text) : value_(text) {}
  SqlValue(QString&& text) : value_(std::move(text)) {}
  SqlValue(const char* utf8) : value_(QString::fromUtf8(utf8)) {}
  // ISO text ("yyyy-MM-dd", "yyyy-MM-dd HH:mm:ss") so dates compare as text.
  SqlValue(const QDate& date);
  SqlValue(const QDateTime& dateTime);

  static SqlValue Blob(const QByteArray& bytes);

  Type type() const { return static_cast<Type>(value_.index()); }
  bool IsNull() const { return type() == Type::Null; }

  // Conversions in the spirit of the program's loose typing: NULL reads as 0 or
  // "", numeric text reads as its number (with "." as decimal separator), a
  // real read as a whole number is rounded half to even.
  int64_t toInt64() const;
  int toInt() const;
  double toDouble() const;
  bool toBool() const;
  QString toString() const;
  // Blob bytes, or the UTF-8 of any other value.
  QByteArray toBytes() const;
  QDate toDate() const;

  bool operator==(const SqlValue& other) const { return value_ == other.value_; }
  bool operator!=(const SqlValue& other) const { return !(*this == other); }

 private:
  // Text is held as QString: rows are read once and their texts used many times.
  std::variant<std::monostate, int64_t, double, QString, QByteArray> value_;
};

// The shortest text that reads back as the same double, always with ".".
QString FormatReal(double value);

// A key that orders stored values as SQLite does under the BINARY collation:
// NULL first, then numbers by value, then texts by code point (as their UTF-8
// bytes compare), then blobs by their bytes. Equal keys are equal values (an
// integer and a real of one value are). A text with no unit from U+D800 up
// (no surrogate, nothing from U+E000) keeps its own string: no copy.
struct SqlOrderKey {
  int storageClass = 0;
  QString units;  // compared unit by unit, unsigned

  // Negative, 0 or positive. Keys are mostly short texts, which a plain loop
  // compares faster than a call into the string library.
  friend int Compare(const SqlOrderKey& a, const SqlOrderKey& b) {
    if (a.storageClass != b.storageClass) return a.storageClass - b.storageClass;
    const qsizetype common = std::min(a.units.size(), b.units.size());
    const char16_t* x = reinterpret_cast<const char16_t*>(a.units.constData());
    const char16_t* y = reinterpret_cast<const char16_t*>(b.units.constData());
    for (qsizetype i = 0; i < common; ++i) {
      if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
    }
    return a.units.size() < b.units.size() ? -1 : a.units.size() > b.units.size() ? 1 : 0;
  }
};
SqlOrderKey OrderKey(const SqlValue& value);
