#pragma once
// One value of a database row or statement parameter: NULL, a 64-bit integer,
// a real, UTF-8 text or a blob. Booleans are stored as 1/0, dates as ISO text.
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <type_traits>

class SqlValue {
 public:
  enum class Type { Null, Integer, Real, Text, Blob };

  SqlValue() = default;
  SqlValue(std::nullptr_t) {}
  SqlValue(bool value) : type_(Type::Integer), integer_(value ? 1 : 0) {}
  template <typename T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, int> = 0>
  SqlValue(T value) : type_(Type::Integer), integer_(static_cast<int64_t>(value)) {}
  SqlValue(double value) : type_(Type::Real), real_(value) {}
  SqlValue(float value) : type_(Type::Real), real_(value) {}
  SqlValue(const QString& text) : type_(Type::Text), bytes_(text.toUtf8()) {}
  SqlValue(const char* utf8) : type_(Type::Text), bytes_(utf8) {}
  // ISO text ("yyyy-MM-dd", "yyyy-MM-dd HH:mm:ss") so dates compare as text.
  SqlValue(const QDate& date);
  SqlValue(const QDateTime& dateTime);

  static SqlValue Blob(const QByteArray& bytes);
  static SqlValue TextUtf8(const QByteArray& utf8);

  Type type() const { return type_; }
  bool IsNull() const { return type_ == Type::Null; }

  // Conversions in the spirit of the program's loose typing: NULL reads as 0 or
  // "", numeric text reads as its number (with "." as decimal separator), a
  // real read as a whole number is rounded half to even.
  int64_t toInt64() const;
  int toInt() const;
  double toDouble() const;
  bool toBool() const;
  QString toString() const;
  QByteArray toBytes() const;
  QDate toDate() const;

  bool operator==(const SqlValue& other) const;
  bool operator!=(const SqlValue& other) const { return !(*this == other); }

 private:
  Type type_ = Type::Null;
  union {
    int64_t integer_ = 0;
    double real_;
  };
  QByteArray bytes_;
};

// The shortest text that reads back as the same double, always with ".".
QString FormatReal(double value);
