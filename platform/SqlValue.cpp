#include "platform/SqlValue.h"

#include "platform/Rounding.h"

#include <algorithm>
#include <bit>
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

namespace {

// UTF-16 puts U+E000..U+FFFF after the surrogates, code points put them
// before: moving both ranges makes units compare as their code points.
QString InCodePointOrder(const QString& text) {
  const auto high = [](QChar unit) { return unit.unicode() >= 0xD800; };
  if (std::none_of(text.begin(), text.end(), high)) return text;
  QString moved = text;
  for (QChar& unit : moved) {
    const char16_t u = unit.unicode();
    if (u >= 0xD800) unit = QChar(static_cast<char16_t>(u >= 0xE000 ? u - 0x800 : u + 0x2000));
  }
  return moved;
}

// A double's bits read as an unsigned number keep the order of the positive
// values and reverse the negative ones; flipping the sign bit, or every bit of
// a negative value, gives one order for all. (Integers beyond 2^53 lose their
// last digits here.)
QString NumberUnits(double number) {
  if (number == 0.0) number = 0.0;  // -0 as 0
  uint64_t bits = std::bit_cast<uint64_t>(number);
  bits = bits >> 63 ? ~bits : bits | (uint64_t{1} << 63);
  QString units(4, QChar());
  for (int i = 0; i < 4; ++i) units[3 - i] = QChar(static_cast<char16_t>((bits >> (16 * i)) & 0xFFFF));
  return units;
}

}  // namespace

SqlOrderKey OrderKey(const SqlValue& value) {
  switch (value.type()) {
    case SqlValue::Type::Null:
      return {0, QString()};
    case SqlValue::Type::Integer:
    case SqlValue::Type::Real:
      return {1, NumberUnits(value.toDouble())};
    case SqlValue::Type::Text:
      return {2, InCodePointOrder(value.toString())};
    case SqlValue::Type::Blob:
      break;
  }
  // Latin-1 maps each byte to the unit of its own value.
  return {3, QString::fromLatin1(value.toBytes())};
}
