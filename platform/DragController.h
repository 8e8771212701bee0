#pragma once
// Drag and drop between the program's own controls: the tree, the result
// grids, the carousel canvas and the inspector's pictures.
//
// A source control begins a drag once its own threshold is passed (Drag).
// While the drag lasts, the control under the pointer gets DragOver with the
// dragged control, the pointer in the units of its mouse events and a state
// (enter, over, leave); the pointer shows the source's DragIcon, which a
// target's DragOver handler may change. Releasing the button drops on the
// control under the pointer (DragDrop); a drop where no control lies ends the
// drag and does nothing. The mouse events of a drag go to the drag alone, so
// the source sees neither the moves nor the release.
//
// Handlers read the modifier keys at the moment of the event through
// GetKeyState, whose one function tests replace.
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <cstdint>
#include <functional>

namespace ctl {

class Control;

// Drag actions.
inline constexpr int vbCancel = 0;
inline constexpr int vbBeginDrag = 1;
inline constexpr int vbEndDrag = 2;
// DragOver states.
inline constexpr int vbEnter = 0;
inline constexpr int vbLeave = 1;
inline constexpr int vbOver = 2;

// The state of a key (16 Shift, 17 Ctrl, 18 Alt; 1, 2, 4 the left, right
// and middle mouse buttons): 0xFF80 (negative, bit 0x80 set) while it is
// held, else 0.
using KeyStateFunction = std::function<int16_t(int virtualKey)>;
int16_t GetKeyState(int virtualKey);
// Puts a function in place of the desktop's key state (an empty one restores
// the desktop's) and returns the one it replaced.
KeyStateFunction SetKeyStateFunction(KeyStateFunction function);

// Milliseconds of a monotonic clock held in 64 bits, so a count never wraps
// in the life of the program. A drag's hover times, the folder walk's
// yields, the add run's commits and the held scroll arrows read it, so that
// tests drive them with a clock of their own.
using TickCountFunction = std::function<uint64_t()>;
uint64_t GetTickCount64();
// Puts a function in place of the system clock (an empty one restores it)
// and returns the one it replaced.
TickCountFunction SetTickCountFunction(TickCountFunction function);

class DragController : public QObject {
 public:
  static DragController& Instance();

  // Starts a drag of the source; a drag in progress is cancelled first.
  void Begin(Control& source);
  // Ends the drag: with drop, on the control under the pointer; without, the
  // control the drag was over gets DragOver with vbLeave.
  void End(bool drop);
  bool Dragging() const { return !source_.isNull(); }
  Control* Source() const;

  // The pointer moved to a point of the screen, or the button was released
  // there. The mouse events of a drag arrive here.
  void MoveTo(const QPoint& global);
  void DropAt(const QPoint& global);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  DragController() = default;

  // The enabled control under a point of the screen, if any.
  Control* TargetAt(const QPoint& global) const;
  // The point in the target's event units; the target follows the pointer.
  static QPointF PointerOver(Control& target, const QPoint& global);
  void RaiseOver(Control& target, const QPoint& global, int state);
  void ShowDragIcon();
  void Finish();

  QPointer<Control> source_;
  QPointer<Control> target_;
  QPoint pointer_;
  bool cursorShown_ = false;
};

}  // namespace ctl
