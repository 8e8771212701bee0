#include "platform/SqlValue.h"

#include "platform/Rounding.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool ParseReal(const QByteArray& text, double* out) {
  const QByteArray trimmed = text.trimmed();
  if (trimmed.isEmpty()) return false;
  const char* begin = trimmed.constData();
  const char* end = begin + trimmed.size();
  if (*begin == '+') ++begin;
  const auto result = std::from_chars(begin, end, *out);
  return result.ec == std::errc() && result.ptr == end;
}

}  // namespace

QString FormatReal(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

SqlValue::SqlValue(const QDate& date) {
  if (date.isValid()) {
    type_ = Type::Text;
    bytes_ = date.toString(Qt::ISODate).toUtf8();
  }
}

SqlValue::SqlValue(const QDateTime& dateTime) {
  if (dateTime.isValid()) {
    type_ = Type::Text;
    bytes_ = dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
  }
}

SqlValue SqlValue::Blob(const QByteArray& bytes) {
  SqlValue v;
  v.type_ = Type::Blob;
  v.bytes_ = bytes;
  return v;
}

SqlValue SqlValue::TextUtf8(const QByteArray& utf8) {
  SqlValue v;
  v.type_ = Type::Text;
  v.bytes_ = utf8;
  return v;
}

int64_t SqlValue::toInt64() const {
  switch (type_) {
    case Type::Integer:
      return integer_;
    case Type::Real: {
      const double r = RoundHalfEven(real_);
      if (!std::isfinite(r) || std::fabs(r) >= 9.2e18) return 0;
      return static_cast<int64_t>(r);
    }
    case Type::Text: {
      const QByteArray trimmed = bytes_.trimmed();
      int64_t whole = 0;
      const char* begin = trimmed.constData();
      const char* end = begin + trimmed.size();
      if (begin != end && *begin == '+') ++begin;
      const auto result = std::from_chars(begin, end, whole);
      if (result.ec == std::errc() && result.ptr == end) return whole;
      double real = 0;
      if (ParseReal(bytes_, &real)) return SqlValue(real).toInt64();
      return 0;
    }
    default:
      return 0;
  }
}

int SqlValue::toInt() const {
  const int64_t v = toInt64();
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

double SqlValue::toDouble() const {
  switch (type_) {
    case Type::Integer:
      return static_cast<double>(integer_);
    case Type::Real:
      return real_;
    case Type::Text: {
      double real = 0;
      return ParseReal(bytes_, &real) ? real : 0.0;
    }
    default:
      return 0.0;
  }
}

bool SqlValue::toBool() const {
  if (type_ == Type::Text) {
    const QByteArray t = bytes_.trimmed().toLower();
    if (t == "true") return true;
    if (t == "false") return false;
  }
  return toDouble() != 0.0;
}

QString SqlValue::toString() const {
  switch (type_) {
    case Type::Integer:
      return QString::number(integer_);
    case Type::Real:
      return FormatReal(real_);
    case Type::Text:
    case Type::Blob:
      return QString::fromUtf8(bytes_);
    default:
      return QString();
  }
}

QByteArray SqlValue::toBytes() const {
  if (type_ == Type::Text || type_ == Type::Blob) return bytes_;
  return toString().toUtf8();
}

QDate SqlValue::toDate() const {
  if (type_ != Type::Text) return QDate();
  return QDate::fromString(QString::fromUtf8(bytes_.left(10)), Qt::ISODate);
}

bool SqlValue::operator==(const SqlValue& other) const {
  if (type_ != other.type_) return false;
  switch (type_) {
    case Type::Null:
      return true;
    case Type::Integer:
      return integer_ == other.integer_;
    case Type::Real:
      return real_ == other.real_;
    default:
      return bytes_ == other.bytes_;
  }
}
