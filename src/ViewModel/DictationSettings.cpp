#include "ViewModel/DictationSettings.h"

#include "ViewModel/DictionaryViewModel.h"
#include "ViewModel/LocalModelsViewModel.h"
#include "ViewModel/PermissionsViewModel.h"
#include "ViewModel/PreferencesViewModel.h"

namespace quorvelle {

DictationSettings collectDictationSettings(const PreferencesViewModel& preferences,
                                           const DictionaryViewModel& dictionary,
                                           const PermissionsViewModel& permissions,
                                           const LocalModelsViewModel& localModels) {
    DictationSettings settings;
    settings.hotkey = preferences.selectedHotkey();
    settings.triggerMode = preferences.selectedRecordingTriggerMode();
    settings.onboardingStatus = permissions.onboardingStatus();
    settings.backend = localModels.selectedTranscriptionBackend();
    settings.localRuntimeAvailability = localModels.localRuntimeAvailability();
    settings.isLocalModeReady = settings.backend == TranscriptionBackend::local && localModels.isLocalModeReady();
    settings.isClipboardFallbackEnabled = preferences.isClipboardFallbackEnabled();
    settings.isLastDictationAutoReplaceEnabled = preferences.isLastDictationAutoReplaceEnabled();
    settings.savedCustomInstructions = preferences.savedCustomInstructions();
    settings.vocabularyHintEntries = dictionary.vocabularyHintEntries();
    settings.postProcessingMode = preferences.selectedPostProcessingMode();
    settings.language = preferences.selectedTranscriptionLanguage();
    settings.isDictionaryReplacementEnabled = dictionary.isDictionaryReplacementEnabled();
    settings.dictionaryEntries = dictionary.dictionaryEntries();
    settings.snippets = dictionary.snippets();
    return settings;
}

}  // namespace quorvelle
