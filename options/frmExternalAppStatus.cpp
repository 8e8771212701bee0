#include "options/frmExternalAppStatus.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "options/ExternalAppCommand.h"
#include "platform/OwnFileWrites.h"
#include "platform/QuitRequest.h"
#include "resources/Resources.h"
#include "ui/WorkArea.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

QPointer<frmExternalAppStatus> gExternalAppStatusForm;

namespace {
std::function<void()>& WaitStep() {
  static std::function<void()> step;
  return step;
}

// How often the wait looks for the flag.
constexpr int kFlagLookMs = 20;

const QString kBreak = QStringLiteral("\r\n\r\n");
}  // namespace

void frmExternalAppStatus::SetWaitStep(std::function<void()> step) { WaitStep() = std::move(step); }

frmExternalAppStatus::frmExternalAppStatus(QWidget* owner)
    : QDialog(owner),
      Label3(new QLabel(this)),
      lblResume(new QLabel(QStringLiteral("Resume"), this)),
      Command1(new QPushButton(QStringLiteral("OK"), this)),
      Image1(new QLabel(this)),
      Timer1(new QTimer(this)),
      flagLook_(new QTimer(this)) {
  setObjectName(QStringLiteral("frmExternalAppStatus"));
  setWindowTitle(QStringLiteral("External Application"));
  setModal(true);
  Label3->setWordWrap(true);
  Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label3->setMinimumWidth(360);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Image1, 0, Qt::AlignHCenter);
  layout->addWidget(Label3);
  layout->addWidget(lblResume, 0, Qt::AlignRight);
  layout->addWidget(Command1, 0, Qt::AlignRight);
  connect(Command1, &QPushButton::clicked, this, &frmExternalAppStatus::Command1_Click);
  connect(Timer1, &QTimer::timeout, this, &frmExternalAppStatus::Timer1_Timer);
  connect(flagLook_, &QTimer::timeout, this, &frmExternalAppStatus::LookForFlag);
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
  story_ = text + QStringLiteral(
                     "External program is processing RWBAK version and is expected to re-create Original File...");
  Label3->setText(story_ + kBreak + QStringLiteral("Waiting for external program to terminate..."));
}

void frmExternalAppStatus::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (activated_) return;
  activated_ = true;
  QTimer::singleShot(0, this, &frmExternalAppStatus::Form_Activate);
}

// The wait for the flag is the window's own: a timer looks for it while the
// window's loop handles Cancel, Esc, the close button and the picture's
// timer; a request to end the program cancels it too. Nothing runs inside
// this call.
void frmExternalAppStatus::Form_Activate() {
  cancelled_ = false;
  quitWork_.emplace([this] { cancelled_ = true; });
  waiting_ = true;
  Command1->setText(QStringLiteral("Cancel"));
  flagLook_->start(WaitStep() ? 0 : kFlagLookMs);
}

void frmExternalAppStatus::LookForFlag() {
  if (WaitStep()) WaitStep()();
  if (!cancelled_ && !QFileInfo::exists(gTempFolder + QStringLiteral("done.flag"))) return;
  flagLook_->stop();
  waiting_ = false;
  Command1->setText(QStringLiteral("OK"));
  WaitOver(cancelled_);
  // A request to end the program that came meanwhile ends it now.
  quitWork_.reset();
}

// A program that was stopped may have left a part of its file: that file is
// kept only when the backup is gone, as it is then the only copy. A report
// that nobody reads (the program is ending) closes the window at once.
void frmExternalAppStatus::WaitOver(bool cancelled) {
  if (cancelled && StopProgram) StopProgram();
  const bool backupKept = QFileInfo::exists(path_ + QStringLiteral(".RWBAK"));
  if (QFileInfo(path_).isFile() && !(cancelled && backupKept)) {
    accept();
    return;
  }
  Restore(cancelled);
  if (QuitRequest::Requested()) {
    reject();
    return;
  }
  lblResume->setVisible(true);
  FitToReport();
}

// Moves the backup back under the file's name, over what a stopped program
// left there, and says so in place of the wait; a move that fails is
// reported too, as the backup is then the only copy.
void frmExternalAppStatus::Restore(bool cancelled) {
  const QString backup = path_ + QStringLiteral(".RWBAK");
  QString text = story_ + kBreak +
                 (cancelled ? QStringLiteral("The wait was cancelled and the external program stopped. ")
                            : QStringLiteral("Original File WAS NOT re-created. "));
  if (OwnFileWrites::Rename(QFile::encodeName(backup).constData(), QFile::encodeName(path_).constData()) == 0) {
    text += QStringLiteral("Reelwise II has renamed the RWBAK file in order to restore the original file.");
  } else {
    text += QStringLiteral("The RWBAK file could not be renamed back: '") + backup +
            QStringLiteral("' holds the original file.");
  }
  Label3->setText(text);
}

// The report is longer than the wait's text and has "Resume" under it: the
// window grows to hold them (on its work area), else the label, centred in
// too little height, cut its first line's tops.
void frmExternalAppStatus::FitToReport() {
  layout()->activate();
  adjustSize();
  WorkArea::Keep(this);
}

bool frmExternalAppStatus::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblResume && event->type() == QEvent::MouseButtonRelease) {
    lblResume_Click();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void frmExternalAppStatus::lblResume_Click() { accept(); }

// Cancel while the wait runs; OK once the report is shown.
void frmExternalAppStatus::Command1_Click() {
  if (waiting_) {
    cancelled_ = true;
  } else if (lblResume->isVisible()) {
    accept();
  }
}

void frmExternalAppStatus::reject() {
  if (waiting_) {
    cancelled_ = true;
    return;
  }
  QDialog::reject();
}

void frmExternalAppStatus::Timer1_Timer() {
  frame_ = frame_ % 4 + 1;
  if (frame_ <= frames_.size()) Image1->setPixmap(QPixmap::fromImage(frames_[frame_ - 1]));
}
