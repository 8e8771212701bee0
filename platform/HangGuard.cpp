#include "platform/HangGuard.h"

#include "platform/Contract.h"
#include "platform/MountProbe.h"
#include "platform/MountTable.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QString>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <string_view>
#include <thread>
#include <vector>

namespace HangGuard {

namespace {

thread_local FileTick tTick;
thread_local unsigned tTickCalls = 0;
std::atomic<bool> gEveryFile{false};
std::atomic<int> gStillOut{0};
thread_local GiveUp tGaveUp = GiveUp::None;
thread_local WatchedWork* tWatched = nullptr;
thread_local int tWaiting = 0;
std::atomic<BeforeCall> gBeforeCall{nullptr};

// A call slower than this is a sign of a disk that struggles: the window's
// thread counts the time of such calls during a command against the limit.
constexpr int64_t kSlowCallMs = 500;
std::atomic<int64_t> gSlowSpentMs{0};
// When the window's thread last took events or began a command: a wait's
// grace counts from there, so that one late in a command paints at once.
std::atomic<int64_t> gHeldSinceMs{0};

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void NoteGiveUp(GiveUp giveUp) { tGaveUp = std::max(tGaveUp, giveUp); }

// The library a file belongs to: its own path, that of the file beside
// which SQLite keeps its journal, write-ahead log or shared memory.
QString LibraryOf(const QString& path) {
  QString name = QDir::cleanPath(path);
  for (const QLatin1String beside : {QLatin1String("-journal"), QLatin1String("-wal"), QLatin1String("-shm")}) {
    if (name.endsWith(beside)) {
      name.chop(beside.size());
      break;
    }
  }
  return name;
}

// The libraries with calls given up still out, with how many.
std::mutex& OutMutex() {
  static std::mutex mutex;
  return mutex;
}
QHash<QString, int>& OutLibraries() {
  static QHash<QString, int> out;
  return out;
}

bool LibraryOut(const QString& library) {
  if (library.isEmpty() || gStillOut.load() == 0) return false;
  const std::lock_guard<std::mutex> lock(OutMutex());
  return OutLibraries().value(library) > 0;
}

void CountOut(const QString& library, int change) {
  if (library.isEmpty()) return;
  const std::lock_guard<std::mutex> lock(OutMutex());
  const int now = OutLibraries().value(library) + change;
  if (now > 0) {
    OutLibraries().insert(library, now);
  } else {
    OutLibraries().remove(library);
  }
}

// What the window's thread may still wait in this command; a new command,
// or the event loop taking events again, starts it anew.
int RemainingMs() {
  static const bool reset = [] {
    QCoreApplication* application = QCoreApplication::instance();
    if (auto* dispatcher = application ? QAbstractEventDispatcher::instance(application->thread()) : nullptr) {
      QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [] { NewCommand(); });
      QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [] { NewCommand(); });
    }
    return true;
  }();
  (void)reset;
  return static_cast<int>(std::max<int64_t>(0, MountProbe::kTimeLimitMs - gSlowSpentMs.load()));
}

// The default layer, asked at each use: a layer registered as the default
// later (a test's) is the one guarded.
sqlite3_vfs* Lower() { return sqlite3_vfs_find(nullptr); }

// Whether files in `folder` lie on a mount that may stop answering: a
// network file system, or one served by a program of its own (FUSE) other
// than a local disk's. Asked once a minute per folder (a journal is opened
// beside the library at every write).
bool MayHang(const QString& folder) {
  using Clock = std::chrono::steady_clock;
  struct Known {
    bool mayHang;
    Clock::time_point at;
  };
  static std::mutex mutex;
  static QHash<QString, Known> known;
  const auto now = Clock::now();
  {
    const std::lock_guard<std::mutex> lock(mutex);
    const auto found = known.constFind(folder);
    if (found != known.cend() && now - found->at < std::chrono::minutes(1)) return found->mayHang;
  }
  QString best;
  QString type;
  for (const MountEntry& mount : MountTable::Read()) {
    const QString& point = mount.mountPoint;
    const bool holds = point == QLatin1String("/") || folder == point || folder.startsWith(point + QLatin1Char('/'));
    if (holds && point.size() >= best.size()) {
      best = point;
      type = mount.fsType;
    }
  }
  const bool mayHang = MountTable::IsNetworkFilesystem(type) ||
                       (type.startsWith(QLatin1String("fuse")) && type != QLatin1String("fuseblk"));
  const std::lock_guard<std::mutex> lock(mutex);
  known.insert(folder, {mayHang, now});
  return mayHang;
}

