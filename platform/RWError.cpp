#include "platform/RWError.h"

#include <sqlite3.h>

RWError::RWError(int32_t number, QString description, QString source, QString file)
    : number_(number), description_(std::move(description)), source_(std::move(source)), file_(std::move(file)) {
  what_ = Text().toStdString();
  if (number_ == kErrDiskFull) kind_ = FaultKind::DiskFull;
}

RWError::RWError(int32_t number, QString description, QString source, QString file, int sqliteCode, FaultKind kind)
    : RWError(number, std::move(description), std::move(source), std::move(file)) {
  sqliteCode_ = sqliteCode;
  kind_ = kind;
}

FaultKind RWError::KindOfCode(int sqliteCode) {
  switch (sqliteCode) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
      return FaultKind::KeyConflict;
    // A table lock of another connection sharing the cache, as a busy file
    // is another's lock.
    case SQLITE_LOCKED_SHAREDCACHE:
      return FaultKind::Busy;
    default:
      break;
  }
  switch (sqliteCode & 0xFF) {
    case SQLITE_FULL:
      return FaultKind::DiskFull;
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return FaultKind::ReadOnly;
    case SQLITE_IOERR:
      return sqliteCode == SQLITE_IOERR_NOMEM ? FaultKind::OutOfMemory : FaultKind::InputOutput;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_FORMAT:
      return FaultKind::Damaged;
    case SQLITE_BUSY:
    case SQLITE_PROTOCOL:
      return FaultKind::Busy;
    // Within one connection: two of the program's own statements.
    case SQLITE_LOCKED:
      return FaultKind::ProgramConflict;
    case SQLITE_CANTOPEN:
      return FaultKind::CannotOpen;
    case SQLITE_NOMEM:
      return FaultKind::OutOfMemory;
    case SQLITE_CONSTRAINT:
      return FaultKind::Refused;
    default:
      return FaultKind::None;
  }
}

bool StorageFault::IsStorageKind(FaultKind kind) {
  switch (kind) {
    case FaultKind::DiskFull:
    case FaultKind::ReadOnly:
    case FaultKind::InputOutput:
    case FaultKind::Damaged:
    case FaultKind::Busy:
    case FaultKind::CannotOpen:
    case FaultKind::OutOfMemory:
    case FaultKind::NotAnswering:
    case FaultKind::Unconfirmed:
    case FaultKind::NoFileHandles:
      return true;
    default:
      return false;
  }
}

void StorageFault::Raise(const RWError& error) {
  if (IsStorageKind(error.Kind())) throw StorageFault(error);
  throw error;
}

QString RWError::Text() const { return QString::number(number_) + QStringLiteral(": ") + description_; }
