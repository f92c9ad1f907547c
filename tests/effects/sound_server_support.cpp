#include "sound_server_support.h"

#include "effects/sounds.h"
#include "platform/sound_output_pulse.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <ctime>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace brivamo::testing {

namespace {

constexpr int Generous = 20000; // ms: a busy machine may be slow, a wait for an event never fails early
constexpr qint64 BytesPerTenth = RecordRate / 10 * 2;

// Waits until `done` holds, handling events meanwhile; false when it did not within the limit.
template <class Predicate> bool waitUntil(Predicate done)
{
    return QTest::qWaitFor(done, Generous);
}

int peak(const std::vector<qint16> &samples, size_t from = 0, size_t to = SIZE_MAX)
{
    int loudest = 0;
    for (size_t i = from; i < std::min(to, samples.size()); ++i)
        loudest = std::max(loudest, std::abs(int(samples[i])));
    return loudest;
}

// Index of the first and one past the last sample louder than `threshold` in [from, to).
std::pair<qsizetype, qsizetype> loudSpan(const std::vector<qint16> &samples, int threshold, size_t from = 0,
                                         size_t to = SIZE_MAX)
{
    qsizetype first = -1, last = -1;
    for (size_t i = from; i < std::min(to, samples.size()); ++i) {
        if (std::abs(samples[i]) > threshold) {
            if (first < 0)
                first = qsizetype(i);
            last = qsizetype(i) + 1;
        }
    }
    return {first, last};
}

} // namespace

PrivateSoundServer::PrivateSoundServer(Kind kind) : m_kind(kind)
{
    m_runtime = m_dir.filePath(QStringLiteral("runtime"));
    QDir().mkpath(m_runtime);
    QFile::setPermissions(m_runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_socket = kind == Kind::PulseAudio ? m_dir.filePath(QStringLiteral("native"))
                                        : m_runtime + QStringLiteral("/pulse/native");
    m_capture = m_dir.filePath(QStringLiteral("capture.raw"));
}

PrivateSoundServer::~PrivateSoundServer()
{
    if (m_recorder.state() != QProcess::NotRunning) {
        m_recorder.terminate();
        m_recorder.waitForFinished(5000);
    }
    if (m_server.state() != QProcess::NotRunning) {
        const pid_t pid = pid_t(m_server.processId());
        if (m_kind == Kind::PipeWire) {
            // The session bus and the three daemons share a process group.
            ::kill(-pid, SIGKILL);
        } else {
            ::kill(pid, SIGCONT);
            m_server.terminate();
            if (!m_server.waitForFinished(Generous))
                m_server.kill();
        }
        m_server.waitForFinished(Generous);
    }
}

QStringList PrivateSoundServer::missingPrograms() const
{
    const QStringList needed =
        m_kind == Kind::PulseAudio
            ? QStringList{QStringLiteral("pulseaudio"), QStringLiteral("parec")}
            : QStringList{QStringLiteral("pipewire"),       QStringLiteral("wireplumber"),
                          QStringLiteral("pipewire-pulse"), QStringLiteral("dbus-run-session"),
                          QStringLiteral("pactl"),          QStringLiteral("parec")};
    QStringList missing;
    for (const QString &program : needed)
        if (QStandardPaths::findExecutable(program).isEmpty())
            missing << program;
    return missing;
}

QString PrivateSoundServer::address() const
{
    return QStringLiteral("unix:") + m_socket;
}

qint64 PrivateSoundServer::protocolProcessId() const
{
    return m_kind == Kind::PulseAudio ? m_server.processId() : -1;
}

QString PrivateSoundServer::start(const std::function<void()> &beforeRecording)
{
    const QString problem = m_kind == Kind::PulseAudio ? startPulseAudio() : startPipeWire();
    if (!problem.isEmpty())
        return problem;
    if (m_kind == Kind::PulseAudio) {
        beforeRecording();
        return startRecorder();
    }
    // PipeWire's session manager links new streams to the sink: once the recording flows, it is
    // ready for the output under test too. A recorder that comes while the new sink is still
    // being set up is refused; the next one is not.
    for (int attempt = 0; attempt < 5 && recordedBytes() == 0; ++attempt) {
        if (const QString problem = startRecorder(); !problem.isEmpty())
            return problem;
        if (!waitUntil([this] { return recordedBytes() > 0 || m_recorder.state() == QProcess::NotRunning; }))
            break;
    }
    if (recordedBytes() == 0)
        return QStringLiteral("nothing was recorded: ") + log(QStringLiteral("recorder.log")) +
               log(QStringLiteral("server.log"));
    beforeRecording();
    return {};
}

QString PrivateSoundServer::startPulseAudio()
{
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(
        QStringLiteral("pulseaudio"),
        {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
         QStringLiteral("--disable-shm=yes"), QStringLiteral("--log-level=error"),
         QStringLiteral("--load=module-null-sink sink_name=brivamo_test"),
         QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + m_socket});
    if (!m_server.waitForStarted(Generous))
        return QStringLiteral("pulseaudio did not start");
    if (!waitUntil([this] { return QFileInfo::exists(m_socket); }))
        return QStringLiteral("pulseaudio opened no socket");
    return {};
}

QString PrivateSoundServer::startPipeWire()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime);
    env.remove(QStringLiteral("PULSE_SERVER"));
    env.remove(QStringLiteral("PIPEWIRE_REMOTE"));
    // A fresh home: the session manager remembers streams and devices there.
    env.insert(QStringLiteral("HOME"), m_dir.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_STATE_HOME"), m_dir.filePath(QStringLiteral("state")));
    m_server.setProcessEnvironment(env);
    m_server.setStandardOutputFile(m_dir.filePath(QStringLiteral("server.log")));
    m_server.setStandardErrorFile(m_dir.filePath(QStringLiteral("server.log")), QIODevice::Append);
    // A process group of its own, so that everything it starts can be ended together; not a
    // session of its own, so that a load the test starts competes with it for the processors.
    m_server.setChildProcessModifier([] { ::setpgid(0, 0); });
    m_server.start(
        QStringLiteral("dbus-run-session"),
        {QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"),
         // The session manager and the PulseAudio service give up when PipeWire is
         // not there yet.
         QStringLiteral("pipewire & while [ ! -S \"$XDG_RUNTIME_DIR/pipewire-0\" ]; do sleep 0.02; done; "
                        "wireplumber & pipewire-pulse & wait")});
    if (!m_server.waitForStarted(Generous))
        return QStringLiteral("the PipeWire session did not start");
    if (!waitUntil(
            [this] { return QFileInfo::exists(m_socket) || m_server.state() == QProcess::NotRunning; }) ||
        m_server.state() == QProcess::NotRunning)
        return QStringLiteral("pipewire-pulse opened no socket");

    return {};
}

