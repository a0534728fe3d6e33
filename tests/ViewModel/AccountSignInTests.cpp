#include "Models/QuorvelleError.h"
#include "ViewModel/BackendAuthMessages.h"
#include "ViewModelPartsFixture.h"

namespace quorvelle::test {
namespace {

const QString kStarted = QStringLiteral("Quorvelle account sign-in started. Code: ABCD-EFGH");
const QString kConnected = QStringLiteral("Quorvelle account connected and this computer was registered.");
const QString kExpired = QStringLiteral("Quorvelle account sign-in expired. Start again.");

BackendDeviceLoginPollResult answer(const char* status, bool approved = false) {
    return {QString::fromLatin1(status), approved,
            approved ? std::optional<QString>(QStringLiteral("device-9")) : std::nullopt};
}

class AccountSignIn : public ViewModelPartsFixture {
protected:
    void signIn() {
        fakes.account->storedSession = false;
        fakes.account->deviceID.reset();
        fakes.diagnostics->stored.clear();
        make();
        account().startBackendSignIn();
        settle();
    }
    // Ends the running poll wait and lets the poll it starts answer.
    void tick() {
        fakes.pollSleeper.finishOldest();
        settle();
    }
    int polls() const { return int(fakes.account->calls.count(QStringLiteral("pollDeviceLogin(login-1)"))); }
};

TEST_F(AccountSignIn, PollsOneAtATimeAfterEachIntervalAndTimesOutAfterTheLimit) {
    signIn();
    EXPECT_EQ(message(), kStarted);
    EXPECT_EQ(fakes.navigator->opened, QList{SystemDestination::address(QUrl("https://example.test/device"))});
    EXPECT_EQ(polls(), 0);
    EXPECT_EQ(fakes.pollSleeper.requestedSeconds(), QList<double>{2.0});

    fakes.account->held.setHolding(true);
    tick();
    EXPECT_EQ(polls(), 1);
    EXPECT_EQ(fakes.pollSleeper.waitingCount(), 0) << "no new wait while a poll is out";
    EXPECT_TRUE(account().isBackendAuthPolling());
    fakes.account->held.setHolding(false);
    fakes.account->held.releaseAll();
    settle();
    EXPECT_EQ(fakes.pollSleeper.waitingCount(), 1);

    while (polls() < 300 && fakes.pollSleeper.waitingCount() == 1)
        tick();
    EXPECT_EQ(polls(), 300);
    EXPECT_EQ(fakes.pollSleeper.waitingCount(), 0);
    EXPECT_EQ(message(), QStringLiteral("Quorvelle account sign-in timed out. Try again."));
    EXPECT_TRUE(account().backendAuthChallenge().has_value());
    EXPECT_FALSE(account().isBackendAuthPolling());
}

TEST_F(AccountSignIn, ApprovalStoresTheSessionAndStopsTheRun) {
    fakes.account->pollAnswer.push(answer("authorization_pending"));
    fakes.account->pollAnswer.push(answer("approved", true));
    signIn();
    tick();
    EXPECT_EQ(message(), kStarted) << "a pending automatic poll says nothing";
    tick();
    EXPECT_EQ(message(), kConnected);
    EXPECT_EQ(account().registeredBackendDeviceID(), QStringLiteral("device-9"));
    EXPECT_FALSE(account().backendAuthChallenge().has_value());
    EXPECT_TRUE(viewModel->permissions()->onboardingStatus().hasAPIKey);
    EXPECT_EQ(fakes.pollSleeper.waitingCount(), 0);
    EXPECT_EQ(fakes.diagnostics->codes().first(), QStringLiteral("settings.backend_auth.approved"));
}

TEST_F(AccountSignIn, ManualCheckReadsTheStatusWordExactly) {
    struct Row {
        const char* status;
        QString message;
        bool keepsChallenge;
    } rows[] = {
        {"expired", kExpired, false},
        {"consumed", kExpired, false},
        {"Expired", QStringLiteral("Sign-in pending: Expired."), true},
        {"authorization_pending", QStringLiteral("Sign-in pending: authorization_pending."), true},
    };
    for (const Row& row : rows) {
        signIn();
        fakes.account->pollAnswer.push(answer(row.status));
        account().checkSignInApproval();
        settle();
        EXPECT_EQ(message(), row.message) << row.status;
        EXPECT_EQ(account().backendAuthChallenge().has_value(), row.keepsChallenge) << row.status;
    }
}

TEST_F(AccountSignIn, FailedPollEndsTheRunAndKeepsTheChallenge) {
    fakes.account->pollAnswer.pushFailure(QuorvelleError(QuorvelleErrorCase::requestTimedOut));
    signIn();
    tick();
    EXPECT_EQ(message(), QStringLiteral("Quorvelle account sign-in could not be checked: backend timed out."));
    EXPECT_EQ(fakes.diagnostics->codes().first(), QStringLiteral("settings.backend_auth.poll_failed"));
    EXPECT_EQ(fakes.pollSleeper.waitingCount(), 0);
    EXPECT_TRUE(account().backendAuthChallenge().has_value());
}

TEST(BackendAuthMessages, SuffixPerError) {
    using C = QuorvelleErrorCase;
    struct Row {
        std::exception_ptr error;
        const char* baseURL;
        const char* language;
        QString expected;
    } rows[] = {
        {std::make_exception_ptr(std::runtime_error("decode")), "", "en", "P."},
        {std::make_exception_ptr(QuorvelleError::rateLimitedRetryAfter(30)), "", "en",
         "P: too many attempts. Wait a moment."},
        {std::make_exception_ptr(QuorvelleError(C::loginCodeAlreadyUsed)), "", "tr",
         "P: bu kod zaten kullanıldı. Yeni kod almak için tekrar Giriş Yap başlatın."},
        {std::make_exception_ptr(QuorvelleError(C::invalidAPIKey)), "", "en", "P: web session or token is invalid."},
        {std::make_exception_ptr(QuorvelleError(C::providerUnavailable)), "", "en",
         "P: cloud service is temporarily unavailable."},
        {std::make_exception_ptr(QuorvelleError(C::networkUnavailable)), "http://LocalHost:8787", "en",
         "P: could not reach backend (http://LocalHost:8787). Is the local API server running?"},
        {std::make_exception_ptr(QuorvelleError(C::networkUnavailable)), "http://[::1]:1", "tr",
         "P: backend'e ulaşılamadı (http://[::1]:1). Local API server çalışıyor mu?"},
        {std::make_exception_ptr(QuorvelleError(C::networkUnavailable)), "https://api.example.com", "en",
         "P: could not reach backend (https://api.example.com). Could not reach the online API."},
        {std::make_exception_ptr(QuorvelleError(C::networkUnavailable)), "http://exa mple", "en",
         "P: could not reach backend (http://exa mple). Check the configured API URL."},
        {std::make_exception_ptr(QuorvelleError(C::noSpeechDetected)), "", "en",
         "P: " + AppStrings().errorMessage(QuorvelleError(C::noSpeechDetected))},
    };
    for (const Row& row : rows)
        EXPECT_EQ(backend_auth_messages::error(AppStrings(row.language), "P", row.error, row.baseURL), row.expected)
            << row.expected.toStdString();
}

// Answers "approved" yet keeps nothing, as a keyring that drops writes without a word would.
class ForgetfulAccount final : public BackendAuthSessionManaging {
public:
    std::shared_ptr<FakeBackendAuthSessionManager> inner = std::make_shared<FakeBackendAuthSessionManager>();
    bool hasStoredSession() const override { return false; }
    std::optional<QString> registeredDeviceID() const override { return std::nullopt; }
    QCoro::Task<BackendAuthDeviceLoginChallenge> startDeviceLogin(std::stop_token stop) override {
        return inner->startDeviceLogin(stop);
    }
    QCoro::Task<BackendDeviceLoginPollResult> pollDeviceLogin(BackendAuthDeviceLoginChallenge c,
                                                              std::stop_token stop) override {
        return inner->pollDeviceLogin(c, stop);
    }
    QCoro::Task<void> signOut(std::stop_token stop) override { return inner->signOut(stop); }
};

TEST_F(AccountSignIn, ApprovalWithoutAStoredSessionIsAFailedCheck) {
    auto forgetful = std::make_shared<ForgetfulAccount>();
    forgetful->inner->pollAnswer.push(answer("approved", true));
    AppBootstrap services = fakes.bootstrap();
    services.backendAuthSessionManager = forgetful;
    make(services);
    account().startBackendSignIn();
    settle();
    tick();
    EXPECT_EQ(message(), QStringLiteral("Quorvelle account sign-in could not be checked."));
    EXPECT_EQ(fakes.diagnostics->codes().first(), QStringLiteral("settings.backend_auth.poll_failed"));
    EXPECT_FALSE(fakes.diagnostics->codes().contains(QStringLiteral("settings.backend_auth.approved")));
    EXPECT_FALSE(viewModel->permissions()->onboardingStatus().hasAPIKey);
}

TEST_F(AccountSignIn, LateReplyOfAnOverlappingCheckKeepsTheApproval) {
    for (const bool lateFailure : {false, true}) {
        signIn();
        fakes.account->held.setHolding(true);
        tick();
        account().checkSignInApproval();
        fakes.account->pollAnswer.push(answer("approved", true));
        if (lateFailure)
            fakes.account->pollAnswer.pushFailure(QuorvelleError(QuorvelleErrorCase::loginCodeAlreadyUsed));
        else
            fakes.account->pollAnswer.push(answer("consumed"));
        fakes.account->held.releaseOldest();
        settle();
        fakes.account->held.releaseOldest();
        settle();
        EXPECT_EQ(message(), kConnected) << lateFailure;
        EXPECT_FALSE(fakes.diagnostics->codes().contains(QStringLiteral("settings.backend_auth.poll_failed")));
        fakes.account->held.setHolding(false);
    }
}

}  // namespace
}  // namespace quorvelle::test
