#pragma once
// The repeats of a key held down that the program cannot keep up with are
// dropped, not queued, so that nothing runs on after the key is let go,
// while a press or release that is no repeat always acts.
//
// For an action on a press (Acts, Done): a step started by a press takes its
// time, and the repeats the window system sends meanwhile wait behind it. A
// repeat made before the last step was over is dropped. The times are the
// window system's (each event's timestamp): a step ends at its press's time
// plus what it took.
//
// For an action on a release (Released): X sends a held key's repeats as a
// release and a press at one time, and Qt marks them as a repeat only when
// it has read both by then; a release it read alone looks like the key's
// own. So the release of a key held long enough to repeat acts a moment
// later (kPairMs, the press of a pair comes with its release), and not when
// the press made at its time came meanwhile.
#include <QKeyEvent>
#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

class KeyRepeats {
 public:
  // Whether `press` acts; when it does, its step starts.
  bool Acts(const QKeyEvent& press);
  // The step of the last press that acted is over.
  void Done();
  // Runs `act` for `release` unless it is a repeat's: at once for a key
  // let go soon after its press, else kPairMs later from the event loop
  // (while `context` lives).
  void Released(const QKeyEvent& release, QObject* context, std::function<void()> act);

  // A key let go within this long after its press did not repeat.
  static constexpr uint32_t kTapMs = 250;
  static constexpr int kPairMs = 25;

 private:
  struct Pending {
    int key = 0;
    uint32_t made = 0;
    bool repeat = false;
  };

  bool stepEnded_ = false;
  uint32_t stepStart_ = 0;  // the window system's time of the acting press
  std::chrono::steady_clock::time_point started_;
  uint32_t stepEnd_ = 0;  // the window system's time the step ended
  int pressedKey_ = 0;    // the last key pressed that was no repeat, and when
  uint32_t pressedAt_ = 0;
  std::shared_ptr<Pending> pending_;
};
