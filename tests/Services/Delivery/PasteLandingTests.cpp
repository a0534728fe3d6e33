#include "Services/Delivery/PasteLanding.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

struct Case {
    const char* name;
    QString was;
    std::optional<TextRange> range;
    QString words, now;
    bool landed;
};

QString rows(int count, const QString& row = {}) {
    QString text;
    for (int i = 0; i < count; ++i)
        text += row + u'\n';
    return text;
}

void expectEach(std::initializer_list<Case> cases) {
    for (const Case& c : cases)
        EXPECT_EQ(PasteLanding::landed(c.was, c.range, c.now, c.words), c.landed) << c.name;
}

const QString kPrompt = u"user@host:~$ "_qs;
const TextRange kAfterPrompt{kPrompt.size(), 0};
const QString kObject(QChar(0xFFFC));

// A terminal's text is its screen: the line, then one line break per empty row. Words that wrap the
// line take rows from below it; nothing else about the screen may differ.
TEST(PasteLanding, ATerminalsEmptyRowsBelowTheLineMayShrinkAndNothingElse) {
    const QString screen = kPrompt + rows(6);
    expectEach({
        {"wrapped once", screen, kAfterPrompt, u"hello world"_qs, kPrompt + u"hello world"_qs + rows(5), true},
        {"wrapped twice", screen, kAfterPrompt, u"hello world"_qs, kPrompt + u"hello world"_qs + rows(4), true},
        {"rows left whole", screen, kAfterPrompt, u"hello world"_qs, kPrompt + u"hello world"_qs + rows(6), true},
        {"rows of blanks (Konsole)", kPrompt + rows(4, u"    "_qs), kAfterPrompt, u"hello"_qs,
         kPrompt + u"hello"_qs + rows(3, u"    "_qs), true},
        {"typed letters beside the wrap", screen, kAfterPrompt, u"hello"_qs, kPrompt + u"abhello"_qs + rows(5), true},
        {"blanks after the caret taken by the words", kPrompt + u"   "_qs + rows(3), kAfterPrompt, u"hello"_qs,
         kPrompt + u"hello"_qs + rows(2), true},

        {"a row gone, no words", screen, kAfterPrompt, u"hello world"_qs, kPrompt + rows(5), false},
        {"a row gone, part of the words", screen, kAfterPrompt, u"hello world"_qs, kPrompt + u"hello wor"_qs + rows(5),
         false},
        {"text written into the empty rows", screen, kAfterPrompt, u"hello"_qs,
         kPrompt + u"hello"_qs + rows(4) + u"output\n"_qs, false},
        {"the screen scrolled: the line before changed",
         u"ls\n"_qs + screen,
         {{3 + kPrompt.size(), 0}},
         u"hello"_qs,
         screen.left(kPrompt.size()) + u"hello"_qs + rows(5),
         false},
        {"the words below the rows", screen, kAfterPrompt, u"hello"_qs, kPrompt + rows(6) + u"hello"_qs, false},
        {"a written row below the caret changed", kPrompt + u"\nold output"_qs + rows(3), kAfterPrompt, u"hello"_qs,
         kPrompt + u"hello\nnew output"_qs + rows(2), false},
        {"a written row below the caret gone", kPrompt + u"\nold output"_qs + rows(3), kAfterPrompt, u"hello"_qs,
         kPrompt + u"hello"_qs + rows(3), false},
        // Only rows may go: a one-line field whose trailing blanks went changed elsewhere.
        {"trailing blanks of a line gone", u"abc  "_qs, {{3, 0}}, u" hello"_qs, u"abc hello"_qs, false},
    });
}

// A full screen (GNOME Terminal, xfce4-terminal, LXTerminal) scrolls up once the words wrap its last
// line: whole rows leave from its top and nothing else changes but the words at the caret.
TEST(PasteLanding, AFullScreenScrolledUpByWholeRowsHoldsTheWords) {
    QString lines;
    for (int row = 1; row <= 5; ++row)
        lines += u"output %1\n"_qs.arg(row);
    const QString full = lines + kPrompt;
    const TextRange atEnd{full.size(), 0};
    const QString words = u" long words"_qs;
    const auto without = [&](int rows) { return full.mid(full.indexOf(u"output %1"_qs.arg(rows + 1))); };
    expectEach({
        {"one row gone", full, atEnd, words, without(1) + words, true},
        {"three rows gone", full, atEnd, words, without(3) + words, true},
        {"every row above the line gone", full, atEnd, words, kPrompt + words, true},
        {"typed letters beside", full, atEnd, words, without(1) + u"ab"_qs + words, true},
        {"a line break ends the screen", full + u'\n', atEnd, words, without(2) + words + u'\n', true},

        {"rows gone, no words", full, atEnd, words, without(1), false},
        {"rows gone, part of the words", full, atEnd, words, without(1) + u" long wo"_qs, false},
        {"part of the top row gone", full, atEnd, words, full.mid(3) + words, false},
        {"a row gone from the middle", full, atEnd, words, full.left(9) + full.mid(18) + words, false},
        {"the caret's line changed", full, atEnd, words, without(5).mid(1) + words, false},
        {"a written row below the line changed", full + u"\nbelow"_qs, atEnd, words, without(1) + words + u"\nBELOW"_qs,
         false},
    });
}

