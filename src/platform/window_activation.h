#pragma once

class QWidget;

namespace brivamo {

// Brings a top-level window to the front as far as the platform lets a program: un-minimized,
// raised and given the keyboard. Under X11 the request goes to the window manager as a
// _NET_ACTIVE_WINDOW message on the user's behalf (the user started the program again), which
// window managers honour even for a program that is not in front. Under native Wayland the
// compositor decides, and a program cannot take the front by itself.
void bringWindowForward(QWidget *window);

} // namespace brivamo
