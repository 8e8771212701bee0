// Still frames: the playback-chain description, frame grabs and the settled
// seek.
#include "player/clsRWPlayer.h"

#include "core/modRegistry.h"
#include "core/modReelwise.h"
#include "player/cMpvCore.h"
#include "player/modMainPlayer.h"
#include "platform/WholeFile.h"

#include <QElapsedTimer>
#include <QFile>

namespace {

constexpr int kForcePositionTimeoutMs = 2000;

// A seek that showed a frame past its target is made again this much
// further back at first, twice as far each time after, up to the longest
// stretch between keyframes such files have.
constexpr double kFirstLeadSeconds = 1.0;
constexpr double kLongestLeadSeconds = 16.0;

QString TrackLine(const QVariantMap& track) {
  const QString type = track.value(QStringLiteral("type")).toString();
  QString line = QStringLiteral("%1 track %2: %3").arg(type, track.value(QStringLiteral("id")).toString(),
                                                       track.value(QStringLiteral("codec")).toString());
  if (type == QLatin1String("video")) {
    line += QStringLiteral(" %1x%2").arg(track.value(QStringLiteral("demux-w")).toInt())
                .arg(track.value(QStringLiteral("demux-h")).toInt());
  } else if (type == QLatin1String("audio")) {
    line += QStringLiteral(" %1 Hz, %2 channels").arg(track.value(QStringLiteral("demux-samplerate")).toInt())
                .arg(track.value(QStringLiteral("demux-channel-count")).toInt());
  }
  if (!track.value(QStringLiteral("selected")).toBool()) line += QStringLiteral(" (not played)");
  return line;
}

bool WriteText(const QString& path, const QStringList& lines) {
  QString text;
  for (const QString& line : lines) text += line + QLatin1Char('\n');
  return WriteFileWhole(path, text.toUtf8());
}

}  // namespace

// There is no graph to splice a grabber into: frames are taken from the
// decoded video, so a file can give frames when it has a video track that
// reaches the video output. The chain the engine built is written to the
// Temp folder at every open, as it played ("RWGraph 1-Auto.grf") and with the
// point frames are grabbed from ("RWGraph.grf", which external programs are
// handed).
void clsRWPlayer::BuildGraph(bool) {
  canGrabFrame_ = hasVideo_;
  WriteGraphFiles();
}

void clsRWPlayer::WriteGraphFiles() {
  if (gTempFolder.isEmpty()) return;
  QStringList chain{QStringLiteral("source: %1").arg(fileName_),
                    QStringLiteral("container: %1").arg(core_->Text("file-format"))};
  for (const QVariant& track : core_->Node("track-list").toList()) chain << TrackLine(track.toMap());
  const QString videoDecoder = QStringLiteral("video decoder: %1").arg(core_->Text("video-codec"));
  const QString videoOutput = QStringLiteral("video output: %1").arg(core_->Text("current-vo"));
  QStringList tail;
  if (hasAudio_) {
    tail << QStringLiteral("audio decoder: %1").arg(core_->Text("audio-codec-name"))
         << QStringLiteral("audio output: %1").arg(core_->Text("current-ao"));
  }
  QStringList automatic = chain;
  QStringList final = chain;
  if (hasVideo_) {
    automatic << videoDecoder << videoOutput;
    final << videoDecoder << QStringLiteral("frame grab: the decoded frame, after the video decoder")
          << videoOutput;
  }
  WriteText(gTempFolder + QStringLiteral("RWGraph 1-Auto.grf"), automatic + tail);
  WriteText(gTempFolder + QStringLiteral("RWGraph.grf"), final + tail);
}

QImage clsRWPlayer::ImageFromScreenshot(const QVariantMap& shot) {
  const int width = shot.value(QStringLiteral("w")).toInt();
  const int height = shot.value(QStringLiteral("h")).toInt();
  const int stride = shot.value(QStringLiteral("stride")).toInt();
  const QByteArray data = shot.value(QStringLiteral("data")).toByteArray();
  if (shot.value(QStringLiteral("format")).toString() != QLatin1String("bgr0") || width <= 0 || height <= 0 ||
      stride < width * 4 || data.size() < static_cast<qsizetype>(stride) * height) {
    return {};
  }
  // "bgr0" is Qt's RGB32 on a little-endian machine. The picture is the
  // reply's bytes, kept alive by the image rather than copied (a 1080p frame
  // is 8 MB); painting on it would copy it first.
  auto* bytes = new QByteArray(data);
  return QImage(
      reinterpret_cast<const uchar*>(bytes->constData()), width, height, stride, QImage::Format_RGB32,
      [](void* kept) { delete static_cast<QByteArray*>(kept); }, bytes);
}

