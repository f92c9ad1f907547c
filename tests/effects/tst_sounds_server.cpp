#include "effects/sounds.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

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
    }

    void cleanupTestCase()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(5000);
        }
    }

    void playsEachSoundToTheEnd_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("done") << "done" << 1560;
        QTest::newRow("tryagain") << "tryagain" << 1088;
    }

    void playsEachSoundToTheEnd()
    {
        QFETCH(QString, name);
        QFETCH(int, milliseconds);

        const QString capture = m_dir.filePath(name + QStringLiteral(".raw"));
        QProcess recorder;
        recorder.setStandardOutputFile(capture);
        recorder.start(QStringLiteral("parec"),
                       {QStringLiteral("-d"), QStringLiteral("brivamo_test.monitor"), QStringLiteral("--raw"),
                        QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                        QStringLiteral("--rate=22050")});
        QVERIFY(recorder.waitForStarted(5000));
        QTest::qWait(300);

        QElapsedTimer timer;
        timer.start();
        modStandard::PlaySoundEffect(name, 0);
        const qint64 elapsed = timer.elapsed();
        QTest::qWait(300);
        recorder.terminate();
        QVERIFY(recorder.waitForFinished(5000));

        // Synchronous: the call lasts as long as the sound (plus the server's latency).
        QVERIFY2(elapsed >= milliseconds - 100 && elapsed < milliseconds + 3000,
                 qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
        QFile file(capture);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray raw = file.readAll();
        const auto *samples = reinterpret_cast<const qint16 *>(raw.constData());
        int loudest = 0;
        for (qsizetype i = 0; i < raw.size() / 2; ++i)
            loudest = qMax(loudest, qAbs(int(samples[i])));
        QVERIFY2(loudest > 8000, qPrintable(QStringLiteral("peak %1").arg(loudest)));
    }

private:
    QTemporaryDir m_dir;
    QString m_socket;
    QProcess m_server;
};

QTEST_GUILESS_MAIN(TestSoundsServer)
#include "tst_sounds_server.moc"
