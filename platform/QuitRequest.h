#pragma once
// A request to end the program (a termination signal) that comes while long
// work runs: adding files, a full-screen run, a story board, a library open
// or upgrade. Ending the event loop at once would make every nested wait of
// that work return at once, and the work would take each "the loop ended"
// for "the file failed". Instead the work stops at its next file boundary
// (it asks Requested(), or its stop action is called), and the event loop is
// ended only once the last such work is over.
#include <functional>

namespace QuitRequest {

// Asks the program to end: every long work's stop action is called, and
// `endLoop` (which ends the event loop) runs at once when no long work runs,
// else when the last one ends. Later requests are ignored.
void Request(std::function<void()> endLoop);
bool Requested();
// Whether long work that a request would stop is under way.
bool WorkUnderWay();
// Forgets a request, for a new run of the program in the same process.
void Reset();

// Long work for the lifetime of the object. `stop`, when given, is called
// when a request comes (at once when one came before), on the thread of the
// event loop; it only sets flags that the work reads at its boundaries.
class LongWork {
 public:
  explicit LongWork(std::function<void()> stop = {});
  ~LongWork();
  LongWork(const LongWork&) = delete;
  LongWork& operator=(const LongWork&) = delete;

 private:
  friend void Request(std::function<void()> endLoop);
  void Stop();

  std::function<void()> stop_;
};

}  // namespace QuitRequest
