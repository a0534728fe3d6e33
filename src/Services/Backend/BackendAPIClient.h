#pragma once

#include "Models/QuorvelleError.h"
#include "Services/Backend/BackendAPIClienting.h"
#include "Services/Backend/BackendRequestDiagnosticContext.h"
#include "Services/Backend/BackendWireCoding.h"
#include "Services/Backend/ReplyWatch.h"

#include <QByteArray>
#include <QNetworkRequest>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace quorvelle {

struct BackendAPIClientOptions {
    // Sent as X-Quorvelle-App-Version and X-Quorvelle-Build; absent values send no header.
    std::optional<QString> appVersion;
    std::optional<QString> build;
    // Idle time-outs: a request fails when nothing moves for this long.
    std::chrono::milliseconds requestTimeout{60'000};
    std::chrono::milliseconds uploadTimeout{90'000};
    // Overall limits, however steadily bytes move.
    std::chrono::milliseconds requestDeadline{120'000};
    std::chrono::milliseconds uploadDeadline{600'000};
    // Every answer is a small JSON document; a larger one is refused before it fills the memory.
    qint64 maximumAnswerSize = 4 * 1024 * 1024;
    // What this process has read from its connections to the backend, so that an answer whose head
    // never ends is cut once it holds this much; unset: the time-outs alone end it.
    std::shared_ptr<const ConnectionReading> connections;
    qint64 maximumHeadSize = 1024 * 1024;
    // Wall clock in milliseconds, for the elapsed time of a failed request.
    std::function<qint64()> nowMilliseconds;
    // Called as a request goes out and as its body is written, so the platform can have the bytes
    // the kernel still holds back sent at once.
    std::function<void()> releaseHeldRequestBytes;
};

// The one HTTP client of the backend service. Runs on the thread of its network access manager;
// every call is a task that suspends while the request is in flight.
//
// Every failure is thrown as a QuorvelleError: transport failures (idle time-out or deadline ->
// requestTimedOut; refused, dropped or unreachable -> networkUnavailable; an answer over the size
// cap or anything else -> unexpected; a transfer that fails after a 2xx status counts as a
// transport failure), error statuses through mapHTTPError (a redirect is not followed, so the token
// and body never reach another host: a 3xx is an error status), and a 2xx body that does not decode
// -> unexpected. A transfer aborted by the caller's stop request ends with CancellationError. Each failed
// request leaves a diagnostic record that lastRequestDiagnosticContext() hands out once; a new
// request starts with no record, so a record always belongs to the latest request.
class BackendAPIClient : public BackendAPIClienting, public BackendRequestDiagnosticsProviding {
public:
    BackendAPIClient(QNetworkAccessManager* session, QUrl baseURL, BackendAPIClientOptions options = {});

    QCoro::Task<BackendDeviceLoginStartResponse> startDeviceLogin(BackendDeviceLoginStartRequest request) override;
    QCoro::Task<BackendDeviceLoginPollResponse> pollDeviceLogin(QString deviceLoginID,
                                                                QString devicePollSecret) override;
    QCoro::Task<BackendSessionRefreshResponse> refreshSession(QString refreshToken) override;
    QCoro::Task<DeviceRegistrationEnvelope> registerDevice(BackendDeviceRegistrationRequest request,
                                                           QString accessToken) override;
    QCoro::Task<void> logout(QString accessToken) override;
    QCoro::Task<void> reportDiagnosticError(BackendDiagnosticErrorReport report, QString accessToken) override;
    QCoro::Task<GeneratedTranscriptionResponse> uploadTranscription(BackendTranscriptionRequest request,
                                                                    QString accessToken, QString deviceID,
                                                                    QString boundary,
                                                                    std::stop_token stopToken = {}) override;

    std::optional<BackendRequestDiagnosticContext> lastRequestDiagnosticContext() override;

    // A request for the reference resolved against the base address, with the version, build and a
    // fresh X-Request-ID; a reference that cannot be resolved gives a bare request for the base address.
    QNetworkRequest makeRequest(const QUrl& reference) const;

    // Sends the request and returns the body of a 2xx answer; throws QuorvelleError otherwise.
    // An empty method means GET; a POST without a body sends no body and no Content-Type.
    QCoro::Task<QByteArray> send(QNetworkRequest request, QByteArray method, std::optional<QByteArray> body,
                                 ReplyLimits limits, std::stop_token stopToken = {});

    // send() with the default limits, decoding the answer as Payload.
    template <typename Payload>
    QCoro::Task<Payload> sendDecoding(QNetworkRequest request, QByteArray method, std::optional<QByteArray> body);

    // The log event of a report; throws like any call.
    QCoro::Task<void> postLogEvent(BackendDiagnosticErrorReport report, QString accessToken);

private:
    QNetworkAccessManager* m_session;
    QUrl m_baseURL;
    BackendAPIClientOptions m_options;
    std::optional<BackendRequestDiagnosticContext> m_lastDiagnosticContext;
};

// The record of a 2xx body; a body that is not JSON or breaks the record's rules is an unexpected failure.
template <typename Payload>
Payload decodeSuccessBody(const QByteArray& body) {
    if (const auto document = wire::parseDocument(body)) {
        try {
            return Payload::fromJson(*document);
        } catch (const WireDecodingError&) {
        }
    }
    throw QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure);
}

template <typename Payload>
QCoro::Task<Payload> BackendAPIClient::sendDecoding(QNetworkRequest request, QByteArray method,
                                                    std::optional<QByteArray> body) {
    const ReplyLimits limits{m_options.requestTimeout, m_options.requestDeadline, m_options.maximumAnswerSize,
                             m_options.maximumHeadSize, m_options.connections};
    // Started outside the co_await expression: GCC 12 destroys temporaries made inside one twice.
    QCoro::Task<QByteArray> sending = send(std::move(request), std::move(method), std::move(body), limits);
    const QByteArray answer = co_await std::move(sending);
    co_return decodeSuccessBody<Payload>(answer);
}

}  // namespace quorvelle
