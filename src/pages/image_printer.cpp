#include "pages/image_printer.h"

#include "platform/printer_qt.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPageSize>
#include <QSvgGenerator>

namespace brivamo {

ImagePrinter::ImagePrinter(Format format, Paper paper, std::function<QByteArray(int)> fileOf)
    : m_format(format), m_fileOf(std::move(fileOf))
{
    const QSizeF size = QPageSize(ChosenPaper(paper) == Paper::Letter ? QPageSize::Letter : QPageSize::A4)
                            .size(QPageSize::Inch);
    m_widthInches = size.width();
    m_heightInches = size.height();
}

ImagePrinter::~ImagePrinter()
{
    if (m_painter.isActive())
        m_painter.end();
}

QPaintDevice *ImagePrinter::measuringDevice() const
{
    if (m_painter.isActive())
        return m_painter.device();
    // Before the first page: a small image at the same resolution measures the same.
    static QImage probe = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(PngResolution / 0.0254));
        image.setDotsPerMeterY(qRound(PngResolution / 0.0254));
        return image;
    }();
    return &probe;
}

void ImagePrinter::startPage()
{
    const int width = qRound(m_widthInches * PngResolution);
    const int height = qRound(m_heightInches * PngResolution);
    if (m_format == Format::Png) {
        m_image = std::make_unique<QImage>(width, height, QImage::Format_RGB32);
        m_image->setDotsPerMeterX(qRound(PngResolution / 0.0254));
        m_image->setDotsPerMeterY(qRound(PngResolution / 0.0254));
        m_image->fill(Qt::white);
        m_painter.begin(m_image.get());
    } else {
        m_svgBytes = std::make_unique<QBuffer>();
        m_svg = std::make_unique<QSvgGenerator>();
        m_svg->setOutputDevice(m_svgBytes.get());
        m_svg->setResolution(PngResolution);
        m_svg->setSize(QSize(width, height));
        m_svg->setViewBox(QRect(0, 0, width, height));
        m_svg->setTitle(QStringLiteral("Brivamo"));
        m_painter.begin(m_svg.get());
        m_painter.fillRect(QRect(0, 0, width, height), Qt::white);
    }
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.setRenderHint(QPainter::TextAntialiasing);
}

void ImagePrinter::endPage()
{
    if (!m_painter.isActive())
        return;
    m_painter.end();
    QByteArray bytes;
    if (m_format == Format::Png) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!m_image->save(&buffer, "PNG") && m_error.isEmpty())
            m_error = QStringLiteral("The image could not be made.");
        m_image.reset();
    } else {
        bytes = m_svgBytes->data();
        m_svg.reset();
        m_svgBytes.reset();
    }
    const QByteArray file = m_fileOf(++m_pagesEnded);
    if (m_error.isEmpty() && !m_set->add(file, bytes))
        m_error = m_set->error();
}

void ImagePrinter::drawText(double x, double y, const QString &text, const PrinterFont &font)
{
    if (m_painter.isActive())
        paintPrinterText(m_painter, x, y, text, font);
}

void ImagePrinter::drawOutline(const PrinterOutline &shape)
{
    if (m_painter.isActive())
        paintPrinterOutline(m_painter, shape);
}

double ImagePrinter::measureWidth(const QString &text, const PrinterFont &font) const
{
    QPaintDevice *device = measuringDevice();
    return QFontMetricsF(printerQFont(font), device).horizontalAdvance(text) / device->logicalDpiX();
}

double ImagePrinter::lineHeight(const PrinterFont &font) const
{
    QPaintDevice *device = measuringDevice();
    return QFontMetricsF(printerQFont(font), device).lineSpacing() / device->logicalDpiY();
}

void ImagePrinter::beginDocument()
{
    m_pagesEnded = 0;
    startPage();
}

void ImagePrinter::beginNextPage()
{
    endPage();
    startPage();
}

bool ImagePrinter::finishDocument()
{
    endPage();
    if (m_error.isEmpty() && m_set == &m_ownSet)
        m_error = m_ownSet.commit();
    return m_error.isEmpty();
}

void ImagePrinter::abortDocument()
{
    if (m_painter.isActive())
        m_painter.end();
    m_set->discard();
}

} // namespace brivamo
