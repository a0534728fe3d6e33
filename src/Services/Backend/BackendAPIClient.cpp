#include "Services/Backend/BackendAPIClient.h"

#include "Services/Backend/BackendErrorMapping.h"
#include "Services/Backend/BackendRequestPayloads.h"
#include "Support/CancellationError.h"
#include "Support/JsonCoding.h"

#include <QCoroNetworkReply>
#include <QDateTime>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QUrlQuery>
#include <QUuid>
#include <QtDebug>

#include <algorithm>
#include <memory>

namespace quorvelle {

namespace {

const QByteArray kRequestIDHeader = "X-Request-ID";
const QByteArray kJsonContentType = "application/json";

struct ReplyDeleter {
    void operator()(QNetworkReply* reply) const { reply->deleteLater(); }
};

QByteArray jsonBody(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

void setBearer(QNetworkRequest& request, const QString& accessToken) {
    request.setRawHeader("Authorization", "Bearer " + accessToken.toUtf8());
}

QNetworkRequest jsonRequest(QNetworkRequest request) {
    request.setRawHeader("Content-Type", kJsonContentType);
    return request;
}

std::optional<QString> sentRequestID(const QNetworkRequest& request) {
    if (!request.hasRawHeader(kRequestIDHeader)) return std::nullopt;
    return QString::fromLatin1(request.rawHeader(kRequestIDHeader));
}

}  // namespace

BackendAPIClient::BackendAPIClient(QNetworkAccessManager* session, QUrl baseURL, BackendAPIClientOptions options)
    : m_session(session), m_baseURL(std::move(baseURL)), m_options(std::move(options)) {
    if (!m_options.nowMilliseconds) m_options.nowMilliseconds = [] { return QDateTime::currentMSecsSinceEpoch(); };
}

std::optional<BackendRequestDiagnosticContext> BackendAPIClient::lastRequestDiagnosticContext() {
    return std::exchange(m_lastDiagnosticContext, std::nullopt);
}

QNetworkRequest BackendAPIClient::makeRequest(const QUrl& reference) const {
    const QUrl url = reference.isValid() ? m_baseURL.resolved(reference) : QUrl();
    if (!url.isValid() || url.isEmpty()) return QNetworkRequest(m_baseURL);
    QNetworkRequest request(url);
    if (m_options.appVersion) request.setRawHeader("X-Quorvelle-App-Version", m_options.appVersion->toUtf8());
    if (m_options.build) request.setRawHeader("X-Quorvelle-Build", m_options.build->toUtf8());
    request.setRawHeader(kRequestIDHeader, json::uuidToText(QUuid::createUuid()).toLatin1());
    return request;
}

QCoro::Task<QByteArray> BackendAPIClient::send(QNetworkRequest request, QByteArray method,
                                               std::optional<QByteArray> body, ReplyLimits limits,
                                               std::stop_token stopToken) {
    // A record describes the latest request only; an older failure must not be reported as this one's.
    m_lastDiagnosticContext.reset();
    const qint64 start = m_options.nowMilliseconds();
    auto elapsed = [this, start] { return std::max<qint64>(0, m_options.nowMilliseconds() - start); };
    auto fail = [&](const QuorvelleError& mapped) {
        m_lastDiagnosticContext = BackendRequestDiagnosticContext{sentRequestID(request), std::nullopt,
                                                                  backendWireCode(mapped.errorCase()), elapsed()};
        return mapped;
    };

    // The bearer token and the body must never follow a redirect to another host.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    holdAnswerToReadBuffer(request);
    if (method.isEmpty()) method = "GET";
    std::unique_ptr<QNetworkReply, ReplyDeleter> reply(body ? m_session->sendCustomRequest(request, method, *body)
                                                            : m_session->sendCustomRequest(request, method));
    ReplyWatch watch(reply.get(), limits);
    watch.collectBody();
    if (m_options.releaseHeldRequestBytes) {
        m_options.releaseHeldRequestBytes();
        QObject::connect(reply.get(), &QNetworkReply::uploadProgress, reply.get(), m_options.releaseHeldRequestBytes);
    }

    co_await watch.untilEnded(stopToken);
    // Aborted because the caller stopped: that is the caller's own outcome, not a failure.
    if (watch.abortReason() == ReplyWatch::Abort::none) throwIfStopped(stopToken);

    if (watch.abortReason() == ReplyWatch::Abort::bodyTooLarge) {
        qWarning("Backend answer over %lld bytes; transfer aborted", static_cast<long long>(limits.maximumBodySize));
        throw fail(QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure));
    }
    if (watch.abortReason() == ReplyWatch::Abort::timedOut)
        throw fail(QuorvelleError(QuorvelleErrorCase::requestTimedOut));
    const QNetworkReply::NetworkError error = reply->error();
    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const bool success = statusAttribute.isValid() && statusAttribute.toInt() >= 200 && statusAttribute.toInt() <= 299;
    // After a 2xx status any error is the transfer's (a broken chunk, a failed decompression): the
    // body is not whole.
    if (isTransportError(error) || (error != QNetworkReply::NoError && (!statusAttribute.isValid() || success)))
        throw fail(mapTransportError(error));
    if (!statusAttribute.isValid()) throw QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure);

