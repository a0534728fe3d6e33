#pragma once

#include <QByteArray>
#include <QCoroTask>
#include <QUrl>

#include <chrono>
#include <memory>
#include <stop_token>

class QNetworkAccessManager;

namespace quorvelle {

class ConnectionReading;

struct PlainGetLimits {
    // Aborted when nothing moves for this long, or when the whole takes longer than the deadline.
    std::chrono::milliseconds idleTimeout{std::chrono::seconds(60)};
    std::chrono::milliseconds deadline{std::chrono::minutes(2)};
    // A JSON answer is small; a larger body is refused before it fills the memory.
    qint64 maximumBodySize = 4 * 1024 * 1024;
    // What this process has read from its connections to the server, so that an answer whose head
    // never ends is cut once it holds this much; unset: the time-outs alone end it.
    std::shared_ptr<const ConnectionReading> connections = nullptr;
    qint64 maximumHeadSize = 1024 * 1024;
};

// A GET of the address with the manager's defaults: no headers of ours, no authorisation. Returns the
// body of a 2xx answer. Throws WebRequestError: transportFailure when no HTTP answer came or the
// transfer failed after the status (TimeoutError when the request stayed idle past the idle time-out
// or outlasted its deadline), badServerResponse for any other status (the body is not read),
// responseTooLarge for a body over the cap, which suits JSON answers; a head over its cap counts as a
// time-out. A stop request aborts the transfer and throws CancellationError.
QCoro::Task<QByteArray> fetchPlainGet(QNetworkAccessManager* session, QUrl url, std::stop_token stopToken = {},
                                      PlainGetLimits limits = {});

}  // namespace quorvelle