QString FolderOf(const char* path) {
  const QString clean = QDir::cleanPath(QString::fromUtf8(path));
  const qsizetype slash = clean.lastIndexOf(QLatin1Char('/'));
  return slash <= 0 ? QStringLiteral("/") : clean.left(slash);
}

// The mount a file lies on, remembered as dead when a call on it is given
// up. Where every file is guarded (tests, whose folders share one disk),
// each folder stands for a mount of its own.
QString RootOf(const char* path) {
  return gEveryFile ? FolderOf(path) : MountProbe::MountPointOf(QString::fromUtf8(path));
}

// The lower layer's file, kept apart from SQLite's own handle so that it
// outlives a call given up on it: SQLite frees its handle at xClose, while
// the call may still come back later and close the file then.
struct LowerFile {
  std::vector<std::max_align_t> storage;
  QString root;     // the mount, for the dead mounts' memory
  QString library;  // the library it belongs to, for the calls still out
  std::mutex mutex;
  bool out = false;          // a call given up has not come back yet
  bool closeWhenBack = false;
  bool open = false;
  bool log = false;  // a write-ahead log: a write of it may be a commit

  sqlite3_file* File() { return reinterpret_cast<sqlite3_file*>(storage.data()); }
};

struct GuardedFile {
  sqlite3_file base;
  std::shared_ptr<LowerFile>* lower;  // made at xOpen, freed at xClose
  bool guarded;
};

LowerFile& LowerOf(sqlite3_file* file) { return **reinterpret_cast<GuardedFile*>(file)->lower; }

bool Guarded(sqlite3_file* file) {
  return reinterpret_cast<GuardedFile*>(file)->guarded && contract::OnUiThread();
}

// Why a call is not made at all: a call given up on the file or its library
// is still out, its mount is known dead, or the window's thread has waited
// its limit on slow calls in this command.
bool Refused(LowerFile& lower) {
  {
    const std::lock_guard<std::mutex> lock(lower.mutex);
    if (lower.out) return true;
  }
  if (LibraryOut(lower.library)) return true;
  if (!lower.root.isEmpty() && MountProbe::KnownDead(lower.root)) return true;
  return contract::OnUiThread() && RemainingMs() == 0;
}

// Runs `call` on the mount probe's helper within what is left of the limit.
// False, with the give-up noted, when it did not come back: the file and its
// library count as out until it has, and the mount as dead.
bool RunWithin(const std::shared_ptr<LowerFile>& lower, const std::function<void()>& call, GiveUp ifGivenUp) {
  {
    const std::lock_guard<std::mutex> lock(lower->mutex);
    lower->out = true;
  }
  ++tWaiting;
  auto givenUp = std::make_shared<std::atomic<bool>>(false);
  const auto started = std::chrono::steady_clock::now();
  const int limit = !lower->root.isEmpty() && MountProbe::KnownDead(lower->root) ? 0 : RemainingMs();
  const bool answered = MountProbe::FinishesWithin(
      [lower, call, givenUp] {
        call();
        const std::lock_guard<std::mutex> lock(lower->mutex);
        lower->out = false;
        if (givenUp->exchange(false)) {
          gStillOut.fetch_sub(1);
          CountOut(lower->library, -1);
        }
        if (lower->closeWhenBack && lower->open) {
          lower->open = false;
          lower->File()->pMethods->xClose(lower->File());
        }
      },
      limit, contract::OnUiThread() && gHeldSinceMs > 0 ? NowMs() - gHeldSinceMs : 0);
  --tWaiting;
  const int64_t took =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
  // A call given up leaves its mount dead: only the slow calls that came
  // back count against the limit.
  if (answered && took >= kSlowCallMs) gSlowSpentMs.fetch_add(took);
  if (!answered) {
    {
      const std::lock_guard<std::mutex> lock(lower->mutex);
      if (lower->out) {
        givenUp->store(true);
        gStillOut.fetch_add(1);
        CountOut(lower->library, 1);
      }
    }
    NoteGiveUp(ifGivenUp);
    if (!lower->root.isEmpty()) MountProbe::MarkDead(lower->root);
  }
  return answered;
}

