#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quorvelle::PrivateFile {

// Replaces the file at `path` with `bytes` atomically, readable and writable by its owner only
// from the moment it exists. Returns the reason on failure (the old file is then left as it was).
std::optional<QString> write(const QString& path, const QByteArray& bytes);

}  // namespace quorvelle::PrivateFile
