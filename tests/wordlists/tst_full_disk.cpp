// Saving on a file system that is really full: a small tmpfs mounted by the test itself (the
// machines that run the tests run as root). Every way the program writes a list must fail
// visibly there and leave every list exactly as it was.
#include "common/scripted_dialogs.h"
#include "lobby/lobby_model.h"
#include "lobby/shipped_lists.h"
#include "wordlists/word_list.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace brivamo;

namespace {

const QByteArray AnimalBytes = "APE\r\nLION\r\nZEBRA\r\n";

} // namespace

class TestFullDisk : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_mount;

    QDir dir() const { return QDir(m_mount); }

    QStringList allFiles() const
    {
        return dir().entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                               QDir::Name);
    }

    // Fills the file system to the last byte.
    void fill()
    {
        QFile filler(dir().filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        // 64 KiB is 16 blocks; the counts stop a file system that never fills.
        const QByteArray block(4096, 'x');
        int blocks = 0;
        while (blocks < 1000 && filler.write(block) == block.size())
            ++blocks;
        const QByteArray byte(1, 'x');
        int bytes = 0;
        while (bytes < block.size() && filler.write(byte) == 1)
            ++bytes;
        QVERIFY(blocks < 1000 && bytes < block.size());
    }

private slots:
    void init()
    {
        if (::geteuid() != 0)
            QSKIP("Mounting a small file system needs the superuser");
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        m_mount = m_tmp->path();
        QVERIFY2(::mount("brivamo-full", QFile::encodeName(m_mount).constData(), "tmpfs", 0, "size=64k") == 0,
                 qPrintable(QStringLiteral("mount: %1").arg(QString::fromLocal8Bit(strerror(errno)))));
    }

    void cleanup()
    {
        if (!m_mount.isEmpty())
            ::umount2(QFile::encodeName(m_mount).constData(), MNT_DETACH);
        m_mount.clear();
        m_tmp.reset();
    }

    void everySaveFailsVisiblyAndKeepsTheLists_data()
    {
        QTest::addColumn<QString>("operation");
        for (const char *operation : {"rewrite", "new list", "weekdays", "shipped lists", "lobby add",
                                      "lobby edit", "lobby delete", "lobby new list"})
            QTest::newRow(operation) << QString::fromLatin1(operation);
    }

    void everySaveFailsVisiblyAndKeepsTheLists()
    {
        QFETCH(QString, operation);
        const bool shipped = operation == QLatin1String("shipped lists");
        if (!shipped) {
            QFile animals(dir().filePath(QStringLiteral("Animals.lst")));
            QVERIFY(animals.open(QIODevice::WriteOnly));
            QCOMPARE(animals.write(AnimalBytes), AnimalBytes.size());
        }
        if (operation != QLatin1String("weekdays") && !shipped) {
            QFile weekdays(dir().filePath(QStringLiteral("Weekdays.lst")));
            QVERIFY(weekdays.open(QIODevice::WriteOnly));
            QVERIFY(weekdays.write("SUNDAY\r\n") == 8);
        }
        fill();
        const QStringList filesBefore = allFiles();

        QString failure;
        if (operation == QLatin1String("rewrite")) {
            failure = modSupport::WriteWordList(QStringLiteral("Animals"), {"LYNX", "TIGER"}, dir()).error;
        } else if (operation == QLatin1String("new list")) {
            failure = modSupport::WriteWordList(QStringLiteral("BIRDS"), {"OWL", "EMU"}, dir()).error;
        } else if (operation == QLatin1String("weekdays")) {
            failure = modSupport::ListCategories(dir()).error;
        } else if (shipped) {
            failure = InstallShippedLists(dir()).error;
            // The weekday list cannot be made either; the catalogue says so and stays true.
            const CatalogueResult catalogue = modSupport::ListCategories(dir());
            QVERIFY(!catalogue.ok());
            QVERIFY(catalogue.names.isEmpty());
        } else {
            ScriptedDialogs dialogs;
            LobbyModel lobby(dir());
            lobby.setMode(true);
            lobby.ShowLobbyMode();
            QCOMPARE(lobby.selectedCategory(), QStringLiteral("Animals"));
            if (operation == QLatin1String("lobby add")) {
                dialogs.queueInput(QStringLiteral("lynx"));
                lobby.cmdAddWord_Click();
            } else if (operation == QLatin1String("lobby edit")) {
                lobby.selectWord(1);
                dialogs.queueInput(QStringLiteral("tiger"));
                lobby.cmdEditWord_Click();
            } else if (operation == QLatin1String("lobby delete")) {
                lobby.selectWord(0);
                dialogs.queueMessage(MsgAnswer::Yes);
                lobby.cmdDeleteWord_Click();
            } else {
                dialogs.queueInput(QStringLiteral("owl"));
                lobby.cmdAddCategory_Click();
                dialogs.queueInput(QStringLiteral("birds"));
                lobby.cmdNewSave_Click();
            }
            const QStringList messages = lobby.takeMessages();
            QCOMPARE(messages.size(), 1);
            failure = messages.first();
            // The lobby shows what the folder holds.
            if (lobby.browsing())
                QCOMPARE(lobby.words(), (QStringList{"APE", "LION", "ZEBRA"}));
        }

        QVERIFY2(failure.contains(QStringLiteral("could not be saved")) ||
                     failure.contains(QStringLiteral("No space left")),
                 qPrintable(failure));
        if (!shipped) {
            QFile animals(dir().filePath(QStringLiteral("Animals.lst")));
            QVERIFY(animals.open(QIODevice::ReadOnly));
            QCOMPARE(animals.readAll(), AnimalBytes);
        }
        // No half-written list, no temporary file left behind.
        QCOMPARE(allFiles(), filesBefore);
    }

    // A PDF on another file system is none of the lists, even with the same inode number as one.
    void pdfOnAnotherFileSystem()
    {
        QTemporaryDir other;
        const QByteArray mount = QFile::encodeName(other.path());
        QVERIFY(::mount("brivamo-other", mount.constData(), "tmpfs", 0, "size=64k") == 0);
        const auto unmount = qScopeGuard([&] { ::umount2(mount.constData(), MNT_DETACH); });
        const QByteArray list = QFile::encodeName(dir().filePath("Zoo.lst")), pdf = mount + "/out.pdf";
        QVERIFY(QFile(list).open(QIODevice::WriteOnly) && QFile(pdf).open(QIODevice::WriteOnly));
        struct stat listInfo = {}, pdfInfo = {};
        QVERIFY(::stat(list.constData(), &listInfo) == 0 && ::stat(pdf.constData(), &pdfInfo) == 0);
        if (listInfo.st_ino != pdfInfo.st_ino)
            QSKIP("This system numbers the files of each tmpfs apart");
        QVERIFY(!modSupport::ListOverwrittenBy(pdf, dir()));
    }
};

QTEST_GUILESS_MAIN(TestFullDisk)
#include "tst_full_disk.moc"
