#pragma once

#include <QtGlobal>

class QWidget;

// Window fading. Each window's own fade (StartFade, timerFadeInOut, FadeRequest) lives in
// brivamo::Form; this module prepares windows and knows whether fading can be seen at all.
namespace modFadeInOut {

// True when windows fade in this run. Every window's load sets it from its PrepareFade call; the
// lobby may clear it and its fade button inverts it.
extern bool FadeActive;

// Makes `window` capable of opacity and gives it `alpha` (0 invisible to 255 opaque). Returns true
// when fading can and should be used. Without `force` the "FadeStatus" setting is read first, and
// when it is off the window is left untouched. Where the system cannot show translucent windows
// nothing is changed and the result is false.
bool PrepareFade(QWidget *window, quint8 alpha, bool force);

// Whether a window's opacity is visible on this display: only on X11 while a compositing manager
// owns the _NET_WM_CM_S<screen> selection. Headless platforms (offscreen, minimal) have none.
bool translucencySupported();

// The screen number in an X11 display name (":0.1" is 1, ":0" and "host:10" are 0).
int screenNumberOfDisplay(const QByteArray &display);

} // namespace modFadeInOut
