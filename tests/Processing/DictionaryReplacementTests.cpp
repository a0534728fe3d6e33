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

using DictionaryCase = std::tuple<QList<DictionaryReplacementEntry>, const char*, const char*>;

TEST(DictionaryReplacement, ReplacesWholeWordsIgnoringCase) {
    const DictionaryCase cases[] = {
        {{entry("gpt", "GPT")}, "chatgpt and Gpt, gPT. gpt4 gpt-4", "chatgpt and GPT, GPT. gpt4 GPT-4"},
        {{entry("şeker", "Şeker A.Ş.")}, "ŞEKER ve şekerleme", "Şeker A.Ş. ve şekerleme"},
        {{entry("  foo ", "bar")}, "a foo b (  foo )", "a foo b (bar)"},
        {{entry("c++", "C++"), entry("a.b", "X"), entry("x", "$1\\0")},
         "c++ and axb and a.b x",
         "C++ and axb and X $1\\0"},
        {{entry("   ", "bad"), entry("", "bad")}, "a   b", "a   b"},
        {{entry("alpha", "beta"), entry("beta", "gamma")}, "alpha beta", "beta gamma"},
        {{entry("gpt", "A"), entry("GPT", "B")}, "gpt", "A"},
    };
    for (const auto& [entries, text, expected] : cases)
        EXPECT_EQ(applyDictionaryReplacements(u(text), entries, kEnglish), u(expected)) << text;
}

TEST(DictionaryReplacement, LongerOriginalsInCharactersClaimTheirTextFirstWhateverTheListOrder) {
    const DictionaryCase cases[] = {
        {{entry("new york", "NY"), entry("york city", "YC")}, "new york city", "new YC"},
        {{entry("New York", "NY"), entry("New York City", "NYC")}, "new york city and new york", "NYC and NY"},
        // Same length: the localized case-insensitive order decides ("car key" before "Red car",
        // which a plain code-unit order would put first).
        {{entry("Red car", "RC"), entry("car key", "CK")}, "red car key", "red CK"},
        // "😀😀😀x" is 4 characters in 7 code units, "x abc" 5 in 5: the latter is longer and claims the "x".
        {{entry("😀😀😀x", "A"), entry("x abc", "B")}, "😀😀😀x abc", "😀😀😀B"},
    };
    for (const auto& [entries, text, expected] : cases) {
        EXPECT_EQ(applyDictionaryReplacements(u(text), entries, kEnglish), u(expected)) << text;
        const QList<DictionaryReplacementEntry> reversed(entries.rbegin(), entries.rend());
        EXPECT_EQ(applyDictionaryReplacements(u(text), reversed, kEnglish), u(expected)) << text;
    }
}

}  // namespace
}  // namespace quorvelle
