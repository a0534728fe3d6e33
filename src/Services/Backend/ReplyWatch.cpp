#include "Services/Backend/ReplyWatch.h"

#include <QHostInfo>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QtDebug>

#include <algorithm>

namespace quorvelle {

void holdAnswerToReadBuffer(QNetworkRequest& request) {
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
}

void limitReadBuffer(QNetworkReply* reply, qint64 size) {
    reply->setReadBufferSize(size);
    // Queued behind Qt's own start of the request; dropped with the reply.
    QMetaObject::invokeMethod(
        reply, [reply, size] { reply->setReadBufferSize(size); }, Qt::QueuedConnection);
}

// Awaits the end of the watch. Not QCoro's await of a timer's signal: QTimer::timeout carries Qt's
// private-signal argument, which QCoro hands on as a reference to nothing (undefined behaviour,
// which the sanitized build stops at).
class ReplyWatch::Ending {
public:
    explicit Ending(ReplyWatch& watch) : m_watch(watch) {}
    bool await_ready() const noexcept { return m_watch.m_ended; }
    void await_suspend(std::coroutine_handle<> awaiting) noexcept { m_watch.m_awaiting = awaiting; }
    void await_resume() const noexcept {}

private:
    ReplyWatch& m_watch;
};

ReplyWatch::ReplyWatch(QNetworkReply* reply, ReplyLimits limits) : m_reply(reply), m_limits(limits) {
    for (QTimer* timer : {&m_idleTimer, &m_deadlineTimer}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this] { abortFor(Abort::timedOut); });
    }
    m_idleTimer.setInterval(limits.idleTimeout);
    m_deadlineTimer.setInterval(limits.deadline);

    auto restartIdle = [this] {
        if (m_abort == Abort::none) m_idleTimer.start();
    };
    connect(reply, &QNetworkReply::uploadProgress, this, restartIdle);
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, restartIdle] {
        restartIdle();
        m_answerMoved = true;
        m_headEnded = true;
        // Only chunked framing still has lines to come that Qt reads whole: the chunk sizes.
        m_linesInBody = m_reply->rawHeader("Transfer-Encoding").toLower().contains("chunked");
        // An announced length over the cap is refused before its body is read.
        const QVariant announced = m_reply->header(QNetworkRequest::ContentLengthHeader);
        const qint64 cap = m_limits.maximumBodySize;
        if (cap >= 0 && announced.isValid() && announced.toLongLong() > cap) abortFor(Abort::bodyTooLarge);
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [this, restartIdle](qint64 received, qint64 total) {
        restartIdle();
        m_answerMoved = true;
        const qint64 cap = m_limits.maximumBodySize;
        if (cap >= 0 && (received > cap || total > cap)) abortFor(Abort::bodyTooLarge);
    });
    // Qt reports progress at most every 100 ms, and far more than a head's worth of body may come
    // in between; each piece of it is told at once.
    connect(reply, &QIODevice::readyRead, this, [this] { m_answerMoved = true; });
    connect(reply, &QNetworkReply::finished, this, &ReplyWatch::end);
    if (reply->isFinished()) {
        m_ended = true;
        return;
    }
    m_idleTimer.start();
    m_deadlineTimer.start();
    watchHead();
}

void ReplyWatch::stop() {
    abortReply();
    end();
}

ReplyWatch::~ReplyWatch() {
    m_endNotice->deleteLater();
}

QCoro::Task<void> ReplyWatch::untilEnded(std::stop_token stopToken) {
    const QPointer<ReplyWatch> guarded(this);
    const std::stop_callback onStop(stopToken, [guarded] {
        QMetaObject::invokeMethod(
            guarded.data(),
            [guarded] {
                if (guarded) guarded->stop();
            },
            Qt::QueuedConnection);
    });
    Ending ending(*this);
    co_await ending;
}

void ReplyWatch::resumeAwaiting() {
    // The task may end, and destroy this watch, before resume() returns.
    if (const std::coroutine_handle<> awaiting = std::exchange(m_awaiting, {})) awaiting.resume();
}

void ReplyWatch::end() {
    m_idleTimer.stop();
    m_deadlineTimer.stop();
    m_headTimer.stop();
    if (m_ended) return;
    m_ended = true;
    // Not at once: the awaiting task must not end, and take this watch with it, while the watch or
    // Qt's abort below it is still at work.
    QMetaObject::invokeMethod(
        m_endNotice,
        [guarded = QPointer<ReplyWatch>(this)] {
            if (guarded) guarded->resumeAwaiting();
        },
        Qt::QueuedConnection);
}

