#pragma once

#include "Models/AppLanguageOption.h"
#include "Models/AudioInputDevicePreference.h"
#include "Models/DesktopThemeOption.h"
#include "Models/HotkeyShortcut.h"
#include "Models/RecordingTriggerMode.h"
#include "Models/StartAtLoginStatus.h"
#include "Models/TranscriptionLanguageOption.h"
#include "Models/TranscriptionPostProcessingMode.h"
#include "Models/WidgetAppearance.h"
#include "Support/QmlValues.h"
#include "ViewModel/AppBootstrap.h"
#include "ViewModel/RecordListModel.h"
#include "ViewModel/ViewModelContext.h"

#include <QObject>

#include <memory>
#include <optional>

namespace quorvelle {

// The user's settings of dictation and appearance, and start at login.
class PreferencesViewModel : public QObject {
    Q_OBJECT

    // The global key combination.
    Q_PROPERTY(quorvelle::HotkeyShortcut selectedHotkey READ selectedHotkey NOTIFY selectedHotkeyChanged)
    // Push-to-talk or toggle.
    Q_PROPERTY(QString selectedRecordingTriggerMode READ selectedRecordingTriggerModeName NOTIFY
                   selectedRecordingTriggerModeChanged)
    // The stored microphone choice; absent is the system default input.
    Q_PROPERTY(QVariant selectedMicrophonePreference READ selectedMicrophonePreferenceValue NOTIFY
                   selectedMicrophonePreferenceChanged)
    // A new dictation may replace the text of the previous direct insertion.
    Q_PROPERTY(bool isLastDictationAutoReplaceEnabled READ isLastDictationAutoReplaceEnabled NOTIFY
                   isLastDictationAutoReplaceEnabledChanged)
    // Pasting through the clipboard is allowed.
    Q_PROPERTY(bool isClipboardFallbackEnabled READ isClipboardFallbackEnabled NOTIFY isClipboardFallbackEnabledChanged)
    // The saved custom instructions.
    Q_PROPERTY(QString savedCustomInstructions READ savedCustomInstructions NOTIFY savedCustomInstructionsChanged)
    // The instructions being edited; the views write it.
    Q_PROPERTY(QString customInstructionsDraft READ customInstructionsDraft WRITE setCustomInstructionsDraft NOTIFY
                   customInstructionsDraftChanged)
    // The cleanup mode.
    Q_PROPERTY(
        QString selectedPostProcessingMode READ selectedPostProcessingModeName NOTIFY selectedPostProcessingModeChanged)
    // The language sent with requests; no code means detection.
    Q_PROPERTY(quorvelle::TranscriptionLanguageOption selectedTranscriptionLanguage READ selectedTranscriptionLanguage
                   NOTIFY selectedTranscriptionLanguageChanged)
    // The overlay's look.
    Q_PROPERTY(
        QString selectedWidgetAppearance READ selectedWidgetAppearanceName NOTIFY selectedWidgetAppearanceChanged)
    // The dashboard theme.
    Q_PROPERTY(QString selectedDesktopTheme READ selectedDesktopThemeName NOTIFY selectedDesktopThemeChanged)
    // The interface language choice.
    Q_PROPERTY(QString selectedAppLanguage READ selectedAppLanguageName NOTIFY selectedAppLanguageChanged)
    // The working instructions differ from the saved ones (after the cut and the trim).
    Q_PROPERTY(
        bool hasUnsavedCustomInstructions READ hasUnsavedCustomInstructions NOTIFY customInstructionsDraftChanged)
    // The preset combinations other than the selected one.
    Q_PROPERTY(quorvelle::RecordListModel* hotkeySuggestions READ hotkeySuggestionsModel CONSTANT)
    // Whether the program starts with the desktop session.
    Q_PROPERTY(QString startAtLoginStatus READ startAtLoginStatusName NOTIFY startAtLoginStatusChanged)

public:
    // Instructions longer than this are cut when read back.
    static constexpr qsizetype customInstructionsLimit = 2000;

    PreferencesViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent = nullptr);

    const HotkeyShortcut& selectedHotkey() const { return m_selectedHotkey; }
    RecordingTriggerMode selectedRecordingTriggerMode() const { return m_selectedRecordingTriggerMode; }
    // The stored microphone choice; none is the system default input.
    const std::optional<AudioInputDevicePreference>& selectedMicrophonePreference() const {
        return m_selectedMicrophonePreference;
    }
    bool isLastDictationAutoReplaceEnabled() const { return m_isLastDictationAutoReplaceEnabled; }
    bool isClipboardFallbackEnabled() const { return m_isClipboardFallbackEnabled; }
    const QString& savedCustomInstructions() const { return m_savedCustomInstructions; }
    const QString& customInstructionsDraft() const { return m_customInstructionsDraft; }
    void setCustomInstructionsDraft(const QString& draft);
    TranscriptionPostProcessingMode selectedPostProcessingMode() const { return m_selectedPostProcessingMode; }
    const TranscriptionLanguageOption& selectedTranscriptionLanguage() const { return m_selectedTranscriptionLanguage; }
    WidgetAppearance selectedWidgetAppearance() const { return m_selectedWidgetAppearance; }
    DesktopThemeOption selectedDesktopTheme() const { return m_selectedDesktopTheme; }
    AppLanguageOption selectedAppLanguage() const { return m_selectedAppLanguage; }
    StartAtLoginStatus startAtLoginStatus() const { return m_startAtLoginStatus; }

    // Re-reads every value from the settings and the login-item service; each assignment notifies.
    void reloadStartAtLogin();
    void reloadDictationSettings();
    void reloadAppearance();

    // The stored instructions as shown: the first 2000 characters, trimmed; "" when absent.
    static QString readCustomInstructions(const UserDefaults& defaults);

    // Each setter shows its line; only a new value is stored, published, logged and refreshed.
    void setWidgetAppearance(WidgetAppearance appearance);
    void setDesktopTheme(DesktopThemeOption theme);
    // The line is in the chosen language.
    void setAppLanguage(AppLanguageOption option);
    void setPostProcessingMode(TranscriptionPostProcessingMode mode);
    void setRecordingTriggerMode(RecordingTriggerMode mode);
    void setTranscriptionLanguage(const TranscriptionLanguageOption& option);
    // A change also forgets the last direct insertion, which the session then cannot replace.
    Q_INVOKABLE void setLastDictationAutoReplaceEnabled(bool enabled);
    Q_INVOKABLE void setClipboardFallbackEnabled(bool enabled);

    bool hasUnsavedCustomInstructions() const;
    // Stores the draft cut to 2000 characters and trimmed; the draft becomes what was stored.
    Q_INVOKABLE void saveCustomInstructions();
    Q_INVOKABLE void resetCustomInstructions();

    // Registers or removes the autostart entry; the published status is always the system's.
    Q_INVOKABLE void setStartAtLoginEnabled(bool enabled);
    // Opens the desktop's autostart settings.
    Q_INVOKABLE void openLoginItemsSettings();

    // uid none picks the system default input. The devices are listed afresh.
    void setMicrophonePreference(const std::optional<QString>& uid);

    // Takes a recorded combination: stored and re-registered when valid and new.
    Q_INVOKABLE void setHotkey(const HotkeyShortcut& hotkey);
    // The recorder could not make a combination of the pressed keys; message is its text.
    Q_INVOKABLE void reportHotkeyCaptureUnsupported(const QString& message);
    // The presets other than the selected combination.
    QList<HotkeyShortcut> hotkeySuggestions() const;

