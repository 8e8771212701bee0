#include "tests/support/FaultVfs.h"

#include "tests/support/PowerCut.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <string>

namespace rwtest {

namespace {

// What one call was: its kind, file and arguments, so a retry of it is known.
struct CallSignature {
  DiskCall call = DiskCall::Read;
  std::string file;
  sqlite3_int64 first = 0;
  sqlite3_int64 second = 0;
  bool operator==(const CallSignature&) const = default;
};

struct Counts {
  std::mutex mutex;
  bool counting = false;
  std::optional<DiskFault> fault;
  std::array<int, kDiskCallKinds> calls{};
  // The fault's anchor (DiskFault::after) met, and the calls since.
  bool anchored = false;
  std::array<int, kDiskCallKinds> sinceAnchor{};
  int injected = 0;
  bool retried = false;
  std::optional<CallSignature> failed;
};

Counts& State() {
  static Counts counts;
  return counts;
}

// The code the call answers: 0 to let it through to the real file.
int Decide(const CallSignature& call) {
  Counts& state = State();
  const std::lock_guard lock(state.mutex);
  if (!state.counting) return 0;
  int n = ++state.calls[static_cast<int>(call.call)];
  const std::optional<DiskFault>& fault = state.fault;
  if (fault && !fault->after.isEmpty()) {
    if (state.anchored) {
      n = ++state.sinceAnchor[static_cast<int>(call.call)];
    } else {
      state.anchored = call.call == DiskCall::Open && QString::fromStdString(call.file).contains(fault->after);
      n = 0;
    }
  }
  // Another program's bytes are over the one file they first met; a disk
  // that fails fails for every file on it.
  const bool sameFile = !fault || !state.failed || fault->code != kForeignBytes || state.failed->file == call.file;
  const bool onDisk = !fault || fault->disk.isEmpty() || QString::fromStdString(call.file).startsWith(fault->disk);
  const bool fails = fault && fault->call == call.call &&
                     (n == fault->nth || (fault->lasting && n > fault->nth && sameFile && onDisk));
  if (!fails) {
    if (state.failed && *state.failed == call) state.retried = true;
    return 0;
  }
  ++state.injected;
  if (!state.failed) state.failed = call;
  return fault->code;
}

// The code the call answers once a power cut it stands for is made: the
// cut comes before the call, which then goes on.
int Decided(const CallSignature& call) {
  const int code = Decide(call);
  if (code != kPowerCut && code != kPowerCutTorn) return code;
  PowerCut::Cut(code == kPowerCutTorn);
  return 0;
}

bool FaultArmed() {
  Counts& state = State();
  const std::lock_guard lock(state.mutex);
  return state.counting && state.fault.has_value();
}

sqlite3_vfs* gReal = nullptr;
sqlite3_vfs gVfs;

// The file as SQLite sees it, the real file's own structure right after it.
struct alignas(8) FaultFile {
  sqlite3_file base;
  std::string* path;
  // A journal SQLite made: its name reaches the disk with its first sync.
  bool newJournal;
  sqlite3_file* Real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

FaultFile* Of(sqlite3_file* file) { return reinterpret_cast<FaultFile*>(file); }
const sqlite3_io_methods* RealMethods(sqlite3_file* file) { return Of(file)->Real()->pMethods; }

int Close(sqlite3_file* file) {
  const int rc = RealMethods(file)->xClose(Of(file)->Real());
  delete Of(file)->path;
  Of(file)->path = nullptr;
  return rc;
}

int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
  const int code = Decided({DiskCall::Read, *Of(file)->path, amount, offset});
  if (code == kForeignBytes) {
    // Text another program wrote over the file.
    static const char kText[] = "Another program's text over the library. ";
    for (int i = 0; i < amount; ++i) static_cast<char*>(buffer)[i] = kText[(offset + i) % (sizeof kText - 1)];
    return SQLITE_OK;
  }
  if (code != 0) return code;
  return RealMethods(file)->xRead(Of(file)->Real(), buffer, amount, offset);
}

int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
  const int code = Decided({DiskCall::Write, *Of(file)->path, amount, offset});
  if (code != 0) return code;
  if (PowerCut::Holding() && !Of(file)->path->empty()) {
    sqlite3_int64 size = 0;
    RealMethods(file)->xFileSize(Of(file)->Real(), &size);
    QByteArray old(static_cast<qsizetype>(std::clamp<sqlite3_int64>(size - offset, 0, amount)), '\0');
    if (!old.isEmpty()) RealMethods(file)->xRead(Of(file)->Real(), old.data(), static_cast<int>(old.size()), offset);
    PowerCut::Write(*Of(file)->path, offset, amount, old, size);
  }
  return RealMethods(file)->xWrite(Of(file)->Real(), buffer, amount, offset);
}

int Truncate(sqlite3_file* file, sqlite3_int64 size) {
  const int code = Decided({DiskCall::Truncate, *Of(file)->path, size, 0});
  if (code != 0) return code;
  if (PowerCut::Holding() && !Of(file)->path->empty()) {
    sqlite3_int64 old = 0;
    RealMethods(file)->xFileSize(Of(file)->Real(), &old);
    QByteArray tail(static_cast<qsizetype>(std::max<sqlite3_int64>(old - size, 0)), '\0');
    if (!tail.isEmpty()) RealMethods(file)->xRead(Of(file)->Real(), tail.data(), static_cast<int>(tail.size()), size);
    PowerCut::Truncate(*Of(file)->path, tail, old);
  }
  return RealMethods(file)->xTruncate(Of(file)->Real(), size);
}

// A test's files need not reach the disk: the sync is counted and may fail,
// but is never made, so that a sweep of thousands of commits does not wait
// on a busy machine's disk. A power cut's disk keeps what it synced.
int Sync(sqlite3_file* file, int flags) {
  const int code = Decided({DiskCall::Sync, *Of(file)->path, flags, 0});
  if (code == 0) PowerCut::Sync(*Of(file)->path, Of(file)->newJournal);
  return code;
}

int FileSize(sqlite3_file* file, sqlite3_int64* size) {
  const int code = Decided({DiskCall::FileSize, *Of(file)->path, 0, 0});
  if (code != 0) return code;
  return RealMethods(file)->xFileSize(Of(file)->Real(), size);
}

int Lock(sqlite3_file* file, int level) {
  const int code = Decided({DiskCall::Lock, *Of(file)->path, level, 0});
  if (code != 0) return code;
  return RealMethods(file)->xLock(Of(file)->Real(), level);
}

int Unlock(sqlite3_file* file, int level) { return RealMethods(file)->xUnlock(Of(file)->Real(), level); }

int CheckReservedLock(sqlite3_file* file, int* out) {
  return RealMethods(file)->xCheckReservedLock(Of(file)->Real(), out);
}

int FileControl(sqlite3_file* file, int op, void* arg) {
  return RealMethods(file)->xFileControl(Of(file)->Real(), op, arg);
}

int SectorSize(sqlite3_file* file) { return RealMethods(file)->xSectorSize(Of(file)->Real()); }

int DeviceCharacteristics(sqlite3_file* file) {
  return RealMethods(file)->xDeviceCharacteristics(Of(file)->Real());
}

int ShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** out) {
  return RealMethods(file)->xShmMap(Of(file)->Real(), region, size, extend, out);
}

