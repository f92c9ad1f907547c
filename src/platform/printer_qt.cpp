#include "platform/printer_qt.h"

#include "platform/dialogs.h"
#include "platform/safe_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontMetricsF>
#include <QMutex>
#include <QPageLayout>
#include <QPageSize>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <cups/cups.h>

namespace brivamo {

namespace {

PrinterFactory &printerFactory()
{
    static PrinterFactory factory;
    return factory;
}

constexpr int DefaultPrintServerTimeLimitMs = 30000;

// Requests that ran out of time and have not returned yet.
std::atomic<int> &stuckRequests()
{
    static std::atomic<int> count{0};
    return count;
}

struct Refusal
{
    QMutex mutex;
    QString text;
};

Refusal &lastRefusal()
{
    static Refusal refusal;
    return refusal;
}

// The print library keeps the answer to the last request per thread: read it on the thread that
// made the request.
QString threadRefusal()
{
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return {};
    return QString::fromUtf8(cupsLastErrorString());
}

// Runs `request` on a thread of its own and waits until it returns or `deadline` passes; false
// when it did not return in time (it then runs on by itself, and whatever it uses must be owned by
// it). The window thread keeps painting while it waits; input waits until printing is over.
bool runWithin(const QDeadlineTimer &deadline, std::function<void()> request)
{
    if (stuckRequests().load() > 0)
        return false;
    struct Shared
    {
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        bool abandoned = false;
    };
    auto shared = std::make_shared<Shared>();
    std::thread([shared, request = std::move(request)]() mutable {
        request();
        request = nullptr;
        const std::lock_guard lock(shared->mutex);
        shared->done = true;
        if (shared->abandoned)
            --stuckRequests();
        shared->finished.notify_all();
    }).detach();

    const bool windowThread =
        QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
    std::unique_lock lock(shared->mutex);
    while (!shared->done) {
        const qint64 left = deadline.remainingTime();
        if (left == 0) {
            shared->abandoned = true;
            ++stuckRequests();
            return false;
        }
        auto slice = std::chrono::milliseconds(left < 0 ? 1000 : left);
        if (windowThread)
            slice = std::min(slice, std::chrono::milliseconds(20));
        shared->finished.wait_for(lock, slice);
        if (windowThread && !shared->done) {
            lock.unlock();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            lock.lock();
        }
    }
    return true;
}

// A device that hands every byte to a SafeFileWriter and reports its failures to the PDF writer.
class SafeFileDevice : public QIODevice
{
public:
    explicit SafeFileDevice(SafeFileWriter &writer) : m_writer(writer) {}
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        return m_writer.write(data, size) ? size : -1;
    }

private:
    SafeFileWriter &m_writer;
};

} // namespace

// A print queue's device and painter. Shared with the thread of a request, so that a request that
// never returns still has them.
struct QtPrinter::Queue
{
    std::unique_ptr<QPrinter> printer;
    QPainter painter;
    bool found = false;
    bool sent = false;
    QString refusal;
};

// A PDF file under way.
struct QtPrinter::File
{
    explicit File(const QByteArray &path)
        : writer(std::make_unique<SafeFileWriter>(path)), device(*writer), pdf(&device)
    {
    }
    std::unique_ptr<SafeFileWriter> writer;
    SafeFileDevice device;
    QPdfWriter pdf;
    QPainter painter;
};

int QtPrinter::printServerTimeLimitMs()
{
    bool ok = false;
    const double seconds = qEnvironmentVariable("BRIVAMO_PRINT_SERVER_TIME_LIMIT").toDouble(&ok);
    return ok && seconds > 0 ? int(qMin(seconds * 1000.0, 3600000.0)) : DefaultPrintServerTimeLimitMs;
}

QtPrinter::QtPrinter() : QtPrinter(SystemQueue{}) {}

