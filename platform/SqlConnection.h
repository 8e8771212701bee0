#pragma once
// A connection to one SQLite 3 database file, with the behaviour the library
// object relies on: statements as text, "rows changed" of the last statement,
// named (nestable) transactions, compaction and prepared statements.
//
// Every failure raises with number kErrDatabase, SQLite's own text and its
// extended result code: a StorageFault for a fault of the disk or the file
// (full, read-only, I/O, damaged, busy, not openable, out of memory), else an
// RWError.
#include "platform/SqlRecordset.h"
#include "platform/SqlValue.h"

#include "platform/RWError.h"

#include <QByteArrayView>
#include <QSet>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;
class SqlRecordset;
class SqlCommand;

// What stands in the way of opening a database file for writing, found
// without changing the file.
enum class DatabaseFileState {
  Usable,
  Missing,        // no such file
  PathTooLong,    // longer than SQLite can open
  NotADatabase,   // not an SQLite database at all
  Damaged,        // cut short, or failing SQLite's quick check
  ReadOnly,       // the file or its folder cannot be written
  Unreadable,     // a folder, or a file that cannot be read
  Busy,           // another program holds the database locked
  JournalBlocked, // the name of its journal or log beside it is taken by a
                  // folder or anything else that is no file
  NoFileHandles,  // no file can be opened now: as many are open as may be
};

// Whether an errno says that no more files can be opened (the process's or
// the system's limit).
bool NoFileHandlesLeft(int error);

// What a connection's statements write to the main database, as SQLite names
// it while it prepares each statement: a statement prepared counts whether
// it runs or not, so the record may hold more than was written, never less.
// Names are in lower case; the TEMP schema's tables are left out.
struct SqlWrites {
  QSet<QString> rowsAdded;       // tables
  QSet<QString> rowsRemoved;     // tables
  QSet<QString> columnsUpdated;  // "table.column"

  bool Updated(const QString& table, const QString& column) const {
    return columnsUpdated.contains(table + QLatin1Char('.') + column);
  }
};

// A table the file lacks, or a column of one (empty: the whole table).
struct LayoutGap {
  QString table;
  QString column;
};

class SqlConnection {
 public:
  // What the file lacks of the layout its program expects; none when it
  // lacks nothing. Asked when a statement does not compile (SQLite's
  // SQLITE_ERROR while preparing): only where the file lacks something is
  // that the file's fault (a Mismatch naming what it lacks), otherwise the
  // program's own (ProgramError), and the file stays in use. Installed from
  // above (platform knows no layout); without one, a statement that does not
  // compile is taken to name what the file lacks, unnamed.
  using LayoutSurvey = std::function<std::optional<LayoutGap>(SqlConnection&)>;
  static void SetLayoutSurvey(LayoutSurvey survey);

  // Opens an existing database file read-write. Never creates one: a missing
  // path, a folder, a file that is not an SQLite database or a truncated one
  // raises an error and leaves the disk as it was.
  static std::unique_ptr<SqlConnection> Open(const QString& path);
  // Creates a new, empty database file; fails when the path already exists.
  static std::unique_ptr<SqlConnection> Create(const QString& path);
  // Looks at the file as Open would use it, reading only: its path, its
  // header, SQLite's quick check of every page, and whether the file and its
  // folder can be written (by the file's and the folder's modes and a probe,
  // so that a file marked read-only counts as such even for the superuser),
  // and the names of its journal and log beside it.
  // Without `checkPages` the quick check is left out: for a file known to be
  // unchanged since it last passed.
  static DatabaseFileState Examine(const QString& path, bool checkPages = true);
  // The journal or log name beside `path` that something other than a file
  // takes (JournalBlocked); empty when none does.
  static QString TakenJournalName(const QString& path);
  // The longest path, in bytes, SQLite opens.
  static int MaxPathBytes();
  // Whether the error is SQLite's "database or disk is full": no room left
  // for the file, its journal or its temporary files.
  static bool IsDiskFull(const RWError& error);
  // Whether the error is a statement refused by a UNIQUE or PRIMARY KEY
  // constraint (the row is there already); another constraint is no such
  // conflict, nor a fault of the file.
  static bool IsKeyConflict(const RWError& error);
  // Whether the error is a statement stopped by StopWhen.
  static bool IsStopped(const RWError& error);

  ~SqlConnection();
  SqlConnection(const SqlConnection&) = delete;
  SqlConnection& operator=(const SqlConnection&) = delete;

  const QString& Path() const { return path_; }

  // Runs one statement text (several statements separated by ";" run in turn).
  void Execute(const QString& sql);
  // Rows inserted, updated or deleted by the last statement run on this
  // connection; 0 after a query, a schema statement or a failure.
  int64_t RowsChanged() const { return rowsChanged_; }
  int64_t LastInsertId() const;
  // The row number of the last row inserted, as a library keeps its row
  // numbers (32 bits). A number beyond them (another program numbered the
  // table's rows up to the last) raises rather than naming another row.
  int32_t LastInsertRowNumber() const;

