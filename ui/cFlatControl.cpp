#include "ui/cFlatControl.h"

#include "core/modRegistry.h"
#include "platform/RWError.h"
#include "platform/controls/ImageCombo.h"
#include "ui/SchemeColours.h"
#include "ui/modBlendColorAlpha.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>

namespace {

constexpr COLORREF kHighlightColour = 0x8000000D;
constexpr COLORREF kWindowColour = 0x80000005;
constexpr COLORREF kButtonShadowColour = 0x80000010;
constexpr int32_t kHoverTimer = 1;
// How often the pointer is checked against the control while it is lit by the mouse.
constexpr int kHoverPollMs = 10;

const int32_t kControlMessages[] = {WM_PAINT, WM_MOUSEACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, WM_MOUSEMOVE, WM_TIMER};
const int32_t kEditMessages[] = {WM_MOUSEACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, WM_MOUSEMOVE};

QColor Colour(COLORREF colour) { return ColorRefToQColor(static_cast<COLORREF>(TranslateColor(colour))); }

// The pixels just inside the rectangle (right and bottom are exclusive).
void Outline(QPainter& painter, const RECT& r, const QColor& colour) {
  painter.setPen(colour);
  painter.drawLine(r.left, r.bottom - 1, r.left, r.top);
  painter.drawLine(r.left, r.top, r.right - 1, r.top);
  if (r.left == r.right) return;
  painter.drawLine(r.right - 1, r.top, r.right - 1, r.bottom - 1);
  painter.drawLine(r.right - 1, r.bottom - 1, r.left, r.bottom - 1);
}

// A downward triangle of 5, 3 and 1 pixels around the button's centre.
void Arrow(QPainter& painter, const RECT& button, const QColor& colour) {
  const int cx = button.left + (button.right - button.left) / 2;
  const int cy = button.top + (button.bottom - button.top) / 2;
  painter.setPen(colour);
  painter.drawLine(cx - 2, cy - 1, cx + 2, cy - 1);
  painter.drawLine(cx - 1, cy, cx + 1, cy);
  painter.drawPoint(cx, cy + 1);
}

// The drop-down button inside the frame: at the right edge, or at the left
// for a right-to-left control.
RECT ButtonRect(const QWidget& control, const RECT& inner) {
  const int width = control.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &control);
  RECT button = inner;
  if (control.layoutDirection() == Qt::RightToLeft) {
    button.right = width;
  } else {
    button.left = inner.right - width;
  }
  return button;
}

void DrawFrame(QPainter& painter, const QWidget& control, bool lit) {
  const RECT client{0, 0, control.width(), control.height()};
  const RECT inner{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
  const RECT button = ButtonRect(control, inner);
  if (!control.isEnabled()) {
    Arrow(painter, button, Colour(kButtonShadowColour));
    return;
  }
  Outline(painter, client, Colour(lit ? gCursorColour : gSchemeColour4));
  Outline(painter, inner, Colour(kWindowColour));
  const QColor face = ColorRefToQColor(BlendColor(kHighlightColour, kWindowColour, 70));
  painter.fillRect(QRect(button.left, button.top, button.right - button.left, button.bottom - button.top), face);
  // Two lines of the face colour part the button from the text.
  const bool mirrored = control.layoutDirection() == Qt::RightToLeft;
  const int edge = mirrored ? button.right : button.left;
  const int outward = mirrored ? 1 : -1;
  painter.setPen(face);
  painter.drawLine(edge, button.top, edge, button.bottom - 1);
  painter.drawLine(edge + outward, button.top, edge + outward, button.bottom - 1);
  Arrow(painter, button, Colour(gSchemeColour4));
}

// Moves the widget in by 2 pixels on every side to leave room for the frame.
void MoveIn(QWidget& widget) { widget.setGeometry(widget.geometry().adjusted(2, 2, -2, -2)); }

}  // namespace

cFlatControl::~cFlatControl() { Detach(); }

void cFlatControl::Attach(QObject* ctl) {
  Detach();
  auto* widget = qobject_cast<QWidget*>(ctl);
  if (!widget) {
    throw RWError(kErrFlatControlType,
                  QStringLiteral("Incorrect control type passed to 'Attach' parameter - must be a control with a "
                                 "hWnd property."),
                  QCoreApplication::applicationName() + QStringLiteral(".cFlatControl"));
  }
  combo_ = false;
  control_ = widget;
  if (auto* image = dynamic_cast<ctl::ImageCombo*>(widget)) {
    // The image combo is painted by its inner combo box and notifies as itself.
    control_ = image->Box();
    notify_ = image;
    combo_ = true;
  } else if (qobject_cast<QComboBox*>(widget)) {
    notify_ = widget;
    combo_ = true;
  } else {
    // A text box or any other widget.
    MoveIn(*widget);
  }
  AttachMessages();
}

