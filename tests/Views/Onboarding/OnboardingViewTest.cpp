// The setup screen on the view model over fake services: every card in its states, in both
// languages, and each button reaching the right operation with the right argument.
#include "FakeBootstrap.h"
#include "Services/Storage/SettingsKeys.h"
#include "TestEventLoop.h"
#include "ViewHarness.h"
#include "ViewModel/AppViewModel.h"
#include "Views/MenuBar/PopoverViewModelAdapter.h"

#include <gtest/gtest.h>

#include <QQmlContext>

#include <stdexcept>

namespace quorvelle::test {
namespace {

using Texts = std::vector<std::pair<const char*, const char*>>;

class OnboardingViewTest : public ::testing::Test {
protected:
    void load() {
        viewModel = std::make_unique<AppViewModel>(fakes.bootstrap(), fakes.environment());
        harness.engine().rootContext()->setContextProperty(QStringLiteral("vm"), viewModel.get());
        // On the popover's window colour, tall enough to show every card without scrolling.
        ASSERT_TRUE(harness.load(QStringLiteral("Rectangle { color: MenuStyle.window; width: 360; height: 1300\n"
                                                "OnboardingView { anchors.fill: parent; viewModel: vm } }"),
                                 {360, 1300}));
    }
    QQuickItem* item(const QString& name) {
        QQuickItem* found = harness.find(name);
        EXPECT_TRUE(found) << "no item " << name.toStdString();
        return found;
    }
    bool shows(const QString& name) {
        QQuickItem* found = harness.find(name);
        return found && found->isVisible();
    }
    QString text(const QString& name) { return item(name)->property("text").toString(); }
    QString badge(const QString& card) { return item(card + "-badge")->property("label").toString(); }
    // The badge's fill leans green when ready and orange when not.
    bool badgeLooksReady(const QString& card) {
        QQuickItem* badge = item(card + "-badge");
        const QColor fill = harness.colorAt(badge, {5, badge->height() / 2});
        return fill.green() > fill.red();
    }
    void click(const QString& name) { harness.click(item(name)); }
    void expectTexts(const Texts& expected) {
        for (const auto& [name, value] : expected)
            EXPECT_EQ(text(QString::fromLatin1(name)), QString::fromUtf8(value)) << name;
    }
    // Stored, so that the reloads that follow actions keep it.
    void turkish() {
        fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedAppLanguage),
                                      QStringLiteral("turkish"));
        viewModel->reloadSettings();
    }
    QString message() { return viewModel->inlineMessageText(); }

    FakeBootstrap fakes;
    std::unique_ptr<AppViewModel> viewModel;
    std::unique_ptr<PopoverViewModelAdapter> adapter;
    ViewHarness harness;
};

