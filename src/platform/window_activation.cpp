#include "platform/window_activation.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace brivamo {

namespace {

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};

// Asks the window manager to activate `window` (un-minimizing and raising it as it does so).
void requestActivationFromWindowManager(xcb_connection_t *connection, xcb_window_t window)
{
    static constexpr char Name[] = "_NET_ACTIVE_WINDOW";
    const xcb_intern_atom_cookie_t atomCookie = xcb_intern_atom(connection, 0, sizeof Name - 1, Name);
    const xcb_get_geometry_cookie_t geometryCookie = xcb_get_geometry(connection, window);
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> atom(
        xcb_intern_atom_reply(connection, atomCookie, nullptr));
    std::unique_ptr<xcb_get_geometry_reply_t, FreeDeleter> geometry(
        xcb_get_geometry_reply(connection, geometryCookie, nullptr));
    if (!atom || !geometry)
        return;

    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom->atom;
    message.data.data32[0] = 2; // source: on the user's behalf, as a task bar asks
    message.data.data32[1] = XCB_CURRENT_TIME;
    message.data.data32[2] = XCB_NONE;
    xcb_send_event(connection, 0, geometry->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
}

} // namespace

void bringWindowForward(QWidget *window)
{
    if (!window)
        return;
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();

    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) {
        window->raise();
        window->activateWindow();
        if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
            x11 && x11->connection())
            requestActivationFromWindowManager(x11->connection(), xcb_window_t(window->winId()));
    } else if (platform != QLatin1String("wayland") && platform != QLatin1String("offscreen") &&
               platform != QLatin1String("minimal")) {
        // Elsewhere Qt's own request is all there is. (Wayland compositors without an activation
        // protocol only warn about it; the headless platforms have no stacking.)
        window->raise();
        window->activateWindow();
    }
}

} // namespace brivamo
