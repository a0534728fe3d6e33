#include "Models/AppLanguageOption.h"
#include "Models/DesktopThemeOption.h"
#include "Models/DiagnosticsEventLevel.h"
#include "Models/LocalTranscriptionModelID.h"
#include "Models/LocalWhisperAccelerationMode.h"
#include "Models/OnboardingStatus.h"
#include "Models/PermissionState.h"
#include "Models/RecordingTriggerMode.h"
#include "Models/TranscriptHistoryCompletionKind.h"
#include "Models/TranscriptionBackend.h"
#include "Models/TranscriptionPostProcessingMode.h"
#include "Models/WidgetAppearance.h"

#include <gtest/gtest.h>

#include <QSet>

namespace quorvelle {
namespace {

// Every case maps to a raw value of its own and back; stored values are matched exactly.
template <typename... E>
void expectExactRoundTrips() {
    const auto check = [](auto tag) {
        using Enum = decltype(tag);
        QSet<QString> seen;
        for (Enum value : allCases<Enum>()) {
            const QString raw = rawValue(value);
            seen.insert(raw);
            EXPECT_EQ(fromRawValue<Enum>(raw), value) << raw.toStdString();
            EXPECT_FALSE(fromRawValue<Enum>(raw.toUpper()).has_value()) << raw.toStdString();
            EXPECT_FALSE(fromRawValue<Enum>(raw + u' ').has_value()) << raw.toStdString();
        }
        EXPECT_EQ(seen.size(), allCases<Enum>().size());
        EXPECT_FALSE(fromRawValue<Enum>(u"").has_value());
    };
    (check(E{}), ...);
}

TEST(PersistedEnumerations, EveryCaseRoundTripsThroughItsOwnRawValue) {
    expectExactRoundTrips<AppLanguageOption, DesktopThemeOption, WidgetAppearance, RecordingTriggerMode,
                          TranscriptionBackend, LocalWhisperAccelerationMode, TranscriptionPostProcessingMode,
                          LocalTranscriptionModelID, TranscriptHistoryCompletionKind, DiagnosticsEventLevel,
                          PermissionState>();
}

TEST(AppLanguageCode, ExplicitChoicesIgnoreTheLocaleAndSystemFollowsTurkishOnly) {
    const std::tuple<AppLanguageOption, QLocale, const char*> rows[] = {
        {AppLanguageOption::english, QLocale(QLocale::Turkish, QLocale::Turkey), "en"},
        {AppLanguageOption::turkish, QLocale(QLocale::English, QLocale::UnitedStates), "tr"},
        {AppLanguageOption::system, QLocale(QLocale::Turkish, QLocale::Cyprus), "tr"},
        {AppLanguageOption::system, QLocale(QLocale::Azerbaijani), "en"},
    };
    for (const auto& [option, locale, code] : rows)
        EXPECT_EQ(languageCode(option, locale), QString::fromLatin1(code)) << locale.name().toStdString();
}

TEST(OnboardingStatus, CompletenessFollowsPermissionsThenTheChosenEngine) {
    using P = PermissionState;
    using status = OnboardingStatus;
    const auto A = P::authorized;
    const auto local = TranscriptionBackend::local;
    const auto cloud = TranscriptionBackend::cloud;
    const std::tuple<OnboardingStatus, bool, const char*> rows[] = {
        {status(A, A, false, false, false, local, true), true, "local ready needs no account"},
        {status(A, A, true, true, true, local, false), false, "local not ready"},
        {status(P::denied, A, false, false, false, local, true), false, "local, microphone denied"},
        {status(A, A, true, true, true, cloud, false), true, "cloud with account and disclosures"},
        {status(A, A, true, true, false, cloud, true), false, "cloud without privacy disclosure"},
        {status(A, A, true, false, true, cloud, true), false, "cloud without cloud disclosure"},
        {status(A, A, false, true, true, cloud, true), false, "cloud without account"},
        {status(A, P::denied, true, true, true, cloud, true), false, "cloud, accessibility denied"},
    };
    for (const auto& [onboarding, complete, what] : rows)
        EXPECT_EQ(onboarding.isComplete(), complete) << what;
}

}  // namespace
}  // namespace quorvelle
