#pragma once

#include "Services/Delivery/TextRange.h"

#include <QString>
#include <optional>

namespace quorvelle {

// The direct writer produces the first two; the session uses the others for the paste road.
enum class TextInsertionOutcome { insertedAtCaret, replacedSelection, pastedViaClipboard, pasteSentUnverified };

struct TextInsertionResult {
    TextInsertionOutcome outcome = TextInsertionOutcome::insertedAtCaret;
    // UTF-16 span of the written text inside the element's value.
    std::optional<TextRange> insertedRange;
    // Exactly what was written, including a leading space that was added.
    std::optional<QString> insertedText;

    friend bool operator==(const TextInsertionResult&, const TextInsertionResult&) = default;
};

}  // namespace quorvelle