TEST_F(OnboardingViewTest, CloudSetupWithEverythingMissingInBothLanguages) {
    fakes.microphonePermission->status = PermissionState::notDetermined;
    fakes.accessibilityPermission->trusted = false;
    load();
    // Item, English, Turkish; the badges by their label.
    const std::vector<std::tuple<QString, const char*, const char*>> texts = {
        {"setup-title", "Quorvelle setup", "Quorvelle kurulumu"},
        {"setup-mode-local", "Local", "Yerel"},
        {"setup-mode-badge", "Cloud", "Bulut"},
        {"setup-microphone-title", "Microphone permission", "Mikrofon izni"},
        {"setup-microphone-badge", "Pending", "Bekliyor"},
        {"setup-microphone-request", "Request permission", "İzin iste"},
        {"setup-microphone-settings", "Desktop settings", "Masaüstü ayarları"},
        {"setup-accessibility-open", "Open", "Yönlendir"},
        {"setup-account-title", "Quorvelle account", "Quorvelle hesabı"},
        {"setup-account-badge", "Missing", "Eksik"},
        {"setup-account-sign-in", "Start sign in", "Giriş başlat"},
        {"setup-cloud-disclosure-title", "Cloud disclosure", "Bulut bilgilendirmesi"},
        {"setup-privacy-badge", "Missing", "Eksik"},
        {"setup-privacy-accept", "Accept", "Onayla"},
    };
    for (const bool tr : {false, true}) {
        if (tr) turkish();
        for (const auto& [name, english, turkish] : texts) {
            const char* property = name.endsWith("-badge") ? "label" : "text";
            EXPECT_EQ(item(name)->property(property).toString(), QString::fromUtf8(tr ? turkish : english))
                << name.toStdString();
        }
        EXPECT_EQ(badge("setup-accessibility"), viewModel->strings().permissionStateLabel(PermissionState::denied));
        harness.shoot(tr ? "setup-cloud-missing-tr" : "setup-cloud-missing-en");
    }
    // Cloud is ready without an account; nothing else is.
    EXPECT_TRUE(badgeLooksReady("setup-mode"));
    for (const char* card : {"setup-microphone", "setup-accessibility", "setup-account", "setup-privacy"})
        EXPECT_FALSE(badgeLooksReady(card)) << card;
    // The disclosure texts are the same in both languages.
    EXPECT_EQ(text("setup-privacy-description"),
              "Ses icerigi kalici olarak tutulmaz, hesap tokenlari keyring icinde saklanir.");
    for (const char* absent :
         {"setup-message", "setup-local", "setup-account-code", "setup-account-url", "setup-account-open",
          "setup-account-check", "setup-account-sign-out", "setup-account-polling"})
        EXPECT_FALSE(shows(absent)) << absent;
}

TEST_F(OnboardingViewTest, PermissionButtonsAskTheSystemOpenTheDesktopSettingsAndCheckAgain) {
    fakes.microphonePermission->status = PermissionState::denied;
    fakes.accessibilityPermission->trusted = false;
    load();
    click("setup-microphone-request");
    ASSERT_TRUE(waitUntil([&] { return fakes.microphonePermission->calls.contains("requestAccess"); }));
    click("setup-accessibility-open");
    EXPECT_TRUE(fakes.accessibilityPermission->calls.contains("promptForTrust"));
    click("setup-microphone-settings");
    click("setup-accessibility-settings");
    EXPECT_EQ(fakes.navigator->opened, (QList<SystemDestination>{SystemDestination::microphoneSettings(),
                                                                 SystemDestination::accessibilitySettings()}));

    // Granted in the desktop's settings: checking again turns both badges green.
    fakes.microphonePermission->status = PermissionState::authorized;
    fakes.accessibilityPermission->trusted = true;
    click("setup-microphone-check");
    EXPECT_EQ(badge("setup-microphone"), "Ready");
    EXPECT_EQ(badge("setup-accessibility"), "Ready");
}

TEST_F(OnboardingViewTest, AccountCardFollowsTheSignIn) {
    load();
    fakes.account->held.setHolding(true);
    click("setup-account-sign-in");
    EXPECT_TRUE(shows("setup-account-polling"));
    EXPECT_EQ(text("setup-account-polling"), "Checking account status...");
    fakes.account->held.setHolding(false);
    fakes.account->held.releaseAll();
    ASSERT_TRUE(waitUntil([&] { return shows("setup-account-code"); }));
    EXPECT_FALSE(shows("setup-account-polling"));
    expectTexts({{"setup-account-code", "Code: ABCD-EFGH"},
                 {"setup-account-url", "https://example.test/device"},
                 {"setup-account-open", "Open sign-in page"},
                 {"setup-account-check", "Check"}});
    EXPECT_FALSE(shows("setup-account-sign-out"));
    harness.shoot("setup-account-code-en");

    const qsizetype openedBefore = fakes.navigator->opened.size();
    click("setup-account-open");
    ASSERT_EQ(fakes.navigator->opened.size(), openedBefore + 1);
    EXPECT_EQ(fakes.navigator->opened.last(),
              SystemDestination::address(QUrl(QStringLiteral("https://example.test/device"))));
    fakes.account->pollAnswer.push(
        BackendDeviceLoginPollResult{QStringLiteral("approved"), true, QStringLiteral("device-1")});
    click("setup-account-check");
    ASSERT_TRUE(waitUntil([&] { return shows("setup-account-sign-out"); }));

    turkish();
    EXPECT_EQ(badge("setup-account"), "Bağlı");
    expectTexts({{"setup-account-sign-in", "Yeniden bağla"}, {"setup-account-sign-out", "Çıkış"}});
    EXPECT_FALSE(shows("setup-account-code"));
    harness.shoot("setup-account-connected-tr");
    click("setup-account-sign-out");
    ASSERT_TRUE(waitUntil([&] { return !shows("setup-account-sign-out"); }));
    EXPECT_TRUE(fakes.account->calls.contains("signOut"));
    EXPECT_EQ(badge("setup-account"), "Eksik");
}

