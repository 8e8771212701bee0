#pragma once
// The program's sound effects (BEEP, CLICK, SCRAPE, WHIP): WAV bytes played
// asynchronously from memory on one audio-only player, a new sound cutting
// the last. Without an audio device nothing is heard and nothing fails.
#include <QByteArray>
#include <QList>

namespace modSound {

// Plays the sound's bytes; empty bytes stop the sound playing.
void PlayEffect(const QByteArray& bytes);

// Every sound asked for since the last ClearEffectsLog, oldest first: what
// tests read to know which effects played.
const QList<QByteArray>& EffectsLog();
void ClearEffectsLog();

}  // namespace modSound
