#include "platform/SqlRecordset.h"

#include "platform/RWError.h"
#include "platform/SqlConnection.h"
#include "platform/SqlText.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace {

const QString kSource = QStringLiteral("SqlRecordset");
const QString kUpdateSavepoint = QStringLiteral("SqlRecordset.Update");
// Rows are kept in blocks of this many cells (64 KiB): few blocks for a large
// result, each small enough to come from the heap rather than its own mapping.
constexpr size_t kBlockCells = 2048;
// Spare blocks kept per thread: 32 MiB, about 100,000 rows of nine fields.
constexpr size_t kMaxSpareBlocks = 512;

[[noreturn]] void Raise(const QString& description) { throw RWError(kErrDatabase, description, kSource); }

[[noreturn]] void RaiseNoField(const QString& name) {
  Raise(QStringLiteral("There is no field named '%1'").arg(name));
}

QString Utf8OrEmpty(const char* text) { return text ? QString::fromUtf8(text) : QString(); }


// Exact comparison, cheaper than QString's == (which orders the two texts).
bool SameText(const QString& a, const QString& b) {
  if (a.size() != b.size()) return false;
  return a.isEmpty() || std::memcmp(a.constData(), b.constData(), a.size() * sizeof(QChar)) == 0;
}

// Blocks that closed recordsets gave back, kept for the next ones on the same
// thread. Reading a long result again then fills memory the process already
// holds: handed back to the C library, most of it would be returned to the
// system and every page faulted in afresh by the next read.
class SpareBlocks {
 public:
  static std::vector<SqlValue> Take() {
    std::vector<SqlValue> block;
    if (!closed_ && !Mine().blocks_.empty()) {
      block = std::move(Mine().blocks_.back());
      Mine().blocks_.pop_back();
    }
    block.reserve(kBlockCells);
    return block;
  }

  static void Give(std::vector<SqlValue>&& block) {
    block.clear();
    if (closed_ || block.capacity() != kBlockCells || Mine().blocks_.size() >= kMaxSpareBlocks) return;
    Mine().blocks_.push_back(std::move(block));
  }

 private:
  ~SpareBlocks() { closed_ = true; }
  static SpareBlocks& Mine() {
    thread_local SpareBlocks spare;
    return spare;
  }

  // Set once the thread's blocks are gone, for recordsets closed after that.
  static thread_local inline bool closed_ = false;
  std::vector<std::vector<SqlValue>> blocks_;
};

// Finalizes the statement however the scope is left.
struct Statement {
  sqlite3_stmt* stmt;
  ~Statement() { sqlite3_finalize(stmt); }
};

QString QualifiedTable(const QString& database, const QString& table) {
  return SqlIdentifier(database) + QLatin1Char('.') + SqlIdentifier(table);
}

}  // namespace

// --- Field values ----------------------------------------------------------------

// The column's value object is read directly, which sqlite allows on a
// connection used by one thread only (as every SqlConnection is): one call per
// cell into sqlite instead of one for the type and another for the content.
SqlValue SqlRecordset::FieldValue(sqlite3_stmt* stmt, int column, TextCache* texts) {
  sqlite3_value* value = sqlite3_column_value(stmt, column);
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      return SqlValue(static_cast<int64_t>(sqlite3_value_int64(value)));
    case SQLITE_FLOAT:
      return SqlValue(sqlite3_value_double(value));
    case SQLITE_TEXT: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
      const int bytes = sqlite3_value_bytes(value);
      return SqlValue(texts ? texts->Text(text, bytes) : QString::fromUtf8(text, bytes));
    }
    case SQLITE_BLOB: {
      const auto* blob = static_cast<const char*>(sqlite3_value_blob(value));
      return SqlValue::Blob(QByteArray(blob, sqlite3_value_bytes(value)));
    }
    default:
      return SqlValue();
  }
}

// --- SqlRecordset::TextCache ---------------------------------------------------

