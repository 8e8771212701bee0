#pragma once
// A real, small file system for a test that needs a full disk: a tmpfs of a
// few hundred kilobytes, mounted in a user and mount namespace of the test's
// own, so no privileges are needed and nothing outside the test sees it.
//
// The test runs twice. Where the test binary was started, `Here()` starts the
// binary again for this one test inside `unshare` and answers false: the test
// then returns, passing or failing with the child. In the child `Here()`
// mounts the tmpfs at `Folder()` and answers true. Where the machine allows
// no user namespaces the test is skipped with a message.
//
//   rwtest::SmallDisk disk;
//   if (!disk.Here()) return;
//   ... write in disk.Folder(), disk.Fill() ...
#include <QString>
#include <QTemporaryDir>

namespace rwtest {

class SmallDisk {
 public:
  explicit SmallDisk(int kilobytes = 512) : kilobytes_(kilobytes) {}
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Here();
  const QString& Folder() const { return folder_; }
  QString Path(const QString& name) const { return folder_ + QLatin1Char('/') + name; }
  // Fills what is left of the disk with a file of its own, to the last byte.
  void Fill();
  // Removes that file again.
  void Free();

 private:
  int kilobytes_;
  QTemporaryDir mountPoint_;
  QString folder_;
};

}  // namespace rwtest
