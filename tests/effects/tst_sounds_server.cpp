#include "effects/sounds.h"
#include "platform/sound_output_pulse.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <cmath>
#include <csignal>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace brivamo;
using namespace std::chrono_literals;

namespace {

constexpr int RecordRate = 22050;

// How far the best alignment of `recorded` matches `sound` (normalised cross-correlation, 1 is
// identical up to loudness), searching lags around `near`.
double bestMatch(const std::vector<qint16> &sound, const std::vector<qint16> &recorded, qsizetype near,
                 qsizetype *lag)
{
    double best = 0;
    double soundEnergy = 0;
    for (qint16 s : sound)
        soundEnergy += double(s) * s;
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
        if (match > best) {
            best = match;
            *lag = at;
        }
    }
    return best;
}

// Index of the first and one past the last sample louder than `threshold`.
std::pair<qsizetype, qsizetype> loudSpan(const std::vector<qint16> &samples, int threshold)
{
    qsizetype first = -1, last = -1;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) > threshold) {
            if (first < 0)
                first = qsizetype(i);
            last = qsizetype(i) + 1;
        }
    }
    return {first, last};
}

int peak(const std::vector<qint16> &samples)
{
    int loudest = 0;
    for (qint16 s : samples)
        loudest = std::max(loudest, std::abs(int(s)));
    return loudest;
}

// A window that asks to be repainted every 10 ms and notes when it was.
class RepaintingWindow : public QWidget
{
public:
    RepaintingWindow()
    {
        resize(100, 100);
        connect(&m_timer, &QTimer::timeout, this, [this] { update(); });
        m_timer.start(10);
        m_clock.start();
    }
    QList<qint64> paints;

protected:
    void paintEvent(QPaintEvent *) override { paints.append(m_clock.elapsed()); }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
};

} // namespace

