// The tray popover on a fake view model: the panel choice, the account and ready panels, the
// status rows, the settings panel's controls and the disclosure sheets.
#include "FakePopoverViewModel.h"
#include "ViewHarness.h"

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

QString textIn(QQuickWindow* window, const char* name) {
    QQuickItem* found = findInTree(window->contentItem(), QString::fromLatin1(name));
    EXPECT_TRUE(found) << "no item " << name;
    return found ? found->property("text").toString() : QString();
}

const char* kScene = "ContentView { viewModel: vm; appShell: shell; width: 360 }";

class PopoverTest : public ::testing::Test {
protected:
    QQuickItem* load() {
        harness.engine().rootContext()->setContextProperty(QStringLiteral("vm"), &vm);
        harness.engine().rootContext()->setContextProperty(QStringLiteral("shell"), &shell);
        QQuickItem* root = harness.load(QString::fromUtf8(kScene), {360, 760});
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
    QString text(const char* name) { return item(name)->property("text").toString(); }
    void click(const char* name) { harness.click(item(name)); }
    void setLanguage(const char* code) {
        vm.strings = AppStrings(QString::fromLatin1(code));
        vm.publish();
    }
    QStringList takeCalls() {
        QStringList calls = vm.calls;
        vm.calls.clear();
        return calls;
    }
    QQuickWindow* sheet(const char* name) { return harness.root()->findChild<QQuickWindow*>(name); }

    FakePopoverViewModel vm;
    FakeAppShell shell;
    ViewHarness harness;
};

TEST_F(PopoverTest, ThePanelFollowsTheAccountAndTheSetup) {
    struct Case {
        bool hasSessionManager;
        bool hasAPIKey;
        bool isComplete;
        const char* panel;
        const char* shownItem;
    };
    const Case cases[] = {
        // The account comes first, even when setup is incomplete.
        {true, false, false, "account", "account-title"},
        {true, false, true, "account", "account-title"},
        {true, true, false, "onboarding", nullptr},
        {true, true, true, "ready", "ready-title"},
        // A build without account sign-in never shows the account panel.
        {false, false, false, "onboarding", nullptr},
        {false, false, true, "ready", "ready-title"},
    };
    ASSERT_TRUE(load());
    for (const Case& c : cases) {
        vm.accountCopy["hasBackendAuthSessionManager"] = c.hasSessionManager;
        vm.onboardingStatus = {{"hasAPIKey", c.hasAPIKey}, {"isComplete", c.isComplete}};
        vm.publish();
        EXPECT_EQ(panel(), c.panel);
        if (c.shownItem) {
            EXPECT_TRUE(shows(c.shownItem)) << c.panel;
        }
        EXPECT_EQ(item("popover-onboarding")->property("active").toBool(), QString(c.panel) == "onboarding");
    }
}

TEST_F(PopoverTest, TheReadyStateStartsOnStatusAgainAfterAnotherPanel) {
    ASSERT_TRUE(load());
    click("ready-tab-settings");
    EXPECT_TRUE(shows("settings-recorder"));
    vm.onboardingStatus["isComplete"] = false;
    vm.publish();
    vm.onboardingStatus["isComplete"] = true;
    vm.publish();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(harness.find("settings-recorder"));
    EXPECT_TRUE(shows("overview-row-0"));
}

TEST_F(PopoverTest, ReadyStateTextsInBothLanguages) {
    ASSERT_TRUE(load());
    struct Case {
        const char* language;
        QStringList texts;
    };
    const Case cases[] = {
        {"en",
         {"Quorvelle ready", "Initial setup is complete. The menu bar utility is ready in the background.",
          "Use Open Dashboard for the detailed desktop window.", "Status", "Settings", "Open Dashboard",
          "Check Updates", "Quit"}},
        {"tr",
         {"Quorvelle hazır", "İlk kurulum tamamlandı. Menü bar utility arka planda çalışmaya hazır.",
          "Detaylı masaüstü penceresi için Dashboard'u Aç düğmesini kullan.", "Durum", "Ayarlar", "Dashboard'u Aç",
          "Güncelleme Kontrolü", "Çık"}},
    };
    for (const Case& c : cases) {
        setLanguage(c.language);
        const QStringList shown{text("ready-title"),         text("ready-subtitle"),     text("ready-hint"),
                                text("ready-tab-overview"),  text("ready-tab-settings"), text("ready-open-dashboard"),
                                text("ready-check-updates"), text("ready-quit")};
        EXPECT_EQ(shown, c.texts);
        EXPECT_TRUE(textsIn(harness.root()).contains("Panel")) << "the picker's label stays";
        harness.shoot(std::string("popover-ready-") + c.language);
    }
}

TEST_F(PopoverTest, ReadyFooterAndMessageBlock) {
    ASSERT_TRUE(load());
    EXPECT_FALSE(shows("inline-message"));
    vm.inlineMessage = QStringLiteral("Checking for updates...");
    vm.canCheckForUpdates = false;
    vm.publish();
    EXPECT_EQ(text("inline-message"), "Checking for updates...");
    EXPECT_TRUE(shows("ready-check-updates"));
    EXPECT_FALSE(item("ready-check-updates")->isEnabled());
    harness.shoot("popover-ready-message");

    vm.canCheckForUpdates = true;
    vm.publish();
    click("ready-check-updates");
    click("ready-open-dashboard");
    click("ready-quit");
    EXPECT_EQ(takeCalls(), QStringList{"checkForUpdates()"});
    EXPECT_EQ(shell.calls, (QStringList{"openDashboard()", "quit()"}));
}

TEST_F(PopoverTest, AccountPanelFollowsTheSignIn) {
    vm.onboardingStatus["hasAPIKey"] = false;
    ASSERT_TRUE(load());
    ASSERT_EQ(panel(), "account");
    // Before any sign-in: no code, no Open or Check.
    EXPECT_FALSE(shows("account-approval"));
    EXPECT_FALSE(shows("account-open"));
    EXPECT_FALSE(shows("account-check"));
    EXPECT_EQ(text("account-title"), "Sign in required");
    EXPECT_EQ((QStringList{text("account-sign-in"), text("account-updates"), text("account-quit")}),
              (QStringList{"Sign In", "Updates", "Quit"}));
    harness.shoot("popover-account-en");
    click("account-sign-in");
    EXPECT_EQ(takeCalls(), QStringList{"startBackendSignIn()"});

    // A pending challenge while a poll runs: Sign In and Check wait, Open and the rest stay usable.
    vm.accountCopy["backendAuthChallenge"] = QVariantMap{{"userCode", "WXYZ-1234"}};
    vm.isBackendAuthPolling = true;
    vm.inlineMessage = QStringLiteral("Kod: WXYZ-1234");
    setLanguage("tr");
    EXPECT_EQ(text("account-approval-code"), "WXYZ-1234");
    EXPECT_TRUE(textsIn(harness.root()).contains("Onay kodu"));
    EXPECT_EQ((QStringList{text("account-sign-in"), text("account-open"), text("account-check"),
                           text("account-updates"), text("account-quit")}),
              (QStringList{"Giriş Yap", "Aç", "Kontrol Et", "Güncelle", "Çık"}));
    EXPECT_FALSE(item("account-sign-in")->isEnabled());
    EXPECT_FALSE(item("account-check")->isEnabled());
    EXPECT_TRUE(item("account-open")->isEnabled());
    harness.shoot("popover-account-tr-code");
    click("account-open");
    click("account-updates");
    click("account-quit");

    vm.isBackendAuthPolling = false;
    vm.publish();
    click("account-check");
    EXPECT_EQ(takeCalls(), (QStringList{"openSignInVerificationPage()", "checkForUpdates()", "checkSignInApproval()"}));
    EXPECT_EQ(shell.calls, QStringList{"quit()"});
}

class SettingsPanelTest : public PopoverTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(load());
        click("ready-tab-settings");
        ASSERT_TRUE(shows("settings-recorder"));
    }
    bool checked(const char* name) { return item(name)->property("checked").toBool(); }
};

