#include "effects/sound_server_support.h"
#include "effects/sounds.h"
#include "platform/sound_output_pulse.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <cstring>
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

// A local socket that takes connections and then either never answers or closes them at once.
// It runs on a thread of its own: the sound calls block the test's thread.
class FakeServer
{
public:
    FakeServer(const QString &path, bool closes)
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
        m_thread = std::thread([this, closes] {
            for (;;) {
                const int socket = ::accept(m_listener, nullptr, nullptr);
                if (socket < 0)
                    return; // shut down
                ++connections;
                if (closes)
                    ::close(socket);
                else
                    m_open.push_back(socket);
            }
        });
    }
    ~FakeServer()
    {
        if (m_thread.joinable()) {
            ::shutdown(m_listener, SHUT_RDWR);
            m_thread.join();
        }
        for (int socket : m_open)
            ::close(socket);
        if (m_listener >= 0)
            ::close(m_listener);
    }
    bool ok() const { return m_ok; }
    std::atomic<int> connections = 0;

private:
    bool m_ok = false;
    int m_listener = -1;
    std::vector<int> m_open;
    std::thread m_thread;
};

} // namespace

// Plays through a private PulseAudio server with a null sink and listens to what reaches it.
class TestSoundsServer : public QObject
{
    Q_OBJECT

    std::unique_ptr<PrivateSoundServer> m_server;
    std::unique_ptr<PulseSoundOutput> m_output;

private slots:
    void initTestCase()
    {
        m_server = std::make_unique<PrivateSoundServer>(PrivateSoundServer::Kind::PulseAudio);
        if (const QStringList missing = m_server->missingPrograms(); !missing.isEmpty())
            QSKIP(qPrintable(QStringLiteral("not installed: ") + missing.join(QStringLiteral(", "))));
        const QString problem = m_server->start([this] {
            m_output = std::make_unique<PulseSoundOutput>(
                PulseSoundOutput::Options{ConnectLimit, RetryAfter, m_server->address().toStdString()});
            setSoundOutput(m_output.get());
            // The first sound also opens the connection.
            modStandard::PlaySoundEffect(QStringLiteral("click"), 0);
        });
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(m_output->connected());
    }

    void cleanupTestCase()
    {
        setSoundOutput(nullptr);
        m_output.reset();
        m_server.reset();
    }

    // First, while the recorder gets going: no sound is heard here.
    // A server that takes the connection but never answers costs the connection limit once; one
    // that closes it at once costs nothing. Either way the next calls do not try again (they
    // return at once, silent) until the retry time has passed.
    void unreachableServerCostsAtMostTheLimitThenWaits_data()
    {
        QTest::addColumn<bool>("closes");
        QTest::newRow("never answers") << false;
        QTest::newRow("closes the connection") << true;
    }
    void unreachableServerCostsAtMostTheLimitThenWaits()
    {
        QFETCH(bool, closes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("fake"));
        FakeServer fake(path, closes);
        QVERIFY(fake.ok());
        PulseSoundOutput output({ConnectLimit, RetryAfter, ("unix:" + path).toStdString()});
        const PcmSound click = recordable(QStringLiteral("click"));
        auto timedPlay = [&](bool *played) {
            QElapsedTimer timer;
            timer.start();
            *played = output.play(click);
            return std::chrono::nanoseconds(timer.nsecsElapsed());
        };

        QElapsedTimer sinceFirst;
        sinceFirst.start();
        bool played = true;
        const auto first = timedPlay(&played);
        QVERIFY(!played);
        QVERIFY2(first <= ConnectLimit + Late, qPrintable(describe(first, 0ns)));
        if (closes)
            QVERIFY2(first < ConnectLimit / 2, qPrintable(describe(first, 0ns)));
        QTRY_COMPARE(fake.connections.load(), 1);

        const auto second = timedPlay(&played);
        QVERIFY(!played);
        QVERIFY2(second < 5ms, qPrintable(describe(second, 0ns)));

        // After the retry time the next call tries again: the second connection the server sees
        // is that one (had the second call tried, this would be the third).
        QVERIFY(QTest::qWaitFor([&] { return sinceFirst.elapsed() >= RetryAfter.count(); }));
        const auto third = timedPlay(&played);
        QVERIFY(!played);
        QVERIFY2(third <= ConnectLimit + Late, qPrintable(describe(third, 0ns)));
        QTRY_COMPARE(fake.connections.load(), 2);
        QVERIFY(!output.connected());
    }

