#include "ui/cMDISplit.h"

#include <QCursor>
#include <QPainter>

#include <algorithm>

// The drag bar of outline mode: a strip over the parent in a one-pixel
// checkerboard, the look of an inverted halftone bar.
class cMDISplit::Bar : public QWidget {
 public:
  explicit Bar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SplitterBar"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.fillRect(rect(), QBrush(Qt::black, Qt::Dense4Pattern));
  }
};

cMDISplit::cMDISplit() = default;

cMDISplit::~cMDISplit() { Detach(); }

void cMDISplit::Attach(QWidget* ctl) {
  Detach();
  if (!ctl || !ctl->parentWidget()) return;
  pane_ = ctl;
  parent_ = ctl->parentWidget();
  AttachMessages(true);
}

void cMDISplit::Detach() {
  if (!pane_) return;
  if (dragging_) {
    dragging_ = false;
    pane_->releaseMouse();
  }
  AttachMessages(false);
  pane_ = nullptr;
  parent_ = nullptr;
  bar_.reset();
}

void cMDISplit::SetFullDrag(bool on) {
  if (on == fullDrag_) return;
  QWidget* pane = pane_;
  Detach();
  fullDrag_ = on;
  if (pane) Attach(pane);
}

void cMDISplit::AttachMessages(bool attach) {
  auto change = [&](QWidget* window, int32_t message) {
    if (attach) {
      gSubclasser.AttachWindowMessage(this, window, message);
    } else {
      gSubclasser.DetachWindowMessage(this, window, message);
    }
  };
  if (fullDrag_) {
    change(pane_, WM_NCHITTEST);
    change(pane_, WM_SIZING);
    return;
  }
  for (int32_t message : {WM_SETCURSOR, WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}) change(pane_, message);
  change(parent_, WM_ACTIVATE);
  if (attach) bar_ = std::make_unique<Bar>(parent_);
}

// HTRIGHT over the last SplitSize client pixels of the pane, else 0.
int cMDISplit::HitTest() const {
  if (!pane_) return 0;
  QRect strip = pane_->rect();
  strip.setLeft(strip.right() + 1 - splitSize_);
  return strip.contains(pane_->mapFromGlobal(QCursor::pos())) ? HTRIGHT : 0;
}

int32_t cMDISplit::ISubclass_MsgResponse() {
  const int32_t message = gSubclasser.CurrentWindowMessage();
  return message == WM_SETCURSOR || message == WM_NCHITTEST ? 0 : 1;
}

intptr_t cMDISplit::ISubclass_WindowProc(QWidget* hWnd, int32_t iMsg, intptr_t wParam, intptr_t lParam) {
  switch (iMsg) {
    case WM_NCHITTEST:
      return HitTest() == HTRIGHT ? HTRIGHT : gSubclasser.CallPreviousWindowProc(hWnd, iMsg, wParam, lParam);
    case WM_SETCURSOR:
      if (HitTest() != HTRIGHT && !dragging_) return gSubclasser.CallPreviousWindowProc(hWnd, iMsg, wParam, lParam);
      hWnd->setCursor(Qt::SizeHorCursor);
      return 1;
    case WM_LBUTTONDOWN:
      if (HitTest() == HTRIGHT) BeginDrag();
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_) Track();
      return 0;
    case WM_LBUTTONUP:
      EndDrag();
      return 0;
    case WM_ACTIVATE:
      // Switching away ends a drag; the activation that a press on an
      // inactive window brings (it may come after the press) does not.
      if (hWnd == parent_ && LowWord(wParam) == 0) EndDrag();
      return 0;
    case WM_SIZING: {
      auto* rect = reinterpret_cast<RECT*>(lParam);
      const int32_t width = rect->right - rect->left;
      if (width < MinSize) {
        rect->right = rect->left + MinSize;
      } else if (width > MaxSize) {
        rect->right = rect->left + MaxSize;
      }
      return 0;
    }
    default:
      return 0;
  }
}

// The mouse stays with the pane until the release, and the bar starts at
// the pane's right edge.
void cMDISplit::BeginDrag() {
  if (dragging_ || !pane_) return;
  dragging_ = true;
  pane_->grabMouse(Qt::SizeHorCursor);
  const QPoint paneOrigin = pane_->mapToGlobal(QPoint(0, 0));
  barRight_ = paneOrigin.x() + pane_->width();
  barLeft_ = barRight_ - splitSize_;
  lastX_ = QCursor::pos().x();
  ShowBar();
}

// The bar follows the cursor, which counts only inside the parent; past a
// limit the bar stays at the limit and the cursor is measured from the last
// place inside the limits.
void cMDISplit::Track() {
  const QRect parent(parent_->mapToGlobal(QPoint(0, 0)), parent_->size());
  const int x = std::clamp(QCursor::pos().x(), parent.left(), parent.right());
  const int paneLeft = pane_->mapToGlobal(QPoint(0, 0)).x();
  const int right = barRight_ + (x - lastX_);
  const int width = right - paneLeft;
  if (width >= MinSize && width <= MaxSize) {
    barRight_ = right;
    lastX_ = x;
  } else {
    barRight_ = paneLeft + (width < MinSize ? MinSize : MaxSize);
  }
  barLeft_ = barRight_ - splitSize_;
  ShowBar();
}

void cMDISplit::ShowBar() {
  if (!bar_ || !parent_) return;
  const QPoint topLeft = parent_->mapFromGlobal(QPoint(barLeft_, pane_->mapToGlobal(QPoint(0, 0)).y()));
  bar_->setGeometry(topLeft.x(), topLeft.y(), splitSize_, pane_->height());
  bar_->raise();
  bar_->show();
}

// The pane goes to x 0, y 65 of its parent with its right edge at the bar's.
void cMDISplit::EndDrag() {
  if (!dragging_) return;
  dragging_ = false;
  pane_->releaseMouse();
  if (bar_) bar_->hide();
  const int paneLeft = pane_->mapToGlobal(QPoint(0, 0)).x();
  pane_->setGeometry(0, 65, barRight_ - paneLeft, pane_->height());
  pane_->raise();
  if (SplitterResized) SplitterResized();
}
