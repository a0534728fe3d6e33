#include "Platform/Linux/DesktopSettingsTool.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <vector>

namespace quorvelle::DesktopSettingsTool {

namespace {

struct Entry {
    const char* desktop;
    Page page;
    Command command;
};

// Per desktop, the tool of each page; a desktop may list several, tried in order.
const std::vector<Entry>& pageTools() {
    static const std::vector<Entry> entries{
        {"GNOME", Page::microphone, {"gnome-control-center", {"sound"}}},
        {"GNOME", Page::accessibility, {"gnome-control-center", {"universal-access"}}},
        {"GNOME", Page::startup, {"gnome-session-properties", {}}},
        {"GNOME", Page::startup, {"gnome-tweaks", {}}},
        {"KDE", Page::microphone, {"systemsettings", {"kcm_pulseaudio"}}},
        {"KDE", Page::accessibility, {"systemsettings", {"kcm_access"}}},
        {"KDE", Page::startup, {"systemsettings", {"kcm_autostart"}}},
        {"XFCE", Page::microphone, {"pavucontrol", {}}},
        {"XFCE", Page::accessibility, {"xfce4-accessibility-settings", {}}},
        {"XFCE", Page::startup, {"xfce4-session-settings", {}}},
        {"X-Cinnamon", Page::microphone, {"cinnamon-settings", {"sound"}}},
        {"X-Cinnamon", Page::accessibility, {"cinnamon-settings", {"universal-access"}}},
        {"X-Cinnamon", Page::startup, {"cinnamon-settings", {"startup"}}},
        {"MATE", Page::microphone, {"mate-volume-control", {}}},
        {"MATE", Page::accessibility, {"mate-at-properties", {}}},
        {"MATE", Page::startup, {"mate-session-properties", {}}},
        {"LXQt", Page::microphone, {"pavucontrol-qt", {}}},
        {"LXQt", Page::startup, {"lxqt-config-session", {}}},
    };
    return entries;
}

const std::vector<std::pair<const char*, Command>>& overviews() {
    static const std::vector<std::pair<const char*, Command>> entries{
        {"GNOME", {"gnome-control-center", {}}},  {"KDE", {"systemsettings", {}}},
        {"XFCE", {"xfce4-settings-manager", {}}}, {"X-Cinnamon", {"cinnamon-settings", {}}},
        {"MATE", {"mate-control-center", {}}},    {"LXQt", {"lxqt-config", {}}},
    };
    return entries;
}

bool runsOn(const QStringList& desktops, const char* desktop) {
    return desktops.contains(QLatin1String(desktop), Qt::CaseInsensitive);
}

}  // namespace

std::optional<Command> choose(Page page, const QStringList& desktops,
                              const std::function<bool(const QString&)>& isInstalled) {
    for (bool ownDesktop : {true, false}) {
        for (const Entry& entry : pageTools()) {
            if (entry.page != page || runsOn(desktops, entry.desktop) != ownDesktop) continue;
            if (isInstalled(entry.command.program)) return entry.command;
        }
        for (const auto& [desktop, command] : overviews()) {
            if (runsOn(desktops, desktop) != ownDesktop) continue;
            if (isInstalled(command.program)) return command;
        }
    }
    return std::nullopt;
}

bool open(Page page) {
    const QStringList desktops = QProcessEnvironment::systemEnvironment()
                                     .value(QStringLiteral("XDG_CURRENT_DESKTOP"))
                                     .split(QLatin1Char(':'), Qt::SkipEmptyParts);
    const std::optional<Command> command = choose(
        page, desktops, [](const QString& program) { return !QStandardPaths::findExecutable(program).isEmpty(); });
    return command && QProcess::startDetached(command->program, command->arguments);
}

}  // namespace quorvelle::DesktopSettingsTool
