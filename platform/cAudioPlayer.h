#pragma once
// An audio-only player on a libmpv core of its own: sounds held in memory (the
// program's sound effects) or files (background music), played without
// waiting, a new sound cutting the last. The core is made at the first play.
// Without an audio device, or when the core cannot start, nothing is heard and
// nothing fails: the player still records what it was asked to play.
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <mutex>

struct mpv_handle;
struct mpv_event;
struct mpv_stream_cb_info;

class cAudioPlayer : public QObject {
  Q_OBJECT

 public:
  enum class PlayMode { Stopped, Playing, Paused };

  // One play request: the bytes of a sound, or the path of a file.
  struct Request {
    QByteArray bytes;
    QString path;
    bool operator==(const Request&) const = default;
  };

  explicit cAudioPlayer(QObject* parent = nullptr);
  ~cAudioPlayer() override;

  // The audio output of cores made from now on ("" lets mpv choose; tests
  // use "null", which keeps time without a sound device).
  static void SetAudioOutput(const QString& output);

  // Plays a sound held in memory; the bytes are kept until the next play or
  // stop.
  void PlayBytes(const QByteArray& bytes);
  void PlayFile(const QString& path);
  void SetPaused(bool paused);
  // mpv's volume (0 silent, 100 full; its curve is cubic), kept across plays.
  void SetVolume(double volume);
  void Stop();

  // As the core last reported: a loaded sound is playing or paused until it
  // ends; anything else is stopped.
  PlayMode Mode() const;
  // True from a play request until its sound has loaded or ended (not
  // playable, cut, stopped): a request answered by nothing yet.
  bool Loading() const { return pendingStarts_ > 0 || starting_; }
  // Every play request since ClearRequests, oldest first.
  const QList<Request>& Requests() const { return requests_; }
  void ClearRequests() { requests_.clear(); }

 signals:
  void ModeChanged(cAudioPlayer::PlayMode mode);
  // A sound has ended: played to its end (`completed`), or cut, stopped or
  // not playable.
  void Ended(bool completed);

 private:
  bool EnsureCore();
  bool CreateCore();
  void Load(const QByteArray& url);
  void Drain();
  void Handle(const mpv_event& event);
  void SetLoaded(bool loaded);
  void SetPausedState(bool paused);
  static int OpenMemory(void* self, char* uri, mpv_stream_cb_info* info);

  mpv_handle* handle_ = nullptr;
  bool coreFailed_ = false;
  bool loaded_ = false;
  int pendingStarts_ = 0;  // loads asked for that the core has not started
  bool starting_ = false;  // a load started, not yet loaded or ended
  bool paused_ = false;
  QList<Request> requests_;
  std::atomic<bool> drainQueued_{false};

  // The sound in memory, read by mpv's threads when they open it. Each play
  // from memory has a new serial, so a stream opened late for a sound already
  // cut finds nothing.
  std::mutex memoryLock_;
  QByteArray memory_;
  uint64_t memorySerial_ = 0;
};
