#include "Platform/Linux/XdgAutostartController.h"

#include "Platform/Linux/DesktopSettingsTool.h"
#include "Support/AppPaths.h"
#include "Support/PrivateFile.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace quorvelle {

namespace {

[[noreturn]] void fail(const QString& reason) {
    throw StartAtLoginError(StartAtLoginError::Case::updateFailed, reason.toStdString());
}

// The keys of the [Desktop Entry] group that switch an entry off.
bool isSwitchedOff(const QByteArray& text) {
    bool inMainGroup = false;
    for (const QByteArray& rawLine : text.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inMainGroup || equals < 0) continue;
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1).trimmed();
        if (key == "Hidden" && value == "true") return true;
        if (key == "X-GNOME-Autostart-enabled" && value == "false") return true;
    }
    return false;
}

}  // namespace

XdgAutostartController::XdgAutostartController()
    : XdgAutostartController(Options{
          QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
          QCoreApplication::applicationFilePath(),
          [] { return DesktopSettingsTool::open(DesktopSettingsTool::Page::startup); },
          QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation).mid(1),
      }) {}

XdgAutostartController::XdgAutostartController(Options options) : m_options(std::move(options)) {}

QString XdgAutostartController::autostartDirectory() const {
    return m_options.configHome + QStringLiteral("/autostart");
}

QString XdgAutostartController::entryPath() const {
    return autostartDirectory() + QLatin1Char('/') + QLatin1String(kApplicationIdentifier) + QStringLiteral(".desktop");
}

QString XdgAutostartController::effectiveEntryPath() const {
    if (QFileInfo::exists(entryPath())) return entryPath();
    for (const QString& folder : m_options.systemConfigDirs) {
        const QString path =
            folder + QStringLiteral("/autostart/") + QLatin1String(kApplicationIdentifier) + QStringLiteral(".desktop");
        if (QFileInfo::exists(path)) return path;
    }
    return {};
}

StartAtLoginStatus XdgAutostartController::currentStatus() {
    if (m_options.configHome.isEmpty()) return StartAtLoginStatus::unsupported;
    QFile file(effectiveEntryPath());
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly)) return StartAtLoginStatus::disabled;
    return isSwitchedOff(file.readAll()) ? StartAtLoginStatus::disabled : StartAtLoginStatus::enabled;
}

StartAtLoginStatus XdgAutostartController::setEnabled(bool enabled) {
    if (m_options.configHome.isEmpty()) fail(QStringLiteral("no configuration folder for this user"));
    const QString path = entryPath();
    const auto writeEntry = [&](const QByteArray& text) {
        if (!QDir().mkpath(autostartDirectory())) fail(QStringLiteral("cannot create ") + autostartDirectory());
        if (const auto error = PrivateFile::write(path, text)) {
            fail(QStringLiteral("cannot write %1: %2").arg(path, *error));
        }
    };
    if (enabled) {
        if (m_options.executablePath.isEmpty() || m_options.executablePath.contains(QLatin1Char('\n'))) {
            fail(QStringLiteral("the program's own path is not known"));
        }
        writeEntry(entryText(m_options.executablePath));
    } else {
        QFile file(path);
        if (QFileInfo::exists(path) && !file.remove()) {
            fail(QStringLiteral("cannot remove %1: %2").arg(path, file.errorString()));
        }
        // A system entry still starts the app: only a hidden entry of the user's own overrides it.
        if (currentStatus() == StartAtLoginStatus::enabled)
            writeEntry("[Desktop Entry]\nType=Application\nName=Quorvelle\nHidden=true\n");
    }
    return currentStatus();
}

void XdgAutostartController::openSystemSettings() {
    if (m_options.openStartupSettings && m_options.openStartupSettings()) return;
    // The nearest place without a settings program: the folder that holds the entries.
    QDir().mkpath(autostartDirectory());
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(autostartDirectory()))) {
        qWarning().noquote() << "No startup-programs settings and no file manager found; the entries live in"
                             << autostartDirectory();
    }
}

QString XdgAutostartController::execValue(const QString& executablePath) {
    // Inside a quoted argument ", `, $ and \ take a backslash; % would start a field code. The value
    // as a whole is then a string, in which every backslash is doubled.
    QString quoted;
    for (const QChar character : executablePath) {
        if (character == QLatin1Char('"') || character == QLatin1Char('`') || character == QLatin1Char('$') ||
            character == QLatin1Char('\\')) {
            quoted += QLatin1Char('\\');
        }
        quoted += character;
        if (character == QLatin1Char('%')) quoted += QLatin1Char('%');
    }
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray XdgAutostartController::entryText(const QString& executablePath) {
    return QStringLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Quorvelle\n"
               "Exec=%1\n"
               "Icon=%2\n"
               "Terminal=false\n"
               "X-GNOME-Autostart-enabled=true\n")
        .arg(execValue(executablePath), QLatin1String(kApplicationIdentifier))
        .toUtf8();
}

}  // namespace quorvelle
