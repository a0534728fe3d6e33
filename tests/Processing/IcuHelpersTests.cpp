#include <gtest/gtest.h>

#include "ProcessingTestSupport.h"

#include "Support/Graphemes.h"
#include "Support/IcuRegex.h"
#include "Support/TextFolding.h"
#include "Support/WholeWord.h"

namespace quorvelle {
namespace {

using test::kEnglish;
using test::kTurkish;
using test::u;

TEST(IcuRegex, ReplacesWithGroupTemplatesAndEscapes) {
    const struct {
        const char* pattern;
        const char* input;
        const char* replacement;
        const char* expected;
    } cases[] = {
        {"(\\w+)@(\\w+)", "a@b c@d", "$2 at $1", "b at a d at c"},
        {"x", "xax", "\\$1", "$1a$1"},
        {"(?<![\\p{L}\\p{N}])ş(?![\\p{L}\\p{N}])", "ş aş ş", "s", "s aş s"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IcuRegex(u(c.pattern)).replaceAll(u(c.input), u(c.replacement)), u(c.expected)) << c.pattern;
    }
    EXPECT_EQ(IcuRegex(u("x")).replaceAllIfMatched(u("abc"), u("y")), std::nullopt);
}

TEST(IcuRegex, RangesCountUtf16UnitsAcrossSurrogatePairs) {
    const QString text = u("😀 go 𝒳go go");
    const QList<Utf16Range> expected{{3, 2}, {11, 2}};  // "𝒳go" is one word
    EXPECT_EQ(IcuRegex(u("\\bgo\\b")).matchRanges(text), expected);
    EXPECT_EQ(IcuRegex(u("GO"), IcuRegex::Matching::caseInsensitive).matchRanges(u("go Go gO")).size(), 3);
}

TEST(IcuRegex, EscapedPatternMatchesEveryPunctuationLiterally) {
    const QString literal = u("a.b*c+?^$|()[]{}\\d/-#&~'\" z");
    IcuRegex regex(IcuRegex::escapedPattern(literal));
    EXPECT_EQ(regex.matchRanges(u("xx") + literal + u("xx")), (QList<Utf16Range>{{2, literal.size()}}));
    EXPECT_TRUE(regex.matchRanges(u("aXb*c")).isEmpty());
}

TEST(IcuRegex, InvalidPatternThrowsWithItsKind) {
    try {
        IcuRegex regex(u("(unclosed"));
        FAIL() << "compiled";
    } catch (const IcuRegexError& error) {
        EXPECT_EQ(error.kind(), IcuRegexError::Kind::invalidPattern);
        EXPECT_EQ(error.pattern(), u("(unclosed"));
    }
}

TEST(WholeWord, GuardedMatchesEqualTheGuardedPattern) {
    const struct {
        const char* literal;
        const char* text;
    } cases[] = {
        {"aa", "aaa aa aa"},           // a refused candidate must not hide the next one
        {"go", "𝒳go go 😀go go5 _go"},  // letters outside the BMP guard, emoji and underscore do not
        {"x", "x́ x"},                  // a combining mark is not a letter
        {"İ", "i̇ İ"},                  // full case folding: İ matches i and a combining dot
        {"ss", "Straße ss SS"},
        {"٣", "٣ ٣٣ x٣"},  // other scripts' digits guard too
    };
    for (const auto& c : cases) {
        const QString literal = IcuRegex::escapedPattern(u(c.literal));
        const IcuRegex guarded(WholeWord::patternIgnoringCase(literal));
        const IcuRegex bare(literal, IcuRegex::Matching::caseInsensitive);
        EXPECT_EQ(WholeWord::matchRanges(bare, u(c.text)), guarded.matchRanges(u(c.text))) << c.text;
        EXPECT_FALSE(guarded.matchRanges(u(c.text)).isEmpty()) << c.text;
    }
}

TEST(TextFolding, FoldsCaseAndAccentsWithTurkishDottedAndDotlessI) {
    const struct {
        const char* a;
        const char* b;
        bool sameInEnglish;
        bool sameInTurkish;
    } cases[] = {
        {"Café", "cafe", true, true},        {"İstanbul", "istanbul", true, true}, {"ISPARTA", "isparta", true, false},
        {"ISPARTA", "ısparta", false, true}, {"ılık", "ilik", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextFolding::foldCaseAndDiacritics(u(c.a), kEnglish) ==
                      TextFolding::foldCaseAndDiacritics(u(c.b), kEnglish),
                  c.sameInEnglish)
            << c.a << " / " << c.b;
        EXPECT_EQ(TextFolding::foldCaseAndDiacritics(u(c.a), kTurkish) ==
                      TextFolding::foldCaseAndDiacritics(u(c.b), kTurkish),
                  c.sameInTurkish)
            << c.a << " / " << c.b;
    }
    EXPECT_EQ(TextFolding::foldCaseAndDiacritics(u("Ünlü Çiçek"), kTurkish), u("unlu cicek"));
}

TEST(TextFolding, ComparisonIgnoresCaseButNotAccentsAndFollowsTheLocale) {
    EXPECT_EQ(TextFolding::compareCaseInsensitive(u("apple"), u("APPLE"), kEnglish), 0);
    EXPECT_LT(TextFolding::compareCaseInsensitive(u("apple"), u("Banana"), kEnglish), 0);
    EXPECT_NE(TextFolding::compareCaseInsensitive(u("cafe"), u("café"), kEnglish), 0);
    // Turkish sorts ç after c, and ı before i; English interleaves them.
    EXPECT_GT(TextFolding::compareCaseInsensitive(u("çam"), u("cz"), kTurkish), 0);
    EXPECT_LT(TextFolding::compareCaseInsensitive(u("çam"), u("cz"), kEnglish), 0);
    EXPECT_EQ(TextFolding::compareCaseInsensitive(u("ISPARTA"), u("ısparta"), kTurkish), 0);
}

TEST(Graphemes, CountAndCutNeverSplitACharacter) {
    const QString family = u("👨‍👩‍👧");  // one character, eight code units
    const QString accented = u("e\u0301");           // e and a combining acute accent
    EXPECT_EQ(Graphemes::count(u("abc")), 3);
    EXPECT_EQ(Graphemes::count(u("a\r\nb")), 3);
    EXPECT_EQ(Graphemes::count(family + accented + u("😀")), 3);
    EXPECT_EQ(Graphemes::prefix(u("ab") + family + u("cd"), 3), u("ab") + family);
    EXPECT_EQ(Graphemes::prefix(u("ab") + accented + u("cd"), 3), u("ab") + accented);
    EXPECT_EQ(Graphemes::prefix(u("short"), 10), u("short"));
    EXPECT_EQ(Graphemes::prefix(u("abc"), 0), QString());
}

}  // namespace
}  // namespace quorvelle
