#pragma once
// A flat single-pixel frame in the scheme colours around a combo box (or a
// text box), with a flat drop-down button and a small arrow, drawn over the
// control's own painting. The frame is lit (gCursorColour) while the mouse
// is over the control, while it has the focus or while its list is open,
// and otherwise shows gSchemeColour4.
#include "ui/ISubclass.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>

class QObject;

// Raised by Attach for something that is no control with a window.
inline constexpr int32_t kErrFlatControlType = static_cast<int32_t>(0x80040419u);

class cFlatControl : public ISubclass {
 public:
  cFlatControl() = default;
  ~cFlatControl() override;
  cFlatControl(const cFlatControl&) = delete;
  cFlatControl& operator=(const cFlatControl&) = delete;

  // Lets go of the previous control and frames this one: a ctl::ImageCombo,
  // a QComboBox, a QLineEdit or another widget (the last two are moved in by
  // 2 pixels on every side to leave room for the frame). Anything that is no
  // widget raises kErrFlatControlType and leaves the instance detached.
  void Attach(QObject* ctl);
  // The control is a combo whose list is open.
  bool DroppedDown() const;

  // The frame is drawn after the control has painted itself; every other
  // message is seen before the control handles it.
  int32_t ISubclass_MsgResponse() override;
  intptr_t ISubclass_WindowProc(QWidget* hWnd, int32_t iMsg, intptr_t wParam, intptr_t lParam) override;

 private:
  void AttachMessages();
  void Detach();
  bool ControlHasFocus() const;
  // Asks for a repaint, which shows the frame in its current state.
  void Redraw();
  void Paint(QWidget* hWnd);
  void MouseMoved();
  void TimerTick();
  void Command(intptr_t wParam, intptr_t lParam);
  void StopTimer();

  // The widget that is framed and painted over.
  QPointer<QWidget> control_;
  // The edit field of an editable combo.
  QPointer<QWidget> edit_;
  // The window the combo's notifications (WM_COMMAND) reach.
  QPointer<QWidget> notify_;
  bool attached_ = false;
  // Lit by the mouse; the timer that watches for its leaving runs.
  bool hot_ = false;
  bool combo_ = false;
};
