#include "BackendTestSupport.h"
#include "RawAnswerServer.h"

#include "Platform/Linux/TcpConnectionReading.h"
#include "Services/Backend/BackendResponsePayloads.h"
#include "Services/Backend/BackendTranscriptionRequest.h"
#include "Services/Backend/PlainWebRequest.h"
#include "Services/Backend/WebRequestError.h"
#include "Services/Transcription/ModelFileDownload.h"

#include <QJsonDocument>
#include <QTemporaryDir>

#include <fstream>
#include <functional>
#include <stop_token>
#include <utility>

namespace quorvelle::test {
namespace {

using namespace std::chrono_literals;

const QString kPlainPath = QStringLiteral("/releases.json");

BackendTranscriptionRequest uploadRequest() {
    BackendTranscriptionRequest request;
    request.clip.data = QByteArray(32000, 'w');
    request.clip.fileExtension = QStringLiteral("wav");
    request.idempotencyKey = QStringLiteral("KEY");
    return request;
}

QByteArray refreshAnswer(qsizetype size = 0) {
    return R"({"access_token":"a","refresh_token":"r","pad":")" + QByteArray(size, 'p') + "\"}";
}

// How a request ended: by itself within the bound or, stopped after it, only then.
template <typename Error>
struct Ending {
    bool endedInTime = false;
    std::optional<Error> failure;
};

// Runs the request on the event loop until it ends or the bound passes; then `stop` ends it. A
// request cut by its own limits ends within seconds, even on a busy machine; the bound is many times
// that, and far below the deadline a lost cut would wait for.
template <typename Error, typename T>
Ending<Error> endingWithin(QCoro::Task<T> request, std::stop_source& stop, std::chrono::milliseconds bound) {
    Ending<Error> ending;
    bool ended = false;
    auto await = [](QCoro::Task<T> inner, std::optional<Error>& failure, bool& done) -> QCoro::Task<void> {
        try {
            co_await std::move(inner);
        } catch (const Error& error) {
            failure = error;
        } catch (...) {
        }
        done = true;
    };
    QCoro::Task<void> awaiting = await(std::move(request), ending.failure, ended);
    ending.endedInTime = waitUntil([&] { return ended; }, int(bound.count()));
    if (!ending.endedInTime) {
        stop.request_stop();
        waitUntil([&] { return ended; });
    }
    return ending;
}

// The most memory the process has held since the last reset, in bytes.
qint64 peakMemoryAfterReset(bool reset) {
    if (reset) std::ofstream("/proc/self/clear_refs") << "5";
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
    return -1;
}

class HostileServerTest : public BackendClientTest {
protected:
    std::optional<WebRequestError> plainFailure(std::chrono::milliseconds idle, std::chrono::milliseconds deadline,
                                                qint64 cap = 1 << 20) {
        return failureOf<WebRequestError>(fetchPlainGet(
            &manager, server.url(kPlainPath), {}, {.idleTimeout = idle, .deadline = deadline, .maximumBodySize = cap}));
    }
    std::optional<WebRequestError> downloadFailure(std::chrono::milliseconds deadline, qint64 cap) {
        const ModelFileDownloadRequest request{server.url(kPlainPath), folder.filePath("m"), {}, 60s, deadline, cap};
        return failureOf<WebRequestError>(downloadModelFile(&manager, request, {}));
    }
    // Upload limits with the connection reader wired, as the app wires it.
    BackendAPIClientOptions readerWiredUpload(std::chrono::milliseconds idle, std::chrono::milliseconds deadline) {
        BackendAPIClientOptions options = testOptions();
        options.uploadTimeout = idle;
        options.uploadDeadline = deadline;
        options.connections = reader;
        return options;
    }
    QTemporaryDir folder;
    const std::shared_ptr<const ConnectionReading> reader = std::make_shared<TcpConnectionReading>();
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

// Each arriving byte restarts the idle time-out: an answer that drips for over twice as long as
// the time-out, never pausing nearly as long, arrives whole.
TEST_F(HostileServerTest, ASlowButSteadyAnswerOutlastsTheIdleTimeOut) {
    BackendAPIClientOptions options = testOptions();
    options.requestTimeout = 800ms;
    client = makeClient(options);
    answerRefresh(FakeResponse::json(200, refreshAnswer(20)).drip(30ms));
    EXPECT_EQ(refreshFailure(), std::nullopt);
    server.respond("GET", kPlainPath, FakeResponse::raw(200, QByteArray(60, 'x')).drip(30ms));
    EXPECT_EQ(plainFailure(800ms, 60s), std::nullopt);
}

// Qt tells nothing of a head until it ends, but its bytes arriving are movement: an upload or a
// release check whose answer comes a byte at a time from its status line on, never pausing near the
// idle time-out, is read whole.
TEST_F(HostileServerTest, AHeadThatArrivesSlowlyButSteadilyOutlastsTheIdleTimeOut) {
    client = makeClient(readerWiredUpload(800ms, 60s));
    // About 90 bytes of head, 30 ms apart: a few idle time-outs long, each a wide margin over the
    // pause between two bytes, which a busy machine stretches.
    server.respond("POST", QStringLiteral("/v1/transcriptions"),
                   FakeResponse::json(200, R"({"request_id":"R","text":"t"})").dripFromTheHead(30ms));
    EXPECT_EQ(errorOf(client->uploadTranscription(uploadRequest(), QStringLiteral("A"), QStringLiteral("D"),
                                                  QStringLiteral("B"))),
              std::nullopt);
    server.respond("GET", kPlainPath, FakeResponse::raw(200, "{}").header("X-Padding", "ppp").dripFromTheHead(30ms));
    const PlainGetLimits limits{.idleTimeout = 800ms, .deadline = 60s, .connections = reader};
    EXPECT_EQ(failureOf<WebRequestError>(fetchPlainGet(&manager, server.url(kPlainPath), {}, limits)), std::nullopt);
}

// A server that takes the upload and then says nothing, with the connection reader wired as the app
// wires it: the reader's looks find nothing arriving, so the idle time-out (the app's 90 s, shortened
// here) ends the upload and the release check, long before their deadlines.
TEST_F(HostileServerTest, SilenceAfterAnUploadEndsAtTheIdleTimeOutWithTheConnectionReaderWired) {
    client = makeClient(readerWiredUpload(300ms, 600s));
    server.respond("POST", QStringLiteral("/v1/transcriptions"), FakeResponse::silence());
    server.respond("GET", kPlainPath, FakeResponse::silence());
    // A process kept from running for longer than the short idle time-out is cut, rightly, before its
    // upload reaches the server: such a round times out too, but only one the server took counts.
    constexpr int kMaximumRounds = 5;
    for (int round = 0; round < kMaximumRounds && server.requests().isEmpty(); ++round) {
        std::stop_source stopUpload;
        const auto upload = endingWithin<QuorvelleError>(
            client->uploadTranscription(uploadRequest(), QStringLiteral("A"), QStringLiteral("D"), QStringLiteral("B"),
                                        stopUpload.get_token()),
            stopUpload, 20s);
        EXPECT_TRUE(upload.endedInTime);
        EXPECT_EQ(upload.failure, QuorvelleError(Case::requestTimedOut));
    }
    ASSERT_FALSE(server.requests().isEmpty());
    EXPECT_EQ(server.requests().first().body.size(), server.requests().first().header("Content-Length").toInt());

    std::stop_source stopCheck;
    const PlainGetLimits limits{.idleTimeout = 300ms, .deadline = 600s, .connections = reader};
    const auto check = endingWithin<WebRequestError>(
        fetchPlainGet(&manager, server.url(kPlainPath), stopCheck.get_token(), limits), stopCheck, 20s);
    EXPECT_TRUE(check.endedInTime);
    ASSERT_TRUE(check.failure.has_value());
    EXPECT_EQ(check.failure->networkError(), QNetworkReply::TimeoutError);
}

// The body is taken as it arrives and the transfer stops once past the cap: however much the server
// sends, memory stays near the cap.
TEST_F(HostileServerTest, AnEndlessAnswerIsCutOffWithoutFillingMemory) {
    RawAnswerServer endless(RawAnswerServer::Framing::closeDelimited);
    client = std::make_unique<BackendAPIClient>(&manager, endless.url(), testOptions());
    const qint64 before = peakMemoryAfterReset(true);
    EXPECT_EQ(refreshFailure(), QuorvelleError(Case::unexpectedRuntimeFailure));
    const auto plain =
        failureOf<WebRequestError>(fetchPlainGet(&manager, endless.url(), {}, {.idleTimeout = 10s, .deadline = 60s}));
    EXPECT_EQ(plain.value().errorCase(), WebRequestError::Case::responseTooLarge);
    // Measured at 17 to 43 MiB on a quiet machine; the bound leaves room for a loaded one and still
    // catches a body kept whole (the server sends up to 512 MiB to each).
    EXPECT_LT(peakMemoryAfterReset(false) - before, 192 << 20);
}

// Qt's network thread reads an answer on its own; it must stop at the reply's small buffer for a
// request with a body too, even while this thread is too busy to read or abort, and a length
// announced over the cap is refused with the headers.
TEST_F(HostileServerTest, AnEndlessChunkedAnswerToAPostStaysSmallWhileTheMainThreadIsBusy) {
    RawAnswerServer endless(RawAnswerServer::Framing::chunked);
    client = std::make_unique<BackendAPIClient>(&manager, endless.url(), testOptions());
    const qint64 before = peakMemoryAfterReset(true);
    QCoro::Task<BackendSessionRefreshResponse> refresh = client->refreshSession(QStringLiteral("r"));
    ASSERT_TRUE(waitUntil([&] { return endless.sent() > 0; }));
    endless.waitUntilSentOrStalled();
    EXPECT_EQ(errorOf(std::move(refresh)), QuorvelleError(Case::unexpectedRuntimeFailure));
    // A kept body holds the 512 MiB the server sent while this thread slept.
    EXPECT_LT(peakMemoryAfterReset(false) - before, 192 << 20) << endless.sent() << " bytes sent";

    BackendAPIClientOptions options = testOptions();
    options.requestTimeout = 20s;
    client = makeClient(options);
    answerRefresh(FakeResponse::raw(200).header("Content-Length", "1073741824"));
    EXPECT_EQ(refreshFailure(), QuorvelleError(Case::unexpectedRuntimeFailure));
}

// Qt reads an answer's status, header and chunk-size lines into memory whole, and its network thread,
// busy with one that never ends, takes no abort and no other request. The upload must end at its
// idle time-out, or once a capped head has been read, told as a time-out either way; then Qt stops
// reading, far short of what the server sends it until the time-outs (3.5 MB/s and more), and
// serves the next request.
TEST_F(HostileServerTest, AnUploadWhoseAnswerNeverEndsItsHeadEndsAsATimeOutAndStopsTheReading) {
    using Framing = RawAnswerServer::Framing;
    for (const bool capped : {false, true}) {
        for (const Framing framing : {Framing::statusLine, Framing::headerLine, Framing::chunkSizeLine}) {
            SCOPED_TRACE(QStringLiteral("framing %1, capped %2").arg(int(framing)).arg(capped).toStdString());
            RawAnswerServer endless(framing);
            BackendAPIClientOptions options = testOptions();
            options.uploadTimeout = capped ? 15s : 500ms;
            options.uploadDeadline = capped ? 20s : 1s;
            options.maximumHeadSize = capped ? 1 << 20 : -1;
            options.connections = std::make_shared<TcpConnectionReading>();
            client = std::make_unique<BackendAPIClient>(&manager, endless.url(), options);
            EXPECT_EQ(errorOf(client->uploadTranscription(uploadRequest(), QStringLiteral("A"), QStringLiteral("D"),
                                                          QStringLiteral("B"))),
                      QuorvelleError(Case::requestTimedOut));
            // The server's bytes wait in the kernels' buffers, or the connection is gone.
            EXPECT_TRUE(waitUntil([&] { return endless.stalledOrEnded(); }, 10000)) << endless.sent() << " sent";
            // The cap, or what half a second brings, and what those buffers hold on either side.
            EXPECT_LT(endless.sent(), 24 << 20);
            client = makeClient();
            answerRefresh(FakeResponse::json(200, refreshAnswer()));
            EXPECT_EQ(refreshFailure(), std::nullopt);
        }
    }
}

// The release checks and the model download share Qt's one network thread with the uploads: an
// answer of theirs whose head never ends is cut once the head holds its cap, well before their long
// deadlines, told as a time-out, and the thread serves the next request.
TEST_F(HostileServerTest, AReleaseCheckOrAModelDownloadWhoseAnswerNeverEndsItsHeadIsCutAtTheCap) {
    using Framing = RawAnswerServer::Framing;
    const auto connections = std::make_shared<TcpConnectionReading>();
    for (const bool download : {false, true}) {
        for (const Framing framing : {Framing::statusLine, Framing::headerLine, Framing::chunkSizeLine}) {
            SCOPED_TRACE(QStringLiteral("framing %1, download %2").arg(int(framing)).arg(download).toStdString());
            RawAnswerServer endless(framing);
            std::optional<WebRequestError> failure;
            if (download) {
                ModelFileDownloadRequest request{endless.url(), folder.filePath("m"), {}, 15s, 20s};
                request.connections = connections;
                failure = failureOf<WebRequestError>(downloadModelFile(&manager, request, {}));
            } else {
                failure = failureOf<WebRequestError>(fetchPlainGet(
                    &manager, endless.url(), {}, {.idleTimeout = 15s, .deadline = 20s, .connections = connections}));
            }
            ASSERT_TRUE(failure.has_value());
            EXPECT_EQ(failure->networkError(), QNetworkReply::TimeoutError);
            EXPECT_TRUE(waitUntil([&] { return endless.stalledOrEnded(); }, 10000)) << endless.sent() << " sent";
            EXPECT_LT(endless.sent(), 24 << 20);
            server.respond("GET", kPlainPath, FakeResponse::raw(200, "{}"));
            EXPECT_EQ(plainFailure(10s, 10s), std::nullopt);
        }
    }
}

// A chunk-size line that never ends, once the head has come: the upload, the release check and the
// model download are cut once it holds the head's cap, as a time-out, not at their deadlines (ten
// minutes here, and no idle time-out in reach: the line's bytes keep coming).
TEST_F(HostileServerTest, AnEndlessChunkSizeLineIsCutAtTheCapLongBeforeTheDeadline) {
    constexpr auto kBound = 60s;
    const auto timedOut = [](const Ending<WebRequestError>& ending) {
        return std::pair(ending.endedInTime,
                         ending.failure && ending.failure->networkError() == QNetworkReply::TimeoutError);
    };
    using Request = std::function<std::pair<bool, bool>(const QUrl&, std::stop_source&)>;
    const std::pair<const char*, Request> requests[] = {
        {"upload",
         [&](const QUrl& url, std::stop_source& stop) {
             client = std::make_unique<BackendAPIClient>(&manager, url, readerWiredUpload(600s, 600s));
             const auto ending = endingWithin<QuorvelleError>(
                 client->uploadTranscription(uploadRequest(), QStringLiteral("A"), QStringLiteral("D"),
                                             QStringLiteral("B"), stop.get_token()),
                 stop, kBound);
             return std::pair(ending.endedInTime, ending.failure == QuorvelleError(Case::requestTimedOut));
         }},
        {"release check",
         [&](const QUrl& url, std::stop_source& stop) {
             const PlainGetLimits limits{.idleTimeout = 600s, .deadline = 600s, .connections = reader};
             return timedOut(
                 endingWithin<WebRequestError>(fetchPlainGet(&manager, url, stop.get_token(), limits), stop, kBound));
         }},
        {"model download",
         [&](const QUrl& url, std::stop_source& stop) {
             ModelFileDownloadRequest download{url, folder.filePath("m"), {}, 600s, 600s};
             download.connections = reader;
             return timedOut(
                 endingWithin<WebRequestError>(downloadModelFile(&manager, download, stop.get_token()), stop, kBound));
         }},
    };
    for (const auto& [name, request] : requests) {
        SCOPED_TRACE(name);
        RawAnswerServer endless(RawAnswerServer::Framing::chunkSizeLine);
        std::stop_source stop;
        const auto [endedInTime, cutAsATimeOut] = request(endless.url(), stop);
        EXPECT_TRUE(cutAsATimeOut);
        // A lost cut waits for the deadline: one such wait tells enough.
        ASSERT_TRUE(endedInTime) << endless.sent() << " bytes sent";
    }
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
