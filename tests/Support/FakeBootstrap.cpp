#include "FakeBootstrap.h"

#include "Services/Storage/SettingsKeys.h"

namespace quorvelle::test {

FakeBootstrap::FakeBootstrap()
    : settingsStore(std::make_shared<SettingsStore>(userDefaults, [this] { return clock.now(); })) {}

AppBootstrap FakeBootstrap::bootstrap() const {
    return {.settingsStore = settingsStore,
            .microphonePermissionController = microphonePermission,
            .accessibilityPermissionController = accessibilityPermission,
            .backendAuthSessionManager = account,
            .systemNavigator = navigator,
            .startAtLoginController = startAtLogin,
            .hotkeyMonitor = hotkeyMonitor,
            .focusedTargetInspector = inspector,
            .audioCapture = audioCapture,
            .transcriber = transcriber,
            .textInserter = textInserter,
            .pasteboardWriter = pasteboard,
            .textInsertionStrategyResolver = strategyResolver,
            .syntheticPastePerformer = pastePerformer,
            .transcriptionTelemetryRecorder = telemetry,
            .diagnosticsStore = diagnostics,
            .transcriptHistoryStore = history,
            .sessionCoordinator = sessionCoordinator,
            .localModelManager = localModels,
            .softwareUpdateChecker = updateChecker,
            .releaseNotesFetcher = releaseNotes,
            .audioDeviceService = audioDevices,
            .focusChangeAwaiter = focusChanges};
}

ViewModelEnvironment FakeBootstrap::environment() {
    ViewModelEnvironment environment = ViewModelEnvironment::live();
    environment.nowProvider = [this] { return clock.now(); };
    environment.uptimeNanosecondsProvider = [this] { return clock.uptimeNanoseconds(); };
    environment.recordingDurationSleep = recordingDurationSleeper.sleeper();
    environment.clipboardPasteVerificationSleep = pasteVerificationSleeper.sleeper();
    environment.focusSettleSleep = [this](double seconds, std::stop_token stopToken) {
        focusSettleWaits.append(seconds);
        return sleepFor(0, std::move(stopToken));
    };
    environment.backendAuthPollSleep = pollSleeper.sleeper();
    environment.terminalStateDismissSleep = dismissSleeper.sleeper();
    return environment;
}

void FakeBootstrap::makeReadyForCloudDictation() {
    account->storedSession = true;
    account->deviceID = QStringLiteral("device-1");
    userDefaults->setBool(QString::fromLatin1(SettingsKeys::acceptedGroqDisclosure), true);
    userDefaults->setBool(QString::fromLatin1(SettingsKeys::acceptedPrivacyDisclosure), true);
}

}  // namespace quorvelle::test
