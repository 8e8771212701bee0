#include "platform/controls/ImageCombo.h"

#include "platform/controls/ControlErrors.h"

#include <QComboBox>
#include <QLineEdit>
#include <QResizeEvent>

namespace ctl {

// --- ComboItem ---------------------------------------------------------------------

void ComboItem::SetText(const QString& text) {
  text_ = text;
  combo_->box_->setItemText(Index() - 1, text);
  combo_->ShowTextStart();
}

void ComboItem::SetImage(const QString& imageKey) {
  image_ = imageKey;
  combo_->box_->setItemIcon(Index() - 1, combo_->Icon(imageKey));
  combo_->ShowTextStart();
}

bool ComboItem::Selected() const { return combo_->box_->currentIndex() == Index() - 1; }

void ComboItem::SetSelected(bool selected) {
  if (selected) {
    combo_->box_->setCurrentIndex(Index() - 1);
  } else if (Selected()) {
    combo_->box_->setCurrentIndex(-1);
  }
}

// --- ComboItemCollection -------------------------------------------------------------

ComboItem& ComboItemCollection::Add(int index, const QString& key, const QString& text, const QString& image) {
  const size_t position = NewPosition(index, key);
  auto item = std::make_unique<ComboItem>();
  item->combo_ = combo_;
  item->text_ = text;
  item->image_ = image;
  ComboItem& added = Place(position, key, std::move(item));
  const QString edit = combo_->box_->currentText();
  combo_->box_->insertItem(static_cast<int>(position), combo_->Icon(image), text);
  // Adding an item leaves the edit text and the selection as they were.
  if (combo_->box_->count() == 1) {
    combo_->box_->setCurrentIndex(-1);
    combo_->box_->setEditText(edit);
    combo_->ShowTextStart();
  }
  return added;
}

void ComboItemCollection::Remove(const ItemRef& ref) {
  const size_t at = Position(ref);
  combo_->box_->removeItem(static_cast<int>(at));
  Erase(at);
}

void ComboItemCollection::Clear() {
  combo_->box_->clear();
  items_.clear();
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
  QObject::connect(box_->lineEdit(), &QLineEdit::textChanged, this, [this] { ShowTextStart(); });
  ApplyColours();
}

// A line edit given a text puts its cursor after the last letter and scrolls
// to keep the cursor in view. A history entry is padded with blanks towards
// its "[...]" count at the right, so it is often a little (or far) wider
// than the edit: scrolled to its end it would lose its first letters. The
// cursor goes back to the start whenever the combo sets a text, even the
// same one again (a changed picture sets the item's text anew).
void ImageCombo::ShowTextStart() { box_->lineEdit()->setCursorPosition(0); }

QIcon ImageCombo::Icon(const QString& imageKey) const {
  if (!imageList_ || imageKey.isEmpty()) return {};
  const ListImage* image = imageList_->ListImages.Find(imageKey);
  return image ? image->ExtractIcon() : QIcon();
}

ComboItem* ImageCombo::SelectedItem() const {
  const int current = box_->currentIndex();
  return current >= 0 && current < ComboItems.Count() ? &ComboItems.Item(current + 1) : nullptr;
}

void ImageCombo::SetSelectedItem(ComboItem* item) { box_->setCurrentIndex(item ? item->Index() - 1 : -1); }

int ImageCombo::SelectedIndex() const {
  const ComboItem* item = SelectedItem();
  if (!item) RaiseControlError(kErrObjectNotSet, QStringLiteral("ImageCombo"));
  return item->Index();
}

QString ImageCombo::Text() const { return box_->currentText(); }

void ImageCombo::SetText(const QString& text) {
  box_->setEditText(text);
  ShowTextStart();
}

void ImageCombo::SetImageList(ImageList* images) {
  imageList_ = images;
  for (const auto& item : ComboItems) box_->setItemIcon(item->Index() - 1, Icon(item->image_));
  ShowTextStart();
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

void ImageCombo::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  box_->setGeometry(rect());
}

}  // namespace ctl
