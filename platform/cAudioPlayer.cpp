#include "platform/cAudioPlayer.h"

#include "platform/MpvHandle.h"

#include <mpv/client.h>
#include <mpv/stream_cb.h>

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>
#include <utility>

namespace {

// The protocol of sounds played from memory: "rwmem://<serial>".
constexpr char kMemoryProtocol[] = "rwmem";

// Audio only, nothing read from the user's configuration, no scripts or key
// bindings; the core stays up between sounds.
std::vector<MpvHandle::Option> AudioOptions() {
  return {{"config", "no"},   {"load-scripts", "no"},  {"ytdl", "no"},       {"terminal", "no"},
          {"input-default-bindings", "no"}, {"vid", "no"}, {"vo", "null"}, {"audio-display", "no"},
          {"sub-auto", "no"}, {"idle", "yes"},         {"keep-open", "no"},  {"audio-fallback-to-null", "yes"}};
}

// One opened stream of a sound in memory: its own copy of the bytes (shared,
// never written) and the read position.
struct MemoryStream {
  QByteArray bytes;
  int64_t position = 0;
};

int64_t ReadMemory(void* cookie, char* buffer, uint64_t size) {
  auto* stream = static_cast<MemoryStream*>(cookie);
  const int64_t left = stream->bytes.size() - stream->position;
  const int64_t count = std::min<int64_t>(left, static_cast<int64_t>(std::min<uint64_t>(size, INT64_MAX)));
  if (count <= 0) return 0;
  std::memcpy(buffer, stream->bytes.constData() + stream->position, static_cast<size_t>(count));
  stream->position += count;
  return count;
}

int64_t SeekMemory(void* cookie, int64_t offset) {
  auto* stream = static_cast<MemoryStream*>(cookie);
  if (offset < 0 || offset > stream->bytes.size()) return MPV_ERROR_GENERIC;
  stream->position = offset;
  return offset;
}

int64_t SizeOfMemory(void* cookie) { return static_cast<MemoryStream*>(cookie)->bytes.size(); }

void CloseMemory(void* cookie) { delete static_cast<MemoryStream*>(cookie); }

}  // namespace

void cAudioPlayer::SetAudioOutput(const QString& output) { MpvHandle::SetAudioOutput(output); }

cAudioPlayer::cAudioPlayer(QObject* parent) : QObject(parent) {}

cAudioPlayer::~cAudioPlayer() {
  if (!handle_) return;
  mpv_set_wakeup_callback(handle_, nullptr, nullptr);
  // Stops playback, ends the core's threads (a stream being read is
  // cancelled) and closes every stream opened from memory.
  mpv_terminate_destroy(handle_);
}

bool cAudioPlayer::EnsureCore() {
  if (handle_) return true;
  if (coreFailed_) return false;
  coreFailed_ = !CreateCore();
  return !coreFailed_;
}

bool cAudioPlayer::CreateCore() {
  mpv_handle* handle = MpvHandle::Create(AudioOptions(), nullptr);
  if (!handle) return false;
  if (mpv_stream_cb_add_ro(handle, kMemoryProtocol, this, &cAudioPlayer::OpenMemory) < 0 ||
      mpv_observe_property(handle, 0, "pause", MPV_FORMAT_FLAG) < 0) {
    mpv_terminate_destroy(handle);
    return false;
  }
  handle_ = handle;
  mpv_set_wakeup_callback(
      handle_,
      [](void* self) {
        auto* player = static_cast<cAudioPlayer*>(self);
        if (!player->drainQueued_.exchange(true)) {
          QMetaObject::invokeMethod(player, &cAudioPlayer::Drain, Qt::QueuedConnection);
        }
      },
      this);
  return true;
}

void cAudioPlayer::PlayBytes(const QByteArray& bytes) {
  requests_.append({bytes, {}});
  uint64_t serial = 0;
  {
    std::lock_guard lock(memoryLock_);
    memory_ = bytes;
    serial = ++memorySerial_;
  }
  Load(QByteArray(kMemoryProtocol) + "://" + QByteArray::number(serial));
}