int ShmLock(sqlite3_file* file, int offset, int n, int flags) {
  return RealMethods(file)->xShmLock(Of(file)->Real(), offset, n, flags);
}

void ShmBarrier(sqlite3_file* file) { RealMethods(file)->xShmBarrier(Of(file)->Real()); }

int ShmUnmap(sqlite3_file* file, int deleteFlag) {
  return RealMethods(file)->xShmUnmap(Of(file)->Real(), deleteFlag);
}

int Fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** out) {
  return RealMethods(file)->xFetch(Of(file)->Real(), offset, amount, out);
}

int Unfetch(sqlite3_file* file, sqlite3_int64 offset, void* page) {
  return RealMethods(file)->xUnfetch(Of(file)->Real(), offset, page);
}

// The methods of the real files, one version for all: the newer ones are
// offered only where the real file has them.
sqlite3_io_methods MethodsLike(const sqlite3_io_methods& real) {
  sqlite3_io_methods methods{};
  methods.iVersion = real.iVersion;
  methods.xClose = Close;
  methods.xRead = Read;
  methods.xWrite = Write;
  methods.xTruncate = Truncate;
  methods.xSync = Sync;
  methods.xFileSize = FileSize;
  methods.xLock = Lock;
  methods.xUnlock = Unlock;
  methods.xCheckReservedLock = CheckReservedLock;
  methods.xFileControl = FileControl;
  methods.xSectorSize = SectorSize;
  methods.xDeviceCharacteristics = DeviceCharacteristics;
  if (real.iVersion >= 2) {
    methods.xShmMap = ShmMap;
    methods.xShmLock = ShmLock;
    methods.xShmBarrier = ShmBarrier;
    methods.xShmUnmap = ShmUnmap;
  }
  if (real.iVersion >= 3) {
    methods.xFetch = Fetch;
    methods.xUnfetch = Unfetch;
  }
  return methods;
}

