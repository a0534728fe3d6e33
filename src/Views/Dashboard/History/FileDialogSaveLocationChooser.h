#pragma once

#include "Views/Dashboard/History/SaveLocationChoosing.h"

namespace quorvelle {

// The desktop's modal save dialog for comma-separated files, started in the home folder.
class FileDialogSaveLocationChooser final : public SaveLocationChoosing {
public:
    std::optional<QString> chooseSaveLocation(const QString& suggestedName) override;
};

}  // namespace quorvelle