QString PrivateSoundServer::startRecorder()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PULSE_SERVER"), address());
    m_recorder.setProcessEnvironment(env);
    m_recorder.setStandardOutputFile(m_capture);
    m_recorder.setStandardErrorFile(m_dir.filePath(QStringLiteral("recorder.log")));
    m_recorder.start(QStringLiteral("parec"),
                     {QStringLiteral("-d"), QStringLiteral("brivamo_test.monitor"), QStringLiteral("--raw"),
                      QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                      QStringLiteral("--rate=%1").arg(RecordRate), QStringLiteral("--latency-msec=20")});
    if (!m_recorder.waitForStarted(Generous))
        return QStringLiteral("parec did not start");
    return {};
}

QString PrivateSoundServer::restart()
{
    if (m_kind != Kind::PulseAudio)
        return QStringLiteral("only a PulseAudio server is restarted");
    m_server.waitForFinished(Generous);
    QFile::remove(m_socket);
    return startPulseAudio();
}

QString PrivateSoundServer::log(const QString &name) const
{
    QFile file(m_dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll().right(2000)) : QString();
}

qint64 PrivateSoundServer::recordedBytes() const
{
    return QFileInfo(m_capture).size();
}

std::vector<qint16> PrivateSoundServer::record(const std::function<void()> &during)
{
    // The monitor delivers silence while nothing plays: once it flows, recording has begun.
    const qint64 before = recordedBytes();
    if (!waitUntil([&] { return recordedBytes() >= before + BytesPerTenth; }))
        return {};
    const qint64 from = recordedBytes() & ~qint64(1);
    during();
    const qint64 after = recordedBytes();
    if (!waitUntil([&] { return recordedBytes() >= after + 5 * BytesPerTenth / 2; }))
        return {};

    QFile file(m_capture);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(from))
        return {};
    const QByteArray raw = file.readAll();
    std::vector<qint16> samples(size_t(raw.size() / 2));
    std::memcpy(samples.data(), raw.constData(), samples.size() * 2);
    return samples;
}

