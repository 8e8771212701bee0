#include "player/frmDSSink.h"

#include "library/ResultItem.h"
#include "platform/ErrorGuard.h"
#include "platform/controls/VbInput.h"
#include "player/modMainPlayer.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>
#include <QTimer>

#include <array>
#include <utility>

QPointer<frmDSSink> gDSSinkForm;

namespace {

// Keys and the player commands they give; the rating digits and the
// tagging keys are handled apart.
constexpr std::array<std::pair<int, const char*>, 16> kCommandKeys{{
    {13, "Play/Pause"},
    {18, "Highlights"},
    {72, "Highlights"},
    {76, "Highlights"},
    {27, "KillPlayback"},
    {37, "JumpBack"},
    {38, "Previous"},
    {39, "JumpForward"},
    {40, "Next"},
    {82, "RandomJump"},
    {83, "SaveSegment"},
    {107, "VolumeUp"},
    {109, "VolumeDown"},
    {121, "StretchToScreen"},
    {188, "JumpBackBig"},
    {190, "JumpForwardBig"},
}};

}  // namespace

QString frmDSSink::CommandForKey(int KeyCode) {
  if (KeyCode >= 49 && KeyCode <= 53) return QStringLiteral("Rating") + QString::number(KeyCode - 48);
  if (KeyCode >= 97 && KeyCode <= 101) return QStringLiteral("Rating") + QString::number(KeyCode - 96);
  if (KeyCode == 219) return QStringLiteral("SetPointA");
  if (KeyCode == 221) return QStringLiteral("SetPointB");
  for (const auto& [code, command] : kCommandKeys) {
    if (code == KeyCode) return QLatin1String(command);
  }
  return {};
}

bool frmDSSink::StartsTagging(int KeyCode) { return KeyCode == 96 || KeyCode == 196; }

frmDSSink::frmDSSink(QWidget* screenOf) : screenOf_(screenOf) {
  setObjectName(QStringLiteral("frmDSSink"));
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  setWindowTitle(QStringLiteral("Reelwise II"));
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(true);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
}

frmDSSink::~frmDSSink() {
  // A window destroyed mid-run (the program closing) ends the run's waits.
  if (modMainPlayer::RunActive()) gStopPlaylist = true;
}

void frmDSSink::CoverScreen() {
  QScreen* screen = nullptr;
  if (screenOf_) screen = QGuiApplication::screenAt(screenOf_->frameGeometry().center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  if (windowHandle()) windowHandle()->setScreen(screen);
  setGeometry(screen->geometry());
}

void frmDSSink::showEvent(QShowEvent* event) {
  CoverScreen();
  QWidget::showEvent(event);
  if (activated_) return;
  activated_ = true;
  QTimer::singleShot(0, this, [this] {
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
    Form_Activate();
  });
}

void frmDSSink::Form_Activate() {
  ErrorGuard().Run([] { modMainPlayer::RunPlaylist(); });
  modMainPlayer::ResumeCarouselMusic();
}

void frmDSSink::Form_KeyUp(int KeyCode, int Shift) {
  // Ctrl+Q acted on its press.
  if (KeyCode == 'Q' && Shift == ctl::vbCtrlMask) return;
  if (TaggingMode() || StartsTagging(KeyCode)) {
    HandleTaggingKey(KeyCode, Shift);
    return;
  }
  const QString command = CommandForKey(KeyCode);
  if (!command.isEmpty()) modMainPlayer::ExecutePlayerCommand(command);
}

// Ctrl+Q quits the program as it does in the main window (the run ends
// first), on its press: a chord whose press and release come together (a
// key macro, a remote's bridge) quits as one held longer does, and once.
void frmDSSink::keyPressEvent(QKeyEvent* event) {
  event->accept();
  if (!repeats_.Acts(*event) || event->isAutoRepeat() || ctl::VbKeyCode(event) != 'Q' ||
      ctl::VbShift(event->modifiers()) != ctl::vbCtrlMask) {
    return;
  }
  ErrorGuard().Run([] {
    if (modMainPlayer::Hooks().Quit) modMainPlayer::Hooks().Quit();
  });
}

// A key held down acts once, on its release; its repeats do nothing.
void frmDSSink::keyReleaseEvent(QKeyEvent* event) {
  event->accept();
  const int code = ctl::VbKeyCode(event);
  if (code == 0) return;
  const int shift = ctl::VbShift(event->modifiers());
  repeats_.Released(*event, this, [this, code, shift] { ErrorGuard().Run([&] { Form_KeyUp(code, shift); }); });
}

// Closing the window (the desktop's close, or the program ending) stops the
// run, whose end then closes the window for good.
void frmDSSink::closeEvent(QCloseEvent* event) {
  if (modMainPlayer::RunActive()) {
    gStopPlaylist = true;
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}
