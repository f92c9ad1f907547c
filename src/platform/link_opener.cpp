#include "platform/link_opener.h"

#include <QtGlobal>

namespace brivamo {

namespace {
LinkOpener *s_opener = nullptr;
}

LinkOpener &linkOpener()
{
    if (!s_opener)
        qFatal("brivamo::linkOpener(): no link opener is installed");
    return *s_opener;
}

LinkOpener *setLinkOpener(LinkOpener *opener)
{
    LinkOpener *previous = s_opener;
    s_opener = opener;
    return previous;
}

} // namespace brivamo
