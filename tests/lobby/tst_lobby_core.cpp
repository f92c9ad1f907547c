#include "base/maker_info.h"
#include "generator/puzzle_generator.h"
#include "generator/puzzle_words.h"
#include "lobby/email_friend.h"
#include "lobby/lobby_model.h"
#include "lobby/shipped_lists.h"
#include "lobby_support.h"
#include "wordlists/validation.h"
#include "wordlists/word_list.h"

#include <QFile>
#include <QTest>
#include <sys/stat.h>

using namespace brivamo;

class TestLobbyCore : public QObject
{
    Q_OBJECT

private slots:
    void emailFriendText()
    {
        const QString text = EmailFriendText();
        const QString link = QStringLiteral("mailto:") + text;
        QVERIFY(link.startsWith(
            QStringLiteral("mailto:?subject='Brivamo' computer game from Ostrel Software&body=")));
        QCOMPARE(text.count(QStringLiteral("%0D%0A%0D%0A")), 3);
        // Nothing else is encoded: the only "%" are those of the paragraph breaks, spaces stay raw.
        QCOMPARE(text.count(u'%'), 3 * 4);
        QVERIFY(text.contains(u' '));
        QCOMPARE(text.count(u'&'), 1);
        QCOMPARE(text.count(u'?'), 1);

        const QStringList paragraphs =
            text.mid(text.indexOf(QStringLiteral("&body=")) + 6).split(QStringLiteral("%0D%0A%0D%0A"));
        QCOMPARE(paragraphs.size(), 4);
        QCOMPARE(paragraphs.at(0),
                 QStringLiteral("I just came across this word game from Ostrel Software called "
                                "'Brivamo' that is really fun, and I thought you might want to "
                                "know about it."));
        QCOMPARE(paragraphs.at(1),
                 QStringLiteral("You can download and install it for free at Ostrel Software's "
                                "web site (") +
                     MakerWebAddress + QStringLiteral("). The direct download link is"));
        QCOMPARE(paragraphs.at(2), MakerDownloadAddress);
        QVERIFY(MakerDownloadAddress.startsWith(QStringLiteral("http://") + MakerWebAddress + u'/'));
        QCOMPARE(paragraphs.at(3),
                 QStringLiteral("Check it out if you want and tell me what you think about it."));
    }

