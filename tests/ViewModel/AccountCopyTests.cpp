#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

TEST(AccountCopy, TextsOverEveryCombination) {
    // Manager present, session stored, local mode: status, section title, summary; English, then Turkish.
    const QString notRequired =
        "Not required|Local mode|Account not required|Gerekli değil|Yerel mod|Hesap gerekli değil";
    const QString signInRequired =
        "Missing|Sign in required|Connect this computer|Eksik|Giriş gerekli|Bu bilgisayarı bağlayın";
    const QString connected = "Connected|Quorvelle account|Connected|Bağlı|Quorvelle hesabı|Bağlı";
    const std::tuple<bool, bool, bool, QString> rows[] = {
        {false, false, true, notRequired},
        {false, true, true, notRequired},
        {false, false, false,
         "Missing|Quorvelle account|Connect this computer|Eksik|Quorvelle hesabı|Bu bilgisayarı bağlayın"},
        {false, true, false, "Saved|Quorvelle account|Connected|Kayıtlı|Quorvelle hesabı|Bağlı"},
        {true, false, true, signInRequired},
        {true, false, false, signInRequired},
        {true, true, true, connected},
        {true, true, false, connected},
    };
    for (const auto& [manager, session, local, expected] : rows) {
        QStringList texts;
        for (const char* language : {"en", "tr"}) {
            const AccountCopy copy{AppStrings(language),
                                   session,
                                   local ? TranscriptionBackend::local : TranscriptionBackend::cloud,
                                   manager,
                                   std::nullopt,
                                   std::nullopt};
            texts << copy.accountStatusLabel() << copy.accountSectionTitle() << copy.connectionSummary();
        }
        EXPECT_EQ(texts.join('|'), expected) << manager << session << local;
    }
}

class AccountActions : public ViewModelTest {};

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