    const int status = statusAttribute.toInt();
    const QByteArray answer = watch.body();
    if (status >= 200 && status <= 299) co_return answer;

    std::optional<ProblemResponsePayload> problem;
    if (const auto document = wire::parseDocument(answer)) {
        try {
            problem = ProblemResponsePayload::fromJson(*document);
        } catch (const WireDecodingError&) {
            // Not a problem body: the status alone decides.
        }
    }
    const RawHeaderList headers = reply->rawHeaderPairs();
    const QuorvelleError mapped = mapHTTPError(status, answer, problem, headers);
    const std::optional<QString> requestID = responseRequestID(headers, problem);
    m_lastDiagnosticContext = BackendRequestDiagnosticContext{
        requestID ? requestID : sentRequestID(request),
        status,
        problem ? problem->problemCode() : backendWireCode(mapped.errorCase()),
        elapsed(),
    };
    throw mapped;
}

// Each call below starts its request outside the co_await expression: GCC 12 destroys temporaries
// made inside one twice, and the request, method and body are all made in the call.
QCoro::Task<BackendDeviceLoginStartResponse> BackendAPIClient::startDeviceLogin(
    BackendDeviceLoginStartRequest request) {
    const DeviceLoginStartPayload payload{request.deviceName, request.osVersion, request.appVersion, request.build};
    QCoro::Task<DeviceLoginStartResponsePayload> sending = sendDecoding<DeviceLoginStartResponsePayload>(
        jsonRequest(makeRequest(QUrl(QStringLiteral("/v1/auth/device-login/start")))), "POST",
        jsonBody(payload.toJson()));
    const auto answer = co_await std::move(sending);
    co_return BackendDeviceLoginStartResponse{answer.deviceLoginId, answer.devicePollSecret, answer.userCode,
                                              answer.verificationUrl, answer.expiresAt};
}

QCoro::Task<BackendDeviceLoginPollResponse> BackendAPIClient::pollDeviceLogin(QString deviceLoginID,
                                                                              QString devicePollSecret) {
    const DeviceLoginPollPayload payload{deviceLoginID, devicePollSecret};
    QCoro::Task<DeviceLoginPollResponsePayload> sending = sendDecoding<DeviceLoginPollResponsePayload>(
        jsonRequest(makeRequest(QUrl(QStringLiteral("/v1/auth/device-login/poll")))), "POST",
        jsonBody(payload.toJson()));
    const auto answer = co_await std::move(sending);
    co_return BackendDeviceLoginPollResponse{answer.status, answer.accessToken, answer.refreshToken, answer.expiresAt};
}

QCoro::Task<BackendSessionRefreshResponse> BackendAPIClient::refreshSession(QString refreshToken) {
    const SessionRefreshPayload payload{refreshToken};
    QCoro::Task<SessionRefreshResponsePayload> sending = sendDecoding<SessionRefreshResponsePayload>(
        jsonRequest(makeRequest(QUrl(QStringLiteral("/v1/auth/session/refresh")))), "POST", jsonBody(payload.toJson()));
    const auto answer = co_await std::move(sending);
    co_return BackendSessionRefreshResponse{answer.accessToken, answer.refreshToken, answer.expiresAt};
}