CpuLoad::CpuLoad()
{
    for (int i = 0; i < QThread::idealThreadCount(); ++i) {
        auto loop = std::make_unique<QProcess>();
        loop->start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("while :; do :; done")});
        m_loops.push_back(std::move(loop));
    }
}

CpuLoad::~CpuLoad()
{
    for (auto &loop : m_loops) {
        loop->kill();
        loop->waitForFinished(5000);
    }
}

bool CpuLoad::running() const
{
    for (const auto &loop : m_loops)
        if (!loop->waitForStarted(Generous))
            return false;
    return true;
}

AheadOfOrdinaryThreads::AheadOfOrdinaryThreads()
{
    sched_param param{};
    ::pthread_getschedparam(::pthread_self(), &m_policy, &param);
    m_priority = param.sched_priority;
    sched_param realTime{};
    realTime.sched_priority = ::sched_get_priority_min(SCHED_FIFO);
    // Neither a priority nor a lowered nice value passes to threads and processes started meanwhile.
    if (::pthread_setschedparam(::pthread_self(), SCHED_FIFO | SCHED_RESET_ON_FORK, &realTime) == 0) {
        m_realTime = true;
        return;
    }
    sched_param ordinary{};
    errno = 0;
    m_nice = ::getpriority(PRIO_PROCESS, 0);
    m_niceRaised =
        errno == 0 &&
        ::pthread_setschedparam(::pthread_self(), SCHED_OTHER | SCHED_RESET_ON_FORK, &ordinary) == 0 &&
        ::setpriority(PRIO_PROCESS, 0, m_nice - 10) == 0;
}

AheadOfOrdinaryThreads::~AheadOfOrdinaryThreads()
{
    sched_param param{};
    param.sched_priority = m_priority;
    ::pthread_setschedparam(::pthread_self(), m_policy, &param);
    if (m_niceRaised)
        ::setpriority(PRIO_PROCESS, 0, m_nice);
}

StallWatch::StallWatch()
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (::sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        CPU_SET(0, &allowed);
    for (int processor = 0; processor < CPU_SETSIZE; ++processor)
        if (CPU_ISSET(processor, &allowed))
            m_threads.emplace_back([this, processor] { watch(processor); });
}

StallWatch::~StallWatch()
{
    m_stop = true;
    for (std::thread &thread : m_threads)
        thread.join();
}

void StallWatch::watch(int processor)
{
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(processor, &one);
    ::pthread_setaffinity_np(::pthread_self(), sizeof one, &one);
    // At the sound tests' own priority: what holds the watch back would hold them back too.
    sched_param realTime{};
    realTime.sched_priority = ::sched_get_priority_min(SCHED_FIFO);
    if (::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &realTime) != 0)
        ::setpriority(PRIO_PROCESS, pid_t(::gettid()), -10);

    // Wake-ups up to this late are the scheduler's ordinary work, not a held processor.
    constexpr auto Ordinary = std::chrono::milliseconds(2);
    auto due = Clock::now();
    while (!m_stop.load(std::memory_order_relaxed)) {
        due += std::chrono::milliseconds(1);
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(due.time_since_epoch()).count();
        const timespec at{time_t(ns / 1000000000), long(ns % 1000000000)};
        while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
        }
        const auto woke = Clock::now();
        if (woke - due > Ordinary) {
            const std::lock_guard lock(m_mutex);
            m_held.push_back({due, woke});
        }
        due = std::max(due, woke - std::chrono::milliseconds(1));
    }
}

std::chrono::nanoseconds StallWatch::heldBetween(Clock::time_point from, Clock::time_point to) const
{
    const std::lock_guard lock(m_mutex);
    std::chrono::nanoseconds longest{};
    for (const Held &held : m_held)
        if (held.from < to && held.to > from)
            longest = std::max(longest, std::min(held.to, to) - std::max(held.from, from));
    return longest;
}

const StallWatch &stallWatch()
{
    static StallWatch watch;
    return watch;
}

PcmSound recordable(const QString &name)
{
    const std::optional<QByteArray> bytes = soundResource(name);
    const std::optional<PcmSound> decoded = bytes ? decodeWave(*bytes) : std::nullopt;
    return decoded ? monoAtRate(*decoded, RecordRate) : PcmSound{};
}

