#include "help/help_topics.h"

#include <QtTest>

using namespace brivamo;

class TestHelpTopics : public QObject
{
    Q_OBJECT

private slots:
    void menuNumbersAndSeparators();
    void actions_data();
    void actions();
    void aboutText();
};

void TestHelpTopics::menuNumbersAndSeparators()
{
    const QList<HelpMenuItem> &items = helpMenuItems();
    QCOMPARE(items.size(), int(HelpMenuItemCount));
    QList<qint32> numbers;
    QList<int> separators;
    for (int i = 0; i < items.size(); ++i) {
        QCOMPARE(items[i].index, qint16(i + 1));
        QCOMPARE(helpMenuItem(i + 1), &items[i]);
        numbers.append(items[i].number);
        if (items[i].isSeparator())
            separators.append(i + 1);
    }
    QCOMPARE(numbers, (QList<qint32>{1000, 0, 1100, 1200, 0, 1300, 0, 7777, 1900, 0, 1111, 2222, 0, 0}));
    QCOMPARE(separators, (QList<int>{2, 5, 7, 10, 13}));
    QCOMPARE(helpMenuItem(HelpTopicLobby)->caption, QStringLiteral("The Brivamo Lobby"));
    QCOMPARE(helpMenuItem(HelpTopicPuzzle)->caption, QStringLiteral("Making the Puzzle"));
    QCOMPARE(helpMenuItem(14)->caption, QStringLiteral("E&xit this Menu"));
    QVERIFY(!helpMenuItem(0));
    QVERIFY(!helpMenuItem(15));
}

void TestHelpTopics::actions_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("index");
    QTest::addColumn<HelpAction>("action");

    QTest::newRow("overview from nothing") << 0 << 1 << HelpAction::ShowTopic;
    QTest::newRow("tech specs") << 3 << 6 << HelpAction::ShowTopic;
    QTest::newRow("about the maker is a topic") << 3 << 9 << HelpAction::ShowTopic;
    QTest::newRow("topic already shown") << 4 << 4 << HelpAction::Nothing;
    QTest::newRow("about box") << 3 << 8 << HelpAction::AboutBox;
    QTest::newRow("e-mail") << 3 << 11 << HelpAction::EmailMaker;
    QTest::newRow("web page") << 3 << 12 << HelpAction::VisitWebPage;
    QTest::newRow("exit item") << 3 << 14 << HelpAction::Nothing;
    QTest::newRow("exit item while nothing shown") << 0 << 14 << HelpAction::Nothing;
    QTest::newRow("separator") << 3 << 2 << HelpAction::Nothing;
    QTest::newRow("index 0") << 3 << 0 << HelpAction::Nothing;
    QTest::newRow("index past the menu") << 3 << 15 << HelpAction::Nothing;
}

void TestHelpTopics::actions()
{
    QFETCH(int, current);
    QFETCH(int, index);
    QFETCH(HelpAction, action);

    HelpTopicState state;
    if (current != 0)
        QVERIFY(state.choose(current));
    QCOMPARE(state.actionFor(index), action);

    const bool changes = action == HelpAction::ShowTopic;
    QCOMPARE(state.choose(index), changes);
    QCOMPARE(state.CurrentTopic(), qint16(changes ? index : current));
    for (int i = 1; i <= HelpMenuItemCount; ++i)
        QCOMPARE(state.isChecked(i), i == state.CurrentTopic());
}

void TestHelpTopics::aboutText()
{
    QCOMPARE(
        composeAboutText(QStringLiteral("Brivamo"), 4, 48, 19, QStringLiteral("Word Puzzle Maker"),
                         QStringLiteral(" 2024 Maker")),
        QStringLiteral("Brivamo\r\nVersion w4.48.19\r\n\r\nWord Puzzle Maker\r\n\u00a9 2024 Maker\r\n\r\n"));
    // Numbers are plain decimal: no padding, and zero is written.
    QCOMPARE(composeAboutText(QStringLiteral("X"), 1, 0, 7, QString(), QString()),
             QStringLiteral("X\r\nVersion w1.0.7\r\n\r\n\r\n\u00a9\r\n\r\n"));
}

QTEST_GUILESS_MAIN(TestHelpTopics)
#include "tst_help_topics.moc"
