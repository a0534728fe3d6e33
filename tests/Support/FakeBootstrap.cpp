#include "FakeBootstrap.h"

#include "Services/Storage/SettingsKeys.h"

namespace quorvelle::test {

FakeBootstrap::FakeBootstrap()
    : settingsStore(std::make_shared<SettingsStore>(userDefaults, [this] { return clock.now(); })) {}

AppBootstrap FakeBootstrap::bootstrap() const {
    AppBootstrap services;
    services.settingsStore = settingsStore;
    services.microphonePermissionController = microphonePermission;
    services.accessibilityPermissionController = accessibilityPermission;
    services.backendAuthSessionManager = account;
    services.systemNavigator = navigator;
    services.startAtLoginController = startAtLogin;
    services.hotkeyMonitor = hotkeyMonitor;
    services.focusedTargetInspector = inspector;
    services.audioCapture = audioCapture;
    services.transcriber = transcriber;
    services.textInserter = textInserter;
    services.pasteboardWriter = pasteboard;
    services.textInsertionStrategyResolver = strategyResolver;
    services.syntheticPastePerformer = pastePerformer;
    services.transcriptionTelemetryRecorder = telemetry;
    services.diagnosticsStore = diagnostics;
    services.transcriptHistoryStore = history;
    services.sessionCoordinator = sessionCoordinator;
    services.localModelManager = localModels;
    services.softwareUpdateChecker = updateChecker;
    services.releaseNotesFetcher = releaseNotes;
    services.audioDeviceService = audioDevices;
    return services;
}

ViewModelEnvironment FakeBootstrap::environment() {
    ViewModelEnvironment environment = ViewModelEnvironment::live();
    environment.nowProvider = clock.nowProvider();
    environment.uptimeNanosecondsProvider = clock.uptimeProvider();
    environment.recordingDurationSleep = recordingDurationSleeper.sleeper();
    environment.clipboardPasteVerificationSleep = pasteVerificationSleeper.sleeper();
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