void cAudioPlayer::PlayFile(const QString& path) {
  requests_.append({{}, path});
  {
    std::lock_guard lock(memoryLock_);
    memory_.clear();
  }
  // An absolute path: a relative one that looks like "name://..." would be
  // taken for a protocol.
  Load(QFileInfo(path).absoluteFilePath().toUtf8());
}

// Replaces whatever plays with `url`, unpaused. Both requests are queued in
// order and return at once.
void cAudioPlayer::Load(const QByteArray& url) {
  if (!EnsureCore()) return;
  int play = 0;
  mpv_set_property_async(handle_, 0, "pause", MPV_FORMAT_FLAG, &play);
  const char* command[] = {"loadfile", url.constData(), "replace", nullptr};
  // Loading until the core has started it and it has loaded or ended: the
  // end of the sound it replaces is not the end of everything.
  ++pendingStarts_;
  if (mpv_command_async(handle_, 0, command) < 0) --pendingStarts_;
}

void cAudioPlayer::SetVolume(double volume) {
  if (!EnsureCore()) return;
  mpv_set_property_async(handle_, 0, "volume", MPV_FORMAT_DOUBLE, &volume);
}

void cAudioPlayer::SetPaused(bool paused) {
  int flag = paused ? 1 : 0;
  if (handle_) mpv_set_property_async(handle_, 0, "pause", MPV_FORMAT_FLAG, &flag);
}

void cAudioPlayer::Stop() {
  {
    std::lock_guard lock(memoryLock_);
    memory_.clear();
  }
  const char* command[] = {"stop", nullptr};
  if (handle_) mpv_command_async(handle_, 0, command);
}

cAudioPlayer::PlayMode cAudioPlayer::Mode() const {
  if (!loaded_) return PlayMode::Stopped;
  return paused_ ? PlayMode::Paused : PlayMode::Playing;
}

// Runs on mpv's threads: serves the sound held now, if the uri still names it.
int cAudioPlayer::OpenMemory(void* self, char* uri, mpv_stream_cb_info* info) {
  auto* player = static_cast<cAudioPlayer*>(self);
  const QByteArray wanted = QByteArray(uri).mid(static_cast<qsizetype>(std::strlen(kMemoryProtocol)) + 3);
  auto* stream = new MemoryStream;
  {
    std::lock_guard lock(player->memoryLock_);
    if (wanted != QByteArray::number(player->memorySerial_) || player->memory_.isEmpty()) {
      delete stream;
      return MPV_ERROR_LOADING_FAILED;
    }
    stream->bytes = player->memory_;
  }
  info->cookie = stream;
  info->read_fn = ReadMemory;
  info->seek_fn = SeekMemory;
  info->size_fn = SizeOfMemory;
  info->close_fn = CloseMemory;
  return 0;
}

void cAudioPlayer::Drain() {
  drainQueued_ = false;
  while (handle_) {
    const mpv_event* event = mpv_wait_event(handle_, 0);
    if (event->event_id == MPV_EVENT_NONE) break;
    Handle(*event);
  }
}

void cAudioPlayer::Handle(const mpv_event& event) {
  switch (event.event_id) {
    case MPV_EVENT_START_FILE:
      if (pendingStarts_ > 0) --pendingStarts_;
      starting_ = true;
      break;
    case MPV_EVENT_FILE_LOADED:
      starting_ = false;
      SetLoaded(true);
      break;
    case MPV_EVENT_END_FILE:
      starting_ = false;
      SetLoaded(false);
      emit Ended(static_cast<const mpv_event_end_file*>(event.data)->reason == MPV_END_FILE_REASON_EOF);
      break;
    case MPV_EVENT_PROPERTY_CHANGE: {
      const auto* property = static_cast<const mpv_event_property*>(event.data);
      if (property->format == MPV_FORMAT_FLAG && std::strcmp(property->name, "pause") == 0) {
        SetPausedState(*static_cast<const int*>(property->data) != 0);
      }
      break;
    }
    default:
      break;
  }
}

void cAudioPlayer::SetLoaded(bool loaded) {
  const PlayMode before = Mode();
  loaded_ = loaded;
  if (Mode() != before) emit ModeChanged(Mode());
}

void cAudioPlayer::SetPausedState(bool paused) {
  const PlayMode before = Mode();
  paused_ = paused;
  if (Mode() != before) emit ModeChanged(Mode());
}
