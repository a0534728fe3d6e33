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
        {"flies", "fly"}, {"boxes", "box"}, {"buses", "bus"},    {"boss", nullptr},
        {"bus", nullptr}, {"cars", "car"},  {"coffee", nullptr}, {"my coffee orders", "my coffee order"}};
    for (const auto& [text, variant] : variants)
        EXPECT_EQ(SnippetMatching::singularVariant(u(text)), variant ? std::optional(u(variant)) : std::nullopt);
    // Case, accents and spacing are walked through by the expansion tests below.
    EXPECT_EQ(SnippetMatching::normalized(u("«Çalışma\n\tsaati.»"), kEnglish), u("calısma saati"));
    EXPECT_EQ(SnippetMatching::normalized(u("e-mail, please"), kEnglish), u("e-mail, please"));
}

TEST(SnippetExpansion, MatchesTheWholeTranscriptLooselyAndTheFirstMatchWins) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"coffee orders", "Coffee order.", true},
        {"coffee order", "coffee orders!", true},
        {"Café menu", "  cafe   MENU ", true},
        {"sign off", "please sign off now", false},
        {"...", "...", false},
        {"x", " ?! ", false},  // only punctuation matches nothing: the transcript stays
    };
    for (const auto& [phrase, transcript, matches] : cases) {
        SCOPED_TRACE(std::string(phrase) + " / " + transcript);
        const VoiceSnippet s = snippet(phrase, "EXPANDED");
        EXPECT_EQ(expandSnippets(u(transcript), {s}, kEnglish),
                  (SnippetExpansionResult{matches ? u("EXPANDED") : u(transcript),
                                          matches ? std::optional(s) : std::nullopt}));
    }
    // The first matching snippet wins, and its expansion is kept as stored.
    const QList<VoiceSnippet> snippets{snippet("other", "no"), snippet("my address", "  Main St. 1\n"),
                                       snippet("My address!", "second")};
    EXPECT_EQ(expandSnippets(u("My address."), snippets, kEnglish),
              (SnippetExpansionResult{u("  Main St. 1\n"), snippets[1]}));
}

}  // namespace
}  // namespace quorvelle