// Konsole counts the cells of its screen but reads from the oldest line of its scrollback: what comes
// back is shorter than its count and ends before its caret. Words that show in it landed; where they
// do not, the text tells nothing. Texts read whole are judged as ever.
TEST(PasteLanding, ATextReadOnlyInPartCannotTellTheWordsAreMissing) {
    struct Read {
        const char* name;
        QString was;
        std::optional<TextRange> range;
        bool wasWhole;
        QString now;
        bool nowWhole;
        std::optional<bool> landed;
    };
    const QString oldest = u"1\n2\n3\n"_qs;
    const QString words = u"hello"_qs;
    for (const Read& r : std::initializer_list<Read>{
             {"scrollback read alike before and after", oldest, {}, false, oldest, false, std::nullopt},
             {"read in part, changed without the words", oldest, {}, false, u"2\n3\n4\n"_qs, false, std::nullopt},
             {"read whole before, in part after", kPrompt, kAfterPrompt, true, oldest, false, std::nullopt},
             {"the caret beyond what was read", oldest, {{40, 0}}, true, oldest, true, std::nullopt},
             {"read in part, the words newly in it", oldest, {}, false, oldest + words, false, true},
             {"the caret beyond, the words newly in it", oldest, {{40, 0}}, true, oldest + words, true, true},

             {"read in part, the words there before and still",
              oldest + words,
              {},
              false,
              oldest + words,
              false,
              std::nullopt},
             {"read whole: echo off", kPrompt, kAfterPrompt, true, kPrompt, true, false},
             {"read whole: the words in another row", kPrompt + u'\n', kAfterPrompt, true, kPrompt + u'\n' + words,
              true, false},
         })
        EXPECT_EQ(PasteLanding::judged(r.was, r.range, r.wasWhole, r.now, r.nowWhole, words), r.landed) << r.name;
}

// A program in a terminal (vim) draws the screen itself: the words at its caret take the blank cells
// after the caret on that row, and it may draw the rows below anew (its ruler, the `~` row a line that
// wraps takes). A screen that shows the words at the caret but not that they took nothing else tells
// neither way, nor does one whose caret line grew to begin above it: the words may have landed.
// Words that are not at the caret, in whole, are missing there as ever.
TEST(PasteLanding, ATerminalProgramsScreenRedrawnBelowTheCaretCannotTellTheWordsAreMissing) {
    const auto vim = [](const QString& line, const QString& ruler, int tildes = 3) {
        return line + u'\n' + rows(tildes, u"~"_qs) + u"-- INSERT --      "_qs + ruler + u"    All"_qs;
    };
    const QString fresh = vim({}, u"0,1"_qs), words = u"Hello, world."_qs;
    // The caret's line, wrapped onto rows no line break marks, with its first row above the screen.
    const QString line = u"round 1 of the words, round 2 of the words, round 3 of the words"_qs;
    const TextRange atLineEnd{4 + line.size(), 0};
    const QString typed(PasteLanding::kTypedWhilePasting + 1, u'k');
    const std::tuple<const char*, QString, TextRange, QString, std::optional<bool>> cases[] = {
        {"vim's ruler drawn anew", fresh, {0, 0}, vim(words, u"1,14"_qs), std::nullopt},
        {"a line that wraps in vim took a `~` row", fresh, {0, 0}, vim(words, u"1,14"_qs, 2), std::nullopt},
        {"in the middle of a line, its rest after the words",
         vim(u"Dear team"_qs, u"1,6"_qs),
         {5, 0},
         vim(u"Dear Hello, world.team"_qs, u"1,18"_qs),
         std::nullopt},
        {"typed letters beside, blanks ending the row",
         fresh,
         {0, 0},
         vim(u"ab"_qs + words + u"c  "_qs, u"1,17"_qs),
         std::nullopt},
        {"the caret's line begins above the screen now", u"200\n"_qs + line, atLineEnd, line.mid(30) + words,
         std::nullopt},
        {"the caret's line began above the screen before", line, {line.size(), 0}, line.mid(20) + words, std::nullopt},
        // Nothing but a blank went: the words landed.
        {"the blank vim put on the caret's row taken", vim(u" "_qs, u"0,1"_qs), {0, 0}, vim(words, u"0,1"_qs), true},

        {"echo off", fresh, {0, 0}, fresh, false},
        {"echo off, the line before the caret the words twice",
         words + words,
         {2 * words.size(), 0},
         words + words,
         false},
        {"the ruler drawn anew, no words", fresh, {0, 0}, vim({}, u"0,2"_qs), false},
        {"the ruler drawn anew, part of the words", fresh, {0, 0}, vim(words.left(5), u"1,6"_qs), false},
        {"the words on a row below", fresh, {0, 0}, vim({}, u"1,14"_qs, 2) + u'\n' + words, false},
        {"the words beyond the rest of the line",
         vim(u"Dear team"_qs, u"1,6"_qs),
         {5, 0},
         vim(u"Dear team"_qs + words, u"1,18"_qs),
         false},
        {"the text before the caret changed",
         vim(u"Dear team"_qs, u"1,6"_qs),
         {5, 0},
         vim(u"Deer Hello, world.team"_qs, u"1,18"_qs),
         false},
        {"more letters than a typist's", fresh, {0, 0}, vim(typed + words, u"1,95"_qs), false},
        {"more letters than a typist's after the words", fresh, {0, 0}, vim(words + typed, u"1,95"_qs), false},
        {"the line begun above, no words", u"200\n"_qs + line, atLineEnd, line.mid(30) + u"abc"_qs, false},
        {"nothing of the line before the caret left", line, {line.size(), 0}, words, false},
        {"rows gone, part of a row that was not the caret's",
         u"output 1\noutput 2\n"_qs + kPrompt,
         {18 + kPrompt.size(), 0},
         u"put 1\noutput 2\n"_qs + kPrompt + words,
         false},
        // A field read whole that refused the paste while something of it changed elsewhere.
        {"refused, a row below changed", kPrompt + u"\nstatus 10:01"_qs, kAfterPrompt, kPrompt + u"\nstatus 10:02"_qs,
         false},
        {"refused, a one-line field", u"abc"_qs, {3, 0}, u"abc"_qs, false},
        // Without a row below the caret's, nothing was drawn anew: any other change tells.
        {"a one-line field whose trailing blanks went", u"abc  "_qs, {3, 0}, u"abc"_qs + words, false},
    };
    for (const auto& [name, was, range, now, landed] : cases)
        EXPECT_EQ(PasteLanding::judged(was, range, true, now, true, words), landed) << name;
}

