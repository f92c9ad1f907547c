#include "platform/safe_file.h"
#include "wordlists/word_list.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace modSupport;

namespace {

const QByteArray WeekdayBytes =
    "SUNDAY\r\nMONDAY\r\nTUESDAY\r\nWEDNESDAY\r\nTHURSDAY\r\nFRIDAY\r\nSATURDAY\r\n";

void put(const QDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(name));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray bytesOf(const QDir &dir, const QString &name)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

QStringList filesIn(const QDir &dir)
{
    return dir.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Permissions do not stop the superuser, so such cases are skipped there.
bool permissionsBind(const QDir &readOnlyDir)
{
    QFile probe(readOnlyDir.filePath(QStringLiteral("probe")));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        return false;
    }
    return true;
}

} // namespace

class TestWordList : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    QDir m_dir;

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        m_dir = QDir(m_tmp->path());
    }

    void emptyFolderGetsWeekdays()
    {
        const brivamo::CatalogueResult catalogue = ListCategories(m_dir);
        QVERIFY2(catalogue.ok(), qPrintable(catalogue.error));
        QCOMPARE(catalogue.names, QStringList{QStringLiteral("Weekdays")});
        QCOMPARE(filesIn(m_dir), QStringList{QStringLiteral("Weekdays.lst")});
        QCOMPARE(bytesOf(m_dir, QStringLiteral("Weekdays.lst")), WeekdayBytes);
    }

    void existingWeekdaysKept_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("same spelling") << "Weekdays.lst";
        QTest::newRow("other case") << "WEEKDAYS.LST";
    }

    void existingWeekdaysKept()
    {
        QFETCH(QString, fileName);
        put(m_dir, fileName, "MONDAY\r\nFUNDAY\r\n");
        const brivamo::CatalogueResult catalogue = ListCategories(m_dir);
        QVERIFY(catalogue.ok());
        QCOMPARE(catalogue.names, QStringList{fileName.chopped(4)});
        QCOMPARE(filesIn(m_dir), QStringList{fileName});
        QCOMPARE(bytesOf(m_dir, fileName), QByteArray("MONDAY\r\nFUNDAY\r\n"));
    }

    void catalogueListsOnlyListFiles()
    {
        for (const char *name : {"zoo.lst", "Animals.LST", "birds.Lst", ".hidden.lst", "notes.txt",
                                 "a.lst.bak", ".lst", "Zoo.lst"})
            put(m_dir, QString::fromLatin1(name), "WORD\r\n");
        QVERIFY(m_dir.mkdir(QStringLiteral("folder.lst")));

        const brivamo::CatalogueResult catalogue = ListCategories(m_dir);
        QVERIFY(catalogue.ok());
        QCOMPARE(catalogue.names, (QStringList{"Animals", "birds", "Weekdays", "Zoo", "zoo"}));
    }

    void unreadableFolderReported()
    {
        const brivamo::CatalogueResult catalogue =
            ListCategories(QDir(m_dir.filePath(QStringLiteral("gone"))));
        QVERIFY(!catalogue.ok());
        QVERIFY(catalogue.names.isEmpty());
        QVERIFY(catalogue.error.contains(QStringLiteral("could not be read")));
    }

    void builtIn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("builtIn");
        QTest::newRow("Months") << "Months" << true;
        QTest::newRow("MONTHS") << "MONTHS" << true;
        QTest::newRow("months") << "months" << true;
        QTest::newRow("Month") << "Month" << false;
        QTest::newRow("MONTHSS") << "MONTHSS" << false;
        QTest::newRow("long s") << QString::fromUtf8("MONTHſ") << false;
    }

    void builtIn()
    {
        QFETCH(QString, name);
        QFETCH(bool, builtIn);
        QCOMPARE(IsBuiltInList(name), builtIn);

        // The name as a file of the catalogue reads back built-in just the same.
        put(m_dir, name + ".lst", "JANUARY\r\n");
        const brivamo::WordListResult read = ReadWordList(name, m_dir);
        QVERIFY(read.ok());
        QCOMPARE(read.list.isBuiltIn(), builtIn);
    }

    void readLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("crlf") << QByteArray("APE\r\nLION\r\n") << QStringList{"APE", "LION"};
        QTest::newRow("last line unended") << QByteArray("APE\r\nLION") << QStringList{"APE", "LION"};
        QTest::newRow("lf") << QByteArray("APE\nLION\n") << QStringList{"APE", "LION"};
        QTest::newRow("cr") << QByteArray("APE\rLION\r") << QStringList{"APE", "LION"};
        QTest::newRow("mixed") << QByteArray("A\rB\nC\r\nD") << QStringList{"A", "B", "C", "D"};
        // Blank lines are what editors leave behind, not words.
        QTest::newRow("blank line") << QByteArray("APE\r\n\r\nLION\r\n") << QStringList{"APE", "LION"};
        QTest::newRow("trailing blank line") << QByteArray("CAT\r\nDOG\r\n\r\n") << QStringList{"CAT", "DOG"};
        QTest::newRow("whitespace-only lines")
            << QByteArray(" \t\r\nAPE\r\n   \nLION") << QStringList{"APE", "LION"};
        QTest::newRow("lf cr is two endings") << QByteArray("APE\n\rLION") << QStringList{"APE", "LION"};
        QTest::newRow("kept as written")
            << QByteArray(" Zebra stripe \r\nice-cream\r\n") << QStringList{" Zebra stripe ", "ice-cream"};
        QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9\r\n\xe5\x9c\x9f\xf0\x9f\x98\x80\r\n")
                               << QStringList{QString::fromUtf8("café"), QString::fromUtf8("土😀")};
        QTest::newRow("utf-8 bom") << QByteArray("\xef\xbb\xbf"
                                                 "APE\r\n")
                                   << QStringList{"APE"};
        QTest::newRow("latin-1") << QByteArray("caf\xe9\r\n") << QStringList{QString::fromUtf8("café")};
        QTest::newRow("latin-1 last line unended")
            << QByteArray("ZEBRA\r\nCAF\xc9") << QStringList{"ZEBRA", QString::fromUtf8("CAFÉ")};
        QTest::newRow("utf-8 and latin-1 mixed")
            << QByteArray("CAF\xc3\x89\r\nOL\xc9\r\n")
            << QStringList{QString::fromUtf8("CAFÉ"), QString::fromUtf8("OLÉ")};
        QTest::newRow("utf-16 le") << QByteArray("\xff\xfe"
                                                 "C\0A\0T\0\r\0\n\0D\0O\0G\0\r\0\n\0",
                                                 22)
                                   << QStringList{"CAT", "DOG"};
        QTest::newRow("utf-16 be") << QByteArray("\xfe\xff"
                                                 "\0C\0A\0T\0\n\0\xc9",
                                                 12)
                                   << QStringList{"CAT", QString::fromUtf8("É")};
        QTest::newRow("exactly the size limit") << QByteArray(MaxListFileBytes - 2, 'A') + "\r\n"
                                                << QStringList{QString(MaxListFileBytes - 2, u'A')};
    }

    void readLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, words);
        put(m_dir, QStringLiteral("Test.lst"), bytes);
        const brivamo::WordListResult read = ReadWordList(QStringLiteral("Test"), m_dir);
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(read.list.words, words);
    }

    void readFailuresReported_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: no file at all
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty file") << QByteArray("") << "is empty";
        QTest::newRow("bom only") << QByteArray("\xef\xbb\xbf") << "is empty";
        QTest::newRow("blank lines only") << QByteArray("\r\n \r\n\t\n") << "is empty";
        QTest::newRow("broken utf-16") << QByteArray("\xff\xfe"
                                                     "C\0A",
                                                     5)
                                       << "not valid UTF-16";
        QTest::newRow("too large") << QByteArray(MaxListFileBytes + 1, 'A') << "too large";
        QTest::newRow("missing") << QByteArray() << "could not be found";
    }

    void readFailuresReported()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        if (!bytes.isNull())
            put(m_dir, QStringLiteral("Zoo.lst"), bytes);
        const brivamo::WordListResult read = ReadWordList(QStringLiteral("ZOO"), m_dir);
        QVERIFY(!read.ok());
        QVERIFY(read.list.words.isEmpty());
        QVERIFY2(read.error.contains(reason), qPrintable(read.error));
    }

    void unreadableFileReported()
    {
        put(m_dir, QStringLiteral("Zoo.lst"), "APE\r\n");
        QFile::setPermissions(m_dir.filePath(QStringLiteral("Zoo.lst")), QFileDevice::Permissions());
        QFile probe(m_dir.filePath(QStringLiteral("Zoo.lst")));
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("Permissions do not stop this user from reading");
        const brivamo::WordListResult read = ReadWordList(QStringLiteral("Zoo"), m_dir);
        QVERIFY(!read.ok());
        QVERIFY2(read.error.contains(QStringLiteral("could not be opened")), qPrintable(read.error));
    }

    void writeNewListCrLf()
    {
        const brivamo::StoreStatus status =
            WriteWordList(QStringLiteral("WILD"), {"APE", "LION", "ZEBRA"}, m_dir);
        QVERIFY2(status.ok(), qPrintable(status.error));
        QCOMPARE(filesIn(m_dir), QStringList{QStringLiteral("WILD.Lst")});
        QCOMPARE(bytesOf(m_dir, QStringLiteral("WILD.Lst")), QByteArray("APE\r\nLION\r\nZEBRA\r\n"));
        QVERIFY(WordListExists(QStringLiteral("wild"), m_dir));
        QCOMPARE(ReadWordList(QStringLiteral("WILD"), m_dir).list.words,
                 (QStringList{"APE", "LION", "ZEBRA"}));

        // Hand-edited text survives a round trip.
        const QStringList odd{QString::fromUtf8("Café"), QString::fromUtf8("土😀")};
        QVERIFY(WriteWordList(QStringLiteral("WILD"), odd, m_dir).ok());
        QCOMPARE(ReadWordList(QStringLiteral("WILD"), m_dir).list.words, odd);
    }

    void rewriteKeepsExistingSpelling()
    {
        put(m_dir, QStringLiteral("Animals.lst"), "ZEBRA\r\nAPE\r\n");
        QVERIFY(WordListExists(QStringLiteral("ANIMALS"), m_dir));
        QVERIFY(WriteWordList(QStringLiteral("ANIMALS"), {"APE", "LION", "ZEBRA"}, m_dir).ok());
        QCOMPARE(filesIn(m_dir), QStringList{QStringLiteral("Animals.lst")});
        QCOMPARE(bytesOf(m_dir, QStringLiteral("Animals.lst")), QByteArray("APE\r\nLION\r\nZEBRA\r\n"));
        QCOMPARE(ReadWordList(QStringLiteral("animals"), m_dir).list.name, QStringLiteral("Animals"));
    }

    void namesDifferingOnlyInCase()
    {
        put(m_dir, QStringLiteral("Zoo.lst"), "MIXED\r\n");
        put(m_dir, QStringLiteral("ZOO.lst"), "UPPER\r\n");

        // The exact spelling wins; otherwise the file name first by character code ("ZOO" < "Zoo").
        QCOMPARE(ReadWordList(QStringLiteral("Zoo"), m_dir).list.words, QStringList{"MIXED"});
        QCOMPARE(ReadWordList(QStringLiteral("ZOO"), m_dir).list.words, QStringList{"UPPER"});
        QCOMPARE(ReadWordList(QStringLiteral("zoo"), m_dir).list.words, QStringList{"UPPER"});
        QCOMPARE(ReadWordList(QStringLiteral("zoo"), m_dir).list.name, QStringLiteral("ZOO"));

        QVERIFY(WriteWordList(QStringLiteral("Zoo"), {"CHANGED"}, m_dir).ok());
        QCOMPARE(bytesOf(m_dir, QStringLiteral("Zoo.lst")), QByteArray("CHANGED\r\n"));
        QCOMPARE(bytesOf(m_dir, QStringLiteral("ZOO.lst")), QByteArray("UPPER\r\n"));

        QVERIFY(DeleteWordList(QStringLiteral("ZOO"), m_dir).ok());
        QCOMPARE(bytesOf(m_dir, QStringLiteral("Zoo.lst")), QByteArray("CHANGED\r\n"));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("ZOO.lst"))));
        QVERIFY(WordListExists(QStringLiteral("ZOO"), m_dir));
    }

    void replaceIsNotInPlace()
    {
        // A second link to the old file still sees the old words: the list was replaced by a new
        // file, not truncated and rewritten, so an interrupted write could not have emptied it.
        put(m_dir, QStringLiteral("Zoo.lst"), "APE\r\n");
        QVERIFY(::link(QFile::encodeName(m_dir.filePath(QStringLiteral("Zoo.lst"))).constData(),
                       QFile::encodeName(m_dir.filePath(QStringLiteral("old-zoo"))).constData()) == 0);
        QVERIFY(WriteWordList(QStringLiteral("ZOO"), {"APE", "LION"}, m_dir).ok());
        QCOMPARE(bytesOf(m_dir, QStringLiteral("Zoo.lst")), QByteArray("APE\r\nLION\r\n"));
        QCOMPARE(bytesOf(m_dir, QStringLiteral("old-zoo")), QByteArray("APE\r\n"));
        QCOMPARE(filesIn(m_dir), (QStringList{"Zoo.lst", "old-zoo"}));
    }

    void failedWriteKeepsOldList()
    {
        put(m_dir, QStringLiteral("Zoo.lst"), "APE\r\n");
        QVERIFY(QFile::setPermissions(m_tmp->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const bool bound = permissionsBind(m_dir);
        brivamo::StoreStatus write;
        brivamo::StoreStatus remove;
        if (bound) {
            write = WriteWordList(QStringLiteral("ZOO"), {"LION"}, m_dir);
            remove = DeleteWordList(QStringLiteral("ZOO"), m_dir);
        }
        QFile::setPermissions(m_tmp->path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (!bound)
            QSKIP("Permissions do not stop this user from writing");

        QVERIFY(!write.ok());
        QVERIFY2(write.error.startsWith(QStringLiteral("The word list \"ZOO\" could not be saved.")),
                 qPrintable(write.error));
        QVERIFY(!remove.ok());
        QVERIFY2(remove.error.startsWith(QStringLiteral("The word list \"ZOO\" could not be deleted.")),
                 qPrintable(remove.error));
        QCOMPARE(filesIn(m_dir), QStringList{QStringLiteral("Zoo.lst")});
        QCOMPARE(bytesOf(m_dir, QStringLiteral("Zoo.lst")), QByteArray("APE\r\n"));
    }

    void failedWeekdaysWriteReported()
    {
        put(m_dir, QStringLiteral("Zoo.lst"), "APE\r\n");
        QVERIFY(QFile::setPermissions(m_tmp->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const bool bound = permissionsBind(m_dir);
        const brivamo::CatalogueResult catalogue = ListCategories(m_dir);
        QFile::setPermissions(m_tmp->path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (!bound)
            QSKIP("Permissions do not stop this user from writing");
        QVERIFY(!catalogue.ok());
        QCOMPARE(catalogue.names, QStringList{QStringLiteral("Zoo")});
    }

    void rewriteKeepsUnchangedWordsByteForByte_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after"); // once LYNX has been added
        QTest::newRow("utf-8 and latin-1 mixed")
            << QByteArray("CAF\xc3\x89\r\nOL\xc9\r\n") << QByteArray("CAF\xc3\x89\r\nOL\xc9\r\nLYNX\r\n");
        QTest::newRow("latin-1 last line unended")
            << QByteArray("ZEBRA\r\nCAF\xc9") << QByteArray("ZEBRA\r\nCAF\xc9\r\nLYNX\r\n");
        QTest::newRow("utf-8 mark and a U+FEFF word") << QByteArray("\xef\xbb\xbf\xef\xbb\xbf"
                                                                    "APE\r\n")
                                                      << QByteArray("\xef\xbb\xbf\xef\xbb\xbf"
                                                                    "APE\r\nLYNX\r\n");
        QTest::newRow("utf-16 stays utf-16") << QByteArray("\xff\xfe"
                                                           "C\0\xc9\0\r\0\n\0",
                                                           10)
                                             << QByteArray("\xff\xfe"
                                                           "C\0\xc9\0\r\0\n\0L\0Y\0N\0X\0\r\0\n\0",
                                                           22);
        QTest::newRow("blank lines dropped, endings made CR LF")
            << QByteArray("APE\n\n  \nLION") << QByteArray("APE\r\nLION\r\nLYNX\r\n");
        QTest::newRow("one word in two spellings")
            << QByteArray("CAF\xc3\x89\r\nCAF\xc9\r\n") << QByteArray("CAF\xc3\x89\r\nCAF\xc9\r\nLYNX\r\n");
        QTest::newRow("a later word that begins like a mark")
            << QByteArray("APE\r\n\xff\xfeOWL\r\n") << QByteArray("APE\r\n\xff\xfeOWL\r\nLYNX\r\n");
    }

    void rewriteKeepsUnchangedWordsByteForByte()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        put(m_dir, QStringLiteral("Test.lst"), before);
        const brivamo::WordListResult read = ReadWordList(QStringLiteral("Test"), m_dir);
        QVERIFY2(read.ok(), qPrintable(read.error));
        const brivamo::StoreStatus written =
            WriteWordList(QStringLiteral("Test"), read.list.words + QStringList{"LYNX"}, m_dir);
        QVERIFY2(written.ok(), qPrintable(written.error));
        QCOMPARE(bytesOf(m_dir, QStringLiteral("Test.lst")), after);
        QCOMPARE(ReadWordList(QStringLiteral("Test"), m_dir).list.words,
                 read.list.words + QStringList{"LYNX"});
    }

    void linksNeverLeadOutOfTheFolder()
    {
        QTemporaryDir outside;
        const QString outsideFile = QDir(outside.path()).filePath(QStringLiteral("Shared.lst"));
        put(QDir(outside.path()), QStringLiteral("Shared.lst"), "APE\r\n");
        const auto symlink = [this](const QString &target, const QString &name) {
            return ::symlink(QFile::encodeName(target).constData(),
                             QFile::encodeName(m_dir.filePath(name)).constData()) == 0;
        };
        QVERIFY(symlink(outsideFile, QStringLiteral("Shared.lst")));
        QVERIFY(symlink(QDir(outside.path()).filePath(QStringLiteral("Days.lst")),
                        QStringLiteral("Weekdays.lst")));
        put(m_dir, QStringLiteral("Real.lst"), "OWL\r\n");
        QVERIFY(symlink(QStringLiteral("Real.lst"), QStringLiteral("Alias.lst")));

        // A dangling weekday link is not followed out of the folder; the failure is told.
        const brivamo::CatalogueResult catalogue = ListCategories(m_dir);
        QVERIFY2(catalogue.error.contains(QStringLiteral("does not exist")), qPrintable(catalogue.error));
        QCOMPARE(QDir(outside.path()).entryList(QDir::Files), QStringList{"Shared.lst"});

        // Reading through a link is fine; writing through one that leaves the folder is refused.
        QCOMPARE(ReadWordList(QStringLiteral("Shared"), m_dir).list.words, QStringList{"APE"});
        const brivamo::StoreStatus refused = WriteWordList(QStringLiteral("Shared"), {"APE", "LION"}, m_dir);
        QVERIFY2(refused.error.contains(QStringLiteral("outside the lists folder")),
                 qPrintable(refused.error));
        QCOMPARE(bytesOf(QDir(outside.path()), QStringLiteral("Shared.lst")), QByteArray("APE\r\n"));

        // Nor through one into a folder below it, or beside it under a longer name.
        QVERIFY(m_dir.mkdir(QStringLiteral("sub")));
        QTemporaryDir beside(m_tmp->path() + QStringLiteral("-XXXXXX"));
        for (const QString &folder : {m_dir.filePath(QStringLiteral("sub")), beside.path()}) {
            put(QDir(folder), QStringLiteral("Deep.lst"), "APE\r\n");
            QVERIFY(symlink(QDir(folder).filePath(QStringLiteral("Deep.lst")), QStringLiteral("Deep.lst")));
            const QString error = WriteWordList(QStringLiteral("Deep"), {"EMU"}, m_dir).error;
            QVERIFY2(error.contains(QStringLiteral("outside the lists folder")), qPrintable(error));
            QVERIFY(m_dir.remove(QStringLiteral("Deep.lst")));
        }

        // A link to a list of the same folder writes that list and stays a link.
        QVERIFY(WriteWordList(QStringLiteral("Alias"), {"OWL", "EMU"}, m_dir).ok());
        QCOMPARE(bytesOf(m_dir, QStringLiteral("Real.lst")), QByteArray("OWL\r\nEMU\r\n"));
        QVERIFY(QFileInfo(m_dir.filePath(QStringLiteral("Alias.lst"))).isSymbolicLink());
    }

    void weekdaysFailureIsToldOncePerRun()
    {
        QVERIFY(m_dir.mkdir(QStringLiteral("Weekdays.lst")));
        const brivamo::CatalogueResult first = ListCategories(m_dir);
        QVERIFY2(first.error.contains(QStringLiteral("could not be saved")), qPrintable(first.error));
        const brivamo::CatalogueResult again = ListCategories(m_dir);
        QVERIFY2(again.ok(), qPrintable(again.error));
        QCOMPARE(again.names, first.names);
    }

    void weekdaysInTheUsersLanguage_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QStringList>("days");
        QTest::newRow("C") << QLocale::c() << QStringList{"SUNDAY",   "MONDAY", "TUESDAY", "WEDNESDAY",
                                                          "THURSDAY", "FRIDAY", "SATURDAY"};
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany)
                                << QStringList{"SONNTAG",    "MONTAG",  "DIENSTAG", "MITTWOCH",
                                               "DONNERSTAG", "FREITAG", "SAMSTAG"};
        // Letters outside A-Z are written as the system gives them.
        QTest::newRow("Spanish") << QLocale(QLocale::Spanish, QLocale::Spain)
                                 << QStringList{"DOMINGO",
                                                "LUNES",
                                                "MARTES",
                                                QString::fromUtf8("MIÉRCOLES"),
                                                "JUEVES",
                                                "VIERNES",
                                                QString::fromUtf8("SÁBADO")};
    }

    void weekdaysInTheUsersLanguage()
    {
        QFETCH(QLocale, locale);
        const QLocale previous;
        QLocale::setDefault(locale);
        const QStringList words = WeekdayWords();
        const brivamo::CatalogueResult catalogue = ListCategories(m_dir);
        const QStringList read = ReadWordList(WeekdaysCategory, m_dir).list.words;
        QLocale::setDefault(previous);
        QTEST(words, "days");
        QVERIFY(catalogue.ok());
        QTEST(read, "days");
    }

    void refusedWrites_data()
    {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no words") << "ZOO" << QStringList() << "at least one word";
        QTest::newRow("line break in word") << "ZOO" << QStringList{"APE", "LI\nON"} << "several lines";
        QTest::newRow("cr in word") << "ZOO" << QStringList{"LI\rON"} << "several lines";
        QTest::newRow("folder in name") << "../ZOO" << QStringList{"APE"} << "cannot be used";
        QTest::newRow("empty name") << "" << QStringList{"APE"} << "cannot be used";
        // Something that is not a file already carries the name.
        QTest::newRow("directory in the way") << "BLOCKED" << QStringList{"APE"} << "could not be saved";
    }

    void refusedWrites()
    {
        QFETCH(QString, category);
        QFETCH(QStringList, words);
        QFETCH(QString, reason);
        put(m_dir, QStringLiteral("Zoo.lst"), "APE\r\n");
        QVERIFY(m_dir.mkdir(QStringLiteral("BLOCKED.Lst")));

        const brivamo::StoreStatus status = WriteWordList(category, words, m_dir);
        QVERIFY(!status.ok());
        QVERIFY2(status.error.contains(reason), qPrintable(status.error));
        QCOMPARE(bytesOf(m_dir, QStringLiteral("Zoo.lst")), QByteArray("APE\r\n"));
        QCOMPARE(filesIn(m_dir), QStringList{QStringLiteral("Zoo.lst")});
    }

    void deleteList()
    {
        put(m_dir, QStringLiteral("Zoo.lst"), "APE\r\n");
        put(m_dir, QStringLiteral("Birds.lst"), "OWL\r\n");
        QVERIFY(DeleteWordList(QStringLiteral("ZOO"), m_dir).ok());
        QVERIFY(!WordListExists(QStringLiteral("Zoo"), m_dir));
        QCOMPARE(ListCategories(m_dir).names, (QStringList{"Birds", "Weekdays"}));

        const brivamo::StoreStatus again = DeleteWordList(QStringLiteral("ZOO"), m_dir);
        QVERIFY(!again.ok());
        QVERIFY2(again.error.contains(QStringLiteral("could not be found")), qPrintable(again.error));
    }

    // Lists named by hand: a file name that is not UTF-8 (Latin-1 "café") and one as long as the
    // file system allows are listed, read, rewritten in place and deleted like any other.
    void handNamedFiles_data()
    {
        QTest::addColumn<QByteArray>("fileName");
        QTest::addColumn<QString>("category");
        QTest::newRow("Latin-1 name") << QByteArray("caf\xe9.lst") << QString::fromUtf8("caf\u00e9");
        QTest::newRow("name of 248 letters") << QByteArray(248, 'W') + ".lst" << QString(248, u'W');
    }
    void handNamedFiles()
    {
        QFETCH(QByteArray, fileName);
        QFETCH(QString, category);
        const QByteArray path = QFile::encodeName(m_dir.path()) + '/' + fileName;
        const auto rawBytes = [&] {
            QByteArray bytes(64, '\0');
            const int fd = ::open(path.constData(), O_RDONLY);
            const ssize_t got = fd < 0 ? -1 : ::read(fd, bytes.data(), size_t(bytes.size()));
            if (fd >= 0)
                ::close(fd);
            return got < 0 ? QByteArray("<missing>") : bytes.left(got);
        };
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        // QTemporaryDir cannot remove a name that is not UTF-8.
        const auto remove = qScopeGuard([&] { ::unlink(path.constData()); });
        QCOMPARE(::write(fd, "OWL\r\n", 5), ssize_t(5));
        ::close(fd);

        const QStringList names = ListCategories(m_dir).names;
        QCOMPARE(QSet<QString>(names.begin(), names.end()), (QSet<QString>{category, "Weekdays"}));
        const brivamo::WordListResult read = ReadWordList(category.toUpper(), m_dir);
        QVERIFY2(read.ok(), qPrintable(read.error));
        QCOMPARE(read.list.name, category);
        QCOMPARE(read.list.words, QStringList{"OWL"});

        const brivamo::StoreStatus written = WriteWordList(category, {"EMU", "OWL"}, m_dir);
        QVERIFY2(written.ok(), qPrintable(written.error));
        QCOMPARE(rawBytes(), QByteArray("EMU\r\nOWL\r\n"));
        // Rewritten in place: no file of the name's UTF-8 spelling beside it.
        QCOMPARE(ListCategories(m_dir).names.size(), 2);

        QVERIFY(DeleteWordList(category, m_dir).ok());
        QCOMPARE(rawBytes(), QByteArray("<missing>"));
        QCOMPARE(filesIn(m_dir), QStringList{"Weekdays.lst"});
    }

    // A list file that is a link to a pipe or a device is never read (a pipe without a writer
    // would hold the reader for ever): the read fails at once with the reason, and the list can
    // be seen and deleted, but not written through.
    void onlyRegularFilesAreRead_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("pipe") << "pipe" << QStringLiteral("a link to something that is not an ordinary file");
        QTest::newRow("device") << "/dev/zero" << QStringLiteral("outside the lists folder");
    }
    void onlyRegularFilesAreRead()
    {
        QFETCH(QString, target);
        QFETCH(QString, refusal);
        if (target == "pipe") {
            target = m_dir.filePath("pipe");
            QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        }
        QVERIFY(QFile::link(target, m_dir.filePath(QStringLiteral("AAA.lst"))));
        const QStringList names = ListCategories(m_dir).names;
        const brivamo::WordListResult read = ReadWordList(QStringLiteral("AAA"), m_dir);
        // Listed, so that the user sees it and can delete it.
        QVERIFY(names.contains(QStringLiteral("AAA")));
        QCOMPARE(read.error, QStringLiteral("The word list \"AAA\" could not be opened.\r\n\r\nIts file "
                                            "\"AAA.lst\" is not an ordinary file."));
        QVERIFY(!read.empty);
        const QString refused = WriteWordList(QStringLiteral("AAA"), {"APE"}, m_dir).error;
        QVERIFY2(refused.contains(refusal), qPrintable(refused));
        QVERIFY(DeleteWordList(QStringLiteral("AAA"), m_dir).ok());
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("AAA.lst"))));
    }

    // A PDF written through a chain of links is caught where the chain ends on a list, up to the 40
    // links in a row the system itself follows (it would not write through one more).
    void writingThroughLinkChains()
    {
        put(m_dir, QStringLiteral("Zoo.lst"), "APE\r\n");
        QString last = QStringLiteral("Zoo.lst");
        for (int links = 1; links <= 41; ++links) {
            QVERIFY(QFile::link(last, m_dir.filePath(QStringLiteral("link%1").arg(links))));
            last = QStringLiteral("link%1").arg(links);
            const auto list = ListOverwrittenBy(QFile::encodeName(m_dir.filePath(last)), m_dir);
            QCOMPARE(list ? list->fileName : QString(), links <= 40 ? QStringLiteral("Zoo.lst") : QString());
        }
    }

    // The file a save writes first is hidden beside its target, its name cut to what the file
    // system takes without splitting a letter of a long multi-byte name.
    void temporaryFileIsHiddenBesideTheTarget()
    {
        const QByteArray folder = QFile::encodeName(m_dir.path()) + '/';
        brivamo::SafeFileWriter writer(folder + QString(125, u'\u00e9').toUtf8() + ".lst");
        QVERIFY(writer.open());
        const QByteArray name = writer.temporaryPath().mid(folder.size());
        const QString text = QString::fromUtf8(name); // a cut letter would not come back
        QVERIFY2(text.toUtf8() == name && name.size() <= 255 && text.startsWith(u".\u00e9"),
                 name.constData());
        QCOMPARE(m_dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void currentFolderIsTheDefault()
    {
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_tmp->path()));
        const bool written = WriteWordList(QStringLiteral("HERE"), {"APE"}).ok();
        const QStringList names = ListCategories().names;
        QDir::setCurrent(previous);
        QVERIFY(written);
        QCOMPARE(names, (QStringList{"HERE", "Weekdays"}));
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("HERE.Lst"))));
    }
};

QTEST_GUILESS_MAIN(TestWordList)
#include "tst_word_list.moc"
