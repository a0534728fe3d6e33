#include "BackendTestSupport.h"

#include "Platform/Linux/TcpNoDelay.h"

namespace quorvelle::test {
namespace {

class HeldBytesTest : public BackendClientTest {};

// An upload has its connection send at once; a connection already changed is not counted again.
TEST_F(HeldBytesTest, AnUploadTurnsNagleOffOnItsConnectionOnce) {
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
    EXPECT_EQ(disableNagleOnOpenTcpSockets(), 0);
}

}  // namespace
}  // namespace quorvelle::test
