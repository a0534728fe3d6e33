#include "BackendTestSupport.h"

#include "Services/Backend/BackendErrorMapping.h"
#include "Services/Backend/PlainWebRequest.h"
#include "Support/CancellationError.h"

#include <QRegularExpression>
#include <QSet>

#include <stop_token>

namespace quorvelle::test {
namespace {

const QString kUploadPath = QStringLiteral("/v1/transcriptions");
const QString kConfigPath = QStringLiteral("/v1/client/config");
const QString kLogPath = QStringLiteral("/v1/internal/log-events");
const QByteArray kRefreshAnswer = R"({"access_token":"new-access","refresh_token":"new-refresh"})";

class BackendAPIClientTests : public BackendClientTest {};

TEST_F(BackendAPIClientTests, MapsEveryStatusAndProblemCodeAndRecordsTheCode) {
    const QList<std::tuple<int, QByteArray, Case, QString>> rows = {
        // the last: the record's error code
        {401, {}, Case::invalidAPIKey, "INVALID_API_KEY"},
        {403, R"({"title":"Forbidden","code":"SESSION_REVOKED"})", Case::invalidAPIKey, "SESSION_REVOKED"},
        {408, {}, Case::requestTimedOut, "REQUEST_TIMED_OUT"},
        {409, R"({"status":"consumed"})", Case::loginCodeAlreadyUsed, "LOGIN_CODE_ALREADY_USED"},
        {409, R"({"status":"Consumed"})", Case::unexpectedRuntimeFailure, "UNEXPECTED_RUNTIME_FAILURE"},
        {429, {}, Case::rateLimited, "RATE_LIMITED"},
        {503, "<html>busy</html>", Case::unexpectedRuntimeFailure, "UNEXPECTED_RUNTIME_FAILURE"},
        {503, R"({"title":"t","error":{"code":"PROVIDER_UNAVAILABLE"}})", Case::providerUnavailable,
         "PROVIDER_UNAVAILABLE"},
        {503, R"({"title":"PROVIDER_UNAVAILABLE"})", Case::providerUnavailable, "PROVIDER_UNAVAILABLE"},
        {502, R"({"title":"RATE_LIMITER_UNAVAILABLE"})", Case::providerUnavailable, "RATE_LIMITER_UNAVAILABLE"},
        {503, R"({"code":"PROVIDER_UNAVAILABLE"})", Case::unexpectedRuntimeFailure, "UNEXPECTED_RUNTIME_FAILURE"},
        {503, R"({"title":"t","code":"PROVIDER_TIMEOUT"})", Case::unexpectedRuntimeFailure, "PROVIDER_TIMEOUT"},
        {504, R"({"title":"t","code":"PROVIDER_TIMEOUT"})", Case::providerTimeout, "PROVIDER_TIMEOUT"},
        {500, R"({"title":"Internal"})", Case::unexpectedRuntimeFailure, "Internal"},
    };
    for (const auto& [status, body, expected, recordedCode] : rows) {
        SCOPED_TRACE(body.isEmpty() ? QByteArray::number(status).toStdString() : body.toStdString());
        answerRefresh(FakeResponse::json(status, body));
        EXPECT_EQ(refreshFailure(), QuorvelleError(expected));
        const auto context = client->lastRequestDiagnosticContext().value();
        EXPECT_EQ(context.statusCode, status);
        EXPECT_EQ(context.errorCode, recordedCode);
    }
}

TEST_F(BackendAPIClientTests, RetryAfterGivesWholeSecondsOfAtLeastOneFromTheFirstUsableField) {
    const QList<QPair<QByteArray, std::optional<qint64>>> rows = {
        {"0", 1}, {"  30  ", 30}, {"+5", 5}, {"-3", 1}, {"Wed, 21 Oct 2015 07:28:00 GMT", {}}, {"1.5", {}}, {"   ", {}},
    };
    for (const auto& [value, seconds] : rows)
        EXPECT_EQ(retryAfterSeconds({{"Retry-After", value}}), seconds) << value.toStdString();
    EXPECT_EQ(retryAfterSeconds(
                  {{"retry-after", "   "}, {"RETRY-AFTER", "later"}, {"Retry-After", "12"}, {"Retry-After", "40"}}),
              12);
    EXPECT_EQ(retryAfterSeconds({{"Retry-After-Ms", "5"}}), std::nullopt);

    // Through the wire: repeated fields arrive one by one, not joined into one unreadable value.
    server.respond("POST", kRefreshPath,
                   FakeResponse::json(429, {}).header("Retry-After", "soon").header("Retry-After", "7"));
    EXPECT_EQ(refreshFailure(), QuorvelleError::rateLimitedRetryAfter(7));
}

TEST_F(BackendAPIClientTests, SilenceTimesOutADroppedConnectionIsANetworkFailureAndAStopACancellation) {
    BackendAPIClientOptions options = testOptions();
    options.requestTimeout = std::chrono::milliseconds(150);
    client = makeClient(options);
    answerRefresh(FakeResponse::silence());
    EXPECT_EQ(refreshFailure(), QuorvelleError(Case::requestTimedOut));
    EXPECT_EQ(client->lastRequestDiagnosticContext()->statusCode, std::nullopt);

    answerRefresh(FakeResponse::dropConnection());
    EXPECT_EQ(refreshFailure(), QuorvelleError(Case::networkUnavailable));
    EXPECT_EQ(client->lastRequestDiagnosticContext()->errorCode, "NETWORK_UNAVAILABLE");

    // No HTTP status and a Qt error past the transport ones (a file address refuses a POST).
    client = std::make_unique<BackendAPIClient>(&manager, QUrl(QStringLiteral("file:///nowhere/")), testOptions());
    EXPECT_EQ(refreshFailure(), QuorvelleError(Case::unexpectedRuntimeFailure));
    const auto unanswered = client->lastRequestDiagnosticContext().value();
    EXPECT_EQ(unanswered.statusCode, std::nullopt);
    EXPECT_EQ(unanswered.errorCode, "UNEXPECTED_RUNTIME_FAILURE");

    // A stop ends a plain GET or an upload as a cancellation, which leaves no failure to describe.
    client = makeClient();
    const QUrl latest = server.url(QStringLiteral("/v1/releases/latest"));
    server.respond("GET", latest.path(), FakeResponse::silence());
    server.respond("POST", kUploadPath, FakeResponse::silence());
    std::stop_source stop;
    QObject::connect(&server, &FakeBackendServer::requestReceived, [&stop] { stop.request_stop(); });
    EXPECT_THROW(runTask(fetchPlainGet(&manager, latest, stop.get_token())), CancellationError);

    stop = std::stop_source();
    BackendTranscriptionRequest request;
    request.clip.fileExtension = QStringLiteral("wav");
    EXPECT_THROW(runTask(client->uploadTranscription(request, "a", "d", "B", stop.get_token())), CancellationError);
    EXPECT_FALSE(client->lastRequestDiagnosticContext().has_value());
}

TEST_F(BackendAPIClientTests, RequestsCarryTheVersionAndFreshIdsAndTheFailureRecordIsHandedOutOnceForTheLatest) {
    BackendAPIClientOptions options = testOptions();
    options.nowMilliseconds = [now = qint64(0)]() mutable { return now += 1234; };
    client = std::make_unique<BackendAPIClient>(&manager, server.url(QStringLiteral("/api/base/")), options);
    server.respond("POST", kRefreshPath,
                   FakeResponse::json(500, R"({"title":"t","request_id":"body"})")
                       .header("x-request-id", "header")
                       .header("X-Request-ID", "second"));
    for (const auto& [status, body] : QList<QPair<int, QByteArray>>{
             {500, {}}, {201, kRefreshAnswer}, {401, {}}, {299, R"({"access_token":"only"})"}})
        server.respond("POST", kRefreshPath, FakeResponse::json(status, body));

    ASSERT_TRUE(refreshFailure().has_value());
    const auto record = client->lastRequestDiagnosticContext();
    EXPECT_EQ(record.value().requestID, "header");
    EXPECT_EQ(record.value().elapsedMilliseconds, 1234);
    EXPECT_FALSE(client->lastRequestDiagnosticContext().has_value());
    // A failure followed by a success, or by a 2xx answer that does not decode: neither carries the failure.
    ASSERT_TRUE(refreshFailure().has_value());
    runTask(client->refreshSession(QStringLiteral("r")));
    EXPECT_FALSE(client->lastRequestDiagnosticContext().has_value());
    ASSERT_TRUE(refreshFailure().has_value());
    EXPECT_EQ(refreshFailure(), QuorvelleError(Case::unexpectedRuntimeFailure));
    EXPECT_FALSE(client->lastRequestDiagnosticContext().has_value());

    const QRegularExpression upperUuid(QStringLiteral("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$"));
    QSet<QByteArray> ids;
    for (const RecordedRequest& request : server.requests()) {
        EXPECT_EQ(request.path, kRefreshPath);  // the path replaces the base's
        EXPECT_EQ(request.header("X-Quorvelle-App-Version"), "1.4.0");
        EXPECT_EQ(request.header("X-Quorvelle-Build"), "140");
        EXPECT_TRUE(upperUuid.match(QString::fromLatin1(request.header("X-Request-ID"))).hasMatch());
        ids.insert(request.header("X-Request-ID"));
    }
    EXPECT_EQ(ids.size(), 5);
}

TEST_F(BackendAPIClientTests, AnswersThatBreakTheirRecordFailTheCall) {
    const QByteArray start = R"({"device_login_id":"L","device_poll_secret":"S","user_code":"U","verification_url":)";
    const QList<QPair<QString, QByteArray>> rows = {
        {"/v1/auth/device-login/start", start + R"("not an address"})"},
        {"/v1/auth/device-login/start", start + R"("file:///etc/passwd"})"},
        {"/v1/auth/device-login/poll", R"({"access_token":"a"})"},
        {"/v1/auth/device-login/poll", R"({"status":"approved","access_token":5})"},
        {"/v1/devices/register", R"({"status":"ok","device":{}})"},
        {"/v1/auth/logout", ""},
    };
    for (const auto& [path, answer] : rows) {
        SCOPED_TRACE(answer.toStdString());
        server.clearScript();
        server.respond("POST", path, FakeResponse::json(200, answer));
        std::optional<QuorvelleError> error;
        if (path.endsWith(QLatin1String("start"))) error = errorOf(client->startDeviceLogin({}));
        if (path.endsWith(QLatin1String("poll"))) error = errorOf(client->pollDeviceLogin("L", "S"));
        if (path.endsWith(QLatin1String("register"))) error = errorOf(client->registerDevice({}, "t"));
        if (path.endsWith(QLatin1String("logout"))) error = errorOf(client->logout("t"));
        EXPECT_EQ(error, QuorvelleError(Case::unexpectedRuntimeFailure));
    }
}

TEST_F(BackendAPIClientTests, DatesAreInternetDateTimesWithOrWithoutFractions) {
    const QDateTime may6 = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC);
    const QList<QPair<const char*, std::optional<QDateTime>>> rows = {
        // none: the call fails; an invalid time: no date
        {R"("2024-05-06T07:08:09Z")", may6},
        {R"("2024-05-06T07:08:09.250Z")", may6.addMSecs(250)},
        {R"("2024-05-06T10:08:09+03:00")", may6},
        {"null", QDateTime()},
        {R"("2024-05-06T07:08:09")", std::nullopt},
        {R"("2024-02-30T07:08:09Z")", std::nullopt},
        {R"("2024-05-06T10:08:09+03:60")", std::nullopt},
        {"1714979289", std::nullopt},
    };
    for (const auto& [expiresAt, expected] : rows) {
        SCOPED_TRACE(expiresAt);
        server.clearScript();
        server.respond("POST", QStringLiteral("/v1/auth/device-login/poll"),
                       FakeResponse::json(200, QByteArray(R"({"status":"approved","expires_at":)") + expiresAt + "}"));
        if (expected)
            EXPECT_EQ(runTask(client->pollDeviceLogin("L", "S")).expiresAt.value_or(QDateTime()), *expected);
        else
            EXPECT_EQ(errorOf(client->pollDeviceLogin("L", "S")), QuorvelleError(Case::unexpectedRuntimeFailure));
    }
}

TEST_F(BackendAPIClientTests, AReportIsPostedAsItIsOnlyWhenTheConfigurationAsksForIt) {
    const QByteArray flag = R"({"cache_ttl_seconds":60,"flags":{"mac_error_reporting":)";
    const QList<QPair<FakeResponse, int>> rows = {
        {FakeResponse::json(200, flag + R"(false},"fallback":false})"), 0},
        {FakeResponse::json(200, flag + R"(true}})"), 0},  // no fallback field
        {FakeResponse::json(401, R"({"title":"Unauthorized"})"), 0},
        {FakeResponse::json(200, flag + R"(true},"fallback":false})"), 2},
    };
    const BackendDiagnosticErrorReport full{"E1", "m1", "REQ", "/v1/x", "label", 504, {}, 812, "KEY", {}};
    for (const auto& [configuration, posted] : rows) {
        server.clearScript();
        server.clearRequests();
        server.respond("GET", kConfigPath, configuration);
        server.respond("POST", kLogPath, FakeResponse::json(500, R"({"title":"down"})"));  // never thrown
        runTask(client->reportDiagnosticError(full, QStringLiteral("tok")));
        runTask(client->reportDiagnosticError({"E", "m", {}, {}, {}, {}, {}, {}, {}, {}}, "tok"));
        EXPECT_EQ(server.requestsTo(kLogPath).size(), posted);
        const auto configurations = server.requestsTo(kConfigPath);
        ASSERT_EQ(configurations.size(), 2);
        EXPECT_EQ(configurations[0].rawQuery, "product_code=quorvelle");
        EXPECT_EQ(configurations[0].header("Authorization"), "Bearer tok");
    }
    const auto events = server.requestsTo(kLogPath);
    ASSERT_EQ(events.size(), 2);
    EXPECT_EQ(events[0].header("Content-Type"), "application/json");
    EXPECT_EQ(events[0].header("Authorization"), "Bearer tok");
    const QByteArray head = R"({"level":"error","source":"mac",)";
    const QByteArray app = R"("app_version":"1.4.0","build":"140","platform":"macos")";
    EXPECT_EQ(events[0].jsonObject(),
              jsonObject(head +
                         R"("error_name":"E1","message":"m1","route":"/v1/x","status_code":504,"request_id":"REQ",)"
                         R"("context":{"context_label":"label","elapsed_ms":812,"idempotency_key":"KEY",)" +
                         app + "}}"));
    EXPECT_EQ(events[1].jsonObject(), jsonObject(head + R"("error_name":"E","message":"m","context":{)" + app + "}}"));
}

TEST_F(BackendAPIClientTests, AnUploadAnswerNeedsItsTextAndAWholeLatency) {
    const QByteArray good = R"({"request_id":"R","text":"merhaba","latency_ms":{"backend_total":90,"provider":70}})";
    server.respond("POST", kUploadPath, FakeResponse::json(200, good));
    BackendTranscriptionRequest request;
    request.clip.fileExtension = QStringLiteral("wav");
    const auto answer = runTask(client->uploadTranscription(request, "tok", "DEV", "B"));
    EXPECT_EQ(answer.text, "merhaba");
    EXPECT_EQ(answer.latencyMs, (GeneratedTranscriptionLatency{90, 70}));
    for (const QByteArray& broken : {QByteArray(R"({"request_id":"R"})"), QByteArray(R"({"text":"t"})"),
                                     QByteArray(R"({"request_id":"R","text":"t","latency_ms":{"provider":1}})")}) {
        SCOPED_TRACE(broken.toStdString());
        server.clearScript();
        server.respond("POST", kUploadPath, FakeResponse::json(200, broken));
        EXPECT_EQ(errorOf(client->uploadTranscription(request, "tok", "DEV", "B")),
                  QuorvelleError(Case::unexpectedRuntimeFailure));
    }
}

}  // namespace
}  // namespace quorvelle::test
