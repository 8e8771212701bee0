#pragma once
// The main window's menu object: items added in order under a parent item
// (0 the top level), each with a caption ("-" and no key a separator; a tab
// before the shortcut text; "-WORD" a header), an icon of the menu image
// list, a key, check and radio marks, an enabled and a visible flag and a
// header flag. Items are found by the index AddItem returns or by key;
// choosing one, from its menu or by its shortcut, raises Click with its index.
//
// The marks live here, not in the shown menu: choosing a marked item leaves
// its mark as it was, and only the program's own SetChecked/SetRadioChecked
// change it. A shortcut acts only while its item, and every item above it, is
// enabled and visible.
#include "platform/ColorRef.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace ctl {
class ImageList;
}

class cPopupMenu {
 public:
  // The owner window receives the shortcuts of the items.
  explicit cPopupMenu(QWidget* owner);
  ~cPopupMenu();
  cPopupMenu(const cPopupMenu&) = delete;
  cPopupMenu& operator=(const cPopupMenu&) = delete;

  void SetImageList(ctl::ImageList* images) { images_ = images; }

  // Returns the new item's index (from 1). `iconIndex` is 0-based, -1 none.
  // The help text and item data are kept by nothing.
  int AddItem(const QString& caption, const QString& helpText, int itemData, int parentIndex, int iconIndex,
              bool checked, bool enabled, const QString& key);
  // 0 when no item has the key.
  int IndexForKey(const QString& key) const;
  QString ItemKey(int index) const;
  int Count() const { return static_cast<int>(items_.size()); }

  QString Caption(int index) const;
  void SetCaption(int index, const QString& caption);
  bool Checked(int index) const;
  void SetChecked(int index, bool checked);
  bool RadioChecked(int index) const;
  void SetRadioChecked(int index, bool checked);
  bool Enabled(int index) const;
  void SetEnabled(int index, bool enabled);
  bool Visible(int index) const;
  void SetVisible(int index, bool visible);
  bool Header(int index) const;
  void SetHeader(int index, bool header);
  int Parent(int index) const;
  int IconIndex(int index) const;
  // The height in pixels of one item of the menus.
  int ItemHeight(int index) const;
  // The menus' background, text and highlight colours (`use` false: the
  // style's own).
  void SetCustomColours(bool use, COLORREF back, COLORREF text, COLORREF highlight);

  // The drop-down of a top-level item (or of a sub-menu item); none until
  // the item has children.
  QMenu* Menu(int index) const;
  // The entry that shows an item in its parent's menu; none for top-level items.
  QAction* Action(int index) const;
  // The top-level items in order.
  std::vector<int> TopLevelItems() const;

  std::function<void(int ItemNumber)> Click;

 private:
  struct Item {
    QString caption;
    QString key;
    int parent = 0;
    int icon = -1;
    bool checked = false;
    bool radio = false;
    bool enabled = true;
    bool visible = true;
    bool header = false;
    QAction* action = nullptr;  // none for a top-level item
    QMenu* menu = nullptr;      // the drop-down of an item with children
  };

  const Item& At(int index) const;
  Item& At(int index);
  QMenu* MenuOf(int index);
  void Chosen(int index);
  // Shows the item's state on its entry, then on the entries below it.
  void Apply(int index);
  bool ReachableThroughParents(int index) const;
  void Colour(QMenu* menu) const;

  QPointer<QWidget> owner_;
  ctl::ImageList* images_ = nullptr;
  std::vector<Item> items_;
  std::vector<QPointer<QMenu>> menus_;
  bool customColours_ = false;
  COLORREF colours_[3] = {0, 0, 0};
};
