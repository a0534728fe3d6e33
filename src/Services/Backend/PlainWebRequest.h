#pragma once

#include <QByteArray>
#include <QCoroTask>
#include <QUrl>

#include <chrono>
#include <stop_token>

class QNetworkAccessManager;

namespace quorvelle {

// A GET of the address with the manager's defaults: no headers of ours, no authorisation. Returns the
// body of a 2xx answer. Throws WebRequestError: transportFailure when no HTTP answer came or the
// transfer failed after the status (TimeoutError when the request stayed idle past the idle time-out
// or outlasted its deadline), badServerResponse for any other status (the body is not read),
// responseTooLarge for a body over the cap, which suits JSON answers. A stop request aborts the
// transfer and throws CancellationError.
QCoro::Task<QByteArray> fetchPlainGet(QNetworkAccessManager* session, QUrl url, std::stop_token stopToken = {},
                                      std::chrono::milliseconds idleTimeout = std::chrono::seconds(60),
                                      std::chrono::milliseconds deadline = std::chrono::minutes(2),
                                      qint64 maximumBodySize = 4 * 1024 * 1024);

}  // namespace quorvelle
