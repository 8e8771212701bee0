#include "ui/frmMsgBox.h"

#include "platform/LongWork.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ModalLoop.h"
#include "ui/cWindowMgr.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QWindow>

#include <iterator>
#include <vector>

QPointer<frmMsgBox> gMsgBoxForm;

namespace {

TickClockFactory& ClockFactory() {
  static TickClockFactory factory = NewQtTickClock;
  return factory;
}

std::function<void(int)>& Beeper() {
  static std::function<void(int)> beeper = [](int) { QApplication::beep(); };
  return beeper;
}

struct ButtonSpec {
  const char* caption;
  int code;
};

// The button sets by Style AND 15; Esc presses the cancel button (-1: none).
struct ButtonSet {
  std::vector<ButtonSpec> buttons;
  int cancelButton;
  bool clearsCountdown;
};

const ButtonSet& ButtonSetOf(int32_t style) {
  static const ButtonSet kOk{{{"OK", 1}}, 0, false};
  static const ButtonSet kSets[] = {
      kOk,
      {{{"OK", 1}, {"Cancel", 2}}, 1, true},
      {{{"Abort", 3}, {"Retry", 4}, {"Ignore", 5}}, -1, false},
      {{{"Yes", 6}, {"No", 7}, {"Cancel", 2}}, 2, true},
      {{{"Yes", 6}, {"No", 7}}, -1, true},
      {{{"Retry", 4}, {"Cancel", 2}}, 1, true},
  };
  const int set = style & 15;
  return set < static_cast<int>(std::size(kSets)) ? kSets[set] : kOk;
}

uint8_t DefaultButtonOf(int32_t style) {
  switch (style & 0x700) {
    case 0x100:
      return 1;
    case 0x200:
      return 2;
    case 0x300:
      return 3;
    default:
      return 0;
  }
}

}  // namespace

frmMsgBox::frmMsgBox() : QWidget(nullptr, Qt::Dialog | Qt::FramelessWindowHint), Timer1(ClockFactory()()) {
  setObjectName(QStringLiteral("frmMsgBox"));
  setFocusPolicy(Qt::StrongFocus);

  scrollMessage = new QScrollArea(this);
  scrollMessage->setFrameShape(QFrame::NoFrame);
  scrollMessage->setFocusPolicy(Qt::NoFocus);
  scrollMessage->viewport()->setAutoFillBackground(false);
  txtMessage = new QLabel;
  txtMessage->setObjectName(QStringLiteral("txtMessage"));
  txtMessage->setTextFormat(Qt::PlainText);
  txtMessage->setWordWrap(true);
  txtMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scrollMessage->setWidget(txtMessage);
  txtMessage->setAutoFillBackground(false);

  lblTitle = new QLabel(QStringLiteral("<Title>"), this);
  lblTitle->setObjectName(QStringLiteral("lblTitle"));
  lblTitle->setTextFormat(Qt::PlainText);
  lblTitle->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  QPalette white = lblTitle->palette();
  white.setColor(QPalette::WindowText, Qt::white);
  lblTitle->setPalette(white);
  lblTitle->installEventFilter(this);

  for (int i = 0; i < 4; ++i) {
    cmdButton[i] = new QPushButton(this);
    cmdButton[i]->setObjectName(QStringLiteral("cmdButton%1").arg(i));
    cmdButton[i]->setAutoDefault(false);
    cmdButton[i]->hide();
    connect(cmdButton[i], &QPushButton::clicked, this, [this, i] { cmdButton_Click(i); });
  }
  cmdButton[3]->setText(QStringLiteral("Help"));
}

int16_t frmMsgBox::SMessageModal(const QString& Message, int32_t Style, const QString& Title, int32_t Timeout,
                                 bool FitFlag, int32_t BoxWidth, const QString& FontName, QWidget* Owner) {
  CloseOtherMessageBoxes();
  std::unique_ptr<frmMsgBox> box(new frmMsgBox);
  gMsgBoxForm = box.get();

  int32_t icon = Style & 0xF0;
  if (Style == 1 || Style == 2) {
    icon = Style;
    Style = 0;
  }
  box->m_DefaultButton = DefaultButtonOf(Style);
  int32_t timeout = Timeout;
  box->FillButtons(Style, timeout);
  if (Style & 0x4000) box->SetButton(3, box->cmdButton[3]->text(), 8);
  int32_t width = BoxWidth;
  box->LayoutMessageBox(Message, icon, Title, timeout, FitFlag, width, FontName);
  box->MakeTopmostFor(Owner);
  box->ShowModal();

  const int16_t result = box->m_Result;
  const QRect covered = box->frameGeometry();
  box->Unload();
  // What the answer starts may be long work, which paints only its
  // progress: the window shows without the box first.
  LongWork::PaintUncovered(covered);
  return result;
}

