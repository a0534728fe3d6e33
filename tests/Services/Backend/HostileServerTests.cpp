#include "BackendTestSupport.h"

#include "Services/Backend/BackendDiagnosticErrorReport.h"
#include "Services/Backend/BackendResponsePayloads.h"
#include "Services/Backend/PlainWebRequest.h"
#include "Services/Backend/WebRequestError.h"
#include "Services/Transcription/ModelFileDownload.h"

#include <QJsonDocument>
#include <QTemporaryDir>

namespace quorvelle::test {
namespace {

using namespace std::chrono_literals;
using Case = QuorvelleErrorCase;

const QString kRefreshPath = QStringLiteral("/v1/auth/session/refresh");
const QString kPlainPath = QStringLiteral("/releases.json");
const QByteArray kRefreshAnswer = R"({"access_token":"a","refresh_token":"r"})";

// A valid refresh answer of about `size` bytes.
QByteArray paddedRefreshAnswer(qsizetype size) {
    return R"({"access_token":"a","refresh_token":"r","pad":")" + QByteArray(size, 'p') + "\"}";
}

class HostileServerTest : public BackendClientTest {
protected:
    std::optional<WebRequestError> plainFailure(std::chrono::milliseconds idle, std::chrono::milliseconds deadline,
                                                qint64 cap = 1 << 20) {
        try {
            runTask(fetchPlainGet(&manager, server.url(kPlainPath), idle, deadline, cap));
        } catch (const WebRequestError& error) {
            return error;
        }
        return std::nullopt;
    }

    std::optional<WebRequestError> downloadFailure(std::chrono::milliseconds deadline, qint64 cap) {
        QTemporaryDir folder;
        ModelFileDownloadRequest request{server.url(kPlainPath), folder.filePath(QStringLiteral("m")), {}};
        request.deadline = deadline;
        request.maximumSize = cap;
        try {
            runTask(downloadModelFile(&manager, request, {}));
        } catch (const WebRequestError& error) {
            return error;
        }
        return std::nullopt;
    }
};

TEST_F(HostileServerTest, ARedirectIsAnErrorAndTheTokenAndBodyStayWithTheBackend) {
    FakeBackendServer elsewhere;
    elsewhere.respond("POST", QStringLiteral("/steal"),
                      FakeResponse::json(200, R"({"status":"ok","device":{"id":"d"}})"));
    server.respond("POST", QStringLiteral("/v1/devices/register"),
                   FakeResponse::raw(307).header("Location", elsewhere.url(QStringLiteral("/steal")).toEncoded()));

    const auto error = errorOf(client->registerDevice({}, QStringLiteral("secret-token")));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(caseName(error->errorCase()), std::string(caseName(Case::unexpectedRuntimeFailure)));
    EXPECT_EQ(client->lastRequestDiagnosticContext()->statusCode, 307);
    EXPECT_TRUE(elsewhere.requests().isEmpty());
}

TEST_F(HostileServerTest, AnswersOverTheCapAreAbortedWithAClearError) {
    BackendAPIClientOptions options = testOptions();
    options.maximumAnswerSize = 64 * 1024;
    client = makeClient(options);
    server.respond("POST", kRefreshPath, FakeResponse::json(200, paddedRefreshAnswer(1 << 20)));
    const auto error = errorOf(client->refreshSession(QStringLiteral("r")));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(caseName(error->errorCase()), std::string(caseName(Case::unexpectedRuntimeFailure)));

    server.respond("GET", kPlainPath, FakeResponse::raw(200, QByteArray(1 << 20, 'x')));
    const auto plain = plainFailure(10s, 10s, 64 * 1024);
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(plain->errorCase(), WebRequestError::Case::responseTooLarge);
    const auto download = downloadFailure(10s, 64 * 1024);
    ASSERT_TRUE(download.has_value());
    EXPECT_EQ(download->errorCase(), WebRequestError::Case::responseTooLarge);
}

TEST_F(HostileServerTest, ADrippedBodyMeetsTheDeadlineAndEveryTimeOutSaysSo) {
    BackendAPIClientOptions options = testOptions();
    options.requestTimeout = 300ms;
    options.requestDeadline = 500ms;
    client = makeClient(options);
    // A byte every 50 ms keeps the idle time-out from ever firing; the whole takes seconds.
    server.respond("POST", kRefreshPath, FakeResponse::json(200, paddedRefreshAnswer(100)).drip(50ms));
    const auto error = errorOf(client->refreshSession(QStringLiteral("r")));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(caseName(error->errorCase()), std::string(caseName(Case::requestTimedOut)));

    server.respond("GET", kPlainPath, FakeResponse::raw(200, QByteArray(100, 'x')).drip(50ms));
    for (const auto& failure : {plainFailure(300ms, 500ms), downloadFailure(500ms, -1)}) {
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->networkError(), QNetworkReply::TimeoutError);
    }
    server.clearScript();
    server.respond("GET", kPlainPath, FakeResponse::silence());
    const auto silent = plainFailure(150ms, 10s);
    ASSERT_TRUE(silent.has_value());
    EXPECT_EQ(silent->networkError(), QNetworkReply::TimeoutError);
}

