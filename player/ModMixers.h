#pragma once
// The system's master volume. The player reads it at each file open to take
// its start volume; the preview volume bar and the full-screen volume keys
// set it. The mixer is the sound server's default output when a server
// answers, else the sound card's own "default" mixer; with neither there is
// simply no mixer and the player keeps a volume of its own.
#include <cstdint>
#include <memory>

namespace ModMixers {

// One control of a mixer line and the range of its raw value. An empty
// record (no such control) has dwControlID 0 and lMaximum 0.
struct MixerControl {
  uint32_t dwControlID = 0;
  int32_t lMinimum = 0;
  int32_t lMaximum = 0;
};

// Mixer lines: the master output and the playback stream.
inline constexpr uint32_t kComponentSpeakers = 4;
inline constexpr uint32_t kComponentWaveOut = 0x1008;
// Control types of a line.
inline constexpr uint32_t kControlVolume = 0x50030001;
inline constexpr uint32_t kControlMute = 0x20010002;

// Handle of the mixer opened last; 0 when none is open.
extern int32_t gMixerHandle;
// The controls of the open mixer: 0 master volume, 5 stream volume,
// 7 master mute, 12 stream mute; every other record stays empty.
extern MixerControl gMixerControls[21];

// Opens mixer `device` (only 0, the default output, exists) and fills the
// control table. false means "no mixer", which is never an error.
bool OpenMixer(int32_t device);
// Looks up the control of a line of the open mixer; `out` is empty on failure.
bool GetMixerControl(int32_t handle, uint32_t component, uint32_t controlType, MixerControl& out);
// Sets / reads control `controlIndex` (0..20) of the table in percent; an
// empty record or an index outside the table does nothing / reads 0.
void SetVolume(int32_t controlIndex, int32_t percent);
int32_t GetVolume(int32_t controlIndex);
// Writes `percent` scaled to the control's range; false for an empty record,
// a mixer that is not open or a failed write.
bool SetMixerControlValue(int32_t handle, const MixerControl& control, int32_t percent);
// The control's value in percent; 0 for an empty record or a failed read.
int32_t GetMixerControlValue(int32_t handle, const MixerControl& control);
// True when a mixer is open and has a master volume.
bool HasVolumeControl();

// What the module asks of a mixer. Raw values lie in the range FindControl
// gives; control ids are the backend's own, never 0.
class IMixerBackend {
 public:
  virtual ~IMixerBackend() = default;
  virtual int32_t DeviceCount() = 0;
  virtual bool Open(int32_t device) = 0;
  virtual bool FindControl(uint32_t component, uint32_t controlType, MixerControl& out) = 0;
  virtual bool SetValue(uint32_t controlId, uint32_t value) = 0;
  virtual bool GetValue(uint32_t controlId, uint32_t& value) = 0;
};

// The real mixers: the sound server's default sink (master volume and mute
// only) and the sound card's "Master" and "PCM" elements. Each answers a
// DeviceCount of 0, quickly and quietly, when it finds nothing.
std::unique_ptr<IMixerBackend> MakePulseBackend();
std::unique_ptr<IMixerBackend> MakeAlsaBackend();

// Puts `backend` in place of the real mixers; nullptr restores them. Either
// way the open mixer is closed and the table emptied.
void SetBackendForTests(std::unique_ptr<IMixerBackend> backend);

}  // namespace ModMixers
