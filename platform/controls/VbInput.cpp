#include "platform/controls/VbInput.h"

#include <QKeyEvent>

#include <array>
#include <utility>

namespace ctl {

namespace {

// Keys whose code is not derived from a range below.
constexpr std::array<std::pair<int, int>, 32> kKeyCodes{{
    {Qt::Key_Backspace, vbKeyBack},
    {Qt::Key_Tab, vbKeyTab},
    {Qt::Key_Backtab, vbKeyTab},
    {Qt::Key_Return, vbKeyReturn},
    {Qt::Key_Enter, vbKeyReturn},
    {Qt::Key_Shift, vbKeyShift},
    {Qt::Key_Control, vbKeyControl},
    {Qt::Key_Alt, vbKeyMenu},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, vbKeyEscape},
    {Qt::Key_Space, vbKeySpace},
    {Qt::Key_PageUp, vbKeyPageUp},
    {Qt::Key_PageDown, vbKeyPageDown},
    {Qt::Key_End, vbKeyEnd},
    {Qt::Key_Home, vbKeyHome},
    {Qt::Key_Left, vbKeyLeft},
    {Qt::Key_Up, vbKeyUp},
    {Qt::Key_Right, vbKeyRight},
    {Qt::Key_Down, vbKeyDown},
    {Qt::Key_Insert, vbKeyInsert},
    {Qt::Key_Delete, vbKeyDelete},
    {Qt::Key_Menu, vbKeyApps},
    {Qt::Key_Asterisk, 106},
    {Qt::Key_Plus, 107},
    {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},
    {Qt::Key_Slash, 111},
    {Qt::Key_Comma, 188},
    {Qt::Key_Period, 190},
    {Qt::Key_BracketLeft, 219},
    {Qt::Key_BracketRight, 221},
}};

// Codes 106 to 111 are the keypad's operator keys; the rest of the table is
// the main keyboard's.
bool IsKeypadCode(int code) { return code >= 106 && code <= 111; }

int KeypadCode(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return vbKeyNumpad0 + (key - Qt::Key_0);
  for (const auto& [qtKey, code] : kKeyCodes) {
    if (qtKey == key && IsKeypadCode(code)) return code;
  }
  return 0;
}

}  // namespace

int VbButton(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return vbLeftButton;
    case Qt::RightButton:
      return vbRightButton;
    case Qt::MiddleButton:
      return vbMiddleButton;
    default:
      return 0;
  }
}

int VbButtons(Qt::MouseButtons buttons) {
  return (buttons & Qt::LeftButton ? vbLeftButton : 0) | (buttons & Qt::RightButton ? vbRightButton : 0) |
         (buttons & Qt::MiddleButton ? vbMiddleButton : 0);
}

int VbShift(Qt::KeyboardModifiers modifiers) {
  return (modifiers & Qt::ShiftModifier ? vbShiftMask : 0) | (modifiers & Qt::ControlModifier ? vbCtrlMask : 0) |
         (modifiers & Qt::AltModifier ? vbAltMask : 0);
}

int VbKeyCode(const QKeyEvent* event) {
  const int key = event->key();
  if (event->modifiers() & Qt::KeypadModifier) {
    if (const int code = KeypadCode(key)) return code;
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return '0' + (key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return vbKeyF1 + (key - Qt::Key_F1);
  for (const auto& [qtKey, code] : kKeyCodes) {
    if (qtKey == key && !IsKeypadCode(code)) return code;
  }
  return 0;
}

int VbKeyAscii(const QKeyEvent* event) {
  const QString text = event->text();
  if (text.size() != 1) return 0;
  return text.at(0).unicode();
}

int AsKeypadDigit(int keyCode) { return keyCode >= '0' && keyCode <= '9' ? vbKeyNumpad0 + (keyCode - '0') : keyCode; }

Qt::Key QtKeyForVbKeyCode(int keyCode) {
  if (keyCode >= 'A' && keyCode <= 'Z') return static_cast<Qt::Key>(Qt::Key_A + (keyCode - 'A'));
  if (keyCode >= '0' && keyCode <= '9') return static_cast<Qt::Key>(Qt::Key_0 + (keyCode - '0'));
  if (keyCode >= vbKeyF1 && keyCode < vbKeyF1 + 24) return static_cast<Qt::Key>(Qt::Key_F1 + (keyCode - vbKeyF1));
  for (const auto& [qtKey, code] : kKeyCodes) {
    if (code == keyCode) return static_cast<Qt::Key>(qtKey);
  }
  return Qt::Key_unknown;
}

}  // namespace ctl
