#pragma once
// The main window's menu object: items added in order under a parent item
// (0 the top level), each with a caption ("-" a separator; a tab before the
// shortcut text), an icon of the menu image list, a key, check and radio
// marks, an enabled and a visible flag and a header flag. Items are found by
// the index AddItem returns or by key; choosing one raises Click with its index.
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace ctl {
class ImageList;
}

class cPopupMenu {
 public:
  explicit cPopupMenu(QWidget* owner);
  ~cPopupMenu();

  void SetImageList(ctl::ImageList* images) { images_ = images; }

  // Returns the new item's index (from 1). `iconIndex` is 0-based, -1 none.
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

  // The drop-down of a top-level item (or of a sub-menu item).
  QMenu* Menu(int index) const;
  // The top-level items in order.
  std::vector<int> TopLevelItems() const;

  std::function<void(int ItemNumber)> Click;

 private:
  struct Item {
    QString caption;
    QString key;
    int parent = 0;
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
  void Apply(int index);

  QPointer<QWidget> owner_;
  ctl::ImageList* images_ = nullptr;
  std::vector<Item> items_;
  std::vector<std::unique_ptr<QMenu>> topMenus_;
};
