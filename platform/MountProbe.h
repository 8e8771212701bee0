#pragma once
// Whether a mount answers within a time limit. A network mount whose server
// has gone away blocks every file-system call under it for minutes; its root
// is asked once, on a helper thread, and a file call under it runs on a
// helper thread with the same limit, so that the window is held at most that
// long (painting, past long work's grace) and the file counts as out of reach. A mount that did not answer is remembered
// as dead for a while, so that the next calls under it do not wait again.
#include <QByteArray>

#include <cstdint>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

namespace MountProbe {

// How long a mount's root, or a file call under it, may take to answer.
inline constexpr int kTimeLimitMs = 3000;
// How long a mount that did not answer is taken as dead before it is asked again.
inline constexpr int kDeadMountMs = 30000;

// Runs `work` on a helper thread and waits for it at most `timeoutMs`; true
// when it finished in time. The wait is long work's (LongWork::Wait): on the
// program's main thread no event is handled meanwhile, and the window paints
// past the grace. A thread that does not finish
// is left to end by itself (it holds nothing of the caller's). Should the
// process end while such a thread (or a sweep of AskEach given up) is still
// out, the process ends before its objects are destroyed, so that the work,
// once its mount answers, never runs into them.
// `sinceMs`: how long the work this wait is part of has held the window
// already (LongWork::Options::sinceMs).
bool FinishesWithin(std::function<void()> work, int timeoutMs, int64_t sinceMs = 0);

// Work of another module's on a helper thread that its wait gave up on (a
// job of LongWork::Run) counts as out until it ends, under the same guard:
// GaveUpOn when the wait leaves it, CameBack when it ends.
void GaveUpOn();
void CameBack();

// True when asking for `root` (whether it exists or not) comes back within
// kTimeLimitMs. A root that did not answer answers false at once for
// kDeadMountMs after (by the program's tick clock).
bool RootAnswers(const QString& root);
// Notes that a call under `root` did not come back in time.
void MarkDead(const QString& root);

// The mount point that holds `path`, found from the mount table and the
// path's text alone: resolving the path would itself wait on a dead mount.
// An absolute path the table does not place lies on "/".
QString MountPointOf(const QString& path);

// Whether `root` did not answer within the last kDeadMountMs.
bool KnownDead(const QString& root);

// Runs `call`, a file-system call on a path below `root` (a root that has
// answered), on a helper thread within kTimeLimitMs. Nothing when the mount is
// known dead or the call did not come back in time; the mount is then
// remembered as dead. An empty root stands for no mount.
template <typename Call>
auto CallUnder(const QString& root, Call call) -> std::optional<std::invoke_result_t<Call>> {
  using Result = std::invoke_result_t<Call>;
  if (!root.isEmpty() && KnownDead(root)) return std::nullopt;
  auto result = std::make_shared<std::optional<Result>>();
  if (!FinishesWithin([result, call = std::move(call)]() mutable { result->emplace(call()); }, kTimeLimitMs)) {
    if (!root.isEmpty()) MarkDead(root);
    return std::nullopt;
  }
  return std::move(*result);
}

// CallUnder the mount that holds `path`, once its root has answered.
template <typename Call>
auto CallOnPath(const QString& path, Call call) -> std::optional<std::invoke_result_t<Call>> {
  const QString root = MountPointOf(path);
  if (!root.isEmpty() && !RootAnswers(root)) return std::nullopt;
  return CallUnder(root, std::move(call));
}

// Paths as the file system names them (QFile::encodeName), each ended by a
// NUL in one text, so that tens of thousands of them cost no allocation each;
// a path may be listed more than once, under different roots. Each lies
// under one of `roots`, the mount it is looked for on.
struct PathList {
  QStringList roots;
  QByteArray text;
  std::vector<qsizetype> starts;  // each path's first byte in `text`
  std::vector<int> rootOf;        // each path's root in `roots`

  int Count() const { return static_cast<int>(starts.size()); }
  const char* Path(int i) const { return text.constData() + starts[static_cast<size_t>(i)]; }
  const QString& Root(int i) const { return roots[rootOf[static_cast<size_t>(i)]]; }
};

// Asks `test` about every path, in order, on one helper thread (one hand-over
// for all of them: one a file would cost more than the files) in one
// LongWork::Wait, calling `progress(done)` on this thread as the answers come. A test that does not come back within
// kTimeLimitMs gives its mount (the path's root) up as dead: that path and
// the later ones on a dead mount get no answer, and a new thread goes on with
// the rest. `test` runs on the helper threads.
std::vector<std::optional<bool>> AskEach(PathList paths, std::function<bool(const char* path)> test,
                                         const std::function<void(int)>& progress = {});

// Tests put a probe of their own in place of the real one; nullptr puts the
// real one back. Either way the dead mounts are forgotten.
using RootProbe = std::function<bool(const QString& root)>;
void SetRootProbe(RootProbe probe);

}  // namespace MountProbe