QtPrinter::QtPrinter(const SystemQueue &queue)
    : m_queue(std::make_shared<Queue>()), m_deadline(printServerTimeLimitMs())
{
    const QString wanted = queue.name;
    const int copies = qMax(1, queue.copies);
    const bool answered = askServer([wanted, copies](Queue &q) {
        // Without any printer QPrinter quietly turns into a PDF writer with no file name, and
        // printing would then fail without a word, so decide here.
        QPrinterInfo chosen;
        if (!wanted.isEmpty())
            chosen = QPrinterInfo::printerInfo(wanted);
        else if (const QStringList names = QPrinterInfo::availablePrinterNames(); !names.isEmpty())
            chosen = QPrinterInfo::defaultPrinter().isNull() ? QPrinterInfo::printerInfo(names.first())
                                                             : QPrinterInfo::defaultPrinter();
        if (chosen.isNull())
            return;
        q.found = true;
        q.printer = std::make_unique<QPrinter>(chosen, QPrinter::HighResolution);
        q.printer->setDocName(QStringLiteral("Brivamo"));
        // The queue's own paper and printable area. Qt would keep the page size of the printer it
        // started with (where this one supports it) and margins of at least 10 points, so both
        // are taken from the queue; positions then count from the printable area's top-left corner.
        q.printer->setFullPage(false);
        q.printer->setPageOrientation(QPageLayout::Portrait);
        q.printer->setPageSize(chosen.defaultPageSize());
        const QPageLayout layout = q.printer->pageLayout();
        q.printer->setPageMargins(layout.minimumMargins(), layout.units());
        q.printer->setCopyCount(copies);
    });
    if (!answered)
        return;
    if (!m_queue->found) {
        m_status = Status::NoPrinter;
        return;
    }
    m_queueName = m_queue->printer->printerName();
}

QtPrinter::QtPrinter(const QString &pdfFile, Paper paper) : QtPrinter(QFile::encodeName(pdfFile), paper) {}

QtPrinter::QtPrinter(const QByteArray &pdfFile, Paper paper) : m_fileName(QFile::decodeName(pdfFile))
{
    QString error;
    const QByteArray target = resolveLinks(pdfFile, &error);
    m_file = std::make_unique<File>(target.isEmpty() ? pdfFile : target);
    if (target.isEmpty()) {
        m_status = Status::Failed;
        m_error = error;
    }
    m_file->pdf.setTitle(QStringLiteral("Brivamo"));
    m_file->pdf.setCreator(QStringLiteral("Brivamo"));
    m_file->pdf.setResolution(1200);
    // A file has no hardware margins: the whole sheet, so inches times the resolution land exactly
    // on the paper, whichever its size.
    const QPageSize size(ChosenPaper(paper) == Paper::Letter ? QPageSize::Letter : QPageSize::A4);
    m_file->pdf.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(), QPageLayout::Inch));
}

QtPrinter::~QtPrinter()
{
    if (m_status == Status::ServerSilent)
        return;
    if (painter() && painter()->isActive())
        finishDocument();
}

bool QtPrinter::askServer(const std::function<void(Queue &)> &request)
{
    if (m_status == Status::ServerSilent)
        return false;
    std::shared_ptr<Queue> queue = m_queue;
    if (runWithin(m_deadline, [queue, request] { request(*queue); }))
        return true;
    m_status = Status::ServerSilent;
    return false;
}

std::optional<QStringList> QtPrinter::printerNames()
{
    auto names = std::make_shared<QStringList>();
    if (!runWithin(QDeadlineTimer(printServerTimeLimitMs()),
                   [names] { *names = QPrinterInfo::availablePrinterNames(); }))
        return std::nullopt;
    return *names;
}

bool QtPrinter::systemPrinterAvailable()
{
    const std::optional<QStringList> names = printerNames();
    return names && !names->isEmpty();
}

bool QtPrinter::printServerStuck()
{
    return stuckRequests().load() > 0;
}

QString QtPrinter::printServerRefusal()
{
    const QMutexLocker lock(&lastRefusal().mutex);
    return lastRefusal().text;
}

QString QtPrinter::errorString() const
{
    if (!m_error.isEmpty())
        return m_error;
    switch (m_status) {
    case Status::Ready:
        return {};
    case Status::NoPrinter:
        return QStringLiteral("No printer is available.");
    case Status::ServerSilent:
        return QStringLiteral("The print server does not answer.");
    case Status::Failed:
        break;
    }
    return m_file ? QStringLiteral("The file could not be written.")
                  : QStringLiteral("The printer did not take the print job.");
}

QPaintDevice *QtPrinter::paintDevice() const
{
    if (m_file)
        return &m_file->pdf;
    // A request that ran out of time may still be using the queue's device.
    return m_queue && m_status != Status::ServerSilent ? m_queue->printer.get() : nullptr;
}

QPainter *QtPrinter::painter() const
{
    if (m_file)
        return &m_file->painter;
    return paintDevice() ? &m_queue->painter : nullptr;
}

void QtPrinter::drawText(double x, double y, const QString &text, const PrinterFont &font)
{
    QPainter *p = painter();
    if (failed() || !p || !p->isActive())
        return;
    paintPrinterText(*p, x, y, text, font);
}

double QtPrinter::printableWidth() const
{
    QPaintDevice *device = paintDevice();
    return device ? double(device->width()) / device->logicalDpiX() : 0.0;
}

double QtPrinter::printableHeight() const
{
    QPaintDevice *device = paintDevice();
    return device ? double(device->height()) / device->logicalDpiY() : 0.0;
}

