#pragma once

#include "Services/Delivery/AccessibilityTextElementAccessing.h"

namespace quorvelle {

// Reads and writes a field's text over the AT-SPI Text and EditableText interfaces, converting
// offsets between UTF-16 and the toolkit's own unit.
class AtspiTextElementAccessor final : public AccessibilityTextElementAccessing {
public:
    std::optional<QString> copyStringAttribute(const Handle& element) override;
    std::optional<TextRange> copyRangeAttribute(const Handle& element) override;
    TextAndRange copyStringAndRangeAttributes(const Handle& element) override;
    TextAndRange copyStringAsRead(const Handle& element) override;
    void setStringAttribute(const Handle& element, const QString& value) override;
    void setRangeAttribute(const Handle& element, TextRange range) override;
    void replaceText(const Handle& element, TextRange range, const QString& text) override;
};

}  // namespace quorvelle