TEST_F(SettingsPanelTest, TextsInBothLanguages) {
    EXPECT_EQ(text("settings-active-hotkey"), "Control + Alt + Space");
    const QStringList english = textsIn(harness.root());
    for (const char* expected : {"Hotkey", "Active combination", "Suggested alternatives", "Dictation",
                                 "Recording mode", "Push-to-Talk", "Toggle", "Record while the hotkey is held.",
                                 "Replace last dictation automatically", "Use clipboard fallback", "Microphone"})
        EXPECT_TRUE(english.contains(expected)) << expected;
    harness.shoot("popover-settings-en");
    setLanguage("tr");
    const QStringList turkish = textsIn(harness.root());
    for (const char* expected :
         {"Hotkey", "Aktif kombinasyon", "Önerilen alternatifler", "Dikte", "Kayıt modu", "Basılı tut", "Toggle",
          "Hotkey basılı tutulurken kayıt alınır.", "Son dikteyi otomatik değiştir", "Clipboard fallback kullan",
          "Mikrofon", "Super içeren veya sistemle çakışan kombinasyonlar reddedilir."})
        EXPECT_TRUE(turkish.contains(expected)) << expected;
    harness.shoot("popover-settings-tr");
}

TEST_F(SettingsPanelTest, ControlsCallTheirOperationsWithTheirValues) {
    click("settings-suggestion-1");
    click("settings-mode-toggle");
    click("settings-auto-replace");
    click("settings-clipboard-fallback");
    EXPECT_EQ(takeCalls(),
              (QStringList{"setHotkey(Control + Alt + R)", "setRecordingTriggerMode(toggle)",
                           "setLastDictationAutoReplaceEnabled(true)", "setClipboardFallbackEnabled(false)"}));
    EXPECT_EQ(text("settings-mode-description"), "Press once to start recording, press again to stop.");
    EXPECT_TRUE(checked("settings-mode-toggle"));
    EXPECT_FALSE(checked("settings-mode-pushToTalk"));
    EXPECT_TRUE(checked("settings-auto-replace"));
    // Tapping the selected segment again changes nothing.
    click("settings-mode-toggle");
    EXPECT_TRUE(takeCalls().isEmpty());
    EXPECT_TRUE(checked("settings-mode-toggle"));
}

