#include "Services/Delivery/AccessibilityTextInserter.h"
#include "Services/Delivery/CommandVSyntheticPastePerformer.h"
#include "Services/Delivery/FocusedTargetIdentityScore.h"
#include "Services/Delivery/PasteKeysOvertaken.h"
#include "Services/Delivery/PasteLanding.h"
#include "Services/Delivery/SyntheticPasteError.h"
#include "Support/CancellationError.h"

#include "DeliveryFakes.h"
#include "Services/Delivery/Model/FocusedTargetFixtures.h"
#include "TestEventLoop.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using test::FakeKeyPoster;
using test::FakeTextElement;
using Outcome = TextInsertionOutcome;
using ErrorCase = TextInsertionError::Case;

FocusedTargetSnapshot fieldTarget() {
    FocusedTargetSnapshot target = test::writableTextField();
    target.elementHandle = makeElementHandle(std::make_shared<test::FakeElement>(u"field"_qs));
    return target;
}

std::optional<ErrorCase> insertionError(FakeTextElement& element, const QString& text,
                                        const FocusedTargetSnapshot& target = fieldTarget(),
                                        const std::optional<TextReplacementHint>& hint = std::nullopt) {
    AccessibilityTextInserter inserter(element);
    return test::errorCaseOf<TextInsertionError>([&] { inserter.insert(text, target, hint); });
}

TEST(TextInserter, SplicesAtTheCaretOrOverTheSelectionAndMovesTheCaretBehind) {
    // The leading space rule, emoji kept whole (UTF-16), a selection replaced; an empty field keeps no caret.
    const std::tuple<std::optional<QString>, std::optional<TextRange>, QString, QString, TextRange> cases[] = {
        {u"hello "_qs, TextRange{6, 0}, u"world"_qs, u"hello world"_qs, {6, 5}},
        {u"hi\n"_qs, TextRange{3, 0}, u"next"_qs, u"hi\nnext"_qs, {3, 4}},
        {u"a😀"_qs, TextRange{3, 0}, u"b"_qs, u"a😀 b"_qs, {3, 2}},
        {u"a"_qs, TextRange{1, 0}, u"😀"_qs, u"a 😀"_qs, {1, 3}},
        {u"x😀y"_qs, TextRange{1, 2}, u"z"_qs, u"xzy"_qs, {1, 1}},
        {u"ab"_qs, TextRange{1, 1}, u"c"_qs, u"ac"_qs, {1, 1}},
        {std::nullopt, std::nullopt, u"hello"_qs, u"hello"_qs, {0, 5}},
    };
    for (const auto& [value, selection, text, expected, inserted] : cases) {
        SCOPED_TRACE(expected.toStdString());
        FakeTextElement field(value, selection);
        const TextInsertionResult result = AccessibilityTextInserter(field).insert(text, fieldTarget(), {});
        EXPECT_EQ(field.value, expected);
        const Outcome outcome = selection && selection->length ? Outcome::replacedSelection : Outcome::insertedAtCaret;
        EXPECT_EQ(result, (TextInsertionResult{outcome, inserted, expected.mid(inserted.location, inserted.length)}));
        EXPECT_EQ(field.selection, selection ? std::optional(TextRange{inserted.end(), 0}) : std::nullopt);
        // Only an empty field gets its whole value written: elsewhere the text around keeps its formatting.
        EXPECT_EQ(field.calls.contains(u"writeValue"_qs), !value);
    }
}

TEST(TextInserter, RefusesBeforeWritingAnything) {
    // What is wrong, selection, terminal-like, selection settable, element readable; the refusal.
    const std::tuple<const char*, std::optional<TextRange>, bool, bool, bool, ErrorCase> cases[] = {
        {"terminal-like target", TextRange{3, 0}, true, true, true, ErrorCase::unsupportedTarget},
        {"text but no selection", std::nullopt, false, true, true, ErrorCase::insertionLocationUnavailable},
        {"unsettable selection", TextRange{3, 0}, false, false, true, ErrorCase::insertionLocationUnavailable},
        {"selection beyond the end", TextRange{2, 2}, false, true, true, ErrorCase::insertionLocationUnavailable},
        {"unreadable element", TextRange{3, 0}, false, true, false, ErrorCase::accessibilityPermissionMissing},
    };
    for (const auto& [name, selection, terminal, rangeSettable, readable, expected] : cases) {
        SCOPED_TRACE(name);
        FocusedTargetSnapshot target = fieldTarget();
        if (terminal) target.element.subrole = u"AXTerminal"_qs;
        target.element.supportsSelectedTextRangeWrite = rangeSettable;
        FakeTextElement field(u"abc"_qs, selection);
        if (!readable) field.readFailure = ErrorCase::accessibilityPermissionMissing;
        EXPECT_EQ(insertionError(field, u"text"_qs, target), expected);
        EXPECT_EQ(field.value, u"abc"_qs);
        EXPECT_FALSE(field.calls.contains(u"writeValue"_qs) || field.calls.contains(u"replaceText"_qs));
        EXPECT_TRUE(!terminal || field.calls.isEmpty()) << "a terminal is not even read";
    }
    // Calc's cell editor would show the words and drop them on Enter: neither written nor read.
    FocusedTargetSnapshot cell = fieldTarget();
    cell.app.bundleIdentifier = u"LibreOffice-Calc"_qs;
    FakeTextElement edited(u"Dear team."_qs, TextRange{10, 0});
    EXPECT_EQ(insertionError(edited, u"more"_qs, cell), ErrorCase::unsupportedTarget);
    EXPECT_TRUE(edited.calls.isEmpty());
}

