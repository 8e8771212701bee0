// The tree view control: its item model, the Qt view and delegate that show
// the nodes in the tree's style, hit testing, label editing and the events.
#include "platform/controls/TreeView.h"

#include "platform/CaseRules.h"
#include "platform/controls/TreeViewParts.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimer>

#include <utility>

namespace ctl {

namespace {

constexpr int kIndentation = 19;
constexpr int kLabelPadding = 2;

int Depth(const Node* node) {
  int depth = 0;
  for (const Node* up = node->Parent(); up; up = up->Parent()) ++depth;
  return depth;
}

}  // namespace

// --- TreeModel -------------------------------------------------------------------

QModelIndex TreeModel::IndexOf(const Node* node) const {
  return node ? createIndex(node->row_, 0, const_cast<Node*>(node)) : QModelIndex();
}

void TreeModel::FollowNodes() {
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& index : before) after.append(IndexOf(NodeAt(index)));
  changePersistentIndexList(before, after);
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (tree_->Updating()) return {};
  const std::vector<Node*>& level = tree_->Level(parent.isValid() ? NodeAt(parent) : nullptr);
  if (row < 0 || column != 0 || static_cast<size_t>(row) >= level.size()) return {};
  return createIndex(row, 0, level[static_cast<size_t>(row)]);
}

QModelIndex TreeModel::parent(const QModelIndex& child) const {
  return child.isValid() ? IndexOf(NodeAt(child)->parent_) : QModelIndex();
}

int TreeModel::rowCount(const QModelIndex& parent) const {
  if (tree_->Updating()) return 0;
  return static_cast<int>(tree_->Level(parent.isValid() ? NodeAt(parent) : nullptr).size());
}

int TreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant TreeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole || role == Qt::EditRole) return NodeAt(index)->text_;
  if (role == Qt::ToolTipRole && !tree_->toolTip().isEmpty()) return tree_->toolTip();
  return {};
}

Qt::ItemFlags TreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

// Qt ignores case by Unicode's rules alone; where the user's case rules
// have a dotted capital "İ", the starts are compared in capitals by them, so
// that "ist" reaches "İstanbul". Any other match is Qt's.
QModelIndexList TreeModel::match(const QModelIndex& start, int role, const QVariant& value, int hits,
                                 Qt::MatchFlags flags) const {
  const bool typeAhead = (flags & Qt::MatchTypeMask) == Qt::MatchStartsWith &&
                         !(flags & (Qt::MatchCaseSensitive | Qt::MatchRecursive)) && role == Qt::DisplayRole;
  if (!typeAhead || !start.isValid() || !CaseRules::DottedCapitalI()) {
    return QAbstractItemModel::match(start, role, value, hits, flags);
  }
  const QString typed = CaseRules::Upper(value.toString());
  const QModelIndex parent = start.parent();
  const int rows = rowCount(parent);
  const int looks = flags.testFlag(Qt::MatchWrap) ? rows : rows - start.row();
  QModelIndexList found;
  for (int i = 0; i < looks && (hits < 0 || found.size() < hits); ++i) {
    const QModelIndex row = index((start.row() + i) % rows, 0, parent);
    if (CaseRules::Upper(NodeAt(row)->text_).startsWith(typed)) found << row;
  }
  return found;
}

// --- TreeItemDelegate ------------------------------------------------------------

QFont TreeItemDelegate::NodeFont(const Node* node) const {
  QFont font = tree_->font();
  font.setBold(node->bold_);
  return font;
}

QPixmap TreeItemDelegate::Picture(const Node* node) const {
  if (!tree_->HasPictures() || !tree_->imageList_) return {};
  const QString& key = node->expanded_ && !node->expandedImage_.isEmpty() ? node->expandedImage_ : node->image_;
  const ListImage* image = tree_->imageList_->ListImages.Find(key);
  return image ? image->Picture() : QPixmap();
}

QPixmap TreeItemDelegate::StatePicture(const Node* node) const {
  ImageList* states = tree_->stateImageList_;
  if (!states || node->stateImage_ < 1 || node->stateImage_ > states->ListImages.Count()) return {};
  return states->ListImages.Item(node->stateImage_).Picture();
}

int TreeItemDelegate::IconWidth() const {
  return tree_->HasPictures() && tree_->imageList_ ? tree_->imageList_->ImageWidth() + 2 : 0;
}

int TreeItemDelegate::StateWidth() const {
  return tree_->stateImageList_ ? tree_->stateImageList_->ImageWidth() + 1 : 0;
}

