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

std::optional<ErrorCase> insertionError(AccessibilityTextInserter& inserter, const QString& text,
                                        const FocusedTargetSnapshot& target,
                                        const std::optional<TextReplacementHint>& hint = std::nullopt) {
    try {
        inserter.insert(text, target, hint);
    } catch (const TextInsertionError& error) {
        return error.errorCase();
    }
    return std::nullopt;
}

TEST(TextInserter, SplicesAtTheCaretOrOverTheSelectionAndMovesTheCaretBehind) {
    // The leading space rule, and emoji kept whole (UTF-16 offsets); a selection is replaced.
    const struct {
        QString value;
        TextRange selection;
        QString text;
        QString expectedValue;
        TextRange inserted;
    } cases[] = {
        {u"hello "_qs, {6, 0}, u"world"_qs, u"hello world"_qs, {6, 5}},
        {u"hi\n"_qs, {3, 0}, u"next"_qs, u"hi\nnext"_qs, {3, 4}},
        {u"a😀"_qs, {3, 0}, u"b"_qs, u"a😀 b"_qs, {3, 2}},
        {u"a"_qs, {1, 0}, u"😀"_qs, u"a 😀"_qs, {1, 3}},
        {u"x😀y"_qs, {1, 2}, u"z"_qs, u"xzy"_qs, {1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expectedValue.toStdString());
        FakeTextElement element;
        element.value = c.value;
        element.selection = c.selection;
        AccessibilityTextInserter inserter(element);
        const TextInsertionResult result = inserter.insert(c.text, fieldTarget(), std::nullopt);
        EXPECT_EQ(element.value, c.expectedValue);
        const Outcome outcome = c.selection.length > 0 ? Outcome::replacedSelection : Outcome::insertedAtCaret;
        EXPECT_EQ(result, (TextInsertionResult{outcome, c.inserted,
                                               c.expectedValue.mid(c.inserted.location, c.inserted.length)}));
        EXPECT_EQ(element.selection, (TextRange{c.inserted.end(), 0}));
    }
}

TEST(TextInserter, AnEmptyFieldWithoutSelectionTakesTheWholeTextAndKeepsItsCaret) {
    FakeTextElement element;  // no value, no selection
    AccessibilityTextInserter inserter(element);
    const TextInsertionResult result = inserter.insert(u"hello"_qs, fieldTarget(), std::nullopt);
    EXPECT_EQ(element.value, u"hello"_qs);
    EXPECT_EQ(result, (TextInsertionResult{Outcome::insertedAtCaret, TextRange{0, 5}, u"hello"_qs}));
    EXPECT_FALSE(element.calls.contains(QStringLiteral("writeRange")));
}

TEST(TextInserter, RefusesBeforeWritingAnything) {
    struct RefusalCase {
        const char* name;
        std::function<void(FocusedTargetSnapshot&, FakeTextElement&)> setup;
        ErrorCase expected;
        bool readsNothing;
    };
    const RefusalCase cases[] = {
        {"terminal-like target", [](auto& t, auto&) { t.element.subrole = u"AXTerminal"_qs; },
         ErrorCase::unsupportedTarget, true},
        {"text but no selection",
         [](auto&, auto& e) {
             e.value = u"abc"_qs;
             e.selection.reset();
         },
         ErrorCase::insertionLocationUnavailable, false},
        {"text and a selection that cannot be set",
         [](auto& t, auto& e) {
             t.element.supportsSelectedTextRangeWrite = false;
             e.value = u"abc"_qs;
             e.selection = TextRange{3, 0};
         },
         ErrorCase::insertionLocationUnavailable, false},
        {"selection beyond the end",
         [](auto&, auto& e) {
             e.value = u"abc"_qs;
             e.selection = TextRange{2, 2};
         },
         ErrorCase::insertionLocationUnavailable, false},
        {"unreadable element", [](auto&, auto& e) { e.readFailure = ErrorCase::accessibilityPermissionMissing; },
         ErrorCase::accessibilityPermissionMissing, false},
    };
    for (const RefusalCase& c : cases) {
        FocusedTargetSnapshot target = fieldTarget();
        FakeTextElement element;
        element.selection = TextRange{0, 0};
        c.setup(target, element);
        const std::optional<QString> before = element.value;
        AccessibilityTextInserter inserter(element);
        EXPECT_EQ(insertionError(inserter, u"text"_qs, target), c.expected) << c.name;
        EXPECT_EQ(element.value, before) << c.name;
        EXPECT_FALSE(element.calls.contains(QStringLiteral("writeValue"))) << c.name;
        if (c.readsNothing) {
            EXPECT_TRUE(element.calls.isEmpty()) << c.name;
        }
    }
}

TEST(TextInserter, AFailedWriteSurfacesButAFailedCaretMoveDoesNot) {
    FakeTextElement refusing;
    refusing.value = u"a"_qs;
    refusing.selection = TextRange{1, 0};
    refusing.writeFailure = ErrorCase::writeFailed;
    AccessibilityTextInserter refusingInserter(refusing);
    EXPECT_EQ(insertionError(refusingInserter, u"b"_qs, fieldTarget()), ErrorCase::writeFailed);

    FakeTextElement stubbornCaret;
    stubbornCaret.value = u"a"_qs;
    stubbornCaret.selection = TextRange{1, 0};
    stubbornCaret.rangeWriteFailure = ErrorCase::writeFailed;
    AccessibilityTextInserter inserter(stubbornCaret);
    EXPECT_EQ(inserter.insert(u"b"_qs, fieldTarget(), std::nullopt).insertedText, u" b"_qs);
    EXPECT_EQ(stubbornCaret.value, u"a b"_qs);
}

TEST(TextInserter, AReplacementHintIsHonouredOnlyWhileItsTextIsUnchanged) {
    struct HintCase {
        const char* name;
        TextReplacementHint hint;
        std::optional<ErrorCase> error;
        QString expectedValue;
    };
    const HintCase cases[] = {
        {"hinted text still there", {{6, 5}, u"wrold"_qs}, std::nullopt, u"hello world"_qs},
        {"user edited the hinted text", {{6, 5}, u"other"_qs}, ErrorCase::replacementHintMismatch, u"hello wrold"_qs},
        {"hint for another range: the selection is used", {{0, 5}, u"nope!"_qs}, std::nullopt, u"hello world"_qs},
    };
    for (const HintCase& c : cases) {
        FakeTextElement element;
        element.value = u"hello wrold"_qs;
        element.selection = TextRange{6, 5};
        AccessibilityTextInserter inserter(element);
        EXPECT_EQ(insertionError(inserter, u"world"_qs, fieldTarget(), c.hint), c.error) << c.name;
        EXPECT_EQ(element.value, c.expectedValue) << c.name;
    }
}

TEST(TextInserter, VerificationAnswersWhetherTheValueHoldsTheText) {
    struct VerifyCase {
        const char* name;
        std::optional<QString> value;
        QString text;
        std::optional<bool> expected;
    };
    const VerifyCase cases[] = {
        {"value contains the text", u"say hello there"_qs, u"hello"_qs, true},
        {"readable value lacks the text", u"say goodbye"_qs, u"hello"_qs, false},
        {"unreadable value", std::nullopt, u"hello"_qs, std::nullopt},
        {"empty text cannot be judged", u"anything"_qs, QString(), std::nullopt},
    };
    for (const VerifyCase& c : cases) {
        FakeTextElement element;
        element.value = c.value;
        AccessibilityTextInserter inserter(element);
        EXPECT_EQ(inserter.verifyInsertion(c.text, fieldTarget()), c.expected) << c.name;
    }
    FakeTextElement failing;
    failing.readFailure = ErrorCase::unsupportedTarget;
    AccessibilityTextInserter inserter(failing);
    EXPECT_THROW(inserter.verifyInsertion(u"x"_qs, fieldTarget()), TextInsertionError);
}

}  // namespace
}  // namespace quorvelle
