#pragma once

#include "Services/Backend/ConnectionReading.h"

#include <QByteArray>
#include <QCoroTask>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <coroutine>
#include <memory>
#include <stop_token>

class QNetworkReply;
class QNetworkRequest;

namespace quorvelle {

// Settings a request needs so that its answer can be held to a small read buffer: Qt's HTTP/2
// reads a stream into memory whatever the reply's buffer, HTTP/1.1 stops reading the socket.
void holdAnswerToReadBuffer(QNetworkRequest& request);

// Has Qt's network thread stop reading once this much of the answer waits in the reply. That
// thread learns the size only after the request has started, which for a request with a body
// happens on a later turn of the event loop: the size is set now and again once it has started,
// before this thread has handed over the request's body. From then on, memory stays bounded
// however busy this thread is.
void limitReadBuffer(QNetworkReply* reply, qint64 size);

struct ReplyLimits {
    // Aborted when nothing moves in either direction for this long.
    std::chrono::milliseconds idleTimeout{60'000};
    // Aborted when the whole request takes longer, however steadily bytes arrive.
    std::chrono::milliseconds deadline{300'000};
    // Aborted once more body than this has arrived or is announced (a Content-Length over it is
    // refused with the headers); negative: no cap.
    qint64 maximumBodySize = -1;
    // Aborted, as a time-out (the answer never began), once more than this has been read from a
    // connection to the server with no answer to show for it: a status, header or chunk-size line
    // that does not end. Negative or no connection reading: not watched.
    qint64 maximumHeadSize = -1;
    // Without it, a connection that keeps Qt's network thread reading is not shut down at the abort,
    // and the bytes of a head that is still arriving do not count as movement for the idle time-out.
    std::shared_ptr<const ConnectionReading> connections;
};

// Keeps one reply within its limits and tells why it aborted it. The timers are precise: Qt's
// coarse ones may fire up to 5% early. Lives on the reply's thread, no longer than the reply.
//
// Await untilEnded(), not the reply's finished(): a reply whose network thread is stuck reading may
// never finish after its abort. Once the watch has aborted, the reply is done with, whatever it does; the
// connections to the server that were taking bytes for nothing are shut down, so Qt's thread stops
// reading and takes its other work again.
class ReplyWatch final : public QObject {
public:
    enum class Abort { none, timedOut, bodyTooLarge };

    ReplyWatch(QNetworkReply* reply, ReplyLimits limits);
    ~ReplyWatch() override;

    Abort abortReason() const { return m_abort; }
    // The reply finished, or the watch aborted it or was stopped.
    bool hasEnded() const { return m_ended; }
    // Aborts the reply for the caller (no abort reason) and ends the watch.
    void stop();
    // Resumes once the watch has ended. A stop of the token, from any thread, stops the watch: the
    // stop is queued to the watch's own thread and dropped with the watch.
    QCoro::Task<void> untilEnded(std::stop_token stopToken);

    // Takes the body out of the reply as it arrives, a small buffer at a time, and aborts as soon
    // as more than the cap has come: however much the server sends, memory holds at most the cap.
    void collectBody();
    // The body collected so far; all of it once the reply has finished.
    const QByteArray& body() const { return m_body; }

private:
    void abortFor(Abort reason);
    void abortReply();
    void end();
    void takeArrived();
    void watchHead();
    void startLooking(const QList<QHostAddress>& peers);
    void lookAtConnections();
    // The connections that read more than the given bytes between the two counts.
    static QList<quint16> readSince(const QHash<quint16, qint64>& now, const QHash<quint16, qint64>& before,
                                    qint64 moreThan);

    QNetworkReply* m_reply;
    ReplyLimits m_limits;
    QTimer m_idleTimer;
    QTimer m_deadlineTimer;
    QTimer m_headTimer;
    QList<QHostAddress> m_peers;
    quint16 m_peerPort = 0;
    // What the connections to the server had read when the answer last moved, and at the last look.
    QHash<quint16, qint64> m_readAtProgress;
    QHash<quint16, qint64> m_readAtLastLook;
    // A piece of the answer (its head, progress or body) came since the last look.
    bool m_answerMoved = false;
    bool m_headEnded = false;
    bool m_linesInBody = false;
    bool m_lookingBehindQueue = false;
    Abort m_abort = Abort::none;
    bool m_ended = false;
    class Ending;
    void resumeAwaiting();

    // The task waiting in untilEnded(), resumed from the event loop once the watch has ended. That
    // task may end and take the watch with it, so the call that resumes it is queued to an object
    // that is not the watch's own: it goes only after that call is done.
    std::coroutine_handle<> m_awaiting;
    QObject* m_endNotice = new QObject;
    QByteArray m_body;
};

}  // namespace quorvelle