TreeRowLayout TreeItemDelegate::Layout(const Node* node, const QRect& item) const {
  TreeRowLayout layout;
  int x = item.left();
  layout.state = QRect(x, item.top(), StateWidth(), item.height());
  x += StateWidth();
  layout.icon = QRect(x, item.top(), IconWidth(), item.height());
  x += IconWidth();
  const int textWidth = QFontMetrics(NodeFont(node)).horizontalAdvance(node->text_);
  layout.label = QRect(x, item.top(), textWidth + 2 * kLabelPadding, item.height());
  return layout;
}

QSize TreeItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const {
  const Node* node = TreeModel::NodeAt(index);
  const int imageHeight = tree_->imageList_ && tree_->HasPictures() ? tree_->imageList_->ImageHeight() : 0;
  const int height = std::max(imageHeight, QFontMetrics(NodeFont(node)).height()) + 2;
  return QSize(Layout(node, QRect(0, 0, 0, height)).label.right() + 1, height);
}

void TreeItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const Node* node = TreeModel::NodeAt(index);
  const TreeRowLayout layout = Layout(node, option.rect);
  const auto centred = [](const QPixmap& picture, const QRect& box) {
    return QPoint(box.left() + (box.width() - picture.width()) / 2, box.top() + (box.height() - picture.height()) / 2);
  };
  if (const QPixmap state = StatePicture(node); !state.isNull()) {
    painter->drawPixmap(centred(state, layout.state), state);
  }
  if (const QPixmap picture = Picture(node); !picture.isNull()) {
    painter->drawPixmap(centred(picture, layout.icon), picture);
  }
  const bool highlighted =
      tree_->dropHighlight_ ? node == tree_->dropHighlight_ : node == tree_->selected_ && tree_->view_->hasFocus();
  QColor text = ColorRefToQColor(node->foreColor_);
  if (highlighted) {
    painter->fillRect(layout.label, option.palette.color(QPalette::Active, QPalette::Highlight));
    text = option.palette.color(QPalette::Active, QPalette::HighlightedText);
  }
  painter->setFont(NodeFont(node));
  painter->setPen(text);
  painter->drawText(layout.label.adjusted(kLabelPadding, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, node->text_);
}

QWidget* TreeItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
  auto* editor = new QLineEdit(parent);
  editor->setFont(NodeFont(TreeModel::NodeAt(index)));
  return editor;
}

void TreeItemDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* line = static_cast<QLineEdit*>(editor);
  line->setText(TreeModel::NodeAt(index)->text_);
  line->selectAll();
}

void TreeItemDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const {
  // The tree's handler may open a message box; it runs once the editor is gone.
  Node* node = TreeModel::NodeAt(index);
  const QString text = static_cast<QLineEdit*>(editor)->text();
  QTimer::singleShot(0, tree_, [tree = tree_, node, text] { tree->FinishLabelEdit(node, text); });
}

void TreeItemDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const {
  const QRect label = Layout(TreeModel::NodeAt(index), option.rect).label;
  editor->setGeometry(label.left(), label.top(), std::max(label.width() + 40, 80), label.height());
}

// --- TreeItemView ----------------------------------------------------------------

