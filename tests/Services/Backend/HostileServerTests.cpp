#include "BackendTestSupport.h"

#include "Platform/Linux/TcpConnectionReading.h"
#include "Services/Backend/BackendResponsePayloads.h"
#include "Services/Backend/BackendTranscriptionRequest.h"
#include "Services/Backend/PlainWebRequest.h"
#include "Services/Backend/WebRequestError.h"
#include "Services/Transcription/ModelFileDownload.h"

#include <QJsonDocument>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fstream>
#include <thread>

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

// Answers each connection, on a thread of its own, with an answer that does not end (until 512 MiB),
// as fast as the client takes it: a body, close-delimited or in chunks, or a head whose status
// line, header line or first chunk-size line never ends. Counts what it sent and notes when the
// client stopped taking more for half a second.
class EndlessAnswerServer {
public:
    enum class Framing { closeDelimited, chunked, statusLine, headerLine, chunkSizeLine };
    static constexpr qint64 kLimit = qint64(512) << 20;

    explicit EndlessAnswerServer(Framing framing = Framing::closeDelimited)
        : m_listener(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(m_listener, 4) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("no port");
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this, piece = answer(framing)] {
            const auto& [head, unit] = piece;
            for (int connection; (connection = ::accept(m_listener, nullptr, nullptr)) >= 0; ::close(connection)) {
                char request[8192];
                ::recv(connection, request, sizeof request, 0);
                if (sendAll(connection, head))
                    while (m_sent < kLimit && sendAll(connection, unit))
                        m_sent += unit.size();
                m_finished = true;
            }
        });
    }
    ~EndlessAnswerServer() {
        m_closing = true;
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_port)); }
    qint64 sent() const { return m_sent; }
    // The client closed the connection, or the whole has gone.
    bool connectionEnded() const { return m_finished; }
    // That, or the client stopped taking more for half a second.
    bool stalledOrEnded() const { return m_finished || m_stalled; }
    // Blocks the calling thread until the whole has gone or the client has stopped taking it.
    void waitUntilSentOrStalled() const {
        while (!m_finished && !m_stalled)
            std::this_thread::sleep_for(10ms);
    }

private:
    // The head sent once, then the piece sent over and over.
    static std::pair<QByteArray, QByteArray> answer(Framing framing) {
        const QByteArray body(1 << 20, ' ');
        switch (framing) {
            case Framing::closeDelimited: return {"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n", body};
            case Framing::chunked:
                return {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", "100000\r\n" + body + "\r\n"};
            case Framing::statusLine: return {"HTTP/1.1 200 O", QByteArray(1 << 20, 'K')};
            case Framing::headerLine: return {"HTTP/1.1 200 OK\r\nX-Endless: ", QByteArray(1 << 20, 'a')};
            case Framing::chunkSizeLine:
                return {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1", QByteArray(1 << 20, '0')};
        }
        return {};
    }

    bool sendAll(int connection, const QByteArray& bytes) {
        for (qsizetype done = 0; done < bytes.size() && !m_closing;) {
            pollfd writable{connection, POLLOUT, 0};
            if (::poll(&writable, 1, 500) == 0) m_stalled = true;
            const ssize_t written =
                ::send(connection, bytes.constData() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (written < 0 && errno != EAGAIN) return false;
            done += std::max<ssize_t>(written, 0);
        }
        return !m_closing;
    }

    int m_listener;
    quint16 m_port = 0;
    std::atomic<qint64> m_sent = 0;
    std::atomic<bool> m_stalled = false;
    std::atomic<bool> m_finished = false;
    std::atomic<bool> m_closing = false;
    std::thread m_thread;
};

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

// The body is taken as it arrives and the transfer stops once past the cap: however much the server
// sends, memory stays near the cap.
TEST_F(HostileServerTest, AnEndlessAnswerIsCutOffWithoutFillingMemory) {
    EndlessAnswerServer endless;
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
    EndlessAnswerServer endless(EndlessAnswerServer::Framing::chunked);
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
    using Framing = EndlessAnswerServer::Framing;
    for (const bool capped : {false, true}) {
        for (const Framing framing : {Framing::statusLine, Framing::headerLine, Framing::chunkSizeLine}) {
            SCOPED_TRACE(QStringLiteral("framing %1, capped %2").arg(int(framing)).arg(capped).toStdString());
            EndlessAnswerServer endless(framing);
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
    using Framing = EndlessAnswerServer::Framing;
    const auto connections = std::make_shared<TcpConnectionReading>();
    for (const bool download : {false, true}) {
        for (const Framing framing : {Framing::statusLine, Framing::headerLine, Framing::chunkSizeLine}) {
            SCOPED_TRACE(QStringLiteral("framing %1, download %2").arg(int(framing)).arg(download).toStdString());
            EndlessAnswerServer endless(framing);
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
