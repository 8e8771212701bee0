#pragma once
// The main window's manager. Until the window modes are built it only
// centres windows over the main window; the main window creates the one
// instance, gWindowMgr, when it loads.
#include <QWidget>
#include <QPointer>

#include <cstdint>
#include <memory>

class cWindowMgr {
 public:
  explicit cWindowMgr(QWidget* mainWindow) : mainWindow_(mainWindow) {}

  QWidget* MainWindow() const { return mainWindow_; }

  // Centres a window over the main window, the main window itself on the
  // screen; the offsets are rounded half to even. While the main window is
  // not usable (gone, hidden or minimised) the window is centred on the
  // primary screen's work area instead.
  void CentreChildWindow(QWidget* window, bool UseCompactRect);

 private:
  QPointer<QWidget> mainWindow_;
};

extern std::unique_ptr<cWindowMgr> gWindowMgr;

// Centres the window over the main window through gWindowMgr, or on the
// primary screen's work area while there is no window manager yet.
void CentreOverMainWindow(QWidget* window);
