#pragma once
// Whether the root folder of a mount answers within a time limit. A network
// mount whose server has gone away blocks every file test under it for
// minutes; asking its root once, on a helper thread, lets a check pass over
// such a mount instead of hanging the window.
#include <QString>

#include <functional>

namespace MountProbe {

// How long a mount's root may take to answer.
inline constexpr int kTimeLimitMs = 3000;

// Runs `work` on a helper thread and waits for it at most `timeoutMs`; true
// when it finished in time. A thread that does not finish is left to end by
// itself (it holds nothing of the caller's).
bool FinishesWithin(std::function<void()> work, int timeoutMs);

// True when asking for `root` (whether it exists or not) comes back within
// kTimeLimitMs.
bool RootAnswers(const QString& root);

// Tests put a probe of their own in place of the real one; nullptr puts the
// real one back.
using RootProbe = std::function<bool(const QString& root)>;
void SetRootProbe(RootProbe probe);

}  // namespace MountProbe
