#pragma once

#include "AudioFakes.h"
#include "BackendServiceFakes.h"
#include "DeliveryServiceFakes.h"
#include "ManualTime.h"
#include "Services/Storage/InMemoryUserDefaults.h"
#include "StorageFakes.h"
#include "SystemFakes.h"
#include "TranscriptionFakes.h"
#include "ViewModel/AppBootstrap.h"
#include "ViewModel/SessionCoordinator.h"
#include "ViewModel/ViewModelEnvironment.h"

#include <memory>

namespace quorvelle::test {

// Every service of the view model as a fake, plus in-memory settings, a manual clock and manual
// sleepers. Change the fakes (or replace a field of bootstrap()) before building the view model.
class FakeBootstrap {
public:
    FakeBootstrap();
    // The settings clock refers to this object: it stays where it was made.
    FakeBootstrap(const FakeBootstrap&) = delete;
    FakeBootstrap& operator=(const FakeBootstrap&) = delete;

    std::shared_ptr<InMemoryUserDefaults> userDefaults = std::make_shared<InMemoryUserDefaults>();
    std::shared_ptr<SettingsStore> settingsStore;
    std::shared_ptr<FakeMicrophonePermissionController> microphonePermission =
        std::make_shared<FakeMicrophonePermissionController>();
    std::shared_ptr<FakeAccessibilityPermissionController> accessibilityPermission =
        std::make_shared<FakeAccessibilityPermissionController>();
    std::shared_ptr<FakeBackendAuthSessionManager> account = std::make_shared<FakeBackendAuthSessionManager>();
    std::shared_ptr<FakeSystemNavigator> navigator = std::make_shared<FakeSystemNavigator>();
    std::shared_ptr<FakeStartAtLoginController> startAtLogin = std::make_shared<FakeStartAtLoginController>();
    std::shared_ptr<FakeHotkeyMonitor> hotkeyMonitor = std::make_shared<FakeHotkeyMonitor>();
    std::shared_ptr<FakeFocusedTargetInspector> inspector = std::make_shared<FakeFocusedTargetInspector>();
    std::shared_ptr<FakeAudioCapture> audioCapture = std::make_shared<FakeAudioCapture>();
    std::shared_ptr<FakeTranscriber> transcriber = std::make_shared<FakeTranscriber>();
    std::shared_ptr<FakeTextInserter> textInserter = std::make_shared<FakeTextInserter>();
    std::shared_ptr<FakePasteboardWriter> pasteboard = std::make_shared<FakePasteboardWriter>();
    std::shared_ptr<FakeTextInsertionStrategyResolver> strategyResolver =
        std::make_shared<FakeTextInsertionStrategyResolver>();
    std::shared_ptr<FakeSyntheticPastePerformer> pastePerformer = std::make_shared<FakeSyntheticPastePerformer>();
    std::shared_ptr<FakeTelemetryRecorder> telemetry = std::make_shared<FakeTelemetryRecorder>();
    std::shared_ptr<FakeDiagnosticsStore> diagnostics = std::make_shared<FakeDiagnosticsStore>();
    std::shared_ptr<FakeTranscriptHistoryStore> history = std::make_shared<FakeTranscriptHistoryStore>();
    std::shared_ptr<SessionCoordinator> sessionCoordinator = std::make_shared<SessionCoordinator>();
    std::shared_ptr<FakeLocalModelManager> localModels = std::make_shared<FakeLocalModelManager>();
    std::shared_ptr<FakeSoftwareUpdateChecker> updateChecker = std::make_shared<FakeSoftwareUpdateChecker>();
    std::shared_ptr<FakeReleaseNotesFetcher> releaseNotes = std::make_shared<FakeReleaseNotesFetcher>();
    std::shared_ptr<FakeAudioDeviceLister> audioDevices = std::make_shared<FakeAudioDeviceLister>();
    std::shared_ptr<FakeFocusChangeAwaiter> focusChanges = std::make_shared<FakeFocusChangeAwaiter>();

    ManualClock clock;
    ManualSleeper recordingDurationSleeper;
    ManualSleeper pasteVerificationSleeper;
    // The delivery's short waits for the focus: each ends on the next turn of the event loop.
    QList<double> focusSettleWaits;
    ManualSleeper pollSleeper;
    ManualSleeper dismissSleeper;

    // The container over the fakes above.
    AppBootstrap bootstrap() const;
    // The clocks and sleepers above, with the live constants and dismissal table.
    ViewModelEnvironment environment();

    // Signed in, both disclosures accepted, cloud mode: dictation can run.
    void makeReadyForCloudDictation();
};

}  // namespace quorvelle::test
