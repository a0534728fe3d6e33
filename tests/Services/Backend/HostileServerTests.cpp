#include "BackendTestSupport.h"

#include "Services/Backend/BackendResponsePayloads.h"
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

QByteArray refreshAnswer(qsizetype size = 0) {
    return R"({"access_token":"a","refresh_token":"r","pad":")" + QByteArray(size, 'p') + "\"}";
}

// Answers each connection, on a thread of its own, with a body that does not end (until 512 MiB), as
// fast as the client takes it: close-delimited or in chunks. Counts what it sent and notes when the
// client stopped taking more for half a second.
class EndlessBodyServer {
public:
    enum class Framing { closeDelimited, chunked };
    static constexpr qint64 kLimit = qint64(512) << 20;

    explicit EndlessBodyServer(Framing framing = Framing::closeDelimited)
        : m_listener(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(m_listener, 4) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("no port");
        m_port = ntohs(address.sin_port);
        const bool chunked = framing == Framing::chunked;
        m_thread = std::thread([this, chunked] {
            for (int connection; (connection = ::accept(m_listener, nullptr, nullptr)) >= 0; ::close(connection)) {
                char request[8192];
                ::recv(connection, request, sizeof request, 0);
                const QByteArray head = chunked ? "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                                : "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n";
                const QByteArray body(1 << 20, ' ');
                const QByteArray chunk = chunked ? "100000\r\n" + body + "\r\n" : body;
                if (!sendAll(connection, head)) continue;
                while (m_sent < kLimit && sendAll(connection, chunk))
                    m_sent += chunk.size();
                m_finished = true;
            }
        });
    }
    ~EndlessBodyServer() {
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_port)); }
    qint64 sent() const { return m_sent; }
    // Blocks the calling thread until the whole has gone or the client has stopped taking it.
    void waitUntilSentOrStalled() const {
        while (!m_finished && !m_stalled)
            std::this_thread::sleep_for(10ms);
    }

private:
    bool sendAll(int connection, const QByteArray& bytes) {
        for (qsizetype done = 0; done < bytes.size();) {
            pollfd writable{connection, POLLOUT, 0};
            if (::poll(&writable, 1, 500) == 0) m_stalled = true;
            const ssize_t written =
                ::send(connection, bytes.constData() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (written < 0 && errno != EAGAIN) return false;
            done += std::max<ssize_t>(written, 0);
        }
        return true;
    }

    int m_listener;
    quint16 m_port = 0;
    std::atomic<qint64> m_sent = 0;
    std::atomic<bool> m_stalled = false;
    std::atomic<bool> m_finished = false;
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
    EndlessBodyServer endless;
    client = std::make_unique<BackendAPIClient>(&manager, endless.url(), testOptions());
    const qint64 before = peakMemoryAfterReset(true);
    EXPECT_EQ(refreshFailure(), QuorvelleError(Case::unexpectedRuntimeFailure));
    const auto plain = failureOf<WebRequestError>(fetchPlainGet(&manager, endless.url(), {}, 10s, 60s));
    EXPECT_EQ(plain.value().errorCase(), WebRequestError::Case::responseTooLarge);
    // Measured at 17 to 43 MiB on a quiet machine; the bound leaves room for a loaded one and still
    // catches a body kept whole (the server sends up to 512 MiB to each).
    EXPECT_LT(peakMemoryAfterReset(false) - before, 192 << 20);
}

// Qt's network thread reads an answer on its own; it must stop at the reply's small buffer for a
// request with a body too, even while this thread is too busy to read or abort, and a length
// announced over the cap is refused with the headers.
TEST_F(HostileServerTest, AnEndlessChunkedAnswerToAPostStaysSmallWhileTheMainThreadIsBusy) {
    EndlessBodyServer endless(EndlessBodyServer::Framing::chunked);
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
