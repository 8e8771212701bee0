#pragma once
// A medium that stops answering and later comes back, without a mount or a
// namespace (so it never skips): an SQLite file layer, made the default for
// the whole test process on first use, through which every database file is
// opened (the program's own layer, HangGuard, goes through it too), and
// which holds the program's own calls on library files outside SQLite
// (HangGuard::OnFile) too. Once Hang() is called, every call on a file under
// `folder` (its reads, writes, locks, syncs, its journal's opening, its
// shared memory) waits, as a call on a network mount
// whose server went away waits in the kernel, until Release() lets them all
// through as they were asked: the medium answers again. A watchdog releases
// after `releaseAfterMs`, so that a test of code that would wait for ever
// fails instead of hanging. Files elsewhere are untouched.
#include <QString>

#include <memory>

namespace rwtest {

class HangingFiles {
 public:
  explicit HangingFiles(const QString& folder, int releaseAfterMs = 30000);
  // Releases, and waits (at most rwtest::kWaitCeilingMs) until the calls held
  // have come back.
  ~HangingFiles();
  HangingFiles(const HangingFiles&) = delete;
  HangingFiles& operator=(const HangingFiles&) = delete;

  void Hang();
  // The medium stops answering at the `nth` sync from now (1 for the next)
  // of a file under the folder, that sync included: a write then hangs
  // with its journal, or its library file, half way.
  void HangFromSync(int nth);
  // The same, from the `nth` file removed (a journal at its commit).
  void HangFromDelete(int nth);
  // Every call answers `ms` late, as on a slow but sound medium, until Release.
  void Slow(int ms);
  void Release();
  // Calls held so far, and those still held now.
  int Held() const;
  int HeldNow() const;
  // Waits (at most rwtest::kWaitCeilingMs) until no call is held.
  bool AllBack() const;
};

}  // namespace rwtest
