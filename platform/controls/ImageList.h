#pragma once
// The keyed picture store of toolbars, menus, the tree and the drag icons:
// ListImages found by key (exact text) or by 1-based index, in the order
// they were added.
#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

#include <memory>
#include <variant>
#include <vector>

namespace ctl {

// An item of a keyed collection is named by its key or by its 1-based index.
using ItemRef = std::variant<int, QString>;

class ListImage {
 public:
  int Index() const { return index_; }
  const QString& Key() const { return key_; }
  const QPixmap& Picture() const { return picture_; }
  void SetPicture(const QPixmap& picture) { picture_ = picture; }
  const QString& Tag() const { return tag_; }
  void SetTag(const QString& tag) { tag_ = tag; }
  QIcon ExtractIcon() const { return QIcon(picture_); }

 private:
  friend class ListImageCollection;
  int index_ = 0;
  QString key_;
  QPixmap picture_;
  QString tag_;
};

class ListImageCollection {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Adds at the end (index 0) or before the given 1-based index. An empty key
  // leaves the image reachable by index only; a used key raises 35602.
  ListImage& Add(int index, const QString& key, const QPixmap& picture);
  ListImage& Add(const QString& key, const QPixmap& picture) { return Add(0, key, picture); }
  // A missing key raises 35601, an index out of range 35600.
  ListImage& Item(const ItemRef& ref) { return *items_[Position(ref)]; }
  const ListImage& Item(const ItemRef& ref) const { return *items_[Position(ref)]; }
  ListImage& operator()(const ItemRef& ref) { return Item(ref); }
  const ListImage& operator()(const ItemRef& ref) const { return Item(ref); }
  const ListImage* Find(const QString& key) const;
  bool Exists(const QString& key) const { return Find(key) != nullptr; }
  void Remove(const ItemRef& ref);
  void Clear() { items_.clear(); }

 private:
  size_t Position(const ItemRef& ref) const;
  void Renumber();

  std::vector<std::unique_ptr<ListImage>> items_;
};

class ImageList {
 public:
  ListImageCollection ListImages;

  int ImageWidth() const { return width_; }
  int ImageHeight() const { return height_; }
  void SetImageSize(int width, int height);
  // The picture of a key or index; a missing one raises as Item does.
  QPixmap Picture(const ItemRef& ref) const { return ListImages.Item(ref).Picture(); }
  QIcon ExtractIcon(const ItemRef& ref) const { return ListImages.Item(ref).ExtractIcon(); }
  // The picture as a drag cursor, hot spot in the middle.
  QCursor DragCursor(const ItemRef& ref) const;

 private:
  int width_ = 16;
  int height_ = 16;
};

}  // namespace ctl