  // Named transactions are savepoints, so they nest; a name may hold any
  // character ("v1.6.0"). A failed statement inside one does not end it,
  // except where SQLite itself rolls the whole transaction back (a full
  // disk, an I/O error): the savepoints still open are then gone, and until
  // the outermost of them is closed a statement that would write raises that
  // failure again, rather than being written on its own outside any
  // transaction; a commit raises it too, and a rollback has nothing left to undo.
  void BeginTrans(const QString& name);
  void CommitTrans(const QString& name);
  void RollbackTrans(const QString& name);
  bool InTransaction() const;

  // VACUUM: rewrites the file compactly. Refused while a transaction is open.
  void Compact();
  // A statement under way stops, rolled back, at its next step once `stop`
  // answers true (long work asked to end: LongWork::Job::Cancelled); it
  // then fails with an error IsStopped knows. Asked from the connection's
  // own thread, every thousand of SQLite's steps.
  void StopWhen(std::function<bool()> stop);
  // Writes a consistent copy of the database to `path` (SQLite's online
  // backup) through `partial`, a file beside it that is made anew (a file
  // already there under that name is never replaced) and renamed over `path`
  // only once whole. The copy keeps no journal, so a failure leaves nothing
  // but the partial file, which is removed. `step(done, total)` is called
  // with the pages copied after each megabyte of them; false stops the copy,
  // which then fails. The partial file is synced a piece at a time, each
  // piece a call of its own (HangGuard::OnFile, as every call of the copy's
  // outside SQLite), and `beforeShowing`, when given, is asked last, on the
  // copying thread: false (or a throw) removes the partial file instead of
  // renaming it. A failure to write the copy raises an RWError in the
  // program's words (the reason as a sentence, the copy's path as its file;
  // SQLite's words go to the log), numbered kErrDiskFull for a full disk; a
  // failure to read this connection's file raises as its statements do.
  void CopyTo(const QString& path, const QString& partial, const std::function<bool(int done, int total)>& step = {},
              const std::function<bool()>& beforeShowing = {});
  // CopyTo through NewPartialName(path).
  void CopyTo(const QString& path);
  // The name of the program's own a copy to `path` is written under before
  // it is renamed: "<path>.<process number>.partial", with "-n" added before
  // ".partial" when that name is taken.
  static QString NewPartialName(const QString& path);

  std::unique_ptr<SqlRecordset> OpenRecordset(const QString& sql);
  std::unique_ptr<SqlCommand> Prepare(const QString& sql);

  sqlite3* Handle() const { return db_; }

  // The writes of this connection's statements since ForgetWrites().
  const SqlWrites& Writes() const { return writes_; }
  void ForgetWrites() { writes_ = SqlWrites(); }
  // SQLite's data version of the file: it changes when another connection,
  // of this process or another, commits a change to the file, never with
  // this connection's own commits.
  int64_t DataVersion();

  // While a Ticking lives, `tick` is called from inside the connection's
  // statements every millisecond or so of SQLite's work, so that a long
  // statement run on the window's thread (a step of an old library's
  // upgrade) paints its progress from inside (LongWork::Pacer), and work on
  // a worker steps its job (a compaction). A tick that answers false stops
  // the statement, which then fails. The tick runs inside SQLite and must not
  // use the connection: a statement it would begin breaks a contract.
  class Ticking {
   public:
    Ticking(SqlConnection& connection, std::function<bool()> tick);
    ~Ticking();
    Ticking(const Ticking&) = delete;
    Ticking& operator=(const Ticking&) = delete;

   private:
    SqlConnection& connection_;
    std::function<bool()> tick_;
    std::function<bool()>* previous_;
    // The file layer's tick before this one (HangGuard::FileTick).
    int (*previousFileCall_)(void*);
    void* previousFileArgument_;
  };

  // Internal: statement bookkeeping shared with recordsets and commands.
  // Every failure raised names this connection's file.
  sqlite3_stmt* PrepareStatement(const QString& sql);
  // `compiling`: the statement failed to compile.
  [[noreturn]] void Fail(const QString& context, bool compiling = false) const;
  // Before `stmt` runs: raises the failure that ended the transaction when
  // it would write after SQLite rolled the transaction back (see
  // BeginTrans), or the damage found in the file, and forgets savepoints a
  // statement of its own ended.
  void BeginStatement(sqlite3_stmt* stmt);
  // BeginStatement for a statement the connection holds itself: a refused
  // one is finalized.
  void BeginOwnStatement(sqlite3_stmt* stmt);
  int64_t TotalChanges() const;
  void SetRowsChanged(int64_t count) { rowsChanged_ = count; }

