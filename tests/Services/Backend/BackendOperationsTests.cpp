#include "BackendTestSupport.h"

#include <QJsonDocument>

namespace quorvelle::test {
namespace {

const QString kConfigPath = QStringLiteral("/v1/client/config");
const QString kLogPath = QStringLiteral("/v1/internal/log-events");
const QString kUploadPath = QStringLiteral("/v1/transcriptions");

class BackendOperationsTests : public BackendClientTest {};

TEST_F(BackendOperationsTests, AnswersThatBreakTheirRecordFailTheCall) {
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

TEST_F(BackendOperationsTests, DatesAreInternetDateTimesWithOrWithoutFractions) {
    const QDateTime may6 = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC);
    const QList<QPair<const char*, std::optional<QDateTime>>> rows = {
        // none: the call fails
        {R"("2024-05-06T07:08:09Z")", may6},
        {R"("2024-05-06T07:08:09.250Z")", may6.addMSecs(250)},
        {R"("2024-05-06T10:08:09+03:00")", may6},
        {R"("2024-05-05T16:08:09-15:00")", may6},
        {R"("2024-05-06T07:08:09")", std::nullopt},
        {R"("2024-02-30T07:08:09Z")", std::nullopt},
        {"1714979289", std::nullopt},
    };
    const auto answer = [this](const char* expiresAt) {
        server.clearScript();
        server.respond("POST", QStringLiteral("/v1/auth/device-login/poll"),
                       FakeResponse::json(200, QByteArray(R"({"status":"approved","expires_at":)") + expiresAt + "}"));
    };
    for (const auto& [expiresAt, expected] : rows) {
        SCOPED_TRACE(expiresAt);
        answer(expiresAt);
        if (expected)
            EXPECT_EQ(runTask(client->pollDeviceLogin("L", "S")).expiresAt, expected);
        else
            EXPECT_EQ(errorOf(client->pollDeviceLogin("L", "S")), QuorvelleError(Case::unexpectedRuntimeFailure));
    }
    answer("null");
    EXPECT_EQ(runTask(client->pollDeviceLogin("L", "S")).expiresAt, std::nullopt);
}

TEST_F(BackendOperationsTests, AReportIsPostedAsItIsOnlyWhenTheConfigurationAsksForIt) {
    const QByteArray flag = R"({"cache_ttl_seconds":60,"flags":{"mac_error_reporting":)";
    const QList<QPair<FakeResponse, int>> rows = {
        {FakeResponse::json(200, flag + R"(false},"fallback":false})"), 0},
        {FakeResponse::json(200, flag + R"(true}})"), 0},  // no fallback field
        {FakeResponse::json(401, R"({"title":"Unauthorized"})"), 0},
        {FakeResponse::json(200, flag + R"(true},"fallback":false})"), 2},
    };
    const BackendDiagnosticErrorReport full{"QuorvelleError",
                                            "providerTimeout",
                                            "REQ-1",
                                            "/v1/transcriptions",
                                            "cloud-transcription",
                                            504,
                                            {},
                                            812,
                                            "IDEM",
                                            {}};
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
    const QJsonObject expected{
        {"level", "error"},
        {"source", "mac"},
        {"error_name", "QuorvelleError"},
        {"message", "providerTimeout"},
        {"route", "/v1/transcriptions"},
        {"status_code", 504},
        {"request_id", "REQ-1"},
        {"context", QJsonObject{{"app_version", "1.4.0"},
                                {"build", "140"},
                                {"context_label", "cloud-transcription"},
                                {"elapsed_ms", 812},
                                {"idempotency_key", "IDEM"},
                                {"platform", "macos"}}},
    };
    EXPECT_EQ(events[0].jsonObject(), expected);
    const QJsonObject minimal{
        {"level", "error"},
        {"source", "mac"},
        {"error_name", "E"},
        {"message", "m"},
        {"context", QJsonObject{{"app_version", "1.4.0"}, {"build", "140"}, {"platform", "macos"}}}};
    EXPECT_EQ(events[1].jsonObject(), minimal);
}

TEST_F(BackendOperationsTests, TheUploadSendsTheMultipartEnvelopeByteForByte) {
    server.respond("POST", kUploadPath,
                   FakeResponse::json(
                       200, R"({"request_id":"R","text":"merhaba","latency_ms":{"backend_total":90,"provider":70}})"));
    BackendTranscriptionRequest request;
    request.clip.data = QByteArray("RIFF\r\n--\x00\xff", 10);
    request.clip.duration = 1.2345;
    request.clip.fileExtension = QStringLiteral("WAV");
    request.idempotencyKey = QStringLiteral("KEY-1");

    const auto answer = runTask(client->uploadTranscription(request, "tok", "DEV-9", "QuorvelleBackendBoundaryB6C1"));
    EXPECT_EQ(answer.text, "merhaba");
    EXPECT_EQ(answer.latencyMs, (GeneratedTranscriptionLatency{90, 70}));
    const RecordedRequest sent = server.requests().last();
    EXPECT_EQ(sent.header("Content-Type"), "multipart/form-data; boundary=QuorvelleBackendBoundaryB6C1");
    EXPECT_EQ(sent.header("X-Quorvelle-Device-Id"), "DEV-9");
    EXPECT_EQ(sent.header("Authorization"), "Bearer tok");
    EXPECT_EQ(
        sent.body,
        "--QuorvelleBackendBoundaryB6C1\r\n"
        "Content-Disposition: form-data; name=\"metadata\"\r\n\r\n"
        R"({"cleanup_mode":"off","client_duration_ms":1234,"focused_target":{"secure":false},"idempotency_key":"KEY-1","language":"auto"})"
        "\r\n--QuorvelleBackendBoundaryB6C1\r\n"
        "Content-Disposition: form-data; name=\"audio\"; filename=\"recording.wav\"\r\n"
        "Content-Type: audio/wav\r\n\r\n" +
            request.clip.data + "\r\n--QuorvelleBackendBoundaryB6C1--\r\n");

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
