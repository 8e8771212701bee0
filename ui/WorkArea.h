#pragma once
// Every window of the program lies whole on the work area of its screen (the
// screen less the desktop's panels), frame and title bar included, at any
// size and scale of the screen: a window too large for it is cut to it, and a
// window that runs off it is centred in it. The main window's placement
// (cWindowMgr) and every other window's use the one rule, Fit.
//
// The window system's frame is known only once a window has been shown: a
// window shown for the first time takes the frame last seen on another
// framed window, and is fitted again when its own frame becomes known. A
// window whose contents have a size of their own (the story board, the
// poster) lays them out in whatever client size it is given.
#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace WorkArea {

// The work area of the screen the window lies on; of the primary screen for
// a window that lies on none yet.
QRect Of(const QWidget* window);

// The rule: `outer` cut to the work area; where it then lies outside it (or
// starts left of or above it), centred in it, halves rounded to even.
QRect Fit(const QRect& outer, const QRect& work);

// The frame the window system puts around the window: its own once shown,
// else the last one seen on a framed window of the program, none for a
// frameless window.
QMargins Frame(const QWidget* window);

// The largest client area the window may have on its work area.
QSize Room(const QWidget* window);

// Cuts the window (its least size too) and places it by Fit. A window that
// is full screen or maximised is left as it is.
void Keep(QWidget* window);

// From now on every dialog and framed window of the program is kept on its
// work area as it is shown, and once more when its frame becomes known; the
// main window (placed by its manager), popups, tool tips and frameless
// windows of other kinds are left to their owners.
void KeepEveryWindowInside();

}  // namespace WorkArea
