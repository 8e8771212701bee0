#pragma once
// The tree view: keyed nodes in a hierarchy, each with a text, an image key
// into the tree's image list, an optional state image (the expand icon the
// program draws itself) and the node properties the library tree uses. The
// Nodes collection keeps the order of addition (Index, enumeration); the
// tree shows each level in its own order, sorted where Sorted is set.
//
// Coordinates of the mouse events and of HitTest are twips. Expanding or
// collapsing a node, by the user or by setting Expanded, raises Expand or
// Collapse; selecting by code raises nothing. Label edits are started only by
// StartLabelEdit; Enter or leaving the editor ends one through
// AfterLabelEdit, Esc drops it (the tree then sees the Esc as KeyUp).
#include "platform/ColorRef.h"
#include "platform/controls/Control.h"
#include "platform/controls/ImageList.h"

#include <QHash>
#include <QStringView>

#include <functional>
#include <memory>
#include <vector>

namespace ctl {

inline constexpr int tvwFirst = 0;
inline constexpr int tvwLast = 1;
inline constexpr int tvwNext = 2;
inline constexpr int tvwPrevious = 3;
inline constexpr int tvwChild = 4;

inline constexpr int tvwTextOnly = 0;
inline constexpr int tvwPictureText = 1;
inline constexpr int tvwPlusMinusText = 2;
inline constexpr int tvwPlusPictureText = 3;
inline constexpr int tvwTreelinesText = 4;
inline constexpr int tvwTreelinesPictureText = 5;
inline constexpr int tvwTreelinesPlusMinusText = 6;
inline constexpr int tvwTreelinesPlusMinusPictureText = 7;

inline constexpr int tvwTreeLines = 0;
inline constexpr int tvwRootLines = 1;

// Where a point lies on a row (HitTestInfo flags).
inline constexpr int tvhtNowhere = 0x01;
inline constexpr int tvhtOnItemIcon = 0x02;
inline constexpr int tvhtOnItemLabel = 0x04;
inline constexpr int tvhtOnItemIndent = 0x08;
inline constexpr int tvhtOnItemButton = 0x10;
inline constexpr int tvhtOnItemRight = 0x20;
inline constexpr int tvhtOnItemStateIcon = 0x40;

class TreeView;
class TreeModel;
class TreeItemView;
class TreeItemDelegate;

class Node {
 public:
  const QString& Key() const { return key_; }
  const QString& Text() const { return text_; }
  void SetText(const QString& text);
  const QString& Image() const { return image_; }
  void SetImage(const QString& imageKey);
  // Shown instead of Image while the node is expanded, when set.
  const QString& ExpandedImage() const { return expandedImage_; }
  void SetExpandedImage(const QString& imageKey);
  const QString& Tag() const { return tag_; }
  void SetTag(const QString& tag) { tag_ = tag; }
  bool Bold() const { return bold_; }
  void SetBold(bool bold);
  COLORREF ForeColor() const { return foreColor_; }
  void SetForeColor(COLORREF colour);
  // Setting True sorts the children now and keeps later children in order.
  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool expanded);
  bool Selected() const;
  void SetSelected(bool selected);
  // Index of the state image list's picture; 0 shows none.
  int StateImage() const { return stateImage_; }
  bool SetStateImage(int index);

  // Position in the Nodes collection, from 1.
  int Index() const { return index_; }
  Node* Parent() const { return parent_; }
  // Moves the node with its children under another parent (at the end, or
  // in order when the parent is sorted); nullptr moves it to the top level.
  void SetParent(Node* parent);
  Node* Child() const { return children_.empty() ? nullptr : children_.front(); }
  int Children() const { return static_cast<int>(children_.size()); }
  Node* Next() const;
  Node* Previous() const;
  Node* FirstSibling() const;
  Node* LastSibling() const;
  Node* Root() const;
  // The texts from the top level down to this node, joined by the tree's
  // path separator.
  QString FullPath() const;
  // Expands the ancestors and scrolls the node into view.
  void EnsureVisible();

