// The player's transport, facts, window, volume and balance.
#include "player/clsRWPlayer.h"

#include "player/cMpvCore.h"
#include "player/cVideoWindow.h"

#include <algorithm>
#include <cmath>

void clsRWPlayer::Play() {
  if (!hasPosition_ || !hasControl_) return;
  // A file that reached its end starts again (seconds compared after
  // rounding, halves to even).
  if (std::nearbyint(Position()) == std::nearbyint(duration_)) SeekTo(0);
  core_->SetDoubleNow("speed", 1.0);
  core_->SetFlagNow("pause", false);
  stopped_ = false;
  running_ = true;
  landingUnchecked_ = false;
}

void clsRWPlayer::Pause() {
  if (!hasControl_) return;
  core_->SetFlagNow("pause", true);
  stopped_ = false;
  running_ = false;
}

void clsRWPlayer::StopPlayback() {
  if (!hasPosition_ || !hasControl_) return;
  core_->SetFlagNow("pause", true);
  stopped_ = true;
  running_ = false;
}

int32_t clsRWPlayer::PlayState() {
  if (!hasPosition_ || !hasControl_) return 0;
  const bool paused = core_->Flag("pause").value_or(true);
  if (!paused && Position() >= stopTime_) {
    Pause();
    return 1;
  }
  if (stopped_) return 0;
  return paused ? 1 : 2;
}

// Pauses a running file as soon as a frame at or past the stop time shows.
// Called from an event: the pause is queued, not waited for.
void clsRWPlayer::OnPositionChanged(double position) {
  lastPosition_ = position;
  if (!hasPosition_ || !hasControl_ || seekPending_ || !running_ || position < stopTime_) return;
  core_->SetFlag("pause", true);
  running_ = false;
}

double clsRWPlayer::Position() const {
  if (!hasPosition_) return 0;
  if (seekPending_) return seekTarget_;
  // Held at its end, the file reports the last frame's time; callers that
  // wait for the end point watch for the duration.
  if (core_->Flag("eof-reached").value_or(false)) return std::max(duration_, lastPosition_);
  return core_->Double("time-pos").value_or(lastPosition_);
}

void clsRWPlayer::SetPosition(double seconds) {
  if (!hasPosition_) return;
  if (seconds > 0 && !core_->Flag("seekable").value_or(false)) return;
  const double duration = core_->Double("duration").value_or(duration_);
  SeekTo(std::clamp(seconds, 0.0, std::max(duration, 0.0)));
}

// An exact seek. With video the target is moved to the start of the frame
// that shows at that time, so that stepping by one frame period lands on
// the neighbouring frame whatever the rounding of the times.
void clsRWPlayer::SeekTo(double seconds) {
  double target = seconds;
  const double rate = hasVideo_ ? FrameRate() : 0;
  if (rate > 0) target = std::floor(seconds * rate + 1e-6) / rate;
  seekTarget_ = seconds;
  seekPending_ = true;
  exactTarget_ = target;
  // Once playing, the frame shown moves on from the one the seek showed.
  landingUnchecked_ = !running_;
  if (const uint64_t id = core_->Command({QStringLiteral("seek"), target, QStringLiteral("absolute+exact")})) {
    seekReplies_.push_back(id);
  } else {
    seekPending_ = false;
  }
}

bool clsRWPlayer::WaitForSeek(int timeoutMs) {
  const uint64_t serial = serial_;
  return core_->WaitFor([&] { return !seekPending_ || serial_ != serial; }, timeoutMs) && serial_ == serial;
}

void clsRWPlayer::TimeJump(double Seconds) {
  if (!hasPosition_ || !core_->Flag("seekable").value_or(false)) return;
  const double target = Position() + Seconds;
  if (target < 0) {
    SeekTo(0);
  } else if (target > duration_) {
    SeekTo(duration_);
  } else {
    SeekTo(Position() + Seconds);
  }
}

double clsRWPlayer::PlaybackRate() const {
  if (!hasPosition_) return 0;
  return core_->Double("speed").value_or(1.0);
}

void clsRWPlayer::SetPlaybackRate(double rate) {
  if (!hasPosition_) return;
  core_->SetDoubleNow("speed", rate <= 0 ? 0.1 : rate);
}

void clsRWPlayer::SetStopTime(double seconds) {
  if (!hasPosition_ || seconds == stopTime_) return;
  stopTime_ = seconds;
}

double clsRWPlayer::FrameRate() const {
  if (!hasVideo_) return 0;
  double rate = core_->Double("container-fps").value_or(0);
  if (rate <= 0) rate = core_->Double("estimated-vf-fps").value_or(0);
  if (rate <= 0) return 30;
  return std::round(rate * 1000) / 1000;  // three decimals at most
}

int32_t clsRWPlayer::BitRate() const {
  if (!hasVideo_) return 0;
  return static_cast<int32_t>(core_->Double("video-bitrate").value_or(0));
}

// Volume is held in percent; the engine gets the same loudness as hundredths
// of a decibel below full (percent x 100 - 10000) on its cubic scale.
void clsRWPlayer::SetVolume(int32_t percent) {
  volume_ = std::clamp(percent, 0, 100);
  ApplyVolume();
}

void clsRWPlayer::ApplyVolume() {
  if (!hasAudio_ || !core_) return;
  const double decibels = (volume_ * 100.0 - 10000.0) / 100.0;
  core_->SetDouble("volume", volume_ == 0 ? 0.0 : 100.0 * std::pow(10.0, decibels / 60.0));
}

void clsRWPlayer::SetBalance(int32_t balance) {
  if (!hasAudio_) return;
  balance_ = std::clamp(balance, -10000, 10000);
  ApplyBalance();
}

// The far channel is attenuated by the balance in hundredths of a decibel.
void clsRWPlayer::ApplyBalance() {
  if (balance_ == 0) {
    if (balanceFilter_) core_->SetText("af", QString());
    balanceFilter_ = false;
    return;
  }
  const double gain = std::pow(10.0, -std::abs(balance_) / 2000.0);
  const double left = balance_ > 0 ? gain : 1.0;
  const double right = balance_ < 0 ? gain : 1.0;
  core_->SetText("af", QStringLiteral("lavfi=[aformat=channel_layouts=stereo,pan=stereo|c0=%1*c0|c1=%2*c1]")
                           .arg(QString::number(left, 'f', 6), QString::number(right, 'f', 6)));
  balanceFilter_ = true;
}

void clsRWPlayer::SetOwner(QWidget* owner) {
  if (!window_) return;
  owner_ = owner;
  window_->SetOwner(owner);
}

void clsRWPlayer::ResizeWindow(int Width, int Height) {
  if (!window_) return;
  window_->SetFullScreen(false);
  window_->resize(Width, Height);
}

void clsRWPlayer::SetMessageDrain(QWidget* hWnd) {
  if (window_) window_->SetMessageDrain(hWnd);
}

void clsRWPlayer::SetFullScreen(bool on) {
  if (window_) window_->SetFullScreen(on);
}

bool clsRWPlayer::FullScreen() const { return window_ && window_->IsFullScreen(); }

void clsRWPlayer::SetVisible(bool visible) {
  if (window_) window_->setVisible(visible);
}

bool clsRWPlayer::Visible() const { return window_ && !window_->isHidden(); }

void clsRWPlayer::DestroyWindow() {
  if (!window_) return;
  window_->hide();
  delete window_;
  hasControl_ = false;
}
