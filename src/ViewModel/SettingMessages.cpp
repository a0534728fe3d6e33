#include "ViewModel/SettingMessages.h"

namespace quorvelle::SettingMessages {

namespace {

// "<name> is already on." / "<name> zaten açık." and "<name> turned on." / "<name> açıldı.", and off.
Result switchMessage(bool requested, bool current, const AppStrings& strings, QStringView english,
                     QStringView turkish) {
    const bool changed = requested != current;
    const char16_t* englishEnd = changed ? (requested ? u" turned on." : u" turned off.")
                                         : (requested ? u" is already on." : u" is already off.");
    const char16_t* turkishEnd =
        changed ? (requested ? u" açıldı." : u" kapatıldı.") : (requested ? u" zaten açık." : u" zaten kapalı.");
    return {strings.localized(english.toString() + QString::fromUtf16(englishEnd),
                              turkish.toString() + QString::fromUtf16(turkishEnd)),
            changed};
}

QString cleanupModeLabel(TranscriptionPostProcessingMode mode) {
    switch (mode) {
        case TranscriptionPostProcessingMode::off: return QStringLiteral("Off");
        case TranscriptionPostProcessingMode::default_: return QStringLiteral("Default");
        case TranscriptionPostProcessingMode::chat: return QStringLiteral("Chat");
        case TranscriptionPostProcessingMode::email: return QStringLiteral("Email");
        case TranscriptionPostProcessingMode::rewrite: return QStringLiteral("Rewrite");
    }
    return QStringLiteral("Off");
}

QString recordingModeLabel(RecordingTriggerMode mode, const AppStrings& strings) {
    if (mode == RecordingTriggerMode::toggle) return QStringLiteral("Toggle");
    return strings.localized(u"Push-to-Talk", u"Basılı tut");
}

}  // namespace

Result widgetAppearanceMessage(WidgetAppearance requested, WidgetAppearance current, const AppStrings& strings) {
    if (requested == current)
        return {strings.localized(u"Widget appearance is already active.", u"Widget görünümü zaten aktif."), false};
    if (requested == WidgetAppearance::logoOnly) {
        return {
            strings.localized(u"Widget appearance updated: Logo only.", u"Widget görünümü güncellendi: Sadece logo."),
            true};
    }
    return {strings.localized(u"Widget appearance updated: Current widget.",
                              u"Widget görünümü güncellendi: Mevcut widget."),
            true};
}

Result desktopThemeMessage(DesktopThemeOption requested, DesktopThemeOption current, const AppStrings& strings) {
    if (requested == current) return {strings.localized(u"Theme is already active.", u"Tema zaten aktif."), false};
    return {strings.localized(u"Theme updated: ", u"Tema güncellendi: ") + strings.desktopThemeTitle(requested) + u'.',
            true};
}

Result appLanguageMessage(AppLanguageOption requested, AppLanguageOption current, const QLocale& locale) {
    const AppStrings strings(languageCode(requested, locale));
    return {strings.localized(u"App language updated.", u"Uygulama dili güncellendi."), requested != current};
}

Result cleanupModeMessage(TranscriptionPostProcessingMode requested, TranscriptionPostProcessingMode current,
                          const AppStrings& strings) {
    if (requested == current)
        return {strings.localized(u"Cleanup mode is already selected.", u"Cleanup modu zaten seçili."), false};
    return {strings.localized(u"Cleanup mode updated: ", u"Cleanup modu güncellendi: ") + cleanupModeLabel(requested) +
                u'.',
            true};
}

Result recordingModeMessage(RecordingTriggerMode requested, RecordingTriggerMode current, const AppStrings& strings) {
    const QString label = recordingModeLabel(requested, strings) + u'.';
    if (requested == current)
        return {strings.localized(u"Recording mode already active: ", u"Kayıt modu zaten aktif: ") + label, false};
    return {strings.localized(u"Recording mode updated: ", u"Kayıt modu güncellendi: ") + label, true};
}

Result transcriptionLanguageMessage(const TranscriptionLanguageOption& requested,
                                    const TranscriptionLanguageOption& current, const AppStrings& strings) {
    if (requested.code == current.code && requested.name == current.name) {
        return {strings.localized(u"Transcription language is already selected.", u"Transcription dili zaten seçili."),
                false};
    }
    if (!requested.code) {
        return {strings.localized(u"Transcription language set to auto-detect.",
                                  u"Transcription dili auto-detect olarak ayarlandı."),
                true};
    }
    return {strings.localized(u"Transcription language updated: ", u"Transcription dili güncellendi: ") +
                strings.transcriptionLanguageTitle(requested) + u'.',
            true};
}

Result autoReplaceToggleMessage(bool requested, bool current, const AppStrings& strings) {
    return switchMessage(requested, current, strings, u"Last dictation auto-replace",
                         u"Son dikteyi otomatik değiştirme");
}

Result clipboardFallbackToggleMessage(bool requested, bool current, const AppStrings& strings) {
    return switchMessage(requested, current, strings, u"Clipboard fallback", u"Clipboard fallback");
}

Result dictionaryReplacementToggleMessage(bool requested, bool current, const AppStrings& strings) {
    return switchMessage(requested, current, strings, u"Dictionary replacement", u"Dictionary replacement");
}

QString instructionsSavedMessage(const QString& text, const AppStrings& strings) {
    if (text.isEmpty()) return strings.localized(u"Instructions cleared.", u"Talimatlar temizlendi.");
    return strings.localized(u"Instructions saved.", u"Talimatlar kaydedildi.");
}

QString instructionsClearedMessage(const QString& text, const AppStrings& strings) {
    if (text.isEmpty()) return strings.localized(u"Instructions are already empty.", u"Talimatlar zaten boş.");
    return strings.localized(u"Instructions are already current.", u"Talimatlar zaten güncel.");
}

QString startAtLoginMessage(StartAtLoginStatus status, const QString& languageCode) {
    const AppStrings strings(languageCode);
    switch (status) {
        case StartAtLoginStatus::enabled:
            return strings.localized(u"Start at login turned on.", u"Start-at-login açıldı.");
        case StartAtLoginStatus::disabled:
            return strings.localized(u"Start at login turned off.", u"Start-at-login kapatıldı.");
        case StartAtLoginStatus::requiresApproval:
            return strings.localized(u"Approval in the desktop's settings is required for start at login.",
                                     u"Start-at-login için masaüstü ayarlarında onay gerekiyor.");
        case StartAtLoginStatus::unsupported: break;
    }
    return strings.localized(u"Start at login is not supported in this environment.",
                             u"Start-at-login bu masaüstü ortamında desteklenmiyor.");
}

QString startAtLoginFailureMessage(StartAtLoginError::Case error, const QString& languageCode) {
    const AppStrings strings(languageCode);
    if (error == StartAtLoginError::Case::unsupported) {
        return strings.localized(u"Start at login is not supported in this environment.",
                                 u"Start-at-login bu ortamda desteklenmiyor.");
    }
    return strings.localized(u"Start at login setting could not be updated.", u"Start-at-login ayarı güncellenemedi.");
}

}  // namespace quorvelle::SettingMessages
