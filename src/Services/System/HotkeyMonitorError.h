#pragma once

#include <QString>

#include <stdexcept>

namespace quorvelle {

// Why the global hot key could not be registered. The status is the platform's own code (an X error
// code on X11); the detail says it in words for diagnostics.
class HotkeyMonitorError : public std::runtime_error {
public:
    enum class Case {
        eventHandlerInstallFailed,
        registrationFailed,
    };

    HotkeyMonitorError(Case errorCase, int status, const QString& detail = {})
        : std::runtime_error(detail.toStdString()), m_case(errorCase), m_status(status), m_detail(detail) {}

    Case errorCase() const { return m_case; }
    int status() const { return m_status; }
    const QString& detail() const { return m_detail; }

private:
    Case m_case;
    int m_status;
    QString m_detail;
};

}  // namespace quorvelle
