#include "Models/FallbackMessage.h"
#include "Models/QuorvelleError.h"
#include "Models/SessionState.h"

#include <gtest/gtest.h>

#include <QSet>

namespace quorvelle {
namespace {

using C = QuorvelleErrorCase;

TEST(QuorvelleError, RetryAfterDescriptionEmbedsTheSecondsInDecimal) {
    const struct {
        qint64 seconds;
        const char* description;
    } rows[] = {
        {12345, "Cok fazla istek gonderildi. 12345 saniye sonra tekrar deneyin."},
        {-5, "Cok fazla istek gonderildi. -5 saniye sonra tekrar deneyin."},
    };
    for (const auto& row : rows) {
        const auto error = QuorvelleError::rateLimitedRetryAfter(row.seconds);
        EXPECT_EQ(error.errorDescription(), QString::fromUtf8(row.description));
        EXPECT_EQ(error.diagnosticsCode(), QStringLiteral("runtime.error.rate_limited"));
        EXPECT_EQ(error.retryAfterSeconds(), row.seconds);
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
    const struct {
        const char* code;
        const char* message;
    } rows[] = {
        {"runtime.fallback.target_surface_changed", "Yazma hedefi değişti. Metin panoya kopyalandı."},
        {"runtime.fallback.clipboard_disabled", "Clipboard fallback kapalı. Metin otomatik eklenemedi."},
        {"RUNTIME.FALLBACK.CLIPBOARD_DISABLED", "Metin panoya kopyalandı."},
        {"runtime.fallback.clipboard_disabled ", "Metin panoya kopyalandı."},
        {"runtime.fallback.target_surface", "Metin panoya kopyalandı."},
    };
    for (const auto& row : rows)
        EXPECT_EQ(fallbackMessage(QString::fromUtf8(row.code)), QString::fromUtf8(row.message)) << row.code;
}

}  // namespace
}  // namespace quorvelle
