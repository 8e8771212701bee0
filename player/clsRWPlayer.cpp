// The player's life: its engine, opening a file and unloading it, and the
// engine's events.
#include "player/clsRWPlayer.h"

#include "core/modReelwise.h"
#include "player/ModMixers.h"
#include "player/MpvNode.h"
#include "player/cMpvCore.h"
#include "player/cVideoWindow.h"

#include <mpv/client.h>

#include <algorithm>

std::unique_ptr<clsRWPlayer> gPlayer;

namespace {

QString ErrorText(int code, const QString& description = {}) {
  return QStringLiteral("Error %1: %2")
      .arg(code)
      .arg(description.isEmpty() ? QString::fromUtf8(mpv_error_string(code)) : description);
}

const QString kRenderProblem = QStringLiteral("There was a problem rendering the video stream...\r\n\r\n");

}  // namespace

clsRWPlayer::clsRWPlayer() = default;

clsRWPlayer::~clsRWPlayer() {
  delete window_;
  CleanUp();
  if (openUnfinished_) AbandonCore();
}

// The engine is made by the first open, so a program that never plays a
// file pays nothing for it, and kept for the files after.
bool clsRWPlayer::EnsureCore(QString* error) {
  if (core_) return true;
  core_ = cMpvCore::Create(error);
  if (!core_) return false;
  core_->OnEvent = [this](const mpv_event& event) { OnEvent(event); };
  core_->Observe("time-pos", MPV_FORMAT_DOUBLE);
  core_->Observe("dwidth", MPV_FORMAT_INT64);
  core_->Observe("dheight", MPV_FORMAT_INT64);
  core_->Observe(kRotationProperty, MPV_FORMAT_INT64);
  return true;
}

// A core stuck on a read is given up and the next open makes a new one; the
// video window drawing its frames goes first.
void clsRWPlayer::AbandonCore() {
  delete window_;
  if (core_) core_->Abandon();
  core_.reset();
  openUnfinished_ = false;
}

void clsRWPlayer::CleanUp() {
  overlayReady_ = false;
  bandContext_.reset();
  bandSurface_.reset();
  ++serial_;
  if (core_) {
    core_->Command({QStringLiteral("stop")});
    core_->Wake();
  }
  delete window_;
  hasControl_ = hasPosition_ = hasAudio_ = hasVideo_ = false;
  canGrabFrame_ = false;
  fileLoaded_ = false;
  seekPending_ = false;
  seekReplies_.clear();
  grabReply_ = 0;
  stopped_ = true;
}

QString clsRWPlayer::OpenFile(const QString& FileName, int rectTop, int rectLeft, int rectWidth, int rectHeight,
                              QWidget* hWndTarget, bool bAllowFrameCapture) {
  CleanUp();
  const uint64_t serial = serial_;
  openInterrupted_ = false;
  if (openUnfinished_) AbandonCore();
  fileName_ = FileName;
  QString error;
  if (!EnsureCore(&error)) return error;
  QString result = LoadFile(serial);
  if (!result.isEmpty()) {
    if (serial_ == serial) CleanUp();
    return result;
  }
  ReadFileFacts();
  BuildGraph(bAllowFrameCapture);
  TakeStartVolume();
  SetBalance(0);
  result = MakeVideoWindow(rectTop, rectLeft, rectWidth, rectHeight, hWndTarget);
  if (!result.isEmpty()) {
    CleanUp();
    return result;
  }
  hasPosition_ = hasControl_ = true;
  stopTime_ = duration_;
  core_->SetDouble("speed", 1.0);
  if (!gAddingFiles) InitOverlay();
  fileLoaded_ = true;
  return {};
}

// Loads the file paused and waits, with the message loop running, until its
// first frame (or first sound) is ready, it fails, or another open or an
// unload takes over.
QString clsRWPlayer::LoadFile(uint64_t serial) {
  entryId_ = -1;
  loadError_.clear();
  core_->SetFlag("pause", true);
  core_->SetFlag("mute", false);
  seekLead_ = 0;
  core_->SetDouble("hr-seek-demuxer-offset", 0);
  loadReply_ = core_->Command({QStringLiteral("loadfile"), fileName_, QStringLiteral("replace")});
  if (!loadReply_) return ErrorText(MPV_ERROR_LOADING_FAILED);
  openUnfinished_ = true;
  auto settled = [&] {
    if (serial_ != serial || !loadError_.isEmpty()) return true;
    if (entryId_ < 0) return false;
    return endedEntry_ == entryId_ || (loadedEntry_ == entryId_ && restartedEntry_ == entryId_);
  };
  const bool answered = core_->WaitFor(settled, kOpenTimeoutMs);
  if (serial_ != serial) {
    openInterrupted_ = true;
    return ErrorText(MPV_ERROR_LOADING_FAILED, QStringLiteral("the open was interrupted"));
  }
  if (!answered) {
    AbandonCore();
    return ErrorText(MPV_ERROR_LOADING_FAILED, QStringLiteral("the file did not open within %1 seconds")
                                                   .arg(kOpenTimeoutMs / 1000));
  }
  openUnfinished_ = false;
  if (!loadError_.isEmpty()) return loadError_;
  if (endedEntry_ == entryId_) return ErrorText(endError_ < 0 ? endError_ : MPV_ERROR_NOTHING_TO_PLAY);
  return {};
}

