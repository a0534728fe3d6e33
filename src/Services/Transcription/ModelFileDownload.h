// ModelFileDownload: one HTTP GET streamed straight into a file, hashed on the way, so that a model
// of several gigabytes never sits in memory.
#pragma once

#include <QCoroTask>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>

class QNetworkAccessManager;

namespace quorvelle {

class ConnectionReading;

struct DownloadedFile {
    qint64 byteCount = 0;
    QString sha1;    // 40 lower-case hex digits
    QString sha256;  // 64 lower-case hex digits
};

struct ModelFileDownloadRequest {
    QUrl url;
    QString destinationPath;
    std::function<void(qint64 received, qint64 total)> progress;
    // The transfer fails when nothing arrives for this long, or when the whole of it takes longer
    // than the deadline.
    std::chrono::milliseconds idleTimeout{60'000};
    std::chrono::milliseconds deadline{std::chrono::hours(12)};
    // The transfer is aborted once more than this has arrived; negative: no cap.
    qint64 maximumSize = -1;
    // What this process has read from its connections to the host, so that an answer whose head
    // never ends is cut once it holds this much; unset: the time-outs alone end it (the deadline is
    // long, and Qt keeps the head in memory).
    std::shared_ptr<const ConnectionReading> connections = nullptr;
    qint64 maximumHeadSize = 1024 * 1024;
};

// Writes the body of a 2xx answer to the destination (created or truncated), reading through a bounded
// buffer; the file is written and hashed by a thread of its own, so the caller's thread only reads
// the network. Redirects are followed one request at a time, at most ten, to http or https addresses with a
// host and never from https to http (no credential is sent; the checksum vouches for the file); the
// deadline covers every hop, the size cap each. Throws WebRequestError::transportFailure with
// TooManyRedirectsError or InsecureRedirectError when that fails. Throws
// QuorvelleError::networkUnavailable for any other status, WebRequestError::transportFailure with
// the network's own error when the transfer fails (TimeoutError for the idle time-out or deadline),
// CancellationError after a stop request, WebRequestError::responseTooLarge past the maximum size,
// LocalModelFileError when the file cannot be written. On failure the destination may hold part
// of the body.
QCoro::Task<DownloadedFile> downloadModelFile(QNetworkAccessManager* session, ModelFileDownloadRequest request,
                                              std::stop_token stopToken);

}  // namespace quorvelle
