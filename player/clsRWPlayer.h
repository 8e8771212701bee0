#pragma once
// The player object: one media file open in a video window owned by a window
// of the program, with transport (play, pause, stop, seeks, rate, stop time),
// its facts (duration, size, frame rate, bit rate), volume and balance,
// still frames grabbed for thumbnails and story boards, and the on-screen
// display over the video. The program-wide gPlayer serves the preview and the
// full-screen player; story boards and posters make their own.
//
// Every operation may be called at any time: one that lacks an open file, a
// video or the window it needs does nothing and returns 0, an empty value or
// false.
#include "platform/ColorRef.h"
#include "player/cVideoWindow.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class CairoContext;
class CairoSurface;
class cMpvCore;

struct mpv_event;
struct mpv_event_property;

// The on-screen display's layout, set for each file from the video's height
// H0 and the band's first height H (H0 / 14).
struct OsdLayout {
  double fontSize = 0;   // points: H0 / 12 / 2.2
  double iconSize = 0;   // 0.9 * H
  double iconScale = 0;  // iconSize / 16: an icon of 16 pixels drawn at the icon size
  double margin = 0;     // above the icons: (H - iconSize) / 2
  COLORREF displayColour = 0;  // of the texts
  double textHeight = 0;       // of "TEST" in the display's font
  double timeWidth = 0;        // of the widest position text, "0h:00m:00.00s"
};

class clsRWPlayer {
 public:
  clsRWPlayer();
  ~clsRWPlayer();
  clsRWPlayer(const clsRWPlayer&) = delete;
  clsRWPlayer& operator=(const clsRWPlayer&) = delete;

  // True while the open file has a decoded video track to grab frames from.
  bool CanGrabFrame() const { return canGrabFrame_; }
  void SetCanGrabFrame(bool value) { canGrabFrame_ = value; }

  // Unloads the file and drops the video window; the engine stays for the
  // next file. Never waits for the file to close.
  void CleanUp();
  // Opens a file paused (PlayState 0) in a hidden video window at the
  // rectangle inside hWndTarget. Returns an empty text on success, else the
  // error text (a failed open leaves nothing open).
  QString OpenFile(const QString& FileName, int rectTop, int rectLeft, int rectWidth, int rectHeight,
                   QWidget* hWndTarget, bool bAllowFrameCapture);
  bool FileLoaded() const { return fileLoaded_; }
  // True when the last OpenFile gave up because another open or an unload
  // took over while it waited: nothing is known of the file then, so callers
  // must not count it as unplayable.
  bool OpenInterrupted() const { return openInterrupted_; }

  // The window that owns the video window; setting it moves the video window.
  void SetOwner(QWidget* owner);
  QWidget* Owner() const { return owner_; }
  // Leaves full screen and sizes the video window.
  void ResizeWindow(int Width, int Height);
  // True: the full-screen player enlarges the picture to the screen (its
  // video window fills the player's window). False: the video window goes
  // full screen on its own and shows the picture at its own size, shrunk only
  // when it is larger than the screen. Both keep the picture's proportions.
  bool StretchToScreen = true;
  // Mouse and key events of the video window go to hWnd instead.
  void SetMessageDrain(QWidget* hWnd);

  // Describes the open file's playback chain in the Temp folder and finds
  // out whether frames can be grabbed.
  void BuildGraph(bool bAllowCapture);
  // The frame at the current position at the video's display size (turned
  // by its rotation), or a null image; the player is left paused. After an
  // exact seek, the frame at its target even in a file whose container
  // lands past it.
  QImage GrabFrame();
  // The open video's display size (its sample aspect and rotation applied),
  // the shape its pictures are shown in; empty before the engine reports it.
  QSize DisplaySize() const;
  // The rotation the video is shown with, degrees clockwise (0, 90, 180, 270).
  int Rotation() const { return rotation_; }
  // Frames per second, three decimals at most; 30 when the file does not
  // say, 0 without video.
  double FrameRate() const;

  // Drops the video window and transport control; the file stays loaded.
  void DestroyWindow();

  void Play();
  // 0 stopped, 1 paused, 2 running. Pauses first once the stop time is reached.
  int32_t PlayState();
  void SetFullScreen(bool on);
  bool FullScreen() const;
  void SetVisible(bool visible);
  bool Visible() const;
  int32_t VideoWidth() const { return hasVideo_ ? videoWidth_ : 0; }
  int32_t VideoHeight() const { return hasVideo_ ? videoHeight_ : 0; }
  // Bits per second of the video stream, 0 when not known.
  int32_t BitRate() const;
  void Pause();
  void StopPlayback();
  void TimeJump(double Seconds);
  double PlaybackRate() const;
  void SetPlaybackRate(double rate);
  double Duration() const { return hasPosition_ ? duration_ : 0; }
  double StopTime() const { return hasPosition_ ? stopTime_ : 0; }
  void SetStopTime(double seconds);
  double Position() const;
  void SetPosition(double seconds);
  // Percent 0..100 (75 for a new player).
  int32_t Volume() const { return volume_; }
  void SetVolume(int32_t percent);
  // -10000 (left only) .. 10000 (right only), hundredths of a decibel.
  int32_t Balance() const { return hasAudio_ ? balance_ : 0; }
  void SetBalance(int32_t balance);
  // A muted exact seek that waits until the frame at Seconds is shown.
  void ForcePosition(double Seconds);
  // The on-screen display, a band along the top of the video at the opacity
  // Value (0..1). Flag true draws the full display (icon, Text, position
  // Mark; see clsRWPlayer_osd.cpp), false the preview's plain text. Never
  // shown in the compact window.
  void OverlayText(const QString& Text, double Value, const QString& Mark, bool Flag);
  // Covers the whole video in black until the display is drawn again.
  void BlackoutVideo();
  // The display's layout for the open file.
  const OsdLayout& OverlayLayout() const { return osd_; }

