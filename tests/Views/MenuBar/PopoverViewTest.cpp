// The tray popover on a fake view model: the panel choice, the account and ready panels, the
// status rows, the settings panel's controls and the disclosure sheets; then on the view model over
// fake services, through the adapter the host hands it.
#include "FakeBootstrap.h"
#include "FakePopoverViewModel.h"
#include "ViewHarness.h"
#include "ViewModel/AppViewModel.h"
#include "Views/MenuBar/PopoverViewModelAdapter.h"

#include <gtest/gtest.h>

#include <QQmlContext>
#include <QTest>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace quorvelle::test {
namespace {

QQuickItem* findInTree(QQuickItem* item, const QString& name) {
    if (item->objectName() == name) return item;
    for (QQuickItem* child : item->childItems()) {
        if (QQuickItem* found = findInTree(child, name)) return found;
    }
    return nullptr;
}

class PopoverTest : public ::testing::Test {
protected:
    void SetUp() override {
        harness.engine().rootContext()->setContextProperty(QStringLiteral("vm"), &vm);
        harness.engine().rootContext()->setContextProperty(QStringLiteral("shell"), &shell);
    }
    QQuickItem* load() {
        QQuickItem* root =
            harness.load(QStringLiteral("ContentView { viewModel: vm; appShell: shell; width: 360 }"), {360, 760});
        // Showing the popover reloads the settings; the tests look at what follows.
        vm.calls.clear();
        return root;
    }
    QString panel() { return harness.root()->property("panel").toString(); }
    QQuickItem* item(const char* name) {
        QQuickItem* found = harness.find(QString::fromLatin1(name));
        EXPECT_TRUE(found) << "no item " << name;
        return found;
    }
    bool shows(const char* name) {
        QQuickItem* found = harness.find(QString::fromLatin1(name));
        return found && found->isVisible();
    }
    QStringList texts(std::initializer_list<const char*> names) {
        QStringList result;
        for (const char* name : names)
            result << item(name)->property("text").toString();
        return result;
    }
    void click(const char* name) { harness.click(item(name)); }
    void setLanguage(const char* language) {
        vm.insert("strings", QVariant::fromValue(AppStrings(QString::fromLatin1(language))));
    }
    QStringList takeCalls() { return std::exchange(vm.calls, {}); }

