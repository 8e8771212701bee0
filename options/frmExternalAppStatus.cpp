#include "options/frmExternalAppStatus.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "options/ExternalAppCommand.h"
#include "resources/Resources.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

QPointer<frmExternalAppStatus> gExternalAppStatusForm;

namespace {
std::function<void()>& WaitStep() {
  static std::function<void()> step;
  return step;
}

void DefaultWaitStep() {
  QThread::msleep(10);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

const QString kBreak = QStringLiteral("\r\n\r\n");
}  // namespace

void frmExternalAppStatus::SetWaitStep(std::function<void()> step) { WaitStep() = std::move(step); }

frmExternalAppStatus::frmExternalAppStatus(QWidget* owner)
    : QDialog(owner),
      Label3(new QLabel(this)),
      lblResume(new QLabel(QStringLiteral("Resume"), this)),
      Command1(new QPushButton(QStringLiteral("OK"), this)),
      Image1(new QLabel(this)),
      Timer1(new QTimer(this)) {
  setObjectName(QStringLiteral("frmExternalAppStatus"));
  setWindowTitle(QStringLiteral("External Application"));
  setModal(true);
  Label3->setWordWrap(true);
  Label3->setMinimumWidth(360);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Image1, 0, Qt::AlignHCenter);
  layout->addWidget(Label3);
  layout->addWidget(lblResume, 0, Qt::AlignRight);
  layout->addWidget(Command1, 0, Qt::AlignRight);
  connect(Command1, &QPushButton::clicked, this, &frmExternalAppStatus::Command1_Click);
  connect(Timer1, &QTimer::timeout, this, &frmExternalAppStatus::Timer1_Timer);
  Form_Load();
  gExternalAppStatusForm = this;
}

frmExternalAppStatus::~frmExternalAppStatus() { modReelwise::SetDropShadow(this, false); }

void frmExternalAppStatus::Form_Load() {
  modReelwise::SetDropShadow(this, true);
  lblResume->setVisible(false);
  lblResume->setCursor(Qt::PointingHandCursor);
  lblResume->installEventFilter(this);
  const ResAnimation animation = LoadResAnimation(QStringLiteral("APP_WAIT"));
  frames_ = animation.frames;
  if (!frames_.isEmpty()) Image1->setPixmap(QPixmap::fromImage(frames_.first()));
  Timer1->setInterval(animation.intervalMs > 0 ? animation.intervalMs : 250);
  Timer1->start();
  path_ = gExternalAppHost().mainWindowTag();
  QString text = QStringLiteral("Original File: '") + path_ + QLatin1Char('\'') + kBreak;
  if (QFileInfo::exists(path_ + QStringLiteral(".RWBAK")))
    text += QStringLiteral("File re-named to '") + path_ + QStringLiteral(".RWBAK.'") + kBreak;
  text += QStringLiteral("External program is processing RWBAK version and is expected to re-create Original File...") +
          kBreak + QStringLiteral("Waiting for external program to terminate...");
  Label3->setText(text);
}

void frmExternalAppStatus::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (activated_) return;
  activated_ = true;
  QTimer::singleShot(0, this, &frmExternalAppStatus::Form_Activate);
}

void frmExternalAppStatus::Form_Activate() {
  WaitForFlag();
  if (QFileInfo(path_).isFile()) {
    accept();
    return;
  }
  Restore();
  lblResume->setVisible(true);
}

void frmExternalAppStatus::WaitForFlag() {
  const QString flag = gTempFolder + QStringLiteral("done.flag");
  const std::function<void()> step = WaitStep() ? WaitStep() : DefaultWaitStep;
  while (!QFileInfo::exists(flag)) step();
}

// Moves the backup back under the file's name and says so; a move that
// fails is reported too, as the backup is then the only copy.
void frmExternalAppStatus::Restore() {
  const QString backup = path_ + QStringLiteral(".RWBAK");
  QString text = Label3->text() + kBreak + QStringLiteral("Original File WAS NOT re-created. ");
  if (QFile::rename(backup, path_)) {
    text += QStringLiteral("Reelwise II has renamed the RWBAK file in order to restore the original file.");
  } else {
    text += QStringLiteral("The RWBAK file could not be renamed back: '") + backup +
            QStringLiteral("' holds the original file.");
  }
  Label3->setText(text);
}

bool frmExternalAppStatus::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblResume && event->type() == QEvent::MouseButtonRelease) {
    lblResume_Click();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void frmExternalAppStatus::lblResume_Click() { accept(); }

void frmExternalAppStatus::Command1_Click() {
  if (lblResume->isVisible()) accept();
}

void frmExternalAppStatus::Timer1_Timer() {
  frame_ = frame_ % 4 + 1;
  if (frame_ <= frames_.size()) Image1->setPixmap(QPixmap::fromImage(frames_[frame_ - 1]));
}