// A guarded call, refused at once where Refused says so.
bool WithinLimit(const std::shared_ptr<LowerFile>& lower, const std::function<void()>& call,
                 GiveUp ifGivenUp = GiveUp::NotDone) {
  if (Refused(*lower)) {
    NoteGiveUp(GiveUp::NotDone);
    return false;
  }
  return RunWithin(lower, call, ifGivenUp);
}

// Long work's tick, every few dozen calls.
void TickNow(bool always) {
  constexpr unsigned kCallsPerTick = 32;
  if (tTick.call && (always || tTick.eachCall || ++tTickCalls % kCallsPerTick == 0)) tTick.call(tTick.argument);
}

// A long call of a file on a local disk, under long work: on a helper, the
// tick going meanwhile. It holds nothing of SQLite's.
template <typename Call>
int WhileTicking(Call call) {
  struct Shared {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    int result = SQLITE_OK;
  };
  auto shared = std::make_shared<Shared>();
  std::thread helper([shared, call] {
    const int result = call();
    const std::lock_guard<std::mutex> lock(shared->mutex);
    shared->result = result;
    shared->done = true;
    shared->ended.notify_all();
  });
  std::unique_lock<std::mutex> lock(shared->mutex);
  while (!shared->ended.wait_for(lock, std::chrono::milliseconds(20), [&shared] { return shared->done; })) {
    lock.unlock();
    TickNow(true);
    lock.lock();
  }
  lock.unlock();
  helper.join();
  return shared->result;
}

// A call of the lower file's, guarded or straight. Straight, it is still
// refused while a call given up on its library is out.
template <typename Call>
int Forward(sqlite3_file* file, int failure, Call call, GiveUp ifGivenUp = GiveUp::NotDone) {
  const std::shared_ptr<LowerFile>& lower = *reinterpret_cast<GuardedFile*>(file)->lower;
  if (!Guarded(file)) {
    {
      const std::lock_guard<std::mutex> lock(lower->mutex);
      if (lower->out) return failure;
    }
    if (LibraryOut(lower->library) || (tWatched && !tWatched->Allows(lower->library, ifGivenUp))) return failure;
    TickNow(false);
    return call(lower->File());
  }
  auto result = std::make_shared<int>(failure);
  if (!WithinLimit(lower, [lower, result, call] { *result = call(lower->File()); }, ifGivenUp)) return failure;
  return *result;
}

// Given up, a write of a write-ahead log may still land as the commit.
GiveUp IfGivenUp(sqlite3_file* file) { return LowerOf(file).log ? GiveUp::MayBeDone : GiveUp::NotDone; }

