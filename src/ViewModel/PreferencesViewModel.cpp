#include "ViewModel/PreferencesViewModel.h"

#include "Support/Graphemes.h"
#include "ViewModel/Published.h"

namespace quorvelle {

namespace {

QString storedString(const UserDefaults& defaults, const char* key) {
    return defaults.string(QString::fromLatin1(key)).value_or(QString());
}

template <typename E>
E storedCase(const UserDefaults& defaults, const char* key, E fallback) {
    return fromRawValue<E>(storedString(defaults, key)).value_or(fallback);
}

}  // namespace

PreferencesViewModel::PreferencesViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent)
    : QObject(parent),
      m_context(context),
      m_settingsStore(services.settingsStore),
      m_startAtLoginController(services.startAtLoginController) {
    // Filled quietly here; the settings reload that ends construction assigns each again, loudly.
    const QSignalBlocker quiet(this);
    reloadStartAtLogin();
    reloadDictationSettings();
    reloadAppearance();
}

void PreferencesViewModel::setCustomInstructionsDraft(const QString& draft) {
    publish(this, m_customInstructionsDraft, draft, &PreferencesViewModel::customInstructionsDraftChanged);
}

QString PreferencesViewModel::readCustomInstructions(const UserDefaults& defaults) {
    const QString stored = storedString(defaults, SettingsKeys::customInstructions);
    return Graphemes::prefix(stored, customInstructionsLimit).trimmed();
}

void PreferencesViewModel::reloadStartAtLogin() {
    publish(this, m_startAtLoginStatus, m_startAtLoginController->currentStatus(),
            &PreferencesViewModel::startAtLoginStatusChanged);
}

void PreferencesViewModel::reloadDictationSettings() {
    const SettingsStore& settings = *m_settingsStore;
    const UserDefaults& defaults = *settings.userDefaults();
    using P = PreferencesViewModel;
    publish(this, m_selectedHotkey, settings.selectedHotkey(), &P::selectedHotkeyChanged);
    publish(this, m_selectedRecordingTriggerMode, settings.selectedRecordingTriggerMode(),
            &P::selectedRecordingTriggerModeChanged);
    publish(this, m_selectedMicrophonePreference, settings.selectedMicrophonePreference(),
            &P::selectedMicrophonePreferenceChanged);
    publish(this, m_isLastDictationAutoReplaceEnabled,
            defaults.boolean(QString::fromLatin1(SettingsKeys::lastDictationAutoReplaceEnabled)),
            &P::isLastDictationAutoReplaceEnabledChanged);
    publish(this, m_isClipboardFallbackEnabled, settings.clipboardFallbackEnabled(),
            &P::isClipboardFallbackEnabledChanged);
    publish(this, m_savedCustomInstructions, readCustomInstructions(defaults), &P::savedCustomInstructionsChanged);
    // An unsaved draft is dropped.
    publish(this, m_customInstructionsDraft, m_savedCustomInstructions, &P::customInstructionsDraftChanged);
    publish(this, m_selectedPostProcessingMode,
            storedCase(defaults, SettingsKeys::selectedPostProcessingMode, TranscriptionPostProcessingMode::off),
            &P::selectedPostProcessingModeChanged);
    publish(this, m_selectedTranscriptionLanguage,
            TranscriptionLanguageOption::option(
                defaults.string(QString::fromLatin1(SettingsKeys::selectedTranscriptionLanguage))),
            &P::selectedTranscriptionLanguageChanged);
}

void PreferencesViewModel::reloadAppearance() {
    const UserDefaults& defaults = *m_settingsStore->userDefaults();
    using P = PreferencesViewModel;
    publish(this, m_selectedWidgetAppearance,
            storedCase(defaults, SettingsKeys::selectedWidgetAppearance, WidgetAppearance::currentWidget),
            &P::selectedWidgetAppearanceChanged);
    publish(this, m_selectedDesktopTheme,
            storedCase(defaults, SettingsKeys::selectedDesktopTheme, DesktopThemeOption::black),
            &P::selectedDesktopThemeChanged);
    setSelectedAppLanguage(storedCase(defaults, SettingsKeys::selectedAppLanguage, AppLanguageOption::system));
}

void PreferencesViewModel::setSelectedAppLanguage(AppLanguageOption option) {
    publish(this, m_selectedAppLanguage, option, &PreferencesViewModel::selectedAppLanguageChanged);
    m_context.setAppLanguage(option);
}

}  // namespace quorvelle
