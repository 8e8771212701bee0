#include "ui/cBusyIndicator.h"

#include "platform/Rounding.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <cairo-xcb.h>
#include <cairo.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <system_error>

std::unique_ptr<cBusyIndicator> gBusyIndicator;

namespace {

constexpr int kFrameMs = 40;
// How long Show waits at most for the first frame (an X server that does not
// answer must not hold the program for long).
constexpr int kFirstFrameLimitMs = 3000;

// A Cairo context over the pixels of a QImage (ARGB32 premultiplied).
cairo_surface_t* SurfaceOver(QImage& image) {
  return cairo_image_surface_create_for_data(image.bits(), CAIRO_FORMAT_ARGB32, image.width(), image.height(),
                                             static_cast<int>(image.bytesPerLine()));
}

}  // namespace

// A window on the screen that no window manager handles, drawn through an X
// connection that belongs to the animation's thread alone.
class cBusyIndicator::XWindow {
 public:
  XWindow(int left, int top, int width, int height) : width_(width), height_(height) {
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_)) return;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    window_ = xcb_generate_id(connection_);
    const uint32_t values[] = {screen->black_pixel, 1};
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen->root, static_cast<int16_t>(left),
                      static_cast<int16_t>(top), static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_map_window(connection_, window_);
    surface_ = cairo_xcb_surface_create(connection_, window_, Visual(screen), width, height);
    xcb_flush(connection_);
  }
  ~XWindow() {
    if (surface_) FinishSurface();
    if (window_) xcb_destroy_window(connection_, window_);
    if (connection_) {
      xcb_flush(connection_);
      xcb_disconnect(connection_);
    }
  }
  bool Usable() const { return surface_ && cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS; }

  void Show(const QImage& frame) {
    cairo_t* cr = cairo_create(surface_);
    QImage copy = frame;
    cairo_surface_t* source = SurfaceOver(copy);
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(source);
    cairo_surface_flush(surface_);
    xcb_flush(connection_);
  }

  // Returns once the server has done what was sent so far: a reply comes
  // after every request before it.
  void Sync() { std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr)); }

 private:
  // Cairo keeps what it learned of a connection (its screens, pictures and
  // fonts) under the connection's address until the connection's device is
  // finished. Left behind, it would be found again by the next showing's
  // connection if that is given the same address, and Cairo would look for
  // the old connection's screens in it and abort.
  void FinishSurface() {
    cairo_device_t* device = cairo_device_reference(cairo_surface_get_device(surface_));
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
    cairo_device_finish(device);
    cairo_device_destroy(device);
  }

  static xcb_visualtype_t* Visual(xcb_screen_t* screen) {
    for (auto depth = xcb_screen_allowed_depths_iterator(screen); depth.rem; xcb_depth_next(&depth)) {
      for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem; xcb_visualtype_next(&visual)) {
        if (visual.data->visual_id == screen->root_visual) return visual.data;
      }
    }
    return nullptr;
  }

  xcb_connection_t* connection_ = nullptr;
  xcb_window_t window_ = 0;
  cairo_surface_t* surface_ = nullptr;
  int width_;
  int height_;
};

cBusyIndicator::cBusyIndicator()
    : threadName_(QStringLiteral("RW2:%1").arg(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                   std::chrono::steady_clock::now().time_since_epoch())
                                                   .count())) {}

cBusyIndicator::~cBusyIndicator() { Hide(); }

void cBusyIndicator::Show(int32_t left, int32_t top, int32_t width, int32_t height, int32_t size, int32_t value,
                          QWidget* canvas) {
  Hide();
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize pixels = screen ? screen->size() : QSize(1920, 1080);
  left = static_cast<int32_t>(RoundHalfEven((pixels.width() - kStripWidth) / 2.0));
  top = static_cast<int32_t>(RoundHalfEven(pixels.height() * 0.9));
  size = 50;
  args_ = {left, top, width, height, size, value};
  canvas_ = canvas;
  const QString platform = QGuiApplication::platformName();
  useX_ = platform == QLatin1String("xcb");
  // Without an X display and without the offscreen platform (tests) there
  // is nowhere to show it.
  if (useX_ || platform == QLatin1String("offscreen")) {
    stop_ = false;
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error& error) {
      // No thread to be had (a limited address space): the work it marks
      // goes on without the strip.
      qWarning().noquote() << "Busy indicator not shown:" << error.what();
      return;
    }
    running_ = true;
    // The caller is about to block this thread: the strip is on the screen
    // (its first frame has reached the X server) before Show returns.
    std::unique_lock<std::mutex> lock(startLock_);
    started_.wait_for(lock, std::chrono::milliseconds(kFirstFrameLimitMs), [this] { return firstShown_; });
  }
}

void cBusyIndicator::Hide() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  running_ = false;
  canvas_ = nullptr;
  firstShown_ = false;
}

void cBusyIndicator::FirstFrameShown() {
  const std::lock_guard<std::mutex> lock(startLock_);
  firstShown_ = true;
  started_.notify_all();
}

QImage cBusyIndicator::LastFrame() const {
  std::lock_guard<std::mutex> lock(frameLock_);
  return lastFrame_;
}

// The thread: a frame every 40 ms until stopped, onto its own X window or
// into the image.
void cBusyIndicator::Run() {
  const int height = std::max(1, args_[4]);
  std::unique_ptr<XWindow> window;
  if (useX_) {
    window = std::make_unique<XWindow>(args_[0], args_[1], kStripWidth, height);
    if (!window->Usable()) window.reset();
  }
  QImage frame(kStripWidth, height, QImage::Format_ARGB32_Premultiplied);
  bool shown = false;
  const auto start = std::chrono::steady_clock::now();
  while (!stop_) {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    DrawFrame(frame, elapsed);
    if (window) window->Show(frame);
    {
      std::lock_guard<std::mutex> lock(frameLock_);
      lastFrame_ = frame.copy();
    }
    ++frames_;
    if (!shown) {
      if (window) window->Sync();
      FirstFrameShown();
      shown = true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kFrameMs));
  }
}

// A dark rounded strip with a light that crosses it and comes back in.
void cBusyIndicator::DrawFrame(QImage& target, int64_t elapsedMs) const {
  const int light = std::clamp(args_[2] > 0 ? args_[2] : 100, 10, kStripWidth);
  const int period = std::max(200, (args_[3] > 0 ? args_[3] : 150) * 10);
  const double phase = std::fmod(elapsedMs / static_cast<double>(period) + args_[5] / static_cast<double>(kStripWidth), 1.0);
  const double x = -light + phase * (kStripWidth + light);
  cairo_surface_t* surface = SurfaceOver(target);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 0.12, 0.14, 0.18);
  cairo_paint(cr);
  cairo_pattern_t* glow = cairo_pattern_create_linear(x, 0, x + light, 0);
  cairo_pattern_add_color_stop_rgba(glow, 0, 0.35, 0.6, 0.95, 0);
  cairo_pattern_add_color_stop_rgba(glow, 0.5, 0.35, 0.6, 0.95, 1);
  cairo_pattern_add_color_stop_rgba(glow, 1, 0.35, 0.6, 0.95, 0);
  cairo_set_source(cr, glow);
  cairo_rectangle(cr, x, target.height() * 0.3, light, target.height() * 0.4);
  cairo_fill(cr);
  cairo_pattern_destroy(glow);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
}
