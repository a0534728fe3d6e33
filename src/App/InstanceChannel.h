#pragma once

#include <QObject>
#include <QString>

#include <chrono>
#include <optional>

class QLocalServer;

namespace quorvelle {

// How a second launch reaches the running copy: a local socket in the user's private runtime
// folder. The running copy answers a reopen request by opening its dashboard.
class InstanceChannel : public QObject {
    Q_OBJECT

public:
    // `folder` empty: the private temporary folder.
    explicit InstanceChannel(QString folder = {}, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // Starts listening (the caller holds the single-instance lock, so a socket left behind by a copy
    // that died is ours to replace). False when it cannot.
    bool listen();

    enum class Reply {
        // The running copy opened its dashboard.
        reopened,
        // Something listens but gave no answer (a copy that hangs, or hangs up).
        noAnswer,
        // Nothing listens.
        nobody,
    };

    // From a second launch: asks the running copy to reopen and waits for its answer. A copy that
    // holds the lock but does not listen yet is given `listenWait` to start.
    Reply askRunningInstanceToReopen(std::chrono::milliseconds listenWait = std::chrono::seconds(2),
                                     int timeoutMilliseconds = 3000) const;

    QString socketPath() const;

Q_SIGNALS:
    // `requester`: the asking process, as the socket's peer credentials tell it.
    void reopenRequested(std::optional<qint64> requester);

private:
    void acceptConnection();

    QString m_folder;
    QLocalServer* m_server = nullptr;
};

}  // namespace quorvelle
