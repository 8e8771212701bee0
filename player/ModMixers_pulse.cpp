// The sound server's mixer: the volume and mute of its default sink. The
// connection is driven synchronously, each step bounded by a deadline, so
// that a server that is absent or goes away costs at most half a second.
#include "player/ModMixers.h"

#include <pulse/pulseaudio.h>

#include <chrono>
#include <string>

namespace ModMixers {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kPatience{500};

constexpr uint32_t kSinkVolume = 1;
constexpr uint32_t kSinkMute = 2;

// What a sink-info query brings back.
struct SinkState {
  bool found = false;
  pa_cvolume volume{};
  pa_channel_map map{};
  bool muted = false;
};

void OnServerInfo(pa_context*, const pa_server_info* info, void* userdata) {
  if (info && info->default_sink_name) *static_cast<std::string*>(userdata) = info->default_sink_name;
}

void OnSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* userdata) {
  if (eol || !info) return;
  auto* state = static_cast<SinkState*>(userdata);
  state->found = true;
  state->volume = info->volume;
  state->map = info->channel_map;
  state->muted = info->mute != 0;
}

void OnSuccess(pa_context*, int success, void* userdata) { *static_cast<bool*>(userdata) = success != 0; }

class PulseMixer final : public IMixerBackend {
 public:
  ~PulseMixer() override { Disconnect(); }

  int32_t DeviceCount() override { return Connect() ? 1 : 0; }

  bool Open(int32_t device) override {
    sink_.clear();
    if (device != 0 || !Connect()) return false;
    std::string name;
    const Clock::time_point deadline = Clock::now() + kPatience;
    if (!Run(pa_context_get_server_info(context_, OnServerInfo, &name), deadline) || name.empty()) return false;
    sink_ = name;
    SinkState state;
    if (!QuerySink(state, deadline)) sink_.clear();
    return !sink_.empty();
  }

  bool FindControl(uint32_t component, uint32_t controlType, MixerControl& out) override {
    if (sink_.empty() || component != kComponentSpeakers) return false;
    if (controlType == kControlVolume) out = {kSinkVolume, 0, static_cast<int32_t>(PA_VOLUME_NORM)};
    else if (controlType == kControlMute) out = {kSinkMute, 0, 1};
    else return false;
    return true;
  }

  bool SetValue(uint32_t controlId, uint32_t value) override {
    const Clock::time_point deadline = Clock::now() + kPatience;
    SinkState state;
    if (!QuerySink(state, deadline)) return false;
    bool done = false;
    pa_operation* op = nullptr;
    if (controlId == kSinkVolume) {
      if (!pa_channels_valid(state.map.channels) || !PA_VOLUME_IS_VALID(value)) return false;
      pa_cvolume volume;
      pa_cvolume_set(&volume, state.map.channels, static_cast<pa_volume_t>(value));
      op = pa_context_set_sink_volume_by_name(context_, sink_.c_str(), &volume, OnSuccess, &done);
    } else if (controlId == kSinkMute) {
      op = pa_context_set_sink_mute_by_name(context_, sink_.c_str(), value != 0, OnSuccess, &done);
    }
    return Run(op, deadline) && done;
  }

  bool GetValue(uint32_t controlId, uint32_t& value) override {
    SinkState state;
    if (!QuerySink(state, Clock::now() + kPatience)) return false;
    if (controlId == kSinkVolume) value = pa_cvolume_avg(&state.volume);
    else if (controlId == kSinkMute) value = state.muted ? 1 : 0;
    else return false;
    return true;
  }

 private:
  bool Ready() const { return context_ && pa_context_get_state(context_) == PA_CONTEXT_READY; }

  // Connects unless connected already; a server that is not running is
  // never started.
  bool Connect() {
    if (context_) return Ready();
    loop_ = pa_mainloop_new();
    if (!loop_) return false;
    context_ = pa_context_new(pa_mainloop_get_api(loop_), "Reelwise II");
    if (!context_ || pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return false;
    const Clock::time_point deadline = Clock::now() + kPatience;
    while (PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) && !Ready()) {
      if (!Iterate(deadline)) break;
    }
    return Ready();
  }

  void Disconnect() {
    if (context_) {
      pa_context_disconnect(context_);
      pa_context_unref(context_);
      context_ = nullptr;
    }
    if (loop_) pa_mainloop_free(loop_);
    loop_ = nullptr;
  }

  // One turn of the loop, waiting no later than `deadline`; false when the
  // time is up or the loop fails.
  bool Iterate(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    return pa_mainloop_prepare(loop_, static_cast<int>(left.count())) >= 0 && pa_mainloop_poll(loop_) >= 0 &&
           pa_mainloop_dispatch(loop_) >= 0;
  }

  // Waits for `op` to finish; false when it fails, the server goes away or
  // the time is up. A server that does not answer in time is dropped, so
  // that the calls after it fail at once. Takes the reference to `op`.
  bool Run(pa_operation* op, Clock::time_point deadline) {
    if (!op) return false;
    bool answering = true;
    while (answering && pa_operation_get_state(op) == PA_OPERATION_RUNNING) {
      answering = Ready() && Iterate(deadline);
    }
    if (!answering) pa_operation_cancel(op);
    const bool done = pa_operation_get_state(op) == PA_OPERATION_DONE;
    pa_operation_unref(op);
    if (!answering) Disconnect();
    return done;
  }

  bool QuerySink(SinkState& state, Clock::time_point deadline) {
    if (sink_.empty() || !Ready()) return false;
    pa_operation* op = pa_context_get_sink_info_by_name(context_, sink_.c_str(), OnSinkInfo, &state);
    return Run(op, deadline) && state.found;
  }

  pa_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  std::string sink_;  // the default sink when the mixer was opened
};

}  // namespace

std::unique_ptr<IMixerBackend> MakePulseBackend() { return std::make_unique<PulseMixer>(); }

}  // namespace ModMixers