namespace {

// Up to eight bytes from `at`, as one number.
uint64_t Word(const char* at, int bytes) {
  uint64_t word = 0;
  std::memcpy(&word, at, static_cast<size_t>(std::min(bytes, 8)));
  return word;
}

bool IsAscii(const char* text, int bytes) {
  uint64_t high = 0;
  for (int i = 0; i < bytes; i += 8) high |= Word(text + i, bytes - i);
  return (high & 0x8080808080808080ull) == 0;
}

}  // namespace

QString SqlRecordset::TextCache::Text(const char* utf8, int bytes) {
  if (bytes <= 0 || bytes > kMaxBytes) return QString::fromUtf8(utf8, bytes);
  // The slot is chosen by the length and the first, middle and last eight
  // bytes: enough to tell most texts apart at a cost that does not grow
  // with the text. A full comparison confirms a match.
  uint64_t hash = static_cast<uint64_t>(bytes) * 0x9E3779B97F4A7C15ull;
  hash = (hash ^ Word(utf8, bytes)) * 0x9E3779B97F4A7C15ull;
  if (bytes > 8) {
    hash = (hash ^ Word(utf8 + bytes / 2 - 4, 8)) * 0x9E3779B97F4A7C15ull;
    hash = (hash ^ Word(utf8 + bytes - 8, 8)) * 0x9E3779B97F4A7C15ull;
  }
  // The slots are made at the first text, so a query of numbers alone
  // (a count, say) costs none.
  if (slots_.empty()) slots_.resize(kSlots);
  QString& slot = slots_[(hash >> 40) % kSlots];
  // The slots hold ASCII texts only, so a slot equal to the bytes read as
  // Latin-1 is equal to them read as UTF-8 too.
  if (slot == QLatin1String(utf8, bytes)) return slot;
  if (!IsAscii(utf8, bytes)) return QString::fromUtf8(utf8, bytes);
  slot = QString::fromLatin1(utf8, bytes);
  return slot;
}

// --- SqlField -------------------------------------------------------------------

const QString& SqlField::Name() const { return recordset_.FieldName(column_); }
const SqlValue& SqlField::Value() const { return recordset_.Value(column_); }
void SqlField::SetValue(const SqlValue& value) { recordset_.SetValue(column_, value); }

// --- SqlRecordset ---------------------------------------------------------------

SqlRecordset::SqlRecordset(SqlConnection& connection, const QString& sql) : connection_(connection) {
  connection_.SetRowsChanged(0);
  Statement statement{connection_.PrepareStatement(sql)};
  sqlite3_stmt* stmt = statement.stmt;
  const int count = sqlite3_column_count(stmt);
  columns_.reserve(count);
  for (int c = 0; c < count; ++c) {
    columns_.push_back({Utf8OrEmpty(sqlite3_column_name(stmt, c)), Utf8OrEmpty(sqlite3_column_database_name(stmt, c)),
                        Utf8OrEmpty(sqlite3_column_table_name(stmt, c)),
                        Utf8OrEmpty(sqlite3_column_origin_name(stmt, c))});
  }
  rowsPerBlock_ = std::max(1, static_cast<int>(kBlockCells) / std::max(1, count));
  TextCache texts;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) ReadRow(stmt, texts);
  if (rc != SQLITE_DONE) connection_.Fail(QString());
  position_ = 0;
}

SqlRecordset::~SqlRecordset() {
  for (std::vector<SqlValue>& block : blocks_) SpareBlocks::Give(std::move(block));
}

void SqlRecordset::ReadRow(sqlite3_stmt* stmt, TextCache& texts) {
  std::vector<SqlValue>& block = BlockWithRoom();
  const int count = FieldCount();
  for (int c = 0; c < count; ++c) block.push_back(FieldValue(stmt, c, &texts));
  ++rowCount_;
}