const sqlite3_io_methods* MethodsFor(const sqlite3_io_methods* real) {
  // The unix VFS gives every file of a machine the same methods; a few
  // versions are kept apart all the same.
  static std::mutex mutex;
  static std::array<std::pair<const sqlite3_io_methods*, sqlite3_io_methods>, 4> known{};
  const std::lock_guard lock(mutex);
  for (auto& [key, methods] : known) {
    if (key == real) return &methods;
    if (!key) {
      key = real;
      methods = MethodsLike(*real);
      return &methods;
    }
  }
  return nullptr;
}

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
  FaultFile* own = Of(file);
  own->base.pMethods = nullptr;
  const std::string path = name ? std::string(name) : std::string();
  const int code = Decided({DiskCall::Open, path, flags, 0});
  if (code == SQLITE_READONLY && (flags & SQLITE_OPEN_MAIN_DB)) {
    // A file made read-only: SQLite opens it for reading only.
    flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
  } else if (code == SQLITE_READONLY) {
    return SQLITE_READONLY_DIRECTORY;
  } else if (code != 0) {
    return code;
  }
  int there = 1;
  if ((flags & SQLITE_OPEN_CREATE) && name) gReal->xAccess(gReal, name, SQLITE_ACCESS_EXISTS, &there);
  const int rc = gReal->xOpen(gReal, name, own->Real(), flags, outFlags);
  if (!own->Real()->pMethods) return rc;
  if (!there && rc == SQLITE_OK && !path.empty()) PowerCut::Created(path);
  const sqlite3_io_methods* methods = MethodsFor(own->Real()->pMethods);
  if (!methods) {
    own->Real()->pMethods->xClose(own->Real());
    return SQLITE_CANTOPEN;
  }
  own->path = new std::string(path);
  own->newJournal = !there && (flags & (SQLITE_OPEN_MAIN_JOURNAL | SQLITE_OPEN_SUPER_JOURNAL | SQLITE_OPEN_WAL));
  own->base.pMethods = methods;
  return rc;
}

int Delete(sqlite3_vfs*, const char* name, int syncDir) {
  const int code = Decided({DiskCall::Delete, name ? name : "", syncDir, 0});
  if (code != 0) return code;
  if (name) PowerCut::Deleted(name);
  // Nor is the folder synced after a delete (see Sync).
  return gReal->xDelete(gReal, name, 0);
}

int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
  const int code = Decided({DiskCall::Access, name ? name : "", flags, 0});
  if (code != 0) return code;
  return gReal->xAccess(gReal, name, flags, out);
}

int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  return gReal->xFullPathname(gReal, name, size, out);
}

void* DlOpen(sqlite3_vfs*, const char* name) { return gReal->xDlOpen(gReal, name); }
void DlError(sqlite3_vfs*, int size, char* out) { gReal->xDlError(gReal, size, out); }
void (*DlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) { return gReal->xDlSym(gReal, handle, symbol); }
void DlClose(sqlite3_vfs*, void* handle) { gReal->xDlClose(gReal, handle); }
int Randomness(sqlite3_vfs*, int size, char* out) { return gReal->xRandomness(gReal, size, out); }

// While a fault is armed the busy handler's waits take no time: a lock held
// "by another program" for the whole of SQLite's busy timeout is then met at
// once, and a sweep of every call stays fast.
int Sleep(sqlite3_vfs*, int microseconds) {
  if (FaultArmed()) return microseconds;
  return gReal->xSleep(gReal, microseconds);
}

