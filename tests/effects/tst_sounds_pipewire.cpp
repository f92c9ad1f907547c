#include "effects/sound_server_support.h"
#include "effects/sounds.h"
#include "platform/sound_output_pulse.h"

#include <QElapsedTimer>
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

    void verifyCallsTookTheirLength(const QStringList &names, const QList<std::chrono::nanoseconds> &took)
    {
        QCOMPARE(took.size(), names.size());
        std::chrono::nanoseconds latest{};
        for (qsizetype i = 0; i < names.size(); ++i) {
            const auto length = soundLength(names.at(i));
            latest = std::max(latest, took.at(i) - length);
            QVERIFY2(took.at(i) >= length && took.at(i) <= length + Late,
                     qPrintable(names.at(i) + QStringLiteral(": ") + describe(took.at(i), length)));
        }
        qInfo("%lld calls, the latest returned %.1f ms after its sound's length", qint64(took.size()),
              double(latest.count()) / 1e6);
    }

private slots:
    void initTestCase()
    {
        m_ahead.emplace();
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
        QList<std::chrono::nanoseconds> took;
        const std::vector<qint16> recorded = m_server->record([&] {
            for (const QString &name : names)
                took.append(timedSound(name));
        });
        verifyCallsTookTheirLength(names, took);
        verifyHeardInTurn(names, recorded);
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
        QList<std::chrono::nanoseconds> took;
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
        verifyCallsTookTheirLength(names, took);
        QCOMPARE(m_output->connectionsOpened(), connections);
        QVERIFY(m_output->connected());

        // The server may still be catching up with its backlog, so heard is all that is asked.
        const std::vector<qint16> recorded =
            m_server->record([&] { took = {timedSound(QStringLiteral("tryagain"))}; });
        verifyCallsTookTheirLength({QStringLiteral("tryagain")}, took);
        const Heard heard = findSound(recordable(QStringLiteral("tryagain")).samples, recorded, 0);
        QVERIFY2(heard.match > 0.5, qPrintable(QStringLiteral("waveform match %1").arg(heard.match)));
    }
};

QTEST_GUILESS_MAIN(TestSoundsPipeWire)
#include "tst_sounds_pipewire.moc"
