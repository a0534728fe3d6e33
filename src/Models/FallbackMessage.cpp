#include "Models/FallbackMessage.h"

#include <array>
#include <utility>

namespace quorvelle {

QString fallbackMessage(const QString& code) {
    static const std::array<std::pair<const char*, const char*>, 6> messages{{
        {"runtime.fallback.target_surface_changed", "Yazma hedefi değişti. Metin panoya kopyalandı."},
        {"runtime.fallback.frontmost_application_changed", "Odaktaki uygulama değişti. Metin panoya kopyalandı."},
        {"runtime.fallback.focused_target_unavailable", "Yazma hedefi bulunamadı. Metin panoya kopyalandı."},
        {"runtime.fallback.replacement_hint_mismatch", "Metin alanı değişti. Sonuç panoya kopyalandı."},
        {"runtime.fallback.clipboard_paste_verification_failed", "Yapıştırma doğrulanamadı. Metin panoya kopyalandı."},
        {"runtime.fallback.clipboard_disabled", "Clipboard fallback kapalı. Metin otomatik eklenemedi."},
    }};
    for (const auto& [knownCode, message] : messages) {
        if (code == QLatin1String(knownCode)) return QString::fromUtf8(message);
    }
    return QStringLiteral("Metin panoya kopyalandı.");
}

}  // namespace quorvelle
