#pragma once
// The main window's manager. The main window has no frame of the window
// system's: it draws its own title strip and control box, and this class owns
// everything that treats it as a window: its frame style (a sizing band along
// its edges, the caption drag), its system menu, its three sizes (the library
// rectangle, maximised over its screen, compact around the playing video),
// the tray icon, the placement the settings remember, and the centring of any
// window over the main window or the screen.
//
// The main window creates the one instance, gWindowMgr, when it loads, and
// shut-down destroys it; every other window only asks it to centre itself.
// Lengths are pixels.
#include <QMenu>
#include <QPointer>
#include <QRect>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class IWindowMgrHost;
class QScreen;
class QWindow;

class cWindowMgr {
 public:
  // The system menu's command IDs: two of the program's own, which the main
  // window answers itself, and the standard window commands.
  static constexpr uint32_t kRestoreItem = 1;
  static constexpr uint32_t kMaximiseItem = 2;
  static constexpr uint32_t SC_SIZE = 61440;
  static constexpr uint32_t SC_MOVE = 61456;
  static constexpr uint32_t SC_MINIMIZE = 61472;
  static constexpr uint32_t SC_CLOSE = 61536;

  // Takes over the main window: reads its border, builds its system menu
  // (shown on Alt+Space) and puts it where the settings remember, maximised or
  // at its library rectangle. `host` speaks for the main window's controls
  // and lives as long as the main window; it may be null.
  explicit cWindowMgr(QWidget* mainWindow, IWindowMgrHost* host = nullptr);
  // Removes the tray icon; in library mode takes the window's rectangle and
  // saves the placement.
  ~cWindowMgr();
  cWindowMgr(const cWindowMgr&) = delete;
  cWindowMgr& operator=(const cWindowMgr&) = delete;

  // Enables or greys the system menu's Move; the caption drag moves the
  // window only while it is moveable (never while maximised).
  void SetMoveable(bool on);
  bool Moveable() const { return moveable_; }
  // Enables or greys the system menu's Size; a sizeable frameless window is
  // sized from a 4-pixel band along its edges.
  void SetSizeable(bool on);
  bool Sizeable() const;
  // With a title bar the window system frames the window; the main window
  // is frameless and draws its own.
  void SetTitlebar(bool on);
  bool Titlebar() const;
  // The managed window.
  QWidget* hwnd() const { return mainWindow_; }

  // The window modes. Maximised fills the work area of the primary screen,
  // or the whole of any other screen; restored goes back to the library
  // rectangle; compact sizes the window around the video at Factor times its
  // size (310 x 232 when it is unknown), cut to the screen and centred on
  // it. Compact keeps the
  // library rectangle of the window it started from: sizing an already
  // compact window again (another factor) leaves that rectangle alone.
  void MaximiseWindow();
  void RestoreWindow();
  // Called when the window has been minimised: both own system-menu items
  // become available for the way back.
  void MinimizeWindow();
  void InitialiseCompactWindow(int32_t Factor);
  // Hides the window behind an icon in the tray, whose mouse messages reach
  // the host; where the desktop has no tray the window is minimised instead.
  void MinimiseToTray();

  // The window's frame width (outer width less client width), taken once.
  int32_t BorderSizeW() const { return borderSizeW_; }
  // Take the window's rectangle as the library or the compact rectangle.
  void SetLibraryModeRect();
  void SetCompactModeRect();
  // 0 normal (library rectangle), 2 maximised; compact and tray leave it.
  // The window system knows the window as maximised exactly while it is
  // maximised here and not compact, so that the desktop's own window menu
  // offers the way back; a maximise or restore asked for there reaches the
  // main window as the system menu's command (WM_SYSCOMMAND 2 or 1).
  int32_t WindowState() const { return windowState_; }

  // Centres a window over the main window, the main window itself on its
  // screen (taking the compact size when UseCompactRect); offsets are rounded
  // half to even. While the main window is not usable (gone, hidden or
  // minimised) another window is centred on the primary screen's work area.
  void CentreChildWindow(QWidget* window, bool UseCompactRect);

  // The title bar's caption press: call it from the left button's press.
  // Once the pointer, the button still held, has gone further than the
  // desktop's drag distance, the window follows the pointer, the pressed
  // spot under it, until the button is released; a press that goes no
  // further (the first of a double click) moves nothing. Only while the
  // window is moveable.
  void DragWindow();

  // The system menu; each item carries its command ID as its data, and
  // choosing one posts WM_SYSCOMMAND with that ID to the main window.
  QMenu* SystemMenu() const { return systemMenu_; }

  // Whether the desktop shows tray icons (tests replace it).
  static std::function<bool()> SystemTrayAvailable;
  // Starts the window system's sizing of the window at the edges; false
  // where it cannot, and the edges then follow the pointer in the program
  // (tests replace it).
  static std::function<bool(QWindow& window, Qt::Edges edges)> SystemSize;

 private:
  class Frame;

  // Places the window's outer (frame) rectangle.
  static void MoveWindow(QWidget* window, const QRect& outer);
  // The screen the window is on.
  static QScreen* ScreenOf(const QWidget* window);
  IWindowMgrHost* Host() const;
  void ShowControlBox(const QString& restoreImage, const QString& modeImage);
  void SetStyleBit(int32_t bit, bool on);
  void ApplyFrameChange();
  QRect MaximisedRect() const;
  QRect CompactRect(int32_t Factor) const;
  void LoadPlacement();
  void SavePlacement();
  void BuildSystemMenu();
  void SetMenuItemEnabled(uint32_t id, bool enabled);
  void EnableMenuCommand(uint32_t id, bool enabled);
  void AttachFrame();
  Frame* FrameTracker() const;
  // Tells the window system whether the window is maximised.
  void ShowMaximisedToWindowSystem(bool maximised);
  // A maximise or restore the window system made itself is passed on as the
  // system menu's command.
  void FollowWindowSystemState();
  // The main window's platform window was made anew (another kind of
  // surface): the state it reports first is not the user's.
  void WindowRemade();

  QPointer<QWidget> mainWindow_;
  IWindowMgrHost* host_;
  QRect libraryRect_;
  // Only its size counts; it stays at (0, 0).
  QRect compactRect_;
  int32_t windowState_ = 0;
  // Sized as the compact window since the last maximise or restore.
  bool compact_ = false;
  int32_t borderSizeW_ = 0;
  int32_t style_ = 0;
  bool moveable_ = true;
  QPointer<QMenu> systemMenu_;
  QPointer<QShortcut> menuKey_;
  QPointer<QObject> frame_;
  // True while the window's state is set from here, and while a state the
  // window system reported waits to be looked at.
  bool settingState_ = false;
  bool followPending_ = false;
  bool windowRemade_ = false;
};

extern std::unique_ptr<cWindowMgr> gWindowMgr;

// The tray icon MinimiseToTray adds. Its mouse messages go to the host as
// picWindowHeader_MouseMove(message); the main window removes it when a click
// brings the window back, and the window manager when it goes.
class cTrayIcon {
 public:
  // Shows the window's icon with its caption (63 characters at most) as the
  // tip, in place of any earlier icon.
  void Add(QWidget* window, IWindowMgrHost* target);
  // Removes the icon; nothing when none is shown.
  void Delete();
  QSystemTrayIcon* Icon() const { return icon_; }

 private:
  QPointer<QSystemTrayIcon> icon_;
};

extern cTrayIcon gTrayIcon;

// Centres the window over the main window through gWindowMgr, or on the
// primary screen's work area while there is no window manager yet.
void CentreOverMainWindow(QWidget* window);