QCoro::Task<DeviceRegistrationEnvelope> BackendAPIClient::registerDevice(BackendDeviceRegistrationRequest request,
                                                                         QString accessToken) {
    const DeviceRegistrationPayload payload{request.deviceFingerprintHash, request.deviceName, request.osVersion,
                                            request.appVersion, request.build};
    QNetworkRequest http = jsonRequest(makeRequest(QUrl(QStringLiteral("/v1/devices/register"))));
    setBearer(http, accessToken);
    QCoro::Task<DeviceRegistrationEnvelope> sending =
        sendDecoding<DeviceRegistrationEnvelope>(http, "POST", jsonBody(payload.toJson()));
    co_return co_await std::move(sending);
}

QCoro::Task<void> BackendAPIClient::logout(QString accessToken) {
    QNetworkRequest http = makeRequest(QUrl(QStringLiteral("/v1/auth/logout")));
    setBearer(http, accessToken);
    QCoro::Task<EmptyResponsePayload> sending = sendDecoding<EmptyResponsePayload>(http, "POST", std::nullopt);
    co_await std::move(sending);
}

QCoro::Task<void> BackendAPIClient::reportDiagnosticError(BackendDiagnosticErrorReport report, QString accessToken) {
    QUrl reference(QStringLiteral("/v1/client/config"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("product_code"), QStringLiteral("quorvelle"));
    reference.setQuery(query);
    QNetworkRequest http = makeRequest(reference);
    setBearer(http, accessToken);
    try {
        QCoro::Task<ClientConfigPayload> asking = sendDecoding<ClientConfigPayload>(http, "GET", std::nullopt);
        const auto configuration = co_await std::move(asking);
        if (!configuration.flags.value(QStringLiteral("mac_error_reporting"), false)) co_return;
        co_await postLogEvent(std::move(report), std::move(accessToken));
    } catch (const std::exception&) {
        // Reporting is best effort: neither the configuration nor the post may fail the caller.
    }
}

QCoro::Task<void> BackendAPIClient::postLogEvent(BackendDiagnosticErrorReport report, QString accessToken) {
    MacLogEventPayload payload;
    payload.level = QStringLiteral("error");
    payload.source = QStringLiteral("mac");
    payload.errorName = report.errorName;
    payload.message = report.message;
    payload.route = report.route;
    payload.statusCode = report.statusCode;
    payload.errorCode = report.errorCode;
    payload.stack = report.stack;
    payload.requestId = report.requestID;
    payload.context.appVersion = m_options.appVersion;
    payload.context.build = m_options.build;
    payload.context.contextLabel = report.contextLabel;
    payload.context.elapsedMs = report.elapsedMilliseconds;
    payload.context.idempotencyKey = report.idempotencyKey;
    payload.context.platform = QStringLiteral("macos");

    QNetworkRequest http = jsonRequest(makeRequest(QUrl(QStringLiteral("/v1/internal/log-events"))));
    setBearer(http, accessToken);
    QCoro::Task<InternalLogEventAcceptedPayload> sending =
        sendDecoding<InternalLogEventAcceptedPayload>(http, "POST", jsonBody(payload.toJson()));
    co_await std::move(sending);
}

QCoro::Task<GeneratedTranscriptionResponse> BackendAPIClient::uploadTranscription(BackendTranscriptionRequest request,
                                                                                  QString accessToken, QString deviceID,
                                                                                  QString boundary,
                                                                                  std::stop_token stopToken) {
    QNetworkRequest http = makeRequest(QUrl(QStringLiteral("/v1/transcriptions")));
    setBearer(http, accessToken);
    http.setRawHeader("X-Quorvelle-Device-Id", deviceID.toUtf8());
    http.setRawHeader("Content-Type", "multipart/form-data; boundary=" + boundary.toUtf8());
    const ReplyLimits limits{m_options.uploadTimeout, m_options.uploadDeadline, m_options.maximumAnswerSize,
                             m_options.maximumHeadSize, m_options.connections};
    // Started outside the co_await expression: GCC 12 destroys temporaries made inside one twice.
    QCoro::Task<QByteArray> sending = send(http, "POST", makeTranscriptionBody(request, boundary), limits, stopToken);
    const QByteArray answer = co_await std::move(sending);
    co_return decodeSuccessBody<GeneratedTranscriptionResponse>(answer);
}

}  // namespace quorvelle