    FakePopoverViewModel vm;
    FakeAppShell shell;
    ViewHarness harness;
};

TEST_F(PopoverTest, ThePanelFollowsTheAccountAndTheSetup) {
    const struct {
        bool hasSessionManager, hasAPIKey, isComplete;
        const char* panel;
    } cases[] = {
        // The account comes first, even when setup is incomplete.
        {true, false, false, "account"},
        {true, false, true, "account"},
        {true, true, false, "onboarding"},
        {true, true, true, "ready"},
        // A build without account sign-in never shows the account panel.
        {false, false, false, "onboarding"},
        {false, false, true, "ready"},
    };
    ASSERT_TRUE(load());
    for (const auto& c : cases) {
        vm.patch("accountCopy", "hasBackendAuthSessionManager", c.hasSessionManager);
        vm.insert("onboardingStatus", QVariantMap{{"hasAPIKey", c.hasAPIKey}, {"isComplete", c.isComplete}});
        EXPECT_EQ(panel(), c.panel);
        EXPECT_EQ(shows("account-title"), QString(c.panel) == "account");
        EXPECT_EQ(shows("ready-title"), QString(c.panel) == "ready");
        EXPECT_EQ(item("popover-onboarding")->property("active").toBool(), QString(c.panel) == "onboarding");
    }
    // A ready state made anew starts on the Status tab.
    click("ready-tab-settings");
    ASSERT_TRUE(shows("settings-recorder"));
    vm.patch("onboardingStatus", "isComplete", false);
    vm.patch("onboardingStatus", "isComplete", true);
    EXPECT_TRUE(shows("overview-row-0"));
}

TEST_F(PopoverTest, ReadyStateInBothLanguagesWithItsFooter) {
    ASSERT_TRUE(load());
    const auto names = {"ready-title",        "ready-subtitle",       "ready-hint",          "ready-tab-overview",
                        "ready-tab-settings", "ready-open-dashboard", "ready-check-updates", "ready-quit"};
    EXPECT_EQ(texts(names), (QStringList{"Quorvelle ready",
                                         "Initial setup is complete. The menu bar utility is ready in the background.",
                                         "Use Open Dashboard for the detailed desktop window.", "Status", "Settings",
                                         "Open Dashboard", "Check Updates", "Quit"}));
    EXPECT_FALSE(shows("inline-message"));
    harness.shoot("popover-ready-en");

    vm.insert("inlineMessage", "Güncellemeler kontrol ediliyor...");
    vm.insert("canCheckForUpdates", false);
    setLanguage("tr");
    EXPECT_EQ(texts(names),
              (QStringList{"Quorvelle hazır", "İlk kurulum tamamlandı. Menü bar utility arka planda çalışmaya hazır.",
                           "Detaylı masaüstü penceresi için Dashboard'u Aç düğmesini kullan.", "Durum", "Ayarlar",
                           "Dashboard'u Aç", "Güncelleme Kontrolü", "Çık"}));
    EXPECT_TRUE(textsIn(harness.root()).contains("Panel"));
    EXPECT_EQ(texts({"inline-message"}), QStringList{"Güncellemeler kontrol ediliyor..."});
    EXPECT_FALSE(item("ready-check-updates")->isEnabled());
    harness.shoot("popover-ready-tr-message");

    vm.insert("canCheckForUpdates", true);
    for (const char* button : {"ready-check-updates", "ready-open-dashboard", "ready-quit"})
        click(button);
    EXPECT_EQ(takeCalls(), QStringList{"checkForUpdates()"});
    EXPECT_EQ(shell.calls, (QStringList{"openDashboard()", "quit()"}));
}

TEST_F(PopoverTest, AccountPanelFollowsTheSignIn) {
    vm.patch("onboardingStatus", "hasAPIKey", false);
    ASSERT_TRUE(load());
    // Before any sign-in: no code, no Open or Check.
    for (const char* absent : {"account-approval", "account-open", "account-check"})
        EXPECT_FALSE(shows(absent)) << absent;
    EXPECT_EQ(texts({"account-title", "account-sign-in", "account-updates", "account-quit"}),
              (QStringList{"Sign in required", "Sign In", "Updates", "Quit"}));
    harness.shoot("popover-account-en");
    click("account-sign-in");

    // A pending challenge while a poll runs: Sign In and Check wait, the rest stays usable.
    vm.patch("accountCopy", "backendAuthChallenge", QVariantMap{{"userCode", "WXYZ-1234"}});
    vm.insert("isBackendAuthPolling", true);
    setLanguage("tr");
    EXPECT_EQ(texts({"account-approval-code", "account-sign-in", "account-open", "account-check", "account-updates",
                     "account-quit"}),
              (QStringList{"WXYZ-1234", "Giriş Yap", "Aç", "Kontrol Et", "Güncelle", "Çık"}));
    EXPECT_TRUE(textsIn(harness.root()).contains("Onay kodu"));
    EXPECT_FALSE(item("account-sign-in")->isEnabled());
    EXPECT_FALSE(item("account-check")->isEnabled());
    harness.shoot("popover-account-tr-code");
    for (const char* button : {"account-open", "account-updates", "account-quit"})
        click(button);
    vm.insert("isBackendAuthPolling", false);
    click("account-check");
    EXPECT_EQ(takeCalls(), (QStringList{"startBackendSignIn()", "openSignInVerificationPage()", "checkForUpdates()",
                                        "checkSignInApproval()"}));
    EXPECT_EQ(shell.calls, QStringList{"quit()"});
}

class SettingsPanelTest : public PopoverTest {
protected:
    void SetUp() override {
        PopoverTest::SetUp();
        ASSERT_TRUE(load());
        click("ready-tab-settings");
        ASSERT_TRUE(shows("settings-recorder"));
    }
    bool checked(const char* name) { return item(name)->property("checked").toBool(); }
};

TEST_F(SettingsPanelTest, TextsInBothLanguages) {
    EXPECT_EQ(texts({"settings-active-hotkey", "settings-mode-description"}),
              (QStringList{"Control + Alt + Space", "Record while the hotkey is held."}));
    const std::pair<const char*, QStringList> cases[] = {
        {"en",
         {"Hotkey", "Active combination", "Suggested alternatives", "Dictation", "Recording mode", "Push-to-Talk",
          "Toggle", "Replace last dictation automatically", "Use clipboard fallback", "Microphone",
          "Combinations containing Super or conflicting with the system are rejected."}},
        {"tr",
         {"Hotkey", "Aktif kombinasyon", "Önerilen alternatifler", "Dikte", "Kayıt modu", "Basılı tut", "Toggle",
          "Son dikteyi otomatik değiştir", "Clipboard fallback kullan", "Mikrofon",
          "Super içeren veya sistemle çakışan kombinasyonlar reddedilir.", "Hotkey basılı tutulurken kayıt alınır."}},
    };
    for (const auto& [language, expected] : cases) {
        setLanguage(language);
        const QStringList shown = textsIn(harness.root());
        for (const QString& text : expected)
            EXPECT_TRUE(shown.contains(text)) << text.toStdString();
        harness.shoot(std::string("popover-settings-") + language);
    }
    EXPECT_EQ(item("settings-microphone")->property("currentText").toString(), "Sistem Varsayılanı");
}

TEST_F(SettingsPanelTest, ControlsCallTheirOperationsAndRefusedChangesSnapBack) {
    click("settings-suggestion-1");
    click("settings-mode-toggle");
    click("settings-auto-replace");
    click("settings-clipboard-fallback");
    // Tapping the selected segment again changes nothing.
    click("settings-mode-toggle");
    EXPECT_EQ(takeCalls(),
              (QStringList{"setHotkey(Control + Alt + R)", "setRecordingTriggerMode(toggle)",
                           "setLastDictationAutoReplaceEnabled(true)", "setClipboardFallbackEnabled(false)"}));
    EXPECT_EQ(texts({"settings-mode-description"}), QStringList{"Press once to start recording, press again to stop."});
    EXPECT_TRUE(checked("settings-mode-toggle"));
    EXPECT_TRUE(checked("settings-auto-replace"));

    vm.refuses = true;
    click("settings-mode-pushToTalk");
    click("settings-auto-replace");
    click("settings-clipboard-fallback");
    EXPECT_EQ(takeCalls().size(), 3);
    EXPECT_FALSE(checked("settings-mode-pushToTalk"));
    EXPECT_TRUE(checked("settings-mode-toggle"));
    EXPECT_TRUE(checked("settings-auto-replace"));
    EXPECT_FALSE(checked("settings-clipboard-fallback"));
    // The bindings hold afterwards: a later published change still shows.
    vm.insert("isLastDictationAutoReplaceEnabled", false);
    vm.insert("selectedRecordingTriggerMode", "pushToTalk");
    EXPECT_FALSE(checked("settings-auto-replace"));
    EXPECT_TRUE(checked("settings-mode-pushToTalk"));
}

TEST_F(SettingsPanelTest, MicrophonePickerKeepsAnUnpluggedChoiceAndSnapsBack) {
    DiagnosticsSnapshot diagnostics = DiagnosticsSnapshot::empty();
    diagnostics.audioDevices = {{1, "usb", "USB Mic", false}};
    vm.insert("diagnosticsSnapshot", QVariant::fromValue(diagnostics));
    vm.insert("selectedMicrophonePreference",
              QVariant::fromValue(std::optional(AudioInputDevicePreference{"gone", "Old Mic"})));
    vm.insert("selectedMicrophoneLabel", "Old Mic (bagli degil)");
    QQuickItem* picker = item("settings-microphone");
    EXPECT_EQ(picker->property("currentText").toString(), "Old Mic (bagli degil)");
    harness.shoot("popover-settings-microphone");

    // As a pick in the list does: the index moves, then `activated`.
    const auto choose = [&](int index) {
        picker->setProperty("currentIndex", index);
        QMetaObject::invokeMethod(picker, "activated", Q_ARG(int, index));
    };
    vm.refuses = true;
    choose(2);
    EXPECT_EQ(picker->property("currentIndex").toInt(), 1);
    vm.refuses = false;
    choose(0);
    EXPECT_EQ(takeCalls(), (QStringList{"setMicrophonePreference(usb)", "setMicrophonePreference(none)"}));
    EXPECT_EQ(picker->property("currentText").toString(), "System Default");
}

TEST_F(SettingsPanelTest, TheStatusTabShowsRowsAndNoRecorder) {
    QPointer<QQuickItem> recorder = item("settings-recorder");
    vm.insert("lastCaptureSummary", "2.0 s");
    click("ready-tab-overview");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(recorder.isNull());
    const QStringList shown = textsIn(item("ready-panel"));
    EXPECT_TRUE(shown.contains("Transcription") && shown.contains("Cloud") && shown.contains("2.0 s"));

    // The scaled pill shows while recording, and only then.
    for (const SessionState& state : {SessionState::uploading(), SessionState::recording(), SessionState::idle()}) {
        vm.insert("runtimeState", QVariant::fromValue(state));
        EXPECT_EQ(shows("overlay-pill"), state == SessionState::recording());
        if (state == SessionState::recording()) harness.shoot("popover-status-recording");
    }
}

TEST_F(PopoverTest, DisclosureSheetsOpenAndDismissByEscapeAndClose) {
    ASSERT_TRUE(load());
    const auto textIn = [](QQuickWindow* window, const char* name) {
        QQuickItem* found = findInTree(window->contentItem(), QString::fromLatin1(name));
        return found ? found->property("text").toString() : QString();
    };
    auto* cloud = harness.root()->findChild<QQuickWindow*>("cloud-disclosure-sheet");
    auto* privacy = harness.root()->findChild<QQuickWindow*>("privacy-disclosure-sheet");
    ASSERT_TRUE(cloud && privacy);
    EXPECT_FALSE(cloud->isVisible());
    EXPECT_EQ(cloud->transientParent(), &harness.window());

    vm.insert("showingGroqDisclosureSheet", true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(cloud));
    EXPECT_EQ(textIn(cloud, "disclosure-title"), "Cloud disclosure");
    EXPECT_TRUE(textIn(cloud, "disclosure-body")
                    .startsWith("Quorvelle cloud mode, Quorvelle backend uzerinden calisir.\n\nQuorvelle hesabina"));
    cloud->requestActivate();
    QTest::keyClick(cloud, Qt::Key_Escape);
    EXPECT_FALSE(vm.value("showingGroqDisclosureSheet").toBool());
    EXPECT_FALSE(cloud->isVisible());

    vm.insert("showingPrivacyDisclosureSheet", true);
    setLanguage("tr");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(privacy));
    EXPECT_EQ(textIn(privacy, "disclosure-title"), "Gizlilik / veri işleme");
    EXPECT_TRUE(textIn(privacy, "disclosure-body").contains("- Quorvelle hesap tokenlari ve cihaz kimligi keyring"));
    privacy->grabWindow().save(ViewHarness::screenshotDir() + "/popover-privacy-sheet-tr.png");
    // The window's close control.
    privacy->close();
    EXPECT_FALSE(vm.value("showingPrivacyDisclosureSheet").toBool());
    EXPECT_FALSE(privacy->isVisible());
}

