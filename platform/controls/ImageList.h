#pragma once
// The keyed picture store of toolbars, menus, the tree and the drag icons:
// ListImages found by key (exact text) or by 1-based index, in the order
// they were added.
#include "platform/controls/ItemCollection.h"

#include <QCursor>
#include <QIcon>
#include <QPixmap>

namespace ctl {

class ListImage : public KeyedItem {
 public:
  const QPixmap& Picture() const { return picture_; }
  void SetPicture(const QPixmap& picture) { picture_ = picture; }
  const QString& Tag() const { return tag_; }
  void SetTag(const QString& tag) { tag_ = tag; }
  QIcon ExtractIcon() const { return QIcon(picture_); }

 private:
  friend class ListImageCollection;
  QPixmap picture_;
  QString tag_;
};

class ListImageCollection : public ItemCollection<ListImage> {
 public:
  ListImageCollection() : ItemCollection(QStringLiteral("ListImages")) {}

  // Adds at the end (index 0) or before the given 1-based index. An empty key
  // leaves the image reachable by index only.
  ListImage& Add(int index, const QString& key, const QPixmap& picture);
  ListImage& Add(const QString& key, const QPixmap& picture) { return Add(0, key, picture); }
  void Remove(const ItemRef& ref) { Erase(Position(ref)); }
  void Clear() { items_.clear(); }
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
