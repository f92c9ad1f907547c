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
    void choosingSequence_data();
    void choosingSequence();
    void printHeadingNamesTheShownTopic();
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
    QTest::newRow("about box while nothing shown") << 0 << 8 << HelpAction::AboutBox;
    QTest::newRow("e-mail") << 3 << 11 << HelpAction::EmailMaker;
    QTest::newRow("web page") << 3 << 12 << HelpAction::VisitWebPage;
    QTest::newRow("exit item") << 3 << 14 << HelpAction::Nothing;
    QTest::newRow("exit item while nothing shown") << 0 << 14 << HelpAction::Nothing;
    QTest::newRow("separator") << 3 << 2 << HelpAction::Nothing;
    QTest::newRow("last separator") << 0 << 13 << HelpAction::Nothing;
    QTest::newRow("index 0") << 3 << 0 << HelpAction::Nothing;
    QTest::newRow("index past the menu") << 3 << 15 << HelpAction::Nothing;
    QTest::newRow("negative index") << 3 << -1 << HelpAction::Nothing;
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

void TestHelpTopics::choosingSequence_data()
{
    QTest::addColumn<QList<int>>("choices");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("textId");

    QTest::newRow("nothing yet") << QList<int>{} << 0 << QString() << 0;
    QTest::newRow("lobby") << QList<int>{3} << 3 << QStringLiteral("The Brivamo Lobby") << 1100;
    QTest::newRow("puzzle") << QList<int>{4} << 4 << QStringLiteral("Making the Puzzle") << 1200;
    QTest::newRow("about box keeps the topic")
        << QList<int>{3, 8} << 3 << QStringLiteral("The Brivamo Lobby") << 1100;
    QTest::newRow("links and exit keep the topic")
        << QList<int>{6, 11, 12, 14} << 6 << QStringLiteral("Tech Specs") << 1300;
    QTest::newRow("the maker") << QList<int>{1, 9} << 9 << QStringLiteral("About Ostrel Software") << 1900;
    QTest::newRow("back to the overview") << QList<int>{4, 1} << 1 << QStringLiteral("Overview") << 1000;
}

void TestHelpTopics::choosingSequence()
{
    QFETCH(QList<int>, choices);
    QFETCH(int, current);
    QFETCH(QString, caption);
    QFETCH(int, textId);

    HelpTopicState state;
    for (int index : choices)
        state.choose(index);
    QCOMPARE(state.CurrentTopic(), qint16(current));
    QCOMPARE(state.topicCaption(), caption);
    QCOMPARE(state.topicTextId(), textId);
}

void TestHelpTopics::printHeadingNamesTheShownTopic()
{
    HelpTopicState state;
    state.choose(6);
    QCOMPARE(state.printHeading(), QStringLiteral("Brivamo, Help Section: Tech Specs"));
    // The About box and the links are not topics: the heading still names Tech Specs.
    state.choose(8);
    state.choose(12);
    QCOMPARE(state.printHeading(), QStringLiteral("Brivamo, Help Section: Tech Specs"));
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
