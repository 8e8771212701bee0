// The history of inspected items: the ten items inspected last, newest
// first, in the "Recent Files" submenu; an item chosen there is inspected
// again.
#include "inspector/InspectorPane.h"

#include "library/ResultItem.h"
#include "platform/ErrorGuard.h"

#include <QAction>
#include <QMenu>

void InspectorPane::MakeRecentMenu() {
  if (mnuRecent[1]) return;
  QMenu* menu = host_.RecentMenu();
  for (int i = 1; i <= 10; ++i) {
    mnuRecent[i] = menu->addAction(QString());
    mnuRecent[i]->setObjectName(QStringLiteral("mnuRecent(%1)").arg(i));
    QObject::connect(mnuRecent[i], &QAction::triggered, menu,
                     [this, i] { ErrorGuard({.owner = picBottom->window()}).Run([&] { mnuRecent_Click(i); }); });
  }
}

void InspectorPane::ResetInspectorHistory() {
  MakeRecentMenu();
  mnuRecent[1]->setText(QStringLiteral("[No History]"));
  mnuRecent[1]->setEnabled(false);
  mnuRecent[1]->setData(QStringLiteral("0"));
  for (int i = 2; i <= 10; ++i) {
    mnuRecent[i]->setVisible(false);
    mnuRecent[i]->setData(QStringLiteral("0"));
  }
}

// An item already listed is neither added again nor moved to the top.
void InspectorPane::AddInspectorHistory() {
  MakeRecentMenu();
  const QString key = QStringLiteral("%1|%2").arg(gInspectedItem.SegmentID).arg(gInspectedItem.FileID);
  for (int i = 1; i <= 10; ++i) {
    if (mnuRecent[i]->data().toString() == key) return;
  }
  if (mnuRecent[1]->isEnabled()) {
    for (int i = 10; i >= 2; --i) {
      mnuRecent[i]->setVisible(mnuRecent[i - 1]->isVisible());
      mnuRecent[i]->setData(mnuRecent[i - 1]->data());
      mnuRecent[i]->setText(mnuRecent[i - 1]->text());
    }
  }
  mnuRecent[1]->setEnabled(true);
  mnuRecent[1]->setVisible(true);
  mnuRecent[1]->setText(gInspectedItem.FileName);
  mnuRecent[1]->setData(key);
}

void InspectorPane::mnuRecent_Click(int Index) {
  if (Index < 1 || Index > 10 || !mnuRecent[Index]) return;
  const QStringList parts = mnuRecent[Index]->data().toString().split(QLatin1Char('|'));
  if (parts.size() != 2) return;
  gInspectedItem.SegmentID = parts[0].toInt();
  gInspectedItem.FileID = parts[1].toInt();
  ResultItem item = gInspectedItem;
  bool loaded = false;
  LoadInspector(item, loaded);
}
