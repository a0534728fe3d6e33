#include "Services/Backend/ConnectionReading.h"
#include "Services/Backend/ReplyWatch.h"
#include "TestEventLoop.h"

#include <gtest/gtest.h>

#include <QNetworkReply>

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
                                                       {QUrl("https://127.0.0.1:8443/v1/transcriptions"), 8443}};
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

}  // namespace
}  // namespace quorvelle::test