TreeItemView::TreeItemView(TreeView* tree) : QTreeView(tree), tree_(tree), delegate_(new TreeItemDelegate(tree)) {
  setHeaderHidden(true);
  setUniformRowHeights(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The tree paints its selected node itself (the label, while the tree has
  // the focus). The view keeps only a current index: a selection of its own
  // would fill the indent left of a selected child with the highlight colour,
  // a square that stays once the focus has gone (after a drag, say).
  setSelectionMode(QAbstractItemView::NoSelection);
  setIndentation(kIndentation);
  setItemDelegate(delegate_);
  setMouseTracking(true);
}

void TreeItemView::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const {
  const Node* node = TreeModel::NodeAt(index);
  const int column = Depth(node) - (rootIsDecorated() ? 0 : 1);
  if (column < 0) return;
  const QRect own(rect.left() + column * indentation(), rect.top(), indentation(), rect.height());
  if (tree_->HasLines()) DrawLines(painter, own, index);
  if (tree_->HasPlusMinus() && node->Children() > 0) {
    DrawPlusMinus(painter, QRect(own.center().x() - 4, own.center().y() - 4, 9, 9), node->expanded_);
  }
}

void TreeItemView::DrawLines(QPainter* painter, const QRect& own, const QModelIndex& index) const {
  const Node* node = TreeModel::NodeAt(index);
  painter->save();
  painter->setPen(QPen(QColor(160, 160, 160), 1, Qt::DotLine));
  const int x = own.center().x();
  const int y = own.center().y();
  painter->drawLine(x, y, own.right(), y);
  const bool above = node->Parent() || node->Previous();
  painter->drawLine(x, above ? own.top() : y, x, node->Next() ? own.bottom() : y);
  // The lines of the ancestors that have siblings still to come.
  int left = own.left();
  for (const Node* up = node->Parent(); up; up = up->Parent()) {
    left -= indentation();
    if (left < 0) break;
    if (up->Next()) painter->drawLine(left + indentation() / 2, own.top(), left + indentation() / 2, own.bottom());
  }
  painter->restore();
}

void TreeItemView::DrawPlusMinus(QPainter* painter, const QRect& box, bool expanded) const {
  painter->save();
  painter->setPen(QColor(128, 128, 128));
  painter->fillRect(box, Qt::white);
  painter->drawRect(box.adjusted(0, 0, -1, -1));
  painter->setPen(Qt::black);
  const QPoint centre(box.left() + 4, box.top() + 4);
  painter->drawLine(centre.x() - 2, centre.y(), centre.x() + 2, centre.y());
  if (!expanded) painter->drawLine(centre.x(), centre.y() - 2, centre.x(), centre.y() + 2);
  painter->restore();
}

void TreeItemView::mousePressEvent(QMouseEvent* event) {
  // Only the left button selects, as in the common control; without
  // plus/minus boxes a press left of an item toggles nothing.
  if (event->button() == Qt::LeftButton) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const bool beforeItem = index.isValid() && event->position().x() < visualRect(index).left();
    if (beforeItem && !tree_->HasPlusMinus()) {
      QAbstractItemView::mousePressEvent(event);
    } else {
      QTreeView::mousePressEvent(event);
    }
  }
  tree_->ViewMousePress(event);
}

void TreeItemView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) QTreeView::mouseReleaseEvent(event);
  tree_->ViewMouseRelease(event);
}

void TreeItemView::mouseMoveEvent(QMouseEvent* event) {
  // A held button does not drag the selection along; it starts the program's drag.
  if (event->buttons() == Qt::NoButton) QTreeView::mouseMoveEvent(event);
  tree_->ViewMouseMove(event);
}

void TreeItemView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) QTreeView::mouseDoubleClickEvent(event);
  tree_->ViewDoubleClick(event);
}

void TreeItemView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTreeView::currentChanged(current, previous);
  tree_->ViewCurrentChanged(current.isValid() ? TreeModel::NodeAt(current) : nullptr);
}

// Qt's view answers every move from no current node with the first node,
// End included.
QModelIndex TreeItemView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
  if (cursorAction == MoveEnd && !currentIndex().isValid()) return LastVisible();
  return QTreeView::moveCursor(cursorAction, modifiers);
}

// Qt's view makes the first node current when the focus arrives and none
// is: the tree would select it unasked (and offer its menu where the user
// meant the empty tree's). Setting no current node first marks the choice
// as made.
void TreeItemView::focusInEvent(QFocusEvent* event) {
  if (!currentIndex().isValid()) setCurrentIndex(QModelIndex());
  QTreeView::focusInEvent(event);
}

// The last node shown: the last root, then the last child of each expanded node.
QModelIndex TreeItemView::LastVisible() const {
  const QAbstractItemModel* nodes = model();
  QModelIndex last;
  for (QModelIndex level; nodes->rowCount(level) > 0 && (!level.isValid() || isExpanded(level));) {
    last = nodes->index(nodes->rowCount(level) - 1, 0, level);
    level = last;
  }
  return last;
}

// --- TreeView --------------------------------------------------------------------

TreeView::TreeView(QWidget* parent) : Control(parent), model_(new TreeModel(this)), view_(new TreeItemView(this)) {
  view_->setModel(model_);
  setFont(QFont(QStringLiteral("Tahoma"), 8));
  SetEventUnits(ScaleUnits::Twips);
  SetClientArea(view_->viewport());
  WatchInput(view_);
  view_->viewport()->setMouseTracking(true);
  setFocusProxy(view_);
  QObject::connect(view_, &QTreeView::expanded, this,
                   [this](const QModelIndex& index) { ViewExpanded(TreeModel::NodeAt(index), true); });
  QObject::connect(view_, &QTreeView::collapsed, this,
                   [this](const QModelIndex& index) { ViewExpanded(TreeModel::NodeAt(index), false); });
  ApplyStyle();
  SetBackColor(backColor_);
}

