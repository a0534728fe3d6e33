// The setup screen: each card in its states, and each button reaching its operation.
#include "../Dashboard/ViewModelScene.h"
#include "Services/Backend/WebRequestError.h"
#include "TestEventLoop.h"

#include <stdexcept>

namespace quorvelle::test {
namespace {

class OnboardingViewTest : public ViewModelScene {
protected:
    void load() {
        // On the popover's window colour, tall enough to show every card without scrolling.
        ASSERT_TRUE(
            ViewModelScene::load(QStringLiteral("Rectangle { color: MenuStyle.window; width: 360; height: 1300\n"
                                                "OnboardingView { anchors.fill: parent; viewModel: vm } }"),
                                 {360, 1300}));
    }
    QString badge(const QString& card) { return item(card + "-badge")->property("label").toString(); }
    // The badge's fill leans green when ready and orange when not.
    bool badgeLooksReady(const QString& card) {
        QQuickItem* badge = item(card + "-badge");
        const QColor fill = harness.colorAt(badge, {5, badge->height() / 2});
        return fill.green() > fill.red();
    }
    void click(const QString& name) { harness.click(item(name)); }
    // Stored, so that the reloads that follow actions keep it.
    void turkish() {
        fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedAppLanguage),
                                      QStringLiteral("turkish"));
        viewModel->reloadSettings();
    }
};

TEST_F(OnboardingViewTest, CloudSetupWithEverythingMissingAndThePermissionButtons) {
    fakes.microphonePermission->status = PermissionState::notDetermined;
    fakes.accessibilityPermission->trusted = false;
    load();
    EXPECT_EQ(badge("setup-microphone"), "Pending");
    harness.shoot("setup-cloud-missing-en");
    turkish();
    EXPECT_EQ(text("setup-microphone-settings"), "Masaüstü ayarları");
    // An accessibility trust not granted reads as denied.
    EXPECT_EQ(badge("setup-accessibility"), viewModel->strings().permissionStateLabel(PermissionState::denied));
    harness.shoot("setup-cloud-missing-tr");
    // Cloud is ready without an account; nothing else is.
    EXPECT_TRUE(badgeLooksReady("setup-mode"));
    for (const char* card : {"setup-microphone", "setup-accessibility", "setup-account", "setup-privacy"})
        EXPECT_FALSE(badgeLooksReady(card)) << card;
    for (const char* absent : {"setup-message", "setup-local", "setup-account-code", "setup-account-sign-out"})
        EXPECT_FALSE(shows(absent)) << absent;

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
    EXPECT_TRUE(badgeLooksReady("setup-microphone") && badgeLooksReady("setup-accessibility"));
}

TEST_F(OnboardingViewTest, AccountCardFollowsTheSignInThenModeButtonsAndDisclosures) {
    load();
    // The sign-in itself is walked on the account page; here each button reaches it and the card follows.
    click("setup-account-sign-in");
    ASSERT_TRUE(waitUntil([&] { return shows("setup-account-code"); }));
    EXPECT_TRUE(text("setup-account-code") == "Code: ABCD-EFGH" && !shows("setup-account-sign-out"));
    harness.shoot("setup-account-code-en");
    click("setup-account-open");
    EXPECT_EQ(fakes.navigator->opened.value(0).url, QUrl(text("setup-account-url")));
    fakes.account->pollAnswer.push({QStringLiteral("approved"), true, QStringLiteral("device-1")});
    click("setup-account-check");
    ASSERT_TRUE(waitUntil([&] { return shows("setup-account-sign-out"); }));
    turkish();
    EXPECT_TRUE(badge("setup-account") == "Bağlı" && !shows("setup-account-code"));
    harness.shoot("setup-account-connected-tr");
    click("setup-account-sign-out");
    ASSERT_TRUE(waitUntil([&] { return !shows("setup-account-sign-out"); }));
    EXPECT_TRUE(fakes.account->calls.contains("signOut"));

    // Local mode is not ready: its button opens the setup instead of selecting it.
    click("setup-mode-local");
    EXPECT_EQ(viewModel->localModels()->selectedTranscriptionBackend(), TranscriptionBackend::local);
    EXPECT_TRUE(shows("setup-local") && !shows("setup-privacy"));
    click("setup-mode-cloud");
    EXPECT_EQ(viewModel->localModels()->selectedTranscriptionBackend(), TranscriptionBackend::cloud);
    EXPECT_TRUE(shows("setup-account"));

    click("setup-cloud-disclosure-view");
    EXPECT_TRUE(viewModel->permissions()->showingGroqDisclosureSheet());
    click("setup-privacy-view");
    EXPECT_TRUE(viewModel->permissions()->showingPrivacyDisclosureSheet());
    click("setup-cloud-disclosure-accept");
    click("setup-privacy-accept");
    const OnboardingStatus status = viewModel->permissions()->onboardingStatus();
    EXPECT_TRUE(status.hasAcceptedGroqDisclosure && status.hasAcceptedPrivacyDisclosure);
    EXPECT_TRUE(badgeLooksReady("setup-cloud-disclosure") && badgeLooksReady("setup-privacy"));
    harness.shoot("setup-disclosures-accepted-tr");
}

