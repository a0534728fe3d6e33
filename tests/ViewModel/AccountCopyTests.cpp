#include "App/AppConfiguration.h"
#include "ViewModelPartsFixture.h"

namespace quorvelle::test {
namespace {

TEST(AccountCopy, TextsOverEveryCombination) {
    // M: a session manager exists; S: a session is stored; L: local mode. English, then Turkish.
    struct Row {
        bool m, s, l;
        QStringList english, turkish;  // status, section title, summary
    } rows[] = {
        {false,
         false,
         true,
         {"Not required", "Local mode", "Account not required"},
         {"Gerekli değil", "Yerel mod", "Hesap gerekli değil"}},
        {false,
         true,
         true,
         {"Not required", "Local mode", "Account not required"},
         {"Gerekli değil", "Yerel mod", "Hesap gerekli değil"}},
        {false,
         false,
         false,
         {"Missing", "Quorvelle account", "Connect this computer"},
         {"Eksik", "Quorvelle hesabı", "Bu bilgisayarı bağlayın"}},
        {false, true, false, {"Saved", "Quorvelle account", "Connected"}, {"Kayıtlı", "Quorvelle hesabı", "Bağlı"}},
        {true,
         false,
         true,
         {"Missing", "Sign in required", "Connect this computer"},
         {"Eksik", "Giriş gerekli", "Bu bilgisayarı bağlayın"}},
        {true, true, true, {"Connected", "Quorvelle account", "Connected"}, {"Bağlı", "Quorvelle hesabı", "Bağlı"}},
        {true,
         false,
         false,
         {"Missing", "Sign in required", "Connect this computer"},
         {"Eksik", "Giriş gerekli", "Bu bilgisayarı bağlayın"}},
        {true, true, false, {"Connected", "Quorvelle account", "Connected"}, {"Bağlı", "Quorvelle hesabı", "Bağlı"}},
    };
    for (const Row& row : rows) {
        for (const char* language : {"en", "tr"}) {
            AccountCopy copy;
            copy.appStrings = AppStrings(language);
            copy.hasBackendAuthSessionManager = row.m;
            copy.hasStoredSession = row.s;
            copy.selectedTranscriptionBackend = row.l ? TranscriptionBackend::local : TranscriptionBackend::cloud;
            const QStringList texts{copy.accountStatusLabel(), copy.accountSectionTitle(), copy.connectionSummary()};
            EXPECT_EQ(texts, QString(language) == "tr" ? row.turkish : row.english)
                << row.m << row.s << row.l << language;
        }
    }
}

class AccountActions : public ViewModelPartsFixture {};

TEST_F(AccountActions, SignOutClearsTheAccountUnlessTheStoreRefuses) {
    fakes.account->deviceID = QStringLiteral("device-1");  // a device id without a token: signed out
    fakes.account->signOutOutcome.pushFailure(std::runtime_error("keyring refused"));
    make();
    account().startBackendSignIn();
    settle();
    account().signOutBackendAccount();
    settle();
    EXPECT_EQ(message(), QStringLiteral("Quorvelle account sign-out failed."));
    EXPECT_EQ(fakes.pollSleeper.waitingCount(), 0) << "sign-out stops the polling first";
    EXPECT_TRUE(account().backendAuthChallenge().has_value());
    EXPECT_FALSE(viewModel->permissions()->onboardingStatus().hasAPIKey);
    EXPECT_EQ(viewModel->accountCopy().registeredDeviceLabel(), QStringLiteral("device-1"));

    account().signOutBackendAccount();
    settle();
    EXPECT_EQ(message(), QStringLiteral("Signed out of Quorvelle account."));
    EXPECT_EQ(fakes.diagnostics->codes().mid(0, 2),
              QStringList({"settings.backend_auth.logout", "settings.backend_auth.logout_failed"}));
    EXPECT_FALSE(account().backendAuthChallenge().has_value());
    EXPECT_EQ(viewModel->accountCopy().registeredDeviceLabel(), QStringLiteral("No registered device"));
}

TEST_F(AccountActions, UpdateCheckOutcomes) {
    SoftwareUpdateCheckResult available{SoftwareUpdateCheckResult::Status::updateAvailable, "2.1.0", "210",
                                        std::nullopt, QUrl("https://web.example.test/download")};
    struct Row {
        bool enabled;
        std::optional<SoftwareUpdateCheckResult> result;  // none: the check fails
        QString message;
        int pagesOpened;
    } rows[] = {
        {false, SoftwareUpdateCheckResult{}, "Update check is not available right now.", 0},
        {true, SoftwareUpdateCheckResult{}, "Quorvelle is up to date.", 0},
        {true, available, "Quorvelle 2.1.0 is available. Opening the download page...", 1},
        {true, std::nullopt, "Could not check for updates. Open the download page to check manually.", 0},
    };
    for (const Row& row : rows) {
        fakes.updateChecker->enabled = row.enabled;
        if (row.result)
            fakes.updateChecker->answer.push(*row.result);
        else
            fakes.updateChecker->answer.pushFailure(std::runtime_error("offline"));
        fakes.navigator->opened.clear();
        make();
        account().checkForUpdates();
        settle();
        EXPECT_EQ(message(), row.message);
        EXPECT_EQ(fakes.navigator->opened.size(), row.pagesOpened) << row.message.toStdString();
        fakes.updateChecker->answer.clear();
    }
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
    useTurkish();
    fetcher->held.setHolding(false);
    account().reloadReleaseNotes();
    settle();
    fetcher->held.releaseAll();
    settle();
    EXPECT_EQ(account().releaseNotesState(),
              ReleaseNotesLoadState::loaded({ReleaseNoteEntry{"tr", {}, {}, {}, {}, {}, {}}}));
}

TEST_F(AccountActions, ReleaseNotesPageUnderTheConfiguredOrBuiltInAddress) {
    make();
    for (const auto& [configured, expected] :
         {std::pair<QString, QString>{"https://web.example.test/base/", "https://web.example.test/base/release-notes"},
          {"not an address", AppConfiguration::productionPublicWebURL() + "/release-notes"}}) {
        qputenv(AppConfiguration::publicWebURLKey, configured.toUtf8());
        account().openReleaseNotesWebPage();
        EXPECT_EQ(fakes.navigator->opened.last().url, QUrl(expected));
    }
    qunsetenv(AppConfiguration::publicWebURLKey);
}

}  // namespace
}  // namespace quorvelle::test
