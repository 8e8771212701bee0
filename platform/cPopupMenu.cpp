#include "platform/cPopupMenu.h"

#include "platform/RWError.h"
#include "platform/controls/ImageList.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QMenu>

#include <algorithm>

namespace {

bool IsSeparator(const QString& caption, const QString& key) { return caption == QLatin1String("-") && key.isEmpty(); }

// The shortcut is the caption's text after its tab: "Save As...\tF12".
QKeySequence ShortcutOf(const QString& caption) {
  const qsizetype tab = caption.indexOf(QLatin1Char('\t'));
  return tab < 0 ? QKeySequence() : QKeySequence(caption.mid(tab + 1), QKeySequence::PortableText);
}

}  // namespace

cPopupMenu::cPopupMenu(QWidget* owner) : owner_(owner) {}

cPopupMenu::~cPopupMenu() {
  for (const QPointer<QMenu>& menu : menus_) delete menu.data();
}

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
    item.menu = new QMenu(owner_);
    menus_.emplace_back(item.menu);
    Colour(item.menu);
    if (item.action) item.action->setMenu(item.menu);
  }
  return item.menu;
}

int cPopupMenu::AddItem(const QString& caption, const QString&, int, int parentIndex, int iconIndex, bool checked,
                        bool enabled, const QString& key) {
  Item item;
  item.caption = caption;
  item.key = key;
  item.parent = parentIndex;
  item.icon = iconIndex;
  item.checked = checked;
  item.enabled = enabled;
  items_.push_back(item);
  const int index = Count();
  if (parentIndex > 0) {
    QMenu* menu = MenuOf(parentIndex);
    QAction* action = IsSeparator(caption, key) ? menu->addSeparator() : menu->addAction(QString());
    if (images_ && iconIndex >= 0 && iconIndex < images_->ListImages.Count()) {
      action->setIcon(images_->ExtractIcon(iconIndex + 1));
    }
    const QKeySequence shortcut = ShortcutOf(caption);
    if (!shortcut.isEmpty() && owner_) {
      // The window carries the entry too, so that its key works while the
      // menu is closed.
      action->setShortcut(shortcut);
      owner_->addAction(action);
    }
    QObject::connect(action, &QAction::triggered, action, [this, index] { Chosen(index); });
    items_.back().action = action;
  }
  Apply(index);
  return index;
}

// Whatever the shown menu did to the entry's mark is undone: the command the
// item stands for decides the mark.
void cPopupMenu::Chosen(int index) {
  Apply(index);
  if (Enabled(index) && ReachableThroughParents(index) && Click) Click(index);
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
int cPopupMenu::Parent(int index) const { return At(index).parent; }
int cPopupMenu::IconIndex(int index) const { return At(index).icon; }
QMenu* cPopupMenu::Menu(int index) const { return At(index).menu; }
QAction* cPopupMenu::Action(int index) const { return At(index).action; }

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

void cPopupMenu::SetHeader(int index, bool header) {
  At(index).header = header;
  Apply(index);
}

int cPopupMenu::ItemHeight(int index) const {
  At(index);
  const int text = QFontMetrics(QApplication::font("QMenu")).height();
  const int icon = images_ ? images_->ImageHeight() : 16;
  return std::max(text, icon) + 6;
}

void cPopupMenu::SetCustomColours(bool use, COLORREF back, COLORREF text, COLORREF highlight) {
  customColours_ = use;
  colours_[0] = back;
  colours_[1] = text;
  colours_[2] = highlight;
  for (const QPointer<QMenu>& menu : menus_) {
    if (menu) Colour(menu);
  }
}

void cPopupMenu::Colour(QMenu* menu) const {
  QPalette palette = QApplication::palette(menu);
  if (customColours_) {
    palette.setColor(QPalette::Window, ColorRefToQColor(colours_[0]));
    palette.setColor(QPalette::Base, ColorRefToQColor(colours_[0]));
    palette.setColor(QPalette::WindowText, ColorRefToQColor(colours_[1]));
    palette.setColor(QPalette::Text, ColorRefToQColor(colours_[1]));
    palette.setColor(QPalette::Highlight, ColorRefToQColor(colours_[2]));
    // The highlighted item keeps the text colour: the style's own (white)
    // vanishes on a light highlight, and the keyboard's place with it.
    palette.setColor(QPalette::HighlightedText, ColorRefToQColor(colours_[1]));
  }
  menu->setPalette(palette);
}

std::vector<int> cPopupMenu::TopLevelItems() const {
  std::vector<int> top;
  for (int i = 1; i <= Count(); ++i) {
    if (items_[static_cast<size_t>(i - 1)].parent == 0) top.push_back(i);
  }
  return top;
}

bool cPopupMenu::ReachableThroughParents(int index) const {
  for (int parent = At(index).parent; parent > 0; parent = At(parent).parent) {
    if (!At(parent).enabled || !At(parent).visible) return false;
  }
  return true;
}

void cPopupMenu::Apply(int index) {
  const Item& item = At(index);
  if (QAction* action = item.action) {
    if (!action->isSeparator()) {
      // A header shows its word without the dash, in bold.
      action->setText(item.header ? item.caption.mid(1) : item.caption);
      QFont font = action->font();
      font.setBold(item.header);
      action->setFont(font);
    }
    action->setCheckable(item.checked || item.radio);
    action->setChecked(item.checked || item.radio);
    action->setVisible(item.visible);
    action->setEnabled(item.enabled && ReachableThroughParents(index));
  }
  for (int child = index + 1; child <= Count(); ++child) {
    if (At(child).parent == index) Apply(child);
  }
}