class PopoverOnViewModelTest : public ::testing::Test {
protected:
    void load() {
        viewModel = std::make_unique<AppViewModel>(fakes.bootstrap(), fakes.environment());
        adapter = std::make_unique<PopoverViewModelAdapter>(*viewModel);
        harness.engine().rootContext()->setContextProperty(QStringLiteral("vm"), adapter.get());
        harness.engine().rootContext()->setContextProperty(QStringLiteral("shell"), &shell);
        ASSERT_TRUE(
            harness.load(QStringLiteral("ContentView { viewModel: vm; appShell: shell; width: 360 }"), {360, 760}));
    }
    QString panel() { return harness.root()->property("panel").toString(); }
    // The user comes back to the popover.
    void reopen() {
        harness.window().hide();
        harness.window().show();
    }

    FakeBootstrap fakes;
    FakeAppShell shell;
    std::unique_ptr<AppViewModel> viewModel;
    std::unique_ptr<PopoverViewModelAdapter> adapter;
    ViewHarness harness;
};

TEST_F(PopoverOnViewModelTest, FromAccountToSetupToReadyAsTheStateIsReloaded) {
    fakes.accessibilityPermission->trusted = false;
    load();
    EXPECT_EQ(panel(), "account");

    fakes.makeReadyForCloudDictation();
    reopen();
    EXPECT_EQ(panel(), "onboarding");

    // Granted in the desktop's settings; coming back to the popover is enough.
    fakes.accessibilityPermission->trusted = true;
    reopen();
    EXPECT_EQ(panel(), "ready");
}

TEST_F(PopoverOnViewModelTest, SettingsReachThePreferencesAndSheetsTheirFlags) {
    fakes.makeReadyForCloudDictation();
    load();
    ASSERT_EQ(panel(), "ready");
    harness.click(harness.find("ready-tab-settings"));
    harness.click(harness.find("settings-mode-toggle"));
    harness.click(harness.find("settings-suggestion-0"));
    EXPECT_EQ(viewModel->preferences()->selectedRecordingTriggerMode(), RecordingTriggerMode::toggle);
    EXPECT_EQ(viewModel->preferences()->selectedHotkey(), HotkeyShortcut::suggestions()[1]);
    EXPECT_EQ(harness.find("settings-active-hotkey")->property("text").toString(),
              HotkeyShortcut::suggestions()[1].displayTitle);

    viewModel->permissions()->setShowingGroqDisclosureSheet(true);
    auto* sheet = harness.root()->findChild<QQuickWindow*>("cloud-disclosure-sheet");
    ASSERT_TRUE(sheet && sheet->isVisible());
    sheet->close();
    EXPECT_FALSE(viewModel->permissions()->showingGroqDisclosureSheet());
    EXPECT_FALSE(sheet->isVisible());
}

}  // namespace
}  // namespace quorvelle::test
