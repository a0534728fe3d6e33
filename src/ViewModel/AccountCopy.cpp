#include "ViewModel/AccountCopy.h"

#include "ViewModel/BackendAuthMessages.h"

namespace quorvelle {

QString AccountCopy::accountRequiredTitle() const {
    return appStrings.localized(u"Sign in required", u"Giriş gerekli");
}

QString AccountCopy::accountRequiredMessage() const {
    if (keyringUnavailable)
        return appStrings.localized(u"Your account cannot be read: ", u"Hesabınız okunamıyor: ") +
               backend_auth_messages::keyringUnavailable(appStrings);
    return appStrings.localized(
        u"Connect this computer to your Quorvelle account before using recording, the dashboard, local models "
        u"and shortcuts.",
        u"Kayıt, panel, yerel modeller ve kısayolları kullanmadan önce bu bilgisayarı Quorvelle hesabınıza "
        u"bağlayın.");
}

QString AccountCopy::accountStatusLabel() const {
    if (isLocalWithoutAccount()) return appStrings.localized(u"Not required", u"Gerekli değil");
    if (hasStoredSession)
        return hasBackendAuthSessionManager ? appStrings.localized(u"Connected", u"Bağlı")
                                            : appStrings.localized(u"Saved", u"Kayıtlı");
    return appStrings.localized(u"Missing", u"Eksik");
}

QString AccountCopy::accountSectionTitle() const {
    if (isLocalWithoutAccount()) return appStrings.localized(u"Local mode", u"Yerel mod");
    const bool isLocal = selectedTranscriptionBackend == TranscriptionBackend::local;
    if ((isLocal || hasBackendAuthSessionManager) && !hasStoredSession)
        return appStrings.localized(u"Sign in required", u"Giriş gerekli");
    return appStrings.localized(u"Quorvelle account", u"Quorvelle hesabı");
}

QString AccountCopy::connectionSummary() const {
    if (isLocalWithoutAccount()) return appStrings.localized(u"Account not required", u"Hesap gerekli değil");
    if (hasStoredSession) return appStrings.localized(u"Connected", u"Bağlı");
    return appStrings.localized(u"Connect this computer", u"Bu bilgisayarı bağlayın");
}

QString AccountCopy::actionButtonTitle() const {
    return appStrings.localized(u"Sign In", u"Giriş Yap");
}

QString AccountCopy::registeredDeviceLabel() const {
    if (registeredBackendDeviceID) return *registeredBackendDeviceID;
    return appStrings.localized(u"No registered device", u"Kayıtlı cihaz yok");
}

}  // namespace quorvelle
