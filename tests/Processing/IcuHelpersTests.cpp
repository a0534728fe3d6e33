#include <gtest/gtest.h>

#include "ProcessingTestSupport.h"

#include "Support/IcuRegex.h"
#include "Support/TextFolding.h"
#include "Support/WholeWord.h"

namespace quorvelle {
namespace {

using test::kEnglish;
using test::kTurkish;
using test::u;

TEST(IcuRegex, RangesCountUtf16UnitsAcrossSurrogatePairsAndEscapedPatternsAreLiteral) {
    const QList<Utf16Range> expected{{3, 2}, {11, 2}};  // "𝒳go" is one word
    EXPECT_EQ(IcuRegex(u("\\bgo\\b")).matchRanges(u("😀 go 𝒳go go")), expected);

    const QString literal = u("a.b*c+?^$|()[]{}\\d/-#&~'\" z");
    IcuRegex regex(IcuRegex::escapedPattern(literal));
    EXPECT_EQ(regex.matchRanges(u("xx") + literal + u("xx")), (QList<Utf16Range>{{2, literal.size()}}));
    EXPECT_TRUE(regex.matchRanges(u("aXb*c")).isEmpty());
}

TEST(WholeWord, GuardedMatchesEqualTheGuardedPattern) {
    const std::pair<const char*, const char*> cases[] = {
        {"aa", "aaa aa aa"},           // a refused candidate must not hide the next one
        {"go", "𝒳go go 😀go go5 _go"},  // letters outside the BMP guard, emoji and underscore do not
        {"x", "x́ x"},                  // a combining mark is not a letter
        {"İ", "i̇ İ"},                  // full case folding: İ matches i and a combining dot
        {"ss", "Straße ss SS"},
        {"٣", "٣ ٣٣ x٣"},  // other scripts' digits guard too
    };
    for (const auto& [word, text] : cases) {
        const QString literal = IcuRegex::escapedPattern(u(word));
        const IcuRegex guarded(WholeWord::patternIgnoringCase(literal));
        const IcuRegex bare(literal, IcuRegex::Matching::caseInsensitive);
        EXPECT_EQ(WholeWord::matchRanges(bare, u(text)), guarded.matchRanges(u(text))) << text;
        EXPECT_FALSE(guarded.matchRanges(u(text)).isEmpty()) << text;
    }
}

TEST(TextFolding, FoldsAndComparesWithTurkishDottedAndDotlessI) {
    const std::tuple<const char*, const char*, bool, bool> cases[] = {
        {"Café", "cafe", true, true},        {"İstanbul", "istanbul", true, true}, {"ISPARTA", "isparta", true, false},
        {"ISPARTA", "ısparta", false, true}, {"ılık", "ilik", false, false},
    };
    const auto same = [](const char* a, const char* b, const QLocale& locale) {
        return TextFolding::foldCaseAndDiacritics(u(a), locale) == TextFolding::foldCaseAndDiacritics(u(b), locale);
    };
    for (const auto& [a, b, sameInEnglish, sameInTurkish] : cases) {
        EXPECT_EQ(same(a, b, kEnglish), sameInEnglish) << a << " / " << b;
        EXPECT_EQ(same(a, b, kTurkish), sameInTurkish) << a << " / " << b;
    }
    // Comparison ignores case but not accents, and follows the locale.
    EXPECT_EQ(TextFolding::compareCaseInsensitive(u("apple"), u("APPLE"), kEnglish), 0);
    EXPECT_LT(TextFolding::compareCaseInsensitive(u("apple"), u("Banana"), kEnglish), 0);
    EXPECT_NE(TextFolding::compareCaseInsensitive(u("cafe"), u("café"), kEnglish), 0);
    // Turkish sorts ç after c, and ı before i; English interleaves them.
    EXPECT_GT(TextFolding::compareCaseInsensitive(u("çam"), u("cz"), kTurkish), 0);
    EXPECT_LT(TextFolding::compareCaseInsensitive(u("çam"), u("cz"), kEnglish), 0);
    EXPECT_EQ(TextFolding::compareCaseInsensitive(u("ISPARTA"), u("ısparta"), kTurkish), 0);
}

}  // namespace
}  // namespace quorvelle
