#pragma once
// Where a picture goes in a box of another shape: as large as the box
// allows in the picture's display proportions, centred, the rest of the box
// left for bars. Thumbnails, story-board tiles and poster frames keep a
// portrait, a wide or an anamorphic picture in its shape this way.
#include <QRectF>
#include <QSizeF>

// The part of the box the picture covers, for a picture whose display size
// (its sample aspect and its rotation applied) is `display`: whole pixels
// from the box's corner, a side within a pixel of the box's taking the
// box's. The whole box when either size is empty.
QRectF FitPictureInBox(QSizeF display, const QRectF& box);
