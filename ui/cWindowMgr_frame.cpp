// Moving and sizing the frameless main window: the caption drag and the
// sizing band along its edges. The window system sizes the window where it
// can; where it cannot (the offscreen platform, some window managers) the
// edge follows the pointer until the button is let go. A caption drag waits
// for the pointer to leave the drag distance, so that the presses of a
// double click still reach the caption, and then the window follows the
// pointer itself: a move the window system took over at that point would
// start from where the pointer is then and leave the window that distance
// behind it. The same watch passes on the maximise and restore the window
// system makes itself.
#include "ui/cWindowMgr.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QWindow>

#include <algorithm>

namespace {

// Width of the sizing band inside each edge, pixels.
constexpr int kSizingBand = 4;

}  // namespace

std::function<bool(QWindow& window, Qt::Edges edges)> cWindowMgr::SystemSize = [](QWindow& window,
                                                                                  Qt::Edges edges) {
  return window.startSystemResize(edges);
};

// Watches the mouse on every widget of the main window: the widgets cover
// its edges, so the band's presses arrive at them, not at the window.
class cWindowMgr::Frame : public QObject {
 public:
  Frame(cWindowMgr& manager, QWidget* window) : QObject(window), manager_(manager), window_(window) {
    qApp->installEventFilter(this);
  }
  // The window manager may outlive the application object (a benchmark
  // keeps the program until exit).
  ~Frame() override {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
  }

  // Moves the window (no edges) or sizes it at the edges, from the pointer at `from`.
  void Start(Qt::Edges edges, const QPoint& from);
  // Moves the window once the pointer has left the drag distance around the
  // last press with the left button held; a release or a new press forgets it.
  void ArmMove() { armed_ = true; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool OnWindow(QObject* watched) const;
  void NoteWindowId();
  Qt::Edges BandAt(const QPoint& global) const;
  void Follow(const QPoint& global);
  void StartArmedMove(const QMouseEvent* mouse, const QPoint& global);

  cWindowMgr& manager_;
  QWidget* window_;
  QPoint lastPress_ = QCursor::pos();
  // The platform window's id, once it has one.
  WId windowId_ = 0;
  bool following_ = false;
  bool armed_ = false;
  Qt::Edges edges_;
  QPoint from_;
  QRect start_;
};

void cWindowMgr::Frame::Start(Qt::Edges edges, const QPoint& from) {
  QWindow* handle = window_->windowHandle();
  if (edges && handle && SystemSize && SystemSize(*handle, edges)) return;
  following_ = true;
  edges_ = edges;
  from_ = from;
  start_ = window_->frameGeometry();
}

bool cWindowMgr::Frame::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::WinIdChange && watched == window_) NoteWindowId();
  if (type == QEvent::WindowStateChange && watched == window_) manager_.FollowWindowSystemState();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease) {
    return false;
  }
  if (!OnWindow(watched)) return false;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint global = mouse->globalPosition().toPoint();
  switch (type) {
    case QEvent::MouseButtonPress: {
      armed_ = false;
      if (mouse->button() != Qt::LeftButton) return false;
      lastPress_ = global;
      const Qt::Edges edges = BandAt(global);
      if (!edges) return false;
      Start(edges, global);
      return true;
    }
    case QEvent::MouseMove:
      if (armed_) StartArmedMove(mouse, global);
      if (following_) Follow(global);
      return following_;
    default:
      if (mouse->button() == Qt::LeftButton) armed_ = false;
      if (!following_ || mouse->button() != Qt::LeftButton) return following_;
      following_ = false;
      return true;
  }
}

// A new id after an earlier one is a platform window made anew; the id of
// none between the two (the old one destroyed) is passed over.
void cWindowMgr::Frame::NoteWindowId() {
  const WId id = window_->internalWinId();
  if (!id) return;
  if (windowId_ && id != windowId_) manager_.WindowRemade();
  windowId_ = id;
}

// Mouse events reach both the window's QWindow and its widgets; the widgets' count.
bool cWindowMgr::Frame::OnWindow(QObject* watched) const {
  const auto* widget = qobject_cast<QWidget*>(watched);
  return widget && widget->window() == window_;
}

// Only a frameless, sizeable, normal window has the band; a framed one is
// sized by the window system's frame.
Qt::Edges cWindowMgr::Frame::BandAt(const QPoint& global) const {
  if (!manager_.Sizeable() || !window_->windowFlags().testFlag(Qt::FramelessWindowHint) || window_->isMinimized()) {
    return {};
  }
  const QRect frame = window_->frameGeometry();
  Qt::Edges edges;
  if (global.x() < frame.left() + kSizingBand) edges |= Qt::LeftEdge;
  if (global.x() > frame.right() - kSizingBand) edges |= Qt::RightEdge;
  if (global.y() < frame.top() + kSizingBand) edges |= Qt::TopEdge;
  if (global.y() > frame.bottom() - kSizingBand) edges |= Qt::BottomEdge;
  return edges;
}

// The dragged edges follow the pointer; the opposite edges stay, and the
// window keeps its minimum size.
void cWindowMgr::Frame::Follow(const QPoint& global) {
  const QPoint moved = global - from_;
  if (!edges_) {
    window_->move(start_.topLeft() + moved);
    return;
  }
  const QSize frame = window_->frameGeometry().size() - window_->size();
  const QSize least = (window_->minimumSize() + frame).expandedTo(QSize(1, 1));
  QRect rect = start_;
  if (edges_ & Qt::LeftEdge) rect.setLeft(std::min(start_.left() + moved.x(), start_.right() + 1 - least.width()));
  if (edges_ & Qt::RightEdge) rect.setRight(std::max(start_.right() + moved.x(), start_.left() - 1 + least.width()));
  if (edges_ & Qt::TopEdge) rect.setTop(std::min(start_.top() + moved.y(), start_.bottom() + 1 - least.height()));
  if (edges_ & Qt::BottomEdge) {
    rect.setBottom(std::max(start_.bottom() + moved.y(), start_.top() - 1 + least.height()));
  }
  MoveWindow(window_, rect);
}

void cWindowMgr::Frame::StartArmedMove(const QMouseEvent* mouse, const QPoint& global) {
  if (!(mouse->buttons() & Qt::LeftButton)) {
    armed_ = false;
    return;
  }
  if ((global - lastPress_).manhattanLength() < QApplication::startDragDistance()) return;
  armed_ = false;
  if (manager_.Moveable() && !window_->isMinimized()) Start({}, lastPress_);
}

void cWindowMgr::AttachFrame() { frame_ = new Frame(*this, mainWindow_); }

cWindowMgr::Frame* cWindowMgr::FrameTracker() const { return static_cast<Frame*>(frame_.data()); }

void cWindowMgr::DragWindow() {
  Frame* frame = FrameTracker();
  if (!moveable_ || !frame || !mainWindow_ || mainWindow_->isMinimized()) return;
  frame->ArmMove();
}