    // The views' face: cases by their stored names, an absent choice as null, lists as models.
    QString selectedRecordingTriggerModeName() const { return rawValue(m_selectedRecordingTriggerMode); }
    QVariant selectedMicrophonePreferenceValue() const { return optionalValue(m_selectedMicrophonePreference); }
    QString selectedPostProcessingModeName() const { return rawValue(m_selectedPostProcessingMode); }
    QString selectedWidgetAppearanceName() const { return rawValue(m_selectedWidgetAppearance); }
    QString selectedDesktopThemeName() const { return rawValue(m_selectedDesktopTheme); }
    QString selectedAppLanguageName() const { return rawValue(m_selectedAppLanguage); }
    QString startAtLoginStatusName() const { return rawValue(m_startAtLoginStatus); }
    RecordListModel* hotkeySuggestionsModel() const { return m_hotkeySuggestionsModel; }

    // The operations as the views call them: a case by its stored name (any other name changes
    // nothing), a language by its id ("auto" for detection), a microphone by uid (null or empty
    // for the system default).
    Q_INVOKABLE void setWidgetAppearance(const QString& name);
    Q_INVOKABLE void setDesktopTheme(const QString& name);
    Q_INVOKABLE void setAppLanguage(const QString& name);
    Q_INVOKABLE void setPostProcessingMode(const QString& name);
    Q_INVOKABLE void setRecordingTriggerMode(const QString& name);
    Q_INVOKABLE void setTranscriptionLanguage(const QString& id);
    Q_INVOKABLE void setMicrophonePreference(const QString& uid);

Q_SIGNALS:
    void selectedHotkeyChanged();
    void selectedRecordingTriggerModeChanged();
    void selectedMicrophonePreferenceChanged();
    void isLastDictationAutoReplaceEnabledChanged();
    void isClipboardFallbackEnabledChanged();
    void savedCustomInstructionsChanged();
    void customInstructionsDraftChanged();
    void selectedPostProcessingModeChanged();
    void selectedTranscriptionLanguageChanged();
    void selectedWidgetAppearanceChanged();
    void selectedDesktopThemeChanged();
    void selectedAppLanguageChanged();
    void startAtLoginStatusChanged();
    // The new combination is stored: the monitor must let go of the old one and take it up if
    // dictation can run.
    void hotkeyRestartRequested();
    // The replace-last switch changed.
    void lastDictationAutoReplaceSwitched();
    // The user chose another interface language.
    void appLanguageSwitched();

private:
    void setSelectedAppLanguage(AppLanguageOption option);
    // Shows the line; true when the value is new.
    bool announce(const QString& message, bool changed);
    void storeString(const char* key, const QString& value);
    void storeBool(const char* key, bool value);

    std::shared_ptr<AudioDeviceListing> m_audioDeviceService;
    AudioInputSelecting* m_inputSelecting = nullptr;

    ViewModelContext& m_context;
    std::shared_ptr<SettingsStore> m_settingsStore;
    std::shared_ptr<StartAtLoginControlling> m_startAtLoginController;
    // Keeps the capture service alive for m_inputSelecting.
    std::shared_ptr<AudioCapturing> m_audioCapture;

    HotkeyShortcut m_selectedHotkey;
    RecordingTriggerMode m_selectedRecordingTriggerMode = RecordingTriggerMode::pushToTalk;
    std::optional<AudioInputDevicePreference> m_selectedMicrophonePreference;
    bool m_isLastDictationAutoReplaceEnabled = false;
    bool m_isClipboardFallbackEnabled = true;
    QString m_savedCustomInstructions;
    QString m_customInstructionsDraft;
    TranscriptionPostProcessingMode m_selectedPostProcessingMode = TranscriptionPostProcessingMode::off;
    TranscriptionLanguageOption m_selectedTranscriptionLanguage = TranscriptionLanguageOption::automatic();
    WidgetAppearance m_selectedWidgetAppearance = WidgetAppearance::currentWidget;
    DesktopThemeOption m_selectedDesktopTheme = DesktopThemeOption::black;
    AppLanguageOption m_selectedAppLanguage = AppLanguageOption::system;
    StartAtLoginStatus m_startAtLoginStatus = StartAtLoginStatus::disabled;
    RecordList<HotkeyShortcut>* m_hotkeySuggestionsModel;
};

}  // namespace quorvelle
