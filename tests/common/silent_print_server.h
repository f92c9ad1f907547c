#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// A print server socket that takes connections and never answers, as a stopped server does: the
// kernel accepts them into the queue, and nobody reads. Point CUPS_SERVER at path().
class SilentPrintServer
{
public:
    SilentPrintServer() : m_path(QFile::encodeName(m_folder.filePath(QStringLiteral("cups.sock"))))
    {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, m_path.constData(), size_t(m_path.size()));
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
            ::listen(m_fd, 64) != 0)
            close();
    }
    ~SilentPrintServer() { close(); }
    SilentPrintServer(const SilentPrintServer &) = delete;
    SilentPrintServer &operator=(const SilentPrintServer &) = delete;

    bool listening() const { return m_fd >= 0; }
    QByteArray path() const { return m_path; }
    // Gone: whoever waits on it hears so.
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    QTemporaryDir m_folder;
    QByteArray m_path;
    int m_fd = -1;
};
