#pragma once
// The video window of a player: a child of the window that owns it, showing
// the frames its core renders with the picture's own proportions, as large as
// the window allows and centred, the rest in the window's ground colour
// (black). It hides the mouse cursor over the video, can show the video alone
// full screen on its owner's screen and back (there at the picture's own
// size, never enlarged), and can hand its mouse and key events to another
// window (the message drain), which then acts as if they were its own.
//
// Over the video it lays the on-screen display: a picture in the video's own
// pixels, placed at the video's top left and scaled with it, mixed at one
// opacity. The display lives only on screen: grabbed frames come from the
// decoded video and never hold it.
#include <QImage>
#include <QPointer>
#include <QWidget>

class cMpvCore;
class QPainter;

class cVideoWindow : public QWidget {
 public:
  cVideoWindow(cMpvCore& core, QWidget* owner);

  void SetOwner(QWidget* owner);
  void SetFullScreen(bool on);
  bool IsFullScreen() const { return fullScreen_; }
  void SetMessageDrain(QWidget* drain) { drain_ = drain; }
  // What the window shows now, as drawn on screen.
  QImage Picture() const;
  // Where the video's picture lies in the window: the whole window until the
  // size of the frames is known.
  QRect PictureRect() const;
  // The picture's place in an area for frames of pictureSize: the largest
  // rectangle of the picture's proportions, centred; with enlarge false no
  // larger than the picture itself.
  static QRect FitPicture(QSize pictureSize, QSize area, bool enlarge);

  // Shows `picture` over the video, whose frames are videoSize pixels, at
  // `opacity` (0 hides it, 1 covers the video).
  void ShowOverlay(const QImage& picture, QSize videoSize, double opacity);
  const QImage& OverlayPicture() const { return overlay_; }
  double OverlayOpacity() const { return overlayOpacity_; }
  // Draws the display over what the painter has drawn of the video.
  void PaintOverlay(QPainter& painter) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  bool Forward(QEvent* event);
  // Paints again, for a new frame or a new display.
  void Redraw();

  cMpvCore& core_;
  QWidget* surface_ = nullptr;  // the OpenGL surface; none in software
  QPointer<QWidget> owner_;
  QPointer<QWidget> drain_;
  QImage overlay_;
  QSize overlayVideoSize_;
  double overlayOpacity_ = 0;
  bool fullScreen_ = false;
  QRect restoreGeometry_;
};
