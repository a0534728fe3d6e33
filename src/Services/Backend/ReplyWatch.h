#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <chrono>

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
};

// Keeps one reply within its limits and tells why it aborted it. The timers are precise: Qt's
// coarse ones may fire up to 5% early. Lives on the reply's thread, no longer than the reply.
class ReplyWatch final : public QObject {
public:
    enum class Abort { none, timedOut, bodyTooLarge };

    ReplyWatch(QNetworkReply* reply, ReplyLimits limits);

    Abort abortReason() const { return m_abort; }

    // Takes the body out of the reply as it arrives, a small buffer at a time, and aborts as soon
    // as more than the cap has come: however much the server sends, memory holds at most the cap.
    void collectBody();
    // The body collected so far; all of it once the reply has finished.
    const QByteArray& body() const { return m_body; }

private:
    void abortFor(Abort reason);
    void takeArrived();

    QNetworkReply* m_reply;
    ReplyLimits m_limits;
    QTimer m_idleTimer;
    QTimer m_deadlineTimer;
    Abort m_abort = Abort::none;
    QByteArray m_body;
};

}  // namespace quorvelle
