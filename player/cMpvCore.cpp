#include "player/cMpvCore.h"

#include "platform/InputGate.h"
#include "platform/MpvHandle.h"
#include "player/MpvNode.h"

#include <mpv/client.h>
#include <mpv/render.h>
#include <mpv/render_gl.h>

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QTransform>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using MpvHandle::ErrorText;

// Everything the core does is decided here: no configuration files, no
// scripts, no key bindings of its own, the last frame kept on screen when a
// file ends, and the picture in its own proportions whatever the size it is
// rendered at.
std::vector<MpvHandle::Option> CoreOptions() {
  return {{"config", "no"},      {"load-scripts", "no"},           {"ytdl", "no"},
          {"osc", "no"},         {"input-default-bindings", "no"}, {"input-vo-keyboard", "no"},
          {"terminal", "no"},    {"keep-open", "yes"},             {"hr-seek", "yes"},
          {"vo", "libmpv"},      {"idle", "yes"},                  {"pause", "yes"},
          {"keepaspect", "yes"}, {"audio-fallback-to-null", "yes"}, {"sub-auto", "no"}};
}

}  // namespace

void cMpvCore::SetAudioOutput(const QString& output) { MpvHandle::SetAudioOutput(output); }

cMpvCore::cMpvCore() = default;

std::unique_ptr<cMpvCore> cMpvCore::Create(QString* error) {
  std::unique_ptr<cMpvCore> core(new cMpvCore);
  if (!core->Initialise(error)) return nullptr;
  return core;
}

bool cMpvCore::Initialise(QString* error) {
  int status = 0;
  handle_ = MpvHandle::Create(CoreOptions(), &status);
  if (!handle_) {
    if (error) *error = ErrorText(status);
    return false;
  }
  mpv_set_wakeup_callback(
      handle_,
      [](void* self) {
        auto* core = static_cast<cMpvCore*>(self);
        if (!core->drainQueued_.exchange(true)) QMetaObject::invokeMethod(core, &cMpvCore::Drain, Qt::QueuedConnection);
      },
      this);
  if (!MakeOpenGLRender() && !MakeSoftwareRender()) {
    if (error) *error = ErrorText(MPV_ERROR_VO_INIT_FAILED);
    return false;
  }
  mpv_render_context_set_update_callback(
      renderContext_,
      [](void* self) {
        auto* core = static_cast<cMpvCore*>(self);
        if (!core->renderQueued_.exchange(true)) {
          QMetaObject::invokeMethod(core, &cMpvCore::RenderFrame, Qt::QueuedConnection);
        }
      },
      this);
  return true;
}

cMpvCore::~cMpvCore() {
  if (!handle_) return;
  mpv_set_wakeup_callback(handle_, nullptr, nullptr);
  if (renderContext_) {
    mpv_render_context_set_update_callback(renderContext_, nullptr, nullptr);
    if (gl_) gl_->makeCurrent(glSurface_.get());
    mpv_render_context_free(renderContext_);
    fbo_.reset();
    if (gl_) gl_->doneCurrent();
  }
  mpv_terminate_destroy(handle_);
}

void cMpvCore::Abandon() {
  if (!handle_) return;
  mpv_set_wakeup_callback(handle_, nullptr, nullptr);
  if (renderContext_) mpv_render_context_set_update_callback(renderContext_, nullptr, nullptr);
  // The handle, its render context and the OpenGL context it renders in are
  // left as they are: freeing any of them waits for the stuck core.
  handle_ = nullptr;
  renderContext_ = nullptr;
  (void)gl_.release();
  (void)glSurface_.release();
  (void)fbo_.release();
}

// OpenGL rendering needs a context that shares its textures with the video
// windows' contexts: the program turns on shared contexts before it starts.
bool cMpvCore::MakeOpenGLRender() {
  QOpenGLContext* shared = QOpenGLContext::globalShareContext();
  if (!shared || !shared->isValid()) return false;
  auto context = std::make_unique<QOpenGLContext>();
  context->setShareContext(shared);
  context->setFormat(shared->format());
  if (!context->create()) return false;
  auto surface = std::make_unique<QOffscreenSurface>();
  surface->setFormat(context->format());
  surface->create();
  if (!context->makeCurrent(surface.get())) return false;
  mpv_opengl_init_params init{};
  init.get_proc_address = [](void* ctx, const char* name) -> void* {
    return reinterpret_cast<void*>(static_cast<QOpenGLContext*>(ctx)->getProcAddress(name));
  };
  init.get_proc_address_ctx = context.get();
  mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
                               {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &init},
                               {MPV_RENDER_PARAM_INVALID, nullptr}};
  const bool made = mpv_render_context_create(&renderContext_, handle_, params) >= 0;
  context->doneCurrent();
  if (!made) return false;
  gl_ = std::move(context);
  glSurface_ = std::move(surface);
  render_ = Render::OpenGL;
  return true;
}