namespace {

struct Tracks {
  bool video = false;          // a video track that is not a cover picture
  bool videoSelected = false;  // ...and is being decoded
  bool audioSelected = false;
};

Tracks ReadTracks(const QVariant& trackList) {
  Tracks tracks;
  for (const QVariant& entry : trackList.toList()) {
    const QVariantMap track = entry.toMap();
    const QString type = track.value(QStringLiteral("type")).toString();
    const bool selected = track.value(QStringLiteral("selected")).toBool();
    if (type == QLatin1String("video") && !track.value(QStringLiteral("albumart")).toBool()) {
      tracks.video = true;
      tracks.videoSelected = tracks.videoSelected || selected;
    } else if (type == QLatin1String("audio")) {
      tracks.audioSelected = tracks.audioSelected || selected;
    }
  }
  return tracks;
}

}  // namespace

void clsRWPlayer::ReadFileFacts() {
  const Tracks tracks = ReadTracks(core_->Node("track-list"));
  hasVideo_ = tracks.videoSelected && core_->Flag("vo-configured").value_or(false);
  hasAudio_ = tracks.audioSelected;
  duration_ = core_->Double("duration").value_or(0);
  videoWidth_ = hasVideo_ ? static_cast<int32_t>(core_->Int("width").value_or(0)) : 0;
  videoHeight_ = hasVideo_ ? static_cast<int32_t>(core_->Int("height").value_or(0)) : 0;
  // A video track that reached no output: the window cannot show it.
  if (tracks.video && !hasVideo_) loadError_ = kRenderProblem + ErrorText(MPV_ERROR_VO_INIT_FAILED);
}

QString clsRWPlayer::MakeVideoWindow(int rectTop, int rectLeft, int rectWidth, int rectHeight, QWidget* target) {
  if (!loadError_.isEmpty()) return loadError_;
  if (!hasVideo_) return {};
  window_ = new cVideoWindow(*core_, target);
  window_->hide();
  window_->setGeometry(rectLeft, rectTop, rectWidth, rectHeight);
  owner_ = target;
  return {};
}

// The start volume follows the system's master volume where there is one;
// without a mixer the player keeps the volume it has.
void clsRWPlayer::TakeStartVolume() {
  if (ModMixers::OpenMixer(0) && ModMixers::HasVolumeControl()) volume_ = ModMixers::GetVolume(0);
  SetVolume(volume_);
}

void clsRWPlayer::OnPropertyChange(const mpv_event_property& change) {
  const QByteArray name(change.name);
  if (change.format == MPV_FORMAT_DOUBLE && name == "time-pos") {
    OnPositionChanged(*static_cast<const double*>(change.data));
  } else if (change.format == MPV_FORMAT_INT64 && (name == "dwidth" || name == "dheight")) {
    const int value = static_cast<int>(*static_cast<const int64_t*>(change.data));
    (name == "dwidth" ? unturnedSize_.rwidth() : unturnedSize_.rheight()) = value;
    ShowFramesAtDisplaySize();
  } else if (name == kRotationProperty) {
    // A video without a rotation has no such property.
    rotation_ = change.format == MPV_FORMAT_INT64 ? RoundedRotation(*static_cast<const int64_t*>(change.data)) : 0;
    ShowFramesAtDisplaySize();
  }
}

int clsRWPlayer::RoundedRotation(int64_t degrees) {
  return static_cast<int>((degrees % 360 + 360 + 45) % 360 / 90) * 90;
}

// The engine's display size has the sample aspect applied but not the
// rotation, which turns it here.
void clsRWPlayer::ShowFramesAtDisplaySize() {
  if (core_ && !unturnedSize_.isEmpty()) core_->SetFrameSize(cMpvCore::Turned(unturnedSize_, rotation_), rotation_);
}

void clsRWPlayer::OnEvent(const mpv_event& event) {
  switch (event.event_id) {
    case MPV_EVENT_START_FILE:
      startingEntry_ = static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id;
      break;
    case MPV_EVENT_FILE_LOADED:
      loadedEntry_ = startingEntry_;
      break;
    case MPV_EVENT_END_FILE: {
      const auto* end = static_cast<const mpv_event_end_file*>(event.data);
      endedEntry_ = end->playlist_entry_id;
      endError_ = end->reason == MPV_END_FILE_REASON_ERROR ? end->error : 0;
      break;
    }
    case MPV_EVENT_PLAYBACK_RESTART:
      restartedEntry_ = startingEntry_;
      if (seekReplies_.empty()) seekPending_ = false;
      break;
    case MPV_EVENT_PROPERTY_CHANGE:
      OnPropertyChange(*static_cast<const mpv_event_property*>(event.data));
      break;
    case MPV_EVENT_COMMAND_REPLY: {
      const auto* reply = static_cast<const mpv_event_command*>(event.data);
      const uint64_t id = event.reply_userdata;
      if (id == loadReply_) {
        loadReply_ = 0;
        if (event.error < 0) {
          loadError_ = ErrorText(event.error);
        } else {
          entryId_ = MpvNode::ToVariant(reply->result).toMap().value(QStringLiteral("playlist_entry_id"), -1)
                         .toLongLong();
        }
      } else if (id == grabReply_) {
        grabReply_ = 0;
        grabAnswered_ = true;
        if (event.error >= 0) grabbed_ = ImageFromScreenshot(MpvNode::ToVariant(reply->result).toMap());
      } else if (auto seek = std::find(seekReplies_.begin(), seekReplies_.end(), id); seek != seekReplies_.end()) {
        seekReplies_.erase(seek);
        if (event.error < 0 && seekReplies_.empty()) seekPending_ = false;
      }
      break;
    }
    default:
      break;
  }
}
