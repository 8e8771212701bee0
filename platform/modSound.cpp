#include "platform/modSound.h"

#include "platform/cAudioPlayer.h"

#include <QCoreApplication>

namespace modSound {

namespace {

QList<QByteArray>& Log() {
  static QList<QByteArray> log;
  return log;
}

// The one player of effects, made at the first sound while the application
// runs and deleted as the application is destroyed, never after: its core is
// not torn down once Qt is gone. Null outside the application's life.
cAudioPlayer* gEffects = nullptr;

cAudioPlayer* EffectsPlayer() {
  if (!gEffects && QCoreApplication::instance() && !QCoreApplication::closingDown()) {
    gEffects = new cAudioPlayer;
    qAddPostRoutine([] {
      delete gEffects;
      gEffects = nullptr;
    });
  }
  return gEffects;
}

}  // namespace

void PlayEffect(const QByteArray& bytes) {
  Log().append(bytes);
  cAudioPlayer* player = EffectsPlayer();
  if (!player) return;
  if (bytes.isEmpty()) {
    player->Stop();
  } else {
    player->PlayBytes(bytes);
  }
}

const QList<QByteArray>& EffectsLog() { return Log(); }

void ClearEffectsLog() { Log().clear(); }

}  // namespace modSound
