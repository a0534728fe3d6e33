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
#include "ViewModel/AppBootstrap.h"
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
    Q_PROPERTY(quorvelle::RecordingTriggerMode selectedRecordingTriggerMode READ selectedRecordingTriggerMode NOTIFY
                   selectedRecordingTriggerModeChanged)
    // The stored microphone choice; absent is the system default input.
    Q_PROPERTY(std::optional<quorvelle::AudioInputDevicePreference> selectedMicrophonePreference READ
                   selectedMicrophonePreference NOTIFY selectedMicrophonePreferenceChanged)
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
    Q_PROPERTY(quorvelle::TranscriptionPostProcessingMode selectedPostProcessingMode READ selectedPostProcessingMode
                   NOTIFY selectedPostProcessingModeChanged)
    // The language sent with requests; no code means detection.
    Q_PROPERTY(quorvelle::TranscriptionLanguageOption selectedTranscriptionLanguage READ selectedTranscriptionLanguage
                   NOTIFY selectedTranscriptionLanguageChanged)
    // The overlay's look.
    Q_PROPERTY(quorvelle::WidgetAppearance selectedWidgetAppearance READ selectedWidgetAppearance NOTIFY
                   selectedWidgetAppearanceChanged)
    // The dashboard theme.
    Q_PROPERTY(
        quorvelle::DesktopThemeOption selectedDesktopTheme READ selectedDesktopTheme NOTIFY selectedDesktopThemeChanged)
    // The interface language choice.
    Q_PROPERTY(
        quorvelle::AppLanguageOption selectedAppLanguage READ selectedAppLanguage NOTIFY selectedAppLanguageChanged)
    // Whether the program starts with the desktop session.
    Q_PROPERTY(
        quorvelle::StartAtLoginStatus startAtLoginStatus READ startAtLoginStatus NOTIFY startAtLoginStatusChanged)

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

private:
    void setSelectedAppLanguage(AppLanguageOption option);

    ViewModelContext& m_context;
    std::shared_ptr<SettingsStore> m_settingsStore;
    std::shared_ptr<StartAtLoginControlling> m_startAtLoginController;

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
};

}  // namespace quorvelle
