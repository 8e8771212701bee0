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
  if (date.isValid()) value_ = date.toString(Qt::ISODate);
}

SqlValue::SqlValue(const QDateTime& dateTime) {
  if (dateTime.isValid()) value_ = dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

SqlValue SqlValue::Blob(const QByteArray& bytes) {
  SqlValue v;
  v.value_ = bytes;
  return v;
}

int64_t SqlValue::toInt64() const {
  switch (type()) {
    case Type::Integer:
      return std::get<int64_t>(value_);
    case Type::Real: {
      const double r = RoundHalfEven(std::get<double>(value_));
      if (!std::isfinite(r) || std::fabs(r) >= 9.2e18) return 0;
      return static_cast<int64_t>(r);
    }
    case Type::Text: {
      const QByteArray trimmed = std::get<QString>(value_).trimmed().toLatin1();
      int64_t whole = 0;
      const char* begin = trimmed.constData();
      const char* end = begin + trimmed.size();
      if (begin != end && *begin == '+') ++begin;
      const auto result = std::from_chars(begin, end, whole);
      if (result.ec == std::errc() && result.ptr == end) return whole;
      double real = 0;
      if (ParseReal(trimmed, &real)) return SqlValue(real).toInt64();
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
  switch (type()) {
    case Type::Integer:
      return static_cast<double>(std::get<int64_t>(value_));
    case Type::Real:
      return std::get<double>(value_);
    case Type::Text: {
      double real = 0;
      return ParseReal(std::get<QString>(value_).toLatin1(), &real) ? real : 0.0;
    }
    default:
      return 0.0;
  }
}

bool SqlValue::toBool() const {
  if (type() == Type::Text) {
    const QString t = std::get<QString>(value_).trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
  }
  return toDouble() != 0.0;
}

QString SqlValue::toString() const {
  switch (type()) {
    case Type::Integer:
      return QString::number(std::get<int64_t>(value_));
    case Type::Real:
      return FormatReal(std::get<double>(value_));
    case Type::Text:
      return std::get<QString>(value_);
    case Type::Blob:
      return QString::fromUtf8(std::get<QByteArray>(value_));
    default:
      return QString();
  }
}

QByteArray SqlValue::toBytes() const {
  if (type() == Type::Blob) return std::get<QByteArray>(value_);
  return toString().toUtf8();
}

QDate SqlValue::toDate() const {
  if (type() != Type::Text) return QDate();
  return QDate::fromString(std::get<QString>(value_).left(10), Qt::ISODate);
}
