#include "BackendTestSupport.h"

#include "Services/Backend/BackendErrorMapping.h"
#include "Services/Backend/PlainWebRequest.h"
#include "Support/CancellationError.h"

#include <QRegularExpression>

#include <stop_token>

namespace quorvelle::test {
namespace {

const QByteArray kRefreshAnswer = R"({"access_token":"new-access","refresh_token":"new-refresh"})";

class BackendTransportTests : public BackendClientTest {};

TEST_F(BackendTransportTests, MapsEveryStatusAndProblemCodeAndRecordsTheCode) {
    struct Row {
        int status;
        QByteArray body;
        Case expected;
        QString recordedCode;
    };
    const QList<Row> rows = {
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
        {503, R"({"code":"PROVIDER_UNAVAILABLE"})", Case::unexpectedRuntimeFailure, "UNEXPECTED_RUNTIME_FAILURE"},
        {503, R"({"title":"t","code":"PROVIDER_TIMEOUT"})", Case::unexpectedRuntimeFailure, "PROVIDER_TIMEOUT"},
        {504, R"({"title":"t","code":"PROVIDER_TIMEOUT"})", Case::providerTimeout, "PROVIDER_TIMEOUT"},
        {500, R"({"title":"Internal"})", Case::unexpectedRuntimeFailure, "Internal"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.body.isEmpty() ? QByteArray::number(row.status).toStdString() : row.body.toStdString());
        answerRefresh(FakeResponse::json(row.status, row.body));
        EXPECT_EQ(refreshFailure(), QuorvelleError(row.expected));
        const auto context = client->lastRequestDiagnosticContext();
        ASSERT_TRUE(context.has_value());
        EXPECT_EQ(context->statusCode, row.status);
        EXPECT_EQ(context->errorCode, row.recordedCode);
    }
}

TEST_F(BackendTransportTests, Every2xxIsASuccessAndEachRequestCarriesTheVersionAndAFreshUpperCaseId) {
    client = std::make_unique<BackendAPIClient>(&manager, server.url(QStringLiteral("/api/base/")), testOptions());
    for (const int status : {201, 299}) {
        answerRefresh(FakeResponse::json(status, kRefreshAnswer));
        const auto answer = runTask(client->refreshSession(QStringLiteral("r")));
        EXPECT_EQ(answer.accessToken, "new-access");
        EXPECT_EQ(answer.refreshToken, "new-refresh");
    }
    const QRegularExpression upperUuid(QStringLiteral("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$"));
    for (const RecordedRequest& request : server.requests()) {
        EXPECT_EQ(request.path, kRefreshPath);  // the path replaces the base's
        EXPECT_EQ(request.header("X-Quorvelle-App-Version"), "1.4.0");
        EXPECT_EQ(request.header("X-Quorvelle-Build"), "140");
        EXPECT_TRUE(upperUuid.match(QString::fromLatin1(request.header("X-Request-ID"))).hasMatch());
    }
    EXPECT_NE(server.requests()[0].header("X-Request-ID"), server.requests()[1].header("X-Request-ID"));
}

TEST_F(BackendTransportTests, RetryAfterGivesWholeSecondsOfAtLeastOneFromTheFirstUsableField) {
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

TEST_F(BackendTransportTests, SilenceTimesOutWhileADroppedConnectionIsANetworkFailure) {
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
    const auto unanswered = client->lastRequestDiagnosticContext();
    ASSERT_TRUE(unanswered.has_value());
    EXPECT_EQ(unanswered->statusCode, std::nullopt);
    EXPECT_EQ(unanswered->errorCode, "UNEXPECTED_RUNTIME_FAILURE");
}

TEST_F(BackendTransportTests, AStopRequestAbortsAPlainGetAndAnUploadAsACancellation) {
    const QUrl latest = server.url(QStringLiteral("/v1/releases/latest"));
    server.respond("GET", latest.path(), FakeResponse::silence());
    server.respond("POST", QStringLiteral("/v1/transcriptions"), FakeResponse::silence());
    std::stop_source stop;
    QObject::connect(&server, &FakeBackendServer::requestReceived, [&stop] { stop.request_stop(); });
    EXPECT_THROW(runTask(fetchPlainGet(&manager, latest, stop.get_token())), CancellationError);

    stop = std::stop_source();
    BackendTranscriptionRequest request;
    request.clip.fileExtension = QStringLiteral("wav");
    EXPECT_THROW(runTask(client->uploadTranscription(request, "a", "d", "B", stop.get_token())), CancellationError);
    // Nothing failed, so there is no failure to describe.
    EXPECT_FALSE(client->lastRequestDiagnosticContext().has_value());
}

TEST_F(BackendTransportTests, TheRecordedRequestIdComesFromTheAnswerElseFromTheRequestAndTimeFromTheClock) {
    BackendAPIClientOptions options = testOptions();
    qint64 now = 1'000'000;
    options.nowMilliseconds = [&now] { return std::exchange(now, now + 1234); };
    client = makeClient(options);
    const QByteArray titled = R"({"title":"t","request_id":"from-body"})";
    const QList<QPair<FakeResponse, std::optional<QString>>> rows = {
        // none: the id the client sent
        {FakeResponse::json(500, titled).header("x-request-id", "from-header"), "from-header"},
        {FakeResponse::json(500, titled).header("X-Request-ID", ""), "from-body"},
        {FakeResponse::json(500, R"({"request_id":"from-body"})"), std::nullopt},
        {FakeResponse::json(500, {}), std::nullopt},
    };
    for (const auto& [response, expected] : rows) {
        answerRefresh(response);
        ASSERT_TRUE(refreshFailure().has_value());
        const auto context = client->lastRequestDiagnosticContext().value();
        EXPECT_EQ(context.requestID,
                  expected.value_or(QString::fromLatin1(server.requests().last().header("X-Request-ID"))));
        EXPECT_EQ(context.elapsedMilliseconds, 1234);
    }
}

TEST_F(BackendTransportTests, TheRecordIsHandedOutOnceAndBelongsToTheLatestRequest) {
    for (const auto& [status, body] : QList<QPair<int, QByteArray>>{
             {500, {}}, {500, {}}, {200, kRefreshAnswer}, {401, {}}, {200, R"({"access_token":"only"})"}})
        server.respond("POST", kRefreshPath, FakeResponse::json(status, body));

    ASSERT_TRUE(refreshFailure().has_value());
    ASSERT_TRUE(client->lastRequestDiagnosticContext().has_value());
    EXPECT_FALSE(client->lastRequestDiagnosticContext().has_value());
    // A failure followed by a success, or by a 2xx answer that does not decode: neither carries the failure.
    ASSERT_TRUE(refreshFailure().has_value());
    EXPECT_FALSE(refreshFailure().has_value());
    EXPECT_FALSE(client->lastRequestDiagnosticContext().has_value());
    ASSERT_TRUE(refreshFailure().has_value());
    EXPECT_EQ(refreshFailure(), QuorvelleError(Case::unexpectedRuntimeFailure));
    EXPECT_FALSE(client->lastRequestDiagnosticContext().has_value());
}

}  // namespace
}  // namespace quorvelle::test
