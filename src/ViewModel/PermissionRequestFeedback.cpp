#include "ViewModel/PermissionRequestFeedback.h"

#include "Models/AppStrings.h"

namespace quorvelle {

PermissionRequestFeedback PermissionRequestFeedback::microphone(PermissionState state, const QString& languageCode) {
    const AppStrings strings(languageCode);
    if (state == PermissionState::authorized) {
        return {strings.localized(u"Microphone permission granted.", u"Mikrofon izni verildi."),
                DiagnosticsEventLevel::info, QStringLiteral("permissions.microphone.authorized"),
                QStringLiteral("Microphone izni verildi.")};
    }
    return {strings.localized(u"Dictation cannot start without microphone permission.",
                              u"Mikrofon izni olmadan dikte başlatılamaz."),
            DiagnosticsEventLevel::warning, QStringLiteral("permissions.microphone.denied"),
            QStringLiteral("Microphone izni eksik.")};
}

PermissionRequestFeedback PermissionRequestFeedback::accessibility(PermissionState state, const QString& languageCode) {
    const AppStrings strings(languageCode);
    if (state == PermissionState::authorized) {
        return {strings.localized(u"Accessibility permission granted.", u"Accessibility izni verildi."),
                DiagnosticsEventLevel::info, QStringLiteral("permissions.accessibility.authorized"),
                QStringLiteral("Accessibility izni verildi.")};
    }
    return {strings.localized(u"Reopen the window after granting Accessibility permission. Restart the app if needed.",
                              u"Accessibility iznini verdikten sonra pencereyi yeniden açın. Gerekirse uygulamayı "
                              u"kapatıp tekrar çalıştırın."),
            DiagnosticsEventLevel::warning, QStringLiteral("permissions.accessibility.denied"),
            QStringLiteral("Accessibility izni eksik.")};
}

}  // namespace quorvelle
