#include "base/settings.h"
#include "effects/sounds.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include <sndfile.h>

using namespace brivamo;

namespace {

// Stands in for the sound server: keeps what it was asked to play.
class RecordingSoundOutput : public SoundOutput
{
public:
    bool play(const PcmSound &sound) override
    {
        played.push_back(sound);
        return true;
    }
    std::vector<PcmSound> played;
};

QString soxi(const QString &option, const QString &file)
{
    QProcess process;
    process.start(QStringLiteral("soxi"), {option, file});
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

void writeSoundStatus(const QVariant &value)
{
    if (value.isValid()) {
        QVERIFY(basBrivamo::WriteSetting(basBrivamo::SettingsApplication, basBrivamo::SettingsSection,
                                         basBrivamo::KeySoundStatus, value.toString()));
        return;
    }
    // The store offers no removal (the program never deletes a key), so do it by hand.
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, basBrivamo::SettingsApplication,
                       basBrivamo::SettingsApplication);
    settings.remove(basBrivamo::SettingsSection + QLatin1Char('/') + basBrivamo::KeySoundStatus);
    settings.sync();
    QCOMPARE(basBrivamo::ReadSetting(basBrivamo::SettingsApplication, basBrivamo::SettingsSection,
                                     basBrivamo::KeySoundStatus),
             QString());
}

} // namespace

class TestSounds : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Never reach a real sound server from a test, even on a desktop that runs one.
        qputenv("PULSE_SERVER", "unix:/nonexistent/brivamo-test-sound-server");
    }

    void cleanup()
    {
        setSoundOutput(nullptr);
        writeSoundStatus(QVariant());
    }

    void embeddedSoundsMatchTheirFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("subtype");
        QTest::addColumn<QString>("soxEncoding");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("sampleRate");
        QTest::addColumn<double>("seconds");

        QTest::newRow("click") << "click"
                               << "click.wav" << int(SF_FORMAT_PCM_U8) << "Unsigned Integer PCM" << 8 << 11025
                               << 0.013;
        QTest::newRow("done") << "DONE"
                              << "done.wav" << int(SF_FORMAT_MS_ADPCM) << "MS ADPCM" << 4 << 22050 << 1.56;
        QTest::newRow("tryagain") << "TryAgain"
                                  << "tryagain.wav" << int(SF_FORMAT_MS_ADPCM) << "MS ADPCM" << 4 << 11025
                                  << 1.09;
    }

    void embeddedSoundsMatchTheirFiles()
    {
        QFETCH(QString, name);
        QFETCH(QString, file);
        QFETCH(int, subtype);
        QFETCH(QString, soxEncoding);
        QFETCH(int, bits);
        QFETCH(int, sampleRate);
        QFETCH(double, seconds);

        const QString path =
            qEnvironmentVariable("BRIVAMO_SOURCE_DIR") + QStringLiteral("/resources/sounds/") + file;
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        QCOMPARE(soxi(QStringLiteral("-e"), path), soxEncoding);
        QCOMPARE(soxi(QStringLiteral("-b"), path).toInt(), bits);

        const std::optional<QByteArray> bytes = soundResource(name);
        QVERIFY(bytes.has_value());
        QFile source(path);
        QVERIFY(source.open(QIODevice::ReadOnly));
        QCOMPARE(*bytes, source.readAll());

        int format = 0;
        const std::optional<PcmSound> sound = decodeWave(*bytes, &format);
        QVERIFY(sound.has_value());
        QCOMPARE(format & SF_FORMAT_TYPEMASK, int(SF_FORMAT_WAV));
        QCOMPARE(format & SF_FORMAT_SUBMASK, subtype);
        QCOMPARE(sound->channels, soxi(QStringLiteral("-c"), path).toInt());
        QCOMPARE(sound->channels, 1);
        QCOMPARE(sound->sampleRate, soxi(QStringLiteral("-r"), path).toInt());
        QCOMPARE(sound->sampleRate, sampleRate);
        QCOMPARE(sound->frames(), soxi(QStringLiteral("-s"), path).toLongLong());
        QVERIFY(qAbs(double(sound->frames()) / sampleRate - seconds) < 0.01);

        // Soft edges and headroom: no sample at full scale, and quiet at both ends.
        const auto [low, high] = std::minmax_element(sound->samples.begin(), sound->samples.end());
        QVERIFY(*low > -32000 && *high < 32000);
        QVERIFY(qAbs(sound->samples.front()) < 2000);
        QVERIFY(qAbs(sound->samples.back()) < 2000);
    }

    void unknownOrBrokenSoundsAreRejected()
    {
        QVERIFY(!soundResource(QStringLiteral("applause")).has_value());
        QVERIFY(soundResource(QStringLiteral("Click")).has_value());
        QVERIFY(!soundResource(QString()).has_value());
        QVERIFY(!decodeWave(QByteArray()).has_value());
        QVERIFY(!decodeWave(QByteArray("RIFF\x10\0\0\0WAVEjunk", 16)).has_value());
        QByteArray truncated = *soundResource(QStringLiteral("done"));
        truncated.truncate(40);
        QVERIFY(!decodeWave(truncated).has_value());
    }

    void soundSettingDecidesWhetherToPlay_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("plays");
        QTest::newRow("absent") << QVariant() << true;
        QTest::newRow("True") << QVariant(QStringLiteral("True")) << true;
        QTest::newRow("false in lower case") << QVariant(QStringLiteral("false")) << false;
        QTest::newRow("False") << QVariant(QStringLiteral("False")) << false;
        QTest::newRow("zero") << QVariant(QStringLiteral("0")) << false;
        QTest::newRow("non-zero number") << QVariant(QStringLiteral("-1")) << true;
    }

    void soundSettingDecidesWhetherToPlay()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, plays);
        writeSoundStatus(stored);
        RecordingSoundOutput output;
        setSoundOutput(&output);

        modStandard::PlaySoundEffect(QStringLiteral("click"), 0);

        QCOMPARE(output.played.size(), size_t(plays ? 1 : 0));
        if (plays) {
            QCOMPARE(output.played.front().sampleRate, 11025);
            QCOMPARE(output.played.front().frames(), qint64(148));
        }
    }

    void settingIsReadAgainForEverySound()
    {
        RecordingSoundOutput output;
        setSoundOutput(&output);
        modStandard::PlaySoundEffect(QStringLiteral("done"), 0);
        writeSoundStatus(QStringLiteral("False"));
        modStandard::PlaySoundEffect(QStringLiteral("done"), 0);
        writeSoundStatus(QStringLiteral("True"));
        modStandard::PlaySoundEffect(QStringLiteral("tryagain"), 0);

        QCOMPARE(output.played.size(), size_t(2));
        QCOMPARE(output.played[0].sampleRate, 22050);
        QCOMPARE(output.played[1].sampleRate, 11025);
        QCOMPARE(output.played[1].frames(), qint64(12000));
    }

    void withoutSoundServerReturnsAtOnce()
    {
        // The real output, with no server to talk to: every call must come back quickly.
        for (const char *name : {"done", "tryagain", "done"}) {
            QElapsedTimer timer;
            timer.start();
            modStandard::PlaySoundEffect(QString::fromLatin1(name), 0);
            QVERIFY2(timer.elapsed() < 200, qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));
        }
    }
};

QTEST_GUILESS_MAIN(TestSounds)
#include "tst_sounds.moc"
