#include "App/InstanceChannel.h"

#include "Support/AppPaths.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <sys/socket.h>

namespace quorvelle {

namespace {

const QByteArray kReopenRequest = "reopen\n";
const QByteArray kAnswer = "ok\n";

std::optional<qint64> peerProcess(const QLocalSocket& socket) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        credentials.pid <= 0)
        return std::nullopt;
    return credentials.pid;
}

}  // namespace

InstanceChannel::InstanceChannel(QString folder, QObject* parent) : QObject(parent), m_folder(std::move(folder)) {}

InstanceChannel::~InstanceChannel() = default;

QString InstanceChannel::socketPath() const {
    const QString folder = m_folder.isEmpty() ? AppPaths::privateTemporaryDirectory() : m_folder;
    if (folder.isEmpty()) return {};
    return QDir(folder).filePath(QStringLiteral("instance.socket"));
}

bool InstanceChannel::listen() {
    const QString path = socketPath();
    if (path.isEmpty()) return false;
    QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::acceptConnection);
    return m_server->listen(path);
}

void InstanceChannel::acceptConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) return;
            if (socket->readLine() == kReopenRequest) {
                socket->write(kAnswer);
                socket->flush();
                Q_EMIT reopenRequested(peerProcess(*socket));
            }
            socket->disconnectFromServer();
        });
    }
}

InstanceChannel::Reply InstanceChannel::askRunningInstanceToReopen(std::chrono::milliseconds listenWait,
                                                                   int timeoutMilliseconds) const {
    const QString path = socketPath();
    if (path.isEmpty()) return Reply::nobody;
    QLocalSocket socket;
    // A copy started at the same instant takes the lock a moment before it listens.
    const QDeadlineTimer listening(listenWait);
    for (socket.connectToServer(path); !socket.waitForConnected(timeoutMilliseconds); socket.connectToServer(path)) {
        if (listening.hasExpired()) return Reply::nobody;
        QThread::msleep(50);
    }
    socket.write(kReopenRequest);
    if (!socket.waitForBytesWritten(timeoutMilliseconds)) return Reply::noAnswer;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMilliseconds)) return Reply::noAnswer;
    }
    return socket.readLine() == kAnswer ? Reply::reopened : Reply::noAnswer;
}

}  // namespace quorvelle
