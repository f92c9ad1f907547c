#pragma once

#include <QLocale>
#include <QString>

#include <functional>

namespace brivamo {

// The font of printed text. Sizes are in points.
struct PrinterFont
{
    QString name = QStringLiteral("Arial");
    double size = 10.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const PrinterFont &) const = default;
};

// The sheet a file is laid out on. A print queue always keeps its own paper.
enum class Paper {
    Locale, // the custom of the user's locale: Letter where it is the custom, A4 elsewhere
    A4,
    Letter,
};

// The paper a file gets: `paper` itself, or for Paper::Locale the system's paper (PAPERSIZE, the
// file PAPERCONF names, /etc/papersize: Letter for "letter" and "legal", else A4), where none is
// set the paper of the locale's LC_PAPER, and where that locale is not installed the custom of
// `locale` (Letter where it measures in US units).
Paper ChosenPaper(Paper paper, const QLocale &locale = QLocale::system());

// A thin rounded outline around a straight run of cells, in inches: it runs around the segment
// from the first cell's centre to the last one's at a distance of radiusX across and radiusY
// up and down (a capsule drawn in a space where a cell is square, so diagonals keep clear of the
// cells beside them).
struct PrinterOutline
{
    double x1 = 0.0;
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    double radiusX = 0.0;
    double radiusY = 0.0;

    bool operator==(const PrinterOutline &) const = default;
};

// A page printer addressed in inches from the printable origin (x across, y down).
//
// Text is printed with the top of its line at CurrentY and its left edge at CurrentX.
// Printing without ending the line leaves CurrentX just after the text; ending the line
// moves to x = 0 and one line further down (the line height of the font in force at that
// moment). The document starts with the first page as soon as something is printed; a
// document into which nothing was printed sends no job at all.
//
// Subclasses supply the device: text measuring, drawing and the job's pages.
class Printer
{
public:
    virtual ~Printer() = default;

    const PrinterFont &font() const { return m_font; }
    void setFont(const PrinterFont &font) { m_font = font; }
    QString fontName() const { return m_font.name; }
    void setFontName(const QString &name) { m_font.name = name; }
    double fontSize() const { return m_font.size; }
    void setFontSize(double points) { m_font.size = points; }
    bool fontBold() const { return m_font.bold; }
    void setFontBold(bool on) { m_font.bold = on; }
    bool fontItalic() const { return m_font.italic; }
    void setFontItalic(bool on) { m_font.italic = on; }
    bool fontUnderline() const { return m_font.underline; }
    void setFontUnderline(bool on) { m_font.underline = on; }

    double currentX() const { return m_x; }
    void setCurrentX(double inches) { m_x = inches; }
    double currentY() const { return m_y; }
    void setCurrentY(double inches) { m_y = inches; }

    // Prints `text` at the current position; with `endLine` moves to the start of the next
    // line afterwards, otherwise stays just after the text.
    void print(const QString &text, bool endLine = true);
    // Ends the line without printing anything.
    void newLine() { print(QString(), true); }
    // Draws an outline on the current page; the position does not move.
    void outline(const PrinterOutline &shape);

    // Size of `text` in the current font, in inches. The height counts one line per line
    // break in the text (at least one line).
    double textWidth(const QString &text) const;
    double textHeight(const QString &text = QString()) const;

    // Finishes the page and starts the next; the position returns to (0, 0).
    void newPage();
    // Finishes the document and sends it as one job. Returns false when the job could not
    // be produced (no printer, device error); a document with nothing in it sends nothing
    // and counts as done.
    bool endDoc();
    // Throws the document away unsent.
    void killDoc();

    // Size of the printable area in inches.
    virtual double printableWidth() const = 0;
    virtual double printableHeight() const = 0;

    // Pages begun in the current document (0 before anything was printed).
    int page() const { return m_page; }
    // True once the device has failed; what is printed afterwards is dropped.
    virtual bool failed() const { return false; }
    // Called with 1, 2, ... as each page of a document is finished (a long job shows its progress).
    void setPageFinished(std::function<void(int page)> finished) { m_pageFinished = std::move(finished); }

protected:
    // One line of text in `font`, top-left corner at (x, y) inches, on the current page.
    virtual void drawText(double x, double y, const QString &text, const PrinterFont &font) = 0;
    virtual void drawOutline(const PrinterOutline &shape) = 0;
    virtual double measureWidth(const QString &text, const PrinterFont &font) const = 0;
    virtual double lineHeight(const PrinterFont &font) const = 0;
    // Document and page boundaries, in order: beginDocument (page 1), beginNextPage for
    // each further page, then finishDocument or abortDocument.
    virtual void beginDocument() = 0;
    virtual void beginNextPage() = 0;
    virtual bool finishDocument() = 0;
    virtual void abortDocument() = 0;

private:
    void ensureDocument();
    void resetPosition();

    PrinterFont m_font;
    double m_x = 0.0;
    double m_y = 0.0;
    int m_page = 0;
    std::function<void(int)> m_pageFinished;
};

} // namespace brivamo
