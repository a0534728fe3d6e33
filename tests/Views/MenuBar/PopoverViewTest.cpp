// The tray popover on the view model the host hands it.
#include "../Dashboard/ViewModelScene.h"
#include "DrawnText.h"
#include "TestEventLoop.h"

#include <QGuiApplication>
#include <QQmlComponent>

#include <QTest>
#include <algorithm>
#include <cmath>

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

TEST_F(PopoverTest, ABuildWithoutAccountSignInNeverShowsTheAccountPanel) {
    bootstrap.backendAuthSessionManager = nullptr;
    load(false);
    EXPECT_NE(panel(), "account");
}

// Each panel is checked on a 1024x600 and a 1280x800 screen: its buttons stay in view, the rest scrolls.
TEST_F(PopoverTest, FromAccountToSetupToReadyAsTheStateIsReloadedAndEveryPanelFitsTheScreen) {
    fakes.accessibilityPermission->trusted = false;
    fakes.audioDevices->devices = {{1, "usb", "USB Mic", false}};
    load(false);
    QQuickItem* root = harness.root();
    const std::tuple<const char*, const char*, const char*, const char*> panels[] = {
        {"account", "account-title", nullptr, "account-quit"},
        {"onboarding", "setup-title", "setup-scroll", nullptr},
        {"status", "ready-title", "ready-body", "ready-quit"},
        {"settings", "settings-recorder", "ready-body", "ready-quit"}};
    for (const auto& [name, title, bodyName, footerName] : panels) {
        const std::string panelName = name;
        // Coming back to the popover is enough for a change made elsewhere to show.
        if (panelName == "onboarding") fakes.makeReadyForCloudDictation();
        if (panelName == "status") fakes.accessibilityPermission->trusted = true;
        panelName == "settings" ? openSettings() : reopen();
        EXPECT_EQ(panel().toStdString(), panelName == "status" || panelName == "settings" ? "ready" : panelName);
        EXPECT_TRUE(shows(title));
        for (const int screen : {600, 800}) {
            SCOPED_TRACE(panelName + " on " + std::to_string(screen));
            // As the host does: no taller than the screen less its panel.
            root->setHeight(std::min(root->implicitHeight(), screen - 32.0));
            harness.window().resize(360, screen - 32);
            harness.shoot("popover-" + panelName + "-" + std::to_string(screen));
            if (footerName) {
                const QRectF footer =
                    item(footerName)->mapRectToItem(root, QRectF(0, 0, 1, item(footerName)->height()));
                EXPECT_TRUE(footer.top() >= 0 && footer.bottom() <= root->height());
            }
            if (!bodyName) continue;
            QQuickItem* body = item(bodyName);
            QMetaObject::invokeMethod(body, "cancelFlick");
            body->setProperty("contentY", 0);
            const bool overflows = body->property("contentHeight").toReal() > body->height() + 1;
            EXPECT_TRUE(overflows || panelName != "settings" || screen != 600);
            if (!overflows) continue;
            harness.wheel(body, {6, body->height() / 2});
            EXPECT_TRUE(waitUntil([&] { return body->property("contentY").toReal() > 0; }));
        }
    }
    // A control the keyboard reaches below the fold scrolls into view with its focus ring;
    // Escape closes the popover.
    QQuickItem* body = item("ready-body");
    QQuickItem* picker = item("settings-microphone");
    body->setProperty("contentY", 0);
    harness.window().requestActivate();
    picker->forceActiveFocus(Qt::TabFocusReason);
    const QRectF box = picker->mapRectToItem(body, QRectF(0, 0, picker->width(), picker->height()));
    EXPECT_TRUE(box.top() >= 0 && box.bottom() <= body->height());
    EXPECT_EQ(item("focus-ring")->parentItem(), picker);
    EXPECT_TRUE(item("focus-ring")->isVisible());
    harness.shoot("popover-settings-focus-600");
    harness.pressKey(Qt::Key_Escape);
    EXPECT_FALSE(harness.window().isVisible());

    // A ready state made anew starts on the Status tab, which has rows and no recorder.
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

TEST_F(PopoverTest, AViewTextShowsItsSheetOnceInTheWindowThatAskedAndClosingItLowersTheFlag) {
    fakes.makeReadyForCloudDictation();
    fakes.accessibilityPermission->trusted = false;
    load(false);
    ASSERT_EQ(panel(), "onboarding");
    // The dashboard open in a second window over the same view model.
    QQmlComponent component(&harness.engine());
    component.setData("import Quorvelle\nMainWindowView { viewModel: vm }", QUrl());
    std::unique_ptr<QQuickItem> dashboard(qobject_cast<QQuickItem*>(component.create()));
    ASSERT_TRUE(dashboard);
    QQuickWindow dashboardWindow;
    dashboardWindow.resize(1270, 835);
    dashboard->setParentItem(dashboardWindow.contentItem());
    dashboardWindow.show();
    dashboard->property("windowState").value<MainWindowState*>()->showAccount();
    settle();
    auto* popoverSheet = harness.root()->findChild<QQuickWindow*>("cloud-disclosure-sheet");
    auto* dashboardSheet = dashboard->findChild<QQuickWindow*>("cloud-disclosure-sheet");
    ASSERT_TRUE(popoverSheet && dashboardSheet);
    EXPECT_EQ(popoverSheet->transientParent(), &harness.window());

    QMetaObject::invokeMethod(item("setup-cloud-disclosure-view"), "clicked");
    EXPECT_TRUE(popoverSheet->isVisible() && QTest::qWaitForWindowExposed(popoverSheet));
    EXPECT_FALSE(dashboardSheet->isVisible());
    popoverSheet->grabWindow().save(ViewHarness::screenshotDir() + "/popover-cloud-sheet-en.png");
    popoverSheet->close();
    EXPECT_FALSE(viewModel->permissions()->showingGroqDisclosureSheet() || popoverSheet->isVisible());

    QQuickItem* button = findIn(dashboard.get(), "account-cloud-disclosure");
    ASSERT_TRUE(button);
    QTest::mouseClick(&dashboardWindow, Qt::LeftButton, {}, button->mapToScene({8, 8}).toPoint());
    EXPECT_TRUE(dashboardSheet->isVisible());
    EXPECT_FALSE(popoverSheet->isVisible());
}

// A disclosure sheet is a window named after its sheet that opens with the text the user is asked to
// accept in the keyboard's focus; hidden, it holds nothing that a screen reader would walk into.
TEST_F(PopoverTest, ADisclosureSheetIsNamedOpensOnItsTextAndHiddenHoldsNothing) {
    fakes.makeReadyForCloudDictation();
    fakes.accessibilityPermission->trusted = false;
    load(false);
    auto* sheet = harness.root()->findChild<QQuickWindow*>("privacy-disclosure-sheet");
    ASSERT_TRUE(sheet);
    const auto controlsIn = [](QQuickWindow* window) {
        QStringList found;
        std::function<void(QQuickItem*)> walk = [&](QQuickItem* item) {
            for (QQuickItem* child : item->childItems()) {
                const QString type = QString::fromLatin1(child->metaObject()->className());
                if (type.contains("ScrollBar") || type.contains("TextEdit")) found << type;
                walk(child);
            }
        };
        walk(window->contentItem());
        return found;
    };
    EXPECT_EQ(controlsIn(sheet), QStringList());
    EXPECT_EQ(sheet->title(), "Privacy / data processing");
    QMetaObject::invokeMethod(item("setup-privacy-view"), "clicked");
    ASSERT_TRUE(sheet->isVisible() && QTest::qWaitForWindowExposed(sheet));
    sheet->requestActivate();
    EXPECT_TRUE(waitUntil(
        [&] { return sheet->activeFocusItem() && sheet->activeFocusItem()->objectName() == "disclosure-body"; }));
    EXPECT_EQ(controlsIn(sheet).size(), 2) << controlsIn(sheet).join(", ").toStdString();
    sheet->grabWindow().save(ViewHarness::screenshotDir() + "/popover-privacy-sheet-en.png");
    QTest::keyClick(sheet, Qt::Key_Escape);
    EXPECT_FALSE(sheet->isVisible() || viewModel->permissions()->showingPrivacyDisclosureSheet());
    settle();
    EXPECT_EQ(controlsIn(sheet), QStringList());
    turkish();
    EXPECT_EQ(sheet->title(), QString::fromUtf8("Gizlilik / veri işleme"));
}

// The step that ends takes its focused control with it; the keyboard, and a screen reader, go on from
// the next step's first control: after the sign-in is approved, and after the last Accept of the setup.
TEST_F(PopoverTest, TheNextStepsFirstControlTakesTheFocusAfterTheSignInAndTheLastAccept) {
    fakes.accessibilityPermission->trusted = false;
    fakes.userDefaults->setBool(QString::fromLatin1(SettingsKeys::acceptedGroqDisclosure), true);
    load(false);
    ASSERT_EQ(panel(), "account");
    harness.window().requestActivate();
    const auto focused = [&] {
        QQuickItem* item = harness.window().activeFocusItem();
        return item && item->isVisible() ? item->objectName() : QString();
    };
    item("account-sign-in")->forceActiveFocus(Qt::TabFocusReason);
    harness.pressKey(Qt::Key_Space);
    ASSERT_TRUE(waitUntil([&] { return shows("account-check"); }));
    fakes.account->pollAnswer.push({QStringLiteral("approved"), true, QStringLiteral("device-1")});
    item("account-check")->forceActiveFocus(Qt::TabFocusReason);
    harness.pressKey(Qt::Key_Space);
    ASSERT_TRUE(waitUntil([&] { return panel() == "onboarding"; }));
    EXPECT_TRUE(waitUntil([&] { return focused() == "setup-mode-cloud"; })) << focused().toStdString();

    fakes.accessibilityPermission->trusted = true;
    viewModel->reloadSettings();
    settle();
    ASSERT_EQ(panel(), "onboarding");
    item("setup-privacy-accept")->forceActiveFocus(Qt::TabFocusReason);
    harness.pressKey(Qt::Key_Space);
    ASSERT_TRUE(waitUntil([&] { return panel() == "ready"; }));
    EXPECT_TRUE(waitUntil([&] { return focused() == "ready-tab-overview"; })) << focused().toStdString();
    // The tab list itself is not read as focused while one of its tabs is.
    EXPECT_FALSE(item("ready-tabs")->hasActiveFocus());
    harness.pressKey(Qt::Key_Tab);
    EXPECT_EQ(focused(), "ready-tab-settings");
    EXPECT_FALSE(item("ready-tabs")->hasActiveFocus());
    harness.shoot("popover-ready-focus-after-accept");
}

TEST_F(PopoverTest, ReadyStateInBothLanguagesWithItsFooterThenTheSettingsControlsReachThePreferences) {
    fakes.audioDevices->devices = {{1, "usb", "USB Mic", false}};
    fakes.settingsStore->setSelectedMicrophonePreference(AudioInputDevicePreference{"gone", "Old Mic"});
    load();
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

    openSettings();
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
    // From the keyboard: Return opens the list on the current row, Down and Return pick the next
    // one, and Escape closes it unchanged.
    QObject* list = picker->property("popup").value<QObject*>();
    harness.window().requestActivate();
    picker->forceActiveFocus(Qt::TabFocusReason);
    for (const auto& [highlighted, key] : {std::pair(0, Qt::Key_Return), std::pair(1, Qt::Key_Escape)}) {
        harness.pressKey(Qt::Key_Return);
        ASSERT_TRUE(list->property("visible").toBool()) << highlighted;
        EXPECT_EQ(picker->property("highlightedIndex").toInt(), highlighted);
        harness.pressKey(highlighted == 0 ? Qt::Key_Down : Qt::Key_Up);
        harness.pressKey(key);
        EXPECT_TRUE(waitUntil([&] { return !list->property("visible").toBool(); })) << highlighted;
        const auto chosen = preferences->selectedMicrophonePreference();
        EXPECT_EQ(chosen ? chosen->uid : "none", "usb") << highlighted;
    }
    // The keyboard stays on the box, with its ring, after the list came and went.
    EXPECT_TRUE(picker->hasActiveFocus());
    EXPECT_EQ(item("focus-ring")->parentItem(), picker);
    EXPECT_TRUE(item("focus-ring")->isVisible());
}

// The chosen segment of each two-way choice shows at a glance (3:1 against the other, as drawn) in
// every theme, and Return works a tab, a choice and a switch as Space does.
TEST_F(PopoverTest, TheChosenSegmentStandsOutInEveryThemeAndReturnChoosesATab) {
    load();
    harness.window().requestActivate();
    QQuickItem* settingsTab = item("ready-tab-settings");
    settingsTab->forceActiveFocus(Qt::TabFocusReason);
    harness.pressKey(Qt::Key_Return);
    ASSERT_TRUE(shows("settings-recorder"));
    item("ready-tab-overview")->forceActiveFocus(Qt::TabFocusReason);
    harness.pressKey(Qt::Key_Enter);
    EXPECT_FALSE(shows("settings-recorder"));
    openSettings();
    PreferencesViewModel* preferences = viewModel->preferences();
    const bool replaces = preferences->isLastDictationAutoReplaceEnabled();
    item("settings-auto-replace")->forceActiveFocus(Qt::TabFocusReason);
    harness.pressKey(Qt::Key_Return);
    EXPECT_EQ(preferences->isLastDictationAutoReplaceEnabled(), !replaces);
    item("settings-mode-toggle")->forceActiveFocus(Qt::TabFocusReason);
    harness.pressKey(Qt::Key_Return);
    EXPECT_EQ(preferences->selectedRecordingTriggerMode(), RecordingTriggerMode::toggle);
    preferences->setRecordingTriggerMode(RecordingTriggerMode::pushToTalk);
    const std::pair<DesktopThemeOption, const char*> themes[] = {{DesktopThemeOption::black, "black"},
                                                                 {DesktopThemeOption::quorvelle, "quorvelle"},
                                                                 {DesktopThemeOption::light, "light"}};
    const std::pair<const char*, const char*> choices[] = {{"ready-tab-settings", "ready-tab-overview"},
                                                           {"settings-mode-pushToTalk", "settings-mode-toggle"}};
    for (const auto& [theme, name] : themes) {
        viewModel->preferences()->setDesktopTheme(theme);
        settle();
        for (const auto& [chosen, other] : choices) {
            ASSERT_TRUE(checked(chosen) && !checked(other)) << chosen;
            QQuickItem* on = item(chosen);
            QQuickItem* off = item(other);
            const double ratio =
                contrast(harness.colorAt(on, {4, on->height() / 2}), harness.colorAt(off, {4, off->height() / 2}));
            EXPECT_GE(ratio, 3.0) << name << " " << chosen;
        }
        harness.shoot(std::string("popover-segments-") + name);
    }
}

// The Status and Settings tabs move with the arrows, as tabs do: Left and Right choose the tab beside the
// focused one, round the row, and take the focus (with its ring) there.
TEST_F(PopoverTest, TheArrowsMoveBetweenTheTabs) {
    load();
    harness.window().requestActivate();
    ASSERT_TRUE(waitUntil([&] { return QGuiApplication::focusWindow() == &harness.window(); }));
    item("ready-tab-overview")->forceActiveFocus(Qt::TabFocusReason);
    const auto focused = [&] {
        QQuickItem* focus = harness.window().activeFocusItem();
        return focus ? focus->objectName() : QString();
    };
    for (const auto& [key, tab] : {std::pair(Qt::Key_Right, "settings"), std::pair(Qt::Key_Left, "overview"),
                                   std::pair(Qt::Key_Left, "settings"), std::pair(Qt::Key_Right, "overview")}) {
        harness.pressKey(key);
        const QString name = QStringLiteral("ready-tab-") + tab;
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(focused(), name);
        EXPECT_TRUE(checked(name.toLatin1()));
        EXPECT_EQ(shows("settings-recorder"), name.endsWith("settings"));
        EXPECT_EQ(item("focus-ring")->parentItem(), item(name));
    }
}

// While the sign-in waits, each automatic poll leaves the focused Sign In or Check as it was.
TEST_F(PopoverTest, TheFocusedButtonStaysStillWhileTheSignInWaits) {
    load(false);
    click("account-sign-in");
    ASSERT_TRUE(waitUntil([&] { return shows("account-check"); }));
    harness.window().requestActivate();
    ASSERT_TRUE(waitUntil([&] { return QGuiApplication::focusWindow() == &harness.window(); }));
    expectFocusStillThroughAPoll("account-sign-in");
    expectFocusStillThroughAPoll("account-check");
    // A check that finds the code expired hides Check, which does not take the focus back hidden:
    // Sign In takes it.
    fakes.account->pollAnswer.push({QStringLiteral("expired"), false, std::nullopt});
    const HiddenFocusWatch hiddenFocus(harness.window());
    harness.pressKey(Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return !shows("account-check"); }));
    EXPECT_TRUE(waitUntil([&] { return item("account-sign-in")->hasActiveFocus(); }));
    EXPECT_TRUE(hiddenFocus.names().isEmpty()) << hiddenFocus.names().join(", ").toStdString();
}

