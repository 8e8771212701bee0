#include "platform/controls/ImageCombo.h"

#include "platform/controls/ControlErrors.h"

#include <QComboBox>
#include <QLineEdit>
#include <QResizeEvent>

namespace ctl {

namespace {

const QString kSource = QStringLiteral("ComboItems");

}  // namespace

// --- ComboItem ---------------------------------------------------------------------

void ComboItem::SetText(const QString& text) {
  text_ = text;
  combo_->box_->setItemText(index_ - 1, text);
}

void ComboItem::SetImage(const QString& imageKey) {
  image_ = imageKey;
  combo_->box_->setItemIcon(index_ - 1, combo_->Icon(imageKey));
}

bool ComboItem::Selected() const { return combo_->box_->currentIndex() == index_ - 1; }

void ComboItem::SetSelected(bool selected) {
  if (selected) {
    combo_->box_->setCurrentIndex(index_ - 1);
  } else if (Selected()) {
    combo_->box_->setCurrentIndex(-1);
  }
}

// --- ComboItemCollection -------------------------------------------------------------

ComboItem& ComboItemCollection::Add(int index, const QString& key, const QString& text, const QString& image) {
  if (!key.isEmpty() &&
      std::any_of(items_.begin(), items_.end(), [&](const auto& item) { return item->key_ == key; })) {
    RaiseControlError(kErrKeyNotUnique, kSource);
  }
  if (index < 0 || index > Count() + 1) RaiseControlError(kErrIndexOutOfBounds, kSource);
  auto item = std::make_unique<ComboItem>();
  item->combo_ = combo_;
  item->key_ = key;
  item->text_ = text;
  item->image_ = image;
  const int at = index == 0 ? Count() : index - 1;
  ComboItem& added = **items_.insert(items_.begin() + at, std::move(item));
  Renumber();
  const QString edit = combo_->box_->currentText();
  combo_->box_->insertItem(at, combo_->Icon(image), text);
  // Adding an item leaves the edit text and the selection as they were.
  if (combo_->box_->count() == 1) {
    combo_->box_->setCurrentIndex(-1);
    combo_->box_->setEditText(edit);
  }
  return added;
}

size_t ComboItemCollection::Position(const ItemRef& ref) const {
  if (const int* index = std::get_if<int>(&ref)) {
    if (*index < 1 || *index > Count()) RaiseControlError(kErrIndexOutOfBounds, kSource);
    return static_cast<size_t>(*index - 1);
  }
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i]->key_ == std::get<QString>(ref)) return i;
  }
  RaiseControlError(kErrElementNotFound, kSource);
}

ComboItem& ComboItemCollection::Item(const ItemRef& ref) const { return *items_[Position(ref)]; }

void ComboItemCollection::Remove(const ItemRef& ref) {
  const size_t at = Position(ref);
  combo_->box_->removeItem(static_cast<int>(at));
  items_.erase(items_.begin() + static_cast<ptrdiff_t>(at));
  Renumber();
}

void ComboItemCollection::Clear() {
  combo_->box_->clear();
  items_.clear();
}

void ComboItemCollection::Renumber() {
  for (size_t i = 0; i < items_.size(); ++i) items_[i]->index_ = static_cast<int>(i) + 1;
}

// --- ImageCombo ----------------------------------------------------------------------

ImageCombo::ImageCombo(QWidget* parent) : Control(parent), box_(new QComboBox(this)) {
  box_->setEditable(true);
  box_->lineEdit()->setReadOnly(true);
  box_->setInsertPolicy(QComboBox::NoInsert);
  box_->setMaxVisibleItems(20);
  setFont(QFont(QStringLiteral("Tahoma"), 8));
  setFocusProxy(box_);
  WatchInput(box_);
  QObject::connect(box_, &QComboBox::activated, this, [this] { Raise(Click); });
  ApplyColours();
}

QIcon ImageCombo::Icon(const QString& imageKey) const {
  if (!imageList_ || imageKey.isEmpty()) return {};
  const ListImage* image = imageList_->ListImages.Find(imageKey);
  return image ? image->ExtractIcon() : QIcon();
}

ComboItem* ImageCombo::SelectedItem() const {
  const int current = box_->currentIndex();
  return current >= 0 && current < ComboItems.Count() ? ComboItems.items_[static_cast<size_t>(current)].get()
                                                       : nullptr;
}

void ImageCombo::SetSelectedItem(ComboItem* item) { box_->setCurrentIndex(item ? item->index_ - 1 : -1); }

int ImageCombo::SelectedIndex() const {
  const ComboItem* item = SelectedItem();
  if (!item) RaiseControlError(kErrObjectNotSet, QStringLiteral("ImageCombo"));
  return item->index_;
}

QString ImageCombo::Text() const { return box_->currentText(); }

void ImageCombo::SetText(const QString& text) { box_->setEditText(text); }

void ImageCombo::SetImageList(ImageList* images) {
  imageList_ = images;
  for (const auto& item : ComboItems.items_) box_->setItemIcon(item->index_ - 1, Icon(item->image_));
}

void ImageCombo::ApplyColours() {
  QPalette palette = box_->palette();
  palette.setColor(QPalette::Text, ColorRefToQColor(foreColor_));
  palette.setColor(QPalette::Base, ColorRefToQColor(backColor_));
  box_->setPalette(palette);
}

void ImageCombo::SetForeColor(COLORREF colour) {
  foreColor_ = colour;
  ApplyColours();
}

void ImageCombo::SetBackColor(COLORREF colour) {
  backColor_ = colour;
  ApplyColours();
}

void ImageCombo::SetFontSize(double points) {
  QFont changed = font();
  changed.setPointSizeF(points);
  setFont(changed);
}

void ImageCombo::SetFontName(const QString& name) {
  QFont changed = font();
  changed.setFamily(name);
  setFont(changed);
}

void ImageCombo::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  box_->setGeometry(rect());
}

}  // namespace ctl
