#pragma once

#include "platform/link_opener.h"

namespace brivamo {

// Opens links through the desktop's launcher (xdg-open and friends).
class DesktopLinkOpener : public LinkOpener
{
public:
    bool open(const QString &link) override;
};

} // namespace brivamo