std::vector<SqlValue>& SqlRecordset::BlockWithRoom() {
  const size_t blockCells = static_cast<size_t>(rowsPerBlock_) * columns_.size();
  if (blocks_.empty() || blocks_.back().size() == blockCells) {
    blocks_.push_back(SpareBlocks::Take());
    blocks_.back().reserve(blockCells);
  }
  return blocks_.back();
}

const QString& SqlRecordset::FieldName(int column) const {
  if (column < 0 || column >= FieldCount()) Raise(QStringLiteral("There is no field number %1").arg(column));
  return columns_[column].name;
}

int SqlRecordset::FieldIndex(const QString& name) const {
  // Loops ask for the same names in the same order row after row, so the entry
  // after the last one found is tried first. Entries keep their own copy of the
  // name and match by text, never by where the caller's text is stored.
  const size_t count = nameCache_.size();
  for (size_t i = 0, slot = nextName_; i < count; ++i) {
    const NameCacheEntry& entry = nameCache_[slot];
    slot = slot + 1 == count ? 0 : slot + 1;
    if (SameText(entry.name, name)) {
      nextName_ = slot;
      return entry.column;
    }
  }
  return RememberColumnOfName(name);
}

int SqlRecordset::RememberColumnOfName(const QString& name) const {
  const int column = ColumnOfName(name);
  if (column >= 0 && nameCache_.size() < kNameCacheSize) {
    nameCache_.push_back({QString(name.constData(), name.size()), column});
    nextName_ = 0;
  }
  return column;
}

int SqlRecordset::ColumnOfName(const QString& name) const {
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (columns_[c].name.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(c);
  }
  return -1;
}

int SqlRecordset::RequireColumn(const QString& name) const {
  const int column = FieldIndex(name);
  if (column < 0) RaiseNoField(name);
  return column;
}

int SqlRecordset::CurrentRow() const {
  if (Bof() || Eof()) Raise(QStringLiteral("There is no current row (beginning or end of the rows)"));
  return position_;
}

void SqlRecordset::MoveFirst() { position_ = 0; }
void SqlRecordset::MoveNext() { position_ = position_ < rowCount_ ? position_ + 1 : rowCount_; }
void SqlRecordset::MovePrevious() { position_ = position_ >= 0 ? position_ - 1 : -1; }
void SqlRecordset::MoveLast() { position_ = rowCount_ - 1; }

int SqlRecordset::AbsolutePosition() const { return (Bof() || Eof()) ? 0 : position_ + 1; }

void SqlRecordset::SetAbsolutePosition(int position) {
  if (position < 1 || position > rowCount_) {
    Raise(QStringLiteral("Row %1 does not exist (%2 rows)").arg(position).arg(rowCount_));
  }
  position_ = position - 1;
}

SqlField SqlRecordset::Fields(const QString& name) {
  const int column = RequireColumn(name);
  CurrentRow();
  return SqlField(*this, column);
}

SqlField SqlRecordset::Fields(int column) {
  FieldName(column);
  CurrentRow();
  return SqlField(*this, column);
}

const SqlValue& SqlRecordset::Value(const QString& name) const {
  const int column = RequireColumn(name);
  return Cell(CurrentRow(), column);
}

const SqlValue& SqlRecordset::Value(int column) const {
  FieldName(column);
  return Cell(CurrentRow(), column);
}

void SqlRecordset::SetValue(int column, const SqlValue& value) {
  FieldName(column);
  const Column& info = columns_[column];
  if (info.table.isEmpty()) {
    Raise(QStringLiteral("The field '%1' is computed by the query and cannot be changed").arg(info.name));
  }
  const int row = CurrentRow();
  auto [it, inserted] = pending_.try_emplace(row);
  Pending& pending = it->second;
  if (inserted) {
    pending.assigned.assign(columns_.size(), false);
    pending.original.assign(RowCells(row), RowCells(row) + columns_.size());
  }
  pending.assigned[column] = true;
  Cell(row, column) = value;
}

