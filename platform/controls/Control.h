#pragma once
// The common ground of the control stand-ins: a QWidget placed and sized in
// the units of its container (pixels on the program's pixel-scaled forms and
// panes, twips inside toolbars and frames), with Tag, Visible, Enabled,
// tool tip and mouse icon, and the mouse, key, click and focus events the
// forms handle, raised as std::function members named as the events.
//
// Every event is an entry point from the event loop: an error a handler
// raises is caught here and reported in the program's message box.
#include "platform/DragController.h"
#include "platform/ErrorGuard.h"
#include "platform/controls/VbInput.h"

#include <QCursor>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

namespace ctl {

enum class ScaleUnits { Pixels, Twips };

// Conversions between a length in pixels and one in the given units.
double PixelsToUnitsX(double pixels, ScaleUnits units);
double PixelsToUnitsY(double pixels, ScaleUnits units);
int UnitsToPixelsX(double value, ScaleUnits units);
int UnitsToPixelsY(double value, ScaleUnits units);

class Control : public QWidget {
 public:
  explicit Control(QWidget* parent = nullptr);

  // Position and size in the container's units; reading gives back what was
  // set as long as nothing else moved the widget.
  void SetContainerUnits(ScaleUnits units);
  ScaleUnits ContainerUnits() const { return containerUnits_; }
  double Left() const;
  double Top() const;
  double Width() const;
  double Height() const;
  void SetLeft(double left);
  void SetTop(double top);
  void SetWidth(double width);
  void SetHeight(double height);
  void Move(double left, double top);
  void Move(double left, double top, double width);
  void Move(double left, double top, double width, double height);

  bool Visible() const { return !isHidden(); }
  void SetVisible(bool visible) { setVisible(visible); }
  bool Enabled() const { return isEnabled(); }
  void SetEnabled(bool enabled) { setEnabled(enabled); }
  const QString& Tag() const { return tag_; }
  void SetTag(const QString& tag) { tag_ = tag; }
  QString ToolTipText() const { return toolTip(); }
  void SetToolTipText(const QString& text) { setToolTip(text); }
  const QCursor& MouseIcon() const { return mouseIcon_; }
  void SetMouseIcon(const QCursor& cursor);
  // The control's font; a change reaches the control as a font change event.
  QString FontName() const { return font().family(); }
  void SetFontName(const QString& name);
  double FontSize() const { return font().pointSizeF(); }
  void SetFontSize(double points);
  bool FontBold() const { return font().bold(); }
  void SetFontBold(bool bold);
  // The cursor a drag of this control shows (the drag controller reads it).
  const QCursor& DragIcon() const { return dragIcon_; }
  void SetDragIcon(const QCursor& cursor) { dragIcon_ = cursor; }
  // Begins (vbBeginDrag), drops (vbEndDrag) or cancels (vbCancel) a drag of
  // this control; ending or cancelling acts only on a drag of this control.
  void Drag(int action = vbBeginDrag);
  // Stands in for the window handle where the program passes one on.
  QWidget* hWnd() { return this; }

  // Repaints at once.
  void Refresh() { repaint(); }
  // 0 brings the control to the front of its siblings, 1 sends it to the back.
  void ZOrder(int position = 0);
  void SetFocus() { setFocus(Qt::OtherFocusReason); }
  // The button (1, 2, 4) of the latest press over the control; a Click
  // handler reads it to tell whether the right button was held.
  int LastMouseButton() const { return lastButton_; }

  // The form's end: from here on none of its controls raises an event, and a
  // drag from one of them ends without a drop. A form calls it first thing in
  // its destructor, because its widgets still send events while they are
  // deleted (the focus leaving a view, a box checking its text) and its
  // handlers belong to the form and its panes, which go before them.
  static void EndEvents(QWidget& form);

  std::function<void()> Click;
  std::function<void()> DblClick;
  std::function<void()> GotFocus;
  std::function<void()> LostFocus;
  std::function<void(int button, int shift, double x, double y)> MouseDown;
  std::function<void(int button, int shift, double x, double y)> MouseMove;
  std::function<void(int button, int shift, double x, double y)> MouseUp;
  // A handler may set the code to 0; the control then ignores the key.
  std::function<void(int& keyCode, int shift)> KeyDown;
  std::function<void(int& keyCode, int shift)> KeyUp;
  std::function<void(int& keyAscii)> KeyPress;
  // Raised on the control under the pointer of a drag, with the dragged
  // control and the pointer in the units of the mouse events; State is
  // vbEnter, vbOver or vbLeave.
  std::function<void(Control& source, double x, double y, int state)> DragOver;
  std::function<void(Control& source, double x, double y)> DragDrop;

 protected:
  // Calls a handler when one is set, reporting what it throws in a box owned
  // by the control's window.
  template <typename Handler, typename... Args>
  void Raise(const Handler& handler, Args&&... args) {
    if (!handler || ended_) return;
    ErrorGuard({.owner = window()}).Run([&] { handler(std::forward<Args>(args)...); });
  }

  // Units of the X and Y of mouse events: the container's units unless a
  // control says otherwise (twips for the common controls).
  void SetEventUnits(ScaleUnits units) { eventUnits_ = units; }
  ScaleUnits EventUnits() const { return eventUnits_.value_or(containerUnits_); }
  // The widget whose coordinates mouse events report (this by default; the
  // viewport of a tree or list, whose client area it is).
  void SetClientArea(QWidget* client) { clientArea_ = client; }
  // Click on any button instead of the left one only.
  void SetClickOnAnyButton(bool any) { clickOnAnyButton_ = any; }

  // Reports the input of an inner widget (the view inside a tree or list) as
  // this control's events; the inner widget then handles it as usual unless
  // a key handler cleared the key code.
  void WatchInput(QWidget* inner);
  bool eventFilter(QObject* watched, QEvent* event) override;

  // The event steps, for controls that handle input themselves.
  void RaiseMouse(const std::function<void(int, int, double, double)>& handler, const QMouseEvent* event,
                  QWidget* source);
  void RaiseMousePress(const QMouseEvent* event, QWidget* source);
  void RaiseMouseRelease(const QMouseEvent* event, QWidget* source);
  // Returns the key code after the handler (0: the key is consumed).
  int RaiseKeyDown(const QKeyEvent* event);
  int RaiseKeyPress(const QKeyEvent* event);
  int RaiseKeyUp(const QKeyEvent* event);

  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

  // A drag's pointer is over the control at this point of its client area
  // (pixels); a control that reports what lies under the mouse follows it.
  virtual void DragPointerMoved(const QPointF& at) {}

 private:
  friend class DragController;

  struct Geometry {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    QRect placed;
  };

  void Place(double left, double top, double width, double height);
  bool ReportedByInner(QEvent* event);
  const Geometry& CurrentGeometry() const;
  bool FilterMouse(QWidget* inner, QEvent* event);
  bool FilterKey(QEvent* event);

  ScaleUnits containerUnits_ = ScaleUnits::Pixels;
  std::optional<ScaleUnits> eventUnits_;
  QWidget* clientArea_ = this;
  mutable Geometry geometry_;
  QString tag_;
  QCursor mouseIcon_;
  QCursor dragIcon_;
  int lastButton_ = 0;
  bool clickOnAnyButton_ = false;
  bool pressedInside_ = false;
  bool ended_ = false;
};

}  // namespace ctl
