// The nodes of the tree view and the structure changes behind Nodes.Add,
// Remove, Clear, moving and sorting, each kept in step with the item model.
#include "platform/controls/ControlErrors.h"
#include "platform/controls/TreeView.h"
#include "platform/controls/TreeViewParts.h"

#include <algorithm>

namespace ctl {

namespace {

const QString kSource = QStringLiteral("Nodes");

bool NodeBefore(const Node* a, const Node* b) { return TreeView::TextBefore(a->Text(), b->Text()); }

}  // namespace

// Texts are mostly ASCII, which is folded here unit by unit; from the first
// unit that is not, the rest is left to QString::compare (an ASCII unit is a
// whole character, so nothing carries over into the rest).
bool TreeView::TextBefore(QStringView a, QStringView b) {
  const qsizetype common = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < common; ++i) {
    char16_t x = a[i].unicode();
    char16_t y = b[i].unicode();
    if (x >= 0x80 || y >= 0x80) return a.sliced(i).compare(b.sliced(i), Qt::CaseInsensitive) < 0;
    if (x >= u'A' && x <= u'Z') x += u'a' - u'A';
    if (y >= u'A' && y <= u'Z') y += u'a' - u'A';
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

// --- Node ----------------------------------------------------------------------

void Node::Changed() { tree_->NodeChanged(this); }

void Node::SetText(const QString& text) {
  text_ = text;
  Changed();
}

void Node::SetImage(const QString& imageKey) {
  image_ = imageKey;
  Changed();
}

void Node::SetExpandedImage(const QString& imageKey) {
  expandedImage_ = imageKey;
  Changed();
}

void Node::SetBold(bool bold) {
  bold_ = bold;
  Changed();
}

void Node::SetForeColor(COLORREF colour) {
  foreColor_ = colour;
  Changed();
}

bool Node::SetStateImage(int index) {
  stateImage_ = std::max(0, index);
  Changed();
  return true;
}

void Node::SetSorted(bool sorted) {
  sorted_ = sorted;
  if (sorted_) tree_->SortLevel(this);
}

void Node::SetExpanded(bool expanded) {
  if (expanded_ == expanded) return;
  expanded_ = expanded;
  tree_->ApplyExpanded(this);
  tree_->Raise(expanded ? tree_->Expand : tree_->Collapse, this);
}

bool Node::Selected() const { return tree_->selected_ == this; }

void Node::SetSelected(bool selected) {
  if (selected) {
    tree_->SetSelectedItem(this);
  } else if (Selected()) {
    tree_->SetSelectedItem(nullptr);
  }
}

const std::vector<Node*>& Node::Siblings() const { return tree_->Level(parent_); }

Node* Node::Next() const {
  const auto& level = Siblings();
  return static_cast<size_t>(row_) + 1 < level.size() ? level[static_cast<size_t>(row_) + 1] : nullptr;
}

Node* Node::Previous() const { return row_ > 0 ? Siblings()[static_cast<size_t>(row_) - 1] : nullptr; }
Node* Node::FirstSibling() const { return Siblings().front(); }
Node* Node::LastSibling() const { return Siblings().back(); }

Node* Node::Root() const {
  const Node* node = this;
  while (node->parent_) node = node->parent_;
  return node->FirstSibling();
}

QString Node::FullPath() const {
  QString path = text_;
  for (const Node* up = parent_; up; up = up->parent_) path = up->text_ + tree_->pathSeparator_ + path;
  return path;
}

void Node::SetParent(Node* parent) {
  for (const Node* up = parent; up; up = up->parent_) {
    if (up == this) RaiseControlError(kErrInvalidArgument, kSource);  // a node cannot go under itself
  }
  tree_->Move(this, parent);
}

void Node::EnsureVisible() {
  for (Node* up = parent_; up; up = up->parent_) up->SetExpanded(true);
  tree_->ScrollToNode(this, QAbstractItemView::EnsureVisible);
}

// --- NodeCollection --------------------------------------------------------------

void NodeCollection::Reserve(int count) {
  order_.reserve(static_cast<size_t>(std::max(count, 0)));
  byKey_.reserve(std::max(count, 0));
}

Node** NodeCollection::ClaimKey(const QString& key) {
  if (key.isEmpty()) return nullptr;
  // One look-up both tells a used key and makes the new key's entry.
  Node*& slot = byKey_[key];
  if (slot) RaiseControlError(kErrKeyNotUnique, kSource);
  return &slot;
}

Node* NodeCollection::Add(const QString& relative, int relationship, const QString& key, const QString& text,
                          const QString& image) {
  // A used key is told before a missing relative.
  Node** slot = ClaimKey(key);
  Node* anchor = nullptr;
  if (!relative.isEmpty()) {
    anchor = Find(relative);
    if (!anchor) {
      if (slot) byKey_.remove(key);
      RaiseControlError(kErrElementNotFound, kSource);
    }
  }
  return AddNew(anchor, relationship, slot, key, text, image);
}

Node* NodeCollection::Add(Node* anchor, int relationship, const QString& key, const QString& text,
                          const QString& image) {
  return AddNew(anchor, relationship, ClaimKey(key), key, text, image);
}

Node* NodeCollection::AddNew(Node* anchor, int relationship, Node** slot, const QString& key, const QString& text,
                             const QString& image) {
  Node* parent = nullptr;
  size_t position = tree_->roots_.size();
  bool inOrder = tree_->sorted_;
  if (anchor) {
    parent = relationship == tvwChild ? anchor : anchor->parent_;
    const size_t row = static_cast<size_t>(anchor->row_);
    switch (relationship) {
      case tvwChild:
        position = anchor->children_.size();
        break;
      case tvwFirst:
        position = 0;
        break;
      case tvwNext:
        position = row + 1;
        break;
      case tvwPrevious:
        position = row;
        break;
      default:
        position = tree_->Level(parent).size();
        break;
    }
    inOrder = (relationship == tvwChild || relationship == tvwLast) && (parent ? parent->sorted_ : tree_->sorted_);
  }
  auto node = std::make_unique<Node>();
  node->tree_ = tree_;
  node->key_ = key;
  node->text_ = text;
  node->image_ = image;
  Node* added = node.get();
  order_.push_back(std::move(node));
  added->index_ = Count();
  if (slot) *slot = added;
  if (inOrder) position = tree_->SortedPosition(tree_->Level(parent), text);
  tree_->Insert(added, parent, position);
  return added;
}

Node& NodeCollection::Item(const ItemRef& ref) const {
  if (const int* index = std::get_if<int>(&ref)) {
    if (*index < 1 || *index > Count()) RaiseControlError(kErrIndexOutOfBounds, kSource);
    return *order_[static_cast<size_t>(*index - 1)];
  }
  Node* node = Find(std::get<QString>(ref));
  if (!node) RaiseControlError(kErrElementNotFound, kSource);
  return *node;
}

void NodeCollection::Remove(const ItemRef& ref) {
  Node& node = Item(ref);
  // A removed selection passes to the next sibling, else the previous one,
  // else the parent, as in the common control.
  bool selectedInside = false;
  for (const Node* up = tree_->selected_; up; up = up->parent_) selectedInside = selectedInside || up == &node;
  Node* successor = node.Next() ? node.Next() : node.Previous() ? node.Previous() : node.parent_;
  tree_->Detach(&node);
  tree_->Forget(&node);
  Renumber();
  if (selectedInside) tree_->SetSelectedItem(successor);
}

void NodeCollection::Clear() {
  const bool tell = !tree_->Updating();
  if (tell) tree_->model_->beginResetModel();
  tree_->roots_.clear();
  tree_->selected_ = nullptr;
  tree_->dropHighlight_ = nullptr;
  tree_->scrollTarget_ = nullptr;
  byKey_.clear();
  order_.clear();
  if (tell) tree_->model_->endResetModel();
}

void NodeCollection::Renumber() {
  for (size_t i = 0; i < order_.size(); ++i) order_[i]->index_ = static_cast<int>(i) + 1;
}

// --- TreeView structure ----------------------------------------------------------

std::vector<Node*>& TreeView::Level(Node* parent) { return parent ? parent->children_ : roots_; }

size_t TreeView::SortedPosition(const std::vector<Node*>& level, const QString& text) const {
  // After the last node that does not sort after the text, as the common
  // control inserts into a sorted level.
  const auto at = std::upper_bound(level.begin(), level.end(), text, [](const QString& value, const Node* node) {
    return TextBefore(value, node->text_);
  });
  return static_cast<size_t>(at - level.begin());
}

void TreeView::Insert(Node* node, Node* parent, size_t position) {
  std::vector<Node*>& level = Level(parent);
  position = std::min(position, level.size());
  const bool firstChild = parent && level.empty();
  const bool tell = !Updating();
  if (tell) model_->beginInsertRows(model_->IndexOf(parent), static_cast<int>(position), static_cast<int>(position));
  node->parent_ = parent;
  level.insert(level.begin() + static_cast<ptrdiff_t>(position), node);
  for (size_t i = position; i < level.size(); ++i) level[i]->row_ = static_cast<int>(i);
  if (tell) model_->endInsertRows();
  // A node set expanded before it had children opens once it has some.
  if (firstChild && parent->expanded_) ApplyExpanded(parent);
  if (node->expanded_ && !node->children_.empty()) ApplyExpanded(node);
}

void TreeView::Detach(Node* node) {
  std::vector<Node*>& level = Level(node->parent_);
  const int row = node->row_;
  const bool tell = !Updating();
  if (tell) model_->beginRemoveRows(model_->IndexOf(node->parent_), row, row);
  level.erase(level.begin() + row);
  for (size_t i = static_cast<size_t>(row); i < level.size(); ++i) level[i]->row_ = static_cast<int>(i);
  node->parent_ = nullptr;
  if (tell) model_->endRemoveRows();
}

void TreeView::Move(Node* node, Node* parent) {
  std::vector<Node*>& from = Level(node->parent_);
  std::vector<Node*>& to = Level(parent);
  const bool sameLevel = &from == &to;
  const size_t row = static_cast<size_t>(node->row_);
  std::vector<Node*> target = to;
  if (sameLevel) target.erase(target.begin() + static_cast<ptrdiff_t>(row));
  const bool inOrder = parent ? parent->sorted_ : sorted_;
  const size_t position = inOrder ? SortedPosition(target, node->text_) : target.size();
  if (sameLevel && position == row) return;
  // The view keeps the moved subtree's expansion only through a move.
  const int destination = static_cast<int>(sameLevel && position > row ? position + 1 : position);
  const bool firstChild = parent && to.empty();
  const bool tell = !Updating();
  if (tell) {
    model_->beginMoveRows(model_->IndexOf(node->parent_), static_cast<int>(row), static_cast<int>(row),
                          model_->IndexOf(parent), destination);
  }
  from.erase(from.begin() + static_cast<ptrdiff_t>(row));
  to.insert(to.begin() + static_cast<ptrdiff_t>(position), node);
  for (size_t i = 0; i < from.size(); ++i) from[i]->row_ = static_cast<int>(i);
  for (size_t i = 0; i < to.size(); ++i) to[i]->row_ = static_cast<int>(i);
  node->parent_ = parent;
  if (tell) model_->endMoveRows();
  if (firstChild && parent->expanded_) ApplyExpanded(parent);
}

void TreeView::Forget(Node* node) {
  // The node and its subtree leave the collection; the children first.
  for (Node* child : node->children_) Forget(child);
  if (selected_ == node) selected_ = nullptr;
  if (dropHighlight_ == node) dropHighlight_ = nullptr;
  if (scrollTarget_ == node) scrollTarget_ = nullptr;
  auto& order = Nodes.order_;
  const auto it = std::find_if(order.begin(), order.end(), [&](const auto& owned) { return owned.get() == node; });
  if (!node->key_.isEmpty()) Nodes.byKey_.remove(node->key_);
  order.erase(it);
}

void TreeView::SortLevel(Node* parent) { SortLevel(parent, NodeBefore); }

void TreeView::SortLevelBy(Node* parent, const std::function<bool(const Node*, const Node*)>& before) {
  (parent ? parent->sorted_ : sorted_) = true;
  SortLevel(parent, before);
}

template <typename Before>
void TreeView::SortLevel(Node* parent, const Before& before) {
  std::vector<Node*>& level = Level(parent);
  // Levels mostly come in order already (the library's names are read in
  // order): a look over the level then spares the sort.
  if (std::is_sorted(level.begin(), level.end(), before)) return;
  const bool tell = !Updating();
  if (tell) emit model_->layoutAboutToBeChanged({model_->IndexOf(parent)});
  std::stable_sort(level.begin(), level.end(), before);
  for (size_t i = 0; i < level.size(); ++i) level[i]->row_ = static_cast<int>(i);
  if (!tell) return;
  model_->FollowNodes();
  emit model_->layoutChanged({model_->IndexOf(parent)});
}

void TreeView::SetSorted(bool sorted) {
  sorted_ = sorted;
  if (sorted_) SortLevel(nullptr);
}

}  // namespace ctl
