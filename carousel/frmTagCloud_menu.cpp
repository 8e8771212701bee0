// The tag cloud's category menu: one checkable entry per category of the
// library, in name order; the checked ones are the categories whose tags the
// cloud shows.
#include "carousel/frmTagCloud.h"

#include "library/clsRWLibrary.h"
#include "platform/DragController.h"
#include "platform/ErrorGuard.h"
#include "platform/SqlRecordset.h"
#include "platform/controls/VbInput.h"

#include <QAction>
#include <QMenu>
#include <QStringList>

void frmTagCloud::CreateMenu() {
  mnuCategorySelector = new QMenu(this);
  mnuCategorySelector->setObjectName(QStringLiteral("mnuCategorySelector"));
  QAction* pattern = mnuCategorySelector->addAction(QString());
  pattern->setObjectName(QStringLiteral("mnuCategory(0)"));
  pattern->setCheckable(true);
  pattern->setVisible(false);
  mnuCategory.push_back(pattern);
  mnuSep = mnuCategorySelector->addSeparator();
  mnuSelectAll = mnuCategorySelector->addAction(QStringLiteral("Select All"));
  mnuSelectAll->setObjectName(QStringLiteral("mnuSelectAll"));
  connect(mnuSelectAll, &QAction::triggered, this,
          [this] { ErrorGuard({.owner = this}).Run([this] { mnuSelectAll_Click(); }); });
}

// The menu is built on the first click after a library opens.
void frmTagCloud::imgCloudMenu_Click() {
  if (!gCategoryMenuBuilt) BuildCategoryMenu();
  if (CategoryCount() < 1) return;
  mnuCategorySelector->popup(
      mapToGlobal(QPoint(static_cast<int>(imgCloudMenu->Left()) + 16, static_cast<int>(imgCloudMenu->Top()) + 5)));
}

// Every category of the open library, each checked: the cloud shows them
// all, which is the filter of no list.
void frmTagCloud::BuildCategoryMenu() {
  ClearCategoryMenu();
  if (gLibrary) {
    SqlRecordset rows(gLibrary->Connection(),
                      QStringLiteral("SELECT TagID, Tag FROM Tags WHERE Type = 'C' ORDER BY Tag"));
    for (; !rows.Eof(); rows.MoveNext()) AddCategory(rows.Value(0).toString(), rows.Value(1).toString());
  }
  gTagCloudCategories.clear();
  gCategoryMenuBuilt = true;
}

void frmTagCloud::ClearCategoryMenu() {
  mnuCategory.front()->setVisible(false);
  while (mnuCategory.size() > 1) {
    delete mnuCategory.back();
    mnuCategory.pop_back();
  }
}

void frmTagCloud::AddCategory(const QString& tagId, const QString& name) {
  const int index = static_cast<int>(mnuCategory.size());
  auto* entry = new QAction(mnuCategorySelector);
  entry->setObjectName(QStringLiteral("mnuCategory(%1)").arg(index));
  // "&" marks a menu's access key; a name shows as it is written.
  entry->setText(QString(name).replace(QLatin1Char('&'), QLatin1String("&&")));
  entry->setData(tagId);
  entry->setCheckable(true);
  entry->setChecked(true);
  mnuCategorySelector->insertAction(mnuSep, entry);
  mnuCategory.push_back(entry);
  // The menu turns the check mark over by itself before it tells of the
  // click; the mark goes back, so that the click decides it alone.
  connect(entry, &QAction::triggered, this, [this, entry, index](bool checked) {
    entry->setChecked(!checked);
    ErrorGuard({.owner = this}).Run([&] { mnuCategory_Click(index); });
  });
}

// With Ctrl the clicked category alone is checked; without, its mark turns over.
void frmTagCloud::mnuCategory_Click(int index) {
  if (index < 1 || index > CategoryCount()) return;
  if (ctl::GetKeyState(ctl::vbKeyControl) < 0) {
    for (int k = 1; k <= CategoryCount(); ++k) mnuCategory[static_cast<size_t>(k)]->setChecked(k == index);
  } else {
    QAction& entry = *mnuCategory[static_cast<size_t>(index)];
    entry.setChecked(!entry.isChecked());
  }
  ApplyCategories();
}

// Every category checked again: the cloud shows every tag, those in no
// category too, as before the menu was used.
void frmTagCloud::mnuSelectAll_Click() {
  for (int k = 1; k <= CategoryCount(); ++k) mnuCategory[static_cast<size_t>(k)]->setChecked(true);
  ApplyCategories();
}

void frmTagCloud::ApplyCategories() {
  gTagCloudCategories = CategoryFilterText();
  if (gLibrary) gLibrary->ShowTagCloud(false);
}

// The checked categories' TagIDs in menu order, "(5,9)"; "(-1)" when none
// is checked (the cloud shows no tag) and empty when all are (no filter).
QString frmTagCloud::CategoryFilterText() const {
  QStringList ids;
  for (int k = 1; k <= CategoryCount(); ++k) {
    const QAction& entry = *mnuCategory[static_cast<size_t>(k)];
    if (entry.isChecked()) ids << entry.data().toString();
  }
  if (ids.size() == CategoryCount()) return QString();
  if (ids.isEmpty()) return QStringLiteral("(-1)");
  return QLatin1Char('(') + ids.join(QLatin1Char(',')) + QLatin1Char(')');
}
