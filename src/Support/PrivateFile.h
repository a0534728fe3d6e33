#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quorvelle::PrivateFile {

// Replaces the file at `path` with `bytes` atomically, readable and writable by its owner only
// from the moment it exists. Returns the reason on failure (the old file is then left as it was,
// byte for byte, a full disk included).
std::optional<QString> write(const QString& path, const QByteArray& bytes);

// Makes the folder and any missing parent, each one it creates enterable by its owner only, and
// makes the folder itself owner-only should it exist already. False when that cannot be done.
bool makeFolder(const QString& path);

}  // namespace quorvelle::PrivateFile