// Plays through a private sound server with a null sink and listens to what reaches it.
class TestSoundsServer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty())
            QSKIP("no sound server program installed");
        QVERIFY(m_dir.isValid());
        m_socket = m_dir.filePath(QStringLiteral("native"));
        // The program's own output finds the server the way it would on a desktop.
        qputenv("PULSE_SERVER", ("unix:" + m_socket).toUtf8());
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start(
            QStringLiteral("pulseaudio"),
            {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
             QStringLiteral("--disable-shm=yes"), QStringLiteral("--log-level=error"),
             QStringLiteral("--load=module-null-sink sink_name=brivamo_test"),
             QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + m_socket});
        QVERIFY(m_server.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(m_socket), 10000);

        // Someone listens all along, as a device plays all along: without a listener the null
        // sink works in 2-second blocks and any new sound waits for the current block to end.
        m_capture = m_dir.filePath(QStringLiteral("capture.raw"));
        m_recorder.setStandardOutputFile(m_capture);
        m_recorder.start(QStringLiteral("parec"),
                         {QStringLiteral("-d"), QStringLiteral("brivamo_test.monitor"),
                          QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                          QStringLiteral("--channels=1"), QStringLiteral("--rate=%1").arg(RecordRate),
                          QStringLiteral("--latency-msec=20")});
        QVERIFY(m_recorder.waitForStarted(5000));
        // The monitor delivers silence while nothing plays: once it flows, recording has begun.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(m_capture).size() >= RecordRate / 5, 10000);

        // The first sound also opens the connection, which has a limit of its own (see below).
        modStandard::PlaySoundEffect(QStringLiteral("click"), 0);
    }

    void cleanupTestCase()
    {
        setSoundOutput(nullptr);
        if (m_recorder.state() != QProcess::NotRunning) {
            m_recorder.terminate();
            m_recorder.waitForFinished(5000);
        }
        if (m_server.state() != QProcess::NotRunning) {
            ::kill(pid_t(m_server.processId()), SIGCONT);
            m_server.terminate();
            m_server.waitForFinished(5000);
        }
    }

    // Each sound is heard whole, as recorded, and the call returns about when it ends.
    void eachSoundIsHeardWholeAndReturnsWhenItEnds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("lateMs"); // how long after the sound's end the call may return
        QTest::newRow("click") << "click" << 60;
        QTest::newRow("done") << "done" << 100;
        QTest::newRow("tryagain") << "tryagain" << 100;
    }
    void eachSoundIsHeardWholeAndReturnsWhenItEnds()
    {
        QFETCH(QString, name);
        QFETCH(int, lateMs);
        const std::optional<PcmSound> decoded = decodeWave(*soundResource(name));
        QVERIFY(decoded);
        const PcmSound sound = monoAtRate(*decoded, RecordRate);
        const qint64 lengthMs = decoded->frames() * 1000 / decoded->sampleRate;

        qint64 elapsed = -1;
        std::vector<qint16> recorded;
        record(
            [&] {
                QElapsedTimer timer;
                timer.start();
                modStandard::PlaySoundEffect(name, 0);
                elapsed = timer.elapsed();
            },
            &recorded);
        if (QTest::currentTestFailed())
            return;
        qInfo("%s: %lld ms long, call returned after %lld ms", qPrintable(name), lengthMs, elapsed);

        // Synchronous: not before the sound could have been heard, and not long after.
        QVERIFY2(elapsed >= lengthMs - 20 && elapsed <= lengthMs + lateMs,
                 qPrintable(QStringLiteral("%1 ms for a %2 ms sound").arg(elapsed).arg(lengthMs)));

        // What reached the speakers is this sound, once: the same loud stretch, the same waveform.
        const int threshold = peak(sound.samples) / 8;
        const auto [soundFirst, soundEnd] = loudSpan(sound.samples, threshold);
        const auto [heardFirst, heardEnd] = loudSpan(recorded, threshold);
        QVERIFY2(heardFirst >= 0, "nothing was heard");
        const qsizetype slack = RecordRate / 200; // 5 ms
        QVERIFY2(std::abs((heardEnd - heardFirst) - (soundEnd - soundFirst)) <= slack,
                 qPrintable(QStringLiteral("loud for %1 samples, the sound is loud for %2")
                                .arg(heardEnd - heardFirst)
                                .arg(soundEnd - soundFirst)));
        qsizetype lag = 0;
        const double match = bestMatch(sound.samples, recorded, heardFirst - soundFirst, &lag);
        QVERIFY2(match > 0.9, qPrintable(QStringLiteral("waveform match %1").arg(match)));
        QVERIFY2(std::abs(lag - (heardFirst - soundFirst)) <= slack,
                 "the loud part is not where the sound is");
        QVERIFY2(peak(recorded) > peak(sound.samples) / 2, "played far too quietly");
    }

    // A server that takes the connection and never answers costs the connection limit once, then
    // nothing until the next try; the window keeps repainting throughout.
    void stalledServerCostsOnlyTheLimit()
    {
        const QString path = m_dir.filePath(QStringLiteral("silent"));
        const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(listener >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path - 1);
        QVERIFY(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
        QVERIFY(::listen(listener, 8) == 0);
        QList<int> accepted; // kept open and never answered
        QSocketNotifier incoming(listener, QSocketNotifier::Read);
        connect(&incoming, &QSocketNotifier::activated, this,
                [&] { accepted.append(::accept(listener, nullptr, nullptr)); });
        PulseSoundOutput output({250ms, 1000ms, ("unix:" + path).toStdString()});
        setSoundOutput(&output);

        RepaintingWindow window;
        window.show();
        QList<qint64> calls;
        QElapsedTimer clock;
        clock.start();
        // Like the maker: a sound, then the window's events, over and over.
        while (clock.elapsed() < 2600) {
            QElapsedTimer call;
            call.start();
            modStandard::PlaySoundEffect(QStringLiteral("done"), 0);
            calls.append(call.elapsed());
            QTest::qWait(20);
        }
        setSoundOutput(nullptr);

        QVERIFY(!accepted.isEmpty());
        const qint64 longest = *std::max_element(calls.cbegin(), calls.cend());
        const auto attempts =
            std::count_if(calls.cbegin(), calls.cend(), [](qint64 ms) { return ms >= 200; });
        qInfo("%lld calls, %lld waited for the server, longest %lld ms", qint64(calls.size()),
              qint64(attempts), longest);
        QVERIFY2(longest <= 250 + 150, qPrintable(QStringLiteral("a sound blocked %1 ms").arg(longest)));
        // The first sound tries, the next ones within a second do not, later ones try again.
        QVERIFY2(attempts >= 2 && attempts <= 3, qPrintable(QStringLiteral("%1 attempts").arg(attempts)));
        QVERIFY(calls.size() > 10);

        qint64 widestGap = 0;
        for (qsizetype i = 1; i < window.paints.size(); ++i)
            widestGap = std::max(widestGap, window.paints.at(i) - window.paints.at(i - 1));
        qInfo("%lld repaints, widest gap %lld ms", qint64(window.paints.size()), widestGap);
        QVERIFY(window.paints.size() > 20);
        QVERIFY2(widestGap <= 250 + 200, qPrintable(QStringLiteral("no repaint for %1 ms").arg(widestGap)));
        for (int socket : accepted)
            ::close(socket);
        ::close(listener);
    }

    // A server that stops mid-run silences the sound within its length plus the limit; once it
    // answers again, sounds come back at the next try.
    void serverThatStopsAnsweringIsLeftAndRejoined()
    {
        PulseSoundOutput output({250ms, 1000ms, ("unix:" + m_socket).toStdString()});
        const PcmSound tryagain = *decodeWave(*soundResource(QStringLiteral("tryagain")));
        const qint64 lengthMs = tryagain.frames() * 1000 / tryagain.sampleRate;
        QVERIFY(output.play(tryagain));
        QVERIFY(output.connected());

        const pid_t server = pid_t(m_server.processId());
        QCOMPARE(::kill(server, SIGSTOP), 0);
        QElapsedTimer timer;
        timer.start();
        const bool played = output.play(tryagain);
        const qint64 stalled = timer.elapsed();
        timer.restart();
        const bool retried = output.play(tryagain);
        const qint64 skipped = timer.elapsed();
        QCOMPARE(::kill(server, SIGCONT), 0);
        qInfo("stalled server: %lld ms for a %lld ms sound, then %lld ms", stalled, lengthMs, skipped);

        QVERIFY(!played);
        QVERIFY2(stalled <= lengthMs + 250 + 150, qPrintable(QStringLiteral("blocked %1 ms").arg(stalled)));
        QVERIFY(!retried);
        QVERIFY2(skipped < 50, qPrintable(QStringLiteral("blocked %1 ms without trying").arg(skipped)));
        QVERIFY(!output.connected());

        QTest::qWait(1100);
        QVERIFY(output.play(tryagain));
        QVERIFY(output.connected());
    }

private:
    // What the null sink played while `during` ran (mono, RecordRate), with silence either side.
    void record(const std::function<void()> &during, std::vector<qint16> *samples)
    {
        const qint64 tenthOfSecond = RecordRate / 10 * 2;
        auto recordedBytes = [this] { return QFileInfo(m_capture).size(); };
        const qint64 before = recordedBytes();
        QTRY_VERIFY_WITH_TIMEOUT(recordedBytes() >= before + tenthOfSecond, 10000);
        const qint64 from = recordedBytes() & ~qint64(1);
        during();
        const qint64 after = recordedBytes();
        QTRY_VERIFY_WITH_TIMEOUT(recordedBytes() >= after + 3 * tenthOfSecond, 10000);

        QFile file(m_capture);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.seek(from));
        const QByteArray raw = file.readAll();
        samples->resize(size_t(raw.size() / 2));
        std::memcpy(samples->data(), raw.constData(), samples->size() * 2);
    }

    QTemporaryDir m_dir;
    QString m_socket;
    QString m_capture;
    QProcess m_server;
    QProcess m_recorder;
};

QTEST_MAIN(TestSoundsServer)
#include "tst_sounds_server.moc"
