// Contact sheet of the program's resources (not part of the program): draws
// every picture, cursor, animation frame and glyph of the manifest with its
// name onto one PNG, loaded through the same registry the program uses, so a
// person can review the whole set at a glance.
// Usage: rw_contact_sheet <output.png>
#include "resources/GlyphFont.h"
#include "resources/Resources.h"

#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kWidth = 1800;
constexpr int kMargin = 16;
const QColor kBackground(0xE9, 0xED, 0xF2);
const QColor kCursorColour(255, 128, 0);  // the default cursor colour the grids draw marks in

struct Cell {
  QImage picture;
  QString label;
  QPoint hotSpot = QPoint(-1, -1);
};

void Checker(QPainter& p, const QRect& r) {
  p.save();
  p.setClipRect(r);
  for (int y = r.top(); y < r.bottom(); y += 8)
    for (int x = r.left(); x < r.right(); x += 8)
      p.fillRect(x, y, 8, 8, ((x - r.left()) / 8 + (y - r.top()) / 8) % 2 ? QColor(0xFF, 0xFF, 0xFF)
                                                                          : QColor(0xD8, 0xDE, 0xE6));
  p.restore();
}

class Sheet {
 public:
  Sheet() : image_(kWidth, 12000, QImage::Format_ARGB32) { image_.fill(kBackground); painter_.begin(&image_); }

  void Heading(const QString& text) {
    NewRow();
    y_ += 10;
    QFont f(QStringLiteral("DejaVu Sans"), 15, QFont::Bold);
    painter_.setFont(f);
    painter_.setPen(QColor(0x22, 0x2B, 0x38));
    painter_.drawText(kMargin, y_ + 20, text);
    y_ += 32;
  }

  void Add(const Cell& cell, bool transparent) {
    QFont f(QStringLiteral("DejaVu Sans"), 7);
    const int labelWidth = QFontMetrics(f).horizontalAdvance(cell.label) + 6;
    const int w = std::max(cell.picture.width(), labelWidth), h = cell.picture.height() + 16;
    if (x_ + w > kWidth - kMargin) NewRow();
    const QRect box(x_ + (w - cell.picture.width()) / 2, y_, cell.picture.width(), cell.picture.height());
    if (transparent) Checker(painter_, box);
    painter_.drawImage(box.topLeft(), cell.picture);
    if (cell.hotSpot.x() >= 0) {
      painter_.setPen(QPen(QColor(255, 0, 0), 1));
      const QPoint h = box.topLeft() + cell.hotSpot;
      painter_.drawLine(h - QPoint(3, 0), h + QPoint(3, 0));
      painter_.drawLine(h - QPoint(0, 3), h + QPoint(0, 3));
    }
    painter_.setFont(f);
    painter_.setPen(QColor(0x33, 0x3D, 0x4C));
    painter_.drawText(QRect(x_, y_ + cell.picture.height() + 2, w, 14), Qt::AlignHCenter, cell.label);
    x_ += w + 12;
    rowHeight_ = std::max(rowHeight_, h);
  }

  QPainter& Painter() { return painter_; }

  void Save(const QString& path) {
    NewRow();
    painter_.end();
    image_.copy(0, 0, kWidth, y_ + kMargin).save(path);
  }

 private:
  void NewRow() {
    if (x_ > kMargin) y_ += rowHeight_ + 10;
    x_ = kMargin;
    rowHeight_ = 0;
  }
  QImage image_;
  QPainter painter_;
  int x_ = kMargin;
  int y_ = kMargin;
  int rowHeight_ = 0;
};

QImage Glyph(const QString& character, bool gridMark) {
  QImage tile(gridMark ? 104 : 72, gridMark ? 79 : 72, QImage::Format_ARGB32);
  tile.fill(gridMark ? QColor(0, 0, 0, 0) : QColor(0xFF, 0xFF, 0xFF));
  QPainter p(&tile);
  if (gridMark) p.drawImage(2, 2, LoadResPicture(QStringLiteral("NO_THUMB"), kResCustom));
  QFont font(QStringLiteral("RW2dings"));
  font.setPixelSize(gridMark ? 96 : 56);
  p.setFont(font);
  p.setPen(gridMark ? kCursorColour : QColor(0x22, 0x2B, 0x38));
  p.drawText(tile.rect(), Qt::AlignCenter, character);
  return tile;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: rw_contact_sheet <output.png>\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QTemporaryDir fonts;
  RegisterGlyphFont(fonts.path());

  Sheet sheet;
  QString section;
  for (const ResourceInfo& info : ResourceManifest()) {
    if (info.type == kResSound || info.type == kResFont || (info.type == kResCustom && info.name == "DB")) continue;
    const QString group = info.type == kResImageList ? info.name.section(QLatin1Char('/'), 0, 0) : info.type;
    if (group != section) {
      section = group;
      sheet.Heading(info.type == kResGlyph ? QStringLiteral("GLYPH (font \"%1\")").arg(kGlyphFontFamily) : group);
    }
    Cell cell;
    cell.label = info.type == kResImageList ? info.name.section(QLatin1Char('/'), 1) : info.name;
    if (info.type == kResGlyph) {
      const bool gridMark = QStringLiteral("01234589").contains(info.name);
      cell.picture = Glyph(info.name, gridMark);
      cell.label = QStringLiteral("'%1'").arg(info.name);
      sheet.Add(cell, gridMark);
      continue;
    }
    if (info.type == kResAnimation) {
      const ResAnimation animation = LoadResAnimation(info.name);
      for (int i = 0; i < animation.frames.size(); ++i) {
        cell.picture = animation.frames[i];
        cell.label = i == 0 ? info.name : QString::number(i + 1);
        sheet.Add(cell, true);
      }
      continue;
    }
    cell.picture = LoadResPicture(info.name, info.type);
    if (info.type == kResCursor) cell.hotSpot = info.hotSpot;
    sheet.Add(cell, info.transparent);
  }
  sheet.Save(QString::fromLocal8Bit(argv[1]));
  return 0;
}
