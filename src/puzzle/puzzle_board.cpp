#include "puzzle/puzzle_board.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace brivamo {

namespace {

QColor toColor(std::uint32_t rgb)
{
    return QColor::fromRgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

} // namespace

PuzzleBoard::PuzzleBoard(QWidget *parent) : QWidget(parent), m_font(boardFont())
{
    // Every pixel is painted by paintEvent, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setFont(m_font);
    measure();
    m_model.setChangeListener([this](int row, int column) { onModelChanged(row, column); });
}

QFont PuzzleBoard::boardFont()
{
    QFont font;
    // The classic heavy system fixed-pitch font is nowhere on this platform; a bold monospace
    // face has the same look and the same fixed advance.
    font.setFamilies(
        {QStringLiteral("FixedSys"), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")});
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(9.0);
    font.setBold(true);
    return font;
}

void PuzzleBoard::measure()
{
    const QFontMetricsF metrics(m_font, this);
    m_ascent = metrics.ascent();
    m_charWidth = static_cast<int>(std::ceil(metrics.horizontalAdvance(QChar(u'W')))) + 1;
    m_lineHeight = static_cast<int>(std::ceil(metrics.height()));
}

QRect PuzzleBoard::cellRect(int row, int column) const
{
    const double unitX = width() / double(PuzzleBoardModel::LatticeSize);
    const double unitY = height() / double(PuzzleBoardModel::LatticeSize);
    const int x = static_cast<int>(std::floor(m_model.latticeX(column) * unitX));
    const int y = static_cast<int>(std::floor(m_model.latticeY(row) * unitY));
    return QRect(x, y, m_charWidth, m_lineHeight);
}

void PuzzleBoard::repaintNow()
{
    repaint();
}

void PuzzleBoard::onModelChanged(int row, int column)
{
    if (row == 0)
        update();
    else
        update(cellRect(row, column));
}

void PuzzleBoard::paintBoard(QPainter &painter, const QRect &clip) const
{
    const QRect area = clip.isEmpty() ? rect() : clip;
    painter.fillRect(area, toColor(BoardBackgroundRgb));
    painter.setFont(m_font);

    const double unitX = width() / double(PuzzleBoardModel::LatticeSize);
    const double unitY = height() / double(PuzzleBoardModel::LatticeSize);
    const int side = m_model.side();
    BoardInk currentInk = BoardInk::Black;
    painter.setPen(toColor(inkRgb(currentInk)));
    for (int row = 1; row <= side; ++row) {
        const int y = static_cast<int>(std::floor(m_model.latticeY(row) * unitY));
        if (y > area.bottom() || y + m_lineHeight <= area.top())
            continue;
        for (int column = 1; column <= side; ++column) {
            const PuzzleBoardModel::Cell &cell = m_model.cell(row, column);
            if (cell.text.isNull())
                continue;
            const int x = static_cast<int>(std::floor(m_model.latticeX(column) * unitX));
            if (x > area.right() || x + m_charWidth <= area.left())
                continue;
            if (cell.ink != currentInk) {
                currentInk = cell.ink;
                painter.setPen(toColor(inkRgb(currentInk)));
            }
            painter.drawText(QPointF(x, y + m_ascent), QString(cell.text));
        }
    }
}

void PuzzleBoard::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());
    paintBoard(painter, event->rect());
}

void PuzzleBoard::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        m_font = font();
        measure();
    }
    QWidget::changeEvent(event);
}

void PuzzleBoard::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    update();
}

} // namespace brivamo
