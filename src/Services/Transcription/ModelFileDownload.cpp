#include "Services/Transcription/ModelFileDownload.h"

#include "Models/QuorvelleError.h"
#include "Services/Backend/ReplyWatch.h"
#include "Services/Backend/WebRequestError.h"
#include "Services/Transcription/LocalModelManagerError.h"
#include "Services/Transcription/ModelFileWriter.h"
#include "Support/CancellationError.h"

#include <QCoroNetworkReply>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <memory>
#include <optional>

namespace quorvelle {
namespace {

constexpr qint64 kReadBufferSize = 1024 * 1024;
// Model hosts send one or two redirects (to their file store); more is a loop or a misconfiguration.
constexpr int kMaximumRedirects = 10;

struct ReplyDeleter {
    void operator()(QNetworkReply* reply) const { reply->deleteLater(); }
};

bool isSuccess(const QNetworkReply& reply) {
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return status.isValid() && status.toInt() >= 200 && status.toInt() <= 299;
}

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Fewer bytes than the answer declared. Only an unencoded body can be measured so (a compressed one
// arrives decompressed); the checksum stands behind that exception.
bool isTruncated(const QNetworkReply& reply, qint64 received) {
    const QVariant declared = reply.header(QNetworkRequest::ContentLengthHeader);
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    return declared.isValid() && (encoding.isEmpty() || encoding == "identity") && declared.toLongLong() != received;
}

// Where a redirect answer points: resolved against the address that gave it, http or https with a
// host, and never from https down to plain http.
QUrl redirectTarget(const QUrl& from, const QNetworkReply& reply) {
    const QUrl location = QUrl(QString::fromUtf8(reply.rawHeader("Location")).trimmed());
    const QUrl target = from.resolved(location);
    const QString scheme = target.scheme().toLower();
    const bool allowed = (scheme == QLatin1String("https") ||
                          (scheme == QLatin1String("http") && from.scheme().toLower() == QLatin1String("http"))) &&
                         !target.host().isEmpty() && location.isValid() && !location.isEmpty();
    if (!allowed)
        throw WebRequestError::transportFailure(QNetworkReply::InsecureRedirectError,
                                                QStringLiteral("the download was redirected to an unsafe address"));
    return target;
}

// One request of the transfer. Returns the next address when the answer is a redirect, none when
// the body has been written whole.
QCoro::Task<std::optional<QUrl>> fetchHop(QNetworkAccessManager* session, const QUrl& url,
                                          const ModelFileDownloadRequest& request, ReplyLimits limits,
                                          ModelFileWriter& writer, std::stop_token stopToken) {
    QNetworkRequest http(url);
    // Each hop is a reply of its own: Qt's own redirect handling may hand one reply two bodies.
    http.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    holdAnswerToReadBuffer(http);
    const std::unique_ptr<QNetworkReply, ReplyDeleter> reply(session->get(http));
    // A network faster than the disk must not pile the body up in memory.
    limitReadBuffer(reply.get(), kReadBufferSize);
    ReplyWatch watch(reply.get(), limits);

    // The connections live as long as this context, not as long as the reply's deferred deletion.
    QObject context;
    qint64 handedOver = 0;
    const auto takeBody = [&] {
        // The body of an error or redirect answer is not the model.
        if (!isSuccess(*reply)) {
            reply->readAll();
            return;
        }
        if (writer.failure()) {
            reply->abort();
            return;
        }
        // While the disk is behind, the rest waits in the reply, whose bounded buffer makes Qt stop
        // reading the connection: memory stays bounded whatever the network's speed.
        if (!writer.hasRoom()) return;
        QByteArray chunk = reply->readAll();
        handedOver += chunk.size();
        writer.write(std::move(chunk));
    };
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &context, takeBody);
    writer.whenReady(&context, takeBody);
    if (request.progress) {
        QObject::connect(reply.get(), &QNetworkReply::downloadProgress, &context, [&](qint64 received, qint64 total) {
            if (!isSuccess(*reply)) return;
            // Progress is for show; a failing listener must not escape through Qt's signal delivery.
            try {
                request.progress(received, total);
            } catch (...) {
            }
        });
    }
    co_await watch.untilEnded(stopToken);

    // Aborted because the caller stopped: the caller's own outcome, not a network failure.
    if (watch.abortReason() == ReplyWatch::Abort::none) throwIfStopped(stopToken);

    if (watch.abortReason() == ReplyWatch::Abort::timedOut) throw WebRequestError::timedOut();
    if (watch.abortReason() == ReplyWatch::Abort::bodyTooLarge)
        throw WebRequestError::responseTooLarge(request.maximumSize);
    if (const auto failure = writer.failure()) throw *failure;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && isRedirect(status.toInt()) && reply->hasRawHeader("Location"))
        co_return redirectTarget(url, *reply);
    if (status.isValid() && !isSuccess(*reply)) throw QuorvelleError(QuorvelleErrorCase::networkUnavailable);
    if (reply->error() != QNetworkReply::NoError)
        throw WebRequestError::transportFailure(reply->error(), reply->errorString());
    if (!status.isValid())  // an answer, but not an HTTP one
        throw QuorvelleError(QuorvelleErrorCase::networkUnavailable);
    // What the writer had no room for when it came.
    QByteArray rest = reply->readAll();
    handedOver += rest.size();
    writer.write(std::move(rest));
    // A connection that closes early can pass for the end of the body; the declared length tells.
    if (isTruncated(*reply, handedOver))
        throw WebRequestError::transportFailure(QNetworkReply::RemoteHostClosedError,
                                                QStringLiteral("the connection closed before the whole file arrived"));
    co_return std::nullopt;
}

}  // namespace

QCoro::Task<DownloadedFile> downloadModelFile(QNetworkAccessManager* session, ModelFileDownloadRequest request,
                                              std::stop_token stopToken) {
    ModelFileWriter writer(request.destinationPath);
    QElapsedTimer elapsed;
    elapsed.start();
    std::optional<QUrl> next = request.url;
    for (int redirects = 0; next; ++redirects) {
        if (redirects > kMaximumRedirects)
            throw WebRequestError::transportFailure(QNetworkReply::TooManyRedirectsError,
                                                    QStringLiteral("the download was redirected too many times"));
        // The deadline is for the whole transfer, every hop included.
        const auto spent = std::chrono::milliseconds(elapsed.elapsed());
        if (spent >= request.deadline) throw WebRequestError::timedOut();
        const ReplyLimits limits{request.idleTimeout, request.deadline - spent, request.maximumSize,
                                 request.maximumHeadSize, request.connections};
        QCoro::Task<std::optional<QUrl>> hop = fetchHop(session, *next, request, limits, writer, stopToken);
        next = co_await hop;
    }
    QCoro::Task<DownloadedFile> written = writer.finish();
    DownloadedFile result = co_await written;
    // Stopped while the last chunks were written: the caller's own outcome.
    throwIfStopped(stopToken);
    co_return result;
}

}  // namespace quorvelle