Heard findSound(const std::vector<qint16> &sound, const std::vector<qint16> &recorded, qsizetype from)
{
    Heard heard;
    const int threshold = peak(sound) / 8;
    const qsizetype soundFirst = loudSpan(sound, threshold).first;
    const qsizetype heardFirst = loudSpan(recorded, threshold, size_t(std::max<qsizetype>(from, 0))).first;
    if (soundFirst < 0 || heardFirst < 0)
        return heard;
    double soundEnergy = 0;
    for (qint16 s : sound)
        soundEnergy += double(s) * s;
    const qsizetype near = heardFirst - soundFirst;
    for (qsizetype at = std::max<qsizetype>(0, near - 400); at <= near + 400; ++at) {
        if (at + qsizetype(sound.size()) > qsizetype(recorded.size()))
            break;
        double product = 0, energy = 0;
        for (size_t i = 0; i < sound.size(); ++i) {
            const double r = recorded[size_t(at) + i];
            product += sound[i] * r;
            energy += r * r;
        }
        const double match = energy > 0 ? product / std::sqrt(soundEnergy * energy) : 0;
        if (match > heard.match) {
            heard.match = match;
            heard.at = at;
        }
    }
    return heard;
}

namespace {

// How well `sound` matches `recorded` from `at` on, piece by piece (50 ms each), each piece lined
// up anew within a millisecond of the one before: the worst piece that carries sound. PipeWire
// resamples streams to keep their clocks together, which may stretch a long sound by a fraction
// of a percent, enough to spoil a match of the sound as a whole.
double piecewiseMatch(const std::vector<qint16> &sound, const std::vector<qint16> &recorded, qsizetype at)
{
    const qsizetype piece = RecordRate / 20, drift = RecordRate / 1000;
    double loudest = 0;
    std::vector<double> energies;
    for (size_t from = 0; from + size_t(piece) <= sound.size(); from += size_t(piece)) {
        double energy = 0;
        for (size_t i = from; i < from + size_t(piece); ++i)
            energy += double(sound[i]) * sound[i];
        energies.push_back(energy);
        loudest = std::max(loudest, energy);
    }
    double worst = 1;
    qsizetype lag = at;
    for (size_t p = 0; p < energies.size(); ++p) {
        if (energies[p] < loudest / 100)
            continue; // nearly silent: nothing to compare
        const size_t from = p * size_t(piece);
        double best = 0;
        qsizetype bestLag = lag;
        for (qsizetype l = lag - drift; l <= lag + drift; ++l) {
            if (l < 0 || l + qsizetype(from) + piece > qsizetype(recorded.size()))
                continue;
            double product = 0, energy = 0;
            for (size_t i = from; i < from + size_t(piece); ++i) {
                const double r = recorded[size_t(l) + i];
                product += sound[i] * r;
                energy += r * r;
            }
            const double match = energy > 0 ? product / std::sqrt(energies[p] * energy) : 0;
            if (match > best) {
                best = match;
                bestLag = l;
            }
        }
        lag = bestLag;
        worst = std::min(worst, best);
    }
    return worst;
}

} // namespace

QString heardInTurn(const QStringList &names, const std::vector<qint16> &recorded)
{
    if (recorded.empty())
        return QStringLiteral("the recording stalled");
    qsizetype from = 0;
    for (const QString &name : names) {
        const std::vector<qint16> sound = recordable(name).samples;
        if (sound.empty())
            return name + QStringLiteral(" is not a built-in sound");
        const Heard heard = findSound(sound, recorded, from);
        if (heard.at < 0)
            return name + QStringLiteral(" was not heard");
        const double match = std::max(heard.match, piecewiseMatch(sound, recorded, heard.at));
        if (match <= 0.9)
            return QStringLiteral("%1: waveform match %2").arg(name).arg(match);

        // Whole: loud for as long as the sound is, and about as loud.
        const int threshold = peak(sound) / 8;
        const auto [soundFirst, soundEnd] = loudSpan(sound, threshold);
        // 5 ms, and a little more for long sounds: PipeWire matches the rates of its streams by
        // resampling, which may stretch a sound by a fraction of a percent.
        const qsizetype slack = RecordRate / 200 + (soundEnd - soundFirst) / 200;
        const size_t end = size_t(heard.at) + sound.size();
        // Only up to the end of the sound's loud part: a sound queued behind it may follow in what
        // is quiet here.
        const auto [heardFirst, heardEnd] =
            loudSpan(recorded, threshold, size_t(heard.at), size_t(heard.at + soundEnd + slack));
        if (std::abs((heardEnd - heardFirst) - (soundEnd - soundFirst)) > slack ||
            std::abs(heardFirst - heard.at - soundFirst) > slack)
            return QStringLiteral("%1: loud over %2..%3, the sound over %4..%5")
                .arg(name)
                .arg(heardFirst - heard.at)
                .arg(heardEnd - heard.at)
                .arg(soundFirst)
                .arg(soundEnd);
        if (peak(recorded, size_t(heard.at), end) <= peak(sound) / 2)
            return name + QStringLiteral(" was played far too quietly");
        from = qsizetype(end) - slack;
    }
    return {};
}

