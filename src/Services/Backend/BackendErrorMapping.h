#pragma once

#include "Models/QuorvelleError.h"
#include "Services/Backend/BackendResponsePayloads.h"

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QPair>
#include <QString>

#include <optional>

namespace quorvelle {

using RawHeaderList = QList<QPair<QByteArray, QByteArray>>;

// The upper-snake code of an error on the wire ("RATE_LIMITED", "REQUEST_TIMED_OUT" ...), recorded
// as the failure's error code when the server named none.
QString backendWireCode(QuorvelleErrorCase errorCase);

// The error of a non-2xx answer. `body` is the raw answer; `problem` its problem body, when it has one.
QuorvelleError mapHTTPError(int status, const QByteArray& body, const std::optional<ProblemResponsePayload>& problem,
                            const RawHeaderList& headers);

// The error of a request that got no HTTP answer. A time-out of our own idle timer is mapped by the
// caller; here a cancelled transfer is an unexpected failure.
QuorvelleError mapTransportError(QNetworkReply::NetworkError error);

// Whether the reply's error comes from below HTTP (connection, proxy, time-out, cancellation).
bool isTransportError(QNetworkReply::NetworkError error);

// Whole seconds of the first usable Retry-After field (a signed decimal integer, at least 1); the
// HTTP-date form is not used.
std::optional<qint64> retryAfterSeconds(const RawHeaderList& headers);

// The backend's id of a failed request: the X-Request-ID answer header, else the problem body's.
std::optional<QString> responseRequestID(const RawHeaderList& headers,
                                         const std::optional<ProblemResponsePayload>& problem);

}  // namespace quorvelle
