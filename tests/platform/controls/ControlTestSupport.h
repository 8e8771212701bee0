#pragma once
// Helpers of the control tests: an event log, plain pictures, where dark text
// starts in a picture and the number of the error a call raises.
#include "platform/RWError.h"

#include <QColor>
#include <QFontDatabase>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <utility>
#include <string>

namespace rwtest {

// Records the events a control raises, in order, as short texts.
class EventLog {
 public:
  void Add(const QString& entry) { entries_.append(entry); }
  const QStringList& Entries() const { return entries_; }
  std::string Joined() const { return entries_.join(QStringLiteral(" | ")).toStdString(); }
  void Clear() { entries_.clear(); }

 private:
  QStringList entries_;
};

// The rows from the first to the last that hold any dark ink.
inline std::pair<int, int> InkRows(const QImage& image) {
  int first = -1;
  int last = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < 200) {
        if (first < 0) first = y;
        last = y;
        break;
      }
    }
  }
  return {first, last};
}

// The ink rows of `text` drawn freely in black on white with `font`, on a
// baseline 80 pixels down.
inline std::pair<int, int> FreeInkRows(const QFont& font, const QString& text) {
  QImage free(400, 120, QImage::Format_RGB32);
  free.fill(Qt::white);
  QPainter painter(&free);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QPointF(5, 80), text);
  painter.end();
  return InkRows(free);
}

// The program's "Tahoma" (wine's, when installed) while it lives: its
// ascent leaves the accent over "\u00C9" above it.
class WineTahoma {
 public:
  WineTahoma() {
    for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
      const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
      if (id >= 0) ids_.append(id);
    }
  }
  ~WineTahoma() {
    for (int id : ids_) QFontDatabase::removeApplicationFont(id);
  }
  WineTahoma(const WineTahoma&) = delete;
  WineTahoma& operator=(const WineTahoma&) = delete;

 private:
  QList<int> ids_;
};

inline QPixmap Square(const QColor& colour, int width = 16, int height = 16) {
  QPixmap picture(width, height);
  picture.fill(colour);
  return picture;
}

// The first column from `left` to `right` (not included) of a picture with a
// dark pixel, as black text leaves; -1 when there is none. The rows of the
// picture's border (`border` on each side) are left out.
inline int FirstInkColumn(const QImage& picture, int left, int right, int border = 3) {
  for (int x = left; x < right; ++x) {
    for (int y = border; y < picture.height() - border; ++y) {
      const QColor pixel = picture.pixelColor(x, y);
      if (std::max({pixel.red(), pixel.green(), pixel.blue()}) < 110) return x;
    }
  }
  return -1;
}

// The number of the error the call raises; 0 when it raises none.
template <typename Call>
int ErrorNumber(Call&& call) {
  try {
    call();
  } catch (const RWError& error) {
    return error.Number();
  }
  return 0;
}

}  // namespace rwtest
