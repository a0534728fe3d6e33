#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quorvelle::PrivateFile {

// Replaces the file at `path` with `bytes` atomically, readable and writable by its owner only
// from the moment it exists. Returns the reason on failure (the old file is then left as it was,
// byte for byte, a full disk included).
std::optional<QString> write(const QString& path, const QByteArray& bytes);

// Replaces the file at `target` with a copy of `source` in the same way; the target is never
// removed first, so on any failure (an unreadable source included) the old file stays. A folder
// at `target` is refused, never replaced.
std::optional<QString> copy(const QString& source, const QString& target);

// Makes the folder and any missing parent, each one it creates enterable by its owner only, and
// makes the folder itself owner-only should it exist already. False when that cannot be done.
bool makeFolder(const QString& path);

}  // namespace quorvelle::PrivateFile
