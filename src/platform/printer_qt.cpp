#include "platform/printer_qt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QWidget>

#include <cups/cups.h>

namespace brivamo {

namespace {

PrinterFactory &printerFactory()
{
    static PrinterFactory factory;
    return factory;
}

} // namespace

QtPrinter::QtPrinter() : QtPrinter(SystemQueue{}) {}

QtPrinter::QtPrinter(const SystemQueue &queue)
{
    // Without any printer QPrinter quietly turns into a PDF writer with no file name, and
    // printing would then fail without a word, so decide here.
    QPrinterInfo chosen;
    if (!queue.name.isEmpty())
        chosen = QPrinterInfo::printerInfo(queue.name);
    else if (systemPrinterAvailable())
        chosen = QPrinterInfo::defaultPrinter().isNull()
                     ? QPrinterInfo::printerInfo(QPrinterInfo::availablePrinterNames().first())
                     : QPrinterInfo::defaultPrinter();
    m_printer.setDocName(QStringLiteral("Brivamo"));
    if (chosen.isNull()) {
        m_status = Status::NoPrinter;
        return;
    }
    m_printer.setPrinterName(chosen.printerName());
    // The queue's own paper and printable area. Qt would keep the page size of the printer it
    // started with (where this one supports it) and margins of at least 10 points, so both are
    // taken from the queue; positions then count from the printable area's top-left corner.
    m_printer.setFullPage(false);
    m_printer.setPageOrientation(QPageLayout::Portrait);
    m_printer.setPageSize(chosen.defaultPageSize());
    const QPageLayout layout = m_printer.pageLayout();
    m_printer.setPageMargins(layout.minimumMargins(), layout.units());
}

QtPrinter::QtPrinter(const QString &pdfFile)
{
    m_printer.setOutputFormat(QPrinter::PdfFormat);
    m_printer.setOutputFileName(pdfFile);
    m_printer.setDocName(QStringLiteral("Brivamo"));
    // A file has no hardware margins: full page and US Letter, so inches times the resolution
    // land exactly on the paper.
    m_printer.setFullPage(true);
    m_printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(), QPageLayout::Inch));
}

QtPrinter::~QtPrinter()
{
    if (m_painter.isActive())
        m_painter.end();
}

bool QtPrinter::systemPrinterAvailable()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void QtPrinter::drawText(double x, double y, const QString &text, const PrinterFont &font)
{
    if (!m_painter.isActive())
        return;
    const QFont qfont = printerQFont(font);
    const double resolution = m_printer.resolution();
    m_painter.setFont(qfont);
    m_painter.setPen(Qt::black);
    const QFontMetricsF metrics(qfont, &m_printer);
    m_painter.drawText(QPointF(x * resolution, y * resolution + metrics.ascent()), text);
}

double QtPrinter::measureWidth(const QString &text, const PrinterFont &font) const
{
    // The device is only read here; QFontMetricsF needs it for its resolution.
    auto *device = const_cast<QPrinter *>(&m_printer);
    return QFontMetricsF(printerQFont(font), device).horizontalAdvance(text) / m_printer.resolution();
}

double QtPrinter::lineHeight(const PrinterFont &font) const
{
    auto *device = const_cast<QPrinter *>(&m_printer);
    return QFontMetricsF(printerQFont(font), device).lineSpacing() / m_printer.resolution();
}

void QtPrinter::beginDocument()
{
    if (m_status != Status::Ready)
        return;
    if (!m_painter.begin(&m_printer))
        m_status = Status::Failed;
}

void QtPrinter::beginNextPage()
{
    if (m_painter.isActive() && !m_printer.newPage())
        m_status = Status::Failed;
}

bool QtPrinter::finishDocument()
{
    if (m_painter.isActive()) {
        m_painter.end();
        // Ending the painter hands the job to the print server, but Qt does not say whether the
        // server took it (a queue that rejects jobs, a server that went away). The print library
        // keeps the answer to its last request, which on this thread is that job's submission.
        if (m_printer.outputFormat() == QPrinter::NativeFormat && !printServerRefusal().isEmpty())
            m_status = Status::Failed;
    }
    return m_status == Status::Ready;
}

QString QtPrinter::printServerRefusal()
{
    if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE)
        return {};
    return QString::fromUtf8(cupsLastErrorString());
}

void QtPrinter::abortDocument()
{
    if (m_painter.isActive()) {
        m_printer.abort();
        m_painter.end();
    }
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

std::unique_ptr<Printer> openPrinter(QWidget *parent)
{
    if (printerFactory())
        return printerFactory()(parent);
    if (QtPrinter::systemPrinterAvailable())
        return std::make_unique<QtPrinter>();

    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString file = QFileDialog::getSaveFileName(
        parent,
        QCoreApplication::translate("Printer", "No printer is available, so save the printout as a PDF file"),
        QDir(folder.isEmpty() ? QDir::homePath() : folder).filePath(QStringLiteral("Brivamo.pdf")),
        QCoreApplication::translate("Printer", "PDF documents (*.pdf)"));
    if (file.isEmpty())
        return nullptr;
    if (!file.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        file += QLatin1String(".pdf");
    return std::make_unique<QtPrinter>(file);
}

void setPrinterFactory(PrinterFactory factory)
{
    printerFactory() = std::move(factory);
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
