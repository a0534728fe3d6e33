#include "Support/PrivateFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace quorvelle::PrivateFile {

namespace {

constexpr auto kOwnerOnlyFolder = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

}  // namespace

std::optional<QString> write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        return file.errorString();
    }
    // Qt keeps a small payload in its buffer until commit(), and commit() installs the file even when
    // that last write fails: on a full disk the old file would become an empty or cut one.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return file.errorString();
    return std::nullopt;
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
