#include "puzzle/puzzle_board.h"

#include <QtTest>

using namespace brivamo;

namespace {

// Pixels of exactly this colour inside a rectangle of the image.
int countColour(const QImage &image, const QRect &area, QRgb colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

} // namespace

class TestPuzzleBoard : public QObject
{
    Q_OBJECT

private slots:
    void lattice_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("lo");
        QTest::addColumn<int>("hi");
        QTest::newRow("3") << 3 << 15 << 17;
        QTest::newRow("9") << 9 << 12 << 20;
        QTest::newRow("10") << 10 << 11 << 20;
        QTest::newRow("30") << 30 << 1 << 30;
    }
    void lattice()
    {
        QFETCH(int, side);
        QFETCH(int, lo);
        QFETCH(int, hi);
        PuzzleBoardModel model(side);
        QCOMPARE(model.lo(), lo);
        QCOMPARE(model.hi(), hi);
        QCOMPARE(model.latticeX(1), lo);
        QCOMPARE(model.latticeY(side), hi);
    }

    // What each drawing step leaves in a cell.
    void cellSteps_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QChar>("argument");
        QTest::addColumn<QChar>("shown");
        QTest::addColumn<int>("ink");
        QTest::newRow("tried") << "tried" << QChar('Q') << QChar('Q') << int(BoardInk::DarkRed);
        QTest::newRow("reverted to empty")
            << "reverted" << QChar() << PuzzleGrid::Dot << int(BoardInk::Black);
        QTest::newRow("reverted to a letter")
            << "reverted" << QChar('K') << QChar('K') << int(BoardInk::Navy);
        QTest::newRow("committed") << "committed" << QChar('Z') << QChar('Z') << int(BoardInk::Navy);
    }
    void cellSteps()
    {
        QFETCH(QString, step);
        QFETCH(QChar, argument);
        QFETCH(QChar, shown);
        QFETCH(int, ink);
        PuzzleBoardModel model(5);
        model.drawEmptyBoard();
        model.showTried(2, 3, QChar('W'));
        if (step == "tried")
            model.showTried(2, 3, argument);
        else if (step == "reverted")
            model.showReverted(2, 3, argument);
        else
            model.showCommitted(2, 3, argument);
        QCOMPARE(model.text(2, 3), shown);
        QCOMPARE(int(model.ink(2, 3)), ink);
        // Neighbours keep their dots.
        QCOMPARE(model.text(2, 2), PuzzleGrid::Dot);
        QCOMPARE(model.text(3, 3), PuzzleGrid::Dot);
    }

    void layers()
    {
        PuzzleGrid grid(4);
        grid.setSolution(1, 1, 'A');
        grid.setSolution(2, 2, PuzzleGrid::Dot);
        grid.setPuzzle(1, 1, 'A');
        grid.setPuzzle(2, 2, 'X');
        PuzzleBoardModel model(4);
        model.drawEmptyBoard();
        QCOMPARE(model.printedCount(), 16);

        // During a run the solution layer has empty cells: they show nothing, not even a dot.
        model.drawBoard(grid, BoardLayer::Solution);
        QCOMPARE(model.printedCount(), 2);
        QCOMPARE(model.ink(1, 1), BoardInk::Black);
        QCOMPARE(model.ink(2, 2), BoardInk::Silver);
        QCOMPARE(model.toText(), QStringLiteral("A   \n ·  \n    \n    \n"));

        model.drawBoard(grid, BoardLayer::Puzzle);
        QCOMPARE(model.toText(), QStringLiteral("A   \n X  \n    \n    \n"));
        QCOMPARE(model.ink(2, 2), BoardInk::Black);
    }

    // The widget paints the model: yellow ground, letters in their inks at their lattice points.
    void painting()
    {
        PuzzleBoard board;
        board.resize(320, 320); // 10 pixels to a lattice unit
        board.model().reset(30);
        board.model().drawEmptyBoard();
        board.model().showTried(1, 1, QChar('W'));
        board.model().showCommitted(30, 30, QChar('M'));
        QImage image = board.grab().toImage();

        QCOMPARE(board.cellRect(1, 1).topLeft(), QPoint(10, 10));
        QCOMPARE(board.cellRect(30, 30).topLeft(), QPoint(300, 300));
        QCOMPARE(image.pixel(0, 0) & 0xFFFFFF, 0xFFFF00u);
        QCOMPARE(image.pixel(319, 319) & 0xFFFFFF, 0xFFFF00u);
        QVERIFY(countColour(image, board.cellRect(1, 1), qRgb(192, 0, 0)) > 5);
        QVERIFY(countColour(image, board.cellRect(30, 30), qRgb(0, 0, 128)) > 5);
        QCOMPARE(countColour(image, board.cellRect(5, 5), qRgb(192, 0, 0)), 0);
        QVERIFY(countColour(image, board.cellRect(5, 5), qRgb(0, 0, 0)) > 0);

        // Reverting the tried cell leaves no trace of the red letter.
        board.model().showReverted(1, 1, QChar());
        image = board.grab().toImage();
        QCOMPARE(countColour(image, board.cellRect(1, 1), qRgb(192, 0, 0)), 0);
        QVERIFY(countColour(image, board.cellRect(1, 1), qRgb(0, 0, 0)) > 0);

        // A smaller square sits in the middle of the lattice.
        board.model().reset(3);
        board.model().drawEmptyBoard();
        QCOMPARE(board.cellRect(1, 1).topLeft(), QPoint(150, 150));
        image = board.grab().toImage();
        QCOMPARE(countColour(image, QRect(0, 0, 140, 320), qRgb(0, 0, 0)), 0);
        QVERIFY(countColour(image, board.cellRect(2, 2), qRgb(0, 0, 0)) > 0);
    }
};

QTEST_MAIN(TestPuzzleBoard)
#include "tst_frm_puzzle_board.moc"
