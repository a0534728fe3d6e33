#include "Models/FallbackMessage.h"
#include "Models/QuorvelleError.h"

#include <gtest/gtest.h>

#include <QSet>

namespace quorvelle {
namespace {

using C = QuorvelleErrorCase;

TEST(QuorvelleError, CasesHaveDistinctDescriptionsAndRetryAfterEmbedsTheSecondsInDecimal) {
    QSet<QString> descriptions;
    for (C errorCase : allQuorvelleErrorCases())
        descriptions.insert(QuorvelleError(errorCase).errorDescription());
    EXPECT_EQ(descriptions.size(), allQuorvelleErrorCases().size());
    const auto error = QuorvelleError::rateLimitedRetryAfter(12345);
    EXPECT_EQ(error.errorDescription(),
              QStringLiteral("Cok fazla istek gonderildi. 12345 saniye sonra tekrar deneyin."));
    EXPECT_EQ(error.retryAfterSeconds(), 12345);
}

TEST(FallbackMessage, KnownCodesGiveTheirMessageOthersTheDefault) {
    const std::pair<const char*, const char*> rows[] = {
        {"runtime.fallback.target_surface_changed", "Yazma hedefi değişti. Metin panoya kopyalandı."},
        {"runtime.fallback.clipboard_disabled", "Clipboard fallback kapalı. Metin otomatik eklenemedi."},
        {"RUNTIME.FALLBACK.CLIPBOARD_DISABLED", "Metin panoya kopyalandı."},
        {"runtime.fallback.clipboard_disabled ", "Metin panoya kopyalandı."},
        {"runtime.fallback.target_surface", "Metin panoya kopyalandı."},
    };
    for (const auto& [code, message] : rows)
        EXPECT_EQ(fallbackMessage(QString::fromUtf8(code)), QString::fromUtf8(message)) << code;
}

}  // namespace
}  // namespace quorvelle
