#include "Models/QuorvelleError.h"
#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

const QString kStarted = "Quorvelle account sign-in started. Code: ABCD-EFGH";
const QString kConnected = "Quorvelle account connected and this computer was registered.";
const QString kExpired = "Quorvelle account sign-in expired. Start again.";

BackendDeviceLoginPollResult answer(const char* status, std::optional<QString> device = std::nullopt) {
    return {status, QString(status) == "approved", device};
}

class AccountSignIn : public ViewModelTest {
protected:
    void signIn() {
        fakes.account->storedSession = false;
        fakes.account->deviceID.reset();
        make().account()->startBackendSignIn();
        settle();
    }
    // Ends the running poll wait and lets the poll it starts answer.
    void tick() {
        fakes.pollSleeper.finishOldest();
        settle();
    }
    int polls() const { return int(fakes.account->calls.count("pollDeviceLogin(login-1)")); }
    bool logged(const char* code) const { return fakes.diagnostics->codes().contains(code); }
};

TEST_F(AccountSignIn, PollsOneAtATimeAfterEachIntervalAndTimesOutAfterTheLimit) {
    signIn();
    EXPECT_EQ(message(), kStarted);
    EXPECT_EQ(fakes.navigator->opened.size(), 1);
    EXPECT_EQ(polls(), 0);
    EXPECT_EQ(fakes.pollSleeper.requestedSeconds(), QList<double>{2.0});
    fakes.account->held.setHolding(true);
    tick();
    EXPECT_EQ(fakes.pollSleeper.waitingCount(), 0) << "no new wait while a poll is out";
    fakes.account->held.setHolding(false);
    fakes.account->held.releaseAll();
    settle();
    while (polls() < 300 && fakes.pollSleeper.waitingCount() == 1)
        tick();
    EXPECT_EQ(polls(), 300);
    EXPECT_EQ(fakes.pollSleeper.waitingCount(), 0);
    EXPECT_EQ(message(), "Quorvelle account sign-in timed out. Try again.");
    EXPECT_TRUE(account().backendAuthChallenge().has_value());
}

TEST_F(AccountSignIn, OnlyAnApprovalWithAStoredSessionSignsIn) {
    fakes.account->pollAnswer.push(answer("approved"));  // a token but no device id: not signed in
    signIn();
    tick();
    EXPECT_EQ(message(), "Quorvelle account sign-in could not be checked.");
    EXPECT_TRUE(logged("settings.backend_auth.poll_failed"));
    EXPECT_FALSE(logged("settings.backend_auth.approved"));

    fakes.account->pollAnswer.push(answer("authorization_pending"));
    fakes.account->pollAnswer.push(answer("approved", "device-9"));
    signIn();
    tick();
    EXPECT_EQ(message(), kStarted) << "a pending automatic poll says nothing";
    tick();
    EXPECT_EQ(message(), kConnected);
    EXPECT_EQ(account().registeredBackendDeviceID(), "device-9");
    EXPECT_TRUE(viewModel->permissions()->onboardingStatus().hasAPIKey);
    EXPECT_EQ(fakes.pollSleeper.waitingCount(), 0);
}

TEST_F(AccountSignIn, ManualCheckReadsTheStatusWordExactly) {
    for (const auto& [status, expected] : {std::pair<const char*, QString>{"expired", kExpired},
                                           {"consumed", kExpired},
                                           {"Expired", "Sign-in pending: Expired."}}) {
        signIn();
        fakes.account->pollAnswer.push(answer(status));
        account().checkSignInApproval();
        settle();
        EXPECT_EQ(message(), expected) << status;
        EXPECT_EQ(account().backendAuthChallenge().has_value(), expected != kExpired) << status;
    }
}

TEST_F(AccountSignIn, LateReplyOfAnOverlappingCheckKeepsTheApproval) {
    for (const bool lateFailure : {false, true}) {
        signIn();
        fakes.account->held.setHolding(true);
        tick();
        account().checkSignInApproval();
        fakes.account->pollAnswer.push(answer("approved", "device-1"));
        if (lateFailure)
            fakes.account->pollAnswer.pushFailure(QuorvelleError(QuorvelleErrorCase::loginCodeAlreadyUsed));
        else
            fakes.account->pollAnswer.push(answer("consumed"));
        fakes.account->held.releaseOldest();
        settle();
        fakes.account->held.releaseOldest();
        settle();
        EXPECT_EQ(message(), kConnected) << lateFailure;
        fakes.account->held.setHolding(false);
    }
}

