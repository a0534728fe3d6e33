// The shortcuts page in the dashboard over the view model built from fakes: the shortcut card,
// the capture sheet it opens, the recording-mode options and both languages.
#include "Models/HotkeyShortcut.h"
#include "PageScene.h"
#include "Services/System/HotkeyMonitorError.h"

#include <QQuickWindow>

namespace quorvelle::test {
namespace {

using ShortcutsPageViewTest = PageScene;

TEST_F(ShortcutsPageViewTest, TheCardShowsTheShortcutInForceAndItsPillWhetherOrNotTheMonitorRuns) {
    fakes.makeReadyForCloudDictation();
    fakes.hotkeyMonitor->startOutcome.failAlways(HotkeyMonitorError({}, 10));
    ASSERT_TRUE(open(QStringLiteral("shortcuts")));
    EXPECT_FALSE(fakes.hotkeyMonitor->isMonitoring());
    EXPECT_EQ(text("shortcut-value-text"), QStringLiteral("^  +  Alt  +  Space"));
    EXPECT_EQ(textsIn(item("shortcut-status")), QStringList{"Active"});
    EXPECT_EQ(textsIn(item("shortcut-primary")), QStringList{"Change"});
    EXPECT_FALSE(shows("shortcut-secondary"));
    harness.shoot("pages2-shortcuts-en");

    const quint32 r = HotkeyShortcut::suggestions().last().keyCode;
    const auto shifted = HotkeyShortcut::fromKeyPress(r, HotkeyShortcut::controlMask | HotkeyShortcut::shiftMask);
    ASSERT_TRUE(shifted);
    viewModel->preferences()->setHotkey(*shifted);
    EXPECT_EQ(text("shortcut-value-text"), QStringLiteral("^  +  \u21E7  +  R"));
}

TEST_F(ShortcutsPageViewTest, ChangeOnlyRaisesTheWindowsSheetFlag) {
    fakes.makeReadyForCloudDictation();
    ASSERT_TRUE(open(QStringLiteral("shortcuts")));
    auto* sheet = harness.root()->findChild<QQuickWindow*>(QStringLiteral("hotkey-capture-sheet"));
    ASSERT_TRUE(sheet);
    EXPECT_FALSE(sheet->isVisible());
    const QString before = viewModel->preferences()->selectedHotkey().displayTitle;
    harness.click(item("shortcut-primary"));
    EXPECT_TRUE(state()->property("showingHotkeyCaptureSheet").toBool());
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(viewModel->preferences()->selectedHotkey().displayTitle, before);
    state()->setProperty("showingHotkeyCaptureSheet", false);
}

TEST_F(ShortcutsPageViewTest, EachModeOptionCallsTheViewModelEvenForTheModeInForce) {
    fakes.makeReadyForCloudDictation();
    ASSERT_TRUE(open(QStringLiteral("shortcuts")));
    QQuickItem* pushToTalk = item("shortcuts-mode-pushToTalk");
    QQuickItem* toggle = item("shortcuts-mode-toggle");
    EXPECT_TRUE(pushToTalk->property("isSelected").toBool());
    EXPECT_FALSE(toggle->property("isSelected").toBool());
    EXPECT_EQ(text("shortcuts-mode-description"), QStringLiteral("Record while the hotkey is held."));

    harness.click(toggle);
    EXPECT_EQ(viewModel->preferences()->selectedRecordingTriggerMode(), RecordingTriggerMode::toggle);
    EXPECT_EQ(fakes.settingsStore->selectedRecordingTriggerMode(), RecordingTriggerMode::toggle);
    EXPECT_TRUE(toggle->property("isSelected").toBool());
    EXPECT_FALSE(pushToTalk->property("isSelected").toBool());
    EXPECT_EQ(text("shortcuts-mode-description"),
              QStringLiteral("Press once to start recording, press again to stop."));
    EXPECT_TRUE(message().startsWith(QStringLiteral("Recording mode updated: "))) << message().toStdString();

    harness.click(toggle);
    EXPECT_TRUE(message().startsWith(QStringLiteral("Recording mode already active: "))) << message().toStdString();
    EXPECT_TRUE(toggle->property("isSelected").toBool());
    harness.shoot("pages2-shortcuts-toggle-en");
}

TEST_F(ShortcutsPageViewTest, InTurkishEveryTextSwitchesButToggleKeepsItsName) {
    fakes.makeReadyForCloudDictation();
    QQuickItem* page = open(QStringLiteral("shortcuts"), "turkish");
    ASSERT_TRUE(page);
    const QStringList texts = textsIn(page);
    for (const char* expected :
         {"Kısayollar nasıl çalışır", "Global Kısayol", "Aktif", "Değiştir", "Kayıt Modu", "Basılı tut", "Toggle",
          "Başlatmak için bir kez, durdurmak için tekrar basın.", "Hotkey basılı tutulurken kayıt alınır."})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_FALSE(texts.contains(QStringLiteral("Active")));
    harness.shoot("pages2-shortcuts-tr");
}

}  // namespace
}  // namespace quorvelle::test
