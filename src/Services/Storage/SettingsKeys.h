#pragma once

// Every quorvelle. key of the user defaults, with the form its value is stored in.
namespace quorvelle::SettingsKeys {

// Read and written through SettingsStore.
inline constexpr const char* selectedHotkey = "quorvelle.selectedHotkey";                              // JSON data
inline constexpr const char* selectedRecordingTriggerMode = "quorvelle.selectedRecordingTriggerMode";  // JSON data
inline constexpr const char* selectedMicrophonePreference = "quorvelle.selectedMicrophonePreference";  // JSON data
inline constexpr const char* dictionaryReplacementEnabled = "quorvelle.dictionaryReplacementEnabled";  // boolean
inline constexpr const char* clipboardFallbackEnabled = "quorvelle.clipboardFallbackEnabled";          // boolean
inline constexpr const char* selectedLocalModelID = "quorvelle.selectedLocalModelID";                  // string
inline constexpr const char* vocabularyHintEntries = "quorvelle.vocabularyHintEntries";                // JSON data
inline constexpr const char* snippets = "quorvelle.snippets";                                          // JSON data
inline constexpr const char* dictionaryEntries = "quorvelle.dictionaryEntries";                        // JSON data
inline constexpr const char* selectedPostProcessingMode = "quorvelle.selectedPostProcessingMode";      // string

// Read or written directly by the services that own them.
inline constexpr const char* diagnosticsEvents = "quorvelle.diagnostics.events";                       // JSON data
inline constexpr const char* diagnosticsLifecycleMark = "quorvelle.diagnostics.lifecycleMark";         // JSON data
inline constexpr const char* selectedTranscriptionBackend = "quorvelle.selectedTranscriptionBackend";  // string
inline constexpr const char* selectedLocalWhisperAccelerationMode =
    "quorvelle.selectedLocalWhisperAccelerationMode";                                                        // string
inline constexpr const char* captureDiagnosticFileLogEnabled = "quorvelle.captureDiagnosticFileLogEnabled";  // boolean

// Kept by the dictation session itself.
inline constexpr const char* customInstructions = "quorvelle.customInstructions";                            // string
inline constexpr const char* lastDictationAutoReplaceEnabled = "quorvelle.lastDictationAutoReplaceEnabled";  // boolean
inline constexpr const char* selectedTranscriptionLanguage =
    "quorvelle.selectedTranscriptionLanguage";                                                   // string, "auto"
inline constexpr const char* selectedWidgetAppearance = "quorvelle.selectedWidgetAppearance";    // string
inline constexpr const char* selectedDesktopTheme = "quorvelle.selectedDesktopTheme";            // string
inline constexpr const char* selectedAppLanguage = "quorvelle.selectedAppLanguage";              // string
inline constexpr const char* acceptedGroqDisclosure = "quorvelle.acceptedGroqDisclosure";        // boolean
inline constexpr const char* acceptedPrivacyDisclosure = "quorvelle.acceptedPrivacyDisclosure";  // boolean

}  // namespace quorvelle::SettingsKeys
