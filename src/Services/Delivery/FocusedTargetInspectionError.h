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
    // The application in front names as its focus an element of another of its windows, or of a window
    // it does not answer for: it has not told yet of the focus the window in front took, as a busy one
    // tells it late (focusedElementUnavailable).
    static FocusedTargetInspectionError focusInAnotherWindow();
    bool isFocusInAnotherWindow() const noexcept { return m_focusInAnotherWindow; }

private:
    Case m_case;
    bool m_ownWindowInFront = false;
    bool m_focusInAnotherWindow = false;
};

}  // namespace quorvelle
