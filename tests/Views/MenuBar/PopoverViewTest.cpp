// The tray popover on the view model the host hands it.
#include "../Dashboard/ViewModelScene.h"
#include "TestEventLoop.h"

namespace quorvelle::test {
namespace {

class PopoverTest : public ViewModelScene {
protected:
    void load(bool ready = true) {
        if (ready) fakes.makeReadyForCloudDictation();
        // The shell bridge the popover's buttons call.
        ASSERT_TRUE(ViewModelScene::load(R"qml(ContentView {
            viewModel: vm; width: 360
            appShell: QtObject {
                property var calls: []
                function quit() { calls = calls.concat(["quit()"]) }
                function openDashboard() { calls = calls.concat(["openDashboard()"]) }
            }
        })qml",
                                         {360, 760}));
    }
    QStringList shellCalls() {
        return harness.root()->property("appShell").value<QObject*>()->property("calls").toStringList();
    }
    QString panel() { return harness.root()->property("panel").toString(); }
    // The user comes back to the popover.
    void reopen() {
        harness.window().hide();
        harness.window().show();
    }
    bool checked(const char* name) { return item(name)->property("checked").toBool(); }
    void click(const char* name) { harness.click(item(name)); }
    void turkish() { viewModel->preferences()->setAppLanguage(QStringLiteral("turkish")); }
    void openSettings() {
        click("ready-tab-settings");
        ASSERT_TRUE(shows("settings-recorder"));
    }
};

TEST_F(PopoverTest, FromAccountToSetupToReadyAsTheStateIsReloadedThenTheStatusTab) {
    fakes.accessibilityPermission->trusted = false;
    load(false);
    EXPECT_TRUE(panel() == "account" && shows("account-title"));
    fakes.makeReadyForCloudDictation();
    reopen();
    EXPECT_TRUE(panel() == "onboarding" && shows("setup-title"));
    EXPECT_FALSE(shows("account-title") || shows("ready-title"));
    harness.shoot("setup-in-popover-en");

    // Granted in the desktop's settings; coming back to the popover is enough.
    fakes.accessibilityPermission->trusted = true;
    reopen();
    EXPECT_TRUE(panel() == "ready" && shows("ready-title"));
    // A ready state made anew starts on the Status tab, which has rows and no recorder.
    openSettings();
    fakes.accessibilityPermission->trusted = false;
    reopen();
    fakes.accessibilityPermission->trusted = true;
    reopen();
    EXPECT_FALSE(shows("settings-recorder"));
    const QStringList shown = textsIn(item("ready-panel"));
    EXPECT_TRUE(shown.contains("Transcription") && shown.contains("Cloud"));

    // The recording preview shows while recording, and only then.
    EXPECT_FALSE(shows("overview-recording-preview"));
    fakes.sessionCoordinator->beginRecording();
    settle();
    EXPECT_TRUE(shows("overview-recording-preview"));
    EXPECT_EQ(text("overlay-title"), "Recording");
    fakes.sessionCoordinator->beginUploading();
    settle();
    EXPECT_FALSE(shows("overview-recording-preview"));
}

TEST_F(PopoverTest, ABuildWithoutAccountSignInNeverShowsTheAccountPanel) {
    bootstrap.backendAuthSessionManager = nullptr;
    load(false);
    EXPECT_NE(panel(), "account");
}

TEST_F(PopoverTest, ReadyStateInBothLanguagesWithItsFooterAndSheetsThatBelongToThePopover) {
    load();
    // Closing a disclosure sheet lowers its flag.
    auto* sheet = harness.root()->findChild<QQuickWindow*>("privacy-disclosure-sheet");
    ASSERT_TRUE(sheet && harness.root()->findChild<QQuickWindow*>("cloud-disclosure-sheet"));
    EXPECT_EQ(sheet->transientParent(), &harness.window());
    viewModel->permissions()->setShowingPrivacyDisclosureSheet(true);
    ASSERT_TRUE(sheet->isVisible());
    sheet->grabWindow().save(ViewHarness::screenshotDir() + "/popover-privacy-sheet-en.png");
    sheet->close();
    EXPECT_FALSE(viewModel->permissions()->showingPrivacyDisclosureSheet() || sheet->isVisible());

    EXPECT_FALSE(shows("inline-message"));
    harness.shoot("popover-ready-en");
    turkish();
    fakes.updateChecker->held.setHolding(true);
    click("ready-check-updates");
    EXPECT_EQ(text("ready-title"), "Quorvelle hazır");
    EXPECT_EQ(text("inline-message"), "Güncellemeler kontrol ediliyor...");
    harness.shoot("popover-ready-tr-message");
    fakes.updateChecker->held.releaseAll();
    settle();
    EXPECT_EQ(fakes.updateChecker->callCount, 1);
    fakes.updateChecker->enabled = false;
    click("ready-check-updates");
    EXPECT_FALSE(item("ready-check-updates")->isEnabled());

    click("ready-open-dashboard");
    click("ready-quit");
    EXPECT_EQ(shellCalls(), (QStringList{"openDashboard()", "quit()"}));
}