TEST_F(OnboardingViewTest, LocalModelRowsInEveryStateAndTheirActions) {
    fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedTranscriptionBackend), "local");
    fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedLocalModelID), "tinyMultilingual");
    fakes.localModels->install(LocalTranscriptionModelID::tinyMultilingual);
    load();
    for (const char* absent : {"setup-account", "setup-cloud-disclosure", "setup-privacy"})
        EXPECT_FALSE(shows(absent)) << absent;
    EXPECT_EQ(badge("setup-mode"), "Local");
    EXPECT_EQ(badge("setup-local"), "Ready");
    EXPECT_TRUE(badgeLooksReady("setup-local"));
    EXPECT_EQ(text("setup-local-runtime"),
              "Runtime: " + viewModel->localModels()->localModelCopy().runtimeStatusLabel());

    // A failed download, then one that runs.
    fakes.localModels->downloadOutcome.pushFailure(std::runtime_error("connection reset"));
    click("setup-model-baseMultilingual-primary");
    ASSERT_TRUE(waitUntil([&] { return text("setup-model-baseMultilingual-state") == "Retry needed"; }));
    fakes.localModels->held.setHolding(true);
    click("setup-model-smallMultilingual-primary");
    ASSERT_TRUE(waitUntil([&] { return fakes.localModels->held.waitingCount() == 1; }));

    const std::vector<std::tuple<const char*, const char*, const char*, bool>> rows = {
        {"tinyMultilingual", "Installed", "Selected", true},
        {"baseMultilingual", "Retry needed", "Retry", false},
        {"smallMultilingual", "Downloading", "Cancel", false},
        {"mediumMultilingual", "Download required", "Download", false},
    };
    for (const auto& [id, state, primary, deletable] : rows) {
        const QString row = QStringLiteral("setup-model-") + id;
        EXPECT_EQ(text(row + "-state"), state) << id;
        EXPECT_EQ(text(row + "-primary"), primary) << id;
        EXPECT_EQ(shows(row + "-delete"), deletable) << id;
    }
    EXPECT_FALSE(shows("setup-model-smallMultilingual-warning"));
    EXPECT_EQ(text("setup-model-largeV3-warning"), "Yaklasik 2.9 GiB disk ister. Daha guclu cihazlarda daha rahattir.");
    harness.shoot("setup-local-models-en");

    // A second download is refused: the row stays as it was and the screen says why.
    click("setup-model-mediumMultilingual-primary");
    EXPECT_EQ(text("setup-model-mediumMultilingual-state"), "Download required");
    EXPECT_TRUE(shows("setup-message"));
    EXPECT_TRUE(message().contains("Finish or cancel it"));
    EXPECT_EQ(fakes.localModels->calls.count("download(mediumMultilingual)"), 0);

    click("setup-model-smallMultilingual-primary");
    EXPECT_EQ(text("setup-model-smallMultilingual-state"), "Download required");
    EXPECT_TRUE(message().endsWith("download cancelled."));

    turkish();
    expectTexts({{"setup-local-title", "Yerel model"},
                 {"setup-model-tinyMultilingual-state", "Kuruldu"},
                 {"setup-model-tinyMultilingual-primary", "Selected"},
                 {"setup-model-tinyMultilingual-delete", "Sil"},
                 {"setup-model-baseMultilingual-state", "Tekrar deneme gerekli"},
                 {"setup-model-baseMultilingual-primary", "Retry"}});
    EXPECT_EQ(badge("setup-local"), "Hazır");
    harness.shoot("setup-local-models-tr");
    click("setup-model-tinyMultilingual-primary");
    EXPECT_EQ(message(), "Local model zaten seçili.");
    click("setup-model-tinyMultilingual-delete");
    EXPECT_TRUE(fakes.localModels->calls.contains("deleteModel(tinyMultilingual)"));
    EXPECT_EQ(badge("setup-local"), "Eksik");
    EXPECT_FALSE(badgeLooksReady("setup-mode"));
}

