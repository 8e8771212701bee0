#pragma once
// The picture box: a container and drawing surface. It shows its back colour,
// then its Picture at the top left, then its persistent image (AutoRedraw),
// which code draws on with Cairo through Surface(). ScaleWidth and
// ScaleHeight give the inner size in its scale mode (pixels unless set to
// twips); mouse events report X and Y in that scale.
#include "platform/ColorRef.h"
#include "platform/ImageSurface.h"
#include "platform/controls/Control.h"

#include <QPixmap>

#include <memory>

namespace ctl {

inline constexpr int vbTwips = 1;
inline constexpr int vbPixels = 3;

class PictureBox : public Control {
 public:
  explicit PictureBox(QWidget* parent = nullptr);
  ~PictureBox() override;

  // 1 twips, 3 pixels.
  int ScaleMode() const { return scaleMode_; }
  void SetScaleMode(int mode);
  double ScaleWidth() const;
  double ScaleHeight() const;
  // 0 none, 1 a fixed single border (two pixels each side).
  int BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(int style);

  COLORREF BackColor() const { return backColor_; }
  void SetBackColor(COLORREF colour);
  const QPixmap& Picture() const { return picture_; }
  void SetPicture(const QPixmap& picture);
  bool AutoRedraw() const { return autoRedraw_; }
  void SetAutoRedraw(bool autoRedraw) { autoRedraw_ = autoRedraw; }

  // The persistent drawing surface, the size of the inner area; drawing on it
  // shows at the next repaint (call Refresh, or Surface().Flush() and update).
  ImageSurface& Surface();
  // Clears the persistent drawing.
  void Cls();
  // What the box shows: back colour, Picture and the persistent drawing.
  QPixmap Image() const;
  // The colour shown at a point of the inner area, in scale units.
  COLORREF Point(double x, double y) const;

  std::function<void()> Resize;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  int Border() const { return borderStyle_ == 1 ? 2 : 0; }
  QRect InnerRect() const;
  void Compose(QPainter& painter, const QRect& inner) const;

  int scaleMode_ = vbPixels;
  int borderStyle_ = 0;
  COLORREF backColor_ = RGB(240, 240, 240);
  QPixmap picture_;
  bool autoRedraw_ = false;
  std::unique_ptr<ImageSurface> surface_;
};

}  // namespace ctl