 private:
  SqlConnection(sqlite3* db, QString path);
  static std::unique_ptr<SqlConnection> OpenWithFlags(const QString& path, int flags);
  void Configure();
  static int Authorize(void* self, int action, const char* first, const char* second, const char* database,
                       const char* trigger);
  [[noreturn]] void RaiseFailure(const QString& description, int code, bool compiling) const;
  // What the file lacks (see LayoutSurvey); none when it lacks nothing.
  // Without a survey, an unnamed gap for a statement that did not compile.
  std::optional<LayoutGap> SurveyLayout(bool compiling) const;
  // SQLite's callbacks: another program's lock waited for, painting; a
  // Ticking's tick.
  static int BusyWait(void* self, int count);
  static int Tick(void* self);
  // SQLite's progress handler: the stop (StopWhen), then the tick.
  static int Progress(void* self);
  void InstallProgress();
  // A statement begun from inside one of SQLite's callbacks on this
  // connection would run inside the statement that called back.
  void RefuseInsideCallback() const;
  void ForgetEndedSavepoints();
  // The savepoints `name` and those begun after it are closed.
  void CloseSavepoint(const QString& name);

  sqlite3* db_;
  QString path_;
  std::function<bool()> stop_;
  int64_t rowsChanged_ = 0;
  SqlWrites writes_;
  // The savepoints open, oldest first, and the failure that rolled their
  // transaction back (none while it stands).
  std::vector<QString> savepoints_;
  mutable std::optional<RWError> lostBy_;
  // The damage found in the file: no statement that would write runs after
  // it, so a damaged file is not made worse.
  mutable std::optional<RWError> damagedBy_;
  // Set while the layout survey runs, whose own failures are not surveyed.
  mutable bool surveying_ = false;
  std::function<bool()>* tick_ = nullptr;  // the live Ticking's
  bool inCallback_ = false;
  std::chrono::steady_clock::time_point busySince_;
  std::chrono::steady_clock::time_point busyPainted_;
  // The sleeps the busy handler asked for in this wait, in milliseconds.
  int64_t busySlept_ = 0;
};

// A prepared statement with "?" parameters (numbered from 1), run as often as
// needed; each Execute resets the statement and keeps the bindings.
//
// A query's rows are stepped one at a time and none is kept: for a reader
// that turns each row into a record of its own at once, without a
// recordset's copy of every cell. Step returns false after the last row and
// resets the statement, so the next Step starts the rows again from the
// first (with the bindings then in force): a command is run again simply by
// stepping it again.
class SqlCommand {
 public:
  // Prepares the statement; a failure raises.
  SqlCommand(SqlConnection& connection, const QString& sql);
  ~SqlCommand();
  SqlCommand(const SqlCommand&) = delete;
  SqlCommand& operator=(const SqlCommand&) = delete;

  void Bind(int index, const SqlValue& value);
  // Bind of an integer, without a SqlValue made for it: for loops over keys.
  void BindInt(int index, int64_t value);
  void ClearBindings();
  // Runs the statement to its end; returns the rows it changed.
  int64_t Execute();
  // Steps to the next row of a query; false after the last (the statement is
  // then reset, see above). A failure raises.
  bool Step();

  int FieldCount() const;
  // Index of the first column of that name (case-insensitive), -1 when none.
  int FieldIndex(const QString& name) const;

  // The fields of the row Step reached (columns from 0), converted as
  // SqlValue converts them. A text met again shares the QString already
  // made for it by this command (as a recordset's texts do).
  bool IsNull(int column) const;
  int64_t toInt64(int column) const;
  int toInt(int column) const;
  double toDouble(int column) const;
  bool toBool(int column) const;
  QString toString(int column) const;
  SqlValue Value(int column) const;

  // The field as SQLite itself converts it: an integer, or the bytes of a
  // text or blob (empty for NULL). For loops over keys and raw bytes.
  int64_t ColumnInt(int column) const;
  QByteArray ColumnBytes(int column) const;
  // The field's UTF-8 text as SQLite holds it (empty for NULL), without a
  // copy: it stands until the next Step.
  QByteArrayView ColumnText(int column) const;

 private:
  sqlite3_value* Field(int column) const;

  SqlConnection& connection_;
  sqlite3_stmt* stmt_;
  mutable SqlRecordset::TextCache texts_;
};

// Keeps a named transaction open for a scope: Commit() ends it; when an
// exception leaves the scope first it is rolled back, and on a normal exit
// without Commit() it is committed, so no caller can leave one open.
class TransactionGuard {
 public:
  TransactionGuard(SqlConnection& connection, const QString& name);
  ~TransactionGuard();
  TransactionGuard(const TransactionGuard&) = delete;
  TransactionGuard& operator=(const TransactionGuard&) = delete;

  void Commit();
  void Rollback();

 private:
  SqlConnection& connection_;
  QString name_;
  int uncaught_;
  bool open_ = true;
};
