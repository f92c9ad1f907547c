#include "platform/instance_channel.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace brivamo {

namespace {

const QByteArray ShowRequest = QByteArrayLiteral("show\n");
const QByteArray ShownAnswer = QByteArrayLiteral("shown\n");

// Longest request a client may send before it is dropped.
constexpr qint64 MaxRequest = 64;

// A client that holds its connection without asking is dropped, and only so many are held at once:
// idle connections must never use up the descriptors, or the server stops listening for good.
constexpr std::chrono::milliseconds RequestTime{1000};
constexpr int MaxClients = 16;

// How often the server checks that it still listens and that its socket file is still there.
constexpr std::chrono::milliseconds WatchInterval{1500};

} // namespace

InstanceChannelServer::InstanceChannelServer(std::function<void()> onShowRequest, QObject *parent)
    : QObject(parent), m_onShowRequest(std::move(onShowRequest)), m_server(new QLocalServer(this)),
      m_watch(new QTimer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannelServer::accept);
    m_watch->setInterval(WatchInterval);
    connect(m_watch, &QTimer::timeout, this, &InstanceChannelServer::listenAgainIfLost);
}

InstanceChannelServer::~InstanceChannelServer() = default;

bool InstanceChannelServer::listen(const QString &path)
{
    m_path = path;
    m_server->close();
    QLocalServer::removeServer(path);
    m_watch->start();
    return m_server->listen(path);
}

// QLocalServer stops listening, and removes its socket file, when it cannot accept a connection;
// the file may also be removed by someone else.
void InstanceChannelServer::listenAgainIfLost()
{
    if (!m_server->isListening() || !QFileInfo::exists(m_path))
        listen(m_path);
}

void InstanceChannelServer::accept()
{
    while (QLocalSocket *client = m_server->nextPendingConnection()) {
        if (m_clients >= MaxClients) {
            client->abort();
            client->deleteLater();
            continue;
        }
        ++m_clients;
        connect(client, &QObject::destroyed, this, [this] { --m_clients; });
        // Stopped once the request is in, so that an answer that took long is still sent whole.
        auto *limit = new QTimer(client);
        limit->setSingleShot(true);
        connect(limit, &QTimer::timeout, client, [client] {
            client->abort();
            client->deleteLater();
        });
        limit->start(RequestTime);
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        connect(client, &QLocalSocket::readyRead, this, [this, client, limit] {
            if (!client->canReadLine()) {
                if (client->bytesAvailable() > MaxRequest)
                    client->abort();
                return;
            }
            limit->stop();
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
