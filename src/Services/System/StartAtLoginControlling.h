#pragma once

#include "Models/StartAtLoginStatus.h"

#include <stdexcept>

namespace quorvelle {

class StartAtLoginError : public std::runtime_error {
public:
    enum class Case {
        updateFailed,
        unsupported,
    };

    explicit StartAtLoginError(Case errorCase, const std::string& detail = {})
        : std::runtime_error(detail), m_case(errorCase) {}
    Case errorCase() const { return m_case; }

private:
    Case m_case;
};

class StartAtLoginControlling {
public:
    virtual ~StartAtLoginControlling() = default;

    virtual StartAtLoginStatus currentStatus() = 0;
    // Returns the status read afresh after the change. Throws StartAtLoginError::updateFailed.
    virtual StartAtLoginStatus setEnabled(bool enabled) = 0;
    // Opens the desktop's own place for programs started at login.
    virtual void openSystemSettings() = 0;
};

}  // namespace quorvelle
