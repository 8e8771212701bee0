#include "platform/controls/TextLayerCache.h"

#include <QFontInfo>
#include <QPainter>
#include <QPaintEngine>

#include <cmath>

namespace ctl {

namespace {

// Qt's raster engine caches the glyphs of fonts below this many pixels.
constexpr int kLargestCachedGlyph = 64;

// A grid shows a handful of glyphs in a few colours; a cache that fills up
// starts again rather than keeping track of use.
constexpr int kMostLayers = 64;

// The pixels of the image that are not fully transparent.
QRect CoveredRect(const QImage& image) {
  int left = image.width();
  int right = -1;
  int top = image.height();
  int bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (line[x] == 0) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = y;
    }
  }
  return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace

// The layer is the same as the outline's fill only where the painter blends
// plain colour over what is below, in device pixels at whole-pixel offsets.
bool TextLayerCache::LayerMatches(const QPainter& painter) {
  const QPaintEngine* engine = painter.paintEngine();
  if (!engine || engine->type() != QPaintEngine::Raster) return false;
  const QTransform& transform = painter.transform();
  if (transform.type() > QTransform::TxTranslate || transform.dx() != std::floor(transform.dx()) ||
      transform.dy() != std::floor(transform.dy())) {
    return false;
  }
  if (painter.device() && painter.device()->devicePixelRatio() != 1.0) return false;
  return painter.opacity() == 1.0 && painter.compositionMode() == QPainter::CompositionMode_SourceOver &&
         painter.pen().style() == Qt::SolidLine && painter.pen().brush().style() == Qt::SolidPattern &&
         painter.pen().color().alpha() == 255;
}

// The layer is drawn with a margin round the clip at least twice the font's
// size, so that every point of the text's outlines lies at a positive
// coordinate, as it does in the window: the painter truncates coordinates to
// its fixed point toward zero, and a glyph's edge at a negative coordinate
// would fall a fraction of a pixel away from where it falls in the window.
TextLayerCache::Layer TextLayerCache::MakeLayer(const QPainter& painter, const QSize& clip, const QRect& textRect,
                                                int flags, const QString& text) {
  const int margin = 2 * QFontInfo(painter.font()).pixelSize() + textRect.width() + textRect.height();
  const QRect inClip(QPoint(margin, margin), clip);
  QImage image(clip + QSize(2 * margin, 2 * margin), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter layer(&image);
    layer.setRenderHints(painter.renderHints());
    layer.setFont(painter.font());
    layer.setPen(painter.pen());
    layer.drawText(textRect.translated(inClip.topLeft()), flags, text);
  }
  const QImage within = image.copy(inClip);
  const QRect covered = CoveredRect(within);
  if (covered.isNull()) return {};
  return {within.copy(covered), covered.topLeft()};
}

void TextLayerCache::DrawText(QPainter& painter, const QRect& clip, const QRect& textRect, int flags,
                              const QString& text) {
  if (!LayerMatches(painter)) {
    painter.drawText(textRect, flags, text);
    return;
  }
  const QRect inLayer = textRect.translated(-clip.topLeft());
  const Key key{painter.font(), painter.pen().color().rgba(), flags, inLayer, clip.size(),
                static_cast<int>(painter.renderHints()), text};
  auto layer = layers_.constFind(key);
  if (layer == layers_.cend()) {
    if (layers_.size() >= kMostLayers) layers_.clear();
    // Text Qt draws from its own glyph cache is left to it.
    layer = layers_.insert(key, QFontInfo(painter.font()).pixelSize() >= kLargestCachedGlyph
                                    ? MakeLayer(painter, clip.size(), inLayer, flags, text)
                                    : Layer{.direct = true});
  }
  if (layer->direct) {
    painter.drawText(textRect, flags, text);
  } else if (!layer->image.isNull()) {
    painter.drawImage(clip.topLeft() + layer->offset, layer->image);
  }
}

}  // namespace ctl