// On the window's thread a guarded file is closed on the helper within the
// limit (a close on a mount that stopped answering waits for it too), and
// left to end by itself when it does not come back; that is no failure of
// the statement under way.
int Close(sqlite3_file* file) {
  auto* guarded = reinterpret_cast<GuardedFile*>(file);
  std::shared_ptr<LowerFile> lower = std::move(*guarded->lower);
  delete guarded->lower;
  guarded->lower = nullptr;
  {
    const std::lock_guard<std::mutex> lock(lower->mutex);
    if (!lower->open) return SQLITE_OK;
    if (lower->out) {
      lower->closeWhenBack = true;  // the call out closes it once back
      return SQLITE_OK;
    }
  }
  const auto close = [lower] {
    const std::lock_guard<std::mutex> lock(lower->mutex);
    if (!lower->open) return;
    lower->open = false;
    lower->File()->pMethods->xClose(lower->File());
  };
  if (!guarded->guarded || !contract::OnUiThread()) {
    close();
    return SQLITE_OK;
  }
  const GiveUp before = std::exchange(tGaveUp, GiveUp::None);
  RunWithin(lower, close, GiveUp::NotDone);
  tGaveUp = before;
  return SQLITE_OK;
}

int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
  if (!Guarded(file)) {
    return Forward(file, SQLITE_IOERR_READ,
                   [=](sqlite3_file* f) { return f->pMethods->xRead(f, buffer, amount, offset); });
  }
  // Read into a buffer of the call's own: a call given up may come back
  // after SQLite's buffer is gone.
  auto bytes = std::make_shared<std::vector<char>>(static_cast<size_t>(amount));
  const int rc = Forward(file, SQLITE_IOERR_READ, [=](sqlite3_file* f) {
    return f->pMethods->xRead(f, bytes->data(), amount, offset);
  });
  if (rc == SQLITE_OK || rc == SQLITE_IOERR_SHORT_READ) std::memcpy(buffer, bytes->data(), bytes->size());
  return rc;
}

int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
  if (!Guarded(file)) {
    return Forward(file, SQLITE_IOERR_WRITE,
                   [=](sqlite3_file* f) { return f->pMethods->xWrite(f, buffer, amount, offset); });
  }
  const char* from = static_cast<const char*>(buffer);
  auto bytes = std::make_shared<std::vector<char>>(from, from + amount);
  return Forward(
      file, SQLITE_IOERR_WRITE,
      [=](sqlite3_file* f) { return f->pMethods->xWrite(f, bytes->data(), amount, offset); }, IfGivenUp(file));
}

int Truncate(sqlite3_file* file, sqlite3_int64 size) {
  return Forward(file, SQLITE_IOERR_TRUNCATE, [=](sqlite3_file* f) { return f->pMethods->xTruncate(f, size); });
}

int Sync(sqlite3_file* file, int flags) {
  if (tTick.call && !Guarded(file) && contract::OnUiThread()) {
    LowerFile& lower = LowerOf(file);
    {
      const std::lock_guard<std::mutex> lock(lower.mutex);
      if (lower.out) return SQLITE_IOERR_FSYNC;
    }
    sqlite3_file* f = lower.File();
    return WhileTicking([f, flags] { return f->pMethods->xSync(f, flags); });
  }
  return Forward(
      file, SQLITE_IOERR_FSYNC, [=](sqlite3_file* f) { return f->pMethods->xSync(f, flags); }, IfGivenUp(file));
}

int FileSize(sqlite3_file* file, sqlite3_int64* size) {
  auto answer = std::make_shared<sqlite3_int64>(0);
  const int rc =
      Forward(file, SQLITE_IOERR_FSTAT, [=](sqlite3_file* f) { return f->pMethods->xFileSize(f, answer.get()); });
  if (rc == SQLITE_OK) *size = *answer;
  return rc;
}

int Lock(sqlite3_file* file, int level) {
  return Forward(file, SQLITE_IOERR_LOCK, [=](sqlite3_file* f) { return f->pMethods->xLock(f, level); });
}

int Unlock(sqlite3_file* file, int level) {
  return Forward(file, SQLITE_IOERR_UNLOCK, [=](sqlite3_file* f) { return f->pMethods->xUnlock(f, level); });
}

int CheckReservedLock(sqlite3_file* file, int* reserved) {
  auto answer = std::make_shared<int>(0);
  const int rc = Forward(file, SQLITE_IOERR_CHECKRESERVEDLOCK,
                         [=](sqlite3_file* f) { return f->pMethods->xCheckReservedLock(f, answer.get()); });
  if (rc == SQLITE_OK) *reserved = *answer;
  return rc;
}

