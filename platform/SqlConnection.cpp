#include "platform/SqlConnection.h"

#include "platform/CaseRules.h"
#include "platform/Contract.h"
#include "platform/HangGuard.h"
#include "platform/LongWork.h"
#include "platform/RWError.h"
#include "platform/SqlRecordset.h"
#include "platform/SqlText.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <cstring>

#include <algorithm>
#include <exception>
#include <iterator>
#include <limits>
#include <memory>
#include <thread>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kSource = QStringLiteral("SqlConnection");
constexpr int kBusyTimeoutMs = 3000;

[[noreturn]] void Raise(const QString& description) { throw RWError(kErrDatabase, description, kSource); }

QString UnicodeUpper(const QString& text) { return text.toUpper(); }

// UPPER() that folds every script, not only ASCII, so that text searches
// written as UPPER(x) LIKE UPPER(y) find "Été" by "été"; rw_upper() folds by
// the user's case rules too, so that under Turkish ones "istanbul" finds
// "İstanbul".
template <QString (*upper)(const QString&)>
void Upper(sqlite3_context* context, int argc, sqlite3_value** argv) {
  if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  const char* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  const int bytes = sqlite3_value_bytes(argv[0]);
  const QByteArray folded = upper(QString::fromUtf8(text, bytes)).toUtf8();
  sqlite3_result_text(context, folded.constData(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

// rw_fold(...): a fingerprint of the multiset of rows it is given. Each row's
// values (their type and bytes) are hashed together and the row hashes are
// added, wrapping, so that the order the rows come in does not matter: the
// same rows read off a table and off one of its indexes fold to the same
// number, and a row missing, extra or different folds to another.
uint64_t Mix(uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ULL;
  return h ^ (h >> 33);
}

// Each value goes into the row's hash by a multiply (its type, then its
// bytes); the row's hash is mixed once, so a row of a few numbers costs a
// few multiplies: the open after another program's edit folds every row of
// the largest tables.
constexpr uint64_t kStep = 0x100000001b3ULL;  // FNV-1a's prime

uint64_t HashValue(sqlite3_value* value, uint64_t h) {
  const int type = sqlite3_value_type(value);
  h = (h ^ static_cast<uint64_t>(type)) * kStep;
  if (type == SQLITE_INTEGER) return (h ^ static_cast<uint64_t>(sqlite3_value_int64(value))) * 0x9e3779b97f4a7c15ULL;
  if (type == SQLITE_FLOAT) {
    const double real = sqlite3_value_double(value);
    uint64_t bits = 0;
    std::memcpy(&bits, &real, sizeof bits);
    return (h ^ bits) * 0x9e3779b97f4a7c15ULL;
  }
  if (type == SQLITE_NULL) return h;
  const auto* bytes = static_cast<const unsigned char*>(type == SQLITE_TEXT ? sqlite3_value_text(value)
                                                                             : sqlite3_value_blob(value));
  const int size = sqlite3_value_bytes(value);
  for (int i = 0; i < size; ++i) h = (h ^ bytes[i]) * kStep;  // FNV-1a over the bytes
  return (h ^ static_cast<uint64_t>(size)) * 0x9e3779b97f4a7c15ULL;
}

void FoldStep(sqlite3_context* context, int argc, sqlite3_value** argv) {
  auto* sum = static_cast<uint64_t*>(sqlite3_aggregate_context(context, sizeof(uint64_t)));
  if (!sum) {
    sqlite3_result_error_nomem(context);
    return;
  }
  uint64_t h = 0x9e3779b97f4a7c15ULL;
  for (int i = 0; i < argc; ++i) h = HashValue(argv[i], h);
  *sum += Mix(h);
}

void FoldFinal(sqlite3_context* context) {
  const auto* sum = static_cast<uint64_t*>(sqlite3_aggregate_context(context, 0));
  sqlite3_result_int64(context, sum ? static_cast<sqlite3_int64>(*sum) : 0);
}

uint32_t BigEndian32(const unsigned char* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

// Reads the file header before SQLite touches the file, so that a file that
// is not a database, or one cut short, is refused with a clear message instead
// of failing later on a page that is missing. `reason` says what is wrong.
DatabaseFileState HeaderState(const QString& path, QString& reason) {
  const QFileInfo info(path);
  if (!info.exists()) {
    reason = QStringLiteral("The database file '%1' does not exist").arg(path);
    return DatabaseFileState::Missing;
  }
  QFile file;
  const int fd = info.isFile() ? ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC) : -1;
  const int error = errno;
  if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    reason = info.isFile() ? QStringLiteral("The database file '%1' cannot be read: %2")
                                 .arg(path, QString::fromLocal8Bit(std::strerror(error)))
                           : QStringLiteral("'%1' is not a file").arg(path);
    return info.isFile() && NoFileHandlesLeft(error) ? DatabaseFileState::NoFileHandles
                                                     : DatabaseFileState::Unreadable;
  }
  const QByteArray header = file.read(100);
  const qint64 size = file.size();
  const auto* h = reinterpret_cast<const unsigned char*>(header.constData());
  if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0"))) {
    reason = QStringLiteral("'%1' is not a database file (file is not a database)").arg(path);
    return DatabaseFileState::NotADatabase;
  }
  uint32_t pageSize = (uint32_t(h[16]) << 8) | h[17];
  if (pageSize == 1) pageSize = 65536;
  if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0) {
    reason = QStringLiteral("The database file '%1' is damaged (invalid page size)").arg(path);
    return DatabaseFileState::Damaged;
  }
  const uint32_t pageCount = BigEndian32(h + 28);
  const bool countValid = BigEndian32(h + 92) == BigEndian32(h + 24);
  if (size % pageSize != 0 || (countValid && size < qint64(pageCount) * pageSize)) {
    reason = QStringLiteral("The database file '%1' is damaged: it is shorter than its contents (truncated)").arg(path);
    return DatabaseFileState::Damaged;
  }
  return DatabaseFileState::Usable;
}

