#pragma once

#include "platform/sound_output.h"

#include <chrono>
#include <memory>
#include <string>

namespace brivamo {

// Plays through the user's sound server (the PulseAudio protocol, which PipeWire desktops serve
// too). One connection and one playback stream are opened at the first sound and kept for the
// run, with a buffer of a few tens of milliseconds, so that play() returns about when the last
// sample is heard rather than seconds later.
//
// No call waits on the server without a limit: connecting may take at most `connectLimit`, and
// once connected a sound may take at most its own length plus `connectLimit`. A server that
// cannot be reached, or that stops answering, means silence; the connection is dropped and a new
// one is tried no sooner than `retryAfter` later, so a server started or restarted while the
// program runs is picked up again without costing every sound a wait.
class PulseSoundOutput : public SoundOutput
{
public:
    struct Options
    {
        std::chrono::milliseconds connectLimit{250};
        std::chrono::milliseconds retryAfter{10000};
        // The server to use ("unix:/path/native", ...); empty: the user's default server.
        std::string server;
    };

    PulseSoundOutput();
    explicit PulseSoundOutput(Options options);
    ~PulseSoundOutput() override;
    PulseSoundOutput(const PulseSoundOutput &) = delete;
    PulseSoundOutput &operator=(const PulseSoundOutput &) = delete;

    bool play(const PcmSound &sound) override;

    // True while a connection and stream are open and usable.
    bool connected() const;

    // The rate every sound is converted to before it reaches the stream (mono, 16-bit): the
    // highest of the built-in sounds, so none loses detail; the server converts to the device's.
    static constexpr int StreamRate = 22050;

private:
    struct Connection;
    std::unique_ptr<Connection> m_connection;
};

// `sound` mixed down to one channel and resampled to `rate` by linear interpolation.
PcmSound monoAtRate(const PcmSound &sound, int rate);

} // namespace brivamo