// Of the controls, those that touch the disk (a size hint grows the file, a
// look whether the file was moved asks for it) are guarded, with their
// arguments copied; the rest only read or set the file's fields.
int FileControl(sqlite3_file* file, int op, void* argument) {
  if (op == SQLITE_FCNTL_SIZE_HINT) {
    auto size = std::make_shared<sqlite3_int64>(*static_cast<sqlite3_int64*>(argument));
    return Forward(file, SQLITE_IOERR_TRUNCATE,
                   [=](sqlite3_file* f) { return f->pMethods->xFileControl(f, op, size.get()); });
  }
  if (op == SQLITE_FCNTL_HAS_MOVED) {
    auto moved = std::make_shared<int>(0);
    const int rc = Forward(file, SQLITE_IOERR_FSTAT,
                           [=](sqlite3_file* f) { return f->pMethods->xFileControl(f, op, moved.get()); });
    if (rc == SQLITE_OK) *static_cast<int*>(argument) = *moved;
    return rc;
  }
  LowerFile& lower = LowerOf(file);
  {
    const std::lock_guard<std::mutex> lock(lower.mutex);
    if (lower.out) return SQLITE_NOTFOUND;
  }
  return lower.File()->pMethods->xFileControl(lower.File(), op, argument);
}

int SectorSize(sqlite3_file* file) {
  LowerFile& lower = LowerOf(file);
  const std::lock_guard<std::mutex> lock(lower.mutex);
  return lower.out ? 4096 : lower.File()->pMethods->xSectorSize(lower.File());
}

int DeviceCharacteristics(sqlite3_file* file) {
  LowerFile& lower = LowerOf(file);
  const std::lock_guard<std::mutex> lock(lower.mutex);
  return lower.out ? 0 : lower.File()->pMethods->xDeviceCharacteristics(lower.File());
}

// The shared memory of a library in WAL mode is a file beside it on the
// same disk, guarded as the library's own; the memory map it answers is the
// process's, so a call given up can map it late without harm. A barrier
// touches no disk, nor do memory maps of the file, which the program does
// not use (Fetch answers none).
int ShmMap(sqlite3_file* file, int page, int size, int extend, void volatile** at) {
  if (LowerOf(file).File()->pMethods->iVersion < 2) return SQLITE_IOERR_SHMMAP;
  auto mapped = std::make_shared<void volatile*>(nullptr);
  const int rc = Forward(file, SQLITE_IOERR_SHMMAP, [=](sqlite3_file* f) {
    return f->pMethods->xShmMap(f, page, size, extend, mapped.get());
  });
  *at = rc == SQLITE_OK || rc == SQLITE_READONLY ? *mapped : nullptr;
  return rc;
}
int ShmLock(sqlite3_file* file, int offset, int n, int flags) {
  if (LowerOf(file).File()->pMethods->iVersion < 2) return SQLITE_IOERR_SHMLOCK;
  return Forward(file, SQLITE_IOERR_SHMLOCK, [=](sqlite3_file* f) { return f->pMethods->xShmLock(f, offset, n, flags); });
}
void ShmBarrier(sqlite3_file* file) {
  sqlite3_file* f = LowerOf(file).File();
  if (f->pMethods->iVersion >= 2) f->pMethods->xShmBarrier(f);
}
int ShmUnmap(sqlite3_file* file, int remove) {
  if (LowerOf(file).File()->pMethods->iVersion < 2) return SQLITE_OK;
  return Forward(file, SQLITE_IOERR_SHMMAP, [=](sqlite3_file* f) { return f->pMethods->xShmUnmap(f, remove); });
}
int Fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** at) {
  sqlite3_file* f = LowerOf(file).File();
  if (f->pMethods->iVersion >= 3) return f->pMethods->xFetch(f, offset, amount, at);
  *at = nullptr;
  return SQLITE_OK;
}
int Unfetch(sqlite3_file* file, sqlite3_int64 offset, void* at) {
  sqlite3_file* f = LowerOf(file).File();
  return f->pMethods->iVersion >= 3 ? f->pMethods->xUnfetch(f, offset, at) : SQLITE_OK;
}

