#include "App/AppConfiguration.h"
#include "Models/QuorvelleError.h"
#include "ViewModel/BackendAuthMessages.h"
#include "ViewModelTestSupport.h"

#include <functional>
#include <variant>

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

TEST_F(AccountSignIn, AnApprovalWithAStoredSessionSignsInAndEveryOtherAnswerSaysWhyNot) {
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

    using C = QuorvelleErrorCase;
    const QString server = AppConfiguration::current().backendBaseURLString();
    const auto hint = &backend_auth_messages::backendUnreachable;
    const QString notStarted = "Quorvelle account sign-in could not be started";
    const QString notChecked = "Quorvelle account sign-in could not be checked";
    const struct {
        bool atStart;
        std::variant<const char*, C, std::runtime_error> answer;  // to the start or to a manual check
        QString message;                                          // an error's message is also logged
    } rows[] = {
        {true, C::networkUnavailable, notStarted + ": could not reach backend (" + server + "). " + hint(server).first},
        {true, C::rateLimited, notStarted + ": too many attempts. Wait a moment."},
        {true, std::runtime_error("x"), notStarted + "."},
        {false, C::loginCodeAlreadyUsed,
         notChecked + ": this code was already used. Start Sign In again to get a new code."},
        {false, C::invalidAPIKey, notChecked + ": web session or token is invalid."},
        {false, C::requestTimedOut, notChecked + ": backend timed out."},
        {false, C::providerUnavailable, notChecked + ": cloud service is temporarily unavailable."},
        {false, C::noSpeechDetected,
         notChecked + ": " + AppStrings().errorMessage(QuorvelleError(C::noSpeechDetected))},
        {false, "approved", notChecked + "."},  // a token but no device id: not signed in
        {false, "expired", kExpired},
        {false, "consumed", kExpired},
        {false, "Expired", "Sign-in pending: Expired."},
    };
    for (const auto& row : rows) {
        const auto fail = [&](auto& call) {
            if (const auto* error = std::get_if<C>(&row.answer))
                call.pushFailure(QuorvelleError(*error));
            else
                call.pushFailure(std::get<std::runtime_error>(row.answer));
        };
        if (row.atStart) fail(fakes.account->startOutcome);
        signIn();
        if (!row.atStart) {
            if (const auto* status = std::get_if<const char*>(&row.answer))
                fakes.account->pollAnswer.push(answer(*status));
            else
                fail(fakes.account->pollAnswer);
            account().checkSignInApproval();
            settle();
        }
        SCOPED_TRACE(row.message.toStdString());
        EXPECT_EQ(message(), row.message);
        EXPECT_EQ(fakes.diagnostics->stored.value(0).message == row.message,
                  row.message.startsWith(notStarted) || row.message.startsWith(notChecked));
        EXPECT_EQ(account().backendAuthChallenge().has_value(),
                  !row.atStart && row.message != kExpired && row.message != notChecked + ".");
    }
    // The hint names what to check: the address, the local server or the connection.
    using Hint = std::pair<QString, QString>;
    EXPECT_EQ(hint("http://localhost:8080").first, "Is the local API server running?");
    EXPECT_EQ(hint("https://api.example.com"), Hint("Could not reach the online API.", "Online API'ye ulaşılamadı."));
    EXPECT_EQ(hint(" ").first, "Check the configured API URL.");
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
        for (int reply = 0; reply < 2; ++reply)
            fakes.account->held.releaseOldest(), settle();
        EXPECT_EQ(message(), kConnected) << lateFailure;
        fakes.account->held.setHolding(false);
    }
}

// Sign In pressed again while a sign-in waits, its start out or its code polled for, asks for no other
// login: it opens the same page again, and approving that page signs in. Once the polling gave up, a
// press starts a new sign-in.
TEST_F(AccountSignIn, PressesWhileASignInWaitsStartNoOtherAndTheOpenedPageSignsIn) {
    const auto logins = [&] { return fakes.account->calls.count("startDeviceLogin"); };
    fakes.account->storedSession = false;
    make();
    fakes.account->held.setHolding(true);
    for (int press = 0; press < 3; ++press)
        account().startBackendSignIn();
    settle();
    fakes.account->held.setHolding(false);
    fakes.account->held.releaseAll();
    settle();
    EXPECT_EQ(logins(), 1);
    const QUrl page = FakeBackendAuthSessionManager::sampleChallenge().verificationURL;
    for (int press = 0; press < 2; ++press) {
        account().startBackendSignIn();
        settle();
        tick();
    }
    EXPECT_EQ(logins(), 1);
    EXPECT_EQ(fakes.navigator->opened, QList<SystemDestination>(3, SystemDestination::address(page)));
    EXPECT_EQ(polls(), 2) << "the presses left the polling as it was";
    fakes.account->pollAnswer.push(answer("approved", "device-3"));
    tick();
    EXPECT_EQ(message(), kConnected);
    EXPECT_TRUE(viewModel->permissions()->onboardingStatus().hasAPIKey);

    // A failed poll ends the polling: the code may be dead, and Sign In asks for a new one.
    signIn();
    fakes.account->pollAnswer.pushFailure(QuorvelleError(QuorvelleErrorCase::requestTimedOut));
    tick();
    EXPECT_TRUE(account().backendAuthChallenge().has_value());
    account().startBackendSignIn();
    settle();
    EXPECT_EQ(logins(), 3);
}

