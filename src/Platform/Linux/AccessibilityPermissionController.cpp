#include "Platform/Linux/AccessibilityPermissionController.h"

#include "Platform/Linux/AccessibilityBus.h"

namespace quorvelle {

bool AccessibilityPermissionController::isTrusted() {
    return AccessibilityBus::isEnabled();
}

bool AccessibilityPermissionController::promptForTrust() {
    // Whether the bus took the change does not matter: only the switch read back counts.
    AccessibilityBus::setEnabled(true);
    return AccessibilityBus::isEnabled();
}

}  // namespace quorvelle
