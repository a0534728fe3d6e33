// The popover on the real view model over fake services, through the adapter the host hands it.
#include "FakeBootstrap.h"
#include "FakePopoverViewModel.h"
#include "ViewHarness.h"
#include "ViewModel/AppViewModel.h"
#include "Views/MenuBar/PopoverViewModelAdapter.h"

#include <gtest/gtest.h>

#include <QQmlContext>

namespace quorvelle::test {
namespace {

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
