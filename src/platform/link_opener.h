#pragma once

#include <QString>

namespace brivamo {

// Hands a "mailto:" or web link to the user's default program.
class LinkOpener
{
public:
    virtual ~LinkOpener() = default;
    // Returns false when the link could not be handed over.
    virtual bool open(const QString &link) = 0;
};

// The process-wide link opener. The program installs the desktop one at start-up; tests install a
// fake. Opening a link with none installed is a programming error and aborts with a message (a test
// must never start a real browser).
LinkOpener &linkOpener();

// Installs `opener` (not owned; nullptr uninstalls) and returns the previous one.
LinkOpener *setLinkOpener(LinkOpener *opener);

} // namespace brivamo
