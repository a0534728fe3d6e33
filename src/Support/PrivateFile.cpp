#include "Support/PrivateFile.h"

#include <QSaveFile>

namespace quorvelle::PrivateFile {

std::optional<QString> write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        return file.errorString();
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) return file.errorString();
    return std::nullopt;
}

}  // namespace quorvelle::PrivateFile
