#include "tests/support/RealInput.h"

#include "tests/support/EventLoopWaits.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace rwtest {

QWindow* WindowUnder(const QPoint& global) {
  const QWindowList windows = QGuiApplication::topLevelWindows();
  // Made later, shown over: the tip, a dialog, the cloud over the window.
  for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
    QWindow* window = *it;
    if (!window->isVisible() || window->flags().testFlag(Qt::WindowTransparentForInput)) continue;
    if (!window->geometry().contains(global)) continue;
    const QRegion mask = window->mask();
    if (!mask.isEmpty() && !mask.contains(window->mapFromGlobal(global))) continue;
    return window;
  }
  return nullptr;
}

void ClickAt(QWidget& widget, QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
  if (at.isNull()) at = widget.rect().center();
  const QPoint global = widget.mapToGlobal(at);
  // The window system chooses the window for all three when they arrive
  // together: the one under the pointer then.
  // A window that goes away meanwhile (the move took it away) takes them
  // with it.
  const QPointer<QWindow> window = WindowUnder(global);
  if (!window) return;
  const QPoint local = window->mapFromGlobal(global);
  QCursor::setPos(global);  // where the pointer is now, for whoever asks
  QTest::mouseMove(window, local);
  if (window) QTest::mousePress(window, button, keys, local);
  if (window) QTest::mouseRelease(window, button, keys, local);
}

bool TypeKey(Qt::Key key, Qt::KeyboardModifiers keys) {
  QWindow* window = QGuiApplication::focusWindow();
  if (!window) return false;
  QTest::keyClick(window, key, keys);
  return true;
}

bool FocusOn(QWidget& widget) {
  QWidget* window = widget.window();
  window->activateWindow();
  if (!QTest::qWaitForWindowActive(window, kWaitCeilingMs)) return false;
  widget.setFocus(Qt::MouseFocusReason);
  return true;
}

}  // namespace rwtest
