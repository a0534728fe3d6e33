#include "AppStringsTestHelpers.h"

#include "Models/AppLanguageOption.h"
#include "Models/DesktopThemeOption.h"
#include "Models/PermissionState.h"
#include "Models/QuorvelleError.h"
#include "Models/RecordingTriggerMode.h"
#include "Models/SessionState.h"
#include "Models/StartAtLoginStatus.h"
#include "Models/TranscriptHistoryCompletionKind.h"
#include "Models/TranscriptionLanguageOption.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace quorvelle {
namespace {

using test::kEnglish;
using test::kTurkish;
using test::utf8;

QuorvelleError errorOf(QuorvelleErrorCase errorCase) {
    return QuorvelleError(errorCase);
}

// One text of the tables, read through the public interface in a given language.
struct TextCase {
    std::string name;
    std::function<QString(const AppStrings&)> read;
    bool sameInBothLanguages = false;
};

std::vector<TextCase> everyTableText() {
    std::vector<TextCase> cases;
    auto add = [&](std::string name, std::function<QString(const AppStrings&)> read, bool same = false) {
        cases.push_back({std::move(name), std::move(read), same});
    };
    const std::vector<std::pair<std::string, SessionState>> states = {
        {"blocked", SessionState::blocked(SessionBlockReason::secureField)},
        {"error", SessionState::error(errorOf(QuorvelleErrorCase::networkUnavailable))},
        {"idle", SessionState::idle()},
        {"recording", SessionState::recording()},
        {"uploading", SessionState::uploading()},
        {"injecting", SessionState::injecting()},
        {"fallbackCopied", SessionState::fallbackCopied()},
        {"success", SessionState::success()},
    };
    for (const auto& [name, state] : states) {
        add("badge." + name, [state](const AppStrings& s) { return s.sessionStatusBadge(state); });
        add("title." + name, [state](const AppStrings& s) { return s.sessionStateTitle(state, std::nullopt); });
        for (RecordingTriggerMode mode : allCases<RecordingTriggerMode>()) {
            add("detail." + name + "." + rawValue(mode).toStdString(), [state, mode](const AppStrings& s) {
                return s.sessionDetail(state, std::nullopt, std::nullopt, mode);
            });
        }
    }
    for (SessionBlockReason reason : {SessionBlockReason::noWritableTarget, SessionBlockReason::secureField,
                                      SessionBlockReason::permissionsMissing}) {
        add("blockedTitle", [reason](const AppStrings& s) { return s.blockedTitle(reason); });
        add("blockedDetail", [reason](const AppStrings& s) { return s.blockedDetail(reason); });
    }
    for (QuorvelleErrorCase errorCase : allQuorvelleErrorCases()) {
        const QuorvelleError error = errorCase == QuorvelleErrorCase::rateLimitedRetryAfter
                                         ? QuorvelleError::rateLimitedRetryAfter(7)
                                         : errorOf(errorCase);
        add("failureTitle", [error](const AppStrings& s) { return s.failureTitle(error); });
        add(
            "errorMessage", [error](const AppStrings& s) { return s.errorMessage(error); },
            errorCase == QuorvelleErrorCase::rateLimitedRetryAfter);
    }
    for (auto kind : allCases<TranscriptHistoryCompletionKind>())
        add("history", [kind](const AppStrings& s) { return s.historyCompletionKindLabel(kind); });
    for (auto state : allCases<PermissionState>())
        add("permission", [state](const AppStrings& s) { return s.permissionStateLabel(state); });
    for (auto status : {StartAtLoginStatus::enabled, StartAtLoginStatus::disabled, StartAtLoginStatus::requiresApproval,
                        StartAtLoginStatus::unsupported}) {
        add("startAtLogin", [status](const AppStrings& s) { return s.startAtLoginStatusLabel(status); });
    }
    for (auto mode : allCases<RecordingTriggerMode>())
        add("triggerMode", [mode](const AppStrings& s) { return s.recordingTriggerModeDescription(mode); });
    for (auto theme : allCases<DesktopThemeOption>()) {
        add(
            "theme", [theme](const AppStrings& s) { return s.desktopThemeTitle(theme); },
            theme == DesktopThemeOption::quorvelle);
    }
    for (auto option : allCases<AppLanguageOption>()) {
        add("languageTitle", [option](const AppStrings& s) { return s.appLanguageOptionTitle(option); });
        add("languageDescription", [option](const AppStrings& s) { return s.appLanguageOptionDescription(option); });
    }
    return cases;
}

TEST(AppStringsTables, EveryTextExistsInBothLanguagesAndDiffersUnlessShared) {
    for (const TextCase& text : everyTableText()) {
        SCOPED_TRACE(text.name);
        const QString english = text.read(kEnglish);
        const QString turkish = text.read(kTurkish);
        EXPECT_FALSE(english.trimmed().isEmpty());
        EXPECT_FALSE(turkish.trimmed().isEmpty());
        if (text.sameInBothLanguages) {
            EXPECT_EQ(utf8(english), utf8(turkish));
        } else {
            EXPECT_NE(utf8(english), utf8(turkish));
        }
    }
}

TEST(AppStringsTables, OnlyTheExactCodeTrChoosesTurkish) {
    const SessionState idle = SessionState::idle();
    for (const char* code : {"en", "", "TR", "tr-TR", "tr_TR", " tr", "de"}) {
        SCOPED_TRACE(code);
        const AppStrings strings{QString::fromUtf8(code)};
        EXPECT_FALSE(strings.isTurkish());
        EXPECT_EQ(utf8(strings.sessionStateTitle(idle, std::nullopt)), "Quorvelle ready");
        EXPECT_EQ(utf8(strings.localized(u"A", u"B")), "A");
    }
    EXPECT_TRUE(kTurkish.isTurkish());
    EXPECT_EQ(utf8(kTurkish.sessionStateTitle(idle, std::nullopt)), "Quorvelle hazır");
}

TEST(AppStringsSession, CompletionTitleRecognisesOnlyTheExactDeliveryMessages) {
    struct Row {
        std::optional<QString> message;
        std::string english;
        std::string turkish;
    };
    const std::vector<Row> rows = {
        {QStringLiteral("Seçili metin değiştirildi."), "Selection updated", "Seçim güncellendi"},
        {QStringLiteral("Yapıştırma gönderildi. Metin panoda tutuldu."), "Paste sent", "Yapıştırma gönderildi"},
        {QStringLiteral("Metin eklendi. "), "Completed", "Tamamlandı"},
        {QStringLiteral("metin eklendi."), "Completed", "Tamamlandı"},
        {std::nullopt, "Completed", "Tamamlandı"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(utf8(row.message.value_or(QStringLiteral("<none>"))));
        EXPECT_EQ(utf8(kEnglish.completionTitle(row.message)), row.english);
        EXPECT_EQ(utf8(kTurkish.completionTitle(row.message)), row.turkish);
        EXPECT_EQ(utf8(kEnglish.sessionStateTitle(SessionState::success(), row.message)), row.english);
    }
}

TEST(AppStringsSession, DetailPrefersMessageThenCaptureSummaryThenState) {
    const auto recording = SessionState::recording();
    const auto failed = SessionState::error(errorOf(QuorvelleErrorCase::networkUnavailable));
    const QString message = QStringLiteral("Hedef değişti.");
    const QString summary = QStringLiteral("1.2 s, peak -12 dB");
    EXPECT_EQ(kEnglish.sessionDetail(failed, message, summary, RecordingTriggerMode::toggle), message);
    EXPECT_EQ(utf8(kEnglish.sessionDetail(recording, QString(), summary, RecordingTriggerMode::toggle)),
              "Last capture: 1.2 s, peak -12 dB");
    EXPECT_EQ(utf8(kEnglish.sessionDetail(recording, QString(), QString(), RecordingTriggerMode::pushToTalk)),
              "Release to stop capture and start transcription.");
    EXPECT_EQ(
        utf8(kEnglish.sessionDetail(SessionState::idle(), std::nullopt, std::nullopt, RecordingTriggerMode::toggle)),
        "Hold-to-talk hotkey ready.");
}

TEST(AppStringsSession, RetryAfterMessageIsTurkishInEveryLanguage) {
    for (const AppStrings& s : {kEnglish, kTurkish}) {
        EXPECT_EQ(utf8(s.errorMessage(QuorvelleError::rateLimitedRetryAfter(12))),
                  "Çok fazla istek gönderildi. 12 saniye sonra tekrar deneyin.");
    }
    EXPECT_EQ(utf8(kEnglish.errorMessage(errorOf(QuorvelleErrorCase::rateLimited))), "Too many requests. Try again.");
}

TEST(AppStringsChoices, TranscriptionLanguageTitles) {
    // Only English, Turkish and the automatic choice have names of their own in Turkish.
    const struct {
        TranscriptionLanguageOption option;
        std::string english;
        std::string turkish;
    } rows[] = {
        {{QStringLiteral("de"), QStringLiteral("German")}, "German (de)", "German (de)"},
        {{QStringLiteral("en"), QStringLiteral("English")}, "English (en)", "İngilizce (en)"},
        {TranscriptionLanguageOption::automatic(), "Auto (Recommended)", "Otomatik (Önerilen)"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(utf8(kEnglish.transcriptionLanguageTitle(row.option)), row.english);
        EXPECT_EQ(utf8(kTurkish.transcriptionLanguageTitle(row.option)), row.turkish);
    }
}

}  // namespace
}  // namespace quorvelle
