#pragma once
// Inside the tree view: the item model over the nodes, the Qt view that shows
// them and the delegate that paints a row (state icon, picture, label) and
// edits labels. Only TreeView uses these.
#include "platform/controls/TreeView.h"

#include <QAbstractItemModel>
#include <QStyledItemDelegate>
#include <QTreeView>

namespace ctl {

class TreeModel : public QAbstractItemModel {
 public:
  explicit TreeModel(TreeView* tree) : QAbstractItemModel(tree), tree_(tree) {}

  QModelIndex IndexOf(const Node* node) const;
  static Node* NodeAt(const QModelIndex& index) { return static_cast<Node*>(index.internalPointer()); }
  // After rows of a level were reordered: every persistent index follows its node.
  void FollowNodes();

  // The model's notifications, for TreeView's structure changes.
  using QAbstractItemModel::beginInsertRows;
  using QAbstractItemModel::beginMoveRows;
  using QAbstractItemModel::beginRemoveRows;
  using QAbstractItemModel::beginResetModel;
  using QAbstractItemModel::endInsertRows;
  using QAbstractItemModel::endMoveRows;
  using QAbstractItemModel::endRemoveRows;
  using QAbstractItemModel::endResetModel;

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Type-ahead: a level's nodes whose text begins with what was typed.
  QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits,
                        Qt::MatchFlags flags) const override;

 private:
  TreeView* tree_;
};

// Where the parts of a row lie, in view coordinates.
struct TreeRowLayout {
  QRect state;
  QRect icon;
  QRect label;
};

class TreeItemDelegate : public QStyledItemDelegate {
 public:
  explicit TreeItemDelegate(TreeView* tree) : QStyledItemDelegate(tree), tree_(tree) {}

  TreeRowLayout Layout(const Node* node, const QRect& item) const;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;

 private:
  QFont NodeFont(const Node* node) const;
  QPixmap Picture(const Node* node) const;
  QPixmap StatePicture(const Node* node) const;
  int IconWidth() const;
  int StateWidth() const;

  TreeView* tree_;
};

// The Qt view: the branch lines and plus/minus boxes of the tree's style, a
// current index but no selection of its own (the delegate paints the selected
// node), no selection following a dragging mouse (a drag moves the selected
// node), mouse input handed to the tree after the view's own handling, and
// the keys choosing a node of their own: the focus arriving chooses none,
// and End goes to the last node shown also when no node is current.
class TreeItemView : public QTreeView {
 public:
  explicit TreeItemView(TreeView* tree);

  TreeItemDelegate* Delegate() const { return delegate_; }

 protected:
  void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  QModelIndex LastVisible() const;
  void DrawLines(QPainter* painter, const QRect& rect, const QModelIndex& index) const;
  void DrawPlusMinus(QPainter* painter, const QRect& box, bool expanded) const;

  TreeView* tree_;
  TreeItemDelegate* delegate_;
};

}  // namespace ctl
