#include "BackendTestSupport.h"

#include "Services/Backend/BackendResponsePayloads.h"
#include "Services/Backend/PlainWebRequest.h"
#include "Services/Backend/WebRequestError.h"
#include "Services/Transcription/ModelFileDownload.h"

#include <QJsonDocument>
#include <QTemporaryDir>

namespace quorvelle::test {
namespace {

using namespace std::chrono_literals;

const QString kPlainPath = QStringLiteral("/releases.json");

QByteArray refreshAnswer(qsizetype size = 0) {
    return R"({"access_token":"a","refresh_token":"r","pad":")" + QByteArray(size, 'p') + "\"}";
}

class HostileServerTest : public BackendClientTest {
protected:
    std::optional<WebRequestError> plainFailure(std::chrono::milliseconds idle, std::chrono::milliseconds deadline,
                                                qint64 cap = 1 << 20) {
        return failureOf<WebRequestError>(fetchPlainGet(&manager, server.url(kPlainPath), {}, idle, deadline, cap));
    }
    std::optional<WebRequestError> downloadFailure(std::chrono::milliseconds deadline, qint64 cap) {
        const ModelFileDownloadRequest request{server.url(kPlainPath), folder.filePath("m"), {}, 60s, deadline, cap};
        return failureOf<WebRequestError>(downloadModelFile(&manager, request, {}));
    }
    QTemporaryDir folder;
};

TEST_F(HostileServerTest, ARedirectStaysWithTheBackendAndABrokenTransferAfterA2xxIsNoBody) {
    FakeBackendServer elsewhere;
    server.respond("POST", QStringLiteral("/v1/devices/register"),
                   FakeResponse::raw(307).header("Location", elsewhere.url(QStringLiteral("/x")).toEncoded()));
    EXPECT_TRUE(errorOf(client->registerDevice({}, QStringLiteral("secret-token"))).has_value());
    EXPECT_EQ(client->lastRequestDiagnosticContext()->statusCode, 307);
    EXPECT_TRUE(elsewhere.requests().isEmpty());

    // The whole answer compressed, then bytes that do not inflate.
    const FakeResponse broken =
        FakeResponse::raw(200, qCompress(refreshAnswer()).mid(4) + "garbage").header("Content-Encoding", "deflate");
    server.respond("POST", kRefreshPath, broken);
    EXPECT_TRUE(refreshFailure().has_value());
    server.respond("GET", kPlainPath, broken);
    EXPECT_EQ(plainFailure(10s, 10s).value().errorCase(), WebRequestError::Case::transportFailure);
}

TEST_F(HostileServerTest, BodiesOverTheCapOrPastTheDeadlineAreAbortedAndEveryTimeOutSaysSo) {
    BackendAPIClientOptions options = testOptions();
    options.maximumAnswerSize = 64 * 1024;
    options.requestTimeout = 300ms;
    options.requestDeadline = 500ms;
    client = makeClient(options);
    server.respond("POST", kRefreshPath, FakeResponse::json(200, refreshAnswer(1 << 20)));
    EXPECT_EQ(refreshFailure(), QuorvelleError(Case::unexpectedRuntimeFailure));
    server.respond("GET", kPlainPath, FakeResponse::raw(200, QByteArray(1 << 20, 'x')));
    for (const auto& failure : {plainFailure(10s, 10s, 64 * 1024), downloadFailure(10s, 64 * 1024)})
        EXPECT_EQ(failure.value().errorCase(), WebRequestError::Case::responseTooLarge);

    // A byte every 50 ms keeps the idle time-out from firing; the whole would take seconds.
    server.clearScript();
    server.respond("POST", kRefreshPath, FakeResponse::json(200, refreshAnswer(100)).drip(50ms));
    EXPECT_EQ(refreshFailure(), QuorvelleError(Case::requestTimedOut));
    server.respond("GET", kPlainPath, FakeResponse::raw(200, QByteArray(100, 'x')).drip(50ms));
    for (const auto& failure : {plainFailure(300ms, 500ms), downloadFailure(500ms, -1)})
        EXPECT_EQ(failure.value().networkError(), QNetworkReply::TimeoutError);
    server.clearScript();
    server.respond("GET", kPlainPath, FakeResponse::silence());
    EXPECT_EQ(plainFailure(150ms, 10s).value().networkError(), QNetworkReply::TimeoutError);
}

TEST(HostileAnswerTest, TokensAndIdsWithControlCharactersDoNotDecode) {
    const QList<std::pair<std::function<void(const QJsonValue&)>, QByteArray>> rows = {
        {SessionRefreshResponsePayload::fromJson, R"({"access_token":"a\r\nX-Injected: 1","refresh_token":"r"})"},
        {DeviceLoginPollResponsePayload::fromJson, R"({"status":"approved","refresh_token":"r\u0000"})"},
        {DeviceLoginStartResponsePayload::fromJson,
         R"({"device_login_id":"i\n","device_poll_secret":"s","user_code":"U","verification_url":"https://x.io"})"},
        {DeviceRegistrationEnvelope::fromJson, R"({"status":"ok","device":{"id":"d\r\nX-Injected: 1"}})"},
    };
    for (const auto& [decode, answer] : rows)
        EXPECT_THROW(decode(QJsonDocument::fromJson(answer).object()), WireDecodingError) << answer.toStdString();
}

}  // namespace
}  // namespace quorvelle::test