void QtPrinter::drawOutline(const PrinterOutline &shape)
{
    QPainter *p = painter();
    if (failed() || !p || !p->isActive())
        return;
    paintPrinterOutline(*p, shape);
}

double QtPrinter::measureWidth(const QString &text, const PrinterFont &font) const
{
    QPaintDevice *device = paintDevice();
    if (!device)
        return 0.0;
    return QFontMetricsF(printerQFont(font), device).horizontalAdvance(text) / device->logicalDpiX();
}

double QtPrinter::lineHeight(const PrinterFont &font) const
{
    QPaintDevice *device = paintDevice();
    if (!device)
        return 0.0;
    return QFontMetricsF(printerQFont(font), device).lineSpacing() / device->logicalDpiY();
}

void QtPrinter::beginDocument()
{
    if (m_status != Status::Ready)
        return;
    if (m_file) {
        // A file handed to its set is not written again.
        if (!m_file->writer) {
            m_status = Status::Failed;
            return;
        }
        if (!m_file->writer->open() || !m_file->device.open(QIODevice::WriteOnly) ||
            !m_file->painter.begin(&m_file->pdf)) {
            m_status = Status::Failed;
            m_error = m_file->writer->error();
        }
        return;
    }
    askServer([](Queue &q) { q.sent = q.painter.begin(q.printer.get()); });
    if (m_status == Status::Ready && !m_queue->sent)
        m_status = Status::Failed;
}

void QtPrinter::beginNextPage()
{
    if (m_status != Status::Ready)
        return;
    const bool turned = m_file ? m_file->pdf.newPage() : m_queue->printer->newPage();
    if (!turned)
        m_status = Status::Failed;
}

bool QtPrinter::finishDocument()
{
    if (m_file) {
        if (!m_file->painter.isActive())
            return m_status == Status::Ready;
        const bool ended = m_file->painter.end();
        m_file->device.close();
        if (m_status == Status::Ready && !ended)
            m_status = Status::Failed;
        if (m_status != Status::Ready) {
            if (m_error.isEmpty())
                m_error = m_file->writer->error();
            m_file->writer->discard();
        } else if (m_fileSet) {
            // The set reports the file by name; the device stays without a writer from now on.
            if (!m_fileSet->add(std::move(m_file->writer))) {
                m_status = Status::Failed;
                m_error = m_fileSet->error();
            }
        } else if (const QString error = m_file->writer->commit(); !error.isEmpty()) {
            m_status = Status::Failed;
            m_error = error;
        }
        return m_status == Status::Ready;
    }
    if (m_status == Status::ServerSilent || !m_queue->painter.isActive())
        return m_status == Status::Ready;
    // Ending the painter hands the job to the print server, but Qt does not say whether the
    // server took it (a queue that rejects jobs, a server that went away). The print library
    // keeps the answer to its last request, which on that thread is the job's submission.
    askServer([](Queue &q) {
        q.painter.end();
        q.refusal = threadRefusal();
    });
    if (m_status == Status::ServerSilent)
        return false;
    {
        const QMutexLocker lock(&lastRefusal().mutex);
        lastRefusal().text = m_queue->refusal;
    }
    if (!m_queue->refusal.isEmpty())
        m_status = Status::Failed;
    return m_status == Status::Ready;
}

void QtPrinter::abortDocument()
{
    if (m_file) {
        if (m_file->painter.isActive())
            m_file->painter.end();
        m_file->device.close();
        if (m_file->writer)
            m_file->writer->discard();
        return;
    }
    if (m_status == Status::ServerSilent || !m_queue->painter.isActive())
        return;
    askServer([](Queue &q) {
        q.printer->abort();
        q.painter.end();
    });
}

void paintPrinterText(QPainter &painter, double x, double y, const QString &text, const PrinterFont &font)
{
    const QFont qfont = printerQFont(font);
    const double resolution = painter.device()->logicalDpiX();
    painter.setFont(qfont);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(qfont, painter.device());
    painter.drawText(QPointF(x * resolution, y * resolution + metrics.ascent()), text);
}

void paintPrinterOutline(QPainter &painter, const PrinterOutline &shape)
{
    if (shape.radiusX <= 0 || shape.radiusY <= 0)
        return;
    // A capsule of radius 1 in a space scaled so that the radii become 1, mapped back to the
    // page: the rounded ends and the sides keep the same distance from every cell's centre.
    const QPointF a(shape.x1 / shape.radiusX, shape.y1 / shape.radiusY);
    const QPointF b(shape.x2 / shape.radiusX, shape.y2 / shape.radiusY);
    const QLineF axis(a, b);
    QPainterPath capsule;
    capsule.addRoundedRect(QRectF(-1.0, -1.0, axis.length() + 2.0, 2.0), 1.0, 1.0);
    const double resolution = painter.device()->logicalDpiX();
    QTransform toPage;
    toPage.scale(resolution * shape.radiusX, resolution * shape.radiusY);
    toPage.translate(a.x(), a.y());
    toPage.rotate(-axis.angle());
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 0.75 / 72.0 * resolution));
    painter.drawPath(toPage.map(capsule));
    painter.restore();
}

