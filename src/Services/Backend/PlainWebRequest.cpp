#include "Services/Backend/PlainWebRequest.h"

#include "Services/Backend/ReplyWatch.h"
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
                                      PlainGetLimits plainLimits) {
    throwIfStopped(stopToken);
    const ReplyLimits limits{plainLimits.idleTimeout, plainLimits.deadline, plainLimits.maximumBodySize,
                             plainLimits.maximumHeadSize, plainLimits.connections};
    QNetworkRequest request(url);
    holdAnswerToReadBuffer(request);
    std::unique_ptr<QNetworkReply, LaterDeleter> reply(session->get(request));
    // A server that accepts the connection and never answers would otherwise keep the check pending.
    ReplyWatch watch(reply.get(), limits);
    watch.collectBody();
    co_await watch.untilEnded(stopToken);
    if (watch.abortReason() == ReplyWatch::Abort::none) throwIfStopped(stopToken);
    if (watch.abortReason() == ReplyWatch::Abort::timedOut) throw WebRequestError::timedOut();
    if (watch.abortReason() == ReplyWatch::Abort::bodyTooLarge)
        throw WebRequestError::responseTooLarge(limits.maximumBodySize);
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) throw WebRequestError::transportFailure(reply->error(), reply->errorString());
    const int code = status.toInt();
    if (code < 200 || code > 299) throw WebRequestError::badServerResponse(code);
    // The status came, but the body did not arrive whole.
    if (reply->error() != QNetworkReply::NoError)
        throw WebRequestError::transportFailure(reply->error(), reply->errorString());
    co_return watch.body();
}

}  // namespace quorvelle