TEST(TextInserter, AFailedWriteSurfacesButNotAFailedCaretMoveAndAHintHoldsWhileItsTextIsUnchanged) {
    FakeTextElement refusing(u"a"_qs, TextRange{1, 0}), stubbornCaret = refusing;
    refusing.writeFailure = stubbornCaret.rangeWriteFailure = ErrorCase::writeFailed;
    EXPECT_EQ(insertionError(refusing, u"b"_qs), ErrorCase::writeFailed);
    EXPECT_EQ(insertionError(stubbornCaret, u"b"_qs), std::nullopt);
    EXPECT_EQ(stubbornCaret.value, u"a b"_qs);
    // A write answered with success that changed nothing is a failed write, even where the same
    // words already stood at the caret.
    for (auto [value, caret] : {std::pair(u"hello"_qs, 0), std::pair(u""_qs, -1), std::pair(u"x"_qs, 1)}) {
        FakeTextElement ignoring(value, caret < 0 ? std::nullopt : std::optional(TextRange{caret, 0}));
        ignoring.ignoresWrites = true;
        EXPECT_EQ(insertionError(ignoring, u"hello"_qs), ErrorCase::writeFailed) << value.toStdString();
    }
    const std::tuple<const char*, TextReplacementHint, std::optional<ErrorCase>, QString> cases[] = {
        {"hinted text still there", {{6, 5}, u"wrold"_qs}, std::nullopt, u"hello world"_qs},
        {"user edited the hinted text", {{6, 5}, u"other"_qs}, ErrorCase::replacementHintMismatch, u"hello wrold"_qs},
        {"hint for another range: the selection is used", {{0, 5}, u"nope!"_qs}, std::nullopt, u"hello world"_qs},
    };
    for (const auto& [name, hint, error, expected] : cases) {
        FakeTextElement field(u"hello wrold"_qs, TextRange{6, 5});
        EXPECT_EQ(insertionError(field, u"world"_qs, fieldTarget(), hint), error) << name;
        EXPECT_EQ(field.value, expected) << name;
    }
}

// A text it cannot judge either way (a terminal's screen its program drew anew) is not told unreadable.
TEST(TextInserter, APasteCountsOnlyWhereTheTextChangedAtTheInsertionPointByThePastedText) {
    using enum PasteReadBack;
    using Point = std::optional<TextInsertionPoint>;
    const auto at = [](const QString& value, std::optional<TextRange> range) {
        return Point(TextInsertionPoint{value, range});
    };
    // what stood before and where the paste went, the value now, the pasted text -> the answer
    const std::tuple<const char*, Point, std::optional<QString>, QString, PasteReadBack> cases[] = {
        {"arrived at the caret", at(u"say "_qs, TextRange{4, 0}), u"say hello"_qs, u"hello"_qs, landed},
        {"replaced the selection", at(u"say bye now"_qs, TextRange{4, 3}), u"say hello now"_qs, u"hello"_qs, landed},
        {"the field held the words already, nothing arrived", at(u"hello there"_qs, TextRange{0, 0}), u"hello there"_qs,
         u"hello"_qs, missing},
        {"something else changed", at(u"hello"_qs, TextRange{5, 0}), u"hello!"_qs, u" hello"_qs, missing},
        {"no caret: one more of the words", at(u"hello"_qs, std::nullopt), u"hello hello"_qs, u"hello"_qs, landed},
        {"no caret: a change without them", at(u"hello"_qs, std::nullopt), u"hello x"_qs, u"hello"_qs, missing},
        {"a terminal's screen drawn anew below the words", at(u"\n~\n-- 0,1"_qs, TextRange{0, 0}),
         u"hello\n~\n-- 1,6"_qs, u"hello"_qs, untold},
        {"nothing read before", std::nullopt, u"say hello"_qs, u"hello"_qs, unreadable},
        {"nothing readable now", at(u""_qs, TextRange{0, 0}), std::nullopt, u"hello"_qs, unreadable},
        {"empty text cannot be judged", at(u""_qs, TextRange{0, 0}), u"x"_qs, QString(), unreadable},
    };
    for (const auto& [name, before, now, pasted, expected] : cases) {
        FakeTextElement field(now);
        EXPECT_EQ(AccessibilityTextInserter(field).verifyInsertion(pasted, fieldTarget(), before), expected) << name;
    }
    FakeTextElement failing;
    failing.readFailure = ErrorCase::unsupportedTarget;
    EXPECT_THROW(AccessibilityTextInserter(failing).verifyInsertion(u"x"_qs, fieldTarget(), at(u""_qs, {})),
                 TextInsertionError);

    // The point is read before the paste; the paste keeps the leading space rule wherever the caret can be read.
    FakeTextElement afterWord(u"hello"_qs, TextRange{5, 0}), overrun(u"hi"_qs, TextRange{1, 5});
    AccessibilityTextInserter inserter(afterWord);
    const Point point = inserter.insertionPoint(fieldTarget());
    ASSERT_TRUE(point);
    EXPECT_EQ(point->value, u"hello"_qs);
    EXPECT_EQ(point->range, (TextRange{5, 0}));
    EXPECT_EQ(inserter.textToPaste(u"world"_qs, point), u" world"_qs);
    EXPECT_EQ(inserter.textToPaste(u"world"_qs, std::nullopt), u"world"_qs);
    EXPECT_EQ(AccessibilityTextInserter(overrun).insertionPoint(fieldTarget())->range, std::nullopt);
    FocusedTargetSnapshot window = fieldTarget(), password = fieldTarget();
    window.isWindowOnly = true;
    password.element.subrole = u"AXSecureTextField"_qs;
    afterWord.calls.clear();
    EXPECT_FALSE(inserter.insertionPoint(window) || inserter.insertionPoint(password));
    EXPECT_TRUE(afterWord.calls.isEmpty());
    EXPECT_EQ(AccessibilityTextInserter(failing).insertionPoint(fieldTarget()), std::nullopt);
}

