#include "ui/WorkArea.h"

#include "platform/Rounding.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QList>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace WorkArea {
namespace {

// The windows shown and not yet exposed: at the first expose the window
// system has framed them and their frame is known.
QList<QPointer<QWidget>>& FramePending() {
  static QList<QPointer<QWidget>> windows;
  return windows;
}

QMargins& LastFrame() {
  static QMargins frame;
  return frame;
}

int32_t Centred(int32_t outer, int32_t inner, int32_t start) {
  return start + static_cast<int32_t>(RoundHalfEven((outer - inner) / 2.0));
}

// The frame the window system gave a shown window, none while it has not.
QMargins OwnFrame(const QWidget* window) {
  const QRect outer = window->frameGeometry();
  const QRect inner = window->geometry();
  return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
          outer.bottom() - inner.bottom()};
}

bool Frameless(const QWidget* window) { return window->windowFlags().testFlag(Qt::FramelessWindowHint); }

// The windows kept on their work area as they are shown: dialogs (framed or
// not) and framed windows. The main window, the full-screen player and the
// video windows are frameless windows their owners place over a screen;
// popups, tool tips and the tool windows that follow the pointer belong to
// their owners too.
bool Kept(const QWidget* window) {
  if (!window->isWindow()) return false;
  switch (window->windowType()) {
    case Qt::Dialog:
    case Qt::Sheet:
      return true;
    case Qt::Window:
      return !Frameless(window);
    default:
      return false;
  }
}

// Watches every window's showing and first expose.
class Watcher : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      auto* window = static_cast<QWidget*>(watched);
      if (Kept(window)) {
        Keep(window);
        if (!FramePending().contains(window)) FramePending().append(window);
      }
    } else if (event->type() == QEvent::Expose && watched->isWindowType()) {
      AfterExpose(static_cast<QWindow*>(watched));
    }
    return false;
  }

 private:
  // The first expose of a kept window: its frame is known now; a window the
  // frame takes off its work area is fitted again.
  static void AfterExpose(QWindow* handle) {
    if (!handle->isExposed() || FramePending().isEmpty()) return;
    FramePending().removeAll(nullptr);
    for (qsizetype i = 0; i < FramePending().size(); ++i) {
      QWidget* window = FramePending().at(i).data();
      if (window->windowHandle() != handle) continue;
      FramePending().removeAt(i);
      const QMargins frame = OwnFrame(window);
      if (!frame.isNull()) LastFrame() = frame;
      if (!Of(window).contains(window->frameGeometry())) Keep(window);
      return;
    }
  }
};

}  // namespace

QRect Of(const QWidget* window) {
  const QScreen* screen = window ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

QRect Fit(const QRect& outer, const QRect& work) {
  QRect fitted(outer.topLeft(), outer.size().boundedTo(work.size()));
  if (!work.contains(fitted)) {
    fitted.moveTo(Centred(work.width(), fitted.width(), work.left()),
                  Centred(work.height(), fitted.height(), work.top()));
  }
  return fitted;
}

QMargins Frame(const QWidget* window) {
  if (!window || Frameless(window)) return {};
  if (window->isVisible()) {
    const QMargins own = OwnFrame(window);
    if (!own.isNull()) return own;
  }
  return LastFrame();
}

QSize Room(const QWidget* window) {
  const QMargins frame = Frame(window);
  const QSize room = Of(window).size() - QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
  return room.expandedTo(QSize(1, 1));
}

void Keep(QWidget* window) {
  if (!window || !window->isWindow()) return;
  if (window->windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized | Qt::WindowMinimized)) return;
  const QRect work = Of(window);
  if (work.isEmpty()) return;
  const QSize room = Room(window);
  // A least size larger than the room would keep the window larger than it.
  const QSize least = window->minimumSize();
  if (least.width() > room.width() || least.height() > room.height()) window->setMinimumSize(least.boundedTo(room));
  if (window->width() > room.width() || window->height() > room.height()) {
    window->resize(window->size().boundedTo(room));
  }
  const QMargins frame = Frame(window);
  const QRect outer(window->pos(), window->size().grownBy(frame));
  const QRect fitted = Fit(outer, work);
  if (fitted.topLeft() != outer.topLeft()) window->move(fitted.topLeft());
}

void KeepEveryWindowInside() {
  static QPointer<Watcher> watcher;
  if (watcher || !qApp) return;
  watcher = new Watcher;
  watcher->setParent(qApp);
  qApp->installEventFilter(watcher);
}

}  // namespace WorkArea