TEST(AccountCopy, TextsFollowTheManagerTheSessionAndTheMode) {
    const auto texts = [](const char* language, bool manager, bool session, bool local) {
        const auto backend = local ? TranscriptionBackend::local : TranscriptionBackend::cloud;
        const AccountCopy copy{AppStrings(language), session, backend, manager, std::nullopt, std::nullopt};
        return QStringList{copy.accountStatusLabel(), copy.accountSectionTitle(), copy.connectionSummary()}.join('|');
    };
    EXPECT_EQ(texts("en", false, false, true), "Not required|Local mode|Account not required");
    EXPECT_EQ(texts("en", false, true, false), "Saved|Quorvelle account|Connected");
    EXPECT_EQ(texts("en", true, false, true), "Missing|Sign in required|Connect this computer");
    EXPECT_EQ(texts("en", true, true, true), "Connected|Quorvelle account|Connected");
    EXPECT_EQ(texts("tr", false, false, false), "Eksik|Quorvelle hesabı|Bu bilgisayarı bağlayın");
}

using AccountActions = ViewModelTest;

TEST_F(AccountActions, SignOutStopsThePollingAndKeepsTheAccountWhenTheStoreRefuses) {
    fakes.account->deviceID = "device-1";  // a device id without a token: signed out
    fakes.account->signOutOutcome.pushFailure(std::runtime_error("keyring refused"));
    make().account()->startBackendSignIn();
    settle();
    account().signOutBackendAccount();
    settle();
    EXPECT_EQ(message(), "Quorvelle account sign-out failed.");
    EXPECT_EQ(fakes.pollSleeper.waitingCount(), 0);
    EXPECT_EQ(viewModel->accountCopy().registeredDeviceLabel(), "device-1");
    account().signOutBackendAccount();
    settle();
    EXPECT_EQ(message(), "Signed out of Quorvelle account.");
}

// Finishes a load even after it was asked to stop, as a transfer already complete would.
class LateReleaseNotes final : public ReleaseNotesFetching {
public:
    HeldCalls held;
    QCoro::Task<QList<ReleaseNoteEntry>> fetchReleaseNotes(QString languageCode, std::stop_token) override {
        co_await held.pass({});
        co_return QList{ReleaseNoteEntry{languageCode, {}, {}, {}, {}, {}, {}}};
    }
};

TEST_F(AccountActions, OnlyTheLatestReleaseNotesLoadWrites) {
    auto fetcher = std::make_shared<LateReleaseNotes>();
    AppBootstrap services = fakes.bootstrap();
    services.releaseNotesFetcher = fetcher;
    make(services);
    fetcher->held.setHolding(true);
    account().reloadReleaseNotes();
    EXPECT_EQ(account().releaseNotesState(), ReleaseNotesLoadState::loading());
    viewModel->context().setAppLanguage(AppLanguageOption::turkish);
    fetcher->held.setHolding(false);
    account().reloadReleaseNotes();
    settle();
    fetcher->held.releaseAll();
    settle();
    EXPECT_EQ(account().releaseNotesState().entries.value(0).id, "tr");
}

TEST_F(AccountActions, ALanguageSwitchFetchesOnlyReleaseNotesAlreadyLoadedAgainInTheNewLanguage) {
    PreferencesViewModel& preferences = *make("english").preferences();
    preferences.setAppLanguage(AppLanguageOption::turkish);
    settle();
    EXPECT_TRUE(fakes.releaseNotes->requestedLanguages.isEmpty());
    account().reloadReleaseNotes();
    settle();
    preferences.setAppLanguage(AppLanguageOption::english);
    settle();
    EXPECT_EQ(fakes.releaseNotes->requestedLanguages, QStringList({"tr", "en"}));
    EXPECT_EQ(account().releaseNotesState().kind, ReleaseNotesLoadState::Kind::loaded);
}

}  // namespace
}  // namespace quorvelle::test
