#pragma once
// One libmpv core and its render context: the media engine behind a player
// object. Options are all set here (no user configuration or scripts are
// read), events are drained on the user-interface thread, and every frame the
// core presents is rendered at the video's display size, on OpenGL where a
// context can be made, else in software. A video with a rotation is shown
// turned: OpenGL rendering turns it in the engine, software rendering (whose
// engine cannot) draws it unturned and the core turns each frame.
#include <QImage>
#include <QObject>
#include <QSize>
#include <QVariant>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

struct mpv_handle;
struct mpv_render_context;
struct mpv_event;
class QOpenGLContext;
class QOffscreenSurface;
class QOpenGLFramebufferObject;

class cMpvCore : public QObject {
  Q_OBJECT

 public:
  enum class Render { OpenGL, Software };

  // A new core with the program's options, or null with the reason in *error
  // ("Error <n>: <description>" as mpv numbers and describes it).
  static std::unique_ptr<cMpvCore> Create(QString* error);
  ~cMpvCore() override;

  Render RenderKind() const { return render_; }
  // The audio output the next cores use ("" lets mpv choose; tests use
  // "null", which keeps time without a sound device).
  static void SetAudioOutput(const QString& output);

  // Called for every mpv event, on the user-interface thread. Handlers only
  // take note: a property read there could wait for a core that waits for a
  // frame to be rendered on this very thread.
  std::function<void(const mpv_event&)> OnEvent;

  // Property reads answer from the core's state.
  std::optional<double> Double(const char* name) const;
  std::optional<int64_t> Int(const char* name) const;
  std::optional<bool> Flag(const char* name) const;
  QString Text(const char* name) const;
  // A property as a tree of maps, lists and values (track-list...).
  QVariant Node(const char* name) const;
  // Writes queue and return at once; reads made after them may still see
  // the value before.
  void SetFlag(const char* name, bool value);
  void SetDouble(const char* name, double value);
  void SetText(const char* name, const QString& value);
  // Writes the core has made when they return, for transport that is read
  // back at once. Only for a file that is open.
  void SetFlagNow(const char* name, bool value);
  void SetDoubleNow(const char* name, double value);

  // Property-change events for a property follow from now on, carrying its
  // value; event handlers must not read properties themselves, since the
  // core may be waiting for this thread to render.
  void Observe(const char* name, int format);

  // Queues a command; numbers are passed as numbers, never as text, so no
  // locale can change them. Returns the id of its reply event (0 when the
  // command could not be queued).
  uint64_t Command(const QVariantList& args);
  // Runs a command and returns its result. Only for commands the core
  // answers at once (loadfile...): nothing that waits on a file.
  std::optional<QVariant> CommandNow(const QVariantList& args);

  // Waits until `done` is true, letting the message loop run, at most
  // timeoutMs. Rechecked after every batch of events and every Wake().
  bool WaitFor(const std::function<bool()>& done, int timeoutMs);
  // Makes waiting loops look at their condition again.
  void Wake() { emit Progress(); }

  // Whether anyone sees the frames (true until a video window says it is
  // hidden). Unseen frames are still rendered, as the engine waits for each
  // to be drawn, but to a few pixels: a hidden preview (files being added, a
  // story board's frames) costs no picture-sized conversion per frame. Seen
  // again, the frame shown is drawn at once at its full size.
  void SetFramesSeen(bool seen);
  bool FramesSeen() const { return framesSeen_; }

  // The frame rendered last, at the video's display size (while the frames
  // are seen).
  QImage SoftwareFrame() const { return frame_; }
  unsigned FrameTexture() const;
  QSize FrameSize() const { return frameSize_; }
  // The size frames are shown at: the video's display size (its sample
  // aspect applied), turned by `rotation`, the video's rotation in degrees
  // clockwise (a multiple of 90).
  void SetFrameSize(QSize size, int rotation = 0);

  // A size or a picture turned clockwise by `rotation` degrees (a multiple
  // of 90): a quarter turn swaps width and height.
  static QSize Turned(QSize size, int rotation);
  static QImage Turned(const QImage& picture, int rotation);

  // Gives the core up without waiting for it: for a core stuck on a read
  // that never returns (a dead network mount). Its threads are left to end
  // on their own; it is never touched again.
  void Abandon();

 signals:
  void Progress();
  void FrameReady();

 private:
  cMpvCore();
  bool Initialise(QString* error);
  bool MakeOpenGLRender();
  bool MakeSoftwareRender();
  void Drain();
  void RenderFrame();
  void DrawFrame();
  // The size frames are rendered at: the display size, or a token size
  // while they are unseen.
  QSize RenderSize() const;
  void RenderOpenGL();
  void RenderSoftware();

  mpv_handle* handle_ = nullptr;
  mpv_render_context* renderContext_ = nullptr;
  Render render_ = Render::Software;
  std::unique_ptr<QOpenGLContext> gl_;
  std::unique_ptr<QOffscreenSurface> glSurface_;
  std::unique_ptr<QOpenGLFramebufferObject> fbo_;
  QSize frameSize_;
  int rotation_ = 0;
  bool framesSeen_ = true;
  bool rendered_ = false;  // a frame has been rendered since the core was made
  QImage frame_;
  // Set while a drain or a render is already queued on the event loop, so
  // a burst of wake-ups costs one call.
  std::atomic<bool> drainQueued_{false};
  std::atomic<bool> renderQueued_{false};
};
