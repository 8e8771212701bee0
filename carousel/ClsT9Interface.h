#pragma once
// The keypad type-ahead panel of the carousel, which finds tags by the
// digits of a remote's keypad. A least version: its panel is never shown,
// so it takes no keys and its timer tick does nothing.

class ClsT9Interface {
 public:
  // True while the panel is up (never yet).
  bool Visible() const { return false; }
  // A key while the panel is up.
  void KeyPressHandler(int& KeyCode) {}
  // The keypad timer's tick while the panel is up.
  void TimerEvent() {}
};
