#include <gtest/gtest.h>

#include "Processing/SpokenPunctuation.h"
#include "Processing/TranscriptCleanup.h"
#include "Processing/Whitespace.h"
#include "ProcessingTestSupport.h"
#include "Support/IcuRegex.h"

#include <unicode/regex.h>

namespace quorvelle {
namespace {

using test::u;

// ICU counts the work of a match in steps, not in time, so this bound is the same on every machine.
TEST(PathologicalInput, WhitespaceBeforeAMarkIsFoundInLinearWorkHoweverLongTheRun) {
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
}

TEST(PathologicalInput, TheLinearPatternRemovesExactlyWhatTheBacktrackingOneDid) {
    const IcuRegex backtracking(QStringLiteral("\\s+([,.:;!?])"));
    for (const char* input : {" a , b ", "a \n\t. b", "  !", "a  ", ".,", "a , , b", "x\u00A0;", "a\u3000 ?", "  "}) {
        const QString text = u(input);
        EXPECT_EQ(removeWhitespaceBeforeMarks(text), backtracking.replaceAll(text, QStringLiteral("$1"))) << input;
    }
}

struct CleanupRow {
    const char* input;
    const char* expected;
};

TEST(PathologicalInput, AddressesKeepTheirColonAndFillersLeaveNoStrayMarks) {
    const QList<CleanupRow> rows = {
        {"see https://x.com now", "See https://x.com now."},
        {"file:///tmp/a comma then", "File:///tmp/a, then."},
        {"note colon next", "Note: next."},
        {"okay um period next", "Okay. Next."},
        {"hello uh question mark", "Hello?"},
        {"um, uh.", ""},
        {"şey period yani comma", ""},
        {"period", "."},
    };
    for (const CleanupRow& row : rows) {
        EXPECT_EQ(applyCleanupMode(u(row.input), TranscriptionPostProcessingMode::default_).transcript.toStdString(),
                  row.expected);
    }
    EXPECT_EQ(applySpokenPunctuation(u("go to http://a.b:8080/x")).toStdString(), "go to http://a.b:8080/x");
}

}  // namespace
}  // namespace quorvelle
