#include "effects/sound_server_support.h"
#include "effects/sounds.h"
#include "platform/sound_output_pulse.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <cstring>
#include <optional>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace brivamo;
using namespace brivamo::testing;
using namespace std::chrono_literals;

namespace {

// Short limits, so that waiting them out costs the test little.
constexpr auto ConnectLimit = 100ms;
constexpr auto RetryAfter = 300ms;

// A local socket that takes connections and closes them at once. It runs on a thread of its own:
// the sound calls block the test's thread.
class ClosingServer
{
public:
    explicit ClosingServer(const QString &path)
    {
        m_listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path - 1);
        m_ok = m_listener >= 0 &&
               ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
               ::listen(m_listener, 8) == 0;
        if (!m_ok)
            return;
        m_thread = std::thread([this] {
            for (;;) {
                const int socket = ::accept(m_listener, nullptr, nullptr);
                if (socket < 0)
                    return; // shut down
                ++connections;
                ::close(socket);
            }
        });
    }
    ~ClosingServer()
    {
        if (m_thread.joinable()) {
            ::shutdown(m_listener, SHUT_RDWR);
            m_thread.join();
        }
        if (m_listener >= 0)
            ::close(m_listener);
    }
    bool ok() const { return m_ok; }
    std::atomic<int> connections = 0;

private:
    bool m_ok = false;
    int m_listener = -1;
    std::thread m_thread;
};

// Whether process `pid` is stopped, as its status in /proc says.
bool isStopped(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    // "pid (name) state ...": the name may hold anything but not the last ')'.
    const qsizetype end = line.lastIndexOf(')');
    return end >= 0 && line.mid(end + 2, 1) == "T";
}

// Stops a process while it exists; it runs on afterwards, whatever the test found.
class Stopped
{
public:
    explicit Stopped(pid_t pid) : m_pid(pid) { m_ok = ::kill(pid, SIGSTOP) == 0; }
    ~Stopped()
    {
        if (m_ok)
            ::kill(m_pid, SIGCONT);
    }
    Stopped(const Stopped &) = delete;
    Stopped &operator=(const Stopped &) = delete;
    bool ok() const { return m_ok; }

private:
    pid_t m_pid;
    bool m_ok = false;
};

} // namespace

// Plays through a private PulseAudio server with a null sink and listens to what reaches it.
class TestSoundsServer : public QObject
{
    Q_OBJECT

    std::optional<AheadOfOrdinaryThreads> m_ahead;
    std::unique_ptr<PrivateSoundServer> m_server;
    std::unique_ptr<PulseSoundOutput> m_output;

private slots:
    void initTestCase()
    {
        // What is measured is the sound output's waiting, not the scheduler's.
        m_ahead.emplace();
        stallWatch();
        m_server = std::make_unique<PrivateSoundServer>(PrivateSoundServer::Kind::PulseAudio);
        if (const QStringList missing = m_server->missingPrograms(); !missing.isEmpty())
            QSKIP(qPrintable(QStringLiteral("not installed: ") + missing.join(QStringLiteral(", "))));
        const QString problem = startWithOutput(*m_server, m_output, {ConnectLimit, RetryAfter, {}});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(m_output->connected());
    }

    void cleanupTestCase()
    {
        setSoundOutput(nullptr);
        m_output.reset();
        m_server.reset();
        m_ahead.reset();
    }

    // First, while the recorder gets going: no sound is heard here.
    // A server that is stopped (it is connected to but does not answer) costs the connection
    // limit once; one that closes the connection at once costs nothing. Either way the next calls
    // do not try again (they return at once, silent) until the retry time has passed.
    void unreachableServerCostsAtMostTheLimitThenWaits_data()
    {
        QTest::addColumn<bool>("stopped");
        QTest::newRow("stopped") << true;
        QTest::newRow("closes the connection") << false;
    }
    void unreachableServerCostsAtMostTheLimitThenWaits()
    {
        QFETCH(bool, stopped);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("closing"));
        std::optional<ClosingServer> closing;
        std::optional<Stopped> stop;
        if (stopped) {
            const auto server = pid_t(m_server->protocolProcessId());
            stop.emplace(server);
            QVERIFY(stop->ok());
            QTRY_VERIFY(isStopped(server));
        } else {
            closing.emplace(path);
            QVERIFY(closing->ok());
        }
        PulseSoundOutput output(
            {ConnectLimit, RetryAfter,
             stopped ? m_server->address().toStdString() : ("unix:" + path).toStdString()});
        const PcmSound click = recordable(QStringLiteral("click"));
        auto timedPlay = [&](bool *played) { return timed([&] { *played = output.play(click); }); };
        // A call that tries to connect to the stopped server waits out the limit.
        auto verifyTried = [&](const Timed &t) {
            QVERIFY2(within(t, ConnectLimit + Late), qPrintable(describe(t, 0ns)));
            if (stopped)
                QVERIFY2(t.took >= ConnectLimit, qPrintable(describe(t, 0ns)));
            else
                QVERIFY2(within(t, ConnectLimit / 2), qPrintable(describe(t, 0ns)));
        };

