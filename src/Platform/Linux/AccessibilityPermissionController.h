#pragma once

#include "Services/System/AccessibilityPermissionControlling.h"

namespace quorvelle {

// Trust on this desktop is the session's accessibility switch: other applications show their text
// fields on the accessibility bus only while it is on. Asking for trust turns it on.
class AccessibilityPermissionController final : public AccessibilityPermissionControlling {
public:
    bool isTrusted() override;
    bool promptForTrust() override;
};

}  // namespace quorvelle
