#include "platform/InputGate.h"

#include "platform/Contract.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDropEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <utility>

namespace InputGate {

namespace {

struct State {
  // The controls of every hold, outermost first.
  std::vector<const Controls*> holds;
  std::vector<QPointer<QWidget>> always;
  // The windows shown when the outermost hold began: input to any other
  // window is the work's own (a box it shows).
  std::vector<QPointer<QWidget>> shownBefore;
  std::function<void()> close;
  std::vector<std::function<void()>> whenOpen;
  // Input delivered while a wait the user does not steer held the gate, for
  // its widget once the gate opens.
  std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> kept;
};

State& Current() {
  static State state;
  return state;
}

bool IsInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return true;
    default:
      return false;
  }
}

bool Among(const std::vector<QPointer<QWidget>>& widgets, const QWidget* widget) {
  return std::any_of(widgets.begin(), widgets.end(), [widget](const QPointer<QWidget>& w) { return w == widget; });
}

// The widget, or a widget it lies inside (across the windows it is owned
// by), is one of the work's controls, stands for the frame, or its window
// was opened by the work.
bool Passes(const QWidget* widget) {
  const State& state = Current();
  if (!Among(state.shownBefore, widget->window())) return true;
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    if (Among(state.always, w)) return true;
    for (const Controls* controls : state.holds) {
      if (Among(controls->own, w)) return true;
    }
  }
  return false;
}

void Escape() {
  const State& state = Current();
  for (auto hold = state.holds.rbegin(); hold != state.holds.rend(); ++hold) {
    if ((*hold)->escape) {
      // A copy: the stop may end the hold.
      const std::function<void()> escape = (*hold)->escape;
      escape();
      return;
    }
  }
}

bool SteeredNow() {
  const State& state = Current();
  return std::any_of(state.holds.begin(), state.holds.end(),
                     [](const Controls* controls) { return !controls->own.empty() || controls->escape; });
}

// What a wait keeps to deliver after it: presses, releases, keys, the wheel,
// a context menu and moves with a button held (the rest of a drag).
bool Keepable(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
      return true;
    default:
      return false;
  }
}

// The kept input goes to its widgets in its order, once the gate is open.
void DeliverKept() {
  State& state = Current();
  for (auto& [receiver, event] : state.kept) {
    if (receiver) QCoreApplication::postEvent(receiver, event.release());
  }
  state.kept.clear();
}

bool IsCtrlQ(const QKeyEvent* key) {
  const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
  return key->key() == Qt::Key_Q && mods == Qt::ControlModifier;
}

// Refuses what the header says, on its way to each widget (the event's
// first stop, the window's own object, is let by: it hands the event on to
// the widget under the pointer or with the focus).
class Filter : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (Current().holds.empty() || !IsInput(event->type())) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    if (event->type() == QEvent::MouseMove && static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
      return false;
    }
    if (Passes(widget)) return false;
    switch (event->type()) {
      case QEvent::ShortcutOverride:
        // A shortcut is refused by its key being taken as the widget's own;
        // the key press then comes here.
        event->accept();
        break;
      case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!SteeredNow()) break;
        if (key->key() == Qt::Key_Escape) {
          Escape();
        } else if (IsCtrlQ(key) && !key->isAutoRepeat() && Current().close) {
          const std::function<void()> close = Current().close;
          close();
        }
        break;
      }
      case QEvent::DragEnter:
      case QEvent::DragMove:
      case QEvent::Drop:
        static_cast<QDropEvent*>(event)->ignore();
        break;
      default:
        break;
    }
    // A wait the user does not steer handles no input (the window system
    // keeps it queued); what reaches a widget all the same (delivered at
    // once by whoever sent it) is kept for after the wait.
    if (!SteeredNow() && Keepable(event->type())) Current().kept.emplace_back(widget, event->clone());
    return true;
  }
};

void Install() {
  static Filter* filter = nullptr;
  if (filter || !qApp) return;
  filter = new Filter;
  filter->moveToThread(qApp->thread());
  qApp->installEventFilter(filter);
}

// The calls waiting for the gate, once it is open, from the event loop.
void RunWhenOpen() {
  QTimer::singleShot(0, qApp, [] {
    State& state = Current();
    while (!state.whenOpen.empty() && state.holds.empty()) {
      const std::function<void()> call = std::move(state.whenOpen.front());
      state.whenOpen.erase(state.whenOpen.begin());
      call();
    }
  });
}

}  // namespace

Hold::Hold(Controls controls) : controls_(std::move(controls)), held_(contract::OnUiThread()) {
  if (!held_) return;
  Install();
  State& state = Current();
  if (state.holds.empty()) {
    state.shownBefore.clear();
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window->isVisible()) state.shownBefore.emplace_back(window);
    }
  }
  state.holds.push_back(&controls_);
}

Hold::~Hold() {
  if (!held_) return;
  State& state = Current();
  state.holds.erase(std::remove(state.holds.begin(), state.holds.end(), &controls_), state.holds.end());
  if (state.holds.empty()) {
    state.shownBefore.clear();
    DeliverKept();
    if (!state.whenOpen.empty()) RunWhenOpen();
  }
}

bool Held() { return !Current().holds.empty(); }

bool Admits() { return !Held(); }

bool Admits(const QWidget* control) {
  const State& state = Current();
  if (state.holds.empty()) return true;
  for (const QWidget* w = control; w; w = w->parentWidget()) {
    if (Among(state.holds.back()->own, w)) return true;
  }
  return false;
}

bool Steered() { return SteeredNow(); }

void WhenOpen(std::function<void()> call) {
  State& state = Current();
  state.whenOpen.push_back(std::move(call));
  if (state.holds.empty() && state.whenOpen.size() == 1) RunWhenOpen();
}

void PassesAlways(QWidget* widget) {
  Install();
  std::vector<QPointer<QWidget>>& always = Current().always;
  always.erase(std::remove(always.begin(), always.end(), nullptr), always.end());
  always.emplace_back(widget);
}

void SetCloseRequest(std::function<void()> close) { Current().close = std::move(close); }

namespace {

QEventLoop::ProcessEventsFlags TurnFlags() {
  RW_CONTRACT(Held(), "the event loop is turned inside work only while it holds the input gate");
  return SteeredNow() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
}

}  // namespace

void Turn() { QCoreApplication::processEvents(TurnFlags()); }

// The events are handled here, not in a nested QEventLoop: once the
// program's loop has been told to end, such a loop returns at once and
// every wait would end as if what it waits for never came.
bool TurnUntil(const std::function<bool()>& done, int timeoutMs) {
  const QEventLoop::ProcessEventsFlags flags = TurnFlags() | QEventLoop::WaitForMoreEvents;
  if (done()) return true;
  if (timeoutMs <= 0) return false;
  const QDeadlineTimer deadline(timeoutMs, Qt::PreciseTimer);
  QTimer wake;  // ends the last wait for events at the deadline
  wake.setSingleShot(true);
  wake.setTimerType(Qt::PreciseTimer);
  wake.start(timeoutMs);
  while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents(flags);
  return done();
}

void TurnFor(int ms) {
  TurnUntil([] { return false; }, ms);
}

}  // namespace InputGate
