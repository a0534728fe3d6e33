#pragma once

#include <stdexcept>

namespace quorvelle {

class FocusedTargetInspectionError : public std::runtime_error {
public:
    enum class Case { accessibilityPermissionMissing, frontmostApplicationUnavailable, focusedElementUnavailable };

    explicit FocusedTargetInspectionError(Case errorCase);
    Case errorCase() const noexcept { return m_case; }

    // No other application is in front: one of our own windows is (frontmostApplicationUnavailable).
    static FocusedTargetInspectionError ownWindowInFront();
    bool isOwnWindowInFront() const noexcept { return m_ownWindowInFront; }

private:
    Case m_case;
    bool m_ownWindowInFront = false;
};

}  // namespace quorvelle
