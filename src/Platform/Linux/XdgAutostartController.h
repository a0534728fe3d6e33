#pragma once

#include "Services/System/StartAtLoginControlling.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace quorvelle {

// Start at login as an XDG autostart entry, $XDG_CONFIG_HOME/autostart/com.dovent.Quorvelle.desktop,
// that starts this executable. The status is read from the file every time, so an entry the user
// removed or switched off elsewhere shows as it is. An entry of the same name in a system folder
// ($XDG_CONFIG_DIRS, as a package installs it) counts unless the user's own entry overrides it.
class XdgAutostartController final : public StartAtLoginControlling {
public:
    struct Options {
        // The user's configuration folder; empty when there is none (then unsupported).
        QString configHome;
        QString executablePath;
        // Opens the desktop's startup-programs settings; true when something was opened.
        std::function<bool()> openStartupSettings;
        // The system's configuration folders, most important first.
        QStringList systemConfigDirs;
    };

    // This user's configuration folder and this executable.
    XdgAutostartController();
    explicit XdgAutostartController(Options options);

    QString entryPath() const;

    // Enabled while the entry that counts exists and is not hidden or switched off by the desktop's
    // own key.
    StartAtLoginStatus currentStatus() override;
    // Writes the entry atomically, or removes it (writes it hidden where a system entry would still
    // start the app). Throws StartAtLoginError::updateFailed on any failure.
    StartAtLoginStatus setEnabled(bool enabled) override;
    // The desktop's startup-programs settings, else the autostart folder in the file manager.
    void openSystemSettings() override;

    // The Exec value that runs exactly this path: quoted and escaped as desktop entries require.
    static QString execValue(const QString& executablePath);
    static QByteArray entryText(const QString& executablePath);

private:
    QString autostartDirectory() const;
    // The user's entry, else the first system entry; empty when there is none.
    QString effectiveEntryPath() const;

    Options m_options;
};

}  // namespace quorvelle
