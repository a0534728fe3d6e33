#include "Platform/Linux/TcpConnectionReading.h"
#include "Services/Backend/ConnectionReading.h"
#include "Services/Backend/ReplyWatch.h"
#include "TestEventLoop.h"

#include <gtest/gtest.h>

#include <QHostInfo>
#include <QNetworkReply>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <optional>

namespace quorvelle::test {
namespace {

using namespace std::chrono_literals;

// A request that is under way and never answers by itself.
class PendingReply final : public QNetworkReply {
public:
    explicit PendingReply(const QUrl& url) {
        setUrl(url);
        open(QIODevice::ReadOnly);
    }
    void abort() override {
        setFinished(true);
        Q_EMIT finished();
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
};

// The process's connections as the kernel would list them: each growing one has read another MiB
// whenever it is looked at.
class FakeConnections final : public ConnectionReading {
public:
    struct Connection {
        QHostAddress peer;
        quint16 port;
        quint16 localPort;
        bool growing = false;
        qint64 read = 0;
    };

    QHash<quint16, qint64> bytesRead(const QList<QHostAddress>& peers, quint16 port) const override {
        ++looks;
        QHash<quint16, qint64> counts;
        for (Connection& connection : table) {
            if (connection.growing) connection.read += 1 << 20;
            if (connection.port == port && peers.contains(connection.peer))
                counts.insert(connection.localPort, connection.read);
        }
        return counts;
    }
    void shutDown(const QList<QHostAddress>& peers, quint16 port, const QList<quint16>& localPorts) const override {
        for (const Connection& connection : table)
            if (connection.port == port && peers.contains(connection.peer) && localPorts.contains(connection.localPort))
                shut.append(connection.localPort);
    }

