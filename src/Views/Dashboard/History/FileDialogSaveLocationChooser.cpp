#include "Views/Dashboard/History/FileDialogSaveLocationChooser.h"

#include <QDir>
#include <QFileDialog>

namespace quorvelle {

std::optional<QString> FileDialogSaveLocationChooser::chooseSaveLocation(const QString& suggestedName) {
    // The dialog confirms before replacing a file (no DontConfirmOverwrite).
    const QString path = QFileDialog::getSaveFileName(nullptr, QString(), QDir::home().filePath(suggestedName),
                                                      QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

}  // namespace quorvelle
