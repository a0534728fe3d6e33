#pragma once

#include <QNetworkReply>
#include <QString>

#include <exception>
#include <string>

namespace quorvelle {

// The failure of a plain web request (release list, latest release) that does not go through the
// backend client and so is not mapped to a QuorvelleError.
class WebRequestError : public std::exception {
public:
    enum class Case {
        // No HTTP answer at all: the network's own error is kept as it came.
        transportFailure,
        // An answer that is not a 2xx one.
        badServerResponse,
        // The service is switched off in this run.
        unsupportedURL,
        // The body grew past what the request accepts; the transfer was aborted.
        responseTooLarge,
    };

    static WebRequestError transportFailure(QNetworkReply::NetworkError error, const QString& message);
    static WebRequestError badServerResponse(int status);
    static WebRequestError unsupportedURL();
    static WebRequestError responseTooLarge(qint64 limit);
    // A transport failure with TimeoutError: the request outlasted its idle time-out or deadline.
    static WebRequestError timedOut();

    Case errorCase() const { return m_case; }
    // The network error of a transport failure; NoError otherwise.
    QNetworkReply::NetworkError networkError() const { return m_networkError; }
    // The HTTP status of a bad server response; 0 otherwise.
    int status() const { return m_status; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    WebRequestError(Case errorCase, QNetworkReply::NetworkError networkError, int status, std::string what);

    Case m_case;
    QNetworkReply::NetworkError m_networkError;
    int m_status;
    std::string m_what;
};

}  // namespace quorvelle