TreeView::~TreeView() {
  // The view goes first, so it never asks the model about nodes being freed.
  delete view_;
  view_ = nullptr;
}

bool TreeView::HasPictures() const {
  return style_ == tvwPictureText || style_ == tvwPlusPictureText || style_ == tvwTreelinesPictureText ||
         style_ == tvwTreelinesPlusMinusPictureText;
}

bool TreeView::HasPlusMinus() const {
  return style_ == tvwPlusMinusText || style_ == tvwPlusPictureText || style_ == tvwTreelinesPlusMinusText ||
         style_ == tvwTreelinesPlusMinusPictureText;
}

bool TreeView::HasLines() const { return style_ >= tvwTreelinesText; }

void TreeView::ApplyStyle() {
  view_->setRootIsDecorated((HasLines() || HasPlusMinus()) && lineStyle_ == tvwRootLines);
  view_->doItemsLayout();
  view_->viewport()->update();
}

void TreeView::SetStyle(int style) {
  style_ = style;
  ApplyStyle();
}

void TreeView::SetLineStyle(int lineStyle) {
  lineStyle_ = lineStyle;
  ApplyStyle();
}

void TreeView::SetImageList(ImageList* images) {
  imageList_ = images;
  ApplyStyle();
}

void TreeView::SetStateImageList(ImageList* images) {
  stateImageList_ = images;
  ApplyStyle();
}

void TreeView::SetBackColor(COLORREF colour) {
  backColor_ = colour;
  QPalette palette = view_->palette();
  palette.setColor(QPalette::Base, ColorRefToQColor(colour));
  view_->setPalette(palette);
}

QWidget* TreeView::Viewport() const { return view_->viewport(); }

QRect TreeView::NodeRect(const Node* node) const {
  return node && !Updating() ? view_->visualRect(model_->IndexOf(node)) : QRect();
}

void TreeView::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) ApplyStyle();
}

void TreeView::SetSelectedItem(Node* node) {
  selected_ = node;
  if (Updating()) {
    if (node) ScrollToNode(node, QAbstractItemView::EnsureVisible, true);
    return;
  }
  syncing_ = true;
  if (node) {
    view_->setCurrentIndex(model_->IndexOf(node));
    view_->scrollTo(model_->IndexOf(node));
  } else {
    view_->setCurrentIndex(QModelIndex());
  }
  syncing_ = false;
  view_->viewport()->update();
}

void TreeView::SetDropHighlight(Node* node) {
  dropHighlight_ = node;
  view_->viewport()->update();
}

void TreeView::NodeChanged(Node* node) {
  if (Updating()) return;
  const QModelIndex index = model_->IndexOf(node);
  emit model_->dataChanged(index, index);
}

void TreeView::ApplyExpanded(Node* node) {
  if (node->children_.empty() || Updating()) return;
  syncing_ = true;
  view_->setExpanded(model_->IndexOf(node), node->expanded_);
  syncing_ = false;
}

void TreeView::ViewExpanded(Node* node, bool expanded) {
  if (syncing_ || node->expanded_ == expanded) return;
  node->expanded_ = expanded;
  Raise(expanded ? Expand : Collapse, node);
}

void TreeView::ViewCurrentChanged(Node* node) {
  if (!syncing_) selected_ = node;
}

Node* TreeView::HitTestInfo(int x, int y, int* flags) const {
  const QModelIndex index = view_->indexAt(QPoint(x, y));
  int hit = tvhtNowhere;
  Node* node = index.isValid() ? TreeModel::NodeAt(index) : nullptr;
  if (node) {
    const QRect item = view_->visualRect(index);
    const TreeRowLayout layout = view_->Delegate()->Layout(node, item);
    if (x < item.left()) {
      const bool onButton = HasPlusMinus() && node->Children() > 0 && x >= item.left() - view_->indentation();
      hit = onButton ? tvhtOnItemButton : tvhtOnItemIndent;
    } else if (layout.state.width() > 0 && layout.state.contains(x, y)) {
      hit = tvhtOnItemStateIcon;
    } else if (layout.icon.width() > 0 && layout.icon.contains(x, y)) {
      hit = tvhtOnItemIcon;
    } else if (layout.label.contains(x, y)) {
      hit = tvhtOnItemLabel;
    } else {
      hit = tvhtOnItemRight;
    }
  }
  if (flags) *flags = hit;
  return node;
}

