#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"
#include "Services/Delivery/TextInsertionResult.h"

#include <QString>
#include <optional>

namespace quorvelle {

// The text of the previous direct insertion and where it went, for replacing it with a new text.
struct TextReplacementHint {
    TextRange range;
    QString text;
};

class TextInserting {
public:
    virtual ~TextInserting() = default;
    // Throws TextInsertionError.
    virtual TextInsertionResult insert(const QString& text, const FocusedTargetSnapshot& target,
                                       const std::optional<TextReplacementHint>& replacementHint) = 0;
};

}  // namespace quorvelle
