#pragma once

#include "platform/printer.h"

#include <QString>

class QWidget;

namespace modStandard {

// Prints `text` as a paginated document for `window` (see brivamo::printTextOn) in `font`, on
// the system printer or, where there is none, into a PDF file the user names. The window is
// disabled and shows the busy pointer while the pages are produced and is enabled again
// afterwards, however printing ends. Returns false when nothing was sent: the user cancelled
// the PDF file dialog or the printer failed. An empty text prints nothing and asks nothing.
bool PrintText(QWidget *window, const QString &text, const QString &heading, bool underlineHeading,
               bool headingOnEveryPage, const brivamo::PrinterFont &font = brivamo::PrinterFont());

} // namespace modStandard
