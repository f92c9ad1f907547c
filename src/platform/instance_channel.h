#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

class QLocalServer;
class QTimer;

namespace brivamo {

// How a second start reaches the copy that is already running: a local socket beside the instance
// lock, which only the user can reach. The second copy asks the first to show its front window and
// waits a short while for the answer.
class InstanceChannelServer : public QObject
{
    Q_OBJECT
public:
    // `onShowRequest` runs on the window thread for every request; the answer is sent after it.
    explicit InstanceChannelServer(std::function<void()> onShowRequest, QObject *parent = nullptr);
    ~InstanceChannelServer() override;

    // Listens at `path`, taking over a socket file that a killed copy left behind (only the copy
    // that holds the instance lock listens). False when it cannot. From then on it listens there
    // again within a few seconds whenever the socket file goes or the listening stops.
    bool listen(const QString &path);

private:
    void accept();
    void listenAgainIfLost();

    std::function<void()> m_onShowRequest;
    QLocalServer *m_server;
    QTimer *m_watch;
    QString m_path;
    int m_clients = 0;
};

// Asks the copy listening at `path` to show its front window; true once it has answered that it
// did, false when nothing listens there or no answer came within `limit`.
bool askRunningCopyToShow(const QString &path, std::chrono::milliseconds limit);

// The channel's socket file, beside the instance lock at `lockPath`.
QString instanceChannelPath(const QString &lockPath);

} // namespace brivamo