const sqlite3_io_methods kMethods = {3,     &Close,     &Read,      &Write,      &Truncate, &Sync,
                                     &FileSize, &Lock,  &Unlock,    &CheckReservedLock, &FileControl,
                                     &SectorSize, &DeviceCharacteristics, &ShmMap, &ShmLock, &ShmBarrier,
                                     &ShmUnmap, &Fetch, &Unfetch};

// A path's call to the lower layer (opening, removing, asking for a file),
// guarded like a file's; on any thread refused while a call given up on its
// library is out.
template <typename Call>
int ForwardPath(const char* path, int failure, Call call, GiveUp ifGivenUp = GiveUp::NotDone) {
  if (!path) return call();
  auto lower = std::make_shared<LowerFile>();
  lower->library = LibraryOf(QString::fromUtf8(path));
  if (!contract::OnUiThread() || (!gEveryFile && !MayHang(FolderOf(path)))) {
    if (!LibraryOut(lower->library) && (!tWatched || tWatched->Allows(lower->library, ifGivenUp))) return call();
    NoteGiveUp(GiveUp::NotDone);
    return failure;
  }
  lower->root = RootOf(path);
  auto result = std::make_shared<int>(failure);
  if (!WithinLimit(lower, [result, call] { *result = call(); }, ifGivenUp)) return failure;
  return *result;
}

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
  auto* guarded = reinterpret_cast<GuardedFile*>(file);
  guarded->base.pMethods = nullptr;
  sqlite3_vfs* vfs = Lower();
  auto lower = std::make_shared<LowerFile>();
  lower->storage.resize((static_cast<size_t>(vfs->szOsFile) + sizeof(std::max_align_t) - 1) /
                        sizeof(std::max_align_t));
  const bool guard = name && (gEveryFile || MayHang(FolderOf(name)));
  if (name) {
    lower->library = LibraryOf(QString::fromUtf8(name));
    lower->log = std::string_view(name).ends_with("-wal");
  }
  if (guard) lower->root = RootOf(name);
  // No new connection meets a call given up on its library landing late.
  if (LibraryOut(lower->library)) {
    NoteGiveUp(GiveUp::NotDone);
    return SQLITE_CANTOPEN;
  }
  auto gotFlags = std::make_shared<int>(0);
  const auto open = [vfs, name, flags, lower, gotFlags] {
    const int rc = vfs->xOpen(vfs, name, lower->File(), flags, gotFlags.get());
    const std::lock_guard<std::mutex> lock(lower->mutex);
    lower->open = rc == SQLITE_OK || lower->File()->pMethods != nullptr;
    return rc;
  };
  int rc = SQLITE_CANTOPEN;
  if (guard && contract::OnUiThread()) {
    auto result = std::make_shared<int>(SQLITE_CANTOPEN);
    if (!WithinLimit(lower, [result, open] { *result = open(); })) {
      // An open given up closes its file itself once it comes back.
      const std::lock_guard<std::mutex> lock(lower->mutex);
      if (lower->out) {
        lower->closeWhenBack = true;
      } else if (lower->open) {
        lower->open = false;
        lower->File()->pMethods->xClose(lower->File());
      }
      return SQLITE_CANTOPEN;
    }
    rc = *result;
  } else {
    rc = open();
  }
  if (!lower->open) return rc;
  if (rc != SQLITE_OK) {
    lower->File()->pMethods->xClose(lower->File());
    return rc;
  }
  if (outFlags) *outFlags = *gotFlags;
  guarded->lower = new std::shared_ptr<LowerFile>(std::move(lower));
  guarded->guarded = guard;
  guarded->base.pMethods = &kMethods;
  return SQLITE_OK;
}