 private:
  friend class TreeView;
  friend class NodeCollection;
  friend class TreeModel;
  friend class TreeItemView;
  friend class TreeItemDelegate;

  const std::vector<Node*>& Siblings() const;
  void Changed();

  TreeView* tree_ = nullptr;
  Node* parent_ = nullptr;
  std::vector<Node*> children_;
  int row_ = 0;
  int index_ = 0;
  QString key_;
  QString text_;
  QString image_;
  QString expandedImage_;
  QString tag_;
  bool bold_ = false;
  COLORREF foreColor_ = 0;
  bool sorted_ = false;
  bool expanded_ = false;
  int stateImage_ = 0;
};

class NodeCollection {
 public:
  explicit NodeCollection(TreeView* tree) : tree_(tree) {}

  int Count() const { return static_cast<int>(order_.size()); }
  // Adds a node: with an empty relative at the top level (in order when the
  // tree is sorted), else as tvwChild, tvwFirst, tvwLast, tvwNext or
  // tvwPrevious of the relative. A used key raises 35602, a missing relative
  // 35601.
  Node* Add(const QString& relative, int relationship, const QString& key, const QString& text,
            const QString& image = QString());
  // As Add, with the relative given as a node (nullptr: the top level).
  Node* Add(Node* relative, int relationship, const QString& key, const QString& text,
            const QString& image = QString());
  // A missing key raises 35601, an index out of range 35600.
  Node& Item(const ItemRef& ref) const;
  Node& operator()(const ItemRef& ref) const { return Item(ref); }
  Node* Find(const QString& key) const { return byKey_.value(key, nullptr); }
  bool Exists(const QString& key) const { return Find(key) != nullptr; }
  // Makes room for `count` nodes in all, so that a large build does not
  // rebuild the index of keys again and again as it grows.
  void Reserve(int count);
  // Removes the node and its children; later indexes move down.
  void Remove(const ItemRef& ref);
  void Clear();

  // The nodes in the order they were added.
  auto begin() const { return order_.begin(); }
  auto end() const { return order_.end(); }

 private:
  friend class TreeView;
  friend class Node;

  void Renumber();
  // The index entry for a new node's key, empty till the node is made;
  // nullptr for an empty key. A used key raises 35602.
  Node** ClaimKey(const QString& key);
  // Add once the key's entry is claimed.
  Node* AddNew(Node* anchor, int relationship, Node** slot, const QString& key, const QString& text,
               const QString& image);

  TreeView* tree_;
  std::vector<std::unique_ptr<Node>> order_;
  QHash<QString, Node*> byKey_;
};

class TreeView : public Control {
 public:
  explicit TreeView(QWidget* parent = nullptr);
  ~TreeView() override;

  NodeCollection Nodes{this};

  Node* SelectedItem() const { return selected_; }
  void SetSelectedItem(Node* node);
  Node* DropHighlight() const { return dropHighlight_; }
  void SetDropHighlight(Node* node);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  // Sorts the level below `parent` (the top level for nullptr) at once in an
  // order of the caller's own, which keeps nodes that `before` does not tell
  // apart in their order, and keeps the level sorted by text from then on,
  // as setting Sorted does.
  void SortLevelBy(Node* parent, const std::function<bool(const Node*, const Node*)>& before);
  // Whether `a` comes before `b` in a sorted level: by text, without regard
  // to case, as QString::compare orders them.
  static bool TextBefore(QStringView a, QStringView b);
  int Style() const { return style_; }
  void SetStyle(int style);
  int LineStyle() const { return lineStyle_; }
  void SetLineStyle(int lineStyle);
  ImageList* Images() const { return imageList_; }
  void SetImageList(ImageList* images);
  ImageList* StateImages() const { return stateImageList_; }
  void SetStateImageList(ImageList* images);
  const QString& PathSeparator() const { return pathSeparator_; }
  void SetPathSeparator(const QString& separator) { pathSeparator_ = separator; }
  COLORREF BackColor() const { return backColor_; }
  void SetBackColor(COLORREF colour);
  // The widget the nodes are drawn on (its paint events draw the tree).
  QWidget* Viewport() const;
  // A node's row in the viewport's pixels; empty while it is not shown.
  QRect NodeRect(const Node* node) const;

