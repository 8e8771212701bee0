// The main window's system menu: the window commands, shown on Alt+Space.
// The main window answers its choices as WM_SYSCOMMAND with the item's ID.
#include "ui/cWindowMgr.h"

#include "ui/ISubclass.h"

#include <QAction>
#include <QKeySequence>

namespace {

// A standard command whose ID has this bit cleared is no longer one the
// window's own handling acts on.
constexpr uint32_t kStandardCommandBit = 0x8000;

uint32_t ItemId(const QAction* item) { return item->data().toUInt(); }

}  // namespace

// Restore and Maximise carry the program's own IDs, so the main window
// restores and maximises to its own rectangles.
void cWindowMgr::BuildSystemMenu() {
  systemMenu_ = new QMenu(mainWindow_);
  systemMenu_->setObjectName(QStringLiteral("SystemMenu"));
  const struct {
    const char* caption;
    uint32_t id;
  } items[] = {{"&Restore", kRestoreItem},   {"&Move", SC_MOVE}, {"&Size", SC_SIZE},  {"Mi&nimize", SC_MINIMIZE},
               {"Ma&ximize", kMaximiseItem}, {nullptr, 0},       {"&Close", SC_CLOSE}};
  for (const auto& item : items) {
    if (!item.caption) {
      systemMenu_->addSeparator();
      continue;
    }
    QAction* action = systemMenu_->addAction(QString::fromLatin1(item.caption));
    action->setData(item.id);
    // The ID is read when the item is chosen: disabling may have changed it.
    QObject::connect(action, &QAction::triggered, systemMenu_, [window = mainWindow_, action] {
      cSubclasser::PostWindowMessage(window, WM_SYSCOMMAND, ItemId(action), 0);
    });
  }
  menuKey_ = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), mainWindow_);
  QObject::connect(menuKey_, &QShortcut::activated, systemMenu_, [menu = systemMenu_, window = mainWindow_] {
    if (window) menu->popup(window->frameGeometry().topLeft());
  });
}

// Finds the item by its ID, or by the ID with the standard-command bit
// cleared, so an item disabled before is still found. Disabling clears the
// bit; enabling leaves the ID as it is.
void cWindowMgr::SetMenuItemEnabled(uint32_t id, bool enabled) {
  if (!systemMenu_) return;
  const uint32_t cleared = id & ~kStandardCommandBit;
  for (QAction* item : systemMenu_->actions()) {
    if (item->isSeparator() || (ItemId(item) != id && ItemId(item) != cleared)) continue;
    item->setEnabled(enabled);
    if (!enabled) item->setData(cleared);
    return;
  }
}

// Enables or greys the item with exactly this ID; the ID stays.
void cWindowMgr::EnableMenuCommand(uint32_t id, bool enabled) {
  if (!systemMenu_) return;
  for (QAction* item : systemMenu_->actions()) {
    if (!item->isSeparator() && ItemId(item) == id) item->setEnabled(enabled);
  }
}