// A user who keeps typing while the words arrive has the letters at the caret before them (the keys
// came first) or after them: the words still landed where they were sent. What only looks alike is
// not a delivery: the words anywhere but at the point, words that stood there before, a part of them,
// or the text around the point changed.
TEST(TextInserter, APasteCountsBesideLettersTypedAtTheCaretMeanwhileAndNowhereElse) {
    const TextInsertionPoint atEnd{u"Note: "_qs, TextRange{6, 0}}, mid{u"Dear team, thanks."_qs, TextRange{10, 0}},
        selected{u"say bye now"_qs, TextRange{4, 3}}, beforeWords{u"hello there"_qs, TextRange{0, 0}},
        doubled{u"Helloo world"_qs, TextRange{5, 0}};
    const QString tooMany(PasteLanding::kTypedWhilePasting + 1, u'k');
    // what stood before and where the paste went, the pasted text, the value now -> the answer
    const std::tuple<const char*, TextInsertionPoint, QString, QString, bool> cases[] = {
        {"letters typed before the words", atEnd, u"hello"_qs, u"Note: abchello"_qs, true},
        {"letters on both sides", atEnd, u"hello"_qs, u"Note: abhellocd"_qs, true},
        {"in the middle of the text", mid, u" hello"_qs, u"Dear team,ab hello thanks."_qs, true},
        {"a typed letter took the selection", selected, u"hello"_qs, u"say xhello now"_qs, true},
        {"as many letters as could be typed", atEnd, u"hello"_qs, u"Note: "_qs + tooMany.mid(1) + u"hello"_qs, true},
        {"more letters than could be typed", atEnd, u"hello"_qs, u"Note: "_qs + tooMany + u"hello"_qs, false},
        {"letters typed, the words lost", beforeWords, u"hello"_qs, u"xyhello there"_qs, false},
        {"the words at the end, not at the point", mid, u" hello"_qs, u"Dear team,ab thanks. hello"_qs, false},
        {"the words before the point", atEnd, u"hello"_qs, u"helloNote: ab"_qs, false},
        {"a part of the words", atEnd, u"hello world"_qs, u"Note: abhello wor"_qs, false},
        {"the text before the point changed", mid, u" hello"_qs, u"Dear Tim,ab hello thanks."_qs, false},
        {"the text after the point changed", selected, u"hello"_qs, u"say xhello NOW"_qs, false},
        {"the field emptied", atEnd, u"hello"_qs, QString(), false},
        {"a letter deleted, the words from after the point", doubled, u"world"_qs, u"Hello world"_qs, false},
    };
    for (const auto& [name, before, pasted, now, landed] : cases) {
        FakeTextElement field(now);
        EXPECT_EQ(AccessibilityTextInserter(field).verifyInsertion(pasted, fieldTarget(), before),
                  landed ? PasteReadBack::landed : PasteReadBack::missing)
            << name;
    }
}