  // The video window, for pictures of what it shows; null when none.
  cVideoWindow* VideoWindow() const { return window_; }
  // Seconds an open may take before it is given up.
  static constexpr int kOpenTimeoutMs = 10000;

 private:
  void InitOverlay();
  bool EnsureCore(QString* error);
  QString LoadFile(uint64_t serial);
  void ReadFileFacts();
  QString MakeVideoWindow(int rectTop, int rectLeft, int rectWidth, int rectHeight, QWidget* target);
  void TakeStartVolume();
  void ApplyVolume();
  void ApplyBalance();
  void OnEvent(const mpv_event& event);
  void OnPropertyChange(const mpv_event_property& change);
  void OnPositionChanged(double position);
  // The property with the rotation the video track asks for (degrees
  // clockwise; absent without one), and a rotation rounded as the engine
  // turns pictures: to a multiple of 90 in 0..270.
  static constexpr const char* kRotationProperty = "current-tracks/video/demux-rotation";
  static int RoundedRotation(int64_t degrees);
  void ShowFramesAtDisplaySize();
  void SeekTo(double seconds);
  bool WaitForSeek(int timeoutMs);
  bool SeekAgainIfPast(int timeoutMs);
  void WriteGraphFiles();
  void AbandonCore();
  static QImage ImageFromScreenshot(const QVariantMap& shot);
  QSize OverlaySize() const;
  void MakeBand(int width, int height);
  void DrawFullBand(const QString& Text, const QString& Mark, int iconCount);
  void DrawPlainBand(const QString& Text);

  std::unique_ptr<cMpvCore> core_;
  QPointer<cVideoWindow> window_;
  QPointer<QWidget> owner_;
  QString fileName_;
  bool canGrabFrame_ = false;
  bool fileLoaded_ = false;
  // What an open file offers, as the operations need it.
  bool hasControl_ = false;
  bool hasPosition_ = false;
  bool hasAudio_ = false;
  bool hasVideo_ = false;
  bool overlayReady_ = false;
  int32_t videoWidth_ = 0;
  int32_t videoHeight_ = 0;
  double duration_ = 0;
  double stopTime_ = 0;
  int32_t volume_ = 75;
  int32_t balance_ = 0;
  bool stopped_ = true;
  // Set by Play, cleared by every pause: what the stop time watches.
  bool running_ = false;
  // The video's display size as the engine gives it (before the rotation)
  // and the rotation, degrees clockwise.
  QSize unturnedSize_;
  int rotation_ = 0;
  // The open in progress: every OpenFile and CleanUp starts a new serial,
  // which ends the wait of an earlier open.
  uint64_t serial_ = 0;
  int64_t entryId_ = -1;  // mpv's playlist entry of the file being opened
  QString loadError_;
  // Seeks sent but not yet shown.
  double seekTarget_ = 0;
  bool seekPending_ = false;
  // The last exact seek's target moved to its frame's start, until a grab
  // has looked at the frame it showed.
  double exactTarget_ = 0;
  bool landingUnchecked_ = false;
  // How far before its target the engine's demuxer seeks in the open file:
  // none until a seek showed a frame past its target (GrabFrame).
  double seekLead_ = 0;
  double lastPosition_ = 0;
  std::vector<uint64_t> seekReplies_;
  // The open's own events, by mpv's playlist entry.
  uint64_t loadReply_ = 0;
  int64_t startingEntry_ = -1;
  int64_t loadedEntry_ = -1;
  int64_t restartedEntry_ = -1;
  int64_t endedEntry_ = -1;
  int endError_ = 0;
  // An open that never finished may have left the engine stuck on a read.
  bool openUnfinished_ = false;
  bool openInterrupted_ = false;
  // The frame grab waiting for its answer.
  uint64_t grabReply_ = 0;
  bool grabAnswered_ = false;
  QImage grabbed_;
  bool balanceFilter_ = false;
  // The on-screen display's band, drawn here and shown by the video window.
  std::shared_ptr<CairoSurface> bandSurface_;
  std::shared_ptr<CairoContext> bandContext_;
  OsdLayout osd_;
};

extern std::unique_ptr<clsRWPlayer> gPlayer;
