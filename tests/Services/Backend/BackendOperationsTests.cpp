#include "BackendTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace quorvelle::test {
namespace {

using Case = QuorvelleErrorCase;
const QString kConfigPath = QStringLiteral("/v1/client/config");
const QString kLogPath = QStringLiteral("/v1/internal/log-events");

class BackendOperationsTests : public BackendClientTest {};

TEST_F(BackendOperationsTests, AnswersThatBreakTheirRecordFailTheCall) {
    struct Row {
        const char* label;
        QString path;
        QByteArray answer;
    };
    const QList<Row> rows = {
        {"start without a valid address", "/v1/auth/device-login/start",
         R"({"device_login_id":"L","device_poll_secret":"S","user_code":"U","verification_url":"not an address"})"},
        {"start with a local file to open", "/v1/auth/device-login/start",
         R"({"device_login_id":"L","device_poll_secret":"S","user_code":"U","verification_url":"file:///etc/passwd"})"},
        {"poll without status", "/v1/auth/device-login/poll", R"({"access_token":"a"})"},
        {"poll with a number for a token", "/v1/auth/device-login/poll", R"({"status":"approved","access_token":5})"},
        {"registration without device id", "/v1/devices/register", R"({"status":"ok","device":{}})"},
        {"logout with an empty body", "/v1/auth/logout", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        server.clearScript();
        server.respond("POST", row.path, FakeResponse::json(200, row.answer));
        std::optional<QuorvelleError> error;
        if (row.path.endsWith(QLatin1String("start"))) error = errorOf(client->startDeviceLogin({}));
        if (row.path.endsWith(QLatin1String("poll"))) error = errorOf(client->pollDeviceLogin("L", "S"));
        if (row.path.endsWith(QLatin1String("register"))) error = errorOf(client->registerDevice({}, "t"));
        if (row.path.endsWith(QLatin1String("logout"))) error = errorOf(client->logout("t"));
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->errorCase(), Case::unexpectedRuntimeFailure);
    }
}

TEST_F(BackendOperationsTests, DatesAreInternetDateTimesWithOrWithoutFractions) {
    const QDateTime seventhOfMay = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC);
    struct Row {
        const char* expiresAt;  // JSON text of the value
        std::optional<QDateTime> expected;
        bool fails;
    };
    const QList<Row> rows = {
        {R"("2024-05-06T07:08:09Z")", seventhOfMay, false},
        {R"("2024-05-06T07:08:09.250Z")", seventhOfMay.addMSecs(250), false},
        {R"("2024-05-06T10:08:09+03:00")", seventhOfMay, false},
        {R"("2024-05-05T16:08:09-15:00")", seventhOfMay, false},
        {"null", std::nullopt, false},
        {R"("2024-05-06T07:08:09")", std::nullopt, true},
        {R"("2024-02-30T07:08:09Z")", std::nullopt, true},
        {"1714979289", std::nullopt, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expiresAt);
        server.clearScript();
        server.respond(
            "POST", QStringLiteral("/v1/auth/device-login/poll"),
            FakeResponse::json(200, QByteArray(R"({"status":"approved","expires_at":)") + row.expiresAt + "}"));
        if (row.fails) {
            const auto error = errorOf(client->pollDeviceLogin("L", "S"));
            ASSERT_TRUE(error.has_value());
            EXPECT_EQ(error->errorCase(), Case::unexpectedRuntimeFailure);
        } else {
            EXPECT_EQ(runTask(client->pollDeviceLogin("L", "S")).expiresAt, row.expected);
        }
    }
}

BackendDiagnosticErrorReport sampleReport() {
    BackendDiagnosticErrorReport report;
    report.errorName = QStringLiteral("QuorvelleError");
    report.message = QStringLiteral("providerTimeout");
    report.requestID = QStringLiteral("REQ-1");
    report.route = QStringLiteral("/v1/transcriptions");
    report.contextLabel = QStringLiteral("cloud-transcription");
    report.statusCode = 504;
    report.elapsedMilliseconds = 812;
    report.idempotencyKey = QStringLiteral("IDEM");
    return report;
}

TEST_F(BackendOperationsTests, AReportIsPostedOnlyWhenTheConfigurationAsksForIt) {
    struct Row {
        const char* label;
        FakeResponse configuration;
        int logEvents;
    };
    const QByteArray on = R"({"cache_ttl_seconds":60,"flags":{"mac_error_reporting":true},"fallback":false})";
    const QList<Row> rows = {
        {"flag on", FakeResponse::json(200, on), 1},
        {"flag off",
         FakeResponse::json(200, R"({"cache_ttl_seconds":60,"flags":{"mac_error_reporting":false},"fallback":false})"),
         0},
        {"fallback missing",
         FakeResponse::json(200, R"({"cache_ttl_seconds":60,"flags":{"mac_error_reporting":true}})"), 0},
        {"configuration refused", FakeResponse::json(401, R"({"title":"Unauthorized"})"), 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        server.clearScript();
        server.clearRequests();
        server.respond("GET", kConfigPath, row.configuration);
        server.respond("POST", kLogPath, FakeResponse::json(202, R"({"accepted":true})"));
        runTask(client->reportDiagnosticError(sampleReport(), QStringLiteral("tok")));
        EXPECT_EQ(server.requestsTo(kLogPath).size(), row.logEvents);
        ASSERT_FALSE(server.requestsTo(kConfigPath).isEmpty());
        const RecordedRequest configuration = server.requestsTo(kConfigPath).first();
        EXPECT_EQ(configuration.rawQuery, "product_code=quorvelle");
        EXPECT_EQ(configuration.header("Authorization"), "Bearer tok");
    }
}

TEST_F(BackendOperationsTests, TheLogEventCarriesTheReportAsItIs) {
    server.respond(
        "GET", kConfigPath,
        FakeResponse::json(200, R"({"cache_ttl_seconds":60,"flags":{"mac_error_reporting":true},"fallback":false})"));
    server.respond("POST", kLogPath, FakeResponse::json(500, R"({"title":"down"})"));
    runTask(client->reportDiagnosticError(sampleReport(), QStringLiteral("tok")));
    runTask(
        client->reportDiagnosticError(BackendDiagnosticErrorReport{"E", "m", {}, {}, {}, {}, {}, {}, {}, {}}, "tok"));

    EXPECT_EQ(server.requestsTo(kConfigPath).size(), 2);
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
    server.respond("POST", QStringLiteral("/v1/transcriptions"),
                   FakeResponse::json(
                       200, R"({"request_id":"R","text":"merhaba","latency_ms":{"backend_total":90,"provider":70}})"));
    BackendTranscriptionRequest request;
    request.clip.data = QByteArray("RIFF\r\n--\x00\xff", 10);
    request.clip.duration = 1.2345;
    request.clip.fileExtension = QStringLiteral("WAV");
    request.idempotencyKey = QStringLiteral("KEY-1");
    const QString boundary = QStringLiteral("QuorvelleBackendBoundaryB6C1");

    const auto answer = runTask(client->uploadTranscription(request, "tok", "DEV-9", boundary));
    EXPECT_EQ(answer.text, "merhaba");
    EXPECT_EQ(answer.latencyMs, (GeneratedTranscriptionLatency{90, 70}));

    const RecordedRequest sent = server.requests().last();
    EXPECT_EQ(sent.header("Content-Type"), "multipart/form-data; boundary=QuorvelleBackendBoundaryB6C1");
    EXPECT_EQ(sent.header("X-Quorvelle-Device-Id"), "DEV-9");
    EXPECT_EQ(sent.header("Authorization"), "Bearer tok");
    const QByteArray expected =
        "--QuorvelleBackendBoundaryB6C1\r\n"
        "Content-Disposition: form-data; name=\"metadata\"\r\n\r\n"
        R"({"cleanup_mode":"off","client_duration_ms":1234,"focused_target":{"secure":false},"idempotency_key":"KEY-1","language":"auto"})"
        "\r\n--QuorvelleBackendBoundaryB6C1\r\n"
        "Content-Disposition: form-data; name=\"audio\"; filename=\"recording.wav\"\r\n"
        "Content-Type: audio/wav\r\n\r\n" +
        request.clip.data + "\r\n--QuorvelleBackendBoundaryB6C1--\r\n";
    EXPECT_EQ(sent.body, expected);
}

TEST_F(BackendOperationsTests, AnUploadAnswerWithoutTextOrWithAPartialLatencyFails) {
    for (const QByteArray& answer : {QByteArray(R"({"request_id":"R"})"), QByteArray(R"({"text":"t"})"),
                                     QByteArray(R"({"request_id":"R","text":"t","latency_ms":{"provider":1}})")}) {
        SCOPED_TRACE(answer.toStdString());
        server.clearScript();
        server.respond("POST", QStringLiteral("/v1/transcriptions"), FakeResponse::json(200, answer));
        BackendTranscriptionRequest request;
        request.clip.fileExtension = QStringLiteral("wav");
        const auto error = errorOf(client->uploadTranscription(request, "tok", "DEV", "B"));
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->errorCase(), Case::unexpectedRuntimeFailure);
    }
}

}  // namespace
}  // namespace quorvelle::test
