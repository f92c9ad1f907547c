#include "base/maker_info.h"
#include "help/help_texts.h"

#include <QtTest>

using namespace brivamo;

class TestHelpTexts : public QObject
{
    Q_OBJECT
private slots:
    void textsByIdWithParagraphBreaks_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("paragraphs");
        QTest::addColumn<QString>("opening");
        QTest::addColumn<QString>("closing");
        QTest::newRow("overview") << 1000 << 4 << "Brivamo is based on a very popular word game"
                                  << "in a way that students enjoy.";
        QTest::newRow("lobby")
            << 1100 << 5 << "The Brivamo Lobby provides all the services"
            << "click the \x60Make a Brivamo Puzzle' button. (Shortcut: Double-click on the "
               "word list itself)";
        QTest::newRow("making") << 1200 << 7 << "Once you select a word list, Brivamo presents"
                                << "and a solution page, if you wish).";
        QTest::newRow("tech specs") << 1300 << 6 << "* You can maintain up to 1,000 different word lists."
                                    << "Any other possible criss-crosses will always share a letter.";
    }
    void textsByIdWithParagraphBreaks()
    {
        QFETCH(int, id);
        QFETCH(int, paragraphs);
        QFETCH(QString, opening);
        QFETCH(QString, closing);
        const QString text = helpText(id);
        QVERIFY(text.startsWith(opening));
        QVERIFY2(text.endsWith(closing), qPrintable(text.right(80)));
        QCOMPARE(text.split(QStringLiteral("\r\n\r\n")).size(), paragraphs);
        // Line breaks are CR LF only, and each paragraph is one line.
        QCOMPARE(text.count(QLatin1Char('\n')), text.count(QStringLiteral("\r\n")));
        QCOMPARE(text.count(QStringLiteral("\r\n")), 2 * (paragraphs - 1));
    }

    void aboutTheMakerMatchesItsDetails()
    {
        const QString text = helpText(HelpAboutMaker);
        QVERIFY(text.startsWith(MakerName + QStringLiteral("\r\n") + makerAddress()));
        for (const QString &detail : {MakerEmail, MakerWebAddress, MakerTelephone})
            QVERIFY2(text.contains(detail), qPrintable(detail));
    }

    void unknownIdIsEmpty()
    {
        QVERIFY(helpText(1400).isEmpty());
        QVERIFY(helpText(0).isEmpty());
        for (int id : helpTextIds())
            QVERIFY(!helpText(id).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHelpTexts)
#include "tst_help_texts.moc"
