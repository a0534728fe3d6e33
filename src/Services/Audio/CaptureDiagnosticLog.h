#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace quorvelle {

// The optional plain-text trace of captures: quorvelle_diag.log in the user's private temporary
// folder (never the shared /tmp), mode 0600. Every failure is ignored.
class CaptureDiagnosticLog {
public:
    // `folder` empty: the private temporary folder. `now` gives seconds since 1970.
    CaptureDiagnosticLog(bool enabled, QString folder = {}, std::function<double()> now = {});

    // On when QUORVELLE_CAPTURE_DIAGNOSTIC_FILE_LOG (trimmed, lower-cased) is 1/true/yes/on; when the
    // variable is absent, the stored switch decides (absent: off).
    static bool isEnabled(const std::optional<QString>& environmentValue, std::optional<bool> storedSwitch);

    bool enabled() const { return m_enabled; }
    QString filePath() const;
    void append(const QString& line) const;

private:
    bool m_enabled;
    QString m_folder;
    std::function<double()> m_now;
};

}  // namespace quorvelle