    void shippedListsAreValid()
    {
        const QStringList resources = ShippedListResources();
        QCOMPARE(resources.size(), 4);
        bool months = false;
        for (const QString &path : resources) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QVERIFY2(bytes.endsWith("\r\n") && !bytes.endsWith("\r\n\r\n"), qPrintable(path));
            const QStringList words = QString::fromLatin1(bytes.chopped(2)).split(QStringLiteral("\r\n"));
            QVERIFY2(words.size() >= 10 && words.size() <= modSupport::MaxWordsPerList, qPrintable(path));
            for (const QString &word : words) {
                QCOMPARE(word, word.toUpper());
                QVERIFY2(modSupport::ValidateEntry(word, modSupport::WordMinLength, modSupport::WordMaxLength)
                             .valid,
                         qPrintable(path + u' ' + word));
            }
            const QString name = QFileInfo(path).completeBaseName();
            QVERIFY2(
                modSupport::ValidateEntry(name, modSupport::CategoryMinLength, modSupport::CategoryMaxLength)
                    .valid,
                qPrintable(name));
            months = months || modSupport::IsBuiltInList(name);
        }
        QVERIFY(months);
    }

    void shippedListsGoOnlyIntoAFolderWithoutLists_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<int>("expectedFiles");
        QTest::newRow("empty") << QString() << 4;
        QTest::newRow("one list") << QStringLiteral("Zoo.lst") << 1;
        QTest::newRow("upper-case extension") << QStringLiteral("ZOO.LST") << 1;
        QTest::newRow("hidden list") << QStringLiteral(".old.lst") << 1;
        QTest::newRow("other files only") << QStringLiteral("notes.txt") << 5;
    }

    void shippedListsGoOnlyIntoAFolderWithoutLists()
    {
        QFETCH(QString, existing);
        WorkingFolder folder;
        if (!existing.isEmpty())
            folder.writeList(existing, {"APE"});
        QVERIFY(InstallShippedLists(folder.dir()).ok());
        const QStringList files = folder.dir().entryList(QDir::Files | QDir::Hidden);
        QTEST(int(files.size()), "expectedFiles");
        if (!existing.isEmpty())
            QCOMPARE(folder.bytes(existing), QByteArray("APE\r\n"));
        // Installing again changes nothing.
        QVERIFY(InstallShippedLists(folder.dir()).ok());
        QCOMPARE(folder.dir().entryList(QDir::Files | QDir::Hidden), files);
    }

    void sortedInsertIgnoresCase_data()
    {
        QTest::addColumn<QStringList>("inserted");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("mixed case") << QStringList{"zebra", "Ape", "LION"}
                                    << QStringList{"Ape", "LION", "zebra"};
        QTest::newRow("equal entries keep their order")
            << QStringList{"Zoo", "ape", "ZOO", "zoo"} << QStringList{"ape", "Zoo", "ZOO", "zoo"};
        QTest::newRow("prefix first")
            << QStringList{"CATS", "CAT", "cat"} << QStringList{"CAT", "cat", "CATS"};
    }

    void sortedInsertIgnoresCase()
    {
        QFETCH(QStringList, inserted);
        QStringList list;
        for (const QString &entry : inserted)
            insertSorted(list, entry);
        QTEST(list, "expected");
        // Sorting a whole list at once gives the same order.
        QStringList sorted = inserted;
        sortWords(sorted);
        QTEST(sorted, "expected");
    }

    // The weekday list a new folder gets in the user's language, or in English where that
    // language's names could not make a puzzle.
    void weekdayListMakesAPuzzle_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("ownNames");
        QTest::newRow("Japanese") << QLocale(QLocale::Japanese, QLocale::Japan) << false;
        QTest::newRow("Hebrew") << QLocale(QLocale::Hebrew, QLocale::Israel) << false;
        QTest::newRow("Arabic") << QLocale(QLocale::Arabic, QLocale::Egypt) << false;
        QTest::newRow("Portuguese") << QLocale(QLocale::Portuguese, QLocale::Portugal) << false;
        QTest::newRow("Spanish") << QLocale(QLocale::Spanish, QLocale::Spain) << true;
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << true;
        QTest::newRow("Greek") << QLocale(QLocale::Greek, QLocale::Greece) << true;
        QTest::newRow("Russian") << QLocale(QLocale::Russian, QLocale::Russia) << true;
        QTest::newRow("Turkish") << QLocale(QLocale::Turkish, QLocale::Turkey) << true;
    }
    void weekdayListMakesAPuzzle()
    {
        QFETCH(QLocale, locale);
        QFETCH(bool, ownNames);
        const QStringList own = modSupport::WeekdayWords(locale);
        const QStringList english = modSupport::WeekdayWords(QLocale::c());
        // Each row stands for what it claims: names of its own that a puzzle refuses, or accepts.
        QCOMPARE(!FindUnusableWord(own), ownNames);
        QVERIFY(own != english);

        WorkingFolder folder;
        const QLocale previous;
        QLocale::setDefault(locale);
        LobbyModel lobby(folder.dir());
        lobby.LoadCategories();
        QLocale::setDefault(previous);
        QVERIFY(lobby.categories().contains(modSupport::WeekdaysCategory));
        QStringList words = modSupport::ReadWordList(modSupport::WeekdaysCategory, folder.dir()).list.words;
        QCOMPARE(words, ownNames ? own : english);

        SortWordsLongestFirst(words);
        PuzzleGrid grid;
        SilentPuzzleHost host;
        modStandard::SeededRandomSource random(7);
        QCOMPARE(MakePuzzle(grid, words, 12, host, random), PuzzleOutcome::Completed);
    }

    void everyListRespectsTheUmask()
    {
        WorkingFolder folder;
        const mode_t previous = ::umask(027);
        InstallShippedLists(folder.dir());
        const bool listed = modSupport::ListCategories(folder.dir()).ok();
        const bool created = modSupport::WriteWordList(QStringLiteral("BIRDS"), {"OWL"}, folder.dir()).ok();
        // A list the user made private stays private when it is rewritten.
        QFile::setPermissions(folder.dir().filePath(QStringLiteral("ANIMALS.lst")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const bool rewritten =
            modSupport::WriteWordList(QStringLiteral("ANIMALS"), {"APE"}, folder.dir()).ok();
        ::umask(previous);
        QVERIFY(listed && created && rewritten);

        const auto mode = [&](const QString &name) {
            struct stat info
            {
            };
            ::stat(QFile::encodeName(folder.dir().filePath(name)).constData(), &info);
            return int(info.st_mode & 0777);
        };
        for (const QString &name : folder.listFiles())
            QCOMPARE(mode(name), name == QLatin1String("ANIMALS.lst") ? 0600 : 0640);
        QCOMPARE(folder.listFiles().size(), 6);
    }
};

QTEST_GUILESS_MAIN(TestLobbyCore)
#include "tst_lobby_core.moc"