TEST_F(SettingsPanelTest, RefusedChangesSnapBack) {
    vm.refuses = true;
    click("settings-mode-toggle");
    click("settings-auto-replace");
    click("settings-clipboard-fallback");
    EXPECT_EQ(takeCalls().size(), 3);
    EXPECT_FALSE(checked("settings-mode-toggle"));
    EXPECT_TRUE(checked("settings-mode-pushToTalk"));
    EXPECT_FALSE(checked("settings-auto-replace"));
    EXPECT_TRUE(checked("settings-clipboard-fallback"));
    // The bindings hold afterwards: a later published change still shows.
    vm.isLastDictationAutoReplaceEnabled = true;
    vm.selectedRecordingTriggerMode = QStringLiteral("toggle");
    vm.publish();
    EXPECT_TRUE(checked("settings-auto-replace"));
    EXPECT_TRUE(checked("settings-mode-toggle"));
}

TEST_F(SettingsPanelTest, MicrophonePickerKeepsAnUnpluggedChoiceAndSnapsBack) {
    vm.diagnosticsSnapshot.audioDevices = {{1, "usb", "USB Mic", false}};
    vm.selectedMicrophonePreference = AudioInputDevicePreference{"gone", "Old Mic"};
    vm.selectedMicrophoneLabel = QStringLiteral("Old Mic (bagli degil)");
    vm.publish();
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
    EXPECT_EQ(picker->property("count").toInt(), 2);
}

