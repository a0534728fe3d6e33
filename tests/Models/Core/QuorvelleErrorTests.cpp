#include "Models/FallbackMessage.h"
#include "Models/QuorvelleError.h"
#include "Models/SessionState.h"

#include <gtest/gtest.h>

#include <QSet>

namespace quorvelle {
namespace {

using C = QuorvelleErrorCase;

TEST(QuorvelleError, RetryAfterDescriptionEmbedsTheSecondsInDecimal) {
    for (const qint64 seconds : {12345, -5}) {
        const auto error = QuorvelleError::rateLimitedRetryAfter(seconds);
        EXPECT_EQ(error.errorDescription(),
                  QStringLiteral("Cok fazla istek gonderildi. %1 saniye sonra tekrar deneyin.").arg(seconds));
        EXPECT_EQ(error.diagnosticsCode(), QStringLiteral("runtime.error.rate_limited"));
        EXPECT_EQ(error.retryAfterSeconds(), seconds);
        EXPECT_EQ(error.errorCase(), C::rateLimitedRetryAfter);
    }
}

TEST(QuorvelleError, CasesAreListedOnceWithDistinctCodes) {
    const auto& cases = allQuorvelleErrorCases();
    QSet<QString> descriptions;
    for (C errorCase : cases) {
        const QuorvelleError error = errorCase == C::rateLimitedRetryAfter ? QuorvelleError::rateLimitedRetryAfter(1)
                                                                           : QuorvelleError(errorCase);
        EXPECT_TRUE(error.diagnosticsCode().startsWith(u"runtime.error."));
        descriptions.insert(error.errorDescription());
    }
    EXPECT_EQ(descriptions.size(), cases.size());
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
