#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"

#include <QString>
#include <optional>

namespace quorvelle {

class TextInsertionVerifying {
public:
    virtual ~TextInsertionVerifying() = default;
    // True when the target's value contains the text, false when it is readable and does not, none
    // when it cannot tell. Throws TextInsertionError.
    virtual std::optional<bool> verifyInsertion(const QString& text, const FocusedTargetSnapshot& target) = 0;
    // The text as a paste at the target's caret should bring it: with the space a direct write would
    // put before it. Never throws; the text as it is when the caret cannot be read.
    virtual QString textToPaste(const QString& text, const FocusedTargetSnapshot&) { return text; }
};

}  // namespace quorvelle
