#include "base/settings.h"
#include "generator/blocked_words.h"
#include "generator/hidden_message.h"

#include <QtTest>

#include <QDir>
#include <QFile>

using namespace brivamo;

// The user's blocked-words.txt beside the settings file changes the program's list.
class TestBlockedWords : public QObject
{
    Q_OBJECT

    QString userFile() const { return QDir(basBrivamo::SettingsFolder()).filePath(BlockedWordsFileName); }

private slots:
    void userFileChangesTheList_data()
    {
        QTest::addColumn<QByteArray>("file"); // written as is; "none" for no file at all
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<int>("allowed"); // how many of the program's words the file allows
        QTest::newRow("no file") << QByteArray("none") << QStringList{} << 0;
        QTest::newRow("empty file") << QByteArray() << QStringList{} << 0;
        QTest::newRow("added words, any case, spaces and CR LF")
            << QByteArray("  zqxj \r\nVrrwK\r\n\r\n# a note\r\n") << QStringList{"ZQXJ", "VRRWK"} << 0;
        QTest::newRow("accented word added")
            << QByteArray("\xc3\xa9quxz\n") << QStringList{"\xc3\x89QUXZ"} << 0;
        QTest::newRow("bad lines skipped")
            << QByteArray("two words\nx1y\nq\n-\n--\n\xff\xfe\nABCDEFGHIJKLMNOPQRSTUVWXYZABCDE\nqqzz\n")
            << QStringList{"QQZZ"} << 0;
        QTest::newRow("program's words allowed") << QByteArray("-FIRST\n- second\n") << QStringList{} << 2;
    }
    void userFileChangesTheList()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, added);
        QFETCH(int, allowed);
        QFile::remove(userFile());
        const QStringList builtIn = ReadBlockedWords();
        QVERIFY(builtIn.size() > 100);
        if (file != "none") {
            QVERIFY(QDir().mkpath(basBrivamo::SettingsFolder()));
            // The first two of the program's words stand in for whatever the user allows.
            file.replace("FIRST", builtIn[0].toUtf8()).replace("second", builtIn[1].toLower().toUtf8());
            QFile out(userFile());
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(file);
        }
        const QStringList words = ReadBlockedWords();
        QCOMPARE(words, builtIn.mid(allowed) + added);
        QFile::remove(userFile());
    }

    // Common short words of the four languages the program ships lists for.
    void programListHoldsCommonWords()
    {
        for (const QString &word : QString::fromUtf8("TIT CHIER MÖSE OJETE").split(u' '))
            QVERIFY2(ReadBlockedWords().contains(word), qPrintable(word));
    }

    // A hidden message is refused only when one of its words, or all its letters run together,
    // is a blocked word as the solver reads it; one inside a word of it is the teacher's choice.
    void hiddenMessageNamesItsBlockedWord_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("blocked");
        QTest::addColumn<QString>("named");
        const QStringList animals{"ZEBRA", "EMU", "YAK"};
        QTest::newRow("inside a word") << animals << "Well done, class!" << QStringList{"ASS"} << QString();
        QTest::newRow("inside a word backwards") << animals << "Good luck" << QStringList{"CUL"} << QString();
        QTest::newRow("across two words") << animals << "This exam" << QStringList{"SEX"} << QString();
        QTest::newRow("a word of it") << animals << "Go team, go!" << QStringList{"TEAM"} << "TEAM";
        QTest::newRow("its letters run together") << animals << "as s" << QStringList{"ASS"} << "ASS";
        QTest::newRow("Greek letters like Latin ones")
            << QString::fromUtf8("ΔΕΥΤΕΡΑ ΤΡΙΤΗ").split(u' ') << QString::fromUtf8("καλό ταβ")
            << QStringList{"TAB"} << QString::fromUtf8("ΤΑΒ");
    }
    void hiddenMessageNamesItsBlockedWord()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, message);
        QFETCH(QStringList, blocked);
        QFETCH(QString, named);
        QCOMPARE(HiddenMessageBlockedWord(message, words, blocked), named);
        if (!named.isEmpty())
            QVERIFY(BlockedMessageRefusal(named).contains(u'"' + named + u'"'));
    }

    // The file lies beside the settings file.
    void fileBesideTheSettings()
    {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, basBrivamo::SettingsApplication,
                        basBrivamo::SettingsApplication);
        QCOMPARE(QFileInfo(userFile()).absolutePath(), QFileInfo(store.fileName()).absolutePath());
        QVERIFY(store.fileName().endsWith(QLatin1String("/Brivamo/Brivamo.conf")));
    }
};

QTEST_GUILESS_MAIN(TestBlockedWords)
#include "tst_blocked_words.moc"
