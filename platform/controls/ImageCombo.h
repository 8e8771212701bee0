#pragma once
// The image combo: an edit field over a list of items, each with a text and
// a picture of the combo's image list by key. Choosing an item in the list
// raises Click; selecting one by code raises nothing. With no item selected,
// SelectedItem is nullptr and SelectedIndex raises error 91 (object not set),
// which callers expect of a missing selection. The edit shows its text
// from the first letter, however far the text runs past its right edge.
#include "platform/ColorRef.h"
#include "platform/controls/Control.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/ItemCollection.h"

class QComboBox;

namespace ctl {

class ImageCombo;

class ComboItem : public KeyedItem {
 public:
  const QString& Text() const { return text_; }
  void SetText(const QString& text);
  const QString& Image() const { return image_; }
  void SetImage(const QString& imageKey);
  const QString& Tag() const { return tag_; }
  void SetTag(const QString& tag) { tag_ = tag; }
  bool Selected() const;
  void SetSelected(bool selected);

 private:
  friend class ComboItemCollection;
  friend class ImageCombo;
  ImageCombo* combo_ = nullptr;
  QString text_;
  QString image_;
  QString tag_;
};

class ComboItemCollection : public ItemCollection<ComboItem> {
 public:
  explicit ComboItemCollection(ImageCombo* combo) : ItemCollection(QStringLiteral("ComboItems")), combo_(combo) {}

  // Adds at the end (index 0) or before the 1-based index.
  ComboItem& Add(int index, const QString& key, const QString& text, const QString& image = QString());
  void Remove(const ItemRef& ref);
  void Clear();

 private:
  friend class ImageCombo;
  ImageCombo* combo_;
};

class ImageCombo : public Control {
 public:
  explicit ImageCombo(QWidget* parent = nullptr);

  ComboItemCollection ComboItems{this};

  ComboItem* SelectedItem() const;
  void SetSelectedItem(ComboItem* item);
  // The 1-based index of the selected item; none selected raises error 91.
  int SelectedIndex() const;
  QString Text() const;
  void SetText(const QString& text);
  ImageList* Images() const { return imageList_; }
  void SetImageList(ImageList* images);
  COLORREF ForeColor() const { return foreColor_; }
  void SetForeColor(COLORREF colour);
  COLORREF BackColor() const { return backColor_; }
  void SetBackColor(COLORREF colour);
  // The inner combo box, for the flat border drawing that attaches to it.
  QComboBox* Box() const { return box_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class ComboItem;
  friend class ComboItemCollection;

  QIcon Icon(const QString& imageKey) const;
  // Scrolls the edit back to the first letter of its text.
  void ShowTextStart();
  void ApplyColours();

  QComboBox* box_;
  ImageList* imageList_ = nullptr;
  COLORREF foreColor_ = 0;
  COLORREF backColor_ = RGB(255, 255, 255);
};

}  // namespace ctl