int Delete(sqlite3_vfs*, const char* name, int syncFolder) {
  sqlite3_vfs* vfs = Lower();
  const std::string path = name;
  // The journal's removal is a commit's last step: given up, it may land.
  const GiveUp ifGivenUp = path.ends_with("-journal") ? GiveUp::MayBeDone : GiveUp::NotDone;
  return ForwardPath(
      name, SQLITE_IOERR_DELETE, [vfs, path, syncFolder] { return vfs->xDelete(vfs, path.c_str(), syncFolder); },
      ifGivenUp);
}

int Access(sqlite3_vfs*, const char* name, int flags, int* answer) {
  sqlite3_vfs* vfs = Lower();
  const std::string path = name;
  auto found = std::make_shared<int>(0);
  const int rc = ForwardPath(name, SQLITE_IOERR_ACCESS,
                             [vfs, path, flags, found] { return vfs->xAccess(vfs, path.c_str(), flags, found.get()); });
  if (rc == SQLITE_OK) *answer = *found;
  return rc;
}

int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  sqlite3_vfs* vfs = Lower();
  const std::string path = name;
  auto full = std::make_shared<std::vector<char>>(static_cast<size_t>(size), '\0');
  const int rc = ForwardPath(name, SQLITE_CANTOPEN_FULLPATH,
                             [vfs, path, size, full] { return vfs->xFullPathname(vfs, path.c_str(), size, full->data()); });
  if (rc == SQLITE_OK || rc == SQLITE_OK_SYMLINK) std::memcpy(out, full->data(), static_cast<size_t>(size));
  return rc;
}

void* DlOpen(sqlite3_vfs*, const char* name) { return Lower()->xDlOpen(Lower(), name); }
void DlError(sqlite3_vfs*, int size, char* out) { Lower()->xDlError(Lower(), size, out); }
void (*DlSym(sqlite3_vfs*, void* library, const char* symbol))(void) { return Lower()->xDlSym(Lower(), library, symbol); }
void DlClose(sqlite3_vfs*, void* library) { Lower()->xDlClose(Lower(), library); }
int Randomness(sqlite3_vfs*, int size, char* out) { return Lower()->xRandomness(Lower(), size, out); }
int Sleep(sqlite3_vfs*, int microseconds) { return Lower()->xSleep(Lower(), microseconds); }
int CurrentTime(sqlite3_vfs*, double* now) { return Lower()->xCurrentTime(Lower(), now); }
int GetLastError(sqlite3_vfs*, int size, char* out) {
  return Lower()->xGetLastError ? Lower()->xGetLastError(Lower(), size, out) : 0;
}
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now) {
  sqlite3_vfs* vfs = Lower();
  if (vfs->iVersion >= 2 && vfs->xCurrentTimeInt64) return vfs->xCurrentTimeInt64(vfs, now);
  double days = 0;
  const int rc = vfs->xCurrentTime(vfs, &days);
  *now = static_cast<sqlite3_int64>(days * 86400000.0);
  return rc;
}

sqlite3_vfs* Registered() {
  static sqlite3_vfs* vfs = [] {
    auto* guarded = new sqlite3_vfs{};
    sqlite3_vfs* lower = Lower();
    guarded->iVersion = 2;
    guarded->szOsFile = sizeof(GuardedFile);
    guarded->mxPathname = lower->mxPathname;
    guarded->zName = "rw-hangguard";
    guarded->xOpen = &Open;
    guarded->xDelete = &Delete;
    guarded->xAccess = &Access;
    guarded->xFullPathname = &FullPathname;
    guarded->xDlOpen = &DlOpen;
    guarded->xDlError = &DlError;
    guarded->xDlSym = &DlSym;
    guarded->xDlClose = &DlClose;
    guarded->xRandomness = &Randomness;
    guarded->xSleep = &Sleep;
    guarded->xCurrentTime = &CurrentTime;
    guarded->xGetLastError = &GetLastError;
    guarded->xCurrentTimeInt64 = &CurrentTimeInt64;
    sqlite3_vfs_register(guarded, 0);
    return guarded;
  }();
  return vfs;
}

}  // namespace

