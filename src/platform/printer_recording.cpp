#include "platform/printer_recording.h"

namespace brivamo {

QList<RecordingPrinter::Operation> RecordingPrinter::texts() const
{
    QList<Operation> result;
    for (const Operation &op : m_operations)
        if (op.kind == Operation::Text)
            result.append(op);
    return result;
}

void RecordingPrinter::clear()
{
    m_operations.clear();
    m_jobs = 0;
}

void RecordingPrinter::drawText(double x, double y, const QString &text, const PrinterFont &font)
{
    m_operations.append({Operation::Text, page(), x, y, text, font, {}});
}

void RecordingPrinter::drawOutline(const PrinterOutline &shape)
{
    m_operations.append({Operation::Outline, page(), shape.x1, shape.y1, QString(), font(), shape});
}

double RecordingPrinter::measureWidth(const QString &text, const PrinterFont &font) const
{
    return double(text.size()) * font.size * CharWidthPerPoint;
}

double RecordingPrinter::lineHeight(const PrinterFont &font) const
{
    return font.size * LineHeightPerPoint;
}

void RecordingPrinter::beginNextPage()
{
    record(Operation::NewPage);
}

bool RecordingPrinter::finishDocument()
{
    record(Operation::EndDoc);
    ++m_jobs;
    return true;
}

void RecordingPrinter::abortDocument()
{
    record(Operation::KillDoc);
}

void RecordingPrinter::record(Operation::Kind kind)
{
    m_operations.append({kind, page(), currentX(), currentY(), QString(), font(), {}});
}

} // namespace brivamo
