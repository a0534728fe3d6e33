#include <gtest/gtest.h>

#include "Processing/SentenceFormatting.h"
#include "Processing/SpokenPunctuation.h"
#include "Processing/TranscriptCleanup.h"
#include "Processing/Whitespace.h"
#include "Support/IcuRegex.h"

#include <unicode/regex.h>

namespace quorvelle {
namespace {

using Mode = TranscriptionPostProcessingMode;

using CleanupCase = std::pair<const char*, const char*>;

void expectCleanup(Mode mode, std::initializer_list<CleanupCase> cases) {
    for (const auto& [text, expected] : cases) {
        const QString input = QString::fromUtf8(text);
        const TranscriptCleanupResult result = applyCleanupMode(input, mode);
        EXPECT_EQ(result.transcript, QString::fromUtf8(expected)) << "input: " << text;
        EXPECT_EQ(result.inputTranscript, input);
        EXPECT_EQ(result.mode, mode);
    }
}

void expectMapped(QString (*transform)(const QString&), std::initializer_list<CleanupCase> cases) {
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(transform(QString::fromUtf8(input)), QString::fromUtf8(expected)) << "input: " << input;
}

TEST(TranscriptCleanup, OffLeavesTheTextByteForByteAndBlankTextStaysEmptyWithoutFullStop) {
    expectCleanup(Mode::off, {{"  um hello comma world  ", "  um hello comma world  "}, {"", ""}});
    for (Mode mode : {Mode::default_, Mode::chat, Mode::email, Mode::rewrite})
        expectCleanup(mode, {{"", ""}, {"   \n\t ", ""}, {"um", ""}});
}

TEST(TranscriptCleanup, DefaultModeRules) {
    // Fillers and spoken marks go as whole words; percent needs a digit after it; marks between letters or
    // digits get no spaces, a spoken mark is not inside a number; spoken line breaks lose their spaces;
    // addresses keep their colon and fillers leave no stray marks.
    expectCleanup(Mode::default_, {{"UM so the colonel UHH has an umbrella", "So the colonel has an umbrella."},
                                   {"şey bence yani olur", "Bence olur."},
                                   {"merhaba virgül nasılsın soru işareti", "Merhaba, nasılsın?"},
                                   {"a periodic commander comma", "A periodic commander,."},
                                   {"growth of percent   12 this year", "Growth of 12% this year."},
                                   {"percent of people", "Percent of people."},
                                   {"mail me at sign home dash maybe", "Mail me @ home - maybe."},
                                   {"visit example.com for 3.5 or 1,000", "Visit example.com for 3.5 or 1,000."},
                                   {"the price is 3 period 5", "The price is 3. 5."},
                                   {"yes,\"quoted\"", "Yes, \"quoted\"."},
                                   {"hello , world", "Hello, world."},
                                   {"a new line new line b", "A\n\nb."},
                                   {"done period new line next", "Done.\nNext."},
                                   {"one   \t two", "One two."},
                                   {"trailing new line", "Trailing."},
                                   {"see https://x.com now", "See https://x.com now."},
                                   {"file:///tmp/a comma then", "File:///tmp/a, then."},
                                   {"hello uh question mark", "Hello?"},
                                   {"um, uh.", ""},
                                   {"şey period yani comma", ""},
                                   {"period", "."}});
}

// Two-word Turkish phrases must win over the single words inside them, and "semicolon" over "colon".
TEST(SentenceFormattingAndSpokenPunctuation, CapitalAfterEndMarksOnlyAndRowsInTableOrder) {
    expectMapped(formatSentence, {{"ok,", "Ok,."},
                                  {"ıspanak ve ilk", "Ispanak ve ilk."},
                                  {"hi!   there", "Hi!   There."},
                                  {"hi?\n\nthere", "Hi?\n\nThere."},
                                  {"ßig", "SSig."},
                                  {"😀 hello", "😀 hello."},
                                  {"e.g. ok", "E.g. Ok."},
                                  {"see a.b", "See a.b."}});
    expectMapped(applySpokenPunctuation, {{"a soru işareti", "a?"},
                                          {"a iki nokta b", "a: b"},
                                          {"a noktalı virgül b", "a; b"},
                                          {"a semicolon b", "a; b"},
                                          {"a at işareti b", "a @ b"},
                                          {"go to http://a.b:8080/x", "go to http://a.b:8080/x"}});
}

TEST(TranscriptCleanup, OnlyEmailStartsParagraphsAtGreetingsAndClosings) {
    expectCleanup(Mode::email, {{"selam merhaba ali", "Selam\n\nMerhaba ali."},
                                {"thanks REGARDS bob", "Thanks\n\nRegards bob."},
                                {"regards", "Regards."}});
    // The other modes start no paragraphs and otherwise clean alike.
    for (Mode mode : {Mode::default_, Mode::chat, Mode::rewrite})
        expectCleanup(mode, {{"um hello comma world new line percent 5 question mark regards john",
                              "Hello, world\n5%? Regards john."}});
}

// ICU counts the work of a match in steps, not in time, so this bound is the same on every machine.
TEST(PathologicalInput, WhitespaceBeforeAMarkIsFoundInLinearWorkAndExactlyAsTheBacktrackingPatternDid) {
    const icu::UnicodeString text = icu::UnicodeString(u"a") + icu::UnicodeString(50'000, U' ', 50'000) + u"b ,";
    UErrorCode status = U_ZERO_ERROR;
    icu::RegexMatcher matcher(icu::UnicodeString(kWhitespaceBeforeMarkPattern), text, 0, status);
    ASSERT_TRUE(U_SUCCESS(status));
    // A limit of 500 units is 5 million steps; backtracking over the run takes over a billion.
    matcher.setTimeLimit(500, status);
    int matches = 0;
    while (matcher.find(status))
        ++matches;
    EXPECT_NE(status, U_REGEX_TIME_OUT);
    EXPECT_EQ(matches, 1);
    const IcuRegex backtracking(QStringLiteral("\\s+([,.:;!?])"));
    for (const char* input : {" a , b ", "a \n\t. b", "  !", "a  ", ".,", "a , , b", "x\u00A0;", "a\u3000 ?", "  "}) {
        const QString line = QString::fromUtf8(input);
        EXPECT_EQ(removeWhitespaceBeforeMarks(line), backtracking.replaceAll(line, QStringLiteral("$1"))) << input;
    }
}

}  // namespace
}  // namespace quorvelle