// The software renderer cannot turn a picture (the engine stops on an
// assertion at the first frame of a video with a rotation): the engine draws
// every frame unturned and RenderSoftware turns it.
bool cMpvCore::MakeSoftwareRender() {
  mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
                               {MPV_RENDER_PARAM_INVALID, nullptr}};
  if (mpv_render_context_create(&renderContext_, handle_, params) < 0) return false;
  mpv_set_property_string(handle_, "video-rotate", "no");
  render_ = Render::Software;
  return true;
}

void cMpvCore::Drain() {
  drainQueued_ = false;
  while (handle_) {
    mpv_event* event = mpv_wait_event(handle_, 0);
    if (event->event_id == MPV_EVENT_NONE) break;
    if (OnEvent) OnEvent(*event);
  }
  emit Progress();
}

void cMpvCore::SetFrameSize(QSize size, int rotation) {
  frameSize_ = size;
  rotation_ = rotation;
}

QSize cMpvCore::Turned(QSize size, int rotation) { return rotation % 180 == 90 ? size.transposed() : size; }

QImage cMpvCore::Turned(const QImage& picture, int rotation) {
  return rotation % 360 == 0 ? picture : picture.transformed(QTransform().rotate(rotation));
}

void cMpvCore::SetFramesSeen(bool seen) {
  if (seen == framesSeen_) return;
  framesSeen_ = seen;
  // The frame on show was drawn small while nobody saw it.
  if (seen && rendered_ && renderContext_) {
    DrawFrame();
    emit FrameReady();
  }
}

void cMpvCore::RenderFrame() {
  renderQueued_ = false;
  if (!renderContext_) return;
  const uint64_t flags = mpv_render_context_update(renderContext_);
  if (!(flags & MPV_RENDER_UPDATE_FRAME)) return;
  DrawFrame();
  rendered_ = true;
  emit FrameReady();
}

void cMpvCore::DrawFrame() {
  if (render_ == Render::OpenGL) {
    RenderOpenGL();
  } else {
    RenderSoftware();
  }
}

QSize cMpvCore::RenderSize() const {
  constexpr int kUnseenSide = 16;
  if (!framesSeen_ || frameSize_.isEmpty()) return QSize(kUnseenSide, kUnseenSide);
  return frameSize_;
}

void cMpvCore::RenderOpenGL() {
  const QSize size = RenderSize();
  if (!gl_->makeCurrent(glSurface_.get())) return;
  if (!fbo_ || fbo_->size() != size) fbo_ = std::make_unique<QOpenGLFramebufferObject>(size);
  mpv_opengl_fbo target{static_cast<int>(fbo_->handle()), size.width(), size.height(), 0};
  int flipY = 0;
  int block = 0;
  mpv_render_param params[] = {{MPV_RENDER_PARAM_OPENGL_FBO, &target},
                               {MPV_RENDER_PARAM_FLIP_Y, &flipY},
                               {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                               {MPV_RENDER_PARAM_INVALID, nullptr}};
  mpv_render_context_render(renderContext_, params);
  // The video windows draw the texture from their own contexts.
  gl_->functions()->glFinish();
  gl_->doneCurrent();
}

void cMpvCore::RenderSoftware() {
  const QSize size = Turned(RenderSize(), rotation_);
  // The software renderer wants rows and the buffer aligned to 64 bytes.
  const int stride = (size.width() * 4 + 63) / 64 * 64;
  const size_t bytes = static_cast<size_t>(stride) * size.height();
  auto* buffer = static_cast<uchar*>(std::aligned_alloc(64, (bytes + 63) / 64 * 64));
  if (!buffer) return;
  int sizeParam[2] = {size.width(), size.height()};
  size_t strideParam = static_cast<size_t>(stride);
  int block = 0;
  mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, sizeParam},
                               {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>("bgr0")},
                               {MPV_RENDER_PARAM_SW_STRIDE, &strideParam},
                               {MPV_RENDER_PARAM_SW_POINTER, buffer},
                               {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                               {MPV_RENDER_PARAM_INVALID, nullptr}};
  if (mpv_render_context_render(renderContext_, params) < 0) {
    std::free(buffer);
    return;
  }
  // "bgr0" is Qt's RGB32 on a little-endian machine.
  frame_ = Turned(QImage(buffer, size.width(), size.height(), stride, QImage::Format_RGB32, std::free, buffer),
                  rotation_);
}

