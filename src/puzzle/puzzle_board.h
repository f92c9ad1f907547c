#pragma once

#include "puzzle/puzzle_board_model.h"

#include <QFont>
#include <QWidget>

namespace brivamo {

// The yellow board on which a puzzle is built and shown. It paints what its model holds: the
// model's lattice of 32 × 32 is stretched over the widget, and each printed cell's character is
// drawn with the top-left of its text box at the cell's lattice point. Changing the model
// schedules a repaint of just the changed cell (or of everything); repaintNow() paints at once,
// for drawing that must be seen before the thread blocks.
class PuzzleBoard : public QWidget
{
    Q_OBJECT
public:
    explicit PuzzleBoard(QWidget *parent = nullptr);

    PuzzleBoardModel &model() { return m_model; }
    const PuzzleBoardModel &model() const { return m_model; }

    // The board's fixed-pitch font: "FixedSys", 9 points, not bold, as this system substitutes it.
    static QFont boardFont();

    // The area a cell's character occupies, in widget pixels.
    QRect cellRect(int row, int column) const;

    // Paints every pending change now, without waiting for the event loop.
    void repaintNow();

    // Paints the whole board into `painter`, whose device has this widget's size (benchmarks and
    // snapshots). `clip` limits the cells drawn; an empty rectangle means all.
    void paintBoard(QPainter &painter, const QRect &clip = QRect()) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void onModelChanged(int row, int column);
    void measure();

    PuzzleBoardModel m_model;
    QFont m_font;
    double m_ascent = 0.0;
    int m_charWidth = 0;
    int m_lineHeight = 0;
};

} // namespace brivamo