TEST_F(OnboardingViewTest, LocalModelRowsInEveryStateAndTheirActions) {
    fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedTranscriptionBackend), "local");
    fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedLocalModelID), "tinyMultilingual");
    fakes.localModels->install(LocalTranscriptionModelID::tinyMultilingual);
    load();
    EXPECT_FALSE(shows("setup-account") || shows("setup-cloud-disclosure") || shows("setup-privacy"));
    EXPECT_TRUE(badgeLooksReady("setup-local"));

    fakes.localModels->downloadOutcome.pushFailure(std::runtime_error("connection reset"));
    click("setup-model-baseMultilingual-primary");
    ASSERT_TRUE(waitUntil([&] { return text("setup-model-baseMultilingual-state") == "Retry needed"; }));
    fakes.localModels->held.setHolding(true);
    click("setup-model-smallMultilingual-primary");
    ASSERT_TRUE(waitUntil([&] { return fakes.localModels->held.waitingCount() == 1; }));
    EXPECT_EQ(QStringList({text("setup-model-smallMultilingual-state"), text("setup-model-smallMultilingual-primary")}),
              (QStringList{"Downloading", "Cancel"}));
    for (const char* id : {"tinyMultilingual", "baseMultilingual", "smallMultilingual"})
        EXPECT_EQ(shows(QStringLiteral("setup-model-%1-delete").arg(id)), id == std::string("tinyMultilingual")) << id;
    harness.shoot("setup-local-models-en");

    // A second download is refused: the row stays as it was and the screen says why.
    click("setup-model-mediumMultilingual-primary");
    EXPECT_EQ(text("setup-model-mediumMultilingual-state"), "Download required");
    EXPECT_TRUE(shows("setup-message"));
    EXPECT_EQ(fakes.localModels->calls.count("download(mediumMultilingual)"), 0);
    click("setup-model-smallMultilingual-primary");
    EXPECT_EQ(text("setup-model-smallMultilingual-state"), "Download required");

    click("setup-model-tinyMultilingual-delete");
    EXPECT_TRUE(fakes.localModels->calls.contains("deleteModel(tinyMultilingual)"));
    EXPECT_FALSE(badgeLooksReady("setup-local") || badgeLooksReady("setup-mode"));
}

// In a popover too low for the whole screen: Return on the download of the last model, which fails.
// The row, its reason and its Retry stay in view with the keyboard focus on Retry, though the
// message that appears above pushes the list down; the message says it too.
TEST_F(OnboardingViewTest, AFailedDownloadKeepsItsRowItsReasonAndTheFocusedRetryInView) {
    fakes.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedTranscriptionBackend), "local");
    ASSERT_TRUE(ViewModelScene::load(QStringLiteral("Rectangle { color: MenuStyle.window; width: 360; height: 480\n"
                                                    "OnboardingView { anchors.fill: parent; viewModel: vm } }"),
                                     {360, 480}));
    QQuickItem* scroll = item("setup-scroll");
    QQuickItem* primary = item("setup-model-largeV3-primary");
    EXPECT_FALSE(shows("setup-message"));
    pressReturnOnFailingDownload(primary);
    ASSERT_TRUE(waitUntil([&] { return text("setup-model-largeV3-state") == "Retry needed"; }));
    settle();
    harness.grab();
    settle();
    const QString why = "the network or the model host is unreachable. Check your internet connection and try again.";
    EXPECT_EQ(harness.text("setup-model-largeV3-failure"), "Download could not be completed: " + why);
    EXPECT_TRUE(textsIn(item("setup-message")).join(' ').contains("Large v3 could not be downloaded. The network"));
    EXPECT_EQ(text("setup-model-largeV3-primary"), "Retry");
    EXPECT_TRUE(primary->hasActiveFocus());
    for (const char* name : {"setup-model-largeV3", "setup-model-largeV3-failure", "setup-model-largeV3-primary"})
        EXPECT_TRUE(inView(item(name), scroll));
    harness.shoot("setup-download-failed-480");
}

}  // namespace
}  // namespace quorvelle::test
