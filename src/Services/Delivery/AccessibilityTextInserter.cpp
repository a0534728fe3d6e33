#include "Services/Delivery/AccessibilityTextInserter.h"

#include "Services/Delivery/DirectWriteCommitment.h"
#include "Services/Delivery/PasteLanding.h"
#include "Services/Delivery/TextInsertionError.h"

namespace quorvelle {

namespace {

constexpr QStringView kNoSpaceBefore = u".,;:!?)]}%";

bool isSpaceOrNewline(char32_t scalar) {
    return QChar::isSpace(scalar);
}

char32_t firstScalar(const QString& text) {
    if (text.isEmpty()) return 0;
    if (text.size() > 1 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate()) {
        return QChar::surrogateToUcs4(text.at(0), text.at(1));
    }
    return text.at(0).unicode();
}

char32_t scalarBefore(const QString& value, qsizetype location) {
    const QChar last = value.at(location - 1);
    if (last.isLowSurrogate() && location >= 2 && value.at(location - 2).isHighSurrogate()) {
        return QChar::surrogateToUcs4(value.at(location - 2), last);
    }
    return last.unicode();
}

// Editors may store a space they are given as another horizontal space (WebKit's rich text keeps a
// leading or doubled space as U+00A0, which the page shows alike): reading the text back, every
// horizontal space counts as the plain one. Each is one UTF-16 unit, so offsets stay as they were.
QString withPlainSpaces(QString plain) {
    for (QChar& c : plain) {
        if (c == u'\t' || c.category() == QChar::Separator_Space) c = u' ';
    }
    return plain;
}

bool sameText(const QString& found, const QString& expected) {
    return withPlainSpaces(found) == withPlainSpaces(expected);
}

[[noreturn]] void fail(TextInsertionError::Case errorCase) {
    throw TextInsertionError(errorCase);
}

}  // namespace

AccessibilityTextInserter::AccessibilityTextInserter(AccessibilityTextElementAccessing& elementAccessor)
    : m_elementAccessor(elementAccessor) {}

bool AccessibilityTextInserter::needsLeadingSpace(const QString& value, TextRange range, const QString& text) {
    if (range.length != 0 || range.location <= 0 || range.location > value.size()) return false;
    if (text.isEmpty()) return false;
    const char32_t first = firstScalar(text);
    if (isSpaceOrNewline(first)) return false;
    if (first <= 0xFFFF && kNoSpaceBefore.contains(QChar(static_cast<char16_t>(first)))) return false;
    return !isSpaceOrNewline(scalarBefore(value, range.location));
}

std::optional<TextRange> AccessibilityTextInserter::insertionRange(
    const FocusedTargetSnapshot& target, const QString& value,
    const std::optional<TextReplacementHint>& replacementHint) {
    if (!target.element.supportsSelectedTextRangeWrite) return std::nullopt;
    const std::optional<TextRange> selection = m_elementAccessor.copyRangeAttribute(target.elementHandle);
    if (!selection) return std::nullopt;
    if (selection->location < 0 || selection->length < 0 || selection->end() > value.size()) {
        fail(TextInsertionError::Case::insertionLocationUnavailable);
    }
    // A hint is trusted only while the text it points at is still what was inserted; otherwise the
    // user has edited it and replacing would destroy their change.
    if (replacementHint && replacementHint->range == *selection &&
        !sameText(value.mid(selection->location, selection->length), replacementHint->text)) {
        fail(TextInsertionError::Case::replacementHintMismatch);
    }
    return selection;
}

TextInsertionResult AccessibilityTextInserter::insert(const QString& text, const FocusedTargetSnapshot& target,
                                                      const std::optional<TextReplacementHint>& replacementHint) {
    // A write the application drops later would be reported as inserted and lost.
    if (target.blockReason().has_value() || target.terminalLikeReason().has_value() ||
        !target.element.supportsValueWrite || !keepsDirectWrites(target)) {
        fail(TextInsertionError::Case::unsupportedTarget);
    }
    const QString value = m_elementAccessor.copyStringAttribute(target.elementHandle).value_or(QString());
    const std::optional<TextRange> range = insertionRange(target, value, replacementHint);

    if (!range) {
        if (!value.isEmpty()) fail(TextInsertionError::Case::insertionLocationUnavailable);
        m_elementAccessor.setStringAttribute(target.elementHandle, text);
        confirmWritten(target, value, 0, text);
        return TextInsertionResult{TextInsertionOutcome::insertedAtCaret, TextRange{0, text.size()}, text};
    }

    const QString written = needsLeadingSpace(value, *range, text) ? QLatin1Char(' ') + text : text;
    try {
        m_elementAccessor.replaceText(target.elementHandle, *range, written);
        confirmWritten(target, value, range->location, written);
    } catch (const TextInsertionError&) {
        if (range->length > 0) restoreSelection(target, value, *range);
        throw;
    }
    try {
        m_elementAccessor.setRangeAttribute(target.elementHandle, TextRange{range->location + written.size(), 0});
    } catch (const TextInsertionError&) {
        // The text is in; a caret left elsewhere does not undo that.
    }
    const TextInsertionOutcome outcome =
        range->length > 0 ? TextInsertionOutcome::replacedSelection : TextInsertionOutcome::insertedAtCaret;
    return TextInsertionResult{outcome, TextRange{range->location, written.size()}, written};
}

void AccessibilityTextInserter::confirmWritten(const FocusedTargetSnapshot& target, const QString& before,
                                               qsizetype location, const QString& written) {
    // Some elements answer a write with success and change nothing (Firefox's fields): only the
    // text read back tells. An unchanged value means nothing went in, even where the same words
    // already stood.
    const std::optional<QString> after = m_elementAccessor.copyStringAttribute(target.elementHandle);
    if (!after || *after == before || !sameText(after->mid(location, written.size()), written)) {
        fail(TextInsertionError::Case::writeFailed);
    }
}

void AccessibilityTextInserter::restoreSelection(const FocusedTargetSnapshot& target, const QString& before,
                                                 TextRange selection) {
    // A replacement deletes the selection before it inserts: when the insert then fails, the user's
    // selected text would be gone with nothing in its place.
    try {
        const std::optional<QString> now = m_elementAccessor.copyStringAttribute(target.elementHandle);
        const QString withoutSelection = before.left(selection.location) + before.mid(selection.end());
        if (!now || *now != withoutSelection) return;
        m_elementAccessor.replaceText(target.elementHandle, TextRange{selection.location, 0},
                                      before.mid(selection.location, selection.length));
        m_elementAccessor.setRangeAttribute(target.elementHandle, selection);
    } catch (const TextInsertionError&) {
        // The failure that brought us here is the one to report.
    }
}

std::optional<TextInsertionPoint> AccessibilityTextInserter::insertionPoint(const FocusedTargetSnapshot& target) {
    // Nothing inside a window without an accessibility tree can be read; a password field's text is
    // not its content.
    if (target.isWindowOnly || target.element.isSecure()) return std::nullopt;
    try {
        auto [value, range, whole] = m_elementAccessor.copyStringAndRangeAttributes(target.elementHandle);
        if (!value) return std::nullopt;
        // A caret past the end of what was read points into text that cannot be read. One inside a
        // text read in part is kept for the space before the words (Konsole's first screen, not yet
        // scrolled, reads from its top like its caret).
        if (range && (range->location < 0 || range->length < 0 || range->end() > value->size())) {
            range.reset();
            whole = false;
        }
        return TextInsertionPoint{*value, range, whole};
    } catch (const TextInsertionError&) {
        return std::nullopt;
    }
}

QString AccessibilityTextInserter::textToPaste(const QString& text, const std::optional<TextInsertionPoint>& point) {
    if (point && point->range && needsLeadingSpace(point->value, *point->range, text)) return QLatin1Char(' ') + text;
    return text;
}

PasteReadBack AccessibilityTextInserter::verifyInsertion(const QString& pasted, const FocusedTargetSnapshot& target,
                                                         const std::optional<TextInsertionPoint>& before) {
    // Without the text from before, words found in the field may have stood there all along.
    if (pasted.isEmpty() || target.isWindowOnly || !before) return PasteReadBack::unreadable;
    const AccessibilityTextElementAccessing::TextAndRange after =
        m_elementAccessor.copyStringAsRead(target.elementHandle);
    if (!after.value) return PasteReadBack::unreadable;
    const std::optional<bool> landed =
        PasteLanding::judged(withPlainSpaces(before->value), before->range, before->whole,
                             withPlainSpaces(*after.value), after.whole, withPlainSpaces(pasted));
    if (!landed) return PasteReadBack::untold;
    return *landed ? PasteReadBack::landed : PasteReadBack::missing;
}

}  // namespace quorvelle