void CheckDatabaseFile(const QString& path) {
  QString reason;
  const DatabaseFileState state = HeaderState(path, reason);
  if (state == DatabaseFileState::NoFileHandles) {
    throw RWError(kErrDatabase, reason, kSource, path, SQLITE_CANTOPEN, FaultKind::NoFileHandles);
  }
  if (state != DatabaseFileState::Usable) Raise(reason);
}

// Whether the process may open a few more files: the file, its journal and
// a look at its folder.
bool FileHandlesLeft() {
  int spare[3] = {-1, -1, -1};
  bool left = true;
  for (int& fd : spare) left = left && (fd = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0)) >= 0;
  for (const int fd : spare) {
    if (fd >= 0) ::close(fd);
  }
  return left;
}

// SQLite's quick check of every page, on a read-only connection.
DatabaseFileState QuickCheckState(const QString& path) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                           HangGuard::VfsName());
  sqlite3_stmt* stmt = nullptr;
  if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &stmt, nullptr);
  bool clean = false;
  if (rc == SQLITE_OK) {
    rc = sqlite3_step(stmt);
    clean = rc == SQLITE_ROW && qstrcmp(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "ok") == 0;
  }
  const int code = db ? sqlite3_errcode(db) & 0xFF : rc & 0xFF;
  sqlite3_finalize(stmt);
  sqlite3_close_v2(db);
  if (clean) return DatabaseFileState::Usable;
  if (code == SQLITE_BUSY || code == SQLITE_LOCKED) return DatabaseFileState::Busy;
  // A journal left by a crash can only be rolled back by a writer; the
  // read-write open does that, so this is no sign of damage. Nor is a disk
  // that failed to read, or memory that ran out: the read-write open meets
  // that too and tells it as what it is.
  if (code == SQLITE_READONLY || code == SQLITE_CANTOPEN || code == SQLITE_IOERR || code == SQLITE_NOMEM ||
      code == SQLITE_FULL) {
    return DatabaseFileState::Usable;
  }
  return DatabaseFileState::Damaged;
}

// Writable by the process, and, for the superuser, marked writable by at
// least one of the mode's write bits: a file or folder its owner made
// read-only is taken as meant, though the superuser could write it.
bool Writable(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  struct stat info {};
  if (::stat(name.constData(), &info) != 0 || ::access(name.constData(), W_OK) != 0) return false;
  return ::geteuid() != 0 || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// Whether a file can be made in the folder, as SQLite makes its journal
// there: the probe also finds a file system mounted read-only.
bool FolderTakesFiles(const QString& folder) {
  if (!Writable(folder)) return false;
  QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".rw2-write-probe-XXXXXX")));
  return probe.open();
}

// Whether the file opens for writing (which writes nothing): this also finds
// a file marked immutable.
bool FileTakesWrites(const QString& path) {
  if (!Writable(path)) return false;
  QFile file(path);
  return file.open(QIODevice::ReadWrite);
}

// Whether SQLite itself would write the file: a header that asks for a later
// file format (its write version) makes SQLite open the file read-only,
// which no look at the file's modes can tell. Asked on a read-write
// connection inside a write transaction that is rolled back; only a journal
// left by a crash is rolled back by it, as the open would do next.
bool SqliteWrites(const QString& path) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                           HangGuard::VfsName());
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  const bool readOnly = (rc & 0xFF) == SQLITE_READONLY || (db && sqlite3_db_readonly(db, "main") == 1);
  if (db && !sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close_v2(db);
  return !readOnly;
}

}  // namespace

bool NoFileHandlesLeft(int error) { return error == EMFILE || error == ENFILE; }

DatabaseFileState SqlConnection::Examine(const QString& path, bool checkPages) {
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return DatabaseFileState::Missing;
  // Every look below opens files: with none to spare, each would blame the file.
  if (!FileHandlesLeft()) return DatabaseFileState::NoFileHandles;
  if (QFile::encodeName(info.absoluteFilePath()).size() >= MaxPathBytes()) return DatabaseFileState::PathTooLong;
  QString reason;
  const DatabaseFileState header = HeaderState(path, reason);
  if (header != DatabaseFileState::Usable) return header;
  if (!TakenJournalName(path).isEmpty()) return DatabaseFileState::JournalBlocked;
  if (!FileTakesWrites(path) || !FolderTakesFiles(info.absolutePath())) return DatabaseFileState::ReadOnly;
  const DatabaseFileState pages = checkPages ? QuickCheckState(path) : DatabaseFileState::Usable;
  if (pages == DatabaseFileState::Usable && !SqliteWrites(path)) return DatabaseFileState::ReadOnly;
  return pages;
}

// SQLite looks for a journal and a write-ahead log under these names beside
// the file before every read: something there that is no file (a folder of
// the user's) makes every read fail as an I/O error, though the file itself
// is sound.
QString SqlConnection::TakenJournalName(const QString& path) {
  for (const char* beside : {"-journal", "-wal"}) {
    const QFileInfo companion(path + QLatin1String(beside));
    if (companion.exists() && !companion.isFile()) return companion.filePath();
  }
  return QString();
}

