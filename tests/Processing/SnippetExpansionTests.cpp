#include <gtest/gtest.h>

#include "ProcessingTestSupport.h"

#include "Processing/SnippetExpansion.h"
#include "Processing/SnippetMatching.h"

namespace quorvelle {
namespace {

using test::kEnglish;
using test::u;

VoiceSnippet snippet(const char* phrase, const char* expansion) {
    return {QUuid::createUuid(), u(phrase), u(expansion), false};
}

TEST(SnippetMatching, SingularVariantOfTheLastWord) {
    const struct {
        const char* text;
        const char* variant;  // nullptr: none
    } cases[] = {
        {"flies", "fly"},
        {"boxes", "box"},
        {"buses", "bus"},
        {"boss", nullptr},
        {"bus", nullptr},
        {"coffee", nullptr},
        {"my coffee orders", "my coffee order"},
    };
    for (const auto& c : cases) {
        const auto variant = SnippetMatching::singularVariant(u(c.text));
        if (c.variant) {
            EXPECT_EQ(variant, u(c.variant)) << c.text;
        } else {
            EXPECT_EQ(variant, std::nullopt) << c.text;
        }
    }
}

TEST(SnippetMatching, NormalisesEndsCaseAccentsAndSpacing) {
    const struct {
        const char* text;
        const char* normalized;
    } cases[] = {
        {"  Coffee   Order!  ", "coffee order"},
        {"«Adresim»", "adresim"},
        {"Çalışma\n\tsaati.", "calısma saati"},
        {"e-mail, please", "e-mail, please"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SnippetMatching::normalized(u(c.text), kEnglish), u(c.normalized));
}

TEST(SnippetExpansion, MatchesTheWholeTranscriptLoosely) {
    const struct {
        const char* phrase;
        const char* transcript;
        bool matches;
    } cases[] = {
        {"coffee orders", "Coffee order.", true},
        {"coffee order", "coffee orders!", true},
        {"Café menu", "cafe MENU", true},
        {"sign off", "please sign off now", false},
        {"...", "...", false},
    };
    for (const auto& c : cases) {
        const VoiceSnippet s = snippet(c.phrase, "EXPANDED");
        const SnippetExpansionResult result = expandSnippets(u(c.transcript), {s}, kEnglish);
        if (c.matches) {
            EXPECT_EQ(result.transcript, u("EXPANDED")) << c.phrase << " / " << c.transcript;
            EXPECT_EQ(result.matchedSnippet, s);
        } else {
            EXPECT_EQ(result.transcript, u(c.transcript)) << c.phrase << " / " << c.transcript;
            EXPECT_EQ(result.matchedSnippet, std::nullopt);
        }
    }
}

TEST(SnippetExpansion, FirstMatchingSnippetWinsAndItsExpansionIsKeptAsStored) {
    const QList<VoiceSnippet> snippets{snippet("other", "no"), snippet("my address", "  Main St. 1\n"),
                                       snippet("My address!", "second")};
    const SnippetExpansionResult result = expandSnippets(u("My address."), snippets, kEnglish);
    EXPECT_EQ(result.transcript, u("  Main St. 1\n"));
    EXPECT_EQ(result.matchedSnippet, snippets[1]);
}

TEST(SnippetExpansion, NoSnippetsOrOnlyPunctuationLeaveTheTranscript) {
    EXPECT_EQ(expandSnippets(u("hello"), {}, kEnglish), (SnippetExpansionResult{u("hello"), std::nullopt}));
    EXPECT_EQ(expandSnippets(u(" ?! "), {snippet("x", "y")}, kEnglish),
              (SnippetExpansionResult{u(" ?! "), std::nullopt}));
}

}  // namespace
}  // namespace quorvelle