TEST_F(PopoverTest, AccountPanelFollowsTheSignIn) {
    load(false);
    ASSERT_EQ(panel(), "account");
    // Before any sign-in: no code, no Open or Check.
    EXPECT_FALSE(shows("account-approval") || shows("account-open") || shows("account-check"));
    click("account-sign-in");
    ASSERT_TRUE(waitUntil([&] { return shows("account-approval"); }));

    // While a check runs, Sign In and Check wait and the rest stays usable.
    turkish();
    fakes.account->held.setHolding(true);
    click("account-check");
    EXPECT_EQ(text("account-approval-code"), FakeBackendAuthSessionManager::sampleChallenge().userCode);
    EXPECT_FALSE(item("account-sign-in")->isEnabled() || item("account-check")->isEnabled());
    harness.shoot("popover-account-tr-code");
    fakes.navigator->opened.clear();
    for (const char* button : {"account-open", "account-updates", "account-quit"})
        click(button);
    EXPECT_EQ(fakes.navigator->opened.size(), 1);
    EXPECT_EQ(fakes.updateChecker->callCount, 1);
    EXPECT_EQ(shellCalls(), QStringList{"quit()"});
    EXPECT_EQ(fakes.account->calls.filter("pollDeviceLogin").size(), 1);
}

TEST_F(PopoverTest, SettingsControlsReachThePreferencesAndFollowThemAfterwards) {
    fakes.audioDevices->devices = {{1, "usb", "USB Mic", false}};
    fakes.settingsStore->setSelectedMicrophonePreference(AudioInputDevicePreference{"gone", "Old Mic"});
    load();
    openSettings();
    turkish();
    harness.shoot("popover-settings-tr");
    PreferencesViewModel* preferences = viewModel->preferences();
    const bool fallback = preferences->isClipboardFallbackEnabled();
    for (const char* control : {"settings-suggestion-0", "settings-mode-toggle", "settings-auto-replace",
                                "settings-clipboard-fallback", "settings-mode-toggle"})
        click(control);
    EXPECT_EQ(preferences->selectedHotkey(), HotkeyShortcut::suggestions()[1]);
    EXPECT_EQ(text("settings-active-hotkey"), HotkeyShortcut::suggestions()[1].displayTitle);
    EXPECT_EQ(preferences->selectedRecordingTriggerMode(), RecordingTriggerMode::toggle);
    EXPECT_TRUE(preferences->isLastDictationAutoReplaceEnabled());
    EXPECT_EQ(preferences->isClipboardFallbackEnabled(), !fallback);
    EXPECT_TRUE(checked("settings-mode-toggle") && checked("settings-auto-replace"));
    // The bindings hold after the clicks: a change made elsewhere still shows.
    preferences->setLastDictationAutoReplaceEnabled(false);
    preferences->setRecordingTriggerMode(RecordingTriggerMode::pushToTalk);
    EXPECT_FALSE(checked("settings-auto-replace") || checked("settings-mode-toggle"));
    EXPECT_TRUE(checked("settings-mode-pushToTalk"));

    // A pick in the list moves the index, then `activated`; the picker hands over the uid picked.
    QQuickItem* picker = item("settings-microphone");
    for (const auto& [index, uid] : {std::pair(2, "usb"), std::pair(0, "none")}) {
        picker->setProperty("currentIndex", index);
        QMetaObject::invokeMethod(picker, "activated", Q_ARG(int, index));
        const auto chosen = preferences->selectedMicrophonePreference();
        EXPECT_EQ(chosen ? chosen->uid : "none", uid);
    }
    EXPECT_EQ(picker->property("currentIndex").toInt(), 0);
}

}  // namespace
}  // namespace quorvelle::test
