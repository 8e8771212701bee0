#pragma once
// The list view in report form: keyed items in rows, each with sub-items in
// the further columns, sub-items with their own colour, weight, tool tip and
// tag; column headers; selection of one or many items; a background picture.
// HitTest takes twips, as the mouse events give them.
#include "platform/ColorRef.h"
#include "platform/controls/Control.h"
#include "platform/controls/ImageList.h"

#include <memory>
#include <vector>

class QTreeView;

namespace ctl {

class ListView;
class ListItem;
class ListViewModel;

class ListSubItem {
 public:
  int Index() const { return index_; }
  const QString& Key() const { return key_; }
  const QString& Text() const { return text_; }
  void SetText(const QString& text);
  COLORREF ForeColor() const { return foreColor_; }
  void SetForeColor(COLORREF colour);
  bool Bold() const { return bold_; }
  void SetBold(bool bold);
  const QString& ToolTipText() const { return toolTip_; }
  void SetToolTipText(const QString& text) { toolTip_ = text; }
  const QString& Tag() const { return tag_; }
  void SetTag(const QString& tag) { tag_ = tag; }

 private:
  friend class ListSubItemCollection;
  ListItem* item_ = nullptr;
  int index_ = 0;
  QString key_;
  QString text_;
  QString toolTip_;
  QString tag_;
  COLORREF foreColor_ = 0;
  bool bold_ = false;
};

class ListSubItemCollection {
 public:
  explicit ListSubItemCollection(ListItem* item) : item_(item) {}

  int Count() const { return static_cast<int>(items_.size()); }
  // Adds at the end (index 0) or before the 1-based index.
  ListSubItem& Add(int index = 0, const QString& key = QString(), const QString& text = QString());
  ListSubItem& Item(const ItemRef& ref) const;
  ListSubItem& operator()(const ItemRef& ref) const { return Item(ref); }

 private:
  ListItem* item_;
  std::vector<std::unique_ptr<ListSubItem>> items_;
};

class ListItem {
 public:
  explicit ListItem(ListView* list) : list_(list) {}

  ListSubItemCollection ListSubItems{this};

  int Index() const { return index_; }
  const QString& Key() const { return key_; }
  const QString& Text() const { return text_; }
  void SetText(const QString& text);
  const QString& Tag() const { return tag_; }
  void SetTag(const QString& tag) { tag_ = tag; }
  bool Selected() const;
  void SetSelected(bool selected);
  // The text of sub-item i (from 1); setting one adds the sub-items up to it.
  QString SubItems(int index) const;
  void SetSubItems(int index, const QString& text);

 private:
  friend class ListSubItem;
  friend class ListSubItemCollection;
  friend class ListItemCollection;
  friend class ListView;
  void Changed();

  ListView* list_;
  int index_ = 0;
  QString key_;
  QString text_;
  QString tag_;
};

class ListItemCollection {
 public:
  explicit ListItemCollection(ListView* list) : list_(list) {}

  int Count() const { return static_cast<int>(items_.size()); }
  // Adds at the end (index 0) or before the 1-based index; a used key raises 35602.
  ListItem& Add(int index = 0, const QString& key = QString(), const QString& text = QString());
  ListItem& Item(const ItemRef& ref) const;
  ListItem& operator()(const ItemRef& ref) const { return Item(ref); }
  ListItem* Find(const QString& key) const;
  void Remove(const ItemRef& ref);
  void Clear();

 private:
  friend class ListView;
  friend class ListViewModel;
  size_t Position(const ItemRef& ref) const;
  void Renumber();

  ListView* list_;
  std::vector<std::unique_ptr<ListItem>> items_;
};

class ColumnHeader {
 public:
  int Index() const { return index_; }
  const QString& Key() const { return key_; }
  const QString& Text() const { return text_; }
  // Pixels.
  double Width() const { return width_; }

 private:
  friend class ColumnHeaderCollection;
  int index_ = 0;
  QString key_;
  QString text_;
  double width_ = 100;
};

class ColumnHeaderCollection {
 public:
  explicit ColumnHeaderCollection(ListView* list) : list_(list) {}

  int Count() const { return static_cast<int>(items_.size()); }
  // A width below 0 gives the default width.
  ColumnHeader& Add(int index = 0, const QString& key = QString(), const QString& text = QString(),
                    double width = -1);
  ColumnHeader& Item(int index) const;
  void Clear();

 private:
  ListView* list_;
  std::vector<std::unique_ptr<ColumnHeader>> items_;
};

class ListView : public Control {
 public:
  explicit ListView(QWidget* parent = nullptr);
  ~ListView() override;

  ListItemCollection ListItems{this};
  ColumnHeaderCollection ColumnHeaders{this};

  // The item with the focus, or nullptr.
  ListItem* SelectedItem() const;
  void SetSelectedItem(ListItem* item);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool multiSelect);
  bool HideColumnHeaders() const { return hideHeaders_; }
  void SetHideColumnHeaders(bool hide);
  const QPixmap& Picture() const { return picture_; }
  void SetPicture(const QPixmap& picture);
  COLORREF BackColor() const { return backColor_; }
  void SetBackColor(COLORREF colour);
  // The item under a point in twips, or nullptr.
  ListItem* HitTest(double x, double y) const;
  // How many whole items the list shows at once.
  int CountPerPage() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class ListItem;
  friend class ListSubItem;
  friend class ListItemCollection;
  friend class ColumnHeaderCollection;

  void ItemChanged(const ListItem& item);
  void ApplyColumns();
  void ApplyBackground();

  ListViewModel* model_;
  QTreeView* view_;
  bool multiSelect_ = false;
  bool hideHeaders_ = false;
  QPixmap picture_;
  COLORREF backColor_ = RGB(255, 255, 255);
};

}  // namespace ctl