// Waits for any seek to show its frame and takes that frame, muted, in at
// most ThumbnailTimeout seconds (read at every grab); the player is left
// paused. A file that shows its frames gives them at once (a seek past the
// last frame shows the last one, two grabs on one frame show it twice): only
// a file that shows none waits the whole time-out.
//
// Nothing here waits on the engine itself: after a seek the engine waits for
// this thread to draw the new frame, so a call that blocked this thread
// would stall both until the engine gave up on the frame. The pause is
// queued, ahead of the frame request, and the waits keep drawing.
QImage clsRWPlayer::GrabFrame() {
  if (!hasPosition_ || !hasControl_ || !canGrabFrame_) return {};
  const uint64_t serial = serial_;
  QElapsedTimer clock;
  clock.start();
  const qint64 timeoutMs =
      std::max<int64_t>(0, modRegistry::GetSettingLong(kRegOther, QStringLiteral("ThumbnailTimeout"))) *
      1000;
  core_->SetFlag("mute", true);
  core_->SetFlag("pause", true);
  stopped_ = false;
  running_ = false;
  QImage frame;
  const auto left = [&] { return static_cast<int>(std::max<qint64>(0, timeoutMs - clock.elapsed())); };
  if (WaitForSeek(static_cast<int>(timeoutMs)) && SeekAgainIfPast(left())) {
    grabbed_ = QImage();
    grabAnswered_ = false;
    grabReply_ = core_->Command({QStringLiteral("screenshot-raw"), QStringLiteral("video")});
    // The engine gives the decoded picture unturned, whichever way it renders.
    if (grabReply_ && core_->WaitFor([&] { return grabAnswered_ || serial_ != serial; }, left()) &&
        serial_ == serial) {
      frame = cMpvCore::Turned(grabbed_, rotation_);
    }
    grabReply_ = 0;
  }
  if (core_) core_->SetFlag("mute", false);
  grabbed_ = QImage();
  return frame;
}

// A seek that showed a frame more than a frame past its target: the
// engine's demuxer found its place by the times of the packets and landed
// after the keyframe before the target (MPEG program and transport
// streams). It is made again from further back, and the lead is kept for
// the file's later seeks; a lead that shows no earlier frame was not
// needed. False when a seek did not settle in time.
bool clsRWPlayer::SeekAgainIfPast(int timeoutMs) {
  const double rate = FrameRate();
  if (!landingUnchecked_ || rate <= 0) return true;
  landingUnchecked_ = false;
  const auto shownTime = [this] { return core_->Double("time-pos").value_or(lastPosition_); };
  double shown = shownTime();
  QElapsedTimer clock;
  clock.start();
  while (shown > exactTarget_ + 1 / rate + 0.005 && seekLead_ < kLongestLeadSeconds) {
    const double lead = seekLead_ > 0 ? std::min(seekLead_ * 2, kLongestLeadSeconds) : kFirstLeadSeconds;
    core_->SetDouble("hr-seek-demuxer-offset", lead);
    SeekTo(seekTarget_);
    landingUnchecked_ = false;
    if (!WaitForSeek(static_cast<int>(std::max<qint64>(0, timeoutMs - clock.elapsed())))) return false;
    const double again = shownTime();
    if (again >= shown) {
      core_->SetDouble("hr-seek-demuxer-offset", seekLead_);
      break;
    }
    seekLead_ = lead;
    shown = again;
  }
  return true;
}

QSize clsRWPlayer::DisplaySize() const { return cMpvCore::Turned(unturnedSize_, rotation_); }

// The video stays black while the seek settles; the display is then drawn
// empty and unseen, with the position as its mark. The pause is queued, as
// for a grab, so that the wait keeps drawing the engine's frames.
void clsRWPlayer::ForcePosition(double Seconds) {
  if (!hasVideo_ || !hasPosition_) return;
  core_->SetFlag("mute", true);
  core_->SetFlag("pause", true);
  stopped_ = false;
  running_ = false;
  BlackoutVideo();
  SetPosition(Seconds);
  const double shown = seekPending_ ? seekTarget_ : Position();
  WaitForSeek(kForcePositionTimeoutMs);
  gOsdIcon = QStringLiteral("OV_PLAY");
  gOsdTimeText = QString::number(shown);
  OverlayText(QString(), 0, gOsdTimeText, false);
  if (core_) core_->SetFlag("mute", false);
}
