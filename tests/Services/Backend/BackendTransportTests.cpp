#include "BackendTestSupport.h"

#include "Services/Backend/BackendErrorMapping.h"
#include "Services/Backend/PlainWebRequest.h"
#include "Services/Backend/WebRequestError.h"
#include "Support/CancellationError.h"

#include <QRegularExpression>

#include <stop_token>

namespace quorvelle::test {
namespace {

using Case = QuorvelleErrorCase;
const QString kRefreshPath = QStringLiteral("/v1/auth/session/refresh");
const QByteArray kRefreshAnswer = R"({"access_token":"new-access","refresh_token":"new-refresh"})";

class BackendTransportTests : public BackendClientTest {
protected:
    std::optional<QuorvelleError> refreshFailure() { return errorOf(client->refreshSession(QStringLiteral("r"))); }
};

struct StatusRow {
    const char* label;
    int status;
    QByteArray body;
    Case expected;
    QString recordedCode;  // the diagnostic record's error code
};

TEST_F(BackendTransportTests, MapsEveryStatusAndProblemCodeAndRecordsTheCode) {
    const QList<StatusRow> rows = {
        {"401", 401, {}, Case::invalidAPIKey, "INVALID_API_KEY"},
        {"403 with problem", 403, R"({"title":"Forbidden","code":"SESSION_REVOKED"})", Case::invalidAPIKey,
         "SESSION_REVOKED"},
        {"408", 408, {}, Case::requestTimedOut, "REQUEST_TIMED_OUT"},
        {"409 consumed", 409, R"({"status":"consumed"})", Case::loginCodeAlreadyUsed, "LOGIN_CODE_ALREADY_USED"},
        {"409 Consumed", 409, R"({"status":"Consumed"})", Case::unexpectedRuntimeFailure, "UNEXPECTED_RUNTIME_FAILURE"},
        {"429 without Retry-After", 429, {}, Case::rateLimited, "RATE_LIMITED"},
        {"503 not JSON", 503, "<html>busy</html>", Case::unexpectedRuntimeFailure, "UNEXPECTED_RUNTIME_FAILURE"},
        {"503 nested code", 503, R"({"title":"t","error":{"code":"PROVIDER_UNAVAILABLE"}})", Case::providerUnavailable,
         "PROVIDER_UNAVAILABLE"},
        {"503 code in title", 503, R"({"title":"PROVIDER_UNAVAILABLE"})", Case::providerUnavailable,
         "PROVIDER_UNAVAILABLE"},
        {"503 without title", 503, R"({"code":"PROVIDER_UNAVAILABLE"})", Case::unexpectedRuntimeFailure,
         "UNEXPECTED_RUNTIME_FAILURE"},
        {"503 other code", 503, R"({"title":"t","code":"PROVIDER_TIMEOUT"})", Case::unexpectedRuntimeFailure,
         "PROVIDER_TIMEOUT"},
        {"504 provider", 504, R"({"title":"t","code":"PROVIDER_TIMEOUT"})", Case::providerTimeout, "PROVIDER_TIMEOUT"},
        {"500", 500, R"({"title":"Internal"})", Case::unexpectedRuntimeFailure, "Internal"},
    };
    for (const StatusRow& row : rows) {
        SCOPED_TRACE(row.label);
        server.clearScript();
        server.respond("POST", kRefreshPath, FakeResponse::json(row.status, row.body));
        const auto error = refreshFailure();
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(caseName(error->errorCase()), std::string(caseName(row.expected)));
        const auto context = client->lastRequestDiagnosticContext();
        ASSERT_TRUE(context.has_value());
        EXPECT_EQ(context->statusCode, row.status);
        EXPECT_EQ(context->errorCode, row.recordedCode);
    }
}

TEST_F(BackendTransportTests, EveryStatusFrom200To299IsASuccessAndPathsReplaceTheBasePath) {
    client = std::make_unique<BackendAPIClient>(&manager, server.url(QStringLiteral("/api/base/")), testOptions());
    for (const int status : {201, 299}) {
        SCOPED_TRACE(status);
        server.clearScript();
        server.respond("POST", kRefreshPath, FakeResponse::json(status, kRefreshAnswer));
        const auto answer = runTask(client->refreshSession(QStringLiteral("r")));
        EXPECT_EQ(answer.accessToken, "new-access");
        EXPECT_EQ(answer.refreshToken, "new-refresh");
        EXPECT_EQ(server.requests().last().path, kRefreshPath);
    }
}

TEST_F(BackendTransportTests, RetryAfterGivesWholeSecondsOfAtLeastOneFromTheFirstUsableField) {
    const QList<QPair<QByteArray, std::optional<qint64>>> rows = {
        {"0", 1},
        {"  30  ", 30},
        {"+5", 5},
        {"-3", 1},
        {"Wed, 21 Oct 2015 07:28:00 GMT", std::nullopt},
        {"1.5", std::nullopt},
        {"   ", std::nullopt},
    };
    for (const auto& [value, seconds] : rows) {
        SCOPED_TRACE(value.toStdString());
        EXPECT_EQ(retryAfterSeconds({{"Retry-After", value}}), seconds);
    }
    EXPECT_EQ(retryAfterSeconds(
                  {{"retry-after", "   "}, {"RETRY-AFTER", "later"}, {"Retry-After", "12"}, {"Retry-After", "40"}}),
              12);
    EXPECT_EQ(retryAfterSeconds({{"Retry-After-Ms", "5"}}), std::nullopt);

    server.respond("POST", kRefreshPath, FakeResponse::json(429, {}).header("Retry-After", "7"));
    EXPECT_EQ(refreshFailure(), QuorvelleError::rateLimitedRetryAfter(7));
}

TEST_F(BackendTransportTests, SilenceTimesOutWhileADroppedConnectionIsANetworkFailure) {
    BackendAPIClientOptions options = testOptions();
    options.requestTimeout = std::chrono::milliseconds(150);
    client = makeClient(options);

    server.respond("POST", kRefreshPath, FakeResponse::silence());
    EXPECT_EQ(refreshFailure(), QuorvelleError(Case::requestTimedOut));
    EXPECT_EQ(client->lastRequestDiagnosticContext()->statusCode, std::nullopt);

    server.clearScript();
    server.respond("POST", kRefreshPath, FakeResponse::dropConnection());
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

TEST_F(BackendTransportTests, APlainGetThatIsNeverAnsweredFailsAndAStoppedOneIsCancelled) {
    const QUrl latest = server.url(QStringLiteral("/v1/releases/latest"));
    server.respond("GET", latest.path(), FakeResponse::silence());
    try {
        runTask(fetchPlainGet(&manager, latest, {}, std::chrono::milliseconds(150)));
        ADD_FAILURE() << "an unanswered request succeeded";
    } catch (const WebRequestError& error) {
        EXPECT_EQ(error.errorCase(), WebRequestError::Case::transportFailure);
    }
    std::stop_source stop;
    QObject::connect(&server, &FakeBackendServer::requestReceived, [&stop] { stop.request_stop(); });
    EXPECT_THROW(runTask(fetchPlainGet(&manager, latest, stop.get_token())), CancellationError);
}

TEST_F(BackendTransportTests, AStopRequestAbortsTheTransferAsACancellation) {
    server.respond("POST", QStringLiteral("/v1/transcriptions"), FakeResponse::silence());
    std::stop_source stop;
    QObject::connect(&server, &FakeBackendServer::requestReceived, [&stop] { stop.request_stop(); });
    BackendTranscriptionRequest request;
    request.clip.fileExtension = QStringLiteral("wav");
    EXPECT_THROW(test::runTask(client->uploadTranscription(request, QStringLiteral("a"), QStringLiteral("d"),
                                                           QStringLiteral("B"), stop.get_token())),
                 CancellationError);
    // Nothing failed, so there is no failure to describe.
    EXPECT_FALSE(client->lastRequestDiagnosticContext().has_value());
}

TEST_F(BackendTransportTests, TheRecordedRequestIdComesFromTheAnswerElseFromTheRequest) {
    struct Row {
        const char* label;
        FakeResponse response;
        std::optional<QString> expected;  // none: the id the client sent
    };
    const QList<Row> rows = {
        {"header wins",
         FakeResponse::json(500, R"({"title":"t","request_id":"from-body"})").header("x-request-id", "from-header"),
         "from-header"},
        {"empty header skipped",
         FakeResponse::json(500, R"({"title":"t","request_id":"from-body"})").header("X-Request-ID", ""), "from-body"},
        {"body without title ignored", FakeResponse::json(500, R"({"request_id":"from-body"})"), std::nullopt},
        {"nothing in the answer", FakeResponse::json(500, {}), std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        server.clearScript();
        server.respond("POST", kRefreshPath, row.response);
        ASSERT_TRUE(refreshFailure().has_value());
        const auto context = client->lastRequestDiagnosticContext();
        ASSERT_TRUE(context.has_value());
        EXPECT_EQ(context->requestID,
                  row.expected.value_or(QString::fromLatin1(server.requests().last().header("X-Request-ID"))));
    }
}

TEST_F(BackendTransportTests, TheRecordIsHandedOutOnceAndBelongsToTheLatestRequest) {
    server.respond("POST", kRefreshPath, FakeResponse::json(500, {}));
    server.respond("POST", kRefreshPath, FakeResponse::json(500, {}));
    server.respond("POST", kRefreshPath, FakeResponse::json(200, kRefreshAnswer));
    server.respond("POST", kRefreshPath, FakeResponse::json(401, {}));
    server.respond("POST", kRefreshPath, FakeResponse::json(200, R"({"access_token":"only"})"));

    ASSERT_TRUE(refreshFailure().has_value());
    ASSERT_TRUE(client->lastRequestDiagnosticContext().has_value());
    EXPECT_FALSE(client->lastRequestDiagnosticContext().has_value());

    // A failure followed by a success: the success's report must not carry the failure.
    ASSERT_TRUE(refreshFailure().has_value());
    EXPECT_FALSE(refreshFailure().has_value());
    EXPECT_FALSE(client->lastRequestDiagnosticContext().has_value());

    // Likewise for a 2xx answer that does not decode.
    ASSERT_TRUE(refreshFailure().has_value());
    const auto undecodable = refreshFailure();
    ASSERT_TRUE(undecodable.has_value());
    EXPECT_EQ(undecodable->errorCase(), Case::unexpectedRuntimeFailure);
    EXPECT_FALSE(client->lastRequestDiagnosticContext().has_value());
}

TEST_F(BackendTransportTests, ElapsedTimeComesFromTheInjectedClockAndIsNeverNegative) {
    for (const auto& [step, expected] : QList<QPair<qint64, qint64>>{{1234, 1234}, {-50, 0}}) {
        BackendAPIClientOptions options = testOptions();
        qint64 now = 1'000'000;
        options.nowMilliseconds = [&now, step] {
            const qint64 value = now;
            now += step;
            return value;
        };
        client = makeClient(options);
        server.respond("POST", kRefreshPath, FakeResponse::json(503, {}));
        ASSERT_TRUE(refreshFailure().has_value());
        EXPECT_EQ(client->lastRequestDiagnosticContext()->elapsedMilliseconds, expected);
    }
}

TEST_F(BackendTransportTests, EveryRequestCarriesTheVersionAndAFreshUpperCaseRequestId) {
    server.respond("POST", kRefreshPath, FakeResponse::json(200, kRefreshAnswer));
    runTask(client->refreshSession(QStringLiteral("r")));
    runTask(client->refreshSession(QStringLiteral("r")));
    const QRegularExpression upperUuid(
        QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
    for (const RecordedRequest& request : server.requests()) {
        EXPECT_EQ(request.header("X-Quorvelle-App-Version"), "1.4.0");
        EXPECT_EQ(request.header("X-Quorvelle-Build"), "140");
        EXPECT_TRUE(upperUuid.match(QString::fromLatin1(request.header("X-Request-ID"))).hasMatch());
    }
    EXPECT_NE(server.requests()[0].header("X-Request-ID"), server.requests()[1].header("X-Request-ID"));
}

}  // namespace
}  // namespace quorvelle::test
