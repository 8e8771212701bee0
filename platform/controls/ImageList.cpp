#include "platform/controls/ImageList.h"

namespace ctl {

ListImage& ListImageCollection::Add(int index, const QString& key, const QPixmap& picture) {
  auto image = std::make_unique<ListImage>();
  image->picture_ = picture;
  return Insert(index, key, std::move(image));
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
