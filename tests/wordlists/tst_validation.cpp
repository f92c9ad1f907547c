#include "wordlists/validation.h"

#include <QtTest>

using namespace modSupport;

class TestValidation : public QObject
{
    Q_OBJECT

    static QString refusal(const QString &quoted, const QString &reason)
    {
        return "'" + quoted + "'\r\n\r\nis not a valid entry.\r\n\r\n" + reason;
    }

private slots:
    void verdict_data()
    {
        const QString word = QStringLiteral("The word must be from\r\n3 to 20 characters long!");
        const QString name = QStringLiteral("The word must be from\r\n2 to 8 characters long!");
        const QString letters = QStringLiteral("Letters only, please!");

        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("shortest");
        QTest::addColumn<int>("longest");
        QTest::addColumn<QString>("expectedText"); // empty: the entry passes

        QTest::newRow("word too short") << "ab" << 3 << 20 << refusal("ab", word);
        QTest::newRow("word shortest") << "abc" << 3 << 20 << QString();
        QTest::newRow("word longest") << QString(20, 'q') << 3 << 20 << QString();
        QTest::newRow("word too long") << QString(21, 'q') << 3 << 20 << refusal(QString(21, 'q'), word);
        QTest::newRow("mixed case passes") << "Zebra" << 3 << 20 << QString();
        QTest::newRow("hyphen") << "ice-cream" << 3 << 20 << refusal("ICE-CREAM", letters);
        QTest::newRow("space") << "ice cream" << 3 << 20 << refusal("ICE CREAM", letters);
        QTest::newRow("length before letters")
            << "abcdefghijklmnopqrst1" << 3 << 20 << refusal("abcdefghijklmnopqrst1", word);
        QTest::newRow("name empty") << "" << 2 << 8 << refusal("", name);
        QTest::newRow("name one letter") << "z" << 2 << 8 << refusal("z", name);
        QTest::newRow("name shortest") << "zo" << 2 << 8 << QString();
        QTest::newRow("name longest") << "abcdefgh" << 2 << 8 << QString();
        QTest::newRow("name nine letters") << "abcdefghi" << 2 << 8 << refusal("abcdefghi", name);
        QTest::newRow("name digit") << "zoo2" << 2 << 8 << refusal("ZOO2", letters);
        QTest::newRow("accented") << QString::fromUtf8("café") << 3 << 20
                                  << refusal(QString::fromUtf8("CAFÉ"), letters);
        QTest::newRow("lone accented")
            << QString::fromUtf8("ééé") << 3 << 20 << refusal(QString::fromUtf8("ÉÉÉ"), letters);
        // These upper-case to plain A-Z letters in Unicode, yet are not A-Z.
        QTest::newRow("long s") << QString::fromUtf8("moſt") << 3 << 20
                                << refusal(QString::fromUtf8("MOST"), letters);
        QTest::newRow("dotless i") << QString::fromUtf8("pıg") << 3 << 20
                                   << refusal(QString::fromUtf8("PIG"), letters);
        // Sharp s stays one character in the quote rather than expanding to SS.
        QTest::newRow("sharp s") << QString::fromUtf8("straße") << 3 << 20
                                 << refusal(QString::fromUtf8("STRAßE"), letters);
        QTest::newRow("fullwidth") << QString::fromUtf8("ＡＢＣ") << 3 << 20
                                   << refusal(QString::fromUtf8("ＡＢＣ"), letters);
        // A character outside the basic plane counts once towards the length.
        QTest::newRow("astral char counted once")
            << QString::fromUtf8("ab😀") << 3 << 20 << refusal(QString::fromUtf8("AB😀"), letters);
        QTest::newRow("capital beyond the basic plane")
            << QString::fromUtf8("ab𝐀") << 3 << 20 << refusal(QString::fromUtf8("AB𝐀"), letters);
        QTest::newRow("astral too short")
            << QString::fromUtf8("a😀") << 3 << 20 << refusal(QString::fromUtf8("a😀"), word);
        QTest::newRow("tab") << "ab\tc" << 3 << 20 << refusal("AB\tC", letters);
        QTest::newRow("bracket after Z") << "ab[" << 3 << 20 << refusal("AB[", letters);
        QTest::newRow("at before A") << "ab@" << 3 << 20 << refusal("AB@", letters);
    }

    void verdict()
    {
        QFETCH(QString, entry);
        QFETCH(int, shortest);
        QFETCH(int, longest);
        QFETCH(QString, expectedText);

        const EntryVerdict verdict = ValidateEntry(entry, qint16(shortest), qint16(longest));
        QCOMPARE(verdict.valid, expectedText.isEmpty());
        QCOMPARE(verdict.text, expectedText);
        QCOMPARE(verdict.caption, expectedText.isEmpty() ? QString() : QStringLiteral("Error"));
    }
};

QTEST_GUILESS_MAIN(TestValidation)
#include "tst_validation.moc"
