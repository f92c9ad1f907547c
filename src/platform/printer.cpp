#include "platform/printer.h"

#include <QStringList>

namespace brivamo {

Paper ChosenPaper(Paper paper, const QLocale &locale)
{
    if (paper != Paper::Locale)
        return paper;
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? Paper::Letter : Paper::A4;
}

void Printer::print(const QString &text, bool endLine)
{
    if (!text.isEmpty()) {
        ensureDocument();
        drawText(m_x, m_y, text, m_font);
        m_x += measureWidth(text, m_font);
    }
    if (endLine) {
        m_x = 0.0;
        m_y += lineHeight(m_font);
    }
}

void Printer::outline(const PrinterOutline &shape)
{
    ensureDocument();
    drawOutline(shape);
}

double Printer::textWidth(const QString &text) const
{
    double widest = 0.0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, measureWidth(QString(line).remove(QLatin1Char('\r')), m_font));
    return widest;
}

double Printer::textHeight(const QString &text) const
{
    return lineHeight(m_font) * double(text.count(QLatin1Char('\n')) + 1);
}

void Printer::newPage()
{
    ensureDocument();
    beginNextPage();
    if (m_pageFinished)
        m_pageFinished(m_page);
    ++m_page;
    resetPosition();
}

bool Printer::endDoc()
{
    const bool sent = m_page > 0 ? finishDocument() : !failed();
    if (m_page > 0 && m_pageFinished)
        m_pageFinished(m_page);
    m_page = 0;
    resetPosition();
    return sent;
}

void Printer::killDoc()
{
    if (m_page > 0)
        abortDocument();
    m_page = 0;
    resetPosition();
}

void Printer::ensureDocument()
{
    if (m_page == 0) {
        beginDocument();
        m_page = 1;
    }
}

void Printer::resetPosition()
{
    m_x = 0.0;
    m_y = 0.0;
}

} // namespace brivamo
