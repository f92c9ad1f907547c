#include "generator/puzzle_words.h"

#include <QtTest>

using namespace brivamo;

// Which words a puzzle can hold, and how the first one it cannot is reported.
class TestPuzzleWords : public QObject
{
    Q_OBJECT

private slots:
    void firstUnusableWord_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("message"); // empty: every word is usable

        const QString a30(30, u'A');
        QTest::newRow("capitals A to Z, 30 letters") << QStringList{"CAT", a30} << QString();
        QTest::newRow("accented and other capitals") << QStringList{"CAFÉ", "ÑANDÚ", "ЖУК"} << QString();
        QTest::newRow("31 letters, after a good word")
            << QStringList{"CAT", a30 + u'A'}
            << "The word \"AAAAAAAAAAAAAAAAAAAA…\" cannot be used in a puzzle: it has 31 letters, and a "
               "puzzle takes words of at most 30.";
        QTest::newRow("the first bad word in list order is named")
            << QStringList{"DOG", "C4T", "A B"}
            << "The word \"C4T\" cannot be used in a puzzle: it holds \"4\", which is not a capital letter.";
        QTest::newRow("space")
            << QStringList{"ICE CREAM"}
            << "The word \"ICE CREAM\" cannot be used in a puzzle: it holds a space, which "
               "is not a capital letter.";
        QTest::newRow("small letters")
            << QStringList{"Cat"}
            << "The word \"Cat\" cannot be used in a puzzle: it holds \"a\", which "
               "is not a capital letter.";
        QTest::newRow("control code escaped")
            << QStringList{QStringLiteral("CA\x01T")}
            << "The word \"CA\\x01T\" cannot be used in a puzzle: it holds \"\\x01\", which is not a capital "
               "letter.";
        QTest::newRow("NUL escaped")
            << QStringList{QString::fromUtf16(u"DO\0G", 4)}
            << "The word \"DO\\x00G\" cannot be used in a puzzle: it holds \"\\x00\", "
               "which is not a capital letter.";
        QTest::newRow("zero-width space escaped")
            << QStringList{QStringLiteral("OWL\u200B")}
            << "The word \"OWL\\u200B\" cannot be used in a puzzle: it holds \"\\u200B\", which is not a "
               "capital letter.";
        QTest::newRow("combining mark escaped")
            << QStringList{QStringLiteral("CAFE\u0301")}
            << "The word \"CAFE\\u0301\" cannot be used in a puzzle: it holds \"\\u0301\", which is not a "
               "capital letter.";
        QTest::newRow("dot of the solution")
            << QStringList{QStringLiteral("A\u00B7B")}
            << "The word \"A·B\" cannot be used in a puzzle: it holds \"·\", which is not a capital letter.";
        QTest::newRow("emoji") << QStringList{QStringLiteral("CAT\U0001F431")}
                               << "The word \"CAT\U0001F431\" cannot be used in a puzzle: it holds "
                                  "\"\U0001F431\", which is not a capital letter.";
        QTest::newRow("backslash kept apart from escapes")
            << QStringList{QStringLiteral("A\\x01")}
            << "The word \"A\\\\x01\" cannot be used in a puzzle: it holds \"\\\\\", which is not a capital "
               "letter.";
        QTest::newRow("long word with a control code is cut before escaping")
            << QStringList{QString(25, u'\x02')}
            << "The word \"" + QStringLiteral("\\x02").repeated(20) +
                   "…\" cannot be used in a puzzle: it holds \"\\x02\", which is not a capital letter.";
        QTest::newRow("empty word") << QStringList{"CAT", ""}
                                    << "The list holds an empty word, which cannot be used in a puzzle.";
        QTest::newRow("no words") << QStringList{} << "The list holds no words to make a puzzle from.";
    }
    void firstUnusableWord()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, message);
        const std::optional<UnusableWord> unusable = FindUnusableWord(words);
        QCOMPARE(unusable ? unusable->message() : QString(), message);
    }

    // A 3 by 3 square may take 72 letters, however its words would share cells.
    void squareFit()
    {
        const QStringList most(24, QStringLiteral("ABC"));
        QCOMPARE(SquareFitProblem(most, 3), QString());
        QCOMPARE(
            SquareFitProblem(most + QStringList{"A"}, 3),
            "The list's 25 words hold 73 letters, far more than a 3 by 3 square can hide; a list may hold "
            "at most 72 letters for it.");
    }
};

QTEST_GUILESS_MAIN(TestPuzzleWords)
#include "tst_puzzle_words.moc"
