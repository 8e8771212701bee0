#include "tests/support/HangingFiles.h"

#include "platform/HangGuard.h"
#include "tests/support/EventLoopWaits.h"

#include <QDir>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

namespace rwtest {

namespace {

// What the layer holds: one medium at a time.
struct Medium {
  std::mutex mutex;
  std::condition_variable changed;
  std::string folder;  // with its trailing "/"; empty: none
  bool hanging = false;
  int held = 0;
  int heldNow = 0;
  int syncsToHang = 0;  // the medium hangs at this many syncs from now; 0: not by syncs
  int deletesToHang = 0;  // the same, by files removed
  int slowMs = 0;         // every call answers this much later
  std::chrono::steady_clock::time_point releaseAt;
};

Medium& TheMedium() {
  static Medium medium;
  return medium;
}

sqlite3_vfs* gLower = nullptr;

struct HeldFile {
  sqlite3_file base;
  sqlite3_file* lower;
  std::string path;
};

// A call on a file under the folder waits while the medium hangs.
void WaitIfHanging(const char* path, bool sync = false, bool removal = false) {
  if (!path) return;
  Medium& medium = TheMedium();
  std::unique_lock<std::mutex> lock(medium.mutex);
  if (medium.folder.empty() || std::strncmp(path, medium.folder.c_str(), medium.folder.size()) != 0) return;
  if (sync && medium.syncsToHang > 0 && --medium.syncsToHang == 0) medium.hanging = true;
  if (removal && medium.deletesToHang > 0 && --medium.deletesToHang == 0) medium.hanging = true;
  if (medium.slowMs > 0 && !medium.hanging) {
    const auto answerAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(medium.slowMs);
    medium.changed.wait_until(lock, answerAt, [&medium, answerAt] {
      return medium.slowMs == 0 || std::chrono::steady_clock::now() >= answerAt;
    });
  }
  if (!medium.hanging) return;
  ++medium.held;
  ++medium.heldNow;
  medium.changed.notify_all();
  while (medium.hanging && std::chrono::steady_clock::now() < medium.releaseAt) {
    medium.changed.wait_until(lock, medium.releaseAt);
  }
  medium.hanging = false;
  --medium.heldNow;
  medium.changed.notify_all();
}

sqlite3_file* Lower(sqlite3_file* file) { return reinterpret_cast<HeldFile*>(file)->lower; }
void Wait(sqlite3_file* file) { WaitIfHanging(reinterpret_cast<HeldFile*>(file)->path.c_str()); }

int Close(sqlite3_file* file) {
  auto* held = reinterpret_cast<HeldFile*>(file);
  const int rc = held->lower->pMethods ? held->lower->pMethods->xClose(held->lower) : SQLITE_OK;
  sqlite3_free(held->lower);
  held->path.~basic_string();
  return rc;
}
int Read(sqlite3_file* f, void* b, int n, sqlite3_int64 o) {
  Wait(f);
  return Lower(f)->pMethods->xRead(Lower(f), b, n, o);
}
int Write(sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
  Wait(f);
  return Lower(f)->pMethods->xWrite(Lower(f), b, n, o);
}
int Truncate(sqlite3_file* f, sqlite3_int64 s) {
  Wait(f);
  return Lower(f)->pMethods->xTruncate(Lower(f), s);
}
int Sync(sqlite3_file* f, int flags) {
  WaitIfHanging(reinterpret_cast<HeldFile*>(f)->path.c_str(), true);
  return Lower(f)->pMethods->xSync(Lower(f), flags);
}
int FileSize(sqlite3_file* f, sqlite3_int64* s) {
  Wait(f);
  return Lower(f)->pMethods->xFileSize(Lower(f), s);
}
int Lock(sqlite3_file* f, int level) {
  Wait(f);
  return Lower(f)->pMethods->xLock(Lower(f), level);
}
int Unlock(sqlite3_file* f, int level) {
  Wait(f);
  return Lower(f)->pMethods->xUnlock(Lower(f), level);
}
int CheckReservedLock(sqlite3_file* f, int* out) {
  Wait(f);
  return Lower(f)->pMethods->xCheckReservedLock(Lower(f), out);
}
int FileControl(sqlite3_file* f, int op, void* arg) { return Lower(f)->pMethods->xFileControl(Lower(f), op, arg); }
int SectorSize(sqlite3_file* f) { return Lower(f)->pMethods->xSectorSize(Lower(f)); }
int DeviceCharacteristics(sqlite3_file* f) { return Lower(f)->pMethods->xDeviceCharacteristics(Lower(f)); }
int ShmMap(sqlite3_file* f, int p, int s, int e, void volatile** at) {
  Wait(f);
  return Lower(f)->pMethods->xShmMap(Lower(f), p, s, e, at);
}
int ShmLock(sqlite3_file* f, int o, int n, int flags) {
  Wait(f);
  return Lower(f)->pMethods->xShmLock(Lower(f), o, n, flags);
}
void ShmBarrier(sqlite3_file* f) { Lower(f)->pMethods->xShmBarrier(Lower(f)); }
int ShmUnmap(sqlite3_file* f, int remove) { return Lower(f)->pMethods->xShmUnmap(Lower(f), remove); }
int Fetch(sqlite3_file* f, sqlite3_int64 o, int n, void** at) { return Lower(f)->pMethods->xFetch(Lower(f), o, n, at); }
int Unfetch(sqlite3_file* f, sqlite3_int64 o, void* at) { return Lower(f)->pMethods->xUnfetch(Lower(f), o, at); }

const sqlite3_io_methods kMethods = {3,        &Close,      &Read,       &Write,   &Truncate,
                                     &Sync,    &FileSize,   &Lock,       &Unlock,  &CheckReservedLock,
                                     &FileControl, &SectorSize, &DeviceCharacteristics, &ShmMap, &ShmLock,
                                     &ShmBarrier, &ShmUnmap, &Fetch, &Unfetch};

int Open(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
  auto* held = reinterpret_cast<HeldFile*>(file);
  held->base.pMethods = nullptr;
  WaitIfHanging(name);
  held->lower = static_cast<sqlite3_file*>(sqlite3_malloc(gLower->szOsFile));
  if (!held->lower) return SQLITE_NOMEM;
  std::memset(held->lower, 0, static_cast<size_t>(gLower->szOsFile));
  const int rc = gLower->xOpen(gLower, name, held->lower, flags, outFlags);
  if (rc != SQLITE_OK && !held->lower->pMethods) {
    sqlite3_free(held->lower);
    return rc;
  }
  new (&held->path) std::string(name ? name : "");
  held->base.pMethods = &kMethods;
  return rc;
}

int Delete(sqlite3_vfs*, const char* name, int sync) {
  WaitIfHanging(name, false, true);
  return gLower->xDelete(gLower, name, sync);
}
int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
  WaitIfHanging(name);
  return gLower->xAccess(gLower, name, flags, out);
}
int FullPathname(sqlite3_vfs*, const char* name, int n, char* out) {
  return gLower->xFullPathname(gLower, name, n, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) { return gLower->xDlOpen(gLower, name); }
void DlError(sqlite3_vfs*, int n, char* out) { gLower->xDlError(gLower, n, out); }
void (*DlSym(sqlite3_vfs*, void* l, const char* s))(void) { return gLower->xDlSym(gLower, l, s); }
void DlClose(sqlite3_vfs*, void* l) { gLower->xDlClose(gLower, l); }
int Randomness(sqlite3_vfs*, int n, char* out) { return gLower->xRandomness(gLower, n, out); }
int Sleep(sqlite3_vfs*, int us) { return gLower->xSleep(gLower, us); }
int CurrentTime(sqlite3_vfs*, double* now) { return gLower->xCurrentTime(gLower, now); }
int GetLastError(sqlite3_vfs*, int n, char* out) { return gLower->xGetLastError(gLower, n, out); }
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now) { return gLower->xCurrentTimeInt64(gLower, now); }

void RegisterOnce() {
  static const bool registered = [] {
    gLower = sqlite3_vfs_find(nullptr);
    static sqlite3_vfs vfs{};
    vfs.iVersion = 2;
    vfs.szOsFile = sizeof(HeldFile);
    vfs.mxPathname = gLower->mxPathname;
    vfs.zName = "rw-test-hanging";
    vfs.xOpen = &Open;
    vfs.xDelete = &Delete;
    vfs.xAccess = &Access;
    vfs.xFullPathname = &FullPathname;
    vfs.xDlOpen = &DlOpen;
    vfs.xDlError = &DlError;
    vfs.xDlSym = &DlSym;
    vfs.xDlClose = &DlClose;
    vfs.xRandomness = &Randomness;
    vfs.xSleep = &Sleep;
    vfs.xCurrentTime = &CurrentTime;
    vfs.xGetLastError = &GetLastError;
    vfs.xCurrentTimeInt64 = &CurrentTimeInt64;
    // The program's own calls on the files outside SQLite (a lock, a stamp,
    // a copy's sync and rename) wait on the medium too.
    HangGuard::SetBeforeCall(
        [](const char* path, HangGuard::FileCall call) { WaitIfHanging(path, call == HangGuard::FileCall::Sync); });
    return sqlite3_vfs_register(&vfs, 1) == SQLITE_OK;
  }();
  (void)registered;
}

}  // namespace

