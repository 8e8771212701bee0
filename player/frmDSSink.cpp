#include "player/frmDSSink.h"

#include <QTimer>

frmDSSink::frmDSSink() { setObjectName(QStringLiteral("frmDSSink")); }

void frmDSSink::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  QTimer::singleShot(0, this, &QWidget::close);
}
