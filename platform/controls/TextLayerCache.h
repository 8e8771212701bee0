#pragma once
// Text in a font too large for Qt's glyph cache, drawn from a layer made once.
//
// Qt draws glyphs above a size of 64 pixels as outlines: at every paint it
// loads each glyph's outline from the font and fills it. A grid that shows
// the same large glyph in every cell (the tiles' state glyphs) pays that per
// cell. The cache draws the text once into a transparent layer, which then
// holds the text's colour weighted by each pixel's coverage, exactly the
// value the painter blends over the pixels below when it fills the outline;
// drawing the layer blends it the same way, so the pixels come out the same.
#include <QColor>
#include <QFont>
#include <QHash>
#include <QHashFunctions>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

namespace ctl {

class TextLayerCache {
 public:
  // Draws `text` as painter.drawText(textRect, flags, text) does within
  // `clip` (the painter's clip there, holding textRect), in the painter's
  // font and pen. Text a painter draws from Qt's own cache, or a painter
  // whose drawing a layer would not match, draws the text itself.
  void DrawText(QPainter& painter, const QRect& clip, const QRect& textRect, int flags, const QString& text);

  int LayerCount() const { return static_cast<int>(layers_.size()); }

 private:
  // What the layer's pixels depend on.
  struct Key {
    QFont font;
    QRgb colour;
    int flags;
    QRect textRect;  // within the clip
    QSize clip;
    int hints;
    QString text;
    bool operator==(const Key&) const = default;
  };
  friend size_t qHash(const Key& key, size_t seed) {
    return qHashMulti(seed, key.font, key.colour, key.flags, key.textRect.x(), key.textRect.y(), key.textRect.width(),
                      key.textRect.height(), key.clip.width(), key.clip.height(), key.hints, key.text);
  }
  struct Layer {
    QImage image;  // the text's pixels within `clip`, cropped to those it covers
    QPoint offset;  // of the image within `clip`
    bool direct = false;  // text the painter draws itself
  };

  static bool LayerMatches(const QPainter& painter);
  static Layer MakeLayer(const QPainter& painter, const QSize& clip, const QRect& textRect, int flags,
                         const QString& text);

  QHash<Key, Layer> layers_;
};

}  // namespace ctl
