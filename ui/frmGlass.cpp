#include "ui/frmGlass.h"

#include <QLabel>
#include <QPainter>

QPointer<frmGlass> gGlassForm;

frmGlass::frmGlass(QWidget* mainWindow) : QWidget(mainWindow) {
  setObjectName(QStringLiteral("frmGlass"));
  setWindowTitle(QStringLiteral("Reelwise II - Waiting..."));
  lblInfo = new QLabel(QStringLiteral("Wait....."), this);
  lblInfo->setObjectName(QStringLiteral("lblInfo"));
  lblInfo->setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
  // The text is dimmed with the sheet, as the sheet's opacity covers it too.
  QPalette palette = lblInfo->palette();
  palette.setColor(QPalette::WindowText, QColor(255, 255, 255, kAlpha));
  lblInfo->setPalette(palette);
  lblInfo->adjustSize();
  hide();
  Form_Load();
}

void frmGlass::Form_Load() {
  SetBackColor(kLoadColour);
  if (QWidget* main = parentWidget()) setGeometry(main->rect());
  lblInfo->move((width() - lblInfo->width()) / 2, (height() - lblInfo->height()) / 2);
}

void frmGlass::SetBackColor(COLORREF colour) {
  backColor_ = colour;
  update();
}

// Painted over whatever the main window drew beneath; not filling the
// background first is what lets that content show through.
void frmGlass::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ColorRefToQColor(backColor_, kAlpha));
}

void ShowGlass(QWidget* mainWindow) {
  if (!gGlassForm) {
    if (!mainWindow) return;
    gGlassForm = new frmGlass(mainWindow);
  }
  gGlassForm->raise();
  gGlassForm->show();
}

void UnloadGlass() { delete gGlassForm.data(); }