    // Sounds played one after the other are heard whole and in turn, and each call returns when
    // its sound's length has passed, not when the server is done with it.
    void soundsAreHeardInTurnAndCallsTakeTheirLength()
    {
        const QStringList names{QStringLiteral("click"), QStringLiteral("tryagain"), QStringLiteral("click")};
        QList<std::chrono::nanoseconds> took;
        const std::vector<qint16> recorded = m_server->record([&] {
            for (const QString &name : names)
                took.append(timedSound(name));
        });
        for (qsizetype i = 0; i < names.size(); ++i) {
            const auto length = soundLength(names.at(i));
            qInfo("%s: %s", qPrintable(names.at(i)), qPrintable(describe(took.at(i), length)));
            QVERIFY2(took.at(i) >= length && took.at(i) <= length + Late,
                     qPrintable(describe(took.at(i), length)));
        }
        verifyHeardInTurn(names, recorded);
    }

    // A server that stops answering for a while is only slow: the calls keep their length, the
    // connection stays, and what was played meanwhile is heard once the server runs again.
    void stoppedServerIsWaitedOutNotLeft()
    {
        const int connections = m_output->connectionsOpened();
        const pid_t server = pid_t(m_server->protocolProcessId());
        QList<std::chrono::nanoseconds> took;
        const std::vector<qint16> recorded = m_server->record([&] {
            QCOMPARE(::kill(server, SIGSTOP), 0);
            for (int i = 0; i < 3; ++i)
                took.append(timedSound(QStringLiteral("click")));
            QCOMPARE(::kill(server, SIGCONT), 0);
        });
        const auto length = soundLength(QStringLiteral("click"));
        for (const auto t : took)
            QVERIFY2(t >= length && t <= length + Late, qPrintable(describe(t, length)));
        QCOMPARE(m_output->connectionsOpened(), connections);
        QVERIFY(m_output->connected());
        verifyHeardInTurn({QStringLiteral("click"), QStringLiteral("click"), QStringLiteral("click")},
                          recorded);
    }

    // A server that is gone silences the sounds at once, without a wait; once it is back, sounds
    // are heard again from the first call after the retry time.
    void goneServerSilencesUntilItIsBack()
    {
        const PcmSound tryagain = recordable(QStringLiteral("tryagain"));
        QVERIFY(m_output->connected());
        QCOMPARE(::kill(pid_t(m_server->protocolProcessId()), SIGKILL), 0);
        QTRY_VERIFY(!m_output->connected());

        QElapsedTimer timer;
        timer.start();
        QVERIFY(!m_output->play(tryagain));
        QVERIFY(!m_output->play(tryagain));
        QVERIFY2(timer.elapsed() < 50,
                 qPrintable(QStringLiteral("%1 ms without a server").arg(timer.elapsed())));
        QElapsedTimer sinceFailure;
        sinceFailure.start();

        const QString problem = m_server->restart();
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY(QTest::qWaitFor([&] { return sinceFailure.elapsed() >= RetryAfter.count(); }));
        const auto length = soundLength(QStringLiteral("click"));
        const auto took = timedSound(QStringLiteral("click"));
        QVERIFY(m_output->connected());
        QVERIFY2(took <= length + ConnectLimit, qPrintable(describe(took, length)));
    }
};

QTEST_GUILESS_MAIN(TestSoundsServer)
#include "tst_sounds_server.moc"
