#pragma once

#include "platform/printer.h"

#include <QString>

class QWidget;

namespace modStandard {

// What a window shows, with the caption PrintFailedCaption, when a printout failed.
inline const QString PrintFailedCaption = QStringLiteral("Error");
inline const QString PrintFailedText =
    QStringLiteral("The printout could not be produced.\r\nPlease check your printer and try again.");

// What a window shows when `printer` failed: PrintFailedText for a print queue; for a PDF file,
// the file and the system's reason, which the user can act on (a full disk, a folder gone).
QString PrintFailureText(const brivamo::Printer &printer);

// Prints `text` as a paginated document for `window` (see brivamo::printTextOn) in `font`, on
// the system printer or, where there is none, into a PDF file the user names. The window is
// disabled and shows the busy pointer while the pages are produced and is enabled again
// afterwards, however printing ends. Returns false only when the printer failed (the caller
// then shows `failure`, set to PrintFailureText); a user who cancels the PDF file dialog chose to
// print nothing, and
// an empty text prints nothing and asks nothing: both return true.
bool PrintText(QWidget *window, const QString &text, const QString &heading, bool underlineHeading,
               bool headingOnEveryPage, const brivamo::PrinterFont &font = brivamo::PrinterFont(),
               QString *failure = nullptr);

} // namespace modStandard