int SqlConnection::MaxPathBytes() {
  const sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
  return vfs ? vfs->mxPathname : 512;
}

SqlConnection::SqlConnection(sqlite3* db, QString path) : db_(db), path_(std::move(path)) {}

SqlConnection::~SqlConnection() { sqlite3_close_v2(db_); }

std::unique_ptr<SqlConnection> SqlConnection::OpenWithFlags(const QString& path, int flags) {
  // A connection is used by one thread only (the user-interface thread), so
  // SQLite's per-call locking is switched off.
  flags |= SQLITE_OPEN_NOMUTEX;
  sqlite3* db = nullptr;
  // Through the program's file layer: on a mount that may stop answering,
  // the window's calls give up after the mount probe's limit (HangGuard.h).
  const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, HangGuard::VfsName());
  if (rc != SQLITE_OK) {
    const QString reason = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const int code = db ? sqlite3_extended_errcode(db) : rc;
    const bool noHandles = db && NoFileHandlesLeft(sqlite3_system_errno(db));
    sqlite3_close_v2(db);
    // Refused as the open refuses a file, not as a fault met by a command.
    throw RWError(kErrDatabase, QStringLiteral("Cannot open the database '%1': %2").arg(path, reason), kSource, path,
                  code, noHandles ? FaultKind::NoFileHandles : RWError::KindOfCode(code));
  }
  std::unique_ptr<SqlConnection> connection(new SqlConnection(db, path));
  connection->Configure();
  return connection;
}

std::unique_ptr<SqlConnection> SqlConnection::Open(const QString& path) {
  CheckDatabaseFile(path);
  auto connection = OpenWithFlags(path, SQLITE_OPEN_READWRITE);
  // Reading the schema makes SQLite verify the file now rather than on first use.
  try {
    connection->Execute(QStringLiteral("SELECT count(*) FROM sqlite_master"));
  } catch (const RWError& e) {
    Raise(QStringLiteral("'%1' is not a usable database: %2").arg(path, e.Description()));
  } catch (const StorageFault& fault) {
    // Refused as the open refuses a file, not as a fault met by a command.
    const RWError& e = fault.Error();
    throw RWError(kErrDatabase, QStringLiteral("'%1' is not a usable database: %2").arg(path, e.Description()), kSource,
                  path, e.SqliteCode(), e.Kind());
  }
  if (sqlite3_db_readonly(connection->db_, "main") == 1) {
    // Told as a file that can no longer be written, naming it.
    throw RWError(kErrDatabase, QStringLiteral("Cannot open the database '%1': SQLite can only read it").arg(path),
                  kSource, path, SQLITE_READONLY, FaultKind::ReadOnly);
  }
  return connection;
}

