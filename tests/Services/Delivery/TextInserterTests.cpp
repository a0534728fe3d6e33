#include "Services/Delivery/AccessibilityTextInserter.h"

#include "DeliveryFakes.h"
#include "Services/Delivery/Model/FocusedTargetFixtures.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using test::FakeTextElement;
using Outcome = TextInsertionOutcome;
using ErrorCase = TextInsertionError::Case;

FocusedTargetSnapshot fieldTarget() {
    FocusedTargetSnapshot target = test::writableTextField();
    target.elementHandle = test::fakeHandle();
    return target;
}

std::optional<ErrorCase> insertionError(FakeTextElement& element, const QString& text,
                                        const FocusedTargetSnapshot& target = fieldTarget(),
                                        const std::optional<TextReplacementHint>& hint = std::nullopt) {
    AccessibilityTextInserter inserter(element);
    return test::errorCaseOf<TextInsertionError>([&] { inserter.insert(text, target, hint); });
}

TEST(TextInserter, SplicesAtTheCaretOrOverTheSelectionAndMovesTheCaretBehind) {
    // The leading space rule, and emoji kept whole (UTF-16 offsets); a selection is replaced. An empty
    // field without a selection takes the whole text and keeps its caret.
    const struct {
        std::optional<QString> value;
        std::optional<TextRange> selection;
        QString text, expectedValue;
        TextRange inserted;
    } cases[] = {
        {u"hello "_qs, TextRange{6, 0}, u"world"_qs, u"hello world"_qs, {6, 5}},
        {u"hi\n"_qs, TextRange{3, 0}, u"next"_qs, u"hi\nnext"_qs, {3, 4}},
        {u"a😀"_qs, TextRange{3, 0}, u"b"_qs, u"a😀 b"_qs, {3, 2}},
        {u"a"_qs, TextRange{1, 0}, u"😀"_qs, u"a 😀"_qs, {1, 3}},
        {u"x😀y"_qs, TextRange{1, 2}, u"z"_qs, u"xzy"_qs, {1, 1}},
        {std::nullopt, std::nullopt, u"hello"_qs, u"hello"_qs, {0, 5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expectedValue.toStdString());
        FakeTextElement element;
        element.value = c.value;
        element.selection = c.selection;
        const TextInsertionResult result = AccessibilityTextInserter(element).insert(c.text, fieldTarget(), {});
        EXPECT_EQ(element.value, c.expectedValue);
        const Outcome outcome =
            c.selection && c.selection->length ? Outcome::replacedSelection : Outcome::insertedAtCaret;
        EXPECT_EQ(result, (TextInsertionResult{outcome, c.inserted,
                                               c.expectedValue.mid(c.inserted.location, c.inserted.length)}));
        EXPECT_EQ(element.selection, c.selection ? std::optional(TextRange{c.inserted.end(), 0}) : std::nullopt);
    }
}

TEST(TextInserter, RefusesBeforeWritingAnything) {
    const struct {
        const char* name;
        std::optional<TextRange> selection;
        bool terminal = false, rangeSettable = true, unreadable = false;
        ErrorCase expected = ErrorCase::insertionLocationUnavailable;
    } cases[] = {
        {"terminal-like target: nothing is even read", TextRange{3, 0}, true, true, false,
         ErrorCase::unsupportedTarget},
        {"text but no selection", std::nullopt},
        {"text and a selection that cannot be set", TextRange{3, 0}, false, false},
        {"selection beyond the end", TextRange{2, 2}},
        {"unreadable element", TextRange{3, 0}, false, true, true, ErrorCase::accessibilityPermissionMissing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FocusedTargetSnapshot target = fieldTarget();
        if (c.terminal) target.element.subrole = u"AXTerminal"_qs;
        target.element.supportsSelectedTextRangeWrite = c.rangeSettable;
        FakeTextElement element;
        element.value = u"abc"_qs;
        element.selection = c.selection;
        if (c.unreadable) element.readFailure = ErrorCase::accessibilityPermissionMissing;
        EXPECT_EQ(insertionError(element, u"text"_qs, target), c.expected);
        EXPECT_EQ(element.value, u"abc"_qs);
        EXPECT_FALSE(element.calls.contains(u"writeValue"_qs));
        EXPECT_TRUE(!c.terminal || element.calls.isEmpty());
    }
}

TEST(TextInserter, AFailedWriteSurfacesButAFailedCaretMoveDoesNot) {
    FakeTextElement refusing, stubbornCaret;
    for (FakeTextElement* element : {&refusing, &stubbornCaret}) {
        element->value = u"a"_qs;
        element->selection = TextRange{1, 0};
    }
    refusing.writeFailure = stubbornCaret.rangeWriteFailure = ErrorCase::writeFailed;
    EXPECT_EQ(insertionError(refusing, u"b"_qs), ErrorCase::writeFailed);
    EXPECT_EQ(insertionError(stubbornCaret, u"b"_qs), std::nullopt);
    EXPECT_EQ(stubbornCaret.value, u"a b"_qs);
}

TEST(TextInserter, AReplacementHintIsHonouredOnlyWhileItsTextIsUnchanged) {
    const struct {
        const char* name;
        TextReplacementHint hint;
        std::optional<ErrorCase> error;
        QString expectedValue;
    } cases[] = {
        {"hinted text still there", {{6, 5}, u"wrold"_qs}, std::nullopt, u"hello world"_qs},
        {"user edited the hinted text", {{6, 5}, u"other"_qs}, ErrorCase::replacementHintMismatch, u"hello wrold"_qs},
        {"hint for another range: the selection is used", {{0, 5}, u"nope!"_qs}, std::nullopt, u"hello world"_qs},
    };
    for (const auto& c : cases) {
        FakeTextElement element;
        element.value = u"hello wrold"_qs;
        element.selection = TextRange{6, 5};
        EXPECT_EQ(insertionError(element, u"world"_qs, fieldTarget(), c.hint), c.error) << c.name;
        EXPECT_EQ(element.value, c.expectedValue) << c.name;
    }
}

TEST(TextInserter, VerificationAnswersWhetherTheValueHoldsTheText) {
    const struct {
        const char* name;
        std::optional<QString> value;
        QString text;
        std::optional<bool> expected;
    } cases[] = {
        {"value contains the text", u"say hello there"_qs, u"hello"_qs, true},
        {"readable value lacks the text", u"say goodbye"_qs, u"hello"_qs, false},
        {"unreadable value", std::nullopt, u"hello"_qs, std::nullopt},
        {"empty text cannot be judged", u"anything"_qs, QString(), std::nullopt},
    };
    for (const auto& c : cases) {
        FakeTextElement element;
        element.value = c.value;
        EXPECT_EQ(AccessibilityTextInserter(element).verifyInsertion(c.text, fieldTarget()), c.expected) << c.name;
    }
    FakeTextElement failing;
    failing.readFailure = ErrorCase::unsupportedTarget;
    EXPECT_THROW(AccessibilityTextInserter(failing).verifyInsertion(u"x"_qs, fieldTarget()), TextInsertionError);
}

}  // namespace
}  // namespace quorvelle