// WebKit's rich text keeps the space put before the words as a no-break space: the words are there
// all the same, for the write's read-back, the paste check and the next dictation's hint alike. A
// letter or a line break where the space went is still a different text.
TEST(TextInserter, AnyHorizontalSpaceStandsForTheAddedSpaceWhenTheTextIsReadBack) {
    using enum PasteReadBack;
    FakeTextElement rich(u"Start"_qs, TextRange{5, 0});
    rich.keepsSpacesAsNoBreak = true;
    const TextInsertionResult written = AccessibilityTextInserter(rich).insert(u"Hello"_qs, fieldTarget(), {});
    EXPECT_EQ(rich.value, u"Start\u00A0Hello"_qs);
    EXPECT_EQ(written.insertedRange, (TextRange{5, 6}));
    rich.selection = TextRange{5, 6};
    EXPECT_EQ(insertionError(rich, u"Bye"_qs, fieldTarget(), TextReplacementHint{{5, 6}, u" Hello"_qs}), std::nullopt);
    EXPECT_EQ(rich.value, u"StartBye"_qs);

    using Point = std::optional<TextInsertionPoint>;
    const Point atEnd(TextInsertionPoint{u"Start"_qs, TextRange{5, 0}}),
        unknownCaret(TextInsertionPoint{u"Start"_qs, std::nullopt});
    // the value now, where the caret was known -> the answer
    const std::tuple<QString, Point, PasteReadBack> cases[] = {
        {u"Start\u00A0Hello, world."_qs, atEnd, landed},    {u"Start\u2009Hello,\u00A0world."_qs, atEnd, landed},
        {u"Start\tHello, world."_qs, unknownCaret, landed}, {u"Start\u00A0Hello, world."_qs, unknownCaret, landed},
        {u"StartxHello, world."_qs, atEnd, missing},        {u"Start\nHello, world."_qs, unknownCaret, missing},
    };
    for (const auto& [now, before, expected] : cases) {
        FakeTextElement field(now);
        EXPECT_EQ(AccessibilityTextInserter(field).verifyInsertion(u" Hello, world."_qs, fieldTarget(), before),
                  expected)
            << now.toStdString();
    }
}

// A replacement deletes the selection first: when the words then do not go in, the selected text
// comes back rather than being lost.
TEST(TextInserter, AReplacementThatFailsPutsTheSelectedTextBack) {
    for (const bool answersWithError : {true, false}) {
        FakeTextElement field(u"hello wrold again"_qs, TextRange{6, 5});
        field.deletesOnly = {answersWithError};
        EXPECT_EQ(insertionError(field, u"world"_qs), ErrorCase::writeFailed);
        EXPECT_EQ(field.value, u"hello wrold again"_qs);
        EXPECT_EQ(field.selection, (TextRange{6, 5}));
    }
    // Where the failed write left the text otherwise, nothing is put in twice.
    FakeTextElement untouched(u"hello wrold"_qs, TextRange{6, 5});
    untouched.ignoresWrites = true;
    EXPECT_EQ(insertionError(untouched, u"world"_qs), ErrorCase::writeFailed);
    EXPECT_EQ(untouched.value, u"hello wrold"_qs);
    EXPECT_EQ(untouched.calls.count(u"replaceText"_qs), 1);
}

struct PasteRig {
    FakeKeyPoster keys;
    std::optional<FocusedAppMetadata> frontmost = test::writableTextField().app;
    int sleeps = 0;
    std::chrono::milliseconds slept{0};
    // The windows whose clipboard requests were awaited, and how many keys had gone out by then.
    QList<QPair<quint32, qsizetype>> awaited;
    QList<std::chrono::milliseconds> bounds;
    // The words' gate: how many key events had gone out at its hold, and at its answer with it.
    QList<qsizetype> heldAt;
    QList<std::pair<qsizetype, bool>> letAt;
    CommandVSyntheticPastePerformer performer{
        keys,
        [this] { return frontmost; },
        [this](std::chrono::milliseconds pause, std::stop_token) -> QCoro::Task<void> {
            if (++sleeps == 3) keys.held.clear();  // the user lets go
            slept += pause;
            if (keys.sincePress) *keys.sincePress += pause;
            co_return;
        },
        {},
        [this](quint32 window, std::chrono::milliseconds bound, std::stop_token) -> QCoro::Task<bool> {
            awaited.append({window, keys.posted.size()});
            bounds.append(bound);
            co_return true;
        },
        {[this] { heldAt.append(keys.posted.size()); },
         [this](bool give) {
             letAt.append({keys.posted.size(), give});
         }}};
    SyntheticPastePerforming::LastLook lastLook;
    std::optional<SyntheticPasteError::Case> paste(const FocusedTargetSnapshot& target = test::writableTextField()) {
        keys.held = {FakeKeyPoster::kAlt};
        return test::errorCaseOf<SyntheticPasteError>(
            [&] { test::runTask(performer.performPaste(target, lastLook, {})); });
    }
};