void SqlRecordset::AddNew() {
  std::vector<SqlValue>& block = BlockWithRoom();
  block.resize(block.size() + columns_.size());
  const int row = rowCount_++;
  Pending& pending = pending_[row];
  pending.isNew = true;
  pending.assigned.assign(columns_.size(), false);
  position_ = row;
}

const SqlRecordset::TableInfo& SqlRecordset::Table(const QString& database, const QString& table) {
  TableInfo& info = tables_[database + QLatin1Char('.') + table];
  if (info.loaded) return info;
  Statement statement{connection_.PrepareStatement(QStringLiteral("PRAGMA %1.table_info(%2)")
                                                       .arg(SqlIdentifier(database), SqlIdentifier(table)))};
  std::map<int, QString> keys;
  while (sqlite3_step(statement.stmt) == SQLITE_ROW) {
    const int pk = sqlite3_column_int(statement.stmt, 5);
    if (pk > 0) keys[pk] = Utf8OrEmpty(reinterpret_cast<const char*>(sqlite3_column_text(statement.stmt, 1)));
  }
  for (const auto& entry : keys) info.keyColumns.push_back(entry.second);
  info.loaded = true;
  return info;
}

int SqlRecordset::Update() {
  if (pending_.empty()) {
    connection_.SetRowsChanged(0);
    return 0;
  }
  std::map<int, Pending*> ordered;
  for (auto& entry : pending_) ordered[entry.first] = &entry.second;

  const int64_t before = connection_.TotalChanges();
  connection_.BeginTrans(kUpdateSavepoint);
  try {
    for (auto& [row, pending] : ordered) WriteRow(row, *pending);
    connection_.CommitTrans(kUpdateSavepoint);
  } catch (...) {
    try {
      connection_.RollbackTrans(kUpdateSavepoint);
    } catch (...) {
    }
    throw;
  }
  const int written = static_cast<int>(ordered.size());
  pending_.clear();
  connection_.SetRowsChanged(connection_.TotalChanges() - before);
  return written;
}

void SqlRecordset::WriteRow(int row, Pending& pending) {
  if (pending.isNew) {
    InsertRow(row, pending);
    return;
  }
  // A join may change columns of several tables; each table gets its own UPDATE.
  std::vector<std::pair<QString, QString>> tables;
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (!pending.assigned[c]) continue;
    const std::pair<QString, QString> key{columns_[c].database, columns_[c].table};
    if (std::find(tables.begin(), tables.end(), key) == tables.end()) tables.push_back(key);
  }
  for (const auto& [database, table] : tables) UpdateRowTable(row, pending, database, table);
}

void SqlRecordset::UpdateRowTable(int row, const Pending& pending, const QString& database, const QString& table) {
  auto fromTable = [&](size_t c) { return columns_[c].database == database && columns_[c].table == table; };
  QStringList assignments;
  std::vector<SqlValue> values;
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (pending.assigned[c] && fromTable(c)) {
      assignments << SqlIdentifier(columns_[c].origin) + QStringLiteral(" = ?");
      values.push_back(Cell(row, static_cast<int>(c)));
    }
  }
  // The row is found by its key's original values; a table without a declared
  // key by the first row that matches every original value the query read.
  auto originalOf = [&](const QString& origin) -> const SqlValue* {
    for (size_t c = 0; c < columns_.size(); ++c) {
      if (fromTable(c) && columns_[c].origin.compare(origin, Qt::CaseInsensitive) == 0) return &pending.original[c];
    }
    return nullptr;
  };
  QStringList conditions;
  const TableInfo& info = Table(database, table);
  for (const QString& key : info.keyColumns) {
    const SqlValue* original = originalOf(key);
    if (!original) {
      Raise(QStringLiteral("The changes cannot be written back: the key column '%1' of table '%2' is not part of "
                           "the query")
                .arg(key, table));
    }
    conditions << SqlIdentifier(key) + QStringLiteral(" IS ?");
    values.push_back(*original);
  }
  const QString qualified = QualifiedTable(database, table);
  QString where = conditions.join(QStringLiteral(" AND "));
  if (info.keyColumns.empty()) {
    QStringList matches;
    for (size_t c = 0; c < columns_.size(); ++c) {
      if (!fromTable(c)) continue;
      matches << SqlIdentifier(columns_[c].origin) + QStringLiteral(" IS ?");
      values.push_back(pending.original[c]);
    }
    where = QStringLiteral("rowid = (SELECT rowid FROM %1 WHERE %2 LIMIT 1)")
                .arg(qualified, matches.join(QStringLiteral(" AND ")));
  }
  SqlCommand command(connection_, QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                      .arg(qualified, assignments.join(QStringLiteral(", ")), where));
  for (size_t i = 0; i < values.size(); ++i) command.Bind(static_cast<int>(i) + 1, values[i]);
  if (command.Execute() == 0) {
    Raise(QStringLiteral("The changes cannot be written back: the row of table '%1' no longer exists").arg(table));
  }
}

