#pragma once
// The window-message service: clients see the messages of other windows,
// under the program's own message numbers (WM_*), and answer before each one
// how it is handled. Messages are made from the window's Qt events, with the
// packing the program's handlers expect (mouse position in lParam as
// x | y << 16 in client pixels, the MK_ button and key flags in wParam);
// the events of a control's inner widgets (a grid's viewport, a combo's edit
// field and list) count as the control's. The program's own messages (the
// device change, the system menu's commands) are posted.
//
// A registration lives as long as both its client and its window: a client
// that goes (ISubclass's destructor) or a window that is destroyed takes its
// registrations with it.
#include "ui/TickClock.h"

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

inline constexpr int32_t WM_DESTROY = 2;
inline constexpr int32_t WM_ACTIVATE = 6;
inline constexpr int32_t WM_SETFOCUS = 7;
inline constexpr int32_t WM_KILLFOCUS = 8;
inline constexpr int32_t WM_PAINT = 15;
inline constexpr int32_t WM_SETCURSOR = 32;
inline constexpr int32_t WM_MOUSEACTIVATE = 33;
inline constexpr int32_t WM_GETMINMAXINFO = 36;
inline constexpr int32_t WM_NCHITTEST = 132;
inline constexpr int32_t WM_COMMAND = 273;
inline constexpr int32_t WM_SYSCOMMAND = 274;
inline constexpr int32_t WM_TIMER = 275;
inline constexpr int32_t WM_MOUSEMOVE = 512;
inline constexpr int32_t WM_LBUTTONDOWN = 513;
inline constexpr int32_t WM_LBUTTONUP = 514;
inline constexpr int32_t WM_MOUSEWHEEL = 522;
inline constexpr int32_t WM_SIZING = 532;
inline constexpr int32_t WM_MOVING = 534;
inline constexpr int32_t WM_EXITSIZEMOVE = 562;
inline constexpr int32_t WM_MOUSEHOVER = 673;
inline constexpr int32_t WM_MOUSELEAVE = 675;
inline constexpr int32_t WM_USER = 1024;

// wParam flags of the mouse messages.
inline constexpr int32_t MK_LBUTTON = 1;
inline constexpr int32_t MK_RBUTTON = 2;
inline constexpr int32_t MK_SHIFT = 4;
inline constexpr int32_t MK_CONTROL = 8;
inline constexpr int32_t MK_MBUTTON = 16;

// Hit-test results.
inline constexpr int32_t HTCLIENT = 1;
inline constexpr int32_t HTRIGHT = 11;

// Combo-box notifications, in the high word of WM_COMMAND's wParam (the
// combo in lParam, as a QWidget*).
inline constexpr int32_t CBN_SELCHANGE = 1;
inline constexpr int32_t CBN_DROPDOWN = 7;
inline constexpr int32_t CBN_CLOSEUP = 8;

// Hover and leave tracking.
inline constexpr int32_t TME_HOVER = 1;
inline constexpr int32_t TME_LEAVE = 2;
inline constexpr int32_t HOVER_DEFAULT = -1;  // the desktop's hover time, 400 ms

struct POINTAPI {
  int32_t x = 0;
  int32_t y = 0;
};
struct RECT {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};
// What WM_GETMINMAXINFO asks for; lParam points at it.
struct MINMAXINFO {
  POINTAPI ptReserved;
  POINTAPI ptMaxSize;
  POINTAPI ptMaxPosition;
  POINTAPI ptMinTrackSize;
  POINTAPI ptMaxTrackSize;
};

inline intptr_t MakeLParam(int low, int high) {
  return static_cast<intptr_t>((static_cast<uint32_t>(high & 0xFFFF) << 16) | static_cast<uint32_t>(low & 0xFFFF));
}
inline int LowWord(intptr_t value) { return static_cast<int16_t>(value & 0xFFFF); }
inline int HighWord(intptr_t value) { return static_cast<int16_t>((value >> 16) & 0xFFFF); }

class ISubclass {
 public:
  // A client that goes takes its registrations with it.
  virtual ~ISubclass();
  // Read before each message (gSubclasser.CurrentWindowMessage() names it):
  // 0 the client alone handles it and its result stands; 1 the client runs,
  // then the window's own handling; 2 the window's own handling, then the
  // client (a client of WM_PAINT draws over the window).
  virtual int32_t ISubclass_MsgResponse() = 0;
  virtual intptr_t ISubclass_WindowProc(QWidget* hWnd, int32_t iMsg, intptr_t wParam, intptr_t lParam) = 0;
};

