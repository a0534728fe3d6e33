// Sign-in and sign-out from the view model through the real session manager, the fake backend
// server and the desktop's Secret Service.

#include "../Services/Account/AccountSessionFixture.h"
#include "Platform/Linux/LibsecretItemStore.h"
#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

class AccountKeyringRoad : public ViewModelTest, public AccountSessionFixture {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QUORVELLE_DESKTOP_ENV")) GTEST_SKIP() << "no desktop keyring here";
        build(std::make_shared<LibsecretItemStore>());
    }
    void TearDown() override {
        viewModel.reset();
        removeItems();
    }
};

TEST_F(AccountKeyringRoad, SignsInByTheDeviceCodeAndSignsOutOffline) {
    server.respond(
        "POST", kStart,
        FakeResponse::json(200, R"({"device_login_id":"login-1","device_poll_secret":"secret-1",)"
                                R"("user_code":"ABCD-EFGH","verification_url":"https://web.example.test/device"})"));
    server.respond("POST", kPoll, approvedAnswer("access-1", "refresh-1"));
    server.respond("POST", kRegister, registeredAnswer("device-1"));
    AppBootstrap services = fakes.bootstrap();
    services.backendAuthSessionManager = std::shared_ptr<BackendAuthSessionManaging>(manager.get(), [](auto*) {});
    make(services);

    account().startBackendSignIn();
    ASSERT_TRUE(waitUntil([&] { return fakes.pollSleeper.waitingCount() == 1; }));
    fakes.pollSleeper.finishOldest();
    ASSERT_TRUE(waitUntil([&] { return !message().contains(QLatin1String("Code:")); }));
    EXPECT_EQ(message(), "Quorvelle account connected and this computer was registered.");
    EXPECT_EQ(stored(), QStringList({"access-1", "refresh-1", "device-1"}));
    EXPECT_TRUE(viewModel->permissions()->onboardingStatus().hasAPIKey);

    server.close();
    account().signOutBackendAccount();
    ASSERT_TRUE(waitUntil([&] { return !account().isBackendAuthPolling(); }));
    EXPECT_EQ(message(), "Signed out of Quorvelle account.");
    EXPECT_EQ(stored(), QStringList({"-", "-", "-"}));
    EXPECT_FALSE(viewModel->permissions()->onboardingStatus().hasAPIKey);
}

}  // namespace
}  // namespace quorvelle::test
