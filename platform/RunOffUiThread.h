#pragma once
// Runs a call that may block for long (a slow or dead medium, a media file's
// facts) on a helper thread, while the calling user-interface thread keeps
// handling its events, and returns the call's result. The wait handles the
// events itself instead of running a nested QEventLoop: such a loop returns
// at once after the program's own loop has been told to end, and the caller
// would take that for an answer.
#include <QEventLoop>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>

// What a helper thread and the caller waiting for it share; the thread keeps
// it alive when the caller has stopped waiting.
struct OffUiOutcome {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;

  // Called by the helper thread as its last step.
  void Finish();
};

// Waits until `outcome` is done, at most `timeoutMs` (-1: without a limit);
// on the program's main thread the events of `flags` are handled meanwhile,
// at least every 20 ms. True when it is done.
bool WaitHandlingEvents(OffUiOutcome& outcome, int timeoutMs, QEventLoop::ProcessEventsFlags flags);

// Runs `work` on a helper thread and returns its result once `wait`, given
// the outcome the thread finishes, has seen it done.
template <typename Work, typename Wait>
auto RunOffUiThreadWaiting(Work work, Wait wait) -> std::invoke_result_t<Work> {
  using Result = std::invoke_result_t<Work>;
  auto outcome = std::make_shared<OffUiOutcome>();
  if constexpr (std::is_void_v<Result>) {
    std::thread thread([outcome, &work] {
      work();
      outcome->Finish();
    });
    wait(*outcome);
    thread.join();
  } else {
    std::optional<Result> result;
    std::thread thread([outcome, &work, &result] {
      result.emplace(work());
      outcome->Finish();
    });
    wait(*outcome);
    thread.join();
    return std::move(*result);
  }
}

template <typename Work>
auto RunOffUiThread(Work work) -> std::invoke_result_t<Work> {
  return RunOffUiThreadWaiting(std::move(work),
                               [](OffUiOutcome& outcome) { WaitHandlingEvents(outcome, -1, QEventLoop::AllEvents); });
}
