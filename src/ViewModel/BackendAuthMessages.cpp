#include "ViewModel/BackendAuthMessages.h"

#include "Models/QuorvelleError.h"
#include "Services/Backend/APIKeyStoreError.h"

#include <QUrl>

namespace quorvelle::backend_auth_messages {

QString signInStarted(const AppStrings& strings, const QString& userCode) {
    return strings.localized(u"Quorvelle account sign-in started. Code: ",
                             u"Quorvelle hesap girişi başlatıldı. Kod: ") +
           userCode;
}

QString signInPending(const AppStrings& strings, const QString& status) {
    return strings.localized(u"Sign-in pending: ", u"Giriş bekleniyor: ") + status + QLatin1Char('.');
}

namespace {

QString suffix(const AppStrings& strings, const QuorvelleError& error, const QString& baseURLText) {
    using C = QuorvelleErrorCase;
    switch (error.errorCase()) {
        case C::rateLimited:
        case C::rateLimitedRetryAfter:
            return strings.localized(u": too many attempts. Wait a moment.",
                                     u": çok fazla deneme yapıldı. Biraz bekleyin.");
        case C::loginCodeAlreadyUsed:
            return strings.localized(u": this code was already used. Start Sign In again to get a new code.",
                                     u": bu kod zaten kullanıldı. Yeni kod almak için tekrar Giriş Yap başlatın.");
        case C::invalidAPIKey:
            return strings.localized(u": web session or token is invalid.", u": web oturumu veya token geçersiz.");
        case C::networkUnavailable: {
            const auto [englishHint, turkishHint] = backendUnreachable(baseURLText);
            return strings.localized(u": could not reach backend (", u": backend'e ulaşılamadı (") + baseURLText +
                   QStringLiteral("). ") + strings.localized(englishHint, turkishHint);
        }
        case C::requestTimedOut: return strings.localized(u": backend timed out.", u": backend zaman aşımına uğradı.");
        case C::providerTimeout:
            return strings.localized(u": cloud service timed out.", u": cloud servisi zaman aşımına uğradı.");
        case C::providerUnavailable:
            return strings.localized(u": cloud service is temporarily unavailable.",
                                     u": cloud servisi geçici olarak kullanılamıyor.");
        default: return QStringLiteral(": ") + strings.errorMessage(error);
    }
}

}  // namespace

QString error(const AppStrings& strings, const QString& prefix, std::exception_ptr failure,
              const QString& baseURLText) {
    try {
        if (failure) std::rethrow_exception(failure);
    } catch (const QuorvelleError& quorvelleError) {
        return prefix + suffix(strings, quorvelleError, baseURLText);
    } catch (const APIKeyStoreError&) {
        return prefix + QStringLiteral(": ") + keyringUnavailable(strings);
    } catch (...) {
    }
    return prefix + QLatin1Char('.');
}

QString keyringUnavailable(const AppStrings& strings) {
    return strings.localized(u"the keyring is unavailable. Unlock it, or start its service, and try again.",
                             u"anahtarlık kullanılamıyor. Kilidini açın ya da hizmetini başlatın ve tekrar deneyin.");
}

std::pair<QString, QString> backendUnreachable(const QString& baseURLText) {
    const QUrl address(baseURLText, QUrl::StrictMode);
    if (baseURLText.trimmed().isEmpty() || !address.isValid())
        return {QStringLiteral("Check the configured API URL."),
                QStringLiteral("Yapılandırılmış API URL'sini kontrol edin.")};
    const QString host = address.host().toLower();
    if (host == QLatin1String("127.0.0.1") || host == QLatin1String("::1") || host == QLatin1String("localhost"))
        return {QStringLiteral("Is the local API server running?"), QStringLiteral("Local API server çalışıyor mu?")};
    return {QStringLiteral("Could not reach the online API."), QStringLiteral("Online API'ye ulaşılamadı.")};
}

}  // namespace quorvelle::backend_auth_messages
