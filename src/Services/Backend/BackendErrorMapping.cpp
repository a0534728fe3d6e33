#include "Services/Backend/BackendErrorMapping.h"

#include "Services/Backend/BackendWireCoding.h"

#include <algorithm>

namespace quorvelle {

namespace {

bool isLoginCodeConsumed(const QByteArray& body) {
    const auto document = wire::parseDocument(body);
    if (!document) return false;
    try {
        return StatusResponsePayload::fromJson(*document).status == QLatin1String("consumed");
    } catch (const WireDecodingError&) {
        return false;
    }
}

std::optional<qint64> parseSignedDecimal(const QByteArray& text) {
    if (text.isEmpty()) return std::nullopt;
    qsizetype start = (text.front() == '+' || text.front() == '-') ? 1 : 0;
    if (start == text.size()) return std::nullopt;
    for (qsizetype i = start; i < text.size(); ++i) {
        if (text.at(i) < '0' || text.at(i) > '9') return std::nullopt;
    }
    bool ok = false;
    // toLongLong accepts the sign itself and reports overflow as failure.
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok) return std::nullopt;
    return value;
}

}  // namespace

QString backendWireCode(QuorvelleErrorCase errorCase) {
    switch (errorCase) {
        case QuorvelleErrorCase::rateLimitedRetryAfter:
        case QuorvelleErrorCase::rateLimited: return QStringLiteral("RATE_LIMITED");
        case QuorvelleErrorCase::microphonePermissionDenied: return QStringLiteral("MICROPHONE_PERMISSION_DENIED");
        case QuorvelleErrorCase::accessibilityPermissionDenied:
            return QStringLiteral("ACCESSIBILITY_PERMISSION_DENIED");
        case QuorvelleErrorCase::invalidAPIKey: return QStringLiteral("INVALID_API_KEY");
        case QuorvelleErrorCase::networkUnavailable: return QStringLiteral("NETWORK_UNAVAILABLE");
        case QuorvelleErrorCase::requestTimedOut: return QStringLiteral("REQUEST_TIMED_OUT");
        case QuorvelleErrorCase::providerTimeout: return QStringLiteral("PROVIDER_TIMEOUT");
        case QuorvelleErrorCase::providerUnavailable: return QStringLiteral("PROVIDER_UNAVAILABLE");
        case QuorvelleErrorCase::loginCodeAlreadyUsed: return QStringLiteral("LOGIN_CODE_ALREADY_USED");
        case QuorvelleErrorCase::noSpeechDetected: return QStringLiteral("NO_SPEECH_DETECTED");
        case QuorvelleErrorCase::sessionAlreadyActive: return QStringLiteral("SESSION_ALREADY_ACTIVE");
        case QuorvelleErrorCase::unsupportedTarget: return QStringLiteral("UNSUPPORTED_TARGET");
        case QuorvelleErrorCase::unexpectedRuntimeFailure: return QStringLiteral("UNEXPECTED_RUNTIME_FAILURE");
    }
    return QStringLiteral("UNEXPECTED_RUNTIME_FAILURE");
}

QuorvelleError mapHTTPError(int status, const QByteArray& body, const std::optional<ProblemResponsePayload>& problem,
                            const RawHeaderList& headers) {
    using Case = QuorvelleErrorCase;
    switch (status) {
        case 401:
        case 403: return QuorvelleError(Case::invalidAPIKey);
        case 408: return QuorvelleError(Case::requestTimedOut);
        case 409:
            return QuorvelleError(isLoginCodeConsumed(body) ? Case::loginCodeAlreadyUsed
                                                            : Case::unexpectedRuntimeFailure);
        case 429:
            if (const auto seconds = retryAfterSeconds(headers)) return QuorvelleError::rateLimitedRetryAfter(*seconds);
            return QuorvelleError(Case::rateLimited);
        case 502:
        case 503: {
            if (!problem) return QuorvelleError(Case::unexpectedRuntimeFailure);
            const QString code = problem->problemCode();
            const bool providerDown = code == QLatin1String("PROVIDER_UNAVAILABLE") ||
                                      code == QLatin1String("PROVIDER_AUTH_ERROR") ||
                                      code == QLatin1String("RATE_LIMITER_UNAVAILABLE");
            return QuorvelleError(providerDown ? Case::providerUnavailable : Case::unexpectedRuntimeFailure);
        }
        case 504:
            if (problem && problem->problemCode() == QLatin1String("PROVIDER_TIMEOUT"))
                return QuorvelleError(Case::providerTimeout);
            return QuorvelleError(Case::requestTimedOut);
        default: return QuorvelleError(Case::unexpectedRuntimeFailure);
    }
}

bool isTransportError(QNetworkReply::NetworkError error) {
    // Qt numbers connection-level errors below 100 and proxy errors from 101 to 199.
    return error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}

QuorvelleError mapTransportError(QNetworkReply::NetworkError error) {
    switch (error) {
        case QNetworkReply::TimeoutError: return QuorvelleError(QuorvelleErrorCase::requestTimedOut);
        case QNetworkReply::ConnectionRefusedError:
        case QNetworkReply::RemoteHostClosedError:
        case QNetworkReply::HostNotFoundError:
        case QNetworkReply::TemporaryNetworkFailureError:
        case QNetworkReply::NetworkSessionFailedError:
        case QNetworkReply::UnknownNetworkError:
        case QNetworkReply::ProxyConnectionRefusedError:
        case QNetworkReply::ProxyConnectionClosedError:
        case QNetworkReply::ProxyNotFoundError: return QuorvelleError(QuorvelleErrorCase::networkUnavailable);
        default: return QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure);
    }
}

std::optional<qint64> retryAfterSeconds(const RawHeaderList& headers) {
    for (const auto& [name, value] : headers) {
        if (name.compare("Retry-After", Qt::CaseInsensitive) != 0) continue;
        // Qt joins repeated fields into one value with ", ": each part is read as a field of its own.
        for (const QByteArray& part : value.split(',')) {
            if (const auto seconds = parseSignedDecimal(part.trimmed())) return std::max<qint64>(1, *seconds);
        }
    }
    return std::nullopt;
}

std::optional<QString> responseRequestID(const RawHeaderList& headers,
                                         const std::optional<ProblemResponsePayload>& problem) {
    for (const auto& [name, value] : headers) {
        if (name.compare("X-Request-ID", Qt::CaseInsensitive) != 0) continue;
        // Qt joins repeated fields with ", ": the first field is the request's id.
        const QByteArray first = value.left(value.indexOf(',')).trimmed();
        if (!first.isEmpty()) return QString::fromUtf8(first);
    }
    if (problem) return problem->requestId;
    return std::nullopt;
}

}  // namespace quorvelle
