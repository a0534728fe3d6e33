#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

using Construction = ViewModelTest;
namespace K = SettingsKeys;

TEST_F(Construction, AFirstLaunchUsesOnlyTheGivenServicesAndWaitsIdle) {
    fakes.audioDevices->devices = {{7, QStringLiteral("usb-1"), QStringLiteral("USB Mic"), true}};
    fakes.settingsStore->setSelectedMicrophonePreference(AudioInputDevicePreference{"usb-1", "USB Mic"});
    AppViewModel& vm = make();
    // The snapshot lists the injected lister's devices, and the choice reached the injected capture.
    EXPECT_GT(fakes.audioDevices->callCount, 0);
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
    // Microphone is asked before accessibility.
    EXPECT_EQ(fakes.microphonePermission->calls.value(0), QStringLiteral("authorizationStatus"));
}

TEST_F(Construction, TheMirrorStartsFromTheHolderAndFollowsItOneTurnLater) {
    const QuorvelleError noSpeech(QuorvelleErrorCase::noSpeechDetected);
    fakes.sessionCoordinator->fail(noSpeech);
    AppViewModel& vm = make();
    EXPECT_EQ(vm.session()->runtimeState(), SessionState::error(noSpeech));
    fakes.sessionCoordinator->beginRecording();
    EXPECT_EQ(vm.session()->runtimeState(), SessionState::error(noSpeech));
    settle();
    EXPECT_EQ(vm.session()->runtimeState(), SessionState::recording());
    EXPECT_EQ(vm.diagnostics()->diagnosticsSnapshot().runtimeState, SessionState::recording());
}

}  // namespace
}  // namespace quorvelle::test
