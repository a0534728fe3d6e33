#pragma once

#include "Models/TranscriptionTelemetryRecording.h"
#include "Services/Audio/AudioCapturing.h"
#include "Services/Audio/ResolvedAudioInputDeviceSelection.h"
#include "Services/Backend/BackendAuthSessionManaging.h"
#include "Services/Backend/ReleaseNotesFetching.h"
#include "Services/Backend/SoftwareUpdateChecking.h"
#include "Services/Delivery/ClipboardWriting.h"
#include "Services/Delivery/FocusChangeAwaiting.h"
#include "Services/Delivery/FocusedTargetInspecting.h"
#include "Services/Delivery/SyntheticPastePerforming.h"
#include "Services/Delivery/TextInserting.h"
#include "Services/Delivery/TextInsertionStrategyResolving.h"
#include "Services/Storage/DiagnosticsStoring.h"
#include "Services/Storage/SettingsStore.h"
#include "Services/Storage/TranscriptHistoryStoring.h"
#include "Services/System/AccessibilityPermissionControlling.h"
#include "Services/System/HotkeyMonitoring.h"
#include "Services/System/MicrophonePermissionControlling.h"
#include "Services/System/StartAtLoginControlling.h"
#include "Services/System/SystemNavigating.h"
#include "Services/Transcription/LocalModelManaging.h"
#include "Services/Transcription/Transcribing.h"
#include "ViewModel/SessionCoordinating.h"

#include <memory>

namespace quorvelle {

// Every service the view model works with, built once by the composition root (or by a test) and
// handed over whole. Each is held through its interface and shared, never copied: one object may
// stand in several fields. The view model builds no service of its own.
struct AppBootstrap {
    std::shared_ptr<SettingsStore> settingsStore;
    std::shared_ptr<MicrophonePermissionControlling> microphonePermissionController;
    std::shared_ptr<AccessibilityPermissionControlling> accessibilityPermissionController;
    // May be empty: sign-in is then refused.
    std::shared_ptr<BackendAuthSessionManaging> backendAuthSessionManager;
    std::shared_ptr<SystemNavigating> systemNavigator;
    std::shared_ptr<StartAtLoginControlling> startAtLoginController;
    std::shared_ptr<HotkeyMonitoring> hotkeyMonitor;
    std::shared_ptr<FocusedTargetInspecting> focusedTargetInspector;
    // May also offer AudioInputSelecting and AudioCaptureDiagnosing.
    std::shared_ptr<AudioCapturing> audioCapture;
    // May be empty: a recording then ends without a transcription.
    std::shared_ptr<Transcribing> transcriber;
    std::shared_ptr<TextInserting> textInserter;
    std::shared_ptr<ClipboardWriting> pasteboardWriter;
    std::shared_ptr<TextInsertionStrategyResolving> textInsertionStrategyResolver;
    std::shared_ptr<SyntheticPastePerforming> syntheticPastePerformer;
    std::shared_ptr<TranscriptionTelemetryRecording> transcriptionTelemetryRecorder;
    std::shared_ptr<DiagnosticsStoring> diagnosticsStore;
    std::shared_ptr<TranscriptHistoryStoring> transcriptHistoryStore;
    std::shared_ptr<SessionCoordinating> sessionCoordinator;
    std::shared_ptr<LocalModelManaging> localModelManager;
    std::shared_ptr<SoftwareUpdateChecking> softwareUpdateChecker;
    std::shared_ptr<ReleaseNotesFetching> releaseNotesFetcher;
    // The input-device lister, injected like every other service so that a view model built from
    // fakes never reaches the sound server.
    std::shared_ptr<AudioDeviceListing> audioDeviceService;
    // May be empty: the delivery then waits for a moving focus in short steps of its own clock.
    std::shared_ptr<FocusChangeAwaiting> focusChangeAwaiter;
};

}  // namespace quorvelle
