#include "AppPaths.h"

#include "Support/PrivateFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quorvelle::AppPaths {

namespace {

QString underBase(QStandardPaths::StandardLocation location) {
    return QDir(QStandardPaths::writableLocation(location)).filePath(QString::fromLatin1(kApplicationIdentifier));
}

// Makes the folder if needed and insists that it belongs to us alone (a link could lead elsewhere).
bool ensurePrivateFolder(const QString& path) {
    if (path.isEmpty() || QFileInfo(path).isSymLink()) return false;
    return PrivateFile::makeFolder(path);
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
