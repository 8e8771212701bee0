#include "player/ModMixers.h"

#include "platform/Rounding.h"

#include <algorithm>
#include <limits>

namespace ModMixers {

int32_t gMixerHandle = 0;
MixerControl gMixerControls[21];

namespace {

constexpr int32_t kTableSize = 21;

// The system's mixer: the sound server when one answers, else the sound
// card's own. Asking the count looks afresh, so each file open finds a
// server started or stopped since, and drops the connection of the mixer
// opened before.
class SystemMixer final : public IMixerBackend {
 public:
  int32_t DeviceCount() override {
    Choose();
    return chosen_ ? chosen_->DeviceCount() : 0;
  }
  bool Open(int32_t device) override { return chosen_ && chosen_->Open(device); }
  bool FindControl(uint32_t component, uint32_t controlType, MixerControl& out) override {
    return chosen_ && chosen_->FindControl(component, controlType, out);
  }
  bool SetValue(uint32_t controlId, uint32_t value) override { return chosen_ && chosen_->SetValue(controlId, value); }
  bool GetValue(uint32_t controlId, uint32_t& value) override { return chosen_ && chosen_->GetValue(controlId, value); }

 private:
  void Choose() {
    chosen_.reset();
    for (auto make : {MakePulseBackend, MakeAlsaBackend}) {
      std::unique_ptr<IMixerBackend> candidate = make();
      if (candidate->DeviceCount() > 0) {
        chosen_ = std::move(candidate);
        return;
      }
    }
  }

  std::unique_ptr<IMixerBackend> chosen_;
};

std::unique_ptr<IMixerBackend>& Backend() {
  static std::unique_ptr<IMixerBackend> backend;
  if (!backend) backend = std::make_unique<SystemMixer>();
  return backend;
}

int32_t& LastHandle() {
  static int32_t last = 0;
  return last;
}

void CloseMixer() {
  gMixerHandle = 0;
  std::fill(std::begin(gMixerControls), std::end(gMixerControls), MixerControl{});
}

bool IsOpen(int32_t handle) { return handle != 0 && handle == gMixerHandle; }

bool IsEmpty(const MixerControl& control) { return control.dwControlID == 0 && control.lMaximum == 0; }

bool InTable(int32_t controlIndex) { return controlIndex >= 0 && controlIndex < kTableSize; }

// Percent to a raw value: a wide range is scaled in whole hundredths, a
// range up to 100 takes the percent as it is; then kept inside the range.
int64_t RawValue(const MixerControl& control, int32_t percent) {
  int64_t value = percent;
  if (control.lMaximum >= 101) value = int64_t{control.lMaximum / 100} * percent;
  value = std::min<int64_t>(value, control.lMaximum);
  return std::max<int64_t>(value, control.lMinimum);
}

// Raw value to percent, rounded half to even.
int32_t Percent(const MixerControl& control, uint32_t raw) {
  if (control.lMaximum <= 100) return static_cast<int32_t>(raw);
  const double percent = RoundHalfEven(raw * 100.0 / control.lMaximum - control.lMinimum);
  constexpr double kLow = std::numeric_limits<int32_t>::min();
  constexpr double kHigh = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp(percent, kLow, kHigh));
}

}  // namespace

bool OpenMixer(int32_t device) {
  CloseMixer();
  IMixerBackend& backend = *Backend();
  if (device < 0 || device >= backend.DeviceCount()) return false;
  if (!backend.Open(device)) return false;
  gMixerHandle = ++LastHandle();
  GetMixerControl(gMixerHandle, kComponentSpeakers, kControlVolume, gMixerControls[0]);
  GetMixerControl(gMixerHandle, kComponentWaveOut, kControlVolume, gMixerControls[5]);
  GetMixerControl(gMixerHandle, kComponentSpeakers, kControlMute, gMixerControls[7]);
  GetMixerControl(gMixerHandle, kComponentWaveOut, kControlMute, gMixerControls[12]);
  return true;
}

bool GetMixerControl(int32_t handle, uint32_t component, uint32_t controlType, MixerControl& out) {
  out = MixerControl{};
  if (!IsOpen(handle)) return false;
  MixerControl found;
  if (!Backend()->FindControl(component, controlType, found) || found.dwControlID == 0) return false;
  out = found;
  return true;
}

void SetVolume(int32_t controlIndex, int32_t percent) {
  if (InTable(controlIndex)) SetMixerControlValue(gMixerHandle, gMixerControls[controlIndex], percent);
}

int32_t GetVolume(int32_t controlIndex) {
  return InTable(controlIndex) ? GetMixerControlValue(gMixerHandle, gMixerControls[controlIndex]) : 0;
}

bool SetMixerControlValue(int32_t handle, const MixerControl& control, int32_t percent) {
  if (!IsOpen(handle) || IsEmpty(control)) return false;
  return Backend()->SetValue(control.dwControlID, static_cast<uint32_t>(RawValue(control, percent)));
}

int32_t GetMixerControlValue(int32_t handle, const MixerControl& control) {
  if (!IsOpen(handle) || IsEmpty(control)) return 0;
  uint32_t raw = 0;
  if (!Backend()->GetValue(control.dwControlID, raw)) return 0;
  return Percent(control, raw);
}

bool HasVolumeControl() { return gMixerHandle != 0 && !IsEmpty(gMixerControls[0]); }

void SetBackendForTests(std::unique_ptr<IMixerBackend> backend) {
  CloseMixer();
  Backend() = std::move(backend);
}

}  // namespace ModMixers
