#pragma once
// The program's error for a step's own failure (a fault of the disk or of a
// file that ends the command is a StorageFault, below): a number, a
// description and the source that raised it, shown to the user as "number:
// description"; with the file it is about, where the raiser knows it (a
// database error names its database).
// A failure of SQLite carries SQLite's extended result code beside its text:
// the program tells faults by that code, never by SQLite's words, which are
// for the log alone.
#include <QString>

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

// Number of every error raised by the database layer; some callers test it to
// pass over an expected failure (a duplicate key, a schema probe).
inline constexpr int32_t kErrDatabase = static_cast<int32_t>(0x80040000u);

// Numbers of the runtime errors the program raises itself.
inline constexpr int32_t kErrInvalidArgument = 5;   // invalid procedure call or argument
inline constexpr int32_t kErrOutOfMemory = 7;       // no memory (or no thread) the system would give
inline constexpr int32_t kErrOverflow = 6;
inline constexpr int32_t kErrFileNotFound = 53;
inline constexpr int32_t kErrResourceNotFound = 326;
inline constexpr int32_t kErrDeviceIO = 57;
inline constexpr int32_t kErrDiskFull = 61;
inline constexpr int32_t kErrDiskNotReady = 71;
inline constexpr int32_t kErrFileAccess = 75;       // path/file access error
inline constexpr int32_t kErrDuplicateKey = 457;    // key already in a collection
inline constexpr int32_t kErrInvalidPicture = 481;
// An exception that is no RWError (the standard library's, a failed allocation).
inline constexpr int32_t kErrInternal = 51;

// What a failure is, told by SQLite's result code (or, for the program's own
// errors, by its number).
enum class FaultKind {
  None,         // no fault of the disk or the file (a program fault, a refusal of the program's own)
  DiskFull,     // no room left for the file, its journal or its temporary files
  ReadOnly,     // the file, its folder or its disk can no longer be written
  InputOutput,  // the disk failed to read or write, or went away
  Damaged,      // the file is corrupt or no database
  Busy,         // another program holds the file locked
  CannotOpen,   // the file (or its journal) cannot be opened
  OutOfMemory,
  Mismatch,     // a statement names a table or column the file lacks
  Refused,      // a constraint of the file other than a key refused the change
  KeyConflict,  // a UNIQUE or PRIMARY KEY constraint: the row is there already
  // The program's own failure, no fault of the file: a statement of its own
  // that does not compile though the file lacks nothing the program expects,
  // and a conflict between two statements of its own connection
  // (SQLITE_LOCKED: a table dropped while a read of it is under way).
  ProgramError,
  ProgramConflict,
  NotAnswering, // the disk did not answer within the time limit (a mount that hangs)
  // The disk did not answer while a call that may still complete the change
  // was out (the commit's last step): whether it is stored is known only
  // once the disk answers, at the file's next open.
  Unconfirmed,
  // No file could be opened: the process or the system has as many open as
  // it may. A passing shortage, no fault of the file.
  NoFileHandles,
};

class RWError : public std::exception {
 public:
  RWError(int32_t number, QString description, QString source = QString(), QString file = QString());
  // A failure of SQLite: its extended result code, and the kind the raiser
  // tells from it and from where it failed (a statement that did not compile
  // is a Mismatch).
  RWError(int32_t number, QString description, QString source, QString file, int sqliteCode, FaultKind kind);

  int32_t Number() const noexcept { return number_; }
  const QString& Description() const noexcept { return description_; }
  const QString& Source() const noexcept { return source_; }
  const QString& File() const noexcept { return file_; }
  // SQLite's extended result code; 0 for an error not raised by SQLite.
  int SqliteCode() const noexcept { return sqliteCode_; }
  FaultKind Kind() const noexcept { return kind_; }
  // For a Mismatch, what the file lacks, where its connection could tell:
  // a table, or a column of it (empty: the whole table, or not told).
  const QString& MissingTable() const noexcept { return missingTable_; }
  const QString& MissingColumn() const noexcept { return missingColumn_; }
  void NameMissing(QString table, QString column) {
    missingTable_ = std::move(table);
    missingColumn_ = std::move(column);
  }
  // The kind SQLite's extended result code stands for, for a statement that
  // ran (a failure while compiling one is told apart by its raiser).
  static FaultKind KindOfCode(int sqliteCode);

  // "number: description", the form every error report shows.
  QString Text() const;
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  int32_t number_;
  QString description_;
  QString source_;
  QString file_;
  int sqliteCode_ = 0;
  FaultKind kind_ = FaultKind::None;
  QString missingTable_;
  QString missingColumn_;
  std::string what_;
};

// A fault of the disk or of a file that every later step would meet too: full,
// read-only, an I/O error, damaged, held by another program, not openable,
// out of memory. The command that meets it ends there, rolled back whole.
// It is deliberately neither an RWError nor a std::exception, so a catch that
// handles a step's own failures (or turns any exception into an internal
// error) passes it on; the error guard names it, as do the few places that
// must clean up (and throw it on).
class StorageFault {
 public:
  explicit StorageFault(RWError error) : error_(std::move(error)) {}
  const RWError& Error() const noexcept { return error_; }

  // Whether a failure of that kind is a storage fault.
  static bool IsStorageKind(FaultKind kind);
  // Throws the error as what it is: a StorageFault or an RWError.
  [[noreturn]] static void Raise(const RWError& error);

 private:
  RWError error_;
};
