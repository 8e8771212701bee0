#include "ui/PictureFit.h"

#include <algorithm>
#include <cmath>

QRectF FitPictureInBox(QSizeF display, const QRectF& box) {
  if (display.isEmpty() || box.isEmpty()) return box;
  const double scale = std::min(box.width() / display.width(), box.height() / display.height());
  // A side within a pixel of the box's (a 4:3 picture in a 100 x 75 box)
  // takes the box's, so that no hairline bar shows.
  const auto side = [](double fitted, double whole) {
    return whole - fitted < 1 ? whole : std::max(1.0, std::round(fitted));
  };
  const double width = side(display.width() * scale, box.width());
  const double height = side(display.height() * scale, box.height());
  return {box.x() + std::floor((box.width() - width) / 2), box.y() + std::floor((box.height() - height) / 2), width,
          height};
}
