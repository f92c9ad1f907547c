#pragma once

#include "platform/printer.h"

#include <QCursor>
#include <QDeadlineTimer>
#include <QFont>
#include <QPainter>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace brivamo {

class SafeFileSet;

// The real printer, addressed in inches from the top-left corner of the printable area: a print
// queue with its own paper size and margins, or a PDF file (A4 or Letter, the whole sheet printable).
//
// A PDF file is written like a list: into a temporary file beside it, every write and the end of
// the document checked, then synced and renamed into place, so a failure leaves any earlier file of
// that name as it was. Links on the way to the file are followed; the file at their end is replaced.
//
// Every request to the print server runs with a time limit, PrintServerTimeLimit for one printer
// in all: a server that does not answer (stopped, or stuck) fails the job instead of holding the
// program. The request that ran out of time is left to finish on its own thread; until it does,
// further requests fail at once.
class QtPrinter : public Printer
{
public:
    enum class Status {
        Ready,        // printing works (or has not been tried yet)
        NoPrinter,    // the system has no printer; nothing can be printed
        Failed,       // the device refused the job (for example, the PDF file cannot be written)
        ServerSilent, // the print server did not answer in time
    };

    // A print queue by name; an empty name means the system's default printer.
    struct SystemQueue
    {
        QString name;
        int copies = 1;
    };

    // The system's default printer. Check status(): NoPrinter when there is none.
    QtPrinter();
    // The named queue (or the default one). Check status(): NoPrinter when there is no such queue.
    explicit QtPrinter(const SystemQueue &queue);
    // A PDF file at `pdfFile` on `paper`; the byte form keeps a name that is not UTF-8 as it is.
    explicit QtPrinter(const QString &pdfFile, Paper paper = Paper::Locale);
    explicit QtPrinter(const QByteArray &pdfFile, Paper paper = Paper::Locale);
    // An unfinished document is sent, as if endDoc had been called.
    ~QtPrinter() override;

    // How long the print server may take over one printer's requests in all: 30 seconds, or the
    // seconds given in the environment variable BRIVAMO_PRINT_SERVER_TIME_LIMIT.
    static int printServerTimeLimitMs();

    // The print queues the system knows, or nothing when the print server does not answer in time.
    static std::optional<QStringList> printerNames();
    static bool systemPrinterAvailable();
    // The print server's reason for refusing the last job a queue printer sent; empty when it was
    // accepted.
    static QString printServerRefusal();
    // True while a request that ran out of time has not returned: the server is not answering.
    static bool printServerStuck();

    double printableWidth() const override;
    double printableHeight() const override;

    Status status() const { return m_status; }
    bool failed() const override { return m_status != Status::Ready; }
    // Why the job failed, in one sentence for the user; empty while all is well.
    QString errorString() const;
    // True for a PDF file, false for a print queue.
    bool writesFile() const { return m_file != nullptr; }
    // The PDF file's name as given (empty for a print queue).
    QString fileName() const { return m_fileName; }
    // The print queue's name (empty for a PDF file or when there is no printer).
    QString queueName() const { return m_queueName; }
    // A PDF file finished by endDoc joins `set` instead of taking its name at once; its failure
    // then reads "FILE: reason".
    void setFileSet(SafeFileSet *set) { m_fileSet = set; }

protected:
    void drawText(double x, double y, const QString &text, const PrinterFont &font) override;
    void drawOutline(const PrinterOutline &shape) override;
    double measureWidth(const QString &text, const PrinterFont &font) const override;
    double lineHeight(const PrinterFont &font) const override;
    void beginDocument() override;
    void beginNextPage() override;
    bool finishDocument() override;
    void abortDocument() override;

private:
    struct Queue;
    struct File;

    QPaintDevice *paintDevice() const;
    QPainter *painter() const;
    // Runs a print server request within what is left of this printer's time.
    bool askServer(const std::function<void(Queue &)> &request);

    std::shared_ptr<Queue> m_queue;
    std::unique_ptr<File> m_file;
    QString m_queueName;
    QString m_fileName;
    SafeFileSet *m_fileSet = nullptr;
    QDeadlineTimer m_deadline;
    Status m_status = Status::Ready;
    QString m_error;
};

// The screen font for a printer font. Names of fonts this system lacks are mapped to
// installed ones of the same kind ("Arial" and "MS Sans Serif" to a sans-serif,
// "FixedSys" and "Courier New" to a fixed-pitch font).
QFont printerQFont(const PrinterFont &font);

// Draws printed text (its line's top-left corner at x, y inches) and an outline on any painter, at
// its device's resolution.
void paintPrinterText(QPainter &painter, double x, double y, const QString &text, const PrinterFont &font);
void paintPrinterOutline(QPainter &painter, const PrinterOutline &shape);

// Asked about the PDF file the user named; false refuses it (after telling the user why).
using PdfFileCheck = std::function<bool(const QString &file)>;

// A printer ready for a print job asked for in `parent`'s window: the system printer, or,
// where there is none, a PDF file the user names in a save dialog. A name `acceptFile` refuses
// is asked for again. Returns nullptr when the user cancels that dialog. A print server that
// does not answer gives a printer whose job fails.
std::unique_ptr<Printer> openPrinter(QWidget *parent, const PdfFileCheck &acceptFile = {});

// Replaces openPrinter's choice for the rest of the run (tests print into a recording printer
// or a fixed PDF file this way); an empty function restores the normal choice.
using PrinterFactory = std::function<std::unique_ptr<Printer>(QWidget *parent)>;
void setPrinterFactory(PrinterFactory factory);

// What the user chose in the system print dialog before a print job. Pages count from 1 in the
// order they are printed.
struct PrintChoice
{
    bool cancelled = false;
    QString printer; // empty: openPrinter's usual choice
    QString file;    // a PDF file chosen in the dialog instead of a printer
    int copies = 1;
    int firstPage = 1;
    int lastPage = 1000000;

    bool includesPage(int page) const { return page >= firstPage && page <= lastPage; }
};

// Opens the system print dialog (printer, copies, pages) over `parent` for a document of
// `pageCount` pages. Where the system has no printer there is nothing to choose: the usual choice
// comes back at once, so that openPrinter offers a PDF file as it always does.
PrintChoice askPrintChoice(QWidget *parent, int pageCount);
// Gives the printer a choice names: the chosen queue or file, otherwise openPrinter's.
std::unique_ptr<Printer> openChosenPrinter(QWidget *parent, const PrintChoice &choice,
                                           const PdfFileCheck &acceptFile = {});

// Replaces the print dialog for the rest of the run (tests script the choice); an empty function
// restores the dialog.
using PrintChoiceAsker = std::function<PrintChoice(QWidget *parent, int pageCount)>;
void setPrintChoiceAsker(PrintChoiceAsker asker);

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
