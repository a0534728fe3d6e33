#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"
#include "Services/Delivery/TextRange.h"

#include <QString>
#include <optional>

namespace quorvelle {

// What an element held just before a paste, and where the paste lands: the caret or the selection
// (none when it could not be read, or lies beyond `value`).
struct TextInsertionPoint {
    QString value;
    std::optional<TextRange> range;
    // False when `value` is only part of the element's text, or ends before its caret: the words may
    // land beyond what can be read, and then their absence tells nothing.
    bool whole = true;
};

// What an element's text read after a paste tells of the pasted words.
enum class PasteReadBack {
    // There, at the point they were sent to.
    landed,
    // Read, and not there.
    missing,
    // Read, and it cannot tell: a text read only in part that does not show the words, a terminal's
    // screen that shows them at the caret but not that they took nothing else there.
    untold,
    // Nothing to judge by: nothing read before, nothing readable now.
    unreadable,
};

class TextInsertionVerifying {
public:
    virtual ~TextInsertionVerifying() = default;
    // Read before a paste; none when the element's text cannot be read. Never throws.
    virtual std::optional<TextInsertionPoint> insertionPoint(const FocusedTargetSnapshot& target) = 0;
    // The text as a paste at `point` should bring it: with the space a direct write would put before
    // it; the text as it is without a point.
    virtual QString textToPaste(const QString& text, const std::optional<TextInsertionPoint>& point) = 0;
    // After pasting `pasted` at `before`: landed when the element's text changed there by that text,
    // beside at most a few letters the user typed at the caret meanwhile (the text on either side of
    // the point unchanged but for what PasteLanding lets real fields change); missing when it is
    // readable and did not; untold where PasteLanding cannot judge the text; unreadable without a
    // text from before or now.
    // A field that already held the words does not pass by holding them. Throws TextInsertionError.
    virtual PasteReadBack verifyInsertion(const QString& pasted, const FocusedTargetSnapshot& target,
                                          const std::optional<TextInsertionPoint>& before) = 0;
};

}  // namespace quorvelle
