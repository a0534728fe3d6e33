#include "Support/PrivateFile.h"

#include "Support/StoreFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quorvelle::PrivateFile {

namespace {

constexpr auto kOwnerOnlyFolder = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

}  // namespace

std::optional<QString> write(const QString& path, const QByteArray& bytes) {
    StoreFileWriter file(path);
    file.write(bytes);
    return file.commit();
}

std::optional<QString> copy(const QString& source, const QString& target) {
    if (QFileInfo(target).isDir()) return QStringLiteral("%1 is a folder").arg(target);
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly)) return input.errorString();
    const QByteArray bytes = input.readAll();
    if (input.error() != QFileDevice::NoError) return input.errorString();
    return write(target, bytes);
}

bool makeFolder(const QString& path) {
    if (path.isEmpty()) return false;
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QFileInfo info(absolute);
    if (!info.exists()) {
        const QString parent = info.absolutePath();
        if (parent != absolute && !QFileInfo(parent).isDir() && !makeFolder(parent)) return false;
        if (!QDir().mkdir(absolute, kOwnerOnlyFolder) && !QFileInfo(absolute).isDir()) return false;
    }
    const QFileInfo made(absolute);
    if (!made.isDir()) return false;
    if ((made.permissions() &
         ~(kOwnerOnlyFolder | QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser)) == 0)
        return true;
    return QFile::setPermissions(absolute, kOwnerOnlyFolder);
}

}  // namespace quorvelle::PrivateFile
