#include "Services/Transcription/ModelFileDownload.h"

#include "Models/QuorvelleError.h"
#include "Services/Backend/ReplyWatch.h"
#include "Services/Backend/WebRequestError.h"
#include "Services/Transcription/LocalModelManagerError.h"
#include "Support/CancellationError.h"

#include <QCoroNetworkReply>
#include <QCryptographicHash>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <memory>
#include <optional>

namespace quorvelle {
namespace {

constexpr qint64 kReadBufferSize = 1024 * 1024;

struct ReplyDeleter {
    void operator()(QNetworkReply* reply) const { reply->deleteLater(); }
};

bool isSuccess(const QNetworkReply& reply) {
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return status.isValid() && status.toInt() >= 200 && status.toInt() <= 299;
}

// Fewer bytes than the answer declared. Only an unencoded body can be measured so (a compressed one
// arrives decompressed), and only one that came without a redirect: Qt may then still report the
// redirect's length. The checksum stands behind both exceptions.
bool isTruncated(const QNetworkReply& reply, qint64 received) {
    const QVariant declared = reply.header(QNetworkRequest::ContentLengthHeader);
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    return declared.isValid() && (encoding.isEmpty() || encoding == "identity") && declared.toLongLong() != received;
}

}  // namespace

QCoro::Task<DownloadedFile> downloadModelFile(QNetworkAccessManager* session, ModelFileDownloadRequest request,
                                              std::stop_token stopToken) {
    QFile file(request.destinationPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw LocalModelFileError(LocalModelFileError::Case::writeFailed, request.destinationPath, file.errorString());

    QNetworkRequest http(request.url);
    http.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    const std::unique_ptr<QNetworkReply, ReplyDeleter> reply(session->get(http));
    // A network faster than the disk must not pile the body up in memory.
    reply->setReadBufferSize(kReadBufferSize);
    const ReplyWatch watch(reply.get(), {request.idleTimeout, request.deadline, request.maximumSize});

    QCryptographicHash sha1(QCryptographicHash::Sha1);
    QCryptographicHash sha256(QCryptographicHash::Sha256);
    DownloadedFile result;
    std::optional<QString> writeError;
    bool redirected = false;

    // The connections live as long as this context, not as long as the reply's deferred deletion.
    QObject context;
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &context, [&] {
        const QByteArray chunk = reply->readAll();
        // The body of an error answer is not the model.
        if (writeError || !isSuccess(*reply)) return;
        if (file.write(chunk) != chunk.size()) {
            writeError = file.errorString();
            reply->abort();
            return;
        }
        sha1.addData(chunk);
        sha256.addData(chunk);
        result.byteCount += chunk.size();
    });
    QObject::connect(reply.get(), &QNetworkReply::redirected, &context, [&] { redirected = true; });
    if (request.progress) {
        QObject::connect(reply.get(), &QNetworkReply::downloadProgress, &context, [&](qint64 received, qint64 total) {
            // Progress is for show; a failing listener must not escape through Qt's signal delivery.
            // After a redirect Qt may go on reporting the redirect's own length; a total below what
            // has arrived is passed on as unknown.
            try {
                request.progress(received, total >= received ? total : -1);
            } catch (...) {
            }
        });
    }
    QNetworkReply* const replyPointer = reply.get();
    const std::stop_callback onStop(stopToken,
                                    [replyPointer] { QMetaObject::invokeMethod(replyPointer, &QNetworkReply::abort); });

    if (!reply->isFinished()) co_await replyPointer;

    // Aborted because the caller stopped: the caller's own outcome, not a network failure.
    if (watch.abortReason() == ReplyWatch::Abort::none) throwIfStopped(stopToken);

    if (watch.abortReason() == ReplyWatch::Abort::timedOut) throw WebRequestError::timedOut();
    if (watch.abortReason() == ReplyWatch::Abort::bodyTooLarge)
        throw WebRequestError::responseTooLarge(request.maximumSize);
    if (writeError)
        throw LocalModelFileError(LocalModelFileError::Case::writeFailed, request.destinationPath, *writeError);
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && !isSuccess(*reply)) throw QuorvelleError(QuorvelleErrorCase::networkUnavailable);
    if (reply->error() != QNetworkReply::NoError)
        throw WebRequestError::transportFailure(reply->error(), reply->errorString());
    if (!status.isValid())  // an answer, but not an HTTP one
        throw QuorvelleError(QuorvelleErrorCase::networkUnavailable);
    // A connection that closes early can pass for the end of the body; the declared length tells.
    if (!redirected && isTruncated(*reply, result.byteCount))
        throw WebRequestError::transportFailure(QNetworkReply::RemoteHostClosedError,
                                                QStringLiteral("the connection closed before the whole file arrived"));
    if (!file.flush())
        throw LocalModelFileError(LocalModelFileError::Case::writeFailed, request.destinationPath, file.errorString());
    file.close();

    result.sha1 = QString::fromLatin1(sha1.result().toHex());
    result.sha256 = QString::fromLatin1(sha256.result().toHex());
    co_return result;
}

}  // namespace quorvelle
