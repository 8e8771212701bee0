#include "player/frmFilePosterArt.h"

#include "core/ProgramMessage.h"
#include "core/modReelwise.h"
#include "library/ResultItem.h"
#include "platform/ErrorGuard.h"
#include "player/cFilePosterArt.h"
#include "player/frmFilePreview.h"
#include "ui/PictureFit.h"
#include "ui/WorkArea.h"

#include <QFrame>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

QPointer<frmFilePosterArt> gFilePosterArtForm;

frmFilePosterArt::frmFilePosterArt(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("frmFilePosterArt"));
  setWindowTitle(QStringLiteral("Story Board"));
  framePlayer = new QFrame(this);
  framePlayer->setObjectName(QStringLiteral("framePlayer"));
  framePlayer->setGeometry(0, 0, 320, 240);
  framePlayer->hide();
  cmdClose = new QPushButton(QStringLiteral("Quit"), this);
  cmdClose->setObjectName(QStringLiteral("cmdClose"));
  quitStrip_ = MakeQuitStrip(*this, *cmdClose);
  SizeWindow();
  connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
  gFilePosterArtForm = this;
  ErrorGuard().Run([&] { Form_Load(); });
}

frmFilePosterArt::~frmFilePosterArt() {
  modReelwise::SetDropShadow(this, false);
  poster_.reset();
}

// An offline item gets the offline message, a file that is not there a
// message of its own; neither opens a player.
void frmFilePosterArt::Form_Load() {
  modReelwise::SetDropShadow(this, true);
  const QString& folder = gSavedItem.CurrentPath;
  if (folder.isEmpty() || gSavedItem.FileName.isEmpty()) return;
  if (folder.startsWith(QLatin1Char('['))) {
    ShowOfflineFileMessage(gSavedItem.FileName, folder, parentWidget());
    return;
  }
  // A drive that does not answer counts as offline: the window never waits on it.
  const std::optional<bool> there = modReelwise::FileThere(folder + gSavedItem.FileName);
  if (!there) {
    ShowOfflineFileMessage(gSavedItem.FileName, folder, parentWidget());
    return;
  }
  if (!*there) {
    ShowProgramMessage(QStringLiteral("'%1' cannot be found in '%2'.").arg(gSavedItem.FileName, folder), 48,
                       QStringLiteral("Story Board"), parentWidget());
    return;
  }
  gSavedItem.Duration = gSavedItem.SelectionEnd - gSavedItem.SelectionStart;
  poster_ = std::make_unique<cFilePosterArt>(framePlayer);
  built_ = poster_->DrawPoster();
  update();
}

// The poster at its own size over the Quit strip, or made smaller alike in
// both directions where the work area cannot hold the window at that size.
void frmFilePosterArt::SizeWindow() {
  const QSize room = WorkArea::Room(this);
  const QSize poster(cFilePosterArt::kWidth, cFilePosterArt::kHeight);
  const QSize shown = poster.scaled(room - QSize(0, kQuitStripHeight), Qt::KeepAspectRatio).boundedTo(poster);
  setFixedSize(shown + QSize(0, kQuitStripHeight));
  PlaceQuitStrip(*quitStrip_, width(), PosterRect().height());
}

// Where the poster is drawn: the client area above the strip, the poster's
// shape kept.
QRect frmFilePosterArt::PosterRect() const {
  const QRectF above(0, 0, width(), std::max(height() - kQuitStripHeight, 1));
  return FitPictureInBox(QSizeF(cFilePosterArt::kWidth, cFilePosterArt::kHeight), above).toRect();
}

void frmFilePosterArt::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  PlaceQuitStrip(*quitStrip_, width(), height() - kQuitStripHeight);
}

void frmFilePosterArt::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(QRect(0, 0, width(), height() - kQuitStripHeight), Qt::black);
  ImageSurface* surface = poster_ ? poster_->Surface() : nullptr;
  if (!built_ || !surface) return;
  surface->Flush();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(PosterRect(), surface->Image());
}

void frmFilePosterArt::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!built_) QTimer::singleShot(0, this, [this] { hide(); });
}

void frmFilePosterArt::cmdClose_Click() {
  if (unloading_) return;
  unloading_ = true;
  hide();
}