const char* VfsName() { return Registered()->zName; }

GiveUp TakeGiveUp() { return std::exchange(tGaveUp, GiveUp::None); }

bool Waiting() { return tWaiting > 0; }

FileTick SetTick(FileTick tick) {
  const FileTick before = tTick;
  tTick = tick;
  return before;
}

int CallsStillOut() { return gStillOut.load(); }

void GuardEveryFile(bool on) { gEveryFile = on; }

BeforeCall SetBeforeCall(BeforeCall before) { return gBeforeCall.exchange(before); }

StepEachCall::StepEachCall(std::function<void()> step)
    : step_(std::move(step)), before_(SetTick({&StepEachCall::Call, this, true})) {}

StepEachCall::~StepEachCall() { SetTick(before_); }

int StepEachCall::Call(void* self) {
  static_cast<StepEachCall*>(self)->step_();
  return 0;
}

WatchedWork::WatchedWork(const QString& path) : library_(LibraryOf(path)) {}

GiveUp WatchedWork::GivenUp() {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!ended_ && !givenUp_) {
    gStillOut.fetch_add(1);
    CountOut(library_, 1);
  }
  givenUp_ = true;
  return mayComplete_ ? GiveUp::MayBeDone : GiveUp::NotDone;
}

bool WatchedWork::Allows(const QString& library, GiveUp kind) {
  if (library != library_) return true;
  const std::lock_guard<std::mutex> lock(mutex_);
  if (givenUp_) return false;
  mayComplete_ = mayComplete_ || kind == GiveUp::MayBeDone;
  return true;
}

WatchedWork::OnWorker::OnWorker(std::shared_ptr<WatchedWork> work) : work_(std::move(work)) { tWatched = work_.get(); }

WatchedWork::OnWorker::~OnWorker() {
  tWatched = nullptr;
  const std::lock_guard<std::mutex> lock(work_->mutex_);
  work_->ended_ = true;
  if (work_->givenUp_) {
    CountOut(work_->library_, -1);
    gStillOut.fetch_sub(1);
  }
}

bool LibraryStillOut(const QString& path) { return LibraryOut(LibraryOf(path)); }

void NewCommand() {
  gSlowSpentMs = 0;
  gHeldSinceMs = NowMs();
}

namespace {

// A test's medium holds the calls a real one would hold without holding the
// window: those on a worker, and the window's guarded ones.
bool CallOn(const QString& path, std::function<void()> call, FileCall kind) {
  const QByteArray name = QFile::encodeName(path);
  const auto held = [call, name, kind] {
    if (const BeforeCall before = gBeforeCall.load()) before(name.constData(), kind);
    call();
  };
  auto lower = std::make_shared<LowerFile>();
  lower->library = LibraryOf(path);
  const bool window = contract::OnUiThread();
  if (!window || (!gEveryFile && !MayHang(FolderOf(name.constData())))) {
    if (LibraryOut(lower->library)) {
      NoteGiveUp(GiveUp::NotDone);
      return false;
    }
    window ? call() : held();
    TickNow(false);
    return true;
  }
  lower->root = RootOf(name.constData());
  return WithinLimit(lower, held, kind == FileCall::Replace ? GiveUp::MayBeDone : GiveUp::NotDone);
}

}  // namespace

// Its caller is told by the answer: a give-up here is no SQLite statement's.
bool CallOnFile(const QString& path, std::function<void()> call, FileCall kind) {
  const GiveUp before = std::exchange(tGaveUp, GiveUp::None);
  const bool answered = CallOn(path, std::move(call), kind);
  tGaveUp = before;
  return answered;
}

HeldOut::HeldOut(const QString& path) : library_(LibraryOf(path)) {
  gStillOut.fetch_add(1);
  CountOut(library_, 1);
}

HeldOut::~HeldOut() {
  CountOut(library_, -1);
  gStillOut.fetch_sub(1);
}

}  // namespace HangGuard
