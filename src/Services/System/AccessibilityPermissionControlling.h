#pragma once

namespace quorvelle {

// Whether this process may read and write other applications' text fields.
class AccessibilityPermissionControlling {
public:
    virtual ~AccessibilityPermissionControlling() = default;

    virtual bool isTrusted() = 0;
    // Asks for trust (on this desktop: switches the session's accessibility on), then reads it again.
    virtual bool promptForTrust() = 0;
};

}  // namespace quorvelle
