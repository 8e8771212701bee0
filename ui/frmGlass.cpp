#include "ui/frmGlass.h"

frmGlass::frmGlass() {
  setObjectName(QStringLiteral("frmGlass"));
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
  setAttribute(Qt::WA_TranslucentBackground);
  setStyleSheet(QStringLiteral("background: rgba(0, 0, 0, 96);"));
}

void frmGlass::ShowOver(QWidget* owner) {
  if (owner) {
    setParent(owner, windowFlags());
    setGeometry(owner->geometry());
  }
  show();
}
