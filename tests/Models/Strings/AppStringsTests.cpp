#include "Models/AppLanguageOption.h"
#include "Models/AppStrings.h"
#include "Models/DesktopThemeOption.h"
#include "Models/MainWindowSection.h"
#include "Models/PermissionState.h"
#include "Models/QuorvelleError.h"
#include "Models/RecordingTriggerMode.h"
#include "Models/SessionState.h"
#include "Models/StartAtLoginStatus.h"
#include "Models/TranscriptHistoryCompletionKind.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvelle {
namespace {

const AppStrings kEnglish{QStringLiteral("en")};
const AppStrings kTurkish{QStringLiteral("tr")};

// Compared as UTF-8 so that a failure prints readable text.
std::string utf8(const QString& text) {
    return text.toStdString();
}

TEST(AppStringsTables, EveryTextExistsInBothLanguagesAndDiffersUnlessShared) {
    const auto checkShared = [](const std::string& name, bool shared, const auto& read) {
        const QString english = read(kEnglish), turkish = read(kTurkish);
        EXPECT_FALSE(english.trimmed().isEmpty() || turkish.trimmed().isEmpty()) << name;
        EXPECT_EQ(english == turkish, shared) << name << ": " << utf8(english) << " / " << utf8(turkish);
    };
    const auto check = [&](const std::string& name, const auto& read) { checkShared(name, false, read); };
    const SessionState states[] = {SessionState::blocked(SessionBlockReason::secureField),
                                   SessionState::error(QuorvelleError(QuorvelleErrorCase::networkUnavailable)),
                                   SessionState::idle(),
                                   SessionState::recording(),
                                   SessionState::uploading(),
                                   SessionState::injecting(),
                                   SessionState::fallbackCopied(),
                                   SessionState::success()};
    for (const SessionState& state : states) {
        const std::string name = utf8(kEnglish.sessionStatusBadge(state));
        check("badge " + name, [&](const AppStrings& s) { return s.sessionStatusBadge(state); });
        check("title " + name, [&](const AppStrings& s) { return s.sessionStateTitle(state, std::nullopt); });
        for (RecordingTriggerMode mode : allCases<RecordingTriggerMode>())
            check("detail " + name,
                  [&](const AppStrings& s) { return s.sessionDetail(state, std::nullopt, std::nullopt, mode); });
    }
    for (SessionBlockReason reason : allCases<SessionBlockReason>()) {
        check("blockedTitle", [&](const AppStrings& s) { return s.blockedTitle(reason); });
        check("blockedDetail", [&](const AppStrings& s) { return s.blockedDetail(reason); });
    }
    for (QuorvelleErrorCase errorCase : allQuorvelleErrorCases()) {
        const bool retryAfter = errorCase == QuorvelleErrorCase::rateLimitedRetryAfter;
        const QuorvelleError error = retryAfter ? QuorvelleError::rateLimitedRetryAfter(7) : QuorvelleError(errorCase);
        check("failureTitle", [&](const AppStrings& s) { return s.failureTitle(error); });
        checkShared("errorMessage", retryAfter, [&](const AppStrings& s) { return s.errorMessage(error); });
    }
    EXPECT_EQ(utf8(kEnglish.errorMessage(QuorvelleError::rateLimitedRetryAfter(12))),
              "Çok fazla istek gönderildi. 12 saniye sonra tekrar deneyin.");
    for (auto kind : allCases<TranscriptHistoryCompletionKind>())
        check("history", [&](const AppStrings& s) { return s.historyCompletionKindLabel(kind); });
    for (auto state : allCases<PermissionState>())
        check("permission", [&](const AppStrings& s) { return s.permissionStateLabel(state); });
    for (auto status : allCases<StartAtLoginStatus>())
        check("startAtLogin", [&](const AppStrings& s) { return s.startAtLoginStatusLabel(status); });
    for (auto mode : allCases<RecordingTriggerMode>())
        check("triggerMode", [&](const AppStrings& s) { return s.recordingTriggerModeDescription(mode); });
    for (auto theme : allCases<DesktopThemeOption>())
        checkShared("theme", theme == DesktopThemeOption::quorvelle,
                    [&](const AppStrings& s) { return s.desktopThemeTitle(theme); });
    for (auto option : allCases<AppLanguageOption>()) {
        check("languageTitle", [&](const AppStrings& s) { return s.appLanguageOptionTitle(option); });
        check("languageDescription", [&](const AppStrings& s) { return s.appLanguageOptionDescription(option); });
    }
}

TEST(AppStringsTables, OnlyTheExactCodeTrChoosesTurkish) {
    for (const char* code : {"en", "", "TR", "tr-TR", "tr_TR", " tr", "de"})
        EXPECT_EQ(utf8(AppStrings(QString::fromUtf8(code)).localized(u"A", u"B")), "A") << code;
}

TEST(AppStringsSections, ANameWithPlaceholderTextIsNotExpandedTwice) {
    const QString name = QStringLiteral("Acme %1 %2");
    EXPECT_EQ(utf8(kEnglish.sectionSubtitle(MainWindowSection::dictionary, name)),
              "Define custom replacements so Acme %1 %2 produces clean, consistent language.");
    EXPECT_EQ(utf8(kTurkish.sectionSubtitle(MainWindowSection::changelog, name)), "Acme %1 %2 sürüm geçmişi.");
}

TEST(AppStringsSession, CompletionTitleRecognisesOnlyTheExactDeliveryMessagesAndDetailPrefersTheMessage) {
    const std::pair<std::optional<QString>, const char*> rows[] = {
        {QStringLiteral("Seçili metin değiştirildi."), "Selection updated"},
        {QStringLiteral("Yapıştırma gönderildi. Metin panoda tutuldu."), "Paste sent"},
        {QStringLiteral("Yapıştırma gönderildi."), "Paste sent"},
        {QStringLiteral("metin eklendi."), "Completed"},
        {std::nullopt, "Completed"},
    };
    for (const auto& [message, title] : rows)
        EXPECT_EQ(utf8(kEnglish.sessionStateTitle(SessionState::success(), message)), title);
    const auto failed = SessionState::error(QuorvelleError(QuorvelleErrorCase::networkUnavailable));
    const QString message = QStringLiteral("Hedef değişti.");
    EXPECT_EQ(kEnglish.sessionDetail(failed, message, QStringLiteral("1.2 s"), RecordingTriggerMode::toggle), message);
    EXPECT_EQ(utf8(kEnglish.sessionDetail(SessionState::recording(), QString(), QStringLiteral("1.2 s"),
                                          RecordingTriggerMode::toggle)),
              "Last capture: 1.2 s");
}

}  // namespace
}  // namespace quorvelle
