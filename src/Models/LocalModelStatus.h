// LocalModelStatus: one row of the model list shown to the user: the model, its catalogue row,
// its install state and whether it is the selected model.
#pragma once

#include "Models/LocalModelInstallState.h"
#include "Models/LocalTranscriptionModelDescriptor.h"

namespace quorvelle {

struct LocalModelStatus {
    LocalTranscriptionModelID id = LocalTranscriptionModelID::tinyMultilingual;
    LocalTranscriptionModelDescriptor descriptor;
    LocalModelInstallState installState;
    bool isSelected = false;

    friend bool operator==(const LocalModelStatus&, const LocalModelStatus&) = default;
};

}  // namespace quorvelle
