#pragma once

#include "platform/link_opener.h"

#include <QStringList>

namespace brivamo {

// Records the links a test's windows open instead of starting a mail program or a browser;
// installed for its lifetime. `succeed` = false makes every open fail, as a desktop without a
// handler would.
class RecordingLinkOpener : public LinkOpener
{
public:
    RecordingLinkOpener() : m_previous(setLinkOpener(this)) {}
    ~RecordingLinkOpener() override { setLinkOpener(m_previous); }
    RecordingLinkOpener(const RecordingLinkOpener &) = delete;
    RecordingLinkOpener &operator=(const RecordingLinkOpener &) = delete;

    bool open(const QString &link) override
    {
        links.append(link);
        return succeed;
    }

    QStringList links;
    bool succeed = true;

private:
    LinkOpener *m_previous;
};

} // namespace brivamo
