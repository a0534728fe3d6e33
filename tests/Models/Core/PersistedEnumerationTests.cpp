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

namespace quorvelle {
namespace {

// The raw values in declaration order; each case must map to its own raw value and back.
template <typename E>
void expectRawValues(const QStringList& expected)
{
    const QList<E> cases = allCases<E>();
    ASSERT_EQ(cases.size(), expected.size());
    for (qsizetype i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(rawValue(cases[i]), expected[i]);
        EXPECT_EQ(fromRawValue<E>(expected[i]), cases[i]);
        // Stored values are matched exactly: another case of letters or padding is unknown.
        EXPECT_FALSE(fromRawValue<E>(expected[i].toUpper()).has_value()) << expected[i].toStdString();
        EXPECT_FALSE(fromRawValue<E>(expected[i] + u' ').has_value());
    }
    EXPECT_FALSE(fromRawValue<E>(u"").has_value());
    EXPECT_FALSE(fromRawValue<E>(u"unknown").has_value());
}

TEST(PersistedEnumerations, RawValuesAreTheCaseNamesInDeclarationOrder)
{
    expectRawValues<AppLanguageOption>({"system", "english", "turkish"});
    expectRawValues<DesktopThemeOption>({"quorvelle", "black", "light"});
    expectRawValues<WidgetAppearance>({"currentWidget", "logoOnly"});
    expectRawValues<RecordingTriggerMode>({"pushToTalk", "toggle"});
    expectRawValues<TranscriptionBackend>({"cloud", "local"});
    expectRawValues<LocalWhisperAccelerationMode>({"cpu", "accelerated"});
    expectRawValues<TranscriptionPostProcessingMode>({"off", "default", "chat", "email", "rewrite"});
    expectRawValues<LocalTranscriptionModelID>({"tinyMultilingual", "baseMultilingual", "tinyEnglish",
                                                "baseEnglish", "smallEnglish", "smallMultilingual",
                                                "mediumMultilingual", "largeV3"});
    expectRawValues<TranscriptHistoryCompletionKind>(
        {"inserted", "pastedViaClipboard", "pasteSentUnverified", "copiedToClipboard"});
    expectRawValues<DiagnosticsEventLevel>({"info", "warning", "error"});
    expectRawValues<PermissionState>({"notDetermined", "authorized", "denied"});
}

TEST(PersistedEnumerations, NamedCasesMatchTheirStoredStrings)
{
    EXPECT_EQ(rawValue(DesktopThemeOption::quorvelle), QStringLiteral("quorvelle"));
    EXPECT_EQ(fromRawValue<DesktopThemeOption>(u"black"), DesktopThemeOption::black);
    EXPECT_EQ(fromRawValue<DesktopThemeOption>(u"light"), DesktopThemeOption::light);
    EXPECT_EQ(rawValue(TranscriptionPostProcessingMode::default_), QStringLiteral("default"));
    EXPECT_EQ(fromRawValue<LocalTranscriptionModelID>(u"largeV3"), LocalTranscriptionModelID::largeV3);
    EXPECT_FALSE(fromRawValue<LocalTranscriptionModelID>(u"large-v3").has_value());
    EXPECT_FALSE(fromRawValue<LocalTranscriptionModelID>(u"LargeV3").has_value());
    EXPECT_EQ(rawValue(RecordingTriggerMode::pushToTalk), QStringLiteral("pushToTalk"));
}

TEST(AppLanguageCode, ExplicitChoicesIgnoreTheLocaleAndSystemFollowsTurkishOnly)
{
    const struct {
        AppLanguageOption option;
        QLocale locale;
        const char* code;
    } rows[] = {
        {AppLanguageOption::english, QLocale(QLocale::Turkish, QLocale::Turkey), "en"},
        {AppLanguageOption::turkish, QLocale(QLocale::English, QLocale::UnitedStates), "tr"},
        {AppLanguageOption::system, QLocale(QLocale::Turkish, QLocale::Turkey), "tr"},
        {AppLanguageOption::system, QLocale(QLocale::Turkish, QLocale::Cyprus), "tr"},
        {AppLanguageOption::system, QLocale(QLocale::German, QLocale::Germany), "en"},
        {AppLanguageOption::system, QLocale(QLocale::Azerbaijani), "en"},
        {AppLanguageOption::system, QLocale::c(), "en"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(languageCode(row.option, row.locale), QString::fromLatin1(row.code))
            << rawValue(row.option).toStdString() << " " << row.locale.name().toStdString();
}

TEST(OnboardingStatus, CompletenessFollowsPermissionsThenTheChosenEngine)
{
    using P = PermissionState;
    const auto status = [](P mic, P ax, bool account, bool groq, bool privacy, TranscriptionBackend backend,
                           bool localReady) {
        return OnboardingStatus{mic, ax, account, groq, privacy, backend, localReady};
    };
    const auto A = P::authorized;
    const auto local = TranscriptionBackend::local;
    const auto cloud = TranscriptionBackend::cloud;
    const struct {
        OnboardingStatus status;
        bool complete;
        const char* what;
    } rows[] = {
        {status(A, A, false, false, false, local, true), true, "local ready needs no account"},
        {status(A, A, true, true, true, local, false), false, "local not ready"},
        {status(P::denied, A, false, false, false, local, true), false, "local, microphone denied"},
        {status(A, P::notDetermined, false, false, false, local, true), false, "local, accessibility unknown"},
        {status(A, A, true, true, true, cloud, false), true, "cloud with account and disclosures"},
        {status(A, A, true, true, false, cloud, true), false, "cloud without privacy disclosure"},
        {status(A, A, true, false, true, cloud, true), false, "cloud without cloud disclosure"},
        {status(A, A, false, true, true, cloud, true), false, "cloud without account"},
        {status(P::denied, A, true, true, true, cloud, true), false, "cloud, microphone denied"},
        {status(A, P::denied, true, true, true, cloud, true), false, "cloud, accessibility denied"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.status.isComplete(), row.complete) << row.what;
}

}  // namespace
}  // namespace quorvelle