TEST_F(SettingsPanelTest, SwitchingToStatusDropsTheRecorder) {
    QPointer<QQuickItem> recorder = item("settings-recorder");
    click("ready-tab-overview");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(recorder.isNull());
    EXPECT_TRUE(shows("overview-row-0"));
}

TEST_F(PopoverTest, StatusRowsAndTheRecordingPreview) {
    vm.diagnosticsSnapshot.recordingReadinessSummary = QStringLiteral("Ready.");
    vm.lastCaptureSummary = QStringLiteral("2.0 s");
    ASSERT_TRUE(load());
    const QStringList texts = textsIn(item("ready-panel"));
    EXPECT_TRUE(texts.contains("Transcription") && texts.contains("Cloud") && texts.contains("Last capture") &&
                texts.contains("2.0 s"))
        << texts.join(" | ").toStdString();
    EXPECT_FALSE(shows("overview-recording-preview"));
    for (const SessionState& state : {SessionState::uploading(), SessionState::success(), SessionState::idle()}) {
        vm.runtimeState = state;
        vm.publish();
        EXPECT_FALSE(shows("overlay-pill"));
    }
    vm.runtimeState = SessionState::recording();
    vm.publish();
    EXPECT_TRUE(shows("overview-recording-preview"));
    EXPECT_TRUE(shows("overlay-pill"));
    harness.shoot("popover-status-recording");
}

TEST_F(PopoverTest, DisclosureSheetsOpenAndDismissByEscapeAndClose) {
    ASSERT_TRUE(load());
    QQuickWindow* cloud = sheet("cloud-disclosure-sheet");
    QQuickWindow* privacy = sheet("privacy-disclosure-sheet");
    ASSERT_TRUE(cloud && privacy);
    EXPECT_FALSE(cloud->isVisible());
    EXPECT_EQ(cloud->transientParent(), &harness.window());

    vm.showingGroqDisclosureSheet = true;
    vm.publish();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(cloud));
    EXPECT_TRUE(harness.root()->property("presentsSheet").toBool());
    EXPECT_EQ(textIn(cloud, "disclosure-title"), "Cloud disclosure");
    EXPECT_TRUE(textIn(cloud, "disclosure-body")
                    .startsWith("Quorvelle cloud mode, Quorvelle backend uzerinden calisir.\n\nQuorvelle hesabina"));
    cloud->requestActivate();
    QTest::keyClick(cloud, Qt::Key_Escape);
    EXPECT_FALSE(vm.showingGroqDisclosureSheet);
    EXPECT_FALSE(cloud->isVisible());

    setLanguage("tr");
    vm.showingPrivacyDisclosureSheet = true;
    vm.publish();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(privacy));
    EXPECT_EQ(textIn(privacy, "disclosure-title"), "Gizlilik / veri işleme");
    EXPECT_TRUE(textIn(privacy, "disclosure-body").contains("- Quorvelle hesap tokenlari ve cihaz kimligi keyring"));
    QImage shot = privacy->grabWindow();
    shot.save(ViewHarness::screenshotDir() + "/popover-privacy-sheet-tr.png");
    // The window's close control.
    privacy->close();
    EXPECT_FALSE(vm.showingPrivacyDisclosureSheet);
    EXPECT_FALSE(privacy->isVisible());
    // Dismissed sheets open again.
    vm.showingPrivacyDisclosureSheet = true;
    vm.publish();
    EXPECT_TRUE(privacy->isVisible());
}

TEST_F(PopoverTest, ShowingThePopoverReloadsTheSettings) {
    ASSERT_TRUE(load());
    harness.window().hide();
    harness.window().show();
    EXPECT_EQ(takeCalls(), QStringList{"reloadSettings()"});
}

}  // namespace
}  // namespace quorvelle::test
