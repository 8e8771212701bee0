#pragma once
// A system root of the test's own for the mount table: a mountinfo text, the
// udev links under dev/disk and the sysfs files of the block devices, in a
// temporary folder that MountTable reads in place of "/" while the object
// lives. Mount points are real folders (the test's own), so that files at a
// mount's root can be read and written.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace rwtest {

struct FakeDisk {
  QString device{};    // "/dev/sdb1"
  QString uuid{};      // as udev names its link; empty: no link
  QString label{};     // empty: no link
  bool removable = false;
  bool optical = false;
  unsigned major = 8;
  unsigned minor = 17;
};

class FakeSystemRoot {
 public:
  FakeSystemRoot();
  ~FakeSystemRoot();
  FakeSystemRoot(const FakeSystemRoot&) = delete;
  FakeSystemRoot& operator=(const FakeSystemRoot&) = delete;

  // A folder to mount on (made under the temporary folder, outside the system
  // root's own folders); `name` may hold blanks and non-ASCII letters.
  QString MountPoint(const QString& name);
  // A mountinfo line for a mount; written with Write().
  void Mount(const QString& mountPoint, const QString& fsType, const QString& source, const QString& root = "/",
             unsigned major = 0, unsigned minor = 0);
  void MountDisk(const QString& mountPoint, const QString& fsType, const FakeDisk& disk, const QString& root = "/");
  // Forgets the mounts at `mountPoint`.
  void Unmount(const QString& mountPoint);
  // A line as it stands (for lines no helper writes).
  void RawLine(const QByteArray& line);
  // Writes the mountinfo text of the mounts given so far.
  void Write();
  // The udev links and sysfs files of a disk.
  void AddDisk(const FakeDisk& disk);

  QString Path() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
  QList<QByteArray> lines_;
  int nextId_ = 30;
};

// mountinfo's escape of a path: blank, tab, newline and backslash as octal.
QByteArray MountinfoEscaped(const QString& path);

}  // namespace rwtest
