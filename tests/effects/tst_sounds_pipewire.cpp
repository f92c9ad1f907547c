#include "effects/sound_server_support.h"
#include "effects/sounds.h"
#include "platform/sound_output_pulse.h"

#include <QtTest>

#include <optional>

using namespace brivamo;
using namespace brivamo::testing;
using namespace std::chrono_literals;

// Plays through a private PipeWire (the daemon, its session manager and its PulseAudio service, on a
// session bus of their own) with a null sink, and listens to what reaches it. PipeWire answers later
// than PulseAudio, and much later when the machine is busy: the calls must not wait for it.
class TestSoundsPipeWire : public QObject
{
    Q_OBJECT

    std::optional<AheadOfOrdinaryThreads> m_ahead;
    std::unique_ptr<PrivateSoundServer> m_server;
    std::unique_ptr<PulseSoundOutput> m_output;

private slots:
    void initTestCase()
    {
        m_ahead.emplace();
        stallWatch();
        m_server = std::make_unique<PrivateSoundServer>(PrivateSoundServer::Kind::PipeWire);
        if (const QStringList missing = m_server->missingPrograms(); !missing.isEmpty())
            QSKIP(qPrintable(QStringLiteral("not installed: ") + missing.join(QStringLiteral(", "))));
        const QString problem = startWithOutput(*m_server, m_output, {2000ms, 1000ms, {}});
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

    void soundsAreHeardInTurnAndCallsTakeTheirLength()
    {
        const QStringList names{QStringLiteral("click"), QStringLiteral("done"), QStringLiteral("click")};
        const QString problem = retriedWhileHeld([&] { return playedInTurn(*m_server, names); });
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // With every core busy the server answers hundreds of milliseconds late; the calls still end
    // with their sounds, the connection is kept and the last sound, played once the load is
    // gone, is heard whole.
    void busyMachineDelaysTheSoundsNotTheCalls()
    {
        // What is measured is the sound output's waiting, not the scheduler's.
        if (!m_ahead->ahead())
            QSKIP("the test's thread cannot be given a higher priority than the load");
        const int connections = m_output->connectionsOpened();
        QStringList names;
        QList<Timed> took;
        {
            CpuLoad load;
            QVERIFY(load.running());
            // Like the maker: a click for each word with a short pause after it, then a failed try.
            for (int i = 0; i < 12; ++i) {
                names << QStringLiteral("click");
                took.append(timedSound(names.last()));
                QTest::qWait(40);
            }
            names << QStringLiteral("tryagain");
            took.append(timedSound(names.last()));
        }
        const QString late = tookTheirLength(names, took);
        QVERIFY2(late.isEmpty(), qPrintable(late));
        QCOMPARE(m_output->connectionsOpened(), connections);
        QVERIFY(m_output->connected());

        // The server may still be catching up with its backlog, so heard is all that is asked.
        const QString problem = retriedWhileHeld([&] {
            const QStringList tryagain{QStringLiteral("tryagain")};
            QList<Timed> last;
            const std::vector<qint16> recorded =
                m_server->record([&] { last = {timedSound(tryagain.first())}; });
            const QString lateAlone = tookTheirLength(tryagain, last);
            if (!lateAlone.isEmpty())
                return lateAlone;
            const Heard heard = findSound(recordable(tryagain.first()).samples, recorded, 0);
            return heard.match > 0.5 ? QString() : QStringLiteral("waveform match %1").arg(heard.match);
        });
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
};

QTEST_GUILESS_MAIN(TestSoundsPipeWire)
#include "tst_sounds_pipewire.moc"
