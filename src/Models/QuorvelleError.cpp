#include "Models/QuorvelleError.h"

namespace quorvelle {

const QList<QuorvelleErrorCase>& allQuorvelleErrorCases() {
    using C = QuorvelleErrorCase;
    static const QList<C> cases{
        C::rateLimitedRetryAfter,
        C::microphonePermissionDenied,
        C::accessibilityPermissionDenied,
        C::invalidAPIKey,
        C::networkUnavailable,
        C::requestTimedOut,
        C::rateLimited,
        C::providerTimeout,
        C::providerUnavailable,
        C::loginCodeAlreadyUsed,
        C::noSpeechDetected,
        C::sessionAlreadyActive,
        C::unsupportedTarget,
        C::unexpectedRuntimeFailure,
    };
    return cases;
}

QuorvelleError::QuorvelleError(QuorvelleErrorCase errorCase) : QuorvelleError(errorCase, 0) {}

QuorvelleError::QuorvelleError(QuorvelleErrorCase errorCase, qint64 retryAfterSeconds)
    : m_case(errorCase),
      m_retryAfterSeconds(errorCase == QuorvelleErrorCase::rateLimitedRetryAfter ? retryAfterSeconds : 0) {
    m_what = errorDescription().toUtf8();
}

QuorvelleError QuorvelleError::rateLimitedRetryAfter(qint64 seconds) {
    return QuorvelleError(QuorvelleErrorCase::rateLimitedRetryAfter, seconds);
}

std::optional<qint64> QuorvelleError::retryAfterSeconds() const {
    if (m_case == QuorvelleErrorCase::rateLimitedRetryAfter) return m_retryAfterSeconds;
    return std::nullopt;
}

QString QuorvelleError::diagnosticsCode() const {
    using C = QuorvelleErrorCase;
    switch (m_case) {
        case C::rateLimitedRetryAfter:
        case C::rateLimited: return QStringLiteral("runtime.error.rate_limited");
        case C::microphonePermissionDenied: return QStringLiteral("runtime.error.microphone_permission_denied");
        case C::accessibilityPermissionDenied: return QStringLiteral("runtime.error.accessibility_permission_denied");
        case C::invalidAPIKey: return QStringLiteral("runtime.error.invalid_api_key");
        case C::networkUnavailable: return QStringLiteral("runtime.error.network_unavailable");
        case C::requestTimedOut: return QStringLiteral("runtime.error.request_timed_out");
        case C::providerTimeout: return QStringLiteral("runtime.error.provider_timeout");
        case C::providerUnavailable: return QStringLiteral("runtime.error.provider_unavailable");
        case C::loginCodeAlreadyUsed: return QStringLiteral("runtime.error.login_code_already_used");
        case C::noSpeechDetected: return QStringLiteral("runtime.error.no_speech_detected");
        case C::sessionAlreadyActive: return QStringLiteral("runtime.error.session_already_active");
        case C::unsupportedTarget: return QStringLiteral("runtime.error.unsupported_target");
        case C::unexpectedRuntimeFailure: return QStringLiteral("runtime.error.unexpected");
    }
    return QStringLiteral("runtime.error.unexpected");
}

QString QuorvelleError::errorDescription() const {
    using C = QuorvelleErrorCase;
    switch (m_case) {
        case C::rateLimitedRetryAfter:
            return QStringLiteral("Cok fazla istek gonderildi. ") + QString::number(m_retryAfterSeconds) +
                   QStringLiteral(" saniye sonra tekrar deneyin.");
        case C::microphonePermissionDenied: return QStringLiteral("Microphone izni gerekli.");
        case C::accessibilityPermissionDenied: return QStringLiteral("Accessibility izni gerekli.");
        case C::invalidAPIKey: return QStringLiteral("Quorvelle oturumu gecersiz.");
        case C::networkUnavailable: return QStringLiteral("Ag baglantisi kurulamadi.");
        case C::requestTimedOut: return QStringLiteral("Istek zaman asimina ugradi. Tekrar deneyin.");
        case C::rateLimited: return QStringLiteral("Cok fazla istek gonderildi. Tekrar deneyin.");
        case C::providerTimeout:
            return QStringLiteral("Cloud transcription servisi zaman asimina ugradi. Birazdan tekrar deneyin.");
        case C::providerUnavailable:
            return QStringLiteral("Cloud transcription servisi gecici olarak yanit vermiyor. Birazdan tekrar deneyin.");
        case C::loginCodeAlreadyUsed:
            return QStringLiteral("Bu giris kodu zaten kullanildi. Yeni bir kod almak icin tekrar Sign In baslat.");
        case C::noSpeechDetected: return QStringLiteral("Kayit cok kisa. Hotkey'i basili tutup konusun.");
        case C::sessionAlreadyActive: return QStringLiteral("Baska bir session zaten aktif.");
        case C::unsupportedTarget: return QStringLiteral("Yazilabilir bir alan secin.");
        case C::unexpectedRuntimeFailure: return QStringLiteral("Beklenmeyen bir hata olustu. Tekrar deneyin.");
    }
    return QStringLiteral("Beklenmeyen bir hata olustu. Tekrar deneyin.");
}

const char* QuorvelleError::what() const noexcept {
    return m_what.constData();
}

}  // namespace quorvelle
