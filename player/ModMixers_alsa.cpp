// The sound card's mixer, "default": the "Master" element for the master
// line and "PCM" for the playback stream, each with its playback volume and
// playback switch. Used when no sound server answers.
#include "player/ModMixers.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <limits>

namespace ModMixers {

namespace {

// Control ids: the volumes of the two lines, then their switches.
constexpr uint32_t kMasterVolume = 1;
constexpr uint32_t kPcmVolume = 2;
constexpr uint32_t kMasterSwitch = 3;
constexpr uint32_t kPcmSwitch = 4;

// Keeps the library's error messages off stderr while it is used: a missing
// card or element is an answer here, not an error.
class QuietAlsa {
 public:
  QuietAlsa() : saved_(snd_lib_error) { snd_lib_error_set_handler(Silent); }
  ~QuietAlsa() { snd_lib_error_set_handler(saved_); }
  QuietAlsa(const QuietAlsa&) = delete;
  QuietAlsa& operator=(const QuietAlsa&) = delete;

 private:
  static void Silent(const char*, int, const char*, int, const char*, ...) {}
  snd_lib_error_handler_t saved_;
};

const char* LineName(uint32_t component) {
  if (component == kComponentSpeakers) return "Master";
  if (component == kComponentWaveOut) return "PCM";
  return nullptr;
}

class AlsaMixer final : public IMixerBackend {
 public:
  ~AlsaMixer() override {
    if (mixer_) snd_mixer_close(mixer_);
  }

  int32_t DeviceCount() override { return OpenDefault() ? 1 : 0; }

  bool Open(int32_t device) override { return device == 0 && OpenDefault(); }

  bool FindControl(uint32_t component, uint32_t controlType, MixerControl& out) override {
    QuietAlsa quiet;
    const char* name = LineName(component);
    snd_mixer_elem_t* element = name ? Element(name) : nullptr;
    if (!element) return false;
    const bool master = component == kComponentSpeakers;
    if (controlType == kControlMute && snd_mixer_selem_has_playback_switch(element)) {
      out = {master ? kMasterSwitch : kPcmSwitch, 0, 1};
      return true;
    }
    long min = 0;
    long max = 0;
    if (controlType != kControlVolume || !snd_mixer_selem_has_playback_volume(element) ||
        snd_mixer_selem_get_playback_volume_range(element, &min, &max) < 0) {
      return false;
    }
    const uint32_t id = master ? kMasterVolume : kPcmVolume;
    volumeFloor_[id] = min;
    const long span = std::clamp<long>(max - min, 0, std::numeric_limits<int32_t>::max());
    out = {id, 0, static_cast<int32_t>(span)};
    return true;
  }

  // A switch that is on means the line is heard, so mute 1 is switch off.
  bool SetValue(uint32_t controlId, uint32_t value) override {
    QuietAlsa quiet;
    snd_mixer_elem_t* element = Current(controlId);
    if (!element) return false;
    if (IsSwitch(controlId)) return snd_mixer_selem_set_playback_switch_all(element, value ? 0 : 1) >= 0;
    return snd_mixer_selem_set_playback_volume_all(element, static_cast<long>(value) + volumeFloor_[controlId]) >= 0;
  }

  bool GetValue(uint32_t controlId, uint32_t& value) override {
    QuietAlsa quiet;
    snd_mixer_elem_t* element = Current(controlId);
    if (!element) return false;
    if (IsSwitch(controlId)) {
      int on = 0;
      if (snd_mixer_selem_get_playback_switch(element, SND_MIXER_SCHN_FRONT_LEFT, &on) < 0) return false;
      value = on ? 0 : 1;
      return true;
    }
    long volume = 0;
    if (snd_mixer_selem_get_playback_volume(element, SND_MIXER_SCHN_FRONT_LEFT, &volume) < 0) return false;
    value = static_cast<uint32_t>(std::max<long>(volume - volumeFloor_[controlId], 0));
    return true;
  }

 private:
  static bool IsSwitch(uint32_t controlId) { return controlId == kMasterSwitch || controlId == kPcmSwitch; }

  bool OpenDefault() {
    if (mixer_) return true;
    QuietAlsa quiet;
    snd_mixer_t* mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0) return false;
    if (snd_mixer_attach(mixer, "default") < 0 || snd_mixer_selem_register(mixer, nullptr, nullptr) < 0 ||
        snd_mixer_load(mixer) < 0) {
      snd_mixer_close(mixer);
      return false;
    }
    mixer_ = mixer;
    return true;
  }

  snd_mixer_elem_t* Element(const char* name) {
    if (!mixer_) return nullptr;
    snd_mixer_selem_id_t* id = nullptr;
    snd_mixer_selem_id_alloca(&id);
    snd_mixer_selem_id_set_index(id, 0);
    snd_mixer_selem_id_set_name(id, name);
    return snd_mixer_find_selem(mixer_, id);
  }

  // The element of a control after taking in the card's changes; found by
  // name each time because a change may have removed it.
  snd_mixer_elem_t* Current(uint32_t controlId) {
    if (!mixer_ || controlId < kMasterVolume || controlId > kPcmSwitch) return nullptr;
    if (snd_mixer_handle_events(mixer_) < 0) return nullptr;
    const bool master = controlId == kMasterVolume || controlId == kMasterSwitch;
    return Element(master ? "Master" : "PCM");
  }

  snd_mixer_t* mixer_ = nullptr;
  long volumeFloor_[kPcmVolume + 1] = {};  // the lowest raw volume of each volume control
};

}  // namespace

std::unique_ptr<IMixerBackend> MakeAlsaBackend() { return std::make_unique<AlsaMixer>(); }

}  // namespace ModMixers