// Each panel, freshly opened, has its first control in the focus; Shift+Tab from there stays there
// (also with nothing focused it goes there), so that no stray Shift+Tab and Return reach Quit.
TEST_F(PopoverTest, AFreshlyOpenedPanelStartsOnItsFirstControlAndShiftTabNeverGoesRoundToQuit) {
    fakes.accessibilityPermission->trusted = false;
    load(false);
    const auto focused = [&] {
        QQuickItem* focus = harness.window().activeFocusItem();
        return focus && focus->isVisible() ? focus->objectName() : QString();
    };
    const auto shiftTab = [&] { QTest::keyClick(&harness.window(), Qt::Key_Backtab, Qt::ShiftModifier); };
    const std::pair<const char*, const char*> panels[] = {
        {"account", "account-sign-in"}, {"onboarding", "setup-mode-cloud"}, {"ready", "ready-tab-overview"}};
    for (const auto& [name, first] : panels) {
        SCOPED_TRACE(name);
        if (std::string(name) == "onboarding") fakes.makeReadyForCloudDictation();
        if (std::string(name) == "ready") fakes.accessibilityPermission->trusted = true;
        reopen();
        harness.window().requestActivate();
        ASSERT_EQ(panel(), name);
        EXPECT_EQ(focused(), first);
        for (int press = 0; press < 3; ++press)
            shiftTab();
        EXPECT_EQ(focused(), first);
        harness.pressKey(Qt::Key_Return);
        settle();
        EXPECT_TRUE(shellCalls().isEmpty());
        EXPECT_TRUE(harness.window().isVisible());
    }
    // Tab goes on and Shift+Tab comes back as before; from nothing focused it goes to the first control.
    harness.pressKey(Qt::Key_Tab);
    EXPECT_EQ(focused(), "ready-tab-settings");
    shiftTab();
    EXPECT_EQ(focused(), "ready-tab-overview");
    harness.root()->forceActiveFocus();
    shiftTab();
    EXPECT_EQ(focused(), "ready-tab-overview");
    EXPECT_TRUE(shellCalls().isEmpty());
}