// The look that decides where the keys go is the last thing before them: after the modifiers went up
// and a terminal's wait ended, with no key out yet. What it throws keeps every key back.
TEST(SyntheticPaste, TheLastLookComesAfterEveryWaitAndRightBeforeTheKeys) {
    PasteRig rig;
    FocusedTargetSnapshot target = test::writableTextField();
    target.app.bundleIdentifier = rig.frontmost->bundleIdentifier = u"Gnome-terminal"_qs;
    target.element.subrole = u"AXTerminal"_qs;
    rig.frontmost->windowIdentifier = 0x1a00004;
    struct Seen {
        int sleeps;
        qsizetype awaited, posted;
        bool modifiersHeld;
    };
    QList<Seen> looks;
    rig.lastLook = [&](std::optional<std::chrono::milliseconds>) {
        looks.append({rig.sleeps, rig.awaited.size(), rig.keys.posted.size(), !rig.keys.held.isEmpty()});
    };
    EXPECT_EQ(rig.paste(target), std::nullopt);
    ASSERT_EQ(looks.size(), 1);
    EXPECT_EQ(looks.first().sleeps, 3);
    EXPECT_EQ(looks.first().awaited, 1);
    EXPECT_EQ(looks.first().posted, 0);
    EXPECT_FALSE(looks.first().modifiersHeld);
    EXPECT_EQ(rig.keys.posted, FakeKeyPoster::controlShiftV);

    // A key pressed a moment ago (a Tab on its way through the application) is given time to land
    // before the look; a keyboard that never rests holds the keys back only so long.
    using Performer = CommandVSyntheticPastePerformer;
    const std::tuple<const char*, std::optional<std::chrono::milliseconds>, bool, std::chrono::milliseconds> rests[] = {
        {"no key pressed", std::nullopt, false, std::chrono::milliseconds(0)},
        {"a key long ago", std::chrono::milliseconds(900), false, std::chrono::milliseconds(0)},
        {"a key 50 ms ago", std::chrono::milliseconds(50), false,
         Performer::kKeyboardQuietPeriod - std::chrono::milliseconds(80)},  // the modifiers' polls aged it 30 ms
        {"a key at every look", std::nullopt, true, Performer::kKeyboardQuietLimit},
    };
    for (const auto& [name, since, typing, quiet] : rests) {
        PasteRig resting;
        resting.keys.sincePress = since;
        std::chrono::milliseconds sleptAtLook{-1};
        std::optional<std::chrono::milliseconds> sinceAtLook;
        resting.lastLook = [&](std::optional<std::chrono::milliseconds>) {
            sleptAtLook = resting.slept, sinceAtLook = resting.keys.sincePress;
        };
        resting.keys.typing = typing;
        EXPECT_EQ(resting.paste(), std::nullopt) << name;
        // The modifiers' own polls come first (three, 10 ms each).
        EXPECT_EQ(sleptAtLook - 3 * Performer::kModifierPollInterval, quiet) << name;
        if (!typing && since) {
            EXPECT_GE(*sinceAtLook, Performer::kKeyboardQuietPeriod) << name;
        }
        EXPECT_EQ(resting.keys.posted, FakeKeyPoster::controlV) << name;
    }

    struct Refused {};
    PasteRig refusing;
    refusing.lastLook = [](std::optional<std::chrono::milliseconds>) { throw Refused(); };
    EXPECT_THROW(refusing.paste(), Refused);
    EXPECT_TRUE(refusing.keys.posted.isEmpty());

    // A key pressed while the look asked the application (a Tab into a password field) overtakes
    // it: the look is called again, told of a key just now, and what it throws then keeps the keys.
    PasteRig overtaken;
    QList<std::optional<std::chrono::milliseconds>> told;
    overtaken.lastLook = [&](std::optional<std::chrono::milliseconds> since) {
        told.append(since);
        if (told.size() == 1) overtaken.keys.sincePress = std::chrono::milliseconds(0);
        if (since == std::chrono::milliseconds(0)) throw Refused();
    };
    EXPECT_THROW(overtaken.paste(), Refused);
    EXPECT_EQ(told, (QList<std::optional<std::chrono::milliseconds>>{std::nullopt, std::chrono::milliseconds(0)}));
    EXPECT_TRUE(overtaken.keys.posted.isEmpty());
    // A key from before the look is not a key during it.
    PasteRig before;
    before.keys.sincePress = std::chrono::milliseconds(5000);
    int beforeLooks = 0;
    before.lastLook = [&](std::optional<std::chrono::milliseconds>) { ++beforeLooks; };
    EXPECT_EQ(before.paste(), std::nullopt);
    EXPECT_EQ(beforeLooks, 1);
    EXPECT_EQ(before.keys.posted, FakeKeyPoster::controlV);
    // Letters typed into the field, before the look and during it, move no focus: the look is told of
    // none and taken once.
    PasteRig typedThrough;
    typedThrough.keys.typing = typedThrough.keys.lettersOnly = true;
    QList<std::optional<std::chrono::milliseconds>> toldTyping;
    typedThrough.lastLook = [&](std::optional<std::chrono::milliseconds> since) { toldTyping.append(since); };
    EXPECT_EQ(typedThrough.paste(), std::nullopt);
    EXPECT_EQ(toldTyping, (QList<std::optional<std::chrono::milliseconds>>{std::nullopt}));
    EXPECT_EQ(typedThrough.keys.posted, FakeKeyPoster::controlV);
}

