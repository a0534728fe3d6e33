#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"
#include "Services/Delivery/TextRange.h"

#include <QString>
#include <memory>
#include <optional>

namespace quorvelle {

// The reads and writes of a text element's value and selection that insertion makes. Offsets are
// UTF-16 code units whatever the element's toolkit counts. Every operation throws TextInsertionError.
class AccessibilityTextElementAccessing {
public:
    using Handle = std::shared_ptr<const FocusedElementHandle>;
    struct TextAndRange {
        std::optional<QString> value;
        std::optional<TextRange> range;
        // False when the text came back shorter than the element says it is (Konsole counts its
        // screen's cells but reads from the oldest line of its scrollback): it is not all of it.
        bool whole = true;
    };

    virtual ~AccessibilityTextElementAccessing() = default;

    // The element's whole text; none when it has no readable text (a password field has none).
    virtual std::optional<QString> copyStringAttribute(const Handle& element) = 0;
    // The selection, or the caret as an empty range; none when there is neither.
    virtual std::optional<TextRange> copyRangeAttribute(const Handle& element) = 0;
    // Both of the above, the range only where there is a text. Each look reaches into the element's
    // application: one look for both spares the calls they share.
    virtual TextAndRange copyStringAndRangeAttributes(const Handle& element) {
        std::optional<QString> value = copyStringAttribute(element);
        if (!value) return {};
        return {std::move(value), copyRangeAttribute(element)};
    }
    // The element's text as copyStringAttribute gives it, and whether it is all of it; no range.
    virtual TextAndRange copyStringAsRead(const Handle& element) { return {copyStringAttribute(element), {}}; }
    // Replaces the whole text: for an element that offers nothing finer, and an empty one.
    virtual void setStringAttribute(const Handle& element, const QString& value) = 0;
    // Replaces the text of `range` (deleting it first when not empty) by `text`, leaving the rest of
    // the element alone: a rich text keeps the formatting around it.
    virtual void replaceText(const Handle& element, TextRange range, const QString& text) = 0;
    virtual void setRangeAttribute(const Handle& element, TextRange range) = 0;
};

}  // namespace quorvelle
