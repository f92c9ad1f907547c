#pragma once

#include "platform/sound_output.h"

#include <chrono>
#include <memory>
#include <string>

namespace brivamo {

// Plays through the user's sound server (the PulseAudio protocol, which PipeWire desktops serve
// too). One connection and one playback stream are opened at the first sound and kept for the run.
//
// play() hands the whole sound to the server at once and then returns when the sound's own length
// has passed by the clock; it never waits for the server to report the sound played. The server's
// latency therefore shifts when a sound is heard, not how long the caller waits, and sounds played
// one after the other queue up behind each other on the stream instead of overlapping. Once the
// connection is open, the caller does not even wait for the thread that talks to the server: the
// sound is passed to it through a pipe, so a busy machine that keeps that thread from a processor
// delays the sound, not the caller.
//
// Only a server that is gone or refuses makes the output silent, never a slow one: connecting may
// take at most `connectLimit`, and a server that cannot be reached, refuses the stream or drops the
// connection is left alone for `retryAfter`, so a server started or restarted while the program
// runs is picked up again without costing every sound a wait.
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
    bool playFrom(const PcmSound &sound, std::chrono::steady_clock::time_point since) override;

    // True while a connection and stream are open and usable.
    bool connected() const;

    // How many times a connection was opened; a test sees from it that none was dropped.
    int connectionsOpened() const;

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
