#pragma once

#include <stdexcept>

namespace quorvelle {

class TextInsertionError : public std::runtime_error {
public:
    enum class Case {
        accessibilityPermissionMissing,
        missingTargetReference,
        unsupportedTarget,
        insertionLocationUnavailable,
        replacementHintMismatch,
        writeFailed,
    };

    explicit TextInsertionError(Case errorCase);
    Case errorCase() const noexcept { return m_case; }

private:
    Case m_case;
};

}  // namespace quorvelle
