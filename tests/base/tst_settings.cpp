#include "base/settings.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

using namespace basBrivamo;

class TestSettings : public QObject
{
    Q_OBJECT

    QString storePath() const
    {
        return QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath(QStringLiteral("Brivamo/Brivamo.conf"));
    }

private slots:
    void init()
    {
        // Every case starts from an empty store, as on a first run.
        QVERIFY(!qEnvironmentVariable("XDG_CONFIG_HOME").isEmpty());
        QFile::remove(storePath());
    }

    void firstRunDefaults()
    {
        QCOMPARE(readFadeStatus(), false);
        QCOMPARE(readSoundStatus(), true);
        QCOMPARE(readNewUser(), QString());
        QVERIFY(newUserNoticeWanted());
        QCOMPARE(ReadSetting(SettingsApplication, SettingsSection, KeyFadeStatus, BoolToSetting(false)),
                 QStringLiteral("False"));
        QCOMPARE(ReadSetting(SettingsApplication, SettingsSection, KeySoundStatus, BoolToSetting(true)),
                 QStringLiteral("True"));
        QVERIFY(!QFile::exists(storePath()));
    }

    void storedAsIniTextInUserConfig()
    {
        QVERIFY(writeBoolSetting(KeyFadeStatus, true));
        QVERIFY(writeBoolSetting(KeySoundStatus, false));
        QVERIFY(writeNewUser(NewUserNoShow));

        QFile file(storePath());
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(storePath()));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains(QStringLiteral("[Defaults]")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("FadeStatus=True")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("SoundStatus=False")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("NewUser=NoShow")), qPrintable(text));

        QCOMPARE(readFadeStatus(), true);
        QCOMPARE(readSoundStatus(), false);
        QVERIFY(!newUserNoticeWanted());

        // Toggling back stores the new state at once.
        QVERIFY(writeBoolSetting(KeyFadeStatus, false));
        QCOMPARE(readFadeStatus(), false);
    }

    void storedValueReadsUnchanged()
    {
        QVERIFY(WriteSetting(SettingsApplication, SettingsSection, QStringLiteral("Odd"),
                             QStringLiteral("a, b")));
        QCOMPARE(ReadSetting(SettingsApplication, SettingsSection, QStringLiteral("Odd")),
                 QStringLiteral("a, b"));
        QCOMPARE(ReadSetting(SettingsApplication, SettingsSection, QStringLiteral("Absent"),
                             QStringLiteral("dflt")),
                 QStringLiteral("dflt"));
    }

    void handEditedFile_data()
    {
        QTest::addColumn<QString>("fade");
        QTest::addColumn<bool>("expected");
        QTest::newRow("true lower") << "true" << true;
        QTest::newRow("false upper") << "FALSE" << false;
        QTest::newRow("minus one") << "-1" << true;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("garbage keeps default") << "maybe" << false;
        QTest::newRow("empty keeps default") << "" << false;
    }

    void handEditedFile()
    {
        QFETCH(QString, fade);
        QFETCH(bool, expected);
        QDir().mkpath(QFileInfo(storePath()).path());
        QFile file(storePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("[Defaults]\nFadeStatus=%1\nNewUser=noshow\n").arg(fade).toUtf8());
        file.close();

        QCOMPARE(readFadeStatus(), expected);
        // Only the exact text suppresses the notice.
        QCOMPARE(readNewUser(), QStringLiteral("noshow"));
        QVERIFY(newUserNoticeWanted());
    }

    void boolConversion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // 1 true, 0 false, -1 no Boolean meaning
        QTest::newRow("True") << "True" << 1;
        QTest::newRow("tRuE") << "tRuE" << 1;
        QTest::newRow("False") << "False" << 0;
        QTest::newRow("false spaced") << "  false " << 0;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("two") << "2" << 1;
        QTest::newRow("decimal") << "0.5" << 1;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("zero decimal") << "0.0" << 0;
        QTest::newRow("yes") << "yes" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("Truely") << "Truely" << -1;
        QTest::newRow("nan") << "nan" << -1;
    }

    void boolConversion()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const std::optional<bool> value = SettingToBool(text);
        QCOMPARE(value.has_value(), expected != -1);
        if (value)
            QCOMPARE(*value, expected == 1);
        QCOMPARE(SettingToBool(text, true), expected != 0);
        QCOMPARE(SettingToBool(text, false), expected == 1);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
