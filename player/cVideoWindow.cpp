#include "player/cVideoWindow.h"

#include "player/cMpvCore.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLFunctions>
#include <QOpenGLTextureBlitter>
#include <QOpenGLWidget>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace {

// The ground of every video window, shown where the picture does not reach.
const QColor kGround(Qt::black);

// Draws the core's frame texture into the picture's place, on the ground,
// and the window's on-screen display over it.
class cGLSurface : public QOpenGLWidget {
 public:
  cGLSurface(cMpvCore& core, cVideoWindow* window)
      : QOpenGLWidget(window), core_(core), window_(*window) {}
  ~cGLSurface() override {
    makeCurrent();
    blitter_.destroy();
    doneCurrent();
  }

 protected:
  void initializeGL() override { blitter_.create(); }
  void paintGL() override {
    QOpenGLFunctions* gl = context()->functions();
    gl->glClearColor(kGround.redF(), kGround.greenF(), kGround.blueF(), 1);
    gl->glClear(GL_COLOR_BUFFER_BIT);
    const unsigned texture = core_.FrameTexture();
    if (texture && blitter_.isCreated()) {
      blitter_.bind();
      blitter_.blit(texture,
                    QOpenGLTextureBlitter::targetTransform(QRectF(window_.PictureRect()), QRect(QPoint(), size())),
                    QOpenGLTextureBlitter::OriginTopLeft);
      blitter_.release();
    }
    if (window_.OverlayOpacity() <= 0 || window_.OverlayPicture().isNull()) return;
    QPainter painter(this);
    window_.PaintOverlay(painter);
  }

 private:
  cMpvCore& core_;
  const cVideoWindow& window_;
  QOpenGLTextureBlitter blitter_;
};

}  // namespace

