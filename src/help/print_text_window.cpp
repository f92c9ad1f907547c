#include "help/print_text_window.h"

#include "base/window_routines.h"
#include "help/print_text.h"
#include "platform/printer_qt.h"

namespace modStandard {

bool PrintText(QWidget *window, const QString &text, const QString &heading, bool underlineHeading,
               bool headingOnEveryPage, const brivamo::PrinterFont &font)
{
    if (text.isEmpty())
        return true;
    // Ask for a PDF file (if need be) before the window is disabled: the dialog is its child.
    const std::unique_ptr<brivamo::Printer> printer = brivamo::openPrinter(window, AcceptPdfFileName);
    if (!printer)
        return true; // the user chose not to save the printout
    const brivamo::PrintingBusyGuard busy(window);
    printer->setFont(font);
    return brivamo::printTextOn(*printer, text, heading, underlineHeading, headingOnEveryPage);
}

} // namespace modStandard
