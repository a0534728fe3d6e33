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
    PasteReadBack verifyInsertion(const QString& pasted, const FocusedTargetSnapshot& target,
                                  const std::optional<TextInsertionPoint>& before) override;

    // Whether a space goes before `text` written at an empty range at `location` of `value`.
    static bool needsLeadingSpace(const QString& value, TextRange range, const QString& text);

private:
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
