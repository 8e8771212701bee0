#pragma once
// The image combo: an edit field over a list of items, each with a text and
// a picture of the combo's image list by key. Choosing an item in the list
// raises Click; selecting one by code raises nothing. With no item selected,
// SelectedItem is nullptr and SelectedIndex raises error 91, as reading the
// index of a missing selection does in the design.
#include "platform/ColorRef.h"
#include "platform/controls/Control.h"
#include "platform/controls/ImageList.h"

#include <memory>
#include <vector>

class QComboBox;

namespace ctl {

class ImageCombo;

class ComboItem {
 public:
  int Index() const { return index_; }
  const QString& Key() const { return key_; }
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
  int index_ = 0;
  QString key_;
  QString text_;
  QString image_;
  QString tag_;
};

class ComboItemCollection {
 public:
  explicit ComboItemCollection(ImageCombo* combo) : combo_(combo) {}

  int Count() const { return static_cast<int>(items_.size()); }
  // Adds at the end (index 0) or before the 1-based index; a used key raises 35602.
  ComboItem& Add(int index, const QString& key, const QString& text, const QString& image = QString());
  ComboItem& Item(const ItemRef& ref) const;
  ComboItem& operator()(const ItemRef& ref) const { return Item(ref); }
  void Remove(const ItemRef& ref);
  void Clear();

 private:
  friend class ImageCombo;
  size_t Position(const ItemRef& ref) const;
  void Renumber();

  ImageCombo* combo_;
  std::vector<std::unique_ptr<ComboItem>> items_;
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
  double FontSize() const { return font().pointSizeF(); }
  void SetFontSize(double points);
  QString FontName() const { return font().family(); }
  void SetFontName(const QString& name);
  // The inner combo box, for the flat border drawing that attaches to it.
  QComboBox* Box() const { return box_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class ComboItem;
  friend class ComboItemCollection;

  QIcon Icon(const QString& imageKey) const;
  void ApplyColours();

  QComboBox* box_;
  ImageList* imageList_ = nullptr;
  COLORREF foreColor_ = 0;
  COLORREF backColor_ = RGB(255, 255, 255);
};

}  // namespace ctl
