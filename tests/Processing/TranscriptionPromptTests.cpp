#include <gtest/gtest.h>

#include "ProcessingTestSupport.h"

#include "Processing/DeveloperContext.h"
#include "Processing/PromptNormalization.h"
#include "Processing/TranscriptionPrompt.h"
#include "Processing/WordCount.h"
#include "Support/Graphemes.h"

namespace quorvelle {
namespace {

using test::u;

const QString kHintsPrefix = u("Vocabulary hints: Use these exact spellings when they are spoken: ");
const QString kDeveloperLine =
    u("Developer context: preserve camelCase, PascalCase, snake_case, package names, CLI commands, and code "
      "identifiers. Do not join ordinary words unless the result is a known identifier.");

VocabularyHintEntry hint(const QString& term, bool enabled = true) {
    return {QUuid::createUuid(), term, QString(), enabled, QDateTime()};
}

FocusedTargetSnapshot target(const char* bundle, const char* name, const char* title = "", const char* id = "") {
    FocusedTargetSnapshot t;
    t.app = {u(bundle), u(name), 1};
    std::tie(t.element.title, t.element.identifier) = std::pair(u(title), u(id));
    return t;
}

TEST(TranscriptionPrompt, PartsAreJoinedByABlankLineInOrderAndNothingToSayGivesNoPrompt) {
    EXPECT_EQ(buildTranscriptionPrompt(u("  \n "), {hint(u("off"), false), hint(u("   "))}, target("a", "Notes")),
              TranscriptionPromptContext{});
    const std::tuple<std::optional<QString>, QList<VocabularyHintEntry>, const char*> cases[] = {
        {u("  Be brief.  "), {}, "Be brief."},
        {std::nullopt,
         {hint(u("Kubernetes")), hint(u("kubernetes ")), hint(u("Quorvelle"))},
         "Vocabulary hints: Use these exact spellings when they are spoken: Kubernetes, Quorvelle."},
        {u("Be brief."),
         {hint(u("Café")), hint(u("cafe")), hint(u("Off"), false)},
         "Be brief.\n\nVocabulary hints: Use these exact spellings when they are spoken: Café."},
    };
    for (const auto& [instructions, hints, expected] : cases) {
        const TranscriptionPromptContext context = buildTranscriptionPrompt(instructions, hints, std::nullopt);
        EXPECT_EQ(context.prompt, u(expected));
        EXPECT_FALSE(context.isDeveloperContext);
    }
}

TEST(TranscriptionPrompt, DeveloperTargetsAddTermsAfterTheUsersAndTheDeveloperLineLast) {
    // Window titles and element ids count as well as names and bundle ids.
    EXPECT_TRUE(isDeveloperContext(target("org.example.notes", "Notes", "Amazed by it")));  // substring, not a word
    EXPECT_TRUE(isDeveloperContext(target("org.example.notes", "Notes", "", "main-TERMINAL-view")));
    EXPECT_FALSE(isDeveloperContext(target("org.example.notes", "Notes", "Shopping")));
    const TranscriptionPromptContext context = buildTranscriptionPrompt(
        u("Be brief."), {hint(u("typescript")), hint(u("Quorvelle"))}, target("com.jetbrains.intellij", "IDEA"));
    EXPECT_TRUE(context.isDeveloperContext);
    ASSERT_EQ(context.vocabularyHints.size(), 2 + 25 - 1);  // the user's "typescript" hides "TypeScript"
    ASSERT_TRUE(context.prompt);
    EXPECT_TRUE(context.prompt->startsWith(u("Be brief.\n\n") + kHintsPrefix + u("typescript, Quorvelle, useEffect")));
    EXPECT_TRUE(context.prompt->endsWith(u("OpenAI.\n\n") + kDeveloperLine));
}

TEST(TranscriptionPrompt, AtMostEightyHintsAndUserTermsCountFirst) {
    QList<VocabularyHintEntry> hints;
    for (int i = 0; i < 100; ++i)
        hints.append(hint(u("term%1").arg(i)));
    hints.insert(5, hint(u("TERM3")));  // a repeat does not take a place
    const TranscriptionPromptContext context = buildTranscriptionPrompt({}, hints, target("x", "Xcode"));
    ASSERT_EQ(context.vocabularyHints.size(), 80);
    EXPECT_EQ(context.vocabularyHints.first(), u("term0"));
    EXPECT_EQ(context.vocabularyHints.last(), u("term79"));
    EXPECT_TRUE(context.prompt->endsWith(kDeveloperLine));
}

TEST(TranscriptionPrompt, LongPromptsAreCutAt1800CharactersNeverSplittingACharacterThenTrimmed) {
    EXPECT_EQ(composeTranscriptionPrompt(QString(1799, u'a') + u("  tail"), {}, false), QString(1799, u'a'));
    EXPECT_EQ(composeTranscriptionPrompt(QString(1801, u'b'), {}, false), QString(1800, u'b'));
    // An emoji (a surrogate pair), a family (joined emoji), an accented letter and CR LF are one character each.
    EXPECT_EQ(Graphemes::count(u("a\r\nb")), 3);
    for (const QString& unit : {u("😀"), u("👩‍👩‍👦"), u("a\u0301")}) {
        const std::optional<QString> prompt = composeTranscriptionPrompt(QString(1799, u'x') + unit + unit, {}, false);
        EXPECT_EQ(prompt, QString(1799, u'x') + unit);
        EXPECT_EQ(Graphemes::count(prompt.value_or(QString())), 1800);
    }
}

// What the request sends: nothing for missing or blank text or hints, at most 900 characters of text.
TEST(PromptNormalization, BlankIsNothingTextIsLimitedTo900CharactersAndHintsAreNotLimited) {
    EXPECT_EQ(normalizedPromptText(std::nullopt), std::nullopt);
    EXPECT_EQ(normalizedPromptText(u(" \n\t")), std::nullopt);
    EXPECT_EQ(normalizedVocabularyHints({u(" "), QString()}), std::nullopt);
    EXPECT_EQ(Graphemes::count(*normalizedPromptText(QString(901, u'z'))), 900);
    QStringList many;
    for (int i = 0; i < 120; ++i)
        many.append(u("t%1").arg(i));
    EXPECT_EQ(normalizedVocabularyHints(many)->size(), 120);
}

TEST(WordCount, CountsWordsAndFallsBackToRunsOfNonSpace) {
    const std::pair<const char*, qsizetype> cases[] = {{"Hello, world!", 2},         {"   \n ", 0},
                                                       {"It costs 3.5 dollars.", 4}, {"-- ... --", 3},
                                                       {"well-known words", 3},      {"ok --", 1}};
    for (const auto& [text, words] : cases)
        EXPECT_EQ(countWords(u(text)), words) << text;
}

}  // namespace
}  // namespace quorvelle
