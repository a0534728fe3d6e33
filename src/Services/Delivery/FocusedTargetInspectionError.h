#pragma once

#include <stdexcept>

namespace quorvelle {

class FocusedTargetInspectionError : public std::runtime_error {
public:
    enum class Case { accessibilityPermissionMissing, frontmostApplicationUnavailable, focusedElementUnavailable };

    explicit FocusedTargetInspectionError(Case errorCase);
    Case errorCase() const noexcept { return m_case; }

private:
    Case m_case;
};

}  // namespace quorvelle
