#include "player/frmFilePreview.h"

#include <QTimer>

frmFilePreview::frmFilePreview(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("frmFilePreview"));
  setWindowTitle(QStringLiteral("Story Board"));
}

void frmFilePreview::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  QTimer::singleShot(0, this, &QDialog::accept);
}
