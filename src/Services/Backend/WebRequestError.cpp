#include "Services/Backend/WebRequestError.h"

namespace quorvelle {

WebRequestError::WebRequestError(Case errorCase, QNetworkReply::NetworkError networkError, int status, std::string what)
    : m_case(errorCase), m_networkError(networkError), m_status(status), m_what(std::move(what)) {}

WebRequestError WebRequestError::transportFailure(QNetworkReply::NetworkError error, const QString& message) {
    return WebRequestError(Case::transportFailure, error, 0, "transport failure: " + message.toStdString());
}

WebRequestError WebRequestError::badServerResponse(int status) {
    return WebRequestError(Case::badServerResponse, QNetworkReply::NoError, status,
                           "bad server response: status " + std::to_string(status));
}

WebRequestError WebRequestError::unsupportedURL() {
    return WebRequestError(Case::unsupportedURL, QNetworkReply::NoError, 0, "unsupported URL");
}

WebRequestError WebRequestError::responseTooLarge(qint64 limit) {
    return WebRequestError(Case::responseTooLarge, QNetworkReply::NoError, 0,
                           "response too large: over " + std::to_string(limit) + " bytes");
}

WebRequestError WebRequestError::timedOut() {
    return transportFailure(QNetworkReply::TimeoutError, QStringLiteral("the request timed out"));
}

}  // namespace quorvelle
