#include "ViewModelTestSupport.h"

#include <functional>

namespace quorvelle::test {
namespace {

using Construction = ViewModelTest;

TEST_F(Construction, FirstLaunchGivesEveryDefault) {
    AppViewModel& vm = make();
    const PreferencesViewModel& prefs = *vm.preferences();
    EXPECT_EQ(prefs.selectedHotkey().keyCode, 49u);
    EXPECT_EQ(prefs.selectedHotkey().carbonModifiers, 0x1800u);
    EXPECT_EQ(prefs.selectedRecordingTriggerMode(), RecordingTriggerMode::pushToTalk);
    EXPECT_FALSE(prefs.selectedMicrophonePreference().has_value());
    EXPECT_TRUE(vm.dictionary()->isDictionaryReplacementEnabled());
    EXPECT_FALSE(prefs.isLastDictationAutoReplaceEnabled());
    EXPECT_TRUE(prefs.isClipboardFallbackEnabled());
    EXPECT_EQ(prefs.savedCustomInstructions(), QString());
    EXPECT_EQ(prefs.selectedPostProcessingMode(), TranscriptionPostProcessingMode::off);
    EXPECT_EQ(prefs.selectedTranscriptionLanguage(), TranscriptionLanguageOption::automatic());
    EXPECT_EQ(prefs.selectedWidgetAppearance(), WidgetAppearance::currentWidget);
    EXPECT_EQ(prefs.selectedDesktopTheme(), DesktopThemeOption::black);
    EXPECT_EQ(prefs.selectedAppLanguage(), AppLanguageOption::system);
    EXPECT_EQ(prefs.startAtLoginStatus(), StartAtLoginStatus::disabled);
    EXPECT_EQ(vm.localModels()->selectedTranscriptionBackend(), TranscriptionBackend::cloud);
    EXPECT_EQ(vm.localModels()->selectedLocalModelID(), LocalTranscriptionModelID::smallMultilingual);
    EXPECT_EQ(vm.localModels()->selectedLocalWhisperAccelerationMode(), LocalWhisperAccelerationMode::cpu);
    EXPECT_EQ(vm.session()->runtimeState(), SessionState::idle());
    EXPECT_FALSE(vm.session()->isHotkeyMonitoringActive());
    EXPECT_EQ(vm.session()->audioLevelSnapshot(), AudioLevelSnapshot::silent());
    EXPECT_TRUE(vm.account()->canCheckForUpdates());
    EXPECT_EQ(vm.account()->releaseNotesState(), ReleaseNotesLoadState::idle());
    EXPECT_FALSE(vm.inlineMessage().has_value());
    EXPECT_TRUE(vm.history()->transcriptHistoryEntries().isEmpty());
    EXPECT_EQ(vm.history()->overviewMetrics(), OverviewMetricsSnapshot{});
    // The accessibility permission is read as yes or no, never "not determined".
    EXPECT_EQ(vm.permissions()->onboardingStatus().accessibilityPermission, PermissionState::authorized);
}

TEST_F(Construction, StoredValuesAreMatchedExactly) {
    struct Row {
        const char* key;
        QString stored;
        std::function<bool(const AppViewModel&)> holds;
    };
    const auto theme = [](DesktopThemeOption t) {
        return [t](const AppViewModel& vm) { return vm.preferences()->selectedDesktopTheme() == t; };
    };
    const auto backend = [](TranscriptionBackend b) {
        return [b](const AppViewModel& vm) { return vm.localModels()->selectedTranscriptionBackend() == b; };
    };
    const auto appearance = [](WidgetAppearance a) {
        return [a](const AppViewModel& vm) { return vm.preferences()->selectedWidgetAppearance() == a; };
    };
    const auto language = [](AppLanguageOption l) {
        return [l](const AppViewModel& vm) { return vm.preferences()->selectedAppLanguage() == l; };
    };
    const auto cleanup = [](TranscriptionPostProcessingMode m) {
        return [m](const AppViewModel& vm) { return vm.preferences()->selectedPostProcessingMode() == m; };
    };
    const auto acceleration = [](LocalWhisperAccelerationMode m) {
        return [m](const AppViewModel& vm) { return vm.localModels()->selectedLocalWhisperAccelerationMode() == m; };
    };
    const auto spoken = [](std::optional<QString> code) {
        return
            [code](const AppViewModel& vm) { return vm.preferences()->selectedTranscriptionLanguage().code == code; };
    };
    using K = LocalWhisperAccelerationMode;
    const QList<Row> rows{
        {SettingsKeys::selectedDesktopTheme, "light", theme(DesktopThemeOption::light)},
        {SettingsKeys::selectedDesktopTheme, "Light", theme(DesktopThemeOption::black)},
        {SettingsKeys::selectedDesktopTheme, "quorvelle", theme(DesktopThemeOption::quorvelle)},
        {SettingsKeys::selectedTranscriptionBackend, "local", backend(TranscriptionBackend::local)},
        {SettingsKeys::selectedTranscriptionBackend, "Local", backend(TranscriptionBackend::cloud)},
        {SettingsKeys::selectedWidgetAppearance, "logoOnly", appearance(WidgetAppearance::logoOnly)},
        {SettingsKeys::selectedWidgetAppearance, "logoonly", appearance(WidgetAppearance::currentWidget)},
        {SettingsKeys::selectedAppLanguage, "turkish", language(AppLanguageOption::turkish)},
        {SettingsKeys::selectedAppLanguage, "English", language(AppLanguageOption::system)},
        {SettingsKeys::selectedPostProcessingMode, "email", cleanup(TranscriptionPostProcessingMode::email)},
        {SettingsKeys::selectedPostProcessingMode, "Email", cleanup(TranscriptionPostProcessingMode::off)},
        {SettingsKeys::selectedLocalWhisperAccelerationMode, "accelerated", acceleration(K::accelerated)},
        {SettingsKeys::selectedLocalWhisperAccelerationMode, "ACCELERATED", acceleration(K::cpu)},
        {SettingsKeys::selectedTranscriptionLanguage, "tr", spoken(QStringLiteral("tr"))},
        {SettingsKeys::selectedTranscriptionLanguage, "auto", spoken(std::nullopt)},
        {SettingsKeys::selectedTranscriptionLanguage, "xx", spoken(std::nullopt)},
    };
    for (const Row& row : rows) {
        storeString(row.key, row.stored);
        EXPECT_TRUE(row.holds(make())) << row.key << " = " << row.stored.toStdString();
        fakes.userDefaults->removeValue(QString::fromLatin1(row.key));
    }
}

TEST_F(Construction, InstructionsAreCutToTheirLimitThenTrimmed) {
    storeString(SettingsKeys::customInstructions, QStringLiteral("  ") + QString(1998, u'a') + QString(500, u'b'));
    AppViewModel& vm = make();
    EXPECT_EQ(vm.preferences()->savedCustomInstructions(), QString(1998, u'a'));
    EXPECT_EQ(vm.preferences()->customInstructionsDraft(), QString(1998, u'a'));
}

TEST_F(Construction, TheAccountStateComesFromTheSessionManager) {
    // A device id without an access token: the id shows, but there is no session.
    fakes.account->deviceID = QStringLiteral("device-7");
    fakes.account->storedSession = false;
    AppViewModel& vm = make();
    EXPECT_EQ(vm.account()->registeredBackendDeviceID(), QStringLiteral("device-7"));
    EXPECT_FALSE(vm.permissions()->onboardingStatus().hasAPIKey);

    AppBootstrap withoutAccount = fakes.bootstrap();
    withoutAccount.backendAuthSessionManager.reset();
    AppViewModel& unsigned_ = make(withoutAccount);
    EXPECT_FALSE(unsigned_.account()->registeredBackendDeviceID().has_value());
    EXPECT_FALSE(unsigned_.permissions()->onboardingStatus().hasAPIKey);
}

TEST_F(Construction, ReadsPermissionsDisclosuresAndLocalReadinessIntoOneRecord) {
    fakes.makeReadyForCloudDictation();
    fakes.microphonePermission->status = PermissionState::denied;
    fakes.accessibilityPermission->trusted = false;
    storeString(SettingsKeys::selectedTranscriptionBackend, QStringLiteral("local"));
    fakes.localModels->install(LocalTranscriptionModelID::smallMultilingual);
    const OnboardingStatus status = make().permissions()->onboardingStatus();
    EXPECT_EQ(status, (OnboardingStatus{PermissionState::denied, PermissionState::denied, true, true, true,
                                        TranscriptionBackend::local, true}));
    // Microphone is asked before accessibility.
    EXPECT_EQ(fakes.microphonePermission->calls.value(0), QStringLiteral("authorizationStatus"));
}

TEST_F(Construction, UsesOnlyTheGivenServices) {
    fakes.audioDevices->devices = {{7, QStringLiteral("usb-1"), QStringLiteral("USB Mic"), true}};
    fakes.settingsStore->setSelectedMicrophonePreference(AudioInputDevicePreference{"usb-1", "USB Mic"});
    AppViewModel& vm = make();
    // The snapshot lists the injected lister's devices, and the choice reached the injected capture.
    EXPECT_GT(fakes.audioDevices->callCount, 0);
    EXPECT_EQ(vm.diagnostics()->diagnosticsSnapshot().activeMicrophone, QStringLiteral("USB Mic"));
    ASSERT_FALSE(fakes.audioCapture->preferredDeviceUIDs.isEmpty());
    EXPECT_EQ(fakes.audioCapture->preferredDeviceUIDs.first(), QStringLiteral("usb-1"));
}

TEST_F(Construction, ACaptureServiceWithoutDiagnosticsKeepsTheEmptyDebugSnapshot) {
    AppBootstrap services = fakes.bootstrap();
    services.audioCapture = std::make_shared<FakePlainAudioCapture>();
    AppViewModel& vm = make(services);
    settle();
    EXPECT_EQ(vm.session()->audioCaptureDebugSnapshot(), AudioCaptureDebugSnapshot::empty());
    EXPECT_EQ(vm.diagnostics()->diagnosticsSnapshot().captureRouteSummary,
              QStringLiteral("Istek: System Default / Aktif: Bilinmiyor"));
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
