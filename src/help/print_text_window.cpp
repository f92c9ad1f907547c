#include "help/print_text_window.h"

#include "base/window_routines.h"
#include "help/print_text.h"
#include "platform/printer_qt.h"

namespace modStandard {

QString PrintFailureText(const brivamo::Printer &printer)
{
    const auto *real = dynamic_cast<const brivamo::QtPrinter *>(&printer);
    if (!real || !real->writesFile() || real->errorString().isEmpty())
        return PrintFailedText;
    QString reason = real->errorString();
    if (reason.endsWith(u'.'))
        reason.chop(1);
    return QStringLiteral("The printout could not be saved in the file\r\n%1\r\n(%2).")
        .arg(real->fileName(), reason);
}

bool PrintText(QWidget *window, const QString &text, const QString &heading, bool underlineHeading,
               bool headingOnEveryPage, const brivamo::PrinterFont &font, QString *failure)
{
    if (text.isEmpty())
        return true;
    // Ask for a PDF file (if need be) before the window is disabled: the dialog is its child.
    const std::unique_ptr<brivamo::Printer> printer = brivamo::openPrinter(window, AcceptPdfFileName);
    if (!printer)
        return true; // the user chose not to save the printout
    const brivamo::PrintingBusyGuard busy(window);
    printer->setFont(font);
    const bool printed = brivamo::printTextOn(*printer, text, heading, underlineHeading, headingOnEveryPage);
    if (!printed && failure)
        *failure = PrintFailureText(*printer);
    return printed;
}

} // namespace modStandard
