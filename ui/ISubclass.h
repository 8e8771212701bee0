#pragma once
// The window-message service: clients see the messages of other windows,
// under the program's own message numbers (WM_*), and answer before each one whether the
// window's own handling runs as well. Messages are taken from the window's Qt
// events; the device-change message is posted by the program itself.
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <vector>

inline constexpr int32_t WM_GETMINMAXINFO = 36;
inline constexpr int32_t WM_SYSCOMMAND = 274;
inline constexpr int32_t WM_MOUSEWHEEL = 522;
inline constexpr int32_t WM_MOVING = 534;
inline constexpr int32_t WM_EXITSIZEMOVE = 562;
inline constexpr int32_t WM_USER = 1024;

struct POINTAPI {
  int32_t x = 0;
  int32_t y = 0;
};
// What WM_GETMINMAXINFO asks for; lParam points at it.
struct MINMAXINFO {
  POINTAPI ptReserved;
  POINTAPI ptMaxSize;
  POINTAPI ptMaxPosition;
  POINTAPI ptMinTrackSize;
  POINTAPI ptMaxTrackSize;
};

class ISubclass {
 public:
  virtual ~ISubclass() = default;
  // Read before each message (gSubclasser.CurrentWindowMessage() names it):
  // 0 the client alone handles it; 1 or 2 the window's own handling runs too.
  virtual int32_t ISubclass_MsgResponse() = 0;
  virtual intptr_t ISubclass_WindowProc(QWidget* hWnd, int32_t iMsg, intptr_t wParam, intptr_t lParam) = 0;
};

class cSubclasser : public QObject {
 public:
  // From now on `message` of `hWnd` reaches `client`. Attaching
  // WM_GETMINMAXINFO asks the client for the window's minimum size at once
  // and whenever the window is shown.
  void AttachWindowMessage(ISubclass* client, QWidget* hWnd, int32_t message);
  void DetachWindowMessage(ISubclass* client, QWidget* hWnd, int32_t message);
  int32_t CurrentWindowMessage() const { return current_; }
  // Delivers a message the program raises itself (the device-change message)
  // through the event loop.
  static void PostWindowMessage(QWidget* hWnd, int32_t message, intptr_t wParam, intptr_t lParam);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Registration {
    ISubclass* client;
    QPointer<QWidget> window;
    int32_t message;
  };

  // Dispatches to every client of the message; true when one consumed it.
  bool Dispatch(QWidget* window, int32_t message, intptr_t wParam, intptr_t lParam);
  void AskMinimumSize(QWidget* window);

  std::vector<Registration> registrations_;
  int32_t current_ = 0;
};

extern cSubclasser gSubclasser;
