#include "base/form.h"
#include "help/frm_manual.h"
#include "puzzle/frm_puzzle.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>

using namespace brivamo;

// The puzzle window's F1 opens the real help window on its own topic and comes back.
class TestPuzzleHelp : public QObject
{
    Q_OBJECT
private slots:
    void f1OpensHelpOnMakingThePuzzle()
    {
        auto &w = form<frmPuzzle>();
        w.setSource(QStringLiteral("WILD"), {QStringLiteral("LION"), QStringLiteral("ZEBRA")});
        w.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        QString shownTopic;
        bool helpWasModal = false;
        QTimer::singleShot(0, this, [&] {
            frmManual *help = loadedForm<frmManual>();
            if (!help)
                return;
            shownTopic = help->labelHelpTopic()->text();
            helpWasModal = help->isVisible();
            QTest::keyClick(help, Qt::Key_Escape);
        });
        QTest::keyClick(&w, Qt::Key_F1);

        QCOMPARE(shownTopic, QStringLiteral("Making the Puzzle"));
        QVERIFY(helpWasModal);
        QTRY_VERIFY(loadedForm<frmManual>() == nullptr);
        QCOMPARE(HelpTopicIndex, qint16(4));
        destroyAllForms();
    }
};

QTEST_MAIN(TestPuzzleHelp)
#include "tst_puzzle_help.moc"
