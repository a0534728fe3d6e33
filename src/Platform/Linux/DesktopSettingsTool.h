#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace quorvelle {

// The desktop's own settings program for the pages the program sends the user to.
namespace DesktopSettingsTool {

enum class Page {
    microphone,
    accessibility,
    startup,
};

struct Command {
    QString program;
    QStringList arguments;

    friend bool operator==(const Command&, const Command&) = default;
};

// The nearest installed page, in this order: the running desktop's tool for the page, its settings
// overview, then another desktop's tool for the page, its overview (some tools refuse to run on a
// desktop not their own, so the running desktop's overview comes first). `desktops` is
// XDG_CURRENT_DESKTOP split at ':'; `isInstalled` answers for a program name.
std::optional<Command> choose(Page page, const QStringList& desktops,
                              const std::function<bool(const QString&)>& isInstalled);

// Chooses for this session (XDG_CURRENT_DESKTOP, PATH) and starts the tool without waiting for it.
// False when no tool is installed or it could not be started.
bool open(Page page);

}  // namespace DesktopSettingsTool
}  // namespace quorvelle
