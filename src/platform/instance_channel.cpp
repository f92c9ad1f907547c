#include "platform/instance_channel.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace brivamo {

namespace {

const QByteArray ShowRequest = QByteArrayLiteral("show\n");
const QByteArray ShownAnswer = QByteArrayLiteral("shown\n");

// Longest request a client may send before it is dropped.
constexpr qint64 MaxRequest = 64;

} // namespace

InstanceChannelServer::InstanceChannelServer(std::function<void()> onShowRequest, QObject *parent)
    : QObject(parent), m_onShowRequest(std::move(onShowRequest)), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannelServer::accept);
}

InstanceChannelServer::~InstanceChannelServer() = default;

bool InstanceChannelServer::listen(const QString &path)
{
    QLocalServer::removeServer(path);
    return m_server->listen(path);
}

void InstanceChannelServer::accept()
{
    while (QLocalSocket *client = m_server->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        connect(client, &QLocalSocket::readyRead, this, [this, client] {
            if (!client->canReadLine()) {
                if (client->bytesAvailable() > MaxRequest)
                    client->abort();
                return;
            }
            const QByteArray request = client->readLine(MaxRequest);
            if (request == ShowRequest) {
                if (m_onShowRequest)
                    m_onShowRequest();
                client->write(ShownAnswer);
            }
            client->disconnectFromServer();
        });
    }
}

bool askRunningCopyToShow(const QString &path, std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline(limit);
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    socket.write(ShowRequest);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return socket.readLine(MaxRequest) == ShownAnswer;
}

QString instanceChannelPath(const QString &lockPath)
{
    const QFileInfo lock(lockPath);
    return lock.dir().filePath(lock.completeBaseName() + QStringLiteral(".socket"));
}

} // namespace brivamo