HangingFiles::HangingFiles(const QString& folder, int releaseAfterMs) {
  RegisterOnce();
  Medium& medium = TheMedium();
  const std::lock_guard<std::mutex> lock(medium.mutex);
  medium.folder = QDir::cleanPath(folder).toStdString() + "/";
  medium.hanging = false;
  medium.held = 0;
  medium.releaseAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(releaseAfterMs);
}

HangingFiles::~HangingFiles() {
  Release();
  AllBack();
  Medium& medium = TheMedium();
  const std::lock_guard<std::mutex> lock(medium.mutex);
  medium.folder.clear();
}

void HangingFiles::Hang() {
  Medium& medium = TheMedium();
  const std::lock_guard<std::mutex> lock(medium.mutex);
  medium.hanging = true;
}

void HangingFiles::HangFromSync(int nth) {
  Medium& medium = TheMedium();
  const std::lock_guard<std::mutex> lock(medium.mutex);
  medium.syncsToHang = nth;
}

void HangingFiles::HangFromDelete(int nth) {
  Medium& medium = TheMedium();
  const std::lock_guard<std::mutex> lock(medium.mutex);
  medium.deletesToHang = nth;
}

void HangingFiles::Slow(int ms) {
  Medium& medium = TheMedium();
  const std::lock_guard<std::mutex> lock(medium.mutex);
  medium.slowMs = ms;
}

void HangingFiles::Release() {
  Medium& medium = TheMedium();
  const std::lock_guard<std::mutex> lock(medium.mutex);
  medium.hanging = false;
  medium.slowMs = 0;
  medium.syncsToHang = 0;
  medium.deletesToHang = 0;
  medium.changed.notify_all();
}

int HangingFiles::Held() const {
  Medium& medium = TheMedium();
  const std::lock_guard<std::mutex> lock(medium.mutex);
  return medium.held;
}

int HangingFiles::HeldNow() const {
  Medium& medium = TheMedium();
  const std::lock_guard<std::mutex> lock(medium.mutex);
  return medium.heldNow;
}

bool HangingFiles::AllBack() const {
  Medium& medium = TheMedium();
  std::unique_lock<std::mutex> lock(medium.mutex);
  return medium.changed.wait_for(lock, std::chrono::milliseconds(kWaitCeilingMs),
                                 [&medium] { return medium.heldNow == 0; });
}

}  // namespace rwtest
