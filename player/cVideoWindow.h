#pragma once
// The video window of a player: a child of the window that owns it, showing
// the frames its core renders, stretched to the window's rectangle. It
// hides the mouse cursor over the video, can show the video alone full
// screen and back, and can hand its mouse and key events to another window
// (the message drain), which then acts as if they were its own.
#include <QImage>
#include <QPointer>
#include <QWidget>

class cMpvCore;

class cVideoWindow : public QWidget {
 public:
  cVideoWindow(cMpvCore& core, QWidget* owner);

  void SetOwner(QWidget* owner);
  void SetFullScreen(bool on);
  bool IsFullScreen() const { return fullScreen_; }
  void SetMessageDrain(QWidget* drain) { drain_ = drain; }
  // Shows black until the next frame arrives.
  void Blackout();
  // What the window shows now, as drawn on screen.
  QImage Picture() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  bool Forward(QEvent* event);
  void FrameArrived();

  cMpvCore& core_;
  QWidget* surface_ = nullptr;  // the OpenGL surface; none in software
  QPointer<QWidget> owner_;
  QPointer<QWidget> drain_;
  bool blackout_ = false;
  bool fullScreen_ = false;
  QRect restoreGeometry_;
};
