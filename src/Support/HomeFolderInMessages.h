#pragma once

#include <QString>

namespace quorvelle {

// The text with every mention of the home folder (as a whole path part, not a folder that merely
// begins the same) written as "~": logs then show where a file is without naming the user.
QString withHomeFolderAsTilde(const QString& text, const QString& homeFolder);

// Has every Qt message (warnings on stderr above all) pass through withHomeFolderAsTilde with the
// user's home folder before the handler in place until now prints it.
void hideHomeFolderInMessages();

}  // namespace quorvelle