QFont printerQFont(const PrinterFont &font)
{
    const QString key = font.name.trimmed().toLower();
    QStringList families{font.name};
    if (key == QLatin1String("arial") || key == QLatin1String("ms sans serif"))
        families << QStringLiteral("Liberation Sans") << QStringLiteral("DejaVu Sans");
    else if (key == QLatin1String("fixedsys"))
        families = {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")};
    else if (key == QLatin1String("courier new") || key == QLatin1String("courier"))
        families << QStringLiteral("Liberation Mono") << QStringLiteral("DejaVu Sans Mono");

    QFont result;
    result.setFamilies(families);
    result.setPointSizeF(font.size > 0 ? font.size : 10.0);
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    return result;
}

std::unique_ptr<Printer> openPrinter(QWidget *parent, const PdfFileCheck &acceptFile)
{
    if (printerFactory())
        return printerFactory()(parent);
    const std::optional<QStringList> names = QtPrinter::printerNames();
    // A server that does not answer is no reason to offer a file instead: the printer made here
    // fails its job, and the window says so.
    if (!names || !names->isEmpty())
        return std::make_unique<QtPrinter>();

    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString file = QDir(folder.isEmpty() ? QDir::homePath() : folder).filePath(QStringLiteral("Brivamo.pdf"));
    for (;;) {
        file = dialogs().SaveFileName(
            QCoreApplication::translate("Printer",
                                        "No printer is available, so save the printout as a PDF file"),
            file, QCoreApplication::translate("Printer", "PDF documents (*.pdf)"));
        if (file.isEmpty())
            return nullptr;
        if (!file.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
            file += QLatin1String(".pdf");
        if (!acceptFile || acceptFile(file))
            return std::make_unique<QtPrinter>(file);
    }
}

void setPrinterFactory(PrinterFactory factory)
{
    printerFactory() = std::move(factory);
}

namespace {

PrintChoiceAsker &printChoiceAsker()
{
    static PrintChoiceAsker asker;
    return asker;
}

} // namespace

PrintChoice askPrintChoice(QWidget *parent, int pageCount)
{
    if (printChoiceAsker())
        return printChoiceAsker()(parent, pageCount);
    const std::optional<QStringList> names = QtPrinter::printerNames();
    if (!names || names->isEmpty())
        return {};

    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, parent);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, qMax(1, pageCount));
    PrintChoice choice;
    if (dialog.exec() != QDialog::Accepted) {
        choice.cancelled = true;
        return choice;
    }
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        choice.file = printer.outputFileName();
    else
        choice.printer = printer.printerName();
    choice.copies = printer.copyCount();
    if (dialog.printRange() == QAbstractPrintDialog::PageRange) {
        choice.firstPage = dialog.fromPage();
        choice.lastPage = dialog.toPage();
    }
    return choice;
}

std::unique_ptr<Printer> openChosenPrinter(QWidget *parent, const PrintChoice &choice,
                                           const PdfFileCheck &acceptFile)
{
    if (printerFactory() || (choice.printer.isEmpty() && choice.file.isEmpty()))
        return openPrinter(parent, acceptFile);
    if (!choice.file.isEmpty()) {
        if (acceptFile && !acceptFile(choice.file))
            return nullptr;
        return std::make_unique<QtPrinter>(choice.file);
    }
    return std::make_unique<QtPrinter>(QtPrinter::SystemQueue{choice.printer, choice.copies});
}

void setPrintChoiceAsker(PrintChoiceAsker asker)
{
    printChoiceAsker() = std::move(asker);
}

PrintingBusyGuard::PrintingBusyGuard(QWidget *window) : m_window(window)
{
    if (!m_window)
        return;
    m_hadCursor = m_window->testAttribute(Qt::WA_SetCursor);
    m_cursor = m_window->cursor();
    m_window->setCursor(Qt::WaitCursor);
    m_window->setEnabled(false);
}

PrintingBusyGuard::~PrintingBusyGuard()
{
    if (!m_window)
        return;
    m_window->setEnabled(true);
    if (m_hadCursor)
        m_window->setCursor(m_cursor);
    else
        m_window->unsetCursor();
}

} // namespace brivamo
