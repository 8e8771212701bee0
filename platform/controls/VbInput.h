#pragma once
// Mouse buttons, modifier keys and key codes in the numbering the program's
// event handlers test: buttons 1 left, 2 right, 4 middle; shift state 1 Shift,
// 2 Ctrl, 4 Alt, summed; key codes (13 Enter, 37-40 arrows, 46 Delete,
// 65-90 letters, 93 the menu key, 96-105 keypad digits, 112 F1 ..., 188 ",",
// 190 ".", 219 "[", 221 "]").
#include <Qt>

class QKeyEvent;

namespace ctl {

inline constexpr int vbLeftButton = 1;
inline constexpr int vbRightButton = 2;
inline constexpr int vbMiddleButton = 4;

inline constexpr int vbShiftMask = 1;
inline constexpr int vbCtrlMask = 2;
inline constexpr int vbAltMask = 4;

inline constexpr int vbKeyBack = 8;
inline constexpr int vbKeyTab = 9;
inline constexpr int vbKeyReturn = 13;
inline constexpr int vbKeyShift = 16;
inline constexpr int vbKeyControl = 17;
inline constexpr int vbKeyMenu = 18;
inline constexpr int vbKeyEscape = 27;
inline constexpr int vbKeySpace = 32;
inline constexpr int vbKeyPageUp = 33;
inline constexpr int vbKeyPageDown = 34;
inline constexpr int vbKeyEnd = 35;
inline constexpr int vbKeyHome = 36;
inline constexpr int vbKeyLeft = 37;
inline constexpr int vbKeyUp = 38;
inline constexpr int vbKeyRight = 39;
inline constexpr int vbKeyDown = 40;
inline constexpr int vbKeyInsert = 45;
inline constexpr int vbKeyDelete = 46;
inline constexpr int vbKeyL = 76;
inline constexpr int vbKeyR = 82;
// The context-menu key beside the right Ctrl.
inline constexpr int vbKeyApps = 93;
inline constexpr int vbKeyNumpad0 = 96;
inline constexpr int vbKeyNumpad1 = 97;
inline constexpr int vbKeyNumpad2 = 98;
inline constexpr int vbKeyNumpad3 = 99;
inline constexpr int vbKeyNumpad4 = 100;
inline constexpr int vbKeyNumpad5 = 101;
inline constexpr int vbKeyNumpad6 = 102;
inline constexpr int vbKeyF1 = 112;
inline constexpr int vbKeyF2 = 113;
inline constexpr int vbKeyF10 = 121;
// The punctuation keys ",", ".", "[" and "]" of a US layout.
inline constexpr int vbKeyComma = 188;
inline constexpr int vbKeyPeriod = 190;
inline constexpr int vbKeyOpenBracket = 219;
inline constexpr int vbKeyCloseBracket = 221;

// The button of one mouse event (0 for none or an unknown button).
int VbButton(Qt::MouseButton button);
// Every button held, summed.
int VbButtons(Qt::MouseButtons buttons);
int VbShift(Qt::KeyboardModifiers modifiers);
// The key code of a key event; 0 for a key without one.
int VbKeyCode(const QKeyEvent* event);
// The character code a key press types (KeyPress); 0 when it types none.
int VbKeyAscii(const QKeyEvent* event);
// The numeric keypad's digit for a digit of the top row, any other code as
// it is: for the views whose keys give the top row no meaning of its own,
// where a laptop or a remote control without a keypad sends the top row.
int AsKeypadDigit(int keyCode);
// The Qt key for a key code, for tests and for code that synthesises keys.
Qt::Key QtKeyForVbKeyCode(int keyCode);

}  // namespace ctl
