#pragma once
// A picture box working in pixels whose drawing is persistent: what is drawn
// into its image stays on screen, repainted from the image, until the next
// drawing. Windows host drawn strips and pictures in it (the progress strip,
// the inspector's thumbnail).
#include "platform/ImageSurface.h"

#include <QWidget>

#include <memory>

class PictureBox : public QWidget {
  Q_OBJECT

 public:
  explicit PictureBox(QWidget* parent = nullptr);

  // Inner size in pixels.
  int ScaleWidth() const { return width(); }
  int ScaleHeight() const { return height(); }

  // Colour of the parts not drawn yet; a new colour clears the image.
  COLORREF BackColour() const { return backColour_; }
  void SetBackColour(COLORREF colour);

  // The persistent image, ScaleWidth x ScaleHeight (at least 1 x 1); a resized
  // box keeps what was drawn. Drawing into it shows at the next repaint; call
  // Refresh to show it at once. A size too large for an image raises an error.
  ImageSurface& Image();

  // Repaints at once, without waiting for the event loop.
  void Refresh();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  COLORREF backColour_;
  std::unique_ptr<ImageSurface> image_;
};
