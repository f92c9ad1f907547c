#pragma once

#include <QtGlobal>

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
};

} // namespace brivamo