void SqlRecordset::InsertRow(int row, const Pending& pending) {
  // All fields set on a new row must come from one table; with none set, the
  // recordset's only table gets a row of defaults.
  QString database;
  QString table;
  auto take = [&](const Column& column) {
    if (table.isEmpty()) {
      database = column.database;
      table = column.table;
    } else if (column.table != table || column.database != database) {
      Raise(QStringLiteral("A new row can only be added to one table ('%1' and '%2')").arg(table, column.table));
    }
  };
  bool any = false;
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (pending.assigned[c]) {
      take(columns_[c]);
      any = true;
    }
  }
  if (!any) {
    for (const Column& column : columns_) {
      if (!column.table.isEmpty()) take(column);
    }
  }
  if (table.isEmpty()) Raise(QStringLiteral("The query has no table to add a row to"));

  QStringList names;
  QStringList marks;
  std::vector<SqlValue> values;
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (!pending.assigned[c]) continue;
    names << SqlIdentifier(columns_[c].origin);
    marks << QStringLiteral("?");
    values.push_back(Cell(row, static_cast<int>(c)));
  }
  const QString qualified = QualifiedTable(database, table);
  const QString sql = values.empty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(qualified)
                                     : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                           .arg(qualified, names.join(QStringLiteral(", ")),
                                                marks.join(QStringLiteral(", ")));
  SqlCommand command(connection_, sql);
  for (size_t i = 0; i < values.size(); ++i) command.Bind(static_cast<int>(i) + 1, values[i]);
  command.Execute();
  ReadBackInserted(row, database, table);
}

void SqlRecordset::ReadBackInserted(int row, const QString& database, const QString& table) {
  QStringList names;
  std::vector<int> positions;
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (columns_[c].database == database && columns_[c].table == table) {
      names << SqlIdentifier(columns_[c].origin);
      positions.push_back(static_cast<int>(c));
    }
  }
  sqlite3_stmt* raw = nullptr;
  const QByteArray sql = QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                             .arg(names.join(QStringLiteral(", ")), QualifiedTable(database, table))
                             .toUtf8();
  // A table without rowid cannot be read back; the row keeps the values set.
  if (sqlite3_prepare_v2(connection_.Handle(), sql.constData(), static_cast<int>(sql.size()), &raw, nullptr) !=
      SQLITE_OK) {
    sqlite3_finalize(raw);
    return;
  }
  Statement statement{raw};
  sqlite3_bind_int64(raw, 1, connection_.LastInsertId());
  if (sqlite3_step(raw) != SQLITE_ROW) return;
  for (size_t i = 0; i < positions.size(); ++i) Cell(row, positions[i]) = FieldValue(raw, static_cast<int>(i));
}
