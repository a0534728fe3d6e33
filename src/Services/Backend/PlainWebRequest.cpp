#include "Services/Backend/PlainWebRequest.h"

#include "Services/Backend/WebRequestError.h"
#include "Support/CancellationError.h"

#include <QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

#include <memory>

namespace quorvelle {

namespace {

struct LaterDeleter {
    void operator()(QNetworkReply* reply) const { reply->deleteLater(); }
};

}  // namespace

QCoro::Task<QByteArray> fetchPlainGet(QNetworkAccessManager* session, QUrl url, std::stop_token stopToken,
                                      std::chrono::milliseconds idleTimeout) {
    throwIfStopped(stopToken);
    QNetworkRequest request(url);
    // A server that accepts the connection and never answers would otherwise keep the check pending.
    request.setTransferTimeout(static_cast<int>(idleTimeout.count()));
    std::unique_ptr<QNetworkReply, LaterDeleter> reply(session->get(request));
    // The stop may come from any thread: the abort is queued to the reply's thread.
    QPointer<QNetworkReply> guarded(reply.get());
    const std::stop_callback onStop(stopToken, [guarded] {
        QMetaObject::invokeMethod(
            guarded.data(),
            [guarded] {
                if (guarded) guarded->abort();
            },
            Qt::QueuedConnection);
    });
    co_await reply.get();
    throwIfStopped(stopToken);
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) throw WebRequestError::transportFailure(reply->error(), reply->errorString());
    const int code = status.toInt();
    if (code < 200 || code > 299) throw WebRequestError::badServerResponse(code);
    co_return reply->readAll();
}

}  // namespace quorvelle
