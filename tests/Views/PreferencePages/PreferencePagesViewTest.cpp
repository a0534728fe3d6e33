// The preference pages inside the dashboard: shortcuts, account, instructions (the editor and its
// 2000-character cut, presets, Save, Reset, cleanup modes) and appearance.
#include "../Dashboard/ViewModelScene.h"
#include "Models/HotkeyShortcut.h"
#include "Services/System/HotkeyMonitorError.h"
#include "TestEventLoop.h"

#include <QGuiApplication>
#include <QQuickWindow>

namespace quorvelle::test {
namespace {

using ShortcutsPageViewTest = ViewModelScene;

TEST_F(ShortcutsPageViewTest, TheCardShowsTheShortcutInForceChangeOnlyOpensTheSheetAndEachModeOptionActs) {
    fakes.hotkeyMonitor->startOutcome.failAlways(HotkeyMonitorError({}, 10));
    ASSERT_TRUE(open(QStringLiteral("shortcuts")));
    // The pill says Active although the monitor could not start.
    EXPECT_FALSE(fakes.hotkeyMonitor->isMonitoring());
    EXPECT_EQ(textsIn(item("shortcut-status")), QStringList{"Active"});
    EXPECT_EQ(text("shortcut-value-text"), QStringLiteral("^  +  Alt  +  Space"));
    harness.shoot("pages2-shortcuts-en");

    const auto shifted = HotkeyShortcut::fromKeyPress(HotkeyShortcut::suggestions().last().keyCode,
                                                      HotkeyShortcut::controlMask | HotkeyShortcut::shiftMask);
    ASSERT_TRUE(shifted);
    viewModel->preferences()->setHotkey(*shifted);
    EXPECT_EQ(text("shortcut-value-text"), QStringLiteral("^  +  \u21E7  +  R"));

    auto* sheet = harness.root()->findChild<QQuickWindow*>(QStringLiteral("hotkey-capture-sheet"));
    harness.click(item("shortcut-primary"));
    EXPECT_TRUE(state()->property("showingHotkeyCaptureSheet").toBool() && sheet->isVisible());
    EXPECT_EQ(viewModel->preferences()->selectedHotkey(), *shifted);
    state()->setProperty("showingHotkeyCaptureSheet", false);

    // Each mode option calls the view model, in either language.
    viewModel->preferences()->setAppLanguage(QStringLiteral("turkish"));
    EXPECT_TRUE(selected("shortcuts-mode-pushToTalk"));
    EXPECT_TRUE(textsIn(item("shortcuts-page")).contains("Hotkey basılı tutulurken kayıt alınır."));
    harness.shoot("pages2-shortcuts-tr");
    viewModel->preferences()->setAppLanguage(QStringLiteral("english"));
    harness.click(item("shortcuts-mode-toggle"));
    EXPECT_EQ(fakes.settingsStore->selectedRecordingTriggerMode(), RecordingTriggerMode::toggle);
    EXPECT_TRUE(selected("shortcuts-mode-toggle") && !selected("shortcuts-mode-pushToTalk"));
    EXPECT_TRUE(text("shortcuts-mode-description").startsWith(QStringLiteral("Press once to start recording")));
}

class SubscriptionPageViewTest : public ViewModelScene {
protected:
    // Lets the held account requests go on.
    void release() {
        fakes.account->held.setHolding(false);
        fakes.account->held.releaseAll();
        settle();
    }
    QStringList device() { return textsIn(item("account-device")); }
};

TEST_F(SubscriptionPageViewTest, OneSignInFromConnectThroughTheCodeToLinkedAndSignOutThenTheDisclosures) {
    ASSERT_TRUE(open(QStringLiteral("subscription"), "english", /*signedIn=*/false));
    EXPECT_EQ(text("account-status"), QStringLiteral("Missing"));
    EXPECT_FALSE(shows("account-code") || shows("account-address"));

    // While the start request runs the button reads Connecting and ignores clicks.
    fakes.account->held.setHolding(true);
    harness.click(item("account-connect"));
    EXPECT_TRUE(textsIn(item("account-connect")).contains("Connecting"));
    harness.click(item("account-connect"));
    EXPECT_EQ(fakes.account->calls, QStringList{"startDeviceLogin"});
    release();

    const QUrl address = FakeBackendAuthSessionManager::sampleChallenge().verificationURL;
    EXPECT_EQ(text("account-code"), QStringLiteral("Code: ABCD-EFGH"));
    EXPECT_EQ(text("account-address"), address.toString());
    EXPECT_FALSE(shows("account-connect"));
    fakes.navigator->opened.clear();
    harness.click(item("account-open-browser"));
    EXPECT_EQ(fakes.navigator->opened, QList<SystemDestination>{SystemDestination::address(address)});
    harness.shoot("pages2-account-code-pending-en");

    // A running check disables Check, not Open in Browser; its approval links this computer.
    fakes.account->held.setHolding(true);
    harness.click(item("account-check"));
    EXPECT_TRUE(!item("account-check")->isEnabled() && item("account-open-browser")->isEnabled());
    fakes.account->pollAnswer.push({QStringLiteral("approved"), true, QStringLiteral("device-7")});
    release();
    EXPECT_EQ(text("account-status"), QStringLiteral("Connected"));
    EXPECT_EQ(device(), (QStringList{"Device", "device-7"}));
    EXPECT_FALSE(shows("account-code"));
    harness.shoot("pages2-account-linked-en");

    harness.click(item("account-sign-out"));
    settle();
    EXPECT_TRUE(fakes.account->calls.contains("signOut"));
    EXPECT_EQ(device(), (QStringList{"Device", "No registered device"}));

    // In Turkish, each disclosure button raises its sheet's flag (each sheet is modal: it is closed
    // before the other button is pressed).
    viewModel->preferences()->setAppLanguage(QStringLiteral("turkish"));
    EXPECT_EQ(text("account-status"), QStringLiteral("Eksik"));
    harness.click(item("account-cloud-disclosure"));
    EXPECT_TRUE(viewModel->permissions()->showingGroqDisclosureSheet());
    viewModel->permissions()->setShowingGroqDisclosureSheet(false);
    harness.click(item("account-privacy"));
    EXPECT_TRUE(viewModel->permissions()->showingPrivacyDisclosureSheet());
    harness.shoot("pages2-account-not-linked-tr");
}

// From the keyboard, each step of the card hides the control that moved it on (Connect, Check, Sign
// Out): the first control of the step shown next takes the focus, and no hidden control has it
// meanwhile (a screen reader would name a control that is gone). While the sign-in waits, its
// automatic polls leave the focused control, and what it says, as they were.
TEST_F(SubscriptionPageViewTest, EachStepHandsTheFocusOnAndTheFocusStaysStillWhileTheSignInWaits) {
    ASSERT_TRUE(open(QStringLiteral("subscription"), "english", /*signedIn=*/false));
    harness.window().requestActivate();
    ASSERT_TRUE(waitUntil([&] { return QGuiApplication::focusWindow() == &harness.window(); }));
    const auto focused = [&] {
        QQuickItem* focus = harness.window().activeFocusItem();
        return focus && focus->isVisible() && focus->width() > 0 ? focus->objectName() : QString();
    };
    HiddenFocusWatch hiddenFocus(harness.window());
    const auto press = [&](const char* button, const char* next) {
        SCOPED_TRACE(button);
        item(button)->forceActiveFocus(Qt::TabFocusReason);
        hiddenFocus.clear();
        harness.pressKey(Qt::Key_Return);
        EXPECT_TRUE(waitUntil([&] { return focused() == next; })) << focused().toStdString();
        EXPECT_EQ(item("focus-ring")->parentItem(), item(next));
        EXPECT_TRUE(hiddenFocus.names().isEmpty()) << hiddenFocus.names().join(", ").toStdString();
    };
    press("account-connect", "account-open-browser");

    // An automatic poll: Check keeps the focus and its word.
    expectFocusStillThroughAPoll("account-check");
    EXPECT_TRUE(textsIn(item("account-check")).contains("Check"));
    EXPECT_EQ(fakes.account->calls.count("pollDeviceLogin(login-1)"), 1);

    fakes.account->pollAnswer.push({QStringLiteral("approved"), true, QStringLiteral("device-7")});
    press("account-check", "account-sign-out");
    press("account-sign-out", "account-connect");
    harness.shoot("pages2-account-focus-after-sign-out");
}

class InstructionsPageViewTest : public ViewModelScene {
protected:
    QQuickItem* openInstructions(const char* language = "english") {
        return open(QStringLiteral("instructions"), language);
    }
    QQuickItem* editor() { return item("instructions-text"); }
    QString draft() const { return viewModel->preferences()->customInstructionsDraft(); }
    bool canSave() { return item("instructions-save")->isEnabled(); }
    bool presetSelected(const char* preset) { return selected(QStringLiteral("instructions-preset-") + preset); }
    // Puts the cursor at `position` and types there, as the user would.
    void typeAt(qsizetype position, const QString& typed) {
        harness.click(editor());
        editor()->setProperty("cursorPosition", int(position));
        harness.typeText(typed);
    }
};

TEST_F(InstructionsPageViewTest, TypingEditsTheDraftWhichOutlivesASectionSwitchInTurkish) {
    ASSERT_TRUE(openInstructions("turkish"));
    EXPECT_TRUE(presetSelected("default"));
    EXPECT_DOUBLE_EQ(item("instructions-save")->opacity(), 0.55);
    typeAt(0, QStringLiteral("Keep it short"));
    EXPECT_EQ(draft(), QStringLiteral("Keep it short"));
    EXPECT_FALSE(presetSelected("default"));
    EXPECT_DOUBLE_EQ(item("instructions-save")->opacity(), 1.0);

    // The page is made anew on coming back.
    state()->selectSection(QStringLiteral("overview"));
    settle();
    state()->selectSection(QStringLiteral("instructions"));
    settle();
    EXPECT_EQ(editor()->property("text").toString(), QStringLiteral("Keep it short"));
    EXPECT_EQ(text("instructions-counter"), QStringLiteral("13 / 2000 karakter"));
    harness.shoot("pages2-instructions-draft-tr");
    // The preset texts stay English.
    harness.click(item("instructions-preset-shortAndClean"));
    EXPECT_TRUE(draft().startsWith(QStringLiteral("Keep sentences short.")));
}

TEST_F(InstructionsPageViewTest, PresetsSaveResetAndCleanupModesThenTheEditorKeepsTheFirst2000Characters) {
    ASSERT_TRUE(openInstructions());
    // Presets fill the draft; only Save stores it; a cleanup mode is stored at once.
    const QString professional =
        QStringLiteral("Use proper capitalization and punctuation. Keep the wording clear, concise, and professional.");
    harness.click(item("instructions-preset-professional"));
    EXPECT_EQ(editor()->property("text").toString(), professional);
    EXPECT_TRUE(presetSelected("professional"));
    EXPECT_FALSE(stored(SettingsKeys::customInstructions));

    harness.click(item("instructions-save"));
    EXPECT_EQ(message(), QStringLiteral("Instructions saved."));
    EXPECT_EQ(stored(SettingsKeys::customInstructions), professional);
    EXPECT_FALSE(canSave());
    // A trailing space unmarks the preset; Save stays off, the trim hides the space.
    typeAt(professional.size(), QStringLiteral(" "));
    EXPECT_FALSE(presetSelected("professional"));
    EXPECT_FALSE(canSave());

    harness.click(item("instructions-preset-default"));
    EXPECT_EQ(draft(), QString());
    harness.click(item("instructions-reset"));
    EXPECT_EQ(message(), QStringLiteral("Instructions reset."));
    EXPECT_EQ(stored(SettingsKeys::customInstructions), QString());
    EXPECT_TRUE(presetSelected("default"));

    harness.click(item("instructions-cleanup-email"));
    EXPECT_EQ(stored(SettingsKeys::selectedPostProcessingMode), QStringLiteral("email"));
    for (const char* mode : {"off", "default", "chat", "email", "rewrite"})
        EXPECT_EQ(selected(QStringLiteral("instructions-cleanup-") + mode), QLatin1String(mode) == "email") << mode;

    // A paste of 2500 letters keeps the first 2000.
    const QString letters = QStringLiteral("abcde").repeated(500);
    editor()->setProperty("text", letters);
    EXPECT_EQ(draft(), letters.left(2000));
    EXPECT_EQ(editor()->property("text").toString(), draft());

    // Emoji of several code points count once each: 2000 of them are taken whole.
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    const QString full = family.repeated(2000);
    editor()->setProperty("text", full);
    EXPECT_EQ(draft(), full);
    EXPECT_EQ(text("instructions-counter"), QStringLiteral("2000 / 2000 characters"));

    // Typed at the end, the character is refused and the editor snaps back; typed at the start,
    // it stays, the last character goes and the cursor stays after it.
    typeAt(full.size(), QStringLiteral("x"));
    EXPECT_EQ(draft(), full);
    EXPECT_EQ(editor()->property("text").toString(), full);
    typeAt(0, QStringLiteral("x"));
    EXPECT_EQ(draft(), QStringLiteral("x") + family.repeated(1999));
    EXPECT_EQ(editor()->property("text").toString(), draft());
    EXPECT_EQ(editor()->property("cursorPosition").toInt(), 1);
}

class AppearancePageViewTest : public ViewModelScene {
protected:
    bool marked(const char* card) { return selected(QStringLiteral("appearance-") + card); }
};

TEST_F(AppearancePageViewTest, EachCardCallsItsSetterAndTheMarksAndTheWindowFollowTheViewModel) {
    QQuickItem* page = open(QStringLiteral("appearance"));
    ASSERT_TRUE(page);
    EXPECT_TRUE(marked("theme-black") && marked("widget-currentWidget") && marked("language-english"));
    harness.shoot("pages2-appearance-black-en");

    QQuickItem* detail = item("main-window-detail");
    harness.click(item("appearance-theme-light"));
    EXPECT_EQ(stored(SettingsKeys::selectedDesktopTheme), QStringLiteral("light"));
    EXPECT_TRUE(marked("theme-light") && !marked("theme-black"));
    EXPECT_COLOR_NEAR(harness.colorAt(detail, {detail->width() - 20, detail->height() - 6}),
                      DesktopThemeColors::light().contentBackground);

    harness.click(item("appearance-widget-logoOnly"));
    EXPECT_EQ(stored(SettingsKeys::selectedWidgetAppearance), QStringLiteral("logoOnly"));
    EXPECT_TRUE(marked("widget-logoOnly") && !marked("widget-currentWidget"));
    harness.shoot("pages2-appearance-light-en");

    harness.click(item("appearance-language-turkish"));
    EXPECT_EQ(stored(SettingsKeys::selectedAppLanguage), QStringLiteral("turkish"));
    EXPECT_TRUE(marked("language-turkish") && !marked("language-english"));
    EXPECT_TRUE(textsIn(page).contains("Widget Görünümü") && !textsIn(page).contains("Widget Appearance"));
    harness.shoot("pages2-appearance-light-tr");
}

}  // namespace
}  // namespace quorvelle::test