std::unique_ptr<SqlConnection> SqlConnection::Create(const QString& path) {
  if (QFileInfo::exists(path)) Raise(QStringLiteral("Cannot create the database '%1': the file exists").arg(path));
  return OpenWithFlags(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

// Another program's lock is waited for as SQLite's own busy timeout waits,
// sleeping a little longer each time, for at most kBusyTimeoutMs in all; the
// window's thread paints past long work's grace meanwhile, with the pulse,
// so that the window does not stand frozen for the whole limit. It sleeps
// through SQLite's file layer, as SQLite's own timeout does, and counts as
// waited at least what it asked to sleep: a test's file layer that takes no
// time to sleep meets the limit at once.
int SqlConnection::BusyWait(void* self, int count) {
  using namespace std::chrono;
  static constexpr int kDelaysMs[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50};
  auto& connection = *static_cast<SqlConnection*>(self);
  const auto now = steady_clock::now();
  if (count == 0) {
    connection.busySince_ = connection.busyPainted_ = now;
    connection.busySlept_ = 0;
  }
  const auto waited =
      std::max<int64_t>(duration_cast<milliseconds>(now - connection.busySince_).count(), connection.busySlept_);
  if (waited >= kBusyTimeoutMs) return 0;
  if (waited >= LongWork::kGraceMs && now - connection.busyPainted_ >= milliseconds(LongWork::kPaintMs)) {
    connection.busyPainted_ = now;
    connection.inCallback_ = true;
    LongWork::Pulse(waited);
    LongWork::Paint();
    connection.inCallback_ = false;
  }
  // Slept in slices no longer than half the painting's interval.
  const int delay = kDelaysMs[std::min<size_t>(static_cast<size_t>(count), std::size(kDelaysMs) - 1)];
  const auto sleep = static_cast<int>(std::min<int64_t>({delay, LongWork::kPaintMs / 2, kBusyTimeoutMs - waited}));
  sqlite3_sleep(sleep);
  connection.busySlept_ += sleep;
  return 1;
}

int SqlConnection::Tick(void* self) {
  auto& connection = *static_cast<SqlConnection*>(self);
  if (!connection.tick_ || connection.inCallback_) return 0;
  connection.inCallback_ = true;
  // Nothing may be thrown through SQLite's own frames: a tick that fails
  // (its drawing) is passed over.
  bool goOn = true;
  try {
    goOn = (*connection.tick_)();
  } catch (...) {
    qWarning("A progress report inside a statement failed");
  }
  connection.inCallback_ = false;
  return goOn ? 0 : 1;
}

void SqlConnection::RefuseInsideCallback() const {
  RW_CONTRACT(!inCallback_ && !HangGuard::Waiting(),
              "a statement of a connection begun from inside one of its own SQLite callbacks");
  // A give-up SQLite passed over (a lock's release) is not this statement's.
  HangGuard::TakeGiveUp();
}

SqlConnection::Ticking::Ticking(SqlConnection& connection, std::function<bool()> tick)
    : connection_(connection), tick_(std::move(tick)), previous_(connection.tick_) {
  connection_.tick_ = &tick_;
  connection_.InstallProgress();
  // A commit writes and syncs every page changed in one step of SQLite's:
  // the file layer ticks meanwhile.
  const HangGuard::FileTick before = HangGuard::SetTick({&SqlConnection::Tick, &connection_});
  previousFileCall_ = before.call;
  previousFileArgument_ = before.argument;
}

SqlConnection::Ticking::~Ticking() {
  HangGuard::SetTick({previousFileCall_, previousFileArgument_});
  connection_.tick_ = previous_;
  connection_.InstallProgress();
}

void SqlConnection::Configure() {
  sqlite3_busy_handler(db_, &SqlConnection::BusyWait, this);
  // A library of tens of thousands of files is read whole by an open and by
  // the upkeep: through SQLite's default cache of 2 MB every page would be
  // read again and again. The cache is a ceiling, filled only as pages are
  // read. The file is not memory-mapped: mapped pages would count against
  // the program's memory as the whole file is read.
  sqlite3_exec(db_, "PRAGMA cache_size = -16384", nullptr, nullptr, nullptr);  // 16 MiB
  // A library file is data from outside: its schema may not call functions
  // with side effects, nor may SQL change the file's structure behind SQLite.
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  // The library's layout holds no trigger: one another tool stored in the
  // file would run its own statements inside the program's, so none runs.
  sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  sqlite3_set_authorizer(db_, &SqlConnection::Authorize, this);
  sqlite3_create_function_v2(db_, "UPPER", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                             &Upper<UnicodeUpper>, nullptr, nullptr, nullptr);
  // What it gives depends on the user's locale: no view or index of a
  // library file may hold it.
  sqlite3_create_function_v2(db_, "rw_upper", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY, nullptr,
                             &Upper<CaseRules::Upper>, nullptr, nullptr, nullptr);
  // Only the program's own statements may fold: a view or index of another
  // program's may not call it.
  sqlite3_create_function_v2(db_, "rw_fold", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY, nullptr,
                             nullptr, &FoldStep, &FoldFinal, nullptr);
}

// Records the rows each statement prepared writes; allows every statement.
int SqlConnection::Authorize(void* self, int action, const char* first, const char* second, const char* database,
                             const char*) {
  SqlWrites& writes = static_cast<SqlConnection*>(self)->writes_;
  const auto name = [](const char* text) { return QString::fromUtf8(text).toLower(); };
  const bool main = database && qstrcmp(database, "main") == 0;
  switch (action) {
    case SQLITE_INSERT:
      if (main) writes.rowsAdded.insert(name(first));
      break;
    case SQLITE_DELETE:
      if (main) writes.rowsRemoved.insert(name(first));
      break;
    case SQLITE_UPDATE:
      if (main) writes.columnsUpdated.insert(name(first) + QLatin1Char('.') + name(second));
      break;
    default:
      break;
  }
  return SQLITE_OK;
}

int64_t SqlConnection::DataVersion() {
  return SqlRecordset(*this, QStringLiteral("PRAGMA data_version")).Value(0).toInt64();
}

void SqlConnection::Fail(const QString& context, bool compiling) const {
  QString description = QString::fromUtf8(sqlite3_errmsg(db_));
  if (!context.isEmpty()) description += QStringLiteral(" (") + context + QLatin1Char(')');
  RaiseFailure(description, sqlite3_extended_errcode(db_), compiling);
}

namespace {

SqlConnection::LayoutSurvey& InstalledSurvey() {
  static SqlConnection::LayoutSurvey survey;
  return survey;
}

}  // namespace

void SqlConnection::SetLayoutSurvey(LayoutSurvey survey) { InstalledSurvey() = std::move(survey); }

// The survey reads the file's layout through this connection; a failure of
// its own SQL is no answer, and the statement's failure is then the
// program's. A fault of the disk or the file met by the survey is the truer
// cause and is told instead.
std::optional<LayoutGap> SqlConnection::SurveyLayout(bool compiling) const {
  const LayoutSurvey& survey = InstalledSurvey();
  if (!survey) return compiling ? std::optional<LayoutGap>(LayoutGap{}) : std::nullopt;
  if (surveying_) return std::nullopt;
  surveying_ = true;
  std::optional<LayoutGap> gap;
  try {
    gap = survey(const_cast<SqlConnection&>(*this));
  } catch (const StorageFault&) {
    surveying_ = false;
    throw;
  } catch (...) {
    gap.reset();
  }
  surveying_ = false;
  return gap;
}

// A failure that left no transaction while savepoints were open was one
// SQLite answered by rolling the whole transaction back. A statement of the
// program's that does not compile is the file's fault only where the file
// lacks a table or column the program expects, which the failure then names;
// otherwise it is the program's own. A statement compiled before another
// program changed the file's layout is compiled again when it runs, and
// fails there: a general error while running is the file's too where the
// file lacks something.
void SqlConnection::RaiseFailure(const QString& description, int code, bool compiling) const {
  // A file call given up on a disk that did not answer is told as such,
  // whatever SQLite made of the error it got.
  const HangGuard::GiveUp giveUp = HangGuard::TakeGiveUp();
  FaultKind kind = giveUp == HangGuard::GiveUp::MayBeDone ? FaultKind::Unconfirmed
                   : giveUp == HangGuard::GiveUp::NotDone ? FaultKind::NotAnswering
                                                          : RWError::KindOfCode(code);
  // A journal or temporary file that could not be opened for want of file
  // handles is no fault of the library's file.
  if ((kind == FaultKind::CannotOpen || kind == FaultKind::InputOutput) && NoFileHandlesLeft(sqlite3_system_errno(db_))) {
    kind = FaultKind::NoFileHandles;
  }
  std::optional<LayoutGap> gap;
  if (kind == FaultKind::NotAnswering || kind == FaultKind::Unconfirmed) {
  } else if (compiling && (code & 0xFF) == SQLITE_ERROR) {
    gap = SurveyLayout(true);
    kind = gap ? FaultKind::Mismatch : FaultKind::ProgramError;
  } else if (code == SQLITE_ERROR) {
    gap = SurveyLayout(false);
    if (gap) kind = FaultKind::Mismatch;
  }
  RWError error(kErrDatabase, description, kSource, path_, code, kind);
  if (gap) error.NameMissing(gap->table, gap->column);
  if (!savepoints_.empty() && !lostBy_ && sqlite3_get_autocommit(db_)) lostBy_ = error;
  if ((kind == FaultKind::Damaged || kind == FaultKind::Unconfirmed) && !damagedBy_) damagedBy_ = error;
  StorageFault::Raise(error);
}

// Savepoints a statement of its own (a ROLLBACK or COMMIT) ended are
// forgotten before the next statement, so that only a failure ends them.
void SqlConnection::ForgetEndedSavepoints() {
  if (!lostBy_ && !savepoints_.empty() && sqlite3_get_autocommit(db_)) savepoints_.clear();
}

void SqlConnection::BeginStatement(sqlite3_stmt* stmt) {
  ForgetEndedSavepoints();
  if (sqlite3_stmt_readonly(stmt)) return;
  if (damagedBy_) StorageFault::Raise(*damagedBy_);
  if (lostBy_) StorageFault::Raise(*lostBy_);
}

void SqlConnection::BeginOwnStatement(sqlite3_stmt* stmt) {
  try {
    BeginStatement(stmt);
  } catch (...) {
    sqlite3_finalize(stmt);
    throw;
  }
}

int64_t SqlConnection::TotalChanges() const { return sqlite3_total_changes64(db_); }

sqlite3_stmt* SqlConnection::PrepareStatement(const QString& sql) {
  RefuseInsideCallback();
  ForgetEndedSavepoints();
  const QByteArray text = sql.toUtf8();
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, text.constData(), static_cast<int>(text.size()), &stmt, nullptr) != SQLITE_OK) {
    rowsChanged_ = 0;
    Fail(QString(), true);
  }
  if (!stmt) {
    rowsChanged_ = 0;
    Raise(QStringLiteral("The statement is empty"));
  }
  BeginOwnStatement(stmt);
  return stmt;
}

