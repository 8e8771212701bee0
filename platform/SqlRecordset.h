#pragma once
// The rows of one query, read completely when it is opened, with a current row
// that moves first/next/previous/last, fields found by case-insensitive name,
// and edits written back to the tables they came from.
//
// Adding a row: open an empty query on the table ("SELECT * FROM t WHERE 1=0"),
// AddNew, set fields, Update. Only the fields that were set are inserted, so
// every other column takes its default; the row is then read back so the
// recordset shows those defaults.
//
// Editing: set fields of any rows, then Update writes the pending changes of
// all rows in one savepoint, finding each row by the original values of its
// table's key columns (which may themselves have been changed). A failure
// writes nothing and keeps the changes pending.
//
// The rows are held in blocks of cells; a closed recordset leaves its blocks
// to the next ones opened on the same thread (up to 32 MiB are kept), so that
// reading a long result again does not ask the system for fresh memory.
#include "platform/SqlValue.h"

#include <QHash>
#include <QString>

#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

class SqlConnection;
class SqlRecordset;
struct sqlite3_stmt;

// A field of the current row of a recordset.
class SqlField {
 public:
  SqlField(SqlRecordset& recordset, int column) : recordset_(recordset), column_(column) {}

  const QString& Name() const;
  const SqlValue& Value() const;
  void SetValue(const SqlValue& value);

  bool IsNull() const { return Value().IsNull(); }
  int toInt() const { return Value().toInt(); }
  int64_t toInt64() const { return Value().toInt64(); }
  double toDouble() const { return Value().toDouble(); }
  bool toBool() const { return Value().toBool(); }
  QString toString() const { return Value().toString(); }
  QByteArray toBytes() const { return Value().toBytes(); }

 private:
  SqlRecordset& recordset_;
  int column_;
};

class SqlRecordset {
 public:
  // The texts a read has made, by their bytes: a text met again (a folder,
  // a format, a file's name and the title that defaults to it) shares the
  // one already made rather than being decoded into memory of its own. The
  // slots are few and a new text takes its slot over, so a long read of
  // distinct texts keeps no more than kSlots of them.
  class TextCache {
   public:
    // The text of `bytes` bytes of UTF-8, as QString::fromUtf8 makes it.
    QString Text(const char* utf8, int bytes);

   private:
    static constexpr size_t kSlots = 256;
    // Longer texts (descriptions, mostly) seldom repeat.
    static constexpr int kMaxBytes = 256;
    std::vector<QString> slots_;
  };

  // The value of one field of the row a statement stands on, as a recordset
  // holds it; its text made through `texts` when given.
  static SqlValue FieldValue(sqlite3_stmt* stmt, int column, TextCache* texts = nullptr);

  SqlRecordset(SqlConnection& connection, const QString& sql);
  ~SqlRecordset();
  SqlRecordset(const SqlRecordset&) = delete;
  SqlRecordset& operator=(const SqlRecordset&) = delete;

  int RecordCount() const { return rowCount_; }
  int FieldCount() const { return static_cast<int>(columns_.size()); }
  const QString& FieldName(int column) const;
  // Index of the first column of that name (case-insensitive), -1 when none.
  int FieldIndex(const QString& name) const;

  void MoveFirst();
  void MoveNext();
  void MovePrevious();
  void MoveLast();
  bool Bof() const { return rowCount_ == 0 || position_ < 0; }
  bool Eof() const { return rowCount_ == 0 || position_ >= rowCount_; }
  // 1-based number of the current row; 0 when there is none.
  int AbsolutePosition() const;
  void SetAbsolutePosition(int position);

  // Fields of the current row; an unknown name or no current row raises an error.
  SqlField Fields(const QString& name);
  SqlField Fields(int column);
  const SqlValue& Value(const QString& name) const;
  const SqlValue& Value(int column) const;
  void SetValue(int column, const SqlValue& value);

  // Appends an empty row, made current, to be inserted by Update.
  void AddNew();
  // Writes the pending changes of every row; returns the rows written.
  int Update();
  bool HasPendingChanges() const { return !pending_.empty(); }

 private:
  struct Column {
    QString name;
    QString database;  // origin of the column; empty for an expression
    QString table;
    QString origin;
  };
  struct Pending {
    bool isNew = false;
    std::vector<bool> assigned;
    std::vector<SqlValue> original;
  };
  struct TableInfo {
    std::vector<QString> keyColumns;  // declared primary key, in key order
    bool loaded = false;
  };

  int CurrentRow() const;
  int RememberColumnOfName(const QString& name) const;
  int ColumnOfName(const QString& name) const;
  // Rows live in blocks of rowsPerBlock_ rows, so reading a large result never
  // moves the rows already read.
  const SqlValue* RowCells(int row) const {
    return blocks_[row / rowsPerBlock_].data() + static_cast<size_t>(row % rowsPerBlock_) * columns_.size();
  }
  SqlValue* RowCells(int row) { return const_cast<SqlValue*>(std::as_const(*this).RowCells(row)); }
  SqlValue& Cell(int row, int column) { return RowCells(row)[column]; }
  const SqlValue& Cell(int row, int column) const { return RowCells(row)[column]; }
  std::vector<SqlValue>& BlockWithRoom();
  void ReadRow(sqlite3_stmt* stmt, TextCache& texts);
  int RequireColumn(const QString& name) const;
  const TableInfo& Table(const QString& database, const QString& table);
  void WriteRow(int row, Pending& pending);
  void InsertRow(int row, const Pending& pending);
  void UpdateRowTable(int row, const Pending& pending, const QString& database, const QString& table);
  void ReadBackInserted(int row, const QString& database, const QString& table);

  SqlConnection& connection_;
  std::vector<Column> columns_;
  // Names already looked up, in the order they were first asked for; loops
  // ask for the same names in the same order row after row.
  struct NameCacheEntry {
    QString name;
    int column = -1;
  };
  static constexpr size_t kNameCacheSize = 64;
  mutable std::vector<NameCacheEntry> nameCache_;
  mutable size_t nextName_ = 0;  // the entry the next lookup tries first
  std::vector<std::vector<SqlValue>> blocks_;
  int rowsPerBlock_ = 1;
  int rowCount_ = 0;
  int position_ = 0;
  std::unordered_map<int, Pending> pending_;
  std::unordered_map<QString, TableInfo> tables_;
};
