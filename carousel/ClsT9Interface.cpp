// The keypad panel's life: Show with its modal wait, the fades in and out,
// the keypad timer's tick, and the way out at shut-down.
#include "carousel/ClsT9Interface.h"

#include "carousel/CarouselPacer.h"
#include "carousel/CarouselPane.h"
#include "carousel/cCarousel.h"
#include "library/clsRWLibrary.h"
#include "platform/InputGate.h"
#include "platform/SqlRecordset.h"
#include "ui/CairoObject.h"
#include "ui/modCairo.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <functional>

namespace {

const QString kCancelled = QStringLiteral("*CANCELLED*");
constexpr int kWaitStepMs = 30;
constexpr int kFadeFrames = 20;  // 21 frames: 0 to 20
constexpr int kFadePauseMs = 10;

// While Show waits: the application's quit and the close of the canvas's
// window. The close is held back (the window would take the carousel, and
// this panel, with it while Show is still on the stack) and asked for again
// once Show has returned.
class ShutDownWatch : public QObject {
 public:
  ShutDownWatch(QWidget* window, std::function<void()> cancel, bool& closeHeld)
      : window_(window), cancel_(std::move(cancel)), closeHeld_(closeHeld) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance()) cancel_();
    if (event->type() == QEvent::Close && window_ && watched == window_) {
      closeHeld_ = true;
      cancel_();
      event->ignore();
      return true;
    }
    return false;
  }

 private:
  QPointer<QWidget> window_;
  std::function<void()> cancel_;
  bool& closeHeld_;
};

}  // namespace

ClsT9Interface::ClsT9Interface(cCarousel& carousel, CarouselPane* pane, ICarouselHost& host,
                               const std::unique_ptr<CarouselPacer>& pacer)
    : m_Carousel(carousel), m_Pane(pane), m_Host(host), m_Pacer(pacer) {
  m_PanelSurface = modCairo::GetCairo()->CreateSurface(720, 160);
  m_PanelContext = m_PanelSurface->Context();
}

ClsT9Interface::~ClsT9Interface() {
  *m_Alive = false;
  if (m_Visible) {
    m_EnteredText = kCancelled;
    SetTimer(false);
  }
}

void ClsT9Interface::Show(int16_t Mode) {
  if (m_Visible) return;  // one panel at a time
  m_Mode = Mode;
  if (!CanvasOnScreen()) {
    m_EnteredText = kCancelled;
    return;
  }
  const std::shared_ptr<bool> alive = m_Alive;
  // While the panel is up the event loop goes round for its keys and timer
  // ticks: the panel holds the input gate, the canvas its own control, so no
  // other command runs meanwhile and Esc in another window cancels it.
  const InputGate::Hold gate({.own = {m_Pane->ucCarouselCanvas}, .escape = [this, alive] {
                                if (*alive) Cancel();
                              }});
  m_CloseHeld = false;
  m_ShutDownWatch = std::make_unique<ShutDownWatch>(m_Pane->ucCarouselCanvas->window(), [this] { Cancel(); },
                                                    m_CloseHeld);
  ClearState();
  TakeBackdrop();
  m_TagMode = Mode >= 0;
  m_Visible = true;
  DrawPanelFrame();
  if (m_TagMode) {
    ShowMatches(true, 0);
    if (!*alive) return;
  } else {
    ShowPrompt();
  }
  // Fade in, then wait until a key or shut-down hides the panel.
  if (m_Visible) {
    FadeIn();
    m_Shown = true;
    if (!WaitUntilHidden()) return;
  }
  EndShow();
}

void ClsT9Interface::ClearState() {
  m_Shown = false;
  for (QString* text : {&m_EnteredText, &m_Before, &m_Match, &m_After, &m_Digits, &m_Counter, &m_Caption,
                        &m_KindGlyph, &m_NodeKey}) {
    text->clear();
  }
  m_PanelWidth = 540;
  m_PanelHeight = 120;
  m_TapCount = 0;
  m_LastKey = 0;
  m_CursorOn = false;
  m_Ticks = 0;
}

