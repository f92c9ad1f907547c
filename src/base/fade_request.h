#pragma once

#include <QtGlobal>

namespace brivamo {

// One window's fade in progress: from start alpha to end alpha by step per timer tick.
struct FadeRequest
{
    bool firstTick = false;
    quint8 startAlpha = 0;
    quint8 endAlpha = 0;
    quint8 step = 0;
    bool unloadWhenDone = false;
    // Survives between ticks; set to the start alpha on the first tick of each fade.
    qint16 currentAlpha = 0;

    // Fills the request; the next tick starts from `start`.
    void begin(quint8 start, quint8 end, quint8 stepSize, bool unload);

    // Advances one tick and returns true when the end alpha has been reached. The first visible
    // value is start plus or minus step; the last lands exactly on the end. Equal start and end
    // finish on the first tick; a step of 0 jumps straight to the end rather than never arriving.
    bool advance();
};

} // namespace brivamo
