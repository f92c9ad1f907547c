#pragma once

#include "base/shared_routines.h"

#include <QPixmap>

class QWidget;

namespace modStandard {

// Paints `image` repeatedly over the whole of `surface` (a window or a container such as a picture
// strip), starting at (0, 0) (see tileOrigins). The tiling is kept with the surface and drawn
// under its controls whenever it repaints, also after a resize; calling it again replaces the
// picture. A null image removes the tiling.
void TileBackground(const QPixmap &image, QWidget *surface);
// The same for a picture file or resource; where "<name>@2x.<ext>" of twice its size lies beside
// it, surfaces on scaled screens are tiled with that sharper copy.
void TileBackground(const QString &picture, QWidget *surface);

// Opens an e-mail message (kind 1) or a web page (kind 2) for `target`, or for the maker's own
// address when `target` is empty, with the user's default program. When that fails, says
// "Could not establish an internet connection!"; the calling window stays as it was. `owner` is the
// window asking.
void OpenLink(int kind, QWidget *owner, const QString &target = QString());

// The message OpenLink shows when a link cannot be opened.
inline const QString LinkFailedCaption = QStringLiteral("Error");
inline const QString LinkFailedText = QStringLiteral("Could not establish an internet connection!");

// Whether a PDF printout may be saved as `file`: not when that name leads to a word list file
// (through links, or as another name of the same file), which saving would replace. Says why in
// an error box before answering no, so the save dialog can ask again.
bool AcceptPdfFileName(const QString &file);

} // namespace modStandard