Timed timed(const std::function<void()> &run)
{
    const auto from = StallWatch::Clock::now();
    run();
    const auto to = StallWatch::Clock::now();
    return {to - from, stallWatch().heldBetween(from, to)};
}

Timed timedSound(const QString &name)
{
    return timed([&] { modStandard::PlaySoundEffect(name, 0); });
}

QString tookTheirLength(const QStringList &names, const QList<Timed> &took)
{
    if (took.size() != names.size())
        return QStringLiteral("%1 calls timed for %2 sounds").arg(took.size()).arg(names.size());
    std::chrono::nanoseconds latest{};
    for (qsizetype i = 0; i < names.size(); ++i) {
        const auto length = soundLength(names.at(i));
        latest = std::max(latest, took.at(i).took - took.at(i).held - length);
        if (took.at(i).took < length || !within(took.at(i), length + Late))
            return names.at(i) + QStringLiteral(": ") + describe(took.at(i), length);
    }
    qInfo("%lld calls, the latest returned %.1f ms after its sound's length, not counting a held processor",
          qint64(took.size()), double(latest.count()) / 1e6);
    return {};
}

QString playedInTurn(PrivateSoundServer &server, const QStringList &names,
                     const std::function<void()> &before, const std::function<void()> &after)
{
    QList<Timed> took;
    const std::vector<qint16> recorded = server.record([&] {
        if (before)
            before();
        for (const QString &name : names)
            took.append(timedSound(name));
        if (after)
            after();
    });
    const QString late = tookTheirLength(names, took);
    return late.isEmpty() ? heardInTurn(names, recorded) : late;
}

QString retriedWhileHeld(const std::function<QString()> &round)
{
    constexpr int Rounds = 5;
    QString found;
    for (int i = 1; i <= Rounds; ++i) {
        const auto from = StallWatch::Clock::now();
        found = round();
        const auto held = stallWatch().heldBetween(from, StallWatch::Clock::now());
        if (found.isEmpty() || held == std::chrono::nanoseconds::zero())
            return found;
        qInfo("round %d: %s, while the machine held a processor for %.1f ms", i, qPrintable(found),
              double(held.count()) / 1e6);
    }
    return found;
}

std::chrono::nanoseconds soundLength(const QString &name)
{
    const std::optional<QByteArray> bytes = soundResource(name);
    const std::optional<PcmSound> sound = bytes ? decodeWave(*bytes) : std::nullopt;
    if (!sound)
        return {};
    return std::chrono::nanoseconds(sound->frames() * 1000000000LL / sound->sampleRate);
}

QString describe(const Timed &t, std::chrono::nanoseconds length)
{
    QString text = QStringLiteral("%1 ms for a %2 ms sound")
                       .arg(double(t.took.count()) / 1e6, 0, 'f', 1)
                       .arg(double(length.count()) / 1e6, 0, 'f', 1);
    if (t.held > std::chrono::nanoseconds::zero())
        text += QStringLiteral(", the machine holding a processor for %1 ms of it")
                    .arg(double(t.held.count()) / 1e6, 0, 'f', 1);
    return text;
}

QString startWithOutput(PrivateSoundServer &server, std::unique_ptr<PulseSoundOutput> &output,
                        PulseSoundOutput::Options options)
{
    return server.start([&] {
        options.server = server.address().toStdString();
        output = std::make_unique<PulseSoundOutput>(options);
        setSoundOutput(output.get());
        // The first sound also opens the connection.
        modStandard::PlaySoundEffect(QStringLiteral("click"), 0);
    });
}

} // namespace brivamo::testing