int CurrentTime(sqlite3_vfs*, double* out) { return gReal->xCurrentTime(gReal, out); }
int GetLastError(sqlite3_vfs*, int size, char* out) { return gReal->xGetLastError(gReal, size, out); }
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) { return gReal->xCurrentTimeInt64(gReal, out); }
int SetSystemCall(sqlite3_vfs*, const char* name, sqlite3_syscall_ptr call) {
  return gReal->xSetSystemCall(gReal, name, call);
}
sqlite3_syscall_ptr GetSystemCall(sqlite3_vfs*, const char* name) { return gReal->xGetSystemCall(gReal, name); }
const char* NextSystemCall(sqlite3_vfs*, const char* name) { return gReal->xNextSystemCall(gReal, name); }

}  // namespace

const char* DiskCallName(DiskCall call) {
  static const char* const names[kDiskCallKinds] = {"open", "read",  "write",  "sync",     "truncate",
                                                    "lock", "delete", "access", "file size"};
  return names[static_cast<int>(call)];
}

QString DiskCodeName(int code) {
  switch (code) {
    case kForeignBytes:
      return QStringLiteral("another program's bytes");
    case kPowerCut:
      return QStringLiteral("a power cut");
    case kPowerCutTorn:
      return QStringLiteral("a power cut, the last write torn");
    case SQLITE_FULL:
      return QStringLiteral("SQLITE_FULL");
    case SQLITE_BUSY:
      return QStringLiteral("SQLITE_BUSY");
    case SQLITE_CANTOPEN:
      return QStringLiteral("SQLITE_CANTOPEN");
    case SQLITE_READONLY:
      return QStringLiteral("SQLITE_READONLY");
    default:
      break;
  }
  if ((code & 0xFF) == SQLITE_IOERR) return QStringLiteral("SQLITE_IOERR (%1)").arg(code);
  return QStringLiteral("code %1").arg(code);
}

void FaultVfs::Install() {
  static const bool installed = [] {
    gReal = sqlite3_vfs_find(nullptr);
    gVfs = sqlite3_vfs{};
    gVfs.iVersion = gReal->iVersion;
    // The real file's structure follows ours, which keeps 8-byte alignment.
    gVfs.szOsFile = static_cast<int>(sizeof(FaultFile)) + gReal->szOsFile;
    gVfs.mxPathname = gReal->mxPathname;
    gVfs.zName = "rwfault";
    gVfs.xOpen = Open;
    gVfs.xDelete = Delete;
    gVfs.xAccess = Access;
    gVfs.xFullPathname = FullPathname;
    gVfs.xDlOpen = DlOpen;
    gVfs.xDlError = DlError;
    gVfs.xDlSym = DlSym;
    gVfs.xDlClose = DlClose;
    gVfs.xRandomness = Randomness;
    gVfs.xSleep = Sleep;
    gVfs.xCurrentTime = CurrentTime;
    gVfs.xGetLastError = GetLastError;
    if (gReal->iVersion >= 2) gVfs.xCurrentTimeInt64 = CurrentTimeInt64;
    if (gReal->iVersion >= 3) {
      gVfs.xSetSystemCall = SetSystemCall;
      gVfs.xGetSystemCall = GetSystemCall;
      gVfs.xNextSystemCall = NextSystemCall;
    }
    return sqlite3_vfs_register(&gVfs, 1) == SQLITE_OK;
  }();
  (void)installed;
}

void FaultVfs::Start(std::optional<DiskFault> fault) {
  Counts& state = State();
  const std::lock_guard lock(state.mutex);
  state.calls.fill(0);
  state.injected = 0;
  state.retried = false;
  state.failed.reset();
  state.anchored = false;
  state.sinceAnchor.fill(0);
  state.fault = fault;
  state.counting = true;
}

void FaultVfs::Stop() {
  Counts& state = State();
  const std::lock_guard lock(state.mutex);
  state.counting = false;
  state.fault.reset();
}

int FaultVfs::Calls(DiskCall call) {
  Counts& state = State();
  const std::lock_guard lock(state.mutex);
  return state.calls[static_cast<int>(call)];
}

int FaultVfs::Injected() {
  Counts& state = State();
  const std::lock_guard lock(state.mutex);
  return state.injected;
}

bool FaultVfs::Retried() {
  Counts& state = State();
  const std::lock_guard lock(state.mutex);
  return state.retried;
}

QString FaultVfs::FaultedFile() {
  Counts& state = State();
  const std::lock_guard lock(state.mutex);
  return state.failed ? QString::fromStdString(state.failed->file) : QString();
}

}  // namespace rwtest
