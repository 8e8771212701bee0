#pragma once
// The current test run again in a child process: the test's own binary,
// filtered to this one test, with a mark in its environment so that the run
// inside takes the child's part. Used where a test needs what a process of
// its own gives: a real signal, or a user and mount namespace (through
// unshare) in which it may mount a small tmpfs or a FUSE server without
// touching the machine's mounts.
#include <QByteArray>
#include <QProcess>
#include <QString>

namespace rwtest {

// True in the run a ChildRun started.
bool InChildRun();

class ChildRun {
 public:
  // `ownMountNamespace`: the child runs as root of a user namespace of its
  // own, with a mount namespace of its own. `ordinaryUser` (without
  // `ownMountNamespace`): the child runs in a user namespace of its own that
  // maps no user, as an ordinary user, for whom a file's modes count (a test
  // run by the superuser can then meet a file it may not read or a folder it
  // may not write).
  explicit ChildRun(bool ownMountNamespace = false, bool ordinaryUser = false);
  ~ChildRun();
  ChildRun(const ChildRun&) = delete;
  ChildRun& operator=(const ChildRun&) = delete;

  // An environment variable for the child.
  void Set(const char* name, const QString& value);
  // Starts the child; false, with the test marked skipped, where the machine
  // allows no user namespace (or has no unshare).
  bool Start();
  // Waits until the child's output holds `text` at least `times` times;
  // false when the child ended or the ceiling passed first.
  bool WaitForOutput(const QByteArray& text, int times = 1, int timeoutMs = 120000);
  qint64 ProcessId() const { return process_.processId(); }
  // Waits for the child to end and expects a normal exit with code 0 (its
  // tests passed); a failure shows the child's output. By default the wait
  // lasts a little beyond the child's own time limit (TestTimeLimit).
  void Finish(int timeoutMs = -1);
  // Waits for the child to end, however it ends (within the wait Finish
  // takes), and gives all it wrote; `status` tells a crash or a kill.
  QByteArray WaitForEnd(QProcess::ExitStatus* status);
  // Everything the child wrote so far, both channels.
  const QByteArray& Output();
  // The number after "<name>=" on a line of the child's output; -1 when none.
  qint64 Reported(const QByteArray& name);

 private:
  void ReadOutput();

  bool ownMountNamespace_;
  bool ordinaryUser_;
  QProcessEnvironment environment_;
  QProcess process_;
  QByteArray output_;
};

// In the child: a line "<name>=<value>" for the parent (see Reported).
void ReportToParent(const char* name, qint64 value);

}  // namespace rwtest

// In a test body: the run started by ctest starts the test again in a child
// process of a user and mount namespace of its own, waits for it and takes
// its outcome; the child's run goes on past this line.
// As RW_RUN_IN_OWN_MOUNT_NAMESPACE, the child running as an ordinary user.
#define RW_RUN_AS_ORDINARY_USER()                                        \
  do {                                                                   \
    if (!::rwtest::InChildRun()) {                                       \
      ::rwtest::ChildRun child_(false, true);                            \
      if (child_.Start()) child_.Finish();                               \
      return;                                                            \
    }                                                                    \
  } while (0)

#define RW_RUN_IN_OWN_MOUNT_NAMESPACE()     \
  do {                                      \
    if (!::rwtest::InChildRun()) {          \
      ::rwtest::ChildRun child_(true);      \
      if (child_.Start()) child_.Finish();  \
      return;                               \
    }                                       \
  } while (0)
