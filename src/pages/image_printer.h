#pragma once

#include "platform/printer.h"
#include "platform/safe_file.h"

#include <QByteArray>
#include <QList>
#include <QPainter>

#include <functional>
#include <memory>

class QBuffer;
class QImage;
class QSvgGenerator;

namespace brivamo {

// A printer that writes each page as an image file of its own, as the page looks on paper: PNG at
// 300 dots per inch or SVG. Each page goes to a temporary file beside its target as soon as it is
// laid out; all of them take their names together once the whole document is (or, with a file set
// of the caller's, once the caller commits it), so a failure changes none of the targets.
class ImagePrinter : public Printer
{
public:
    enum class Format { Png, Svg };
    static constexpr int PngResolution = 300;

    // `fileOf` names the file of each page (1-based).
    ImagePrinter(Format format, Paper paper, std::function<QByteArray(int page)> fileOf);
    ~ImagePrinter() override;

    double printableWidth() const override { return m_widthInches; }
    double printableHeight() const override { return m_heightInches; }
    bool failed() const override { return !m_error.isEmpty(); }
    // Why the files could not be written, in one sentence; empty while all is well.
    QString errorString() const { return m_error; }
    // The pages join `set`, which the caller commits, instead of a set of the printer's own.
    void setFileSet(SafeFileSet *set) { m_set = set; }

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
    void startPage();
    void endPage();
    QPaintDevice *measuringDevice() const;

    Format m_format;
    std::function<QByteArray(int)> m_fileOf;
    double m_widthInches = 8.5;
    double m_heightInches = 11.0;
    std::unique_ptr<QImage> m_image;
    std::unique_ptr<QBuffer> m_svgBytes;
    std::unique_ptr<QSvgGenerator> m_svg;
    QPainter m_painter;
    SafeFileSet m_ownSet;
    SafeFileSet *m_set = &m_ownSet;
    int m_pagesEnded = 0;
    QString m_error;
};

} // namespace brivamo
