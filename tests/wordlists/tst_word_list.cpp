#include "wordlists/word_list.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

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
        QTest::newRow("blank line") << QByteArray("APE\r\n\r\nLION\r\n") << QStringList{"APE", "", "LION"};
        QTest::newRow("lf cr is two endings") << QByteArray("APE\n\rLION") << QStringList{"APE", "", "LION"};
        QTest::newRow("only an ending") << QByteArray("\r\n") << QStringList{""};
        QTest::newRow("kept as written")
            << QByteArray(" Zebra stripe \r\nice-cream\r\n") << QStringList{" Zebra stripe ", "ice-cream"};
        QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9\r\n\xe5\x9c\x9f\xf0\x9f\x98\x80\r\n")
                               << QStringList{QString::fromUtf8("café"), QString::fromUtf8("土😀")};
        QTest::newRow("utf-8 bom") << QByteArray("\xef\xbb\xbf"
                                                 "APE\r\n")
                                   << QStringList{"APE"};
        QTest::newRow("latin-1") << QByteArray("caf\xe9\r\n") << QStringList{QString::fromUtf8("café")};
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