void SqlConnection::Execute(const QString& sql) {
  RefuseInsideCallback();
  ForgetEndedSavepoints();
  rowsChanged_ = 0;
  const QByteArray text = sql.toUtf8();
  const char* next = text.constData();
  const char* end = next + text.size();
  const int64_t before = TotalChanges();
  while (next < end) {
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, next, static_cast<int>(end - next), &stmt, &tail) != SQLITE_OK) {
      Fail(QString(), true);
    }
    next = tail;
    if (!stmt) continue;  // blanks or a comment after the last ";"
    BeginOwnStatement(stmt);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
      const QString reason = QString::fromUtf8(sqlite3_errmsg(db_));
      const int code = sqlite3_extended_errcode(db_);
      sqlite3_finalize(stmt);
      RaiseFailure(reason, code, false);
    }
    sqlite3_finalize(stmt);
  }
  rowsChanged_ = TotalChanges() - before;
}

bool SqlConnection::IsDiskFull(const RWError& error) { return error.Kind() == FaultKind::DiskFull; }

bool SqlConnection::IsKeyConflict(const RWError& error) { return error.Kind() == FaultKind::KeyConflict; }

bool SqlConnection::IsStopped(const RWError& error) { return (error.SqliteCode() & 0xFF) == SQLITE_INTERRUPT; }

void SqlConnection::StopWhen(std::function<bool()> stop) {
  stop_ = std::move(stop);
  InstallProgress();
}

// SQLite keeps one progress handler per connection: it asks the stop and
// then the live Ticking's tick.
int SqlConnection::Progress(void* self) {
  auto& connection = *static_cast<SqlConnection*>(self);
  if (connection.stop_ && !connection.inCallback_ && connection.stop_()) return 1;
  return Tick(self);
}

void SqlConnection::InstallProgress() {
  // A thousand of SQLite's steps between asks: a step that frees or writes
  // pages (a row with its picture removed) takes tens of microseconds.
  constexpr int kStepsBetweenAsks = 1000;
  if (stop_ || tick_) {
    sqlite3_progress_handler(db_, kStepsBetweenAsks, &SqlConnection::Progress, this);
  } else {
    sqlite3_progress_handler(db_, 0, nullptr, nullptr);
  }
}

int64_t SqlConnection::LastInsertId() const { return sqlite3_last_insert_rowid(db_); }

