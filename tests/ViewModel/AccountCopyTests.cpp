#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

TEST(AccountCopy, TextsOverEveryCombination) {
    const auto texts = [](const char* language, bool manager, bool session, bool local) {
        const AccountCopy copy{AppStrings(language),
                               session,
                               local ? TranscriptionBackend::local : TranscriptionBackend::cloud,
                               manager,
                               std::nullopt,
                               std::nullopt};
        return QStringList{copy.accountStatusLabel(), copy.accountSectionTitle(), copy.connectionSummary()}.join('|');
    };
    // Manager present, session stored, local mode: status, section title, summary.
    const std::tuple<bool, bool, bool, const char*> rows[] = {
        {false, false, true, "Not required|Local mode|Account not required"},
        {false, true, true, "Not required|Local mode|Account not required"},
        {false, false, false, "Missing|Quorvelle account|Connect this computer"},
        {false, true, false, "Saved|Quorvelle account|Connected"},
        {true, false, true, "Missing|Sign in required|Connect this computer"},
        {true, false, false, "Missing|Sign in required|Connect this computer"},
        {true, true, true, "Connected|Quorvelle account|Connected"},
        {true, true, false, "Connected|Quorvelle account|Connected"},
    };
    for (const auto& [manager, session, local, expected] : rows)
        EXPECT_EQ(texts("en", manager, session, local), QLatin1String(expected)) << manager << session << local;
    EXPECT_EQ(texts("tr", true, false, false), "Eksik|Giriş gerekli|Bu bilgisayarı bağlayın");
    EXPECT_EQ(texts("tr", false, true, false), "Kayıtlı|Quorvelle hesabı|Bağlı");
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

}  // namespace
}  // namespace quorvelle::test
