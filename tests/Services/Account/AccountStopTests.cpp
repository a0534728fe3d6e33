// The sign-in manager when the caller stops a call that is already on its way.

#include "AccountSessionFixture.h"
#include "InMemoryKeyring.h"
#include "Support/CancellationError.h"

namespace quorvelle::test {
namespace {

class AccountStop : public AccountSessionFixture, public ::testing::Test {
protected:
    void SetUp() override { build(std::make_shared<InMemoryKeyring>()); }

    std::stop_source stopWhenAsked(const QString& path) {
        std::stop_source stop;
        QObject::connect(&server, &FakeBackendServer::requestReceived, [stop, path](const RecordedRequest& request) {
            if (request.path == path) std::stop_source(stop).request_stop();
        });
        return stop;
    }
};

TEST_F(AccountStop, AnApprovalThatArrivesAfterTheStopStoresNothing) {
    server.respond("POST", kPoll, approvedAnswer("access-1", "refresh-1"));
    server.respond("POST", kRegister, registeredAnswer("device-1"));
    std::stop_source stop = stopWhenAsked(kPoll);
    EXPECT_THROW(runTask(manager->pollDeviceLogin(challenge(), stop.get_token())), CancellationError);
    EXPECT_EQ(stored(), QStringList({"-", "-", "-"}));
    EXPECT_TRUE(server.requestsTo(kRegister).isEmpty());
}

TEST_F(AccountStop, AStopBeforeTheCallSendsNothing) {
    std::stop_source stop;
    stop.request_stop();
    EXPECT_THROW(runTask(manager->startDeviceLogin(stop.get_token())), CancellationError);
    EXPECT_THROW(runTask(manager->signOut(stop.get_token())), CancellationError);
    EXPECT_TRUE(server.requests().isEmpty());
}

}  // namespace
}  // namespace quorvelle::test
