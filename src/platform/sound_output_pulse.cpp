#include "platform/sound_output_pulse.h"

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/rtclock.h>
#include <pulse/sample.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace brivamo {

namespace {

using Clock = std::chrono::steady_clock;

// Latency the stream asks for; the server sizes the device's buffer and its processing period from
// it. PulseAudio mixes streams on a real-time thread, and a larger device buffer would cost more of
// the start of a sound that joins a playing device (see the lead-in below).
constexpr pa_usec_t TargetLatencyUsec = 20 * PA_USEC_PER_MSEC;

// PipeWire's PulseAudio service feeds streams from a thread that is not real-time: at 20 ms its
// period was about 5 ms, and a busy machine that held that thread up for 25 ms tore a gap into a
// long sound (5 of 40 test runs); at 60 ms, a period of about 15 ms, none of 40. The calls wait by
// the clock, so this shifts only when a sound is heard, by about a period.
constexpr pa_usec_t PipeWireTargetLatencyUsec = 60 * PA_USEC_PER_MSEC;

// Silence put before every sound. A stream that starts while the device is already playing is
// mixed in by rewriting what the device has queued, and about that much of its start can go
// missing: through a null sink's monitor the first 5 to 7 ms of every sound were lost, the whole
// of the click's loud part. The lead-in is what gets lost instead.
constexpr int LeadInMilliseconds = 8;

// Silence put after every sound. A server may hold back the last few milliseconds of a stream
// until more arrives or it is drained; what it holds back is then this silence, not the sound's end.
constexpr int TailMilliseconds = 30;

pa_usec_t microsecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    return pa_usec_t(std::max<std::chrono::microseconds::rep>(left.count(), 0));
}

// Sleeps until `deadline` on the monotonic clock the steady clock reads. An absolute wake-up time
// does not drift by the time spent computing how long is left, or by a signal that interrupts.
void sleepUntil(Clock::time_point deadline)
{
    static_assert(Clock::is_steady);
    const auto sinceEpoch = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch());
    timespec at{};
    at.tv_sec = time_t(sinceEpoch.count() / 1000000000);
    at.tv_nsec = long(sinceEpoch.count() % 1000000000);
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

} // namespace

PcmSound monoAtRate(const PcmSound &sound, int rate)
{
    PcmSound out;
    out.sampleRate = rate;
    out.channels = 1;
    const qint64 frames = sound.frames();
    if (frames <= 0 || sound.sampleRate <= 0 || rate <= 0)
        return out;

    std::vector<double> mono(size_t(frames), 0.0);
    for (qint64 f = 0; f < frames; ++f) {
        double sum = 0;
        for (int c = 0; c < sound.channels; ++c)
            sum += sound.samples[size_t(f * sound.channels + c)];
        mono[size_t(f)] = sum / sound.channels;
    }

    const qint64 outFrames = std::max<qint64>(1, (frames * rate + sound.sampleRate / 2) / sound.sampleRate);
    out.samples.resize(size_t(outFrames));
    const double ratio = double(sound.sampleRate) / rate;
    for (qint64 i = 0; i < outFrames; ++i) {
        const double position = i * ratio;
        const qint64 left = std::min<qint64>(qint64(position), frames - 1);
        const qint64 right = std::min<qint64>(left + 1, frames - 1);
        const double fraction = position - double(left);
        const double value = mono[size_t(left)] * (1.0 - fraction) + mono[size_t(right)] * fraction;
        out.samples[size_t(i)] = qint16(std::clamp(value, -32768.0, 32767.0));
    }
    return out;
}

// Everything that talks to the server. The threaded main loop runs the protocol on its own thread.
// To connect, the caller's thread takes the loop's lock, issues requests and waits on its
// condition, which the callbacks below signal; each wait is bounded by an alarm on the same loop.
// Once connected, the caller only writes each sound to a pipe and the loop's thread, woken by it,
// hands it to the stream: the loop holds its lock whenever it runs, so a caller that took the lock
// would wait whenever the machine keeps the loop's thread from a processor.
struct PulseSoundOutput::Connection
{
    Options options;
    pa_threaded_mainloop *loop = nullptr;
    pa_context *context = nullptr;
    pa_stream *stream = nullptr;
    // Sounds on their way from the caller to the loop's thread, as pointers the reader deletes.
    int pipe[2] = {-1, -1};
    pa_io_event *incoming = nullptr;
    // What the server calls itself, once it has said so.
    std::optional<std::string> serverName;
    std::optional<Clock::time_point> lastFailure;
    int opened = 0;
    bool corked = false;
    // Bytes written to the stream since it was opened: the server's write index.
    std::int64_t written = 0;
    // Whether sounds can be handed over, for the caller to read without the lock: set once the
    // stream is open, cleared by the loop's thread when the connection fails or refuses a sound.
    std::atomic<bool> ready = false;
    // When the loop's thread saw the server refuse a sound (the steady clock's count), or 0.
    std::atomic<Clock::rep> refusedAt = 0;

