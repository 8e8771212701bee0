#include "platform/SqlRowReader.h"

#include "platform/SqlConnection.h"

#include <sqlite3.h>

#include <limits>

SqlRowReader::SqlRowReader(SqlConnection& connection, const QString& sql)
    : connection_(connection), stmt_(connection.PrepareStatement(sql)) {
  connection_.SetRowsChanged(0);
}

SqlRowReader::~SqlRowReader() { sqlite3_finalize(stmt_); }

int SqlRowReader::FieldCount() const { return sqlite3_column_count(stmt_); }

int SqlRowReader::FieldIndex(const QString& name) const {
  for (int c = 0; c < FieldCount(); ++c) {
    if (QString::fromUtf8(sqlite3_column_name(stmt_, c)).compare(name, Qt::CaseInsensitive) == 0) return c;
  }
  return -1;
}

// Stepping a finished statement would start it again.
bool SqlRowReader::Next() {
  if (done_) return false;
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  done_ = true;
  if (rc != SQLITE_DONE) connection_.Fail(QString());
  return false;
}

// The column's value object is read directly, as the recordset reads it: one
// call into sqlite for the value, whose type and content are then at hand.
sqlite3_value* SqlRowReader::Field(int column) const { return sqlite3_column_value(stmt_, column); }

bool SqlRowReader::IsNull(int column) const { return sqlite3_value_type(Field(column)) == SQLITE_NULL; }

int64_t SqlRowReader::toInt64(int column) const {
  sqlite3_value* value = Field(column);
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      return sqlite3_value_int64(value);
    case SQLITE_NULL:
      return 0;
    default:
      return Value(column).toInt64();
  }
}

int SqlRowReader::toInt(int column) const {
  const int64_t v = toInt64(column);
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

double SqlRowReader::toDouble(int column) const {
  sqlite3_value* value = Field(column);
  switch (sqlite3_value_type(value)) {
    case SQLITE_FLOAT:
      return sqlite3_value_double(value);
    case SQLITE_INTEGER:
      return static_cast<double>(sqlite3_value_int64(value));
    case SQLITE_NULL:
      return 0.0;
    default:
      return Value(column).toDouble();
  }
}

bool SqlRowReader::toBool(int column) const {
  sqlite3_value* value = Field(column);
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      return sqlite3_value_int64(value) != 0;
    case SQLITE_FLOAT:
      return sqlite3_value_double(value) != 0.0;
    case SQLITE_NULL:
      return false;
    default:
      return Value(column).toBool();
  }
}

QString SqlRowReader::toString(int column) const {
  sqlite3_value* value = Field(column);
  switch (sqlite3_value_type(value)) {
    case SQLITE_TEXT:
      return texts_.Text(reinterpret_cast<const char*>(sqlite3_value_text(value)), sqlite3_value_bytes(value));
    case SQLITE_NULL:
      return QString();
    default:
      return Value(column).toString();
  }
}

SqlValue SqlRowReader::Value(int column) const {
  sqlite3_value* value = Field(column);
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      return SqlValue(static_cast<int64_t>(sqlite3_value_int64(value)));
    case SQLITE_FLOAT:
      return SqlValue(sqlite3_value_double(value));
    case SQLITE_TEXT: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
      return SqlValue(texts_.Text(text, sqlite3_value_bytes(value)));
    }
    case SQLITE_BLOB: {
      const auto* blob = static_cast<const char*>(sqlite3_value_blob(value));
      return SqlValue::Blob(QByteArray(blob, sqlite3_value_bytes(value)));
    }
    default:
      return SqlValue();
  }
}