  // The node whose icon, state icon or label lies at a point in twips.
  Node* HitTest(double x, double y) const;
  // The node of the row at a point in pixels and where on it the point lies.
  Node* HitTestInfo(int x, int y, int* flags) const;
  // Edits the selected node's label, all of it selected.
  void StartLabelEdit();
  // Scrolls so that the node is the first one shown.
  void SetFirstVisible(Node* node);
  // Scrolls by whole rows (negative: up), as the arrows of a scroll bar.
  void ScrollLines(int lines);
  // Many changes at once (a rebuild, a re-sort): from BeginUpdate to the
  // matching EndUpdate the view shows no nodes and is told of no single
  // change, which would cost more than the change itself; EndUpdate shows
  // them all at once, with the expanded nodes and the selected node, scrolled
  // to the node asked for meanwhile or else to the node that was first shown.
  void BeginUpdate();
  void EndUpdate();

  std::function<void(Node* node)> NodeClick;
  std::function<void(Node* node)> Expand;
  std::function<void(Node* node)> Collapse;
  std::function<void(int& cancel)> BeforeLabelEdit;
  std::function<void(int& cancel, QString& newString)> AfterLabelEdit;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  friend class Node;
  friend class NodeCollection;
  friend class TreeModel;
  friend class TreeItemView;
  friend class TreeItemDelegate;

  // Structure changes, kept in step with the model (TreeNodes.cpp).
  void Insert(Node* node, Node* parent, size_t position);
  void Detach(Node* node);
  void Move(Node* node, Node* parent);
  void SortLevel(Node* parent);
  template <typename Before>
  void SortLevel(Node* parent, const Before& before);
  size_t SortedPosition(const std::vector<Node*>& level, const QString& text) const;
  std::vector<Node*>& Level(Node* parent);
  void Forget(Node* node);

  // View side (TreeView.cpp).
  void NodeChanged(Node* node);
  void ApplyExpanded(Node* node);
  void ViewExpanded(Node* node, bool expanded);
  void ViewCurrentChanged(Node* node);
  void ViewMousePress(QMouseEvent* event);
  void ViewMouseRelease(QMouseEvent* event);
  void ViewMouseMove(QMouseEvent* event);
  void ViewDoubleClick(QMouseEvent* event);
  void FinishLabelEdit(Node* node, const QString& text);
  // Scrolls the view to a node now, or once the update ends; a quiet scroll
  // (to a node selected by code) raises no Expand for the parents it opens.
  void ScrollToNode(Node* node, int hint, bool quiet = false);
  bool Updating() const { return updating_ > 0; }
  void ShowUpdatedNodes();
  bool HasPictures() const;
  bool HasPlusMinus() const;
  bool HasLines() const;
  void ApplyStyle();

  TreeModel* model_;
  TreeItemView* view_;
  std::vector<Node*> roots_;
  Node* selected_ = nullptr;
  Node* dropHighlight_ = nullptr;
  bool sorted_ = false;
  int style_ = tvwTreelinesPlusMinusPictureText;
  int lineStyle_ = tvwRootLines;
  ImageList* imageList_ = nullptr;
  ImageList* stateImageList_ = nullptr;
  QString pathSeparator_ = QStringLiteral("\\");
  COLORREF backColor_ = RGB(255, 255, 255);
  bool syncing_ = false;
  int updating_ = 0;
  // Where the view goes when an update ends (QAbstractItemView::ScrollHint).
  Node* scrollTarget_ = nullptr;
  int scrollHint_ = 0;
  bool scrollQuiet_ = false;
};

}  // namespace ctl
