#pragma once

#include "platform/sound_output.h"
#include "platform/sound_output_pulse.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace brivamo::testing {

// The rate sounds are recorded and compared at.
constexpr int RecordRate = 22050;

// A sound server of the test's own, in a private runtime folder, with a null sink that a recorder
// listens to all along (as a device plays all along: without a listener a null sink works in large
// blocks and a new sound waits for the current block to end).
class PrivateSoundServer
{
public:
    enum class Kind { PulseAudio, PipeWire };

    explicit PrivateSoundServer(Kind kind);
    ~PrivateSoundServer();
    PrivateSoundServer(const PrivateSoundServer &) = delete;
    PrivateSoundServer &operator=(const PrivateSoundServer &) = delete;

    // The programs this kind needs, as far as they are missing here.
    QStringList missingPrograms() const;

    // Starts the server and the recorder and runs `beforeRecording` (the output's first sound)
    // once the server is ready for it; empty on success, else what went wrong. A PulseAudio null
    // sink delivers its first recording only about two seconds after the recorder connects: the
    // wait for it is left to the first record(), so that tests without one can run meanwhile.
    QString start(const std::function<void()> &beforeRecording);

    // The address a client connects to ("unix:/.../native").
    QString address() const;

    // The process that speaks the protocol, for a test that stops or kills it.
    qint64 protocolProcessId() const;

    // Starts the server again after it was killed (PulseAudio only); empty on success.
    QString restart();

    // What the null sink played while `during` ran (mono, RecordRate), with at least a tenth of a
    // second before it and a quarter of a second after; empty when the recording stalled.
    std::vector<qint16> record(const std::function<void()> &during);

private:
    QString startPulseAudio();
    QString startPipeWire();
    QString startRecorder();
    qint64 recordedBytes() const;
    QString log(const QString &name) const;

    Kind m_kind;
    QTemporaryDir m_dir;
    QString m_runtime;
    QString m_socket;
    QString m_capture;
    QProcess m_server;
    QProcess m_recorder;
};

// Starts `server` and makes `output` (of these options, pointed at the server) the program's sound
// output, its first sound opening the connection; empty on success, else what went wrong.
QString startWithOutput(PrivateSoundServer &server, std::unique_ptr<PulseSoundOutput> &output,
                        PulseSoundOutput::Options options);

// Keeps every core busy while it exists, so that servers answer late.
class CpuLoad
{
public:
    CpuLoad();
    ~CpuLoad();
    CpuLoad(const CpuLoad &) = delete;
    CpuLoad &operator=(const CpuLoad &) = delete;
    bool running() const;

private:
    std::vector<std::unique_ptr<QProcess>> m_loops;
};

// Puts the calling thread ahead of every ordinary thread on the machine while it exists: at the
// lowest real-time priority, or where that is not allowed, at a nice value 10 below. On a busy
// machine any thread may otherwise wait tens of milliseconds for a processor whatever it does (and
// a nice value counts only against threads of the same session). Threads and processes started
// meanwhile, among them the threads that talk to the server and the server itself, stay ordinary:
// a call that waits for them still shows.
class AheadOfOrdinaryThreads
{
public:
    AheadOfOrdinaryThreads();
    ~AheadOfOrdinaryThreads();
    AheadOfOrdinaryThreads(const AheadOfOrdinaryThreads &) = delete;
    AheadOfOrdinaryThreads &operator=(const AheadOfOrdinaryThreads &) = delete;
    bool ahead() const { return m_realTime || m_niceRaised; }

private:
    int m_policy = 0;
    int m_priority = 0;
    bool m_realTime = false;
    int m_nice = 0;
    bool m_niceRaised = false;
};

// Notes when the machine held this process's threads back: a thread on every processor, ahead of
// ordinary threads, wakes each millisecond and records each wake-up that came late. The host of a
// virtual machine can hold a processor for tens of milliseconds; a sound heard or a call timed
// meanwhile says nothing about the code under test.
class StallWatch
{
public:
    using Clock = std::chrono::steady_clock;

    StallWatch();
    ~StallWatch();
    StallWatch(const StallWatch &) = delete;
    StallWatch &operator=(const StallWatch &) = delete;

    // How long the machine held the longest-held watching thread within [from, to].
    std::chrono::nanoseconds heldBetween(Clock::time_point from, Clock::time_point to) const;

private:
    struct Held
    {
        Clock::time_point from;
        Clock::time_point to;
    };
    void watch(int processor);

    std::atomic<bool> m_stop = false;
    mutable std::mutex m_mutex;
    std::vector<Held> m_held;
    std::vector<std::thread> m_threads;
};

// The stall watch of this test program, started at the first use.
const StallWatch &stallWatch();

// A sound as the recorder hears it: mono at RecordRate.
PcmSound recordable(const QString &name);

// Where `sound` is heard in `recorded` at `from` or later: the index at which it lines up best with
// the recording, and how well (normalised cross-correlation; 1 is identical up to loudness).
struct Heard
{
    qsizetype at = -1;
    double match = 0;
};
Heard findSound(const std::vector<qint16> &sound, const std::vector<qint16> &recorded, qsizetype from);

// What went wrong in hearing the sounds `names` in `recorded`, each whole, in this order and none
// over another; empty when nothing did.
QString heardInTurn(const QStringList &names, const std::vector<qint16> &recorded);

// How long a call took, and for how much of that the machine held a processor back.
struct Timed
{
    std::chrono::nanoseconds took{};
    std::chrono::nanoseconds held{};
};

Timed timed(const std::function<void()> &run);

// Plays `name` through PlaySoundEffect, timed.
Timed timedSound(const QString &name);

// Whether `t` took at most `limit`, the time the machine held a processor back not counted.
inline bool within(const Timed &t, std::chrono::nanoseconds limit)
{
    return t.took <= limit + t.held;
}

// The length of a built-in sound.
std::chrono::nanoseconds soundLength(const QString &name);

// How long after its sound's end a sound call may return.
inline constexpr std::chrono::milliseconds Late{20};

// What went wrong in the calls that played `names` and took `took`: each must last its sound's
// length and return at most Late after it; empty when nothing did.
QString tookTheirLength(const QStringList &names, const QList<Timed> &took);

// Plays `names` one after the other through `server`, recording, and returns what went wrong in
// their calls' length or in what was heard; empty when nothing did. `before` and `after` run
// within the recording, just before the first call and just after the last.
QString playedInTurn(PrivateSoundServer &server, const QStringList &names,
                     const std::function<void()> &before = {}, const std::function<void()> &after = {});

// Runs `round`, which plays and returns what went wrong, again while it finds something and the
// machine held a processor back meanwhile (a held server tears gaps into what it plays), at most
// five times; returns the last finding.
QString retriedWhileHeld(const std::function<QString()> &round);

// "12.3 ms for a 13.4 ms sound", and how long the machine held a processor, for failure messages.
QString describe(const Timed &t, std::chrono::nanoseconds length);

} // namespace brivamo::testing
