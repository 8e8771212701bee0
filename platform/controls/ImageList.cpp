#include "platform/controls/ImageList.h"

#include "platform/controls/ControlErrors.h"

namespace ctl {

ListImage& ListImageCollection::Add(int index, const QString& key, const QPixmap& picture) {
  if (!key.isEmpty() && Find(key)) RaiseControlError(kErrKeyNotUnique, QStringLiteral("ListImages"));
  if (index < 0 || index > Count() + 1) RaiseControlError(kErrIndexOutOfBounds, QStringLiteral("ListImages"));
  auto image = std::make_unique<ListImage>();
  image->key_ = key;
  image->picture_ = picture;
  const auto at = index == 0 ? items_.end() : items_.begin() + (index - 1);
  ListImage& added = **items_.insert(at, std::move(image));
  Renumber();
  return added;
}

const ListImage* ListImageCollection::Find(const QString& key) const {
  for (const auto& item : items_) {
    if (item->key_ == key) return item.get();
  }
  return nullptr;
}

void ListImageCollection::Remove(const ItemRef& ref) {
  items_.erase(items_.begin() + static_cast<ptrdiff_t>(Position(ref)));
  Renumber();
}

size_t ListImageCollection::Position(const ItemRef& ref) const {
  if (const int* index = std::get_if<int>(&ref)) {
    if (*index < 1 || *index > Count()) RaiseControlError(kErrIndexOutOfBounds, QStringLiteral("ListImages"));
    return static_cast<size_t>(*index - 1);
  }
  const ListImage* image = Find(std::get<QString>(ref));
  if (!image) RaiseControlError(kErrElementNotFound, QStringLiteral("ListImages"));
  return static_cast<size_t>(image->index_ - 1);
}

void ListImageCollection::Renumber() {
  for (size_t i = 0; i < items_.size(); ++i) items_[i]->index_ = static_cast<int>(i) + 1;
}

void ImageList::SetImageSize(int width, int height) {
  width_ = width;
  height_ = height;
}

QCursor ImageList::DragCursor(const ItemRef& ref) const {
  const QPixmap picture = Picture(ref);
  return QCursor(picture, picture.width() / 2, picture.height() / 2);
}

}  // namespace ctl
