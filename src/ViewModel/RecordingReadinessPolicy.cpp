#include "ViewModel/RecordingReadinessPolicy.h"

namespace quorvelle {

bool RecordingReadinessPolicy::isRuntimeReady() const {
    if (requiresBackendAccountSignIn) return false;
    if (selectedTranscriptionBackend == TranscriptionBackend::local)
        return localRuntimeAvailability.isReady() && hasSelectedLocalModelInstalled;
    return onboardingStatus.hasAPIKey && onboardingStatus.hasAcceptedGroqDisclosure &&
           onboardingStatus.hasAcceptedPrivacyDisclosure;
}

QStringList RecordingReadinessPolicy::missingItems() const {
    const auto text = [this](QStringView english, QStringView turkish) {
        return appStrings.localized(english, turkish);
    };
    QStringList items;
    if (requiresBackendAccountSignIn) items << text(u"Quorvelle account", u"Quorvelle hesabı");
    if (onboardingStatus.microphonePermission != PermissionState::authorized) items << text(u"Microphone", u"Mikrofon");
    if (onboardingStatus.accessibilityPermission != PermissionState::authorized)
        items << QStringLiteral("Accessibility");
    if (selectedTranscriptionBackend == TranscriptionBackend::cloud) {
        if (!onboardingStatus.hasAPIKey && !hasBackendAuthSessionManager) items << QStringLiteral("API key");
        if (!onboardingStatus.hasAcceptedGroqDisclosure) items << QStringLiteral("Cloud disclosure");
        if (!onboardingStatus.hasAcceptedPrivacyDisclosure) items << text(u"Privacy disclosure", u"Gizlilik metni");
    } else {
        if (!localRuntimeAvailability.isReady()) items << QStringLiteral("Local runtime");
        if (!hasSelectedLocalModelInstalled) items << QStringLiteral("Local model");
    }
    return items;
}

QString RecordingReadinessPolicy::summary() const {
    const QStringList items = missingItems();
    if (items.isEmpty()) return appStrings.localized(u"Ready.", u"Hazır.");
    return appStrings.localized(u"Missing: ", u"Eksik: ") + items.join(QStringLiteral(", ")) + u'.';
}

}  // namespace quorvelle
