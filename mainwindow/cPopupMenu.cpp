#include "mainwindow/cPopupMenu.h"

#include "platform/RWError.h"
#include "platform/controls/ImageList.h"

#include <QAction>
#include <QMenu>

cPopupMenu::cPopupMenu(QWidget* owner) : owner_(owner) {}

cPopupMenu::~cPopupMenu() = default;

const cPopupMenu::Item& cPopupMenu::At(int index) const {
  if (index < 1 || index > Count()) {
    throw RWError(kErrInvalidArgument, QStringLiteral("There is no menu item %1").arg(index),
                  QStringLiteral("cPopupMenu"));
  }
  return items_[static_cast<size_t>(index - 1)];
}

cPopupMenu::Item& cPopupMenu::At(int index) {
  return const_cast<Item&>(static_cast<const cPopupMenu*>(this)->At(index));
}

QMenu* cPopupMenu::MenuOf(int index) {
  Item& item = At(index);
  if (!item.menu) {
    if (item.action) {
      item.menu = new QMenu(owner_);
      item.action->setMenu(item.menu);
    } else {
      topMenus_.push_back(std::make_unique<QMenu>(owner_));
      item.menu = topMenus_.back().get();
    }
  }
  return item.menu;
}

int cPopupMenu::AddItem(const QString& caption, const QString&, int, int parentIndex, int iconIndex, bool checked,
                        bool enabled, const QString& key) {
  Item item;
  item.caption = caption;
  item.key = key;
  item.parent = parentIndex;
  item.checked = checked;
  item.enabled = enabled;
  items_.push_back(item);
  const int index = Count();
  if (parentIndex > 0) {
    QMenu* menu = MenuOf(parentIndex);
    QAction* action = caption == QLatin1String("-") && key.isEmpty() ? menu->addSeparator() : menu->addAction(caption);
    if (images_ && iconIndex >= 0 && iconIndex < images_->ListImages.Count()) {
      action->setIcon(images_->ExtractIcon(iconIndex + 1));
    }
    QObject::connect(action, &QAction::triggered, [this, index] {
      if (Click) Click(index);
    });
    items_.back().action = action;
  }
  Apply(index);
  return index;
}

int cPopupMenu::IndexForKey(const QString& key) const {
  for (int i = 1; i <= Count(); ++i) {
    if (items_[static_cast<size_t>(i - 1)].key == key) return i;
  }
  return 0;
}

QString cPopupMenu::ItemKey(int index) const { return At(index).key; }
QString cPopupMenu::Caption(int index) const { return At(index).caption; }
bool cPopupMenu::Checked(int index) const { return At(index).checked; }
bool cPopupMenu::RadioChecked(int index) const { return At(index).radio; }
bool cPopupMenu::Enabled(int index) const { return At(index).enabled; }
bool cPopupMenu::Visible(int index) const { return At(index).visible; }
bool cPopupMenu::Header(int index) const { return At(index).header; }
QMenu* cPopupMenu::Menu(int index) const { return At(index).menu; }

void cPopupMenu::SetCaption(int index, const QString& caption) {
  At(index).caption = caption;
  Apply(index);
}

void cPopupMenu::SetChecked(int index, bool checked) {
  At(index).checked = checked;
  Apply(index);
}

void cPopupMenu::SetRadioChecked(int index, bool checked) {
  At(index).radio = checked;
  Apply(index);
}

void cPopupMenu::SetEnabled(int index, bool enabled) {
  At(index).enabled = enabled;
  Apply(index);
}

void cPopupMenu::SetVisible(int index, bool visible) {
  At(index).visible = visible;
  Apply(index);
}

void cPopupMenu::SetHeader(int index, bool header) { At(index).header = header; }

std::vector<int> cPopupMenu::TopLevelItems() const {
  std::vector<int> top;
  for (int i = 1; i <= Count(); ++i) {
    if (items_[static_cast<size_t>(i - 1)].parent == 0) top.push_back(i);
  }
  return top;
}

void cPopupMenu::Apply(int index) {
  const Item& item = At(index);
  if (!item.action) return;
  if (!item.action->isSeparator()) item.action->setText(item.caption);
  item.action->setCheckable(item.checked || item.radio);
  item.action->setChecked(item.checked || item.radio);
  item.action->setEnabled(item.enabled);
  item.action->setVisible(item.visible);
}