void cFlatControl::AttachMessages() {
  auto* box = qobject_cast<QComboBox*>(control_);
  edit_ = box && box->isEditable() ? box->lineEdit() : nullptr;
  for (const int32_t message : kControlMessages) gSubclasser.AttachWindowMessage(this, control_, message);
  if (edit_) {
    for (const int32_t message : kEditMessages) gSubclasser.AttachWindowMessage(this, edit_, message);
  }
  if (combo_) gSubclasser.AttachWindowMessage(this, notify_, WM_COMMAND);
  if (edit_) edit_->update();
  attached_ = true;
}

void cFlatControl::Detach() {
  if (!attached_) return;
  StopTimer();
  if (control_) {
    for (const int32_t message : kControlMessages) gSubclasser.DetachWindowMessage(this, control_, message);
  }
  if (edit_) {
    for (const int32_t message : kEditMessages) gSubclasser.DetachWindowMessage(this, edit_, message);
  }
  if (combo_ && notify_) gSubclasser.DetachWindowMessage(this, notify_, WM_COMMAND);
  control_ = nullptr;
  edit_ = nullptr;
  notify_ = nullptr;
  attached_ = false;
}

bool cFlatControl::DroppedDown() const {
  const auto* box = qobject_cast<const QComboBox*>(control_.data());
  return combo_ && box && box->view()->isVisible();
}

int32_t cFlatControl::ISubclass_MsgResponse() { return gSubclasser.CurrentWindowMessage() == WM_PAINT ? 2 : 1; }

intptr_t cFlatControl::ISubclass_WindowProc(QWidget* hWnd, int32_t iMsg, intptr_t wParam, intptr_t lParam) {
  switch (iMsg) {
    case WM_MOUSEMOVE:
      MouseMoved();
      break;
    case WM_TIMER:
      TimerTick();
      break;
    case WM_SETFOCUS:
      StopTimer();
      Redraw();
      break;
    case WM_KILLFOCUS:
      Redraw();
      break;
    case WM_COMMAND:
      if (hWnd == notify_) Command(wParam, lParam);
      break;
    case WM_PAINT:
      Paint(hWnd);
      break;
    default:
      break;
  }
  return 0;
}

bool cFlatControl::ControlHasFocus() const {
  return (control_ && control_->hasFocus()) || (edit_ && edit_->hasFocus());
}

void cFlatControl::Redraw() {
  if (control_) control_->update();
}

void cFlatControl::MouseMoved() {
  if (hot_ || ControlHasFocus() || DroppedDown()) return;
  hot_ = true;
  gSubclasser.SetTimer(control_, kHoverTimer, kHoverPollMs);
  Redraw();
}

void cFlatControl::TimerTick() {
  const QRect onScreen(control_->mapToGlobal(QPoint(0, 0)), control_->size());
  if (!onScreen.contains(QCursor::pos())) StopTimer();
  if (!hot_) Redraw();
}

void cFlatControl::Command(intptr_t wParam, intptr_t lParam) {
  // Only the notifications of the framed combo count.
  const auto* from = reinterpret_cast<const QWidget*>(lParam);
  if (from != control_ && from != notify_) return;
  StopTimer();
  if (HighWord(wParam) == CBN_CLOSEUP) Redraw();
}

void cFlatControl::StopTimer() {
  if (hot_ && control_) gSubclasser.KillTimer(control_, kHoverTimer);
  hot_ = false;
}

// Qt draws only inside paint events, so the state is shown at each paint:
// lit by the focus or the open list (which end a hover), or by the mouse.
void cFlatControl::Paint(QWidget* hWnd) {
  const bool lit = ControlHasFocus() || DroppedDown();
  if (lit) StopTimer();
  // An inner widget repainting on its own gets its part of the frame drawn again.
  if (!control_ || !hWnd || (hWnd != control_ && !control_->isAncestorOf(hWnd))) return;
  QPainter painter(hWnd);
  painter.translate(-hWnd->mapTo(control_, QPoint(0, 0)));
  DrawFrame(painter, *control_, lit || hot_);
}