unsigned cMpvCore::FrameTexture() const { return fbo_ ? fbo_->texture() : 0; }

std::optional<double> cMpvCore::Double(const char* name) const {
  double value = 0;
  if (!handle_ || mpv_get_property(handle_, name, MPV_FORMAT_DOUBLE, &value) < 0) return std::nullopt;
  return value;
}

std::optional<int64_t> cMpvCore::Int(const char* name) const {
  int64_t value = 0;
  if (!handle_ || mpv_get_property(handle_, name, MPV_FORMAT_INT64, &value) < 0) return std::nullopt;
  return value;
}

std::optional<bool> cMpvCore::Flag(const char* name) const {
  int value = 0;
  if (!handle_ || mpv_get_property(handle_, name, MPV_FORMAT_FLAG, &value) < 0) return std::nullopt;
  return value != 0;
}

QString cMpvCore::Text(const char* name) const {
  if (!handle_) return {};
  char* value = mpv_get_property_string(handle_, name);
  const QString text = QString::fromUtf8(value);
  mpv_free(value);
  return text;
}

QVariant cMpvCore::Node(const char* name) const {
  mpv_node node{};
  if (!handle_ || mpv_get_property(handle_, name, MPV_FORMAT_NODE, &node) < 0) return {};
  QVariant value = MpvNode::ToVariant(node);
  mpv_free_node_contents(&node);
  return value;
}

void cMpvCore::SetFlag(const char* name, bool value) {
  int flag = value ? 1 : 0;
  if (handle_) mpv_set_property_async(handle_, 0, name, MPV_FORMAT_FLAG, &flag);
}

void cMpvCore::SetDouble(const char* name, double value) {
  if (handle_) mpv_set_property_async(handle_, 0, name, MPV_FORMAT_DOUBLE, &value);
}

void cMpvCore::SetFlagNow(const char* name, bool value) {
  int flag = value ? 1 : 0;
  if (handle_) mpv_set_property(handle_, name, MPV_FORMAT_FLAG, &flag);
}

void cMpvCore::SetDoubleNow(const char* name, double value) {
  if (handle_) mpv_set_property(handle_, name, MPV_FORMAT_DOUBLE, &value);
}

void cMpvCore::SetText(const char* name, const QString& value) {
  const QByteArray text = value.toUtf8();
  const char* data = text.constData();
  if (handle_) mpv_set_property_async(handle_, 0, name, MPV_FORMAT_STRING, &data);
}

void cMpvCore::Observe(const char* name, int format) {
  if (handle_) mpv_observe_property(handle_, 0, name, static_cast<mpv_format>(format));
}

uint64_t cMpvCore::Command(const QVariantList& args) {
  static uint64_t lastId = 0;
  if (!handle_) return 0;
  MpvNode command(args);
  const uint64_t id = ++lastId;
  return mpv_command_node_async(handle_, id, command.Get()) >= 0 ? id : 0;
}

std::optional<QVariant> cMpvCore::CommandNow(const QVariantList& args) {
  if (!handle_) return std::nullopt;
  MpvNode command(args);
  mpv_node result{};
  if (mpv_command_node(handle_, command.Get(), &result) < 0) return std::nullopt;
  QVariant value = MpvNode::ToVariant(result);
  mpv_free_node_contents(&result);
  return value;
}

// The wait holds the input gate (platform/InputGate.h), so no command runs
// inside it, and turns the event loop through the gate's door until `done`
// or the deadline. Inside work the user steers (the add-files run, the
// full-screen run) that work's own controls take their input here, so that
// Esc ends an open there; any other wait handles no input at all: keys and
// clicks stay queued, in their order, until the command that waits is over.
bool cMpvCore::WaitFor(const std::function<bool()>& done, int timeoutMs) {
  if (done()) return true;
  if (timeoutMs <= 0) return false;
  const InputGate::Hold gate;
  return InputGate::TurnUntil(done, timeoutMs);
}
