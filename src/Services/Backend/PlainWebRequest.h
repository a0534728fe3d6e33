#pragma once

#include <QByteArray>
#include <QCoroTask>
#include <QUrl>

#include <chrono>
#include <stop_token>

class QNetworkAccessManager;

namespace quorvelle {

// A GET of the address with the manager's defaults: no headers of ours, no authorisation. Returns the
// body of a 2xx answer. Throws WebRequestError: transportFailure when no HTTP answer came,
// badServerResponse for any other status (the body is not read). A transfer that stays idle for the
// time-out is aborted, a transport failure too. A stop request aborts the transfer and throws
// CancellationError.
QCoro::Task<QByteArray> fetchPlainGet(QNetworkAccessManager* session, QUrl url, std::stop_token stopToken = {},
                                      std::chrono::milliseconds idleTimeout = std::chrono::seconds(60));

}  // namespace quorvelle
