#pragma once

#include "platform/printer.h"

#include <QList>

namespace brivamo {

// A printer that only remembers what it was asked to do, for checking page layouts.
//
// Its text metrics are fixed so that layouts are exact and independent of installed fonts:
// every character (a space too) is 0.6 of the point size wide, and a line is 1.2 times the
// point size high. At 10 points a character is 1/12 inch and a line 1/6 inch.
class RecordingPrinter : public Printer
{
public:
    struct Operation
    {
        enum Kind { Text, Outline, NewPage, EndDoc, KillDoc };
        Kind kind = Text;
        int page = 0; // page of the document the operation happened on (1-based)
        double x = 0.0;
        double y = 0.0;
        QString text;
        PrinterFont font;
        PrinterOutline outline; // of an Outline
    };

    static constexpr double CharWidthPerPoint = 0.6 / 72.0;
    static constexpr double LineHeightPerPoint = 1.2 / 72.0;

    // A US Letter sheet, all of it printable.
    double printableWidth() const override { return 8.5; }
    double printableHeight() const override { return 11.0; }

    const QList<Operation> &operations() const { return m_operations; }
    // Only the text operations, in order.
    QList<Operation> texts() const;
    // Documents sent by endDoc (empty documents do not count).
    int jobs() const { return m_jobs; }
    void clear();

protected:
    void drawText(double x, double y, const QString &text, const PrinterFont &font) override;
    void drawOutline(const PrinterOutline &shape) override;
    double measureWidth(const QString &text, const PrinterFont &font) const override;
    double lineHeight(const PrinterFont &font) const override;
    void beginDocument() override {}
    void beginNextPage() override;
    bool finishDocument() override;
    void abortDocument() override;

private:
    void record(Operation::Kind kind);

    QList<Operation> m_operations;
    int m_jobs = 0;
};

} // namespace brivamo