int32_t SqlConnection::LastInsertRowNumber() const {
  // Refused, the row stays written unless a transaction takes it back.
  RW_CONTRACT(!sqlite3_get_autocommit(db_),
              "LastInsertRowNumber is read inside a transaction that is rolled back when it refuses the number");
  const int64_t id = LastInsertId();
  if (id < std::numeric_limits<int32_t>::min() || id > std::numeric_limits<int32_t>::max()) {
    Raise(QStringLiteral("The library has no row number left for the new row: another program numbered its rows "
                         "up to the largest one Reelwise II can hold."));
  }
  return static_cast<int32_t>(id);
}

void SqlConnection::BeginTrans(const QString& name) {
  if (lostBy_) StorageFault::Raise(*lostBy_);
  Execute(QStringLiteral("SAVEPOINT ") + SqlIdentifier(name));  // forgets savepoints ended meanwhile
  savepoints_.push_back(name);
}

void SqlConnection::CommitTrans(const QString& name) {
  if (lostBy_) StorageFault::Raise(*lostBy_);
  Execute(QStringLiteral("RELEASE SAVEPOINT ") + SqlIdentifier(name));
  CloseSavepoint(name);
}

void SqlConnection::RollbackTrans(const QString& name) {
  if (!lostBy_) {
    // The outermost savepoint is the transaction: ROLLBACK ends it. Its
    // RELEASE after ROLLBACK TO would be a commit (of nothing), which a
    // lock another program holds or a failing disk can refuse, leaving the
    // transaction open with every later change in it.
    size_t at = savepoints_.size();
    for (size_t i = savepoints_.size(); i-- > 0;) {
      if (savepoints_[i].compare(name, Qt::CaseInsensitive) == 0) {
        at = i;
        break;
      }
    }
    if (at == 0) {
      Execute(QStringLiteral("ROLLBACK"));
    } else {
      const QString id = SqlIdentifier(name);
      Execute(QStringLiteral("ROLLBACK TO SAVEPOINT ") + id);
      Execute(QStringLiteral("RELEASE SAVEPOINT ") + id);
    }
  }
  CloseSavepoint(name);
}

// As SQLite does, the latest savepoint of that name (names are compared
// without case).
void SqlConnection::CloseSavepoint(const QString& name) {
  for (size_t i = savepoints_.size(); i-- > 0;) {
    if (savepoints_[i].compare(name, Qt::CaseInsensitive) == 0) {
      savepoints_.resize(i);
      break;
    }
  }
  if (savepoints_.empty()) lostBy_.reset();
}

bool SqlConnection::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

void SqlConnection::Compact() {
  if (InTransaction()) {
    rowsChanged_ = 0;
    Raise(QStringLiteral("The database cannot be compacted while a transaction is open"));
  }
  Execute(QStringLiteral("VACUUM"));
}

QString SqlConnection::NewPartialName(const QString& path) {
  // The program's own name beside the target, of this process and not taken:
  // a file the user keeps as "<target>.partial" is never touched.
  const QString stem = path + QStringLiteral(".%1").arg(QCoreApplication::applicationPid());
  for (int n = 0;; ++n) {
    const QString name = stem + (n == 0 ? QString() : QStringLiteral("-%1").arg(n)) + QStringLiteral(".partial");
    if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink()) return name;
  }
}

void SqlConnection::CopyTo(const QString& path) { CopyTo(path, NewPartialName(path)); }

namespace {

// Why a copy could not be written, for SQLite's code on the copy's side.
int ErrnoOfCode(int code) {
  switch (code & 0xFF) {
    case SQLITE_FULL:
      return ENOSPC;
    case SQLITE_READONLY:
      return EROFS;
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return EACCES;
    case SQLITE_IOERR:
      return EIO;
    default:
      return 0;
  }
}

// The copy's failure in the program's words, naming the copy's file; SQLite's
// and the C library's words go to the log.
[[noreturn]] void CopyFailed(const QString& path, int error) {
  throw RWError(error == ENOSPC || error == EDQUOT ? kErrDiskFull : kErrFileAccess, FileErrorText(error), kSource,
                path);
}

// Whether a failed step of the backup is the open library's own: the backup
// only reads it, so only what a read meets (the file's bytes unreadable or
// damaged, another program's lock, memory) is its fault. Anything else (a
// full disk, a failed write, sync or lock) is the copy's. SQLite reports
// either side's failure on neither connection until the backup ends, so the
// code is all there is to tell them by.
bool ReadOfTheSource(int code) {
  switch (RWError::KindOfCode(code)) {
    case FaultKind::Damaged:
    case FaultKind::Busy:
    case FaultKind::ProgramConflict:
    case FaultKind::OutOfMemory:
      return true;
    case FaultKind::InputOutput:
      return code == SQLITE_IOERR_READ || code == SQLITE_IOERR_SHORT_READ;
    default:
      return false;
  }
}

// Makes the folder's entries (the rename) reach the disk; guarded as the
// calls on the file `beside` in it.
void SyncFolderOf(const QString& beside) {
  const QByteArray folder = QFile::encodeName(QFileInfo(beside).absolutePath());
  HangGuard::CallOnFile(beside, [folder] {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
  }, HangGuard::FileCall::Sync);
}

// A system call's errno, or ETIMEDOUT when its disk did not answer
// (HangGuard::OnFile); 0 when it succeeded.
template <typename Call>
int ErrorOf(const QString& path, Call call, HangGuard::FileCall kind = HangGuard::FileCall::Other) {
  return HangGuard::OnFile(path, [call] { return call() < 0 ? errno : 0; }, kind).value_or(ETIMEDOUT);
}

void RemoveCopy(const QString& partial) {
  HangGuard::CallOnFile(partial, [partial] {
    QFile::remove(partial);
    QFile::remove(partial + QStringLiteral("-journal"));
  });
}

// The copy's bytes are made to reach the disk a piece at a time, each piece
// a call of its own: on a slow disk a large copy's sync shows its progress
// call by call (a job's StepEachCall) instead of looking like a disk that
// stopped answering. Answers an errno, 0 once the whole file is synced.
int SyncInPieces(const QString& file) {
  constexpr off_t kPiece = 4 << 20;
  const QByteArray name = QFile::encodeName(file);
  auto fd = std::make_shared<int>(-1);
  int error = ErrorOf(file, [name, fd] { return *fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC); });
  if (error != 0) return error;
  struct stat info {};
  if (::fstat(*fd, &info) != 0) error = errno;
  for (off_t at = 0; error == 0 && at < info.st_size; at += kPiece) {
    error = ErrorOf(
        file, [fd, at] { return ::sync_file_range(*fd, at, kPiece, SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                                                                        SYNC_FILE_RANGE_WAIT_AFTER); },
        HangGuard::FileCall::Sync);
  }
  if (error == 0) error = ErrorOf(file, [fd] { return ::fsync(*fd); }, HangGuard::FileCall::Sync);
  HangGuard::CallOnFile(file, [fd] { ::close(*fd); });
  return error;
}

}  // namespace