// A Tab or a click that the target keeps for itself moves no focus: the look is told of none, and
// believes the application at once. Any other press, or one that cannot be told, is told as before.
TEST(SyntheticPaste, ThePressesTheTargetKeepsForItselfMoveNoFocus) {
    using Kind = FocusMovingPress::Kind;
    FocusedTargetSnapshot field = test::writableTextField();  // at (100, 200), 300 by 40
    FocusedTargetSnapshot terminal = field;
    terminal.element.subrole = u"AXTerminal"_qs;
    FocusedTargetSnapshot page = field;
    page.element.role = u"AXWebArea"_qs;
    FocusedTargetSnapshot window = field;
    window.isWindowOnly = true;
    const QPointF inside(250, 220), outside(250, 300);
    const struct {
        const char* label;
        FocusedTargetSnapshot target;
        QList<FocusMovingPress> presses;  // oldest first
        bool told;                        // the look hears of a press that may have moved the focus
    } rows[] = {
        {"a Tab in a terminal", terminal, {{Kind::tab, {}, {}}}, false},
        {"a Tab in a field", field, {{Kind::tab, {}, {}}}, true},
        {"a click inside the field", field, {{Kind::click, {}, inside}}, false},
        {"a click outside it", field, {{Kind::click, {}, outside}}, true},
        {"a click whose place is unknown", field, {{Kind::click, {}, {}}}, true},
        {"a click inside a page", page, {{Kind::click, {}, inside}}, true},
        {"a click inside a window off the bus", window, {{Kind::click, {}, inside}}, true},
        {"a press not read", terminal, {{Kind::unread, {}, inside}}, true},
        {"a Tab, then a click inside the field", field, {{Kind::tab, {}, {}}, {Kind::click, {}, inside}}, true},
        {"a click outside, then a Tab in the terminal",
         terminal,
         {{Kind::click, {}, outside}, {Kind::tab, {}, {}}},
         true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        PasteRig rig;
        rig.keys.sincePress = std::chrono::milliseconds(5000);
        for (FocusMovingPress press : row.presses) {
            press.at = std::chrono::steady_clock::now() - std::chrono::seconds(5);
            rig.keys.presses.append(press);
        }
        QList<std::optional<std::chrono::milliseconds>> told;
        rig.lastLook = [&](std::optional<std::chrono::milliseconds> since) { told.append(since); };
        EXPECT_EQ(rig.paste(row.target), std::nullopt);
        ASSERT_EQ(told.size(), 1);
        EXPECT_EQ(told.first().has_value(), row.told);
        EXPECT_GE(told.first().value_or(std::chrono::milliseconds(5000)), std::chrono::milliseconds(5000));
        EXPECT_FALSE(rig.keys.posted.isEmpty());
    }
}

TEST(SyntheticPaste, WaitsForTheModifiersSendsTheTargetsChordOrRefusesWithoutPosting) {
    for (const bool terminal : {false, true}) {
        PasteRig rig;
        FocusedTargetSnapshot target = test::writableTextField();
        if (terminal) target.element.subrole = u"AXTerminal"_qs;
        EXPECT_EQ(rig.paste(target), std::nullopt);
        EXPECT_EQ(rig.sleeps, 3);
        EXPECT_EQ(rig.keys.posted, terminal ? FakeKeyPoster::controlShiftV : FakeKeyPoster::controlV);
    }
    using Case = SyntheticPasteError::Case;
    const std::tuple<const char*, std::function<void(PasteRig&)>, Case> cases[] = {
        {"no application in front", [](PasteRig& r) { r.frontmost.reset(); }, Case::frontmostApplicationChanged},
        {"another application in front", [](PasteRig& r) { r.frontmost->processIdentifier = 1; },
         Case::frontmostApplicationChanged},
        {"no synthetic input", [](PasteRig& r) { r.keys.available = false; }, Case::eventSourceUnavailable},
        {"no key for V", [](PasteRig& r) { r.keys.codes.remove(KeyEventPosting::Key::v); }, Case::eventCreationFailed},
    };
    for (const auto& [name, setup, expected] : cases) {
        PasteRig rig;
        setup(rig);
        EXPECT_EQ(rig.paste(), expected) << name;
        EXPECT_TRUE(rig.keys.posted.isEmpty() && rig.sleeps == 0) << name << ": refused before posting or waiting";
    }
}

// A Tab or a click the server handled after the last look's reading and before our V reached the
// application first: the words are held from before the first key until the server's order is read,
// then refused, and the keys told overtaken. Presses that move no focus from the target let them go.
TEST(SyntheticPaste, APressTheServerHandledBeforeThePasteKeyRefusesTheWordsToThem) {
    using Kind = FocusMovingPress::Kind;
    FocusedTargetSnapshot field = test::writableTextField();
    field.element.frame = QRectF(100, 100, 200, 30);
    FocusedTargetSnapshot terminal = field;
    terminal.element.subrole = u"AXTerminal"_qs;
    const FocusMovingPress tab{Kind::tab, {}, std::nullopt};
    const FocusMovingPress clickInside{Kind::click, {}, QPointF(150, 110)};
    const FocusMovingPress clickOutside{Kind::click, {}, QPointF(150, 300)};
    using Presses = std::optional<QList<FocusMovingPress>>;
    const std::tuple<const char*, FocusedTargetSnapshot, std::optional<quint64>, Presses, bool> cases[] = {
        {"presses not read in order", field, std::nullopt, Presses{QList{tab}}, true},
        {"nothing before the key", field, 7, Presses{QList<FocusMovingPress>{}}, true},
        {"a Tab before the key", field, 7, Presses{QList{tab}}, false},
        {"a Tab the terminal takes", terminal, 7, Presses{QList{tab}}, true},
        {"a click into the field", field, 7, Presses{QList{clickInside}}, true},
        {"a click elsewhere after one into it", field, 7, Presses{QList{clickInside, clickOutside}}, false},
        {"an order that cannot be read", field, 7, std::nullopt, false},
    };
    for (const auto& [name, target, mark, before, gives] : cases) {
        PasteRig rig;
        rig.keys.orderMark = mark;
        rig.keys.pressesBeforeKey = before;
        bool overtaken = false;
        try {
            test::runTask(rig.performer.performPaste(target, {}, {}));
        } catch (const PasteKeysOvertaken&) {
            overtaken = true;
        }
        EXPECT_EQ(overtaken, !gives) << name;
        const qsizetype chord =
            (target.element.subrole ? FakeKeyPoster::controlShiftV : FakeKeyPoster::controlV).size();
        // The keys go out either way: the refusal is the clipboard's.
        EXPECT_EQ(rig.keys.posted.size(), chord) << name;
        EXPECT_EQ(rig.heldAt, QList<qsizetype>{0}) << name;
        EXPECT_EQ((rig.letAt), (QList<std::pair<qsizetype, bool>>{{chord, gives}})) << name;
        using Asked = QList<std::tuple<quint32, quint64, qsizetype>>;
        // Where our key does not show, it is looked for again, each time after an awaited pause.
        const int reads = !mark ? 0 : before ? 1 : CommandVSyntheticPastePerformer::kOwnKeyReads;
        EXPECT_EQ(rig.keys.orderAsked, Asked(reads, {FakeKeyPoster::kV, mark.value_or(0), chord})) << name;
        EXPECT_EQ(rig.sleeps, std::max(0, reads - 1)) << name;
    }
}

// Keys go to a field only where the application told where its focus is after every Tab the server
// handled before them: a Tab read at the last look's final reading is told to a new look, and one the
// server handled once the look that passed began asking is weighed by the server's order, whenever it
// was read. Tabs the look was told of before it asked are not weighed again.
TEST(SyntheticPaste, EveryTabTheServerHandledSinceTheLookBeganAskingIsWeighedBeforeTheWordsGo) {
    struct Outcome {
        bool overtaken = false;
        QList<std::optional<std::chrono::milliseconds>> told;
    };
    // `during(look, reads)`: what the server handles while that look (from 0) asks and its final
    // reading runs, `reads` reads into that reading.
    const auto race = [](const std::function<void(FakeKeyPoster&, int look, int reads)>& during) {
        PasteRig rig;
        rig.keys.orderMark = 7;
        rig.keys.serverOrder.emplace();
        Outcome outcome;
        int looks = 0, readsSinceLook = -1;
        rig.keys.onRead = [&] {
            if (readsSinceLook >= 0) during(rig.keys, looks - 1, ++readsSinceLook);
        };
        // A window judged by itself: the look believes a press it is told of.
        rig.lastLook = [&](std::optional<std::chrono::milliseconds> since) {
            outcome.told.append(since);
            ++looks;
            readsSinceLook = 0;
        };
        try {
            test::runTask(rig.performer.performPaste(test::writableTextField(), rig.lastLook, {}));
        } catch (const PasteKeysOvertaken&) {
            outcome.overtaken = true;
        }
        EXPECT_EQ(rig.keys.posted, FakeKeyPoster::controlV);
        return outcome;
    };
    using Told = QList<std::optional<std::chrono::milliseconds>>;
    const std::optional<std::chrono::milliseconds> now = std::chrono::milliseconds(0);

    // Between the final reading's two reads: the look is asked again, told of it.
    const Outcome betweenReads = race([](FakeKeyPoster& keys, int look, int reads) {
        if (look == 0 && reads == 2) keys.tabNow();
    });
    EXPECT_FALSE(betweenReads.overtaken);
    ASSERT_GE(betweenReads.told.size(), 2);
    EXPECT_EQ(betweenReads.told.mid(0, 2), (Told{std::nullopt, now}));

    // While every look asked: the looks run out, and the last one's Tab came after it began.
    const Outcome atEveryLook = race([](FakeKeyPoster& keys, int, int reads) {
        if (reads == 1) keys.tabNow();
    });
    EXPECT_TRUE(atEveryLook.overtaken);
    EXPECT_EQ(atEveryLook.told.size(), CommandVSyntheticPastePerformer::kOvertakenLookLimit);

    // Handled while the look asked, read only after the keys.
    const Outcome readLate = race([](FakeKeyPoster& keys, int look, int reads) {
        if (look == 0 && reads == 1) keys.tabNow(true);
    });
    EXPECT_TRUE(readLate.overtaken);

    // Read before the look, which was told of it: not weighed again.
    PasteRig toldBefore;
    toldBefore.keys.orderMark = 7;
    toldBefore.keys.tabNow();
    toldBefore.keys.presses.last().at -= std::chrono::seconds(5);
    toldBefore.keys.sincePress = std::chrono::milliseconds(5000);
    Told told;
    toldBefore.lastLook = [&](std::optional<std::chrono::milliseconds> since) { told.append(since); };
    EXPECT_EQ(toldBefore.paste(), std::nullopt);
    EXPECT_EQ(told.size(), 1);
    EXPECT_TRUE(told.first().has_value());
    EXPECT_EQ(toldBefore.letAt.size(), 1);
    EXPECT_TRUE(toldBefore.letAt.first().second);
}

// A stop while our own key has not shown in the server's order yet: the keys went out, nothing tells
// where, so every request for the words is refused, and none is left waiting.
TEST(SyntheticPaste, AStopWhileTheKeysOrderIsReadAgainRefusesTheWords) {
    FakeKeyPoster keys;
    keys.orderMark = 7;
    keys.pressesBeforeKey = std::nullopt;  // our key never shows
    QList<std::pair<qsizetype, bool>> letAt;
    int pauses = 0;
    CommandVSyntheticPastePerformer performer{keys,
                                              [] { return std::optional(test::writableTextField().app); },
                                              [&](std::chrono::milliseconds, std::stop_token) -> QCoro::Task<void> {
                                                  // The session ends during the second pause between the reads.
                                                  if (!keys.posted.isEmpty() && ++pauses == 2)
                                                      throw CancellationError();
                                                  co_return;
                                              },
                                              {},
                                              {},
                                              {[] {},
                                               [&](bool give) {
                                                   letAt.append({keys.posted.size(), give});
                                               }}};
    EXPECT_TRUE(test::failureOf<CancellationError>(performer.performPaste(test::writableTextField(), {}, {})));
    EXPECT_EQ(keys.posted, FakeKeyPoster::controlV);
    EXPECT_EQ(letAt, (QList<std::pair<qsizetype, bool>>{{FakeKeyPoster::controlV.size(), false}}));
}

// GNOME Terminal forgets what the clipboard holds at each change of owner and pastes nothing until
// it asked again: its chord waits for that question (after the modifiers went up) up to two seconds;
// no other window waits for a question that may never come.
TEST(SyntheticPaste, IntoGnomeTerminalTheChordWaitsUntilTheTerminalAskedWhatTheClipboardHolds) {
    using Performer = CommandVSyntheticPastePerformer;
    const std::tuple<const char*, const char*, std::optional<std::chrono::milliseconds>> cases[] = {
        {"Gnome-terminal", "AXTerminal", Performer::kTargetsFirstLimit},
        {"Xfce4-terminal", "AXTerminal", std::nullopt},
        {"org.example.Notes", nullptr, std::nullopt},
    };
    for (const auto& [windowClass, subrole, bound] : cases) {
        PasteRig rig;
        FocusedTargetSnapshot target = test::writableTextField();
        target.app.bundleIdentifier = rig.frontmost->bundleIdentifier = QString::fromLatin1(windowClass);
        rig.frontmost->windowIdentifier = 0x1a00004;
        target.element.subrole = subrole ? std::optional(QString::fromLatin1(subrole)) : std::nullopt;
        EXPECT_EQ(rig.paste(target), std::nullopt) << windowClass;
        using Awaited = QList<QPair<quint32, qsizetype>>;
        const Awaited awaited = bound ? Awaited{{0x1a00004, 0}} : Awaited{};
        EXPECT_EQ(rig.awaited, awaited) << windowClass;
        EXPECT_EQ(rig.bounds, bound ? QList{*bound} : QList<std::chrono::milliseconds>{}) << windowClass;
        EXPECT_EQ(rig.keys.posted, subrole ? FakeKeyPoster::controlShiftV : FakeKeyPoster::controlV) << windowClass;
    }
}

// A window that names no process (Tk's) is told by the window itself: the same window in front is
// the same application, another one is not, nor is a window in front whose process is known.
TEST(SyntheticPaste, WithoutAProcessTheFrontWindowDecides) {
    FocusedTargetSnapshot target;
    target.app = FocusedAppMetadata{u"Tk"_qs, u"tk"_qs, 0, 0x800010};
    target.isWindowOnly = true;
    target.element.role = u"AXUnknown"_qs;
    target.element.isEnabled = true;
    const std::tuple<const char*, qint32, std::optional<quint32>, bool> cases[] = {
        {"the same window", 0, 0x800010, true},
        {"another window without a process", 0, 0x800020, false},
        {"a window whose process is known", 4242, 0x800010, false},
        {"no window named", 0, std::nullopt, false},
    };
    for (const auto& [name, process, window, pastes] : cases) {
        PasteRig rig;
        rig.frontmost = target.app;
        rig.frontmost->processIdentifier = process;
        rig.frontmost->windowIdentifier = window;
        const auto refused = std::optional(SyntheticPasteError::Case::frontmostApplicationChanged);
        EXPECT_EQ(rig.paste(target), pastes ? std::nullopt : refused) << name;
        EXPECT_EQ(rig.keys.posted, pastes ? FakeKeyPoster::controlV : FakeKeyPoster::Events{}) << name;

        // The check after the paste judges the surface the same way.
        FocusedTargetSnapshot current = target;
        current.app = *rig.frontmost;
        EXPECT_EQ(FocusedTargetIdentityScore::compute(target, current).isSameSurface, pastes) << name;
    }
}

}  // namespace
}  // namespace quorvelle