cVideoWindow::cVideoWindow(cMpvCore& core, QWidget* owner) : QWidget(owner), core_(core), owner_(owner) {
  setObjectName(QStringLiteral("VideoWindow"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::BlankCursor);
  setFocusPolicy(Qt::NoFocus);
  if (core.RenderKind() == cMpvCore::Render::OpenGL) {
    surface_ = new cGLSurface(core, this);
    surface_->setCursor(Qt::BlankCursor);
    surface_->installEventFilter(this);
  }
  connect(&core, &cMpvCore::FrameReady, this, &cVideoWindow::Redraw);
  // A new window starts hidden: nobody sees the frames until it shows.
  core.SetFramesSeen(false);
}

void cVideoWindow::Redraw() {
  if (surface_) {
    surface_->update();
  } else {
    update();
  }
}

void cVideoWindow::paintEvent(QPaintEvent*) {
  if (surface_) return;
  QPainter painter(this);
  const QImage frame = core_.SoftwareFrame();
  if (frame.isNull()) {
    painter.fillRect(rect(), kGround);
  } else {
    const QRect picture = PictureRect();
    // The ground around the picture only: the picture covers the rest.
    const QRegion ground = QRegion(rect()).subtracted(picture);
    for (const QRect& bar : ground) painter.fillRect(bar, kGround);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(picture, frame);
  }
  PaintOverlay(painter);
}

QRect cVideoWindow::FitPicture(QSize pictureSize, QSize area, bool enlarge) {
  if (pictureSize.isEmpty() || area.isEmpty()) return QRect(QPoint(), area);
  QSize fitted = pictureSize.scaled(area, Qt::KeepAspectRatio);
  if (!enlarge && fitted.width() > pictureSize.width()) fitted = pictureSize;
  // Rounding may leave the long side a pixel short of the window: it fills it.
  if (std::abs(fitted.width() - area.width()) <= 1) fitted.setWidth(area.width());
  if (std::abs(fitted.height() - area.height()) <= 1) fitted.setHeight(area.height());
  return QRect(QPoint((area.width() - fitted.width()) / 2, (area.height() - fitted.height()) / 2), fitted);
}

// Full screen on its own, the video shows at its own size: only the owner's
// full-screen window stretches it to the screen.
QRect cVideoWindow::PictureRect() const { return FitPicture(core_.FrameSize(), size(), !fullScreen_); }

void cVideoWindow::ShowOverlay(const QImage& picture, QSize videoSize, double opacity) {
  overlay_ = picture;
  overlayVideoSize_ = videoSize;
  overlayOpacity_ = std::clamp(opacity, 0.0, 1.0);
  Redraw();
}

// The picture keeps its place on the video whatever the window's size: it is
// scaled and placed as the video's frames are.
void cVideoWindow::PaintOverlay(QPainter& painter) const {
  if (overlayOpacity_ <= 0 || overlay_.isNull() || overlayVideoSize_.isEmpty()) return;
  const QRect picture = PictureRect();
  const double scaleX = static_cast<double>(picture.width()) / overlayVideoSize_.width();
  const double scaleY = static_cast<double>(picture.height()) / overlayVideoSize_.height();
  painter.save();
  painter.setOpacity(overlayOpacity_);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(QRectF(picture.x(), picture.y(), overlay_.width() * scaleX, overlay_.height() * scaleY),
                    overlay_);
  painter.restore();
}

void cVideoWindow::resizeEvent(QResizeEvent*) {
  if (surface_) surface_->setGeometry(rect());
}

QImage cVideoWindow::Picture() const {
  // A hidden window's frames are drawn small: its picture wants the frame
  // whole, for the time of the picture.
  const bool hidden = !isVisible();
  if (hidden) core_.SetFramesSeen(true);
  QImage picture;
  if (auto* gl = dynamic_cast<QOpenGLWidget*>(surface_)) {
    picture = gl->grabFramebuffer();
  } else {
    picture = const_cast<cVideoWindow*>(this)->grab().toImage();
  }
  if (hidden) core_.SetFramesSeen(false);
  return picture;
}

void cVideoWindow::SetOwner(QWidget* owner) {
  owner_ = owner;
  if (fullScreen_) return;  // it goes back to the new owner when full screen ends
  const bool visible = isVisible();
  const QRect geometry = this->geometry();
  setParent(owner);
  setGeometry(geometry);
  setVisible(visible);
}

void cVideoWindow::SetFullScreen(bool on) {
  if (on == fullScreen_) return;
  fullScreen_ = on;
  const bool visible = isVisible() || on;
  if (on) {
    restoreGeometry_ = geometry();
    // A window of its own in front of the owner's window, so that a modal
    // owner does not shut its keys and mouse out, on the owner's screen.
    QWidget* front = owner_ ? owner_->window() : nullptr;
    QScreen* screen = front ? front->screen() : nullptr;
    setParent(front, Qt::Window | Qt::FramelessWindowHint);
    if (screen) {
      create();
      windowHandle()->setScreen(screen);
      setGeometry(screen->geometry());
    }
    showFullScreen();
    return;
  }
  const bool active = isActiveWindow();
  setParent(owner_);
  setGeometry(restoreGeometry_);
  setVisible(visible);
  // The keyboard goes back to the window the video is part of again, once
  // the desktop has let go of the full-screen window.
  if (active && owner_) {
    QTimer::singleShot(0, owner_, [owner = owner_] {
      if (owner) owner->window()->activateWindow();
    });
  }
}

bool cVideoWindow::event(QEvent* event) {
  if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
    core_.SetFramesSeen(event->type() == QEvent::Show);
  }
  if (Forward(event)) return true;
  return QWidget::event(event);
}

bool cVideoWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == surface_ && Forward(event)) return true;
  return QWidget::eventFilter(watched, event);
}

// A copy of a mouse, wheel or key event goes to the drain, with positions
// in the drain's own coordinates.
bool cVideoWindow::Forward(QEvent* event) {
  if (!drain_) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const QPointF global = mouse->globalPosition();
      QMouseEvent copy(mouse->type(), drain_->mapFromGlobal(global), global, mouse->button(), mouse->buttons(),
                       mouse->modifiers());
      QApplication::sendEvent(drain_, &copy);
      return true;
    }
    case QEvent::Wheel: {
      const auto* wheel = static_cast<QWheelEvent*>(event);
      const QPointF global = wheel->globalPosition();
      QWheelEvent copy(drain_->mapFromGlobal(global), global, wheel->pixelDelta(), wheel->angleDelta(),
                       wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted());
      QApplication::sendEvent(drain_, &copy);
      return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->nativeScanCode(), key->nativeVirtualKey(),
                     key->nativeModifiers(), key->text(), key->isAutoRepeat(), key->count());
      copy.setTimestamp(key->timestamp());
      QApplication::sendEvent(drain_, &copy);
      return true;
    }
    default:
      return false;
  }
}
