#include "Services/Backend/PlainWebRequest.h"

#include "Services/Backend/WebRequestError.h"

#include <QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <memory>

namespace quorvelle {

namespace {

struct LaterDeleter {
    void operator()(QNetworkReply* reply) const { reply->deleteLater(); }
};

}  // namespace

QCoro::Task<QByteArray> fetchPlainGet(QNetworkAccessManager* session, QUrl url, std::chrono::milliseconds idleTimeout) {
    QNetworkRequest request(url);
    // A server that accepts the connection and never answers would otherwise keep the check pending.
    request.setTransferTimeout(static_cast<int>(idleTimeout.count()));
    std::unique_ptr<QNetworkReply, LaterDeleter> reply(session->get(request));
    co_await reply.get();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) throw WebRequestError::transportFailure(reply->error(), reply->errorString());
    const int code = status.toInt();
    if (code < 200 || code > 299) throw WebRequestError::badServerResponse(code);
    co_return reply->readAll();
}

}  // namespace quorvelle