Node* TreeView::HitTest(double x, double y) const {
  int flags = 0;
  Node* node = HitTestInfo(UnitsToPixelsX(x, ScaleUnits::Twips), UnitsToPixelsY(y, ScaleUnits::Twips), &flags);
  return flags & (tvhtOnItemStateIcon | tvhtOnItemIcon | tvhtOnItemLabel) ? node : nullptr;
}

void TreeView::StartLabelEdit() {
  if (!selected_ || Updating()) return;
  int cancel = 0;
  Raise(BeforeLabelEdit, cancel);
  if (cancel) return;
  view_->setFocus();
  view_->edit(model_->IndexOf(selected_));
}

void TreeView::FinishLabelEdit(Node* node, const QString& text) {
  const bool exists = std::any_of(Nodes.begin(), Nodes.end(), [&](const auto& owned) { return owned.get() == node; });
  if (!exists) return;
  int cancel = 0;
  QString newString = text;
  Raise(AfterLabelEdit, cancel, newString);
  // A cancelled edit leaves whatever text the handler gave the node.
  if (!cancel) node->SetText(newString);
}

void TreeView::SetFirstVisible(Node* node) {
  if (node) ScrollToNode(node, QAbstractItemView::PositionAtTop);
}

void TreeView::ScrollToNode(Node* node, int hint, bool quiet) {
  if (Updating()) {
    scrollTarget_ = node;
    scrollHint_ = hint;
    scrollQuiet_ = quiet;
    return;
  }
  const bool wasSyncing = std::exchange(syncing_, syncing_ || quiet);
  view_->scrollTo(model_->IndexOf(node), static_cast<QAbstractItemView::ScrollHint>(hint));
  syncing_ = wasSyncing;
}

void TreeView::BeginUpdate() {
  if (updating_++ > 0) return;
  // Only a view scrolled down keeps its place: the node first shown goes back to the top.
  scrollTarget_ = nullptr;
  if (view_->verticalScrollBar()->value() > 0) {
    const QModelIndex first = view_->indexAt(QPoint(1, 1));
    if (first.isValid()) {
      scrollTarget_ = TreeModel::NodeAt(first);
      scrollHint_ = QAbstractItemView::PositionAtTop;
      scrollQuiet_ = false;
    }
  }
  // The view lets go of every node now, so nothing it keeps can point at a
  // node removed meanwhile; the current node must outlive the reset.
  syncing_ = true;
  model_->beginResetModel();
  model_->endResetModel();
  syncing_ = false;
}

void TreeView::EndUpdate() {
  if (updating_ == 0 || --updating_ > 0) return;
  syncing_ = true;
  model_->beginResetModel();
  model_->endResetModel();
  syncing_ = false;
  ShowUpdatedNodes();
}

void TreeView::ShowUpdatedNodes() {
  // Parents come before their children in the collection, so an expanded
  // child is opened after its parent.
  for (const auto& node : Nodes) {
    if (node->expanded_) ApplyExpanded(node.get());
  }
  syncing_ = true;
  if (selected_) view_->setCurrentIndex(model_->IndexOf(selected_));
  syncing_ = false;
  if (Node* target = std::exchange(scrollTarget_, nullptr)) ScrollToNode(target, scrollHint_, scrollQuiet_);
  view_->viewport()->update();
}

void TreeView::ScrollLines(int lines) {
  const auto action = lines < 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd;
  for (int i = 0; i < std::abs(lines); ++i) view_->verticalScrollBar()->triggerAction(action);
}

void TreeView::ViewMousePress(QMouseEvent* event) {
  RaiseMousePress(event, view_->viewport());
  if (event->button() != Qt::LeftButton) return;
  int flags = 0;
  const QPoint at = event->position().toPoint();
  Node* node = HitTestInfo(at.x(), at.y(), &flags);
  if (node && (flags & (tvhtOnItemStateIcon | tvhtOnItemIcon | tvhtOnItemLabel))) Raise(NodeClick, node);
}

void TreeView::ViewMouseRelease(QMouseEvent* event) { RaiseMouseRelease(event, view_->viewport()); }

void TreeView::ViewMouseMove(QMouseEvent* event) { RaiseMouse(MouseMove, event, view_->viewport()); }

void TreeView::ViewDoubleClick(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Raise(DblClick);
}

void TreeView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  view_->setGeometry(rect());
}

}  // namespace ctl
