#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

using Construction = ViewModelTest;
namespace K = SettingsKeys;

TEST_F(Construction, AFirstLaunchUsesOnlyTheGivenServicesAndWaitsIdle) {
    fakes.audioDevices->devices = {{7, QStringLiteral("usb-1"), QStringLiteral("USB Mic"), true}};
    fakes.settingsStore->setSelectedMicrophonePreference(AudioInputDevicePreference{"usb-1", "USB Mic"});
    AppViewModel& vm = make();
    EXPECT_EQ(vm.diagnostics()->diagnosticsSnapshot().activeMicrophone, QStringLiteral("USB Mic"));
    EXPECT_EQ(fakes.audioCapture->preferredDeviceUIDs.value(0), QStringLiteral("usb-1"));
    EXPECT_FALSE(vm.preferences()->isLastDictationAutoReplaceEnabled());
    EXPECT_EQ(vm.session()->runtimeState(), SessionState::idle());
    EXPECT_FALSE(vm.session()->isHotkeyMonitoringActive());
    EXPECT_TRUE(vm.account()->canCheckForUpdates());
    // The accessibility permission is read as yes or no, never "not determined".
    EXPECT_EQ(vm.permissions()->onboardingStatus().accessibilityPermission, PermissionState::authorized);
}

TEST_F(Construction, ReadsPermissionsDisclosuresAndLocalReadinessIntoOneRecord) {
    fakes.makeReadyForCloudDictation();
    fakes.microphonePermission->status = PermissionState::denied;
    fakes.accessibilityPermission->trusted = false;
    storeString(K::selectedTranscriptionBackend, QStringLiteral("local"));
    fakes.localModels->install(LocalTranscriptionModelID::smallMultilingual);
    const OnboardingStatus status = make().permissions()->onboardingStatus();
    EXPECT_EQ(status, (OnboardingStatus{PermissionState::denied, PermissionState::denied, true, true, true,
                                        TranscriptionBackend::local, true}));
    EXPECT_EQ(fakes.microphonePermission->calls.value(0), QStringLiteral("authorizationStatus"));
}

using SettingsReload = ViewModelTest;

TEST_F(SettingsReload, ReadsChangesBackAndDropsAnUnsavedDraft) {
    AppViewModel& vm = make();
    vm.preferences()->setCustomInstructionsDraft(QStringLiteral("unsaved"));
    storeString(SettingsKeys::customInstructions, QStringLiteral("  ") + QString(1998, u'a') + QString(500, u'b'));
    storeString(SettingsKeys::selectedAppLanguage, QStringLiteral("turkish"));
    storeString(SettingsKeys::selectedDesktopTheme, QStringLiteral("light"));
    storeString(SettingsKeys::selectedTranscriptionBackend, QStringLiteral("local"));
    storeString(SettingsKeys::selectedTranscriptionLanguage, QStringLiteral("xx"));  // no such language
    fakes.startAtLogin->status = StartAtLoginStatus::requiresApproval;
    fakes.history->entries = {TranscriptHistoryEntry{QUuid::createUuid(), fakes.clock.now(), "a b c", 60, 3,
                                                     TranscriptHistoryCompletionKind::inserted}};
    QSignalSpy strings(&vm, &AppViewModel::stringsChanged);
    vm.reloadSettings();
    EXPECT_EQ(vm.preferences()->customInstructionsDraft(), QString(1998, u'a'));
    EXPECT_EQ(vm.preferences()->savedCustomInstructions(), QString(1998, u'a'));
    EXPECT_EQ(vm.preferences()->startAtLoginStatus(), StartAtLoginStatus::requiresApproval);
    EXPECT_EQ(vm.languageCode(), QStringLiteral("tr"));
    EXPECT_EQ(vm.preferences()->selectedDesktopTheme(), DesktopThemeOption::light);
    EXPECT_EQ(vm.localModels()->selectedTranscriptionBackend(), TranscriptionBackend::local);
    EXPECT_EQ(vm.preferences()->selectedTranscriptionLanguage(), TranscriptionLanguageOption::automatic());
    EXPECT_EQ(strings.count(), 1);
    EXPECT_EQ(vm.history()->overviewMetrics(), (OverviewMetricsSnapshot{3, 60, 1, 3}));
}

}  // namespace
}  // namespace quorvelle::test