// Text entry: the prompt, and the timer for the cursor and the multi-tap.
void ClsT9Interface::ShowPrompt() {
  const bool viewName = m_Mode == -1;
  m_Caption = viewName ? QStringLiteral("Enter a name for this view") : QStringLiteral("Enter term to search for");
  m_KindGlyph = viewName ? QStringLiteral("v") : QStringLiteral("s");
  SetTimer(true);
  DrawPanel();
}

// Polls every 30 ms with the message loop running meanwhile, so keys and
// timer ticks reach the panel. False when the panel went away during the
// wait: then nothing of it may be touched.
bool ClsT9Interface::WaitUntilHidden() {
  while (m_Visible) {
    PaceWait(kWaitStepMs);
    if (!LetEventsRun()) return false;
  }
  return true;
}

void ClsT9Interface::EndShow() {
  m_ShutDownWatch.reset();
  if (!m_CloseHeld) return;
  m_CloseHeld = false;
  QPointer<QWidget> window = m_Pane->ucCarouselCanvas->window();
  QTimer::singleShot(0, window, [window] {
    if (window) window->close();
  });
}

void ClsT9Interface::Hide() {
  m_Visible = false;
  SetTimer(false);
  if (!m_Backdrop) return;
  for (int frame = kFadeFrames; frame >= 0; --frame) DrawFadeFrame(frame / 40.0);
}

void ClsT9Interface::FadeIn() {
  for (int frame = 0; frame <= kFadeFrames; ++frame) DrawFadeFrame(frame / 40.0);
}

// At shut-down: hidden at once, without a fade, as if Esc had been pressed.
void ClsT9Interface::Cancel() {
  if (!m_Visible) return;
  m_EnteredText = kCancelled;
  m_Visible = false;
  SetTimer(false);
}

void ClsT9Interface::TimerEvent() {
  // The carousel's own timer reaches here too while the panel is up; only
  // text entry has a cursor and pending letters.
  if (!m_Visible || m_TagMode) return;
  if (++m_Ticks >= 8) {
    CommitPending();
    m_Ticks = 0;
    m_LastKey = -1;
  }
  m_CursorOn = !m_CursorOn;
  DrawPanel();
}

void ClsT9Interface::KeyPressHandler(int& KeyCode) {
  if (!m_Visible) return;
  if (m_TagMode) {
    TagKeyPress(KeyCode);
  } else {
    TextKeyPress(KeyCode);
  }
}

void ClsT9Interface::Refresh() { DrawPanel(); }

// ---- Services of the carousel and its pane ----

bool ClsT9Interface::CanvasOnScreen() const { return m_Pane && m_Pane->ucCarouselCanvas->isVisible(); }

void ClsT9Interface::SetTimer(bool enabled) {
  if (m_Pane) m_Pane->NonT9Timer->SetEnabled(enabled);
}

void ClsT9Interface::RefreshCanvas() {
  if (m_Pane) m_Pane->ucCarouselCanvas->Refresh();
}

void ClsT9Interface::PaceWait(int ms) { m_Pacer->Wait(std::chrono::milliseconds(ms)); }

bool ClsT9Interface::LetEventsRun() {
  const std::shared_ptr<bool> alive = m_Alive;
  InputGate::Turn();
  return *alive;
}

void ClsT9Interface::TakeBackdrop() {
  if (!m_Backdrop) m_Backdrop = modCairo::GetCairo()->CreateSurface(1280, 720);
  m_Backdrop->Surface().Fill(0, 0);
  m_Backdrop->Surface().MarkDirty();
  CairoContext& canvas = m_Carousel.Canvas();
  canvas.Surface().Flush();
  m_Backdrop->Context()->RenderSurface(canvas.Surface(), 0, 0);
}
