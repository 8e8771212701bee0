#pragma once
// The keypad type-ahead panel of the carousel, which finds tags by the
// digits of a remote's keypad. A least version: its panel is never shown,
// so it takes no keys and its timer tick does nothing.
#include <QString>

#include <cstdint>

class ClsT9Interface {
 public:
  // True while the panel is up (never yet).
  bool Visible() const { return false; }
  // A key while the panel is up.
  void KeyPressHandler(int& KeyCode) { (void)KeyCode; }
  // The keypad timer's tick while the panel is up.
  void TimerEvent() {}
  // Opens the panel in a mode (tags of a kind, or text entry for negative
  // modes) and returns once it is hidden. Today it shows nothing and returns
  // at once, as if cancelled: EnteredText is "*CANCELLED*".
  void Show(int16_t Mode) {
    m_Mode = Mode;
    m_EnteredText = QStringLiteral("*CANCELLED*");
  }
  // What the last Show left: "*CANCELLED*", a view spec, or empty.
  QString EnteredText() const { return m_EnteredText; }
  // The mode of the last Show.
  int16_t Mode() const { return m_Mode; }

 private:
  int16_t m_Mode = 0;
  QString m_EnteredText;
};
