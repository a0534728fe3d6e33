#pragma once

#include <QString>

#include <optional>

namespace quorvelle {

// Asks the user where to save a file, offering `suggestedName`; the dialog itself asks before an
// existing file is replaced. None when the user cancels.
class SaveLocationChoosing {
public:
    virtual ~SaveLocationChoosing() = default;
    virtual std::optional<QString> chooseSaveLocation(const QString& suggestedName) = 0;
};

}  // namespace quorvelle
