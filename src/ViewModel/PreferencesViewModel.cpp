#include "ViewModel/PreferencesViewModel.h"

#include "Support/Graphemes.h"
#include "ViewModel/HotkeySelectionDecision.h"
#include "ViewModel/MicrophoneSelectionDecision.h"
#include "ViewModel/Published.h"
#include "ViewModel/SettingMessages.h"

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
      m_audioDeviceService(services.audioDeviceService),
      m_inputSelecting(dynamic_cast<AudioInputSelecting*>(services.audioCapture.get())),
      m_context(context),
      m_settingsStore(services.settingsStore),
      m_startAtLoginController(services.startAtLoginController),
      m_audioCapture(services.audioCapture),
      m_hotkeySuggestionsModel(new RecordList<HotkeyShortcut>(this)) {
    {
        // Filled quietly here; the settings reload that ends construction assigns each again, loudly.
        const QSignalBlocker quiet(this);
        reloadStartAtLogin();
        reloadDictationSettings();
        reloadAppearance();
    }
    m_hotkeySuggestionsModel->setRecords(hotkeySuggestions());
    connect(this, &PreferencesViewModel::selectedHotkeyChanged, this,
            [this] { m_hotkeySuggestionsModel->setRecords(hotkeySuggestions()); });
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

bool PreferencesViewModel::announce(const QString& message, bool changed) {
    m_context.setInlineMessage(message);
    return changed;
}

void PreferencesViewModel::storeString(const char* key, const QString& value) {
    m_settingsStore->userDefaults()->setString(QString::fromLatin1(key), value);
}

void PreferencesViewModel::storeBool(const char* key, bool value) {
    m_settingsStore->userDefaults()->setBool(QString::fromLatin1(key), value);
}

void PreferencesViewModel::setWidgetAppearance(WidgetAppearance appearance) {
    const auto result =
        SettingMessages::widgetAppearanceMessage(appearance, m_selectedWidgetAppearance, m_context.strings());
    if (!announce(result.text, result.changed)) return;
    storeString(SettingsKeys::selectedWidgetAppearance, rawValue(appearance));
    publish(this, m_selectedWidgetAppearance, appearance, &PreferencesViewModel::selectedWidgetAppearanceChanged);
    m_context.recordEvent(DiagnosticsEventLevel::info, QStringLiteral("settings.widget_appearance.updated"),
                          QStringLiteral("Widget gorunumu guncellendi."));
}

void PreferencesViewModel::setDesktopTheme(DesktopThemeOption theme) {
    const auto result = SettingMessages::desktopThemeMessage(theme, m_selectedDesktopTheme, m_context.strings());
    if (!announce(result.text, result.changed)) return;
    storeString(SettingsKeys::selectedDesktopTheme, rawValue(theme));
    publish(this, m_selectedDesktopTheme, theme, &PreferencesViewModel::selectedDesktopThemeChanged);
    m_context.recordEvent(DiagnosticsEventLevel::info, QStringLiteral("settings.desktop_theme.updated"),
                          QStringLiteral("Tema guncellendi."));
}

void PreferencesViewModel::setAppLanguage(AppLanguageOption option) {
    const auto result = SettingMessages::appLanguageMessage(option, m_selectedAppLanguage);
    if (!announce(result.text, result.changed)) return;
    storeString(SettingsKeys::selectedAppLanguage, rawValue(option));
    setSelectedAppLanguage(option);
    m_context.recordEvent(DiagnosticsEventLevel::info, QStringLiteral("settings.app_language.updated"),
                          QStringLiteral("App language updated."));
    Q_EMIT appLanguageSwitched();
}

void PreferencesViewModel::setPostProcessingMode(TranscriptionPostProcessingMode mode) {
    const auto result = SettingMessages::cleanupModeMessage(mode, m_selectedPostProcessingMode, m_context.strings());
    if (!announce(result.text, result.changed)) return;
    m_settingsStore->setSelectedPostProcessingMode(mode);
    publish(this, m_selectedPostProcessingMode, mode, &PreferencesViewModel::selectedPostProcessingModeChanged);
    m_context.recordEvent(DiagnosticsEventLevel::info, QStringLiteral("settings.post_processing_mode.updated"),
                          QStringLiteral("Cleanup modu guncellendi."));
}

void PreferencesViewModel::setRecordingTriggerMode(RecordingTriggerMode mode) {
    const auto result =
        SettingMessages::recordingModeMessage(mode, m_selectedRecordingTriggerMode, m_context.strings());
    if (!announce(result.text, result.changed)) return;
    m_settingsStore->setSelectedRecordingTriggerMode(mode);
    publish(this, m_selectedRecordingTriggerMode, mode, &PreferencesViewModel::selectedRecordingTriggerModeChanged);
    m_context.recordEvent(DiagnosticsEventLevel::info, QStringLiteral("settings.recording_trigger_mode.updated"),
                          QStringLiteral("Recording mode updated."));
}

void PreferencesViewModel::setTranscriptionLanguage(const TranscriptionLanguageOption& option) {
    const auto result =
        SettingMessages::transcriptionLanguageMessage(option, m_selectedTranscriptionLanguage, m_context.strings());
    if (!announce(result.text, result.changed)) return;
    storeString(SettingsKeys::selectedTranscriptionLanguage, option.code.value_or(QStringLiteral("auto")));
    publish(this, m_selectedTranscriptionLanguage, option, &PreferencesViewModel::selectedTranscriptionLanguageChanged);
    m_context.refreshDiagnosticsSnapshot();
}

void PreferencesViewModel::setLastDictationAutoReplaceEnabled(bool enabled) {
    const auto result =
        SettingMessages::autoReplaceToggleMessage(enabled, m_isLastDictationAutoReplaceEnabled, m_context.strings());
    if (!announce(result.text, result.changed)) return;
    storeBool(SettingsKeys::lastDictationAutoReplaceEnabled, enabled);
    publish(this, m_isLastDictationAutoReplaceEnabled, enabled,
            &PreferencesViewModel::isLastDictationAutoReplaceEnabledChanged);
    Q_EMIT lastDictationAutoReplaceSwitched();
    m_context.refreshDiagnosticsSnapshot();
}

void PreferencesViewModel::setClipboardFallbackEnabled(bool enabled) {
    const auto result =
        SettingMessages::clipboardFallbackToggleMessage(enabled, m_isClipboardFallbackEnabled, m_context.strings());
    if (!announce(result.text, result.changed)) return;
    storeBool(SettingsKeys::clipboardFallbackEnabled, enabled);
    publish(this, m_isClipboardFallbackEnabled, enabled, &PreferencesViewModel::isClipboardFallbackEnabledChanged);
    m_context.recordEvent(DiagnosticsEventLevel::info, QStringLiteral("settings.insertion.clipboard_fallback_updated"),
                          QStringLiteral("Clipboard fallback ayari guncellendi."));
}

bool PreferencesViewModel::hasUnsavedCustomInstructions() const {
    return Graphemes::prefix(m_customInstructionsDraft, customInstructionsLimit).trimmed() != m_savedCustomInstructions;
}

void PreferencesViewModel::saveCustomInstructions() {
    // Cut first, trim second, as the stored text is read back.
    const QString value = Graphemes::prefix(m_customInstructionsDraft, customInstructionsLimit).trimmed();
    const AppStrings strings = m_context.strings();
    if (value == m_savedCustomInstructions) {
        m_context.setInlineMessage(SettingMessages::instructionsClearedMessage(value, strings));
        return;
    }
    storeString(SettingsKeys::customInstructions, value);
    publish(this, m_savedCustomInstructions, value, &PreferencesViewModel::savedCustomInstructionsChanged);
    publish(this, m_customInstructionsDraft, value, &PreferencesViewModel::customInstructionsDraftChanged);
    m_context.setInlineMessage(SettingMessages::instructionsSavedMessage(value, strings));
    m_context.recordEvent(DiagnosticsEventLevel::info, QStringLiteral("settings.instructions.saved"),
                          QStringLiteral("Instructions ayari saklandi."));
}

void PreferencesViewModel::resetCustomInstructions() {
    const AppStrings strings = m_context.strings();
    if (m_savedCustomInstructions.isEmpty() && m_customInstructionsDraft.isEmpty()) {
        m_context.setInlineMessage(SettingMessages::instructionsClearedMessage(QString(), strings));
        return;
    }
    storeString(SettingsKeys::customInstructions, QString());
    publish(this, m_savedCustomInstructions, QString(), &PreferencesViewModel::savedCustomInstructionsChanged);
    publish(this, m_customInstructionsDraft, QString(), &PreferencesViewModel::customInstructionsDraftChanged);
    m_context.setInlineMessage(strings.localized(u"Instructions reset.", u"Talimatlar sıfırlandı."));
    m_context.recordEvent(DiagnosticsEventLevel::info, QStringLiteral("settings.instructions.reset"),
                          QStringLiteral("Instructions ayari sifirlandi."));
}

void PreferencesViewModel::setStartAtLoginEnabled(bool enabled) {
    const QString language = m_context.strings().languageCode();
    try {
        const StartAtLoginStatus status = m_startAtLoginController->setEnabled(enabled);
        publish(this, m_startAtLoginStatus, status, &PreferencesViewModel::startAtLoginStatusChanged);
        const QString message = SettingMessages::startAtLoginMessage(status, language);
        m_context.setInlineMessage(message);
        m_context.recordEvent(
            status == StartAtLoginStatus::unsupported ? DiagnosticsEventLevel::warning : DiagnosticsEventLevel::info,
            QStringLiteral("settings.start_at_login.updated"), message);
        return;
    } catch (const StartAtLoginError& error) {
        reloadStartAtLogin();
        m_context.setInlineMessage(SettingMessages::startAtLoginFailureMessage(error.errorCase(), language));
    } catch (...) {
        reloadStartAtLogin();
        m_context.setInlineMessage(
            SettingMessages::startAtLoginFailureMessage(StartAtLoginError::Case::updateFailed, language));
    }
    m_context.recordEvent(DiagnosticsEventLevel::error, QStringLiteral("settings.start_at_login.update_failed"),
                          m_context.inlineMessage().value_or(QString()));
}

void PreferencesViewModel::openLoginItemsSettings() {
    m_startAtLoginController->openSystemSettings();
    reloadStartAtLogin();
    const QString message =
        m_context.localized(u"Approve Quorvelle in the desktop's settings under Autostart.",
                            u"Quorvelle'i masaüstü ayarlarında Otomatik Başlatma altında onaylayın.");
    m_context.setInlineMessage(message);
    m_context.recordEvent(DiagnosticsEventLevel::info, QStringLiteral("settings.start_at_login.system_settings_opened"),
                          message);
}

void PreferencesViewModel::setMicrophonePreference(const std::optional<QString>& uid) {
    const MicrophoneSelectionDecision decision = MicrophoneSelectionDecision::forUserSelection(
        uid, m_selectedMicrophonePreference, m_audioDeviceService->inputDevices(), m_context.strings().languageCode());
    m_context.setInlineMessage(decision.message);
    if (decision.kind == MicrophoneSelectionDecision::Kind::noChange) return;
    m_settingsStore->setSelectedMicrophonePreference(decision.preference);
    publish(this, m_selectedMicrophonePreference, decision.preference,
            &PreferencesViewModel::selectedMicrophonePreferenceChanged);
    if (m_inputSelecting)
        m_inputSelecting->setPreferredInputDevice(decision.preference ? std::optional(decision.preference->uid)
                                                                      : std::nullopt);
    m_context.recordEvent(DiagnosticsEventLevel::info, QStringLiteral("settings.microphone.updated"),
                          QStringLiteral("Mikrofon tercihi guncellendi."));
}

void PreferencesViewModel::setHotkey(const HotkeyShortcut& hotkey) {
    const HotkeySelectionDecision decision =
        HotkeySelectionDecision::decide(hotkey, m_selectedHotkey, m_context.strings());
    m_context.setInlineMessage(decision.message);
    switch (decision.kind) {
        case HotkeySelectionDecision::Kind::noChange: return;
        case HotkeySelectionDecision::Kind::invalid:
            m_context.recordEvent(DiagnosticsEventLevel::warning, QStringLiteral("settings.hotkey.validation_failed"),
                                  decision.reason);
            return;
        case HotkeySelectionDecision::Kind::apply: break;
    }
    m_settingsStore->setSelectedHotkey(hotkey);
    publish(this, m_selectedHotkey, hotkey, &PreferencesViewModel::selectedHotkeyChanged);
    m_context.recordEvent(DiagnosticsEventLevel::info, QStringLiteral("settings.hotkey.updated"),
                          QStringLiteral("Hotkey guncellendi."));
    Q_EMIT hotkeyRestartRequested();
    m_context.refreshDiagnosticsSnapshot();
}

void PreferencesViewModel::reportHotkeyCaptureUnsupported(const QString& message) {
    m_context.setInlineMessage(hotkeyInvalidMessage(message, hotkeySuggestions(), m_context.strings()));
    m_context.recordEvent(DiagnosticsEventLevel::warning, QStringLiteral("settings.hotkey.capture_unsupported"),
                          message);
}

QList<HotkeyShortcut> PreferencesViewModel::hotkeySuggestions() const {
    return quorvelle::hotkeySuggestions(m_selectedHotkey);
}

void PreferencesViewModel::setWidgetAppearance(const QString& name) {
    withCaseNamed<WidgetAppearance>(name, [this](WidgetAppearance value) { setWidgetAppearance(value); });
}

void PreferencesViewModel::setDesktopTheme(const QString& name) {
    withCaseNamed<DesktopThemeOption>(name, [this](DesktopThemeOption value) { setDesktopTheme(value); });
}

void PreferencesViewModel::setAppLanguage(const QString& name) {
    withCaseNamed<AppLanguageOption>(name, [this](AppLanguageOption value) { setAppLanguage(value); });
}

void PreferencesViewModel::setPostProcessingMode(const QString& name) {
    withCaseNamed<TranscriptionPostProcessingMode>(
        name, [this](TranscriptionPostProcessingMode value) { setPostProcessingMode(value); });
}

void PreferencesViewModel::setRecordingTriggerMode(const QString& name) {
    withCaseNamed<RecordingTriggerMode>(name, [this](RecordingTriggerMode value) { setRecordingTriggerMode(value); });
}

void PreferencesViewModel::setTranscriptionLanguage(const QString& id) {
    for (const TranscriptionLanguageOption& option : TranscriptionLanguageOption::supportedOptions()) {
        if (option.id() == id) {
            setTranscriptionLanguage(option);
            return;
        }
    }
    qWarning() << "No such transcription language:" << id;
}

void PreferencesViewModel::setMicrophonePreference(const QString& uid) {
    setMicrophonePreference(uid.isEmpty() ? std::nullopt : std::optional<QString>(uid));
}

}  // namespace quorvelle
