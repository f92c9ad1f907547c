// The puzzle window's live build as a person watches it (drawing, pauses and sounds), on ANIMALS
// at side 30: once with sound on, played through a private sound server with a null sink that
// this benchmark starts (with a recorder listening to it), and once with sound off, from the same random
// numbers. Counters: both wall times, their ratio, the ratio the sounds' own length accounts for
// ("sounds' share", the least the ratio can be), the summed length of the sounds played, how much
// longer the build with sound took than those sounds last ("overhead", 0 is ideal), and how long
// after its sound's length a sound call returned, on average and at most.

#include "base/settings.h"
#include "effects/sounds.h"
#include "generator/standard_routines.h"
#include "platform/dialogs.h"
#include "platform/sound_output_pulse.h"
#include "puzzle/frm_puzzle.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <memory>

using namespace brivamo;

namespace {

QString benchFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("BRIVAMO_BENCH_DIR");
    return fromEnvironment.isEmpty() ? QStringLiteral(BRIVAMO_BENCH_DIR) : fromEnvironment;
}

// Every message box (only "give up" can appear) is answered at once.
class AnsweringDialogs final : public Dialogs
{
protected:
    MsgAnswer showMessage(const QString &, MsgButtons, MsgIcon, const QString &, int) override
    {
        return MsgAnswer::Ok;
    }
    QString askText(const QString &, const QString &, const QString &) override { return {}; }
};

// Passes sounds on to the real output and adds up how long they last.
class MeasuringOutput final : public SoundOutput
{
public:
    explicit MeasuringOutput(SoundOutput &real) : m_real(real) {}
    bool play(const PcmSound &sound) override { return playFrom(sound, std::chrono::steady_clock::now()); }
    bool playFrom(const PcmSound &sound, std::chrono::steady_clock::time_point since) override
    {
        const double length = double(sound.frames()) / sound.sampleRate;
        seconds += length;
        ++count;
        const bool played = m_real.playFrom(sound, since);
        const double late =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count() - length;
        lateSeconds += late;
        latestSeconds = std::max(latestSeconds, late);
        return played;
    }
    double seconds = 0;
    int count = 0;
    // How long after the sound's length since it was asked for each call returned: in all, and at most.
    double lateSeconds = 0;
    double latestSeconds = 0;

private:
    SoundOutput &m_real;
};

// A private home for the settings, a sound server and the application object, made once.
struct Environment
{
    QTemporaryDir home;
    QProcess server;
    QProcess listener;
    std::unique_ptr<QApplication> app;
    AnsweringDialogs dialogs;
    QString error;

    Environment()
    {
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
        qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "brivamo_bench";
        static char *argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
        setDialogs(&dialogs);

        const QString socket = home.filePath(QStringLiteral("native"));
        qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
        server.start(
            QStringLiteral("pulseaudio"),
            {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
             QStringLiteral("--log-level=error"), QStringLiteral("--load=module-null-sink sink_name=bench"),
             QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + socket});
        if (!server.waitForStarted(5000)) {
            error = QStringLiteral("pulseaudio did not start");
            return;
        }
        QElapsedTimer clock;
        clock.start();
        while (!QFileInfo::exists(socket) && clock.elapsed() < 10000)
            QThread::msleep(20);
        if (!QFileInfo::exists(socket)) {
            error = QStringLiteral("pulseaudio opened no socket");
            return;
        }
        // A listener on the sink's monitor, as a device plays all along: without one the null
        // sink works in 2-second blocks and a new sound waits for the current block to end.
        listener.setStandardOutputFile(QProcess::nullDevice());
        listener.start(QStringLiteral("parec"), {QStringLiteral("-d"), QStringLiteral("bench.monitor"),
                                                 QStringLiteral("--latency-msec=20")});
        if (!listener.waitForStarted(5000))
            error = QStringLiteral("parec did not start");
    }
    ~Environment()
    {
        listener.terminate();
        listener.waitForFinished(5000);
        server.terminate();
        server.waitForFinished(5000);
    }
};

Environment &environment()
{
    static Environment env;
    return env;
}

QStringList animals()
{
    QFile file(benchFolder() + QStringLiteral("/lists/ANIMALS.lst"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList words;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (!line.trimmed().isEmpty())
            words << QString::fromLatin1(line.trimmed());
    words.sort(Qt::CaseInsensitive); // as the lobby lists them
    return words;
}

// Seconds of wall time for one live build at side 30.
double liveBuild(const QStringList &words, bool sound, std::uint32_t seed)
{
    basBrivamo::writeBoolSetting(basBrivamo::KeySoundStatus, sound);
    modStandard::SeededRandomSource random(seed);
    frmPuzzle &window = form<frmPuzzle>();
    window.setRandomSource(&random);
    window.setSource(QStringLiteral("ANIMALS"), words);
    window.Show();
    window.scrollSquareSize->setValue(30);
    QCoreApplication::processEvents();
    QElapsedTimer clock;
    clock.start();
    window.cmdMakePuzzle_Click();
    const double seconds = double(clock.nsecsElapsed()) * 1e-9;
    destroyAllForms();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return seconds;
}

void liveBuildWithAndWithoutSound(benchmark::State &state)
{
    Environment &env = environment();
    const QStringList words = animals();
    if (!env.error.isEmpty() || words.isEmpty()) {
        state.SkipWithError(words.isEmpty() ? "ANIMALS.lst missing (set BRIVAMO_BENCH_DIR)"
                                            : env.error.toLocal8Bit().constData());
        return;
    }
    PulseSoundOutput pulse;
    MeasuringOutput measuring(pulse);
    setSoundOutput(&measuring);

    double withSound = 0, without = 0;
    std::uint32_t seed = 1;
    for (auto _ : state) {
        without += liveBuild(words, false, seed);
        const double on = liveBuild(words, true, seed);
        withSound += on;
        state.SetIterationTime(on);
        ++seed;
    }
    setSoundOutput(nullptr);

    const auto runs = double(state.iterations());
    state.counters["s with sound"] = withSound / runs;
    state.counters["s without"] = without / runs;
    state.counters["ratio"] = withSound / without;
    // The least the ratio can be: the build without sound plus the sounds' own length.
    state.counters["sounds' share"] = (without + measuring.seconds) / without;
    state.counters["s of sounds"] = measuring.seconds / runs;
    state.counters["sounds"] = measuring.count / runs;
    state.counters["overhead"] = (withSound - without - measuring.seconds) / measuring.seconds;
    state.counters["ms late per sound"] =
        measuring.count > 0 ? 1000 * measuring.lateSeconds / measuring.count : 0;
    state.counters["ms late at most"] = 1000 * measuring.latestSeconds;
}

const bool registered = [] {
    benchmark::RegisterBenchmark("LiveBuild/ANIMALS/30/sound-vs-silent", liveBuildWithAndWithoutSound)
        ->Unit(benchmark::kSecond)
        ->UseManualTime()
        ->Iterations(3);
    return true;
}();

} // namespace
