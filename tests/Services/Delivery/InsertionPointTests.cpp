// The point read before a paste: a caret inside the text read is kept (at its very start too); one that
// cannot stand there (beyond what was read, as a terminal whose scrollback reads from its oldest line
// shows it, or before its start) points into text that cannot be read. Then the text counts as read in
// part, the words get no space from that caret, and a check that does not find them tells nothing.
#include "Services/Delivery/AccessibilityTextInserter.h"

#include "DeliveryFakes.h"
#include "Services/Delivery/Model/FocusedTargetFixtures.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using test::FakeTextElement;

FocusedTargetSnapshot field() {
    FocusedTargetSnapshot target = test::writableTextField();
    target.elementHandle = makeElementHandle(std::make_shared<test::FakeElement>(u"field"_qs));
    return target;
}

TEST(InsertionPoint, ACaretThatCannotStandInTheTextReadMakesItPartAndTellsNothingOfTheWordsAbsence) {
    const QString screen = u"user@host:~$ ls"_qs;
    // the caret read, whether it stands in the text read
    const std::tuple<const char*, TextRange, bool> carets[] = {
        {"at the end", TextRange{15, 0}, true},
        {"at the start", TextRange{0, 0}, true},
        {"beyond the text read", TextRange{40, 0}, false},
        {"a selection running beyond it", TextRange{10, 6}, false},
        {"before its start", TextRange{-1, 0}, false},
    };
    for (const auto& [name, caret, stands] : carets) {
        SCOPED_TRACE(name);
        FakeTextElement element(screen, caret);
        AccessibilityTextInserter inserter(element);
        const std::optional<TextInsertionPoint> point = inserter.insertionPoint(field());
        ASSERT_TRUE(point);
        EXPECT_EQ(point->value, screen);
        EXPECT_EQ(point->range, stands ? std::optional(caret) : std::nullopt);
        EXPECT_EQ(point->whole, stands);
        // After a word at the end the words get a space; from a caret that cannot be read, none.
        const QString pasted = inserter.textToPaste(u"pwd"_qs, point);
        EXPECT_EQ(pasted, caret.location == 15 ? u" pwd"_qs : u"pwd"_qs);
        // Nothing changed where it can be read: the words are missing only from a text read whole.
        EXPECT_EQ(inserter.verifyInsertion(pasted, field(), point),
                  stands ? PasteReadBack::missing : PasteReadBack::untold);
        element.value = stands ? screen.left(caret.location) + pasted + screen.mid(caret.end()) : screen + pasted;
        EXPECT_EQ(inserter.verifyInsertion(pasted, field(), point), PasteReadBack::landed);
    }

    // A field without readable text gives no point.
    FakeTextElement unreadable;
    EXPECT_EQ(AccessibilityTextInserter(unreadable).insertionPoint(field()), std::nullopt);
}

}  // namespace
}  // namespace quorvelle