// The user's own requests (the start, a check, the sign-out) show as running while they run; the
// automatic polls between them run unseen, so that a waiting sign-in keeps its controls still.
TEST_F(AccountSignIn, OnlyTheUsersOwnRequestsShowAsRunning) {
    fakes.account->storedSession = false;
    make();
    fakes.account->held.setHolding(true);
    // Each of the user's requests, held open, then answered; then an automatic poll.
    const std::pair<const char*, std::function<void()>> requests[] = {
        {"start", [&] { account().startBackendSignIn(); }},
        {"check", [&] { account().checkSignInApproval(); }},
        {"automatic poll", [&] { fakes.pollSleeper.finishOldest(); }},
        {"sign-out", [&] { account().signOutBackendAccount(); }},
    };
    for (const auto& [name, request] : requests) {
        SCOPED_TRACE(name);
        request();
        settle();
        EXPECT_TRUE(account().isBackendAuthPolling());
        EXPECT_EQ(account().isBackendAuthActionRunning(), std::string(name) != "automatic poll");
        fakes.account->held.releaseAll();
        settle();
        EXPECT_FALSE(account().isBackendAuthPolling() || account().isBackendAuthActionRunning());
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

// With the keyring absent or locked no session shows; the account screens then say why rather
// than only asking to sign in, and once the keyring answers they ask to sign in again.
TEST_F(AccountActions, AnUnreadableKeyringIsNamedWhereTheStartAsksToSignIn) {
    fakes.account->storedSession = false;
    fakes.account->keyringUnavailable = true;
    make();
    EXPECT_EQ(viewModel->accountCopy().accountRequiredTitle(), "Sign in required");
    EXPECT_EQ(viewModel->accountCopy().accountRequiredMessage(),
              "Your account cannot be read: the keyring is unavailable. Unlock it, or start its service, and try "
              "again.");
    fakes.account->keyringUnavailable = false;
    viewModel->reloadSettings();
    EXPECT_TRUE(viewModel->accountCopy().accountRequiredMessage().startsWith("Connect this computer"));
}

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

TEST_F(AccountActions, TheUpdateCheckSaysWhatItFoundAndOpensTheDownloadPageOnlyForANewerVersion) {
    const QUrl page("https://example.test/download"), file("https://example.test/Quorvelle-2.1.tar.gz");
    fakes.updateChecker->answer.push({SoftwareUpdateCheckResult::Status::upToDate, "2.0", "20", file, page});
    fakes.updateChecker->answer.pushFailure(std::runtime_error("offline"));
    fakes.updateChecker->answer.push({SoftwareUpdateCheckResult::Status::updateAvailable, "2.1", "21", file, page});
    make("english");
    fakes.updateChecker->held.setHolding(true);
    const auto check = [&] {
        account().checkForUpdates();
        const QString first = message();
        fakes.updateChecker->held.releaseAll();
        settle();
        return first + " > " + message();
    };
    EXPECT_EQ(check(), "Checking for updates... > Quorvelle is up to date.");
    EXPECT_EQ(check(),
              "Checking for updates... > Could not check for updates. Open the download page to check manually.");
    EXPECT_TRUE(fakes.navigator->opened.isEmpty());
    EXPECT_EQ(check(), "Checking for updates... > Quorvelle 2.1 is available. Opening the download page...");
    EXPECT_EQ(fakes.navigator->opened, QList{SystemDestination::address(page)});
    fakes.updateChecker->enabled = false;
    EXPECT_EQ(check(), "Update check is not available right now. > Update check is not available right now.");
    EXPECT_FALSE(account().canCheckForUpdates());
    EXPECT_EQ(fakes.updateChecker->callCount, 3);
    account().openReleaseNotesWebPage();
    const QUrl notes = fakes.navigator->opened.last().url;
    EXPECT_TRUE(notes.isValid() && notes.host() == AppConfiguration::current().publicWebURL().host());
    EXPECT_TRUE(notes.path().endsWith("/release-notes")) << notes.toString().toStdString();
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