// Shift+Tab stays on a panel's first control only: from every other control it goes back to the one
// before it in the Tab order, so the keyboard can still reach each control both ways.
TEST_F(PopoverTest, ShiftTabGoesBackOneControlFromEveryControlButTheFirst) {
    fakes.accessibilityPermission->trusted = false;
    load(false);
    const auto focused = [&] {
        QQuickItem* focus = harness.window().activeFocusItem();
        return focus && focus->isVisible() ? focus->objectName() : QString();
    };
    const auto shiftTab = [&] { QTest::keyClick(&harness.window(), Qt::Key_Backtab, Qt::ShiftModifier); };
    for (const char* name : {"account", "onboarding", "ready"}) {
        SCOPED_TRACE(name);
        if (std::string(name) == "onboarding") fakes.makeReadyForCloudDictation();
        if (std::string(name) == "ready") fakes.accessibilityPermission->trusted = true;
        reopen();
        harness.window().requestActivate();
        ASSERT_EQ(panel(), name);
        // The Tab order, from the first control round to it again.
        QStringList order{focused()};
        for (int press = 0; press < 60; ++press) {
            harness.pressKey(Qt::Key_Tab);
            if (focused() == order.first()) break;
            order << focused();
        }
        ASSERT_EQ(focused(), order.first()) << order.join(", ").toStdString();
        ASSERT_GE(order.size(), 3) << order.join(", ").toStdString();
        ASSERT_FALSE(order.contains(QString())) << "a control without a name: " << order.join(", ").toStdString();
        for (qsizetype at = 1; at < order.size(); ++at) {
            reopen();
            harness.window().requestActivate();
            for (qsizetype press = 0; press < at; ++press)
                harness.pressKey(Qt::Key_Tab);
            ASSERT_EQ(focused(), order.at(at));
            shiftTab();
            EXPECT_EQ(focused(), order.at(at - 1)) << "Shift+Tab from " << order.at(at).toStdString();
        }
        EXPECT_TRUE(shellCalls().isEmpty());
    }
}

// Sign In pressed again while the sign-in waits asks the backend for no other login (it opens the same
// page again); the approval of that page signs in.
TEST_F(PopoverTest, SignInPressedWhileTheSignInWaitsStartsNoOtherAndItsApprovalSignsIn) {
    load(false);
    click("account-sign-in");
    ASSERT_TRUE(waitUntil([&] { return shows("account-check"); }));
    for (int press = 0; press < 3; ++press)
        click("account-sign-in");
    fakes.pollSleeper.finishOldest();
    settle();
    click("account-sign-in");
    EXPECT_EQ(fakes.account->calls.count("startDeviceLogin"), 1);
    EXPECT_EQ(fakes.navigator->opened.size(), 5);
    EXPECT_EQ(text("account-approval-code"), FakeBackendAuthSessionManager::sampleChallenge().userCode);
    fakes.account->pollAnswer.push({QStringLiteral("approved"), true, QStringLiteral("device-1")});
    fakes.pollSleeper.finishOldest();
    settle();
    EXPECT_TRUE(viewModel->permissions()->onboardingStatus().hasAPIKey);
    EXPECT_NE(panel(), "account");
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

}  // namespace
}  // namespace quorvelle::test
