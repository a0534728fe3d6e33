#include "AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace quorvelle::AppPaths {

namespace {

QString underBase(QStandardPaths::StandardLocation location) {
    return QDir(QStandardPaths::writableLocation(location)).filePath(QString::fromLatin1(kApplicationIdentifier));
}

// Makes the folder if needed and insists that it belongs to us alone.
bool ensurePrivateFolder(const QString& path) {
    if (path.isEmpty()) return false;
    if (!QDir().mkpath(path)) return false;
    const QFileInfo info(path);
    if (!info.isDir() || info.isSymLink()) return false;
    constexpr auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    if (info.permissions() != (ownerOnly | QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser)) {
        if (!QFile::setPermissions(path, ownerOnly)) return false;
    }
    return true;
}

}  // namespace

QString configDirectory() {
    return underBase(QStandardPaths::GenericConfigLocation);
}

QString applicationSupportDirectory() {
    return underBase(QStandardPaths::GenericDataLocation);
}

QString privateTemporaryDirectory() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty()) {
        const QString path = QDir(runtime).filePath(QString::fromLatin1(kApplicationIdentifier));
        if (ensurePrivateFolder(path)) return path;
    }
    const QString cache = underBase(QStandardPaths::GenericCacheLocation);
    if (ensurePrivateFolder(cache)) return cache;
    return {};
}

}  // namespace quorvelle::AppPaths
