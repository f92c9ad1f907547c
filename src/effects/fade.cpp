#include "effects/fade.h"

#include "base/settings.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace modFadeInOut {

bool FadeActive = false;

namespace {

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};

bool compositorOwnsSelection(xcb_connection_t *connection, int screen)
{
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    // Only an existing atom can have an owner; do not create it just to ask.
    const xcb_intern_atom_cookie_t atomCookie =
        xcb_intern_atom(connection, 1, quint16(name.size()), name.constData());
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> atom(
        xcb_intern_atom_reply(connection, atomCookie, nullptr));
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    const xcb_get_selection_owner_cookie_t ownerCookie = xcb_get_selection_owner(connection, atom->atom);
    std::unique_ptr<xcb_get_selection_owner_reply_t, FreeDeleter> owner(
        xcb_get_selection_owner_reply(connection, ownerCookie, nullptr));
    return owner && owner->owner != XCB_WINDOW_NONE;
}

} // namespace

int screenNumberOfDisplay(const QByteArray &display)
{
    const qsizetype colon = display.lastIndexOf(':');
    if (colon < 0)
        return 0;
    const qsizetype dot = display.indexOf('.', colon);
    if (dot < 0)
        return 0;
    bool ok = false;
    const int screen = display.mid(dot + 1).toInt(&ok);
    return ok && screen >= 0 ? screen : 0;
}

bool translucencySupported()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return false;
    return compositorOwnsSelection(x11->connection(), screenNumberOfDisplay(qgetenv("DISPLAY")));
}

bool PrepareFade(QWidget *window, quint8 alpha, bool force)
{
    if (!force && !basBrivamo::readFadeStatus())
        return false;
    if (!window || !translucencySupported())
        return false;
    window->setWindowOpacity(alpha / 255.0);
    return true;
}

} // namespace modFadeInOut
