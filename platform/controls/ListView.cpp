#include "platform/controls/ListView.h"

#include "platform/controls/TextInk.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QResizeEvent>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <algorithm>

namespace ctl {

namespace {

constexpr double kDefaultColumnWidth = 100;

// Each row as much higher than its text as the marks of its own text reach
// beyond the font's ascent or descent, alike above and below, the text
// centred: accents over capitals ("\u00C9t\u00E9", "\u1ED6"), Thai tone marks
// and the tops of Devanagari rise above the ascent of many fonts (the
// program's Tahoma among them), and a row of the font's height cut them.
class MarkRoomDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QVariant font = index.data(Qt::FontRole);
    const QFont shown = font.isValid() ? font.value<QFont>() : option.font;
    const QString text = index.data(Qt::DisplayRole).toString();
    const int room = std::max(InkAboveAscent(shown, text), InkBelowDescent(shown, text));
    return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 2 * room);
  }
};

}  // namespace

// The rows of the list for its view: column 0 the item's text, column k its
// sub-item k with that sub-item's colour, weight and tool tip.
class ListViewModel : public QAbstractTableModel {
 public:
  explicit ListViewModel(ListView* list) : QAbstractTableModel(list), list_(list) {}

  using QAbstractTableModel::beginInsertRows;
  using QAbstractTableModel::beginRemoveRows;
  using QAbstractTableModel::beginResetModel;
  using QAbstractTableModel::endInsertRows;
  using QAbstractTableModel::endRemoveRows;
  using QAbstractTableModel::endResetModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : list_->ListItems.Count();
  }
  int columnCount(const QModelIndex& parent = QModelIndex()) const override {
    return parent.isValid() ? 0 : std::max(1, list_->ColumnHeaders.Count());
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= list_->ColumnHeaders.Count()) {
      return {};
    }
    return list_->ColumnHeaders.Item(section + 1).Text();
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    const ListItem& item = list_->ListItems.Item(index.row() + 1);
    if (role == Qt::TextAlignmentRole) return ColumnAlignment(index.column());
    if (index.column() == 0) return ItemData(item, role);
    if (index.column() > item.ListSubItems.Count()) return {};
    const ListSubItem& sub = item.ListSubItems.Item(index.column());
    switch (role) {
      case Qt::DisplayRole:
        return sub.Text();
      case Qt::ForegroundRole:
        return ColorRefToQColor(sub.ForeColor());
      case Qt::ToolTipRole:
        return sub.ToolTipText().isEmpty() ? QVariant() : QVariant(sub.ToolTipText());
      case Qt::FontRole: {
        QFont font = list_->font();
        font.setBold(sub.Bold());
        return font;
      }
      default:
        return {};
    }
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (list_->checkboxes_ && index.column() == 0) flags |= Qt::ItemIsUserCheckable;
    return flags;
  }
  // The user's toggle of a check box: the item takes it, then ItemCheck,
  // under the control's guard as every event of a control is.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (!index.isValid() || role != Qt::CheckStateRole || !list_->checkboxes_) return false;
    ListItem& item = list_->ListItems.Item(index.row() + 1);
    item.SetChecked(value.toInt() == Qt::Checked);
    list_->Raise(list_->ItemCheck, item);
    return true;
  }
  void RowChanged(int row) { emit dataChanged(index(row, 0), index(row, columnCount() - 1)); }

 private:
  QVariant ItemData(const ListItem& item, int role) const {
    switch (role) {
      case Qt::DisplayRole:
        return item.Text();
      case Qt::ForegroundRole:
        return item.foreColorSet_ ? QVariant(ColorRefToQColor(item.ForeColor())) : QVariant();
      case Qt::CheckStateRole:
        return list_->checkboxes_ ? QVariant(item.Checked() ? Qt::Checked : Qt::Unchecked) : QVariant();
      default:
        return {};
    }
  }
  QVariant ColumnAlignment(int column) const {
    if (column >= list_->ColumnHeaders.Count()) return {};
    const int alignment = list_->ColumnHeaders.Item(column + 1).Alignment();
    const Qt::Alignment horizontal = alignment == 2 ? Qt::AlignHCenter : alignment == 1 ? Qt::AlignRight : Qt::AlignLeft;
    return QVariant::fromValue(horizontal | Qt::AlignVCenter);
  }

  ListView* list_;
};

