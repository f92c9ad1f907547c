// Logs every change of a top-level window's _NET_WM_WINDOW_OPACITY on the X display, with the X
// server's time of the change, one line each: "<window> <server time ms> <value or none>".
// It watches windows as they are created, so even a fade that starts right after a window
// appears is seen from its first step. Runs until the display closes or it is killed.
//
// Usage: opacity_watch   (uses $DISPLAY; prints "ready" once it is watching)

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

void watchWindow(xcb_connection_t *connection, xcb_window_t window)
{
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
}

} // namespace

int main()
{
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "opacity_watch: cannot open the display\n");
        return 2;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const xcb_atom_t opacity = internAtom(connection, "_NET_WM_WINDOW_OPACITY");

    const uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &rootMask);
    if (xcb_query_tree_reply_t *tree =
            xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr)) {
        const xcb_window_t *children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i)
            watchWindow(connection, children[i]);
        std::free(tree);
    }
    std::printf("ready\n");
    std::fflush(stdout);

    while (xcb_generic_event_t *event = xcb_wait_for_event(connection)) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            watchWindow(connection, reinterpret_cast<xcb_create_notify_event_t *>(event)->window);
        } else if (type == XCB_PROPERTY_NOTIFY) {
            auto *change = reinterpret_cast<xcb_property_notify_event_t *>(event);
            if (change->atom == opacity) {
                xcb_get_property_reply_t *value = xcb_get_property_reply(
                    connection,
                    xcb_get_property(connection, 0, change->window, opacity, XCB_ATOM_CARDINAL, 0, 1),
                    nullptr);
                if (value && xcb_get_property_value_length(value) == 4)
                    std::printf("0x%x %u %u\n", change->window, change->time,
                                *static_cast<uint32_t *>(xcb_get_property_value(value)));
                else
                    std::printf("0x%x %u none\n", change->window, change->time);
                std::fflush(stdout);
                std::free(value);
            }
        }
        std::free(event);
    }
    xcb_disconnect(connection);
    return 0;
}
