#include "Services/Backend/ReplyWatch.h"

#include <QNetworkReply>
#include <QNetworkRequest>

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
        // An announced length over the cap is refused before its body is read.
        const QVariant announced = m_reply->header(QNetworkRequest::ContentLengthHeader);
        const qint64 cap = m_limits.maximumBodySize;
        if (cap >= 0 && announced.isValid() && announced.toLongLong() > cap) abortFor(Abort::bodyTooLarge);
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [this, restartIdle](qint64 received, qint64 total) {
        restartIdle();
        const qint64 cap = m_limits.maximumBodySize;
        if (cap >= 0 && (received > cap || total > cap)) abortFor(Abort::bodyTooLarge);
    });
    connect(reply, &QNetworkReply::finished, this, [this] {
        m_idleTimer.stop();
        m_deadlineTimer.stop();
    });
    if (!reply->isFinished()) {
        m_idleTimer.start();
        m_deadlineTimer.start();
    }
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
    m_idleTimer.stop();
    m_deadlineTimer.stop();
    if (!m_reply->isFinished()) m_reply->abort();
}

}  // namespace quorvelle