TEST_F(OnboardingViewTest, ModeButtonsAndDisclosures) {
    load();
    // Local mode is not ready: its button opens the setup instead of selecting it.
    click("setup-mode-local");
    EXPECT_EQ(viewModel->localModels()->selectedTranscriptionBackend(), TranscriptionBackend::local);
    EXPECT_EQ(message(), "Local mode setup opened. Download a model to continue.");
    EXPECT_TRUE(shows("setup-local"));
    EXPECT_FALSE(shows("setup-privacy"));
    EXPECT_FALSE(badgeLooksReady("setup-mode"));
    click("setup-mode-cloud");
    EXPECT_EQ(viewModel->localModels()->selectedTranscriptionBackend(), TranscriptionBackend::cloud);
    // Pressed again: refused as already active; nothing moves.
    click("setup-mode-cloud");
    EXPECT_EQ(message(), "Transcription mode is already active.");
    EXPECT_TRUE(shows("setup-account"));

    click("setup-cloud-disclosure-view");
    EXPECT_TRUE(viewModel->permissions()->showingGroqDisclosureSheet());
    click("setup-privacy-view");
    EXPECT_TRUE(viewModel->permissions()->showingPrivacyDisclosureSheet());
    click("setup-cloud-disclosure-accept");
    click("setup-privacy-accept");
    EXPECT_TRUE(viewModel->permissions()->onboardingStatus().hasAcceptedGroqDisclosure);
    EXPECT_TRUE(viewModel->permissions()->onboardingStatus().hasAcceptedPrivacyDisclosure);
    for (const char* card : {"setup-cloud-disclosure", "setup-privacy"}) {
        EXPECT_EQ(badge(card), "Ready");
        EXPECT_TRUE(shows(QString::fromLatin1(card) + "-view"));
        EXPECT_TRUE(shows(QString::fromLatin1(card) + "-accept"));
    }
    harness.shoot("setup-disclosures-accepted-en");
}

TEST_F(OnboardingViewTest, ThePopoverShowsTheScreenOnTheViewModelAndItsSheets) {
    fakes.makeReadyForCloudDictation();
    fakes.accessibilityPermission->trusted = false;
    viewModel = std::make_unique<AppViewModel>(fakes.bootstrap(), fakes.environment());
    adapter = std::make_unique<PopoverViewModelAdapter>(*viewModel);
    QObject shell;  // the setup screen calls nothing of the shell
    harness.engine().rootContext()->setContextProperty(QStringLiteral("vm"), adapter.get());
    harness.engine().rootContext()->setContextProperty(QStringLiteral("shell"), &shell);
    ASSERT_TRUE(harness.load(QStringLiteral("ContentView { viewModel: vm; appShell: shell; width: 360 }"), {360, 560}));
    ASSERT_TRUE(shows("setup-title"));
    harness.shoot("setup-in-popover-en");
    viewModel->permissions()->setShowingPrivacyDisclosureSheet(true);
    auto* sheet = harness.root()->findChild<QQuickWindow*>("privacy-disclosure-sheet");
    ASSERT_TRUE(sheet && sheet->isVisible());
}

}  // namespace
}  // namespace quorvelle::test