void ReplyWatch::watchHead() {
    if (!m_limits.connections) return;
    const QUrl url = m_reply->url();
    m_peerPort = quint16(url.port(url.scheme() == QLatin1String("https") ? 443 : 80));
    // Often enough that little more than the cap is read before the cut.
    m_headTimer.setInterval(std::chrono::milliseconds(50));
    connect(&m_headTimer, &QTimer::timeout, this, &ReplyWatch::lookAtConnections);
    // An address needs no lookup.
    if (const QHostAddress address(url.host()); !address.isNull()) {
        startLooking({address});
        return;
    }
    // Qt has just looked the name up for the request: the answer comes from its cache. It answers
    // to an object of its own that lives until then, as Qt 6.4 leaks the callback of a lookup whose
    // receiver went first, and the watch may end before the answer.
    auto* receiver = new QObject;
    QHostInfo::lookupHost(url.host(), receiver,
                          [receiver, guarded = QPointer<ReplyWatch>(this)](const QHostInfo& info) {
                              receiver->deleteLater();
                              if (guarded && !guarded->m_ended && !info.addresses().isEmpty())
                                  guarded->startLooking(info.addresses());
                          });
}

void ReplyWatch::startLooking(const QList<QHostAddress>& peers) {
    m_peers = peers;
    // What the connections to the server read before this request is not its answer.
    m_readAtProgress = m_limits.connections->bytesRead(m_peers, m_peerPort);
    m_readAtLastLook = m_readAtProgress;
    m_headTimer.start();
}

void ReplyWatch::lookAtConnections() {
    if (m_ended) return;
    const QHash<quint16, qint64> now = m_limits.connections->bytesRead(m_peers, m_peerPort);
    // Qt tells nothing of a head until it ends, but its bytes arriving are movement all the same.
    if (m_abort == Abort::none && !readSince(now, m_readAtLastLook, 0).isEmpty()) m_idleTimer.start();
    m_readAtLastLook = now;
    if (std::exchange(m_answerMoved, false)) {
        m_readAtProgress = now;
        m_lookingBehindQueue = false;
        return;
    }
    // Once the head has ended, only chunk-size lines can run on unseen: a body in any other framing
    // arrives as the answer's own progress.
    if (m_limits.maximumHeadSize < 0 || (m_headEnded && !m_linesInBody)) return;
    // Qt does not tell which connection carries the request: any to the server that took more than
    // the cap since the answer last moved. The server's other answers are small documents (the
    // backend's, the release checks'), and a model's host serves one download at a time. After the
    // head, up to a read buffer of body may have been read and not yet handed to this thread.
    const qint64 inFlight = m_headEnded ? std::max<qint64>(m_reply->readBufferSize(), 0) : 0;
    if (readSince(now, m_readAtProgress, m_limits.maximumHeadSize + inFlight).isEmpty()) return;
    // After a busy moment of this thread, pieces of the answer may wait in its queue, handed over but
    // not yet told: look once more behind them before cutting.
    if (!std::exchange(m_lookingBehindQueue, true)) {
        QMetaObject::invokeMethod(this, &ReplyWatch::lookAtConnections, Qt::QueuedConnection);
        return;
    }
    qWarning("An answer's head ran past %lld bytes; transfer aborted",
             static_cast<long long>(m_limits.maximumHeadSize));
    abortFor(Abort::timedOut);
}

QList<quint16> ReplyWatch::readSince(const QHash<quint16, qint64>& now, const QHash<quint16, qint64>& before,
                                     qint64 moreThan) {
    QList<quint16> reading;
    for (auto connection = now.cbegin(); connection != now.cend(); ++connection)
        if (connection.value() - before.value(connection.key(), 0) > moreThan) reading.append(connection.key());
    return reading;
}

void ReplyWatch::collectBody() {
    // Qt stops reading the socket while this much is waiting, so nothing piles up unseen.
    constexpr qint64 kReadBufferSize = 64 * 1024;
    limitReadBuffer(m_reply, kReadBufferSize);
    connect(m_reply, &QIODevice::readyRead, this, &ReplyWatch::takeArrived);
    takeArrived();
}

void ReplyWatch::takeArrived() {
    const QByteArray chunk = m_reply->readAll();
    if (m_abort != Abort::none) return;
    m_body += chunk;
    const qint64 cap = m_limits.maximumBodySize;
    if (cap >= 0 && m_body.size() > cap) {
        m_body.clear();
        abortFor(Abort::bodyTooLarge);
    }
}

void ReplyWatch::abortFor(Abort reason) {
    if (m_abort != Abort::none) return;
    // An oversized body that has arrived whole is refused all the same.
    if (m_reply->isFinished() && reason == Abort::timedOut) return;
    m_abort = reason;
    // A connection that took more than a head's worth with no answer to show keeps Qt's network
    // thread reading: it would neither let the reply finish nor end the transfer.
    constexpr qint64 kLongestPlainHead = 64 * 1024;
    if (!m_peers.isEmpty()) {
        const QList<quint16> stuck =
            readSince(m_limits.connections->bytesRead(m_peers, m_peerPort), m_readAtProgress, kLongestPlainHead);
        if (!stuck.isEmpty()) m_limits.connections->shutDown(m_peers, m_peerPort, stuck);
    }
    abortReply();
    end();
}

void ReplyWatch::abortReply() {
    if (!m_reply->isFinished()) m_reply->abort();
}

}  // namespace quorvelle
