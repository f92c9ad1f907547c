#include "base/fade_request.h"

#include "base/shared_routines.h"

namespace brivamo {

void FadeRequest::begin(quint8 start, quint8 end, quint8 stepSize, bool unload)
{
    firstTick = true;
    startAlpha = start;
    endAlpha = end;
    step = stepSize;
    unloadWhenDone = unload;
}

bool FadeRequest::advance()
{
    if (firstTick) {
        firstTick = false;
        currentAlpha = startAlpha;
    }
    if (step == 0)
        currentAlpha = endAlpha;
    else if (startAlpha < endAlpha)
        currentAlpha = qint16(modStandard::MinOf(endAlpha, currentAlpha + step));
    else
        currentAlpha = qint16(modStandard::MaxOf(endAlpha, currentAlpha - step));
    return currentAlpha == endAlpha;
}

} // namespace brivamo
