#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"

namespace quorvelle::test {

// An enabled, editable, settable text field of a plain application: every predicate's "yes" case.
inline FocusedTargetSnapshot writableTextField() {
    FocusedTargetSnapshot target;
    target.app.bundleIdentifier = QStringLiteral("org.example.Notes");
    target.app.localizedName = QStringLiteral("Notes");
    target.app.processIdentifier = 4242;
    target.element.role = QStringLiteral("AXTextArea");
    target.element.title = QStringLiteral("Body");
    target.element.identifier = QStringLiteral("body-editor");
    target.element.frame = QRectF(100, 200, 300, 40);
    target.element.size = QSizeF(300, 40);
    target.element.isEnabled = true;
    target.element.isEditable = true;
    target.element.supportsValueWrite = true;
    target.element.supportsSelectedTextRangeWrite = true;
    return target;
}

}  // namespace quorvelle::test
