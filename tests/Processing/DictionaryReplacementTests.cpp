#include <gtest/gtest.h>

#include "ProcessingTestSupport.h"

#include "Processing/DictionaryReplacement.h"

namespace quorvelle {
namespace {

using test::kEnglish;
using test::u;

DictionaryReplacementEntry entry(const char* original, const char* replacement) {
    return {QUuid::createUuid(), u(original), u(replacement), u("general"), QDateTime()};
}

// A name, the entries, the text and the expected result.
using DictionaryCase = std::tuple<const char*, QList<DictionaryReplacementEntry>, const char*, const char*>;

TEST(DictionaryReplacement, ReplacesWholeWordsIgnoringCase) {
    const DictionaryCase cases[] = {
        {"wholeWordIgnoringCase",
         {entry("gpt", "GPT")},
         "chatgpt and Gpt, gPT. gpt4 gpt-4",
         "chatgpt and GPT, GPT. gpt4 GPT-4"},
        {"turkishCase", {entry("şeker", "Şeker A.Ş.")}, "ŞEKER ve şekerleme", "Şeker A.Ş. ve şekerleme"},
        {"spacesInOriginalAreKept", {entry("  foo ", "bar")}, "a foo b (  foo )", "a foo b (bar)"},
        {"regexAndTemplateCharactersAreLiteral",
         {entry("c++", "C++"), entry("a.b", "X"), entry("x", "$1\\0")},
         "c++ and axb and a.b x",
         "C++ and axb and X $1\\0"},
        {"blankOriginalsAreIgnored", {entry("   ", "bad"), entry("", "bad")}, "a   b", "a   b"},
        {"replacementsAreNotRescanned", {entry("alpha", "beta"), entry("beta", "gamma")}, "alpha beta", "beta gamma"},
        {"sameOriginalTheFirstListedWins", {entry("gpt", "A"), entry("GPT", "B")}, "gpt", "A"},
    };
    for (const auto& [name, entries, text, expected] : cases)
        EXPECT_EQ(applyDictionaryReplacements(u(text), entries, kEnglish), u(expected)) << name;
}

TEST(DictionaryReplacement, LongerOriginalsInCharactersClaimTheirTextFirstWhateverTheListOrder) {
    const DictionaryCase cases[] = {
        {"overlapLongerWins", {entry("new york", "NY"), entry("york city", "YC")}, "new york city", "new YC"},
        {"containedShorterLoses",
         {entry("New York", "NY"), entry("New York City", "NYC")},
         "new york city and new york",
         "NYC and NY"},
        // Same length: the localized case-insensitive order decides ("car key" before "Red car",
        // which a plain code-unit order would put first).
        {"equalLengthByCaseInsensitiveOrder",
         {entry("Red car", "RC"), entry("car key", "CK")},
         "red car key",
         "red CK"},
        // "😀😀😀x" is 4 characters in 7 code units, "x abc" 5 in 5: the latter is longer and claims the "x".
        {"lengthInCharactersNotCodeUnits", {entry("😀😀😀x", "A"), entry("x abc", "B")}, "😀😀😀x abc", "😀😀😀B"},
    };
    for (const auto& [name, entries, text, expected] : cases) {
        EXPECT_EQ(applyDictionaryReplacements(u(text), entries, kEnglish), u(expected)) << name;
        const QList<DictionaryReplacementEntry> reversed(entries.rbegin(), entries.rend());
        EXPECT_EQ(applyDictionaryReplacements(u(text), reversed, kEnglish), u(expected)) << name;
    }
}

}  // namespace
}  // namespace quorvelle
