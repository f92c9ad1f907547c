#include "platform/sound_output_pulse.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <cstdint>

namespace brivamo {

bool PulseSoundOutput::play(const PcmSound &sound)
{
    if (m_unavailable || sound.samples.empty() || sound.channels <= 0 || sound.channels > 255 ||
        sound.sampleRate <= 0)
        return false;

    pa_sample_spec sampleSpec;
    sampleSpec.format = PA_SAMPLE_S16NE;
    sampleSpec.rate = std::uint32_t(sound.sampleRate);
    sampleSpec.channels = std::uint8_t(sound.channels);

    int error = 0;
    pa_simple *stream = pa_simple_new(nullptr, "Brivamo", PA_STREAM_PLAYBACK, nullptr, "Sound effect",
                                      &sampleSpec, nullptr, nullptr, &error);
    if (!stream) {
        // No server (or it refused us): stay silent from now on rather than retry on every sound.
        m_unavailable = true;
        return false;
    }
    const bool written =
        pa_simple_write(stream, sound.samples.data(), sound.samples.size() * sizeof(qint16), &error) == 0;
    const bool drained = written && pa_simple_drain(stream, &error) == 0;
    pa_simple_free(stream);
    return drained;
}

} // namespace brivamo
