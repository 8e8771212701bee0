#include "core/frmFileProperties.h"

#include "core/ShownNumbers.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString SizeText(qint64 bytes) {
  return QStringLiteral("%1 (%2 bytes)").arg(ShownNumbers::DataSize(bytes), ShownNumbers::Count(bytes));
}

QString TimeText(const QDateTime& time) {
  return ShownNumbers::DateTime(time);
}

// The type's description in the program's own words, as the window's other
// words are, whatever the user's locale: the desktop's database holds it in
// many languages.
QString TypeText(const QFileInfo& info) {
  const QLocale user;
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  const QString comment = QMimeDatabase().mimeTypeForFile(info).comment();
  QLocale::setDefault(user);
  return comment;
}

QString AttributesText(const QFileInfo& info) {
  QStringList attributes;
  if (!info.isWritable()) attributes << QStringLiteral("Read-only");
  if (info.isHidden()) attributes << QStringLiteral("Hidden");
  if (info.isSymLink()) attributes << QStringLiteral("Link to ") + info.symLinkTarget();
  return attributes.isEmpty() ? QStringLiteral("Normal") : attributes.join(QStringLiteral(", "));
}

}  // namespace

frmFileProperties::frmFileProperties(const QString& path, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::Dialog) {
  setAttribute(Qt::WA_DeleteOnClose);
  const QFileInfo info(path);
  setWindowTitle(info.fileName() + QStringLiteral(" Properties"));

  auto* form = new QFormLayout;
  AddFact(form, QStringLiteral("Name:"), info.fileName());
  AddFact(form, QStringLiteral("Type:"), TypeText(info));
  AddFact(form, QStringLiteral("Location:"), info.absolutePath());
  AddFact(form, QStringLiteral("Size:"), info.isDir() ? QString() : SizeText(info.size()));
  AddFact(form, QStringLiteral("Created:"), TimeText(info.birthTime()));
  AddFact(form, QStringLiteral("Modified:"), TimeText(info.lastModified()));
  AddFact(form, QStringLiteral("Accessed:"), TimeText(info.lastRead()));
  AddFact(form, QStringLiteral("Attributes:"), AttributesText(info));

  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setDefault(true);
  connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdOK);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addStretch();
  layout->addLayout(buttons);
  resize(440, 300);
}

void frmFileProperties::AddFact(QFormLayout* form, const QString& caption, const QString& text) {
  if (text.isEmpty()) return;
  auto* label = new QLabel(text, this);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setWordWrap(true);
  form->addRow(caption, label);
  facts_.append({caption, text});
}
