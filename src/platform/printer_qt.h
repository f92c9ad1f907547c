#pragma once

#include "platform/printer.h"

#include <QCursor>
#include <QFont>
#include <QPainter>
#include <QPointer>
#include <QPrinter>

#include <functional>
#include <memory>

class QWidget;

namespace brivamo {

// The real printer, addressed in inches from the top-left corner of the printable area: a print
// queue with its own paper size and margins, or a PDF file (US Letter, the whole sheet printable).
class QtPrinter : public Printer
{
public:
    enum class Status {
        Ready,     // printing works (or has not been tried yet)
        NoPrinter, // the system has no printer; nothing can be printed
        Failed,    // the device refused the job (for example, the PDF file cannot be written)
    };

    // A print queue by name; an empty name means the system's default printer.
    struct SystemQueue
    {
        QString name;
    };

    // The system's default printer. Check status(): NoPrinter when there is none.
    QtPrinter();
    // The named queue (or the default one). Check status(): NoPrinter when there is no such queue.
    explicit QtPrinter(const SystemQueue &queue);
    // A PDF file at `pdfFile`.
    explicit QtPrinter(const QString &pdfFile);
    // An unfinished document is sent, as if endDoc had been called.
    ~QtPrinter() override;

    static bool systemPrinterAvailable();
    // The print server's reason for refusing the last request made on this thread; empty when
    // it was accepted.
    static QString printServerRefusal();

    Status status() const { return m_status; }
    bool failed() const override { return m_status != Status::Ready; }
    QPrinter &device() { return m_printer; }

protected:
    void drawText(double x, double y, const QString &text, const PrinterFont &font) override;
    double measureWidth(const QString &text, const PrinterFont &font) const override;
    double lineHeight(const PrinterFont &font) const override;
    void beginDocument() override;
    void beginNextPage() override;
    bool finishDocument() override;
    void abortDocument() override;

private:
    QPrinter m_printer{QPrinter::HighResolution};
    QPainter m_painter;
    Status m_status = Status::Ready;
};

// The screen font for a printer font. Names of fonts this system lacks are mapped to
// installed ones of the same kind ("Arial" and "MS Sans Serif" to a sans-serif,
// "FixedSys" and "Courier New" to a fixed-pitch font).
QFont printerQFont(const PrinterFont &font);

// A printer ready for a print job asked for in `parent`'s window: the system printer, or,
// where there is none, a PDF file the user names in a save dialog. Returns nullptr when the
// user cancels that dialog.
std::unique_ptr<Printer> openPrinter(QWidget *parent);

// Replaces openPrinter's choice for the rest of the run (tests print into a recording printer
// or a fixed PDF file this way); an empty function restores the normal choice.
using PrinterFactory = std::function<std::unique_ptr<Printer>(QWidget *parent)>;
void setPrinterFactory(PrinterFactory factory);

// Keeps a window disabled and showing the busy pointer while a print job is produced; the
// window is enabled again with its own pointer when the guard ends, however printing ended.
class PrintingBusyGuard
{
public:
    explicit PrintingBusyGuard(QWidget *window);
    ~PrintingBusyGuard();
    PrintingBusyGuard(const PrintingBusyGuard &) = delete;
    PrintingBusyGuard &operator=(const PrintingBusyGuard &) = delete;

private:
    QPointer<QWidget> m_window;
    bool m_hadCursor = false;
    QCursor m_cursor;
};

} // namespace brivamo
