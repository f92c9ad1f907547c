#pragma once

#include "platform/sound_output.h"

namespace brivamo {

// Plays through the user's sound server with the blocking simple API. The first failure to
// reach a server marks audio as unavailable for the rest of the run, so a machine without
// sound costs one quick connection attempt and no more.
class PulseSoundOutput : public SoundOutput
{
public:
    bool play(const PcmSound &sound) override;

    bool available() const { return !m_unavailable; }

private:
    bool m_unavailable = false;
};

} // namespace brivamo
