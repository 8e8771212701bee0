#pragma once
// The one road every message box of the program takes. The program's own box
// registers itself as the handler; tests install a responder that answers
// without showing anything, so no test ever waits on a modal window. With
// neither, a plain Qt box stands in.
#include <QString>

#include <functional>

class QWidget;

// Style bits, as the program combines them (button set in the low nibble,
// icon in bits 4-6, default button in bits 8-9).
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
inline constexpr int vbDefaultButton2 = 256;
inline constexpr int vbDefaultButton3 = 512;
inline constexpr int vbSystemModal = 4096;
inline constexpr int vbMsgBoxHelpButton = 16384;

// Answers; 0 means the box closed without an answer (a countdown, a replacement).
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbAbort = 3;
inline constexpr int vbRetry = 4;
inline constexpr int vbIgnore = 5;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;
inline constexpr int vbHelp = 8;

struct MessageBoxRequest {
  QString prompt;
  int style = vbOKOnly;
  QString title;
  int timeoutSeconds = 0;
  bool fit = false;
  int width = 0;
  QString fontName;
  QWidget* owner = nullptr;
  // True for the system box used at start-up and shut-down, before or after
  // the program's own windows exist.
  bool systemBox = false;
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Shows a box through the responder, else the handler, else a plain Qt box.
int ShowMessageBox(const MessageBoxRequest& request);
// The system box: text, style and title only.
int SystemMessageBox(const QString& prompt, int style, const QString& title);

// The program's own box installs itself here; returns the previous handler.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
// Tests answer boxes here (it takes precedence); returns the previous responder.
MessageBoxHandler SetMessageBoxResponder(MessageBoxHandler responder);