TEST_F(HostileServerTest, ATransferThatFailsAfterA2xxStatusIsATransportFailure) {
    // The whole answer compressed, then bytes that do not inflate.
    const QByteArray broken = qCompress(kRefreshAnswer).mid(4) + "garbage";
    const FakeResponse answer = FakeResponse::raw(200, broken).header("Content-Encoding", "deflate");
    server.respond("POST", kRefreshPath, answer);
    EXPECT_TRUE(errorOf(client->refreshSession(QStringLiteral("r"))).has_value());
    EXPECT_EQ(client->lastRequestDiagnosticContext()->statusCode, std::nullopt);

    server.respond("GET", kPlainPath, answer);
    const auto plain = plainFailure(10s, 10s);
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(plain->errorCase(), WebRequestError::Case::transportFailure);
}

TEST_F(HostileServerTest, RepeatedRetryAfterFieldsAreReadValueByValue) {
    server.respond("POST", kRefreshPath,
                   FakeResponse::json(429, {}).header("Retry-After", "soon").header("Retry-After", "7"));
    const auto error = errorOf(client->refreshSession(QStringLiteral("r")));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->retryAfterSeconds(), 7);
}

TEST(HostileAnswerTest, TokensAndIdsWithControlCharactersDoNotDecode) {
    const QList<std::function<void(const QJsonValue&)>> decoders = {
        [](const QJsonValue& json) { SessionRefreshResponsePayload::fromJson(json); },
        [](const QJsonValue& json) { DeviceLoginPollResponsePayload::fromJson(json); },
        [](const QJsonValue& json) { DeviceLoginStartResponsePayload::fromJson(json); },
        [](const QJsonValue& json) { DeviceRegistrationEnvelope::fromJson(json); },
    };
    const QList<QByteArray> answers = {
        R"({"access_token":"a\r\nX-Injected: 1","refresh_token":"r"})",
        R"({"status":"approved","access_token":"a","refresh_token":"r\u0000"})",
        R"({"device_login_id":"id\n","device_poll_secret":"s","user_code":"U","verification_url":"https://x.io"})",
        R"({"status":"ok","device":{"id":"d\r\nX-Injected: 1"}})",
    };
    for (qsizetype i = 0; i < answers.size(); ++i) {
        SCOPED_TRACE(answers[i].toStdString());
        const QJsonValue json = QJsonDocument::fromJson(answers[i]).object();
        EXPECT_THROW(decoders[i](json), WireDecodingError);
    }
}

TEST(HostileAnswerTest, RedactionCoversJsonMembersColonsBasicCredentialsAndAddresses) {
    const QList<std::pair<QString, QString>> rows = {
        {R"(body {"access_token":"abc\"def","user":"ann"})", R"(body {[redacted],"user":"ann"})"},
        {R"({"Password" : "hunter2"})", R"({[redacted]})"},
        {"password: hunter2 next", "[redacted] next"},
        {"Authorization: Basic dXNlcjpwYXNz", "Authorization: [redacted]"},
        {"fetch https://ann:pw@host.io/x failed", "fetch https://[redacted]@host.io/x failed"},
        {"see https://host.io/a?mail=a@b.io", "see https://host.io/a?mail=a@b.io"},
        {"Basic plan", "Basic plan"},
    };
    for (const auto& [input, expected] : rows)
        EXPECT_EQ(redactedDiagnosticText(input).toStdString(), expected.toStdString());
}

}  // namespace
}  // namespace quorvelle::test
