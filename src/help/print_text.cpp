#include "help/print_text.h"

namespace brivamo {

namespace {

bool onlyWhitespaceFrom(const QString &text, qsizetype from)
{
    for (qsizetype i = from; i < text.size(); ++i)
        if (!text.at(i).isSpace())
            return false;
    return true;
}

} // namespace

bool printTextOn(Printer &printer, const QString &text, const QString &heading, bool underlineHeading,
                 bool headingOnEveryPage)
{
    using namespace PrintTextLayout;
    const qsizetype length = text.size();
    int pageCount = 0;
    bool startingPage = true;

    // Characters go out one at a time so that the position can be tested after each.
    for (qsizetype i = 0; i < length; ++i) {
        if (printer.currentY() < TopMargin)
            printer.setCurrentY(TopMargin);
        if (printer.currentX() < LeftMargin)
            printer.setCurrentX(LeftMargin);

        if (startingPage) {
            startingPage = false;
            ++pageCount;
            if (!heading.isEmpty() && (headingOnEveryPage || pageCount == 1)) {
                if (underlineHeading)
                    printer.setFontUnderline(true);
                printer.print(heading, true);
                if (printer.fontUnderline())
                    printer.setFontUnderline(false);
                printer.setCurrentY(TextTopBelowHeading);
                printer.setCurrentX(LeftMargin);
            }
        }

        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') && i + 1 < length && text.at(i + 1) == QLatin1Char('\n')) {
            printer.newLine();
            ++i;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            // A bare line break would otherwise print as a stray glyph and never end the line.
            printer.newLine();
        } else if (c.isHighSurrogate() && i + 1 < length && text.at(i + 1).isLowSurrogate()) {
            printer.print(text.mid(i, 2), false);
            ++i;
        } else {
            printer.print(QString(c), false);
        }

        if (printer.currentX() > SoftBreakX &&
            (text.at(i) == QLatin1Char(' ') || printer.currentX() > HardBreakX))
            printer.newLine();

        const bool more = i + 1 < length;
        if ((printer.currentY() > PageBottomY && more) || !more) {
            if (pageCount > 1) {
                printer.newLine();
                printer.setCurrentY(PageNumberY);
                printer.setCurrentX(PageNumberX);
                printer.print(QStringLiteral("(page %1)").arg(pageCount), true);
            }
            if (more) {
                // Trailing blank lines or spaces would only make a page with nothing on it.
                if (onlyWhitespaceFrom(text, i + 1))
                    break;
                printer.newPage();
                startingPage = true;
            }
        }
    }
    return printer.endDoc();
}

} // namespace brivamo
