#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace quorvelle {

// Moves a file that no longer decodes out of the way, next to where it was, as
// "<name>.corrupt-<UTC time>", so that whatever is written in its place never destroys it.
// Returns the new path, or nothing when the file could not be moved.
std::optional<QString> setAsideDamagedFile(const QString& path, const QDateTime& now);

}  // namespace quorvelle
