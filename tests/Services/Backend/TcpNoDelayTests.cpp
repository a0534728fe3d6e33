#include "BackendTestSupport.h"

#include "Platform/Linux/TcpNoDelay.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace quorvelle::test {
namespace {

TEST(TcpNoDelay, TurnsNagleOffOnOpenConnectionsOnce) {
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, listener.serverPort());
    ASSERT_TRUE(socket.waitForConnected(5000));
    ASSERT_EQ(socket.socketOption(QAbstractSocket::LowDelayOption).toInt(), 0);
    EXPECT_GE(disableNagleOnOpenTcpSockets(), 1);
    EXPECT_EQ(socket.socketOption(QAbstractSocket::LowDelayOption).toInt(), 1);
    EXPECT_EQ(disableNagleOnOpenTcpSockets(), 0);
}

class HeldBytesTest : public BackendClientTest {};

TEST_F(HeldBytesTest, AnUploadHasItsConnectionSendAtOnce) {
    int changed = 0;
    BackendAPIClientOptions options = testOptions();
    options.releaseHeldRequestBytes = [&changed] { changed += disableNagleOnOpenTcpSockets(); };
    client = makeClient(options);
    server.respond("POST", QStringLiteral("/v1/transcriptions"),
                   FakeResponse::json(200, R"({"request_id":"R","text":"t"})"));
    BackendTranscriptionRequest request;
    request.clip.data = QByteArray(200 * 1024, 'a');
    EXPECT_EQ(runTask(client->uploadTranscription(request, "tok", "DEV", "B")).text, "t");
    // The client's connection and the test server's end of it.
    EXPECT_GE(changed, 1);
}

}  // namespace
}  // namespace quorvelle::test