// Chromium's address bar trims the space the spacing rule put before the words; the words themselves
// must still stand whole at the caret.
TEST(PasteLanding, TheSpacePutBeforeTheWordsMayBeTrimmedByTheField) {
    expectEach({
        {"trimmed", u"abc"_qs, {{3, 0}}, u" xyz"_qs, u"abcxyz"_qs, true},
        {"kept", u"abc"_qs, {{3, 0}}, u" xyz"_qs, u"abc xyz"_qs, true},
        {"trimmed mid-text", u"abc def"_qs, {{3, 0}}, u" xyz"_qs, u"abcxyz def"_qs, true},
        {"trimmed, letters typed after the words", u"abc"_qs, {{3, 0}}, u" xyz"_qs, u"abcxyzqq"_qs, true},

        {"trimmed with a letter of the words", u"abc"_qs, {{3, 0}}, u" xyz"_qs, u"abcyz"_qs, false},
        {"trimmed, a letter in the space's place", u"abc"_qs, {{3, 0}}, u" xyz"_qs, u"abcqxyz"_qs, false},
        {"only the space arrived", u"abc"_qs, {{3, 0}}, u" xyz"_qs, u"abc "_qs, false},
        {"the text before lost a letter", u"abc"_qs, {{3, 0}}, u" xyz"_qs, u"abxyz"_qs, false},
        {"nothing arrived", u"abcxyz"_qs, {{3, 0}}, u" xyz"_qs, u"abcxyz"_qs, false},
        {"words without a leading space are not shortened", u"abc"_qs, {{3, 0}}, u"xyz"_qs, u"abcyz"_qs, false},
    });
}

// An empty rich body (Thunderbird's compose) is one object character for its empty paragraph: the
// words may take its place, on either side of the caret. A body that held more than that is judged
// as any text.
TEST(PasteLanding, AnEmptyRichBodysObjectCharacterMayGiveWayToTheWords) {
    expectEach({
        {"the object gave way, caret before it", kObject, {{0, 0}}, u"hello"_qs, u"hello"_qs, true},
        {"the object gave way, caret after it", kObject, {{1, 0}}, u"hello"_qs, u"hello"_qs, true},
        {"the object stays after the words", kObject, {{0, 0}}, u"hello"_qs, u"hello"_qs + kObject, true},
        {"the object stays after the words, caret after it",
         kObject,
         {{1, 0}},
         u"hello"_qs,
         u"hello"_qs + kObject,
         true},
        {"the object stays before the words", kObject, {{0, 0}}, u"hello"_qs, kObject + u"hello"_qs, true},

        {"unchanged", kObject, {{0, 0}}, u"hello"_qs, kObject, false},
        {"the object gave way to other words", kObject, {{0, 0}}, u"hello"_qs, u"goodbye"_qs, false},
        {"the object gave way to part of the words", kObject, {{0, 0}}, u"hello"_qs, u"hel"_qs, false},
        {"a body with text besides its object",
         kObject + u"Dear team"_qs,
         {{10, 0}},
         u" hello"_qs,
         u"Dear team hello"_qs,
         false},
        {"two objects, one gone", kObject + kObject, {{0, 0}}, u"hello"_qs, u"hello"_qs, false},
    });
}

}  // namespace
}  // namespace quorvelle
