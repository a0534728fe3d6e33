#pragma once

#include "Models/AudioInputDevicePreference.h"
#include "Models/DictionaryReplacementEntry.h"
#include "Models/HotkeyShortcut.h"
#include "Models/LocalTranscriptionModelID.h"
#include "Models/RecordingTriggerMode.h"
#include "Models/TranscriptionPostProcessingMode.h"
#include "Models/VocabularyHintEntry.h"
#include "Models/VoiceSnippet.h"
#include "Services/Storage/SettingsKeys.h"
#include "Services/Storage/UserDefaults.h"

#include <QDateTime>
#include <QList>

#include <functional>
#include <memory>
#include <optional>

namespace quorvelle {

// Typed access to the settings in the user defaults. Holds no cache: every getter reads anew
// and every setter writes at once. A missing or damaged value reads as the setting's default and
// is left in place; nothing is written back on reading. Copies share the same defaults.
class SettingsStore {
public:
    using Clock = std::function<QDateTime()>;

    // The clock stamps list entries stored without an update time.
    explicit SettingsStore(std::shared_ptr<UserDefaults> userDefaults, Clock now = &QDateTime::currentDateTimeUtc);

    const std::shared_ptr<UserDefaults>& userDefaults() const { return m_userDefaults; }

    // A stored combination that the validation refuses gives the default, Control + Alt + Space.
    HotkeyShortcut selectedHotkey() const;
    RecordingTriggerMode selectedRecordingTriggerMode() const;
    std::optional<AudioInputDevicePreference> selectedMicrophonePreference() const;
    bool dictionaryReplacementEnabled() const;
    bool clipboardFallbackEnabled() const;
    // English-only models read as the multilingual model of their size.
    LocalTranscriptionModelID selectedLocalModelID() const;
    QList<VocabularyHintEntry> vocabularyHintEntries() const;
    QList<VoiceSnippet> snippets() const;
    QList<DictionaryReplacementEntry> dictionaryEntries() const;

    void setSelectedHotkey(const HotkeyShortcut& shortcut);
    void setSelectedRecordingTriggerMode(RecordingTriggerMode mode);
    // No preference removes the key: the system default input.
    void setSelectedMicrophonePreference(const std::optional<AudioInputDevicePreference>& preference);
    void setSelectedLocalModelID(LocalTranscriptionModelID model);
    void setSelectedPostProcessingMode(TranscriptionPostProcessingMode mode);
    // A stored list holding entries that do not decode (or a value that is no list) is kept aside
    // first, merged into the one "<key>.unreadable-<UTC time>" copy of the key; when the defaults
    // refuse that copy, or the list itself, the stored list stays and the result is false.
    bool setSnippets(const QList<VoiceSnippet>& snippets);
    bool setDictionaryEntries(const QList<DictionaryReplacementEntry>& entries);

private:
    std::optional<QByteArray> storedData(const char* key) const;
    bool switchValue(const char* key) const;

    std::shared_ptr<UserDefaults> m_userDefaults;
    Clock m_now;
};

}  // namespace quorvelle
