#pragma once

#include "platform/sound_output.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace modStandard {

// Mirrors the puzzle window's sound switch for this run. PlaySoundEffect does not consult it:
// it reads the stored "SoundStatus" before every sound, so a change made anywhere counts at once.
extern bool SoundOn;

// Plays one of the built-in sounds ("click", "done", "tryagain"; letter case does not matter)
// if the "SoundStatus" setting is on, and returns when it has finished. Playback is always
// synchronous; `flags` is kept for the callers, which all pass 0. Without a sound server, or
// for an unknown name or undecodable data, it returns at once without a sound or a message.
void PlaySoundEffect(const QString &name, qint32 flags = 0);

} // namespace modStandard

namespace brivamo {

// The complete WAVE file of a built-in sound, found by name without regard to letter case.
std::optional<QByteArray> soundResource(const QString &name);

// A WAVE file decoded from memory (PCM or Microsoft ADPCM). `format` receives the container
// and encoding as libsndfile reports them (SF_FORMAT_* major type | subtype).
std::optional<PcmSound> decodeWave(const QByteArray &bytes, int *format = nullptr);

// The output PlaySoundEffect uses. Passing nullptr restores the real sound server output;
// the object passed stays owned by the caller.
void setSoundOutput(SoundOutput *output);
SoundOutput &soundOutput();

} // namespace brivamo
