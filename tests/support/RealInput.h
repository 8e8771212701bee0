#pragma once
// Input as the window system delivers it: pointer events go to the window
// under the pointer, which hands them to the widget there (with its grabs,
// the widget in front, a window that a modal one blocks); keys go to the
// focused window, whose shortcuts take them first and which hands them to
// its focused widget. Nothing is sent to a widget directly, as QTest's
// widget functions and click() do.
#include <QPoint>
#include <Qt>

class QWidget;
class QWindow;

namespace rwtest {

// Moves the pointer onto `at` of `widget` (its centre when null) and, with
// no pause, presses and releases `button` there: all three go to the window
// under that point as they arrive (another window over `widget` takes them,
// unless it lets input through).
void ClickAt(QWidget& widget, QPoint at = {}, Qt::MouseButton button = Qt::LeftButton,
             Qt::KeyboardModifiers keys = {});
// The window of the program that a click at `global` lands on: the last
// made of those shown there that takes input.
QWindow* WindowUnder(const QPoint& global);
// Presses and releases a key in the focused window; false when no window of
// the program has the focus.
bool TypeKey(Qt::Key key, Qt::KeyboardModifiers keys = {});
// Makes `widget`'s window the active one and gives `widget` the focus, as a
// click on it would; false when the window does not become active.
bool FocusOn(QWidget& widget);

}  // namespace rwtest