void SqlConnection::CopyTo(const QString& path, const QString& partial,
                           const std::function<bool(int done, int total)>& step,
                           const std::function<bool()>& beforeShowing) {
  // The copy is written beside the target and renamed over it, so a failure
  // never leaves a half-written library under the chosen name. The partial
  // file is made anew: a file already there under its name is not replaced.
  // Every call on the copy's disk is guarded as the library's own.
  const QByteArray partialName = QFile::encodeName(partial);
  const int madeError = ErrorOf(partial, [partialName] {
    const int made = ::open(partialName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return made < 0 ? made : ::close(made);
  });
  if (madeError != 0) CopyFailed(path, madeError);
  sqlite3* target = nullptr;
  int rc = sqlite3_open_v2(partialName.constData(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                           HangGuard::VfsName());
  int sourceCode = SQLITE_OK;
  bool stopped = false;
  if (rc == SQLITE_OK) {
    // A copy has no earlier state to go back to: it keeps no journal, which
    // a failing disk would leave beside it, and it is synced whole below.
    sqlite3_exec(target, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", db_, "main");
    if (backup) {
      // A megabyte of pages a step, each reported; another connection's
      // lock on the source is waited for as the busy handler waits (its
      // sleeps through SQLite's file layer, counted as asked).
      constexpr int kPagesPerStep = 256;
      int waited = 0;
      int stepped;
      while ((stepped = sqlite3_backup_step(backup, kPagesPerStep)) == SQLITE_OK || stepped == SQLITE_BUSY ||
             stepped == SQLITE_LOCKED) {
        if (stepped != SQLITE_OK) {
          if ((waited += 10) > kBusyTimeoutMs) break;
          sqlite3_sleep(10);
        }
        const int total = sqlite3_backup_pagecount(backup);
        if (step && !step(total - sqlite3_backup_remaining(backup), total)) {
          stopped = true;
          break;
        }
      }
      if (stepped != SQLITE_DONE && !stopped && ReadOfTheSource(stepped)) sourceCode = stepped;
      sqlite3_backup_finish(backup);
    }
    rc = sqlite3_errcode(target);
  }
  const QString reason = QString::fromUtf8(target ? sqlite3_errmsg(target) : sqlite3_errstr(rc));
  const int code = target ? sqlite3_extended_errcode(target) : rc;
  sqlite3_close_v2(target);
  if (rc != SQLITE_OK || sourceCode != SQLITE_OK || stopped) {
    RemoveCopy(partial);
    if (stopped) Raise(QStringLiteral("The copy to '%1' was stopped").arg(path));
    if (sourceCode != SQLITE_OK) {
      // The open library's own file failed to be read: told as its fault.
      RaiseFailure(QString::fromUtf8(sqlite3_errstr(sourceCode)), sourceCode, false);
    }
    qWarning("Copying the database to '%s': %s (%d)", qPrintable(path), qPrintable(reason), code);
    CopyFailed(path, ErrnoOfCode(code));
  }
  if (const int error = SyncInPieces(partial); error != 0) {
    RemoveCopy(partial);
    CopyFailed(path, error);
  }
  bool show = true;
  try {
    show = !beforeShowing || beforeShowing();
  } catch (...) {
    RemoveCopy(partial);
    throw;
  }
  if (!show) {
    RemoveCopy(partial);
    Raise(QStringLiteral("The copy to '%1' was stopped").arg(path));
  }
  const QByteArray pathName = QFile::encodeName(path);
  const int renamed = ErrorOf(
      partial, [partialName, pathName] { return ::rename(partialName.constData(), pathName.constData()); },
      HangGuard::FileCall::Replace);
  if (renamed != 0) {
    if (renamed != ETIMEDOUT) RemoveCopy(partial);
    CopyFailed(path, renamed);
  }
  SyncFolderOf(partial);
}

std::unique_ptr<SqlRecordset> SqlConnection::OpenRecordset(const QString& sql) {
  return std::make_unique<SqlRecordset>(*this, sql);
}

std::unique_ptr<SqlCommand> SqlConnection::Prepare(const QString& sql) {
  return std::make_unique<SqlCommand>(*this, sql);
}

// --- SqlCommand -------------------------------------------------------------

SqlCommand::SqlCommand(SqlConnection& connection, const QString& sql)
    : connection_(connection), stmt_(connection.PrepareStatement(sql)) {}

SqlCommand::~SqlCommand() { sqlite3_finalize(stmt_); }

void SqlCommand::Bind(int index, const SqlValue& value) {
  int rc = SQLITE_OK;
  switch (value.type()) {
    case SqlValue::Type::Null:
      rc = sqlite3_bind_null(stmt_, index);
      break;
    case SqlValue::Type::Integer:
      rc = sqlite3_bind_int64(stmt_, index, value.toInt64());
      break;
    case SqlValue::Type::Real:
      rc = sqlite3_bind_double(stmt_, index, value.toDouble());
      break;
    case SqlValue::Type::Text: {
      const QByteArray bytes = value.toBytes();
      rc = sqlite3_bind_text64(stmt_, index, bytes.constData(), static_cast<sqlite3_uint64>(bytes.size()),
                               SQLITE_TRANSIENT, SQLITE_UTF8);
      break;
    }
    case SqlValue::Type::Blob: {
      const QByteArray bytes = value.toBytes();
      rc = sqlite3_bind_blob64(stmt_, index, bytes.constData(), static_cast<sqlite3_uint64>(bytes.size()),
                               SQLITE_TRANSIENT);
      break;
    }
  }
  if (rc != SQLITE_OK) connection_.Fail(QStringLiteral("parameter %1").arg(index));
}

void SqlCommand::BindInt(int index, int64_t value) {
  if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) connection_.Fail(QStringLiteral("parameter %1").arg(index));
}

void SqlCommand::ClearBindings() { sqlite3_clear_bindings(stmt_); }

bool SqlCommand::Step() {
  connection_.BeginStatement(stmt_);
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  sqlite3_reset(stmt_);
  if (rc != SQLITE_DONE) connection_.Fail(QString());
  return false;
}

int64_t SqlCommand::ColumnInt(int column) const { return sqlite3_column_int64(stmt_, column); }

QByteArray SqlCommand::ColumnBytes(int column) const {
  const void* data = sqlite3_column_blob(stmt_, column);
  const int size = sqlite3_column_bytes(stmt_, column);
  return data ? QByteArray(static_cast<const char*>(data), size) : QByteArray();
}

QByteArrayView SqlCommand::ColumnText(int column) const {
  sqlite3_value* value = Field(column);
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
  return text ? QByteArrayView(text, sqlite3_value_bytes(value)) : QByteArrayView();
}

int SqlCommand::FieldCount() const { return sqlite3_column_count(stmt_); }

int SqlCommand::FieldIndex(const QString& name) const {
  for (int c = 0; c < FieldCount(); ++c) {
    if (QString::fromUtf8(sqlite3_column_name(stmt_, c)).compare(name, Qt::CaseInsensitive) == 0) return c;
  }
  return -1;
}

// The column's value object is read directly, as the recordset reads it: one
// call into sqlite for the value, whose type and content are then at hand.
sqlite3_value* SqlCommand::Field(int column) const { return sqlite3_column_value(stmt_, column); }

bool SqlCommand::IsNull(int column) const { return sqlite3_value_type(Field(column)) == SQLITE_NULL; }

int64_t SqlCommand::toInt64(int column) const {
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

int SqlCommand::toInt(int column) const {
  const int64_t v = toInt64(column);
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

double SqlCommand::toDouble(int column) const {
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

bool SqlCommand::toBool(int column) const {
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

QString SqlCommand::toString(int column) const {
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

SqlValue SqlCommand::Value(int column) const { return SqlRecordset::FieldValue(stmt_, column, &texts_); }

int64_t SqlCommand::Execute() {
  connection_.SetRowsChanged(0);
  connection_.BeginStatement(stmt_);
  const int64_t before = connection_.TotalChanges();
  int rc;
  while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
  }
  sqlite3_reset(stmt_);
  if (rc != SQLITE_DONE) connection_.Fail(QString());
  const int64_t changed = connection_.TotalChanges() - before;
  connection_.SetRowsChanged(changed);
  return changed;
}

// --- TransactionGuard ---------------------------------------------------------

TransactionGuard::TransactionGuard(SqlConnection& connection, const QString& name)
    : connection_(connection), name_(name), uncaught_(std::uncaught_exceptions()) {
  connection_.BeginTrans(name_);
}

TransactionGuard::~TransactionGuard() {
  if (!open_) return;
  try {
    if (std::uncaught_exceptions() > uncaught_) {
      connection_.RollbackTrans(name_);
    } else {
      connection_.CommitTrans(name_);
    }
  } catch (...) {
    // A destructor cannot report; callers that need the outcome call Commit().
    // Make sure the savepoint does not stay open either way.
    try {
      connection_.RollbackTrans(name_);
    } catch (...) {
    }
  }
}

// The guard stays open until the call succeeds, so that a failed commit is
// still rolled back when its exception leaves the scope.
void TransactionGuard::Commit() {
  if (!open_) return;
  connection_.CommitTrans(name_);
  open_ = false;
}

void TransactionGuard::Rollback() {
  if (!open_) return;
  connection_.RollbackTrans(name_);
  open_ = false;
}
