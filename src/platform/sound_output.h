#pragma once

#include <QtGlobal>

#include <chrono>
#include <vector>

namespace brivamo {

// Decoded audio, ready for an output device: 16-bit signed samples, channels interleaved.
struct PcmSound
{
    int sampleRate = 0;
    int channels = 0;
    std::vector<qint16> samples;

    qint64 frames() const { return channels > 0 ? qint64(samples.size()) / channels : 0; }
};

// Where sounds are heard. Playing is synchronous: play() returns once the sound's length has passed.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;

    // Returns false when the sound could not be played (no sound server or device); the
    // caller carries on silently either way.
    virtual bool play(const PcmSound &sound) = 0;

    // Like play(), with the sound's length counted from `since`, the moment the sound was asked
    // for, so that finding and decoding it does not make the caller wait longer than it lasts.
    virtual bool playFrom(const PcmSound &sound, std::chrono::steady_clock::time_point since)
    {
        Q_UNUSED(since);
        return play(sound);
    }
};

} // namespace brivamo
