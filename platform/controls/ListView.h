#pragma once
// The list view in report form: keyed items in rows, each with sub-items in
// the further columns, sub-items with their own colour, weight, tool tip and
// tag; column headers; selection of one or many items; a background picture.
// HitTest takes twips, as the mouse events give them.
#include "platform/ColorRef.h"
#include "platform/controls/Control.h"
#include "platform/controls/ItemCollection.h"

#include <QPixmap>

#include <functional>

class QTreeView;

namespace ctl {

class ListView;
class ListItem;
class ListViewModel;

class ListSubItem : public KeyedItem {
 public:
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
  QString text_;
  QString toolTip_;
  QString tag_;
  COLORREF foreColor_ = 0;
  bool bold_ = false;
};

class ListSubItemCollection : public ItemCollection<ListSubItem> {
 public:
  explicit ListSubItemCollection(ListItem* item) : ItemCollection(QStringLiteral("ListSubItems")), item_(item) {}

  // Adds at the end (index 0) or before the 1-based index.
  ListSubItem& Add(int index = 0, const QString& key = QString(), const QString& text = QString());

 private:
  ListItem* item_;
};

class ListItem : public KeyedItem {
 public:
  explicit ListItem(ListView* list) : list_(list) {}

  ListSubItemCollection ListSubItems{this};

  const QString& Text() const { return text_; }
  void SetText(const QString& text);
  const QString& Tag() const { return tag_; }
  void SetTag(const QString& tag) { tag_ = tag; }
  bool Selected() const;
  void SetSelected(bool selected);
  // The text of sub-item i (from 1); setting one adds the sub-items up to it.
  QString SubItems(int index) const;
  void SetSubItems(int index, const QString& text);
  // The row's check box (shown when the list has Checkboxes); setting it
  // from code raises no ItemCheck.
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  // The colour of the item's own text (column 0); until set, the list's.
  COLORREF ForeColor() const { return foreColor_; }
  void SetForeColor(COLORREF colour);

 private:
  friend class ListSubItem;
  friend class ListSubItemCollection;
  friend class ListItemCollection;
  friend class ListView;
  friend class ListViewModel;
  void Changed();

  ListView* list_;
  QString text_;
  QString tag_;
  bool checked_ = false;
  bool foreColorSet_ = false;
  COLORREF foreColor_ = 0;
};

class ListItemCollection : public ItemCollection<ListItem> {
 public:
  explicit ListItemCollection(ListView* list) : ItemCollection(QStringLiteral("ListItems")), list_(list) {}

  // Adds at the end (index 0) or before the 1-based index.
  ListItem& Add(int index = 0, const QString& key = QString(), const QString& text = QString());
  void Remove(const ItemRef& ref);
  void Clear();

 private:
  ListView* list_;
};

class ColumnHeader : public KeyedItem {
 public:
  const QString& Text() const { return text_; }
  // Pixels.
  double Width() const { return width_; }
  // 0 left, 1 right, 2 centred.
  int Alignment() const { return alignment_; }
  void SetAlignment(int alignment) { alignment_ = alignment; }

 private:
  friend class ColumnHeaderCollection;
  QString text_;
  double width_ = 100;
  int alignment_ = 0;
};

class ColumnHeaderCollection : public ItemCollection<ColumnHeader> {
 public:
  explicit ColumnHeaderCollection(ListView* list) : ItemCollection(QStringLiteral("ColumnHeaders")), list_(list) {}

  // A width below 0 gives the default width.
  ColumnHeader& Add(int index = 0, const QString& key = QString(), const QString& text = QString(), double width = -1);
  // Column `index` (from 1) takes `width` pixels; the rows stay as they are.
  void SetWidth(int index, double width);
  void Clear();

 private:
  ListView* list_;
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
  // A check box at the start of every row, which the user toggles.
  bool Checkboxes() const { return checkboxes_; }
  void SetCheckboxes(bool checkboxes);
  // Raised after the user toggled an item's check box.
  std::function<void(ListItem& item)> ItemCheck;
  // The view that shows the rows (for tests and focus handling).
  QTreeView* View() const { return view_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class ListItem;
  friend class ListSubItem;
  friend class ListItemCollection;
  friend class ColumnHeaderCollection;
  friend class ListViewModel;

  void ItemChanged(const ListItem& item);
  void ApplyColumns();
  void ApplyBackground();

  ListViewModel* model_;
  QTreeView* view_;
  bool multiSelect_ = false;
  bool hideHeaders_ = false;
  bool checkboxes_ = false;
  QPixmap picture_;
  COLORREF backColor_ = RGB(255, 255, 255);
};

}  // namespace ctl
