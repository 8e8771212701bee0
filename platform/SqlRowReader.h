#pragma once
// The rows of one query read one at a time and none kept: for a reader that
// turns each row into a record of its own at once, without the recordset's
// copy of every cell. Values convert as SqlValue's do; a text met again
// shares the one already made (as a recordset's texts do).
#include "platform/SqlRecordset.h"
#include "platform/SqlValue.h"

#include <QString>

#include <cstdint>

class SqlConnection;
struct sqlite3_stmt;
struct sqlite3_value;

class SqlRowReader {
 public:
  // Prepares the query; a failure raises. No row is current until Next.
  SqlRowReader(SqlConnection& connection, const QString& sql);
  ~SqlRowReader();
  SqlRowReader(const SqlRowReader&) = delete;
  SqlRowReader& operator=(const SqlRowReader&) = delete;

  int FieldCount() const;
  // Index of the first column of that name (case-insensitive), -1 when none.
  int FieldIndex(const QString& name) const;

  // Moves to the next row; false after the last (and from then on). A
  // failure raises.
  bool Next();

  // The fields of the current row, as SqlValue reads them.
  bool IsNull(int column) const;
  int64_t toInt64(int column) const;
  int toInt(int column) const;
  double toDouble(int column) const;
  bool toBool(int column) const;
  QString toString(int column) const;
  SqlValue Value(int column) const;

 private:
  sqlite3_value* Field(int column) const;

  SqlConnection& connection_;
  sqlite3_stmt* stmt_;
  bool done_ = false;
  mutable SqlRecordset::TextCache texts_;
};