        QElapsedTimer sinceFirst;
        sinceFirst.start();
        bool played = true;
        verifyTried(timedPlay(&played));
        QVERIFY(!played);
        if (closing)
            QTRY_COMPARE(closing->connections.load(), 1);

        // Had it tried, it would have waited out the limit (stopped) or been the second connection.
        const auto second = timedPlay(&played);
        QVERIFY(!played);
        QVERIFY2(within(second, 5ms), qPrintable(describe(second, 0ns)));

        // After the retry time the next call tries again.
        QVERIFY(QTest::qWaitFor([&] { return sinceFirst.elapsed() >= RetryAfter.count(); }));
        verifyTried(timedPlay(&played));
        QVERIFY(!played);
        if (closing)
            QTRY_COMPARE(closing->connections.load(), 2);
        QVERIFY(!output.connected());
    }

    // Sounds played one after the other are heard whole and in turn, and each call returns when
    // its sound's length has passed, not when the server is done with it.
    void soundsAreHeardInTurnAndCallsTakeTheirLength()
    {
        const QStringList names{QStringLiteral("click"), QStringLiteral("tryagain"), QStringLiteral("click")};
        const QString problem = retriedWhileHeld([&] { return playedInTurn(*m_server, names); });
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // A server that stops answering for a while is only slow: the calls keep their length, the
    // connection stays, and what was played meanwhile is heard once the server runs again.
    void stoppedServerIsWaitedOutNotLeft()
    {
        const int connections = m_output->connectionsOpened();
        const pid_t server = pid_t(m_server->protocolProcessId());
        const QStringList clicks{QStringLiteral("click"), QStringLiteral("click"), QStringLiteral("click")};
        bool stopped = true;
        const QString problem = retriedWhileHeld([&] {
            return playedInTurn(
                *m_server, clicks, [&] { stopped = stopped && ::kill(server, SIGSTOP) == 0; },
                [&] { ::kill(server, SIGCONT); });
        });
        QVERIFY(stopped);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(m_output->connectionsOpened(), connections);
        QVERIFY(m_output->connected());
    }

    // A server that is gone silences the sounds at once, without a wait; once it is back, sounds
    // are heard again from the first call after the retry time.
    void goneServerSilencesUntilItIsBack()
    {
        const PcmSound tryagain = recordable(QStringLiteral("tryagain"));
        QVERIFY(m_output->connected());
        QCOMPARE(::kill(pid_t(m_server->protocolProcessId()), SIGKILL), 0);
        QTRY_VERIFY(!m_output->connected());

        bool played = true;
        const Timed silent = timed([&] { played = m_output->play(tryagain) || m_output->play(tryagain); });
        QVERIFY(!played);
        QVERIFY2(within(silent, 50ms),
                 qPrintable(describe(silent, 0ns) + QStringLiteral(" without a server")));
        QElapsedTimer sinceFailure;
        sinceFailure.start();

        const QString problem = m_server->restart();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(QTest::qWaitFor([&] { return sinceFailure.elapsed() >= RetryAfter.count(); }));
        const auto length = soundLength(QStringLiteral("click"));
        const auto took = timedSound(QStringLiteral("click"));
        QVERIFY(m_output->connected());
        QVERIFY2(within(took, length + ConnectLimit), qPrintable(describe(took, length)));
    }
};

QTEST_GUILESS_MAIN(TestSoundsServer)
#include "tst_sounds_server.moc"
