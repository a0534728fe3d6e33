#pragma once

#include "Models/DictionaryReplacementEntry.h"
#include "Models/HotkeyShortcut.h"
#include "Models/OnboardingStatus.h"
#include "Models/RecordingTriggerMode.h"
#include "Models/TranscriptionBackend.h"
#include "Models/TranscriptionLanguageOption.h"
#include "Models/TranscriptionPostProcessingMode.h"
#include "Models/VocabularyHintEntry.h"
#include "Models/VoiceSnippet.h"
#include "Services/Transcription/LocalRuntimeAvailability.h"
#include "Services/Transcription/LocalTranscriptionRuntimeError.h"

#include <QList>
#include <QString>

#include <optional>

namespace quorvelle {

class DictionaryViewModel;
class LocalModelsViewModel;
class PermissionsViewModel;
class PreferencesViewModel;

// What one dictation reads of the other parts, taken whenever a step needs it so that every step
// sees the settings as they are at that moment.
struct DictationSettings {
    HotkeyShortcut hotkey;
    RecordingTriggerMode triggerMode = RecordingTriggerMode::pushToTalk;
    OnboardingStatus onboardingStatus;
    TranscriptionBackend backend = TranscriptionBackend::cloud;
    LocalRuntimeAvailability localRuntimeAvailability = LocalRuntimeAvailability::ready();
    // Only asked in local mode (it reads the model registry).
    bool isLocalModeReady = false;
    bool isClipboardFallbackEnabled = true;
    bool isLastDictationAutoReplaceEnabled = false;
    QString savedCustomInstructions;
    QList<VocabularyHintEntry> vocabularyHintEntries;
    TranscriptionPostProcessingMode postProcessingMode = TranscriptionPostProcessingMode::off;
    TranscriptionLanguageOption language = TranscriptionLanguageOption::automatic();
    bool isDictionaryReplacementEnabled = true;
    QList<DictionaryReplacementEntry> dictionaryEntries;
    QList<VoiceSnippet> snippets;
};

DictationSettings collectDictationSettings(const PreferencesViewModel& preferences,
                                           const DictionaryViewModel& dictionary,
                                           const PermissionsViewModel& permissions,
                                           const LocalModelsViewModel& localModels);

// What an on-device run leaves in the local-model details; an empty field is left as it is.
struct LocalRunReport {
    std::optional<std::optional<LocalTranscriptionDiagnostics>> diagnostics;
    std::optional<std::optional<QString>> runtimeError;

    // A run that produced text: every detail is cleared.
    static LocalRunReport cleared() {
        return {std::optional<LocalTranscriptionDiagnostics>(), std::optional<QString>()};
    }
    friend bool operator==(const LocalRunReport&, const LocalRunReport&) = default;
};

}  // namespace quorvelle
