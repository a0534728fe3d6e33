#pragma once

#include "Services/Delivery/AccessibilityTextElementAccessing.h"
#include "Services/Delivery/TextInserting.h"
#include "Services/Delivery/TextInsertionVerifying.h"

namespace quorvelle {

// Writes text into the element at the caret or over the selection, checks that it is there and
// puts the caret after it.
class AccessibilityTextInserter final : public TextInserting, public TextInsertionVerifying {
public:
    explicit AccessibilityTextInserter(AccessibilityTextElementAccessing& elementAccessor);

    TextInsertionResult insert(const QString& text, const FocusedTargetSnapshot& target,
                               const std::optional<TextReplacementHint>& replacementHint) override;
    std::optional<TextInsertionPoint> insertionPoint(const FocusedTargetSnapshot& target) override;
    QString textToPaste(const QString& text, const std::optional<TextInsertionPoint>& point) override;
    std::optional<bool> verifyInsertion(const QString& pasted, const FocusedTargetSnapshot& target,
                                        const std::optional<TextInsertionPoint>& before) override;

    // Whether a space goes before `text` written at an empty range at `location` of `value`.
    static bool needsLeadingSpace(const QString& value, TextRange range, const QString& text);

    // The most letters a user types into the field between the read before a paste and the check
    // after it: a fast typist over the seconds the waits of a delivery can take.
    static constexpr qsizetype kTypedWhilePasting = 80;

private:
    // Whether `words` took the place of `range` in `was`, with no more than kTypedWhilePasting
    // letters typed beside them, giving `now`. All three with plain spaces.
    static bool landedAt(TextRange range, const QString& was, const QString& now, const QString& words);

    std::optional<TextRange> insertionRange(const FocusedTargetSnapshot& target, const QString& value,
                                            const std::optional<TextReplacementHint>& replacementHint);

    // Throws writeFailed unless `written` now stands at `location`.
    void confirmWritten(const FocusedTargetSnapshot& target, const QString& before, qsizetype location,
                        const QString& written);
    // After a failed replacement: puts the selected text back where the write removed it.
    void restoreSelection(const FocusedTargetSnapshot& target, const QString& before, TextRange selection);

    AccessibilityTextElementAccessing& m_elementAccessor;
};

}  // namespace quorvelle