int16_t frmMsgBox::sMessage(const QString& Message, int32_t Style, const QString& Title, int32_t Timeout,
                            int32_t /*Reserved*/, bool FitFlag, int32_t BoxWidth, const QString& FontName,
                            QWidget* Owner) {
  CloseOtherMessageBoxes();
  auto* box = new frmMsgBox;
  box->modeless_ = true;
  gMsgBoxForm = box;
  if ((Style & 15) == 6) {
    box->SetButton(0, QStringLiteral("Ok"), 1);
    box->cancelButton_ = 0;
    box->m_UnloadOnClick = true;
  }
  int32_t timeout = Timeout;
  int32_t width = BoxWidth;
  try {
    box->LayoutMessageBox(Message, Style & 0xF0, Title, timeout, FitFlag, width, FontName);
  } catch (...) {
    box->Unload();
    throw;
  }
  box->MakeTopmostFor(Owner);
  if (Owner) box->setParent(Owner, box->windowFlags());
  box->ShowAndActivate();
  return 0;
}

void frmMsgBox::InstallMessageBoxHandler() {
  SetMessageBoxHandler([](const MessageBoxRequest& request) -> int {
    const QString font = request.fontName.isEmpty() ? QStringLiteral("Tahoma") : request.fontName;
    // A width of 0 (not given) fits the box to its message.
    const int32_t width = request.width > 0 ? request.width : -1;
    return SMessageModal(request.prompt, request.style, request.title, request.timeoutSeconds, request.fit, width,
                         font, request.owner);
  });
}

void frmMsgBox::CloseOtherMessageBoxes() {
  if (gMsgBoxForm) gMsgBoxForm->Unload();
}

void frmMsgBox::SetClockFactory(TickClockFactory factory) {
  ClockFactory() = factory ? std::move(factory) : TickClockFactory(NewQtTickClock);
}

void frmMsgBox::SetBeeper(std::function<void(int)> beeper) {
  Beeper() = beeper ? std::move(beeper) : [](int) { QApplication::beep(); };
}

void frmMsgBox::FillButtons(int32_t style, int32_t& timeout) {
  const ButtonSet& set = ButtonSetOf(style);
  for (size_t i = 0; i < set.buttons.size(); ++i) {
    SetButton(static_cast<int>(i), QString::fromLatin1(set.buttons[i].caption), set.buttons[i].code);
  }
  cancelButton_ = set.cancelButton;
  if (set.clearsCountdown) timeout = 0;
}

void frmMsgBox::SetButton(int index, const QString& caption, int code) {
  cmdButton[index]->setText(caption);
  cmdButton[index]->show();
  tags_[index] = QString::number(code);
}

void frmMsgBox::Beep(int type) { Beeper()(type); }

int frmMsgBox::ButtonCode(int index) const { return tags_[index].toInt(); }

void frmMsgBox::ShowModal() {
  setWindowModality(Qt::ApplicationModal);
  ShowAndActivate();
  if (!loaded_ || isHidden()) return;
  ModalLoop::Run(*this);
}

// The window system reports the activation later, or not at all on some
// platforms; the box places itself and focuses its default button at once, and
// again whenever it becomes active.
void frmMsgBox::ShowAndActivate() {
  show();
  activateWindow();
  Form_Activate();
}

void frmMsgBox::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  Timer1->Stop();
  hide();
  if (gMsgBoxForm == this) gMsgBoxForm = nullptr;
  if (modeless_) deleteLater();
}

void frmMsgBox::cmdButton_Click(int Index) {
  m_Result = static_cast<int16_t>(ButtonCode(Index));
  hide();
  if (m_UnloadOnClick) Unload();
}

void frmMsgBox::Form_Activate() {
  CentreOverMainWindow(this);
  QPushButton* button = cmdButton[m_DefaultButton];
  if (!button->isHidden()) {
    button->setFocus(Qt::ActiveWindowFocusReason);
  } else {
    setFocus(Qt::ActiveWindowFocusReason);
  }
  raise();
}

void frmMsgBox::Timer1_Timer() {
  ++m_Elapsed;
  if (m_Elapsed < m_Timeout) {
    ShowTitle(m_TitleBase + QString::number(m_Timeout - m_Elapsed));
  } else {
    Unload();
  }
}

void frmMsgBox::lblTitle_MouseDown(QMouseEvent* event) {
  if (isMaximized() || event->button() != Qt::LeftButton) return;
  // The window system moves the box where it can; elsewhere the box follows the pointer itself.
  if (windowHandle() && windowHandle()->startSystemMove()) return;
  dragging_ = true;
  dragOffset_ = event->globalPosition().toPoint() - pos();
}

bool frmMsgBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched != lblTitle) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      lblTitle_MouseDown(static_cast<QMouseEvent*>(event));
      return true;
    case QEvent::MouseMove:
      if (dragging_) move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - dragOffset_);
      return dragging_;
    case QEvent::MouseButtonRelease:
      dragging_ = false;
      return true;
    default:
      return QWidget::eventFilter(watched, event);
  }
}

void frmMsgBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    if (cancelButton_ >= 0 && !cmdButton[cancelButton_]->isHidden()) cmdButton[cancelButton_]->click();
    return;
  }
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    for (QPushButton* button : cmdButton) {
      if (button->hasFocus()) button->click();
    }
    return;
  }
  QWidget::keyPressEvent(event);
}

void frmMsgBox::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && loaded_) Form_Activate();
}

void frmMsgBox::closeEvent(QCloseEvent* event) {
  // Closed by the window system: unanswered.
  event->accept();
  Unload();
}
