// The shortcuts page: the shortcut card, its capture sheet and the recording-mode options.
#include "../Dashboard/ViewModelScene.h"
#include "Models/HotkeyShortcut.h"
#include "Services/System/HotkeyMonitorError.h"

#include <QQuickWindow>

namespace quorvelle::test {
namespace {

using ShortcutsPageViewTest = ViewModelScene;

TEST_F(ShortcutsPageViewTest, TheCardShowsTheShortcutInForceAndChangeOnlyOpensTheWindowsSheet) {
    fakes.makeReadyForCloudDictation();
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
}

TEST_F(ShortcutsPageViewTest, EachModeOptionCallsTheViewModelInEitherLanguage) {
    fakes.makeReadyForCloudDictation();
    QQuickItem* page = open(QStringLiteral("shortcuts"), "turkish");
    ASSERT_TRUE(page);
    EXPECT_TRUE(selected("shortcuts-mode-pushToTalk"));
    expectTexts(page, {"Global Kısayol", "Aktif", "Değiştir", "Basılı tut", "Toggle",
                       "Hotkey basılı tutulurken kayıt alınır."});
    harness.shoot("pages2-shortcuts-tr");

    viewModel->preferences()->setAppLanguage(QStringLiteral("english"));
    harness.click(item("shortcuts-mode-toggle"));
    EXPECT_EQ(fakes.settingsStore->selectedRecordingTriggerMode(), RecordingTriggerMode::toggle);
    EXPECT_TRUE(selected("shortcuts-mode-toggle") && !selected("shortcuts-mode-pushToTalk"));
    EXPECT_TRUE(text("shortcuts-mode-description").startsWith(QStringLiteral("Press once to start recording")));
}

}  // namespace
}  // namespace quorvelle::test
