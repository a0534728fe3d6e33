#include "Services/Delivery/FocusMovingPress.h"

#include "Services/Delivery/FocusedTargetSnapshot.h"
#include "Services/Delivery/FocusedTargetTables.h"

namespace quorvelle {

bool FocusMovingPress::mayMoveFocusFrom(const FocusedTargetSnapshot& target) const {
    // A window standing for its field tells nothing of what is inside it.
    if (target.isWindowOnly) return true;
    const FocusedElementMetadata& element = target.element;
    switch (kind) {
        case Kind::tab:
            // Only the terminal's own element says so: a field merely named like a shell passes Tab on.
            return element.subrole != FocusedTargetTables::terminalSubrole;
        case Kind::click: {
            // A field, not a page or a document: a click inside those may land on a field of their own.
            const bool field =
                element.role == QLatin1String("AXTextField") || element.role == QLatin1String("AXTextArea");
            return !(field && pointer && element.frame && element.frame->contains(*pointer));
        }
        case Kind::unread: break;
    }
    return true;
}

}  // namespace quorvelle