    mutable QList<Connection> table;
    mutable QList<quint16> shut;
    mutable int looks = 0;
};

// Production addresses carry no port: the watch must look at the scheme's own (a swapped default
// would watch nothing and never cut), and only at connections to the server's own address, however
// busy another host on the same port is.
TEST(ReplyWatchTest, WatchesOnlyTheServersOwnAddressOnItsPortOrTheSchemesDefault) {
    const QHostAddress server(QStringLiteral("127.0.0.1"));
    const QHostAddress otherHost(QStringLiteral("127.0.0.2"));
    const QList<std::pair<QUrl, quint16>> addresses = {{QUrl("https://127.0.0.1/v1/transcriptions"), 443},
                                                       {QUrl("http://127.0.0.1/v1/transcriptions"), 80},
                                                       {QUrl("https://127.0.0.1:8443/v1/transcriptions"), 8443},
                                                       {QUrl("http://localhost/v1/transcriptions"), 80}};
    for (const auto& [url, port] : addresses) {
        SCOPED_TRACE(url.toString().toStdString());
        const auto connections = std::make_shared<FakeConnections>();
        const quint16 otherPort = port == 443 ? 80 : 443;
        connections->table = {{otherHost, port, 50001, true}, {server, otherPort, 50002, true}, {server, port, 50003}};
        PendingReply reply(url);
        ReplyWatch watch(&reply,
                         {.idleTimeout = 60s, .deadline = 60s, .maximumHeadSize = 1 << 20, .connections = connections});
        // Many looks, each after megabytes more on the other connections.
        ASSERT_TRUE(waitUntil([&] { return connections->looks >= 8 || watch.hasEnded(); }));
        EXPECT_FALSE(watch.hasEnded());
        EXPECT_TRUE(connections->shut.isEmpty());

        connections->table[2].growing = true;
        ASSERT_TRUE(waitUntil([&] { return watch.hasEnded(); }));
        EXPECT_EQ(watch.abortReason(), ReplyWatch::Abort::timedOut);
        EXPECT_EQ(connections->shut, QList<quint16>{50003});
    }
}

// A server named by a host name is watched once the name is looked up. A watch that ended before
// the answer (the reply finished or was stopped), or is gone with its reply, looks at no connection
// and shuts none, however busy the server's connections are.
TEST(ReplyWatchTest, AWatchThatEndsBeforeItsHostNameIsLookedUpLooksAtNoConnection) {
    for (const bool gone : {false, true}) {
        SCOPED_TRACE(gone ? "watch gone" : "watch ended");
        const auto connections = std::make_shared<FakeConnections>();
        for (const char* loopback : {"127.0.0.1", "::1"})
            connections->table.append({QHostAddress(QString::fromLatin1(loopback)), 80, 50001, true});
        PendingReply reply(QUrl("http://localhost/v1/transcriptions"));
        auto watch = std::make_unique<ReplyWatch>(
            &reply, ReplyLimits{.idleTimeout = 60s, .deadline = 60s, .maximumHeadSize = 1, .connections = connections});
        watch->stop();
        ASSERT_TRUE(watch->hasEnded());
        if (gone) watch.reset();
        // A lookup of the same name asked after the watch's is answered after it.
        QObject context;
        std::optional<QHostInfo> answer;
        QHostInfo::lookupHost(QStringLiteral("localhost"), &context, [&](const QHostInfo& info) { answer = info; });
        ASSERT_TRUE(waitUntil([&] { return answer.has_value(); }));
        if (answer->addresses().isEmpty()) GTEST_SKIP() << "localhost has no address here";
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(connections->looks, 0);
        EXPECT_TRUE(connections->shut.isEmpty());
    }
}

// One end of a loopback connection, or a listener, closed with the test.
struct Socket {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ~Socket() { ::close(fd); }
};

sockaddr_in loopback(const char* address, quint16 port) {
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_port = htons(port);
    ::inet_pton(AF_INET, address, &result.sin_addr);
    return result;
}

quint16 localPortOf(int fd) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

// The reader behind the watch: two servers on one port, at two loopback addresses; only the
// connection to the address asked for is counted, and only it is shut.
TEST(ReplyWatchTest, TheConnectionReaderCountsAndShutsOnlyConnectionsToTheGivenAddress) {
    Socket listeners[2], clients[2];
    sockaddr_in address = loopback("127.0.0.1", 0);
    socklen_t size = sizeof address;
    ASSERT_EQ(::bind(listeners[0].fd, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(::getsockname(listeners[0].fd, reinterpret_cast<sockaddr*>(&address), &size), 0);
    const quint16 port = ntohs(address.sin_port);
    const sockaddr_in other = loopback("127.0.0.2", port);
    if (::bind(listeners[1].fd, reinterpret_cast<const sockaddr*>(&other), sizeof other) != 0)
        GTEST_SKIP() << "127.0.0.2:" << port << " is taken";
    const char* const addresses[] = {"127.0.0.1", "127.0.0.2"};
    int served[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(::listen(listeners[i].fd, 1), 0);
        const sockaddr_in server = loopback(addresses[i], port);
        ASSERT_EQ(::connect(clients[i].fd, reinterpret_cast<const sockaddr*>(&server), sizeof server), 0);
        served[i] = ::accept(listeners[i].fd, nullptr, nullptr);
        // Sent and taken: 1000 bytes from the first server, 3000 from the second.
        const QByteArray bytes(1000 * (2 * i + 1), 'b');
        ASSERT_EQ(::send(served[i], bytes.constData(), bytes.size(), 0), bytes.size());
        char buffer[4096];
        ASSERT_EQ(::recv(clients[i].fd, buffer, bytes.size(), MSG_WAITALL), bytes.size());
    }
    const TcpConnectionReading reading;
    const QList<QHostAddress> server{QHostAddress(QStringLiteral("127.0.0.1"))};
    const quint16 ports[] = {localPortOf(clients[0].fd), localPortOf(clients[1].fd)};
    EXPECT_EQ(reading.bytesRead(server, port), (QHash<quint16, qint64>{{ports[0], 1000}}));
    EXPECT_TRUE(reading.bytesRead(server, port + 1).isEmpty());

    reading.shutDown(server, port, {ports[0], ports[1]});
    char byte = 0;
    EXPECT_EQ(::recv(clients[0].fd, &byte, 1, 0), 0);  // shut: no more to read
    ASSERT_EQ(::send(served[1], "x", 1, 0), 1);
    EXPECT_EQ(::recv(clients[1].fd, &byte, 1, 0), 1);
    for (const int fd : served)
        ::close(fd);
}

}  // namespace
}  // namespace quorvelle::test