    using Samples = std::vector<qint16>;

    explicit Connection(Options o) : options(std::move(o)) {}

    ~Connection()
    {
        if (loop) {
            pa_threaded_mainloop_lock(loop);
            close();
            if (incoming)
                pa_threaded_mainloop_get_api(loop)->io_free(incoming);
            pa_threaded_mainloop_unlock(loop);
            pa_threaded_mainloop_stop(loop);
            pa_threaded_mainloop_free(loop);
        }
        if (pipe[0] >= 0) {
            Samples *pending = nullptr;
            while (::read(pipe[0], &pending, sizeof pending) == sizeof pending)
                delete pending;
            ::close(pipe[0]);
            ::close(pipe[1]);
        }
    }

    // Starts the loop and the pipe into it; false, with nothing left behind, if the system
    // refuses either.
    bool start()
    {
        if (::pipe2(pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            pipe[0] = pipe[1] = -1;
            return false;
        }
        loop = pa_threaded_mainloop_new();
        if (loop) {
            // Before the loop runs, nothing else touches it: no lock needed.
            pa_mainloop_api *api = pa_threaded_mainloop_get_api(loop);
            incoming = api->io_new(api, pipe[0], PA_IO_EVENT_INPUT, &Connection::arrived, this);
            if (incoming && pa_threaded_mainloop_start(loop) >= 0)
                return true;
            if (incoming)
                api->io_free(incoming);
            incoming = nullptr;
            pa_threaded_mainloop_free(loop);
            loop = nullptr;
        }
        ::close(pipe[0]);
        ::close(pipe[1]);
        pipe[0] = pipe[1] = -1;
        return false;
    }

    static void wake(void *self) { pa_threaded_mainloop_signal(static_cast<Connection *>(self)->loop, 0); }
    static void contextChanged(pa_context *, void *self)
    {
        static_cast<Connection *>(self)->noteState();
        wake(self);
    }
    static void streamChanged(pa_stream *, void *self)
    {
        static_cast<Connection *>(self)->noteState();
        wake(self);
    }
    void noteState()
    {
        if (!usable())
            ready = false;
    }

    // Sounds came through the pipe (on the loop's thread, the lock held): each goes to the stream.
    static void arrived(pa_mainloop_api *, pa_io_event *, int fd, pa_io_event_flags_t, void *self)
    {
        auto *connection = static_cast<Connection *>(self);
        Samples *received = nullptr;
        while (::read(fd, &received, sizeof received) == sizeof received) {
            const std::unique_ptr<Samples> samples(received);
            // Once refused, the rest is dropped; the next call notices and reconnects in time.
            if (connection->ready && !connection->handOver(*samples)) {
                connection->ready = false;
                connection->refusedAt = Clock::now().time_since_epoch().count();
            }
        }
    }
    // The stream ran dry. If it ran dry after everything written so far (and not before a sound
    // that is still on its way), it is corked so that the device can go idle between sounds.
    static void underflowed(pa_stream *stream, void *self)
    {
        auto *connection = static_cast<Connection *>(self);
        const std::int64_t at = pa_stream_get_underflow_index(stream);
        if (at < 0 || at < connection->written || connection->corked)
            return;
        if (pa_operation *op = pa_stream_cork(stream, 1, nullptr, nullptr))
            pa_operation_unref(op);
        connection->corked = true;
    }

    // Rings once, at a deadline, to end a wait that the server leaves unanswered.
    class Alarm
    {
    public:
        Alarm(Connection &connection, Clock::time_point deadline) : m_connection(connection)
        {
            m_event = pa_context_rttime_new(
                connection.context, pa_rtclock_now() + microsecondsUntil(deadline), &Alarm::ring, this);
        }
        ~Alarm()
        {
            if (m_event)
                pa_threaded_mainloop_get_api(m_connection.loop)->time_free(m_event);
        }
        Alarm(const Alarm &) = delete;
        Alarm &operator=(const Alarm &) = delete;

        // Waits (the loop locked) until `done` holds or the alarm rings; returns `done`.
        template <class Predicate> bool waitFor(Predicate done)
        {
            while (!done() && !m_rang && m_event)
                pa_threaded_mainloop_wait(m_connection.loop);
            return done();
        }

    private:
        static void ring(pa_mainloop_api *, pa_time_event *, const struct timeval *, void *self)
        {
            auto *alarm = static_cast<Alarm *>(self);
            alarm->m_rang = true;
            wake(&alarm->m_connection);
        }

        Connection &m_connection;
        pa_time_event *m_event = nullptr;
        bool m_rang = false;
    };

    // The most the server queues for the stream.
    size_t maxQueued() const
    {
        const pa_buffer_attr *attr = pa_stream_get_buffer_attr(stream);
        return attr ? size_t(attr->maxlength) : 0;
    }

    bool usable() const
    {
        return context && stream && pa_context_get_state(context) == PA_CONTEXT_READY &&
               pa_stream_get_state(stream) == PA_STREAM_READY;
    }

    // Drops the connection (the loop locked). Nothing here waits for the server.
    void close()
    {
        if (stream) {
            pa_stream_set_state_callback(stream, nullptr, nullptr);
            pa_stream_set_underflow_callback(stream, nullptr, nullptr);
            pa_stream_disconnect(stream);
            pa_stream_unref(stream);
            stream = nullptr;
        }
        if (context) {
            pa_context_set_state_callback(context, nullptr, nullptr);
            pa_context_disconnect(context);
            pa_context_unref(context);
            context = nullptr;
        }
        ready = false;
        corked = false;
        written = 0;
    }

    // Connects and opens the stream (the loop locked); false if that fails or misses `deadline`.
    bool open(Clock::time_point deadline)
    {
        context = pa_context_new(pa_threaded_mainloop_get_api(loop), "Brivamo");
        if (!context)
            return false;
        pa_context_set_state_callback(context, &Connection::contextChanged, this);
        // A program does not start a sound server of its own: the desktop provides one or not.
        const char *server = options.server.empty() ? nullptr : options.server.c_str();
        if (pa_context_connect(context, server, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            return false;
        Alarm alarm(*this, deadline);
        const bool answered = alarm.waitFor([this] {
            const pa_context_state_t state = pa_context_get_state(context);
            return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
        });
        if (!answered || pa_context_get_state(context) != PA_CONTEXT_READY)
            return false;

        serverName.reset();
        pa_operation *asked = pa_context_get_server_info(
            context,
            [](pa_context *, const pa_server_info *info, void *self) {
                auto *connection = static_cast<Connection *>(self);
                connection->serverName = info && info->server_name ? info->server_name : "";
                wake(self);
            },
            this);
        if (!asked)
            return false;
        const bool named = alarm.waitFor([this] { return serverName.has_value(); });
        pa_operation_unref(asked);
        if (!named)
            return false;
        const pa_usec_t latency =
            serverName->find("PipeWire") != std::string::npos ? PipeWireTargetLatencyUsec : TargetLatencyUsec;

        pa_sample_spec sampleFormat;
        sampleFormat.format = PA_SAMPLE_S16NE;
        sampleFormat.rate = std::uint32_t(StreamRate);
        sampleFormat.channels = 1;
        stream = pa_stream_new(context, "Sound effect", &sampleFormat, nullptr);
        if (!stream)
            return false;
        pa_stream_set_state_callback(stream, &Connection::streamChanged, this);
        pa_stream_set_underflow_callback(stream, &Connection::underflowed, this);
        pa_buffer_attr buffer;
        buffer.maxlength = std::uint32_t(-1);
        buffer.tlength = std::uint32_t(pa_usec_to_bytes(latency, &sampleFormat));
        buffer.prebuf = std::uint32_t(-1);
        buffer.minreq = std::uint32_t(-1);
        buffer.fragsize = std::uint32_t(-1);
        // Adjusting the latency makes the server size the device's buffer to ours as well.
        if (pa_stream_connect_playback(stream, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) <
            0)
            return false;
        const bool streaming = alarm.waitFor([this] {
            const pa_stream_state_t state = pa_stream_get_state(stream);
            return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
        });
        if (!streaming || !usable())
            return false;
        ++opened;
        ready = true;
        return true;
    }

    // Queues the whole sound on the server behind whatever it still has to play, and has it
    // played at once even where it is shorter than the server's prebuffer (the loop locked).
    // Nothing here waits for an answer.
    bool handOver(const Samples &samples)
    {
        const size_t bytes = samples.size() * sizeof(qint16);
        if (!usable() || bytes > maxQueued())
            return false;
        if (corked) {
            if (pa_operation *op = pa_stream_cork(stream, 0, nullptr, nullptr))
                pa_operation_unref(op);
            corked = false;
        }
        if (pa_stream_write(stream, samples.data(), bytes, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return false;
        written += std::int64_t(bytes);
        if (pa_operation *op = pa_stream_trigger(stream, nullptr, nullptr))
            pa_operation_unref(op);
        return true;
    }
};

PulseSoundOutput::PulseSoundOutput() : PulseSoundOutput(Options{}) {}

PulseSoundOutput::PulseSoundOutput(Options options)
    : m_connection(std::make_unique<Connection>(std::move(options)))
{
}

PulseSoundOutput::~PulseSoundOutput() = default;

bool PulseSoundOutput::connected() const
{
    Connection &c = *m_connection;
    if (!c.loop)
        return false;
    pa_threaded_mainloop_lock(c.loop);
    const bool usable = c.ready && c.usable();
    pa_threaded_mainloop_unlock(c.loop);
    return usable;
}

int PulseSoundOutput::connectionsOpened() const
{
    Connection &c = *m_connection;
    if (!c.loop)
        return 0;
    pa_threaded_mainloop_lock(c.loop);
    const int opened = c.opened;
    pa_threaded_mainloop_unlock(c.loop);
    return opened;
}

bool PulseSoundOutput::play(const PcmSound &sound)
{
    return playFrom(sound, Clock::now());
}

bool PulseSoundOutput::playFrom(const PcmSound &sound, Clock::time_point since)
{
    if (sound.samples.empty() || sound.channels <= 0 || sound.sampleRate <= 0)
        return false;
    const auto length = std::chrono::microseconds(sound.frames() * 1000000 / sound.sampleRate);
    Connection &c = *m_connection;

    if (!c.loop && !c.start())
        return false;

    if (!c.ready) {
        // Never opened, gone since or refusing: one try now, then none until `retryAfter` has
        // passed since the last failure.
        const Clock::time_point now = Clock::now();
        pa_threaded_mainloop_lock(c.loop);
        if (const Clock::rep refused = c.refusedAt.exchange(0))
            c.lastFailure = Clock::time_point(Clock::duration(refused));
        c.close();
        if (!c.lastFailure || now - *c.lastFailure >= c.options.retryAfter) {
            if (!c.open(now + c.options.connectLimit)) {
                c.close();
                c.lastFailure = now;
            }
        }
        const bool ready = c.ready;
        pa_threaded_mainloop_unlock(c.loop);
        if (!ready)
            return false;
    }

    PcmSound pcm = monoAtRate(sound, StreamRate);
    auto samples = std::make_unique<Connection::Samples>();
    samples->reserve(size_t(StreamRate * (LeadInMilliseconds + TailMilliseconds) / 1000) +
                     pcm.samples.size());
    samples->insert(samples->end(), size_t(StreamRate * LeadInMilliseconds / 1000), qint16(0));
    samples->insert(samples->end(), pcm.samples.begin(), pcm.samples.end());
    samples->insert(samples->end(), size_t(StreamRate * TailMilliseconds / 1000), qint16(0));
    // A pointer's few bytes go through a pipe whole; a full pipe means thousands of sounds
    // waiting on a loop that has stopped moving, and this one is not played.
    Connection::Samples *handed = samples.get();
    if (::write(c.pipe[1], &handed, sizeof handed) != sizeof handed)
        return false;
    samples.release();

    // The caller learns of the sound's end from the clock, whatever the server is doing.
    sleepUntil(since + length);
    return true;
}

} // namespace brivamo