// --- sub-items -----------------------------------------------------------------------

void ListSubItem::SetText(const QString& text) {
  text_ = text;
  item_->Changed();
}

void ListSubItem::SetForeColor(COLORREF colour) {
  foreColor_ = colour;
  item_->Changed();
}

void ListSubItem::SetBold(bool bold) {
  bold_ = bold;
  item_->Changed();
}

ListSubItem& ListSubItemCollection::Add(int index, const QString& key, const QString& text) {
  auto sub = std::make_unique<ListSubItem>();
  sub->item_ = item_;
  sub->text_ = text;
  ListSubItem& added = Insert(index, key, std::move(sub));
  item_->Changed();
  return added;
}

// --- items -------------------------------------------------------------------------

void ListItem::Changed() {
  if (Index() > 0) list_->ItemChanged(*this);
}

void ListItem::SetText(const QString& text) {
  text_ = text;
  Changed();
}

void ListItem::SetChecked(bool checked) {
  checked_ = checked;
  Changed();
}

void ListItem::SetForeColor(COLORREF colour) {
  foreColor_ = colour;
  foreColorSet_ = true;
  Changed();
}

bool ListItem::Selected() const { return list_->view_->selectionModel()->isRowSelected(Index() - 1, QModelIndex()); }

void ListItem::SetSelected(bool selected) {
  const QModelIndex index = list_->model_->index(Index() - 1, 0);
  QItemSelectionModel* selection = list_->view_->selectionModel();
  if (!selected) {
    selection->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    return;
  }
  // Selecting an item also gives it the focus, from where the list's own
  // arrow keys go on.
  const auto flags = list_->multiSelect_ ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect;
  selection->setCurrentIndex(index, flags | QItemSelectionModel::Rows);
}

QString ListItem::SubItems(int index) const {
  return index >= 1 && index <= ListSubItems.Count() ? ListSubItems.Item(index).Text() : QString();
}

void ListItem::SetSubItems(int index, const QString& text) {
  while (ListSubItems.Count() < index) ListSubItems.Add();
  ListSubItems.Item(index).SetText(text);
}

ListItem& ListItemCollection::Add(int index, const QString& key, const QString& text) {
  const size_t position = NewPosition(index, key);
  auto item = std::make_unique<ListItem>(list_);
  item->text_ = text;
  const int row = static_cast<int>(position);
  list_->model_->beginInsertRows(QModelIndex(), row, row);
  ListItem& added = Place(position, key, std::move(item));
  list_->model_->endInsertRows();
  return added;
}

void ListItemCollection::Remove(const ItemRef& ref) {
  const int row = static_cast<int>(Position(ref));
  list_->model_->beginRemoveRows(QModelIndex(), row, row);
  Erase(static_cast<size_t>(row));
  list_->model_->endRemoveRows();
}

void ListItemCollection::Clear() {
  list_->model_->beginResetModel();
  items_.clear();
  list_->model_->endResetModel();
}

// --- column headers -------------------------------------------------------------------

ColumnHeader& ColumnHeaderCollection::Add(int index, const QString& key, const QString& text, double width) {
  const size_t position = NewPosition(index, key);
  auto header = std::make_unique<ColumnHeader>();
  header->text_ = text;
  header->width_ = width < 0 ? kDefaultColumnWidth : width;
  list_->model_->beginResetModel();
  ColumnHeader& added = Place(position, key, std::move(header));
  list_->model_->endResetModel();
  list_->ApplyColumns();
  return added;
}

void ColumnHeaderCollection::SetWidth(int index, double width) {
  Item(index).width_ = width;
  list_->ApplyColumns();
}

void ColumnHeaderCollection::Clear() {
  list_->model_->beginResetModel();
  items_.clear();
  list_->model_->endResetModel();
}