class cSubclasser : public QObject {
 public:
  cSubclasser();
  ~cSubclasser() override;

  // From now on `message` of `hWnd` reaches `client`. Attaching
  // WM_GETMINMAXINFO asks the client for the window's minimum size at once
  // and whenever the window is shown.
  void AttachWindowMessage(ISubclass* client, QWidget* hWnd, int32_t message);
  void DetachWindowMessage(ISubclass* client, QWidget* hWnd, int32_t message);
  // Every registration of the client.
  void DetachClient(ISubclass* client);
  int32_t CurrentWindowMessage() const { return current_; }
  // WM_PAINT reaches the clients with the widget being painted as hWnd (the
  // window or one of its inner widgets), so they paint on what shows.
  // The window's own answer to a message: the hit test gives HTCLIENT,
  // WM_SETCURSOR puts the window's own cursor back; 0 otherwise.
  intptr_t CallPreviousWindowProc(QWidget* hWnd, int32_t message, intptr_t wParam, intptr_t lParam);
  // Delivers a message the program raises itself through the event loop.
  static void PostWindowMessage(QWidget* hWnd, int32_t message, intptr_t wParam, intptr_t lParam);
  // Sends a message to the window's clients at once; the result of the
  // client that consumed it, else 0.
  intptr_t SendWindowMessage(QWidget* hWnd, int32_t message, intptr_t wParam, intptr_t lParam);

  // WM_TIMER to the window every `milliseconds`, wParam `id`, until killed.
  void SetTimer(QWidget* hWnd, int32_t id, int milliseconds);
  void KillTimer(QWidget* hWnd, int32_t id);
  // Asks once for WM_MOUSEHOVER (the pointer rested within 4 x 4 pixels for
  // `hoverTime` ms; HOVER_DEFAULT 400) and WM_MOUSELEAVE (the pointer left
  // the window), as `flags` (TME_HOVER | TME_LEAVE) say. After the hover the
  // leave part stays armed. False when the window is gone.
  bool TrackMouseEvent(QWidget* hWnd, int32_t flags, int hoverTime);
  // The desktop's hover time, ms (tests make it short).
  static int HoverTime();
  static void SetHoverTime(int milliseconds);
  // The clock of the hover waits of windows tracked from now on: Qt's
  // timers, unless a test puts a clock in place that it advances by hand
  // (an empty factory puts Qt's back).
  static void SetHoverClockFactory(TickClockFactory factory);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Registration {
    ISubclass* client;
    QPointer<QWidget> window;
    int32_t message;
  };
  struct Outcome {
    bool consumed = false;
    intptr_t result = 0;
  };
  class Tracker;
  class LiveSizing;

  Outcome Dispatch(QWidget* window, int32_t message, intptr_t wParam, intptr_t lParam, QEvent* event = nullptr,
                   QObject* eventTarget = nullptr, QWidget* shown = nullptr);
  bool Registered(QWidget* window, int32_t message) const;
  QWidget* RegisteredOwner(QObject* watched) const;
  QWidget* NotificationOwner(QWidget* combo) const;
  static intptr_t CallClient(ISubclass* client, QWidget* hWnd, int32_t message, intptr_t wParam, intptr_t lParam);
  void Watch(QWidget* window);
  void AskMinimumSize(QWidget* window);
  bool FilterMouse(QWidget* window, QObject* watched, QEvent* event);
  bool FilterCombo(QObject* watched, QEvent* event);
  bool FilterSizing(QWidget* window, QEvent::Type type, const QPoint& global);
  void HitTest(QWidget* window, const QPoint& global);
  bool Activation(QWidget* window, bool active);
  void MovedOrSized(QWidget* window);
  void Prune();
  void OnWindowDestroyed();

  std::vector<Registration> registrations_;
  int32_t current_ = 0;
  std::map<std::pair<QWidget*, int32_t>, std::unique_ptr<QObject>> timers_;
  std::map<QWidget*, std::unique_ptr<Tracker>> trackers_;
  std::unique_ptr<LiveSizing> sizing_;
  // Per top-level window, the wait after its last move or resize.
  std::map<QWidget*, std::unique_ptr<QTimer>> settle_;
  static constexpr int kSettleMs = 250;
};

// The one service of the program.
extern cSubclasser gSubclasser;
