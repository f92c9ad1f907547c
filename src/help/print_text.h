#pragma once

#include "platform/printer.h"

#include <QString>

namespace brivamo {

// Page geometry of printed text, in inches from the printable origin (Letter paper).
namespace PrintTextLayout {
constexpr double LeftMargin = 1.0;
constexpr double TopMargin = 1.0;
constexpr double TextTopBelowHeading = 1.5;
constexpr double SoftBreakX = 6.5;  // past this, a line breaks after the next space
constexpr double HardBreakX = 8.0;  // past this, a line breaks after any character
constexpr double PageBottomY = 8.8; // past this, a new page starts
constexpr double PageNumberX = 6.0;
constexpr double PageNumberY = 9.2;
} // namespace PrintTextLayout

// Prints `text` (lines joined with CR LF; a lone CR or LF also ends a line) in the printer's
// current font as one document: the heading at the top of the first page (or of every page),
// the text word-wrapped between the margins, "(page N)" at the foot of every page after the
// first. Ends the document and returns whether the job was sent. An empty text prints nothing
// and sends no job; text left after a page break that holds nothing visible starts no page.
bool printTextOn(Printer &printer, const QString &text, const QString &heading, bool underlineHeading,
                 bool headingOnEveryPage);

} // namespace brivamo
