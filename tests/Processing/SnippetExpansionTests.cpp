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

TEST(SnippetMatching, SingularVariantOfTheLastWordAndNormalisedEndsCaseAccentsAndSpacing) {
    const std::pair<const char*, const char*> variants[] = {
        {"flies", "fly"},
        {"boxes", "box"},
        {"buses", "bus"},
        {"boss", nullptr},
        {"bus", nullptr},
        {"coffee", nullptr},
        {"my coffee orders", "my coffee order"},
    };
    for (const auto& [text, variant] : variants) {
        EXPECT_EQ(SnippetMatching::singularVariant(u(text)), variant ? std::optional(u(variant)) : std::nullopt)
            << text;
    }
    const std::pair<const char*, const char*> normalized[] = {
        {"  Coffee   Order!  ", "coffee order"},
        {"«Adresim»", "adresim"},
        {"Çalışma\n\tsaati.", "calısma saati"},
        {"e-mail, please", "e-mail, please"},
    };
    for (const auto& [text, expected] : normalized)
        EXPECT_EQ(SnippetMatching::normalized(u(text), kEnglish), u(expected));
}

TEST(SnippetExpansion, MatchesTheWholeTranscriptLoosely) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"coffee orders", "Coffee order.", true},
        {"coffee order", "coffee orders!", true},
        {"Café menu", "cafe MENU", true},
        {"sign off", "please sign off now", false},
        {"...", "...", false},
    };
    for (const auto& [phrase, transcript, matches] : cases) {
        SCOPED_TRACE(std::string(phrase) + " / " + transcript);
        const VoiceSnippet s = snippet(phrase, "EXPANDED");
        const SnippetExpansionResult result = expandSnippets(u(transcript), {s}, kEnglish);
        EXPECT_EQ(result.transcript, matches ? u("EXPANDED") : u(transcript));
        EXPECT_EQ(result.matchedSnippet, matches ? std::optional(s) : std::nullopt);
    }
    // Nothing to match, or only punctuation: the transcript stays.
    EXPECT_EQ(expandSnippets(u("hello"), {}, kEnglish), (SnippetExpansionResult{u("hello"), std::nullopt}));
    EXPECT_EQ(expandSnippets(u(" ?! "), {snippet("x", "y")}, kEnglish),
              (SnippetExpansionResult{u(" ?! "), std::nullopt}));
}

TEST(SnippetExpansion, FirstMatchingSnippetWinsAndItsExpansionIsKeptAsStored) {
    const QList<VoiceSnippet> snippets{snippet("other", "no"), snippet("my address", "  Main St. 1\n"),
                                       snippet("My address!", "second")};
    const SnippetExpansionResult result = expandSnippets(u("My address."), snippets, kEnglish);
    EXPECT_EQ(result.transcript, u("  Main St. 1\n"));
    EXPECT_EQ(result.matchedSnippet, snippets[1]);
}

}  // namespace
}  // namespace quorvelle
