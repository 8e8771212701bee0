#include "core/frmOpenWith.h"

#include "core/modLaunchDoc.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmOpenWith::frmOpenWith(QString path, const std::vector<DesktopApp>& apps, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::Dialog), path_(std::move(path)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Open With"));
  lblPrompt = new QLabel(apps.empty() ? QStringLiteral("No program on this computer is registered for files of this type.")
                                      : QStringLiteral("Choose the program you want to use to open this file:"),
                         this);
  lblFile = new QLabel(QStringLiteral("File: ") + QFileInfo(path_).fileName(), this);
  lstPrograms = new QListWidget(this);
  for (const DesktopApp& app : apps) {
    auto* item = new QListWidgetItem(app.name, lstPrograms);
    item->setData(Qt::UserRole, app.id);
  }
  lstPrograms->setCurrentRow(apps.empty() ? -1 : 0);
  cmdOpen = new QPushButton(QStringLiteral("Open"), this);
  cmdOpen->setEnabled(!apps.empty());
  cmdOpen->setDefault(true);
  cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOpen);
  buttons->addWidget(cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblPrompt);
  layout->addWidget(lblFile);
  layout->addWidget(lstPrograms);
  layout->addLayout(buttons);
  resize(420, 360);

  connect(cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
  connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);
  connect(lstPrograms, &QListWidget::itemActivated, this, [this] { cmdOpen_Click(); });
}

void frmOpenWith::cmdOpen_Click() {
  const QListWidgetItem* item = lstPrograms->currentItem();
  if (!item) return;
  const int code = TheDesktopShell().OpenWith(item->data(Qt::UserRole).toString(), path_);
  if (code < 33) modLaunchDoc::ReportLaunchError(code);
  close();
}
