#include "lobby/lobby_effects.h"

#include "platform/dialogs.h"
#include "shell/mod_standard_core.h"
#include "shell/settings.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QPalette>
#include <QPixmap>
#include <QUrl>
#include <QWidget>

#include <xcb/xcb.h>

namespace brivamo::lobbyfx {

bool FadeActive = false;

namespace {

// Opacity is visible only on X11 while a compositing manager owns the screen's selection.
bool translucencySupported()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return false;
    xcb_connection_t *connection = x11->connection();
    const QByteArray name = QByteArrayLiteral("_NET_WM_CM_S0");
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, quint16(name.size()), name.constData()), nullptr);
    if (!atom)
        return false;
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
    const bool owned = owner && owner->owner != XCB_NONE;
    free(owner);
    free(atom);
    return owned;
}

} // namespace

bool PrepareFade(QWidget *window, quint8 alpha, bool force)
{
    if (!force && !basBrivamo::readFadeStatus())
        return false;
    if (!translucencySupported())
        return false;
    window->setWindowOpacity(alpha / 255.0);
    return true;
}

void TileBackground(const QString &picture, QWidget *surface)
{
    const QPixmap tile(picture);
    if (tile.isNull())
        return;
    QPalette palette = surface->palette();
    palette.setBrush(QPalette::Window, QBrush(tile));
    surface->setPalette(palette);
    surface->setAutoFillBackground(true);
}

void OpenLink(int kind, QWidget *, const QString &target)
{
    const QString link = modStandard::linkFor(kind, target);
    if (link.isEmpty() || !QDesktopServices::openUrl(QUrl(link, QUrl::TolerantMode)))
        dialogs().MsgBox(QStringLiteral("Could not establish an internet connection!"), MsgButtons::OkOnly,
                         MsgIcon::Critical, QStringLiteral("Error"));
}

} // namespace brivamo::lobbyfx