// --- ListView --------------------------------------------------------------------------

ListView::ListView(QWidget* parent) : Control(parent), model_(new ListViewModel(this)), view_(new QTreeView(this)) {
  view_->setModel(model_);
  view_->setItemDelegate(new MarkRoomDelegate(view_));
  view_->setRootIsDecorated(false);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFont(QFont(QStringLiteral("Tahoma"), 8));
  SetEventUnits(ScaleUnits::Twips);
  SetClientArea(view_->viewport());
  WatchInput(view_);
  WatchInput(view_->viewport());
  setFocusProxy(view_);
  ApplyBackground();
}

ListView::~ListView() {
  delete view_;
  view_ = nullptr;
}

void ListView::ItemChanged(const ListItem& item) { model_->RowChanged(item.Index() - 1); }

ListItem* ListView::SelectedItem() const {
  const QModelIndex current = view_->currentIndex();
  if (current.isValid() && view_->selectionModel()->isRowSelected(current.row(), QModelIndex())) {
    return &ListItems.Item(current.row() + 1);
  }
  const QModelIndexList rows = view_->selectionModel()->selectedRows();
  return rows.isEmpty() ? nullptr : &ListItems.Item(rows.first().row() + 1);
}

void ListView::SetSelectedItem(ListItem* item) {
  if (!item) {
    view_->selectionModel()->clearSelection();
    return;
  }
  view_->selectionModel()->setCurrentIndex(model_->index(item->Index() - 1, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::SetMultiSelect(bool multiSelect) {
  multiSelect_ = multiSelect;
  view_->setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void ListView::SetCheckboxes(bool checkboxes) {
  model_->beginResetModel();
  checkboxes_ = checkboxes;
  model_->endResetModel();
}

void ListView::SetHideColumnHeaders(bool hide) {
  hideHeaders_ = hide;
  view_->setHeaderHidden(hide);
}

void ListView::SetPicture(const QPixmap& picture) {
  picture_ = picture;
  ApplyBackground();
}

void ListView::SetBackColor(COLORREF colour) {
  backColor_ = colour;
  ApplyBackground();
}

void ListView::ApplyBackground() {
  QPalette palette = view_->palette();
  palette.setBrush(QPalette::Base, picture_.isNull() ? QBrush(ColorRefToQColor(backColor_)) : QBrush(picture_));
  view_->setPalette(palette);
}

// A column made 0 wide is not shown at all: the header would still give it
// its smallest section.
void ListView::ApplyColumns() {
  for (int c = 0; c < ColumnHeaders.Count(); ++c) {
    const int width = static_cast<int>(ColumnHeaders.Item(c + 1).Width());
    view_->setColumnHidden(c, width <= 0);
    if (width > 0) view_->setColumnWidth(c, width);
  }
}

ListItem* ListView::HitTest(double x, double y) const {
  const QModelIndex index =
      view_->indexAt(QPoint(UnitsToPixelsX(x, ScaleUnits::Twips), UnitsToPixelsY(y, ScaleUnits::Twips)));
  return index.isValid() ? &ListItems.Item(index.row() + 1) : nullptr;
}

// Rows differ in height by the marks of their text: the rows that lie whole
// in the view, and below the last as many more as rows of the lowest fit.
int ListView::CountPerPage() const {
  const int room = view_->viewport()->height();
  const int column = std::max(0, view_->header()->logicalIndexAt(0));
  int count = 0;
  int bottom = 0;
  int lowest = fontMetrics().height() + 2;
  for (int row = 0; row < model_->rowCount(); ++row) {
    const QRect rect = view_->visualRect(model_->index(row, column));
    if (rect.bottom() >= room) return count;
    if (rect.top() < 0) continue;
    lowest = count == 0 ? rect.height() : std::min(lowest, rect.height());
    bottom = rect.bottom() + 1;
    ++count;
  }
  return count + std::max(0, room - bottom) / std::max(1, lowest);
}

void ListView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  view_->setGeometry(rect());
}

}  // namespace ctl
